// The font dialog of the control panel: family, style, a size of 7 to 10
// points, and the effects underline, strike-out and colour. Shown modally
// through the presenter; its choice is read as plain values.
#pragma once

#include <QDialog>
#include <QFont>

#include <string>

#include "DialogPresenter.h"
#include "FontChoice.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The font a choice names (family, size, style and effects; the colour is
// the palette's).
QFont FontOf(const kvl::FontChoice& choice);

class TFontDialog : public QDialog, public kvl::TModalForm {
 public:
  explicit TFontDialog(QWidget* parent = nullptr);

  // The fields show the font; a size that is not offered starts at the
  // nearest one, a colour that is not offered is kept as "Custom".
  void SetChoice(const kvl::FontChoice& choice);
  // The font the fields show.
  kvl::FontChoice Choice() const;

  int ExecModal() override;
  int AnswerKey(bool enter) override;
  std::string FormCaption() const override;

  QComboBox* FontName = nullptr;
  QComboBox* FontStyle = nullptr;
  QComboBox* FontSize = nullptr;
  QGroupBox* Effects = nullptr;
  QCheckBox* StrikeOut = nullptr;
  QCheckBox* Underline = nullptr;
  QComboBox* FontColour = nullptr;
  QLabel* Sample = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 private:
  // The sample shows the font and colour the fields give.
  void ShowSample();
};
