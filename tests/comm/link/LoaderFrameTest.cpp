#include <functional>

#include "SimLink.h"

namespace {

using kvlsim::FrameKind;

TEST(LoaderSumTest, WorkedFramesCarryTheirSum) {
  const std::vector<std::vector<uint8_t>> frames = {
      Bytes({0x02, 0x00, 0x0D, 0x27, 0x00, 0x00, 0x00, 0x37}),
      Bytes({0x02, 0x40, 0x0F, 0x02, 0x01, 0x00, 0x00, 0x55}),
      Bytes({0x02, 0x04, 0x64, 0x00, 0x03, 0x00, 0x00, 0x6E}),
      Bytes({0x02, 0x58, 0x05, 0x00, 0x04, 0x00, 0x00, 0x64}),
      Bytes({0x02, 0x80, 0x00, 0x00, 0x10, 0x06, 0x00, 0x99}),
  };
  for (const auto& f : frames) EXPECT_EQ(TProtocol::LoaderSum(f.data(), 8), f[7]);
  const uint8_t wraps[] = {0xFF, 0xFF, 0x00};
  EXPECT_EQ(TProtocol::LoaderSum(wraps, 3), 0xFF);  // 1 + 0x1FE, modulo 256
  EXPECT_EQ(TProtocol::GetWord(Bytes({0x10, 0x06}).data(), 0), 1552);
}

class LoaderFrameTest : public SimLinkTest {};

TEST_F(LoaderFrameTest, EveryFrameKindGoesOutByteForByteAndIsAnswered) {
  sim.SetWord(100, 1);
  sim.SetWord(101, 0xFFFE);
  sim.SetWord(102, 3);
  for (int s = 1; s <= 6; ++s) sim.SetProgramWord(5, s, 1, static_cast<uint16_t>(100 * s));

  uint16_t words[8] = {};
  struct Case {
    const char* name;
    std::function<bool()> run;
    std::vector<uint8_t> request;
    FrameKind kind;
    std::function<void()> check;
  } cases[] = {
      {"read one word", [&] { return link.ReadWords(9997, 1, words); },
       Bytes({0x02, 0x00, 0x0D, 0x27, 0x00, 0x00, 0x00, 0x37}), FrameKind::ReadWord,
       [&] { EXPECT_EQ(words[0], 1552); }},
      {"write one word", [&] { const uint16_t v = 1; return link.WriteWords(527, 1, &v); },
       Bytes({0x02, 0x40, 0x0F, 0x02, 0x01, 0x00, 0x00, 0x55}), FrameKind::WriteWord,
       [&] { EXPECT_EQ(sim.Word(527), 1); }},
      {"read three words", [&] { return link.ReadWords(100, 3, words); },
       Bytes({0x02, 0x04, 0x64, 0x00, 0x03, 0x00, 0x00, 0x6E}), FrameKind::ReadWords,
       [&] {
         EXPECT_EQ(words[0], 1);
         EXPECT_EQ(static_cast<int16_t>(words[1]), -2);
         EXPECT_EQ(words[2], 3);
       }},
      {"delete segments", [&] { return link.DeleteProgram(5, 4); },
       Bytes({0x02, 0x58, 0x05, 0x00, 0x04, 0x00, 0x00, 0x64}), FrameKind::DeleteProgram,
       [&] {
         EXPECT_EQ(sim.UsedSegments(5), 3);
         EXPECT_EQ(sim.ProgramWord(5, 4, 1), 32767);
         EXPECT_EQ(sim.ProgramWord(5, 3, 1), 300);
       }},
      {"write two words", [&] { const uint16_t v[] = {7, 8}; return link.WriteWords(1001, 2, v); },
       Bytes({0x02, 0x44, 0xE9, 0x03, 0x02, 0x00, 0x07, 0x00, 0x08, 0x00, 0x00, 0x44}), FrameKind::WriteWords,
       [&] {
         EXPECT_EQ(sim.Word(1001), 7);
         EXPECT_EQ(sim.Word(1002), 8);
       }},
      {"write no words", [&] { return link.WriteWords(1001, 0, nullptr); },
       Bytes({0x02, 0x44, 0xE9, 0x03, 0x00, 0x00, 0x00, 0x33}), FrameKind::WriteWords, [] {}},
      {"read no words", [&] { return link.ReadWords(1001, 0, words); },
       Bytes({0x02, 0x04, 0xE9, 0x03, 0x00, 0x00, 0x00, 0xF3}), FrameKind::ReadWords, [] {}},
      {"write no program items", [&] { return link.WriteProgram(3, 2, nullptr, 0, 1); },
       Bytes({0x02, 0x50, 0x03, 0x02, 0x01, 0x00, 0x00, 0x59}), FrameKind::WriteProgram, [] {}},
      {"write one program item", [&] { const int16_t v = -5; return link.WriteProgram(3, 2, &v, 1, 4); },
       Bytes({0x02, 0x50, 0x03, 0x02, 0x04, 0x01, 0xFB, 0xFF, 0x00, 0x57}), FrameKind::WriteProgram,
       [&] { EXPECT_EQ(sim.ProgramWord(3, 2, 4), 0xFFFB); }},
      {"read segment 0", [&] { return link.ReadProgram(3, 0, words, 7, 1); },
       Bytes({0x02, 0x10, 0x03, 0x00, 0x01, 0x07, 0x00, 0x1E}), FrameKind::ReadProgram,
       [&] {
         const uint16_t expected[] = {0, 0, 0, 0x5052, 0x4F47, 0x3033, 0x2020};  // "PROG03  "
         for (int i = 0; i < 7; ++i) EXPECT_EQ(words[i], expected[i]) << i;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearFrames();
    link.ProtocolError = 0;
    ASSERT_TRUE(c.run());
    EXPECT_EQ(link.ProtocolError, 0u);
    const auto frames = sim.Frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].Bytes, c.request);
    EXPECT_EQ(frames[0].Kind, c.kind);
    EXPECT_TRUE(frames[0].Valid);
    c.check();
  }
}

TEST_F(LoaderFrameTest, AcceptedReplyIsTheWorkedReply) {
  const auto request = Bytes({0x02, 0x00, 0x0D, 0x27, 0x00, 0x00, 0x00, 0x37});
  uint8_t reply[8] = {};
  ASSERT_TRUE(link.Transact(request.data(), 8, 8, reply));
  EXPECT_EQ(std::vector<uint8_t>(reply, reply + 8), Bytes({0x02, 0x80, 0x00, 0x00, 0x10, 0x06, 0x00, 0x99}));
}

TEST_F(LoaderFrameTest, ProgramFramesFollowTheControllerLayout) {
  // Segment 0: the three pattern items, then the tag as 4 words, high byte first.
  const int16_t head[] = {10, 20, 30, 0x4142, 0x2020, 0x2020, 0x2020};
  ASSERT_TRUE(link.WriteProgram(19, 0, head, 7, 1));
  EXPECT_EQ(sim.Tag(19), "AB      ");
  EXPECT_EQ(sim.ProgramWord(19, 0, 3), 30);

  int16_t segment[23];
  for (int i = 0; i < 23; ++i) segment[i] = static_cast<int16_t>(-100 - i);
  ASSERT_TRUE(link.WriteProgram(19, 30, segment, 23, 1));
  uint16_t back[23] = {};
  ASSERT_TRUE(link.ReadProgram(19, 30, back, 23, 1));
  for (int i = 0; i < 23; ++i) EXPECT_EQ(static_cast<int16_t>(back[i]), segment[i]) << i;

  // Items past the end of a segment, segment 31 and pattern 20 are refused.
  const struct {
    uint8_t program, segment, start;
    int16_t count;
  } refused[] = {{19, 0, 5, 4}, {19, 1, 2, 23}, {19, 31, 1, 1}, {20, 1, 1, 1}, {0, 1, 1, 1}};
  for (const auto& r : refused) {
    SCOPED_TRACE(testing::Message() << int(r.program) << "/" << int(r.segment) << "/" << int(r.start));
    EXPECT_FALSE(link.ReadProgram(r.program, r.segment, back, r.count, r.start));
    EXPECT_EQ(link.ProtocolError, TProtocol::RefusalError(kvlsim::TControllerSim::kRefuseAddress));
  }
}

TEST_F(LoaderFrameTest, CountsOutsideTheFrameLimitAreNotSent) {
  std::vector<uint16_t> words(200, 0);
  const std::vector<int16_t> values(200, 0);
  const struct {
    const char* name;
    std::function<bool()> run;
  } cases[] = {
      {"read 126", [&] { return link.ReadWords(1001, 126, words.data()); }},
      {"read -1", [&] { return link.ReadWords(1001, -1, words.data()); }},
      {"write 126", [&] { return link.WriteWords(1001, 126, words.data()); }},
      {"program read 126", [&] { return link.ReadProgram(1, 1, words.data(), 126, 1); }},
      {"program write -2", [&] { return link.WriteProgram(1, 1, values.data(), -2, 1); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    link.ProtocolError = 0;
    EXPECT_FALSE(c.run());
    EXPECT_EQ(link.ProtocolError, TProtocol::kErrNotSent);
  }
  EXPECT_EQ(sim.BytesReceived(), 0u);
  // 125 words is the largest frame.
  std::vector<uint16_t> run(125);
  for (int i = 0; i < 125; ++i) run[i] = static_cast<uint16_t>(i * 3);
  ASSERT_TRUE(link.WriteWords(2000, 125, run.data()));
  ASSERT_TRUE(link.ReadWords(2000, 125, words.data()));
  for (int i = 0; i < 125; ++i) ASSERT_EQ(words[i], run[i]) << i;
}

}  // namespace
