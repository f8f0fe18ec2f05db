// The rules of the main window's parameter grid: what each row and column of
// the selected group shows, the ink of each value cell, whether the current
// cell can be edited and what the status bar says about it, which segment
// and pattern commands are enabled, which typed characters and keys the grid
// takes, the value text of a chosen list entry and the check of a typed tag.
// Everything is decided here from the data image without widgets; the window
// only shows the result.
#pragma once

#include <optional>
#include <string>
#include <vector>

class TCore;

namespace kvl {

// The text a blank cell or a hidden row shows.
inline constexpr const char* kBlankCellText = "----";

// The program group's kind.
inline constexpr int kProgramGroupKind = 1;
// The table data's kind (its columns are lettered).
inline constexpr int kTableDataKind = 9;

// n of 10 or more as its digits, below 10 as a blank and its one digit.
std::string FormatNumber2(int n);

// The grid's row height: the form's 18 pixels, or the font's height and a
// margin of 4 where the font is larger.
inline constexpr int kGridFormRowHeight = 18;
inline int GridRowHeightFor(int fontHeight) {
  return fontHeight + 4 > kGridFormRowHeight ? fontHeight + 4 : kGridFormRowHeight;
}

// The colour of a value cell's text while the grid has the focus.
enum class CellInk { GrayText, WindowText };

// The ink of a value cell by its state (TCore::GetSegmentCellState): 1 grey,
// 2 window text, any other state grey for "----" and window text otherwise.
CellInk InkOfCell(int state, const std::string& value);

// Whether a cell of that state and text can be edited: state 1 never, 2
// always, any other state unless the text is "----" or empty.
bool CellIsEditable(int state, const std::string& text);

struct GridValueCell {
  std::string Text;
  CellInk Ink = CellInk::WindowText;
  int Segment = 0;  // the segment or sub-index it shows
};

struct GridRow {
  int Item = 0;  // the item number shown in the row
  std::string Name;
  std::vector<GridValueCell> Cells;  // grid columns 1, 2, ...
};

// What the grid shows for a group.
enum class GridShow {
  Hidden,  // grid hidden, the group name behind it shows
  Empty,   // grid shown with its header and no item rows (two grid rows)
  Table,   // grid shown with rows and columns
};

struct GridTableView {
  GridShow Show = GridShow::Hidden;
  int Kind = -1;
  std::string GroupName;
  bool ProgramControls = false;  // the program selector and tag editor show
  // Headers of the columns 1 .. the group's column count (index c - 1).
  std::vector<std::string> Headers;
  std::vector<GridRow> Rows;  // grid rows 1, 2, ...
  // The grid's column and row counts, fixed column and row included.
  int ColCount = 1;
  int RowCount = 2;
  // Indexed by grid row (column); entry 0 unused.
  std::vector<int> ItemOfRow;
  std::vector<int> SegmentOfCol;
  // The grid's text as tab-separated lines, headed by the group name.
  std::string ListingText;

  // The text of grid cell (col, row): row 0 holds the headers, column 0 the
  // names; empty outside the table.
  std::string Cell(int col, int row) const;
};

// The table of a tree node for a program (pattern) number; the program
// matters only for the program group.
GridTableView BuildGridTable(TCore& core, int node, int program);

// The current cell's editing and status-bar texts.
struct GridCellStatus {
  bool Editable = false;
  std::string Position;  // panel 0: "cc,rr"
  std::string Range;     // panel 1
};

// For grid cell (col, row) of the table; a cell outside the table is not
// editable.
GridCellStatus CurrentCellStatus(TCore& core, const GridTableView& table, int program, int col, int row,
                                 int language);

// The segment and pattern commands of the program group.
struct SegmentCommands {
  bool CutCopyNew = false;         // CUT1, COPY1, NewSeg and their buttons
  bool PasteInsertCopied = false;  // PASTE1, CopySeg and their buttons
  bool Insert = false;             // INSERT1
  bool Clear = false;              // CLEAR1
  bool CopyPattern = false;        // COPY2
  bool PastePattern = false;       // PASTE2
};

// Their states for the current cell (col, row) of a program table.
SegmentCommands SegmentCommandStates(const GridTableView& table, int col, int row, bool segmentClipboardFull,
                                     bool patternClipboardFull);

// Whether a typed character reaches the cell: backspace, Enter, "-", ".",
// the digits and ":".
bool GridCharacterPasses(char32_t ch);

// What a key pressed in the grid does.
enum class GridKeyAction {
  None,
  Cancel,  // Esc: the editor closes and the table is rebuilt
  Commit,  // Enter, Up, Down with the editor open: the cell's text is stored
};
GridKeyAction GridKeyActionFor(int virtualKey, bool editorOpen);

// The value text of a chosen list entry: everything before the first ":",
// its blanks turned into "0".
std::string ChoiceValueText(const std::string& choice);

// The tag to store for a typed text (UTF-8), 8 characters blank-padded; none
// when the text is refused (a character CP932 cannot hold or a double-byte
// character anywhere, or within the first 8 characters a code below 32 or
// above 95 other than "a" to "z").
std::optional<std::string> AcceptedTag(const std::string& typed);

}  // namespace kvl
