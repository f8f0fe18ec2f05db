#include "GameMessages.h"

#include <QApplication>
#include <QMessageBox>

void ShowGameMessageBox(const TGameMessage& message, QWidget* parent) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title = QApplication::applicationDisplayName();
  switch (message.Kind) {
    case TGameMessageKind::Error:
      icon = QMessageBox::Critical;
      title = QStringLiteral("Error");
      break;
    case TGameMessageKind::Information:
      icon = QMessageBox::Information;
      title = QStringLiteral("Information");
      break;
    case TGameMessageKind::Plain: break;
  }
  QMessageBox box(icon, title, message.Text, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  // Over a window that stays on top (the control panel while the counter
  // window shows) the box stays on top too, so that it is not covered.
  if (parent && parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  box.exec();
}
