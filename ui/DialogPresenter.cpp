#include "DialogPresenter.h"

#include <cstdlib>
#include <cstring>

namespace kvl {

int TAutoAnswerPresenter::ShowModal(const MessageDescription& message) {
  int result = message.EscapeResult;
  if (Reply == Answer::Enter && message.DefaultButton >= 0 &&
      message.DefaultButton < static_cast<int>(message.Buttons.size()))
    result = message.Buttons[static_cast<size_t>(message.DefaultButton)].Result;
  if (Log != nullptr) {
    std::string text;
    for (char c : message.Text) text += c == '\n' ? std::string("\\n") : std::string(1, c);
    std::string buttons;
    for (const DialogButtonDescription& b : message.Buttons) buttons += "[" + b.Caption + "]";
    std::fprintf(Log, "dialog: %s | %s | %s -> %d\n", message.Title.c_str(), text.c_str(), buttons.c_str(), result);
    std::fflush(Log);
  }
  return result;
}

int TAutoAnswerPresenter::ShowForm(TModalForm& form) {
  const std::string caption = form.FormCaption();
  const int result = form.AnswerKey(Reply == Answer::Enter);
  if (Log != nullptr) {
    std::fprintf(Log, "form: %s -> %d\n", caption.c_str(), result);
    std::fflush(Log);
  }
  return result;
}

bool TAutoAnswerPresenter::ChooseFile(const FileChooserDescription& chooser, std::string*) {
  if (Log != nullptr) {
    std::fprintf(Log, "file: %s -> cancel\n", chooser.Title.empty() ? chooser.Name.c_str() : chooser.Title.c_str());
    std::fflush(Log);
  }
  return false;
}

bool TAutoAnswerPresenter::FromEnvironment(Answer* answer) {
  const char* value = std::getenv("KVLQ70_DIALOG_ANSWER");
  if (value == nullptr) return false;
  if (std::strcmp(value, "enter") == 0) {
    *answer = Answer::Enter;
    return true;
  }
  if (std::strcmp(value, "esc") == 0) {
    *answer = Answer::Escape;
    return true;
  }
  return false;
}

}  // namespace kvl
