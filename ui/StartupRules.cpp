#include "StartupRules.h"

#include "MessageCatalog.h"

namespace kvl {

int DecideLanguage(uint16_t userLangId, const std::vector<std::string>& words, const PathExistsFn& exists) {
  int language = userLangId == 0x411 ? kLanguageJapanese : kLanguageEnglish;
  if (HasEnglishSwitch(words, exists)) language = kLanguageEnglish;
  return language;
}

std::string MainCaption(std::string_view fileName, std::string_view modelCode) {
  std::string caption = "(";
  caption += fileName;
  caption += ") - ";
  caption += kProductName;
  caption += " - ";
  caption += modelCode;
  return caption;
}

std::string ApplicationTitleFor(std::string_view fileName) {
  std::string title = "(";
  title += fileName;
  title += ")-";
  title += kProductName;
  return title;
}

const char* UntitledNameFor(int language) { return language == kLanguageJapanese ? "無題" : "Untitled"; }

std::string FileNameWithoutFolder(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace kvl
