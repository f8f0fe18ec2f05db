// Range checks: every kind at the edges of its interval, the bounds that
// follow other parameters, neighbouring cells, the model and the revision.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "ValueFixture.h"

namespace {

using valuetest::C;
using valuetest::Context;
using valuetest::Loops;
using valuetest::Model;
using valuetest::Revision;
using valuetest::Setting;
using valuetest::With;

constexpr uint16_t kTwoLoop = 0x841;
constexpr int kPattern = 2;
constexpr int kSegment = 3;

class RangeCheckTest : public valuetest::ValueFixture {};

// (parameter, context) -> the accepted interval. low-1, low, high and high+1
// are tried (the outer two only where they are 16-bit values).
struct IntervalCase {
  const char* what;
  int bank, item, sub;
  Context context;
  int low, high;
};

// A program ON time in the tested cell's segment.
Setting OnTime(int item, int value) { return {-kPattern, item, value}; }

TEST_F(RangeCheckTest, EveryKindAtTheEdgesOfItsInterval) {
  const IntervalCase cases[] = {
      {"0 SP1", 1, 1, 1, With({C(9, -100), C(10, 500)}), -100, 500},
      {"0 constant SP", 10, 2, 1, With({C(9, -100), C(10, 500)}), -100, 500},
      {"1 TIME", 1, 2, 1, {}, 0, 5999},
      {"2 SP2", 1, 3, 1, With({C(32, -50), C(33, 300)}), -50, 300},
      {"2 constant SP2", 10, 3, 1, With({C(32, -50), C(33, 300)}), -50, 300},
      {"3 EV1 time event", 1, 4, 1, With({{5, 1, 50}}), 0, 5999},
      {"3 EV1 absolute deviation 1", 1, 4, 1, With({{5, 1, 4}}), 0, 9999},
      {"3 EV2 absolute deviation 2", 1, 6, 1, With({{5, 5, 17}}), 0, 9999},
      {"3 EV2 absolute deviation 1, type 5", 1, 6, 1, With({{5, 5, 5}}), 0, 9999},
      {"3 EV1 MFB", 1, 4, 1, With({{5, 1, 11}}), -100, 1100},
      {"3 EV1 type 12", 1, 4, 1, With({{5, 1, 12}}), -1999, 9999},
      {"3 EV3 MV1", 1, 8, 1, With({{5, 9, 8}}), -100, 1100},
      {"3 EV1 MV2", 1, 4, 1, With({{5, 1, 21}}), -100, 1100},
      {"3 EV1 PV1", 1, 4, 1, With({{5, 1, 0}}), -1999, 9999},
      {"4 EV1 OFF after ON 100", 1, 5, 1, With({OnTime(4, 100)}), 101, 5999},
      {"4 EV1 OFF after empty ON", 1, 5, 1, With({OnTime(4, 32767)}), 5999, 5999},
      {"5 T1 revision 0", 1, 10, 1, Revision(0, {{5, 17, 8}}), 0, 5999},
      {"5 T1 time event", 1, 10, 1, With({{5, 17, 50}}), 0, 5999},
      {"5 T2 MV1", 1, 12, 1, With({{5, 21, 8}}), -100, 1100},
      {"5 T3 absolute deviation 2", 1, 14, 1, With({{5, 25, 16}}), 0, 9999},
      {"5 T5 PV1", 1, 18, 1, With({{5, 33, 0}}), -1999, 9999},
      {"6 T1 OFF after ON 200", 1, 11, 1, With({OnTime(10, 200)}), 201, 5999},
      {"6 T5 OFF after ON -5", 1, 19, 1, With({OnTime(18, -5)}), -4, 5999},
      {"7 PID1 heat-cool", 1, 20, 1, Loops(0x80, 0), 0, 4},
      {"7 PID1", 1, 20, 1, Loops(0x01, 0x80), 0, 8},
      {"8 PID2 heat-cool", 1, 21, 1, Loops(0, 0x80), 0, 4},
      {"8 PID2", 1, 21, 1, Loops(0x80, 0x04), 0, 8},
      {"9 G.S.", 1, 22, 1, {}, 0, 1000},
      {"9 IOUT", 3, 7, 1, {}, 0, 1000},
      {"9 RE.2C", 10, 46, 1, {}, 0, 1000},
      {"10 P.STA 2-loop", 1, 24, 1, Model(kTwoLoop, 1), 0, 2},
      {"10 P.STA single-loop", 1, 24, 1, Model(0x01, 1), 0, 1},
      {"11 CYCL", 1, 25, 1, {}, 0, 9999},
      {"12 P.LIN", 1, 26, 1, {}, 0, 19},
      {"13 LOC", 3, 1, 1, {}, 0, 4},
      {"14 PRTC", 3, 2, 1, {}, 0, 1},
      {"14 C75", 8, 75, 1, {}, 0, 1},
      {"14 MODE", 10, 1, 1, {}, 0, 1},
      {"15 FL", 3, 3, 1, {}, 0, 1200},
      {"15 DD.2 set 8", 7, 10, 8, {}, 0, 1200},
      {"16 PBI", 3, 4, 1, {}, -1000, 1000},
      {"16 T-BI", 4, 6, 1, {}, -1000, 1000},
      {"17 SBI", 3, 5, 1, {}, -1999, 9999},
      {"17 table column 4", 9, 11, 4, {}, -1999, 9999},
      {"18 OTL", 3, 6, 1, {}, 0, 100},
      {"18 C27", 8, 27, 1, {}, 0, 100},
      {"19 RPID", 3, 8, 1, {}, 0, 2},
      {"19 C41", 8, 41, 1, {}, 0, 2},
      {"20 AT", 3, 9, 1, {}, 0, 3},
      {"20 C04", 8, 4, 1, {}, 0, 3},
      {"21 GS.T", 3, 12, 1, {}, 1, 600},
      {"22 DIFF heat-cool", 3, 21, 1, Model(0x91, 0), -1000, 500},
      {"22 DIFF position-proportional", 3, 21, 1, Model(0x08, 0), 5, 250},
      {"22 DIFF relay", 3, 21, 1, Model(0x01, 0), 0, 1000},
      {"23 CY.1 relay", 3, 22, 1, Model(0x01, 0), 5, 120},
      {"23 CY.1 voltage", 3, 22, 1, Model(0x02, 0), 1, 60},
      {"23 CY.1 current", 3, 22, 1, Model(0x04, 0), -32768, 32767},
      {"24 CY.2 relay", 3, 23, 1, Model(0x91, 0), 5, 120},
      {"24 CY.2 voltage", 3, 23, 1, Model(0xA2, 0), 1, 60},
      {"24 CY.2 current", 3, 23, 1, Model(0xC4, 0), -32768, 32767},
      {"25 CY.3", 3, 24, 1, {}, 1, 60},
      {"26 M.-CL", 3, 31, 1, With({{3, 32, 9000}}), 0, 8500},
      {"26 M.-CL below an open position of 300", 3, 31, 1, With({{3, 32, 300}}), 0, -200},
      {"27 M.-OP", 3, 32, 1, With({{3, 31, 100}}), 600, 9999},
      {"28 M.-T", 3, 33, 1, {}, 50, 2400},
      {"29 PRSS", 4, 4, 1, {}, 670, 1330},
      {"30 GASS", 4, 7, 1, {}, 100, 500},
      {"31 ET1", 5, 1, 1, {}, 0, 199},
      {"31 ET.T5", 5, 33, 1, {}, 0, 199},
      {"32 HYS1", 5, 3, 1, {}, 0, 200},
      {"33 DL1", 5, 4, 1, {}, 0, 3600},
      {"33 I set 2", 6, 2, 2, {}, 0, 3600},
      {"34 TT", 5, 13, 1, {}, 0, 5},
      {"35 P relay", 6, 1, 1, Model(0x01, 0), 0, 9999},
      {"35 P voltage with auxiliary bits", 6, 1, 4, Model(0x4002, 0), 0, 9999},
      {"35 P current", 6, 1, 1, Model(0x04, 0), 1, 9999},
      {"35 P 2-loop", 6, 1, 1, Model(kTwoLoop, 1), 1, 9999},
      {"35 P.", 10, 11, 1, Model(0x01, 0), 0, 9999},
      {"36 OL set 3", 6, 4, 3, With({{6, 5, 800, 3}, {6, 5, 50, 1}}), -100, 800},
      {"36 OL.2 set 3", 7, 4, 3, With({{7, 5, 700, 3}, {7, 5, 50, 1}}), -100, 700},
      {"36 OL.", 10, 14, 1, With({{10, 15, 600}}), -100, 600},
      {"36 OL.2C", 10, 44, 1, With({{10, 45, 900}}), -100, 900},
      {"37 OH set 2", 6, 5, 2, With({{6, 4, -50, 2}, {6, 4, 500, 1}}), -50, 1100},
      {"37 OH.-C", 10, 25, 1, With({{10, 24, 30}}), 30, 1100},
      {"38 BR", 6, 7, 1, {}, 0, 30},
      {"39 DP", 6, 8, 1, {}, 1, 9999},
      {"39 P.2", 7, 1, 5, {}, 1, 9999},
      {"40 DI", 6, 9, 1, {}, 1, 3600},
      {"41 C03", 8, 3, 1, {}, 0, 73},
      {"42 C09", 8, 9, 1, With({C(10, 800)}), -1999, 800},
      {"43 C10", 8, 10, 1, With({C(9, -100)}), -100, 9999},
      {"44 C13", 8, 13, 1, {}, -10, 110},
      {"44 C40", 8, 40, 1, {}, -10, 110},
      {"45 C23 carbon", 8, 23, 1, Model(kTwoLoop, 4), 224, 230},
      {"45 C23", 8, 23, 1, Model(kTwoLoop, 1), 128, 193},
      {"46 C30", 8, 30, 1, With({C(31, 1200)}), 0, 1200},
      {"47 C31 range 224", 8, 31, 1, With({C(30, 100), C(23, 224)}), 100, 1500},
      {"47 C31", 8, 31, 1, With({C(30, 100), C(23, 225)}), 100, 4000},
      {"48 C32 humidity", 8, 32, 1, Model(kTwoLoop, 2, {C(33, 500)}), 0, 500},
      {"48 C32 carbon", 8, 32, 1, Model(kTwoLoop, 4, {C(33, 500)}), 0, 500},
      {"48 C32", 8, 32, 1, Model(kTwoLoop, 1, {C(33, 500)}), -1999, 500},
      {"49 C33 carbon, range 224", 8, 33, 1, Model(kTwoLoop, 4, {C(32, 10), C(23, 224)}), 10, 1500},
      {"49 C33 carbon", 8, 33, 1, Model(kTwoLoop, 4, {C(32, 10), C(23, 225)}), 10, 2000},
      {"49 C33 humidity", 8, 33, 1, Model(kTwoLoop, 2, {C(32, 10), C(23, 224)}), 10, 1000},
      {"49 C33", 8, 33, 1, Model(kTwoLoop, 1, {C(32, 10)}), 10, 9999},
      {"50 C46", 8, 46, 1, {}, 0, 11},
      {"50 C49", 8, 49, 1, {}, 0, 11},
      {"51 C52", 8, 52, 1, {}, 0, 20},
      {"52 C55", 8, 55, 1, {}, 1000, 5000},
      {"53 C78", 8, 78, 1, {}, 2, 22},
      {"54 C83 by C84", 8, 83, 1, With({C(84, 100)}), 0, 100},
      {"54 event item 14 by C15", 5, 14, 1, With({C(15, 40)}), 0, 40},
      {"55 C84", 8, 84, 1, {}, 0, 127},
      {"56 C90", 8, 90, 1, {}, 0, 255},
      {"57 C91", 8, 91, 1, {}, -1999, 2000},
      {"58 C93", 8, 93, 1, {}, 0, 15},
      {"59 C96", 8, 96, 1, {}, -32768, 32767},
      {"59 C00", 8, 100, 1, {}, -32768, 32767},
      {"60 table column 5", 9, 1, 5, {}, 0, 4000},
      {"61 constant EV1 absolute deviation", 10, 4, 1, With({{5, 1, 4}}), 0, 9999},
      {"61 constant EV2 time event", 10, 5, 1, With({{5, 5, 50}}), -1999, 9999},
      {"61 constant EV3 MV2", 10, 6, 1, With({{5, 9, 20}}), -100, 1100},
      {"62 C64 revision 1", 8, 64, 1, Revision(1), 0, 2},
      {"62 C64 revision 0", 8, 64, 1, Revision(0), 0, 1},
      {"63 G.S.2 single-loop", 1, 23, 1, Model(0x01, 0), 0, 5999},
      {"63 G.S.2 2-loop", 1, 23, 1, Model(kTwoLoop, 1), 0, 1000},
  };
  for (const IntervalCase& c : cases) {
    SCOPED_TRACE(c.what);
    Context context = c.context;
    for (Setting& s : context.settings) {
      if (s.bank == -kPattern) {  // an ON-time cell beside the tested one
        Cell(kPattern, s.item, kSegment)->Value = static_cast<int16_t>(s.value);
        s = C(4, 0);
      }
    }
    Apply(context);
    const ParamDescriptor* d = Param(c.bank, c.item, c.sub);
    ASSERT_NE(d, nullptr);
    auto accepts = [&](int v) { return core->CheckRange(d, static_cast<int16_t>(v), kPattern, kSegment); };
    if (c.low > c.high) {  // an empty interval
      for (int v : {c.low, c.high, 0, -32768, 32767}) EXPECT_FALSE(accepts(v)) << v;
      continue;
    }
    EXPECT_TRUE(accepts(c.low)) << c.low;
    EXPECT_TRUE(accepts(c.high)) << c.high;
    if (c.low > SHRT_MIN) {
      EXPECT_FALSE(accepts(c.low - 1)) << c.low - 1;
    }
    if (c.high < SHRT_MAX) {
      EXPECT_FALSE(accepts(c.high + 1)) << c.high + 1;
    }
  }
}

TEST_F(RangeCheckTest, OffTimeAfterAnEmptyOnTimeLetsNothingPass) {
  Apply({});
  // Kind 4 (event OFF) takes exactly 5999; kind 6 (time-event OFF) takes
  // nothing, also not the values that a 16-bit ON time + 1 would let in.
  Cell(kPattern, 4, kSegment)->Value = 32767;
  Cell(kPattern, 10, kSegment)->Value = 32767;
  const ParamDescriptor* off = Param(1, 5);
  const ParamDescriptor* timeOff = Param(1, 11);
  ASSERT_TRUE(off && timeOff);
  for (int v : {-32768, -1, 0, 5998, 6000, 32767}) {
    EXPECT_FALSE(core->CheckRange(off, static_cast<int16_t>(v), kPattern, kSegment)) << v;
  }
  EXPECT_TRUE(core->CheckRange(off, 5999, kPattern, kSegment));
  for (int v : {-32768, -1, 0, 5999}) {
    EXPECT_FALSE(core->CheckRange(timeOff, static_cast<int16_t>(v), kPattern, kSegment)) << v;
  }
  // The neighbouring cell is the one of the same pattern and segment.
  Cell(kPattern, 10, kSegment + 1)->Value = 0;
  Cell(kPattern + 1, 10, kSegment)->Value = 0;
  EXPECT_FALSE(core->CheckRange(timeOff, 100, kPattern, kSegment));
}

TEST_F(RangeCheckTest, LimitsThatContradictRefuseEverything) {
  Apply(With({C(9, 100), C(10, 50)}));
  const ParamDescriptor* sp1 = Param(1, 1);
  ASSERT_NE(sp1, nullptr);
  for (int v : {-1999, 0, 50, 75, 100, 9999}) EXPECT_FALSE(core->CheckRange(sp1, static_cast<int16_t>(v), 1, 1)) << v;
}

TEST_F(RangeCheckTest, UnknownKindsAcceptEveryValue) {
  Apply({});
  ParamDescriptor* d = Param(8, 98);
  ASSERT_NE(d, nullptr);
  ParamDescriptor probe = *d;
  for (uint8_t kind : {59, 64, 70, 255}) {
    probe.RangeCheckKind = kind;
    for (int v : {-32768, 0, 32767}) EXPECT_TRUE(core->CheckRange(&probe, static_cast<int16_t>(v), 0, 1)) << v;
  }
}

// The check runs after the 16-bit test and before anything is stored: a
// value outside the interval leaves the stored one as it was.
TEST_F(RangeCheckTest, RefusedEntriesChangeNothing) {
  struct Case {
    const char* what;
    int bank, item, sub;
    Context context;
    const char* text;
    bool accepted;
  } cases[] = {
      {"C64 2 on revision 0", 8, 64, 1, Revision(0), "2", false},
      {"C64 2 on revision 1", 8, 64, 1, Revision(1), "2", true},
      {"CY.1 current -5", 3, 22, 1, Model(0x04, 0), "-5", true},
      {"CY.1 current 32767", 3, 22, 1, Model(0x04, 0), "32767", true},
      {"CY.1 relay 4", 3, 22, 1, Model(0x01, 0), "4", false},
      {"C09 above C10", 8, 9, 1, With({C(10, 100)}), "101", false},
      {"C10 at C09", 8, 10, 1, With({C(9, 100)}), "100", true},
      {"OH.2 set 3 under its own OL.2", 7, 5, 3, With({{7, 4, 300, 3}, {7, 4, 0, 1}}), "25.0", false},
      {"OH.2 set 3 over its own OL.2", 7, 5, 3, With({{7, 4, 300, 3}, {7, 4, 900, 1}}), "30.0", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Apply(c.context);
    ParamDescriptor* d = Param(c.bank, c.item, c.sub);
    ASSERT_NE(d, nullptr);
    d->Value = 3;
    EXPECT_EQ(core->SetParamText(c.bank, c.item, c.sub, 0, c.text), c.accepted);
    if (!c.accepted) {
      EXPECT_EQ(d->Value, 3);
    }
  }
}

}  // namespace
