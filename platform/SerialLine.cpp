// Line speed and framing through termios2, which takes any bit rate (56000
// bit/s has no Bxxx constant). <asm/termbits.h> cannot share a unit with
// <termios.h>, so this file stands alone.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "SerialPort.h"

namespace kvl {

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
  if (::ioctl(fd, TCGETS2, &tio) != 0) return SerialLineResult::ReadFailed;
  const SerialFlags f = SerialRawFlags(line, {tio.c_iflag, tio.c_oflag, tio.c_cflag, tio.c_lflag});
  tio.c_iflag = f.Input;
  tio.c_oflag = f.Output;
  tio.c_cflag = f.Control;
  tio.c_lflag = f.Local;
  tio.c_ispeed = line.Baud;
  tio.c_ospeed = line.Baud;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (::ioctl(fd, TCSETS2, &tio) != 0) return SerialLineResult::SetFailed;
  return SerialLineResult::Ok;
}

bool SerialQueryLine(int fd, SerialLine& line) {
  struct termios2 tio {};
  if (::ioctl(fd, TCGETS2, &tio) != 0) return false;
  line.Baud = tio.c_ospeed;
  line.EvenParity = (tio.c_cflag & PARENB) != 0 && (tio.c_cflag & PARODD) == 0;
  line.TwoStopBits = (tio.c_cflag & CSTOPB) != 0;
  return true;
}

}  // namespace kvl
