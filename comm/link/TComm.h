// The serial port of the controller link: one port with 8 data bits, a chosen
// speed, parity and stop bits; one block sent at a time; one reply received,
// a binary reply of known length or one text line, within the receive
// time-out.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

// One line setting (LineSettingIndex 1..14 is row index - 1). Parity and stop
// bits use the codes of the port fields below.
struct LineSettingEntry {
  uint32_t Baud;
  uint16_t Parity;
  uint16_t StopBits;
};

inline constexpr int kLineSettingCount = 14;

// Odd indices: even parity, one stop bit; even indices: no parity, two stop
// bits. Indices 11 and 12 are 56000 bit/s, not 57600.
inline constexpr LineSettingEntry kLineSettings[kLineSettingCount] = {
    {4800, 2, 0},   {4800, 0, 2},   {9600, 2, 0},  {9600, 0, 2},  {19200, 2, 0},
    {19200, 0, 2},  {38400, 2, 0},  {38400, 0, 2}, {57600, 2, 0}, {57600, 0, 2},
    {56000, 2, 0},  {56000, 0, 2},  {115200, 2, 0}, {115200, 0, 2},
};

class TComm {
 public:
  static constexpr uint32_t kTextLine = 0xFFFFFFFF;  // expected length that asks for one text line
  static constexpr uint32_t kStatusTimeout = 0x10000;
  // A read or wait on the port failed: this plus the system's error number.
  static constexpr uint32_t kStatusPortFault = 0x1000;
  // A text line holds at most this many bytes; the buffer needs one more for
  // the terminating NUL.
  static constexpr uint32_t kLineBufferSize = 4096;

  static constexpr uint16_t kParityNone = 0;
  static constexpr uint16_t kParityEven = 2;
  static constexpr uint16_t kOneStopBit = 0;
  static constexpr uint16_t kTwoStopBits = 2;

  TComm();
  ~TComm();
  TComm(const TComm&) = delete;
  TComm& operator=(const TComm&) = delete;

  // Opens the device of PortNumber (see kvl::SerialDevicePath) with Baud,
  // Parity and StopBits. 0 success; 1 port number outside 1..16; 3 the port
  // could not be opened, is in use (by this or another object or program) or
  // is already open here; 5 the purge failed; 6 non-waiting reads could not
  // be set; 7 the line state could not be read; 8 the line state was refused,
  // or the device kept another character size, parity or speed (more than 2%
  // off) than asked for (see kvl::SerialApplyLine).
  // (4, refused queue sizes, does not occur: the driver's queues are fixed.)
  uint32_t Open();

  // Closes the port. May be called from any thread, also while another thread
  // is inside Send or Receive: that call is woken, ends as on a closed port,
  // and the descriptor is closed only after it has let go of it.
  // 0 success; 1 the port was not open; 3 dropping DTR failed; 4 closing
  // failed. The port is closed in every case but 1.
  uint32_t Close();

  // Close for the Cancel buttons of the transfer and exerciser windows.
  uint32_t Cancel() { return Close(); }

  // Writes one block. False when the port is closed, the block is longer than
  // OutputQueueSize ("send data too long" is shown, nothing is written), the
  // output queue had no room for it within ReceiveTimeout, or not every byte
  // was written.
  bool Send(const uint8_t* bytes, uint32_t length);

  // Receives one reply. expected: the exact byte count of a binary reply
  // (buffer holds at least expected bytes), or kTextLine for one text line
  // (buffer holds kLineBufferSize + 1 bytes). A text line starts anew at every
  // STX and ends after CR LF; a NUL follows the stored bytes. A line longer
  // than kLineBufferSize keeps its first kLineBufferSize bytes and drops the
  // rest until the next STX. status: kStatusTimeout when nothing (binary: not
  // all) arrived within ReceiveTimeout, kStatusPortFault + error number when
  // the port failed, 0 when the port is or was closed meanwhile.
  bool Receive(uint8_t* buffer, uint32_t expected, uint32_t& status, uint32_t& count);

  bool IsOpen() const { return Fd.load() >= 0; }
  int Handle() const { return Fd.load(); }

  // Drops every byte received and not yet read.
  bool PurgeInput();

  // Reads and drops bytes until the line has been quiet for quietMs (or
  // limitMs have passed), then purges the input.
  void WaitQuiet(uint32_t quietMs, uint32_t limitMs);

  // Milliseconds (rounded up) that this many characters take on the line at
  // Baud with the framing of Parity and StopBits.
  uint32_t LineTimeMs(uint32_t characters) const;
  // Bits of one character on the line: start, eight data, parity, stop.
  uint64_t CharacterBits() const;

  int32_t PortNumber = 1;
  uint32_t InputQueueSize = 4096;
  uint32_t OutputQueueSize = 4096;
  uint32_t ReceiveTimeout = 0;  // milliseconds
  uint32_t Baud = 4800;
  uint16_t Parity = kParityEven;
  uint16_t StopBits = kOneStopBit;

 protected:
  // Set by the protocol after a try that got no reply; cleared by Open and
  // Close.
  std::atomic<bool> SettleBeforeNextFrame{false};

 private:
  enum class WaitResult { Ready, TimedOut, Woken, Failed };
  // Waits for the port to become readable (or writable) for at most ms.
  WaitResult WaitPort(int fd, short events, uint64_t ms);
  // Waits (at most limitMs) as long as bytes take on the line at Baud with
  // the framing of Parity and StopBits; only a Close ends it early (false).
  bool WaitLineTime(uint32_t bytes, uint64_t limitMs);

  std::atomic<int> Fd{-1};
  std::atomic<bool> Closing{false};
  int WakeFd = -1;
  std::mutex Mutex;  // held by whoever uses the descriptor
};
