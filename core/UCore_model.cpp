#include <cstdio>

#include "UCore.h"

namespace {

struct CodeText {
  uint16_t Code;
  const char* Text;
};

constexpr CodeText kSingleInputCodes[] = {
    {0x001, "0D"}, {0x002, "6D"}, {0x004, "5G"}, {0x008, "2G"}, {0x091, "3D"},
    {0x0A2, "5K"}, {0x0A4, "5K"}, {0x0C2, "5K"}, {0x0C4, "5K"},
};

constexpr CodeText kTwoInputCodes[] = {
    {0x821, "0D"}, {0x841, "0D"}, {0x822, "5G"}, {0x824, "5G"}, {0x842, "5G"}, {0x844, "5G"},
    {0xA08, "2G"}, {0xC08, "2G"}, {0xA91, "3D"}, {0xC91, "3D"}, {0xAA2, "5K"}, {0xAA4, "5K"},
    {0xAC2, "5K"}, {0xAC4, "5K"}, {0xCA2, "5K"}, {0xCA4, "5K"}, {0xCC2, "5K"}, {0xCC4, "5K"},
};

const char* OutputCodeText(uint16_t code, bool singleInput) {
  if (singleInput) {
    for (const CodeText& c : kSingleInputCodes)
      if (c.Code == code) return c.Text;
  } else {
    for (const CodeText& c : kTwoInputCodes)
      if (c.Code == code) return c.Text;
  }
  return "0D";
}

}  // namespace

void TCore::BuildModelCode() {
  const uint16_t h1 = Model.HardwareType1;
  const uint16_t h2 = Model.HardwareType2;
  const int basic = h2 & 7;
  const bool singleInput = basic == 0;

  const char* model = (basic == 1 || basic == 2 || basic == 4) ? "Q42A" : "Q41A";
  const char* output = OutputCodeText(h1 & 0x0EFF, singleInput);
  const char* input = basic == 1 ? "1" : basic == 2 ? "2" : basic == 4 ? "3" : "0";
  const uint16_t auxBits = h1 & 0xC000;
  const char* aux;
  if (singleInput)
    aux = auxBits == 0xC000 ? "02" : auxBits != 0 ? "01" : "00";
  else
    aux = auxBits != 0 ? "01" : "00";
  const uint16_t option2Bits = h2 & 0xB0;
  const char* option2 = option2Bits == 0x30 ? "1" : option2Bits == 0xB0 ? "2" : "0";

  char code[32];
  std::snprintf(code, sizeof code, "%s%s%s%s%s%s%s%s", model, output, input, "AS", aux, option2, "*", "*");
  ModelCode = code;

  for (int kind = 0; kind < kTreeNodeCount; ++kind) {
    TreeNodeEntry* node = TreeNode(kind);
    if (kind == 5) node->RowCount = DataRevision != 0 ? 36 : 13;
    if (kind == 9) node->ColumnCount = basic == 0 ? 2 : basic == 4 ? 6 : 4;
    if (kind == 10) node->RowCount = basic != 0 ? 50 : 30;
  }
}
