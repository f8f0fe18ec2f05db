// The about box's decisions, without windows: its texts, the access codes of
// the service-mode unlock, and the colour cycle of the product label.
#pragma once

#include <cstdint>
#include <string>

namespace kvl {

// "About KVL-Q70", in both languages.
std::string AboutCaption();
// The product name with its model line.
std::string AboutProductText();
// Product, controller series, model code, then the two lines of the rights
// notice.
std::string AboutCopyrightText(const std::string& modelCode);
// "Version " + major.minor.release, and with the build appended.
std::string AboutVersionText(int major, int minor, int release);
std::string AboutVersionText(int major, int minor, int release, int build);

// What the access-code field does with its whole text after a change.
enum class AccessCodeOutcome {
  None,              // any other text: the field stays open and unchanged
  ShowUnlockButton,  // the first code: field emptied and hidden, unlock button shown
  CloseField,        // the second code: field emptied and hidden
};
AccessCodeOutcome CheckAccessCode(const std::string& text);

// The main-menu items the unlock shows, in this order.
inline constexpr const char* kServiceMenuItems[] = {"SHLRW1", "Bar5", "Bar7", "RevChange"};

// The product label's colours: a colour word holds red in its low byte and
// blue in its high byte. Index 0 is black.
inline constexpr int kAboutColourCount = 7;
uint32_t AboutColourWord(int index);
// The index after a tick: one on, back to 0 when it reaches the count.
int NextAboutColourIndex(int index);

}  // namespace kvl
