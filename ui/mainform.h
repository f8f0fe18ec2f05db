// The main window: the tool panel, the group tree panel, the grid area with
// the error list, the status bar and the main menu; the program's start-up
// steps that belong to it (language, texts, settings, command line) and its
// closing (settings written back, then the quit question).
//
// Everything it decides comes from the window-free rules (StartupRules,
// CommandLine, Settings, MainFormTexts, MessageCatalog); the widgets only
// show the result.
#pragma once

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CommandLine.h"
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
class TCore;

namespace kvl {
class TDialogPresenter;
}

// What the start of the process hands to the main window.
struct TMainFormOptions {
  std::vector<std::string> Words;  // command-line words after the program name
  uint16_t UserLangId = 0x409;     // the user's language id (0x411 Japanese)
  kvl::PathExistsFn PathExists = kvl::PathExists;
  // Opens the settings key (the user's ini file unless a test gives another).
  std::function<std::unique_ptr<kvl::ISettingsStore>()> OpenSettings;
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
  // Copies this window's font to the other windows.
  void ApplyFontToForms();
  // A window that takes this window's font (the other windows, in the order
  // they are created).
  void RegisterForm(QWidget* form);
  // Writes the settings; false when they could not be saved.
  bool SaveSettings();
  // The message catalogue: (kind, code) shown in this window's language;
  // the modal result of the button pressed.
  int ShowMessageBox(int kind, int code);

  // ---- places for the parts that join the window later ----
  void ApplyWizardModelAtStart();
  void LoadCommandLineFile(const std::string& word);
  void BuildGroupMenus();
  void RefreshGroups();
  void UpdateMenus();
  void ShowProgramTag();
  void UpdateGrid(bool reposition);
  void OpenWizardAtStart();

  // ---- queries ----
  QAction* MenuItem(const std::string& name) const;
  QToolButton* ToolButton(const std::string& name) const;
  int TreePanelWidth() const;
  std::string Caption() const;
  const std::string& ApplicationTitleText() const;

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
  int ProgramOfItem[20] = {};
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

 private:
  void BuildToolPanel();
  void BuildMenus();
  void PlaceToolPanel();
  void SetTreePanelWidth(int width);
  void ApplyMainFont();
  void SetCaptionText(const std::string& caption);

  kvl::TDialogPresenter& Presenter;
  TMainFormOptions Options;
  TCore* Core = nullptr;
  bool Shown = false;
  std::string CaptionText;
  std::map<std::string, QAction*> MenuItems;
  std::map<std::string, QToolButton*> ToolButtonsByName;
  std::vector<QWidget*> OtherForms;
};
