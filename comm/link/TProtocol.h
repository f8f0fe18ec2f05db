// The serial link object: the controller's binary loader frames and its WQT
// text command frames over one TComm port. One request is outstanding at a
// time; frames carry no sequence numbers.
#pragma once

#include <cstdint>
#include <string>

#include "TComm.h"

// Addressing of the text command frames.
struct WqtAddress {
  uint16_t Station = 1;     // sent as 2 upper-case hex digits
  uint16_t SubAddress = 0;  // sent as 2 upper-case hex digits
  char DeviceCode = 'X';
  uint8_t ChecksumFlag = 0;  // 1: frames carry a checksum
};

class TProtocol : public TComm {
 public:
  // Frame bytes.
  static constexpr uint8_t kStx = 0x02;
  static constexpr uint8_t kEtx = 0x03;
  static constexpr uint8_t kCr = 0x0D;
  static constexpr uint8_t kLf = 0x0A;
  static constexpr uint8_t kStatusAccepted = 0x80;

  // Loader frame commands.
  static constexpr uint8_t kCmdReadWord = 0x00;
  static constexpr uint8_t kCmdReadWords = 0x04;
  static constexpr uint8_t kCmdWriteWord = 0x40;   // '@'
  static constexpr uint8_t kCmdWriteWords = 0x44;  // 'D'
  static constexpr uint8_t kCmdReadProgram = 0x10;
  static constexpr uint8_t kCmdWriteProgram = 0x50;   // 'P'
  static constexpr uint8_t kCmdDeleteProgram = 0x58;  // 'X'

  // Data words one frame carries at most (requests up to 258 bytes, replies
  // up to 256).
  static constexpr int kMaxFrameWords = 125;
  static constexpr uint32_t kMaxRequestLength = 8 + 2 * kMaxFrameWords;

  // ProtocolError values.
  static constexpr uint32_t kErrTimeout = 0x10000;     // no (complete) reply within the time-out
  static constexpr uint32_t kErrNoStx = 0x20000;       // loader reply does not start with STX
  static constexpr uint32_t kErrHeader = 0x20000;      // text reply header differs from the request's
  static constexpr uint32_t kErrChecksum = 0x40000;
  static constexpr uint32_t kErrNotSent = 0x80000;     // request refused before sending (count or length)
  static constexpr uint32_t kErrNoTextReply = 0xF0000;  // text command: no reply, port closed
  static constexpr uint32_t kErrNoEtx = 0x200000;
  // A refusal: the controller's status byte in the top byte (0 for status
  // 0x00, which carries no refusal code and counts as a communication error).
  static constexpr uint32_t RefusalError(uint8_t status) { return static_cast<uint32_t>(status) << 24; }
  // The refusal code of an error word (its top byte, top bit cleared); 0 when none.
  static constexpr uint8_t RefusalCode(uint32_t error) { return static_cast<uint8_t>((error >> 24) & 0x7F); }

  TProtocol();

  // Loader operations: true when the controller accepted the frame; on
  // failure ProtocolError tells why and nothing is copied out. Counts outside
  // 0..kMaxFrameWords are refused before sending (kErrNotSent).
  bool ReadWords(uint16_t address, int16_t count, uint16_t* words);
  bool WriteWords(uint16_t address, int16_t count, const uint16_t* values);
  bool ReadProgram(uint8_t program, uint8_t segment, uint16_t* words, int16_t count, uint8_t startItem);
  bool WriteProgram(uint8_t program, uint8_t segment, const int16_t* values, int16_t count, uint8_t startItem);
  bool DeleteProgram(uint16_t pattern, uint16_t firstSegment);

  // Sends the request and awaits a reply of expected bytes in reply; a
  // missing, short, STX-less or mis-summed reply is retried up to RetryCount
  // times, a refusal never.
  bool Transact(const uint8_t* request, uint32_t length, uint32_t expected, uint8_t* reply);

  // The verdict on a complete loader reply of expected bytes: true only when
  // its status byte is kStatusAccepted. Otherwise error is the ProtocolError
  // it gives: kErrNoStx or kErrChecksum (retried), or RefusalError of the
  // status (final). A refusal with status 0x00 gives the word 0, so the
  // verdict, never the word, tells whether a reply was accepted.
  static bool LoaderReplyAccepted(const uint8_t* reply, uint32_t expected, uint32_t& error);
  // The count data words of an accepted read reply.
  static void CopyReplyWords(const uint8_t* reply, int count, uint16_t* words);

  // The verdict on a received text line of count characters (no NUL needed)
  // to a request with this header: 0 accepted, with the reply body in body;
  // else its ProtocolError, body untouched. A line cut off before its CR LF
  // gives kErrTimeout.
  static uint32_t TextReplyError(const char* line, uint32_t count, const char* header, uint32_t headerLength,
                                 bool checksum, std::string& body);

  // (1 + the sum of the first length - 1 bytes) modulo 256.
  static uint8_t LoaderSum(const uint8_t* bytes, uint32_t length);
  static uint16_t GetWord(const uint8_t* buffer, int offset) {
    return static_cast<uint16_t>(buffer[offset] + 256 * buffer[offset + 1]);
  }

  // One text command: message wrapped with the Wqt addressing, the reply
  // checked and its body returned. Only a missing reply is retried.
  bool WqtCommand(const std::string& message, std::string& reply);
  // The two hex digits of the checksum of the characters, and a NUL (out
  // holds 3).
  static void WqtSum(const char* characters, int length, char* out);

  uint32_t ProtocolError = 0;  // the last failure; success never clears it
  int32_t RetryCount = 0;      // a frame is tried RetryCount + 1 times
  WqtAddress Wqt;

 private:
  // A bad reply is drained until the line has been quiet for this many
  // characters plus the controller's usual reply latency, then retried.
  static constexpr uint32_t kDrainCharacters = 4;
  static constexpr uint32_t kReplyLatencyMs = 30;
  // After a try that got no reply, the next frame waits for this much quiet
  // line first: a reply arriving after a later try's must not be read as the
  // next frame's.
  static constexpr uint32_t kLateReplyQuietMs = 300;

  void SettleIfDue();
  void DrainBadReply();
  bool CheckCount(int16_t count);
};
