// The meaning of the program's command-line words, decided without any
// window: which words are switches, which are data files, and what each
// switch asks for. The main window applies the result.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kvl {

using PathExistsFn = std::function<bool(const std::string&)>;

// True when the path names something that exists (never throws).
bool PathExists(const std::string& path);

enum class CommandAction {
  EnglishTexts,        // '/E': taken when the language is decided
  FontSize,            // '/8', '/9': Number is the size
  ServiceMode,         // '/C'
  Maximise,            // '/F'
  TreePanelWidth,      // '/L'n
  DefaultColumnWidth,  // '/M'n
  TitleColumnWidth,    // '/N'n
  DataFile,            // any other word, or a word that names an existing path
  NotANumber,          // '/L', '/M' or '/N' without a valid number: Word holds the text after the switch
  NegativeWidth,       // '/M' or '/N' with a number below 0: Number holds it, the width is kept
  Ignored,             // '/' with any other second character
};

struct CommandLineItem {
  CommandAction Action;
  std::string Word;  // the whole word (the number's text for NotANumber)
  int Number = 0;
};

// What a negative column width switch is answered with (the grid's own text
// for a negative width).
inline constexpr const char* kNegativeColumnWidthText = "Column width must not be negative";

// A word is a switch when it begins with "/" and does not name an existing
// path: an absolute path of a data file is a file word, not a switch.
bool IsSwitchWord(const std::string& word, const PathExistsFn& exists);

// Every word after the program name, in order, with its meaning.
std::vector<CommandLineItem> ReadCommandLine(const std::vector<std::string>& words, const PathExistsFn& exists);

// True when a switch word asks for English texts ('/E' or '/e').
bool HasEnglishSwitch(const std::vector<std::string>& words, const PathExistsFn& exists);

// A decimal integer: an optional sign and at least one digit, nothing else,
// within the range of int.
bool ParseDecimal(std::string_view text, int* value);

}  // namespace kvl
