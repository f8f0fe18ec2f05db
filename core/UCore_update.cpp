// Dependent updates after an accepted edit, and the names that depend on the
// controller variant or the data revision.
#include <string>

#include "UCore.h"
#include "ValueRules.h"

using namespace kvl::values;

// ---- dependent updates ----

namespace {

// An event ON time was set to on: an OFF time that is not later follows it
// one unit behind; an ON time at the end of the range empties the OFF time.
void PushOffTime(TCore& core, int pattern, int onItem, int segment, int on) {
  PatternSlot* off = core.PatternSlotPtr(pattern, onItem + 1, segment);
  if (!off) return;
  if (on >= 5999)
    off->Value = kEmptyValue;
  else if (off->Value <= on)
    off->Value = static_cast<int16_t>(on + 1);
}

}  // namespace

void TCore::AfterSet(const ParamDescriptor* descriptor, int pattern, int segment) {
  if (!descriptor) return;
  const ParamDescriptor& d = *descriptor;
  const int item = d.Item;
  switch (d.RangeCheckKind) {
    case 0: {
      // The first SP1 of a segment starts it: TIME 0 and SP2 inside its limits.
      if (d.Bank != kProgramBank || item != 1) return;
      PatternSlot* sp1 = PatternSlotPtr(pattern, 1, segment);
      PatternSlot* time = PatternSlotPtr(pattern, 2, segment);
      PatternSlot* sp2 = PatternSlotPtr(pattern, 3, segment);
      if (!sp1 || !time || !sp2 || sp1->Value != kEmptyValue) return;
      const int low = SetupValue(*this, 32);
      const int high = SetupValue(*this, 33);
      time->Value = 0;
      sp2->Value = static_cast<int16_t>(low > 0 ? low : high < 0 ? high : 0);
      return;
    }
    case 3:
      if (d.Bank == kProgramBank && GoverningEventType(*this, d) == kTimeEventType)
        PushOffTime(*this, pattern, item, segment, d.Value);
      return;
    case 5:
      if (d.Bank == kProgramBank && (DataRevision == 0 || TimeEventType(*this, item) == kTimeEventType))
        PushOffTime(*this, pattern, item, segment, d.Value);
      return;
    case 14:
      // Only the setup data: other on/off settings share these item numbers.
      if (d.Bank != kSetupBank) return;
      switch (item) {
        case 2:
          ApplyInput1Range(true);
          return;
        case 22:
          ApplyInput2Range(true);
          return;
        case 18:
        case 44:
        case 45:
          Model.UpdateModelFlags();
          return;
        case 75:
        case 76:
        case 77:
          Model.ApplyOutputSelection();
          BuildModelCode();
          Model.UpdateModelFlags();
          return;
        default:
          return;
      }
    case 19:
      if (d.Bank == kSetupBank && item == 41) Model.UpdateModelFlags();
      return;
    case 41:
      ApplyInput1Range(true);
      return;
    case 45:
      ApplyInput2Range(true);
      return;
    default:
      return;
  }
}

// ---- configuration-dependent names ----

namespace {

struct NameText {
  const char* en;
  const char* ja;
};

constexpr NameText kEventOn{"EV%d   :event%d Operating point", "EV%d   :ｲﾍﾞﾝﾄ%d 動作点"};
constexpr NameText kTimeEventOn{"T%d    :time event%d Operating point", "T%d    :ﾀｲﾑｲﾍﾞﾝﾄ%d 動作点"};
constexpr NameText kGsTimeOut{"G.S.TO:GS time-out", "G.S.TO:GSﾀｲﾑｱｳﾄ時間"};
constexpr NameText kDiffHeatCool{"21:DIFF :Heat/cool control dead zone", "21:DIFF :ﾋｰﾄｸｰﾙ制御ﾃﾞｯﾄﾞｿﾞｰﾝ"};
constexpr NameText kDiffPosition{"21:DIFF :Position-proportional dead zone", "21:DIFF :位置比例制御ﾃﾞｯﾄﾞｿﾞｰﾝ"};
constexpr NameText kCy3Unused{"24:CY.3 :Unused", "24:CY.3 :未使用"};
constexpr NameText kTbiUnused{" 6:T-BI  :Unused", " 6:T-BI  :未使用"};
constexpr NameText kGassUnused{" 7:GASS  :Unused", " 7:GASS  :未使用"};
constexpr NameText kC01{"C01:Control action (CH1)", "C01:制御動作(CH1)"};
constexpr NameText kC11{"C11:PID set auto-switching(CH1)", "C11:PID組自動切替え(CH1)"};
constexpr NameText kC12{"C12:MV1 setting at input 1 over-range", "C12:入力1ｵｰﾊﾞｰﾚﾝｼﾞ時操作量設定(MV1)"};
constexpr NameText kC13{"C13:MV1 at input 1 overrange", "C13:入力1ｵｰﾊﾞｰﾚﾝｼﾞ時操作量(MV1)"};
constexpr NameText kC14{"C14:Manual change mode(MV1)", "C14:MANUAL変更ﾓｰﾄﾞ(MV1)"};
constexpr NameText kC15{"C15:Preset manual value(MV1)", "C15:ﾌﾟﾘｾｯﾄMANUAL値(MV1)"};
constexpr NameText kC18{"C18:Main output type (CH1)", "C18:主出力種類(CH1)"};
constexpr NameText kSetupUnused{"C%d:Unused", "C%d:未使用"};
constexpr NameText kC29{"C29:CP computation compensation", "C29:CP演算折線近似"};
constexpr NameText kC30{"C30:CP display lower limit", "C30:CP表示下限"};
constexpr NameText kC31{"C31:CP display upper limit", "C31:CP表示上限"};
constexpr NameText kC49{"C49:Auxiliary output type", "C49:補助出力種類"};
constexpr NameText kC50{"C50:Auxiliary output lower limit(4mA)", "C50:補助出力下限(4mA)"};
constexpr NameText kC51{"C51:Auxiliary output upper limit(20mA)", "C51:補助出力上限(20mA)"};
constexpr NameText kC94Unused{"C94:Unused", "C94:未使用"};
constexpr NameText kSp2Unused{" 3:SP2  :Unused", " 3:SP2  :未使用"};

// The pattern with every "%d" replaced by the number.
std::string Fill(const char* pattern, int number) {
  std::string text = pattern;
  const std::string digits = std::to_string(number);
  for (size_t at = text.find("%d"); at != std::string::npos; at = text.find("%d", at + digits.size()))
    text.replace(at, 2, digits);
  return text;
}

// The special name of a record, or nullptr when the catalogue name applies.
// number receives the value for the names with a "%d".
const NameText* SpecialName(TCore& core, const ParamDescriptor& d, int& number) {
  const bool twoLoop = TwoLoop(core);
  const uint16_t h1 = core.Model.HardwareType1;
  const uint16_t h2 = core.Model.HardwareType2;
  const int i = d.Item;
  number = i;
  switch (d.Bank) {
    case kProgramBank:
      if ((i == 4 || i == 6 || i == 8) && GoverningEventType(core, d) != kTimeEventType) {
        number = i / 2 - 1;
        return &kEventOn;
      }
      if (i >= 10 && i <= 18 && i % 2 == 0 && core.DataRevision == 1 &&
          TimeEventType(core, i) != kTimeEventType) {
        number = i / 2 - 4;
        return &kTimeEventOn;
      }
      if (i == 23 && !twoLoop) return &kGsTimeOut;
      return nullptr;
    case kVariableBank:
      if (i == 21) {
        if (h1 & 0x80) return &kDiffHeatCool;
        if (h1 & 0x08) return &kDiffPosition;
      }
      if (i == 24 && !twoLoop) return &kCy3Unused;
      return nullptr;
    case 4:
      if (h2 & 0x04) return nullptr;
      if (i == 6) return &kTbiUnused;
      if (i == 7) return &kGassUnused;
      return nullptr;
    case kSetupBank:
      if (twoLoop) {
        switch (i) {
          case 1: return &kC01;
          case 11: return &kC11;
          case 12: return &kC12;
          case 13: return &kC13;
          case 14: return &kC14;
          case 15: return &kC15;
          case 18: return &kC18;
          case 46: case 47: case 48: return &kSetupUnused;
          case 49: return &kC49;
          case 50: return &kC50;
          case 51: return &kC51;
          default: break;
        }
      } else if ((i >= 21 && i <= 28) || (i >= 32 && i <= 44) || i == 77 || i == 80 || i == 92) {
        return &kSetupUnused;
      }
      if (h2 & 0x04) {
        if (i == 29) return &kC29;
        if (i == 30) return &kC30;
        if (i == 31) return &kC31;
      }
      if (i == 94 && core.DataRevision == 0) return &kC94Unused;
      return nullptr;
    case kConstantBank:
      if (i == 3 && !twoLoop) return &kSp2Unused;
      return nullptr;
    default:
      return nullptr;
  }
}

}  // namespace

bool TCore::GetSpecialName(const ParamDescriptor* descriptor, std::string& nameText) {
  if (!descriptor) return false;
  int number = 0;
  const NameText* name = SpecialName(*this, *descriptor, number);
  if (!name) return false;
  nameText = Fill(Language == 0 ? name->ja : name->en, number);
  return true;
}
