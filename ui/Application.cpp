#include "Application.h"

#include <QBoxLayout>
#include <QDialog>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLibraryInfo>
#include <QPointer>
#include <QSpacerItem>
#include <QTranslator>
#include <QScreen>
#include <QStringList>

#include <algorithm>
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
    : QApplication(argc, argv), Presenter(presenter) {
  LoadQtTranslations(QLocale::system());
}

bool LoadQtTranslations(const QLocale& locale) {
  static QPointer<QTranslator> installed;
  if (installed) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
  }
  auto* translator = new QTranslator(QCoreApplication::instance());
  // "qt" names the catalogue that pulls in those of every Qt module.
  if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  installed = translator;
  return true;
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  // The show event comes before the window is mapped, so the window manager
  // sees the widened size at once.
  if (event->type() == QEvent::Show && receiver->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(receiver);
    if (widget->isWindow() && qobject_cast<QDialog*>(widget)) FitDialogToTitle(*widget);
  }
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    Presenter.ShowModal(DescribeException(error.what(), ApplicationTitle()));
  } catch (...) {
    Presenter.ShowModal(DescribeException("An unexpected error occurred.", ApplicationTitle()));
  }
  return false;
}

int TitleWidthNeeded(const QString& title) {
  return QFontMetrics(QApplication::font()).horizontalAdvance(title) + kTitleBarButtonsMargin;
}

namespace {

// A grid's strut is an empty row under it spanning every column; a dialog
// widened again (a larger font) widens the same row rather than adding one.
void WidenGridStrut(QGridLayout& grid, int width) {
  const int columns = std::max(1, grid.columnCount());
  const int last = grid.rowCount() - 1;
  for (int i = 0; i < grid.count(); ++i) {
    QSpacerItem* spacer = grid.itemAt(i)->spacerItem();
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid.getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
    if (spacer && row == last && column == 0 && columnSpan == columns && spacer->sizeHint().height() == 0) {
      spacer->changeSize(width, 0, QSizePolicy::Fixed, QSizePolicy::Fixed);
      grid.invalidate();
      return;
    }
  }
  grid.addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Fixed), grid.rowCount(), 0, 1, columns);
}

}  // namespace

void FitDialogToTitle(QWidget& dialog) {
  const int needed = TitleWidthNeeded(dialog.windowTitle());
  if (dialog.width() >= needed) return;
  QLayout* layout = dialog.layout();
  if (layout && layout->sizeConstraint() == QLayout::SetFixedSize) {
    // The layout sets the size from its contents: a strut across it widens them.
    const QMargins margins = layout->contentsMargins();
    const int inner = needed - margins.left() - margins.right();
    auto* box = qobject_cast<QBoxLayout*>(layout);
    auto* grid = qobject_cast<QGridLayout*>(layout);
    if (box && (box->direction() == QBoxLayout::TopToBottom || box->direction() == QBoxLayout::BottomToTop))
      box->addStrut(inner);
    else if (grid)
      WidenGridStrut(*grid, inner);
    else
      return;
    layout->activate();
    return;
  }
  if (dialog.minimumWidth() == dialog.maximumWidth()) {
    dialog.setFixedWidth(needed);
    return;
  }
  if (dialog.maximumWidth() < needed) dialog.setMaximumWidth(needed);
  dialog.resize(needed, dialog.height());
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
