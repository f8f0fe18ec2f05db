#include "cdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "CommDialogRules.h"
#include "MessageCatalog.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

Tcommdialog::Tcommdialog(int language, QWidget* parent) : QDialog(parent), Language(language) {
  setObjectName(QStringLiteral("commdialog"));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  const int extent = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(extent, extent));
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setTextFormat(Qt::PlainText);
  OKBtn = new QPushButton(this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setDefault(true);
  BitBtn2 = new QPushButton(this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));

  auto* top = new QHBoxLayout;
  top->addWidget(Image1);
  top->addWidget(Label1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OKBtn);
  buttons->addWidget(BitBtn2);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
  FormCreate();
}

void Tcommdialog::FormCreate() {
  const kvl::ConfirmTexts texts = kvl::ConfirmDialogTexts(Language);
  setWindowTitle(Q(texts.Caption));
  Label1->setText(Q(texts.Question));
  OKBtn->setText(Q(texts.Ok));
  BitBtn2->setText(Q(texts.Cancel));
}

void Tcommdialog::SetQuestion(const std::string& question) { Label1->setText(Q(question)); }

std::string Tcommdialog::Question() const { return Label1->text().toStdString(); }

void Tcommdialog::ActivateOk() { OKBtn->setFocus(); }

void Tcommdialog::OKBtnClick() { done(kvl::kModalOk); }

void Tcommdialog::BitBtn2Click() { done(kvl::kModalCancel); }

void Tcommdialog::reject() { BitBtn2Click(); }

void Tcommdialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  OKBtn->setFocus();
}

int Tcommdialog::ExecModal() { return exec(); }

int Tcommdialog::AnswerKey(bool enter) {
  if (enter)
    OKBtnClick();
  else
    BitBtn2Click();
  return result();
}

std::string Tcommdialog::FormCaption() const { return windowTitle().toStdString(); }
