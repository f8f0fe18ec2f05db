#include "TransferJob.h"

#include <algorithm>

namespace {

constexpr uint8_t kModelGroup = 2;
constexpr uint8_t kDataGroup = 1;

void OnUiThread(const TransferJobHooks& hooks, const std::function<void()>& work) {
  if (hooks.Synchronize)
    hooks.Synchronize(work);
  else
    work();
}

// Read when reading, or for the model words; else write.
bool RunTransfer(TCore& core, const TransferJobSettings& settings, uint8_t group, TransferJobObserver& progress) {
  if (settings.CommDirection == 1 && group != kModelGroup)
    return core.WriteAllToController(group, settings.Range, &progress);
  return core.ReadAllFromController(group, settings.Range, &progress);
}

TransferWorkerOutcome Failed(int32_t result) { return {TransferWorkerOutcome::Failed, result}; }

}  // namespace

void TransferJobObserver::ProgressMaximum(int maximum) {
  Maximum = maximum;
  Position = std::min(Position, Maximum);
  Report();
}

void TransferJobObserver::ProgressStep(int items) {
  Position = std::min(Position + items, Maximum);
  Report();
}

void TransferJobObserver::FrameDone() {
  if (Hooks.FrameDone) Hooks.FrameDone();
}

void TransferJobObserver::Report() {
  if (Hooks.Progress) Hooks.Progress(Position, Maximum);
}

void TTransferCancel::Request(TCore& core) {
  Flag.store(true);
  core.Protocol->Cancel();
}

int32_t ClassifyLinkFault(uint32_t protocolError) {
  const uint32_t fault = protocolError & 0x7FFFFFFF;
  return (fault == TProtocol::kErrTimeout || fault == TProtocol::kErrNoStx || fault == TProtocol::kErrChecksum)
             ? kTransferNoReply
             : kTransferCommError;
}

int32_t ClassifyTransferFailure(uint32_t protocolError) {
  switch (TProtocol::RefusalCode(protocolError)) {
    case 0:
      return ClassifyLinkFault(protocolError);
    case '0':
      return kTransferRefused0;
    case 'F':
      return kTransferRefusedF;
    default:
      return kTransferRefusedOther;
  }
}

TransferWorkerOutcome RunTransferWorker(TCore& core, const TransferJobSettings& settings,
                                        const TransferJobHooks& hooks, const TTransferCancel& cancel) {
  core.Protocol->ProtocolError = 0;
  core.ProgramWriteRefused = 0;
  core.ClearReceivedMarks();
  TransferJobObserver progress(hooks);

  if (cancel.Requested()) return Failed(kTransferStopped);
  if (core.OpenPort() != 0) return Failed(kTransferPortNotOpened);
  // Every end from here closes the port; a Cancel at any point wins.
  auto end = [&](int32_t result) {
    core.ClosePort();
    return Failed(cancel.Requested() ? kTransferStopped : result);
  };
  auto stopped = [&] { return cancel.Requested(); };
  if (stopped()) return end(kTransferStopped);

  if (settings.ModelCheck) {
    switch (core.ProbeController()) {
      case 0:
        break;
      case TCore::kProbeWrongIdentity:
        return end(kTransferWrongIdentity);
      case TCore::kProbeBadFeature:
        return end(kTransferBadFeatureWord);
      default:
        return end(ClassifyLinkFault(core.Protocol->ProtocolError));
    }
    if (stopped()) return end(kTransferStopped);

    // The controller's model words; without them there is nothing to
    // compare or adopt.
    if (!RunTransfer(core, settings, kModelGroup, progress))
      return end(ClassifyTransferFailure(core.Protocol->ProtocolError));
    if (stopped()) return end(kTransferStopped);

    const ParamDescriptor* h1 = core.GetParam(8, 96, 1, 0);
    const ParamDescriptor* h2 = core.GetParam(8, 97, 1, 0);
    const bool modelDiffers = h1->Value != h1->ReceivedValue || h2->Value != h2->ReceivedValue;

    if (settings.CommDirection == 1 && modelDiffers) {
      int answer = kAnswerYes;
      OnUiThread(hooks, [&] {
        answer = hooks.AskModelChanged ? hooks.AskModelChanged() : kAnswerYes;
        if (answer != kAnswerNo) return;
        AdoptControllerModel(core);
        if (hooks.ModelAdopted) hooks.ModelAdopted();
      });
      if (answer != kAnswerNo) {
        core.ClosePort();
        return {TransferWorkerOutcome::Silent, -1};
      }
      if (stopped()) return end(kTransferStopped);
    }

    if (settings.CommDirection == 1) {
      bool passed = true;
      OnUiThread(hooks, [&] {
        if (hooks.CheckData) passed = hooks.CheckData(settings.Range.CheckProgram, settings.Range.CheckParameter);
      });
      if (!passed) {
        core.ClosePort();
        return {TransferWorkerOutcome::Silent, -1};
      }
      if (stopped()) return end(kTransferStopped);
    }
  }

  const bool ok = RunTransfer(core, settings, kDataGroup, progress);
  if (stopped()) return end(kTransferStopped);
  if (!ok) {
    if (core.ProgramWriteRefused) return end(kTransferProgramRefused);
    return end(ClassifyTransferFailure(core.Protocol->ProtocolError));
  }
  core.ClosePort();
  return {TransferWorkerOutcome::Finished, settings.CommDirection == 1 ? kTransferWriteFinished
                                                                       : kTransferReadFinished};
}

int32_t FinishTransferOk(TCore& core, const TransferJobSettings& settings, const TTransferCancel& cancel) {
  if (cancel.Requested()) return kTransferStopped;
  if (settings.CommDirection != 1) {
    core.CommitReceived(kDataGroup, settings.Range);
    core.CommitReceived(kModelGroup, settings.Range);
    core.ApplyFeatureFlag();
    core.Model.LoadModelFromCore();
    core.BuildModelCode();
  }
  core.ApplyFeatureFlag();
  if (settings.CommDirection != 1) return kTransferReadFinished;
  const uint8_t code = TProtocol::RefusalCode(core.Protocol->ProtocolError);
  return (code == 'G' || code == 'I') ? kTransferWrittenPartly : kTransferWriteFinished;
}

void AdoptControllerModel(TCore& core) {
  // The model words as received, whichever range the write has chosen: the
  // answer asks for the controller's model.
  TCore::TransferRange words;
  words.CheckProgram = false;
  words.CheckParameter = true;
  core.CommitReceived(kModelGroup, words);
  core.ApplyFeatureFlag();
  core.Model.LoadModelFromCore();
  core.Model.ApplyModelDefaults();
  core.BuildModelCode();
}

int32_t RunTransferJob(TCore& core, const TransferJobSettings& settings, const TransferJobHooks& hooks,
                       const TTransferCancel& cancel) {
  const TransferWorkerOutcome outcome = RunTransferWorker(core, settings, hooks, cancel);
  if (outcome.End == TransferWorkerOutcome::Silent) return -1;
  if (outcome.End == TransferWorkerOutcome::Failed) return outcome.Result;
  int32_t result = kTransferStopped;
  OnUiThread(hooks, [&] { result = FinishTransferOk(core, settings, cancel); });
  return result;
}
