// The continuous exerciser: a worker that opens the port once and then, until
// it is asked to stop, repeats a model read, a whole read and a whole write
// of the data image, counting frames and failures in the counter window. It
// touches no window itself: the counts, the log lines and the open-failure
// message run on the user-interface thread through a blocking queued call
// (the thread's synchronise call). It deletes itself once it has ended.
#pragma once

#include <QThread>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "TransferJob.h"
#include "UCore.h"

class TMainForm;
class TRenzokuComm;

class TRenzoku : public QThread {
 public:
  // A round in which any operation failed lasts at least this long: on a
  // line that fails every frame at once (its other end closed, the adapter
  // unplugged) the loop goes on without flooding the windows or taking a
  // processor. The stop ends the wait at once.
  static constexpr int kFailedRoundMs = 100;

  // Adds one line to the test window's log (user-interface thread).
  using LogLine = std::function<void(const std::string& line)>;

  // Made on the user-interface thread, not yet started; `range` chooses what
  // the whole reads and writes move.
  TRenzoku(TRenzokuComm& counter, TMainForm& main, TCore& core, const TCore::TransferRange& range, LogLine log);
  ~TRenzoku() override;

  // Stop: the terminate flag, then the port closed under the worker, so the
  // frame in progress fails at once and nothing more is reported. Any thread.
  void RequestStop();
  bool StopRequested() const { return isInterruptionRequested(); }
  // The windows are going away: synchronised calls still return but touch
  // nothing. User-interface thread.
  void Detach() { Detached = true; }

  // Synchronised (user-interface thread): one failed operation, by its
  // error word. Asked to stop: only an empty line (one at the end of every
  // run that was stopped).
  void ReportError(uint32_t protocolError);

 protected:
  void run() override;

 private:
  void Synchronize(const std::function<void()>& work);
  // Waits until then, or until the stop.
  void PauseUntil(std::chrono::steady_clock::time_point until);

  TRenzokuComm& Counter;
  TMainForm& Main;
  TCore& Core;
  const TCore::TransferRange Range;
  LogLine Log;
  TransferJobHooks Hooks;  // the frame count only
  bool Detached = false;  // user-interface thread only
  // The empty line of the stop is in the log (written in synchronised calls,
  // read by the worker after them).
  bool StopLineLogged = false;
  std::mutex PauseMutex;
  std::condition_variable PauseEnd;  // the stop
};
