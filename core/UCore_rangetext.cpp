// Setting-range help texts: the valid range of one parameter as a one-line
// text for the status bar. A kind either takes its fixed text or is computed
// at the moment of the call from other parameters, neighbouring program cells,
// the model words, the data revision and the decimal-point settings. Nothing
// is cached.
//
// No text here is ever used as a printf format: the texts contain '%'.
#include <cstdio>
#include <optional>
#include <string>

#include "RangeTexts.h"
#include "UCore.h"
#include "ValueRules.h"

using namespace kvl::values;

const FixedRangeText kFixedRangeTexts[kFixedRangeTextCount] = {
    {11, "0～9999, 0=ｻｲｸﾙ運転はおこなわない", "0 to 9999, 0=Cycle disabled"},
    {12, "0～19, 0=ﾘﾝｸしない", "0 to 19, 0=Pattern link disabled"},
    {13, "0～4", "0 to 4"},
    {14, "0～1", "0 to 1"},
    {15, "0.0～120.0s, 0.0=ﾌｨﾙﾀなし", "0.0 to 120.0s, 0.0=disables the filter."},
    {18, "0.0～10.0%(0.1sごと), 0.0=変化ﾘﾐｯﾄなし", "0.0 to 10.0%(0.1s steps), 0.0=disables the limit."},
    {19, "0.0～100.0%", "0.0 to 100.0%"},
    {20, "0～2", "0 to 2"},
    {21, "0～3", "0 to 3"},
    {22, "0.1～60.0s", "0.1 to 60.0s"},
    {26, "1～60s", "1 to 60s"},
    {27, "（なし）", "(None)"},
    {30, "5.0～240.0s", "5.0 to 240.0s"},
    {32, "670～1330hpa", "670 to 1330hpa"},
    {33, "10.0～50.0%", "10.0 to 50.0%"},
    {35, "0～199", "0 to 199"},
    {37, "0～3600s", "0 to 3600s"},
    {38, "0～5", "0 to 5"},
    {44, "0.0～100.0%", "0.0 to 100.0%"},
    {45, "0～30, 0=ﾌﾞﾚｰｷ機能なし", "0 to 30, 0=disables the brake function."},
    {46, "0.1～999.9%", "0.1 to 999.9%"},
    {49, "0.1～999.9%", "0.1 to 999.9%"},
    {50, "0～73", "0 to 73"},
    {51, "0.0～10.0%, 0.0=開平演算なし", "0.0 to 10.0%, 0.0=disables square root extraction."},
    {54, "-10～110%", "-10 to 110%"},
    {60, "0～11", "0 to 11"},
    {62, "0～20", "0 to 20"},
    {63, "1000～5000", "1000 to 5000"},
    {64, "2～22mA", "2 to 22mA"},
    {65, "（なし）", "(None)"},
    {66, "0～127", "0 to 127"},
    {67, "0～255", "0 to 255"},
    {68, "-19.99～20.00", "-19.99 to 20.00"},
    {69, "0～15, 0=増設端子", "0 to 15, 0=Add-on terminal"},
    {70, "（なし）", "(None)"},
    {71, "（なし）", "(None)"},
    {72, "（なし）", "(None)"},
    {73, "（なし）", "(None)"},
    {74, "0.000～4.000", "0.000 to 4.000"},
};

namespace {

// Bits of the model words that the texts test.
constexpr uint16_t kOutput1Relay = 0x01;
constexpr uint16_t kOutput1Voltage = 0x02;
constexpr uint16_t kOutput1Position = 0x08;
constexpr uint16_t kOutput2Relay = 0x10;
constexpr uint16_t kOutput2Voltage = 0x20;
constexpr uint16_t kHeatCool = 0x80;
constexpr uint16_t kOutputCodeMask = 0x0EFF;
constexpr uint16_t kTempHumidityModel = 0x02;  // HardwareType2
constexpr uint16_t kCarbonModel = 0x04;        // HardwareType2

// Decimal-point classes of TCore::GetDecimalPoint.
constexpr int kInput1 = 0;
constexpr int kInput2 = 1;
constexpr int kSecondChannel = 2;

// One request: the record asked for, the program cell it stands for (program
// items only) and the language.
struct Request {
  TCore& core;
  const ParamDescriptor& d;
  int segment;  // the sub of the call: segment, PID set or table column
  int pattern;
  bool japanese;

  // The text in the request's language.
  std::string Pick(const char* japaneseText, const char* englishText) const {
    return japanese ? japaneseText : englishText;
  }
  // " to " in English, "～" in Japanese.
  const char* To() const { return japanese ? "～" : " to "; }

  // Working value of a bound that the text shows; nothing when the catalogue
  // lacks the record (the text is then empty).
  std::optional<int> Bound(int bank, int item, int sub = 1) const { return ParamValue(core, bank, item, sub); }
  std::optional<int> SetupBound(int item) const { return Bound(kSetupBank, item); }
  // Working value of a setting that selects a text (a missing record reads 0).
  int Setting(int item) const { return SetupValue(core, item); }

  bool TwoLoopModel() const { return TwoLoop(core); }
  bool TempHumidityModel() const { return (core.Model.HardwareType2 & kTempHumidityModel) != 0; }
  bool CarbonModel() const { return (core.Model.HardwareType2 & kCarbonModel) != 0; }
  uint16_t Hardware1() const { return core.Model.HardwareType1; }
};

// "lo to hi unit" with both raw bounds written with d decimals; empty when a
// bound is missing or d is no valid number of decimals (a decimal-point
// setting outside 0..3).
std::string Numeric(const Request& r, std::optional<int> lo, std::optional<int> hi, int d, const char* unit) {
  if (!lo || !hi || d < 0 || d > 3) return {};
  return Fixed(*lo, d) + r.To() + Fixed(*hi, d) + unit;
}

// The range of a program time, by the program time unit C64.
std::string TimeRange(const Request& r) {
  switch (r.Setting(64)) {
    case 0:
      return r.Pick("00:00～99:59h:min", "00:00 to 99:59h:min");
    case 1:
      return r.Pick("00:00～99:59min:s", "00:00 to 99:59min:s");
    default:
      return r.Pick("0.0～599.9s", "0.0 to 599.9s");
  }
}

// An OFF time starts one step after the ON time beside it (program item
// i - 1 of the same pattern and segment). No such cell, or an empty ON time,
// gives no text; the step is taken in int so it never wraps.
std::string OffTimeRange(const Request& r) {
  const PatternSlot* on = r.core.GetPatternValue(r.pattern, r.d.Item - 1, r.segment);
  if (!on || on->Value == kEmptyValue) return {};
  const int first = static_cast<int>(on->Value) + 1;
  const int unit = r.Setting(64);
  if (unit == 0 || unit == 1) {
    char start[32];
    std::snprintf(start, sizeof start, "%d:%.2d", first / 60, first % 60);
    return start + std::string(r.To()) + (unit == 0 ? "99:59h:min" : "99:59min:s");
  }
  return Fixed(first, 1) + r.To() + "599.9s";
}

bool IsMvType(int type) { return (type >= 8 && type <= 11) || type == 20 || type == 21; }
bool IsAbsoluteDeviationType(int type) { return type == 4 || type == 5 || type == 16 || type == 17; }

// The range of a value that follows an event type: the type at event bank
// item typeItem. Kinds 3 and 5 (program ON times) follow the program time
// unit for a time event; kind 36 (hysteresis) has its own bounds.
std::string EventTypeRange(const Request& r, int kind, int typeItem) {
  const std::optional<int> type = r.Bound(kEventBank, typeItem);
  if (!type) return {};
  const int t = *type;
  if (IsMvType(t)) {
    return kind == 36 ? r.Pick("0.0～20.0%", "0.0 to 20.0%") : r.Pick("-10.0～110.0%", "-10.0 to 110.0%");
  }
  if ((kind == 3 || kind == 5) && t == kTimeEventType) return TimeRange(r);
  const int d = r.core.GetDecimalPointItem(t);
  if (kind == 36) return Numeric(r, 0, 200, d, "U");
  if (IsAbsoluteDeviationType(t)) return Numeric(r, 0, 9999, d, "U");
  return Numeric(r, -1999, 9999, d, "U");
}

// The unit of the second channel's bias and switching points.
const char* SecondChannelUnit(const Request& r) {
  if (r.TempHumidityModel()) return "%";
  if (r.CarbonModel()) return "";
  return "U";
}

// Decimals of the kind-17 values (-1999..9999 in the units of their input).
int WideRangeDecimals(const Request& r) {
  TCore& core = r.core;
  switch (r.d.Bank) {
    case kVariableBank:
      return core.GetDecimalPoint(kInput1);
    case 9:  // input linearization table: columns 1, 2 input 1, else input 2
      return core.GetDecimalPoint(r.d.Sub <= 2 ? kInput1 : kInput2);
    case kSetupBank:
      switch (r.d.Item) {
        case 25:
        case 26:
          return core.GetDecimalPoint(kInput2);
        case 42:
        case 43:
          return core.GetDecimalPoint(r.TempHumidityModel() && r.Setting(41) == 2 ? kInput2 : kSecondChannel);
        default:  // C05, C06, C19, C20
          return core.GetDecimalPoint(kInput1);
      }
    default:
      return core.GetDecimalPoint(kInput1);
  }
}

// The PID time constants (reset, rate and disturbance-inhibit times) switch
// their resolution with the special functions C90.
enum class Resolution { kTenths, kHundredths, kSeconds };

Resolution TimeConstantResolution(const Request& r) {
  const int special = r.Setting(90);
  if (special == 104 || special == 114) return Resolution::kTenths;
  if (special == 105 || special == 115) return Resolution::kHundredths;
  return Resolution::kSeconds;
}

// The bank of the MV limit beside an OL or OH: its own PID bank, else the
// constant-value bank.
int MvLimitBank(const Request& r) {
  return (r.d.Bank == kPidBank || r.d.Bank == kPid2Bank) ? r.d.Bank : kConstantBank;
}

// The text of a computed kind; nothing when the kind has a fixed text.
std::optional<std::string> ComputedText(const Request& r) {
  TCore& core = r.core;
  const int i = r.d.Item;
  const uint16_t h1 = r.Hardware1();
  switch (r.d.RangeTextKind) {
    case 0:  // SP1, constant-value SP
      return Numeric(r, r.SetupBound(9), r.SetupBound(10), core.GetDecimalPoint(kInput1), "U");
    case 1:  // TIME
      return TimeRange(r);
    case 2:  // SP2, constant-value SP2
      return Numeric(r, r.SetupBound(32), r.SetupBound(33), core.GetDecimalPoint(kSecondChannel), "U");
    case 3:  // EV1..EV3 ON times: ET1..ET3
      return EventTypeRange(r, 3, 2 * i - 7);
    case 4:  // event OFF times
    case 6:  // time-event OFF times
      return OffTimeRange(r);
    case 5:  // T1..T5 ON times: ET.T1..ET.T5 from revision 1 on
      if (core.DataRevision == 0) return TimeRange(r);
      return EventTypeRange(r, 5, 2 * i - 3);
    case 7:  // PID1
      return (core.Model.Loop1OutputWord & kHeatCool) ? r.Pick("0～4", "0 to 4") : r.Pick("0～8", "0 to 8");
    case 8:  // PID2
      return (core.Model.Loop2OutputWord & kHeatCool) ? r.Pick("0～4", "0 to 4") : r.Pick("0～8", "0 to 8");
    case 9: {  // G.S.; 3-position settings DV-L, DV-H, HY-L, HY-H
      const bool second = r.d.Bank != kProgramBank && r.TwoLoopModel() && r.Setting(44) == 1;
      return Numeric(r, 0, 1000, core.GetDecimalPoint(second ? kSecondChannel : kInput1), "U");
    }
    case 10:  // P.STA
      return r.TwoLoopModel() ? r.Pick("0～2", "0 to 2") : r.Pick("0～1", "0 to 1");
    case 16: {  // PBI, PBI.2, T-BI
      const bool input2 = r.d.Bank == 4 && i == 2;
      return Numeric(r, -1000, 1000, core.GetDecimalPoint(input2 ? kInput2 : kInput1), "U");
    }
    case 17:  // SBI, CP.11..CP.17, C05, C06, C19, C20, C25, C26, C42, C43, T.1..T.11
      return Numeric(r, -1999, 9999, WideRangeDecimals(r), "U");
    case 23:  // DIFF
      if (h1 & kHeatCool) return r.Pick("-100.0～50.0%", "-100.0 to 50.0%");
      if (h1 & kOutput1Position) return r.Pick("0.5～25.0%", "0.5 to 25.0%");
      return Numeric(r, 0, 1000, core.GetDecimalPoint(kInput1), "U");
    case 24:  // CY.1: only relay and voltage outputs have a cycle
      if (h1 & kOutput1Relay) return r.Pick("5～120s", "5 to 120s");
      if (h1 & kOutput1Voltage) return r.Pick("1～60s", "1 to 60s");
      return std::string();
    case 25:  // CY.2
      if (h1 & kOutput2Relay) return r.Pick("5～120s", "5 to 120s");
      if (h1 & kOutput2Voltage) return r.Pick("1～60s", "1 to 60s");
      return std::string();
    case 28: {  // M.-CL: up to M.-OP - 500, written as computed
      const std::optional<int> open = r.Bound(kVariableBank, 32);
      if (!open) return std::string();
      return std::string("0") + r.To() + std::to_string(*open - 500);
    }
    case 29: {  // M.-OP: from M.-CL + 500, written as computed
      const std::optional<int> close = r.Bound(kVariableBank, 31);
      if (!close) return std::string();
      return std::to_string(*close + 500) + r.To() + "9999";
    }
    case 31:  // SBI.2
      return Numeric(r, -1000, 1000, core.GetDecimalPoint(kSecondChannel), SecondChannelUnit(r));
    case 34:  // CP.21..CP.27
      return Numeric(r, -1999, 9999, core.GetDecimalPoint(kSecondChannel), SecondChannelUnit(r));
    case 36:  // HYS1..HYS3, HY.T1..HY.T5: the type two items before
      return EventTypeRange(r, 36, i - 2);
    case 39: {  // P: a single-loop relay or voltage output may run ON-OFF control
      const uint16_t code = h1 & kOutputCodeMask;
      if (!r.TwoLoopModel() && (code == 1 || code == 2))
        return r.Pick("0.0～999.9%, 0.0=ON-OFF制御", "0.0 to 999.9%, 0.0=ON-OFF control");
      return r.Pick("0.1～999.9%", "0.1 to 999.9%");
    }
    case 40:  // reset times
      switch (TimeConstantResolution(r)) {
        case Resolution::kTenths:
          return r.Pick("0.0～360.0s, 0.0=積分動作なし", "0.0 to 360.0s, 0.0=disables integrating action.");
        case Resolution::kHundredths:
          return r.Pick("0.00～36.00s, 0.00=積分動作なし", "0.00 to 36.00s, 0.00=disables integrating action.");
        case Resolution::kSeconds:
          break;
      }
      return r.Pick("0～3600s, 0=積分動作なし", "0 to 3600s, 0=disables integrating action.");
    case 41:  // rate times
    case 48:  // disturbance-inhibit rate times
      switch (TimeConstantResolution(r)) {
        case Resolution::kTenths:
          return r.Pick("0.0～120.0s, 0.0=微分動作なし", "0.0 to 120.0s, 0.0=disables derivative action.");
        case Resolution::kHundredths:
          return r.Pick("0.00～12.00s, 0.00=微分動作なし", "0.00 to 12.00s, 0.00=disables derivative action.");
        case Resolution::kSeconds:
          break;
      }
      return r.Pick("0～1200s, 0=微分動作なし", "0 to 1200s, 0=disables derivative action.");
    case 42: {  // OL: up to the OH beside it
      const std::optional<int> high = r.Bound(MvLimitBank(r), i + 1, r.segment);
      if (!high) return std::string();
      return std::string("-10.0") + r.To() + Fixed(*high, 1) + "%";
    }
    case 43: {  // OH: from the OL beside it
      const std::optional<int> low = r.Bound(MvLimitBank(r), i - 1, r.segment);
      if (!low) return std::string();
      return Fixed(*low, 1) + r.To() + "110.0%";
    }
    case 47:  // disturbance-inhibit reset times
      switch (TimeConstantResolution(r)) {
        case Resolution::kTenths:
          return r.Pick("0.1～360.0s", "0.1 to 360.0s");
        case Resolution::kHundredths:
          return r.Pick("0.01～36.00s", "0.01 to 36.00s");
        case Resolution::kSeconds:
          break;
      }
      return r.Pick("1～3600s", "1 to 3600s");
    case 52:  // C09: up to C10
      return Numeric(r, -1999, r.SetupBound(10), core.GetDecimalPoint(kInput1), "U");
    case 53:  // C10: from C09
      return Numeric(r, r.SetupBound(9), 9999, core.GetDecimalPoint(kInput1), "U");
    case 55:  // C23
      return r.CarbonModel() ? r.Pick("224～230", "224 to 230") : r.Pick("128～193", "128 to 193");
    case 56: {  // C30: up to C31
      const std::optional<int> high = r.SetupBound(31);
      if (!high) return std::string();
      return std::string("0.000") + r.To() + Fixed(*high, 3);
    }
    case 57: {  // C31: from C30
      const std::optional<int> low = r.SetupBound(30);
      if (!low) return std::string();
      return Fixed(*low, 3) + r.To() + (r.Setting(23) == 224 ? "1.500" : "4.000");
    }
    case 58: {  // C32: up to C33
      const int d = core.GetDecimalPoint(kSecondChannel);
      if (r.TempHumidityModel() || r.CarbonModel()) return Numeric(r, 0, r.SetupBound(33), d, "");
      return Numeric(r, -1999, r.SetupBound(33), d, "U");
    }
    case 59: {  // C33: from C32
      const int d = core.GetDecimalPoint(kSecondChannel);
      if (r.CarbonModel()) return Numeric(r, r.SetupBound(32), r.Setting(23) == 224 ? 1500 : 2000, d, "");
      if (r.TempHumidityModel()) return Numeric(r, r.SetupBound(32), 1000, d, "");
      return Numeric(r, r.SetupBound(32), 9999, d, "U");
    }
    case 61: {  // C47, C48 by C46; C50, C51 by C49
      const int type = r.Setting(i <= 48 ? 46 : 49);
      const char* unit = (type == 3 || type == 7 || type == 8) ? "%" : type == 11 ? "mV" : "U";
      return Numeric(r, -1999, 9999, core.GetDecimalPointPid(type), unit);
    }
    case 75:  // constant-value EV1..EV3: ET1..ET3
      return EventTypeRange(r, 75, 4 * (i - 4) + 1);
    case 76:  // C64
      return core.DataRevision == 0 ? r.Pick("0～1", "0 to 1") : r.Pick("0～2", "0 to 2");
    case 77:  // G.S.2: a soak band on 2-loop models, else a time
      if (r.TwoLoopModel()) return Numeric(r, 0, 1000, core.GetDecimalPoint(kSecondChannel), "U");
      return TimeRange(r);
    default:
      return std::nullopt;
  }
}

}  // namespace

std::string TCore::GetRangeText(int bank, int item, int sub, int pattern, uint16_t entryKind) {
  const ParamDescriptor* d = GetParam(bank, item, sub, entryKind);
  if (!d) return {};
  const Request request{*this, *d, sub, pattern, Language == 0};
  if (std::optional<std::string> text = ComputedText(request)) return *text;
  for (const FixedRangeText& fixed : kFixedRangeTexts) {
    if (fixed.Kind == d->RangeTextKind) return request.Pick(fixed.Japanese, fixed.English);
  }
  return {};  // a kind without any text
}
