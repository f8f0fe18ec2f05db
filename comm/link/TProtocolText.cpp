// The WQT text command frames of TProtocol.
#include <cstdio>
#include <cstring>
#include <vector>

#include "TProtocol.h"

void TProtocol::WqtSum(const char* characters, int length, char* out) {
  unsigned sum = 0;
  for (int i = 0; i < length; ++i) sum += static_cast<uint8_t>(characters[i]);
  std::snprintf(out, 3, "%02X", (256 - (sum & 0xFF)) & 0xFF);
}

bool TProtocol::WqtCommand(const std::string& message, std::string& reply) {
  reply.clear();
  if (!IsOpen()) return false;

  char header[16];
  const int headerLength = std::snprintf(header, sizeof header, "%c%02X%02X%c", kStx, Wqt.Station, Wqt.SubAddress,
                                         Wqt.DeviceCode);
  std::string request(header, static_cast<size_t>(headerLength));
  request += message;
  request += static_cast<char>(kEtx);
  if (Wqt.ChecksumFlag != 0) {
    char sum[3];
    WqtSum(request.data(), static_cast<int>(request.size()), sum);
    request.append(sum, 2);
  }
  request += "\r\n";
  if (request.size() > OutputQueueSize) {
    Send(reinterpret_cast<const uint8_t*>(request.data()), static_cast<uint32_t>(request.size()));  // tells the user
    ProtocolError = kErrNotSent;
    return false;
  }

  SettleIfDue();
  std::vector<uint8_t> line(kLineBufferSize + 1);  // the reply has its own buffer
  uint32_t status = 0, count = 0;
  int tries = 0;
  for (;;) {
    PurgeInput();
    Send(reinterpret_cast<const uint8_t*>(request.data()), static_cast<uint32_t>(request.size()));
    if (Receive(line.data(), kTextLine, status, count)) break;
    if (tries < RetryCount) {
      ++tries;
      continue;
    }
    if (tries > 0) SettleBeforeNextFrame = true;
    ProtocolError = status == 0 ? kErrNoTextReply : status;
    return false;
  }
  if (tries > 0) SettleBeforeNextFrame = true;

  const uint32_t error = TextReplyError(reinterpret_cast<const char*>(line.data()), count, header,
                                        static_cast<uint32_t>(headerLength), Wqt.ChecksumFlag != 0, reply);
  if (error == 0) return true;
  ProtocolError = error;
  return false;
}

uint32_t TProtocol::TextReplyError(const char* text, uint32_t count, const char* header, uint32_t hl,
                                   bool checksum, std::string& body) {
  // A line that the time-out cut off before its CR LF is no reply.
  if (count < 2 || text[count - 2] != kCr || text[count - 1] != kLf) return kErrTimeout;
  if (count < hl + 2 || std::memcmp(text, header, hl) != 0) return kErrHeader;
  if (checksum) {
    if (count < 4) return kErrChecksum;
    char sum[3];
    WqtSum(text, static_cast<int>(count - 4), sum);
    if (sum[0] != text[count - 4] || sum[1] != text[count - 3]) return kErrChecksum;
  }
  const char* start = text + hl;
  const void* etx = std::memchr(start, kEtx, count - hl);
  if (!etx) return kErrNoEtx;
  body.assign(start, static_cast<const char*>(etx));
  return 0;
}
