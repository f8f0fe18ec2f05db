#include "AboutBox.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "AboutBoxRules.h"
#include "FileVer.h"
#include "Keyboard.h"
#include "TestSupport.h"
#include "mainform.h"

namespace {

using kvl::AccessCodeOutcome;

TEST(AboutBoxRules, AccessCodes) {
  const struct Case {
    const char* text;
    AccessCodeOutcome outcome;
  } cases[] = {
      {"7308", AccessCodeOutcome::ShowUnlockButton},
      {"6194", AccessCodeOutcome::CloseField},
      {"", AccessCodeOutcome::None},
      {"7", AccessCodeOutcome::None},
      {"730", AccessCodeOutcome::None},
      {"73080", AccessCodeOutcome::None},
      {" 7308", AccessCodeOutcome::None},
      {"7308 ", AccessCodeOutcome::None},
      {"8037", AccessCodeOutcome::None},
      {"619", AccessCodeOutcome::None},
      {"61945", AccessCodeOutcome::None},
      {"0000", AccessCodeOutcome::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(kvl::CheckAccessCode(c.text), c.outcome);
  }
}

TEST(AboutBoxRules, ColourCycle) {
  // From the start index 0, the ticks show red first and wrap to black.
  const struct Tick {
    int index;
    uint32_t word;
  } ticks[] = {{1, 255},      {2, 65280},    {3, 65535}, {4, 16711680}, {5, 16711935},
               {6, 16776960}, {0, 0},        {1, 255},   {2, 65280}};
  int index = 0;
  EXPECT_EQ(kvl::AboutColourWord(index), 0u);
  for (const Tick& t : ticks) {
    index = kvl::NextAboutColourIndex(index);
    EXPECT_EQ(index, t.index);
    EXPECT_EQ(kvl::AboutColourWord(index), t.word);
  }
  // An index outside the table falls back to black and restarts the cycle.
  EXPECT_EQ(kvl::AboutColourWord(7), 0u);
  EXPECT_EQ(kvl::AboutColourWord(-1), 0u);
  EXPECT_EQ(kvl::NextAboutColourIndex(40), 0);
}

TEST(AboutBoxRules, Texts) {
  EXPECT_EQ(kvl::AboutCaption(), "About KVL-Q70");
  EXPECT_EQ(kvl::AboutProductText(), "KVL-Q70R77(MXQ41,42)");
  const std::string copyright = kvl::AboutCopyrightText("MXQ41-ABC");
  EXPECT_EQ(copyright.rfind("KVL-Q70 for MXQ40\nMXQ41-ABC\n", 0), 0u) << copyright;
  EXPECT_EQ(std::count(copyright.begin(), copyright.end(), '\n'), 3);
  EXPECT_EQ(kvl::AboutVersionText(1, 0, 0), "Version 1.0.0");
  EXPECT_EQ(kvl::AboutVersionText(1, 2, 3, 4), "Version 1.2.3.4");
  EXPECT_EQ(kvl::AboutVersionText(0, 0, 0), "Version 0.0.0");
}

uint32_t ColourWord(const QWidget* label) {
  const QColor c = label->palette().color(QPalette::WindowText);
  return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
         (static_cast<uint32_t>(c.blue()) << 16);
}

// A main window started by the about box, as at program start.
struct AboutHarness {
  explicit AboutHarness(std::vector<std::string> words = {}, uint16_t langId = 0x409) {
    Main.Start(std::move(words), langId, {}, false);
    Box = std::make_unique<TAboutBox>(*Main.Form);
  }
  TMainForm& Form() { return *Main.Form; }
  // The steps of showing, without the modal loop.
  void Open() {
    Box->BeforeShowing(Main.Core->ModelCode, QCoreApplication::applicationFilePath().toStdString());
    Box->show();
  }
  void CloseWithOk() {
    QTest::mouseClick(Box->BitBtn1, Qt::LeftButton);
    Box->AfterShowing();
  }
  void Type(const std::string& text) {
    ASSERT_TRUE(kvltest::FocusInActiveWindow(*Box->PASSEdit1));
    kvltest::TypeText(QString::fromStdString(text));
  }
  kvltest::MainFormHarness Main;
  std::unique_ptr<TAboutBox> Box;
};

TEST(AboutBox, CreateRunsTheMainWindowStartAndSetsCaptions) {
  const struct Case {
    std::vector<std::string> words;
    uint16_t langId;
    int language;
    const char* untitled;
    uint8_t serviceMode;
  } cases[] = {
      {{}, 0x411, 0, "無題", 0},
      {{}, 0x409, 1, "Untitled", 0},
      {{"/C"}, 0x411, 0, "無題", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    AboutHarness h(c.words, c.langId);
    EXPECT_EQ(h.Form().AboutBox, h.Box.get());
    EXPECT_EQ(h.Form().Language, c.language);
    EXPECT_EQ(h.Form().UntitledName, c.untitled);
    EXPECT_EQ(h.Form().FileName, c.untitled);
    EXPECT_EQ(h.Form().ServiceMode, c.serviceMode);
    EXPECT_EQ(h.Box->windowTitle().toStdString(), "About KVL-Q70");
    EXPECT_EQ(h.Box->KVLNAME1->text().toStdString(), "KVL-Q70R77(MXQ41,42)");
    EXPECT_EQ(h.Box->Button1->text().toStdString(), "解除");
    EXPECT_EQ(h.Box->size(), QSize(415, 409));
    EXPECT_EQ(h.Box->Timer1->interval(), 500);
    EXPECT_FALSE(h.Box->Timer1->isActive());
    // The about box takes the main window's font with the other windows.
    EXPECT_EQ(h.Box->font().family(), h.Form().font().family());
    EXPECT_EQ(h.Box->font().pointSize(), h.Form().font().pointSize());
  }
}

TEST(AboutBox, VersionLineAndModelCode) {
  AboutHarness h;
  h.Open();
  const std::string version = std::string("Version ") + KVLQ70_BUILD_VERSION;
  EXPECT_EQ(h.Box->Label2->text().toStdString(), version);
  EXPECT_EQ(h.Box->Copyright->text().toStdString().rfind("KVL-Q70 for MXQ40\n" + h.Main.Core->ModelCode + "\n", 0),
            0u);
  // A double click adds the build number; the next showing has three again.
  QTest::mouseDClick(h.Box->Label2, Qt::LeftButton);
  EXPECT_EQ(h.Box->Label2->text().toStdString(), version + ".0");
  h.CloseWithOk();
  h.Open();
  EXPECT_EQ(h.Box->Label2->text().toStdString(), version);
  // A file without a version record reads as 0.0.0.
  h.Box->BeforeShowing(h.Main.Core->ModelCode, "/nonexistent/kvlq70");
  EXPECT_EQ(h.Box->Label2->text().toStdString(), "Version 0.0.0");
}

TEST(AboutBox, AccessCodeFieldAndUnlock) {
  const struct Case {
    const char* typed;
    bool pasted;  // the whole text at once, not digit by digit
    bool fieldShown;
    const char* fieldText;
    bool unlockShown;
  } cases[] = {
      {"7308", false, false, "", true},        // the unlock button shows on the fourth digit
      {"6194", false, false, "", false},       // the second code only closes the field
      {"730", false, true, "730", false},      // partial: the field stays open
      {"1234", false, true, "1234", false},    // wrong: unchanged, no message
      {"17308", false, true, "17308", false},  // the code must be the whole text
      {"73081", true, true, "73081", false},   // a longer text that begins with the code
      {"6194", true, false, "", false},
      {"7308", true, false, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + (c.pasted ? " pasted" : " typed"));
    AboutHarness h;
    h.Open();
    EXPECT_FALSE(h.Box->PASSEdit1->isVisible());
    QTest::mouseDClick(h.Box->HalvorinBmp, Qt::LeftButton);
    EXPECT_TRUE(h.Box->PASSEdit1->isVisible());
    if (c.pasted)
      h.Box->PASSEdit1->setText(QString::fromLatin1(c.typed));
    else
      h.Type(c.typed);
    EXPECT_EQ(h.Box->PASSEdit1->isVisible(), c.fieldShown);
    EXPECT_EQ(h.Box->PASSEdit1->text().toStdString(), c.fieldText);
    EXPECT_EQ(h.Box->Button1->isVisible(), c.unlockShown);
    EXPECT_EQ(h.Form().ServiceMode, 0);
    EXPECT_EQ(h.Main.Presenter.Shown.size(), 0u);
  }
}

TEST(AboutBox, UnlockTurnsOnServiceModeForTheRun) {
  AboutHarness h;
  for (const char* name : kvl::kServiceMenuItems) EXPECT_FALSE(h.Form().MenuItem(name)->isVisible()) << name;
  h.Open();
  QTest::mouseDClick(h.Box->HalvorinBmp, Qt::LeftButton);
  h.Type("7308");
  ASSERT_TRUE(h.Box->Button1->isVisible());
  QTest::mouseClick(h.Box->Button1, Qt::LeftButton);
  EXPECT_FALSE(h.Box->Button1->isVisible());
  EXPECT_EQ(h.Form().ServiceMode, 1);
  EXPECT_FALSE(h.Form().ServiceModeBySwitch);
  for (const char* name : kvl::kServiceMenuItems) EXPECT_TRUE(h.Form().MenuItem(name)->isVisible()) << name;
  h.CloseWithOk();

  // Reopened: field and button hidden, the items stay.
  h.Open();
  EXPECT_FALSE(h.Box->PASSEdit1->isVisible());
  EXPECT_FALSE(h.Box->Button1->isVisible());
  EXPECT_TRUE(h.Box->PASSEdit1->text().isEmpty());
  EXPECT_EQ(h.Form().ServiceMode, 1);
  for (const char* name : kvl::kServiceMenuItems) EXPECT_TRUE(h.Form().MenuItem(name)->isVisible()) << name;
}

TEST(AboutBox, ClosingEmptiesAndHidesTheField) {
  AboutHarness h;
  h.Open();
  QTest::mouseDClick(h.Box->HalvorinBmp, Qt::LeftButton);
  h.Type("73");
  h.CloseWithOk();
  EXPECT_FALSE(h.Box->isVisible());
  EXPECT_EQ(h.Box->result(), QDialog::Accepted);
  h.Open();
  EXPECT_FALSE(h.Box->PASSEdit1->isVisible());
  EXPECT_TRUE(h.Box->PASSEdit1->text().isEmpty());
  // Typing the rest of the code after reopening does not complete it.
  QTest::mouseDClick(h.Box->HalvorinBmp, Qt::LeftButton);
  h.Type("08");
  EXPECT_FALSE(h.Box->Button1->isVisible());
}

TEST(AboutBox, ColourCyclingContinuesAcrossShowings) {
  kvl::AboutColourIndex = 0;
  AboutHarness h;
  h.Open();
  QTest::mouseDClick(h.Box->KVLNAME1, Qt::LeftButton);
  EXPECT_TRUE(h.Box->Timer1->isActive());
  const uint32_t shown[] = {255, 65280, 65535};
  for (uint32_t word : shown) {
    h.Box->Timer1Timer();
    EXPECT_EQ(ColourWord(h.Box->KVLNAME1), word);
  }
  h.CloseWithOk();
  EXPECT_FALSE(h.Box->Timer1->isActive());
  h.Open();
  EXPECT_EQ(ColourWord(h.Box->KVLNAME1), 0u);
  EXPECT_EQ(ColourWord(h.Box->Label2), 0u);
  EXPECT_EQ(ColourWord(h.Box->Copyright), 0u);
  // The next double click goes on from the colour after the last one shown.
  QTest::mouseDClick(h.Box->KVLNAME1, Qt::LeftButton);
  h.Box->Timer1Timer();
  EXPECT_EQ(ColourWord(h.Box->KVLNAME1), 16711680u);
  // The timer itself ticks (every 500 ms) and moves the colour on: the colour
  // after its first tick, however late that comes.
  EXPECT_EQ(h.Box->Timer1->interval(), 500);
  std::vector<uint32_t> ticked;
  const QMetaObject::Connection watch = QObject::connect(
      h.Box->Timer1, &QTimer::timeout, h.Box.get(), [&] { ticked.push_back(ColourWord(h.Box->KVLNAME1)); });
  const bool tickedOnce = QTest::qWaitFor([&] { return !ticked.empty(); }, 10000);
  QObject::disconnect(watch);
  ASSERT_TRUE(tickedOnce);
  EXPECT_EQ(ticked.front(), 16711935u);

  // Esc presses OK, which stops the cycle.
  h.Box->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(h.Box.get()));
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  ASSERT_EQ(QApplication::focusWidget()->window(), h.Box.get());
  kvltest::PressKey(Qt::Key_Escape);
  EXPECT_FALSE(h.Box->Timer1->isActive());
  EXPECT_FALSE(h.Box->isVisible());
  EXPECT_EQ(ColourWord(h.Box->KVLNAME1), 0u);

  // Closed by other means, the cycle keeps running until the next OK.
  h.Box->AfterShowing();
  h.Open();
  QTest::mouseDClick(h.Box->KVLNAME1, Qt::LeftButton);
  h.Box->reject();
  EXPECT_TRUE(h.Box->Timer1->isActive());
  kvl::AboutColourIndex = 0;
}

}  // namespace
