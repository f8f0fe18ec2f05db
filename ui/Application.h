// The application object and the process-wide services the windows share:
// the application title, the screen width, the font substitutes, and the
// display of errors that escape an event handler.
#pragma once

#include <QApplication>
#include <QColor>
#include <QLocale>
#include <QString>

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
  // the application title, and the program goes on. A dialog about to be
  // shown is widened to its title (FitDialogToTitle).
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

// What the window manager's title bar needs beside the title: its icon, its
// three buttons and their gaps (openbox, the desktop the program is tried on,
// takes about 105 pixels for them), and room for a bold title font.
inline constexpr int kTitleBarButtonsMargin = 130;
// The width a dialog needs for its title not to be cut off: the title in the
// application's font and the margin.
int TitleWidthNeeded(const QString& title);
// A dialog narrower than its title needs is widened to that width (also one
// whose layout fixes its size); a dialog whose title fits keeps its size.
void FitDialogToTitle(QWidget& dialog);

// Qt's own texts (the file dialogs' labels and buttons, the edit fields'
// menus) in the language of the locale: Qt's translations for it are
// installed in place of any loaded before. False when there are none (the
// texts stay English). The application object loads them for the
// platform's locale; texts the program sets itself are never translated.
bool LoadQtTranslations(const QLocale& locale);

// Maps the font names the windows use ("ＭＳ ゴシック", "Arial",
// "Courier New") to installed equivalents.
void InstallFontSubstitutes();

}  // namespace kvl
