#include "SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace kvl {

std::string SerialDevicePath(int portNumber) {
  const std::string variable = "KVLQ70_COM" + std::to_string(portNumber);
  if (const char* value = std::getenv(variable.c_str()); value && *value) return value;
  const std::string usb = "/dev/ttyUSB" + std::to_string(portNumber - 1);
  if (::access(usb.c_str(), F_OK) == 0) return usb;
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

int SerialOpenExclusive(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  if (!::isatty(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  // The lock keeps out programs that lock too; exclusive mode keeps every
  // later open of the device out (the superuser's excepted).
  if (::ioctl(fd, TIOCEXCL) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool SerialPurge(int fd, bool input, bool output) {
  if (!input && !output) return true;
  const int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
  return ::tcflush(fd, which) == 0;
}

bool SerialSetNonBlocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool SerialQueueCounts(int fd, uint32_t& input, uint32_t& output) {
  int in = 0, out = 0;
  if (::ioctl(fd, FIONREAD, &in) != 0) return false;
  if (::ioctl(fd, TIOCOUTQ, &out) != 0) out = 0;  // a driver without an output count has none queued
  input = in < 0 ? 0 : static_cast<uint32_t>(in);
  output = out < 0 ? 0 : static_cast<uint32_t>(out);
  return true;
}

int SerialDropDtr(int fd) {
  int bits = TIOCM_DTR;
  if (::ioctl(fd, TIOCMBIC, &bits) == 0) return 0;
  if (errno == ENOTTY || errno == EINVAL) return 1;
  return -1;
}

bool SerialClose(int fd) {
  // Exclusive mode belongs to the device, not the descriptor: it would
  // outlast this close while another descriptor (a simulator's) holds the
  // device open.
  ::ioctl(fd, TIOCNXCL);
  // Linux releases the descriptor even when close reports an error, so it is
  // never closed a second time.
  return ::close(fd) == 0 || errno == EINTR;
}

int WakeCreate() { return ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }

void WakeSignal(int wakeFd) {
  const uint64_t one = 1;
  ssize_t ignored = ::write(wakeFd, &one, sizeof one);
  (void)ignored;
}

void WakeDrain(int wakeFd) {
  uint64_t value;
  while (::read(wakeFd, &value, sizeof value) > 0) {
  }
}

void WakeDestroy(int wakeFd) {
  if (wakeFd >= 0) ::close(wakeFd);
}

uint64_t MonotonicMs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace kvl
