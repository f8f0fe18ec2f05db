// The serial-port services of the operating system, reduced to what the
// controller link needs: device naming, exclusive opening, raw line set-up,
// queue counts, purging, DTR, a wake-up channel for waits and a monotonic
// millisecond clock. No Qt here.
#pragma once

#include <cstdint>
#include <string>

namespace kvl {

// The device behind port number n (1..16): the value of the environment
// variable KVLQ70_COM<n> when it is set and not empty, else /dev/ttyUSB<n-1>
// when that exists, else /dev/ttyS<n-1>.
std::string SerialDevicePath(int portNumber);

// Opens the device for reading and writing, non-blocking, without making it
// the controlling terminal, takes an exclusive advisory lock on it and puts
// the terminal into exclusive mode (no further open succeeds, locking or not,
// except the superuser's) for as long as the descriptor stays open. Returns
// the descriptor, or -1 when the device cannot be opened, another descriptor
// holds the lock or the device is in exclusive mode already.
int SerialOpenExclusive(const std::string& path);

// Discards bytes received and not yet read (input) and bytes written and not
// yet sent (output).
bool SerialPurge(int fd, bool input, bool output);

// Makes reads return at once with what has already arrived.
bool SerialSetNonBlocking(int fd);

// Speed and framing of a line; the data bits are always 8.
struct SerialLine {
  uint32_t Baud = 4800;
  bool EvenParity = true;    // else no parity
  bool TwoStopBits = false;  // else one stop bit
};

// SetFailed: the device refused the line state, or kept it other than asked
// (see SerialApplyLine).
enum class SerialLineResult { Ok, ReadFailed, SetFailed };

// The terminal flag words (input, output, control, local) of a line.
struct SerialFlags {
  uint32_t Input = 0;
  uint32_t Output = 0;
  uint32_t Control = 0;
  uint32_t Local = 0;
};

// The flags for the line, made from the flags the device reports: the speed
// given as a number, 8 data bits, the parity and stop bits, receiver on,
// modem lines ignored, parity checking on, no flow control of either kind,
// no echo, no line processing, no translation. Other bits stay.
SerialFlags SerialRawFlags(const SerialLine& line, SerialFlags current);

// Reads the line state, sets SerialRawFlags, the speed (any rate, also one
// without a standard constant) and reads that never wait, and writes it back.
// Then reads it again: a driver may take a setting and keep only part of it.
// SetFailed when the character size or the parity kept differs from what was
// asked, or the speed by more than 2%; a dropped second stop bit is let pass
// (a receiver checks only the first). A pseudo-terminal keeps neither parity
// nor character size and carries no bits on a wire: only its speed counts.
SerialLineResult SerialApplyLine(int fd, const SerialLine& line);

// Whether the device is a pseudo-terminal, by its device number (its driver's
// major number), whatever its line state.
bool SerialIsPseudoTerminal(int fd);

// The one call through which the line state is read and written and the
// device number asked for (ioctl with TCGETS2, TCSETS2 or TIOCGDEV). A test
// puts in a stand-in for a device whose driver drops part of a setting;
// nullptr puts ::ioctl back. Not for use while a port is being opened.
using SerialLineIoctl = int (*)(int fd, unsigned long request, void* argument);
void SetSerialLineIoctl(SerialLineIoctl call);

// The speed and framing the line is set to now.
bool SerialQueryLine(int fd, SerialLine& line);

// Bytes waiting to be read and bytes still waiting to be sent.
bool SerialQueueCounts(int fd, uint32_t& input, uint32_t& output);

// Drops DTR. 0 done, 1 the device has no modem lines (a pseudo-terminal),
// -1 failed.
int SerialDropDtr(int fd);

// Leaves exclusive mode and closes the descriptor (and with it the lock). False when the system
// reported an error; the descriptor is gone either way.
bool SerialClose(int fd);

// A wake-up channel: one thread waits on its descriptor with poll(), another
// signals it. Signals stay pending until drained.
int WakeCreate();
void WakeSignal(int wakeFd);
void WakeDrain(int wakeFd);
void WakeDestroy(int wakeFd);

// Milliseconds on a clock that never goes back.
uint64_t MonotonicMs();

}  // namespace kvl
