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
  {
    std::lock_guard<std::mutex> lock(PauseMutex);
    requestInterruption();
  }
  PauseEnd.notify_all();
  Core.ClosePort();
}

void TRenzoku::PauseUntil(std::chrono::steady_clock::time_point until) {
  std::unique_lock<std::mutex> lock(PauseMutex);
  PauseEnd.wait_until(lock, until, [this] { return StopRequested(); });
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
  } else {
    StopLineLogged = true;
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
  // One operation of a round; false when it failed (reported). After the
  // stop the round's other operations are left out.
  auto run = [this](const std::function<bool()>& operation) {
    if (StopRequested()) return false;
    if (operation()) return true;
    const uint32_t error = Core.Protocol->ProtocolError;
    Synchronize([this, error] { ReportError(error); });
    return false;
  };
  while (!StopRequested()) {
    const auto start = std::chrono::steady_clock::now();
    // A round with a failure lasts a least a pause: on a dead line every
    // frame fails at once, and a range with nothing checked leaves only the
    // model read and the mode word, which would spin the loop unpaced.
    bool failed = !run([&] { return Core.ReadAllFromController(2, Range, &counter); });
    failed = !run([&] { return Core.ReadAllFromController(1, Range, &counter); }) || failed;
    failed = !run([&] { return Core.WriteAllToController(1, Range, &counter); }) || failed;
    if (failed) PauseUntil(start + std::chrono::milliseconds(kFailedRoundMs));
  }
  // Stopped between frames (in the wait, or between rounds): the stop's
  // empty line all the same.
  if (!StopLineLogged) Synchronize([this] { ReportError(0); });
  // The port stays open until the stop closes it.
}
