// The about box: product name and model line, controller series with the
// model code, the program's version, and the service-mode unlock (a hidden
// access-code field opened by a double click on the logo).
//
// It is created last at start: its create handler runs the main window's
// start steps (TMainForm::FinishStart), which need every other window.
#pragma once

#include <QDialog>

#include <string>

#include "DialogPresenter.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class TMainForm;

namespace kvl {
// The colour index of the product label's cycle; process-wide, so that it
// survives closing and reopening the box.
extern int AboutColourIndex;
}  // namespace kvl

class TAboutBox : public QDialog, public kvl::TModalForm {
 public:
  // Builds the box, joins the main window's windows and runs FormCreate.
  explicit TAboutBox(TMainForm& mainForm, QWidget* parent = nullptr);
  ~TAboutBox() override;

  // Shown as a form; Enter and Esc both close it with OK.
  int ExecModal() override;
  int AnswerKey(bool enter) override;
  std::string FormCaption() const override;

  // The main window's start steps, then the box's own captions.
  void FormCreate();

  // Before the box is shown: the model code line, the version read from
  // `programFile`, three numbers in the version line.
  void BeforeShowing(const std::string& modelCode, const std::string& programFile);
  // After it closes: field and unlock button hidden, the field emptied, the
  // labels black.
  void AfterShowing();

  // ---- handlers ----
  void BitBtn1Click();
  void Timer1Timer();
  void KVLNAME1DblClick();
  void Label2DblClick();
  void HalvorinBmpDblClick();
  void PASSEdit1Change();
  void Button1Click();

  // ---- the form's components ----
  QFrame* Panel1 = nullptr;
  QLabel* KVLNAME1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Copyright = nullptr;
  QLabel* HalvorinBmp = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QLineEdit* PASSEdit1 = nullptr;
  QPushButton* Button1 = nullptr;
  QTimer* Timer1 = nullptr;

 protected:
  // Esc presses the OK button, which is also the cancel button.
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  TMainForm& Main;
};
