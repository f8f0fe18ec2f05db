#include "QtDialogPresenter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "FileCommandRules.h"

namespace kvl {
namespace {

QStyle::StandardPixmap IconOf(DialogType type) {
  switch (type) {
    case DialogType::Warning: return QStyle::SP_MessageBoxWarning;
    case DialogType::Error: return QStyle::SP_MessageBoxCritical;
    case DialogType::Information: return QStyle::SP_MessageBoxInformation;
    case DialogType::Confirmation: return QStyle::SP_MessageBoxQuestion;
  }
  return QStyle::SP_MessageBoxInformation;
}

// A window that stays on top (the exerciser's counter window) would cover a
// dialog opened while it shows: the dialog then stays on top as well, and
// comes up above it. Without such a window it is an ordinary one again.
void KeepAboveStayOnTopWindows(QWidget& dialog) {
  bool above = false;
  for (const QWidget* window : QApplication::topLevelWidgets())
    if (window != &dialog && window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
      above = true;
  if (dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint) != above)
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, above);
}

}  // namespace

TMessageDialog::TMessageDialog(const MessageDescription& message, QWidget* parent)
    : QDialog(parent), EscapeResult(message.EscapeResult) {
  setModal(true);
  setWindowTitle(QString::fromStdString(message.Title));

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("Image"));
  const int extent = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  icon->setPixmap(style()->standardIcon(IconOf(message.Type), nullptr, this).pixmap(extent, extent));
  icon->setAlignment(Qt::AlignTop);

  auto* text = new QLabel(this);
  text->setObjectName(QStringLiteral("Message"));
  text->setTextFormat(Qt::PlainText);
  text->setText(QString::fromStdString(message.Text));
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addWidget(text, 1);

  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (size_t i = 0; i < message.Buttons.size(); ++i) {
    const DialogButtonDescription& b = message.Buttons[i];
    auto* button = new QPushButton(QString::fromStdString(b.Caption), this);
    const int result = b.Result;
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    button->setDefault(static_cast<int>(i) == message.DefaultButton);
    row->addWidget(button);
    ButtonWidgets.push_back(button);
  }
  row->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(row);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  if (message.FocusButton >= 0 && message.FocusButton < static_cast<int>(ButtonWidgets.size()))
    ButtonWidgets[static_cast<size_t>(message.FocusButton)]->setFocus();
}

void TMessageDialog::reject() { done(EscapeResult); }

int TQtDialogPresenter::ShowModal(const MessageDescription& message) {
  TMessageDialog dialog(message, QApplication::activeWindow());
  KeepAboveStayOnTopWindows(dialog);
  return dialog.exec();
}

int TQtDialogPresenter::ShowForm(TModalForm& form) {
  if (auto* window = dynamic_cast<QWidget*>(&form)) KeepAboveStayOnTopWindows(*window);
  return form.ExecModal();
}

bool TQtDialogPresenter::ChooseFile(const FileChooserDescription& chooser, std::string* path) {
  QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(chooser.Title),
                     LastFolder.isEmpty() ? QDir::currentPath() : LastFolder);
  dialog.setAcceptMode(chooser.Kind == FileChooserDescription::Mode::Open ? QFileDialog::AcceptOpen
                                                                          : QFileDialog::AcceptSave);
  dialog.setFileMode(chooser.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!chooser.OverwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setNameFilter(QString::fromStdString(ChooserNameFilter(chooser.Filter)));
  dialog.setDefaultSuffix(QString::fromStdString(chooser.DefaultExtension));
  const std::string initial = ChooserInitialFile(chooser.InitialName);
  if (!initial.empty()) dialog.selectFile(QString::fromStdString(initial));
  KeepAboveStayOnTopWindows(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  const QString chosen = dialog.selectedFiles().front();
  LastFolder = QFileInfo(chosen).absolutePath();
  *path = QFile::encodeName(chosen).toStdString();
  return true;
}

}  // namespace kvl

