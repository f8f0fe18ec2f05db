#include <gtest/gtest.h>

#include <functional>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "DataCheck.h"
#include "MessageCatalog.h"
#include "Keyboard.h"
#include "TestSupport.h"

namespace {

using kvltest::MainFormHarness;

// A started, shown main window (English unless a language id is given).
struct ErrorListFixture {
  MainFormHarness h;
  explicit ErrorListFixture(uint16_t langId = 0x409) {
    h.Start({}, langId);
    h.Form->show();
    QApplication::processEvents();
  }
  TMainForm& Form() { return *h.Form; }
  TCore& Core() { return *h.Core; }

  // Pattern 3 with five segments, SP1 of segment 5 out of range; the
  // proportional band of PID set 3 out of range.
  void MakeFaults() {
    for (int s = 1; s <= 5; ++s) {
      ASSERT_TRUE(Core().SetParamText(1, 1, s, 3, "100"));
      ASSERT_TRUE(Core().SetParamText(1, 2, s, 3, "1:00"));
    }
    Core().PatternSlotPtr(3, 1, 5)->Value = 5000;
    Core().GetParam(6, 1, 3, 0)->Value = 10000;
  }
  std::vector<std::string> ListLines() {
    std::vector<std::string> lines;
    for (int i = 0; i < Form().ErrorList->count(); ++i) lines.push_back(Form().ErrorList->item(i)->text().toStdString());
    return lines;
  }
  int SelectedNode() { return Form().NodeOfEntry[Form().SelectedEntry()]; }
  int ListHeight() { return Form().Splitter2->sizes().value(1); }
  const kvl::MessageDescription& LastMessage() { return h.Presenter.Shown.back(); }
};

TEST(ErrorList, DataCheckCommandListsFailuresAndWordsTheResult) {
  struct Case {
    uint16_t langId;
    const char* failed;
    const char* clean;
    std::vector<std::string> lines;
  } cases[] = {
      {0x409, "Abnormalities are in a setup", "Complete",
       {"    1 : Program -  3   : SP1   :SP1                          :   5",
        "    2 : PID parameter  :  1:P :Proportional band(PID set 1)  :   3"}},
      {0x411, "設定に異常があります", "設定異常はありません",
       {"    1 : ﾌﾟﾛｸﾞﾗﾑ -  3   : SP1   :SP1                          :   5",
        "    2 : PIDﾊﾟﾗﾒｰﾀ      :  1:P :比例帯1                       :   3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.langId);
    ErrorListFixture x(c.langId);
    TMainForm& f = x.Form();

    // A clean image: an empty, low list and "Complete".
    f.MenuItem("datachk1")->trigger();
    ASSERT_FALSE(x.h.Presenter.Shown.empty());
    EXPECT_EQ(x.LastMessage().Text, c.clean);
    EXPECT_EQ(f.ErrorList->count(), 0);
    EXPECT_TRUE(f.ErrorNode.empty());
    EXPECT_EQ(x.ListHeight(), 20);

    x.MakeFaults();
    f.MenuItem("datachk1")->trigger();
    EXPECT_EQ(x.LastMessage().Text, c.failed);
    EXPECT_EQ(x.ListLines(), c.lines);
    EXPECT_EQ(f.ErrorList->currentRow(), 0);
    EXPECT_EQ(x.ListHeight(), 80);
    EXPECT_EQ(f.ErrorNode, (std::vector<int16_t>{1, 6}));
    EXPECT_EQ(f.ErrorRow, (std::vector<int16_t>{1, 1}));
    EXPECT_EQ(f.ErrorCol, (std::vector<int16_t>{5, 3}));
    EXPECT_EQ(f.ErrorProgram, (std::vector<int16_t>{3, 0}));
    EXPECT_EQ(x.Core().PatternSlotPtr(3, 1, 5)->Value, 5000) << "the check changes no value";

    // The next check replaces the list.
    x.Core().PatternSlotPtr(3, 1, 5)->Value = 100;
    EXPECT_FALSE(f.CheckData(true, true));
    EXPECT_EQ(f.ErrorList->count(), 1);
    EXPECT_EQ(f.ErrorNode, (std::vector<int16_t>{6}));
    // Programs only: the setup parameter is not listed.
    EXPECT_TRUE(f.CheckData(true, false));
    EXPECT_EQ(f.ErrorList->count(), 0);
    EXPECT_EQ(x.ListHeight(), 20);
  }
}

TEST(ErrorList, NewAndOpenEmptyTheListWithItsJumpTable) {
  ErrorListFixture x;
  TMainForm& f = x.Form();
  const std::string path = x.h.Dir.filePath(QStringLiteral("faults.q70")).toStdString();
  const struct {
    const char* Command;
    std::function<void()> Run;
  } commands[] = {
      {"New", [&] { f.New1Click(); }},
      {"Open", [&] {
         x.h.Presenter.Files = {path};
         f.Open1Click();
       }},
  };
  for (const auto& command : commands) {
    SCOPED_TRACE(command.Command);
    x.MakeFaults();
    static constexpr int32_t kGroups[] = {1, 2, 0};
    ASSERT_EQ(x.Core().SaveFile(kGroups, path), 0);
    ASSERT_FALSE(f.CheckData(true, true));
    ASSERT_EQ(f.ErrorNode.size(), 2u);
    command.Run();
    EXPECT_EQ(f.ErrorList->count(), 0);
    EXPECT_TRUE(f.ErrorNode.empty());
    EXPECT_TRUE(f.ErrorRow.empty());
    EXPECT_TRUE(f.ErrorCol.empty());
    EXPECT_TRUE(f.ErrorProgram.empty());
  }
}

TEST(ErrorList, ChosenLineSelectsItsGroupAndProgram) {
  ErrorListFixture x;
  TMainForm& f = x.Form();
  x.MakeFaults();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  f.Outline1->setFocus();
  ASSERT_FALSE(f.CheckData(true, true));
  ASSERT_EQ(f.ErrorList->count(), 2);
  EXPECT_TRUE(f.ErrorList->hasFocus()) << "after failures the list takes the focus";

  // Enter on the setup line: the PID group; the program list stays.
  f.ComboBoxProgNum->setCurrentIndex(0);
  f.ErrorList->setCurrentRow(1);
  ASSERT_EQ(QApplication::focusWidget(), f.ErrorList);
  kvltest::PressKey(Qt::Key_Return);
  EXPECT_EQ(x.SelectedNode(), 6);
  EXPECT_EQ(f.ComboBoxProgNum->currentIndex(), 0);

  // A double click on the program line: the program group and program 3.
  f.ErrorList->setCurrentRow(0);
  const QRect first = f.ErrorList->visualItemRect(f.ErrorList->item(0));
  QTest::mouseDClick(f.ErrorList->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
  EXPECT_EQ(x.SelectedNode(), 1);
  EXPECT_EQ(f.ComboBoxProgNum->currentIndex(), 2);

  // Enter (keypad too) goes the same way as the double click.
  f.SelectGroup(8);
  ASSERT_EQ(x.SelectedNode(), 8);
  f.ErrorList->setCurrentRow(1);
  ASSERT_TRUE(kvltest::FocusInActiveWindow(*f.ErrorList));
  kvltest::PressKey(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(x.SelectedNode(), 6);
  // Other keys choose nothing.
  f.SelectGroup(8);
  f.ErrorListKeyPress('a');
  EXPECT_EQ(x.SelectedNode(), 8);

  // An empty list: nothing is selected.
  ASSERT_TRUE(f.CheckData(false, false));
  f.SelectGroup(8);
  QTest::mouseDClick(f.ErrorList->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  f.ErrorListDblClick();
  EXPECT_EQ(x.SelectedNode(), 8);
}

}  // namespace
