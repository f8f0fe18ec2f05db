// The transfer thread: one whole-image read or write behind the progress
// window. The worker runs the port, probe, transfer and classification of
// RunTransferWorker; everything that touches the windows or the working
// values (progress, the model question, the data check, the finish with its
// commit and result message) runs on the user-interface thread through a
// blocking queued call, the thread's synchronise call. One thread is made
// per job; it deletes itself once it has ended.
#pragma once

#include <QThread>

#include <cstdint>
#include <functional>

#include "TransferJob.h"

class TCommProg;
class TCore;
class TMainForm;
class TRenzokuComm;

class TCommThread : public QThread {
 public:
  // The data check before a write: true when it found no errors (the main
  // window's data check for the chosen programs and parameters).
  using DataCheckFn = std::function<bool(bool programs, bool parameters)>;

  // Made on the user-interface thread, not yet started; the job's choices
  // are those of `settings`. Its frames count in frameCounter (none: not
  // counted) while that window is visible.
  TCommThread(TCommProg& window, TMainForm& main, TCore& core, const TransferJobSettings& settings,
              DataCheckFn dataCheck, TRenzokuComm* frameCounter = nullptr);
  ~TCommThread() override;

  // Cancel: the terminate flag, then the port closed under the worker (any
  // thread).
  void RequestCancel();
  bool CancelRequested() const { return Cancel.Requested(); }
  // The windows are going away: synchronised calls still return, but touch
  // nothing any more. User-interface thread.
  void Detach();

  // Synchronised finishers (user-interface thread).
  void FinishOk();
  void FinishError();
  // The model question of a write: the answer (7 No goes on with the
  // controller's model).
  int FinishModelChanged();
  // After the answer No has adopted the controller's model.
  void FollowAdoptedModel();
  bool CheckDataBeforeWrite(bool programs, bool parameters);
  void ShowProgress(int position, int maximum);

  // The job's result code (TransferResult) once it has one.
  int32_t Result = kTransferCommError;
  bool DataCheckPassed = false;

 protected:
  // The job, on the worker.
  void run() override;

 private:
  // Runs work on the user-interface thread and returns once it has run;
  // after Detach the work is skipped.
  void Synchronize(const std::function<void()>& work);

  TCommProg& Window;
  TMainForm& Main;
  TCore& Core;
  const TransferJobSettings Settings;
  DataCheckFn DataCheck;
  std::function<void()> FrameDone;  // the counter window's hook, made on the user-interface thread
  TTransferCancel Cancel;
  bool Detached = false;  // user-interface thread only
};
