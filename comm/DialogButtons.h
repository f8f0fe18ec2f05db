// The OK and Cancel buttons that the range and environment dialogs share.
#pragma once

#include <QHBoxLayout>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace kvl {

// Creates OKBtn (the default button) and CancelBtn on `dialog` and returns
// them right-aligned in a row.
inline QHBoxLayout* MakeOkCancelRow(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel) {
  ok = new QPushButton(dialog);
  ok->setObjectName(QStringLiteral("OKBtn"));
  ok->setDefault(true);
  cancel = new QPushButton(dialog);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

}  // namespace kvl
