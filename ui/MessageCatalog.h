// The program's bilingual message vocabulary: every modal message about
// files, segment and pattern editing, transfers and the data check is chosen
// here by a message kind and a code, and described as plain data (type,
// title, text, buttons, focus, Enter and Esc) for a dialog presenter to show.
// No widget is involved, so the whole vocabulary is testable headless.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvl {

// The product and controller words that the texts are built from.
inline constexpr const char* kProductName = "KVL-Q70";
inline constexpr const char* kControllerName = "MXQ40";

// The message kinds (first argument of TMainForm::ShowMessageBox).
enum MessageKind : int {
  kMessageEdit = 0,          // edit confirmations, quit, segment-insert limit
  kMessageFileRead = 1,      // data-file read error
  kMessageFileWrite = 2,     // data-file write error
  kMessageExport = 3,        // CSV/HTML listing error
  kMessageTransfer = 4,      // communication result (a transfer result code)
  kMessageModelMismatch = 5, // model-mismatch question before a write
  kMessageDataCheck = 6,     // data-check result
};

// Modal results of every dialog of the program.
inline constexpr int kModalOk = 1;
inline constexpr int kModalCancel = 2;
inline constexpr int kModalYes = 6;
inline constexpr int kModalNo = 7;

enum class DialogType { Warning, Error, Information, Confirmation };
enum class DialogButton { Yes, No, OK, Cancel };

struct DialogButtonDescription {
  DialogButton Button;
  std::string Caption;  // '&' marks the keyboard accelerator
  int Result;           // modal result when pressed
};

struct MessageDescription {
  DialogType Type = DialogType::Information;
  std::string Title;
  std::string Text;  // plain text; '\n' breaks the line
  std::vector<DialogButtonDescription> Buttons;  // in their order on the dialog
  int FocusButton = 0;    // index into Buttons of the button that has the focus
  int DefaultButton = 0;  // index into Buttons of the button Enter presses
  int EscapeResult = kModalOk;  // result of Esc (and of closing the window)
};

// The message of (kind, code) in `language` (0 Japanese, anything else
// English). `fileName` is the current data file name, used by the one text
// that names it (kind 3 code 3). Unknown kinds and codes fall back to their
// kind's general entry; this never fails.
MessageDescription DescribeMessage(int kind, int code, int language, std::string_view fileName);

// The dialog of a second instance, worded by the console code page (932
// Japanese under the platform's caption, anything else English, "Error").
MessageDescription DescribeSecondInstance(unsigned oemCodePage);

// An error that escaped an event handler: its text under the application title.
MessageDescription DescribeException(std::string_view what, std::string_view applicationTitle);

// A plain message box with one OK button, as the data image's own notices
// (old-type file conversion, backup failure) are shown.
MessageDescription DescribePlainNotice(std::string_view text, std::string_view caption);

// The class library's text of a failed text-to-integer conversion of
// `text` (0 Japanese, anything else English).
std::string InvalidIntegerText(std::string_view text, int language);

// The platform's title of a dialog type (the Japanese one, as the toolkit
// of the controller tools shows it).
const char* PlatformDialogTitle(DialogType type);

// The modal result of a button.
int ModalResultOf(DialogButton button);

}  // namespace kvl
