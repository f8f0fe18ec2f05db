// The main window's parameter grid: the table of the selected group, the
// value chooser, the status bar texts of the current cell, the segment and
// pattern command states, typing and choosing values, the program selector
// and the tag editor. What is shown and what a key does is decided by
// GridViewRules; this file only puts it on the widgets.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedLayout>
#include <QToolButton>

#include <cstring>
#include <functional>

#include "Cp932.h"
#include "GridViewRules.h"
#include "StrCGrid.h"
#include "UCore.h"
#include "ValueChooser.h"
#include "mainform.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Hands the key presses of a control to a handler first; a handler that
// returns true consumes the key.
class TKeyPressFilter : public QObject {
 public:
  TKeyPressFilter(QObject* parent, std::function<bool(int key)> handler) : QObject(parent), Handler(std::move(handler)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && Handler(static_cast<QKeyEvent*>(event)->key())) return true;
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<bool(int key)> Handler;
};

// The grid's keys as the key codes the rules speak of.
int VirtualKeyOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Escape: return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Up: return 38;
    case Qt::Key_Down: return 40;
    default: return 0;
  }
}

QColor InkColour(kvl::CellInk ink) {
  return SystemColor(ink == kvl::CellInk::GrayText ? TSystemColor::GrayText : TSystemColor::WindowText);
}

// The tool buttons and menu items of the segment and pattern commands.
constexpr const char* kSegmentButtons[] = {"InsertButton1", "InsertButton2", "CUTButton",   "COPYButton",
                                           "PASTEButton",   "ClearButton",   "COPY2Button", "PASTE2Button"};

}  // namespace

void TMainForm::BuildGridView() {
  auto* grid = new TStrColGrid(GridStack->parentWidget());
  StrColGrid1 = grid;
  grid->setObjectName(QStringLiteral("StrColGrid1"));
  grid->SetDefaultDrawing(false);
  grid->SetCtl3D(true);
  grid->SetDefaultColWidth(GridDefaultColumnWidth);
  grid->SetDefaultRowHeight(kvl::GridRowHeightFor(QFontMetrics(grid->font()).height()));
  grid->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goDrawFocusSelected | goEditing);
  grid->SetAlignment(taRightJustify);
  grid->SetFixedLayout(tlCenter);
  grid->SetLayout(tlCenter);
  grid->SetFocusCellColor(QColor(255, 255, 0));
  grid->setFocusPolicy(Qt::StrongFocus);
  grid->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(StrColGrid1->mapToGlobal(at)); });
  grid->OnKeyPress = [this](TSCGSender*, QChar& key) { StrColGrid1KeyPress(key); };
  grid->OnKeyDown = [this](TSCGSender*, int& key, Qt::KeyboardModifiers) { StrColGrid1KeyDown(key); };
  grid->OnClick = [this](TSCGSender*) { StrColGrid1Click(); };
  grid->OnMouseDown = [this](TSCGSender*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    StrColGrid1MouseDown();
  };
  GridStack->addWidget(grid);
  GridStack->setCurrentWidget(Panel8);

  connect(ComboBox1, QOverload<int>::of(&QComboBox::activated), this, [this](int index) { ComboBox1Change(index); });
  connect(ComboBoxProgNum, QOverload<int>::of(&QComboBox::activated), this, [this](int) { ComboBoxProgNumChange(); });
  EditTag->installEventFilter(new TKeyPressFilter(EditTag, [this](int key) { return EditTagKeyPress(key); }));

  WatchFocus(StrColGrid1, kvl::FocusControl::Grid);
}

void TMainForm::MoveGridToFirstCell() {
  if (!StrColGrid1 || StrColGrid1->ColCount() < 2 || StrColGrid1->RowCount() < 2) return;
  StrColGrid1->SetCol(1);
  StrColGrid1->SetRow(1);
}

void TMainForm::MoveGridTo(int col, int row) {
  if (!StrColGrid1) return;
  if (row >= 1 && row < StrColGrid1->RowCount()) StrColGrid1->SetRow(row);
  if (col >= 1 && col < StrColGrid1->ColCount()) StrColGrid1->SetCol(col);
  UpdateGrid(true);
}

void TMainForm::UpdateGrid(bool reposition) {
  if (!Core || !StrColGrid1) return;
  TStrColGrid& grid = *StrColGrid1;
  const int program = CurrentProgram();
  GridTable = kvl::BuildGridTable(*Core, Groups.NodeOfEntry(SelectedEntry()), program);
  const kvl::GridTableView& table = GridTable;
  Panel8->setText(Q(table.GroupName));

  // The grid's text, while the control panel's box asks for it.
  if (!table.ListingText.empty() && GridTextToClipboard && GridTextToClipboard())
    QGuiApplication::clipboard()->setText(Q(table.ListingText));

  if (table.Show == kvl::GridShow::Hidden) {
    GridStack->setCurrentWidget(Panel8);
    grid.hide();
    ComboBox1->hide();
    for (QWidget* control : {static_cast<QWidget*>(ComboBoxProgNum), static_cast<QWidget*>(EditTag),
                             static_cast<QWidget*>(LabelTag), static_cast<QWidget*>(LabelProg)})
      control->hide();
    return;
  }

  GridStack->setCurrentWidget(&grid);
  grid.show();
  for (QWidget* control : {static_cast<QWidget*>(ComboBoxProgNum), static_cast<QWidget*>(EditTag),
                           static_cast<QWidget*>(LabelTag), static_cast<QWidget*>(LabelProg)})
    control->setVisible(table.ProgramControls);

  // A rebuild starts from no cell parameters and no texts.
  grid.CellParams().Clear();
  const int colBefore = grid.Col();
  const int rowBefore = grid.Row();
  grid.SetColCount(table.ColCount);
  grid.SetRowCount(table.RowCount);
  // The widths are set only when they change: setting the default width
  // sets column 0's too, and the narrower column 0 would pull the view back
  // to the left on every rebuild.
  if (grid.DefaultColWidth() != GridDefaultColumnWidth) grid.SetDefaultColWidth(GridDefaultColumnWidth);
  if (grid.ColWidths(0) != GridTitleColumnWidth) grid.SetColWidths(0, GridTitleColumnWidth);
  for (int r = 0; r < grid.RowCount(); ++r)
    for (int c = 0; c < grid.ColCount(); ++c) grid.SetCells(c, r, QString());

  grid.SetCells(0, 0, Q(table.GroupName));
  grid.SetCellAlignments(0, 0, taLeftJustify);
  grid.SetCellFontWidths(0, 0, 2);
  grid.SetCellFontColors(0, 0, palette().color(QPalette::WindowText));
  if (table.Show == kvl::GridShow::Empty) return;
  // A group with rows draws its name as the other title cells: the corner's
  // wide left-aligned parameter goes with every other one.
  grid.CellParams().Clear();

  for (int c = 1; c < grid.ColCount(); ++c) grid.SetCells(c, 0, Q(table.Cell(c, 0)));
  const bool focused = FocusedControl == StrColGrid1;
  for (int r = 1; r < grid.RowCount(); ++r) {
    const kvl::GridRow& row = table.Rows[static_cast<size_t>(r - 1)];
    grid.SetCells(0, r, Q(row.Name));
    for (int d = 1; d < grid.ColCount() && d <= static_cast<int>(row.Cells.size()); ++d) {
      const kvl::GridValueCell& cell = row.Cells[static_cast<size_t>(d - 1)];
      grid.SetCells(d, r, Q(cell.Text));
      if (!focused) continue;
      TSCGCellParam* param = grid.GetCellParamPointer(d, r, true);
      param->SetAlignment(taRightJustify);
      param->SetLayout(tlCenter);
      param->SetFontColor(InkColour(cell.Ink));
      param->SetFontColorEnabled(true);
    }
  }
  ItemOfRow = table.ItemOfRow;
  SegmentOfCol = table.SegmentOfCol;

  // The grid keeps its current cell where it still lies in the table, and
  // the view where the user scrolled it: the rebuild of a click's focus
  // change must not scroll back to the cell before the click. Only a cell
  // the smaller table moved is brought into view.
  const int c0 = grid.Col();
  const int r0 = grid.Row();
  if (c0 != colBefore || r0 != rowBefore) grid.MakeCellVisible(c0, r0);
  for (int c = 1; c < grid.ColCount(); ++c) grid.SetCellAlignments(c, 0, taCenter);

  const kvl::GridCellStatus status = kvl::CurrentCellStatus(*Core, table, program, c0, r0, Language);
  TGridOptions options = grid.Options();
  if (status.Editable)
    options |= goEditing;
  else
    options &= ~TGridOptions(goEditing);
  grid.SetOptions(options);
  StatusPanels[0]->setText(Q(status.Position));
  StatusPanels[1]->setText(Q(status.Range));

  if (reposition) ShowChoiceCombo();

  const bool program_group = table.Kind == kvl::kProgramGroupKind;
  for (const char* name : kSegmentButtons) ToolButton(name)->setVisible(program_group);
  if (!program_group) {
    for (const char* name : {"INSERT1", "CUT1", "COPY1", "PASTE1", "CLEAR1", "COPY2", "PASTE2"})
      MenuItem(name)->setEnabled(false);
    return;
  }
  const kvl::SegmentCommands commands =
      kvl::SegmentCommandStates(table, c0, r0, SegmentClipboardFull != 0, PatternClipboardFull != 0);
  const struct {
    const char* MenuName;
    const char* ButtonName;
    bool Enabled;
  } states[] = {
      {"CUT1", "CUTButton", commands.CutCopyNew},
      {"COPY1", "COPYButton", commands.CutCopyNew},
      {"NewSeg", "InsertButton1", commands.CutCopyNew},
      {"PASTE1", "PASTEButton", commands.PasteInsertCopied},
      {"CopySeg", "InsertButton2", commands.PasteInsertCopied},
      {"INSERT1", nullptr, commands.Insert},
      {"CLEAR1", "ClearButton", commands.Clear},
      {"COPY2", "COPY2Button", commands.CopyPattern},
      {"PASTE2", "PASTE2Button", commands.PastePattern},
  };
  for (const auto& state : states) {
    MenuItem(state.MenuName)->setEnabled(state.Enabled);
    if (state.ButtonName) ToolButton(state.ButtonName)->setEnabled(state.Enabled);
  }
}

void TMainForm::ShowChoiceCombo() {
  if (!Core || !StrColGrid1 || GridTable.Show != kvl::GridShow::Table) return;
  const int col = StrColGrid1->Col();
  const int row = StrColGrid1->Row();
  if (row < 1 || row >= static_cast<int>(ItemOfRow.size()) || col < 1 || col >= static_cast<int>(SegmentOfCol.size()))
    return;
  TValueChooser chooser(*Core);
  const TChooserView view = chooser.ShowChoiceCombo(CurrentGroupKind(), ItemOfRow[static_cast<size_t>(row)],
                                                    SegmentOfCol[static_cast<size_t>(col)], CurrentProgram(), Language);
  switch (view.Action) {
    case TChooserAction::Keep: return;
    case TChooserAction::Hide: ComboBox1->hide(); return;
    case TChooserAction::Show: break;
  }
  ComboBox1->clear();
  for (const std::string& text : view.List.Texts) ComboBox1->addItem(Q(text));
  ComboBox1->setCurrentIndex(view.List.Selected);
  ChooserLeft = view.Left;
  ComboBox1->move(view.Left, ComboBox1->y());
  ComboBox1->resize(std::max(0, view.Width(width())), ComboBox1->height());
  ComboBox1->show();
  ComboBox1->raise();
}

void TMainForm::StrColGrid1KeyPress(QChar& key) {
  if (!kvl::GridCharacterPasses(key.unicode())) key = QChar(0);
}

void TMainForm::StrColGrid1KeyDown(int& key) {
  TStrColGrid& grid = *StrColGrid1;
  const kvl::GridKeyAction action = kvl::GridKeyActionFor(VirtualKeyOf(key), grid.EditorMode());
  if (action == kvl::GridKeyAction::Cancel) {
    grid.SetEditorMode(false);
    UpdateGrid(true);
    return;
  }
  if (action != kvl::GridKeyAction::Commit) return;
  const int col = grid.Col();
  const int row = grid.Row();
  if (row >= 1 && row < static_cast<int>(ItemOfRow.size()) && col >= 1 && col < static_cast<int>(SegmentOfCol.size())) {
    // A refused text changes nothing; the rebuild shows the stored value.
    Core->SetParamText(CurrentGroupKind(), ItemOfRow[static_cast<size_t>(row)], SegmentOfCol[static_cast<size_t>(col)],
                       CurrentProgram(), grid.Cells(col, row).toStdString());
  }
  RefreshGroups();
  UpdateMenus();
  UpdateGrid(true);
  // Enter closes the editor; when the rebuild has closed it already, the key
  // must not open it again.
  if (VirtualKeyOf(key) == 13 && !grid.EditorMode()) key = 0;
}

void TMainForm::StrColGrid1Click() { UpdateGrid(true); }

void TMainForm::StrColGrid1MouseDown() { UpdateGrid(true); }

void TMainForm::ComboBox1Change(int index) {
  if (!Core || !StrColGrid1 || index < 0) return;
  const int col = StrColGrid1->Col();
  const int row = StrColGrid1->Row();
  if (row >= 1 && row < static_cast<int>(ItemOfRow.size()) && col >= 1 && col < static_cast<int>(SegmentOfCol.size())) {
    const std::string value = kvl::ChoiceValueText(ComboBox1->itemText(index).toStdString());
    Core->SetParamText(CurrentGroupKind(), ItemOfRow[static_cast<size_t>(row)], SegmentOfCol[static_cast<size_t>(col)],
                       CurrentProgram(), value);
  }
  RefreshGroups();
  UpdateMenus();
  UpdateGrid(false);
  StrColGrid1->SetEditorMode(false);
}

void TMainForm::ComboBoxProgNumChange() {
  ShowProgramTag();
  UpdateGrid(true);
  if (StrColGrid1) StrColGrid1->SetEditorMode(false);
}

void TMainForm::ShowProgramTag() {
  if (!Core) return;
  char tag[9] = {};
  if (!Core->GetTag(CurrentProgram(), tag)) return;
  EditTag->setText(Q(kvl::FromCp932(std::string(tag, 8))));
}

bool TMainForm::EditTagKeyPress(int key) {
  if (key == Qt::Key_Escape) {
    ShowProgramTag();
    return true;
  }
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  if (const std::optional<std::string> tag = kvl::AcceptedTag(EditTag->text().toStdString())) {
    char buffer[9] = {};
    std::memcpy(buffer, tag->data(), 8);
    Core->SetTag(CurrentProgram(), buffer);
  }
  ShowProgramTag();
  return true;
}
