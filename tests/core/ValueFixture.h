// A data image with a stated controller variant and settings, for the tests of
// value texts, range checks and dependent updates.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "UCore.h"

namespace valuetest {

// One working value to set before a case: bank, item, sub-index, value.
struct Setting {
  int bank;
  int item;
  int value;
  int sub = 1;
};

// The controller variant and settings a case runs under.
struct Context {
  uint16_t h1 = 0x01;  // single-loop, relay output
  uint16_t h2 = 0x00;
  int revision = 1;
  std::vector<Setting> settings;
  uint16_t loop1 = 0;
  uint16_t loop2 = 0;
};

inline Context With(std::vector<Setting> settings) {
  Context c;
  c.settings = std::move(settings);
  return c;
}
inline Context Model(uint16_t h1, uint16_t h2, std::vector<Setting> settings = {}) {
  Context c = With(std::move(settings));
  c.h1 = h1;
  c.h2 = h2;
  return c;
}
inline Context Revision(int revision, std::vector<Setting> settings = {}) {
  Context c = With(std::move(settings));
  c.revision = revision;
  return c;
}
inline Context Loops(uint16_t loop1, uint16_t loop2) {
  Context c;
  c.loop1 = loop1;
  c.loop2 = loop2;
  return c;
}

// Setup parameter Cnn (item 100 is C00).
inline Setting C(int n, int value) { return {8, n == 0 ? 100 : n, value}; }

class ValueFixture : public ::testing::Test {
 protected:
  std::unique_ptr<TCore> core = std::make_unique<TCore>(1);

  ParamDescriptor* Param(int bank, int item, int sub = 1) {
    ParamDescriptor* d = core->GetParam(bank, item, sub, 0);
    EXPECT_NE(d, nullptr) << "no record " << bank << "/" << item << "/" << sub;
    return d;
  }

  int Value(int bank, int item, int sub = 1) {
    ParamDescriptor* d = Param(bank, item, sub);
    return d ? d->Value : -99999;
  }

  PatternSlot* Cell(int pattern, int item, int segment) {
    PatternSlot* s = core->GetPatternValue(pattern, item, segment);
    EXPECT_NE(s, nullptr) << "no cell " << pattern << "/" << item << "/" << segment;
    return s;
  }

  void Set(const Setting& s) {
    if (ParamDescriptor* d = Param(s.bank, s.item, s.sub)) d->Value = static_cast<int16_t>(s.value);
  }

  // Neutral settings that no case depends on unless it states them, then the
  // case's own.
  void Apply(const Context& c) {
    core->Model.HardwareType1 = c.h1;
    core->Model.HardwareType2 = c.h2;
    core->Model.Loop1OutputWord = c.loop1;
    core->Model.Loop2OutputWord = c.loop2;
    core->DataRevision = c.revision;
    for (const Setting& s : {C(4, 0), C(24, 0), C(64, 0), C(9, -1999), C(10, 9999), C(32, -1999), C(33, 9999),
                             C(44, 0), C(41, 0), C(46, 0), C(49, 0), C(90, 0)})
      Set(s);
    for (const Setting& s : c.settings) Set(s);
  }
};

}  // namespace valuetest
