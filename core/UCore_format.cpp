// Values as text: the decimal-point lookups, formatting a working value by
// its format kind, parsing a typed text back into a word, and the two entry
// points that show and set one setup parameter or program cell.
//
// Parsing is exact decimal arithmetic on the typed text (at most 7
// characters), so "1.005" at two decimals rounds half up to 101 as written.
#include <cctype>
#include <cstdint>
#include <optional>

#include "UCore.h"
#include "ValueRules.h"

using namespace kvl::values;

namespace {

constexpr int kMaxNumberText = 7;
constexpr int kMaxTimeText = 6;
constexpr int kLastTimeValue = 5999;  // 99:59

int64_t Pow10(int n) {
  int64_t p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

// Floor division for a positive divisor.
int64_t FloorDiv(int64_t num, int64_t den) {
  int64_t q = num / den;
  if ((num % den != 0) && (num < 0)) --q;
  return q;
}

// A decimal number as typed: sign, all its digits as one integer, and how
// many of them stand after the point.
struct Decimal {
  bool negative = false;
  int64_t digits = 0;
  int fraction = 0;
};

// Reads a text that a scanner has accepted (digits, at most one '.', an
// optional leading '-'); an empty text, "-" and "." read as 0.
Decimal ReadDecimal(std::string_view text) {
  Decimal x;
  bool afterPoint = false;
  for (char c : text) {
    if (c == '-') {
      x.negative = true;
    } else if (c == '.') {
      afterPoint = true;
    } else {
      x.digits = x.digits * 10 + (c - '0');
      if (afterPoint) ++x.fraction;
    }
  }
  return x;
}

// floor(x * 10^d + 0.5): rounds halves upward.
int64_t Scale(const Decimal& x, int d) {
  const int64_t den = Pow10(x.fraction);
  int64_t num = x.digits * Pow10(d) * 2;
  if (x.negative) num = -num;
  return FloorDiv(num + den, 2 * den);
}

// floor(x).
int64_t Floor(const Decimal& x) {
  const int64_t den = Pow10(x.fraction);
  return FloorDiv(x.negative ? -x.digits : x.digits, den);
}

// The leading integer of the text: '1.7' gives 1, '-1.7' gives -1.
int64_t Whole(const Decimal& x) {
  const int64_t whole = x.digits / Pow10(x.fraction);
  return x.negative ? -whole : whole;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A plain number: optional '-', digits, at most one '.', nothing else.
bool ScanNumber(std::string_view text) {
  if (text.size() > kMaxNumberText) return false;
  enum { kStart, kNumber, kFraction } state = kStart;
  for (char c : text) {
    if (IsDigit(c)) {
      if (state == kStart) state = kNumber;
    } else if (c == '-' && state == kStart) {
      state = kNumber;
    } else if (c == '.' && state != kFraction) {
      state = kFraction;
    } else {
      return false;
    }
  }
  return true;
}

// Whether times are written min:s or h:min (else in units of 0.1 s). The
// formatter and the time scanner both decide by this one test, so a time unit
// outside 0..2 cannot make them disagree.
bool ColonTimes(TCore& core) {
  const int unit = SetupValue(core, 64);
  return unit == 0 || unit == 1;
}

// A time text: digits with at most one ':' (min:s, h:min) or one '.'
// (tenths), no sign. Gives the stored value, or nothing when refused.
std::optional<int64_t> ParseTimeText(std::string_view text, bool colonTimes) {
  if (text.size() > kMaxTimeText) return std::nullopt;
  std::optional<size_t> colon;
  bool separated = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) continue;
    if (separated) return std::nullopt;
    if (c == ':' && colonTimes) {
      colon = i;
    } else if (c == '.' && !colonTimes) {
    } else {
      return std::nullopt;
    }
    separated = true;
  }
  if (!colonTimes) return Scale(ReadDecimal(text), 1);
  if (!colon) return Whole(ReadDecimal(text));
  const int64_t before = Whole(ReadDecimal(text.substr(0, *colon)));
  const int64_t after = Whole(ReadDecimal(text.substr(*colon + 1)));
  return 60 * before + after;
}

// Up to four hexadecimal digits after leading white space, read as the
// signed 16-bit word they spell. Nothing when no digit is there.
std::optional<int64_t> ParseHexWord(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  unsigned word = 0;
  int count = 0;
  for (; i < text.size() && count < 4; ++i, ++count) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (!std::isxdigit(c)) break;
    word = word * 16 + static_cast<unsigned>(IsDigit(static_cast<char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10);
  }
  if (count == 0) return std::nullopt;
  return static_cast<int16_t>(static_cast<uint16_t>(word));
}

// How a value of a format kind is written and read at the moment of the call.
struct Form {
  enum Kind { kNone, kInvalid, kFixed, kTime, kHex, kRefused } kind = kNone;
  int decimals = 0;
  bool whole = false;  // entry takes the leading integer (plain integer kinds)
};

Form FixedForm(int d, bool whole = false) {
  if (d < 0) return {Form::kInvalid, 0, false};
  return {Form::kFixed, d, whole};
}

constexpr Form kTimeForm{Form::kTime, 0, false};

}  // namespace

// The value divided by 10^d with exactly d digits after a '.'.
std::string kvl::values::Fixed(int value, int d) {
  if (d <= 0) return std::to_string(value);
  const bool negative = value < 0;
  const int64_t magnitude = negative ? -static_cast<int64_t>(value) : value;
  const int64_t p = Pow10(d);
  std::string fraction = std::to_string(magnitude % p);
  fraction.insert(0, static_cast<size_t>(d) - fraction.size(), '0');
  return (negative ? "-" : "") + std::to_string(magnitude / p) + "." + fraction;
}

// ---- decimal-point lookups ----

namespace {
// The decimals that C04 or C24 states: valid only in 0..3.
int DecimalSetting(TCore& core, int item) {
  const std::optional<int> v = ParamValue(core, kSetupBank, item);
  if (!v || *v < 0 || *v > 3) return -1;
  return *v;
}
}  // namespace

int TCore::GetDecimalPoint(int source) {
  switch (source) {
    case 0:
      return DecimalSetting(*this, 4);
    case 1:
      return DecimalSetting(*this, 24);
    case 2:
      if (Model.HardwareType2 & 0x02) return 1;
      if (Model.HardwareType2 & 0x04) return 3;
      return DecimalSetting(*this, 24);
    default:
      return -1;
  }
}

int TCore::GetDecimalPointPid(int type) {
  switch (type) {
    case 0: case 1: case 2:
      return DecimalSetting(*this, 4);
    case 3: case 7: case 8:
      return 1;
    case 4: case 5: case 6:
      return GetDecimalPoint(2);
    case 9: case 10:
      return DecimalSetting(*this, 24);
    default:
      return 0;
  }
}

int TCore::GetDecimalPointItem(int type) {
  if (type >= 8 && type <= 11) return 1;
  if (type >= 12 && type <= 19) return GetDecimalPoint(2);
  if (type == 20 || type == 21) return 1;
  if (type >= 22 && type <= 27) return DecimalSetting(*this, 24);
  return DecimalSetting(*this, 4);
}

// ---- formats ----

namespace {

// The text and entry form of a record's format kind, from the settings,
// model words and revision as they stand now.
Form FormOf(TCore& core, const ParamDescriptor& d) {
  const uint16_t h1 = core.Model.HardwareType1;
  const uint16_t h2 = core.Model.HardwareType2;
  switch (d.FormatKind) {
    case 0:
      return FixedForm(core.GetDecimalPoint(0));
    case 1:
      return FixedForm(0, true);
    case 2:
      return FixedForm(core.GetDecimalPoint(2));
    case 3: {
      const int type = GoverningEventType(core, d);
      if (type == kTimeEventType) return kTimeForm;
      return FixedForm(core.GetDecimalPointItem(type));
    }
    case 4:
      return FixedForm(1);
    case 5:
      return FixedForm((h1 & 0x88) ? 1 : core.GetDecimalPoint(0));
    case 6:
      return FixedForm((TwoLoop(core) && SetupValue(core, 44) == 1) ? core.GetDecimalPoint(2)
                                                                     : core.GetDecimalPoint(0));
    case 7:
      return FixedForm(core.GetDecimalPoint(1));
    case 8:
      return FixedForm(3);
    case 9:
      if (h2 & 0x02) return FixedForm(SetupValue(core, 41) == 2 ? core.GetDecimalPoint(1) : 1);
      if (h2 & 0x04) return FixedForm(3);
      return FixedForm(core.GetDecimalPoint(1));
    case 10: {
      // C47/C48 follow C46, C50/C51 follow C49.
      const int typeItem = d.Item <= 48 ? 46 : 49;
      const int dp = core.GetDecimalPointPid(SetupValue(core, typeItem));
      return FixedForm(dp, dp == 0);
    }
    case 11:
      return FixedForm(2);
    case 12:
      return {Form::kHex, 0, false};
    case 13:
      return kTimeForm;
    case 14:
    case 15:
      return {Form::kRefused, 0, false};
    case 16: {
      const int special = SetupValue(core, 90);
      if (special == 104 || special == 114) return FixedForm(1);
      if (special == 105 || special == 115) return FixedForm(2);
      return FixedForm(0, true);
    }
    case 17: {
      const int type = TimeEventType(core, d.Item);
      if (core.DataRevision == 0 || type == kTimeEventType) return kTimeForm;
      return FixedForm(core.GetDecimalPointItem(type));
    }
    case 18:
      if (!TwoLoop(core)) return kTimeForm;
      return FixedForm(core.GetDecimalPoint(2));
    default:
      return {Form::kNone, 0, false};
  }
}

std::string TimeText(int value, bool colonTimes) {
  if (!colonTimes) return Fixed(value, 1);
  if (value < 0 || value > kLastTimeValue) return "99:59";
  std::string seconds = std::to_string(value % 60);
  if (seconds.size() < 2) seconds.insert(0, 1, '0');
  return std::to_string(value / 60) + ":" + seconds;
}

std::string HexText(int16_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  const auto word = static_cast<uint16_t>(value);
  std::string text(4, '0');
  for (int i = 0; i < 4; ++i) text[static_cast<size_t>(i)] = kDigits[(word >> (12 - 4 * i)) & 0xF];
  return text;
}

}  // namespace

bool TCore::FormatValue(const ParamDescriptor* descriptor, std::string& valueText) {
  if (!descriptor) return false;
  const Form form = FormOf(*this, *descriptor);
  switch (form.kind) {
    case Form::kInvalid:
      return false;
    case Form::kFixed:
      valueText = Fixed(descriptor->Value, form.decimals);
      return true;
    case Form::kTime:
      valueText = TimeText(descriptor->Value, ColonTimes(*this));
      return true;
    case Form::kHex:
      valueText = HexText(descriptor->Value);
      return true;
    case Form::kRefused:
    case Form::kNone:
      return true;  // these kinds have no text
  }
  return true;
}

// ---- parsing ----

bool TCore::ParseValue(ParamDescriptor* descriptor, std::string_view text, int pattern, int segment) {
  if (!descriptor) return false;
  // A program value belongs to a cell: without one nothing is parsed,
  // checked or updated.
  if (descriptor->Bank == kProgramBank && !PatternSlotPtr(pattern, descriptor->Item, segment)) return false;

  const Form form = FormOf(*this, *descriptor);
  std::optional<int64_t> value;
  switch (form.kind) {
    case Form::kInvalid:
    case Form::kRefused:
    case Form::kNone:
      return false;
    case Form::kHex:
      value = ParseHexWord(text);
      break;
    case Form::kTime: {
      // Kind 3 outside the program shows a time but takes a plain number of
      // time units.
      const bool timeText = descriptor->FormatKind != 3 || descriptor->Bank == kProgramBank;
      if (timeText) {
        value = ParseTimeText(text, ColonTimes(*this));
      } else if (ScanNumber(text)) {
        const Decimal x = ReadDecimal(text);
        value = ColonTimes(*this) ? Floor(x) : Scale(x, 1);
      }
      break;
    }
    case Form::kFixed:
      if (ScanNumber(text)) {
        const Decimal x = ReadDecimal(text);
        value = form.whole ? Whole(x) : Scale(x, form.decimals);
      }
      break;
  }
  if (!value || *value < -32768 || *value > 32767) return false;
  const auto word = static_cast<int16_t>(*value);
  if (!CheckRange(descriptor, word, pattern, segment)) return false;
  descriptor->Value = word;
  AfterSet(descriptor, pattern, segment);
  return true;
}

// ---- the entry points ----

bool TCore::GetParamText(int group, int item, int sub, int pattern, std::string& valueText,
                         std::string& nameText) {
  valueText.clear();
  nameText.clear();
  ParamDescriptor* d = DescriptorPtr(group, item, sub);
  if (!d) return false;
  // Only a record of entry kind 0 shows a value; only then is a program cell needed.
  if (d->EntryKind == 0) {
    if (group == kProgramBank) {
      PatternSlot* cell = PatternSlotPtr(pattern, item, sub);
      if (!cell) return false;
      d->Value = cell->Value;
    }
    FormatValue(d, valueText);  // a failed format leaves it empty
  }

  if (!GetSpecialName(d, nameText)) {
    const char* name = Language == 1 ? d->NameEn : Language == 2 ? d->NameThird : d->NameJa;
    nameText = name ? name : "";
  }

  switch (GetDisplayRule(d, pattern, sub)) {
    case 1:
      nameText = "----";
      valueText = "----";
      break;
    case 2:
      valueText = "----";
      break;
    case 3:
      nameText.clear();
      break;
    default:
      break;
  }
  return true;
}

bool TCore::SetParamText(int group, int item, int sub, int pattern, std::string_view text) {
  ParamDescriptor* d = DescriptorPtr(group, item, sub);
  if (!d) return false;
  if (d->EntryKind != 0) return true;
  PatternSlot* cell = nullptr;
  if (group == kProgramBank) {
    cell = PatternSlotPtr(pattern, item, sub);
    if (!cell) return false;
  }
  // For a program item the dependent updates run before the cell takes the
  // new value (the SP1 update asks whether the segment was still empty).
  if (!ParseValue(d, text, pattern, sub)) return false;
  if (cell) cell->Value = d->Value;
  return true;
}
