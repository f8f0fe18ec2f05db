// Replies that come at line speed, byte by byte: the receive waits out the
// line time of the missing bytes and still ends at once on a close.
#include <chrono>
#include <thread>

#include "SimLink.h"

namespace {

using Clock = std::chrono::steady_clock;

class PacedReplyTest : public SimLinkTest {
 protected:
  void SetUp() override {
    SimLinkTest::SetUp();
    link.Close();
    kvlsim::Config config = sim.GetConfig();
    config.EmulateByteTime = true;
    sim.SetConfig(config);
    link.Baud = 9600;
    link.Parity = TComm::kParityNone;  // 11-bit characters, as the pseudo-terminal keeps them
    link.StopBits = TComm::kTwoStopBits;
    link.ReceiveTimeout = 2000;
    ASSERT_EQ(link.Open(), 0u);
    for (uint16_t a = 1001; a < 1001 + kWords; ++a) sim.SetWord(a, static_cast<uint16_t>(a * 3));
  }
  static constexpr int kWords = 100;
  // Request and reply of a 100-word read at 9600 bit/s, 11 bits a character.
  static constexpr double kLineMs = (8 + 2 * kWords + 6) * 11 * 1000.0 / 9600;
};

TEST_F(PacedReplyTest, ReplyAtLineSpeedArrivesWhole) {
  for (int round = 0; round < 3; ++round) {
    uint16_t words[kWords] = {};
    const auto start = Clock::now();
    ASSERT_TRUE(link.ReadWords(1001, kWords, words)) << std::hex << link.ProtocolError;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    for (int k = 0; k < kWords; ++k) ASSERT_EQ(words[k], static_cast<uint16_t>((1001 + k) * 3)) << k;
    EXPECT_GE(ms, kLineMs * 0.95);
    EXPECT_LT(ms, kLineMs * 1.5);
  }
}

TEST_F(PacedReplyTest, CloseDuringAPacedReplyEndsTheReceiveAtOnce) {
  std::thread closer([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int>(kLineMs / 2)));
    link.Close();
  });
  uint16_t words[kWords] = {};
  const auto start = Clock::now();
  EXPECT_FALSE(link.ReadWords(1001, kWords, words));
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  closer.join();
  EXPECT_LT(ms, kLineMs * 0.5 + 60);
  EXPECT_EQ(link.ProtocolError, 0u);
  EXPECT_FALSE(link.IsOpen());
}

}  // namespace
