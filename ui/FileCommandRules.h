// The window-free part of the main window's file, listing and edit
// commands: the file choosers they ask with, when Save needs a name, what a
// listing reports, the confirmation each edit command asks, and the texts the
// insert-copied command takes after a cut or a copy.
#pragma once

#include <string>

#include "DialogPresenter.h"

namespace kvl {

// The chooser of one of the main window's file dialogs ("OpenDialog1",
// "SaveDialog1", "SaveDialog2", "SaveDialog3") in `language`, with the
// initial name the commands give it ("*.q70", "*.CSV", "*.HTM").
FileChooserDescription FileChooserFor(const std::string& dialogName, int language);
// A Qt name filter for a "description|mask" filter: the description, then
// the mask in both cases, e.g. "CSV file(*.csv) (*.csv *.CSV)".
std::string ChooserNameFilter(const std::string& filter);
// The file a chooser starts on: the initial name unless it is only a mask
// (holds a wildcard).
std::string ChooserInitialFile(const std::string& initialName);

// Save on an image that has no file yet runs Save as.
bool SaveNeedsName(const std::string& fileName, const std::string& untitledName);

// What a listing reports: the open result when it failed; 1 when the
// listing could not be written or closed completely; 0 when it was.
int ListingResult(int openResult, bool written, bool closeFailed);

// The segment and pattern commands of the program group.
enum class EditCommand : int { InsertNew, InsertCopied, Cut, Copy, Paste, Clear, CopyPattern, PastePattern };
// The confirmation (kind 0) each asks before it acts.
int EditConfirmationCode(EditCommand command);
inline constexpr int kInsertRefusedCode = 10;  // (0, 10): no segment can be inserted
// The value text of an unused segment cell.
inline constexpr const char* kUnusedCellText = "----";
// An insertion is refused while the last segment is in use (its first cell
// shows a value).
bool InsertRefused(const std::string& lastSegmentFirstCell);
// Insert copied on an unused segment pastes into it instead of shifting.
bool InsertCopiedPastes(const std::string& currentSegmentFirstCell);

// The insert-copied menu item's caption and tool button's hint after a cut
// (`cut`) or a copy.
struct CopiedSegmentTexts {
  std::string Caption;
  std::string Hint;
};
CopiedSegmentTexts CopiedSegmentTextsFor(bool cut, int language);

}  // namespace kvl
