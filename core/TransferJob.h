// One whole-image transfer job as the progress window runs it: open the
// port, probe the controller and compare its model, check the data before a
// write, read or write the image, close the port and classify the outcome.
//
// The job is split where the threads meet. RunTransferWorker is the part
// that runs on the worker (port, probe, read, write); it changes no working
// value itself. What must run on the user-interface thread (the model
// question and the adoption of the controller's model, the data check, and
// FinishTransferOk: commit, feature flag, model reload) is reached through
// the Synchronize hook or called by the caller there. RunTransferJob runs
// both parts on the calling thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "UCore.h"

// Result codes of a transfer (worded as message kind 4).
enum TransferResult : int32_t {
  kTransferReadFinished = 0,
  kTransferNoReply = 1,          // time-out, no STX or checksum mismatch
  kTransferCommError = 2,        // any other fault without a refusal code
  kTransferStopped = 3,          // Cancel
  kTransferWrongIdentity = 4,    // the identity word is not 1552
  kTransferPortNotOpened = 5,
  kTransferBadFeatureWord = 6,   // the feature word is neither 0 nor 1
  kTransferRefused0 = 9,         // refusal code '0'
  kTransferRefusedF = 10,        // refusal code 'F'
  kTransferRefusedOther = 11,    // any other refusal code
  kTransferProgramRefused = 12,  // program write outside READY with revision below 2
  kTransferWrittenPartly = 13,   // written, but the controller refused some data ('G' or 'I')
  kTransferWriteFinished = 14,
};

// Modal results of the model question.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

struct TransferJobSettings {
  int CommDirection = 0;        // 0 read from the controller, 1 write to it
  bool ModelCheck = true;       // the control panel's "Model Check" box
  TCore::TransferRange Range;   // the range dialog's boxes
};

struct TransferJobHooks {
  // Runs the function on the user-interface thread and returns when it has
  // run (the thread's synchronise call). Empty: runs it at once.
  std::function<void(const std::function<void()>&)> Synchronize;
  // The model question of a write whose controller holds another model:
  // kAnswerYes stops the write, kAnswerNo adopts the controller's model and
  // goes on. Runs through Synchronize. Empty: kAnswerYes.
  std::function<int()> AskModelChanged;
  // After the answer No has adopted the controller's model, in the same
  // synchronise call (the windows follow the new model). Empty: nothing.
  std::function<void()> ModelAdopted;
  // The data check before a write (programs, parameters chosen): true when
  // it found no errors. Runs through Synchronize. Empty: nothing to check.
  std::function<bool(bool programs, bool parameters)> CheckData;
  // The progress bar: position (never past the maximum) and maximum. Called
  // on the thread that runs the worker part.
  std::function<void(int position, int maximum)> Progress;
  // After every program frame and every parameter-run frame (the frame count
  // of the continuous-communication window). Called on the thread that runs
  // the worker part. Empty: nothing.
  std::function<void()> FrameDone;
};

// What a job's reads and writes report, handed to the hooks: the progress
// bar's position (from 0, never past the maximum) and every frame done.
class TransferJobObserver : public TCore::TransferObserver {
 public:
  explicit TransferJobObserver(const TransferJobHooks& hooks) : Hooks(hooks) {}
  void ProgressMaximum(int maximum) override;
  void ProgressStep(int items) override;
  void FrameDone() override;

 private:
  void Report();

  const TransferJobHooks& Hooks;
  int Position = 0;
  int Maximum = 0;
};

// The Cancel of a running job: sets the terminate flag, then closes the port
// under the worker (the link's close may be called from any thread), so that
// the frame in progress fails at once.
class TTransferCancel {
 public:
  void Request(TCore& core);
  bool Requested() const { return Flag.load(); }
  void Reset() { Flag.store(false); }

 private:
  std::atomic<bool> Flag{false};
};

// How the worker part ended.
struct TransferWorkerOutcome {
  enum Kind {
    Finished,  // the transfer went through: FinishTransferOk gives the result
    Failed,    // Result holds the code to report
    Silent,    // ended without a result message: Yes to the model question,
               // or the data check found errors
  };
  Kind End = Failed;
  int32_t Result = kTransferCommError;  // Failed: the code; Finished: 0 or 14; Silent: -1
};

// A failed probe by the ProtocolError word: 1 for no reply, no STX or a bad
// checksum, else 2.
int32_t ClassifyLinkFault(uint32_t protocolError);
// A failed model read or transfer: as ClassifyLinkFault without a refusal
// code, else 9, 10 or 11 by the code.
int32_t ClassifyTransferFailure(uint32_t protocolError);

// The worker part (steps up to the transfer and its classification). The
// port is closed on every path that opened it.
TransferWorkerOutcome RunTransferWorker(TCore& core, const TransferJobSettings& settings,
                                        const TransferJobHooks& hooks, const TTransferCancel& cancel);

// The user-interface part after a finished transfer: for a read, commits
// what this job received (parameters and programs of group 1, then the model
// words), applies the feature flag, reloads the model words and rebuilds the
// model code; for both directions applies the feature flag. Returns 0 for a
// read, 14 or 13 for a write; 3 without touching anything when the job was
// cancelled meanwhile.
int32_t FinishTransferOk(TCore& core, const TransferJobSettings& settings, const TTransferCancel& cancel);

// The user-interface part of the answer No: the model words take the
// controller's values (as the model read received them), then the feature
// flag, the model words and their defaults, and the model code.
void AdoptControllerModel(TCore& core);

// Both parts on the calling thread (FinishTransferOk through Synchronize).
// Returns the result code, or -1 for a silent end.
int32_t RunTransferJob(TCore& core, const TransferJobSettings& settings, const TransferJobHooks& hooks,
                       const TTransferCancel& cancel);
