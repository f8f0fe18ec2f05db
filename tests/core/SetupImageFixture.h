// A data image whose setup parameters are reached by controller address, with
// the model words set directly, for the tests of defaults and display rules.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "UCore.h"

namespace {

struct ParamKey {
  int bank, item, sub;
};

// (bank, item, sub) of a setup parameter's controller address; bank 0 for an
// address outside every bank.
inline ParamKey KeyOfAddress(int a) {
  if (a >= 1001 && a <= 1050) return {10, a - 1000, 1};
  if (a >= 1501 && a <= 1580) return {6, (a - 1501) % 10 + 1, (a - 1501) / 10 + 1};
  if (a >= 2001 && a <= 2080) return {7, (a - 2001) % 10 + 1, (a - 2001) / 10 + 1};
  if (a >= 2501 && a <= 2533) return {3, a - 2500, 1};
  if (a >= 3001 && a <= 3022) return {4, a - 3000, 1};
  if (a >= 3501 && a <= 3536) return {5, a - 3500, 1};
  if (a >= 4001 && a <= 4066) return {9, (a - 4001) % 11 + 1, (a - 4001) / 11 + 1};
  if (a >= 4501 && a <= 4600) return {8, a - 4500, 1};
  return {0, 0, 0};
}

// Controller address of setup data Cn (C00 is n = 100).
constexpr int C(int n) { return 4500 + n; }

// The model words of one controller variant.
struct Variant {
  uint16_t h1, h2, l1, l2;
};

class SetupImageFixture : public ::testing::Test {
 protected:
  std::unique_ptr<TCore> core = std::make_unique<TCore>(1);

  // The record at a controller address; fails the test when it is missing.
  ParamDescriptor* Param(int address) {
    const ParamKey k = KeyOfAddress(address);
    ParamDescriptor* d = core->GetParam(k.bank, k.item, k.sub, 0);
    EXPECT_NE(d, nullptr) << "no parameter at " << address;
    return d;
  }
  void Set(int address, int value) {
    if (ParamDescriptor* d = Param(address)) d->Value = static_cast<int16_t>(value);
  }
  int Get(int address) {
    ParamDescriptor* d = Param(address);
    return d ? d->Value : -99999;
  }
  void SetAllSetupValues(int16_t value) {
    for (int i = 0; i < core->GetParamCount(); ++i) core->SetupRecord(i)->Value = value;
  }
  // The words and the setup parameters C96/C97 that mirror them.
  void SetModel(const Variant& v) {
    core->Model.HardwareType1 = v.h1;
    core->Model.HardwareType2 = v.h2;
    core->Model.Loop1OutputWord = v.l1;
    core->Model.Loop2OutputWord = v.l2;
    Set(C(96), static_cast<int16_t>(v.h1));
    Set(C(97), static_cast<int16_t>(v.h2));
  }
  void SetCell(int pattern, int item, int segment, int value) {
    PatternSlot* s = core->GetPatternValue(pattern, item, segment);
    ASSERT_NE(s, nullptr);
    s->Value = static_cast<int16_t>(value);
  }
};

}  // namespace
