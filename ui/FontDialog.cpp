#include "FontDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "Application.h"

namespace {

QIcon Swatch(int32_t word) {
  QPixmap pixmap(16, 12);
  pixmap.fill(word >= 0 ? kvl::ColourOfWord(static_cast<uint32_t>(word)) : QColor(Qt::black));
  return QIcon(pixmap);
}

QLabel* Caption(const char* text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

QFont FontOf(const kvl::FontChoice& choice) {
  QFont font(QString::fromStdString(choice.Family));
  if (choice.Points > 0) font.setPointSize(choice.Points);
  font.setBold(choice.Bold);
  font.setItalic(choice.Italic);
  font.setUnderline(choice.Underline);
  font.setStrikeOut(choice.StrikeOut);
  return font;
}

TFontDialog::TFontDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FontDialog1"));
  setWindowTitle(QStringLiteral("Font"));

  FontName = new QComboBox(this);
  FontName->setObjectName(QStringLiteral("FontName"));
  FontName->addItems(QFontDatabase::families());
  FontStyle = new QComboBox(this);
  FontStyle->setObjectName(QStringLiteral("FontStyle"));
  for (const char* style : kvl::FontStyleNames) FontStyle->addItem(QString::fromLatin1(style));
  FontSize = new QComboBox(this);
  FontSize->setObjectName(QStringLiteral("FontSize"));
  for (int points : kvl::FontSizesOffered()) FontSize->addItem(QString::number(points), points);

  Effects = new QGroupBox(QStringLiteral("Effects"), this);
  Effects->setObjectName(QStringLiteral("Effects"));
  StrikeOut = new QCheckBox(QStringLiteral("Strikeout"), Effects);
  StrikeOut->setObjectName(QStringLiteral("StrikeOut"));
  Underline = new QCheckBox(QStringLiteral("Underline"), Effects);
  Underline->setObjectName(QStringLiteral("Underline"));
  FontColour = new QComboBox(Effects);
  FontColour->setObjectName(QStringLiteral("FontColour"));
  for (const kvl::NamedColour& colour : kvl::FontColours())
    FontColour->addItem(Swatch(colour.Value), QString::fromLatin1(colour.Name), colour.Value);
  auto* effects = new QVBoxLayout(Effects);
  effects->addWidget(StrikeOut);
  effects->addWidget(Underline);
  effects->addWidget(Caption("Color:", FontColour, Effects));
  effects->addWidget(FontColour);

  Sample = new QLabel(QStringLiteral("AaBbYyZz"), this);
  Sample->setObjectName(QStringLiteral("Sample"));
  Sample->setAlignment(Qt::AlignCenter);
  Sample->setMinimumSize(160, 48);
  Sample->setFrameShape(QFrame::StyledPanel);

  OkButton = new QPushButton(QStringLiteral("OK"), this);
  OkButton->setObjectName(QStringLiteral("OkButton"));
  OkButton->setDefault(true);
  CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  CancelButton->setAutoDefault(false);

  auto* grid = new QGridLayout(this);
  grid->addWidget(Caption("Font:", FontName, this), 0, 0);
  grid->addWidget(Caption("Font style:", FontStyle, this), 0, 1);
  grid->addWidget(Caption("Size:", FontSize, this), 0, 2);
  grid->addWidget(FontName, 1, 0);
  grid->addWidget(FontStyle, 1, 1);
  grid->addWidget(FontSize, 1, 2);
  grid->addWidget(Effects, 2, 0, 2, 1);
  grid->addWidget(Caption("Sample", Sample, this), 2, 1, 1, 2);
  grid->addWidget(Sample, 3, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  grid->addLayout(buttons, 4, 0, 1, 3);
  grid->setSizeConstraint(QLayout::SetFixedSize);

  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  for (QComboBox* box : {FontName, FontStyle, FontSize, FontColour})
    connect(box, &QComboBox::currentIndexChanged, this, [this] { ShowSample(); });
  for (QCheckBox* box : {StrikeOut, Underline}) connect(box, &QCheckBox::toggled, this, [this] { ShowSample(); });
  ShowSample();
}

void TFontDialog::SetChoice(const kvl::FontChoice& choice) {
  const QString family = QString::fromStdString(choice.Family);
  // A family the system does not list is kept as it is.
  if (FontName->findText(family) < 0) FontName->insertItem(0, family);
  FontName->setCurrentIndex(FontName->findText(family));
  FontStyle->setCurrentIndex(kvl::FontStyleIndex(choice.Bold, choice.Italic));
  FontSize->setCurrentIndex(FontSize->findData(kvl::StartingFontSize(choice.Points)));
  StrikeOut->setChecked(choice.StrikeOut);
  Underline->setChecked(choice.Underline);
  const int custom = FontColour->findText(QStringLiteral("Custom"));
  if (custom >= 0) FontColour->removeItem(custom);
  int colour = kvl::FontColourIndex(choice.Colour);
  if (colour < 0) {
    FontColour->addItem(Swatch(choice.Colour), QStringLiteral("Custom"), choice.Colour);
    colour = FontColour->count() - 1;
  }
  FontColour->setCurrentIndex(colour);
  ShowSample();
}

kvl::FontChoice TFontDialog::Choice() const {
  kvl::FontChoice choice;
  choice.Family = FontName->currentText().toStdString();
  kvl::FontStyleOf(FontStyle->currentIndex(), choice.Bold, choice.Italic);
  choice.Points = FontSize->currentData().toInt();
  choice.StrikeOut = StrikeOut->isChecked();
  choice.Underline = Underline->isChecked();
  choice.Colour = FontColour->currentData().toInt();
  return choice;
}

void TFontDialog::ShowSample() {
  if (!Sample) return;
  const kvl::FontChoice choice = Choice();
  Sample->setFont(FontOf(choice));
  QPalette palette = Sample->palette();
  if (choice.Colour >= 0) palette.setColor(QPalette::WindowText, kvl::ColourOfWord(static_cast<uint32_t>(choice.Colour)));
  Sample->setPalette(palette);
}

int TFontDialog::ExecModal() { return exec() == QDialog::Accepted ? kvl::kModalOk : kvl::kModalCancel; }

int TFontDialog::AnswerKey(bool enter) { return enter ? kvl::kModalOk : kvl::kModalCancel; }

std::string TFontDialog::FormCaption() const { return windowTitle().toStdString(); }
