// Shows message descriptions as modal Qt dialogs: an icon of the type, the
// text as plain text (never rich text: file names show as they are), and the
// buttons in their order with their captions, focus, Enter and Esc.
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

#include "DialogPresenter.h"

class QPushButton;

namespace kvl {

class TMessageDialog : public QDialog {
 public:
  TMessageDialog(const MessageDescription& message, QWidget* parent);
  // The buttons in their order on the dialog.
  const std::vector<QPushButton*>& Buttons() const { return ButtonWidgets; }
  // Esc and the close box end the dialog with the description's Esc result.
  void reject() override;

 private:
  int EscapeResult;
  std::vector<QPushButton*> ButtonWidgets;
};

class TQtDialogPresenter : public TDialogPresenter {
 public:
  // The dialog's parent is the active window at the time of the call.
  int ShowModal(const MessageDescription& message) override;
  // While a window that stays on top shows, every dialog and form shown
  // here stays on top too, so that it comes up above that window.
  int ShowForm(TModalForm& form) override;
  // A Qt file dialog with the chooser's title, filter, default extension and
  // overwrite question. It opens in the folder where a file dialog last
  // chose a file, and in the working folder before the first.
  bool ChooseFile(const FileChooserDescription& chooser, std::string* path) override;
  // The folder the next file dialog opens in; empty: the working folder.
  const QString& ChooserFolder() const { return LastFolder; }

 private:
  QString LastFolder;
};

}  // namespace kvl
