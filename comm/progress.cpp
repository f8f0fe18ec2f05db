#include "progress.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "CommDialogRules.h"
#include "MessageCatalog.h"
#include "UCommunication.h"
#include "URenzoku.h"
#include "mainform.h"
#include "tcommthread.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

TCommProg::TCommProg(TMainForm& main, TCore& core, kvl::TDialogPresenter& presenter, QWidget* parent)
    : QDialog(parent), Main(main), Core(core), Presenter(presenter) {
  setObjectName(QStringLiteral("CommProg"));
  // No minimise or maximise: the window ends by its job or by Cancel. The
  // close box is named so that X window managers are told which functions
  // the window has (with none named they are offered all); closing is Cancel.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);

  Panel1 = new QLabel(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setAlignment(Qt::AlignCenter);
  Panel1->setMinimumSize(240, 32);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setTextVisible(false);
  BitBtn1 = new QPushButton(this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Panel1);
  layout->addWidget(ProgressBar1);
  layout->addWidget(BitBtn1, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  FormCreate();
}

TCommProg::~TCommProg() {
  if (Worker) {
    TCommThread* worker = Worker.data();
    worker->Detach();
    worker->RequestCancel();
    // The worker may be waiting in a synchronised call: serve those (they
    // do nothing now) until it has ended.
    while (!worker->wait(10)) QCoreApplication::sendPostedEvents(worker, QEvent::MetaCall);
    delete worker;
  }
}

void TCommProg::SetRangeDialog(const TCommunication* range) { RangeDialog = range; }

void TCommProg::SetModelCheck(std::function<bool()> modelCheck) { ModelCheck = std::move(modelCheck); }

void TCommProg::SetDataCheck(std::function<bool(bool, bool)> dataCheck) { DataCheck = std::move(dataCheck); }

void TCommProg::SetFrameCounter(TRenzokuComm* counter) { FrameCounter = counter; }

void TCommProg::FormCreate() {
  const kvl::ProgressTexts texts = kvl::ProgressWindowTexts(Main.Language);
  setWindowTitle(Q(texts.Caption));
  Panel1->setText(Q(texts.Panel));
  BitBtn1->setText(Q(texts.Cancel));
}

void TCommProg::SetDirectionCaption(int direction) { setWindowTitle(Q(kvl::TransferCaption(direction, Main.Language))); }

int TCommProg::Execute() { return Presenter.ShowForm(*this); }

int TCommProg::ExecModal() {
  // A new job starts only once a cancelled one has ended (its result
  // message comes first).
  WaitForWorker();
  StartPending = true;
  Showing = true;
  setWindowModality(Qt::ApplicationModal);
  show();
  QEventLoop loop;
  Loop = &loop;
  if (Showing) loop.exec(QEventLoop::DialogExec);
  Loop = nullptr;
  return kvl::kModalCancel;
}

// The window has no key of its own to answer with: the job runs to its end.
int TCommProg::AnswerKey(bool) { return ExecModal(); }

std::string TCommProg::FormCaption() const { return windowTitle().toStdString(); }

void TCommProg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormActivate();
}

void TCommProg::FormActivate() {
  if (!StartPending) return;
  StartPending = false;
  ProgressBar1->setValue(0);
  StartWorker();
}

void TCommProg::StartWorker() {
  TransferJobSettings settings;
  settings.CommDirection = Main.CommDirection;
  settings.ModelCheck = ModelCheck ? ModelCheck() : true;
  if (RangeDialog) settings.Range = RangeDialog->TransferRange();
  auto* worker = new TCommThread(*this, Main, Core, settings, DataCheck, FrameCounter.data());
  connect(worker, &QThread::finished, worker, &QObject::deleteLater);
  Worker = worker;
  worker->start();
}

void TCommProg::BitBtn1Click() {
  if (Worker) Worker->RequestCancel();
  CloseWindow();
}

bool TCommProg::WorkerRunning() const { return Worker && !Worker->isFinished(); }

void TCommProg::WaitForWorker() {
  if (!WorkerRunning()) return;
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(5);
  connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
    if (!WorkerRunning()) loop.quit();
  });
  poll.start();
  loop.exec();
}

void TCommProg::CloseWindow() {
  hide();
  Showing = false;
  if (Loop) Loop->quit();
}

void TCommProg::HideWindow() { hide(); }

void TCommProg::ShowAgain() {
  if (Showing) show();
}

void TCommProg::done(int) { BitBtn1Click(); }

void TCommProg::reject() { BitBtn1Click(); }
