// How the main window and its dialogs look and take the keyboard: the Tab
// order, the colours of disabled texts and of grey cells, dialogs wide enough
// for their titles, controls sized by the font, where the file choosers
// open, and Qt's own texts in the platform's language.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Application.h"
#include "Keyboard.h"
#include "MessageCatalog.h"
#include "QtDialogPresenter.h"
#include "StrCGrid.h"
#include "TestSupport.h"

namespace {

using kvltest::MainFormHarness;

// Tab from the grid visits the controls that mark their focus, in order,
// and comes back to the grid; no tool button takes the focus, so Space after
// Tab runs no command. Each control shows that it has the focus.
TEST(MainFormLooks, TabVisitsOnlyTheMarkedControlsGridFirst) {
  MainFormHarness h;
  h.Start();
  TMainForm& f = *h.Form;
  f.GroupMenuAction(1)->trigger();  // the program group: its selector and tag field are shown
  ASSERT_TRUE(kvltest::FocusInActiveWindow(*f.StrColGrid1));
  std::vector<QWidget*> expected = {f.StrColGrid1, f.Outline1};
  if (f.ComboBox1->isVisible()) expected.push_back(f.ComboBox1);
  expected.insert(expected.end(), {f.ErrorList, f.ComboBoxProgNum, f.EditTag});

  std::vector<QWidget*> visited = {QApplication::focusWidget()};
  for (int i = 0; i < 20; ++i) {
    kvltest::PressKey(Qt::Key_Tab);
    QWidget* focus = QApplication::focusWidget();
    if (focus == f.StrColGrid1) break;
    visited.push_back(focus);
    SCOPED_TRACE(focus ? focus->objectName().toStdString() : std::string("none"));
    ASSERT_EQ(qobject_cast<QToolButton*>(focus), nullptr) << "a tool button took the focus";
    // The focus colour: white or the window colour, never the button face.
    EXPECT_NE(focus->palette().color(QPalette::Base), QGuiApplication::palette().color(QPalette::Button));
    kvltest::PressKey(Qt::Key_Space);
    EXPECT_TRUE(h.Presenter.Shown.empty()) << "Space ran a command: " << h.Presenter.Shown.front().Text;
    if (QApplication::activePopupWidget()) kvltest::PressKey(Qt::Key_Escape);  // a list opened by Space
  }
  EXPECT_EQ(QApplication::focusWidget(), f.StrColGrid1) << "Tab did not come back to the grid";
  EXPECT_EQ(visited, expected);
}

// A form's disabled texts keep the style's colour after the main window's
// font colour is handed on; the enabled texts take that colour. The main
// window itself does the same.
TEST(MainFormLooks, DisabledTextsKeepTheStylesColourAfterAFontColour) {
  MainFormHarness h;
  h.Start();
  TMainForm& f = *h.Form;
  QDialog form;
  auto* box = new QCheckBox(QStringLiteral("Parameter"), &form);
  box->setEnabled(false);
  f.RegisterForm(&form);
  kvl::FontChoice choice = f.MainFontChoice();
  choice.Colour = 0x0000FF;  // red
  f.SetMainFont(choice);
  f.ApplyFontToForms();
  const QPalette style = QGuiApplication::palette();
  for (const QWidget* widget : {static_cast<const QWidget*>(box), static_cast<const QWidget*>(&f)}) {
    SCOPED_TRACE(widget == box ? "form" : "main window");
    const QPalette p = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text}) {
      EXPECT_EQ(p.color(QPalette::Active, role), QColor(255, 0, 0));
      EXPECT_EQ(p.color(QPalette::Inactive, role), QColor(255, 0, 0));
      EXPECT_EQ(p.color(QPalette::Disabled, role), style.color(QPalette::Disabled, role));
    }
  }
}

// Grey cells (the segments after the first free one) are drawn in the platform's mid grey,
// which stays readable on the yellow current cell; used cells in the window
// text colour.
TEST(MainFormLooks, GreyCellTextIsMidGrey) {
  MainFormHarness h;
  h.Start();
  TMainForm& f = *h.Form;
  ASSERT_TRUE(h.Core->SetParamText(1, 1, 1, 1, "100"));  // program 1, segment 1 in use
  f.GroupMenuAction(1)->trigger();
  TStrColGrid& grid = *f.StrColGrid1;
  ASSERT_TRUE(kvltest::FocusInActiveWindow(grid));
  ASSERT_EQ(grid.Cells(5, 1).toStdString(), "----");
  const TSCGCellParam* blank = grid.GetCellParamPointer(5, 1, false);
  ASSERT_NE(blank, nullptr);
  EXPECT_EQ(blank->FontColor(), QColor(0x80, 0x80, 0x80));
  ASSERT_NE(grid.Cells(1, 1).toStdString(), "----");
  const TSCGCellParam* used = grid.GetCellParamPointer(1, 1, false);
  ASSERT_NE(used, nullptr);
  EXPECT_EQ(used->FontColor(), QGuiApplication::palette().color(QPalette::Active, QPalette::Text));
}

// The width of the title as drawn on the screen in the application's font:
// from its first to its last painted pixel.
int DrawnWidth(const QString& title) {
  const QFontMetrics metrics(QApplication::font());
  QImage image(metrics.horizontalAdvance(title) + 40, metrics.height() * 2, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setFont(QApplication::font());
    painter.setPen(Qt::black);
    painter.drawText(QPoint(20, metrics.ascent() + metrics.height() / 2), title);
  }
  int left = image.width(), right = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != qRgb(255, 255, 255)) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  return right < 0 ? 0 : right - left + 1;
}

// The title as drawn and the margin for the title bar's buttons fit the
// width, with no more to spare than a letter's spacing at its ends.
void ExpectTitleFits(const QDialog& dialog) {
  const int drawn = DrawnWidth(dialog.windowTitle());
  ASSERT_GT(drawn, 0);
  EXPECT_GE(dialog.width(), drawn + kvl::kTitleBarButtonsMargin) << "drawn " << drawn;
  EXPECT_LE(dialog.width(), drawn + kvl::kTitleBarButtonsMargin + QFontMetrics(QApplication::font()).averageCharWidth())
      << "drawn " << drawn;
}

// A dialog whose title would be cut off is widened to its title in the
// application's font and the margin for the title bar's buttons, whether its
// layout fixes its size, a grid does, or it has a fixed size of its own; one
// whose title fits keeps its size.
TEST(MainFormLooks, DialogsAreWideEnoughForTheirTitles) {
  const QString titles[] = {QStringLiteral("Error"), QStringLiteral("Confirmation"),
                            QStringLiteral("Communication"), QStringLiteral("Enviroment Setup")};
  const std::function<std::unique_ptr<QDialog>()> makers[] = {
      [] {
        kvl::MessageDescription message = kvl::DescribeMessage(kvl::kMessageFileRead, 2, 1, "");
        message.Text = "?";
        return std::make_unique<kvl::TMessageDialog>(message, nullptr);
      },
      [] {
        auto dialog = std::make_unique<QDialog>();
        auto* grid = new QGridLayout(dialog.get());
        grid->addWidget(new QLabel(QStringLiteral("1")), 0, 0);
        grid->addWidget(new QLabel(QStringLiteral("2")), 0, 1);
        grid->setSizeConstraint(QLayout::SetFixedSize);
        return dialog;
      },
      [] {
        auto dialog = std::make_unique<QDialog>();
        dialog->setFixedSize(60, 40);
        return dialog;
      },
  };
  for (const QString& title : titles) {
    for (size_t m = 0; m < std::size(makers); ++m) {
      SCOPED_TRACE(title.toStdString() + " " + std::to_string(m));
      std::unique_ptr<QDialog> dialog = makers[m]();
      dialog->setWindowTitle(title);
      dialog->show();
      ExpectTitleFits(*dialog);
      // The width holds when the layout is worked out again.
      const int width = dialog->width();
      if (dialog->layout()) dialog->layout()->activate();
      EXPECT_EQ(dialog->width(), width);
    }
  }
  // Widened again (a longer title at the next showing), a grid dialog keeps
  // one strut row: it grows wider, never taller.
  {
    std::unique_ptr<QDialog> dialog = makers[1]();
    dialog->setWindowTitle(titles[1]);
    dialog->show();
    const int height = dialog->height();
    const int rows = static_cast<QGridLayout*>(dialog->layout())->rowCount();
    dialog->hide();
    dialog->setWindowTitle(titles[3]);
    dialog->show();
    ExpectTitleFits(*dialog);
    EXPECT_EQ(dialog->height(), height);
    EXPECT_EQ(static_cast<QGridLayout*>(dialog->layout())->rowCount(), rows);
  }
  // A long text makes the dialog wider than its title needs: its own size.
  kvl::TMessageDialog wide(kvl::DescribeMessage(kvl::kMessageModelMismatch, 0, 1, ""), nullptr);
  wide.layout()->activate();
  const QSize before = wide.size();
  ASSERT_GT(before.width(), DrawnWidth(wide.windowTitle()) + kvl::kTitleBarButtonsMargin +
                               QFontMetrics(QApplication::font()).averageCharWidth());
  wide.show();
  EXPECT_EQ(wide.size(), before);
  QDialog sized;
  sized.setWindowTitle(QStringLiteral("Font"));
  sized.resize(400, 300);
  sized.show();
  EXPECT_EQ(sized.size(), QSize(400, 300));
}

// The program and tag controls and the grid's rows take their sizes from the
// font: at the sizes the settings accept nothing is cut off, nothing
// overlaps, and the form's sizes stay where the font fits them.
TEST(MainFormLooks, ToolPanelAndRowsFollowTheFontSize) {
  for (int langId : {0x409, 0x411}) {
    for (int points : {9, 10, 12, 16}) {
      SCOPED_TRACE(testing::Message() << langId << " " << points);
      MainFormHarness h;
      h.Start({}, static_cast<uint16_t>(langId));
      TMainForm& f = *h.Form;
      f.SetFontSize(points);
      f.GroupMenuAction(1)->trigger();
      f.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
      const QFontMetrics metrics(f.font());
      for (QLabel* label : {f.LabelProg, f.LabelTag}) {
        EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text())) << label->text().toStdString();
        EXPECT_GE(label->height(), metrics.height()) << label->text().toStdString();
      }
      // A line of the font fits the tag field's and the selectors' text areas.
      for (QComboBox* box : {f.ComboBoxProgNum, f.ComboBox1}) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        const QRect field =
            box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
        EXPECT_GE(field.height(), QFontMetrics(box->font()).height()) << box->objectName().toStdString();
      }
      // Eight of the widest letters fit the tag field's text area (its
      // contents less the edit's margin of 2 on each side).
      QStyleOptionFrame frame;
      frame.initFrom(f.EditTag);
      frame.lineWidth = f.EditTag->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, f.EditTag);
      const QRect text = f.EditTag->style()->subElementRect(QStyle::SE_LineEditContents, &frame, f.EditTag);
      EXPECT_LE(metrics.horizontalAdvance(QStringLiteral("WWWWWWWW")), text.width() - 4);
      EXPECT_GE(text.height() - 2, metrics.height());
      // In a row, left to right, each within the tool panel.
      const QWidget* row[] = {f.LabelProg, f.ComboBoxProgNum, f.LabelTag, f.EditTag};
      for (size_t i = 0; i < std::size(row); ++i) {
        EXPECT_LE(row[i]->geometry().bottom(), f.Panel1->height() - 1) << row[i]->objectName().toStdString();
        if (i > 0) {
          EXPECT_LT(row[i - 1]->geometry().right(), row[i]->x()) << row[i]->objectName().toStdString();
        }
      }
      EXPECT_LE(f.ComboBox1->geometry().bottom(), f.Panel1->height() - 1);
      EXPECT_GE(f.ComboBox1->y(), f.EditTag->geometry().bottom() + 1) << "the chooser lies under the tag field";
      // The status texts below the tree and in the status bar.
      for (QLabel* label : {f.Panel5, f.StatusPanels[0], f.StatusPanels[1]})
        EXPECT_GE(label->contentsRect().height(), metrics.height()) << label->objectName().toStdString();
      const TStrColGrid& grid = *f.StrColGrid1;
      EXPECT_GE(grid.RowHeights(1), QFontMetrics(grid.font()).height() + 2);
      if (points == 9) {
        EXPECT_EQ(grid.RowHeights(1), 18);
        EXPECT_EQ(f.Panel1->height(), 40);
        EXPECT_EQ(f.Panel7->height(), 16);
        EXPECT_EQ(f.Panel4->height(), 22);
      }
    }
  }
}

// The file dialogs open in the working folder until a file was chosen in
// one, then in the folder of the last file chosen; a cancelled dialog
// changes nothing.
TEST(MainFormLooks, FileDialogsOpenWhereAFileWasLastChosen) {
  QTemporaryDir working;
  QTemporaryDir elsewhere;
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(working.path()));
  kvl::TQtDialogPresenter presenter;
  kvl::FileChooserDescription chooser;
  chooser.Kind = kvl::FileChooserDescription::Mode::Save;
  chooser.Filter = "KVL-Q70file(*.Q70)|Q70";
  chooser.DefaultExtension = "q70";
  // Each dialog: where it opened, then the name typed and Enter, or Esc.
  auto choose = [&](const QString& typed, QString* openedIn, std::string* path) {
    kvltest::ModalWatch watch([&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog || !QApplication::focusWidget()) return false;
      *openedIn = QDir(dialog->directory()).canonicalPath();
      if (typed.isEmpty()) {
        kvltest::PressKey(Qt::Key_Escape);
        return true;
      }
      QTest::keyClicks(QApplication::focusWidget(), typed);
      kvltest::PressKey(Qt::Key_Return);
      return true;
    });
    return presenter.ChooseFile(chooser, path);
  };
  QString openedIn;
  std::string path;
  const QString target = QDir(elsewhere.path()).canonicalPath() + QStringLiteral("/plant.q70");
  ASSERT_TRUE(choose(target, &openedIn, &path));
  EXPECT_EQ(openedIn, QDir(working.path()).canonicalPath());
  EXPECT_EQ(QDir(QFileInfo(QString::fromStdString(path)).path()).canonicalPath(), QDir(elsewhere.path()).canonicalPath());
  EXPECT_FALSE(choose(QString(), &openedIn, &path));
  EXPECT_EQ(openedIn, QDir(elsewhere.path()).canonicalPath());
  EXPECT_FALSE(choose(QString(), &openedIn, &path));
  EXPECT_EQ(openedIn, QDir(elsewhere.path()).canonicalPath()) << "a cancelled dialog moved the folder";
  QDir::setCurrent(previous);
}

// Under a Japanese locale Qt's own texts are Japanese: the file dialog's
// labels and its Cancel button. The captions the program gives its buttons
// stay as given: "はい(&Y)" and "いいえ(&N)" on the version question in both
// languages, "Yes", "No", "OK" and "Cancel" on the English dialogs.
TEST(MainFormLooks, QtTextsFollowThePlatformsLanguageAndTheProgramsCaptionsStay) {
  struct Restore {
    ~Restore() { kvl::LoadQtTranslations(QLocale::c()); }
  } restore;
  ASSERT_TRUE(kvl::LoadQtTranslations(QLocale(QLocale::Japanese, QLocale::Japan)));
  QFileDialog files(nullptr, QString(), QDir::currentPath());
  files.setOption(QFileDialog::DontUseNativeDialog);
  for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
    const QLabel* label = files.findChild<QLabel*>(QString::fromLatin1(name));
    ASSERT_NE(label, nullptr) << name;
    EXPECT_FALSE(label->text().isEmpty()) << name;
    EXPECT_TRUE(label->text().contains(QRegularExpression(QStringLiteral("[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]"))))
        << name << ": " << label->text().toStdString();
  }
  const QDialogButtonBox* buttons = files.findChild<QDialogButtonBox*>();
  ASSERT_NE(buttons, nullptr);
  ASSERT_NE(buttons->button(QDialogButtonBox::Cancel), nullptr);
  EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text().toStdString(), "キャンセル");

  const struct {
    int Kind, Code, Language;
    std::vector<std::string> Captions;
  } cases[] = {
      {kvl::kMessageTransfer, 8, 1, {"はい(&Y)", "いいえ(&N)"}},
      {kvl::kMessageTransfer, 8, 0, {"はい(&Y)", "いいえ(&N)"}},
      {kvl::kMessageModelMismatch, 0, 1, {"Yes", "No"}},
      {kvl::kMessageModelMismatch, 0, 0, {"はい(&Y)", "いいえ(&N)"}},
      {kvl::kMessageEdit, 2, 1, {"OK", "Cancel"}},
      {kvl::kMessageEdit, 2, 0, {"OK", "キャンセル"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Kind << " " << c.Code << " " << c.Language);
    const kvl::MessageDescription message = kvl::DescribeMessage(c.Kind, c.Code, c.Language, "");
    kvl::TMessageDialog dialog(message, nullptr);
    std::vector<std::string> shown;
    for (const QPushButton* button : dialog.Buttons()) shown.push_back(button->text().toStdString());
    EXPECT_EQ(shown, c.Captions);
  }
}

}  // namespace
