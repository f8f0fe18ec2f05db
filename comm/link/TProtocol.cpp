#include "TProtocol.h"

#include <cstring>

TProtocol::TProtocol() { ReceiveTimeout = 2000; }

uint8_t TProtocol::LoaderSum(const uint8_t* bytes, uint32_t length) {
  unsigned sum = 1;
  for (uint32_t i = 0; i + 1 < length; ++i) sum += bytes[i];
  return static_cast<uint8_t>(sum & 0xFF);
}

void TProtocol::SettleIfDue() {
  if (!SettleBeforeNextFrame) return;
  SettleBeforeNextFrame = false;
  // A try went unanswered, so its reply may still come; any late reply
  // starts the wait again.
  WaitQuiet(kLateReplyQuietMs, ReceiveTimeout + kLateReplyQuietMs);
}

void TProtocol::DrainBadReply() {
  // The rest of a spoiled reply follows within a few character times; a
  // reply of the controller to the same request within its reply latency.
  WaitQuiet(LineTimeMs(kDrainCharacters) + kReplyLatencyMs, ReceiveTimeout);
}

bool TProtocol::LoaderReplyAccepted(const uint8_t* reply, uint32_t expected, uint32_t& error) {
  if (expected < 2 || reply[0] != kStx) {
    error = kErrNoStx;
    return false;
  }
  if (LoaderSum(reply, expected) != reply[expected - 1]) {
    error = kErrChecksum;
    return false;
  }
  error = reply[1] == kStatusAccepted ? 0 : RefusalError(reply[1]);
  return reply[1] == kStatusAccepted;
}

void TProtocol::CopyReplyWords(const uint8_t* reply, int count, uint16_t* words) {
  for (int k = 0; k < count; ++k) words[k] = GetWord(reply, 4 + 2 * k);
}

bool TProtocol::CheckCount(int16_t count) {
  if (count >= 0 && count <= kMaxFrameWords) return true;
  ProtocolError = kErrNotSent;
  return false;
}

bool TProtocol::Transact(const uint8_t* request, uint32_t length, uint32_t expected, uint8_t* reply) {
  SettleIfDue();
  int tries = 0;
  bool ok = false;
  for (;;) {
    // Bytes that came in late for an earlier try must not be read as this reply.
    PurgeInput();
    Send(request, length);  // a block that did not go shows up as a missing reply
    uint32_t status = 0, count = 0;
    bool retry = false, spoiled = false;
    if (!Receive(reply, expected, status, count)) {
      if (tries >= RetryCount) ProtocolError = status;  // set only once no try is left
      retry = true;
      if (count == 0)
        SettleBeforeNextFrame = true;  // its reply may yet come, after a later try's
      else
        spoiled = true;  // a short reply
    } else if (uint32_t error = 0; LoaderReplyAccepted(reply, expected, error)) {
      ok = true;
    } else {
      // Stored also when it is 0 (a refusal with status 0x00).
      ProtocolError = error;
      retry = spoiled = error == kErrNoStx || error == kErrChecksum;  // a refusal is final
    }
    // What is left of a spoiled reply must not start the next one.
    if (spoiled && IsOpen()) DrainBadReply();
    if (retry && tries < RetryCount) {
      ++tries;
      continue;
    }
    break;
  }
  return ok;
}

namespace {
void PutWord(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value & 0xFF);
  at[1] = static_cast<uint8_t>(value >> 8);
}

// Fills bytes 0..5 and the trailer of a request with n data words already in
// place at offset 6; returns its length.
uint32_t Finish(uint8_t* frame, uint8_t command, uint16_t field2, uint16_t field4, int dataWords) {
  frame[0] = TProtocol::kStx;
  frame[1] = command;
  PutWord(frame + 2, field2);
  PutWord(frame + 4, field4);
  const uint32_t length = 8 + 2 * static_cast<uint32_t>(dataWords);
  frame[length - 2] = 0x00;
  frame[length - 1] = TProtocol::LoaderSum(frame, length);
  return length;
}

uint16_t Bytes(uint8_t low, uint8_t high) { return static_cast<uint16_t>(low | (high << 8)); }
}  // namespace

bool TProtocol::ReadWords(uint16_t address, int16_t count, uint16_t* words) {
  if (!CheckCount(count)) return false;
  uint8_t request[8];
  uint8_t reply[6 + 2 * kMaxFrameWords];
  const uint32_t length = count == 1 ? Finish(request, kCmdReadWord, address, 0, 0)
                                     : Finish(request, kCmdReadWords, address, static_cast<uint16_t>(count), 0);
  if (!Transact(request, length, 2 * static_cast<uint32_t>(count) + 6, reply)) return false;
  CopyReplyWords(reply, count, words);
  return true;
}

bool TProtocol::WriteWords(uint16_t address, int16_t count, const uint16_t* values) {
  if (!CheckCount(count)) return false;
  uint8_t request[kMaxRequestLength];
  uint8_t reply[8];
  uint32_t length;
  if (count == 1) {
    length = Finish(request, kCmdWriteWord, address, values[0], 0);
  } else {
    for (int k = 0; k < count; ++k) PutWord(request + 6 + 2 * k, values[k]);
    length = Finish(request, kCmdWriteWords, address, static_cast<uint16_t>(count), count);
  }
  return Transact(request, length, 8, reply);
}

bool TProtocol::ReadProgram(uint8_t program, uint8_t segment, uint16_t* words, int16_t count, uint8_t startItem) {
  if (!CheckCount(count)) return false;
  uint8_t request[8];
  uint8_t reply[6 + 2 * kMaxFrameWords];
  const uint32_t length = Finish(request, kCmdReadProgram, Bytes(program, segment),
                                 Bytes(startItem, static_cast<uint8_t>(count)), 0);
  if (!Transact(request, length, 2 * static_cast<uint32_t>(count) + 6, reply)) return false;
  CopyReplyWords(reply, count, words);
  return true;
}

bool TProtocol::WriteProgram(uint8_t program, uint8_t segment, const int16_t* values, int16_t count,
                             uint8_t startItem) {
  if (!CheckCount(count)) return false;
  uint8_t request[kMaxRequestLength];
  uint8_t reply[8];
  for (int k = 0; k < count; ++k) PutWord(request + 6 + 2 * k, static_cast<uint16_t>(values[k]));
  const uint32_t length = Finish(request, kCmdWriteProgram, Bytes(program, segment),
                                 Bytes(startItem, static_cast<uint8_t>(count)), count);
  return Transact(request, length, 8, reply);
}

bool TProtocol::DeleteProgram(uint16_t pattern, uint16_t firstSegment) {
  uint8_t request[8];
  uint8_t reply[8];
  const uint32_t length = Finish(request, kCmdDeleteProgram, pattern, firstSegment, 0);
  return Transact(request, length, 8, reply);
}
