#include "ModelWords.h"

#include <cstdio>

#include "UCore.h"

// ---- the wizard's item lists ----

const TItemTable BasicModelTexts = {
    4,
    {{"&0:Q41ﾓﾃﾞﾙ", "&1:Q42入力2ﾁｬﾝﾈﾙﾓﾃﾞﾙ", "&2:Q42温湿度演算ﾓﾃﾞﾙ", "&3:Q42ｶｰﾎﾞﾝﾎﾟﾃﾝｼｬﾙ演算ﾓﾃﾞﾙ"},
     {"&0:Q41A Input 1 channel Digital Program Controller (single-loop model)", "&1:Q42A Input 2 channel Digital Program Controller (2-loop model)", "&2:Q42A Temperature/humidity calculation Digital Program Controller (2-loop model)", "&3:Q42A Carbon potential Provided Digital Program Controller (2-loop model)"}}};

const TItemTable OutputTypeTexts1 = {
    6,
    {{"&0:0D ﾘﾚｰ", "&1:2G 位置比例", "&2:5G 電流 (6D出力へ変更可能)", "&3:6D 電圧 (5G出力へ変更可能)", "&4:3D ﾋｰﾄｸｰﾙ(ﾘﾚｰ+ﾘﾚｰ)", "&5:5K ﾋｰﾄｸｰﾙ(電流+電流) (電流⇔電圧の変更可能)"},
     {"&0:0D Relay", "&1:2G Position-proportional", "&2:5G Current output(changeable to 6D output)", "&3:6D Voltage output(changeable to 5D output)", "&4:3D Heat-cool, relay + relay", "&5:5K Heat-cool, current + current(changeable between current output and voltage output)"}}};

const TItemTable OutputTypeTexts2 = {
    5,
    {{"&0:0D ﾘﾚｰ+電流 (電流⇔電圧の変更可能)", "&1:5G 電流+電流 (電流⇔電圧の変更可能)", "&2:2G 位置比例+電流 (電流⇔電圧の変更可能)", "&3:3D ﾋｰﾄｸｰﾙ(ﾘﾚｰ+ﾘﾚｰ+電流) (電流⇔電圧の変更可能)", "&4:5K ﾋｰﾄｸｰﾙ(電流+電流+電流) (電流⇔電圧の変更可能)"},
     {"&0:0D Relay + current(changeable between current output and voltage output)", "&1:5G Current + current(changeable between current output and voltage output)", "&2:2G Position-proportional + current(changeable between current output and voltage output)", "&3:3D Heat-cool(relay + relay + current)(changeable between current output and voltage output)", "&4:5K Heat-cool(current + current + current)(changeable between current output and voltage output)"}}};

const TItemTable AuxOutputTexts1 = {
    1,
    {{"0&0:補助出力なし"},
     {"0&0:No auxiliary output"}}};

const TItemTable AuxOutputTexts2 = {
    2,
    {{"0&0:補助出力なし", "0&1:補助出力1点付き"},
     {"0&0:No auxiliary output", "0&1:1 auxiliary output"}}};

const TItemTable AuxOutputTexts3 = {
    3,
    {{"0&0:補助出力なし", "0&1:補助出力1点付き", "0&2:補助出力2点付き"},
     {"0&0:No auxiliary output", "0&1:1 auxiliary output", "0&2:2 auxiliary output"}}};

const TItemTable Option2Texts = {
    3,
    {{"&0:外部ｽｲｯﾁ入力4点､ﾀｲﾑｲﾍﾞﾝﾄなし､通信なし", "&1:外部ｽｲｯﾁ入力12点､ﾀｲﾑｲﾍﾞﾝﾄ5点付き､通信なし", "&2:外部ｽｲｯﾁ入力12点､ﾀｲﾑｲﾍﾞﾝﾄ5点付き､RS-485通信付き"},
     {"&0:External switch inputs (4), time events not supported , RS-485 communications not supported ", "&1:External switch inputs (12), 5 time events , RS-485 communications not supported ", "&2:External switch inputs (12), 5 time events , RS-485 communications"}}};

namespace {

// Output codes with the output-type index of the wizard that shows them; the
// first code of each index is the one the wizard produces.
struct CodeIndex {
  uint16_t Code;
  int Index;
};

constexpr CodeIndex kSingleLoopCodes[] = {
    {0x01, 0}, {0x08, 1}, {0x04, 2}, {0x02, 3}, {0x91, 4}, {0xC4, 5}, {0xC2, 5}, {0xA4, 5}, {0xA2, 5},
};

constexpr CodeIndex kTwoLoopCodes[] = {
    {0x841, 0}, {0x821, 0}, {0x844, 1}, {0x842, 1}, {0x824, 1}, {0x822, 1}, {0xC08, 2},
    {0xA08, 2}, {0xC91, 3}, {0xA91, 3}, {0xCC4, 4}, {0xCC2, 4}, {0xCA4, 4}, {0xCA2, 4},
    {0xAC4, 4}, {0xAC2, 4}, {0xAA4, 4}, {0xAA2, 4},
};

// The wizard's output index of a code, or -1 when the code is not valid for the model.
int OutputIndexOf(uint16_t code, bool twoLoop) {
  if (twoLoop) {
    for (const CodeIndex& c : kTwoLoopCodes)
      if (c.Code == code) return c.Index;
  } else {
    for (const CodeIndex& c : kSingleLoopCodes)
      if (c.Code == code) return c.Index;
  }
  return -1;
}

constexpr uint16_t kBasicWords[] = {0, 1, 2, 4};
constexpr uint16_t kSingleLoopOutputs[] = {0x01, 0x08, 0x04, 0x02, 0x91, 0xC4};
constexpr uint16_t kTwoLoopOutputs[] = {0x841, 0x844, 0xC08, 0xC91, 0xCC4};

int Clamp(int index, int count) {
  if (index < 0) return 0;
  if (index >= count) return count - 1;
  return index;
}

// Option-1 list for a basic model and output type: outputs that leave no room
// for an auxiliary output offer fewer items.
const TItemTable* AuxItemsFor(bool twoLoop, int outputIndex) {
  if (twoLoop) return (outputIndex >= 2) ? &AuxOutputTexts1 : &AuxOutputTexts2;
  return (outputIndex == 1 || outputIndex == 4 || outputIndex == 5) ? &AuxOutputTexts2 : &AuxOutputTexts3;
}

}  // namespace

// ---- the wizard's choices ----

void TModelChoices::SelectBasic(int index) {
  index = Clamp(index, BasicModelTexts.Count);
  if (index == BasicIndex) return;
  BasicIndex = index;
  OutputItems = IsTwoLoop() ? &OutputTypeTexts2 : &OutputTypeTexts1;
  AuxItems = AuxItemsFor(IsTwoLoop(), 0);
  OutputIndex = 0;
  AuxIndex = 0;
}

void TModelChoices::SelectOutput(int index) {
  index = Clamp(index, OutputItems->Count);
  if (index == OutputIndex) return;
  OutputIndex = index;
  AuxItems = AuxItemsFor(IsTwoLoop(), OutputIndex);
  AuxIndex = 0;
}

void TModelChoices::SelectAux(int index) { AuxIndex = Clamp(index, AuxItems->Count); }

void TModelChoices::SelectOption2(int index) { Option2Index = Clamp(index, Option2Texts.Count); }

std::string TModelChoices::ModelNumber(int language) const {
  const std::string basic = BasicModelTexts.Item(language, BasicIndex);
  const std::string output = OutputItems->Item(language, OutputIndex);
  const std::string aux = AuxItems->Item(language, AuxIndex);
  const std::string option2 = Option2Texts.Item(language, Option2Index);
  std::string number = basic.substr(3, 3) + "A" + output.substr(3, 2);
  number += static_cast<char>('0' + BasicIndex);
  number += "AS0";
  number += aux[2];
  number += option2[1];
  number += "**";
  return number;
}

// ---- the model words ----

int16_t TModelWords::SetupValue(int item) const {
  const ParamDescriptor* d = Core.GetParam(8, item, 1, 0);
  return d ? d->Value : 0;
}

void TModelWords::SetSetupValue(int item, int16_t value) {
  if (ParamDescriptor* d = Core.GetParam(8, item, 1, 0)) d->Value = value;
}

TModelNumberPreview TModelWords::ControlsToModel(int mode, int basicIndex, int outputIndex, int auxIndex,
                                                 int option2Index) {
  TModelChoices choices;
  choices.SelectBasic(basicIndex);
  choices.SelectOutput(outputIndex);
  choices.SelectAux(auxIndex);
  choices.SelectOption2(option2Index);

  const bool twoLoop = choices.IsTwoLoop();
  const uint16_t basic = kBasicWords[choices.BasicIndex];
  const uint16_t output = twoLoop ? kTwoLoopOutputs[choices.OutputIndex] : kSingleLoopOutputs[choices.OutputIndex];
  uint16_t aux = 0;
  if (twoLoop) {
    if (choices.AuxIndex == 1) aux = 0x8000;
  } else if (choices.AuxIndex == 1) {
    const int o = choices.OutputIndex;
    aux = (o == 0 || o == 2 || o == 3) ? 0x4000 : 0x8000;
  } else if (choices.AuxIndex == 2) {
    aux = 0xC000;
  }
  const uint16_t option2 = choices.Option2Index == 1 ? 0x30 : choices.Option2Index == 2 ? 0xB0 : 0;

  TModelNumberPreview preview;
  preview.ModelNumber = choices.ModelNumber(Core.Language);
  char words[24];
  std::snprintf(words, sizeof words, "%04X:%04X:%04X:%04X", aux, output, option2, basic);
  preview.WordsText = words;
  if (mode == 1) {
    AuxWord = aux;
    OutputWord = output;
    Option2Word = option2;
    BasicWord = basic;
  }
  return preview;
}

TModelChoices TModelWords::ModelToControls() const {
  TModelChoices choices;
  const int basic = HardwareType2 & 7;
  choices.SelectBasic(basic == 1 ? 1 : basic == 2 ? 2 : basic == 4 ? 3 : 0);

  const int outputIndex = OutputIndexOf(HardwareType1 & 0xEFF, choices.IsTwoLoop());
  choices.SelectOutput(outputIndex < 0 ? 0 : outputIndex);

  int auxIndex = 0;
  if (!choices.IsTwoLoop() && (HardwareType1 & 0xC000) == 0xC000)
    auxIndex = 2;
  else if (HardwareType1 >= 0x4000)
    auxIndex = 1;
  choices.SelectAux(auxIndex);

  const int option2 = HardwareType2 & 0xB0;
  choices.SelectOption2(option2 == 0x30 ? 1 : option2 == 0xB0 ? 2 : 0);
  return choices;
}

void TModelWords::ApplyModelDefaults() {
  const uint16_t code = OutputWord & 0xEFF;
  const uint16_t basic = BasicWord & 7;
  if (OutputIndexOf(code, basic != 0) >= 0) {
    // A voltage output selects 1, a current output 0; relay and
    // position-proportional outputs have no selection.
    if (code & 0x002) SetSetupValue(75, 1);
    if (code & 0x004) SetSetupValue(75, 0);
    if (code & 0x020) SetSetupValue(76, 1);
    if (code & 0x040) SetSetupValue(76, 0);
    if (code & 0x200) SetSetupValue(77, 1);
    if (code & 0x400) SetSetupValue(77, 0);
  }
  HardwareType1 = code | (AuxWord & 0xC000);
  HardwareType2 = basic | (Option2Word & 0xB0);
  SetSetupValue(96, static_cast<int16_t>(HardwareType1));
  SetSetupValue(97, static_cast<int16_t>(HardwareType2));
}

void TModelWords::ApplyOutputSelection() {
  uint16_t code = HardwareType1 & 0xEFF;
  const int c75 = SetupValue(75);
  const int c76 = SetupValue(76);
  const int c77 = SetupValue(77);
  if (BasicModelIsTwoLoop()) {
    static constexpr uint16_t kTwoOutputs[] = {0x844, 0x842, 0x824, 0x822};
    static constexpr uint16_t kThreeOutputs[] = {0xCC4, 0xCC2, 0xCA4, 0xCA2, 0xAC4, 0xAC2, 0xAA4, 0xAA2};
    switch (OutputIndexOf(code, true)) {
      case 0:
        code = c76 ? 0x821 : 0x841;
        break;
      case 1: {
        const int n = c75 + 2 * c76;
        code = (n >= 0 && n <= 3) ? kTwoOutputs[n] : 0x844;
        break;
      }
      case 2:
        code = c77 ? 0xA08 : 0xC08;
        break;
      case 3:
        code = c77 ? 0xA91 : 0xC91;
        break;
      case 4: {
        const int n = c75 + 2 * c76 + 4 * c77;
        code = (n >= 0 && n <= 7) ? kThreeOutputs[n] : 0xCC4;
        break;
      }
      default:
        break;
    }
  } else {
    static constexpr uint16_t kHeatCool[] = {0xC4, 0xC2, 0xA4, 0xA2};
    switch (OutputIndexOf(code, false)) {
      case 2:
      case 3:
        code = c75 ? 0x02 : 0x04;
        break;
      case 5: {
        const int n = c75 + 2 * c76;
        code = (n >= 0 && n <= 3) ? kHeatCool[n] : 0xC4;
        break;
      }
      default:
        break;
    }
  }
  HardwareType1 = (HardwareType1 & 0xC000) | code;
  SetSetupValue(96, static_cast<int16_t>(HardwareType1));
  SetSetupValue(97, static_cast<int16_t>(HardwareType2));
}

void TModelWords::UpdateModelFlags() {
  const uint16_t h = HardwareType1;
  const bool c18 = SetupValue(18) != 0;
  const bool c41 = SetupValue(41) != 0;
  uint16_t loop1 = 0;
  uint16_t loop2 = 0;
  if (h & 0x800) {
    const bool swapped = SetupValue(44) != 0;
    if (h & 0x88) {
      // Position-proportional or heat-cool: outputs 1 and 2 serve one loop,
      // output 3 the other.
      if (swapped) {
        loop1 = (h & 0x700) | ((c18 && (h & 0x400)) ? 0x2000 : 0);
        loop2 = h & 0xFF;
      } else {
        loop1 = h & 0xFF;
        loop2 = (h & 0x700) | ((c41 && (h & 0x400)) ? 0x2000 : 0);
      }
    } else if (swapped) {
      loop1 = (h & 0xF0) | ((c18 && (h & 0x40)) ? 0x2000 : 0);
      loop2 = (h & 0x0F) | ((c41 && (h & 0x04)) ? 0x2000 : 0);
    } else {
      loop1 = (h & 0x0F) | ((c18 && (h & 0x04)) ? 0x2000 : 0);
      loop2 = (h & 0xF0) | ((c41 && (h & 0x40)) ? 0x2000 : 0);
    }
    ApplyThreePositionFlag(loop1);
    ApplyThreePositionFlag(loop2);
  } else {
    loop1 = (h & 0xFF) | ((c18 && (h & 0x04) && !(h & 0x80)) ? 0x2000 : 0);
    ApplyThreePositionFlag(loop1);
  }
  Loop1OutputWord = loop1;
  Loop2OutputWord = loop2;
}

void TModelWords::ApplyThreePositionFlag(uint16_t& word) {
  if ((word & 0x80) && (word & 0x01) && (word & 0x10) && SetupValue(45) != 0) word |= 0x8000;
}

void TModelWords::LoadModelFromCore() {
  if (const ParamDescriptor* d = Core.GetParam(8, 96, 1, 0)) HardwareType1 = static_cast<uint16_t>(d->Value);
  if (const ParamDescriptor* d = Core.GetParam(8, 97, 1, 0)) HardwareType2 = static_cast<uint16_t>(d->Value);
  UpdateModelFlags();
  AuxWord = HardwareType1 & 0xC000;
  OutputWord = HardwareType1 & 0xEFF;
  Option2Word = HardwareType2 & 0xB0;
  BasicWord = HardwareType2 & 7;
}
