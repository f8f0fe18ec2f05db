// The window-free part of the transfer windows: their texts in both
// languages and every decision they take (what a range dialog starts with,
// what its OK leads to, the confirmation question, the environment dialog's
// lists and what its OK applies). The windows only show the result.
#pragma once

#include <string>
#include <vector>

namespace kvl {

// ---- progress window ----
struct ProgressTexts {
  std::string Caption;  // the form's caption before a direction is set
  std::string Panel;    // the lowered panel over the bar
  std::string Cancel;
};
ProgressTexts ProgressWindowTexts(int language);
// The caption the read and write commands give the progress window
// (direction 1 write, anything else read).
std::string TransferCaption(int direction, int language);

// ---- range dialog ----
struct RangeTexts {
  std::string Caption;
  std::string GroupBox;
  std::string Program;
  std::string Parameter;
  std::string Ok;
  std::string Cancel;
};
RangeTexts RangeDialogTexts(int language);

// The range dialog's two boxes: programs (with their tags), setup parameters.
struct RangeChoice {
  bool CheckProgram = true;
  bool CheckParameter = true;
  bool ParameterEnabled = true;
  bool operator==(const RangeChoice&) const = default;
};
// As the read and write commands set it: both ticked, parameters enabled.
RangeChoice RangeForCommand();
// As the wizard's read choice sets it: programs cleared, parameters ticked
// and not to be cleared.
RangeChoice RangeForWizardRead();
// The range dialog's OK: it closes with OK only when the confirmation was
// answered with OK; otherwise it stays open.
bool RangeClosesWithOk(int confirmationResult);
// After the range dialog's OK: the progress window runs only when at least
// one box is ticked.
bool TransferHasRange(bool checkProgram, bool checkParameter);

// ---- confirmation dialog ----
struct ConfirmTexts {
  std::string Caption;
  std::string Question;  // the form's question, replaced when shown
  std::string Ok;
  std::string Cancel;
};
ConfirmTexts ConfirmDialogTexts(int language);
// The question the range dialog puts (direction 1 write, anything else read).
std::string ConfirmQuestion(int direction, int language);

// ---- environment dialog ----
struct EnvironmentTexts {
  std::string Caption;
  std::string PortGroup;
  std::string FontGroup;
  std::vector<std::string> FontSizes;  // the font-size list, from 7 points
  std::string Ok;
  std::string Cancel;
};
EnvironmentTexts EnvironmentDialogTexts(int language);
inline constexpr int kPortCount = 16;
inline constexpr int kSmallestFontPoints = 7;
// The port list as the environment command fills it: COM1 .. COM16.
std::vector<std::string> PortListItems(int language);
// The port list entry of a port number (port - 1), -1 outside 1..16.
int PortListIndex(int portNumber);
// The font-size entry the environment command selects for a size of
// 7..10 points; -1 (the list's choice stays as it is) for any other size.
int FontListIndex(int points);

// What the environment dialog's OK applies: the port number (entry + 1) and
// the font size (entry + 7 points). An entry of -1 (nothing chosen) keeps
// the value as it is.
struct EnvironmentChoice {
  int PortNumber = 1;
  int FontPoints = 9;
  bool operator==(const EnvironmentChoice&) const = default;
};
EnvironmentChoice ApplyEnvironmentChoice(const EnvironmentChoice& current, int portIndex, int fontIndex);

}  // namespace kvl
