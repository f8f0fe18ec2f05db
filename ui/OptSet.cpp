#include "OptSet.h"

#include <QButtonGroup>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "MessageCatalog.h"
#include "OptSetTexts.h"
#include "UCore.h"
#include "mainform.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr int kFormHeight = 420;
constexpr const char* kModelNumberFont = "ＭＳ ゴシック";
constexpr int kModelNumberPixels = 16;

}  // namespace

// ---- radio group ----

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent), Group(new QButtonGroup(this)) {
  Group->setExclusive(true);
  Column = new QVBoxLayout(this);
  Column->addStretch(1);
  connect(Group, &QButtonGroup::idClicked, this, [this](int) {
    if (OnClick) OnClick();
  });
}

void TRadioGroup::SetItems(const std::vector<std::string>& items) {
  if (items == Items()) return;
  for (QRadioButton* button : Buttons) {
    Group->removeButton(button);
    Column->removeWidget(button);
    button->hide();
    button->deleteLater();
  }
  Buttons.clear();
  for (size_t i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(Q(items[i]), this);
    button->setObjectName(objectName() + QStringLiteral("_%1").arg(i));
    Group->addButton(button, static_cast<int>(i));
    Column->insertWidget(static_cast<int>(i), button);
    Buttons.push_back(button);
  }
}

std::vector<std::string> TRadioGroup::Items() const {
  std::vector<std::string> items;
  for (const QRadioButton* button : Buttons) items.push_back(button->text().toStdString());
  return items;
}

int TRadioGroup::ItemIndex() const { return Group->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
  if (index >= 0 && index < Count()) {
    Buttons[static_cast<size_t>(index)]->setChecked(true);
    return;
  }
  // No item checked.
  Group->setExclusive(false);
  for (QRadioButton* button : Buttons) button->setChecked(false);
  Group->setExclusive(true);
}

QRadioButton* TRadioGroup::Button(int index) const {
  return index >= 0 && index < Count() ? Buttons[static_cast<size_t>(index)] : nullptr;
}

// ---- the wizard ----

TOptSet::TOptSet(TMainForm& main, TCore& core, kvl::TDialogPresenter& presenter, QWidget* parent)
    : QDialog(parent), Main(main), Core(core), Presenter(presenter) {
  setObjectName(QStringLiteral("OptSet"));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

  PageControl1 = new QStackedWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(PageControl1);

  GroupBox1 = new QGroupBox;
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  RichEdit1 = new QTextEdit(GroupBox1);
  RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
  RichEdit1->setReadOnly(true);
  RichEdit1->setAcceptRichText(false);
  RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
  (new QVBoxLayout(GroupBox1))->addWidget(RichEdit1);
  TabSheetWelcome = AddPage("TabSheetWelcome", GroupBox1, "BitBtn3", nullptr, "BitBtnToSel");

  RadioGroupSelect = new TRadioGroup(nullptr);
  RadioGroupSelect->setObjectName(QStringLiteral("RadioGroupSelect"));
  TabSheetSel = AddPage("TabSheetSel", RadioGroupSelect, "BitBtn5", "BitBtnBackWelcome", "BitBtnToStd");

  RadioGroupStd = new TRadioGroup(nullptr);
  RadioGroupStd->setObjectName(QStringLiteral("RadioGroupStd"));
  TabSheetStd = AddPage("TabSheetStd", RadioGroupStd, "BitBtn2", "BitBtnBackSel", "BitBtnToOut");

  RadioGroupOut = new TRadioGroup(nullptr);
  RadioGroupOut->setObjectName(QStringLiteral("RadioGroupOut"));
  TabSheetOut = AddPage("TabSheetOut", RadioGroupOut, "BitBtn4", "BitBtnBackStd", "BitBtnToOpt1");

  RadioGroupOpt1 = new TRadioGroup(nullptr);
  RadioGroupOpt1->setObjectName(QStringLiteral("RadioGroupOpt1"));
  TabSheetOpt1 = AddPage("TabSheetOpt1", RadioGroupOpt1, "BitBtn6", "BitBtnBackOut", "BitBtnToOpt2");

  auto* option2 = new QWidget;
  auto* option2Column = new QVBoxLayout(option2);
  option2Column->setContentsMargins(0, 0, 0, 0);
  RadioGroupOpt2 = new TRadioGroup(option2);
  RadioGroupOpt2->setObjectName(QStringLiteral("RadioGroupOpt2"));
  option2Column->addWidget(RadioGroupOpt2, 1);
  StaticText1 = new QLabel(option2);
  StaticText1->setObjectName(QStringLiteral("StaticText1"));
  StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  QFont numberFont(QString::fromUtf8(kModelNumberFont));
  numberFont.setPixelSize(kModelNumberPixels);
  StaticText1->setFont(numberFont);
  StaticText1->hide();
  option2Column->addWidget(StaticText1);
  Label1 = new QLabel(option2);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->hide();
  option2Column->addWidget(Label1);
  TabSheetOpt2 = AddPage("TabSheetOpt2", option2, "BitBtn9", "BitBtnBackOpt1", "BitBtn1");

  auto button = [this](size_t page, int which) {
    const PageButtons& p = Pages[page];
    return which == 0 ? p.Cancel : which == 1 ? p.Back : p.Forward;
  };
  BitBtn3 = button(0, 0);
  BitBtnToSel = button(0, 2);
  BitBtn5 = button(1, 0);
  BitBtnBackWelcome = button(1, 1);
  BitBtnToStd = button(1, 2);
  BitBtn2 = button(2, 0);
  BitBtnBackSel = button(2, 1);
  BitBtnToOut = button(2, 2);
  BitBtn4 = button(3, 0);
  BitBtnBackStd = button(3, 1);
  BitBtnToOpt1 = button(3, 2);
  BitBtn6 = button(4, 0);
  BitBtnBackOut = button(4, 1);
  BitBtnToOpt2 = button(4, 2);
  BitBtn9 = button(5, 0);
  BitBtnBackOpt1 = button(5, 1);
  BitBtn1 = button(5, 2);

  for (const PageButtons& p : Pages) connect(p.Cancel, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
  connect(BitBtnToSel, &QPushButton::clicked, this, [this] { BitBtnToSelClick(); });
  connect(BitBtnBackWelcome, &QPushButton::clicked, this, [this] { BitBtnBackWelcomeClick(); });
  connect(BitBtnToStd, &QPushButton::clicked, this, [this] { BitBtnBackStdClick(); });
  connect(BitBtnBackSel, &QPushButton::clicked, this, [this] { BitBtnBackSelClick(); });
  connect(BitBtnToOut, &QPushButton::clicked, this, [this] { BitBtnToOutClick(); });
  connect(BitBtnBackStd, &QPushButton::clicked, this, [this] { BitBtnBackStdClick(); });
  connect(BitBtnToOpt1, &QPushButton::clicked, this, [this] { BitBtnToOpt1Click(); });
  connect(BitBtnBackOut, &QPushButton::clicked, this, [this] { BitBtnToOutClick(); });
  connect(BitBtnToOpt2, &QPushButton::clicked, this, [this] { BitBtnToOpt2Click(); });
  connect(BitBtnBackOpt1, &QPushButton::clicked, this, [this] { BitBtnToOpt1Click(); });
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  RadioGroupStd->OnClick = [this] { RadioGroupStdClick(); };
  RadioGroupOut->OnClick = [this] { RadioGroupOutClick(); };
  RadioGroupOpt1->OnClick = [this] { RadioGroupOpt1Click(); };
  RadioGroupOpt2->OnClick = [this] { RadioGroupOpt2Click(); };

  FormCreate();
}

QWidget* TOptSet::AddPage(const char* name, QWidget* content, const char* cancel, const char* back,
                          const char* forward) {
  auto* page = new QWidget;
  page->setObjectName(QString::fromLatin1(name));
  auto* column = new QVBoxLayout(page);
  column->addWidget(content, 1);
  auto* panel = new QWidget(page);
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 0, 0, 0);
  row->addStretch(1);
  auto makeButton = [panel, row](const char* buttonName) {
    auto* b = new QPushButton(panel);
    b->setObjectName(QString::fromLatin1(buttonName));
    // The buttons take no part in Tab navigation.
    b->setFocusPolicy(Qt::ClickFocus);
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
  };
  PageButtons buttons{page, nullptr, nullptr, nullptr};
  buttons.Cancel = makeButton(cancel);
  if (back) buttons.Back = makeButton(back);
  buttons.Forward = makeButton(forward);
  column->addWidget(panel);
  PageControl1->addWidget(page);
  Pages.push_back(buttons);
  return page;
}

// Steps 1 and 3 of the creation (the words from the settings, the image to
// the model's defaults) are the main window's ReadWizardWords; the texts and
// lists follow. The pages carry no tabs (a stacked widget has none).
void TOptSet::FormCreate() {
  Main.ReadWizardWords();
  const int language = Main.Language;
  const kvl::OptSetTexts texts = kvl::WizardTexts(language);
  setWindowTitle(Q(texts.Caption));
  setFixedSize(texts.FormWidth, kFormHeight);
  GroupBox1->setTitle(Q(texts.WelcomeGroup));
  RadioGroupSelect->setTitle(Q(texts.MethodGroup));
  RadioGroupSelect->SetItems({texts.MethodItems[0], texts.MethodItems[1]});
  RadioGroupSelect->SetItemIndex(0);
  RadioGroupStd->setTitle(Q(texts.BasicGroup));
  RadioGroupOut->setTitle(Q(texts.OutputGroup));
  RadioGroupOpt1->setTitle(Q(texts.Option1Group));
  RadioGroupOpt2->setTitle(Q(texts.Option2Group));
  for (const PageButtons& p : Pages) {
    p.Cancel->setText(Q(texts.Cancel));
    if (p.Back) p.Back->setText(Q(texts.Back));
    p.Forward->setText(Q(p.Forward == BitBtn1 ? texts.Complete : texts.Next));
  }
  QStringList lines;
  for (const std::string& line : kvl::WelcomeLines(language)) lines << Q(line);
  RichEdit1->setPlainText(lines.join(QLatin1Char('\n')));
  ModelToControls();
  SetActivePage(TabSheetWelcome);
}

std::vector<std::string> TOptSet::ItemTexts(const TItemTable& table) const {
  std::vector<std::string> items;
  for (int i = 0; i < table.Count; ++i) items.emplace_back(table.Item(Main.Language, i));
  return items;
}

void TOptSet::ShowChoices() {
  RadioGroupStd->SetItems(ItemTexts(BasicModelTexts));
  RadioGroupOut->SetItems(ItemTexts(*ModelChoices.OutputItems));
  RadioGroupOpt1->SetItems(ItemTexts(*ModelChoices.AuxItems));
  RadioGroupOpt2->SetItems(ItemTexts(Option2Texts));
  RadioGroupStd->SetItemIndex(ModelChoices.BasicIndex);
  RadioGroupOut->SetItemIndex(ModelChoices.OutputIndex);
  RadioGroupOpt1->SetItemIndex(ModelChoices.AuxIndex);
  RadioGroupOpt2->SetItemIndex(ModelChoices.Option2Index);
}

// ---- entry points ----

int TOptSet::ShowAtStart() {
  ModelToControls();
  SetActivePage(TabSheetWelcome);
  Finished = false;
  return Presenter.ShowForm(*this);
}

int TOptSet::ShowForModelSetup() {
  ModelToControls();
  BitBtnBackSel->hide();
  SetActivePage(TabSheetStd);
  RadioGroupSelect->SetItemIndex(0);
  Finished = false;
  return Presenter.ShowForm(*this);
}

void TOptSet::SetReadRangeDialog(std::function<int()> showForRead) { ReadRangeDialog = std::move(showForRead); }

// ---- showing and pages ----

void TOptSet::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

// The service mode shows the four words; the start switch also the model number.
void TOptSet::FormShow() {
  Label1->setVisible(Main.ServiceMode != 0);
  StaticText1->setVisible(Main.ServiceModeBySwitch);
  if (ActivePage() == TabSheetStd) BitBtnToOut->setFocus();
  if (ActivePage() == TabSheetWelcome) BitBtnToSel->setFocus();
}

QWidget* TOptSet::ActivePage() const { return PageControl1->currentWidget(); }

QPushButton* TOptSet::ForwardButton(QWidget* page) const {
  for (const PageButtons& p : Pages)
    if (p.Page == page) return p.Forward;
  return nullptr;
}

// The page's Next or Complete becomes the default button and takes the focus.
void TOptSet::SetActivePage(QWidget* page) {
  PageControl1->setCurrentWidget(page);
  for (const PageButtons& p : Pages) p.Forward->setDefault(p.Page == page);
  if (QPushButton* forward = ForwardButton(page)) forward->setFocus();
}

void TOptSet::BitBtnToSelClick() {
  RadioGroupSelect->SetItemIndex(0);
  SetActivePage(TabSheetSel);
}

void TOptSet::BitBtnBackWelcomeClick() { SetActivePage(TabSheetWelcome); }

// Method 1 reads the whole setting from the controller instead: the range
// dialog offers the parameters alone; once it is confirmed the main window's
// read timer starts the read and the wizard ends with OK.
void TOptSet::BitBtnBackStdClick() {
  if (RadioGroupSelect->ItemIndex() != 1) {
    SetActivePage(TabSheetStd);
    return;
  }
  Main.CommDirection = 0;
  const int result = ReadRangeDialog ? ReadRangeDialog() : kvl::kModalCancel;
  if (result != kvl::kModalOk) return;
  Main.Timer2->start();
  Close(kvl::kModalOk);
}

void TOptSet::BitBtnBackSelClick() {
  RadioGroupSelect->SetItemIndex(0);
  SetActivePage(TabSheetSel);
}

void TOptSet::BitBtnToOutClick() { SetActivePage(TabSheetOut); }

void TOptSet::BitBtnToOpt1Click() { SetActivePage(TabSheetOpt1); }

void TOptSet::BitBtnToOpt2Click() {
  ControlsToModel(0);
  SetActivePage(TabSheetOpt2);
}

void TOptSet::RadioGroupStdClick() {
  ModelChoices.SelectBasic(RadioGroupStd->ItemIndex());
  ShowChoices();
}

void TOptSet::RadioGroupOutClick() {
  ModelChoices.SelectOutput(RadioGroupOut->ItemIndex());
  ShowChoices();
}

void TOptSet::RadioGroupOpt1Click() {
  ModelChoices.SelectAux(RadioGroupOpt1->ItemIndex());
  ShowChoices();
}

void TOptSet::RadioGroupOpt2Click() {
  ModelChoices.SelectOption2(RadioGroupOpt2->ItemIndex());
  ShowChoices();
  ControlsToModel(0);
}

void TOptSet::BitBtn2Click() { Close(kvl::kModalCancel); }

void TOptSet::reject() { BitBtn2Click(); }

// The image keeps its values: only the model words, C75..C77, C96 and C97
// change; the main window follows the new model.
void TOptSet::BitBtn1Click() {
  ControlsToModel(1);
  ApplyModelDefaults();
  UpdateModelFlags();
  Close(kvl::kModalOk);
  Core.BuildModelCode();
  Main.RefreshGroups();
  Main.UpdateMenus();
  Main.ClearErrorList();
  Main.UpdateGrid(true);
  Main.ShowProgramTag();
  Main.UpdateModelCaption();
}

void TOptSet::Close(int result) {
  Finished = true;
  done(result);
}

// ---- model operations ----

void TOptSet::ControlsToModel(int mode) {
  const TModelNumberPreview preview =
      Core.Model.ControlsToModel(mode, ModelChoices.BasicIndex, ModelChoices.OutputIndex, ModelChoices.AuxIndex,
                                 ModelChoices.Option2Index);
  StaticText1->setText(Q(preview.ModelNumber));
  Label1->setText(Q(preview.WordsText));
  if (mode == 1) Main.ModelNumberText = preview.ModelNumber;
}

void TOptSet::ModelToControls() {
  ModelChoices = Core.Model.ModelToControls();
  ShowChoices();
}

void TOptSet::ApplyModelDefaults() { Core.Model.ApplyModelDefaults(); }

void TOptSet::ApplyOutputSelection() { Core.Model.ApplyOutputSelection(); }

void TOptSet::UpdateModelFlags() { Core.Model.UpdateModelFlags(); }

void TOptSet::ApplyThreePositionFlag(uint16_t& word) { Core.Model.ApplyThreePositionFlag(word); }

void TOptSet::LoadModelFromCore() { Core.Model.LoadModelFromCore(); }

// ---- modal showing ----

int TOptSet::ExecModal() {
  Finished = false;
  return exec();
}

int TOptSet::AnswerKey(bool enter) {
  Finished = false;
  setResult(kvl::kModalCancel);
  if (!enter) {
    BitBtn2Click();
    return result();
  }
  // Every page has a forward button; a read choice refused by its range
  // dialog would stay put, so the walk is bounded.
  for (size_t step = 0; step < Pages.size() && !Finished; ++step) ForwardButton(ActivePage())->click();
  if (!Finished) BitBtn2Click();
  return result();
}

std::string TOptSet::FormCaption() const { return windowTitle().toStdString(); }
