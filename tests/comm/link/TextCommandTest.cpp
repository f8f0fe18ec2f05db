#include <string>

#include "PlainMessage.h"
#include "SimLink.h"

namespace {

using kvlsim::Fault;
using kvlsim::FaultKind;

const std::string kStx = "\x02", kEtx = "\x03";

TEST(WqtSumTest, WorkedSums) {
  const struct {
    std::string characters;
    const char* sum;
  } cases[] = {
      {kStx + "0100XABC" + kEtx, "1C"},
      {kStx + "0100XOK" + kEtx, "48"},
      {"", "00"},
      {std::string(1, '\x01'), "FF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sum);
    char out[3] = {'?', '?', '?'};
    TProtocol::WqtSum(c.characters.data(), static_cast<int>(c.characters.size()), out);
    EXPECT_STREQ(out, c.sum);
  }
}

class TextCommandTest : public SimLinkTest {
 protected:
  void SetUp() override {
    SimLinkTest::SetUp();
    // Short enough for the silent cases, long enough for every answered try
    // to be answered in time on a loaded machine.
    link.ReceiveTimeout = 500;
    link.Wqt.ChecksumFlag = 1;
  }
};

TEST_F(TextCommandTest, RequestBytesWithAndWithoutChecksum) {
  const struct {
    uint8_t flag;
    uint16_t station, sub;
    std::string request;
  } cases[] = {
      {1, 1, 0, kStx + "0100XABC" + kEtx + "1C\r\n"},
      {0, 1, 0, kStx + "0100XABC" + kEtx + "\r\n"},
      {0, 0x1F, 0xA2, kStx + "1FA2XABC" + kEtx + "\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request);
    kvlsim::Config config = sim.GetConfig();
    config.Station = c.station;
    config.SubAddress = c.sub;
    sim.SetConfig(config);
    sim.ClearFrames();
    link.Wqt.ChecksumFlag = c.flag;
    link.Wqt.Station = c.station;
    link.Wqt.SubAddress = c.sub;
    std::string reply = "stale";
    ASSERT_TRUE(link.WqtCommand("ABC", reply));
    EXPECT_EQ(reply, "OK");
    const auto frames = sim.Frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Bytes, TextBytes(c.request));
    EXPECT_EQ(frames[0].Text, "ABC");
  }
}

TEST_F(TextCommandTest, ReplyIsTheWorkedReply) {
  const std::string request = kStx + "0100XABC" + kEtx + "1C\r\n";
  ASSERT_TRUE(link.Send(reinterpret_cast<const uint8_t*>(request.data()), static_cast<uint32_t>(request.size())));
  std::vector<uint8_t> line(TComm::kLineBufferSize + 1);
  uint32_t status = 0, count = 0;
  ASSERT_TRUE(link.Receive(line.data(), TComm::kTextLine, status, count));
  EXPECT_EQ(std::string(line.begin(), line.begin() + count), kStx + "0100XOK" + kEtx + "48\r\n");
}

TEST_F(TextCommandTest, RepliesAreCheckedAndOnlyAMissingOneIsRetried) {
  struct Case {
    const char* name;
    FaultKind fault;
    int times;
    uint8_t flag;
    bool ok;
    size_t sends;
    uint32_t error;
  } cases[] = {
      {"clean", FaultKind::Silence, 0, 1, true, 1, 0},
      {"foreign header", FaultKind::ForeignHeader, -1, 1, false, 1, 0x20000},
      {"no ETX", FaultKind::NoEtx, -1, 1, false, 1, 0x200000},
      {"no ETX, no checksum", FaultKind::NoEtx, -1, 0, false, 1, 0x200000},
      {"bad checksum", FaultKind::BadChecksum, -1, 1, false, 1, 0x40000},
      {"no STX", FaultKind::NoStx, -1, 1, false, 1, 0x20000},
      {"cut before CR LF", FaultKind::ShortReply, -1, 1, false, 1, 0x10000},
      {"noise before the reply", FaultKind::Garbage, -1, 1, true, 1, 0},
      {"silence", FaultKind::Silence, -1, 1, false, 4, 0x10000},
      {"silence once", FaultKind::Silence, 1, 1, true, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearFaults();
    sim.ClearFrames();
    if (c.times != 0) {
      Fault f;
      f.Kind = c.fault;
      f.Times = c.times;
      sim.AddFault(f);
    }
    link.Wqt.ChecksumFlag = c.flag;
    link.ProtocolError = 0;
    std::string reply;
    EXPECT_EQ(link.WqtCommand("RD10000001", reply), c.ok);
    EXPECT_EQ(reply, c.ok ? "OK" : "");
    EXPECT_EQ(sim.FrameCount(), c.sends);
    EXPECT_EQ(link.ProtocolError, c.error);
  }
}

TEST_F(TextCommandTest, WithoutChecksumTheLastCharactersAreNotChecked) {
  link.Wqt.ChecksumFlag = 0;
  sim.SetTextResponder([](const std::string& body) { return body + "=5\x03ZZ"; });
  std::string reply;
  ASSERT_TRUE(link.WqtCommand("RD", reply));
  EXPECT_EQ(reply, "RD=5");
}

TEST_F(TextCommandTest, LongRepliesAndRequests) {
  sim.SetTextResponder([](const std::string&) { return std::string(4000, 'r'); });
  std::string reply;
  ASSERT_TRUE(link.WqtCommand("RD", reply));
  EXPECT_EQ(reply, std::string(4000, 'r'));

  // A request longer than the output queue is refused before anything is sent.
  static std::string message;
  auto previous = kvl::SetPlainMessageHandler([](std::string_view text) { message = text; });
  const uint64_t before = sim.BytesReceived();
  link.ProtocolError = 0;
  EXPECT_FALSE(link.WqtCommand(std::string(5000, 'w'), reply));
  EXPECT_EQ(link.ProtocolError, TProtocol::kErrNotSent);
  EXPECT_EQ(message, "send data too long");
  kvl::SetPlainMessageHandler(previous);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(sim.BytesReceived(), before);
}

TEST_F(TextCommandTest, ClosedPortLeavesTheErrorWordAlone) {
  link.Close();
  link.ProtocolError = 0x1234;
  std::string reply = "x";
  EXPECT_FALSE(link.WqtCommand("RD", reply));
  EXPECT_EQ(reply, "");
  EXPECT_EQ(link.ProtocolError, 0x1234u);
  EXPECT_EQ(sim.FrameCount(), 0u);
}

TEST_F(TextCommandTest, CommandsForAnotherStationGetNoReply) {
  link.Wqt.Station = 2;
  link.RetryCount = 0;
  std::string reply;
  EXPECT_FALSE(link.WqtCommand("RD", reply));
  EXPECT_EQ(link.ProtocolError, 0x10000u);
  const auto frames = sim.Frames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_FALSE(frames[0].Valid);
  EXPECT_EQ(frames[0].Address, 2);
}

}  // namespace
