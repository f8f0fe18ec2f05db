#include "CommandLine.h"

#include <charconv>
#include <filesystem>
#include <system_error>

namespace kvl {

bool PathExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::exists(path, ec);
}

bool ParseDecimal(std::string_view text, int* value) {
  const bool plus = !text.empty() && text.front() == '+';
  if (plus) text.remove_prefix(1);
  if (text.empty() || (plus && text.front() == '-')) return false;
  int parsed = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, parsed, 10);
  if (ec != std::errc() || ptr != end) return false;
  *value = parsed;
  return true;
}

bool IsSwitchWord(const std::string& word, const PathExistsFn& exists) {
  return !word.empty() && word.front() == '/' && !exists(word);
}

bool HasEnglishSwitch(const std::vector<std::string>& words, const PathExistsFn& exists) {
  for (const std::string& word : words)
    if (word.size() >= 2 && (word[1] == 'E' || word[1] == 'e') && IsSwitchWord(word, exists)) return true;
  return false;
}

std::vector<CommandLineItem> ReadCommandLine(const std::vector<std::string>& words, const PathExistsFn& exists) {
  std::vector<CommandLineItem> items;
  for (const std::string& word : words) {
    if (!IsSwitchWord(word, exists)) {
      items.push_back({CommandAction::DataFile, word});
      continue;
    }
    const char name = word.size() >= 2 ? word[1] : '\0';
    CommandLineItem item{CommandAction::Ignored, word};
    switch (name) {
      case 'E': case 'e': item.Action = CommandAction::EnglishTexts; break;
      case '8': item = {CommandAction::FontSize, word, 8}; break;
      case '9': item = {CommandAction::FontSize, word, 9}; break;
      case 'C': case 'c': item.Action = CommandAction::ServiceMode; break;
      case 'F': case 'f': item.Action = CommandAction::Maximise; break;
      case 'L': case 'l': case 'M': case 'm': case 'N': case 'n': {
        const char upper = static_cast<char>(name & ~0x20);
        item.Action = upper == 'L'   ? CommandAction::TreePanelWidth
                      : upper == 'M' ? CommandAction::DefaultColumnWidth
                                     : CommandAction::TitleColumnWidth;
        const std::string_view digits = std::string_view(word).substr(2);
        if (!ParseDecimal(digits, &item.Number))
          item = {CommandAction::NotANumber, std::string(digits)};
        else if (upper != 'L' && item.Number < 0)
          item.Action = CommandAction::NegativeWidth;
        break;
      }
      default: break;
    }
    items.push_back(item);
  }
  return items;
}

}  // namespace kvl
