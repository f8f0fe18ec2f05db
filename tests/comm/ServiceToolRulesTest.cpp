// The wording of the service tools' log lines.
#include <gtest/gtest.h>

#include "ServiceToolRules.h"
#include "TProtocol.h"

namespace {

TEST(ServiceToolRules, LogFields) {
  EXPECT_EQ(kvl::ErrorField(TProtocol::kErrTimeout), "Error00010000");
  EXPECT_EQ(kvl::ErrorField(0xC5000000u), "Error45000000");  // top bit cleared
  const uint16_t words[] = {1, 0xFFFE, 3, 0x8000};
  EXPECT_EQ(kvl::JoinSignedWords(words, 3), "1,-2,3");
  EXPECT_EQ(kvl::JoinSignedWords(words, 4), "1,-2,3,-32768");
  EXPECT_EQ(kvl::JoinSignedWords(words, 0), "");
}

TEST(ServiceToolRules, ExerciserErrorLines) {
  const struct { uint32_t Error; const char* Line; } cases[] = {
      {TProtocol::RefusalError(0x47), "Q70状態エラー"},
      {TProtocol::RefusalError(0x47) | TProtocol::kErrTimeout, "Q70状態エラー"},
      {TProtocol::kErrTimeout, "タイムアウト"},
      {TProtocol::kErrNoStx, "STX"},
      {TProtocol::kErrChecksum, "チェックサム"},
      {TProtocol::kErrNoEtx, "通信エラー"},
      {0, "通信エラー"},
  };
  for (const auto& c : cases) EXPECT_EQ(kvl::ExerciserErrorLine(c.Error), c.Line) << std::hex << c.Error;
}

}  // namespace
