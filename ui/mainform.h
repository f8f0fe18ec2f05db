// The main window: the tool panel, the group tree panel, the grid area with
// the error list, the status bar and the main menu; the program's start-up
// steps that belong to it (language, texts, settings, command line) and its
// closing (settings written back, then the quit question).
//
// Everything it decides comes from the window-free rules (StartupRules,
// CommandLine, Settings, MainFormTexts, MessageCatalog, GroupTreeRules); the
// widgets only show the result.
#pragma once

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "CoreNotifier.h"
#include "FontChoice.h"
#include "GridViewRules.h"
#include "GroupTreeRules.h"
#include "Settings.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QSplitter;
class QStackedLayout;
class QStatusBar;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class TAboutBox;
class TStrColGrid;
class TCore;
class TOptSet;
class TVersionInfo;

namespace kvl {
class TDialogPresenter;
enum class EditCommand : int;
}

// What the start of the process hands to the main window.
struct TMainFormOptions {
  std::vector<std::string> Words;  // command-line words after the program name
  uint16_t UserLangId = 0x409;     // the user's language id (0x411 Japanese)
  kvl::PathExistsFn PathExists = kvl::PathExists;
  // Opens the settings key (the user's ini file unless a test gives another).
  std::function<std::unique_ptr<kvl::ISettingsStore>()> OpenSettings;
};

// The protocol test window as the main window shows it.
class TProtocolTestView {
 public:
  virtual ~TProtocolTestView() = default;
  virtual QWidget* TestWindow() = 0;
  // The speed choice follows the line setting in use.
  virtual void ShowLineSetting(int32_t lineSetting) = 0;
  // The tester page becomes the active page.
  virtual void ShowTesterPage() = 0;
};

class TMainForm : public QMainWindow {
 public:
  TMainForm(kvl::TDialogPresenter& presenter, TMainFormOptions options, QWidget* parent = nullptr);
  ~TMainForm() override;

  // ---- start and close ----
  // Decides the language (run by the constructor, before any other window).
  void FormCreate();
  // The data image, created right after this window with its language.
  void AttachCore(TCore& core);
  // The wizard's last choice from the settings into the model words.
  void ReadWizardWords();
  // The start steps run once every window exists: Initialize, service mode
  // off, the language fixed, the tree panel width, the command line, the
  // fonts of the other windows.
  void FinishStart();
  // Texts, fonts, settings, window size, caption, program list; once.
  void Initialize();
  // Every command-line word in order.
  void ApplyCommandLine();
  // After a whole read from the controller: the file name becomes the
  // untitled name; caption and application title follow.
  void UpdateCaption();
  // Caption, title and file name after a data file given on the command
  // line has loaded.
  void AdoptCommandLineFile(const std::string& word);
  // The caption from the file name and the model code (after the model
  // changed; the file name and the application title stay).
  void UpdateModelCaption();
  // This window's font takes the size in points (the environment dialog);
  // ApplyFontToForms hands it on.
  void SetFontSize(int points);
  // This window's whole font: family, size, style, effects and colour.
  kvl::FontChoice MainFontChoice() const;
  // This window takes the whole font; the settings keep its name, size and
  // colour. ApplyFontToForms hands it on.
  void SetMainFont(const kvl::FontChoice& choice);
  // Copies this window's font and its colour to the other windows.
  void ApplyFontToForms();
  // A window that takes this window's font (the other windows, in the order
  // they are created).
  void RegisterForm(QWidget* form);
  // Ends the program once the quit question was answered with OK (the
  // start-up ends the event loop here); none: the window only closes.
  std::function<void()> EndApplication;
  // Writes the settings; false when they could not be saved.
  bool SaveSettings();
  // The message catalogue: (kind, code) shown in this window's language;
  // the modal result of the button pressed.
  int ShowMessageBox(int kind, int code);

  // The wizard's words just read become the model: model defaults, the whole
  // data image to its defaults, loop words, model code; once the window is
  // initialised, tree, menus and grid follow.
  void ApplyWizardModelAtStart();

  // ---- places for the parts that join the window later ----
  void LoadCommandLineFile(const std::string& word);
  void ShowProgramTag();
  void UpdateGrid(bool reposition);
  void OpenWizardAtStart();
  // The model-number wizard that OpenWizardAtStart shows.
  void AttachWizard(TOptSet& wizard);
  // The communication-test menu item shows the protocol test window.
  void HookCommTest(TProtocolTestView* testWindow);
  // Shows the protocol test window, not modally, in this window's state,
  // with the speed choice of the line setting and its tester page active.
  void ShowProtocolTest();

  // ---- group tree, group menus and selection ----
  // Creates the items of the items menu and the popup menu (once) and fills
  // the tree; entry 2 is selected.
  void BuildGroupMenus();
  // After anything that can change the tree rules: the menu items' states and
  // the tree follow them; the selected group stays selected while it is
  // shown, else entry 2 takes the selection.
  void RefreshGroups();
  // Enables the graph commands by the configuration.
  void UpdateMenus();
  // The graph commands: the table graph, and the pattern graph of the
  // program chosen in the program list, each shown modally.
  void TableGraphClick();
  void PatternGraphClick();
  // The kind of the group at the selected entry (-1 when none is selected).
  int CurrentGroupKind() const;
  // Selects the entry that shows the node and redraws the grid; a node that
  // is not in the tree changes nothing.
  void SelectGroup(int node);
  // A group's item of the items menu or the popup menu was clicked.
  void GroupMenuClick(int tag);
  // A mouse button or a key was released over the tree: a heading hands the
  // selection on to a group.
  void Outline1MouseUp();
  void Outline1KeyUp(int key);
  // Marks a control while it has the focus (colour, status text below the
  // tree); the grid registers itself here.
  void WatchFocus(QWidget* control, kvl::FocusControl kind);

  // ---- parameter grid view and value editing ----
  // The grid, its events and its place over Panel8 (once, by the constructor).
  void BuildGridView();
  // ShowProgramTag and UpdateGrid are declared with the entry points above.
  // The value chooser for the grid's current cell (list, place, visibility).
  void ShowChoiceCombo();
  // The grid's handlers.
  void StrColGrid1KeyPress(QChar& key);
  void StrColGrid1KeyDown(int& key);
  void StrColGrid1Click();
  void StrColGrid1MouseDown();
  // A value chosen in the chooser.
  void ComboBox1Change(int index);
  // The program selector and the tag editor.
  void ComboBoxProgNumChange();
  // Esc and Enter in the tag editor; true when the key was consumed.
  bool EditTagKeyPress(int key);
  // The current program, segment and item are the commands' CurrentProgram,
  // CurrentSegment and CurrentItem.
  static std::string FormatNumber2(int n) { return kvl::FormatNumber2(n); }
  // The grid's current cell to column 1, row 1 (where the grid has them).
  void MoveGridToFirstCell();
  // The current column and row, each where the grid has it, then the grid
  // rebuilt for that cell.
  void MoveGridTo(int col, int row);
  TStrColGrid* StrColGrid1 = nullptr;
  // The chooser's left edge as ShowChoiceCombo placed it (-1 before).
  int ChooserLeft = -1;
  // The table last shown and the item (segment or sub-index) of each grid
  // row (column), index 0 unused; valid until the next rebuild.
  kvl::GridTableView GridTable;
  std::vector<int> ItemOfRow;
  std::vector<int> SegmentOfCol;
  // Whether each rebuild also puts the grid's text on the clipboard (the
  // control panel's "clipboard" box); none: not.
  std::function<bool()> GridTextToClipboard;

  // ---- about box ----
  // Help, Version: the about box with the model code and the program's
  // version, shown modally.
  void MenuVersionClick();
  void ShowVersion();
  TVersionInfo* VersionInfo1 = nullptr;  // the version reader, owned by this window
  TAboutBox* AboutBox = nullptr;         // the about box joins itself when created

  // ---- file, listing, edit and transfer commands (MainCommands.cpp) ----
  // The transfer windows as the read, write and environment commands use
  // them; they live with the serial link's windows and are handed over at
  // start.
  class TTransferForms {
   public:
    virtual ~TTransferForms() = default;
    // The range dialog's boxes before it is shown, and as it closed.
    virtual void SetRange(bool checkProgram, bool checkParameter, bool parameterEnabled) = 0;
    virtual bool ProgramChecked() const = 0;
    virtual bool ParameterChecked() const = 0;
    // The range dialog shown modally: 1 when the transfer was confirmed.
    virtual int ExecuteRange() = 0;
    // The progress window's caption for the direction, then the window
    // shown modally running the transfer of CommDirection.
    virtual void SetProgressCaption(int direction) = 0;
    virtual int ExecuteProgress() = 0;
    // The environment dialog prepared (ports, font size, port) and shown
    // modally.
    virtual int ExecuteEnvironment() = 0;
  };
  void SetTransferForms(TTransferForms* forms);
  // Connects the menu items of these commands (the tool buttons run them)
  // and the read timer (once, by the constructor).
  void ConnectCommands();
  void New1Click();
  void Open1Click();
  void Save1Click();
  void SaveAs1Click();
  void CSVSaveClick();
  void HTML1Click();
  void NewSegClick();
  void CopySegClick();
  void CUT1Click();
  void COPY1Click();
  void PASTE1Click();
  void CLEAR1Click();
  void COPY2Click();
  void PASTE2Click();
  void CommReadClick();
  void CommWriteClick();
  void CommSetupClick();
  void ShowEnvironmentSetup();
  // Options, Type Setup: the wizard on its basic-model page.
  void KatabanSetupClick();
  void ShowModelSetup();
  // The read the wizard's read choice armed: on the first tick the timer
  // stops and the progress window runs the read.
  void Timer2Timer();
  void Rev0Click();
  void Rev1Click();
  void RevChangeClick();
  // Where the edit commands act: the program chosen in the program list,
  // and the grid's current segment and item; 0 when there is none.
  int CurrentProgram() const;
  int CurrentSegment() const;
  int CurrentItem() const;
  // A segment command on the cell (pattern, segment; item for Clear): its
  // confirmation, the operation, what follows. Nothing without a segment.
  void EditSegment(kvl::EditCommand command, int pattern, int segment, int item);
  TTransferForms* TransferForms = nullptr;

  // ---- data check and error list ----
  // Checks the shown values of the chosen ranges (the patterns of the
  // program list) and lists every failure in ErrorList, its place in the
  // jump table below; true when no value failed. The list is 80 pixels high
  // and takes the focus after failures, 20 pixels high after none.
  bool CheckData(bool programs, bool parameters);
  // Edit, Data Check: the whole check, then its result message.
  void datachk1Click();
  // A line of the list chosen (double click, or Enter): its group, and for a
  // program value its program, are selected.
  void ErrorListDblClick();
  // Empties the list and its jump table.
  void ClearErrorList();
  // The list's height: 80 pixels after failures, else 20.
  void SetErrorListHeight(bool failures);
  void ErrorListKeyPress(int key);
  // Connects the command and the list (once, by the constructor).
  void ConnectDataCheck();
  // The jump table: entry k belongs to line k of ErrorList (the last check).
  std::vector<int16_t> ErrorNode;
  std::vector<int16_t> ErrorRow;
  std::vector<int16_t> ErrorCol;
  std::vector<int16_t> ErrorProgram;

  // ---- queries ----
  QAction* MenuItem(const std::string& name) const;
  QToolButton* ToolButton(const std::string& name) const;
  int TreePanelWidth() const;
  std::string Caption() const;
  const std::string& ApplicationTitleText() const;
  // The run-time items of a node in the items menu and the popup menu.
  QAction* GroupMenuAction(int node) const;
  QAction* GroupPopupAction(int node) const;
  // The 1-based selected entry of the tree, 0 when none is.
  int SelectedEntry() const;

  // ---- state ----
  int Language = 1;  // 0 Japanese, 1 English
  int Level = 3;
  int SwVer = 1;
  std::string UntitledName;
  std::string FileName;
  std::string ModelNumberText;
  uint8_t ServiceMode = 0;
  bool ServiceModeBySwitch = false;  // '/C' also shows the wizard's model number
  uint8_t SegmentClipboardFull = 0;
  uint8_t PatternClipboardFull = 0;
  // Direction of the pending transfer: 0 read from the controller, 1 write
  // to it (set by the read and write commands, read by the range dialog and
  // the transfer thread).
  int CommDirection = 0;
  int ProgramOfItem[20] = {};
  // The node shown at each 1-based entry of the tree; -1 past the last entry
  // and at index 0.
  int NodeOfEntry[12] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  int GridDefaultColumnWidth = 50;
  int GridTitleColumnWidth = 400;
  // Read at start and written at close; MULTI, ADR and SADR stand here for
  // the environment dialog.
  kvl::MainSettings Settings;

  // ---- the form's components ----
  QWidget* Panel1 = nullptr;  // tool panel
  QWidget* Panel2 = nullptr;  // tree panel
  QWidget* Panel3 = nullptr;  // grid area
  QWidget* Panel4 = nullptr;  // status bar panel
  QLabel* Panel5 = nullptr;   // status text below the tree
  QWidget* Panel7 = nullptr;
  QLabel* Panel8 = nullptr;   // group name behind the grid
  QStackedLayout* GridStack = nullptr;  // the parameter grid joins Panel8 here
  QTreeWidget* Outline1 = nullptr;
  QListWidget* ErrorList = nullptr;
  QSplitter* Splitter1 = nullptr;
  QSplitter* Splitter2 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* StatusPanels[2] = {};
  QComboBox* ComboBox1 = nullptr;
  QComboBox* ComboBoxProgNum = nullptr;
  QLabel* LabelProg = nullptr;
  QLabel* LabelTag = nullptr;
  QLineEdit* EditTag = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QTimer* Timer1 = nullptr;
  QTimer* Timer2 = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildToolPanel();
  void BuildMenus();
  void PlaceToolPanel();
  void SetTabOrder();
  // The listing commands: the chooser, then open, write and close.
  void WriteListing(const std::string& dialogName, bool html);
  // Caption and application title after a file was opened or saved.
  void AdoptFileName(const std::string& path);
  // New and Open close the grid's in-place editor, its text dropped.
  void CloseGridEditor();
  // An edit command's confirmation; true when it was answered with OK.
  bool ConfirmEdit(int code);
  // The first cell's value text of a segment of the pattern.
  std::string SegmentFirstCellText(int pattern, int segment);
  void RefreshAfterChange();
  // The read and write commands once CommDirection is set.
  void StartTransfer();
  void SetTreePanelWidth(int width);
  void FocusGrid();
  void ApplyMainFont();
  void SetCaptionText(const std::string& caption);
  // Refills the tree from the view and selects the entry.
  void ShowGroupTree(const kvl::GroupView& view, int entry);
  void SelectEntry(int entry);
  // The rule's consequence of a selection in the tree.
  void AfterTreeSelection(int entry);
  void EnterControl(QWidget* control);
  void ExitControl(QWidget* control);
  void SetControlColour(QWidget* control, kvl::FocusColour colour);

  kvl::TDialogPresenter& Presenter;
  TMainFormOptions Options;
  TCore* Core = nullptr;
  TOptSet* OptSet = nullptr;
  // Shows the data image's plain notices through the presenter.
  class TNoticeForwarder : public TCoreNotifier {
   public:
    explicit TNoticeForwarder(kvl::TDialogPresenter& presenter) : Presenter(presenter) {}
    void ShowNotice(const std::string& text, const std::string& caption) override;

   private:
    kvl::TDialogPresenter& Presenter;
  } NoticeForwarder{Presenter};
  bool Shown = false;
  std::string CaptionText;
  std::map<std::string, QAction*> MenuItems;
  std::map<std::string, QToolButton*> ToolButtonsByName;
  std::vector<QWidget*> OtherForms;
  // The style and effects of this window's font (the settings hold the rest).
  bool FontBold = false;
  bool FontItalic = false;
  bool FontUnderline = false;
  bool FontStrikeOut = false;
  TProtocolTestView* ProtocolTest = nullptr;
  // The tree as it was last filled, and its items by entry (entry n at n - 1).
  kvl::GroupView Groups;
  std::vector<QTreeWidgetItem*> EntryItems;
  std::vector<QAction*> GroupMenuActions;   // by node
  std::vector<QAction*> GroupPopupActions;  // by node
  bool GroupMenusBuilt = false;
  std::map<QObject*, kvl::FocusControl> FocusControls;
  QWidget* FocusedControl = nullptr;  // the control marked as having the focus
};
