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
    SCOPED_TRACE(round);
    uint16_t words[kWords] = {};
    const auto start = Clock::now();
    ASSERT_TRUE(link.ReadWords(1001, kWords, words)) << std::hex << link.ProtocolError;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    for (int k = 0; k < kWords; ++k) ASSERT_EQ(words[k], static_cast<uint16_t>((1001 + k) * 3)) << k;
    // One try each, its reply taken whole within the time-out.
    EXPECT_EQ(sim.FrameCount(), static_cast<size_t>(round + 1));
    EXPECT_GE(ms, kLineMs * 0.95);
    EXPECT_LT(ms, link.ReceiveTimeout);
  }
}

TEST_F(PacedReplyTest, CloseDuringAPacedReplyEndsTheReceiveAtOnce) {
  // At 1200 bit/s the reply takes some two seconds on the line: the close
  // comes while it is under way, and the receive must not wait out the rest.
  link.Close();
  link.Baud = 1200;
  link.ReceiveTimeout = 10000;
  ASSERT_EQ(link.Open(), 0u);
  const double lineMs = kLineMs * 9600 / 1200;
  Clock::time_point closed;
  std::thread closer([&] {
    WaitUntil([&] { return sim.FrameCount() != 0; });
    closed = Clock::now();
    link.Close();
  });
  uint16_t words[kWords] = {};
  EXPECT_FALSE(link.ReadWords(1001, kWords, words));
  const auto ended = Clock::now();
  closer.join();
  const double afterClose = std::chrono::duration<double, std::milli>(ended - closed).count();
  EXPECT_LT(afterClose, lineMs / 2);
  EXPECT_EQ(sim.FrameCount(), 1u);
  EXPECT_EQ(link.ProtocolError, 0u);
  EXPECT_FALSE(link.IsOpen());
}

}  // namespace
