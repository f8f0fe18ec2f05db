#include "QtDialogPresenter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>

#include "MessageCatalog.h"
#include "TestSupport.h"

namespace {

// Shows the dialog without a modal loop, presses a key, and gives the result
// the dialog ended with (0 while it is still open).
int PressKey(const kvl::MessageDescription& message, int key) {
  kvl::TMessageDialog dialog(message, nullptr);
  dialog.show();
  QApplication::processEvents();
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&dialog, &press);
  return dialog.isVisible() ? 0 : dialog.result();
}

TEST(QtDialogPresenter, BuildsTheDescribedDialog) {
  struct Case {
    int kind, code, language;
    std::vector<std::string> captions;
    int enter, escape;
  } cases[] = {
      {0, 2, 1, {"OK", "Cancel"}, 1, 2},
      {0, 2, 0, {"OK", "キャンセル"}, 1, 2},
      {0, 10, 1, {"OK"}, 1, 1},
      {5, 0, 1, {"Yes", "No"}, 6, 7},
      {4, 8, 0, {"はい(&Y)", "いいえ(&N)"}, 6, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.kind << "/" << c.code << "/" << c.language);
    const kvl::MessageDescription message = kvl::DescribeMessage(c.kind, c.code, c.language, "");
    kvl::TMessageDialog dialog(message, nullptr);
    EXPECT_EQ(dialog.windowTitle().toStdString(), message.Title);
    EXPECT_TRUE(dialog.isModal());
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("Message"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->text().toStdString(), message.Text);
    ASSERT_EQ(dialog.Buttons().size(), c.captions.size());
    for (size_t i = 0; i < c.captions.size(); ++i) {
      EXPECT_EQ(dialog.Buttons()[i]->text().toStdString(), c.captions[i]);
      EXPECT_EQ(dialog.Buttons()[i]->isDefault(), i == 0);
    }
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.focusWidget(), dialog.Buttons()[0]);
    dialog.Buttons().back()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), message.Buttons.back().Result);

    EXPECT_EQ(PressKey(message, Qt::Key_Escape), c.escape);
    EXPECT_EQ(PressKey(message, Qt::Key_Return), c.enter);
  }
}

TEST(QtDialogPresenter, TextIsNeverReadAsMarkup) {
  kvl::MessageDescription message = kvl::DescribeMessage(3, 3, 1, "<b>bold</b>&amp;<br>x.csv");
  kvl::TMessageDialog dialog(message, nullptr);
  auto* label = dialog.findChild<QLabel*>(QStringLiteral("Message"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->textFormat(), Qt::PlainText);
  EXPECT_EQ(label->text(), QStringLiteral("Can't save <b>bold</b>&amp;<br>x.csv"));
}

// A form shown through the presenter: whether it stayed on top while shown.
class ProbeForm : public QDialog, public kvl::TModalForm {
 public:
  ProbeForm() { setWindowTitle(QStringLiteral("Probe")); }
  int ExecModal() override {
    show();
    StayedOnTop = isVisible() && windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    hide();
    return kvl::kModalOk;
  }
  int AnswerKey(bool) override { return kvl::kModalOk; }
  std::string FormCaption() const override { return "Probe"; }
  bool StayedOnTop = false;
};

// Shows a message through the presenter; whether its dialog stayed on top.
bool MessageStayedOnTop(kvl::TQtDialogPresenter& presenter) {
  bool onTop = false;
  kvltest::ModalWatch watch([&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return false;
    onTop = dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    dialog->reject();
    return true;
  });
  presenter.ShowModal(kvl::DescribeMessage(4, 5, 1, ""));
  return onTop;
}

TEST(QtDialogPresenter, DialogsComeUpAboveAWindowThatStaysOnTop) {
  // As the exerciser's counter window.
  QDialog counter(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
  QWidget main;
  main.show();
  kvl::TQtDialogPresenter presenter;
  ProbeForm form;
  for (bool counterShown : {false, true, false, true}) {
    SCOPED_TRACE(counterShown ? "counter window shown" : "counter window hidden");
    counter.setVisible(counterShown);
    main.activateWindow();
    EXPECT_EQ(MessageStayedOnTop(presenter), counterShown);
    EXPECT_EQ(presenter.ShowForm(form), kvl::kModalOk);
    EXPECT_EQ(form.StayedOnTop, counterShown);
  }
  // A window of its own does not count: the form once on top is not kept so.
  counter.hide();
  form.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  presenter.ShowForm(form);
  EXPECT_FALSE(form.StayedOnTop);
}

}  // namespace
