// The confirmation dialog of a transfer: its question (set by the range
// dialog), a picture, OK and Cancel.
#pragma once

#include <QDialog>

#include <string>

#include "DialogPresenter.h"

class QLabel;
class QPushButton;

class Tcommdialog : public QDialog, public kvl::TModalForm {
 public:
  // `language` 0 Japanese, 1 English (the main window's).
  explicit Tcommdialog(int language, QWidget* parent = nullptr);

  // The English texts in place when the language is not Japanese.
  void FormCreate();
  // The question the dialog asks.
  void SetQuestion(const std::string& question);
  std::string Question() const;
  // Makes OK the active control (it is also when the dialog opens).
  void ActivateOk();

  void OKBtnClick();
  void BitBtn2Click();

  int ExecModal() override;
  int AnswerKey(bool enter) override;
  std::string FormCaption() const override;

  QLabel* Label1 = nullptr;
  QLabel* Image1 = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* BitBtn2 = nullptr;

 // Esc: the cancel button.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  int Language;
};
