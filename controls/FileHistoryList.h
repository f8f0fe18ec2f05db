// The rules of the file-history list, without menus: the places, the names in
// them, adding (to the top or the end), deleting, and the caption and
// visibility of each place's menu item.
#pragma once

#include <string>
#include <vector>

namespace kvl {

class TFileHistoryList {
 public:
  static constexpr int kDefaultMaxFileCount = 5;
  static constexpr int kPlaceLimit = 35;  // the most places a list may have

  TFileHistoryList();

  int FileCount() const { return Count; }
  int MaxFileCount() const { return Max; }
  // Errors are std::runtime_error with the message the user sees.
  void SetMaxFileCount(int value);
  void SetFileCount(int value);
  const std::string& FileName(int index) const;
  // Stores the name only; captions follow at the next renumbering.
  void SetFileName(int index, const std::string& name);

  // Adds a name: an entry equal to it is deleted first; a full list drops
  // its last entry (to the top) or has it replaced (to the end).
  void AddFileMenu(const std::string& name, bool toTop);
  // Deletes a used entry; the entries after it move up. An index outside the
  // used entries changes nothing.
  void DelFileName(int index);

  // The caption of place i: "&" + (i + 1) + " " + the file-name part.
  std::string Caption(int index) const;
  // Place i's item is shown exactly when its entry holds a name.
  bool Shown(int index) const { return !FileName(index).empty(); }

 private:
  void CheckIndex(int index) const;
  int Count = 0;
  int Max = 0;
  std::vector<std::string> Names;  // one per place
};

// The text after the last backslash, colon or slash.
std::string FileNamePart(const std::string& path);

}  // namespace kvl
