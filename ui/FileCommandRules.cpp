#include "FileCommandRules.h"

#include <cctype>

#include "MainFormTexts.h"

namespace kvl {

FileChooserDescription FileChooserFor(const std::string& dialogName, int language) {
  FileChooserDescription chooser;
  chooser.Name = dialogName;
  for (const FileDialogDef& def : FileDialogs(language)) {
    if (dialogName != def.Name) continue;
    chooser.Kind = dialogName == "OpenDialog1" ? FileChooserDescription::Mode::Open : FileChooserDescription::Mode::Save;
    chooser.Title = def.Title;
    chooser.Filter = def.Filter;
    chooser.DefaultExtension = def.DefaultExtension;
    chooser.InitialName = def.InitialName;
    chooser.MustExist = def.MustExist;
    chooser.OverwritePrompt = def.OverwritePrompt;
  }
  // The commands set the initial name before every showing.
  if (dialogName == "OpenDialog1" || dialogName == "SaveDialog1") chooser.InitialName = "*.q70";
  return chooser;
}

std::string ChooserNameFilter(const std::string& filter) {
  const size_t bar = filter.rfind('|');
  if (bar == std::string::npos) return filter;
  const std::string description = filter.substr(0, bar);
  std::string lower = filter.substr(bar + 1);
  std::string upper = lower;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (lower.empty()) return description;
  std::string masks = "*." + lower;
  if (upper != lower) masks += " *." + upper;
  return description + " (" + masks + ")";
}

std::string ChooserInitialFile(const std::string& initialName) {
  return initialName.find_first_of("*?") == std::string::npos ? initialName : std::string();
}

bool SaveNeedsName(const std::string& fileName, const std::string& untitledName) { return fileName == untitledName; }

int ListingResult(int openResult, bool written, bool closeFailed) {
  if (openResult != 0) return openResult;
  return written && !closeFailed ? 0 : 1;
}

int EditConfirmationCode(EditCommand command) {
  switch (command) {
    case EditCommand::InsertNew:
    case EditCommand::InsertCopied: return 6;
    case EditCommand::Cut: return 5;
    case EditCommand::Copy: return 3;
    case EditCommand::Paste: return 4;
    case EditCommand::Clear: return 9;
    case EditCommand::CopyPattern: return 7;
    case EditCommand::PastePattern: return 8;
  }
  return 1;
}

bool InsertRefused(const std::string& lastSegmentFirstCell) { return lastSegmentFirstCell != kUnusedCellText; }

bool InsertCopiedPastes(const std::string& currentSegmentFirstCell) {
  return currentSegmentFirstCell == kUnusedCellText;
}

CopiedSegmentTexts CopiedSegmentTextsFor(bool cut, int language) {
  if (language == 0)
    return cut ? CopiedSegmentTexts{"切り取ったｾｸﾞﾒﾝﾄ(&C)", "切り取ったｾｸﾞﾒﾝﾄの挿入"}
               : CopiedSegmentTexts{"ｺﾋﾟｰしたｾｸﾞﾒﾝﾄ(&C)", "ｺﾋﾟｰしたｾｸﾞﾒﾝﾄの挿入"};
  return cut ? CopiedSegmentTexts{"Cut Segment(&C)", "Insert Cut Segment"}
             : CopiedSegmentTexts{"Segment &Copy", "Insert Segment Copy"};
}

}  // namespace kvl
