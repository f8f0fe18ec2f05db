#include "FontChoice.h"

#include <algorithm>

namespace kvl {

std::vector<int> FontSizesOffered() {
  std::vector<int> sizes;
  for (int points = kFontDialogSmallestPoints; points <= kFontDialogLargestPoints; ++points) sizes.push_back(points);
  return sizes;
}

int StartingFontSize(int points) { return std::clamp(points, kFontDialogSmallestPoints, kFontDialogLargestPoints); }

const char* const FontStyleNames[4] = {"Regular", "Italic", "Bold", "Bold Italic"};

int FontStyleIndex(bool bold, bool italic) { return (bold ? 2 : 0) + (italic ? 1 : 0); }

void FontStyleOf(int index, bool& bold, bool& italic) {
  if (index < 0 || index > 3) index = 0;
  bold = index >= 2;
  italic = index % 2 == 1;
}

const std::vector<NamedColour>& FontColours() {
  static const std::vector<NamedColour> colours = {
      {"Black", 0x000000},  {"Maroon", 0x000080}, {"Green", 0x008000},  {"Olive", 0x008080},
      {"Navy", 0x800000},   {"Purple", 0x800080}, {"Teal", 0x808000},   {"Gray", 0x808080},
      {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},    {"Lime", 0x00FF00},   {"Yellow", 0x00FFFF},
      {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
  };
  return colours;
}

int FontColourIndex(int32_t colour) {
  const std::vector<NamedColour>& colours = FontColours();
  for (size_t i = 0; i < colours.size(); ++i)
    if (colours[i].Value == colour) return static_cast<int>(i);
  return -1;
}

}  // namespace kvl
