// The main window's file, listing, edit and transfer commands. Each is a
// short sequence around one operation of the data image or of the transfer
// windows; its decisions come from FileCommandRules.
#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

#include <iterator>

#include "Application.h"
#include "DialogPresenter.h"
#include "FileCommandRules.h"
#include "MessageCatalog.h"
#include "OptSet.h"
#include "StartupRules.h"
#include "StrCGrid.h"
#include "UCore.h"
#include "mainform.h"

namespace {

constexpr int32_t kTransferGroups[] = {1, 2, 0};
QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void TMainForm::SetTransferForms(TTransferForms* forms) { TransferForms = forms; }

void TMainForm::ConnectCommands() {
  const std::pair<const char*, void (TMainForm::*)()> commands[] = {
      {"New1", &TMainForm::New1Click},         {"Open1", &TMainForm::Open1Click},
      {"Save1", &TMainForm::Save1Click},       {"SaveAs1", &TMainForm::SaveAs1Click},
      {"CSVSave", &TMainForm::CSVSaveClick},   {"HTML1", &TMainForm::HTML1Click},
      {"NewSeg", &TMainForm::NewSegClick},     {"CopySeg", &TMainForm::CopySegClick},
      {"CUT1", &TMainForm::CUT1Click},         {"COPY1", &TMainForm::COPY1Click},
      {"PASTE1", &TMainForm::PASTE1Click},     {"CLEAR1", &TMainForm::CLEAR1Click},
      {"COPY2", &TMainForm::COPY2Click},       {"PASTE2", &TMainForm::PASTE2Click},
      {"CommRead", &TMainForm::CommReadClick}, {"CommWrite", &TMainForm::CommWriteClick},
      {"CommSetup", &TMainForm::CommSetupClick}, {"KatabanSetup", &TMainForm::KatabanSetupClick},
      {"Rev0", &TMainForm::Rev0Click},
      {"Rev1", &TMainForm::Rev1Click},
  };
  for (const auto& [name, handler] : commands) {
    QAction* action = MenuItem(name);
    if (action == nullptr) continue;
    connect(action, &QAction::triggered, this, [this, handler = handler] { (this->*handler)(); });
  }
  connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
  if (QAction* revChange = MenuItem("RevChange"); revChange != nullptr && revChange->menu() != nullptr)
    connect(revChange->menu(), &QMenu::aboutToShow, this, [this] { RevChangeClick(); });
}

void TMainForm::RefreshAfterChange() {
  RefreshGroups();
  UpdateMenus();
  UpdateGrid(true);
}

void TMainForm::AdoptFileName(const std::string& path) {
  FileName = path;
  const std::string shown = kvl::FileNameWithoutFolder(path);
  SetCaptionText(kvl::MainCaption(shown, Core->ModelCode));
  kvl::SetApplicationTitle(kvl::ApplicationTitleFor(shown));
}

// ---- file ----

// The in-place editor closes over a replaced image; what was typed into it
// is dropped (the rebuild has given its cell the new image's text).
void TMainForm::CloseGridEditor() {
  if (StrColGrid1) StrColGrid1->SetEditorMode(false);
}

void TMainForm::New1Click() {
  if (ShowMessageBox(kvl::kMessageEdit, 1) != kvl::kModalOk) return;
  FileName = UntitledName;
  kvl::SetApplicationTitle(kvl::ApplicationTitleFor(FileName));
  Core->DataRevision = 1;
  Core->SetDefaults(kTransferGroups, false);
  Core->Model.ApplyOutputSelection();
  Core->Model.UpdateModelFlags();
  Core->BuildModelCode();
  RefreshGroups();
  UpdateMenus();
  UpdateGrid(true);
  ShowProgramTag();
  ClearErrorList();
  CloseGridEditor();
  SetCaptionText(kvl::MainCaption(FileName, Core->ModelCode));
}

void TMainForm::Open1Click() {
  std::string path;
  if (!Presenter.ChooseFile(kvl::FileChooserFor("OpenDialog1", Language), &path)) return;
  const int result = Core->LoadFile(path);
  // Whatever the result, the model words follow what the image now holds.
  Core->Model.LoadModelFromCore();
  Core->BuildModelCode();
  if (result != 0) {
    ShowMessageBox(kvl::kMessageFileRead, result);
    return;
  }
  AdoptFileName(path);
  ComboBoxProgNum->setCurrentIndex(ComboBoxProgNum->count() > 0 ? 0 : -1);
  RefreshGroups();
  UpdateMenus();
  ShowProgramTag();
  UpdateGrid(true);
  ClearErrorList();
  CloseGridEditor();
}

void TMainForm::Save1Click() {
  if (kvl::SaveNeedsName(FileName, UntitledName)) {
    SaveAs1Click();
    return;
  }
  const int result = Core->SaveFile(kTransferGroups, FileName);
  if (result != 0) ShowMessageBox(kvl::kMessageFileWrite, result);
}

void TMainForm::SaveAs1Click() {
  std::string path;
  if (!Presenter.ChooseFile(kvl::FileChooserFor("SaveDialog1", Language), &path)) return;
  const int result = Core->SaveFile(kTransferGroups, path);
  if (result != 0) {
    ShowMessageBox(kvl::kMessageFileWrite, result);
    return;
  }
  AdoptFileName(path);
}

// ---- listings ----

void TMainForm::CSVSaveClick() { WriteListing("SaveDialog2", false); }
void TMainForm::HTML1Click() { WriteListing("SaveDialog3", true); }

void TMainForm::WriteListing(const std::string& dialogName, bool html) {
  std::string path;
  if (!Presenter.ChooseFile(kvl::FileChooserFor(dialogName, Language), &path)) return;
  const int opened = Core->OpenExportFile(path);
  bool written = false;
  bool closeFailed = false;
  if (opened == 0) {
    written = html ? Core->WriteHtml() : Core->WriteCsv();
    closeFailed = Core->CloseExportFile();
  }
  // A listing that could not be written whole is reported like one that
  // could not be made.
  const int result = kvl::ListingResult(opened, written, closeFailed);
  if (result != 0) ShowMessageBox(kvl::kMessageExport, result);
}

// ---- segment and pattern commands ----

int TMainForm::CurrentProgram() const {
  const int index = ComboBoxProgNum->currentIndex();
  if (index < 0 || index >= static_cast<int>(std::size(ProgramOfItem))) return 0;
  const int pattern = ProgramOfItem[index];
  return Core != nullptr && pattern >= 1 && pattern <= Core->GetPatternCount() ? pattern : 0;
}

// The segment (item) of the grid's current column (row) as the grid was last
// built; 0 while the grid shows no program table.
int TMainForm::CurrentSegment() const {
  if (!StrColGrid1 || GridTable.Show != kvl::GridShow::Table || GridTable.Kind != kvl::kProgramGroupKind) return 0;
  const int col = StrColGrid1->Col();
  return col >= 1 && col < static_cast<int>(SegmentOfCol.size()) ? SegmentOfCol[static_cast<size_t>(col)] : 0;
}
int TMainForm::CurrentItem() const {
  if (!StrColGrid1 || GridTable.Show != kvl::GridShow::Table || GridTable.Kind != kvl::kProgramGroupKind) return 0;
  const int row = StrColGrid1->Row();
  return row >= 1 && row < static_cast<int>(ItemOfRow.size()) ? ItemOfRow[static_cast<size_t>(row)] : 0;
}

bool TMainForm::ConfirmEdit(int code) { return ShowMessageBox(kvl::kMessageEdit, code) == kvl::kModalOk; }

std::string TMainForm::SegmentFirstCellText(int pattern, int segment) {
  std::string value;
  std::string name;
  Core->GetParamText(1, 1, segment, pattern, value, name);
  return value;
}

void TMainForm::NewSegClick() {
  EditSegment(kvl::EditCommand::InsertNew, CurrentProgram(), CurrentSegment(), CurrentItem());
}
void TMainForm::CopySegClick() {
  EditSegment(kvl::EditCommand::InsertCopied, CurrentProgram(), CurrentSegment(), CurrentItem());
}
void TMainForm::CUT1Click() { EditSegment(kvl::EditCommand::Cut, CurrentProgram(), CurrentSegment(), CurrentItem()); }
void TMainForm::COPY1Click() { EditSegment(kvl::EditCommand::Copy, CurrentProgram(), CurrentSegment(), CurrentItem()); }
void TMainForm::PASTE1Click() {
  EditSegment(kvl::EditCommand::Paste, CurrentProgram(), CurrentSegment(), CurrentItem());
}
void TMainForm::CLEAR1Click() {
  EditSegment(kvl::EditCommand::Clear, CurrentProgram(), CurrentSegment(), CurrentItem());
}

void TMainForm::EditSegment(kvl::EditCommand command, int p, int s, int item) {
  using kvl::EditCommand;
  if (Core == nullptr || p < 1 || p > Core->GetPatternCount() || s < 1 || s > kSegmentCount) return;
  if (command == EditCommand::Clear && item < 1) return;
  if (command == EditCommand::CopyPattern || command == EditCommand::PastePattern) return;
  // A full pattern refuses an insert before anything is asked.
  const bool inserting = command == EditCommand::InsertNew || command == EditCommand::InsertCopied;
  if (inserting && kvl::InsertRefused(SegmentFirstCellText(p, kSegmentCount))) {
    ShowMessageBox(kvl::kMessageEdit, kvl::kInsertRefusedCode);
    return;
  }
  if (!ConfirmEdit(kvl::EditConfirmationCode(command))) return;
  switch (command) {
    case EditCommand::InsertNew: Core->InsertSegment(p, s); break;
    case EditCommand::InsertCopied:
      // On the first unused segment the copy goes into it, nothing moves.
      if (kvl::InsertCopiedPastes(SegmentFirstCellText(p, s)))
        Core->PasteSegment(p, s);
      else
        Core->InsertCopiedSegment(p, s);
      break;
    case EditCommand::Cut: Core->CutSegment(p, s); break;
    case EditCommand::Copy: Core->CopySegment(p, s); break;
    case EditCommand::Paste: Core->PasteSegment(p, s); break;
    case EditCommand::Clear: Core->ClearSegment(p, item, s); break;
    case EditCommand::CopyPattern:
    case EditCommand::PastePattern: break;
  }
  if (command == EditCommand::Cut || command == EditCommand::Copy) {
    const kvl::CopiedSegmentTexts texts = kvl::CopiedSegmentTextsFor(command == EditCommand::Cut, Language);
    MenuItem("CopySeg")->setText(Q(texts.Caption));
    ToolButton("InsertButton2")->setToolTip(Q(texts.Hint));
    SegmentClipboardFull = 1;
    MenuItem("PASTE1")->setEnabled(true);
    ToolButton("PASTEButton")->setEnabled(true);
  }
  if (command == EditCommand::Copy) {
    // Paste and insert-copied are ready at once; the grid is not redrawn.
    MenuItem("CopySeg")->setEnabled(true);
    ToolButton("InsertButton2")->setEnabled(true);
    return;
  }
  UpdateGrid(true);
}

void TMainForm::COPY2Click() {
  const int p = CurrentProgram();
  if (p == 0) return;
  if (!ConfirmEdit(kvl::EditConfirmationCode(kvl::EditCommand::CopyPattern))) return;
  Core->CopyPattern(p);
  PatternClipboardFull = 1;
  MenuItem("PASTE2")->setEnabled(true);
  ToolButton("PASTE2Button")->setEnabled(true);
}

void TMainForm::PASTE2Click() {
  const int p = CurrentProgram();
  if (p == 0) return;
  if (!ConfirmEdit(kvl::EditConfirmationCode(kvl::EditCommand::PastePattern))) return;
  Core->PastePattern(p);
  UpdateGrid(true);
  ShowProgramTag();
}

// ---- transfer and environment ----

void TMainForm::CommReadClick() {
  CommDirection = 0;
  StartTransfer();
}

void TMainForm::CommWriteClick() {
  CommDirection = 1;
  StartTransfer();
}

void TMainForm::StartTransfer() {
  if (TransferForms == nullptr) return;
  TransferForms->SetRange(true, true, true);
  TransferForms->SetProgressCaption(CommDirection);
  if (TransferForms->ExecuteRange() != kvl::kModalOk) return;
  // Nothing ticked: nothing to move.
  if (!TransferForms->ProgramChecked() && !TransferForms->ParameterChecked()) return;
  TransferForms->ExecuteProgress();
}

void TMainForm::CommSetupClick() { ShowEnvironmentSetup(); }

void TMainForm::ShowEnvironmentSetup() {
  if (TransferForms != nullptr) TransferForms->ExecuteEnvironment();
}

void TMainForm::KatabanSetupClick() { ShowModelSetup(); }

void TMainForm::ShowModelSetup() {
  if (OptSet != nullptr) OptSet->ShowForModelSetup();
}

void TMainForm::Timer2Timer() {
  Timer2->stop();
  if (TransferForms == nullptr) return;
  // The caption names the read even after an earlier write.
  TransferForms->SetProgressCaption(CommDirection);
  TransferForms->ExecuteProgress();
}

// ---- data revision (service mode) ----

void TMainForm::Rev0Click() {
  MenuItem("Rev0")->setChecked(true);
  MenuItem("Rev1")->setChecked(false);
  Core->DataRevision = 0;
  // Revision 0 has no program time unit 2.
  if (ParamDescriptor* unit = Core->GetParam(8, 64, 1, 0); unit != nullptr && unit->Value == 2) unit->Value = 1;
  Core->BuildModelCode();
  UpdateGrid(true);
}

void TMainForm::Rev1Click() {
  MenuItem("Rev1")->setChecked(true);
  MenuItem("Rev0")->setChecked(false);
  Core->DataRevision = 1;
  Core->BuildModelCode();
  UpdateGrid(true);
}

void TMainForm::RevChangeClick() {
  MenuItem("Rev1")->setChecked(Core->DataRevision != 0);
  MenuItem("Rev0")->setChecked(Core->DataRevision == 0);
}
