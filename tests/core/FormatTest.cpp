// Values as text: word to text by format kind, typed text to stored word, and
// the entry points that show and set one parameter or program cell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ValueFixture.h"

namespace {

using valuetest::C;
using valuetest::Model;
using valuetest::Revision;
using valuetest::With;
using valuetest::Context;
using valuetest::Setting;

constexpr uint16_t kTwoLoop = 0x841;  // 2-loop relay + current

class FormatTest : public valuetest::ValueFixture {};

struct FormatCase {
  const char* what;
  int bank, item, sub;
  Context context;
  int16_t word;
  const char* text;  // nullptr: the format fails
};

TEST_F(FormatTest, WordToTextByFormatKind) {
  const Setting et1Time{5, 1, 50}, et1Mv{5, 1, 8}, et1Pv{5, 1, 0};
  const FormatCase cases[] = {
      // kind 0: input-1 decimals
      {"SP1 0 at 2 dp", 1, 1, 1, With({C(4, 2)}), 0, "0.00"},
      {"SP1 -5 at 1 dp", 1, 1, 1, With({C(4, 1)}), -5, "-0.5"},
      {"SP1 12345 at 3 dp", 1, 1, 1, With({C(4, 3)}), 12345, "12.345"},
      {"SP1 -1999 at 0 dp", 1, 1, 1, With({C(4, 0)}), -1999, "-1999"},
      {"SP1 -32768 at 3 dp", 1, 1, 1, With({C(4, 3)}), -32768, "-32.768"},
      {"SP1 C04 = 5", 1, 1, 1, With({C(4, 5)}), 100, nullptr},
      {"SP1 C04 = 4", 1, 1, 1, With({C(4, 4)}), 100, nullptr},
      {"SP1 C04 = -1", 1, 1, 1, With({C(4, -1)}), 100, nullptr},
      {"C05 follows C04", 8, 5, 1, With({C(4, 1)}), 1000, "100.0"},
      // kind 1: plain integers
      {"C03", 8, 3, 1, {}, 73, "73"},
      {"C98 lowest", 8, 98, 1, {}, -32768, "-32768"},
      // kind 2: SP2 decimals by the model
      {"SP2 humidity model", 1, 3, 1, Model(kTwoLoop, 0x02, {C(24, 3)}), 255, "25.5"},
      {"SP2 carbon potential", 1, 3, 1, Model(kTwoLoop, 0x04), 1234, "1.234"},
      {"SP2 two inputs", 1, 3, 1, Model(kTwoLoop, 0x01, {C(24, 2)}), 1234, "12.34"},
      {"SP2 C24 = 4", 1, 3, 1, Model(kTwoLoop, 0x01, {C(24, 4)}), 1234, nullptr},
      // kind 3: event ON time by its event type
      {"EV1 time event", 1, 4, 1, With({et1Time}), 90, "1:30"},
      {"EV1 MV1", 1, 4, 1, With({et1Mv, C(4, 3)}), 90, "9.0"},
      {"EV1 PV1 at 2 dp", 1, 4, 1, With({et1Pv, C(4, 2)}), 90, "0.90"},
      {"EV1 PV1 with C04 = 7", 1, 4, 1, With({et1Pv, C(4, 7)}), 90, nullptr},
      {"EV2 PV2 carbon", 1, 6, 1, Model(0x01, 0x04, {{5, 5, 12}}), 90, "0.090"},
      {"EV3 PVw", 1, 8, 1, With({{5, 9, 22}, C(24, 1)}), 90, "9.0"},
      {"EV1 type 28 uses C04", 1, 4, 1, With({{5, 1, 28}, C(4, 2)}), 90, "0.90"},
      {"HYS1 time event", 5, 3, 1, With({et1Time}), 90, "1:30"},
      {"HYS1 MV1", 5, 3, 1, With({et1Mv}), 90, "9.0"},
      {"HY.T1 by ET.T1", 5, 19, 1, With({{5, 17, 50}}), 65, "1:05"},
      {"constant EV2 by ET2", 10, 5, 1, With({{5, 5, 50}}), 90, "1:30"},
      {"constant EV3 by ET3", 10, 6, 1, With({{5, 9, 20}}), 90, "9.0"},
      // kind 4, 8, 11: fixed decimals
      {"FL", 3, 3, 1, {}, 25, "2.5"},
      {"FL negative", 3, 3, 1, {}, -5, "-0.5"},
      {"C30", 8, 30, 1, {}, 1500, "1.500"},
      {"C91", 8, 91, 1, {}, -1999, "-19.99"},
      // kind 5: DIFF
      {"DIFF heat-cool", 3, 21, 1, Model(0x91, 0, {C(4, 3)}), 15, "1.5"},
      {"DIFF position-proportional", 3, 21, 1, Model(0x08, 0, {C(4, 3)}), 15, "1.5"},
      {"DIFF relay", 3, 21, 1, Model(0x01, 0, {C(4, 2)}), 15, "0.15"},
      // kind 6: 3-position settings
      {"DV-L 2-loop swapped", 3, 25, 1, Model(kTwoLoop, 1, {C(44, 1), C(24, 2)}), 15, "0.15"},
      {"DV-L 2-loop", 3, 25, 1, Model(kTwoLoop, 1, {C(44, 0), C(24, 2)}), 15, "15"},
      {"DV-L single-loop", 3, 25, 1, With({C(44, 1), C(24, 2), C(4, 1)}), 15, "1.5"},
      // kind 7: input-2 decimals
      {"PBI.2", 4, 2, 1, With({C(24, 1)}), 15, "1.5"},
      {"table column 3", 9, 2, 3, With({C(24, 2)}), 15, "0.15"},
      // kind 9: SP2 main output limits
      {"C42 humidity, C41 = 2", 8, 42, 1, Model(0x01, 0x02, {C(41, 2), C(24, 2)}), 150, "1.50"},
      {"C42 humidity", 8, 42, 1, Model(0x01, 0x02, {C(41, 0), C(24, 2)}), 150, "15.0"},
      {"C43 carbon", 8, 43, 1, Model(0x01, 0x04), 150, "0.150"},
      {"C43 two inputs", 8, 43, 1, Model(0x01, 0x01, {C(24, 0)}), 150, "150"},
      // kind 10: auxiliary output limits
      {"C47 PV1", 8, 47, 1, With({C(46, 0), C(4, 2)}), 150, "1.50"},
      {"C47 PV1, C04 = 5", 8, 47, 1, With({C(46, 0), C(4, 5)}), 150, nullptr},
      {"C48 MV1", 8, 48, 1, With({C(46, 3)}), 150, "15.0"},
      {"C47 PVq", 8, 47, 1, With({C(46, 11), C(4, 5)}), 150, "150"},
      {"C47 unknown type", 8, 47, 1, With({C(46, 99)}), 150, "150"},
      {"C50 PVw by C49", 8, 50, 1, With({C(46, 3), C(49, 9), C(24, 2)}), 150, "1.50"},
      {"C51 SP2 humidity", 8, 51, 1, Model(0x01, 0x02, {C(49, 5)}), 150, "15.0"},
      // kind 12: hardware type words
      {"C96", 8, 96, 1, {}, 0x0A31, "0A31"},
      {"C97 zero", 8, 97, 1, {}, 0, "0000"},
      {"C96 top bit", 8, 96, 1, {}, -32768, "8000"},
      {"C96 all bits", 8, 96, 1, {}, -1, "FFFF"},
      // kind 13: times
      {"TIME 65", 1, 2, 1, With({C(64, 0)}), 65, "1:05"},
      {"TIME 0", 1, 2, 1, With({C(64, 0)}), 0, "0:00"},
      {"TIME 5999", 1, 2, 1, With({C(64, 1)}), 5999, "99:59"},
      {"TIME 6000", 1, 2, 1, With({C(64, 0)}), 6000, "99:59"},
      {"TIME -1", 1, 2, 1, With({C(64, 0)}), -1, "99:59"},
      {"TIME empty", 1, 2, 1, With({C(64, 0)}), 32767, "99:59"},
      {"TIME tenths", 1, 2, 1, With({C(64, 2)}), 125, "12.5"},
      {"TIME unit 7 is tenths", 1, 2, 1, With({C(64, 7)}), 125, "12.5"},
      {"TIME unit -1 is tenths", 1, 2, 1, With({C(64, -1)}), 125, "12.5"},
      {"EV1 OFF", 1, 5, 1, With({C(64, 1)}), 3599, "59:59"},
      // kind 16: PID times by C90
      {"I set 3, C90 = 104", 6, 2, 3, With({C(90, 104)}), 15, "1.5"},
      {"D.2 set 8, C90 = 114", 7, 3, 8, With({C(90, 114)}), 15, "1.5"},
      {"I., C90 = 115", 10, 12, 1, With({C(90, 115)}), 15, "0.15"},
      {"DI, C90 = 105", 6, 9, 1, With({C(90, 105)}), 15, "0.15"},
      {"I, C90 = 0", 6, 2, 1, With({C(90, 0)}), 15, "15"},
      // kind 17: time-event ON times
      {"T1 revision 0", 1, 10, 1, Revision(0, {{5, 17, 8}}), 90, "1:30"},
      {"T1 time event", 1, 10, 1, With({{5, 17, 50}}), 90, "1:30"},
      {"T1 MV1", 1, 10, 1, With({{5, 17, 8}}), 90, "9.0"},
      {"T5 PV1", 1, 18, 1, With({{5, 33, 0}, C(4, 2)}), 90, "0.90"},
      // kind 18: G.S.2
      {"G.S.2 single-loop", 1, 23, 1, Model(0x01, 0), 90, "1:30"},
      {"G.S.2 2-loop", 1, 23, 1, Model(kTwoLoop, 0x02), 90, "9.0"},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.what);
    Apply(c.context);
    ParamDescriptor* d = Param(c.bank, c.item, c.sub);
    ASSERT_NE(d, nullptr);
    d->Value = c.word;
    std::string text = "untouched";
    const bool ok = core->FormatValue(d, text);
    if (c.text) {
      EXPECT_TRUE(ok);
      EXPECT_EQ(text, c.text);
    } else {
      EXPECT_FALSE(ok);
      EXPECT_EQ(text, "untouched");
    }
  }
}

TEST_F(FormatTest, DecimalPointLookups) {
  struct Case {
    const char* what;
    Context context;
    int (TCore::*lookup)(int);
    int argument;
    int decimals;
  } cases[] = {
      {"input 1", With({C(4, 3)}), &TCore::GetDecimalPoint, 0, 3},
      {"input 1 invalid", With({C(4, 4)}), &TCore::GetDecimalPoint, 0, -1},
      {"input 1 negative", With({C(4, -2)}), &TCore::GetDecimalPoint, 0, -1},
      {"input 2", With({C(24, 2)}), &TCore::GetDecimalPoint, 1, 2},
      {"SP2 side humidity", Model(0x01, 0x06, {C(24, 9)}), &TCore::GetDecimalPoint, 2, 1},
      {"SP2 side carbon", Model(0x01, 0x04, {C(24, 9)}), &TCore::GetDecimalPoint, 2, 3},
      {"SP2 side two inputs", Model(0x01, 0x01, {C(24, 9)}), &TCore::GetDecimalPoint, 2, -1},
      {"aux PV1", With({C(4, 2)}), &TCore::GetDecimalPointPid, 2, 2},
      {"aux MFB", With({C(4, 9)}), &TCore::GetDecimalPointPid, 8, 1},
      {"aux SP2", Model(0x01, 0x04), &TCore::GetDecimalPointPid, 5, 3},
      {"aux SPw", With({C(24, 3)}), &TCore::GetDecimalPointPid, 10, 3},
      {"aux PVq ignores C04", With({C(4, 5)}), &TCore::GetDecimalPointPid, 11, 0},
      {"aux out of table", With({C(4, 2)}), &TCore::GetDecimalPointPid, -1, 0},
      {"event MFB", {}, &TCore::GetDecimalPointItem, 11, 1},
      {"event deviation 2", Model(0x01, 0x02), &TCore::GetDecimalPointItem, 19, 1},
      {"event MV2", {}, &TCore::GetDecimalPointItem, 21, 1},
      {"event SPw", With({C(24, 2)}), &TCore::GetDecimalPointItem, 27, 2},
      {"event SP1", With({C(4, 3)}), &TCore::GetDecimalPointItem, 7, 3},
      {"event negative", With({C(4, 1)}), &TCore::GetDecimalPointItem, -3, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Apply(c.context);
    EXPECT_EQ(((*core).*c.lookup)(c.argument), c.decimals);
  }
}

// (parameter, context, typed text) -> stored word, or refusal with the value
// unchanged. Setup parameters are set through SetParamText; program items
// through the cell of pattern 2, segment 1.
struct ParseCase {
  const char* what;
  int bank, item, sub;
  Context context;
  const char* text;
  bool accepted;
  int stored;  // when accepted
};

constexpr int kBefore = 7;  // the value every case starts from

TEST_F(FormatTest, TypedTextToStoredWord) {
  const Setting et1Time{5, 1, 50};
  const ParseCase cases[] = {
      // times, h:min and min:s
      {"1:30", 1, 2, 1, {}, "1:30", true, 90},
      {"90", 1, 2, 1, {}, "90", true, 90},
      {":45", 1, 2, 1, {}, ":45", true, 45},
      {"2:", 1, 2, 1, {}, "2:", true, 120},
      {"1:75", 1, 2, 1, {}, "1:75", true, 135},
      {"99:59", 1, 2, 1, With({C(64, 1)}), "99:59", true, 5999},
      {"100:00 out of range", 1, 2, 1, {}, "100:00", false, 0},
      {"empty time", 1, 2, 1, {}, "", true, 0},
      {"1.5 in h:min", 1, 2, 1, {}, "1.5", false, 0},
      {"two colons", 1, 2, 1, {}, "1:2:3", false, 0},
      {"signed time", 1, 2, 1, {}, "-1", false, 0},
      {"7-character time", 1, 2, 1, {}, "0001:30", false, 0},
      {"blank in time", 1, 2, 1, {}, " 1:30", false, 0},
      // times in tenths
      {"12.5 tenths", 1, 2, 1, With({C(64, 2)}), "12.5", true, 125},
      {"12.55 tenths", 1, 2, 1, With({C(64, 2)}), "12.55", true, 126},
      {"1:30 in tenths", 1, 2, 1, With({C(64, 2)}), "1:30", false, 0},
      {"two points", 1, 2, 1, With({C(64, 2)}), "1.2.3", false, 0},
      // a time unit outside 0..2 reads as the formatter writes: tenths
      {"unit 7, 12.5", 1, 2, 1, With({C(64, 7)}), "12.5", true, 125},
      {"unit 7, 1:30", 1, 2, 1, With({C(64, 7)}), "1:30", false, 0},
      {"unit -1, 1:30", 1, 2, 1, With({C(64, -1)}), "1:30", false, 0},
      {"unit 3, :45", 1, 2, 1, With({C(64, 3)}), ":45", false, 0},
      {"unit 7, colon and point", 1, 2, 1, With({C(64, 7)}), "1:3.5", false, 0},
      // kind 3 in the program takes a time text, elsewhere a number of units
      {"EV1 ON 1:30", 1, 4, 1, With({et1Time}), "1:30", true, 90},
      {"HYS1 90", 5, 3, 1, With({et1Time}), "90", true, 90},
      {"HYS1 1:30", 5, 3, 1, With({et1Time}), "1:30", false, 0},
      {"HYS1 1.7 in h:min", 5, 3, 1, With({et1Time}), "1.7", true, 1},
      {"HYS1 9.5 in tenths", 5, 3, 1, With({et1Time, C(64, 2)}), "9.5", true, 95},
      {"HYS1 MV1", 5, 3, 1, With({{5, 1, 8}}), "2.5", true, 25},
      // scaled numbers, half up, exact decimal
      {"1.25 one decimal", 6, 4, 1, With({{6, 5, 1000}}), "1.25", true, 13},
      {"-1.25 one decimal", 6, 4, 1, With({{6, 5, 1000}}), "-1.25", true, -12},
      {"1.005 at 2 dp", 1, 1, 1, With({C(4, 2)}), "1.005", true, 101},
      {"1.004 at 2 dp", 1, 1, 1, With({C(4, 2)}), "1.004", true, 100},
      {"-0.005 at 2 dp", 1, 1, 1, With({C(4, 2)}), "-0.005", true, 0},
      {"-0.006 at 2 dp", 1, 1, 1, With({C(4, 2)}), "-0.006", true, -1},
      {"2.675 at 2 dp", 8, 91, 1, {}, "2.675", true, 268},
      {".5 at 0 dp", 1, 1, 1, {}, ".5", true, 1},
      {"-.5 at 0 dp", 1, 1, 1, {}, "-.5", true, 0},
      {"12. at 1 dp", 1, 1, 1, With({C(4, 1)}), "12.", true, 120},
      {"-", 1, 1, 1, With({C(4, 1)}), "-", true, 0},
      {"C30 three decimals", 8, 30, 1, With({C(31, 4000)}), "1.5", true, 1500},
      {"SP1 with C04 = 5", 1, 1, 1, With({C(4, 5)}), "1", false, 0},
      {"SP1 with C04 = -1", 1, 1, 1, With({C(4, -1)}), "1", false, 0},
      {"C05 with C04 = 4", 8, 5, 1, With({C(4, 4)}), "1", false, 0},
      {"G.S.2 2-loop", 1, 23, 1, Model(kTwoLoop, 0x02), "9.0", true, 90},
      {"G.S.2 single-loop", 1, 23, 1, {}, "1:30", true, 90},
      {"T1 MV1", 1, 10, 1, With({{5, 17, 8}}), "9.04", true, 90},
      {"T1 revision 0", 1, 10, 1, Revision(0, {{5, 17, 8}}), "1:30", true, 90},
      // plain integers: leading integer, the 16-bit test before the range check
      {"1.7 whole", 8, 98, 1, {}, "1.7", true, 1},
      {"-1.7 whole", 8, 98, 1, {}, "-1.7", true, -1},
      {"empty whole", 8, 98, 1, {}, "", true, 0},
      {". whole", 8, 98, 1, {}, ".", true, 0},
      {"32767", 8, 98, 1, {}, "32767", true, 32767},
      {"-32768", 8, 98, 1, {}, "-32768", true, -32768},
      {"40000", 8, 98, 1, {}, "40000", false, 0},
      {"-32769", 8, 98, 1, {}, "-32769", false, 0},
      {"7 characters", 8, 98, 1, {}, "0001234", true, 1234},
      {"8 characters", 8, 98, 1, {}, "00001234", false, 0},
      {"+5", 8, 98, 1, {}, "+5", false, 0},
      {" 5", 8, 98, 1, {}, " 5", false, 0},
      {"5-", 8, 98, 1, {}, "5-", false, 0},
      {"1e3", 8, 98, 1, {}, "1e3", false, 0},
      {"1,5", 8, 98, 1, {}, "1,5", false, 0},
      {"--5", 8, 98, 1, {}, "--5", false, 0},
      {"dashes", 8, 98, 1, {}, "----", false, 0},
      {"C47 PVq whole", 8, 47, 1, With({C(46, 11)}), "1.7", true, 1},
      {"C47 MV1 scaled", 8, 47, 1, With({C(46, 3)}), "1.25", true, 13},
      {"I, C90 = 0 whole", 6, 2, 2, With({C(90, 0)}), "15.9", true, 15},
      {"I, C90 = 105", 6, 2, 2, With({C(90, 105)}), "0.15", true, 15},
      // hexadecimal words
      {"0A31", 8, 96, 1, {}, "0A31", true, 0x0A31},
      {"a31", 8, 96, 1, {}, "a31", true, 0x0A31},
      {"leading blanks", 8, 96, 1, {}, "  ff", true, 0xFF},
      {"trailing junk", 8, 96, 1, {}, "0A31zz", true, 0x0A31},
      {"four digits at most", 8, 96, 1, {}, "12345", true, 0x1234},
      {"8000", 8, 97, 1, {}, "8000", true, -32768},
      {"FFFF", 8, 97, 1, {}, "FFFF", true, -1},
      {"no hex digit", 8, 96, 1, {}, "zz", false, 0},
      {"empty hex", 8, 96, 1, {}, "", false, 0},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.what);
    Apply(c.context);
    const bool program = c.bank == 1;
    ParamDescriptor* d = Param(c.bank, c.item, c.sub);
    ASSERT_NE(d, nullptr);
    int16_t* stored = program ? &Cell(2, c.item, 1)->Value : &d->Value;
    if (program) Cell(2, 1, 1)->Value = 0;  // a segment in use
    *stored = kBefore;
    EXPECT_EQ(core->SetParamText(c.bank, c.item, c.sub, 2, c.text), c.accepted);
    EXPECT_EQ(*stored, c.accepted ? c.stored : kBefore);
  }
}

TEST_F(FormatTest, HexWordsRoundTrip) {
  Apply({});
  for (int word : {0, 1, 0x0A31, 0x7FFF, 0x8000, 0xA2C4, 0xFFFF}) {
    SCOPED_TRACE(word);
    ParamDescriptor* d = Param(8, 96);
    ASSERT_NE(d, nullptr);
    d->Value = static_cast<int16_t>(word);
    std::string text;
    ASSERT_TRUE(core->FormatValue(d, text));
    EXPECT_EQ(text.size(), 4u);
    d->Value = 0x1111;
    ASSERT_TRUE(core->SetParamText(8, 96, 1, 0, text));
    EXPECT_EQ(static_cast<uint16_t>(d->Value), word);
  }
}

TEST_F(FormatTest, KindsWithoutTextAreShownEmptyAndRefused) {
  Apply({});
  ParamDescriptor* d = Param(8, 98);
  ASSERT_NE(d, nullptr);
  ParamDescriptor probe = *d;  // a private copy: the catalogue has no such kinds
  for (uint8_t kind : {14, 15, 19, 200}) {
    SCOPED_TRACE(static_cast<int>(kind));
    probe.FormatKind = kind;
    probe.Value = 5;
    std::string text = "untouched";
    EXPECT_TRUE(core->FormatValue(&probe, text));
    EXPECT_EQ(text, "untouched");
    EXPECT_FALSE(core->ParseValue(&probe, "1", 0, 1));
    EXPECT_EQ(probe.Value, 5);
  }
}

TEST_F(FormatTest, ParamTextShowsNameAndValue) {
  struct Case {
    const char* what;
    int language;
    int bank, item, sub, pattern;
    Context context;
    int cellValue;  // for program cells; -1: leave the cell
    bool showAll;
    bool exists;
    const char* value;
    const char* name;
    uint16_t entryKind = 0;  // set on the record before the call
  } cases[] = {
      {"C03 English", 1, 8, 3, 1, 0, With({C(3, 9)}), -1, true, true, "9", "C03:Input 1 range type"},
      {"C03 Japanese", 0, 8, 3, 1, 0, With({C(3, 9)}), -1, true, true, "9", "C03:入力1ﾚﾝｼﾞ種類"},
      {"program cell", 1, 1, 2, 4, 3, {}, 75, true, true, "1:15", "TIME  :Time"},
      {"per-pattern item", 1, 1, 25, 9, 3, {}, 12, true, true, "12", "CYCL  :Cycle"},
      {"special name", 1, 8, 32, 1, 0, With({C(32, -5)}), -1, true, true, "-5", "C32:Unused"},
      {"failed format shows no value", 1, 8, 5, 1, 0, With({C(4, 5)}), -1, true, true, "",
       "C05:Input 1 range lower limit (0%)"},
      // the display rules
      {"rule 1: SP2 on a single-loop model", 1, 1, 3, 1, 1, {}, 10, false, true, "----", "----"},
      {"rule 2: empty SP1", 1, 1, 1, 1, 1, {}, 32767, false, true, "----", "SP1   :SP1"},
      {"rule 3: table column 3 single-loop", 1, 9, 1, 3, 0, With({{9, 1, 12, 3}}), -1, false, true,
       "12", ""},
      {"rule 2: C32 single-loop keeps its special name", 1, 8, 32, 1, 0, {}, -1, false, true, "----",
       "C32:Unused"},
      // no record, no cell
      {"no record", 1, 8, 101, 1, 0, {}, -1, true, false, "", ""},
      {"heading has no record", 1, 2, 1, 1, 0, {}, -1, true, false, "", ""},
      {"pattern 0", 1, 1, 1, 1, 0, {}, -1, true, false, "", ""},
      {"segment 31", 1, 1, 1, 31, 1, {}, -1, true, false, "", ""},
      // a record of another entry kind has no value text and needs no cell
      {"entry kind 1 setup", 1, 8, 3, 1, 0, With({C(3, 9)}), -1, true, true, "", "C03:Input 1 range type", 1},
      {"entry kind 1 without a cell", 1, 1, 2, 1, 0, {}, -1, true, true, "", "TIME  :Time", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    core = std::make_unique<TCore>(c.language);
    Apply(c.context);
    core->ShowAll = c.showAll ? 1 : 0;
    if (c.cellValue != -1) Cell(c.pattern, c.item, c.sub)->Value = static_cast<int16_t>(c.cellValue);
    if (c.entryKind != 0) Param(c.bank, c.item, c.sub)->EntryKind = c.entryKind;
    std::string value = "stale value", name = "stale name";
    EXPECT_EQ(core->GetParamText(c.bank, c.item, c.sub, c.pattern, value, name), c.exists);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(name, c.name);
  }
}

TEST_F(FormatTest, MissingCellsAreNeverTouched) {
  Apply(With({{5, 1, 50}}));
  // Segment 0 and 31 and pattern 0 have no cells: nothing is parsed, checked
  // or updated, and the neighbouring items keep their values.
  struct Case {
    int item, segment, pattern;
  } cases[] = {{1, 0, 1}, {1, 31, 1}, {4, 31, 1}, {5, 0, 2}, {5, 31, 2}, {11, 31, 3}, {2, 1, 0}, {24, 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.item << "/" << c.segment << "/" << c.pattern);
    ParamDescriptor* d = Param(1, c.item, 1);
    ASSERT_NE(d, nullptr);
    d->Value = kBefore;
    EXPECT_FALSE(core->SetParamText(1, c.item, c.segment, c.pattern, "5999"));
    EXPECT_FALSE(core->ParseValue(d, "5999", c.pattern, c.segment));
    if (c.item == 5 || c.item == 11) {
      EXPECT_FALSE(core->CheckRange(d, 5999, c.pattern, c.segment));
    }
    EXPECT_EQ(d->Value, kBefore);
  }
}

}  // namespace
