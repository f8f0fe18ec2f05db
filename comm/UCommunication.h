// The range dialog of a transfer: which parts of the image move (programs,
// parameters), confirmed through the confirmation dialog before it closes
// with OK.
#pragma once

#include <QDialog>

#include <string>

#include "CommDialogRules.h"
#include "DialogPresenter.h"
#include "UCore.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class TMainForm;
class Tcommdialog;

class TCommunication : public QDialog, public kvl::TModalForm {
 public:
  // The question follows main.CommDirection; the confirmation is shown
  // through the presenter.
  TCommunication(TMainForm& main, Tcommdialog& confirm, kvl::TDialogPresenter& presenter, QWidget* parent = nullptr);

  // The English texts in place when the main window's language is not
  // Japanese.
  void FormCreate();
  // The focus goes to OK.
  void FormShow();
  // Asks the confirmation dialog; closes with OK only when it is confirmed.
  void OKBtnClick();
  void CancelBtnClick();

  // The boxes as a command or the wizard sets them, and as they stand.
  void SetRange(const kvl::RangeChoice& choice);
  kvl::RangeChoice Range() const;
  // What a transfer moves: the two boxes.
  TCore::TransferRange TransferRange() const;

  // Shows the dialog modally through the presenter; 1 when the transfer is
  // confirmed, 2 otherwise.
  int Execute();
  int ExecModal() override;
  int AnswerKey(bool enter) override;
  std::string FormCaption() const override;

  QGroupBox* GroupBox1 = nullptr;
  QCheckBox* CheckProgram = nullptr;
  QCheckBox* CheckParameter = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

 // Esc: the cancel button.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TMainForm& Main;
  Tcommdialog& Confirm;
  kvl::TDialogPresenter& Presenter;
};
