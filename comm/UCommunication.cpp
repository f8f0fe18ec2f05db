#include "UCommunication.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "DialogButtons.h"
#include "MessageCatalog.h"
#include "cdialog.h"
#include "mainform.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

TCommunication::TCommunication(TMainForm& main, Tcommdialog& confirm, kvl::TDialogPresenter& presenter,
                               QWidget* parent)
    : QDialog(parent), Main(main), Confirm(confirm), Presenter(presenter) {
  setObjectName(QStringLiteral("Communication"));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

  GroupBox1 = new QGroupBox(this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  CheckProgram = new QCheckBox(GroupBox1);
  CheckProgram->setObjectName(QStringLiteral("CheckProgram"));
  CheckParameter = new QCheckBox(GroupBox1);
  CheckParameter->setObjectName(QStringLiteral("CheckParameter"));
  auto* boxes = new QVBoxLayout(GroupBox1);
  boxes->addWidget(CheckProgram);
  boxes->addWidget(CheckParameter);
  SetRange(kvl::RangeForCommand());

  QHBoxLayout* buttons = kvl::MakeOkCancelRow(this, OKBtn, CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBox1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
  FormCreate();
}

void TCommunication::FormCreate() {
  const kvl::RangeTexts texts = kvl::RangeDialogTexts(Main.Language);
  setWindowTitle(Q(texts.Caption));
  GroupBox1->setTitle(Q(texts.GroupBox));
  CheckProgram->setText(Q(texts.Program));
  CheckParameter->setText(Q(texts.Parameter));
  OKBtn->setText(Q(texts.Ok));
  CancelBtn->setText(Q(texts.Cancel));
}

void TCommunication::FormShow() { OKBtn->setFocus(); }

void TCommunication::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TCommunication::OKBtnClick() {
  Confirm.ActivateOk();
  Confirm.SetQuestion(kvl::ConfirmQuestion(Main.CommDirection, Main.Language));
  if (kvl::RangeClosesWithOk(Presenter.ShowForm(Confirm))) done(kvl::kModalOk);
}

void TCommunication::CancelBtnClick() { done(kvl::kModalCancel); }

void TCommunication::reject() { CancelBtnClick(); }

void TCommunication::SetRange(const kvl::RangeChoice& choice) {
  CheckProgram->setChecked(choice.CheckProgram);
  CheckParameter->setChecked(choice.CheckParameter);
  CheckParameter->setEnabled(choice.ParameterEnabled);
}

kvl::RangeChoice TCommunication::Range() const {
  return {CheckProgram->isChecked(), CheckParameter->isChecked(), CheckParameter->isEnabled()};
}

TCore::TransferRange TCommunication::TransferRange() const {
  TCore::TransferRange range;
  range.CheckProgram = CheckProgram->isChecked();
  range.CheckParameter = CheckParameter->isChecked();
  return range;
}

int TCommunication::Execute() { return Presenter.ShowForm(*this); }

int TCommunication::ExecModal() { return exec(); }

int TCommunication::AnswerKey(bool enter) {
  setResult(kvl::kModalCancel);
  if (enter) OKBtnClick();
  // A refused confirmation leaves the dialog open; unattended, that ends it.
  return result() == kvl::kModalOk ? kvl::kModalOk : kvl::kModalCancel;
}

std::string TCommunication::FormCaption() const { return windowTitle().toStdString(); }
