#include "mainform.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>

#include <stdexcept>

#include "AboutBox.h"
#include "Application.h"
#include "MainFormTexts.h"
#include "Settings.h"
#include "StrCGrid.h"
#include "TestSupport.h"
#include "UserLocale.h"

namespace {

using kvltest::MainFormHarness;

std::string Text(QAction* action) { return action->text().toStdString(); }

TEST(MainFormLanguage, LocaleAndSwitchesDecideTextsAndSizes) {
  struct Case {
    const char* locale;  // LC_ALL
    std::vector<std::string> words;
    int language;
    const char* file1;
    const char* saveAs;
    const char* commRead;
    const char* commSetup;
    const char* revChange;
    const char* readHint;
    const char* untitled;
    int treeWidth;
    int titleColumn;
  } cases[] = {
      {"ja_JP.UTF-8", {}, 0, "ﾌｧｲﾙ(&F)", "名前を付けて保存(&A)...", "読出し(MXQ40→KVL)(&R)...", "環境設定(&E)...",
       "計器ﾃﾞｰﾀRev設定", "読出し(MXQ40→KVL)", "無題", 150, 270},
      {"ja_JP.UTF-8", {"/e"}, 1, "&File", "Save &As...", "&Read(MXQ40->KVL)...", "&Enviroment Setup...", "計器ﾃﾞｰﾀRev設定",
       "Read(MXQ40->KVL)", "Untitled", 165, 400},
      {"en_US.UTF-8", {}, 1, "&File", "Save &As...", "&Read(MXQ40->KVL)...", "&Enviroment Setup...", "計器ﾃﾞｰﾀRev設定",
       "Read(MXQ40->KVL)", "Untitled", 165, 400},
      {"C", {"/9"}, 1, "&File", "Save &As...", "&Read(MXQ40->KVL)...", "&Enviroment Setup...", "計器ﾃﾞｰﾀRev設定",
       "Read(MXQ40->KVL)", "Untitled", 165, 400},
      {"ja", {"/E", "/8"}, 1, "&File", "Save &As...", "&Read(MXQ40->KVL)...", "&Enviroment Setup...", "計器ﾃﾞｰﾀRev設定",
       "Read(MXQ40->KVL)", "Untitled", 165, 400},
      {"ja_JP.eucJP", {"/8", "/F"}, 0, "ﾌｧｲﾙ(&F)", "名前を付けて保存(&A)...", "読出し(MXQ40→KVL)(&R)...", "環境設定(&E)...",
       "計器ﾃﾞｰﾀRev設定", "読出し(MXQ40→KVL)", "無題", 150, 270},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.locale << " " << c.words.size());
    setenv("LC_ALL", c.locale, 1);
    const uint16_t langId = kvl::UserDefaultLangId();
    unsetenv("LC_ALL");
    MainFormHarness h;
    h.Start(c.words, langId);
    TMainForm& f = *h.Form;
    f.show();
    QApplication::processEvents();
    EXPECT_EQ(f.Language, c.language);
    EXPECT_EQ(h.Core->Language, c.language);
    EXPECT_EQ(Text(f.MenuItem("file1")), c.file1);
    EXPECT_EQ(Text(f.MenuItem("SaveAs1")), c.saveAs);
    EXPECT_EQ(Text(f.MenuItem("CommRead")), c.commRead);
    EXPECT_EQ(Text(f.MenuItem("CommSetup")), c.commSetup);
    EXPECT_EQ(Text(f.MenuItem("RevChange")), c.revChange);
    EXPECT_EQ(Text(f.MenuItem("Rev1")), "Rev 1");
    EXPECT_EQ(f.ToolButton("ZTMtoKVLButton")->toolTip().toStdString(), c.readHint);
    EXPECT_EQ(f.UntitledName, c.untitled);
    EXPECT_EQ(f.FileName, c.untitled);
    EXPECT_EQ(f.Caption(), std::string("(") + c.untitled + ") - KVL-Q70 - Q41A0D0AS000**");
    EXPECT_EQ(f.windowTitle().toStdString(), f.Caption());
    EXPECT_EQ(f.TreePanelWidth(), c.treeWidth);
    EXPECT_EQ(f.GridTitleColumnWidth, c.titleColumn);
    EXPECT_EQ(f.ComboBox1->font().family().toStdString(), c.language == 0 ? "ＭＳ ゴシック" : "Courier New");
    EXPECT_EQ(f.font().family().toStdString(), c.language == 0 ? "ＭＳ ゴシック" : "Arial");
  }
}

TEST(MainFormMenus, EveryItemWithItsTextShortcutAndInitialState) {
  for (int langId : {0x411, 0x409}) {
    MainFormHarness h;
    h.Start({}, static_cast<uint16_t>(langId));
    for (const kvl::MenuItemDef& def : kvl::MainMenuItems()) {
      SCOPED_TRACE(def.Name);
      QAction* action = h.Form->MenuItem(def.Name);
      ASSERT_NE(action, nullptr);
      EXPECT_EQ(action->isSeparator(), def.Separator);
      EXPECT_EQ(Text(action), kvl::MenuCaption(def, h.Form->Language));
      EXPECT_EQ(action->shortcut().toString().toStdString(), def.Shortcut);
      EXPECT_EQ(action->isVisible(), def.Visible);
      // Qt disables a hidden action until it is shown again.
      if (!def.Visible) action->setVisible(true);
      EXPECT_EQ(action->isEnabled(), def.Enabled);
      EXPECT_EQ(action->isChecked(), def.Checked);
    }
  }
  // Spot checks of the table itself, typos included.
  const struct {
    const char* name;
    const char* japanese;
    const char* english;
    const char* shortcut;
    bool enabled, visible;
  } spots[] = {
      {"New1", "初期化(&N)", "&New", "Ctrl+N", true, true},
      {"CUT1", "ｾｸﾞﾒﾝﾄ切り取り(&T)", "Cut Segment(&T)", "Ctrl+X", false, true},
      {"CopySeg", "ｺﾋﾟｰしたｾｸﾞﾒﾝﾄ(&C)", "Segment &Copy", "", false, true},
      {"CommSetup", "環境設定(&E)...", "&Enviroment Setup...", "Ctrl+E", true, true},
      {"SHLRW1", "通信ﾃｽﾄ...", "Communication Test", "", true, false},
      {"TableGraph", "折線ｸﾞﾗﾌ(&T)", "&Table Graph", "", false, true},
      {"KKVLEnd", "終了(&Q)", "&Quit", "Ctrl+Q", true, true},
  };
  for (const auto& s : spots) {
    SCOPED_TRACE(s.name);
    const kvl::MenuItemDef* def = kvl::FindMenuItem(s.name);
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(kvl::MenuCaption(*def, 0), s.japanese);
    EXPECT_EQ(kvl::MenuCaption(*def, 1), s.english);
    EXPECT_STREQ(def->Shortcut, s.shortcut);
    EXPECT_EQ(def->Enabled, s.enabled);
    EXPECT_EQ(def->Visible, s.visible);
  }
  // The file dialogs' texts.
  const struct {
    int language;
    const char* dataFilter;
    const char* csvTitle;
    const char* csvFilter;
    const char* htmlTitle;
    const char* htmlFilter;
  } dialogs[] = {
      {0, "KVL-Q70ファイル(*.Q70)|Q70", "CSV出力", "CSV ﾌｧｲﾙ(*.csv)|csv", "HTML出力", "HTMLﾌｧｲﾙ(*.htm)|htm"},
      {1, "KVL-Q70file(*.Q70)|Q70", "CSV out", "CSV file(*.csv)|csv", "HTML out", "HTML file(*.htm)|htm"},
  };
  for (const auto& d : dialogs) {
    const std::vector<kvl::FileDialogDef> dialogs = kvl::FileDialogs(d.language);
    ASSERT_EQ(dialogs.size(), 4u);
    EXPECT_EQ(dialogs[0].Filter, d.dataFilter);
    EXPECT_EQ(dialogs[0].Title, "");
    EXPECT_STREQ(dialogs[0].InitialName, "*.q70");
    EXPECT_TRUE(dialogs[0].MustExist);
    EXPECT_EQ(dialogs[1].Filter, d.dataFilter);
    EXPECT_TRUE(dialogs[1].OverwritePrompt);
    EXPECT_EQ(dialogs[2].Title, d.csvTitle);
    EXPECT_EQ(dialogs[2].Filter, d.csvFilter);
    EXPECT_STREQ(dialogs[2].DefaultExtension, "CSV");
    EXPECT_EQ(dialogs[3].Title, d.htmlTitle);
    EXPECT_EQ(dialogs[3].Filter, d.htmlFilter);
    EXPECT_STREQ(dialogs[3].InitialName, "*.HTM");
  }
  // The submenus hold their items.
  MainFormHarness h;
  h.Start();
  EXPECT_EQ(h.Form->MenuItem("INSERT1")->menu()->actions().size(), 2);
  EXPECT_EQ(h.Form->MenuItem("RevChange")->menu()->actions().size(), 2);
  QStringList bar;
  for (QAction* a : h.Form->menuBar()->actions()) bar << a->text();
  EXPECT_EQ(bar.join(QLatin1Char('|')).toStdString(), "&File|&Edit|&Communication|&Setup|&Option|&View|&Help");
}

TEST(MainFormToolPanel, ButtonsInTwoRowsWithHints) {
  MainFormHarness h;
  h.Start({}, 0x411);
  const std::vector<kvl::ToolButtonDef>& buttons = kvl::ToolButtons();
  ASSERT_EQ(buttons.size(), 16u);
  int previousX = -1;
  for (size_t i = 0; i < buttons.size(); ++i) {
    SCOPED_TRACE(buttons[i].Name);
    QToolButton* b = h.Form->ToolButton(buttons[i].Name);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->size(), QSize(20, 20));
    EXPECT_TRUE(b->autoRaise());
    EXPECT_EQ(b->y(), i < 8 ? 0 : 20);
    if (i == 8) previousX = -1;
    EXPECT_GT(b->x(), previousX);
    previousX = b->x();
    EXPECT_EQ(b->toolTip().toStdString(), buttons[i].HintJapanese);
    // The second row's states follow the program grid's current cell once
    // the grid is shown (see the grid view's tests).
    if (i < 8) {
      EXPECT_EQ(b->isEnabled(), buttons[i].Enabled);
    }
  }
  EXPECT_FALSE(h.Form->ToolButton("PASTEButton")->isEnabled());
  EXPECT_FALSE(h.Form->ToolButton("PASTE2Button")->isEnabled());
  // The program selector lists the nineteen patterns.
  ASSERT_EQ(h.Form->ComboBoxProgNum->count(), 19);
  for (int p = 0; p < 19; ++p) {
    EXPECT_EQ(h.Form->ComboBoxProgNum->itemText(p), QString::number(p + 1));
    EXPECT_EQ(h.Form->ProgramOfItem[p], p + 1);
  }
  EXPECT_EQ(h.Form->ComboBoxProgNum->currentIndex(), 0);
  // The tag editor takes eight characters and turns letters to upper case.
  h.Form->EditTag->setText(QString());
  h.Form->EditTag->insert(QStringLiteral("abc12xyz9"));
  EXPECT_EQ(h.Form->EditTag->text(), QStringLiteral("ABC12XYZ"));
  // The chooser spans the rest of the window.
  h.Form->show();
  QApplication::processEvents();
  EXPECT_EQ(h.Form->ComboBox1->width(), h.Form->width() - h.Form->ComboBox1->x() - 10);
  h.Form->resize(900, 500);
  QApplication::processEvents();
  EXPECT_EQ(h.Form->ComboBox1->width(), 900 - h.Form->ComboBox1->x() - 10);
}

TEST(MainFormStart, SettingsApplyAtStart) {
  MainFormHarness h;
  {
    kvl::TIniSettingsStore store(h.IniPath());
    store.Write("FORM", "WIDTH", "700");
    store.Write("FORM", "HEIGHT", "520");
    store.Write("FONT", "SIZE", "11");
    store.Write("FONT", "NAME", "Courier New");
    store.Write("FONT", "COLOR", "255");
    store.Write("OPTION", "LEVEL", "2");
    store.Write("OPTION", "SWVER", "5");
    store.Write("OPTION", "OPT1", "2568");
    store.Write("OPTION", "OPT3", "1");
    store.Write("COMM", "PORT", "12");
    store.Write("COMM", "ADR", "7");
    ASSERT_TRUE(store.Flush());
  }
  h.Start();
  const TMainForm& f = *h.Form;
  EXPECT_EQ(f.size(), QSize(700, 520));
  EXPECT_EQ(f.font().family(), QStringLiteral("Courier New"));
  EXPECT_EQ(f.font().pointSize(), 11);
  EXPECT_EQ(f.palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(f.Level, 2);
  EXPECT_EQ(h.Core->AccessLevel, 2);
  EXPECT_EQ(f.SwVer, 5);
  EXPECT_EQ(h.Core->PortNumber, 12);
  EXPECT_EQ(h.Core->LineSetting, 1);
  EXPECT_EQ(f.Settings.Address, 7);
  EXPECT_EQ(h.Core->Model.OutputWord, 0xA08);
  EXPECT_EQ(h.Core->Model.BasicWord, 1);
  EXPECT_EQ(h.Core->Model.AuxWord, 0);
  EXPECT_FALSE(f.isMaximized());
  EXPECT_EQ(f.ServiceMode, 0);
  EXPECT_EQ(f.SegmentClipboardFull, 0);
  EXPECT_EQ(f.PatternClipboardFull, 0);
  // The link's retry count and time-out, and the text-command checksum.
  EXPECT_EQ(h.Core->Protocol->RetryCount, 3);
  EXPECT_EQ(h.Core->Protocol->ReceiveTimeout, 2000u);
  EXPECT_EQ(h.Core->Protocol->Wqt.ChecksumFlag, 1);
}

TEST(MainFormStart, NarrowScreenMaximises) {
  const struct {
    int screen;
    std::vector<std::string> words;
    bool maximised;
  } cases[] = {{800, {}, true}, {640, {}, true}, {801, {}, false}, {1920, {}, false}, {1920, {"/F"}, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.screen);
    MainFormHarness h;
    kvl::SetScreenWidthForTesting(c.screen);
    h.Start(c.words);
    EXPECT_EQ((h.Form->windowState() & Qt::WindowMaximized) != 0, c.maximised);
  }
}

TEST(MainFormStart, CommandLineShapesTheWindow) {
  MainFormHarness h;
  QWidget other;
  h.Start({"/L200", "/m60", "/N300", "/8"}, 0x411, {}, false);
  h.Form->RegisterForm(&other);
  h.Form->FinishStart();
  h.Form->show();
  QApplication::processEvents();
  EXPECT_EQ(h.Form->TreePanelWidth(), 200);
  EXPECT_EQ(h.Form->GridDefaultColumnWidth, 60);
  EXPECT_EQ(h.Form->GridTitleColumnWidth, 300);
  EXPECT_EQ(h.Form->font().pointSize(), 8);
  EXPECT_EQ(other.font().pointSize(), 8);
  EXPECT_EQ(other.font().family(), h.Form->font().family());
  EXPECT_TRUE(h.Presenter.Shown.empty());

  // Later words win; bad numbers are reported and change nothing; the start goes on.
  MainFormHarness g;
  g.Start({"/L300", "/Lx", "/9", "/8", "/N", "/M12a", "/c"});
  g.Form->show();
  QApplication::processEvents();
  EXPECT_EQ(g.Form->TreePanelWidth(), 300);
  EXPECT_EQ(g.Form->font().pointSize(), 8);
  EXPECT_EQ(g.Form->GridDefaultColumnWidth, 50);
  EXPECT_EQ(g.Form->GridTitleColumnWidth, 400);
  ASSERT_EQ(g.Presenter.Shown.size(), 3u);
  EXPECT_EQ(g.Presenter.Shown[0].Text, "'x' is not a valid integer value");
  EXPECT_EQ(g.Presenter.Shown[1].Text, "'' is not a valid integer value");
  EXPECT_EQ(g.Presenter.Shown[2].Text, "'12a' is not a valid integer value");
  EXPECT_EQ(g.Presenter.Shown[0].Title, "KVL-Q70");
  // '/c' turned the service mode on.
  EXPECT_EQ(g.Form->ServiceMode, 1);
  EXPECT_TRUE(g.Form->ServiceModeBySwitch);
  for (const char* name : {"SHLRW1", "Bar5", "Bar7", "RevChange"}) {
    EXPECT_TRUE(g.Form->MenuItem(name)->isVisible()) << name;
    EXPECT_TRUE(g.Form->MenuItem(name)->isEnabled()) << name;
  }
}

TEST(MainFormStart, NegativeColumnWidthsAreReportedAndTheStartGoesOn) {
  MainFormHarness h;
  h.Start({"/M-5", "/N-1", "/m40"});
  h.Form->show();
  QApplication::processEvents();
  ASSERT_EQ(h.Presenter.Shown.size(), 2u);
  for (const kvl::MessageDescription& shown : h.Presenter.Shown) {
    EXPECT_EQ(shown.Text, "Column width must not be negative");
    EXPECT_EQ(shown.Title, "KVL-Q70");
  }
  EXPECT_EQ(h.Form->GridDefaultColumnWidth, 40);
  EXPECT_EQ(h.Form->GridTitleColumnWidth, 400);
  EXPECT_TRUE(h.Form->isVisible());
  // The grid takes the widths at once and again on every rebuild.
  h.Form->UpdateGrid(true);
  EXPECT_EQ(h.Form->StrColGrid1->ColWidths(0), 400);
  EXPECT_EQ(h.Form->StrColGrid1->ColWidths(1), 40);
}

TEST(MainFormStart, CaptionAndTitleFollowTheFileName) {
  MainFormHarness h;
  h.Start({}, 0x409);
  EXPECT_EQ(h.Form->ApplicationTitleText(), "KVL-Q70");
  h.KeepStartTimer = true;
  h.Form->show();
  QApplication::processEvents();
  EXPECT_EQ(h.Form->ApplicationTitleText(), "(Untitled)-KVL-Q70");
  EXPECT_TRUE(h.Form->Timer1->isActive());
  ASSERT_TRUE(h.WaitForStartTimer());

  h.Core->ModelCode = "Q42A3D2AS012**";
  h.Form->AdoptCommandLineFile("/home/u/plant 1.q70");
  EXPECT_EQ(h.Form->Caption(), "(plant 1.q70) - KVL-Q70 - Q42A3D2AS012**");
  EXPECT_EQ(h.Form->ApplicationTitleText(), "KVL-Q70");
  EXPECT_EQ(h.Form->FileName, "/home/u/plant 1.q70");

  h.Form->UpdateCaption();
  EXPECT_EQ(h.Form->FileName, "Untitled");
  EXPECT_EQ(h.Form->Caption(), "(Untitled) - KVL-Q70 - Q42A3D2AS012**");
  EXPECT_EQ(h.Form->ApplicationTitleText(), "(Untitled)-KVL-Q70");
}

TEST(MainFormClose, SettingsFirstThenTheQuitQuestion) {
  struct Case {
    int answer;
    bool closes;
  } cases[] = {{1, true}, {2, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    MainFormHarness h;
    h.Start({}, 0x409);
    h.Form->resize(720, 510);
    h.Core->PortNumber = 9;
    h.Form->Level = 1;
    h.Core->Model.AuxWord = 0x8000;
    ASSERT_FALSE(QFile::exists(QString::fromStdString(h.IniPath())));
    h.Presenter.Answers = {c.answer};
    int ended = 0;
    h.Form->EndApplication = [&ended] { ++ended; };
    QCloseEvent event;
    QApplication::sendEvent(h.Form.get(), &event);
    EXPECT_EQ(event.isAccepted(), c.closes);
    // OK ends the program, windows of its own still open or not.
    EXPECT_EQ(ended, c.closes ? 1 : 0);
    ASSERT_EQ(h.Presenter.Shown.size(), 1u);
    EXPECT_EQ(h.Presenter.Shown[0].Text, "Quit");
    EXPECT_EQ(h.Presenter.Shown[0].Title, "Confirm");
    // Written before the question, whatever the answer.
    kvl::TIniSettingsStore store(h.IniPath());
    EXPECT_EQ(kvl::ReadInteger(store, "COMM", "PORT", 0), 9);
    EXPECT_EQ(kvl::ReadInteger(store, "OPTION", "LEVEL", 0), 1);
    EXPECT_EQ(kvl::ReadInteger(store, "OPTION", "OPT0", 0), 0x8000);
    EXPECT_EQ(kvl::ReadInteger(store, "OPTION", "OPT1", 0), 1);
    EXPECT_EQ(kvl::ReadInteger(store, "FORM", "WIDTH", 0), 720);
    EXPECT_EQ(kvl::ReadInteger(store, "FORM", "HEIGHT", 0), 510);
    EXPECT_EQ(kvl::ReadText(store, "FONT", "NAME", ""), "Arial");
    EXPECT_EQ(kvl::ReadInteger(store, "FONT", "SIZE", 0), 9);
    EXPECT_EQ(kvl::ReadInteger(store, "COMM", "ADR", 0), 1);
  }
  // Quit in Japanese.
  MainFormHarness j;
  j.Start({}, 0x411);
  j.Presenter.Answers = {2};
  QCloseEvent event;
  QApplication::sendEvent(j.Form.get(), &event);
  EXPECT_FALSE(event.isAccepted());
  ASSERT_EQ(j.Presenter.Shown.size(), 1u);
  EXPECT_EQ(j.Presenter.Shown[0].Text, "終了します");
  // The Quit menu item closes through the same question.
  j.Presenter.Answers = {1};
  j.Form->show();
  j.Form->MenuItem("KKVLEnd")->trigger();
  EXPECT_EQ(j.Presenter.Shown.size(), 2u);
  EXPECT_FALSE(j.Form->isVisible());
}

TEST(MainFormMessages, ShowMessageBoxUsesTheWindowLanguageAndFileName) {
  MainFormHarness h;
  h.Start({}, 0x409);
  h.Form->FileName = "<i>x</i>.csv";
  h.Presenter.Answers = {7};
  EXPECT_EQ(h.Form->ShowMessageBox(5, 0), 7);
  EXPECT_EQ(h.Form->ShowMessageBox(3, 3), 1);
  ASSERT_EQ(h.Presenter.Shown.size(), 2u);
  EXPECT_EQ(h.Presenter.Shown[0].Title, "Warning");
  EXPECT_EQ(h.Presenter.Shown[1].Text, "Can't save <i>x</i>.csv");
}

TEST(Application, ErrorsEscapingEventHandlersAreShownAndTheProgramGoesOn) {
  kvltest::RecordingPresenter& presenter = kvltest::ApplicationPresenter();
  presenter.Shown.clear();
  bool after = false;
  QTimer::singleShot(0, [] { throw std::runtime_error("Disk gone"); });
  QTimer::singleShot(0, [&after] { after = true; });
  for (int i = 0; i < 10 && !after; ++i) QApplication::processEvents();
  EXPECT_TRUE(after);
  ASSERT_EQ(presenter.Shown.size(), 1u);
  EXPECT_EQ(presenter.Shown[0].Text, "Disk gone");
  EXPECT_EQ(presenter.Shown[0].Title, kvl::ApplicationTitle());
  EXPECT_EQ(presenter.Shown[0].Type, kvl::DialogType::Error);
}

TEST(Application, FormFontsMapToInstalledFonts) {
  const QStringList installed = QFontDatabase::families();
  const struct {
    const char* formFont;
    const char* installedFont;
  } cases[] = {{"ＭＳ ゴシック", "IPAGothic"}, {"Arial", "DejaVu Sans"}, {"Courier New", "DejaVu Sans Mono"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.formFont);
    const QStringList substitutes = QFont::substitutes(QString::fromUtf8(c.formFont));
    EXPECT_TRUE(substitutes.contains(QString::fromUtf8(c.installedFont), Qt::CaseInsensitive));
    if (!installed.contains(QString::fromUtf8(c.installedFont))) continue;
    bool anyEarlierInstalled = false;
    for (const QString& s : substitutes) {
      if (s.compare(QString::fromUtf8(c.installedFont), Qt::CaseInsensitive) == 0) break;
      anyEarlierInstalled = anyEarlierInstalled || installed.contains(s, Qt::CaseInsensitive);
    }
    if (anyEarlierInstalled) continue;
    EXPECT_EQ(QFontInfo(QFont(QString::fromUtf8(c.formFont))).family().toStdString(), c.installedFont);
  }
}

}  // namespace

namespace {

TEST(MainFormStart, CommandLineDataFileLoadsAndRefreshesTheTree) {
  // A two-loop image saved by one data image is opened from the command line
  // of a program that starts single-loop.
  QTemporaryDir dir;
  const std::string path = (dir.path() + QStringLiteral("/plant.q70")).toStdString();
  {
    auto saved = std::make_unique<TCore>(1);
    saved->Model.BasicWord = 1;
    saved->Model.OutputWord = 0x841;
    saved->Model.ApplyModelDefaults();
    const int32_t groups[] = {1, 2, 0};
    saved->SetDefaults(groups, true);
    saved->Model.UpdateModelFlags();
    saved->BuildModelCode();
    ASSERT_EQ(saved->SaveFile(groups, path), 0);
  }

  kvltest::MainFormHarness h;
  h.Start({path}, 0x409, {path});
  EXPECT_EQ(h.Core->Model.HardwareType1, 0x841);
  EXPECT_EQ(h.Core->Model.BasicWord, 1);
  EXPECT_EQ(h.Form->FileName, path);
  EXPECT_EQ(h.Form->Caption(), "(plant.q70) - KVL-Q70 - " + h.Core->ModelCode);
  EXPECT_EQ(h.Core->ModelCode.substr(0, 3), "Q42");
  // The two-loop groups are offered, as after any other load.
  ASSERT_NE(h.Form->GroupMenuAction(4), nullptr);
  EXPECT_TRUE(h.Form->GroupMenuAction(4)->isVisible());
  EXPECT_TRUE(h.Form->GroupMenuAction(4)->isEnabled());
  EXPECT_TRUE(h.Presenter.Shown.empty());

  // The data image's own notices reach the user through the presenter.
  ASSERT_NE(h.Core->Notifier, nullptr);
  h.Core->Notifier->ShowNotice("converted", "KVL-Q70");
  ASSERT_EQ(h.Presenter.Shown.size(), 1u);
  EXPECT_EQ(h.Presenter.Shown[0].Text, "converted");
  EXPECT_EQ(h.Presenter.Shown[0].Title, "KVL-Q70");
  ASSERT_EQ(h.Presenter.Shown[0].Buttons.size(), 1u);
  EXPECT_EQ(h.Presenter.Shown[0].Buttons[0].Result, kvl::kModalOk);

  // A word naming a file that cannot be loaded is passed over without a message.
  kvltest::MainFormHarness g;
  const std::string missing = (dir.path() + QStringLiteral("/none.q70")).toStdString();
  g.Start({missing}, 0x409, {});
  EXPECT_EQ(g.Form->FileName, "Untitled");
  EXPECT_FALSE(g.Form->GroupMenuAction(4)->isEnabled() && g.Form->GroupMenuAction(4)->isVisible());
  EXPECT_TRUE(g.Presenter.Shown.empty());
}

}  // namespace

namespace {

// The about box and the graph windows are shown through the presenter, as
// every dialog is, so that it can bring them up above a window that stays on
// top.
TEST(MainFormWindows, AboutBoxAndGraphsAreShownThroughThePresenter) {
  kvltest::AnsweringPresenter presenter;
  kvltest::MainFormHarness h;
  h.WindowPresenter = &presenter;
  h.Start({}, 0x409, {}, false);
  TAboutBox about(*h.Form);
  presenter.FormsShown.clear();

  h.Form->MenuVersionClick();
  h.Form->TableGraphClick();
  ASSERT_GE(h.Form->ComboBoxProgNum->count(), 1);
  h.Form->ComboBoxProgNum->setCurrentIndex(0);
  h.Form->PatternGraphClick();
  EXPECT_EQ(presenter.FormsShown,
            (std::vector<std::string>{about.windowTitle().toStdString(), "Table graph", "Pattern Graph"}));
  for (QWidget* window : QApplication::topLevelWidgets()) EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
}

}  // namespace
