// The transfer job: port, probe, model comparison, data check, transfer,
// classification, commit and cancel, against a simulated controller.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "TransferFixture.h"

namespace {

using transfertest::Snapshot;
using transfertest::TransferFixture;
using kvlsim::FaultKind;
using kvlsim::FrameKind;
using Sim = kvlsim::TControllerSim;

bool Contains(const std::vector<std::string>& tokens, const std::string& prefix) {
  for (const std::string& t : tokens)
    if (t.rfind(prefix, 0) == 0) return true;
  return false;
}

// True when every prefix of wanted matches a token, in this order.
bool ContainsInOrder(const std::vector<std::string>& tokens, const std::vector<std::string>& wanted) {
  size_t next = 0;
  for (const std::string& t : tokens)
    if (next < wanted.size() && t.rfind(wanted[next], 0) == 0) ++next;
  return next == wanted.size();
}

class TransferJobTest : public TransferFixture {
 protected:
  // The image written by the fault cases: pattern 1 with two used
  // segments, every other pattern empty.
  void TwoSegmentsInPattern1() {
    for (int s = 1; s <= 2; ++s)
      for (int i = 1; i <= 23; ++i) core->GetPatternValue(1, i, s)->Value = static_cast<int16_t>(i);
  }
};

TEST_F(TransferJobTest, FullReadFrameOrderAndCommit) {
  transfertest::SeedController(sim, 5, std::vector<int>(19, 12));
  std::vector<std::pair<int, int>> progress;
  TransferJobHooks hooks;
  hooks.Progress = [&](int position, int maximum) { progress.emplace_back(position, maximum); };
  ASSERT_EQ(Job(0, true, true, true, hooks), kTransferReadFinished);

  std::vector<std::string> expected = {"R9997", "R9999", "R4591x2", "R4596x5"};
  for (int p = 1; p <= 19; ++p)
    for (int s = 0; s <= 30; ++s)
      expected.push_back("r" + std::to_string(p) + "." + std::to_string(s) + (s == 0 ? "@1x7" : "@1x23"));
  const std::vector<std::string> tokens = Tokens();
  ASSERT_EQ(tokens.size(), expected.size() + 17);
  EXPECT_EQ(std::vector<std::string>(tokens.begin(), tokens.begin() + static_cast<long>(expected.size())), expected);
  for (size_t k = expected.size(); k < tokens.size(); ++k) { EXPECT_EQ(tokens[k][0], 'R') << tokens[k]; }

  // Committed: parameters, programs, tags, model words and the model.
  EXPECT_EQ(core->GetParam(3, 1, 1, 0)->Value, static_cast<int16_t>(sim.Word(2501)));
  EXPECT_EQ(core->GetParam(10, 50, 1, 0)->Value, static_cast<int16_t>(sim.Word(1050)));
  EXPECT_EQ(core->GetPatternValue(19, 23, 12)->Value, static_cast<int16_t>(sim.ProgramWord(19, 12, 23)));
  EXPECT_EQ(core->GetPatternValue(7, 1, 13)->Value, kEmptyValue);
  char tag[9];
  core->GetTag(8, tag);
  EXPECT_EQ(sim.Tag(8), tag);
  EXPECT_EQ(core->GetParam(8, 96, 1, 0)->Value, 0x0844);
  EXPECT_EQ(core->Model.HardwareType1, 0x0844);
  EXPECT_EQ(core->Model.HardwareType2, 0x0031);
  EXPECT_EQ(core->FeatureFlag, 1);
  EXPECT_EQ(core->DataRevision, 1);
  EXPECT_FALSE(core->Protocol->IsOpen());

  // Progress climbs to its maximum and never past it.
  ASSERT_FALSE(progress.empty());
  for (size_t k = 1; k < progress.size(); ++k) {
    EXPECT_LE(progress[k].first, progress[k].second);
    if (progress[k].second == progress[k - 1].second) { EXPECT_GE(progress[k].first, progress[k - 1].first); }
  }
  EXPECT_EQ(progress.back(), std::make_pair(13627, 13627));
}

TEST_F(TransferJobTest, FirstFramesFollowModelCheckAndRange) {
  struct Case {
    bool modelCheck, programs, parameters;
    size_t frames;
    const char* first;
  } cases[] = {
      {false, true, true, 19 * 31 + 17, "r1.0@1x7"},
      {false, false, true, 17, "R2501x33"},
      {false, false, false, 0, ""},
      {true, false, false, 4, "R9997"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.modelCheck << c.programs << c.parameters);
    sim.ClearFrames();
    EXPECT_EQ(Job(0, c.modelCheck, c.programs, c.parameters), kTransferReadFinished);
    EXPECT_EQ(sim.FrameCount(), c.frames);
    if (c.frames) { EXPECT_EQ(Tokens().front(), c.first); }
  }
}

TEST_F(TransferJobTest, PortThatCannotBeOpened) {
  for (auto setup : std::vector<std::function<void()>>{[&] { core->LineSetting = 0; },
                                                       [&] { core->LineSetting = 15; },
                                                       [&] { core->PortNumber = 17; }}) {
    core->LineSetting = 13;
    core->PortNumber = 1;
    setup();
    EXPECT_EQ(Job(0, true), kTransferPortNotOpened);
  }
  EXPECT_EQ(sim.FrameCount(), 0u);
}

TEST_F(TransferJobTest, ReadWithoutModelCheckLeavesModelWordsAndSkippedRows) {
  sim.SetWord(Sim::kFeatureWord, 0);
  ASSERT_EQ(Job(0, true), kTransferReadFinished);
  // The feature flag 0 took the time-event rows out of the transfer.
  ASSERT_EQ(core->GetParam(5, 17, 1, 0)->Attribute, 0);

  ParamDescriptor* c96 = core->GetParam(8, 96, 1, 0);
  ParamDescriptor* t1 = core->GetParam(5, 17, 1, 0);
  c96->Value = 0x0001;
  c96->ReceivedValue = 0x0844;  // as if a model read had been left over
  t1->Value = 4;
  sim.SetWord(4596, 0x0821);
  sim.SetWord(3517, 77);
  sim.SetWord(2501, 1);
  sim.ClearFrames();
  ASSERT_EQ(Job(0, false), kTransferReadFinished);
  EXPECT_EQ(c96->Value, 0x0001);
  EXPECT_EQ(t1->Value, 4);
  EXPECT_EQ(core->GetParam(3, 1, 1, 0)->Value, 1);
  EXPECT_FALSE(Contains(Tokens(), "R9997"));
}

TEST_F(TransferJobTest, RefusalsAndFaults) {
  struct Case {
    const char* name;
    std::function<void(Sim&)> prepare;
    bool programs, parameters;
    int32_t result;
    std::vector<std::string> sent;     // in this order
    std::vector<std::string> notSent;  // none of these
    uint8_t programWriteRefused;
    uint32_t protocolError;  // 0xFFFFFFFF: not checked
  };
  auto refuse = [](FrameKind kind, int address, uint8_t status) {
    return [=](Sim& s) { s.AddFault({FaultKind::Refusal, 0, kind, address, 1, status, 0}); };
  };
  auto word = [](uint16_t address, uint16_t value) { return [=](Sim& s) { s.SetWord(address, value); }; };
  const uint32_t any = 0xFFFFFFFF;
  const Case cases[] = {
      {"I on the delete", refuse(FrameKind::DeleteProgram, 1, 'I'), true, true, kTransferWrittenPartly,
       {"X1.3", "w1.0@1x7", "X2.1", "w2.0@4x4", "W2501x29", "W527=0"}, {"w1.1@", "w1.2@"}, 0, 0x49000000},
      {"G on the delete", refuse(FrameKind::DeleteProgram, 1, 'G'), true, true, kTransferWrittenPartly,
       {"X1.3", "w1.0@1x7", "w1.1@1x23", "w1.2@1x23", "X2.1", "W527=0"}, {}, 0, 0x47000000},
      {"other refusal on the delete", refuse(FrameKind::DeleteProgram, 1, 'E'), true, true, kTransferRefusedOther,
       {"W527=1", "X1.3"}, {"w1.0@", "W527=0"}, 0, 0x45000000},
      {"G on a parameter run", refuse(FrameKind::WriteWords, 3001, 'G'), false, true, kTransferWrittenPartly,
       {"W527=2", "W2531x3", "W3001x22", "W3501x13", "W1031x16", "W527=0"}, {}, 0, 0x47000000},
      {"F on a parameter run", refuse(FrameKind::WriteWords, 3001, 'F'), false, true, kTransferRefusedF,
       {"W3001x22"}, {"W3501x13", "W527=0"}, 0, 0x46000000},
      {"0 on a program write", refuse(FrameKind::WriteProgram, 1, '0'), true, true, kTransferRefused0,
       {"X1.3", "w1.0@1x7"}, {"w1.1@", "W2501", "W527=0"}, 0, 0x30000000},
      {"probe silent", [](Sim& s) { s.AddFault({FaultKind::Silence, 0, FrameKind::ReadWord, 9997, -1, 0, 0}); },
       true, true, kTransferNoReply, {"R9997", "R9997", "R9997", "R9997"}, {"R9999", "R508"}, 0, 0x10000},
      {"probe checksum", [](Sim& s) { s.AddFault({FaultKind::BadChecksum, 0, FrameKind::ReadWord, 9997, -1, 0, 0}); },
       true, true, kTransferNoReply, {"R9997"}, {"R9999"}, 0, 0x40000},
      {"probe refused", refuse(FrameKind::ReadWord, 9999, 'F'), true, true, kTransferCommError, {"R9997", "R9999"},
       {"R4591", "R508"}, 0, 0x46000000},
      {"identity 1234", word(9997, 1234), true, true, kTransferWrongIdentity, {"R9997"}, {"R9999", "R508"}, 0, any},
      {"feature word 2", word(9999, 2), true, true, kTransferBadFeatureWord, {"R9997", "R9999"}, {"R4591", "R508"},
       0, any},
      {"model words refused", refuse(FrameKind::ReadWords, 4591, 'F'), true, true, kTransferRefusedF,
       {"R9999", "R4591x2"}, {"R4596x5", "R508", "w", "W"}, 0, 0x46000000},
      {"model words silent",
       [](Sim& s) { s.AddFault({FaultKind::Silence, 0, FrameKind::ReadWords, 4596, -1, 0, 0}); }, true, true,
       kTransferNoReply, {"R4591x2", "R4596x5"}, {"R508", "w", "W"}, 0, 0x10000},
      {"READY, revision 1",
       [](Sim& s) { s.SetWord(Sim::kRevisionWord, 1); }, true, true, kTransferWriteFinished,
       {"R508", "R4600", "W527=1", "w1.2@1x23", "W4501x39", "W527=0"}, {}, 0, 0},
      {"not READY, revision 1",
       [](Sim& s) {
         s.SetWord(Sim::kModeWord, 0);
         s.SetWord(Sim::kRevisionWord, 1);
       },
       true, true, kTransferProgramRefused, {"R4596x5", "R508", "R4600"}, {"W", "w", "X"}, 1, 0},
      {"not READY, revision 2", [](Sim& s) { s.SetWord(Sim::kModeWord, 0x12); }, true, true,
       kTransferWrittenPartly, {"R508", "R4600", "W527=1", "X1.3", "w1.2@1x23", "W4040x27", "W1031x16", "W527=0"},
       {"W4501", "W4540", "W4579", "W4584", "W4590", "W4593"}, 0, 0x47000000},
      {"not READY, revision 1, parameters only",
       [](Sim& s) {
         s.SetWord(Sim::kModeWord, 0);
         s.SetWord(Sim::kRevisionWord, 1);
       },
       false, true, kTransferWrittenPartly, {"R508", "W527=2", "W2501x29", "W4001x39", "W527=0"},
       {"R4600", "W4501", "w", "X"}, 0, 0x47000000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.Stop();
    kvlsim::TControllerSim fresh;
    ASSERT_TRUE(fresh.Start());
    ::setenv("KVLQ70_COM1", fresh.SlavePath().c_str(), 1);
    core = std::make_unique<TCore>(1);
    core->Protocol->ReceiveTimeout = 300;  // short for the silent cases, long for a loaded machine
    core->Protocol->RetryCount = 3;
    core->LineSetting = 13;
    TwoSegmentsInPattern1();
    core->GetParam(8, 96, 1, 0)->Value = static_cast<int16_t>(fresh.Word(4596));
    core->GetParam(8, 97, 1, 0)->Value = static_cast<int16_t>(fresh.Word(4597));
    c.prepare(fresh);
    const transfertest::ImageSnapshot before = Snapshot(*core);

    TransferJobSettings settings;
    settings.CommDirection = 1;
    settings.Range.CheckProgram = c.programs;
    settings.Range.CheckParameter = c.parameters;
    EXPECT_EQ(RunTransferJob(*core, settings, {}, cancel), c.result);

    std::vector<std::string> tokens;
    for (const auto& f : fresh.Frames()) tokens.push_back(transfertest::Token(f));
    EXPECT_TRUE(ContainsInOrder(tokens, c.sent)) << testing::PrintToString(tokens);
    for (const std::string& t : c.notSent) { EXPECT_FALSE(Contains(tokens, t)) << t; }
    EXPECT_EQ(core->ProgramWriteRefused, c.programWriteRefused);
    if (c.protocolError != any) { EXPECT_EQ(core->Protocol->ProtocolError, c.protocolError); }
    EXPECT_EQ(Snapshot(*core), before);  // a write changes no working value
    EXPECT_FALSE(core->Protocol->IsOpen());
    fresh.Stop();
  }
}

// A refusal with status 0x00 carries no refusal code and leaves the error
// word at 0: it ends a job as a communication error, never as finished. So
// does a line that echoes every request (no controller on it).
TEST_F(TransferJobTest, StatusZeroRefusalsEndAsCommunicationErrors) {
  auto refuse = [](FrameKind kind, int address) {
    return [=](Sim& s) { s.AddFault({FaultKind::Refusal, 0, kind, address, -1, 0x00, 0}); };
  };
  const struct {
    const char* name;
    std::function<void(Sim&)> prepare;
    int direction;
    bool modelCheck;
    std::vector<std::string> sent;     // in this order
    std::vector<std::string> notSent;  // none of these
  } cases[] = {
      {"every frame refused, read", refuse(FrameKind::Any, -1), 0, false, {"r1.0@1x7"}, {"r1.1@"}},
      {"every frame refused, write", refuse(FrameKind::Any, -1), 1, false, {"R508"}, {"W527=1", "W527=0"}},
      {"program writes refused", refuse(FrameKind::WriteProgram, -1), 1, false, {"X1.3", "w1.0@1x7"},
       {"w1.1@", "W527=0"}},
      {"delete refused", refuse(FrameKind::DeleteProgram, -1), 1, false, {"X1.3"}, {"w1.0@", "W527=0"}},
      {"parameter run refused", refuse(FrameKind::WriteWords, 3001), 1, false, {"W3001x22"}, {"W3501x13", "W527=0"}},
      {"probe refused", refuse(FrameKind::ReadWord, 9997), 0, true, {"R9997"}, {"R9999", "R4591"}},
      {"probe on a line that echoes",
       [](Sim& s) { s.AddFault({FaultKind::Echo, 0, FrameKind::Any, -1, -1, 0, 0}); }, 0, true, {"R9997"},
       {"R9999", "R4591"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearFaults();
    sim.ClearFrames();
    TwoSegmentsInPattern1();
    MatchModel();
    c.prepare(sim);
    const transfertest::ImageSnapshot before = Snapshot(*core);
    EXPECT_EQ(Job(c.direction, c.modelCheck), kTransferCommError);
    const std::vector<std::string> tokens = Tokens();
    EXPECT_TRUE(ContainsInOrder(tokens, c.sent)) << testing::PrintToString(tokens);
    for (const std::string& t : c.notSent) { EXPECT_FALSE(Contains(tokens, t)) << t; }
    EXPECT_EQ(core->Protocol->ProtocolError, 0u);
    EXPECT_EQ(Snapshot(*core), before) << "nothing is committed";
    EXPECT_FALSE(core->Protocol->IsOpen());
  }
}

// A refusal the write goes on after is kept to the end of the write, also
// when a later reply is spoiled on the line and its retry recovers it: the
// write is reported as partly refused, never as complete. A spoiled reply
// alone still ends as complete, and a frame that fails for good after a
// refusal ends the write as that failure.
TEST_F(TransferJobTest, ToleratedRefusalsOutliveARecoveredRetry) {
  const uint32_t none = 0;
  const struct Refusal {
    const char* name;
    std::function<void(Sim&)> prepare;
    bool programs;
    uint32_t error;  // the refusal's error word
  } refusals[] = {
      {"I on the delete",
       [](Sim& s) { s.AddFault({FaultKind::Refusal, 0, FrameKind::DeleteProgram, 1, 1, 'I', 0}); }, true, 0x49000000},
      {"G on a parameter run",
       [](Sim& s) { s.AddFault({FaultKind::Refusal, 0, FrameKind::WriteWords, 3001, 1, 'G', 0}); }, false,
       0x47000000},
      {"setup data skipped outside READY", [](Sim& s) { s.SetWord(Sim::kModeWord, 0x12); }, true, 0x47000000},
      {"no refusal", [](Sim&) {}, true, none},
  };
  const struct Spoil {
    const char* name;
    int times;  // replies spoiled: 0 none, -1 every try
    FaultKind kind;
    uint32_t error;  // the word a spoiled try leaves
  } spoils[] = {
      {"a changed byte", 1, FaultKind::BadChecksum, TProtocol::kErrChecksum},
      {"no STX", 1, FaultKind::NoStx, TProtocol::kErrNoStx},
      {"no spoiled reply", 0, FaultKind::BadChecksum, none},
      // The frame fails for good: the write's failure is reported, not the refusal.
      {"a changed byte on every try", -1, FaultKind::BadChecksum, TProtocol::kErrChecksum},
  };
  for (const Refusal& r : refusals) {
    for (const Spoil& s : spoils) {
      SCOPED_TRACE(std::string(r.name) + ", " + s.name);
      sim.ClearFaults();
      sim.ClearFrames();
      sim.SetWord(Sim::kModeWord, 1);
      TwoSegmentsInPattern1();
      MatchModel();
      r.prepare(sim);
      // The last parameter run, sent after every refusal above.
      if (s.times != 0) sim.AddFault({s.kind, 0, FrameKind::WriteWords, 1031, s.times, 0, 0});
      const bool failed = s.times < 0;
      const int32_t expected = failed             ? kTransferNoReply
                               : r.error != none ? kTransferWrittenPartly
                                                 : kTransferWriteFinished;
      EXPECT_EQ(Job(1, false, r.programs, true), expected);
      EXPECT_EQ(core->Protocol->ProtocolError, !failed && r.error != none ? r.error : s.error);
      const std::vector<std::string> tokens = Tokens();
      const auto tries = std::count(tokens.begin(), tokens.end(), "W1031x16");
      EXPECT_EQ(tries, failed ? 4 : s.times + 1) << testing::PrintToString(tokens);
      EXPECT_EQ(Contains(tokens, "W527=0"), !failed) << testing::PrintToString(tokens);
      EXPECT_FALSE(core->Protocol->IsOpen());
    }
  }
}

TEST_F(TransferJobTest, RefusedProgramWriteThenSilentReadReportsNoReply) {
  sim.SetWord(Sim::kModeWord, 0);
  sim.SetWord(Sim::kRevisionWord, 1);
  MatchModel();
  ASSERT_EQ(Job(1, true), kTransferProgramRefused);
  core->Protocol->ReceiveTimeout = 300;  // waited out four times
  sim.AddFault({FaultKind::Silence, 0, FrameKind::Any, -1, -1, 0, 0});
  EXPECT_EQ(Job(0, true), kTransferNoReply);
  EXPECT_EQ(core->ProgramWriteRefused, 0);
}

TEST_F(TransferJobTest, ModelQuestionAndDataCheck) {
  struct Case {
    const char* name;
    int answer;
    bool dataCheckPasses;
    int32_t result;
    bool adopted;
    bool written;
  } cases[] = {
      {"Yes stops", kAnswerYes, true, -1, false, false},
      {"No adopts, then writes", kAnswerNo, true, kTransferWriteFinished, true, true},
      {"No adopts, data check fails", kAnswerNo, false, -1, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    core = std::make_unique<TCore>(1);
    core->Protocol->ReceiveTimeout = 2000;
    core->LineSetting = 13;
    sim.SetWord(4596, 0x0844);
    sim.SetWord(4597, 0x0031);
    core->GetParam(8, 96, 1, 0)->Value = 0x0001;
    core->GetParam(8, 97, 1, 0)->Value = 0;
    sim.ClearFrames();
    int asked = 0, checked = 0, synchronised = 0;
    TransferJobHooks hooks;
    hooks.Synchronize = [&](const std::function<void()>& work) {
      ++synchronised;
      work();
    };
    hooks.AskModelChanged = [&] {
      ++asked;
      return c.answer;
    };
    int followed = 0;
    hooks.ModelAdopted = [&] {
      ++followed;
      // Told after the adoption, within the question's synchronise call.
      EXPECT_EQ(asked, 1);
      EXPECT_EQ(synchronised, 1);
      EXPECT_EQ(core->GetParam(8, 96, 1, 0)->Value, 0x0844);
      EXPECT_EQ(core->ModelCode.substr(0, 3), "Q42");
    };
    hooks.CheckData = [&](bool programs, bool parameters) {
      ++checked;
      EXPECT_TRUE(programs);
      EXPECT_FALSE(parameters);
      // The data check sees the adopted model.
      EXPECT_EQ(core->Model.HardwareType1, 0x0844);
      return c.dataCheckPasses;
    };
    EXPECT_EQ(Job(1, true, true, false, hooks), c.result);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(checked, c.answer == kAnswerNo ? 1 : 0);
    EXPECT_EQ(followed, c.adopted ? 1 : 0);
    EXPECT_EQ(core->GetParam(8, 96, 1, 0)->Value, c.adopted ? 0x0844 : 0x0001);
    EXPECT_EQ(core->GetParam(8, 97, 1, 0)->Value, c.adopted ? 0x0031 : 0);
    if (c.adopted) { EXPECT_EQ(core->Model.HardwareType1, 0x0844); }
    const std::vector<std::string> tokens = Tokens();
    EXPECT_EQ(Contains(tokens, "R508"), c.written);
    EXPECT_EQ(Contains(tokens, "W527=0"), c.written);
    EXPECT_EQ(tokens.size() == 4, !c.written);  // probe and model words only
    EXPECT_FALSE(core->Protocol->IsOpen());
    EXPECT_EQ(synchronised, 1 + (c.answer == kAnswerNo ? 1 : 0) + (c.written ? 1 : 0));
  }
}

TEST_F(TransferJobTest, SameModelWriteAsksNothing) {
  MatchModel();
  int asked = 0;
  TransferJobHooks hooks;
  hooks.AskModelChanged = [&] { return ++asked, kAnswerYes; };
  EXPECT_EQ(Job(1, true, true, true, hooks), kTransferWriteFinished);
  EXPECT_EQ(asked, 0);
}

// Cancels the job from another thread once the controller has received
// the given number of frames.
// Cancels the job from another thread as the controller takes its n-th
// frame: the simulator's own thread requests the cancel, so the moment is
// the same however the machine is loaded.
class Canceller {
 public:
  Canceller(Sim& sim, TCore& core, TTransferCancel& cancel, size_t frames) : Simulator(sim) {
    auto seen = std::make_shared<size_t>(0);
    sim.SetFrameObserver([seen, frames, &core, &cancel](const kvlsim::FrameRecord&) {
      if (++*seen == frames) cancel.Request(core);
    });
  }
  ~Canceller() { Simulator.SetFrameObserver(nullptr); }

 private:
  Sim& Simulator;
};

TEST_F(TransferJobTest, CancelEndsTheJobAndTheNextOneOpensAgain) {
  struct Case {
    const char* name;
    int direction;
    bool silentProbe;
    size_t cancelAt;
    bool modelDiffers;
  } cases[] = {
      {"during the probe", 0, true, 1, false},
      {"mid-read", 0, false, 120, false},
      {"mid-write after adopting the model", 1, false, 30, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    core = std::make_unique<TCore>(1);
    core->Protocol->ReceiveTimeout = 10000;  // the cancel must not wait for it
    core->Protocol->RetryCount = 3;
    core->LineSetting = 13;
    transfertest::SeedController(sim, 9, std::vector<int>(19, 30));
    if (c.modelDiffers)
      core->GetParam(8, 96, 1, 0)->Value = 0x0001;
    else
      MatchModel();
    sim.ClearFaults();
    if (c.silentProbe) sim.AddFault({FaultKind::Silence, 0, FrameKind::ReadWord, 9997, -1, 0, 0});
    sim.ClearFrames();

    transfertest::ImageSnapshot before = Snapshot(*core);
    TransferJobHooks hooks;
    hooks.AskModelChanged = [] { return kAnswerNo; };
    hooks.Synchronize = [&](const std::function<void()>& work) {
      work();
      before = Snapshot(*core);  // the adopted model is the state to keep
    };
    const auto start = std::chrono::steady_clock::now();
    int32_t result;
    {
      Canceller canceller(sim, *core, cancel, c.cancelAt);
      TransferJobSettings settings;
      settings.CommDirection = c.direction;
      cancel.Reset();
      result = RunTransferWorker(*core, settings, hooks, cancel).Result;
      if (result != kTransferStopped) result = FinishTransferOk(*core, settings, cancel);
    }
    EXPECT_EQ(result, kTransferStopped);
    // Well under one receive time-out, with room for a loaded machine.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(5000));
    EXPECT_EQ(Snapshot(*core), before);
    if (c.modelDiffers) { EXPECT_EQ(core->GetParam(8, 96, 1, 0)->Value, 0x0844); }
    EXPECT_FALSE(core->Protocol->IsOpen());

    sim.ClearFaults();
    sim.ClearFrames();
    EXPECT_EQ(Job(0, false, false, true), kTransferReadFinished);
    EXPECT_EQ(sim.FrameCount(), 17u);
    EXPECT_EQ(core->GetParam(3, 1, 1, 0)->Value, static_cast<int16_t>(sim.Word(2501)));
  }
}

TEST_F(TransferJobTest, CancelAfterTheTransferCommitsNothing) {
  transfertest::SeedController(sim, 13, std::vector<int>(19, 2));
  const transfertest::ImageSnapshot before = Snapshot(*core);
  TransferJobSettings settings;
  const TransferWorkerOutcome outcome = RunTransferWorker(*core, settings, {}, cancel);
  ASSERT_EQ(outcome.End, TransferWorkerOutcome::Finished);
  cancel.Request(*core);
  EXPECT_EQ(FinishTransferOk(*core, settings, cancel), kTransferStopped);
  EXPECT_EQ(Snapshot(*core), before);
}

TEST(TransferClassification, ErrorWordToResult) {
  struct Case {
    uint32_t error;
    int32_t result;
  } cases[] = {
      {0x10000, 1},      {0x20000, 1},      {0x40000, 1},      {0x80010000, 1}, {0x200000, 2},
      {0, 2},            {0x1005, 2},       {0x30000000, 9},   {0x46000000, 10}, {0xC6000000, 10},
      {0x47000000, 11},  {0x49000000, 11},  {0x45000000, 11},
  };
  for (const Case& c : cases) { EXPECT_EQ(ClassifyTransferFailure(c.error), c.result) << std::hex << c.error; }
}

}  // namespace
