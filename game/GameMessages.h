// The game's message boxes: range errors of its properties, the restart
// notice and picture files that cannot be opened. The panel hands each one
// to a presenter; the program's presenter shows a modal box, a test's
// records it and returns at once.
#pragma once

#include <QString>

#include <functional>

class QWidget;

enum class TGameMessageKind {
  Error,        // error box, one OK button
  Information,  // information box, one OK button
  Plain,        // plain message box under the application title
};

struct TGameMessage {
  TGameMessageKind Kind = TGameMessageKind::Plain;
  QString Text;
};

using TGameMessagePresenter = std::function<void(const TGameMessage&)>;

// Shows the message modally over `parent` with one OK button.
void ShowGameMessageBox(const TGameMessage& message, QWidget* parent);
