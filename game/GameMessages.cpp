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
  box.exec();
}
