#include "URenzokuthread.h"

#include "MessageCatalog.h"
#include "ServiceToolRules.h"
#include "TransferJob.h"
#include "URenzoku.h"
#include "mainform.h"

TRenzoku::TRenzoku(TRenzokuComm& counter, TMainForm& main, TCore& core, const TCore::TransferRange& range,
                   LogLine log)
    : Counter(counter), Main(main), Core(core), Range(range), Log(std::move(log)) {
  // Frames are counted as every job counts them: through the counter
  // window's hook, on the user-interface thread.
  Hooks.FrameDone = Counter.FrameCountHook([this](const std::function<void()>& work) { Synchronize(work); });
}

TRenzoku::~TRenzoku() = default;

void TRenzoku::RequestStop() {
  requestInterruption();
  Core.ClosePort();
}

void TRenzoku::Synchronize(const std::function<void()>& work) {
  QMetaObject::invokeMethod(
      this,
      [this, &work] {
        if (!Detached) work();
      },
      Qt::BlockingQueuedConnection);
}

void TRenzoku::ReportError(uint32_t protocolError) {
  std::string line;
  if (!StopRequested()) {
    Counter.CountError();
    line = kvl::ExerciserErrorLine(protocolError);
  }
  if (Log) Log(line);
}

void TRenzoku::run() {
  Synchronize([this] { Counter.ResetCounts(); });
  if (Core.OpenPort() != 0) {
    Synchronize([this] { Main.ShowMessageBox(kvl::kMessageTransfer, kTransferPortNotOpened); });
    return;
  }
  TransferJobObserver counter(Hooks);
  auto report = [this](bool ok) {
    if (ok) return;
    const uint32_t error = Core.Protocol->ProtocolError;
    Synchronize([this, error] { ReportError(error); });
  };
  while (!StopRequested()) {
    report(Core.ReadAllFromController(2, Range, &counter));
    report(Core.ReadAllFromController(1, Range, &counter));
    report(Core.WriteAllToController(1, Range, &counter));
  }
  // The port stays open until the stop closes it.
}
