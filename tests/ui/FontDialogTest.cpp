#include "FontDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QtTest/QTest>

#include "FontChoice.h"

namespace {

TEST(FontChoiceRules, SizesStylesAndColoursOffered) {
  EXPECT_EQ(kvl::FontSizesOffered(), (std::vector<int>{7, 8, 9, 10}));
  const struct { int Points, Start; } sizes[] = {{6, 7}, {7, 7}, {9, 9}, {10, 10}, {12, 10}, {0, 7}};
  for (const auto& c : sizes) EXPECT_EQ(kvl::StartingFontSize(c.Points), c.Start) << c.Points;

  const struct { bool Bold, Italic; int Index; } styles[] = {
      {false, false, 0}, {false, true, 1}, {true, false, 2}, {true, true, 3}};
  for (const auto& c : styles) {
    EXPECT_EQ(kvl::FontStyleIndex(c.Bold, c.Italic), c.Index);
    bool bold = !c.Bold, italic = !c.Italic;
    kvl::FontStyleOf(c.Index, bold, italic);
    EXPECT_EQ(bold, c.Bold) << c.Index;
    EXPECT_EQ(italic, c.Italic) << c.Index;
  }
  bool bold = true, italic = true;
  kvl::FontStyleOf(9, bold, italic);
  EXPECT_FALSE(bold || italic);
  EXPECT_STREQ(kvl::FontStyleNames[3], "Bold Italic");

  // Colour words hold red in the low byte.
  ASSERT_EQ(kvl::FontColours().size(), 16u);
  EXPECT_EQ(kvl::FontColourIndex(0), 0);
  EXPECT_STREQ(kvl::FontColours()[static_cast<size_t>(kvl::FontColourIndex(0x0000FF))].Name, "Red");
  EXPECT_STREQ(kvl::FontColours()[static_cast<size_t>(kvl::FontColourIndex(0xFF0000))].Name, "Blue");
  EXPECT_EQ(kvl::FontColourIndex(0x123456), -1);
  EXPECT_EQ(kvl::FontColourIndex(-2147483640), -1);  // a system colour
}

TEST(FontDialog, ShowsAndGivesBackTheWholeFont) {
  TFontDialog dialog;
  EXPECT_EQ(dialog.FormCaption(), "Font");
  const kvl::FontChoice choices[] = {
      {"Arial", 8, true, true, true, false, 0x008000},
      {"No Such Family Here", 10, false, false, false, true, 0x123456},  // kept as it is
      {"Arial", 9, false, true, false, false, 0},
  };
  for (const kvl::FontChoice& choice : choices) {
    dialog.SetChoice(choice);
    EXPECT_EQ(dialog.Choice(), choice) << choice.Family;
    EXPECT_EQ(dialog.Sample->font().bold(), choice.Bold);
    EXPECT_EQ(dialog.Sample->font().strikeOut(), choice.StrikeOut);
  }
  // Only the colour not offered shows as "Custom", once.
  EXPECT_EQ(dialog.FontColour->count(), 16);
  dialog.SetChoice({"Arial", 14, false, false, false, false, 0x123456});
  EXPECT_EQ(dialog.FontColour->currentText().toStdString(), "Custom");
  EXPECT_EQ(dialog.Choice().Points, 10);
  EXPECT_EQ(dialog.AnswerKey(true), kvl::kModalOk);
  EXPECT_EQ(dialog.AnswerKey(false), kvl::kModalCancel);
}

TEST(FontDialog, EnterTakesTheChoiceAndEscCancels) {
  for (bool enter : {true, false}) {
    TFontDialog dialog;
    dialog.SetChoice({"Arial", 9, false, false, false, false, 0});
    dialog.open();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.FontSize->setFocus();
    // The size list takes the arrow key; Enter and Esc go on to the dialog.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(dialog.Choice().Points, 10);
    QTest::keyClick(QApplication::focusWidget(), enter ? Qt::Key_Return : Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), enter ? QDialog::Accepted : QDialog::Rejected);
  }
}

}  // namespace
