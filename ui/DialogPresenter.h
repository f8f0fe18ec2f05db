// The one way the program shows a modal dialog: a message description in,
// the modal result out (1 OK, 2 Cancel, 6 Yes, 7 No). The windows build
// descriptions; a presenter shows them. Tests put in a presenter that records
// the descriptions and answers at once, so no test waits on a dialog.
#pragma once

#include <cstdio>
#include <string>

#include "MessageCatalog.h"

namespace kvl {

// A window of the program that is shown modally (the transfer dialogs, the
// progress window), as the presenter sees it.
class TModalForm {
 public:
  virtual ~TModalForm() = default;
  // Shows the window modally until it closes; its modal result.
  virtual int ExecModal() = 0;
  // Ends the window without showing it, as a key pressed at its opening
  // would: Enter its default button, Esc its cancel button; the modal
  // result. A window that ends by itself (the progress window) runs to its
  // end.
  virtual int AnswerKey(bool enter) = 0;
  // The window's caption.
  virtual std::string FormCaption() const = 0;
};

// A file chooser as a window asks for it: open an existing file or name one
// to save to.
struct FileChooserDescription {
  enum class Mode { Open, Save };
  Mode Kind = Mode::Open;
  std::string Name;              // the window's dialog component, e.g. "SaveDialog2"
  std::string Title;             // empty: the platform's title
  std::string Filter;            // "description|mask", e.g. "CSV file(*.csv)|csv"
  std::string DefaultExtension;  // appended to a name given without one
  std::string InitialName;       // e.g. "*.q70"; a name with a wildcard only filters
  bool MustExist = false;        // path and file must exist
  bool OverwritePrompt = false;  // ask before replacing an existing file
};

class TDialogPresenter {
 public:
  virtual ~TDialogPresenter() = default;
  // Shows the dialog modally and returns the result of the button that
  // closed it (Esc and the window's close box give EscapeResult).
  virtual int ShowModal(const MessageDescription& message) = 0;
  // Shows a form modally and returns its modal result.
  virtual int ShowForm(TModalForm& form) { return form.ExecModal(); }
  // Shows the file chooser modally; true with the chosen path, false when it
  // was cancelled. A presenter that cannot ask cancels.
  virtual bool ChooseFile(const FileChooserDescription& chooser, std::string* path) {
    (void)chooser;
    (void)path;
    return false;
  }
};

// Answers every dialog without showing it, as if Enter (the default button)
// or Esc were pressed, and writes one line per dialog to `log`: the title,
// the text with its line breaks as "\n", and the button captions. Forms are
// answered the same way (the progress window runs its job). The
// program uses it when the environment variable KVLQ70_DIALOG_ANSWER is
// "enter" or "esc", so that scripts and tests can run it unattended.
class TAutoAnswerPresenter : public TDialogPresenter {
 public:
  enum class Answer { Enter, Escape };
  TAutoAnswerPresenter(Answer answer, std::FILE* log) : Reply(answer), Log(log) {}
  int ShowModal(const MessageDescription& message) override;
  // Answers the form with its key and writes "form: caption -> result".
  int ShowForm(TModalForm& form) override;
  // Cancels every file chooser (no name can be typed) and writes
  // "file: title -> cancel".
  bool ChooseFile(const FileChooserDescription& chooser, std::string* path) override;

  // The presenter KVLQ70_DIALOG_ANSWER asks for; false when it asks for none.
  static bool FromEnvironment(Answer* answer);

 private:
  Answer Reply;
  std::FILE* Log;
};

}  // namespace kvl
