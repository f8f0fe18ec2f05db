#include "ComSet.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "DialogButtons.h"
#include "MessageCatalog.h"
#include "UCore.h"
#include "mainform.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

TComSet::TComSet(TMainForm& main, TCore& core, kvl::TDialogPresenter& presenter, QWidget* parent)
    : QDialog(parent), Main(main), Core(core), Presenter(presenter) {
  setObjectName(QStringLiteral("ComSet"));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

  GroupBox1 = new QGroupBox(this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  comport = new QComboBox(GroupBox1);
  comport->setObjectName(QStringLiteral("comport"));
  (new QVBoxLayout(GroupBox1))->addWidget(comport);
  GroupBox4 = new QGroupBox(this);
  GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
  fontsize = new QComboBox(GroupBox4);
  fontsize->setObjectName(QStringLiteral("fontsize"));
  (new QVBoxLayout(GroupBox4))->addWidget(fontsize);

  QHBoxLayout* buttons = kvl::MakeOkCancelRow(this, OKBtn, CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBox1);
  layout->addWidget(GroupBox4);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
  FormCreate();
}

void TComSet::FormCreate() {
  const kvl::EnvironmentTexts texts = kvl::EnvironmentDialogTexts(Main.Language);
  setWindowTitle(Q(texts.Caption));
  GroupBox1->setTitle(Q(texts.PortGroup));
  GroupBox4->setTitle(Q(texts.FontGroup));
  fontsize->clear();
  for (const std::string& item : texts.FontSizes) fontsize->addItem(Q(item));
  fontsize->setCurrentIndex(-1);
  OKBtn->setText(Q(texts.Ok));
  CancelBtn->setText(Q(texts.Cancel));
}

void TComSet::FormActivate() { comport->setFocus(); }

void TComSet::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormActivate();
}

void TComSet::PrepareForShow() {
  comport->clear();
  for (const std::string& item : kvl::PortListItems(Main.Language)) comport->addItem(Q(item));
  // A size without an entry leaves the list's choice as it is; the English
  // list has no 10-point entry, so that size shows no choice there.
  const int font = kvl::FontListIndex(Main.Settings.FontSize);
  if (font >= 0) fontsize->setCurrentIndex(font < fontsize->count() ? font : -1);
  comport->setCurrentIndex(kvl::PortListIndex(Core.PortNumber));
}

void TComSet::OKBtnClick() {
  const kvl::EnvironmentChoice now{Core.PortNumber, Main.Settings.FontSize};
  const kvl::EnvironmentChoice next = kvl::ApplyEnvironmentChoice(now, comport->currentIndex(), fontsize->currentIndex());
  Core.PortNumber = next.PortNumber;
  Main.SetFontSize(next.FontPoints);
  Main.ApplyFontToForms();
  Main.RefreshGroups();
  Main.UpdateMenus();
  Main.MoveGridToFirstCell();
  Main.UpdateGrid(true);
  Main.ClearErrorList();
  done(kvl::kModalOk);
}

void TComSet::CancelBtnClick() { done(kvl::kModalCancel); }

void TComSet::reject() { CancelBtnClick(); }

int TComSet::Execute() { return Presenter.ShowForm(*this); }

int TComSet::ExecModal() { return exec(); }

int TComSet::AnswerKey(bool enter) {
  if (enter)
    OKBtnClick();
  else
    CancelBtnClick();
  return result();
}

std::string TComSet::FormCaption() const { return windowTitle().toStdString(); }

int32_t TComSet::Multi() const { return Main.Settings.Multi; }
int32_t TComSet::Adr() const { return Main.Settings.Address; }
int32_t TComSet::Sadr() const { return Main.Settings.SubAddress; }
