// The font dialog's decisions, free of windows: the sizes and colours it
// offers, the size and style it starts with, and the chosen font as plain
// values (family, size, style, effects and colour).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvl {

struct FontChoice {
  std::string Family;
  int Points = 9;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  // A colour word: red in the low byte; a negative word names a system colour.
  int32_t Colour = 0;
  bool operator==(const FontChoice&) const = default;
};

// The sizes offered, in points: 7 to 10.
constexpr int kFontDialogSmallestPoints = 7;
constexpr int kFontDialogLargestPoints = 10;
std::vector<int> FontSizesOffered();
// The size the dialog starts with: the font's own when it is offered, else
// the nearest size offered.
int StartingFontSize(int points);

// The styles in the order offered: "Regular", "Italic", "Bold", "Bold Italic".
extern const char* const FontStyleNames[4];
int FontStyleIndex(bool bold, bool italic);
// The style of an index of FontStyleNames (anything else is "Regular").
void FontStyleOf(int index, bool& bold, bool& italic);

struct NamedColour {
  const char* Name;
  int32_t Value;  // colour word
};
// The colours offered, black first.
const std::vector<NamedColour>& FontColours();
// The index of a colour word among FontColours; -1 when it is none of them.
int FontColourIndex(int32_t colour);

}  // namespace kvl
