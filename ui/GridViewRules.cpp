#include "GridViewRules.h"

#include <cstring>

#include "Cp932.h"
#include "UCore.h"

namespace kvl {

namespace {

// Items whose cells the clear command leaves alone: the PID set numbers of
// both channels, PV start, cycle and pattern link.
bool ItemIsClearable(int item) { return item != 20 && item != 21 && item != 24 && item != 25 && item != 26; }

bool IsBlank(const std::string& text) { return text == kBlankCellText; }

}  // namespace

std::string FormatNumber2(int n) { return n >= 10 ? std::to_string(n) : " " + std::to_string(n); }

CellInk InkOfCell(int state, const std::string& value) {
  if (state == 1) return CellInk::GrayText;
  if (state == 2) return CellInk::WindowText;
  return IsBlank(value) ? CellInk::GrayText : CellInk::WindowText;
}

bool CellIsEditable(int state, const std::string& text) {
  if (state == 1) return false;
  if (state == 2) return true;
  return !IsBlank(text) && !text.empty();
}

std::string GridTableView::Cell(int col, int row) const {
  if (col < 0 || row < 0) return {};
  if (row == 0) {
    if (col == 0) return GroupName;
    return col <= static_cast<int>(Headers.size()) ? Headers[static_cast<size_t>(col - 1)] : std::string();
  }
  if (row > static_cast<int>(Rows.size())) return {};
  const GridRow& shown = Rows[static_cast<size_t>(row - 1)];
  if (col == 0) return shown.Name;
  return col <= static_cast<int>(shown.Cells.size()) ? shown.Cells[static_cast<size_t>(col - 1)].Text
                                                      : std::string();
}

GridTableView BuildGridTable(TCore& core, int node, int program) {
  GridTableView view;
  int kind = -1;
  uint32_t level = 0;
  const char* name = nullptr;
  uint32_t rows = 0;
  uint32_t columns = 0;
  if (node < 0 || node >= core.GetTreeNodeCount()) return view;
  core.GetTreeNode(node, &kind, &level, nullptr, &name, &rows, &columns);
  view.Kind = kind;
  view.GroupName = name ? name : "";
  if (level == 1 || columns == 0) return view;  // a heading, or nothing to show
  view.ProgramControls = kind == kProgramGroupKind;
  view.ColCount = static_cast<int>(columns) + 1;
  if (rows == 0) {
    view.Show = GridShow::Empty;
    view.RowCount = 2;
    return view;
  }

  for (int c = 1; c <= static_cast<int>(columns); ++c) {
    if (kind == kProgramGroupKind)
      view.Headers.push_back(FormatNumber2(c) + " Seg.");
    else if (kind == kTableDataKind)
      view.Headers.push_back(std::string(1, static_cast<char>(64 + c)));
    else
      view.Headers.push_back(FormatNumber2(c));
  }

  view.ListingText = view.GroupName + "\n";
  view.ItemOfRow.assign(1, 0);
  view.SegmentOfCol.assign(1, 0);
  int lastColumns = 1;
  // Every item of the group is asked; those whose name is "----" have no row.
  for (int i = 1; i <= static_cast<int>(rows); ++i) {
    std::string value;
    std::string rowName;
    core.GetParamText(kind, i, 1, program, value, rowName);
    if (IsBlank(rowName)) continue;
    GridRow row;
    row.Item = i;
    row.Name = rowName;
    view.ListingText += rowName + "\t";
    for (int c = 1; c <= static_cast<int>(columns); ++c) {
      std::string cellName;
      core.GetParamText(kind, i, c, program, value, cellName);
      if (cellName.empty()) continue;  // no column for this cell in this row
      GridValueCell cell;
      cell.Text = value;
      cell.Segment = c;
      cell.Ink = InkOfCell(core.GetSegmentCellState(kind, program, i, c), value);
      row.Cells.push_back(cell);
      view.ListingText += value;
      if (c != static_cast<int>(columns)) view.ListingText += "\t";
      const size_t d = row.Cells.size();
      if (view.SegmentOfCol.size() <= d) view.SegmentOfCol.resize(d + 1, 0);
      view.SegmentOfCol[d] = c;
    }
    view.ListingText += "\n";
    lastColumns = static_cast<int>(row.Cells.size()) + 1;
    view.ItemOfRow.push_back(i);
    view.Rows.push_back(std::move(row));
  }

  const int shownRows = static_cast<int>(view.Rows.size()) + 1;
  if (shownRows < 2 || lastColumns < 2) {
    // Nothing to show: the grid hides, the listing text stays.
    view.Show = GridShow::Hidden;
    return view;
  }
  view.Show = GridShow::Table;
  view.RowCount = shownRows;
  view.ColCount = lastColumns;
  return view;
}

GridCellStatus CurrentCellStatus(TCore& core, const GridTableView& table, int program, int col, int row,
                                 int language) {
  GridCellStatus status;
  status.Position = FormatNumber2(col) + "," + FormatNumber2(row);
  const bool inTable = table.Show == GridShow::Table && col >= 1 && row >= 1 && col < table.ColCount &&
                       row < table.RowCount && col < static_cast<int>(table.SegmentOfCol.size()) &&
                       row < static_cast<int>(table.ItemOfRow.size());
  if (inTable) {
    const int item = table.ItemOfRow[static_cast<size_t>(row)];
    const int segment = table.SegmentOfCol[static_cast<size_t>(col)];
    status.Editable = CellIsEditable(core.GetSegmentCellState(table.Kind, program, item, segment), table.Cell(col, row));
    if (status.Editable) {
      status.Range = std::string(language == 0 ? "設定範囲：" : "Valid settings:") +
                     core.GetRangeText(table.Kind, item, segment, program, 0);
      return status;
    }
  }
  status.Range = language == 0 ? "設定不可" : "Not Applicable";
  return status;
}

SegmentCommands SegmentCommandStates(const GridTableView& table, int col, int row, bool segmentClipboardFull,
                                     bool patternClipboardFull) {
  SegmentCommands commands;
  const bool inUse = !IsBlank(table.Cell(col, 1));
  const bool previousInUse = !IsBlank(table.Cell(col - 1, 1));
  commands.CutCopyNew = inUse;
  commands.PasteInsertCopied = segmentClipboardFull && (inUse || previousInUse);
  commands.Insert = commands.CutCopyNew || commands.PasteInsertCopied;
  const int item = row >= 1 && row < static_cast<int>(table.ItemOfRow.size()) ? table.ItemOfRow[static_cast<size_t>(row)] : 0;
  commands.Clear = !IsBlank(table.Cell(col, row)) && ItemIsClearable(item);
  commands.CopyPattern = !IsBlank(table.Cell(1, 1));
  commands.PastePattern = patternClipboardFull;
  return commands;
}

bool GridCharacterPasses(char32_t ch) {
  return ch == 8 || ch == 13 || ch == U'-' || ch == U'.' || ch == U':' || (ch >= U'0' && ch <= U'9');
}

GridKeyAction GridKeyActionFor(int virtualKey, bool editorOpen) {
  if (virtualKey == 27) return GridKeyAction::Cancel;
  if (editorOpen && (virtualKey == 13 || virtualKey == 38 || virtualKey == 40)) return GridKeyAction::Commit;
  return GridKeyAction::None;
}

std::string ChoiceValueText(const std::string& choice) {
  std::string value = choice.substr(0, choice.find(':'));
  for (char& ch : value)
    if (ch == ' ') ch = '0';
  return value;
}

std::optional<std::string> AcceptedTag(const std::string& typed) {
  // A character the data file's code page cannot hold refuses the text; it
  // must not be stored as the "?" the conversion would put in its place.
  const std::optional<std::string> converted = ToCp932Exact(typed);
  if (!converted) return std::nullopt;
  const std::string& bytes = *converted;
  // A double-byte character anywhere in the text refuses it.
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) return std::nullopt;
  }
  // The first 8 characters, blank-padded; the source is read from a
  // zero-filled 8-byte copy, so a short text is never read past its end.
  char source[8] = {};
  std::memcpy(source, bytes.data(), std::min<size_t>(bytes.size(), 8));
  char tag[9];
  TCore::CopyTag8(tag, source);
  for (int i = 0; i < 8 && tag[i] != '\0'; ++i) {
    const auto b = static_cast<unsigned char>(tag[i]);
    if (b >= 'a' && b <= 'z') continue;
    if (b < 32 || b > 95) return std::nullopt;
  }
  return std::string(tag, 8);
}

}  // namespace kvl
