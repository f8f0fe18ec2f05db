// The start-up decisions of the main window that need no window: the
// language, the caption and title formats, and the sizes that depend on the
// language and the screen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CommandLine.h"

namespace kvl {

inline constexpr int kLanguageJapanese = 0;
inline constexpr int kLanguageEnglish = 1;

// Japanese for the user language id 0x411 unless a switch word asks for
// English ('/E', '/e'); English otherwise.
int DecideLanguage(uint16_t userLangId, const std::vector<std::string>& words, const PathExistsFn& exists);

// "(" + file name + ") - KVL-Q70 - " + model code.
std::string MainCaption(std::string_view fileName, std::string_view modelCode);

// "(" + file name + ")-KVL-Q70".
std::string ApplicationTitleFor(std::string_view fileName);

// The name of an unsaved data image.
const char* UntitledNameFor(int language);

// The main window starts maximised on a screen of 800 pixels or less.
inline bool MaximiseOnScreen(int screenWidth) { return screenWidth <= 800; }

// The tree panel's width after start (the form's 165, 150 in Japanese).
inline int TreePanelWidthFor(int language) { return language == kLanguageJapanese ? 150 : 165; }

// The width of the grid's name column (column 0) after start.
inline int TitleColumnWidthFor(int language) { return language == kLanguageJapanese ? 270 : 400; }

// The last part of a path: what follows its last '/'.
std::string FileNameWithoutFolder(std::string_view path);

}  // namespace kvl
