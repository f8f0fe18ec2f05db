#include "SimLink.h"

namespace {

using kvlsim::FaultKind;
using kvlsim::FrameKind;
using kvlsim::TControllerSim;

class SimulatorTest : public SimLinkTest {};

TEST(SimulatorImageTest, FixedWordsAndEmptyPrograms) {
  TControllerSim sim;
  EXPECT_EQ(sim.Word(TControllerSim::kIdentityWord), 1552);
  EXPECT_EQ(sim.Word(TControllerSim::kModeWord) & 0x0F, 1) << "READY";
  EXPECT_EQ(sim.Word(TControllerSim::kRevisionWord), 2);
  EXPECT_EQ(sim.Word(TControllerSim::kFeatureWord), 1);
  EXPECT_EQ(sim.Word(TControllerSim::kTransferWord), 0);
  EXPECT_TRUE(sim.HasWord(1001));
  EXPECT_TRUE(sim.HasWord(4600));
  EXPECT_FALSE(sim.HasWord(1000));
  EXPECT_FALSE(sim.HasWord(4601));
  for (int p = 1; p <= 19; ++p) {
    EXPECT_EQ(sim.UsedSegments(p), 0);
    char tag[9];
    std::snprintf(tag, sizeof tag, "PROG%02d  ", p);
    EXPECT_EQ(sim.Tag(p), tag);
  }
  EXPECT_EQ(sim.ProgramWord(1, 30, 1), 32767);
  EXPECT_EQ(sim.ProgramWord(1, 30, 20), 0);
  sim.SetTag(4, "AB");
  EXPECT_EQ(sim.ProgramWord(4, 0, 4), 0x4142);
  EXPECT_EQ(sim.ProgramWord(4, 0, 5), 0x2020);
  EXPECT_EQ(sim.Tag(4), "AB      ");
}

TEST_F(SimulatorTest, RefusesWhatTheControllerRefuses) {
  const uint16_t one = 1;
  const int16_t item = 5;
  uint16_t word;
  struct Case {
    const char* name;
    uint16_t mode, revision;
    std::function<bool()> run;
    uint8_t refusal;  // 0 accepted
  } cases[] = {
      {"word outside the image", 1, 2, [&] { return link.ReadWords(1000, 1, &word); }, 0x45},
      {"run crossing the image's end", 1, 2, [&] { return link.ReadWords(4599, 3, &word); }, 0x45},
      {"identity word is read only", 1, 2, [&] { return link.WriteWords(9997, 1, &one); }, 0x45},
      {"setup data outside READY", 0, 2, [&] { return link.WriteWords(4580, 1, &one); }, 0x47},
      {"setup data in READY", 1, 2, [&] { return link.WriteWords(4580, 1, &one); }, 0},
      {"other words outside READY", 0, 2, [&] { return link.WriteWords(4500, 1, &one); }, 0},
      {"program outside READY, revision 1", 0, 1, [&] { return link.WriteProgram(1, 1, &item, 1, 1); }, 0x46},
      {"delete outside READY, revision 1", 0, 1, [&] { return link.DeleteProgram(1, 1); }, 0x46},
      {"program outside READY, revision 2", 0, 2, [&] { return link.WriteProgram(1, 1, &item, 1, 1); }, 0},
      {"delete of segment 0", 1, 2, [&] { return link.DeleteProgram(1, 0); }, 0x45},
      {"delete of pattern 20", 1, 2, [&] { return link.DeleteProgram(20, 1); }, 0x45},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.SetWord(TControllerSim::kModeWord, c.mode);
    sim.SetWord(TControllerSim::kRevisionWord, c.revision);
    link.ProtocolError = 0;
    EXPECT_EQ(c.run(), c.refusal == 0);
    EXPECT_EQ(link.ProtocolError, TProtocol::RefusalError(c.refusal));
  }
}

TEST_F(SimulatorTest, LogsEveryFrameWithItsKindAddressAndCount) {
  uint16_t words[39];
  const int16_t values[23] = {};
  ASSERT_TRUE(link.ReadWords(1001, 39, words));
  ASSERT_TRUE(link.DeleteProgram(2, 5));
  ASSERT_TRUE(link.WriteProgram(2, 0, values, 4, 4));
  ASSERT_TRUE(link.ReadProgram(2, 3, words, 23, 1));
  const uint8_t bad[] = {0x02, 0x00, 0x0D, 0x27, 0x00, 0x00, 0x00, 0x38};  // checksum off by one
  link.RetryCount = 0;
  link.ReceiveTimeout = 50;
  uint8_t reply[8];
  EXPECT_FALSE(link.Transact(bad, 8, 8, reply));
  const auto log = sim.Frames();
  ASSERT_EQ(log.size(), 5u);
  const struct {
    FrameKind kind;
    uint16_t address, segment;
    uint8_t start;
    uint16_t count;
    bool valid;
  } expected[] = {
      {FrameKind::ReadWords, 1001, 0, 0, 39, true},   {FrameKind::DeleteProgram, 2, 5, 0, 0, true},
      {FrameKind::WriteProgram, 2, 0, 4, 4, true},    {FrameKind::ReadProgram, 2, 3, 1, 23, true},
      {FrameKind::ReadWord, 9997, 0, 0, 1, false},
  };
  for (size_t i = 0; i < log.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(log[i].Kind, expected[i].kind);
    EXPECT_EQ(log[i].Address, expected[i].address);
    EXPECT_EQ(log[i].Segment, expected[i].segment);
    EXPECT_EQ(log[i].StartItem, expected[i].start);
    EXPECT_EQ(log[i].Count, expected[i].count);
    EXPECT_EQ(log[i].Valid, expected[i].valid);
  }
  EXPECT_EQ(link.ProtocolError, 0x10000u) << "a frame with a bad checksum gets no reply";
}

TEST_F(SimulatorTest, EmulatesByteTimeAndLatency) {
  // 39 words at 4800 bit/s: 8 request and 84 reply bytes, 10 bits a byte (a
  // pseudo-terminal does not keep the parity bit), about 192 ms on the line.
  // What the simulator adds is a lower bound; without byte time, the read
  // stays below the line time it must not add (on a loaded machine too).
  link.ReceiveTimeout = 2000;
  uint16_t words[39];
  const int lineMs = 185;
  const int generous = 1500;
  const struct {
    bool byteTime;
    uint32_t latency;
    int atLeast, below;
  } cases[] = {{false, 0, 0, lineMs},
               {true, 0, lineMs, lineMs + generous},
               {false, 150, 150, 150 + lineMs},
               {true, 100, lineMs + 100, lineMs + 100 + generous}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.byteTime << "/" << c.latency);
    kvlsim::Config config = sim.GetConfig();
    config.EmulateByteTime = c.byteTime;
    config.LineBaud = 0;  // the port's speed
    config.ReplyLatencyMs = c.latency;
    sim.SetConfig(config);
    sim.ClearFrames();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(link.ReadWords(1001, 39, words));
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(sim.FrameCount(), 1u) << "answered within the time-out";
    EXPECT_GE(ms, c.atLeast);
    EXPECT_LT(ms, c.below);
  }
}

TEST_F(SimulatorTest, StopsAndStartsCleanly) {
  const std::string first = sim.SlavePath();
  link.Close();
  sim.Stop();
  EXPECT_FALSE(sim.Running());
  sim.Stop();  // twice is harmless
  ASSERT_TRUE(sim.Start());
  EXPECT_TRUE(sim.Running());
  ::setenv("KVLQ70_COM1", sim.SlavePath().c_str(), 1);
  ASSERT_EQ(link.Open(), 0u);
  uint16_t word = 0;
  EXPECT_TRUE(link.ReadWords(9997, 1, &word));
  (void)first;
}

TEST_F(SimulatorTest, DropLineEndsTheJob) {
  uint16_t word = 0;
  ASSERT_TRUE(link.ReadWords(9997, 1, &word));
  sim.DropLine();
  EXPECT_TRUE(WaitUntil([&] { return !sim.Running(); }));
  EXPECT_FALSE(link.ReadWords(9997, 1, &word));
  EXPECT_GE(link.ProtocolError, TComm::kStatusPortFault);
  EXPECT_LT(link.ProtocolError, TComm::kStatusPortFault + 0x1000);
}

}  // namespace
