// The application object and the process-wide services the windows share:
// the application title, the screen width, the font substitutes, and the
// display of errors that escape an event handler.
#pragma once

#include <QApplication>
#include <QColor>

#include <cstdint>
#include <string>

namespace kvl {

class TDialogPresenter;

class TApplication : public QApplication {
 public:
  // `presenter` shows the errors that escape event handlers; it must outlive
  // the application object.
  TApplication(int& argc, char** argv, TDialogPresenter& presenter);

  // An error that escapes an event handler is shown in a message box under
  // the application title, and the program goes on.
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  TDialogPresenter& Presenter;
};

// The application title ("KVL-Q70" at start). There is no separate
// application window on this platform: the title is kept for the dialogs
// that show it (errors that escape an event handler).
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& title);

// The primary screen's width in pixels, or the width a test set.
int ScreenWidth();
// A width to report in place of the screen's; a negative value clears it.
void SetScreenWidthForTesting(int width);

// A colour word as the settings and the windows keep it: red in the low
// byte, blue in the third.
QColor ColourOfWord(uint32_t word);

// Maps the font names the windows use ("ＭＳ ゴシック", "Arial",
// "Courier New") to installed equivalents.
void InstallFontSubstitutes();

}  // namespace kvl
