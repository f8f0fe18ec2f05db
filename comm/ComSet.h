// The environment dialog: the COM port of the transfers and the font size
// of the windows; it also holds the text protocol's MULTI, station address
// and sub-address settings (kept in the main window's settings, shown by no
// control).
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

#include "CommDialogRules.h"
#include "DialogPresenter.h"

class QComboBox;
class QGroupBox;
class QPushButton;
class TCore;
class TMainForm;

class TComSet : public QDialog, public kvl::TModalForm {
 public:
  TComSet(TMainForm& main, TCore& core, kvl::TDialogPresenter& presenter, QWidget* parent = nullptr);

  // The English texts in place when the main window's language is not
  // Japanese.
  void FormCreate();
  // The focus goes to the port list.
  void FormActivate();
  // Applies the port and the font size and refreshes the main window;
  // closes with OK.
  void OKBtnClick();
  // Closes; nothing is applied.
  void CancelBtnClick();

  // What the environment command does before showing the dialog: the port
  // list refilled with COM1..COM16, the font size and the port of now
  // chosen.
  void PrepareForShow();
  // Shows the dialog modally through the presenter; its modal result.
  int Execute();
  int ExecModal() override;
  int AnswerKey(bool enter) override;
  std::string FormCaption() const override;

  // The text protocol's settings ("MULTI", "ADR", "SADR").
  int32_t Multi() const;
  int32_t Adr() const;
  int32_t Sadr() const;
  // Station address and sub-address as the text protocol takes them.
  uint16_t StationAddress() const { return static_cast<uint16_t>(Adr()); }
  uint16_t SubAddress() const { return static_cast<uint16_t>(Sadr()); }

  QGroupBox* GroupBox1 = nullptr;
  QComboBox* comport = nullptr;
  QGroupBox* GroupBox4 = nullptr;
  QComboBox* fontsize = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

 // Esc: the cancel button.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TMainForm& Main;
  TCore& Core;
  kvl::TDialogPresenter& Presenter;
};
