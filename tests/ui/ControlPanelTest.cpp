// The control panel's settings applied to the data image and the main
// window, headless.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest/QTest>

#include <memory>

#include "FontDialog.h"
#include "MessageCatalog.h"
#include "TestSupport.h"
#include "TetBoardWidget.h"
#include "TetPanel.h"
#include "UCore.h"
#include "ctrlpanel.h"
#include "mainform.h"

namespace {

// A started main window in English (0x409) or Japanese (0x411) with its
// data image and the control panel; forms are answered at once.
class ControlPanelTest : public ::testing::Test {
 protected:
  void TearDown() override { Stop(); }
  void Start(uint16_t langId = 0x409) {
    Window.WindowPresenter = &Presenter;
    Window.Start({}, langId, {}, false);
    Main = Window.Form.get();
    Core = Window.Core.get();
    Panel = std::make_unique<TFormCtrl>(*Main, *Core, Presenter);
    Main->FinishStart();
    Presenter.Shown.clear();
  }
  void Stop() {
    Panel.reset();
    Window.Stop();
  }
  void Click(QButtonGroup* group, int item) {
    group->button(item)->setChecked(true);
    if (group == Panel->RadioGroup1Items)
      Panel->RadioGroup1Click();
    else
      Panel->RadioGroup2Click();
  }
  bool AllToolButtonsFlat(bool flat) {
    for (const char* name : TFormCtrl::kToolButtonNames) {
      QToolButton* button = Main->ToolButton(name);
      if (!button) {
        ADD_FAILURE() << name;
        return false;
      }
      if (button->autoRaise() != flat) return false;
    }
    return true;
  }

  kvltest::AnsweringPresenter Presenter;
  kvltest::MainFormHarness Window;
  TMainForm* Main = nullptr;
  TCore* Core = nullptr;
  std::unique_ptr<TFormCtrl> Panel;
};

TEST_F(ControlPanelTest, ShowFillsTheWidthBoxesByLanguage) {
  const struct { uint16_t LangId; const char* Title; } cases[] = {{0x409, "400"}, {0x411, "270"}};
  for (const auto& c : cases) {
    Stop();
    Start(c.LangId);
    Main->GridDefaultColumnWidth = 57;
    Panel->Edit1->setText(QStringLiteral("x"));
    Panel->TetPanel1->show();
    Panel->FormShow();
    EXPECT_EQ(Panel->Edit1->text().toStdString(), "57");
    EXPECT_EQ(Panel->Edit2->text().toStdString(), c.Title);
    EXPECT_FALSE(Panel->TetPanel1->isVisible());
    EXPECT_EQ(Panel->windowTitle().toStdString(), "Control Panel");
    EXPECT_EQ(Panel->CheckBoxNoMdlchk->text().toStdString(), "Model Check");
  }
}

TEST_F(ControlPanelTest, OkAndApplySetToolbarAndGridWidths) {
  Start();
  struct Case {
    bool Flat;
    const char* Col;
    const char* Title;
    bool Applied;      // both widths taken
    int DefaultWidth;  // afterwards
    int TitleWidth;
    bool ErrorShown;
  };
  const Case cases[] = {
      {true, "64", "300", true, 64, 300, false},
      {false, "48", "400", true, 48, 400, false},
      // A width that is no integer stops the steps after it; the flat look
      // is already set.
      {false, "4x", "250", false, 48, 400, true},
      {true, "70", "", false, 70, 400, true},
  };
  for (const Case& c : cases) {
    Presenter.Shown.clear();
    Panel->CheckBox1->setChecked(c.Flat);
    Panel->Edit1->setText(QString::fromLatin1(c.Col));
    Panel->Edit2->setText(QString::fromLatin1(c.Title));
    EXPECT_EQ(Panel->Button1Click(), c.Applied) << c.Col;
    EXPECT_TRUE(AllToolButtonsFlat(c.Flat)) << c.Col;
    EXPECT_EQ(Main->GridDefaultColumnWidth, c.DefaultWidth) << c.Col;
    EXPECT_EQ(Main->GridTitleColumnWidth, c.TitleWidth) << c.Col;
    ASSERT_EQ(Presenter.Shown.size(), c.ErrorShown ? 1u : 0u) << c.Col;
    if (c.ErrorShown) {
      const std::string bad = std::string("'") + (std::string(c.Col).find('x') != std::string::npos ? c.Col : c.Title) + "'";
      EXPECT_EQ(Presenter.Shown[0].Text, bad + " is not a valid integer value");
    }
  }
}

TEST_F(ControlPanelTest, ConversionErrorInJapanese) {
  Start(0x411);
  Panel->FormShow();
  Panel->Edit2->setText(QStringLiteral("27o"));
  EXPECT_FALSE(Panel->Button1Click());
  ASSERT_EQ(Presenter.Shown.size(), 1u);
  EXPECT_EQ(Presenter.Shown[0].Text, "'27o' は整数ではありません");
  EXPECT_EQ(Presenter.Shown[0].Type, kvl::DialogType::Error);
}

TEST_F(ControlPanelTest, OkInEnglishWithoutChangesSetsTitleColumnTo400) {
  Start();
  Main->GridTitleColumnWidth = 123;
  const int before = Main->GridDefaultColumnWidth;
  EXPECT_EQ(Presenter.ShowForm(*Panel), kvl::kModalOk);
  EXPECT_EQ(Presenter.FormsShown, std::vector<std::string>{"Control Panel"});
  EXPECT_EQ(Main->GridTitleColumnWidth, 400);
  EXPECT_EQ(Main->GridDefaultColumnWidth, before);
}

TEST_F(ControlPanelTest, SpeedAndSumTakeEffectWhenClicked) {
  Start();
  const struct { int Item; int32_t Setting; } speeds[] = {{0, 1}, {1, 3}, {2, 5}, {3, 7}, {4, 9}, {5, 11}, {6, 13}};
  for (const auto& s : speeds) {
    Click(Panel->RadioGroup1Items, s.Item);
    EXPECT_EQ(Core->LineSetting, s.Setting) << s.Item;
  }
  // The checksum flag is on from the start; "Off" clears it, "On" sets it.
  EXPECT_EQ(Core->Protocol->Wqt.ChecksumFlag, 1);
  Click(Panel->RadioGroup2Items, 1);
  EXPECT_EQ(Core->Protocol->Wqt.ChecksumFlag, 0);
  Click(Panel->RadioGroup2Items, 0);
  EXPECT_EQ(Core->Protocol->Wqt.ChecksumFlag, 1);
}

TEST_F(ControlPanelTest, FirstShowingOffersNineThousandSixHundredWhateverIsInUse) {
  Start();
  Core->LineSetting = 13;
  Panel->FormShow();
  EXPECT_EQ(Panel->RadioGroup1Items->checkedId(), 1);
  EXPECT_EQ(Core->LineSetting, 13);
}

TEST_F(ControlPanelTest, FontDialogOffersSevenToTenPointsAndTheWholeFontGoesToEveryWindow) {
  Start();
  QWidget other;
  Main->RegisterForm(&other);
  const std::string family = Main->Settings.FontName;
  struct Case {
    const char* Name;
    bool Ok;
    int SizeItem;  // index in the dialog's size list
    int StyleItem;
    bool Underline, StrikeOut;
    const char* Colour;
    kvl::FontChoice Expect;
  };
  const Case cases[] = {
      {"bold 10, underlined, red", true, 3, 2, true, false, "Red", {family, 10, true, false, true, false, 0x0000FF}},
      {"italic 7, struck out, navy", true, 0, 1, false, true, "Navy", {family, 7, false, true, false, true, 0x800000}},
      {"cancelled", false, 2, 3, true, true, "Lime", {family, 7, false, true, false, true, 0x800000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<std::string> sizes;
    kvl::FontChoice offered;
    Presenter.BeforeAnswer = [&](kvl::TModalForm& form) {
      auto& dialog = dynamic_cast<TFontDialog&>(form);
      offered = dialog.Choice();
      for (int i = 0; i < dialog.FontSize->count(); ++i) sizes.push_back(dialog.FontSize->itemText(i).toStdString());
      dialog.FontSize->setCurrentIndex(c.SizeItem);
      dialog.FontStyle->setCurrentIndex(c.StyleItem);
      dialog.Underline->setChecked(c.Underline);
      dialog.StrikeOut->setChecked(c.StrikeOut);
      dialog.FontColour->setCurrentIndex(dialog.FontColour->findText(QString::fromLatin1(c.Colour)));
    };
    Presenter.AnswerEnter = c.Ok;
    const kvl::FontChoice before = Main->MainFontChoice();
    Panel->Button2Click();
    EXPECT_EQ(Presenter.FormsShown.back(), "Font");
    EXPECT_EQ(sizes, (std::vector<std::string>{"7", "8", "9", "10"}));
    // The dialog starts with the main window's font.
    EXPECT_EQ(offered, before);
    EXPECT_EQ(Main->MainFontChoice(), c.Expect);
    const QFont font = Main->font();
    EXPECT_EQ(font.pointSize(), c.Expect.Points);
    EXPECT_EQ(font.bold(), c.Expect.Bold);
    EXPECT_EQ(font.italic(), c.Expect.Italic);
    EXPECT_EQ(font.underline(), c.Expect.Underline);
    EXPECT_EQ(font.strikeOut(), c.Expect.StrikeOut);
    // The other windows take the font and its colour.
    EXPECT_EQ(other.font(), font);
    const QColor colour(c.Expect.Colour & 0xFF, (c.Expect.Colour >> 8) & 0xFF, (c.Expect.Colour >> 16) & 0xFF);
    EXPECT_EQ(Main->palette().color(QPalette::WindowText), colour);
    EXPECT_EQ(other.palette().color(QPalette::WindowText), colour);
    // The settings keep name, size and colour.
    EXPECT_EQ(Main->Settings.FontName, family);
    EXPECT_EQ(Main->Settings.FontSize, c.Expect.Points);
    EXPECT_EQ(Main->Settings.FontColor, c.Expect.Colour);
  }
  // A saved size the dialog does not offer starts it at the nearest one; a
  // size that is offered is taken as it is, unclamped.
  Main->SetFontSize(12);
  kvl::FontChoice offered;
  Presenter.BeforeAnswer = [&](kvl::TModalForm& form) { offered = dynamic_cast<TFontDialog&>(form).Choice(); };
  Presenter.AnswerEnter = true;
  Panel->Button2Click();
  EXPECT_EQ(offered.Points, 10);
  EXPECT_EQ(Main->font().pointSize(), 10);
}

TEST_F(ControlPanelTest, ShowAllModelCheckAndClipboard) {
  Start();
  EXPECT_EQ(Core->ShowAll, 0);
  Panel->Button4Click();
  EXPECT_EQ(Core->ShowAll, 1);
  EXPECT_TRUE(Panel->ModelCheckTicked());
  EXPECT_FALSE(Panel->ClipboardTicked());
  Panel->CheckBoxNoMdlchk->setChecked(false);
  Panel->CheckBox2->setChecked(true);
  // Kept between showings.
  Panel->FormShow();
  EXPECT_FALSE(Panel->ModelCheckTicked());
  EXPECT_TRUE(Panel->ClipboardTicked());
}

TEST_F(ControlPanelTest, MessageCheckShowsTheCatalogueEntry) {
  Start();
  EXPECT_EQ(Panel->CSpinEdit1->maximum(), 5);
  Panel->CSpinEdit1->setValue(9);
  EXPECT_EQ(Panel->CSpinEdit1->value(), 5);
  const struct { int Kind; int Code; } cases[] = {{4, 12}, {4, 0}, {1, 2}, {0, 2}};
  for (const auto& c : cases) {
    Presenter.Shown.clear();
    Panel->CSpinEdit1->setValue(c.Kind);
    Panel->CSpinEdit2->setValue(c.Code);
    Panel->Button3Click();
    ASSERT_EQ(Presenter.Shown.size(), 1u);
    EXPECT_EQ(Presenter.Shown[0].Text, kvl::DescribeMessage(c.Kind, c.Code, 1, Main->FileName).Text);
  }
}

TEST_F(ControlPanelTest, CancelLeavesTheLookAndWidths) {
  Start();
  const int col = Main->GridDefaultColumnWidth;
  Panel->FormShow();
  Panel->CheckBox1->setChecked(false);
  Panel->Edit1->setText(QStringLiteral("99"));
  Panel->AnswerKey(false);
  EXPECT_TRUE(AllToolButtonsFlat(true));
  EXPECT_EQ(Main->GridDefaultColumnWidth, col);
}

TEST_F(ControlPanelTest, DoubleClickTurnsIntoTheGame) {
  Start();
  Panel->show();
  Panel->FormDblClick();
  EXPECT_TRUE(Panel->TetPanel1->isVisible());
  EXPECT_EQ(Panel->TetPanel1->State(), TState::Plumet);
  EXPECT_TRUE(Panel->TetPanel1->Start());
  EXPECT_EQ(Panel->TetPanel1->geometry(), Panel->rect());
  Panel->hide();
  Panel->show();
  EXPECT_FALSE(Panel->TetPanel1->isVisible());
  EXPECT_TRUE(Panel->TetPanel1->Start());  // a started game is not stopped
}

TEST_F(ControlPanelTest, SizeFollowsTheFont) {
  Start();
  for (int points : {10, 7, 10}) {
    SCOPED_TRACE(points);
    Main->SetFontSize(points);
    Main->RegisterForm(Panel.get());
    Main->ApplyFontToForms();
    Panel->show();
    QApplication::processEvents();
    EXPECT_EQ(Panel->font().pointSize(), points);
    // Every control gets at least the room it needs, the message-check row
    // above all.
    for (QWidget* control : Panel->findChildren<QWidget*>()) {
      if (!control->isVisible() || control->inherits("QGroupBox") || control->parentWidget() == nullptr) continue;
      if (!control->isWindow() && control->parentWidget()->inherits("QAbstractSpinBox")) continue;
      const QSize need = control->minimumSizeHint();
      EXPECT_GE(control->height(), need.height()) << control->objectName().toStdString();
      EXPECT_GE(control->width(), need.width()) << control->objectName().toStdString();
    }
    for (QWidget* control : {static_cast<QWidget*>(Panel->CSpinEdit1), static_cast<QWidget*>(Panel->CSpinEdit2), static_cast<QWidget*>(Panel->Button3)})
      EXPECT_GE(control->height(), control->sizeHint().height()) << control->objectName().toStdString();
    Panel->hide();
  }
}

TEST_F(ControlPanelTest, WithTheGameShownEscStillClosesThePanel) {
  Start();
  Panel->open();
  Panel->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Panel.get()));
  // A double click on the window's free area, away from every control.
  QPoint free;
  for (int y = Panel->height() - 2; y > 0 && free.isNull(); y -= 2)
    for (int x = 2; x < Panel->width() && free.isNull(); x += 2)
      if (!Panel->childAt(x, y)) free = QPoint(x, y);
  ASSERT_FALSE(free.isNull());
  QTest::mouseDClick(Panel.get(), Qt::LeftButton, Qt::NoModifier, free);
  ASSERT_EQ(Panel->TetPanel1->State(), TState::Plumet);
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == Panel->TetPanel1->Board(); }, 10000));

  // The game's keys play and keep the panel open.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_4, Qt::KeypadModifier);
  EXPECT_EQ(Panel->TetPanel1->Board()->Board().LastKey(), 100);
  EXPECT_TRUE(Panel->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), Panel->TetPanel1->Board());

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(Panel->isVisible());
  EXPECT_EQ(Panel->result(), QDialog::Rejected);
}

}  // namespace
