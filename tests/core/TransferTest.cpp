// The whole-image read and write, the commit, the probe and the feature flag
// against a simulated controller.
#include <algorithm>
#include <utility>

#include "TransferFixture.h"

namespace {

using transfertest::FrameWords;
using transfertest::TransferFixture;
using kvlsim::FrameKind;
using Sim = kvlsim::TControllerSim;

// The parameter runs of group 1 with the catalogue's attributes.
const std::vector<std::pair<int, int>> kReadRuns = {
    {2501, 33}, {3001, 22}, {3501, 36}, {1501, 39}, {1540, 39}, {1579, 2},  {2001, 39}, {2040, 39}, {2079, 2},
    {4501, 39}, {4540, 39}, {4579, 12}, {4593, 3},  {4001, 39}, {4040, 27}, {1001, 39}, {1040, 11}};
const std::vector<std::pair<int, int>> kWriteRuns = {
    {2501, 29}, {2531, 3},  {3001, 22}, {3501, 13}, {3517, 20}, {1501, 39}, {1540, 39}, {1579, 2},
    {2001, 39}, {2040, 39}, {2079, 2},  {4501, 39}, {4540, 39}, {4579, 4},  {4584, 2},  {4590, 1},
    {4593, 2},  {4001, 39}, {4040, 27}, {1001, 6},  {1011, 16}, {1031, 16}};

std::string RunToken(char kind, const std::pair<int, int>& run) {
  return std::string(1, kind) + std::to_string(run.first) + "x" + std::to_string(run.second);
}

// (address, count) of the parameter-run frames, reads or writes.
std::vector<std::pair<int, int>> Runs(const std::vector<kvlsim::FrameRecord>& frames, bool writes) {
  std::vector<std::pair<int, int>> runs;
  for (const auto& f : frames) {
    const bool w = f.Kind == FrameKind::WriteWord || f.Kind == FrameKind::WriteWords;
    const bool r = f.Kind == FrameKind::ReadWord || f.Kind == FrameKind::ReadWords;
    if ((writes ? w : r) && f.Address >= 1001 && f.Address <= 4600) runs.emplace_back(f.Address, f.Count);
  }
  return runs;
}

struct CountingObserver : TCore::TransferObserver {
  int Maximum = -1;
  int Steps = 0;
  int Frames = 0;
  void ProgressMaximum(int maximum) override { Maximum = maximum; }
  void ProgressStep(int items) override { Steps += items; }
  void FrameDone() override { ++Frames; }
};

class WholeImageTest : public TransferFixture {
 protected:
  void SetUp() override {
    TransferFixture::SetUp();
    ASSERT_EQ(core->OpenPort(), 0u);
  }
  static TCore::TransferRange Range(bool programs, bool parameters) {
    TCore::TransferRange range;
    range.CheckProgram = programs;
    range.CheckParameter = parameters;
    return range;
  }
};

TEST_F(WholeImageTest, CatalogueRunsCoverTheTakenRecords) {
  int readWords = 0, writeWords = 0;
  for (const auto& run : kReadRuns) readWords += run.second;
  for (const auto& run : kWriteRuns) writeWords += run.second;
  int readable = 0, writable = 0;
  for (int r = 0; r < kSetupParamCount; ++r) {
    const ParamDescriptor* d = core->SetupRecord(r);
    if (d->Group != 1) continue;
    readable += d->Attribute == 1 || d->Attribute == 3;
    writable += d->Attribute == 2 || d->Attribute == 3;
  }
  EXPECT_EQ(readWords, readable);
  EXPECT_EQ(readWords, 460);  // every setup parameter but the seven model words
  EXPECT_EQ(writeWords, writable);
  for (int i = 1; i <= kProgramItemCount; ++i) { EXPECT_EQ(core->GetParam(1, i, 1, 0)->Group, 1) << i; }
}

TEST_F(WholeImageTest, ReadTakesWhatGroupAndRangeChoose) {
  struct Case {
    uint8_t group;
    bool programs, parameters;
    std::vector<std::string> frames;  // empty: only the count is checked
    size_t count;
    int maximum;
  } cases[] = {
      {1, false, false, {}, 0, 50},
      {2, false, false, {"R4591x2", "R4596x5"}, 2, 50},
      {2, true, true, {"R4591x2", "R4596x5"}, 2, 13627},
      {1, false, true, {}, kReadRuns.size(), 517},
      {1, true, false, {}, 19 * 31, 13160},
      {1, true, true, {}, 19 * 31 + kReadRuns.size(), 13627},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "group " << int(c.group) << " programs " << c.programs << " parameters "
                                    << c.parameters);
    sim.ClearFrames();
    CountingObserver observer;
    EXPECT_TRUE(core->ReadAllFromController(c.group, Range(c.programs, c.parameters), &observer));
    EXPECT_EQ(sim.FrameCount(), c.count);
    if (!c.frames.empty()) { EXPECT_EQ(Tokens(), c.frames); }
    EXPECT_EQ(observer.Maximum, c.maximum);
    EXPECT_EQ(observer.Frames, static_cast<int>(c.count));
  }
}

TEST_F(WholeImageTest, ReadFillsOnlyTheReceivedCopies) {
  transfertest::SeedController(sim, 7, std::vector<int>(19, 30));
  sim.SetProgramWord(4, 0, 4, 0x4142);  // tag "AB", then a NUL: blanks from it on
  sim.SetProgramWord(4, 0, 5, 0x0043);
  const transfertest::ImageSnapshot before = transfertest::Snapshot(*core);
  CountingObserver observer;
  ASSERT_TRUE(core->ReadAllFromController(1, Range(true, true), &observer));
  EXPECT_EQ(transfertest::Snapshot(*core), before);
  EXPECT_EQ(observer.Steps, 19 * 693 + 460);

  // Frame order: pattern by pattern, segment 0 first, then the runs.
  std::vector<std::string> expected;
  for (int p = 1; p <= 19; ++p) {
    expected.push_back("r" + std::to_string(p) + ".0@1x7");
    for (int s = 1; s <= 30; ++s) expected.push_back("r" + std::to_string(p) + "." + std::to_string(s) + "@1x23");
  }
  for (const auto& run : kReadRuns) expected.push_back(RunToken('R', run));
  EXPECT_EQ(Tokens(), expected);

  for (int p = 1; p <= 19; ++p) {
    for (int s = 1; s <= 30; ++s)
      for (int i = 1; i <= 23; ++i)
        ASSERT_EQ(core->GetPatternValue(p, i, s)->SecondValue, static_cast<int16_t>(sim.ProgramWord(p, s, i)));
    for (int i = 24; i <= 26; ++i)
      EXPECT_EQ(core->GetPatternValue(p, i, 1)->SecondValue, static_cast<int16_t>(sim.ProgramWord(p, 0, i - 23)));
    if (p != 4) { EXPECT_EQ(std::string(core->TagPtr(p)->ReceivedTag), sim.Tag(p)); }
  }
  EXPECT_STREQ(core->TagPtr(4)->ReceivedTag, "AB      ");
  for (int r = 0; r < kSetupParamCount; ++r) {
    const ParamDescriptor* d = core->SetupRecord(r);
    if (d->Group == 1) { ASSERT_EQ(d->ReceivedValue, static_cast<int16_t>(sim.Word(d->Address))) << d->Address; }
  }
}

TEST_F(WholeImageTest, FailedReadFrameEndsTheRead) {
  sim.AddFault({kvlsim::FaultKind::Refusal, 0, FrameKind::ReadProgram, 2, 1, 0x45, 0});
  EXPECT_FALSE(core->ReadAllFromController(1, Range(true, true)));
  EXPECT_EQ(core->Protocol->ProtocolError, 0x45000000u);
  EXPECT_EQ(sim.FrameCount(), 32u);  // pattern 1, then pattern 2's segment 0
  EXPECT_TRUE(core->SegmentReceived[1][30]);
  EXPECT_FALSE(core->SegmentReceived[2][0]);
}

TEST_F(WholeImageTest, CommitCopiesOnlyWhatWasReceived) {
  transfertest::SeedController(sim, 11, std::vector<int>(19, 5));
  ASSERT_TRUE(core->ReadAllFromController(1, Range(true, true)));
  ParamDescriptor* loc = core->GetParam(3, 1, 1, 0);
  ParamDescriptor* c96 = core->GetParam(8, 96, 1, 0);
  c96->ReceivedValue = 0x1234;  // never received by this read
  const int16_t c96Before = c96->Value;

  core->CommitReceived(1, Range(false, true));
  EXPECT_EQ(loc->Value, static_cast<int16_t>(sim.Word(2501)));
  EXPECT_NE(core->GetPatternValue(1, 1, 1)->Value, static_cast<int16_t>(sim.ProgramWord(1, 1, 1)));

  core->CommitReceived(1, Range(true, false));
  EXPECT_EQ(core->GetPatternValue(1, 1, 1)->Value, static_cast<int16_t>(sim.ProgramWord(1, 1, 1)));
  EXPECT_EQ(core->GetPatternValue(3, 26, 1)->Value, static_cast<int16_t>(sim.ProgramWord(3, 0, 3)));
  EXPECT_EQ(core->GetPatternValue(2, 1, 6)->Value, kEmptyValue);
  char tag[9];
  core->GetTag(5, tag);
  EXPECT_EQ(std::string(tag), sim.Tag(5));

  core->CommitReceived(2, Range(true, true));
  EXPECT_EQ(c96->Value, c96Before);

  // A new job forgets the marks: nothing is committed any more.
  core->ClearReceivedMarks();
  loc->Value = 99;
  core->CommitReceived(1, Range(true, true));
  EXPECT_EQ(loc->Value, 99);
}

TEST_F(WholeImageTest, ProbeReadsIdentityAndFeatureWords) {
  struct Case {
    uint16_t identity, feature;
    bool silent;
    uint32_t result;
    int32_t flag;
    std::vector<std::string> frames;
  } cases[] = {
      {1552, 1, false, 0, 1, {"R9997", "R9999"}},
      {1552, 0, false, 0, 0, {"R9997", "R9999"}},
      {1552, 2, false, 500, 7, {"R9997", "R9999"}},
      {1234, 1, false, 400, 7, {"R9997"}},
      {1552, 1, true, 300, 7, {"R9997", "R9997", "R9997", "R9997"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.identity << "/" << c.feature << " silent " << c.silent);
    sim.ClearFrames();
    sim.ClearFaults();
    sim.SetWord(Sim::kIdentityWord, c.identity);
    sim.SetWord(Sim::kFeatureWord, c.feature);
    if (c.silent) sim.AddFault({kvlsim::FaultKind::Silence, 0, FrameKind::ReadWord, 9997, -1, 0, 0});
    core->Protocol->ReceiveTimeout = c.silent ? 300 : 2000;  // the silent probe waits it out four times
    core->FeatureFlag = 7;
    core->Protocol->ProtocolError = 0;
    EXPECT_EQ(core->ProbeController(), c.result);
    EXPECT_EQ(core->FeatureFlag, c.flag);
    EXPECT_EQ(Tokens(), c.frames);
    if (c.silent) { EXPECT_EQ(core->Protocol->ProtocolError, 0x10000u); }
  }
}

TEST_F(WholeImageTest, FeatureFlagSetsRevisionAndAttributes) {
  struct Case {
    int32_t flag;
    int16_t unitBefore, unitAfter;
    int32_t revision;
    uint8_t special, timeEvents;
  } cases[] = {
      {0, 2, 1, 0, 1, 0},
      {0, 0, 0, 0, 1, 0},
      {1, 2, 2, 1, 3, 3},
  };
  const uint8_t neighbour = core->GetParam(5, 16, 1, 0)->Attribute;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flag);
    core->FeatureFlag = c.flag;
    core->GetParam(8, 64, 1, 0)->Value = c.unitBefore;
    core->ApplyFeatureFlag();
    EXPECT_EQ(core->DataRevision, c.revision);
    EXPECT_EQ(core->GetParam(8, 64, 1, 0)->Value, c.unitAfter);
    EXPECT_EQ(core->GetParam(8, 90, 1, 0)->Attribute, c.special);
    EXPECT_EQ(core->GetParam(8, 94, 1, 0)->Attribute, c.special);
    for (int item = 17; item <= 36; ++item) { EXPECT_EQ(core->GetParam(5, item, 1, 0)->Attribute, c.timeEvents); }
    EXPECT_EQ(core->GetParam(5, 16, 1, 0)->Attribute, neighbour);
    EXPECT_EQ(core->GetParam(5, 37, 1, 0), nullptr);
  }
}

TEST_F(WholeImageTest, WriteFrameOrderAndRuns) {
  sim.SetProgramWord(2, 1, 1, 100);  // the controller's pattern 2 had a segment
  core->GetPatternValue(1, 1, 1)->Value = 5;
  CountingObserver observer;
  ASSERT_TRUE(core->WriteAllToController(1, Range(true, true), &observer));
  const std::vector<std::string> tokens = Tokens();
  ASSERT_GE(tokens.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(tokens.begin(), tokens.begin() + 3),
            (std::vector<std::string>{"R508", "R4600", "W527=1"}));
  EXPECT_EQ(tokens.back(), "W527=0");
  std::vector<std::string> programs;
  for (const std::string& t : tokens)
    if (t[0] == 'w' || t[0] == 'X') programs.push_back(t);
  std::vector<std::string> expected = {"X1.2", "w1.0@1x7", "w1.1@1x23"};
  for (int p = 2; p <= 19; ++p) {
    expected.push_back("X" + std::to_string(p) + ".1");
    expected.push_back("w" + std::to_string(p) + ".0@4x4");
  }
  EXPECT_EQ(programs, expected);
  EXPECT_EQ(Runs(sim.Frames(), true), kWriteRuns);
  EXPECT_EQ(sim.UsedSegments(2), 0);
  EXPECT_EQ(observer.Frames, 2 + 18 + static_cast<int>(kWriteRuns.size()));  // no deletes counted
  int writable = 0;
  for (const auto& run : kWriteRuns) writable += run.second;
  EXPECT_EQ(observer.Steps, 3 + 23 + writable);
  for (int r = 0; r < kSetupParamCount; ++r) {
    const ParamDescriptor* d = core->SetupRecord(r);
    if (d->Group == 1 && (d->Attribute & 2)) { ASSERT_EQ(sim.Word(d->Address), static_cast<uint16_t>(d->Value)); }
  }
}

TEST_F(WholeImageTest, WriteShapesOfAPattern) {
  struct Case {
    const char* name;
    std::vector<int> usedCells;  // segments whose SP1 is set
    const char* tag;
    std::vector<std::string> frames;
    int controllerUsed;
  } cases[] = {
      {"some used", {1, 2, 3}, "SOME", {"X3.4", "w3.0@1x7", "w3.1@1x23", "w3.2@1x23", "w3.3@1x23"}, 3},
      {"full", {}, "FULL", {}, 30},
      {"gap after 1", {1, 3, 4}, "GAP", {"X3.2", "w3.0@1x7", "w3.1@1x23"}, 1},
      {"empty", {}, "AB", {"X3.1", "w3.0@4x4"}, 0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const bool full = std::string(c.name) == "full";
    if (full) {
      for (int s = 1; s <= 30; ++s) c.usedCells.push_back(s);
      c.frames.push_back("w3.0@1x7");
      for (int s = 1; s <= 30; ++s) c.frames.push_back("w3." + std::to_string(s) + "@1x23");
    }
    // The controller holds ten segments and pattern items 7, 8, 9.
    transfertest::SeedController(sim, 3, std::vector<int>(19, 10));
    for (int i = 1; i <= 3; ++i) sim.SetProgramWord(3, 0, i, static_cast<uint16_t>(6 + i));
    for (int s = 1; s <= 30; ++s)
      for (int i = 1; i <= 23; ++i) core->GetPatternValue(3, i, s)->Value = kEmptyValue;
    for (int s : c.usedCells)
      for (int i = 1; i <= 23; ++i) core->GetPatternValue(3, i, s)->Value = static_cast<int16_t>(s * 100 + i);
    for (int i = 24; i <= 26; ++i) core->GetPatternValue(3, i, 1)->Value = static_cast<int16_t>(i);
    char tag[9] = {};
    std::snprintf(tag, sizeof tag, "%s", c.tag);
    core->SetTag(3, tag);
    sim.ClearFrames();

    ASSERT_TRUE(core->WriteAllToController(1, Range(true, false)));
    EXPECT_EQ(PatternTokens(3), c.frames);
    EXPECT_EQ(sim.UsedSegments(3), c.controllerUsed);
    for (int s = 1; s <= c.controllerUsed; ++s)
      for (int i = 1; i <= 23; ++i) { ASSERT_EQ(sim.ProgramWord(3, s, i), static_cast<uint16_t>(s * 100 + i)); }
    for (int s = c.controllerUsed + 1; s <= 30; ++s) { EXPECT_EQ(sim.ProgramWord(3, s, 1), Sim::kEmpty); }
    char padded[9];
    core->GetTag(3, padded);
    EXPECT_EQ(sim.Tag(3), padded);
    for (int i = 1; i <= 3; ++i)
      EXPECT_EQ(sim.ProgramWord(3, 0, i), c.controllerUsed == 0 ? 6 + i : 23 + i);  // an empty pattern keeps them
    for (const auto& f : sim.Frames()) {
      if (f.Kind != FrameKind::WriteProgram || f.Address != 3 || f.Segment != 0) continue;
      const std::vector<uint16_t> words = FrameWords(f);
      if (std::string(c.name) == "empty")
        EXPECT_EQ(words, (std::vector<uint16_t>{0x4142, 0x2020, 0x2020, 0x2020}));
      else
        EXPECT_EQ(std::vector<uint16_t>(words.begin(), words.begin() + 3), (std::vector<uint16_t>{24, 25, 26}));
    }
  }
}

TEST_F(WholeImageTest, RoundTripBetweenTwoControllers) {
  const std::vector<int> used = {0, 1, 2, 30, 5, 29, 0, 17, 3, 30, 8, 1, 12, 0, 4, 6, 25, 9, 14};
  transfertest::SeedController(sim, 2024, used);
  core->ClosePort();  // each job opens the port itself
  ASSERT_EQ(Job(0, true), kTransferReadFinished);

  // A second controller with its default image, READY.
  kvlsim::TControllerSim second;
  ASSERT_TRUE(second.Start());
  ::setenv("KVLQ70_COM1", second.SlavePath().c_str(), 1);
  ASSERT_EQ(Job(1, false), kTransferWriteFinished);

  for (int r = 0; r < kSetupParamCount; ++r) {
    const ParamDescriptor* d = core->SetupRecord(r);
    if (d->Attribute == 2 || d->Attribute == 3) {
      ASSERT_EQ(second.Word(d->Address), sim.Word(d->Address)) << d->Address;
    }
  }
  for (int p = 1; p <= 19; ++p) {
    SCOPED_TRACE(p);
    EXPECT_EQ(second.UsedSegments(p), used[static_cast<size_t>(p - 1)]);
    EXPECT_EQ(second.Tag(p), sim.Tag(p));
    if (used[static_cast<size_t>(p - 1)] > 0)
      for (int i = 1; i <= 3; ++i) { EXPECT_EQ(second.ProgramWord(p, 0, i), sim.ProgramWord(p, 0, i)); }
    for (int s = 1; s <= used[static_cast<size_t>(p - 1)]; ++s)
      for (int i = 1; i <= 23; ++i) { ASSERT_EQ(second.ProgramWord(p, s, i), sim.ProgramWord(p, s, i)); }
  }
  second.Stop();
}

}  // namespace
