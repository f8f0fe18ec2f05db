// The value chooser's lists.
#include "ValueChooser.h"

#include <string>

#include "ChoiceTables.h"
#include "UCore.h"

namespace {

constexpr int kProgramGroup = 1;
constexpr int kEventTypeTable = 52;
constexpr int kAuxOutputTable = 53;

// Left edges of the chooser over a program cell and over any other cell.
constexpr int kProgramLeft = 210;
constexpr int kParameterLeft = 10;

// One rewritten entry in both languages.
struct Text2 {
  const char* ja;
  const char* en;
};

// Same text in both languages.
constexpr Text2 Both(const char* text) { return {text, text}; }

void Put(int table, int row, int entry, const Text2& text, bool japanese) {
  SetChoiceText(table, row, entry, japanese ? text.ja : text.en);
}

// Puts texts[0..n-1] into entries first..first+n-1.
template <int N>
void PutRun(int table, int row, int first, const Text2 (&texts)[N], bool japanese) {
  for (int i = 0; i < N; ++i) Put(table, row, first + i, texts[i], japanese);
}

// ---- table 53: auxiliary output types ----

constexpr Text2 kAuxMfb = Both(" 8:MFB");
constexpr Text2 kAuxNop8 = Both(" 8:NOP");

constexpr Text2 kAuxSingleLoop[8] = {
    Both(" 0:PV"),  Both(" 1:SP"),  {" 2:偏差", " 2:Deviation"}, Both(" 3:MV"),
    Both(" 4:NOP"), Both(" 5:NOP"), Both(" 6:NOP"),              Both(" 7:NOP"),
};
constexpr Text2 kAuxTwoLoop[8] = {
    Both(" 0:PV1"), Both(" 1:SP1"), {" 2:偏差1", " 2:Deviation 1"}, Both(" 3:MV1"),
    Both(" 4:PV2"), Both(" 5:SP2"), {" 6:偏差2", " 6:Deviation 2"}, Both(" 7:MV2"),
};

constexpr Text2 kAuxHumidity[2] = {Both(" 9:PVw"), Both("10:SPw")};
constexpr Text2 kAuxNoHumidity[2] = {Both(" 9:NOP"), Both("10:NOP")};
constexpr Text2 kAuxOxygen = {"11:PVq(O2ｾﾝｻmV)", "11:PVq(O2 sensor mV)"};
constexpr Text2 kAuxNop11 = Both("11:NOP");

// ---- table 52: event types ----

constexpr Text2 kEventMfb[3] = {
    {" 10:MFB正", " 10:MFB direct"},
    {" 11:MFB逆", " 11:MFB reverse"},
    {"110:MFB推定位置制御", "110:MFB estimated position control"},
};
constexpr Text2 kEventNoMfb[3] = {Both(" 10:NOP"), Both(" 11:NOP"), Both("110:NOP")};
constexpr int kEventMfbEntries[3] = {10, 11, 110};

constexpr Text2 kEventLoop2[10] = {
    {" 12:PV2正", " 12:PV2 direct"},
    {" 13:PV2逆", " 13:PV2 reverse"},
    {" 14:偏差2正", " 14:Deviation 2 direct"},
    {" 15:偏差2逆", " 15:Deviation 2 reverse"},
    {" 16:絶対値偏差2正", " 16:Absolute value deviation 2 direct"},
    {" 17:絶対値偏差2逆", " 17:Absolute value deviation 2 reverse"},
    {" 18:SP2正", " 18:SP2 direct"},
    {" 19:SP2逆", " 19:SP2 reverse"},
    {" 20:MV2正", " 20:MV2 direct"},
    {" 21:MV2逆", " 21:MV2 reverse"},
};
constexpr Text2 kEventNoLoop2[10] = {
    Both(" 12:NOP"), Both(" 13:NOP"), Both(" 14:NOP"), Both(" 15:NOP"), Both(" 16:NOP"),
    Both(" 17:NOP"), Both(" 18:NOP"), Both(" 19:NOP"), Both(" 20:NOP"), Both(" 21:NOP"),
};

// Entries 106..108: the states that a two-loop model forms as the OR of both
// channels.
constexpr Text2 kEventStatesSingle[3] = {
    {"106:G.SOAK待ち", "106:G.Soak standby (logical OR of CH1 and CH2)"},
    {"107:MANUAL", "107:MANUAL (logical OR of CH1 and CH2)"},
    {"108:ｵｰﾄﾁｭｰﾆﾝｸﾞ実行中", "108:Auto-tuning executing (logical OR of CH1 and CH2)"},
};
constexpr Text2 kEventStatesTwo[3] = {
    {"106:G.SOAK待ち(CH1とCH2の和)", "106:G.Soak standby (logical OR of CH1 and CH2)"},
    {"107:MANUAL(CH1とCH2の和)", "107:MANUAL (logical OR of CH1 and CH2)"},
    {"108:ｵｰﾄﾁｭｰﾆﾝｸﾞ実行中(CH1とCH2の和)", "108:Auto-tuning executing (logical OR of CH1 and CH2)"},
};

// Entries 119..124: the same states per channel.
constexpr Text2 kEventChannelStates[6] = {
    {"119:G.SOAK待ち(CH1)", "119:G.Soak standby (CH1)"},
    {"120:G.SOAK待ち(CH2)", "120:G.Soak standby (CH2)"},
    Both("121:MANUAL(CH1)"),
    Both("122:MANUAL(CH2)"),
    {"123:ｵｰﾄﾁｭｰﾆﾝｸﾞ実行中(CH1)", "123:Auto-tuning executing (CH1)"},
    {"124:ｵｰﾄﾁｭｰﾆﾝｸﾞ実行中(CH2)", "124:Auto-tuning executing (CH2)"},
};
constexpr Text2 kEventNoChannelStates[6] = {
    Both("119:NOP"), Both("120:NOP"), Both("121:NOP"), Both("122:NOP"), Both("123:NOP"), Both("124:NOP"),
};

constexpr Text2 kEventHumidity[4] = {
    {" 22:PVw正", " 22:PVw direct"},
    {" 23:PVw逆", " 23:PVw reverse"},
    {" 26:SPw正", " 26:SPw direct"},
    {" 27:SPw逆", " 27:SPw reverse"},
};
constexpr Text2 kEventNoHumidity[4] = {Both(" 22:NOP"), Both(" 23:NOP"), Both(" 26:NOP"), Both(" 27:NOP")};
constexpr int kEventHumidityEntries[4] = {22, 23, 26, 27};

constexpr Text2 kEventOxygen[3] = {
    {" 24:PVq正", " 24:PVq direct"},
    {" 25:PVq逆", " 25:PVq reverse"},
    {"118:O2ｾﾝｻｲﾝﾋﾟｰﾀﾞﾝｽ異常", "118:O2 sensor error"},
};
constexpr Text2 kEventNoOxygen[3] = {Both(" 24:NOP"), Both(" 25:NOP"), Both("118:NOP")};
constexpr int kEventOxygenEntries[3] = {24, 25, 118};

constexpr Text2 kEventProgramEnd = {"125:運転終了ｲﾍﾞﾝﾄ", "125:Program end"};
constexpr Text2 kEventNop125 = Both("125:NOP");

// Puts texts[i] into entries[i].
template <int N>
void PutAt(int table, int row, const int (&entries)[N], const Text2 (&texts)[N], bool japanese) {
  for (int i = 0; i < N; ++i) Put(table, row, entries[i], texts[i], japanese);
}

// ---- the parameter list ----

// The groups of the parameter list in list order.
constexpr int kListOrder[] = {10, 6, 7, 3, 4, 5, 9, 8};
constexpr int kListGroupCount = static_cast<int>(sizeof kListOrder / sizeof kListOrder[0]);

int ListSlotOfGroup(int group) {
  for (int i = 0; i < kListGroupCount; ++i)
    if (kListOrder[i] == group) return i;
  return -1;
}

}  // namespace

bool TValueChooser::TwoLoop() const { return (Core.Model.HardwareType1 & 0x800) != 0; }

int TValueChooser::ChoiceTableOf(int choiceTableId) const {
  int tables[3] = {0, 0, 0};
  const int count = ChoiceTablesOfId(choiceTableId, tables);
  if (count < 1) return 0;

  const uint16_t h2 = Core.Model.HardwareType2;
  const bool humidity = (h2 & 0x02) != 0;
  const bool carbon = (h2 & 0x04) != 0;
  const bool revision0 = Core.DataRevision == 0;
  int pick = 0;  // index among the candidates, in their listed order
  switch (choiceTableId) {
    case 11:  // 5 with humidity, else 6
      pick = humidity ? 0 : 1;
      break;
    case 14:  // 45 at revision 0, else 46
    case 32:  // 31 at revision 0, else 32
      pick = revision0 ? 0 : 1;
      break;
    case 22:  // 24 single-loop, 25 two-loop
    case 34:  // 13 / 14
    case 45:  // 49 / 50
      pick = TwoLoop() ? 1 : 0;
      break;
    case 24:  // 56 with carbon potential, else 55
      pick = carbon ? 1 : 0;
      break;
    case 26:  // 27 with humidity, else 26
      pick = humidity ? 1 : 0;
      break;
    case 30:  // 37 single-loop; two-loop: 39 with carbon potential, else 38
      pick = !TwoLoop() ? 0 : (carbon ? 2 : 1);
      break;
    default:
      break;
  }
  return pick < count ? tables[pick] : 0;
}

void TValueChooser::RewriteAuxOutputTable(int language) {
  const int t = kAuxOutputTable;
  const int row = ChoiceRowOfLanguage(language);
  const bool ja = language == 0;
  const uint16_t h1 = Core.Model.HardwareType1;
  const uint16_t h2 = Core.Model.HardwareType2;

  Put(t, row, 8, (h1 & 0x08) ? kAuxMfb : kAuxNop8, ja);
  PutRun(t, row, 0, TwoLoop() ? kAuxTwoLoop : kAuxSingleLoop, ja);
  PutRun(t, row, 9, (h2 & 0x02) ? kAuxHumidity : kAuxNoHumidity, ja);
  Put(t, row, 11, (h2 & 0x04) ? kAuxOxygen : kAuxNop11, ja);
}

void TValueChooser::RewriteEventTypeTable(int language) {
  const int t = kEventTypeTable;
  const int row = ChoiceRowOfLanguage(language);
  const bool ja = language == 0;
  const uint16_t h1 = Core.Model.HardwareType1;
  const uint16_t h2 = Core.Model.HardwareType2;

  PutAt(t, row, kEventMfbEntries, (h1 & 0x08) ? kEventMfb : kEventNoMfb, ja);
  if (TwoLoop()) {
    PutRun(t, row, 12, kEventLoop2, ja);
    PutRun(t, row, 106, kEventStatesTwo, ja);
    PutRun(t, row, 119, kEventChannelStates, ja);
  } else {
    PutRun(t, row, 12, kEventNoLoop2, ja);
    PutRun(t, row, 106, kEventStatesSingle, ja);
    PutRun(t, row, 119, kEventNoChannelStates, ja);
  }
  PutAt(t, row, kEventHumidityEntries, (h2 & 0x02) ? kEventHumidity : kEventNoHumidity, ja);
  PutAt(t, row, kEventOxygenEntries, (h2 & 0x04) ? kEventOxygen : kEventNoOxygen, ja);
  Put(t, row, 125, Core.DataRevision == 0 ? kEventNop125 : kEventProgramEnd, ja);
}

TChoiceList TValueChooser::SetChoiceList(const char* const* table, int count, int16_t value, int language) {
  TChoiceList list;
  if (table == nullptr || count < 1) return list;
  const char* const* row = table + static_cast<size_t>(ChoiceRowOfLanguage(language)) * count;
  list.Texts.reserve(static_cast<size_t>(count));
  for (int e = 0; e < count; ++e) {
    const char* text = row[e] ? row[e] : "";
    int number = 0;
    if (list.Selected < 0 && ChoiceValue(text, &number) && number == value) list.Selected = e;
    list.Texts.emplace_back(text);
  }
  return list;
}

TChoiceList TValueChooser::SetParameterList(int16_t value, int language) {
  const bool twoLoop = TwoLoop();
  const bool carbon = (Core.Model.HardwareType2 & 0x04) != 0;
  const bool revision0 = Core.DataRevision == 0;

  std::vector<std::string> groups[kListGroupCount];
  std::string remembered;
  bool found = false;
  for (int i = 0; i < Core.GetParamCount(); ++i) {
    ParamDescriptor* d = Core.SetupRecord(i);
    const int group = d->Bank;
    const int slot = ListSlotOfGroup(group);
    if (slot < 0) continue;
    if (!twoLoop && (group == 4 || group == 7)) continue;
    if (revision0 && group == 5 && d->Item >= 14) continue;
    if (group == 9 && ((!twoLoop && d->Sub >= 3) || (!carbon && d->Sub >= 5))) continue;

    std::string name;
    if (!Core.GetSpecialName(d, name)) {
      const char* catalogueName = language == 1 ? d->NameEn : language == 2 ? d->NameThird : d->NameJa;
      name = catalogueName ? catalogueName : "";
    }
    if (group == 6 || group == 7) {
      name += "-" + std::to_string(d->Sub);
    } else if (group == 9) {
      const char column = (d->Sub >= 1 && d->Sub <= 6) ? static_cast<char>('A' + d->Sub - 1) : 'A';
      name += '-';
      name += column;
    }

    std::string text = std::to_string(d->Address) + ":" + name;
    if (!found && d->Address == value) {
      remembered = text;
      found = true;
    }
    groups[slot].push_back(std::move(text));
  }

  TChoiceList list;
  for (auto& g : groups)
    for (auto& text : g) list.Texts.push_back(std::move(text));
  if (found) {
    for (size_t e = 0; e < list.Texts.size(); ++e) {
      if (list.Texts[e] == remembered) {
        list.Selected = static_cast<int>(e);
        break;
      }
    }
  }
  return list;
}

TChooserView TValueChooser::ShowChoiceCombo(int group, int item, int sub, int pattern, int language) {
  TChooserView view;
  ParamDescriptor* d = Core.GetParam(group, item, sub, 0);
  if (!d) return view;  // Keep
  if (group == kProgramGroup) {
    const PatternSlot* cell = Core.GetPatternValue(pattern, item, sub);
    if (!cell) return view;
    d->Value = cell->Value;
  }

  view.Action = TChooserAction::Hide;
  const int state = Core.GetSegmentCellState(group, pattern, item, sub);
  if (state == 1) return view;
  if (state != 2) {
    std::string valueText, nameText;
    Core.GetParamText(group, item, sub, pattern, valueText, nameText);
    if (valueText == "----") return view;
  }

  const int id = d->ChoiceTableId;
  if (id == kChoiceIdParameterList) {
    view.List = SetParameterList(d->Value, language);
  } else {
    const int table = ChoiceTableOf(id);
    if (table == 0) return view;
    if (id == kChoiceIdEventType) RewriteEventTypeTable(language);
    if (id == kChoiceIdAuxOutputType) RewriteAuxOutputTable(language);
    // The table's first text and its count through the bounds-checked
    // accessors (an unknown table gives no texts).
    view.List = SetChoiceList(ChoiceRow(table, kChoiceRowJapanese), ChoiceCount(table), d->Value, language);
  }
  view.Action = TChooserAction::Show;
  view.Left = group == kProgramGroup ? kProgramLeft : kParameterLeft;
  return view;
}
