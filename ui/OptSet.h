// The model-number wizard: six pages without tabs (welcome, method, basic
// model, output type, option 1, option 2). Its choices become the model
// words of the data image; the rules that tie the choices together and turn
// them into words live in TModelWords / TModelChoices, which this window
// forwards to.
#pragma once

#include <QDialog>
#include <QGroupBox>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "DialogPresenter.h"
#include "ModelWords.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTextEdit;
class QVBoxLayout;
class TCore;
class TMainForm;

// A titled group of radio buttons whose items can be replaced. OnClick runs
// when the user clicks an item; setting the index by program runs nothing.
class TRadioGroup : public QGroupBox {
 public:
  explicit TRadioGroup(QWidget* parent);
  // Replaces the items (kept as they are when they are the same texts).
  void SetItems(const std::vector<std::string>& items);
  std::vector<std::string> Items() const;
  int Count() const { return static_cast<int>(Buttons.size()); }
  // The checked item, -1 when none is.
  int ItemIndex() const;
  void SetItemIndex(int index);
  QRadioButton* Button(int index) const;

  std::function<void()> OnClick;

 private:
  QButtonGroup* Group;
  QVBoxLayout* Column;
  std::vector<QRadioButton*> Buttons;
};

class TOptSet : public QDialog, public kvl::TModalForm {
 public:
  // Created after the main window and the data image: reads the last choice
  // from the settings and applies it to the image (the main window's
  // ReadWizardWords), then sets up texts and lists.
  TOptSet(TMainForm& main, TCore& core, kvl::TDialogPresenter& presenter, QWidget* parent = nullptr);

  // ---- entry points ----
  // At start: the choices from the model words, the welcome page, shown
  // modally through the presenter; the modal result.
  int ShowAtStart();
  // The model setup command: the choices from the model words, the basic
  // page without its Back button (hidden from then on), method choice 0.
  int ShowForModelSetup();
  // The range dialog of the read choice: sets its boxes for a read of the
  // setup parameters alone and shows it modally; its modal result. Without
  // one the read choice stays on the method page.
  void SetReadRangeDialog(std::function<int()> showForRead);

  // ---- handlers ----
  void FormCreate();
  void FormShow();
  void BitBtnToSelClick();        // welcome Next
  void BitBtnBackWelcomeClick();  // method Back
  void BitBtnBackStdClick();      // method Next and output Back
  void BitBtnBackSelClick();      // basic Back
  void BitBtnToOutClick();        // basic Next and option-1 Back
  void BitBtnToOpt1Click();       // output Next and option-2 Back
  void BitBtnToOpt2Click();       // option-1 Next
  void RadioGroupStdClick();
  void RadioGroupOutClick();
  void RadioGroupOpt1Click();
  void RadioGroupOpt2Click();
  void BitBtn2Click();  // every Cancel
  void BitBtn1Click();  // Complete

  // ---- model operations (on the data image's model words) ----
  // The choices to the four words and the previews; mode 1 also stores the
  // words and the main window's model-number text.
  void ControlsToModel(int mode);
  // HardwareType1/HardwareType2 to the four choices and their lists.
  void ModelToControls();
  void ApplyModelDefaults();
  void ApplyOutputSelection();
  void UpdateModelFlags();
  void ApplyThreePositionFlag(uint16_t& word);
  void LoadModelFromCore();

  // ---- state ----
  QWidget* ActivePage() const;
  void SetActivePage(QWidget* page);
  const TModelChoices& Choices() const { return ModelChoices; }
  // The page's Next or Complete button.
  QPushButton* ForwardButton(QWidget* page) const;

  int ExecModal() override;
  // Enter: the default button of each page in turn until the wizard ends
  // (Complete with the choices shown); Esc: Cancel.
  int AnswerKey(bool enter) override;
  std::string FormCaption() const override;

  // Esc and the close box: Cancel.
  void reject() override;

  // ---- the form's components ----
  QStackedWidget* PageControl1 = nullptr;
  QWidget* TabSheetWelcome = nullptr;
  QWidget* TabSheetSel = nullptr;
  QWidget* TabSheetStd = nullptr;
  QWidget* TabSheetOut = nullptr;
  QWidget* TabSheetOpt1 = nullptr;
  QWidget* TabSheetOpt2 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QTextEdit* RichEdit1 = nullptr;
  TRadioGroup* RadioGroupSelect = nullptr;
  TRadioGroup* RadioGroupStd = nullptr;
  TRadioGroup* RadioGroupOut = nullptr;
  TRadioGroup* RadioGroupOpt1 = nullptr;
  TRadioGroup* RadioGroupOpt2 = nullptr;
  QLabel* StaticText1 = nullptr;  // the model number (service mode)
  QLabel* Label1 = nullptr;       // the four words (service mode)
  QPushButton* BitBtn3 = nullptr;  // welcome Cancel
  QPushButton* BitBtnToSel = nullptr;
  QPushButton* BitBtn5 = nullptr;  // method Cancel
  QPushButton* BitBtnBackWelcome = nullptr;
  QPushButton* BitBtnToStd = nullptr;
  QPushButton* BitBtn2 = nullptr;  // basic Cancel
  QPushButton* BitBtnBackSel = nullptr;
  QPushButton* BitBtnToOut = nullptr;
  QPushButton* BitBtn4 = nullptr;  // output Cancel
  QPushButton* BitBtnBackStd = nullptr;
  QPushButton* BitBtnToOpt1 = nullptr;
  QPushButton* BitBtn6 = nullptr;  // option-1 Cancel
  QPushButton* BitBtnBackOut = nullptr;
  QPushButton* BitBtnToOpt2 = nullptr;
  QPushButton* BitBtn9 = nullptr;  // option-2 Cancel
  QPushButton* BitBtnBackOpt1 = nullptr;
  QPushButton* BitBtn1 = nullptr;  // Complete

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct PageButtons {
    QWidget* Page;
    QPushButton* Cancel;
    QPushButton* Back;  // none on the welcome page
    QPushButton* Forward;
  };
  QWidget* AddPage(const char* name, QWidget* content, const char* cancel, const char* back, const char* forward);
  // The controls show ModelChoices: lists, then indexes.
  void ShowChoices();
  std::vector<std::string> ItemTexts(const TItemTable& table) const;
  void Close(int result);

  TMainForm& Main;
  TCore& Core;
  kvl::TDialogPresenter& Presenter;
  std::function<int()> ReadRangeDialog;
  TModelChoices ModelChoices;
  std::vector<PageButtons> Pages;
  bool Finished = false;  // the current showing has ended
};
