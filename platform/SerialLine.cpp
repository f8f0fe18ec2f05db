// Line speed and framing through termios2, which takes any bit rate (56000
// bit/s has no Bxxx constant). <asm/termbits.h> cannot share a unit with
// <termios.h>, so this file stands alone.
#include <asm/termbits.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>


#include "SerialPort.h"

namespace kvl {

namespace {

int SystemIoctl(int fd, unsigned long request, void* argument) { return ::ioctl(fd, request, argument); }

SerialLineIoctl LineIoctl = &SystemIoctl;

// Majors of the pseudo-terminal drivers: 2 and 3 the old masters and slaves,
// 128..135 the Unix 98 masters, 136..143 their slaves.
bool PseudoTerminalMajor(unsigned major) { return major == 2 || major == 3 || (major >= 128 && major <= 143); }

// A speed kept within 2% of the one asked for (0: none reported, e.g. an
// input speed that follows the output speed).
bool SpeedKept(uint32_t asked, uint32_t kept) {
  const uint64_t diff = kept > asked ? kept - asked : asked - kept;
  return diff * 50 <= asked;
}

bool LineKept(const SerialLine& asked, const struct termios2& kept, bool pseudoTerminal) {
  if (!SpeedKept(asked.Baud, kept.c_ospeed)) return false;
  if (kept.c_ispeed != 0 && !SpeedKept(asked.Baud, kept.c_ispeed)) return false;
  if (pseudoTerminal) return true;
  if ((kept.c_cflag & CSIZE) != CS8) return false;
  const bool parity = (kept.c_cflag & PARENB) != 0;
  if (parity != asked.EvenParity) return false;
  if (parity && (kept.c_cflag & (PARODD | CMSPAR)) != 0) return false;  // odd, mark or space parity
  return true;
}

}  // namespace

void SetSerialLineIoctl(SerialLineIoctl call) { LineIoctl = call ? call : &SystemIoctl; }

bool SerialIsPseudoTerminal(int fd) {
  unsigned int device = 0;
  if (LineIoctl(fd, TIOCGDEV, &device) == 0) return PseudoTerminalMajor(major(static_cast<dev_t>(device)));
  // A kernel without the request: the device node says it as well.
  struct stat node {};
  return ::fstat(fd, &node) == 0 && S_ISCHR(node.st_mode) && PseudoTerminalMajor(major(node.st_rdev));
}

SerialFlags SerialRawFlags(const SerialLine& line, SerialFlags current) {
  SerialFlags f = current;
  f.Control &= ~(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | CMSPAR);
  f.Control |= BOTHER | (BOTHER << IBSHIFT) | CS8 | CREAD | CLOCAL;
  if (line.EvenParity) f.Control |= PARENB;
  if (line.TwoStopBits) f.Control |= CSTOPB;
  // Binary transfer: frames carry every byte value, 0x11 and 0x13 included.
  f.Input &= ~(IGNBRK | BRKINT | IGNPAR | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IXON | IXANY | IXOFF |
               IMAXBEL);
  f.Input |= INPCK;
  f.Output &= ~(OPOST | ONLCR | OCRNL | ONOCR | ONLRET | OLCUC);
  f.Local &= ~(ISIG | ICANON | ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOKE | IEXTEN | NOFLSH | TOSTOP);
  return f;
}

SerialLineResult SerialApplyLine(int fd, const SerialLine& line) {
  struct termios2 tio {};
  if (LineIoctl(fd, TCGETS2, &tio) != 0) return SerialLineResult::ReadFailed;
  const SerialFlags f = SerialRawFlags(line, {tio.c_iflag, tio.c_oflag, tio.c_cflag, tio.c_lflag});
  tio.c_iflag = f.Input;
  tio.c_oflag = f.Output;
  tio.c_cflag = f.Control;
  tio.c_lflag = f.Local;
  tio.c_ispeed = line.Baud;
  tio.c_ospeed = line.Baud;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (LineIoctl(fd, TCSETS2, &tio) != 0) return SerialLineResult::SetFailed;
  // What the driver kept: a USB-serial adapter that cannot do a parity, or a
  // UART that rounds the speed, takes the request without an error.
  struct termios2 kept {};
  if (LineIoctl(fd, TCGETS2, &kept) != 0) return SerialLineResult::ReadFailed;
  if (!LineKept(line, kept, SerialIsPseudoTerminal(fd))) return SerialLineResult::SetFailed;
  return SerialLineResult::Ok;
}

bool SerialQueryLine(int fd, SerialLine& line) {
  struct termios2 tio {};
  if (LineIoctl(fd, TCGETS2, &tio) != 0) return false;
  line.Baud = tio.c_ospeed;
  line.EvenParity = (tio.c_cflag & PARENB) != 0 && (tio.c_cflag & PARODD) == 0;
  line.TwoStopBits = (tio.c_cflag & CSTOPB) != 0;
  return true;
}

}  // namespace kvl
