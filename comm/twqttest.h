// The protocol test window of the service mode: single loader frames (word
// read and write, program read, write and delete) and text commands, each
// logged as one line; a text command repeated every 500 ms; the start and
// stop of the continuous exerciser; the control panel. Every button opens
// the port, makes its one exchange and closes the port again; none uses the
// port while the exerciser runs.
#pragma once

#include <QDialog>
#include <QPointer>

#include <cstdint>
#include <string>

#include "DialogPresenter.h"
#include "UCore.h"
#include "mainform.h"

class QButtonGroup;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class QWidget;
class TCommunication;
class TMainForm;
class TRenzoku;
class TRenzokuComm;

class TWQTTEST : public QDialog, public TProtocolTestView {
 public:
  static constexpr int kRepeatMs = 500;
  // The log keeps the newest lines up to this many; older ones are dropped.
  static constexpr int kLogLineLimit = 10000;

  TWQTTEST(TMainForm& main, TCore& core, TRenzokuComm& counter, kvl::TDialogPresenter& presenter,
           QWidget* parent = nullptr);
  // A running exerciser is stopped and waited for.
  ~TWQTTEST() override;

  // ---- the other windows it reaches (set once they exist) ----
  // The control panel of "拡張" (none: the button does nothing).
  void SetControlPanel(kvl::TModalForm* panel) { ControlPanel = panel; }
  // The range dialog whose boxes choose what the exerciser moves (none: the
  // whole image).
  void SetRangeDialog(const TCommunication* range) { RangeDialog = range; }

  // ---- as the main window shows it ----
  QWidget* TestWindow() override { return this; }
  void ShowLineSetting(int32_t lineSetting) override;
  void ShowTesterPage() override;

  // ---- handlers ----
  void SHLReadClick();
  void SHLWriteClick();
  void ProgReadClick();
  void ProgWriteClick();
  void ProgDeleteClick();
  void Button6Click();   // the WQT page's text command
  void Button4Click();   // the tester page's text command
  void Button5Click();   // repeat on or off
  void Timer1Timer();
  void Button7Click();   // history cleared
  void RadioGroup1Click();
  void RadioGroup2Click();
  void Button1Click();   // log cleared
  void Button2Click();   // continuous start
  void Button3Click();   // continuous stop
  void Button8Click();   // the control panel
  void BitBtn1Click();
  void FormClose();

  // Whether an exerciser has not ended yet (also after its stop).
  bool ExerciserRunning() const;
  // Handles events until the exerciser has ended.
  void WaitForExerciser();
  // The log's lines.
  QStringList LogLines() const;

  QPlainTextEdit* Memo1 = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QWidget* TabSheet3 = nullptr;
  QLineEdit* Edit1 = nullptr;  // address / start item
  QLineEdit* Edit2 = nullptr;  // data / count
  QPushButton* SHLRead = nullptr;
  QPushButton* SHLWrite = nullptr;
  QLineEdit* Edit3 = nullptr;  // program
  QLineEdit* Edit4 = nullptr;  // segment
  QPushButton* ProgRead = nullptr;
  QPushButton* ProgWrite = nullptr;
  QPushButton* ProgDelete = nullptr;
  QLineEdit* Edit6 = nullptr;
  QPushButton* Button6 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button7 = nullptr;
  QGroupBox* RadioGroup1 = nullptr;
  QButtonGroup* RadioGroup1Items = nullptr;
  QGroupBox* RadioGroup2 = nullptr;
  QButtonGroup* RadioGroup2Items = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button8 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QTimer* Timer1 = nullptr;

 // Every close of the window (its box, Esc, BitBtn1): FormClose first.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  // Enter in the tester page's box sends its command.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The numbers of the boxes, in order; false (the conversion error shown)
  // at the first box that is not an integer.
  bool Numbers(std::initializer_list<const QLineEdit*> edits, int32_t* values);
  // Confirmation box with OK and Cancel; true for OK.
  bool Confirm(const char* text);
  // One text command with the environment's addresses: the reply, empty
  // when it failed. testerPage: sent only when the port opened, and the
  // station address is set back to 1 afterwards.
  std::string TextCommand(const std::string& text, bool testerPage);
  // The tester page's command with its history.
  void TesterCommand();
  void AddLine(const std::string& line);
  // The tester page's free middle as wide as the counter window.
  void KeepClearOfCounter();
  // A loader frame's outcome as a log field: empty or the data on success,
  // else the error field.
  std::string Outcome(bool ok, const std::string& success) const;

  TMainForm& Main;
  TCore& Core;
  TRenzokuComm& Counter;
  kvl::TDialogPresenter& Presenter;
  kvl::TModalForm* ControlPanel = nullptr;
  const TCommunication* RangeDialog = nullptr;
  QPointer<TRenzoku> Exerciser;
  QGridLayout* TesterMiddle = nullptr;
};
