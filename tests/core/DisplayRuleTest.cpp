#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "SetupImageFixture.h"

namespace {

using Values = std::vector<std::pair<int, int>>;  // (address, value)

// Display rules, tree codes and cell states.
constexpr int kShown = 0, kHidden = 1, kBlank = 2, kNoName = 3;
constexpr int kAvailable = 0, kUnavailable = 1, kAbsent = 2;
constexpr int kByText = 0, kFixed = 1, kEditable = 2;
constexpr int kEmpty = 32767;

// Controller variants: (HardwareType1, HardwareType2, Loop1OutputWord, Loop2OutputWord).
constexpr Variant kRelay{0x01, 0x00, 0x01, 0};
constexpr Variant kCurrent{0x04, 0x00, 0x04, 0};
constexpr Variant kCurrentMain{0x04, 0x00, 0x2004, 0};  // C18 set: main output is a current output
constexpr Variant kPosProp{0x08, 0x00, 0x08, 0};
constexpr Variant kHeatCool{0x91, 0x00, 0x91, 0};      // relay + relay
constexpr Variant kThreePos{0x91, 0x00, 0x8091, 0};    // relay + relay, 3-position control
constexpr Variant kHeatCoolI{0xC4, 0x00, 0xC4, 0};     // current + current
constexpr Variant kRelayTime{0x01, 0x30, 0x01, 0};     // with time events
constexpr Variant kRelayComm{0x01, 0xB0, 0x01, 0};     // with time events and communication
constexpr Variant kTwoInput{0x841, 0x01, 0x01, 0x40};  // two loops, relay + current
constexpr Variant kTwoInputV{0x821, 0x01, 0x01, 0x20}; // two loops, relay + voltage
constexpr Variant kTwoInputMain{0x841, 0x01, 0x01, 0x2040};
constexpr Variant kCarbon{0x844, 0x04, 0x04, 0x40};
constexpr Variant kHumidity{0x844, 0x02, 0x04, 0x40};
constexpr Variant kTwoHeatCool{0xC91, 0x01, 0x91, 0x400};         // MV1/2 not switched
constexpr Variant kTwoHeatCoolSwapped{0xC91, 0x01, 0x400, 0x91};  // MV1/2 switched
constexpr Variant kTwoPosPropSwapped{0xC08, 0x01, 0x400, 0x08};
constexpr Variant kTwoOut3{0xA08, 0x01, 0x08, 0x200};

class DisplayRuleTest : public SetupImageFixture {
 protected:
  void SetUp() override { SetAllSetupValues(0); }

  void Prepare(const Variant& v, int rev, const Values& values) {
    SetAllSetupValues(0);
    SetModel(v);
    core->DataRevision = rev;
    for (const auto& [address, value] : values) Set(address, value);
  }
  ParamDescriptor* Item(int item) { return core->GetParam(1, item, 1, 0); }
  // The rule of a program item whose record holds v (as the text formatting
  // copies the cell in before asking).
  int ProgramRule(int item, int v, int pattern, int segment) {
    ParamDescriptor* d = Item(item);
    EXPECT_NE(d, nullptr);
    if (!d) return -1;
    d->Value = static_cast<int16_t>(v);
    return core->GetDisplayRule(d, static_cast<int16_t>(pattern), static_cast<int16_t>(segment));
  }
};

struct SetupCase {
  const char* name;
  Variant model;
  int rev;
  Values values;
  int address;
  int expected;
};

// A table of setup-parameter rules over the inputs each kind reads.
const SetupCase kSetupCases[] = {
    {"14 always shown", kTwoHeatCool, 0, {}, 2501, kShown},
    {"15 AT without heat-cool", kRelay, 1, {}, 2509, kShown},
    {"15 AT heat-cool", kHeatCool, 1, {}, 2509, kBlank},
    {"43 C01 heat-cool", kHeatCoolI, 1, {}, C(1), kBlank},
    {"16 no PID auto switch", kRelay, 1, {}, 2513, kBlank},
    {"16 PID auto switch", kRelay, 1, {{C(11), 1}}, 2513, kShown},
    {"17 auto switch heat-cool", kHeatCool, 1, {{C(11), 1}}, 2516, kBlank},
    {"17 auto switch", kRelay, 1, {{C(11), 1}}, 2519, kShown},
    {"17 no auto switch", kRelay, 1, {}, 2516, kBlank},
    {"18 relay", kRelay, 1, {}, 2521, kShown},
    {"18 position-proportional", kPosProp, 1, {}, 2521, kShown},
    {"18 current", kCurrent, 1, {}, 2521, kBlank},
    {"18 two-loop relay", kTwoInput, 1, {}, 2521, kBlank},
    {"18 two-loop heat-cool", kTwoHeatCool, 1, {}, 2521, kShown},
    {"19 relay", kRelay, 1, {}, 2522, kShown},
    {"19 current", kCurrent, 1, {}, 2522, kBlank},
    {"20 output 2 relay", kHeatCool, 1, {}, 2523, kShown},
    {"20 no output 2", kRelay, 1, {}, 2523, kBlank},
    {"21 output 3 voltage", kTwoOut3, 1, {}, 2524, kShown},
    {"21 no voltage output 3", kTwoInput, 1, {}, 2524, kBlank},
    {"71 C80 output 3 voltage", kTwoOut3, 1, {}, C(80), kShown},
    {"22 relay + relay heat-cool", kHeatCool, 1, {}, 2525, kShown},
    {"22 C45 other heat-cool", kHeatCoolI, 1, {}, C(45), kBlank},
    {"23 position-proportional", kPosProp, 1, {}, 2529, kShown},
    {"23 relay", kRelay, 1, {}, 2533, kBlank},
    {"24 not position-proportional", kRelay, 1, {{2529, 0}}, 2531, kBlank},
    {"24 motor method 0", kPosProp, 1, {{2529, 0}}, 2531, kShown},
    {"24 motor method 2", kPosProp, 1, {{2529, 2}}, 2530, kBlank},
    {"25 humidity", kHumidity, 1, {}, 3004, kShown},
    {"25 two inputs", kTwoInput, 1, {}, 3005, kBlank},
    {"26 carbon potential", kCarbon, 1, {}, 3006, kShown},
    {"26 C31 humidity", kHumidity, 1, {}, C(31), kBlank},
    {"27 loop 2 heat-cool", kTwoHeatCoolSwapped, 1, {}, 3011, kBlank},
    {"27 two inputs", kTwoInput, 1, {}, 3011, kShown},
    {"27 carbon potential", kCarbon, 1, {}, 3011, kBlank},
    {"28 loop 2 heat-cool", kTwoHeatCoolSwapped, 1, {}, 3012, kBlank},
    {"28 loop 2 plain", kTwoHeatCool, 1, {}, 3013, kShown},
    {"29 two inputs", kTwoInput, 1, {}, 3015, kBlank},
    {"29 carbon potential", kCarbon, 1, {}, 3015, kShown},
    {"30 no CH2 auto switch", kTwoInput, 1, {}, 3016, kBlank},
    {"30 CH2 auto switch", kTwoInput, 1, {{C(34), 1}}, 3018, kShown},
    {"31 no CH2 auto switch", kTwoInput, 1, {}, 3019, kBlank},
    {"31 loop 2 heat-cool", kTwoHeatCoolSwapped, 1, {{C(34), 1}}, 3020, kBlank},
    {"31 CH2 auto switch", kTwoInput, 1, {{C(34), 1}}, 3022, kShown},
    {"32 event 1 type 49", kRelay, 1, {{3501, 49}}, 3503, kShown},
    {"32 event 1 type 50", kRelay, 1, {{3501, 50}}, 3502, kBlank},
    {"32 event 3 by its own type", kRelay, 1, {{3501, 60}, {3509, 10}}, 3511, kShown},
    {"32 event 2 by its own type", kRelay, 1, {{3501, 10}, {3505, 60}}, 3506, kBlank},
    {"33 time events", kRelayTime, 1, {}, 3513, kShown},
    {"33 no time events", kRelay, 1, {}, 3513, kBlank},
    {"34 P of set 4 nonzero", kRelay, 1, {{1531, 30}}, 1532, kShown},
    {"34 P of set 1 zero", kRelay, 1, {{1531, 30}}, 1502, kBlank},
    {"35 P zero", kPosProp, 1, {{2529, 2}}, 1504, kBlank},
    {"35 not position-proportional", kRelay, 1, {{1501, 10}, {2529, 2}}, 1504, kShown},
    {"35 motor method 2", kPosProp, 1, {{1501, 10}, {2529, 2}}, 1505, kBlank},
    {"35 motor method 0", kPosProp, 1, {{1501, 10}}, 1505, kShown},
    {"36 P zero", kRelay, 1, {}, 1506, kBlank},
    {"36 I zero", kRelay, 1, {{1501, 10}}, 1506, kShown},
    {"36 I set", kRelay, 1, {{1501, 10}, {1502, 5}}, 1506, kBlank},
    {"37 P zero", kRelay, 1, {{2510, 1}}, 1507, kBlank},
    {"37 heat-cool", kHeatCool, 1, {{1501, 10}, {2510, 1}}, 1507, kBlank},
    {"37 smart tuning", kRelay, 1, {{1501, 10}, {2510, 1}}, 1507, kShown},
    {"37 no smart tuning", kRelay, 1, {{1501, 10}}, 1507, kBlank},
    {"38 heat-cool", kHeatCool, 1, {{1501, 10}, {2511, 1}}, 1508, kHidden},
    {"38 no advanced PID", kRelay, 1, {{1501, 10}}, 1509, kHidden},
    {"38 advanced PID", kRelay, 1, {{1501, 10}, {2511, 1}}, 1510, kShown},
    {"38 advanced PID, P zero", kRelay, 1, {{2511, 1}}, 1508, kBlank},
    {"38 set 8 by its own P", kRelay, 1, {{1571, 10}, {2511, 1}}, 1578, kShown},
    {"39 loop 2 not position-proportional", kTwoInput, 1, {{2529, 2}}, 2004, kShown},
    {"39 loop 2 position-proportional", kTwoPosPropSwapped, 1, {{2529, 2}}, 2005, kBlank},
    {"39 motor method 0", kTwoPosPropSwapped, 1, {}, 2005, kShown},
    {"40 I of set 1 zero", kTwoInput, 1, {}, 2006, kShown},
    {"40 I of set 3 set", kTwoInput, 1, {{2022, 5}}, 2026, kBlank},
    {"41 loop 2 heat-cool", kTwoHeatCoolSwapped, 1, {{3012, 1}}, 2007, kBlank},
    {"41 smart tuning CH2", kTwoInput, 1, {{3012, 1}}, 2007, kShown},
    {"41 no smart tuning CH2", kTwoInput, 1, {}, 2007, kBlank},
    {"42 loop 2 heat-cool", kTwoHeatCoolSwapped, 1, {{3013, 1}}, 2008, kHidden},
    {"42 no advanced PID CH2", kTwoInput, 1, {}, 2009, kHidden},
    {"42 advanced PID CH2", kTwoInput, 1, {{3013, 1}}, 2010, kShown},
    {"44 thermocouple input", kRelay, 1, {{C(3), 0}}, C(2), kShown},
    {"44 linear input", kRelay, 1, {{C(3), 70}}, C(2), kBlank},
    {"44 linear input, humidity", kHumidity, 1, {{C(3), 70}}, C(2), kShown},
    {"44 linear input, carbon potential", kCarbon, 1, {{C(3), 70}}, C(2), kShown},
    {"45 linear 64", kRelay, 1, {{C(3), 64}}, C(4), kShown},
    {"45 linear 73", kRelay, 1, {{C(3), 73}}, C(7), kShown},
    {"45 not linear 63", kRelay, 1, {{C(3), 63}}, C(5), kBlank},
    {"45 not linear 74", kRelay, 1, {{C(3), 74}}, C(6), kBlank},
    {"46 C12 set", kRelay, 1, {{C(12), 1}}, C(13), kShown},
    {"46 C12 zero", kRelay, 1, {}, C(13), kBlank},
    {"47 C14 set", kRelay, 1, {{C(14), 1}}, C(15), kShown},
    {"47 C14 zero", kRelay, 1, {}, C(15), kBlank},
    {"48 heat-cool", kHeatCool, 1, {}, C(17), kShown},
    {"48 no heat-cool", kRelay, 1, {}, C(17), kBlank},
    {"49 heat-cool", kHeatCoolI, 1, {}, C(18), kBlank},
    {"49 current", kCurrent, 1, {}, C(18), kShown},
    {"49 relay", kRelay, 1, {}, C(18), kBlank},
    {"50 C18 zero", kCurrent, 1, {}, C(19), kBlank},
    {"50 current", kCurrent, 1, {{C(18), 1}}, C(20), kShown},
    {"50 heat-cool", kHeatCoolI, 1, {{C(18), 1}}, C(19), kBlank},
    {"51 single-loop", kRelay, 1, {}, C(21), kBlank},
    {"51 two loops", kTwoInput, 1, {}, C(21), kShown},
    {"51 loop 2 heat-cool", kTwoHeatCoolSwapped, 1, {}, C(21), kBlank},
    {"52 single-loop", kRelay, 1, {}, C(22), kBlank},
    {"52 carbon potential", kCarbon, 1, {}, C(22), kBlank},
    {"52 humidity", kHumidity, 1, {{C(23), 192}}, C(22), kShown},
    {"52 two inputs, linear", kTwoInput, 1, {{C(23), 192}}, C(22), kBlank},
    {"52 two inputs, thermocouple", kTwoInput, 1, {{C(23), 128}}, C(22), kShown},
    {"53 two loops", kTwoInput, 1, {}, C(23), kShown},
    {"53 single-loop", kRelay, 1, {}, 1003, kBlank},
    {"54 single-loop", kRelay, 1, {{C(23), 192}}, C(24), kBlank},
    {"54 carbon potential", kCarbon, 1, {{C(23), 192}}, C(25), kBlank},
    {"54 linear 193", kTwoInput, 1, {{C(23), 193}}, C(26), kShown},
    {"54 not linear", kTwoInput, 1, {{C(23), 128}}, C(27), kBlank},
    {"55 single-loop", kRelay, 1, {}, C(35), kBlank},
    {"55 two inputs", kTwoInput, 1, {}, C(35), kShown},
    {"55 humidity", kHumidity, 1, {}, C(35), kBlank},
    {"56 single-loop", kRelay, 1, {{C(35), 1}}, C(36), kBlank},
    {"56 humidity", kHumidity, 1, {}, C(36), kShown},
    {"56 C35 zero", kTwoInput, 1, {}, C(36), kBlank},
    {"56 C35 set", kTwoInput, 1, {{C(35), 1}}, C(36), kShown},
    {"57 C37 zero", kTwoInput, 1, {}, C(38), kBlank},
    {"57 C37 set", kTwoInput, 1, {{C(37), 1}}, C(38), kShown},
    {"58 loop 2 not heat-cool", kTwoInput, 1, {}, C(40), kBlank},
    {"58 loop 2 heat-cool", kTwoHeatCoolSwapped, 1, {}, C(40), kShown},
    {"59 loop 2 current", kTwoInput, 1, {}, C(41), kShown},
    {"59 loop 2 voltage", kTwoInputV, 1, {}, C(41), kBlank},
    {"59 single-loop", kCurrent, 1, {}, C(41), kBlank},
    {"60 loop 2 current, C41 zero", kTwoInput, 1, {}, C(42), kBlank},
    {"60 loop 2 current, C41 set", kTwoInput, 1, {{C(41), 1}}, C(43), kShown},
    {"60 loop 2 voltage", kTwoInputV, 1, {{C(41), 1}}, C(42), kBlank},
    {"60 loop 2 heat-cool", kTwoHeatCoolSwapped, 1, {{C(41), 1}}, C(42), kBlank},
    {"61 single-loop, auxiliary 1", {0x4001, 0, 0x01, 0}, 1, {}, C(46), kShown},
    {"61 single-loop, none", kRelay, 1, {}, C(47), kBlank},
    {"61 two loops", {0x8841, 0x01, 0x01, 0x40}, 1, {}, C(48), kBlank},
    {"62 auxiliary 2", {0x8841, 0x01, 0x01, 0x40}, 1, {}, C(49), kShown},
    {"62 none", {0x4001, 0, 0x01, 0}, 1, {}, C(51), kBlank},
    {"63 switch inputs", kRelayTime, 1, {}, C(52), kShown},
    {"63 four switch inputs", kRelay, 1, {}, C(54), kBlank},
    {"64 single-loop negative type", kRelay, 1, {{C(3), -1}}, C(72), kBlank},
    {"64 single-loop type 20", kRelay, 1, {{C(3), 20}}, C(72), kShown},
    {"64 single-loop type 21", kRelay, 1, {{C(3), 21}}, C(72), kBlank},
    {"64 two loops, input 2 type 129", kTwoInput, 1, {{C(3), 21}, {C(23), 129}}, C(72), kShown},
    {"64 two loops, input 2 type 130", kTwoInput, 1, {{C(3), 21}, {C(23), 130}}, C(72), kBlank},
    {"64 two loops, input 1 type 0", kTwoInput, 1, {{C(3), 0}, {C(23), 192}}, C(72), kShown},
    {"64 two loops, negative input 1", kTwoInput, 1, {{C(3), -1}, {C(23), 160}}, C(72), kBlank},
    {"65 voltage output", {0x02, 0, 0x02, 0}, 1, {}, C(74), kShown},
    {"65 relay", kRelay, 1, {}, C(74), kBlank},
    {"65 voltage output 2", kTwoInputV, 1, {}, C(74), kShown},
    {"65 voltage output 3", kTwoOut3, 1, {}, C(74), kShown},
    {"66 current output 1", kCurrent, 1, {}, C(75), kShown},
    {"67 current output 2", kTwoInput, 1, {}, C(76), kShown},
    {"67 no output 2", kCurrent, 1, {}, C(76), kBlank},
    {"68 output 3", kTwoHeatCool, 1, {}, C(77), kShown},
    {"69 voltage output 1", kCurrent, 1, {}, C(78), kBlank},
    {"70 voltage output 2", kTwoInputV, 1, {}, C(79), kShown},
    {"72 unused", kRelay, 1, {}, C(83), kBlank},
    {"72 unused bank 10", kRelay, 1, {}, 1027, kBlank},
    {"73 no communication", kRelayTime, 1, {}, C(84), kBlank},
    {"73 communication", kRelayComm, 1, {}, C(85), kShown},
    {"73 communication, other port", kRelayComm, 1, {{C(93), 1}}, C(84), kBlank},
    {"74 no special function", kRelay, 1, {{C(3), 40}}, C(91), kBlank},
    {"74 type 31", kRelay, 1, {{C(90), 241}, {C(3), 31}}, C(91), kBlank},
    {"74 type 32", kRelay, 1, {{C(90), 241}, {C(3), 32}}, C(91), kShown},
    {"74 type 63", kRelay, 1, {{C(90), 241}, {C(3), 63}}, C(91), kShown},
    {"74 type 64", kRelay, 1, {{C(90), 241}, {C(3), 64}}, C(91), kBlank},
    {"75 single-loop", kRelay, 1, {{C(90), 241}, {C(23), 160}}, C(92), kBlank},
    {"75 no special function", kTwoInput, 1, {{C(23), 160}}, C(92), kBlank},
    {"75 type 159", kTwoInput, 1, {{C(90), 241}, {C(23), 159}}, C(92), kBlank},
    {"75 type 160", kTwoInput, 1, {{C(90), 241}, {C(23), 160}}, C(92), kShown},
    {"75 type 191", kTwoInput, 1, {{C(90), 241}, {C(23), 191}}, C(92), kShown},
    {"75 type 192", kTwoInput, 1, {{C(90), 241}, {C(23), 192}}, C(92), kBlank},
    {"76 C93", kRelay, 0, {}, C(93), kShown},
    {"77 no table 1", kRelay, 1, {}, 4001, kBlank},
    {"77 table 1", kRelay, 1, {{C(8), 1}}, 4012 + 10, kShown},
    {"78 single-loop", kRelay, 1, {{C(28), 1}}, 4023, kNoName},
    {"78 two loops, no table 2", kTwoInput, 1, {}, 4033, kBlank},
    {"78 two loops, table 2", kTwoInput, 1, {{C(28), 1}}, 4044, kShown},
    {"79 not carbon potential", kTwoInput, 1, {{C(29), 1}}, 4045, kNoName},
    {"79 carbon potential, no table", kCarbon, 1, {}, 4045, kBlank},
    {"79 carbon potential, table", kCarbon, 1, {{C(29), 1}}, 4066, kShown},
    {"80 event 2 type 49", kRelay, 1, {{3505, 49}}, 1005, kShown},
    {"80 event 2 type 50", kRelay, 1, {{3505, 50}}, 1005, kBlank},
    {"80 event 3 by its own type", kRelay, 1, {{3505, 50}}, 1006, kShown},
    {"81 relay", kRelay, 1, {}, 1011, kShown},
    {"81 current, C18 set", kCurrentMain, 1, {{C(18), 1}}, 1011, kBlank},
    {"81 current, C18 zero", kCurrent, 1, {}, 1011, kShown},
    {"81 3-position", kThreePos, 1, {{C(45), 1}}, 1011, kBlank},
    {"81 heat-cool, no 3-position", kHeatCool, 1, {}, 1011, kShown},
    {"81 heat-cool current", kHeatCoolI, 1, {{C(45), 1}}, 1011, kShown},
    {"82 P zero", kCurrent, 1, {{C(18), 1}}, 1012, kBlank},
    {"82 current, C18 set", kCurrent, 1, {{1011, 10}, {C(18), 1}}, 1013, kBlank},
    {"82 relay", kRelay, 1, {{1011, 10}}, 1012, kShown},
    {"83 P zero", kRelay, 1, {}, 1014, kBlank},
    {"83 3-position", kThreePos, 1, {{1011, 10}, {C(45), 1}}, 1014, kBlank},
    {"83 heat-cool", kHeatCool, 1, {{1011, 10}}, 1015, kShown},
    {"83 current, C18 set", kCurrent, 1, {{1011, 10}, {C(18), 1}}, 1014, kBlank},
    {"83 current, C18 zero", kCurrent, 1, {{1011, 10}}, 1014, kShown},
    {"83 position-proportional, method 2", kPosProp, 1, {{1011, 10}, {2529, 2}}, 1014, kBlank},
    {"83 position-proportional, method 0", kPosProp, 1, {{1011, 10}}, 1015, kShown},
    {"83 relay", kRelay, 1, {{1011, 10}, {2529, 2}}, 1014, kShown},
    {"84 P zero", kRelay, 1, {}, 1016, kBlank},
    {"84 I set", kRelay, 1, {{1011, 10}, {1012, 5}}, 1016, kBlank},
    {"84 relay", kRelay, 1, {{1011, 10}}, 1016, kShown},
    {"84 current, C18 set", kCurrent, 1, {{1011, 10}, {C(18), 1}}, 1016, kBlank},
    {"85 heat-cool", kHeatCool, 1, {{1011, 10}, {2510, 1}}, 1017, kBlank},
    {"85 no smart tuning", kRelay, 1, {{1011, 10}}, 1017, kBlank},
    {"85 relay", kRelay, 1, {{1011, 10}, {2510, 1}}, 1017, kShown},
    {"85 current, C18 set", kCurrent, 1, {{1011, 10}, {2510, 1}, {C(18), 1}}, 1017, kBlank},
    {"86 no advanced PID", kRelay, 1, {{1011, 10}, {2510, 1}}, 1018, kBlank},
    {"86 advanced PID", kRelay, 1, {{1011, 10}, {2511, 1}}, 1020, kShown},
    {"87 no heat-cool", kRelay, 1, {}, 1021, kBlank},
    {"87 heat-cool relay", kHeatCool, 1, {}, 1022, kShown},
    {"87 3-position", kThreePos, 1, {{C(45), 1}}, 1025, kBlank},
    {"87 heat-cool current", kHeatCoolI, 1, {{C(45), 1}}, 1023, kShown},
    {"88 cool I set", kHeatCool, 1, {{1022, 5}}, 1026, kBlank},
    {"88 cool I zero", kHeatCool, 1, {}, 1026, kShown},
    {"89 single-loop", kRelay, 1, {}, 1031, kHidden},
    {"89 loop 2 current, C41 set", kTwoInput, 1, {{C(41), 1}}, 1032, kBlank},
    {"89 loop 2 current, C41 zero", kTwoInput, 1, {}, 1033, kShown},
    {"89 loop 2 3-position", {0xC91, 0x01, 0x400, 0x8091}, 1, {{C(45), 1}}, 1031, kBlank},
    {"90 single-loop", kRelay, 1, {}, 1034, kHidden},
    {"90 loop 2 heat-cool, 3-position", kTwoHeatCoolSwapped, 1, {{C(45), 1}}, 1034, kBlank},
    {"90 loop 2 heat-cool", kTwoHeatCoolSwapped, 1, {}, 1035, kShown},
    {"90 loop 2 current, C41 set", kTwoHeatCool, 1, {{C(41), 1}}, 1034, kBlank},
    {"90 loop 2 current, C41 zero", kTwoHeatCool, 1, {{2529, 2}}, 1034, kShown},
    {"90 loop 2 position-proportional, method 2", kTwoPosPropSwapped, 1, {{2529, 2}}, 1035, kBlank},
    {"90 loop 2 position-proportional, method 0", kTwoPosPropSwapped, 1, {}, 1035, kShown},
    {"91 single-loop", kRelay, 1, {}, 1036, kHidden},
    {"91 I set", kTwoInput, 1, {{1032, 5}}, 1036, kBlank},
    {"91 C41 set", kTwoInput, 1, {{C(41), 1}}, 1036, kBlank},
    {"91 plain", kTwoInput, 1, {}, 1036, kShown},
    {"92 single-loop", kRelay, 1, {{3012, 1}}, 1037, kHidden},
    {"92 loop 2 heat-cool", kTwoHeatCoolSwapped, 1, {{3012, 1}}, 1037, kBlank},
    {"92 no smart tuning CH2", kTwoInput, 1, {}, 1037, kBlank},
    {"92 C41 set", kTwoInput, 1, {{3012, 1}, {C(41), 1}}, 1037, kBlank},
    {"92 plain", kTwoInput, 1, {{3012, 1}}, 1037, kShown},
    {"93 no advanced PID CH2", kTwoInput, 1, {{3012, 1}}, 1038, kBlank},
    {"93 advanced PID CH2", kTwoInput, 1, {{3013, 1}}, 1040, kShown},
    {"94 single-loop", kHeatCool, 1, {}, 1041, kHidden},
    {"94 loop 2 not heat-cool", kTwoHeatCool, 1, {}, 1041, kBlank},
    {"94 loop 2 heat-cool", kTwoHeatCoolSwapped, 1, {}, 1045, kShown},
    {"94 loop 2 3-position", kTwoHeatCoolSwapped, 1, {{C(45), 1}}, 1043, kBlank},
    {"95 cool I set", kTwoHeatCoolSwapped, 1, {{1042, 5}}, 1046, kBlank},
    {"95 cool I zero", kTwoHeatCoolSwapped, 1, {}, 1046, kShown},
    {"95 single-loop", kHeatCool, 1, {}, 1046, kHidden},
    {"96 single-loop", kRelay, 1, {}, 1047, kHidden},
    {"96 two loops", kTwoInput, 1, {}, 1050, kBlank},
    {"97 revision 1", kRelay, 1, {}, C(94), kShown},
    {"97 revision 0", kRelay, 0, {}, C(94), kBlank},
    {"98 C90", kRelay, 0, {}, C(90), kShown},
    {"99 revision 0", kRelayTime, 0, {}, 3517, kHidden},
    {"99 no time events", kRelay, 1, {}, 3517, kBlank},
    {"99 TT 0", kRelayTime, 1, {}, 3517, kShown},
    {"99 TT 1, T1", kRelayTime, 1, {{3513, 1}}, 3520, kBlank},
    {"99 TT 1, T2", kRelayTime, 1, {{3513, 1}}, 3521, kShown},
    {"99 TT 4, T5", kRelayTime, 1, {{3513, 4}}, 3536, kShown},
    {"99 TT 5, T5", kRelayTime, 1, {{3513, 5}}, 3533, kBlank},
    {"99 TT 99", kRelayTime, 1, {{3513, 99}}, 3533, kBlank},
    {"99 TT -5", kRelayTime, 1, {{3513, -5}}, 3517, kShown},
    {"100 revision 0", kRelayTime, 0, {}, 3518, kHidden},
    {"100 no time events", kRelay, 1, {}, 3519, kBlank},
    {"100 T1 type 49", kRelayTime, 1, {{3517, 49}}, 3518, kShown},
    {"100 T1 type 50", kRelayTime, 1, {{3517, 50}}, 3519, kBlank},
    {"100 T1 type 49, TT 1", kRelayTime, 1, {{3517, 49}, {3513, 1}}, 3518, kBlank},
    {"100 T5 by its own type", kRelayTime, 1, {{3517, 60}, {3513, 4}}, 3535, kShown},
    {"100 T5 type 70", kRelayTime, 1, {{3533, 70}}, 3534, kBlank},
    {"101 revision 0", kRelay, 0, {}, 3514, kHidden},
    {"101 revision 1", kRelay, 1, {}, 3516, kBlank},
};

TEST_F(DisplayRuleTest, SetupParameterRules) {
  for (const SetupCase& c : kSetupCases) {
    SCOPED_TRACE(c.name);
    Prepare(c.model, c.rev, c.values);
    ParamDescriptor* d = Param(c.address);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(core->GetDisplayRule(d, 1, 1), c.expected) << "at " << c.address;
    // The rule of a setup parameter does not depend on pattern or segment.
    EXPECT_EQ(core->GetDisplayRule(d, 0, 31), c.expected) << "at " << c.address;
  }
}

struct ProgramCase {
  const char* name;
  Variant model;
  int rev;
  Values values;
  std::vector<std::pair<int, int>> cells;  // (item, value) in pattern 2, segment 3
  int item, v, expected;
};

const ProgramCase kProgramCases[] = {
    {"SP1 empty", kRelay, 1, {}, {}, 1, kEmpty, kBlank},
    {"SP1 set", kRelay, 1, {}, {}, 1, 100, kShown},
    {"TIME, segment unused", kRelay, 1, {}, {}, 2, 10, kBlank},
    {"TIME, segment used", kRelay, 1, {}, {{1, 100}}, 2, 10, kShown},
    {"SP2 single-loop", kRelay, 1, {}, {{1, 100}}, 3, 10, kHidden},
    {"SP2 two loops", kTwoInput, 1, {}, {{1, 100}}, 3, 10, kShown},
    {"SP2 two loops, segment unused", kTwoInput, 1, {}, {}, 3, 10, kBlank},
    {"EV1 ON, type 51", kRelay, 1, {{3501, 51}}, {{1, 100}}, 4, 10, kHidden},
    {"EV1 ON, type 50", kRelay, 1, {{3501, 50}}, {{1, 100}}, 4, 10, kShown},
    {"EV1 ON, type 50, empty", kRelay, 1, {{3501, 50}}, {{1, 100}}, 4, kEmpty, kBlank},
    {"EV2 ON, type 0, segment unused", kRelay, 1, {}, {}, 6, 10, kBlank},
    {"EV3 ON by its own type", kRelay, 1, {{3501, 60}, {3509, 10}}, {{1, 100}}, 8, 10, kShown},
    {"EV1 OFF, type 50, ON 5999", kRelay, 1, {{3501, 50}}, {{1, 100}, {4, 5999}}, 5, 10, kBlank},
    {"EV1 OFF, type 50, ON 0", kRelay, 1, {{3501, 50}}, {{1, 100}, {4, 0}}, 5, 10, kShown},
    {"EV1 OFF, type 40", kRelay, 1, {{3501, 40}}, {{1, 100}, {4, 0}}, 5, 10, kHidden},
    {"EV1 OFF, type 50, ON 5998", kRelay, 1, {{3501, 50}}, {{1, 100}, {4, 5998}}, 5, 10, kShown},
    {"EV1 OFF, type 50, ON -1", kRelay, 1, {{3501, 50}}, {{1, 100}, {4, -1}}, 5, 10, kBlank},
    {"EV1 OFF, type 50, ON 6000", kRelay, 1, {{3501, 50}}, {{1, 100}, {4, 6000}}, 5, 10, kBlank},
    {"EV1 OFF, type 50, ON empty", kRelay, 1, {{3501, 50}}, {{1, 100}}, 5, 10, kBlank},
    {"EV1 OFF, type 50, empty", kRelay, 1, {{3501, 50}}, {{1, 100}, {4, 0}}, 5, kEmpty, kBlank},
    {"EV3 OFF by its own type", kRelay, 1, {{3509, 50}}, {{1, 100}, {8, 30}}, 9, 10, kShown},
    {"T1 ON, no time events", kRelay, 1, {{3517, 50}}, {{1, 100}}, 10, 10, kHidden},
    {"T1 ON", kRelayTime, 1, {{3517, 50}}, {{1, 100}}, 10, 10, kShown},
    {"T1 ON, type 51", kRelayTime, 1, {{3517, 51}}, {{1, 100}}, 10, 10, kHidden},
    {"T1 ON, type 51, revision 0", kRelayTime, 0, {{3517, 51}}, {{1, 100}}, 10, 10, kShown},
    {"T1 ON, TT 1", kRelayTime, 1, {{3517, 50}, {3513, 1}}, {{1, 100}}, 10, 10, kHidden},
    {"T1 ON, TT 1, revision 0", kRelayTime, 0, {{3513, 1}}, {{1, 100}}, 10, 10, kHidden},
    {"T5 ON, TT 4", kRelayTime, 1, {{3533, 50}, {3513, 4}}, {{1, 100}}, 18, 10, kShown},
    {"T5 ON, TT 5", kRelayTime, 1, {{3533, 50}, {3513, 5}}, {{1, 100}}, 18, 10, kHidden},
    {"T5 ON, TT 99", kRelayTime, 1, {{3533, 50}, {3513, 99}}, {{1, 100}}, 18, 10, kHidden},
    {"T5 ON, TT -5", kRelayTime, 1, {{3533, 50}, {3513, -5}}, {{1, 100}}, 18, 10, kShown},
    {"T1 OFF", kRelayTime, 1, {{3517, 50}}, {{1, 100}, {10, 100}}, 11, 10, kShown},
    {"T1 OFF, type 49", kRelayTime, 1, {{3517, 49}}, {{1, 100}, {10, 100}}, 11, 10, kHidden},
    {"T1 OFF, type 49, revision 0", kRelayTime, 0, {{3517, 49}}, {{1, 100}, {10, 100}}, 11, 10, kShown},
    {"T1 OFF, ON 6000", kRelayTime, 1, {{3517, 50}}, {{1, 100}, {10, 6000}}, 11, 10, kBlank},
    {"T1 OFF, no time events", kRelay, 1, {{3517, 50}}, {{1, 100}, {10, 100}}, 11, 10, kHidden},
    {"T1 OFF, empty", kRelayTime, 1, {{3517, 50}}, {{1, 100}, {10, 100}}, 11, kEmpty, kBlank},
    {"T2 OFF, TT 1", kRelayTime, 1, {{3521, 50}, {3513, 1}}, {{1, 100}, {12, 0}}, 13, 10, kShown},
    {"T3 OFF by its own type", kRelayTime, 1, {{3525, 50}}, {{1, 100}, {14, 0}}, 15, 10, kShown},
    {"T3 OFF, TT 3", kRelayTime, 1, {{3525, 50}, {3513, 3}}, {{1, 100}, {14, 0}}, 15, 10, kHidden},
    {"PID1", kRelay, 1, {}, {{1, 100}}, 20, 0, kShown},
    {"PID1, segment unused", kRelay, 1, {}, {}, 20, 0, kBlank},
    {"PID1, auto switching", kRelay, 1, {{C(11), 1}}, {{1, 100}}, 20, 0, kHidden},
    {"PID1, current main output", kCurrentMain, 1, {}, {{1, 100}}, 20, 0, kHidden},
    {"PID1, 3-position", kThreePos, 1, {}, {{1, 100}}, 20, 0, kHidden},
    {"PID2, single-loop", kRelay, 1, {}, {{1, 100}}, 21, 0, kHidden},
    {"PID2", kTwoInput, 1, {}, {{1, 100}}, 21, 0, kShown},
    {"PID2, auto switching", kTwoInput, 1, {{C(34), 1}}, {{1, 100}}, 21, 0, kHidden},
    {"PID2, current main output", kTwoInputMain, 1, {}, {{1, 100}}, 21, 0, kHidden},
    {"G.S.", kRelay, 0, {}, {{1, 100}}, 22, 1, kShown},
    {"G.S. empty", kRelay, 0, {}, {{1, 100}}, 22, kEmpty, kBlank},
    {"G.S.2, revision 0, single-loop", kRelay, 0, {}, {{1, 100}}, 23, 1, kHidden},
    {"G.S.2, revision 1, single-loop", kRelay, 1, {}, {{1, 100}}, 23, 1, kShown},
    {"G.S.2, revision 0, two loops", kTwoInput, 0, {}, {{1, 100}}, 23, 1, kShown},
};

TEST_F(DisplayRuleTest, ProgramItemRules) {
  for (const ProgramCase& c : kProgramCases) {
    SCOPED_TRACE(c.name);
    Prepare(c.model, c.rev, c.values);
    for (int i = 1; i <= 23; ++i) SetCell(2, i, 3, (i == 20 || i == 21) ? 0 : kEmpty);
    for (const auto& [item, value] : c.cells) SetCell(2, item, 3, value);
    EXPECT_EQ(ProgramRule(c.item, c.v, 2, 3), c.expected);
  }
}

TEST_F(DisplayRuleTest, EmptySp1OfSegmentOneIsBlankButEditable) {
  Prepare(kRelay, 1, {});
  EXPECT_EQ(ProgramRule(1, kEmpty, 1, 1), kBlank);
  EXPECT_EQ(core->GetSegmentCellState(1, 1, 1, 1), kEditable);
  // The next segment may be entered only once segment 1 is in use.
  EXPECT_EQ(core->GetSegmentCellState(1, 1, 1, 2), kByText);
  SetCell(1, 1, 1, 100);
  EXPECT_EQ(ProgramRule(1, 100, 1, 1), kShown);
  EXPECT_EQ(core->GetSegmentCellState(1, 1, 1, 2), kEditable);
}

TEST_F(DisplayRuleTest, PatternItemsShowUnderSegmentOneOfAUsedPattern) {
  Prepare(kRelay, 1, {});
  for (int item : {24, 25, 26}) {
    SCOPED_TRACE(item);
    EXPECT_EQ(ProgramRule(item, 0, 4, 1), kBlank);  // pattern 4 unused
    SetCell(4, 1, 1, 100);
    EXPECT_EQ(ProgramRule(item, 0, 4, 1), kShown);
    EXPECT_EQ(ProgramRule(item, 0, 4, 2), kBlank);
    SetCell(4, 1, 2, 100);
    EXPECT_EQ(ProgramRule(item, 0, 4, 2), kBlank);  // one value per pattern, under segment 1
    SetCell(4, 1, 1, kEmpty);
    SetCell(4, 1, 2, kEmpty);
  }
}

// A pattern or segment without cells reads as unused; nothing is read out of
// range.
TEST_F(DisplayRuleTest, MissingCellsReadAsEmpty) {
  Prepare(kRelay, 1, {{3501, 50}});
  struct Case {
    int item, pattern, segment, expected;
  } cases[] = {
      {2, 0, 1, kBlank},  {2, 20, 1, kBlank}, {2, 1, 0, kBlank},  {2, 1, 31, kBlank},
      {5, -1, 1, kBlank}, {5, 1, -1, kBlank}, {24, 0, 1, kBlank}, {24, 1, 31, kBlank},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.item << "/" << c.pattern << "/" << c.segment);
    EXPECT_EQ(ProgramRule(c.item, 10, c.pattern, c.segment), c.expected);
  }
}

TEST_F(DisplayRuleTest, ShowAllShowsEveryRecord) {
  Prepare({0x00, 0x00, 0xA000, 0xA000}, 0, {{C(11), 1}, {3501, 60}, {1001, 1}});
  core->ShowAll = 1;
  for (int i = 0; i < core->GetParamCount(); ++i)
    EXPECT_EQ(core->GetDisplayRule(core->SetupRecord(i), 1, 1), kShown) << "at " << core->SetupRecord(i)->Address;
  for (int i = 0; i < 26; ++i) {
    ParamDescriptor* d = core->ProgramItemRecord(i);
    d->Value = kEmpty;
    EXPECT_EQ(core->GetDisplayRule(d, 1, 2), kShown) << "item " << d->Item;
  }
  // Without it the same image hides or blanks rows.
  core->ShowAll = 0;
  EXPECT_EQ(core->GetDisplayRule(Item(3), 1, 2), kHidden);
  EXPECT_EQ(core->GetDisplayRule(Param(1047), 1, 1), kHidden);
}

TEST_F(DisplayRuleTest, UnknownKindsAndMissingRecordsAreShown) {
  Prepare(kRelay, 0, {});
  EXPECT_EQ(core->GetDisplayRule(nullptr, 1, 1), kShown);
  ParamDescriptor* unused = Param(3514);
  ASSERT_NE(unused, nullptr);
  ParamDescriptor copy = *unused;
  for (int kind : {102, 150, 255}) {
    copy.DisplayConditionKind = static_cast<uint8_t>(kind);
    EXPECT_EQ(core->GetDisplayRule(&copy, 1, 1), kShown) << kind;
  }
}

// ---- group tree ----

TEST_F(DisplayRuleTest, TreeNodeCopiesTheRecord) {
  int kind = -1;
  uint32_t level = 0, rows = 0, columns = 0;
  const char* accelerator = nullptr;
  const char* name = nullptr;
  EXPECT_EQ(core->GetTreeNode(3, &kind, &level, &accelerator, &name, &rows, &columns), kAvailable);
  EXPECT_EQ(kind, 3);
  EXPECT_EQ(level, 2u);
  EXPECT_STREQ(accelerator, "(&B)");
  EXPECT_STREQ(name, "Variable parameter");
  EXPECT_EQ(rows, 33u);
  EXPECT_EQ(columns, 1u);

  auto japanese = std::make_unique<TCore>(0);
  japanese->GetTreeNode(1, &kind, &level, &accelerator, &name, &rows, &columns);
  EXPECT_STREQ(name, "ﾌﾟﾛｸﾞﾗﾑ");
  EXPECT_EQ(level, 2u);
  EXPECT_EQ(rows, 26u);
  EXPECT_EQ(columns, 30u);

  // Outputs may be left out.
  EXPECT_EQ(core->GetTreeNode(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), kAvailable);

  // No such node: 0 and nothing filled.
  for (int node : {-1, 11, 1000}) {
    kind = -7;
    name = "untouched";
    rows = 99;
    EXPECT_EQ(core->GetTreeNode(node, &kind, &level, &accelerator, &name, &rows, &columns), kAvailable);
    EXPECT_EQ(kind, -7);
    EXPECT_STREQ(name, "untouched");
    EXPECT_EQ(rows, 99u);
  }
}

TEST_F(DisplayRuleTest, TreeNodeVisibility) {
  struct Case {
    const char* name;
    Variant model;
    Values values;
    int node, expected;
  } cases[] = {
      {"single-loop: variable parameter 2 absent", kRelay, {}, 4, kAbsent},
      {"single-loop: PID parameter 2 absent", kRelay, {{1001, 1}}, 7, kAbsent},
      {"single-loop: no table", kRelay, {}, 9, kUnavailable},
      {"single-loop: table 1", kRelay, {{C(8), 1}}, 9, kAvailable},
      {"single-loop: table 2 alone does not count", kRelay, {{C(28), 1}}, 9, kUnavailable},
      {"constant-value: program heading", kRelay, {{1001, 1}}, 0, kUnavailable},
      {"constant-value: program", kRelay, {{1001, 1}}, 1, kUnavailable},
      {"constant-value: PID", kRelay, {{1001, 1}}, 6, kUnavailable},
      {"constant-value: PID 2", kTwoInput, {{1001, 1}}, 7, kUnavailable},
      {"constant-value: variable parameter", kRelay, {{1001, 1}}, 3, kAvailable},
      {"program operation: program", kRelay, {{1001, 2}}, 1, kAvailable},
      {"program operation: PID", kRelay, {}, 6, kAvailable},
      {"loop 1 current main output: PID", kCurrentMain, {}, 6, kUnavailable},
      {"loop 1 3-position: PID", kThreePos, {}, 6, kUnavailable},
      {"two loops: variable parameter 2", kTwoInput, {}, 4, kAvailable},
      {"two loops: PID 2", kTwoInput, {}, 7, kAvailable},
      {"loop 2 current main output: PID 2", kTwoInputMain, {}, 7, kUnavailable},
      {"loop 2 current main output: PID", kTwoInputMain, {}, 6, kAvailable},
      {"two inputs: no table", kTwoInput, {{C(29), 1}}, 9, kUnavailable},
      {"two inputs: table 2", kTwoInput, {{C(28), 1}}, 9, kAvailable},
      {"carbon potential: no table", kCarbon, {}, 9, kUnavailable},
      {"carbon potential: table 3", kCarbon, {{C(29), 1}}, 9, kAvailable},
      {"carbon potential: table 1", kCarbon, {{C(8), 1}}, 9, kAvailable},
      {"setup data always", kRelay, {{1001, 1}}, 8, kAvailable},
      {"constant-value data always", kRelay, {{1001, 1}}, 10, kAvailable},
      {"parameter heading always", kRelay, {{1001, 1}}, 2, kAvailable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare(c.model, 1, c.values);
    EXPECT_EQ(core->GetTreeNode(c.node, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), c.expected);
  }
}

TEST_F(DisplayRuleTest, TreeNodeVisibilityModeAndAccessLevel) {
  Prepare(kRelay, 1, {});
  auto code = [&](int node) { return core->GetTreeNode(node, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); };
  for (int level : {0, 1, 3}) {
    core->AccessLevel = level;
    EXPECT_EQ(code(3), kAvailable) << level;
  }
  core->AccessLevel = -1;
  EXPECT_EQ(code(3), kUnavailable);
  core->AccessLevel = 1;
  core->TreeNode(3)->VisibilityMode = 1;
  EXPECT_EQ(code(3), kUnavailable);
  core->TreeNode(3)->VisibilityMode = 2;
  EXPECT_EQ(code(3), kAvailable);
  // A later rule overrides the mode.
  core->TreeNode(4)->VisibilityMode = 1;
  EXPECT_EQ(code(4), kAbsent);
}

// ---- cell states ----

TEST_F(DisplayRuleTest, SegmentCellStates) {
  struct Case {
    const char* name;
    int rev;
    std::vector<std::pair<int, int>> cells;  // (item, value) in pattern 2: item * 100 + segment
    int bank, pattern, item, segment, expected;
  } cases[] = {
      {"SP1 segment 1, empty", 1, {}, 1, 2, 1, 1, kEditable},
      {"SP1 after an unused segment", 1, {}, 1, 2, 1, 2, kByText},
      {"SP1 after a used segment", 1, {{101, 100}}, 1, 2, 1, 2, kEditable},
      {"SP1 two after a used segment", 1, {{101, 100}}, 1, 2, 1, 3, kByText},
      {"EV1 ON, segment unused", 1, {}, 1, 2, 4, 3, kByText},
      {"EV1 ON, segment used", 1, {{103, 100}}, 1, 2, 4, 3, kEditable},
      {"T1 ON, segment used", 1, {{103, 100}}, 1, 2, 10, 3, kEditable},
      {"G.S., segment used", 1, {{103, 100}}, 1, 2, 22, 3, kEditable},
      {"G.S.2, segment unused", 1, {}, 1, 2, 23, 3, kByText},
      {"EV1 OFF, ON empty", 1, {{103, 100}}, 1, 2, 5, 3, kByText},
      {"EV1 OFF, ON 0", 1, {{403, 0}}, 1, 2, 5, 3, kEditable},
      {"EV1 OFF, ON 5998", 1, {{403, 5998}}, 1, 2, 5, 3, kEditable},
      {"EV1 OFF, ON 5999", 1, {{403, 5999}}, 1, 2, 5, 3, kByText},
      {"EV1 OFF, ON -1", 1, {{403, -1}}, 1, 2, 5, 3, kByText},
      {"T5 OFF, ON 10", 1, {{1803, 10}}, 1, 2, 19, 3, kEditable},
      {"TIME", 1, {{103, 100}}, 1, 2, 2, 3, kByText},
      {"PID1", 1, {{103, 100}}, 1, 2, 20, 3, kByText},
      {"PV start", 1, {{101, 100}}, 1, 2, 24, 1, kByText},
      {"C96", 1, {}, 8, 1, 96, 1, kFixed},
      {"C00", 1, {}, 8, 1, 100, 1, kFixed},
      {"C95", 1, {}, 8, 1, 95, 1, kByText},
      {"C55", 1, {}, 8, 1, 55, 1, kByText},
      {"LOC", 1, {}, 3, 1, 1, 1, kByText},
      {"M.-AT", 1, {}, 3, 1, 30, 1, kFixed},
      {"M.-CL", 1, {}, 3, 1, 31, 1, kByText},
      {"C91", 1, {}, 8, 1, 91, 1, kFixed},
      {"C92", 0, {}, 8, 1, 92, 1, kFixed},
      {"C90 revision 0", 0, {}, 8, 1, 90, 1, kFixed},
      {"C90 revision 1", 1, {}, 8, 1, 90, 1, kByText},
      {"PID set 8 P", 1, {}, 6, 1, 1, 8, kByText},
      {"no record: heading", 1, {}, 2, 1, 1, 1, kFixed},
      {"no record: bank 0", 1, {}, 0, 1, 1, 1, kFixed},
      {"no record: item 101", 1, {}, 8, 1, 101, 1, kFixed},
      {"no record: sub 2 of a one-column bank", 1, {}, 3, 1, 1, 2, kFixed},
      {"no record: PID set 9", 1, {}, 6, 1, 1, 9, kFixed},
      {"no record: program item 27", 1, {}, 1, 2, 27, 1, kFixed},
      {"no record: segment 31", 1, {}, 1, 2, 1, 31, kFixed},
      {"no record: bank 32", 1, {}, 32, 1, 1, 1, kFixed},
      {"no cells: pattern 0", 1, {}, 1, 0, 4, 3, kByText},
      {"no cells: pattern 20 SP1", 1, {}, 1, 20, 1, 2, kByText},
      {"no cells: segment 0 SP1", 1, {}, 1, 2, 1, 0, kByText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare(kRelay, c.rev, {});
    for (int i = 1; i <= 23; ++i)
      for (int s = 1; s <= 30; ++s) SetCell(2, i, s, (i == 20 || i == 21) ? 0 : kEmpty);
    for (const auto& [key, value] : c.cells) SetCell(2, key / 100, key % 100, value);
    EXPECT_EQ(core->GetSegmentCellState(c.bank, c.pattern, c.item, c.segment), c.expected);
  }
}

// ---- row counts ----

TEST_F(DisplayRuleTest, RowCountOfParameterGroups) {
  const int expected[] = {1, 27, 1, 34, 23, 37, 11, 11, 101, 12, 51};
  // Two inputs with time events, every event and time event of type 50: the
  // program group shows every item.
  Prepare(kTwoInput, 1,
          {{3501, 50}, {3505, 50}, {3509, 50}, {3517, 50}, {3521, 50}, {3525, 50}, {3529, 50}, {3533, 50}});
  core->Model.HardwareType2 = 0x31;
  for (int node = 0; node <= 10; ++node) EXPECT_EQ(core->GetNodeRowCount(node), expected[node]) << node;
  for (int node : {-1, 11, 500}) EXPECT_EQ(core->GetNodeRowCount(node), 0) << node;
}

TEST_F(DisplayRuleTest, RowCountOfTheProgramGroup) {
  struct Case {
    const char* name;
    Variant model;
    int rev;
    Values values;
    int expected;
  } cases[] = {
      {"single input, revision 1, all types 0", {0x01, 0x00, 0x00, 0}, 1, {}, 12},
      {"single input, revision 0", kRelay, 0, {}, 11},
      {"two inputs, events 50, no time events", kTwoInput, 1, {{3501, 50}, {3505, 50}, {3509, 50}}, 17},
      {"two inputs, CH2 auto switching", kTwoInput, 1, {{3501, 50}, {3505, 50}, {3509, 50}, {C(34), 1}}, 16},
      {"single-loop ignores C34", kRelay, 1, {{3501, 50}, {3505, 50}, {3509, 50}, {C(34), 1}}, 15},
      {"loop 2 3-position", {0xC91, 0x01, 0x400, 0x8091}, 1, {{3501, 50}, {3505, 50}, {3509, 50}}, 16},
      {"event types 51, 49, 50 and CH1 auto switching",
       kRelayTime,
       1,
       {{3501, 51}, {3505, 49}, {3509, 50}, {3517, 50}, {3521, 50}, {3525, 50}, {3529, 50}, {3533, 50}, {C(11), 1}},
       21},
      {"loop 1 current main output", kCurrentMain, 1, {{3501, 50}, {3505, 50}, {3509, 50}}, 14},
      {"TT 2 and time types", kRelayTime, 1, {{3513, 2}, {3525, 60}, {3529, 40}, {3533, 50}}, 15},
      {"TT 2, revision 0", kRelayTime, 0, {{3513, 2}, {3525, 60}, {3529, 40}, {3533, 50}}, 17},
      {"TT 0, all time types 0", kRelayComm, 1, {}, 17},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare(c.model, c.rev, c.values);
    EXPECT_EQ(core->GetNodeRowCount(1), c.expected);
  }
}

// The time-event type word may hold anything after a file load or a read; the
// row count stays within the group's rows.
TEST_F(DisplayRuleTest, RowCountKeepsTheTimeEventTypeInRange) {
  struct Case {
    int tt, rev, timeType, expected;
  } cases[] = {
      {-5, 1, 50, 25},     {0, 1, 50, 25},  {3, 1, 50, 19},  {5, 1, 50, 15},  {99, 1, 50, 15},
      {32767, 1, 50, 15},  {-32768, 1, 50, 25}, {-5, 0, 50, 24}, {0, 0, 50, 24}, {3, 0, 50, 18},
      {5, 0, 50, 14},      {99, 0, 50, 14}, {-5, 1, 60, 15}, {99, 1, 60, 15}, {3, 1, 40, 17},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "3513 = " << c.tt << ", revision " << c.rev << ", time types " << c.timeType);
    Prepare(kRelayTime, c.rev,
            {{3501, 50}, {3505, 50}, {3509, 50}, {3513, c.tt}, {3517, c.timeType}, {3521, c.timeType},
             {3525, c.timeType}, {3529, c.timeType}, {3533, c.timeType}});
    const int rows = core->GetNodeRowCount(1);
    EXPECT_EQ(rows, c.expected);
    EXPECT_GE(rows, 1);
    EXPECT_LE(rows, 27);
  }
}

}  // namespace
