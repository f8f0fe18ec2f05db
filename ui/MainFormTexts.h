// The main window's texts and initial states by language: main menu, tool
// button hints, file dialogs. Pure data and lookups; the window applies them.
#pragma once

#include <string>
#include <vector>

namespace kvl {

struct MenuItemDef {
  const char* Name;
  const char* Parent;    // nullptr for a menu of the menu bar
  const char* Japanese;  // nullptr for a separator
  const char* English;   // nullptr: the Japanese text stands in both languages
  const char* Shortcut;  // e.g. "Ctrl+N", or empty
  bool Separator;
  bool Enabled;
  bool Visible;
  bool Checkable = false;
  bool Checked = false;
};

struct ToolButtonDef {
  const char* Name;
  const char* HintJapanese;
  const char* HintEnglish;
  const char* MenuItem;  // the menu item whose command the button gives
  bool Enabled;
};

struct FileDialogDef {
  const char* Name;
  std::string Title;  // empty: the platform's title
  std::string Filter;  // "description|mask" as the form holds it
  const char* DefaultExtension;
  const char* InitialName;  // empty: none
  bool MustExist;          // path and file must exist
  bool OverwritePrompt;
  bool HideReadOnly;
};

// Every main-menu item, parents before their children, in menu order.
const std::vector<MenuItemDef>& MainMenuItems();
const MenuItemDef* FindMenuItem(const std::string& name);

// The caption of an item in `language` (0 Japanese); empty for a separator.
std::string MenuCaption(const MenuItemDef& item, int language);

// The tool buttons in their order: first row, then second row.
const std::vector<ToolButtonDef>& ToolButtons();
inline constexpr int kToolButtonsFirstRow = 8;

std::string ToolButtonHint(const ToolButtonDef& button, int language);

// OpenDialog1, SaveDialog1, SaveDialog2, SaveDialog3.
std::vector<FileDialogDef> FileDialogs(int language);

}  // namespace kvl
