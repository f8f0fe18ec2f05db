// The developer control panel: the toolbar's flat look, the grid's column
// widths, the font of all windows, the line speed, the text protocol's
// checksum, a tester for the message catalogue, the switch that shows every
// parameter, and the "Model Check" and "clipboard" boxes other windows read.
// Double-clicking its free area turns it into the falling-blocks game. Its
// captions are English in both languages.
#pragma once

#include <QDialog>

#include <string>

#include "DialogPresenter.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TCore;
class TMainForm;
class TTetPanel;

class TFormCtrl : public QDialog, public kvl::TModalForm {
 public:
  // The nine toolbar buttons whose flat look the panel sets.
  static constexpr const char* kToolButtonNames[9] = {
      "NewButton",      "OpenButton",     "SaveButton", "COPYButton",     "PASTEButton",
      "ZTMtoKVLButton", "KVLtoZTMButton", "SetupButton", "ComSetupButton"};
  TFormCtrl(TMainForm& main, TCore& core, kvl::TDialogPresenter& presenter, QWidget* parent = nullptr);
  ~TFormCtrl() override;

  // ---- handlers ----
  void FormShow();
  // Applies the toolbar look and the grid widths, then closes with OK (not
  // when a width is not an integer).
  void BitBtn1Click();
  // Applies the toolbar look and the grid widths; false when a width was not
  // an integer (the error has been shown, later steps not done).
  bool Button1Click();
  // The font dialog, through the presenter, starting with the main window's
  // font; after OK the main window takes the chosen font; in any case the
  // other windows get the main window's font.
  void Button2Click();
  void RadioGroup1Click();
  void RadioGroup2Click();
  void Button3Click();
  void Button4Click();
  void FormDblClick();

  // What other windows read.
  bool ModelCheckTicked() const;
  bool ClipboardTicked() const;

  // Shown modally through the presenter (from the protocol test window).
  int ExecModal() override;
  int AnswerKey(bool enter) override;
  std::string FormCaption() const override;

  QCheckBox* CheckBox1 = nullptr;  // "Flat Button"
  QLabel* Label1 = nullptr;
  QLineEdit* Edit1 = nullptr;      // default column width
  QLabel* Label2 = nullptr;
  QLineEdit* Edit2 = nullptr;      // width of column 0
  QPushButton* BitBtn1 = nullptr;  // OK
  QPushButton* BitBtn2 = nullptr;  // Cancel
  QPushButton* Button1 = nullptr;  // Apply
  QPushButton* Button2 = nullptr;  // Font
  QCheckBox* CheckBox2 = nullptr;  // "clipboard"
  QGroupBox* RadioGroup1 = nullptr;  // "Comm Speed"
  QButtonGroup* RadioGroup1Items = nullptr;
  QGroupBox* RadioGroup2 = nullptr;  // "Sum"
  QButtonGroup* RadioGroup2Items = nullptr;
  QCheckBox* CheckBoxDebug = nullptr;  // "High Speed"
  QGroupBox* GroupBox1 = nullptr;      // "Message Check"
  QSpinBox* CSpinEdit1 = nullptr;      // kind 0..5
  QSpinBox* CSpinEdit2 = nullptr;      // code
  QPushButton* Button3 = nullptr;
  TTetPanel* TetPanel1 = nullptr;
  QCheckBox* CheckBoxNoMdlchk = nullptr;  // "Model Check"
  QCheckBox* MonitorStop = nullptr;
  QPushButton* Button4 = nullptr;  // "All Enable"

 protected:
  void showEvent(QShowEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // A width box as an integer; shows the conversion error when it is not.
  bool WidthOf(const QLineEdit* edit, int& width);

  TMainForm& Main;
  TCore& Core;
  kvl::TDialogPresenter& Presenter;
};

// The name the main window's service tools know the panel by.
using TCtrlPanel = TFormCtrl;
