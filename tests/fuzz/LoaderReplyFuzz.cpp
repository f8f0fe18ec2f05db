// Feeds the loader-reply checks with replies of every frame kind.
//
// The first input byte chooses the kind (read one word, read words, read
// program data, write or delete), the second the word count of a read; the
// rest is the reply, cut or padded with zeros to the length the kind
// expects. Every reply is judged by the rules written out here as well: STX
// first, (1 + the sum of all bytes but the last) modulo 256 last, status 0x80
// accepted, any other status a refusal with the status in the error word's
// top byte (status 0x00 too, whose word is 0: a refusal all the same). Only
// an accepted reply gives words, the reply's little-endian words from offset
// 4 on; any other leaves them untouched. A difference or a sanitizer finding
// aborts.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "TProtocol.h"

namespace {

constexpr uint16_t kUntouched = 0xA55A;

struct Verdict {
  bool accepted;
  uint32_t error;
};

Verdict Expected(const uint8_t* reply, size_t length) {
  if (reply[0] != 0x02) return {false, 0x20000};
  unsigned sum = 1;
  for (size_t i = 0; i + 1 < length; ++i) sum += reply[i];
  if ((sum & 0xFF) != reply[length - 1]) return {false, 0x40000};
  if (reply[1] != 0x80) return {false, static_cast<uint32_t>(reply[1]) << 24};
  return {true, 0};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // Words a reply carries: a read of one word, of n words, of n program
  // items; writes and deletes carry one unexamined word.
  int count = 1;
  switch (data[0] % 4) {
    case 0: count = 1; break;
    case 1:
    case 2: count = data[1] % (TProtocol::kMaxFrameWords + 1); break;
    default: count = 0; break;  // an 8-byte write or delete reply
  }
  const uint32_t length = count == 0 ? 8 : 2 * static_cast<uint32_t>(count) + 6;
  // A heap copy of exactly the reply's length, so that a read past it shows.
  std::vector<uint8_t> reply(data + 2, data + 2 + std::min<size_t>(size - 2, length));
  reply.resize(length, 0);

  uint32_t error = 0xDEADBEEF;
  const bool accepted = TProtocol::LoaderReplyAccepted(reply.data(), length, error);
  const Verdict expected = Expected(reply.data(), length);
  if (accepted != expected.accepted || error != expected.error) std::abort();
  std::vector<uint16_t> words(static_cast<size_t>(count), kUntouched);
  if (accepted) TProtocol::CopyReplyWords(reply.data(), count, words.data());
  for (int i = 0; i < count; ++i) {
    const uint16_t own = static_cast<uint16_t>(reply[4 + 2 * i] | (reply[5 + 2 * i] << 8));
    if (own != TProtocol::GetWord(reply.data(), 4 + 2 * i)) std::abort();
    if (words[static_cast<size_t>(i)] != (accepted ? own : kUntouched)) std::abort();
  }
  return 0;
}
