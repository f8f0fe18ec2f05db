#include "tcommthread.h"

#include <QComboBox>
#include <QListWidget>
#include <QProgressBar>


#include "MessageCatalog.h"
#include "UCore.h"
#include "URenzoku.h"
#include "mainform.h"
#include "progress.h"

TCommThread::TCommThread(TCommProg& window, TMainForm& main, TCore& core, const TransferJobSettings& settings,
                         DataCheckFn dataCheck, TRenzokuComm* frameCounter)
    : Window(window), Main(main), Core(core), Settings(settings), DataCheck(std::move(dataCheck)) {
  if (frameCounter)
    FrameDone = frameCounter->FrameCountHook([this](const std::function<void()>& work) { Synchronize(work); });
}

TCommThread::~TCommThread() = default;

void TCommThread::RequestCancel() { Cancel.Request(Core); }

void TCommThread::Detach() { Detached = true; }

void TCommThread::Synchronize(const std::function<void()>& work) {
  QMetaObject::invokeMethod(
      this,
      [this, &work] {
        if (!Detached) work();
      },
      Qt::BlockingQueuedConnection);
}

void TCommThread::run() {
  TransferJobHooks hooks;
  hooks.Synchronize = [this](const std::function<void()>& work) { Synchronize(work); };
  hooks.AskModelChanged = [this] { return FinishModelChanged(); };
  hooks.ModelAdopted = [this] { FollowAdoptedModel(); };
  hooks.CheckData = [this](bool programs, bool parameters) { return CheckDataBeforeWrite(programs, parameters); };
  hooks.Progress = [this](int position, int maximum) {
    Synchronize([this, position, maximum] { ShowProgress(position, maximum); });
  };
  hooks.FrameDone = FrameDone;

  const TransferWorkerOutcome outcome = RunTransferWorker(Core, Settings, hooks, Cancel);
  switch (outcome.End) {
    case TransferWorkerOutcome::Finished:
      Synchronize([this] { FinishOk(); });
      break;
    case TransferWorkerOutcome::Failed:
      Result = outcome.Result;
      Synchronize([this] { FinishError(); });
      break;
    case TransferWorkerOutcome::Silent:
      break;
  }
}

void TCommThread::FinishOk() {
  // Commits a read, applies the feature flag; a Cancel meanwhile commits
  // nothing and ends as stopped.
  Result = FinishTransferOk(Core, Settings, Cancel);
  if (Result == kTransferStopped) {
    FinishError();
    return;
  }
  if (Settings.CommDirection != 1) {
    Main.RefreshGroups();
    Main.UpdateMenus();
    Main.ClearErrorList();
    Main.SetErrorListHeight(false);
    Main.UpdateCaption();
  }
  Window.ProgressBar1->setValue(Window.ProgressBar1->maximum());
  Main.ComboBoxProgNum->setCurrentIndex(0);
  Main.UpdateGrid(true);
  Main.ShowProgramTag();
  Window.CloseWindow();
  Main.ShowMessageBox(kvl::kMessageTransfer, Result);
}

void TCommThread::FinishError() {
  Window.CloseWindow();
  Main.ShowMessageBox(kvl::kMessageTransfer, Result);
  Main.UpdateGrid(true);
  Main.ShowProgramTag();
}

int TCommThread::FinishModelChanged() {
  Window.HideWindow();
  const int answer = Main.ShowMessageBox(kvl::kMessageModelMismatch, 0);
  if (answer != kAnswerNo) Window.CloseWindow();
  return answer;
}

void TCommThread::FollowAdoptedModel() {
  Main.UpdateModelCaption();
  Main.RefreshGroups();
  Main.UpdateMenus();
  Main.ShowProgramTag();
  Window.ShowAgain();
}

bool TCommThread::CheckDataBeforeWrite(bool programs, bool parameters) {
  DataCheckPassed = true;
  if (DataCheck) DataCheckPassed = DataCheck(programs, parameters);
  if (!DataCheckPassed) {
    Window.CloseWindow();
    Main.ShowMessageBox(kvl::kMessageDataCheck, 0);
  }
  return DataCheckPassed;
}

void TCommThread::ShowProgress(int position, int maximum) {
  Window.ProgressBar1->setMaximum(maximum);
  Window.ProgressBar1->setValue(position);
}
