// The progress window of a transfer: modal, a bar and Cancel. Its first
// activation in a showing starts the job's transfer thread; the thread's
// finishers close it and report the result.
#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>
#include <string>

#include "DialogPresenter.h"
#include "UCore.h"

class QEventLoop;
class QLabel;
class QProgressBar;
class QPushButton;
class TCommThread;
class TCommunication;
class TMainForm;
class TRenzokuComm;

class TCommProg : public QDialog, public kvl::TModalForm {
 public:
  TCommProg(TMainForm& main, TCore& core, kvl::TDialogPresenter& presenter, QWidget* parent = nullptr);
  // A job still running is cancelled and waited for; its finishers touch
  // no window any more.
  ~TCommProg() override;

  // ---- where a job's choices come from (set once the other windows exist) ----
  // The range dialog whose boxes choose what moves (none: the whole image).
  void SetRangeDialog(const TCommunication* range);
  // The control panel's "Model Check" box (none: ticked).
  void SetModelCheck(std::function<bool()> modelCheck);
  // The main window's data check before a write: true when it found no
  // errors (none: nothing is checked).
  void SetDataCheck(std::function<bool(bool programs, bool parameters)> dataCheck);
  // The continuous-communication window whose frame count the jobs' frames
  // raise while it is visible (none: not counted).
  void SetFrameCounter(TRenzokuComm* counter);

  // The English texts in place when the main window's language is not
  // Japanese.
  void FormCreate();
  // The caption of a read (0) or a write (1), set before the showing.
  void SetDirectionCaption(int direction);
  // Shows the window modally through the presenter: the job of
  // TMainForm::CommDirection runs and reports its result. A cancelled job
  // still ending is waited for first.
  int Execute();

  // On the first activation of a showing: bar to 0, the worker made and
  // started. Later activations of the same showing start nothing.
  void FormActivate();
  // Cancel: the terminate flag, then the port closed; the window closes at
  // once, before the worker has ended.
  void BitBtn1Click();

  // Whether a job's worker has not ended yet (also after Cancel).
  bool WorkerRunning() const;
  // Handles events until the worker has ended.
  void WaitForWorker();

  // For the finishers: close (ends the modal showing), hide while a
  // question is asked, and show again within the same showing.
  void CloseWindow();
  void HideWindow();
  void ShowAgain();

  int ExecModal() override;
  int AnswerKey(bool enter) override;
  std::string FormCaption() const override;

  QLabel* Panel1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* BitBtn1 = nullptr;

  // Esc and any other close of the window: Cancel.
  void done(int result) override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void StartWorker();

  TMainForm& Main;
  TCore& Core;
  kvl::TDialogPresenter& Presenter;
  const TCommunication* RangeDialog = nullptr;
  std::function<bool()> ModelCheck;
  std::function<bool(bool, bool)> DataCheck;
  QPointer<TRenzokuComm> FrameCounter;
  QPointer<TCommThread> Worker;
  QEventLoop* Loop = nullptr;  // the modal showing's loop
  bool Showing = false;        // between Execute's show and the close
  bool StartPending = false;   // the showing's worker is not made yet
};
