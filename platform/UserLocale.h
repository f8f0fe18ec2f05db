// The user's language as the program's start needs it: the language id and
// the code page of the text console. Both come from the locale of messages
// (LC_ALL, else LC_MESSAGES, else LANG). A Japanese locale ("ja", "ja_JP",
// "ja_JP.UTF-8", ...) stands for language id 0x411 and code page 932; any
// other locale, "C" and an unset one included, for 0x409 and 437.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kvl {

inline constexpr uint16_t kLangIdJapanese = 0x411;
inline constexpr uint16_t kLangIdEnglish = 0x409;
inline constexpr unsigned kCodePageJapanese = 932;
inline constexpr unsigned kCodePageEnglish = 437;

// True for a locale name whose language part is "ja".
bool IsJapaneseLocaleName(std::string_view localeName);

// The first non-empty of the three values, in their order of precedence.
std::string MessagesLocaleName(const char* lcAll, const char* lcMessages, const char* lang);

// From this process's environment.
std::string MessagesLocaleName();
uint16_t UserDefaultLangId();
unsigned OemCodePage();

}  // namespace kvl
