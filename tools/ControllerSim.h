// A simulated controller: it answers loader frames and WQT text commands on
// the master side of a pseudo-terminal, from its own image of the controller's
// memory, so that the link and the transfers can be tried without a
// controller. The loader opens the slave side (SlavePath) like a serial port.
//
// Its frame decoding and checksums are its own, so that a fault of the
// link's encoders shows up as a frame it refuses to answer.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "SerialPort.h"

namespace kvlsim {

enum class FrameKind : uint8_t {
  Any,  // in a fault: frames of every kind
  ReadWord,
  ReadWords,
  WriteWord,
  WriteWords,
  ReadProgram,
  WriteProgram,
  DeleteProgram,
  Text,
};

// One frame the simulator received.
struct FrameRecord {
  FrameKind Kind = FrameKind::Any;
  // Word address; program number (program frames) or pattern number
  // (deletes); station address (text commands).
  uint16_t Address = 0;
  // Segment (program frames); first segment deleted (deletes).
  uint16_t Segment = 0;
  uint8_t StartItem = 0;  // program frames
  // Words of a word frame (1 for the single-word frames), items of a program
  // frame, characters of a text command's body; 0 for deletes.
  uint16_t Count = 0;
  // Checksum and layout right and addressed to this controller; only such a
  // frame is answered.
  bool Valid = false;
  std::vector<uint8_t> Bytes;  // the frame as it came
  std::string Text;            // the body of a text command
};

enum class FaultKind : uint8_t {
  BadChecksum,    // the reply's checksum is wrong
  NoStx,          // a loader reply starts with another byte; a text reply lacks its STX
  Silence,        // no reply
  ShortReply,     // the reply is cut off
  Garbage,        // noise bytes go before the reply
  Refusal,        // a loader reply with status Status (checksum right)
  ForeignHeader,  // a text reply names another station
  NoEtx,          // a text reply without ETX (checksum right)
  LineDrop,       // the line goes away instead of a reply
  // The reply is held until the next frame (the loader's retry) has come in
  // and goes DelayMs after it: it reaches the loader while the retry waits
  // (Late) or after the retry's own reply (LateOvertaken), however slowly
  // the loader gets to send its retry.
  Late,           // replies to later frames wait behind it
  LateOvertaken,  // replies to later frames go before it
  Echo,           // the request comes back in place of the reply, as on a line that loops back
};

// A fault spoils the replies to matching frames. Every condition given must
// hold.
struct Fault {
  FaultKind Kind = FaultKind::Silence;
  int FrameNumber = 0;  // only the n-th frame received (1 = the first), 0 any
  FrameKind OnKind = FrameKind::Any;
  int Address = -1;  // only frames of this FrameRecord::Address, -1 any
  int Times = 1;     // how many replies it spoils, -1 all
  uint8_t Status = 0x47;  // Refusal: the status byte sent (0x00 too)
  // ShortReply: bytes kept (0: half of them); Garbage: noise bytes (0: 3).
  int Bytes = 0;
  int DelayMs = 0;  // Late, LateOvertaken: after the next frame has come in
};

struct Config {
  uint16_t Station = 1;  // text commands for another station get no reply
  uint16_t SubAddress = 0;
  char DeviceCode = 'X';
  // Byte time: delay each reply by the time the request and the reply take
  // on the line, at LineBaud or (0) the speed the port is set to.
  bool EmulateByteTime = false;
  uint32_t LineBaud = 0;
  uint32_t ReplyLatencyMs = 0;  // the controller's think time before each reply
  // Words that are written only in READY mode (the setup data); outside READY
  // a write touching them is refused with kRefuseNotReady.
  uint16_t ReadyOnlyFirst = 4501;
  uint16_t ReadyOnlyLast = 4600;
  // A frame that stays incomplete for this long is dropped.
  uint32_t FrameGapMs = 200;
  // Line noise: this share (0..1) of the replies that no fault spoils gets
  // one byte changed, drawn with CorruptSeed; a changed first byte is a
  // missing STX, any other a checksum mismatch.
  double CorruptShare = 0;
  uint32_t CorruptSeed = 1;
};

class TControllerSim {
 public:
  // Words with a fixed meaning.
  static constexpr uint16_t kModeWord = 508;       // READY when its low 4 bits are 1
  static constexpr uint16_t kTransferWord = 527;   // the transfer marker
  static constexpr uint16_t kRevisionWord = 4600;  // program writes outside READY need 2 or more
  static constexpr uint16_t kIdentityWord = 9997;
  static constexpr uint16_t kFeatureWord = 9999;
  static constexpr uint16_t kIdentity = 1552;
  static constexpr uint16_t kFirstSetupWord = 1001;
  static constexpr uint16_t kLastSetupWord = 4600;
  static constexpr int kPatterns = 19;
  static constexpr int kSegments = 30;
  static constexpr int kSegmentItems = 23;  // items of segments 1..30
  static constexpr int kHeadItems = 7;      // items of segment 0: 3 pattern items, 4 tag words
  static constexpr uint16_t kEmpty = 32767;

  // Refusal status bytes.
  static constexpr uint8_t kAccepted = 0x80;
  static constexpr uint8_t kRefuseAddress = 0x45;          // no such word, item or segment, or read only
  static constexpr uint8_t kRefuseProgramNotReady = 0x46;  // program change outside READY, revision below 2
  static constexpr uint8_t kRefuseNotReady = 0x47;         // setup data written outside READY

  explicit TControllerSim(const Config& config = {});
  ~TControllerSim();
  TControllerSim(const TControllerSim&) = delete;
  TControllerSim& operator=(const TControllerSim&) = delete;

  // Opens a pseudo-terminal and starts answering on it. False when no
  // pseudo-terminal could be had.
  bool Start();
  // Stops answering and closes the pseudo-terminal. Safe to call twice.
  void Stop();
  bool Running() const;
  // The device the loader opens, e.g. /dev/pts/3.
  std::string SlavePath() const;

  Config GetConfig() const;
  void SetConfig(const Config& config);

  // The image. Words exist at 1001..4600 and at the fixed addresses; a frame
  // naming any other word is refused. SetWord adds a word that is missing.
  bool HasWord(uint16_t address) const;
  uint16_t Word(uint16_t address) const;  // 0 for a missing word
  void SetWord(uint16_t address, uint16_t value);
  // Program data in the controller's layout: pattern 1..19; segment 0 items
  // 1..3 the pattern items and 4..7 the tag words; segments 1..30 items 1..23.
  uint16_t ProgramWord(int pattern, int segment, int item) const;
  void SetProgramWord(int pattern, int segment, int item, uint16_t value);
  // The tag as 8 characters; word k holds character 2k in its high byte.
  std::string Tag(int pattern) const;
  void SetTag(int pattern, std::string_view tag);  // blank-padded or cut to 8
  // The leading segments whose item 1 is not empty.
  int UsedSegments(int pattern) const;

  // The reply body to a text command body (default: "OK"). Runs on the
  // simulator's thread with its lock held: it must not call the simulator.
  using TextResponder = std::function<std::string(const std::string& body)>;
  void SetTextResponder(TextResponder responder);

  void AddFault(const Fault& fault);
  void ClearFaults();
  // The line goes away now: both sides of the pseudo-terminal close under
  // the loader.
  void DropLine();
  // Writes bytes on the line (after any reply still being sent).
  void SendRaw(const std::vector<uint8_t>& bytes);

  // The frames received, in order; their numbers (for Fault::FrameNumber)
  // start again at 1 after ClearFrames.
  std::vector<FrameRecord> Frames() const;
  size_t FrameCount() const;
  void ClearFrames();
  // Called on the simulator's thread for each frame received, with its lock
  // held: it must not call the simulator.
  void SetFrameObserver(std::function<void(const FrameRecord&)> observer);
  // Every byte received, frames and noise.
  uint64_t BytesReceived() const;
  // Replies spoiled by Config::CorruptShare since the start.
  uint64_t Corrupted() const;

  // The speed and framing the port is set to now.
  bool LineSettings(kvl::SerialLine& line) const;

 private:
  struct Outgoing {
    uint64_t DueUs;  // not before
    std::vector<uint8_t> Bytes;
    size_t Sent = 0;
    uint64_t ByteUs = 0;  // pacing, 0 all at once
    bool DropAfter = false;
    // Held until this many frames have come in, then due HoldUs later; 0:
    // not held.
    size_t AfterFrames = 0;
    uint64_t HoldUs = 0;
  };
  void ReleaseHeld(uint64_t nowUs);

  void Run();
  void ResetImage();
  void CloseLine();
  void Parse(uint64_t nowUs);
  bool TryLoader(uint64_t nowUs, bool& needMore);
  bool TryText(uint64_t nowUs, bool& needMore);
  void Handle(FrameRecord record, std::vector<uint8_t> reply, uint64_t nowUs);
  std::vector<uint8_t> AnswerLoader(const std::vector<uint8_t>& frame, FrameRecord& record);
  std::vector<uint8_t> AnswerText(const std::vector<uint8_t>& frame, FrameRecord& record);
  uint8_t CheckWords(uint16_t address, int count, bool write) const;
  uint8_t CheckProgram(int pattern, int segment, int startItem, int count, bool write) const;
  bool Ready() const;
  const Fault* MatchFault(const FrameRecord& record, size_t number);
  void Spoil(const Fault& fault, FrameKind kind, std::vector<uint8_t>& reply);
  uint64_t ByteTimeUs() const;
  void Flush(uint64_t nowUs);
  uint64_t NextWakeUs(uint64_t nowUs) const;

  mutable std::mutex M;
  Config Cfg;
  int Master = -1;
  int Slave = -1;
  int Wake = -1;
  std::string Path;
  std::thread Thread;
  bool StopRequested = false;
  bool DropRequested = false;
  bool Started = false;

  std::array<uint16_t, 65536> Words{};
  std::bitset<65536> Present;
  uint16_t Program[kPatterns][kSegments + 1][kSegmentItems + 1] = {};

  TextResponder Responder;
  std::vector<Fault> Faults;
  std::vector<FrameRecord> Log;
  std::function<void(const FrameRecord&)> Observer;
  uint64_t ByteCount = 0;

  std::vector<uint8_t> In;
  uint64_t LastInUs = 0;
  std::deque<Outgoing> Out;
  std::vector<Outgoing> Held;  // late replies that others overtake, until due
  std::mt19937 Noise;
  uint64_t CorruptedCount = 0;
  uint64_t LineFreeUs = 0;  // when the reply being sent is done, for ordering
};

}  // namespace kvlsim
