#include "ctrlpanel.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "Application.h"
#include "FontDialog.h"
#include "MessageCatalog.h"
#include "ServiceChoiceRules.h"
#include "TetPanel.h"
#include "UCore.h"
#include "mainform.h"

namespace {

constexpr const char* kSpeedItems[] = {"4800", "9600", "19.2K", "38.4K", "57.6K", "56.0K", "115K"};
constexpr const char* kSumItems[] = {"On", "Off"};
// The first column's width the main window sets at start, by language.
constexpr const char* kTitleWidthJapanese = "270";
constexpr const char* kTitleWidthEnglish = "400";

QGroupBox* MakeRadioGroup(QWidget* parent, const char* name, const char* caption, const char* const* items,
                          int count, int checked, QButtonGroup*& buttons) {
  auto* box = new QGroupBox(QString::fromUtf8(caption), parent);
  box->setObjectName(QString::fromLatin1(name));
  auto* column = new QVBoxLayout(box);
  buttons = new QButtonGroup(box);
  for (int i = 0; i < count; ++i) {
    auto* button = new QRadioButton(QString::fromUtf8(items[i]), box);
    buttons->addButton(button, i);
    column->addWidget(button);
    if (i == checked) button->setChecked(true);
  }
  return box;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* caption, bool ticked) {
  auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setChecked(ticked);
  return box;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TFormCtrl::TFormCtrl(TMainForm& main, TCore& core, kvl::TDialogPresenter& presenter, QWidget* parent)
    : QDialog(parent), Main(main), Core(core), Presenter(presenter) {
  setObjectName(QStringLiteral("FormCtrl"));
  setWindowTitle(QStringLiteral("Control Panel"));
  QFont formFont(QString::fromUtf8("ＭＳ Ｐゴシック"));
  formFont.setPixelSize(12);
  setFont(formFont);

  auto* grid = new QGridLayout(this);
  CheckBox1 = MakeCheckBox(this, "CheckBox1", "Flat Button", true);
  grid->addWidget(CheckBox1, 0, 0, 1, 2);
  Label1 = new QLabel(QStringLiteral("Col"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  grid->addWidget(Label1, 1, 0);
  grid->addWidget(Edit1, 1, 1);
  Label2 = new QLabel(QStringLiteral("Title"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName(QStringLiteral("Edit2"));
  grid->addWidget(Label2, 2, 0);
  grid->addWidget(Edit2, 2, 1);
  Button1 = MakeButton(this, "Button1", "Apply");
  Button2 = MakeButton(this, "Button2", "Font");
  grid->addWidget(Button1, 3, 0);
  grid->addWidget(Button2, 3, 1);
  CheckBox2 = MakeCheckBox(this, "CheckBox2", "clipboard", false);
  grid->addWidget(CheckBox2, 4, 0, 1, 2);

  RadioGroup1 = MakeRadioGroup(this, "RadioGroup1", "Comm Speed", kSpeedItems, 7, 1, RadioGroup1Items);
  grid->addWidget(RadioGroup1, 0, 2, 6, 1);
  RadioGroup2 = MakeRadioGroup(this, "RadioGroup2", "Sum", kSumItems, 2, 0, RadioGroup2Items);
  grid->addWidget(RadioGroup2, 0, 3, 2, 1);
  CheckBoxDebug = MakeCheckBox(this, "CheckBoxDebug", "High Speed", false);
  grid->addWidget(CheckBoxDebug, 2, 3);

  GroupBox1 = new QGroupBox(QStringLiteral("Message Check"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* messageRow = new QHBoxLayout(GroupBox1);
  CSpinEdit1 = new QSpinBox(GroupBox1);
  CSpinEdit1->setObjectName(QStringLiteral("CSpinEdit1"));
  CSpinEdit1->setRange(0, 5);
  CSpinEdit2 = new QSpinBox(GroupBox1);
  CSpinEdit2->setObjectName(QStringLiteral("CSpinEdit2"));
  CSpinEdit2->setRange(0, 9999);
  Button3 = MakeButton(GroupBox1, "Button3", "OK");
  messageRow->addWidget(CSpinEdit1);
  messageRow->addWidget(CSpinEdit2);
  messageRow->addWidget(Button3);
  grid->addWidget(GroupBox1, 6, 0, 1, 3);

  CheckBoxNoMdlchk = MakeCheckBox(this, "CheckBoxNoMdlchk", "Model Check", true);
  MonitorStop = MakeCheckBox(this, "MonitorStop", "MonitorStop", false);
  Button4 = MakeButton(this, "Button4", "All Enable");
  grid->addWidget(CheckBoxNoMdlchk, 3, 3);
  grid->addWidget(MonitorStop, 4, 3);
  grid->addWidget(Button4, 5, 3);

  BitBtn1 = MakeButton(this, "BitBtn1", "OK");
  BitBtn1->setDefault(true);
  BitBtn2 = MakeButton(this, "BitBtn2", "Cancel");
  grid->addWidget(BitBtn1, 7, 2);
  grid->addWidget(BitBtn2, 7, 3);

  // The game's own boxes go through the presenter as plain notices.
  TetPanel1 = new TTetPanel(this, [this](const TGameMessage& message) {
    const char* title = message.Kind == TGameMessageKind::Error         ? kvl::PlatformDialogTitle(kvl::DialogType::Error)
                        : message.Kind == TGameMessageKind::Information ? kvl::PlatformDialogTitle(kvl::DialogType::Information)
                                                                        : kvl::ApplicationTitle().c_str();
    kvl::MessageDescription box = kvl::DescribePlainNotice(message.Text.toStdString(), title);
    if (message.Kind == TGameMessageKind::Error) box.Type = kvl::DialogType::Error;
    Presenter.ShowModal(box);
  });
  TetPanel1->setObjectName(QStringLiteral("TetPanel1"));
  TetPanel1->hide();

  // A fixed size that follows the font: the layout sets it whenever its
  // contents' sizes change.
  grid->setSizeConstraint(QLayout::SetFixedSize);

  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(BitBtn2, &QPushButton::clicked, this, [this] { reject(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  connect(RadioGroup1Items, &QButtonGroup::idClicked, this, [this] { RadioGroup1Click(); });
  connect(RadioGroup2Items, &QButtonGroup::idClicked, this, [this] { RadioGroup2Click(); });
}

TFormCtrl::~TFormCtrl() = default;

void TFormCtrl::FormShow() {
  TetPanel1->hide();
  Edit1->setText(QString::number(Main.GridDefaultColumnWidth));
  Edit2->setText(QString::fromLatin1(Main.Language == 0 ? kTitleWidthJapanese : kTitleWidthEnglish));
}

bool TFormCtrl::WidthOf(const QLineEdit* edit, int& width) {
  const std::string text = edit->text().toStdString();
  int32_t value = 0;
  if (!kvl::ParseInteger(text, value)) {
    Presenter.ShowModal(kvl::DescribeException(kvl::InvalidIntegerText(text, Main.Language), kvl::ApplicationTitle()));
    return false;
  }
  width = value;
  return true;
}

bool TFormCtrl::Button1Click() {
  const bool flat = CheckBox1->isChecked();
  for (const char* name : kToolButtonNames)
    if (QToolButton* button = Main.ToolButton(name)) button->setAutoRaise(flat);
  int width = 0;
  if (!WidthOf(Edit1, width)) return false;
  Main.GridDefaultColumnWidth = width;
  if (!WidthOf(Edit2, width)) return false;
  Main.GridTitleColumnWidth = width;
  Main.UpdateGrid(false);
  return true;
}

void TFormCtrl::BitBtn1Click() {
  if (Button1Click()) accept();
}

void TFormCtrl::Button2Click() {
  TFontDialog dialog(this);
  dialog.SetChoice(Main.MainFontChoice());
  if (Presenter.ShowForm(dialog) == kvl::kModalOk) Main.SetMainFont(dialog.Choice());
  Main.ApplyFontToForms();
}

void TFormCtrl::RadioGroup1Click() { Core.LineSetting = kvl::LineSettingForSpeedItem(RadioGroup1Items->checkedId()); }

void TFormCtrl::RadioGroup2Click() {
  Core.Protocol->Wqt.ChecksumFlag = kvl::ChecksumFlagForSumItem(RadioGroup2Items->checkedId());
}

void TFormCtrl::Button3Click() { Main.ShowMessageBox(CSpinEdit1->value(), CSpinEdit2->value()); }

void TFormCtrl::Button4Click() { Core.ShowAll = 1; }

void TFormCtrl::FormDblClick() {
  TetPanel1->setGeometry(rect());
  TetPanel1->show();
  TetPanel1->raise();
  TetPanel1->SetState(TState::Plumet);
  TetPanel1->SetStart(true);
}

bool TFormCtrl::ModelCheckTicked() const { return CheckBoxNoMdlchk->isChecked(); }

bool TFormCtrl::ClipboardTicked() const { return CheckBox2->isChecked(); }

int TFormCtrl::ExecModal() { return exec(); }

int TFormCtrl::AnswerKey(bool enter) {
  FormShow();
  if (enter && Button1Click()) return kvl::kModalOk;
  return kvl::kModalCancel;
}

std::string TFormCtrl::FormCaption() const { return windowTitle().toStdString(); }

void TFormCtrl::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TFormCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  QDialog::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) FormDblClick();
}
