#include "TComm.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "PlainMessage.h"
#include "SerialPort.h"

namespace {
constexpr uint8_t kStx = 0x02;
constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kCr = 0x0D;
// Step of the wait for room in the output queue: the driver gives no event
// for "this much room", so the count is looked at again after each step.
constexpr uint64_t kOutputRoomStepMs = 2;

uint32_t PortFault(int error) { return TComm::kStatusPortFault + static_cast<uint32_t>(error & 0xFFF); }
}  // namespace

TComm::TComm() : WakeFd(kvl::WakeCreate()) {}

TComm::~TComm() {
  Close();
  kvl::WakeDestroy(WakeFd);
}

uint32_t TComm::Open() {
  if (PortNumber < 1 || PortNumber > 16) return 1;
  std::lock_guard<std::mutex> lock(Mutex);
  if (Fd.load() >= 0) return 3;  // already open: the open port stays as it is
  const int fd = kvl::SerialOpenExclusive(kvl::SerialDevicePath(PortNumber));
  if (fd < 0) return 3;
  uint32_t result = 0;
  if (!kvl::SerialPurge(fd, true, true)) {
    result = 5;
  } else if (!kvl::SerialSetNonBlocking(fd)) {
    result = 6;
  } else {
    kvl::SerialLine line;
    line.Baud = Baud;
    line.EvenParity = Parity == kParityEven;
    line.TwoStopBits = StopBits == kTwoStopBits;
    switch (kvl::SerialApplyLine(fd, line)) {
      case kvl::SerialLineResult::Ok: break;
      case kvl::SerialLineResult::ReadFailed: result = 7; break;
      case kvl::SerialLineResult::SetFailed: result = 8; break;
    }
  }
  if (result != 0) {
    kvl::SerialClose(fd);
    return result;
  }
  kvl::WakeDrain(WakeFd);  // a close of the previous job must not end this one
  SettleBeforeNextFrame = false;
  Fd.store(fd);
  return 0;
}

uint32_t TComm::Close() {
  // Wake a wait in progress first, so that the lock is let go at once.
  Closing.store(true);
  kvl::WakeSignal(WakeFd);
  std::lock_guard<std::mutex> lock(Mutex);
  Closing.store(false);
  const int fd = Fd.load();
  if (fd < 0) return 1;
  Fd.store(-1);
  SettleBeforeNextFrame = false;
  uint32_t result = 0;
  if (kvl::SerialDropDtr(fd) < 0) result = 3;
  if (!kvl::SerialClose(fd)) result = 4;
  return result;
}

TComm::WaitResult TComm::WaitPort(int fd, short events, uint64_t ms) {
  pollfd fds[2] = {{fd, events, 0}, {WakeFd, POLLIN, 0}};
  const int timeout = static_cast<int>(std::min<uint64_t>(ms, 1u << 30));
  const int n = ::poll(fds, 2, timeout);
  if (n < 0) return errno == EINTR ? WaitResult::TimedOut : WaitResult::Failed;
  if (fds[1].revents != 0 || Closing.load()) return WaitResult::Woken;
  if (n == 0) return WaitResult::TimedOut;
  // A line that hung up also reports itself readable: the hang-up counts.
  if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return WaitResult::Failed;
  return (fds[0].revents & events) ? WaitResult::Ready : WaitResult::Failed;
}

uint64_t TComm::CharacterBits() const {
  return 1 + 8 + (Parity != kParityNone ? 1 : 0) + (StopBits == kTwoStopBits ? 2 : 1);
}

uint32_t TComm::LineTimeMs(uint32_t characters) const {
  if (Baud == 0) return 0;
  return static_cast<uint32_t>((characters * CharacterBits() * 1000u + Baud - 1) / Baud);
}

bool TComm::WaitLineTime(uint32_t bytes, uint64_t limitMs) {
  if (Baud == 0) return true;
  const uint64_t bits = CharacterBits();
  // A little short of the full time, so that timer slack does not make the
  // wait end after the bytes are in.
  const uint64_t us = std::min<uint64_t>(bytes * bits * 1000000u * 15u / 16u / Baud, limitMs * 1000u);
  if (us == 0) return !Closing.load();
  pollfd wake = {WakeFd, POLLIN, 0};
  const timespec timeout = {static_cast<time_t>(us / 1000000u), static_cast<long>(us % 1000000u * 1000u)};
  const int n = ::ppoll(&wake, 1, &timeout, nullptr);
  return n <= 0 && !Closing.load();
}

bool TComm::Send(const uint8_t* bytes, uint32_t length) {
  if (Closing.load() || Fd.load() < 0) return false;
  if (length > OutputQueueSize) {
    kvl::ShowPlainMessage("send data too long");
    return false;
  }
  std::lock_guard<std::mutex> lock(Mutex);
  const int fd = Fd.load();
  if (fd < 0 || Closing.load()) return false;
  const uint64_t start = kvl::MonotonicMs();
  auto remaining = [&]() -> uint64_t {
    const uint64_t elapsed = kvl::MonotonicMs() - start;
    return elapsed >= ReceiveTimeout ? 0 : ReceiveTimeout - elapsed;
  };

  // Wait until the block fits beside what is still queued for sending.
  for (;;) {
    uint32_t waiting = 0, pending = 0;
    if (!kvl::SerialQueueCounts(fd, waiting, pending)) return false;
    if (static_cast<uint64_t>(pending) + length <= OutputQueueSize) break;
    const uint64_t left = remaining();
    if (left == 0) return false;
    pollfd wake = {WakeFd, POLLIN, 0};
    if (::poll(&wake, 1, static_cast<int>(std::min(left, kOutputRoomStepMs))) > 0 || Closing.load()) return false;
  }

  uint32_t written = 0;
  while (written < length) {
    const ssize_t n = ::write(fd, bytes + written, length - written);
    if (n > 0) {
      written += static_cast<uint32_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) break;
    const uint64_t left = remaining();
    if (left == 0) break;
    // A signal ends the poll early (reported as a time-out): the time left
    // decides, not the poll.
    const WaitResult r = WaitPort(fd, POLLOUT, left);
    if (r == WaitResult::Woken || r == WaitResult::Failed) break;
  }
  return written == length;
}

bool TComm::Receive(uint8_t* buffer, uint32_t expected, uint32_t& status, uint32_t& count) {
  status = 0;
  count = 0;
  if (Closing.load() || Fd.load() < 0) return false;
  std::lock_guard<std::mutex> lock(Mutex);
  const int fd = Fd.load();
  if (fd < 0 || Closing.load()) return false;

  const bool text = expected == kTextLine;
  const uint64_t start = kvl::MonotonicMs();
  bool complete = !text && expected == 0;
  bool overflow = false;  // text line longer than the buffer: dropping until the next STX
  int emptyReads = 0;  // reads that found nothing right after the port signalled data
  uint8_t piece[4096];

  while (!complete) {
    const ssize_t n = ::read(fd, piece, sizeof piece);
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      status = PortFault(errno);
      if (text) buffer[count] = 0;
      return false;
    }
    for (ssize_t i = 0; i < n && !complete; ++i) {
      const uint8_t b = piece[i];
      if (!text) {
        buffer[count++] = b;
        complete = count == expected;  // the rest of this piece is dropped
        continue;
      }
      if (b == kStx) {
        buffer[0] = b;
        count = 1;
        overflow = false;
        continue;
      }
      if (overflow) continue;
      if (count >= kLineBufferSize) {
        overflow = true;
        continue;
      }
      buffer[count++] = b;
      complete = b == kLf && count >= 2 && buffer[count - 2] == kCr;
    }
    if (complete) break;
    const uint64_t elapsed = kvl::MonotonicMs() - start;
    if (elapsed >= ReceiveTimeout) break;
    if (n > 0) {
      emptyReads = 0;
      // A binary reply under way: its missing bytes cannot come before their
      // time on the line. Wait for all but the last of them instead of
      // waking byte by byte; the last one is then met by the port's wait.
      if (!text && expected - count > 1 && !WaitLineTime(expected - count - 1, ReceiveTimeout - elapsed)) {
        status = 0;
        count = 0;
        return false;
      }
      continue;  // more may already be waiting
    }
    if (emptyReads >= 2) {
      // Readable yet nothing to read, again: the device has hung up.
      status = PortFault(EIO);
      if (text) buffer[count] = 0;
      return false;
    }
    switch (WaitPort(fd, POLLIN, ReceiveTimeout - elapsed)) {
      case WaitResult::Ready:
        ++emptyReads;
        break;
      case WaitResult::TimedOut:
        emptyReads = 0;
        break;
      case WaitResult::Woken:  // closed under us
        status = 0;
        count = 0;
        if (text) buffer[0] = 0;
        return false;
      case WaitResult::Failed: {
        // Hang-up: a last read tells why (a pseudo-terminal whose other side
        // went away reports EIO; a device that vanished reads 0 bytes).
        const ssize_t last = ::read(fd, piece, 1);
        status = PortFault(last < 0 ? errno : EIO);
        if (text) buffer[count] = 0;
        return false;
      }
    }
  }

  if (text) buffer[count] = 0;
  if (!text && !complete) {
    status = kStatusTimeout;
    return false;
  }
  if (count > 0) return true;
  status = kStatusTimeout;
  return false;
}

bool TComm::PurgeInput() {
  if (Closing.load()) return false;
  std::lock_guard<std::mutex> lock(Mutex);
  const int fd = Fd.load();
  return fd >= 0 && kvl::SerialPurge(fd, true, false);
}

void TComm::WaitQuiet(uint32_t quietMs, uint32_t limitMs) {
  if (Closing.load()) return;
  std::lock_guard<std::mutex> lock(Mutex);
  const int fd = Fd.load();
  if (fd < 0) return;
  const uint64_t start = kvl::MonotonicMs();
  uint64_t lastByte = start;
  uint8_t piece[4096];
  for (;;) {
    ssize_t n;
    while ((n = ::read(fd, piece, sizeof piece)) > 0) lastByte = kvl::MonotonicMs();
    if (n < 0 && errno != EAGAIN && errno != EINTR) return;  // the line failed: nothing to wait for
    const uint64_t now = kvl::MonotonicMs();
    const uint64_t quiet = now - lastByte, total = now - start;
    if (quiet >= quietMs || total >= limitMs) break;
    const uint64_t wait = std::min<uint64_t>(quietMs - quiet, limitMs - total);
    const WaitResult r = WaitPort(fd, POLLIN, wait);
    if (r == WaitResult::Woken) return;
    if (r == WaitResult::Failed) break;
  }
  kvl::SerialPurge(fd, true, false);
}
