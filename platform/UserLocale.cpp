#include "UserLocale.h"

#include <cstdlib>

namespace kvl {

bool IsJapaneseLocaleName(std::string_view localeName) {
  // language[_territory][.codeset][@modifier]
  const size_t end = localeName.find_first_of("_.@");
  return localeName.substr(0, end) == "ja";
}

std::string MessagesLocaleName(const char* lcAll, const char* lcMessages, const char* lang) {
  for (const char* value : {lcAll, lcMessages, lang})
    if (value != nullptr && value[0] != '\0') return value;
  return std::string();
}

std::string MessagesLocaleName() {
  return MessagesLocaleName(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

uint16_t UserDefaultLangId() {
  return IsJapaneseLocaleName(MessagesLocaleName()) ? kLangIdJapanese : kLangIdEnglish;
}

unsigned OemCodePage() {
  return IsJapaneseLocaleName(MessagesLocaleName()) ? kCodePageJapanese : kCodePageEnglish;
}

}  // namespace kvl
