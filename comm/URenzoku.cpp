#include "URenzoku.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

namespace {

QLineEdit* CounterBox(QWidget* parent, QVBoxLayout* column, QGroupBox*& box, const char* caption, const char* name) {
  box = new QGroupBox(QString::fromUtf8(caption), parent);
  auto* row = new QHBoxLayout(box);
  auto* edit = new QLineEdit(QStringLiteral("0"), box);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setReadOnly(true);
  edit->setAlignment(Qt::AlignRight);
  row->addWidget(edit);
  column->addWidget(box);
  return edit;
}

// A count box's number (its text as the window last set it).
long CountOf(const QLineEdit* edit) { return edit->text().toLong(); }

}  // namespace

TRenzokuComm::TRenzokuComm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("RenzokuComm"));
  setWindowTitle(QString::fromUtf8("連続通信"));
  setModal(false);
  auto* column = new QVBoxLayout(this);
  EditComm = CounterBox(this, column, GroupBox1, "通信回数", "EditComm");
  EditError = CounterBox(this, column, GroupBox2, "エラー回数", "EditError");
  setFixedSize(sizeHint().expandedTo(QSize(200, 0)));
}

void TRenzokuComm::ResetCounts() {
  EditComm->setText(QStringLiteral("0"));
  EditError->setText(QStringLiteral("0"));
}

void TRenzokuComm::CountFrame() {
  if (isVisible()) EditComm->setText(QString::number(CountOf(EditComm) + 1));
}

std::function<void()> TRenzokuComm::FrameCountHook(Synchronizer synchronize) {
  return [window = QPointer<TRenzokuComm>(this), synchronize = std::move(synchronize)] {
    synchronize([&window] {
      if (window) window->CountFrame();
    });
  };
}

void TRenzokuComm::CountError() { EditError->setText(QString::number(CountOf(EditError) + 1)); }

long TRenzokuComm::FrameCount() const { return CountOf(EditComm); }

long TRenzokuComm::ErrorCount() const { return CountOf(EditError); }
