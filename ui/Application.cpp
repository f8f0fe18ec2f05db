#include "Application.h"

#include <QFont>
#include <QScreen>
#include <QStringList>

#include <exception>

#include "DialogPresenter.h"
#include "MessageCatalog.h"

namespace kvl {
namespace {

std::string& TitleHolder() {
  static std::string title = kProductName;
  return title;
}

int screenWidthForTesting = -1;

}  // namespace

TApplication::TApplication(int& argc, char** argv, TDialogPresenter& presenter)
    : QApplication(argc, argv), Presenter(presenter) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    Presenter.ShowModal(DescribeException(error.what(), ApplicationTitle()));
  } catch (...) {
    Presenter.ShowModal(DescribeException("An unexpected error occurred.", ApplicationTitle()));
  }
  return false;
}

const std::string& ApplicationTitle() { return TitleHolder(); }

void SetApplicationTitle(const std::string& title) { TitleHolder() = title; }

int ScreenWidth() {
  if (screenWidthForTesting >= 0) return screenWidthForTesting;
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry().width() : 0;
}

void SetScreenWidthForTesting(int width) { screenWidthForTesting = width; }

void InstallFontSubstitutes() {
  QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"),
                             {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                              QStringLiteral("VL Gothic")});
  QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(QStringLiteral("Courier New"),
                             {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
}

QColor ColourOfWord(uint32_t word) { return QColor(word & 0xFF, (word >> 8) & 0xFF, (word >> 16) & 0xFF); }

}  // namespace kvl
