// Feeds the text-command reply checks with reply lines.
//
// The first input byte chooses the checksum flag (bit 0) and the header the
// request carried (station from the next byte); the rest is the line as the
// receive delivers it, at most 4096 characters. Every line is judged by the
// rules written out here as well: it ends with CR LF, its first 6
// characters are the request's header, with the flag on the two characters
// before CR LF are the hex checksum of all before them, and the body runs
// from the header to the first ETX, which must be there. A refused line
// leaves the body untouched. A difference or a sanitizer finding aborts.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TProtocol.h"

namespace {

const char kUntouched[] = "untouched";

uint32_t Expected(const std::vector<char>& line, const std::string& header, bool checksum, std::string& body) {
  const size_t n = line.size();
  if (n < 2 || line[n - 2] != '\r' || line[n - 1] != '\n') return 0x10000;
  if (n < header.size() + 2 || std::string(line.begin(), line.begin() + 6) != header) return 0x20000;
  if (checksum) {
    unsigned sum = 0;
    for (size_t i = 0; i + 4 < n; ++i) sum += static_cast<uint8_t>(line[i]);
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", (256 - (sum & 0xFF)) & 0xFF);
    if (line[n - 4] != digits[0] || line[n - 3] != digits[1]) return 0x40000;
  }
  for (size_t i = 6; i < n; ++i)
    if (line[i] == 0x03) {
      body.assign(line.begin() + 6, line.begin() + static_cast<long>(i));
      return 0;
    }
  return 0x200000;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const bool checksum = (data[0] & 1) != 0;
  char header[8];
  std::snprintf(header, sizeof header, "%c%02X%02X%c", 0x02, data[1], data[0] >> 4, 'X');
  const size_t length = std::min<size_t>(size - 2, TComm::kLineBufferSize);
  // A heap copy of exactly the line, so that a read past it shows.
  std::vector<char> line(reinterpret_cast<const char*>(data) + 2, reinterpret_cast<const char*>(data) + 2 + length);

  std::string body = kUntouched, want = kUntouched;
  const uint32_t error =
      TProtocol::TextReplyError(line.data(), static_cast<uint32_t>(line.size()), header, 6, checksum, body);
  if (error != Expected(line, header, checksum, want) || body != want) std::abort();
  return 0;
}
