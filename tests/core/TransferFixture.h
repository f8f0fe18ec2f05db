// A data image whose port 1 leads to a simulated controller on a
// pseudo-terminal, with helpers that seed the controller and render the
// frames it received as short tokens:
//   R9997        read one word          R2501x33  read words
//   W527=1       write one word         W2501x29  write words
//   r3.0@1x7     program read           w3.0@4x4  program write
//   X3.2         delete pattern 3 from segment 2 on
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ControllerSim.h"
#include "TransferJob.h"
#include "UCore.h"

namespace transfertest {

inline std::string Token(const kvlsim::FrameRecord& f) {
  using K = kvlsim::FrameKind;
  auto n = [](auto v) { return std::to_string(v); };
  switch (f.Kind) {
    case K::ReadWord:
      return "R" + n(f.Address);
    case K::ReadWords:
      return "R" + n(f.Address) + "x" + n(f.Count);
    case K::WriteWord:
      return "W" + n(f.Address) + "=" + n(f.Bytes.size() > 5 ? f.Bytes[4] | (f.Bytes[5] << 8) : -1);
    case K::WriteWords:
      return "W" + n(f.Address) + "x" + n(f.Count);
    case K::ReadProgram:
      return "r" + n(f.Address) + "." + n(f.Segment) + "@" + n(f.StartItem) + "x" + n(f.Count);
    case K::WriteProgram:
      return "w" + n(f.Address) + "." + n(f.Segment) + "@" + n(f.StartItem) + "x" + n(f.Count);
    case K::DeleteProgram:
      return "X" + n(f.Address) + "." + n(f.Segment);
    default:
      return "?";
  }
}

// The data words of a word-write or program-write frame.
inline std::vector<uint16_t> FrameWords(const kvlsim::FrameRecord& f) {
  std::vector<uint16_t> words;
  const size_t n = f.Bytes.size() >= 8 ? (f.Bytes.size() - 8) / 2 : 0;
  for (size_t k = 0; k < n; ++k)
    words.push_back(static_cast<uint16_t>(f.Bytes[6 + 2 * k] | (f.Bytes[7 + 2 * k] << 8)));
  return words;
}

// Every working value of the image: setup values, program cells, tags.
struct ImageSnapshot {
  std::vector<int16_t> Values;
  std::vector<std::string> Tags;
  bool operator==(const ImageSnapshot&) const = default;
};

inline ImageSnapshot Snapshot(TCore& core) {
  ImageSnapshot s;
  for (int r = 0; r < kSetupParamCount; ++r) s.Values.push_back(core.SetupRecord(r)->Value);
  for (int p = 1; p <= kPatternCount; ++p) {
    for (int i = 1; i <= kProgramItemCount; ++i)
      for (int seg = 1; seg <= (i <= kSegmentItemCount ? kSegmentCount : 1); ++seg)
        s.Values.push_back(core.GetPatternValue(p, i, seg)->Value);
    char tag[9];
    core.GetTag(p, tag);
    s.Tags.emplace_back(tag);
  }
  return s;
}

// Seeds a controller with a whole image drawn from seed: every setup word,
// and per pattern the given number of leading used segments (the rest
// empty), its pattern items and a tag. The model words stay valid.
inline void SeedController(kvlsim::TControllerSim& sim, unsigned seed, const std::vector<int>& used) {
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> value(-1999, 9999);
  for (uint16_t a = kvlsim::TControllerSim::kFirstSetupWord; a <= kvlsim::TControllerSim::kLastSetupWord; ++a)
    sim.SetWord(a, static_cast<uint16_t>(value(rng)));
  sim.SetWord(4596, 0x0844);  // a two-loop model
  sim.SetWord(4597, 0x0031);
  sim.SetWord(4600, 2);  // revision word (also C00)
  for (int p = 1; p <= kPatternCount; ++p) {
    const int n = used[static_cast<size_t>(p - 1)];
    for (int s = 1; s <= kSegmentCount; ++s)
      for (int i = 1; i <= kSegmentItemCount; ++i)
        sim.SetProgramWord(p, s, i, s <= n ? static_cast<uint16_t>(value(rng)) : kvlsim::TControllerSim::kEmpty);
    for (int i = 1; i <= 3; ++i) sim.SetProgramWord(p, 0, i, static_cast<uint16_t>(value(rng) & 0xFF));
    std::string tag = "T" + std::to_string(p) + "-" + std::string(1, static_cast<char>('A' + rng() % 26));
    sim.SetTag(p, tag);
  }
}

class TransferFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim.Start());
    ::setenv("KVLQ70_COM1", sim.SlavePath().c_str(), 1);
    core->PortNumber = 1;
    core->LineSetting = 13;
    // Every try is answered in time on a loaded machine too; tests about
    // time-outs set a short one themselves.
    core->Protocol->ReceiveTimeout = 2000;
    core->Protocol->RetryCount = 3;
  }
  void TearDown() override {
    core->ClosePort();
    sim.Stop();
    ::unsetenv("KVLQ70_COM1");
  }

  std::vector<std::string> Tokens() const {
    std::vector<std::string> out;
    for (const auto& f : sim.Frames()) out.push_back(Token(f));
    return out;
  }

  // The frames of the last job that name program or pattern p.
  std::vector<std::string> PatternTokens(int p) const {
    using K = kvlsim::FrameKind;
    std::vector<std::string> out;
    for (const auto& f : sim.Frames())
      if ((f.Kind == K::ReadProgram || f.Kind == K::WriteProgram || f.Kind == K::DeleteProgram) && f.Address == p)
        out.push_back(Token(f));
    return out;
  }

  int32_t Job(int direction, bool modelCheck, bool programs = true, bool parameters = true,
              const TransferJobHooks& hooks = {}) {
    TransferJobSettings settings;
    settings.CommDirection = direction;
    settings.ModelCheck = modelCheck;
    settings.Range.CheckProgram = programs;
    settings.Range.CheckParameter = parameters;
    cancel.Reset();
    return RunTransferJob(*core, settings, hooks, cancel);
  }

  // Makes the image's model words equal to the controller's, so that a
  // write with the model check on asks nothing.
  void MatchModel() {
    core->GetParam(8, 96, 1, 0)->Value = static_cast<int16_t>(sim.Word(4596));
    core->GetParam(8, 97, 1, 0)->Value = static_cast<int16_t>(sim.Word(4597));
  }

  kvlsim::TControllerSim sim;
  std::unique_ptr<TCore> core = std::make_unique<TCore>(1);
  TTransferCancel cancel;
};

}  // namespace transfertest
