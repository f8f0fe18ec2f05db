#include "ServiceToolRules.h"

#include <cstdio>

#include "TProtocol.h"

namespace kvl {

std::string ErrorField(uint32_t protocolError) {
  char text[20];
  std::snprintf(text, sizeof text, "Error%08X", protocolError & 0x7FFFFFFFu);
  return text;
}

std::string JoinSignedWords(const uint16_t* words, int count) {
  std::string joined;
  for (int i = 0; i < count; ++i) {
    if (i > 0) joined += ',';
    joined += std::to_string(static_cast<int16_t>(words[i]));
  }
  return joined;
}

std::string ExerciserErrorLine(uint32_t protocolError) {
  if (TProtocol::RefusalCode(protocolError) != 0) return "Q70状態エラー";
  switch (protocolError) {
    case TProtocol::kErrTimeout: return "タイムアウト";
    case TProtocol::kErrNoStx: return "STX";
    case TProtocol::kErrChecksum: return "チェックサム";
    default: return "通信エラー";
  }
}

}  // namespace kvl
