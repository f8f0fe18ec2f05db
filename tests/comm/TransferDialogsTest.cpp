// The range, confirmation and environment dialogs as windows (offscreen).
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

#include "CommWindowsFixture.h"
#include "StrCGrid.h"

namespace {

using commuitest::CommWindowsTest;

std::string Text(const QString& text) { return text.toStdString(); }

std::vector<std::string> Items(const QComboBox* box) {
  std::vector<std::string> items;
  for (int i = 0; i < box->count(); ++i) items.push_back(box->itemText(i).toStdString());
  return items;
}

TEST_F(CommWindowsTest, FormsTakeTheMainWindowsLanguage) {
  struct Case {
    uint16_t langId;
    const char* progress;
    const char* range;
    const char* confirm;
    const char* environment;
    const char* cancel;
  } cases[] = {
      {0x411, "通信", "通信", "確認", "環境設定", "ｷｬﾝｾﾙ"},
      {0x409, "Communication", "Communication", "Confirm", "Enviroment Setup", "Cancel"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.langId);
    Stop();
    Start(c.langId);
    EXPECT_EQ(Text(CommProg->windowTitle()), c.progress);
    EXPECT_EQ(Text(CommProg->BitBtn1->text()), c.cancel);
    EXPECT_EQ(Text(Range->windowTitle()), c.range);
    EXPECT_EQ(Text(Range->CancelBtn->text()), c.cancel);
    EXPECT_EQ(Text(Confirm->windowTitle()), c.confirm);
    EXPECT_EQ(Text(Confirm->BitBtn2->text()), c.cancel);
    EXPECT_EQ(Text(Confirm->OKBtn->text()), "&OK");
    EXPECT_EQ(Text(ComSet->windowTitle()), c.environment);
    EXPECT_EQ(Text(ComSet->CancelBtn->text()), c.cancel);
    const kvl::EnvironmentTexts env = kvl::EnvironmentDialogTexts(Main->Language);
    EXPECT_EQ(Items(ComSet->fontsize), env.FontSizes);
    EXPECT_EQ(Text(CommProg->Panel1->text()), kvl::ProgressWindowTexts(Main->Language).Panel);
    for (int direction : {0, 1}) {
      CommProg->SetDirectionCaption(direction);
      EXPECT_EQ(Text(CommProg->windowTitle()), kvl::TransferCaption(direction, Main->Language));
    }
  }
}

// The range dialog shown for real; its OK asks the confirmation dialog (the
// presenter answers it), a refused confirmation leaves it open, and then
// its Cancel ends it.
TEST_F(CommWindowsTest, RangeDialogAsksForConfirmation) {
  struct Case {
    const char* name;
    uint16_t langId;
    int direction;
    kvl::RangeChoice boxes;
    bool confirm;
    const char* question;
  } cases[] = {
      {"read confirmed", 0x409, 0, kvl::RangeForCommand(), true, "Start to read?"},
      {"write confirmed", 0x409, 1, kvl::RangeForCommand(), true, "Start to write?"},
      {"write refused", 0x411, 1, kvl::RangeForCommand(), false, "書込みを実行します"},
      {"wizard read refused", 0x411, 0, kvl::RangeForWizardRead(), false, "読出しを実行します"},
      {"wizard read confirmed", 0x409, 0, kvl::RangeForWizardRead(), true, "Start to read?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stop();
    Start(c.langId);
    Main->CommDirection = c.direction;
    Range->SetRange(c.boxes);
    EXPECT_EQ(Range->Range(), c.boxes);
    std::string asked;
    Presenter.FormActions = {{}, [&](kvl::TModalForm& form) {
                               asked = dynamic_cast<Tcommdialog&>(form).Question();
                               return form.AnswerKey(c.confirm);
                             }};
    bool stayedOpen = false;
    QTimer::singleShot(0, Range.get(), [&] {
      Range->OKBtn->click();
      if (!Range->isVisible()) return;
      stayedOpen = true;
      EXPECT_EQ(Range->Range(), c.boxes);
      Range->CancelBtn->click();
    });
    const int result = Range->Execute();
    EXPECT_EQ(asked, c.question);
    EXPECT_EQ(Presenter.FormsShown.size(), 2u);
    EXPECT_EQ(result, c.confirm ? kvl::kModalOk : kvl::kModalCancel);
    EXPECT_EQ(stayedOpen, !c.confirm);
    EXPECT_EQ(Range->Range(), c.boxes);
    const TCore::TransferRange range = Range->TransferRange();
    EXPECT_EQ(range.CheckProgram, c.boxes.CheckProgram);
    EXPECT_EQ(range.CheckParameter, c.boxes.CheckParameter);
    EXPECT_TRUE(Presenter.Shown.empty());  // no message on the way
  }
}

TEST_F(CommWindowsTest, RangeDialogCancelAndEscapeStartNothing) {
  Start();
  int confirmations = 0;
  Presenter.FormActions = {{}, [&](kvl::TModalForm& form) { return ++confirmations, form.AnswerKey(true); }};
  QTimer::singleShot(0, Range.get(), [&] { Range->CancelBtn->click(); });
  EXPECT_EQ(Range->Execute(), kvl::kModalCancel);
  Presenter.FormActions = {{}, [&](kvl::TModalForm& form) { return ++confirmations, form.AnswerKey(true); }};
  QTimer::singleShot(0, Range.get(), [&] { Range->reject(); });
  EXPECT_EQ(Range->Execute(), kvl::kModalCancel);
  EXPECT_EQ(confirmations, 0);

  // The keys of an unattended run: Enter confirms, Esc cancels.
  Presenter.FormActions = {[](kvl::TModalForm& form) { return form.AnswerKey(true); },
                           [](kvl::TModalForm& form) { return form.AnswerKey(true); }};
  EXPECT_EQ(Range->Execute(), kvl::kModalOk);
  Presenter.FormActions = {[](kvl::TModalForm& form) { return form.AnswerKey(true); },
                           [](kvl::TModalForm& form) { return form.AnswerKey(false); }};
  EXPECT_EQ(Range->Execute(), kvl::kModalCancel);
  Presenter.FormActions = {[](kvl::TModalForm& form) { return form.AnswerKey(false); }};
  EXPECT_EQ(Range->Execute(), kvl::kModalCancel);
  EXPECT_EQ(Presenter.FormsShown.size(), 7u);
}

// Unattended runs: Enter confirms through both dialogs, Esc ends the range
// dialog; one log line per form.
TEST_F(CommWindowsTest, UnattendedRunsAnswerFormsByKey) {
  Start();
  std::FILE* log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  struct Case {
    kvl::TAutoAnswerPresenter::Answer answer;
    int result;
  } cases[] = {{kvl::TAutoAnswerPresenter::Answer::Enter, kvl::kModalOk},
               {kvl::TAutoAnswerPresenter::Answer::Escape, kvl::kModalCancel}};
  for (const Case& c : cases) {
    kvl::TAutoAnswerPresenter unattended(c.answer, log);
    Tcommdialog confirm(Main->Language);
    TCommunication range(*Main, confirm, unattended);
    EXPECT_EQ(range.Execute(), c.result);
  }
  std::rewind(log);
  std::string lines;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, log)) lines += buffer;
  std::fclose(log);
  EXPECT_EQ(lines, "form: Confirm -> 1\nform: Communication -> 1\nform: Communication -> 2\n");
}

TEST_F(CommWindowsTest, EnvironmentDialogPreparesPortAndFont) {
  struct Case {
    const char* name;
    uint16_t langId;
    int port;
    int fontSize;
    int portEntry;
    int fontEntry;  // -1: no entry chosen
    const char* portText;
  } cases[] = {
      {"English COM3, 9 points", 0x409, 3, 9, 2, 2, "Port COM3"},
      {"Japanese COM16, 10 points", 0x411, 16, 10, 15, 3, "ポート COM16"},
      {"English 10 points: no entry", 0x409, 1, 10, 0, -1, "Port COM1"},
      {"size without an entry", 0x409, 8, 12, 7, -1, "Port COM8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stop();
    Start(c.langId);
    Core->PortNumber = c.port;
    Main->SetFontSize(c.fontSize);
    ComSet->PrepareForShow();
    EXPECT_EQ(Items(ComSet->comport), kvl::PortListItems(Main->Language));
    EXPECT_EQ(ComSet->comport->currentIndex(), c.portEntry);
    EXPECT_EQ(Text(ComSet->comport->currentText()), c.portText);
    EXPECT_EQ(ComSet->fontsize->currentIndex(), c.fontEntry);
  }
}

TEST_F(CommWindowsTest, EnvironmentDialogOkAppliesAndCancelDoesNot) {
  struct Case {
    const char* name;
    bool ok;
    int portEntry;
    int fontEntry;
    int port;
    int fontSize;
  } cases[] = {
      {"OK: COM3 and 9 points", true, 2, 2, 3, 9},
      {"OK: COM12 and 7 points", true, 11, 0, 12, 7},
      {"OK with no font entry keeps the size", true, 4, -1, 5, 12},
      {"Cancel applies nothing", false, 11, 0, 1, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stop();
    Start();
    Core->PortNumber = 1;
    Core->LineSetting = 5;
    Main->SetFontSize(12);
    Main->ErrorList->addItem(QStringLiteral("    1 : an earlier failure"));
    Main->ErrorNode = {3};
    Main->ErrorRow = {2};
    Main->MoveGridTo(3, 5);
    ComSet->PrepareForShow();
    Presenter.FormActions = {{}};
    QTimer::singleShot(0, ComSet.get(), [&] {
      ComSet->comport->setCurrentIndex(c.portEntry);
      ComSet->fontsize->setCurrentIndex(c.fontEntry);
      (c.ok ? ComSet->OKBtn : ComSet->CancelBtn)->click();
    });
    EXPECT_EQ(ComSet->Execute(), c.ok ? kvl::kModalOk : kvl::kModalCancel);
    EXPECT_EQ(Core->PortNumber, c.port);
    EXPECT_EQ(Main->Settings.FontSize, c.fontSize);
    EXPECT_EQ(Main->font().pointSize(), c.fontSize);
    EXPECT_EQ(Main->ErrorList->count(), c.ok ? 0 : 1);
    // The list goes with its jump table; OK puts the grid on its first cell.
    EXPECT_EQ(Main->ErrorNode.empty(), c.ok);
    EXPECT_EQ(Main->ErrorRow.empty(), c.ok);
    EXPECT_EQ(Main->StrColGrid1->Col(), c.ok ? 1 : 3);
    EXPECT_EQ(Main->StrColGrid1->Row(), c.ok ? 1 : 5);
    EXPECT_EQ(Core->LineSetting, 5);  // the line setting is not the dialog's
  }
}

TEST_F(CommWindowsTest, EnvironmentChoicesRoundTripThroughTheSettings) {
  {
    kvl::TIniSettingsStore store(IniPath());
    store.Write("COMM", "PORT", "4");
    store.Write("COMM", "MULTI", "3");
    store.Write("COMM", "ADR", "17");
    store.Write("COMM", "SADR", "2");
    ASSERT_TRUE(store.Flush());
  }
  Start();
  EXPECT_EQ(Core->PortNumber, 4);
  EXPECT_EQ(ComSet->Multi(), 3);
  EXPECT_EQ(ComSet->Adr(), 17);
  EXPECT_EQ(ComSet->Sadr(), 2);
  EXPECT_EQ(ComSet->StationAddress(), 17);
  EXPECT_EQ(ComSet->SubAddress(), 2);

  ComSet->PrepareForShow();
  EXPECT_EQ(ComSet->comport->currentIndex(), 3);
  ComSet->comport->setCurrentIndex(11);
  ComSet->fontsize->setCurrentIndex(1);
  ComSet->OKBtnClick();
  ASSERT_TRUE(Main->SaveSettings());

  kvl::TIniSettingsStore store(IniPath());
  const kvl::MainSettings saved = kvl::ReadMainSettings(store, Main->Language);
  EXPECT_EQ(saved.PortNumber, 12);
  EXPECT_EQ(saved.FontSize, 8);
  EXPECT_EQ(saved.Multi, 3);
  EXPECT_EQ(saved.Address, 17);
  EXPECT_EQ(saved.SubAddress, 2);

  // The next start shows the saved port.
  Stop();
  Start();
  EXPECT_EQ(Core->PortNumber, 12);
  ComSet->PrepareForShow();
  EXPECT_EQ(Text(ComSet->comport->currentText()), "Port COM12");
  EXPECT_EQ(ComSet->fontsize->currentIndex(), 1);
}

TEST_F(CommWindowsTest, EnvironmentOkHandsTheFontToTheOtherWindows) {
  Start();
  Main->RegisterForm(Range.get());
  Main->RegisterForm(CommProg.get());
  ComSet->PrepareForShow();
  ComSet->fontsize->setCurrentIndex(0);
  ComSet->OKBtnClick();
  EXPECT_EQ(Range->font().pointSize(), 7);
  EXPECT_EQ(CommProg->font().pointSize(), 7);
}

}  // namespace
