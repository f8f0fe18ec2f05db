#include "AboutBox.h"

#include <QAction>
#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <functional>

#include "AboutBoxRules.h"
#include "Application.h"
#include "FileVer.h"
#include "mainform.h"

namespace kvl {
int AboutColourIndex = 0;
}  // namespace kvl

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr int kClientWidth = 415;
constexpr int kClientHeight = 409;

// A label that reports a double click.
class TDblClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> OnDblClick;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    QLabel::mouseDoubleClickEvent(event);
    if (OnDblClick) OnDblClick();
  }
};

QFont PixelFont(const char* family, int pixels, bool bold) {
  QFont font(QString::fromLatin1(family));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// A colour word: red in the low byte, blue in the high byte.
void SetFontColour(QWidget* control, uint32_t word) {
  QPalette palette = control->palette();
  palette.setColor(QPalette::WindowText, kvl::ColourOfWord(word));
  control->setPalette(palette);
}

// The maker's logo, drawn: the maker's name on a framed white field.
QPixmap MakerLogo() {
  QPixmap logo(219, 91);
  logo.fill(Qt::transparent);
  QPainter painter(&logo);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0, 0, 128), 3));
  painter.setBrush(Qt::white);
  painter.drawRoundedRect(QRectF(2, 2, 215, 87), 10, 10);
  painter.setFont(PixelFont("Arial Black", 34, false));
  painter.setPen(QColor(0, 0, 128));
  painter.drawText(logo.rect(), Qt::AlignCenter, QStringLiteral("Halvorin"));
  return logo;
}

}  // namespace

TAboutBox::TAboutBox(TMainForm& mainForm, QWidget* parent) : QDialog(parent), Main(mainForm) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setLineWidth(2);
  Panel1->setGeometry(8, 8, 399, 345);

  auto* product = new TDblClickLabel(Panel1);
  product->OnDblClick = [this] { KVLNAME1DblClick(); };
  KVLNAME1 = product;
  KVLNAME1->setObjectName(QStringLiteral("KVLNAME1"));
  KVLNAME1->setFont(PixelFont("Arial Black", 21, false));
  KVLNAME1->setAlignment(Qt::AlignCenter);
  KVLNAME1->setGeometry(8, 112, 383, 32);

  auto* version = new TDblClickLabel(Panel1);
  version->OnDblClick = [this] { Label2DblClick(); };
  Label2 = version;
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setFont(PixelFont("Arial", 12, true));
  Label2->setAlignment(Qt::AlignCenter);
  Label2->setGeometry(8, 150, 383, 18);

  Copyright = new QLabel(Panel1);
  Copyright->setObjectName(QStringLiteral("Copyright"));
  Copyright->setFont(PixelFont("Arial Narrow", 16, true));
  Copyright->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Copyright->setWordWrap(true);
  Copyright->setGeometry(8, 176, 383, 100);

  auto* logo = new TDblClickLabel(Panel1);
  logo->OnDblClick = [this] { HalvorinBmpDblClick(); };
  HalvorinBmp = logo;
  HalvorinBmp->setObjectName(QStringLiteral("HalvorinBmp"));
  HalvorinBmp->setPixmap(MakerLogo());
  HalvorinBmp->setScaledContents(true);
  HalvorinBmp->setAttribute(Qt::WA_TranslucentBackground);
  HalvorinBmp->setGeometry(90, 12, 219, 91);

  PASSEdit1 = new QLineEdit(Panel1);
  PASSEdit1->setObjectName(QStringLiteral("PASSEdit1"));
  PASSEdit1->setEchoMode(QLineEdit::Password);
  PASSEdit1->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
  PASSEdit1->setGeometry(120, 300, 100, 22);
  PASSEdit1->hide();
  connect(PASSEdit1, &QLineEdit::textChanged, this, [this] { PASSEdit1Change(); });

  Button1 = new QPushButton(QString::fromUtf8("解除"), Panel1);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setAutoDefault(false);
  Button1->setGeometry(228, 299, 60, 24);
  Button1->hide();
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

  BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setDefault(true);
  BitBtn1->setGeometry((kClientWidth - 80) / 2, 366, 80, 28);
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(500);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

  Main.RegisterForm(this);
  Main.AboutBox = this;
  FormCreate();
}

TAboutBox::~TAboutBox() {
  if (Main.AboutBox == this) Main.AboutBox = nullptr;
}

// The box's own captions are set first; they do not depend on the main
// window's start steps, and the command line they run may change the fonts
// of every window, this one included.
void TAboutBox::FormCreate() {
  setWindowTitle(Q(kvl::AboutCaption()));
  KVLNAME1->setText(Q(kvl::AboutProductText()));
  Main.FinishStart();
}

void TAboutBox::BeforeShowing(const std::string& modelCode, const std::string& programFile) {
  Copyright->setText(Q(kvl::AboutCopyrightText(modelCode)));
  TVersionInfo& info = *Main.VersionInfo1;
  info.SetFileName(programFile);
  Label2->setText(Q(kvl::AboutVersionText(info.GetFileMajor(), info.GetFileMinor(), info.GetFileRelease())));
}

void TAboutBox::AfterShowing() {
  PASSEdit1->hide();
  Button1->hide();
  for (QWidget* label : {static_cast<QWidget*>(KVLNAME1), static_cast<QWidget*>(Label2),
                         static_cast<QWidget*>(Copyright)})
    SetFontColour(label, kvl::AboutColourWord(0));
  PASSEdit1->clear();
}

int TAboutBox::ExecModal() {
  exec();
  return kvl::kModalOk;
}

int TAboutBox::AnswerKey(bool) { return kvl::kModalOk; }

std::string TAboutBox::FormCaption() const { return windowTitle().toStdString(); }

void TAboutBox::BitBtn1Click() {
  Timer1->stop();
  SetFontColour(KVLNAME1, kvl::AboutColourWord(0));
  done(QDialog::Accepted);
}

void TAboutBox::KVLNAME1DblClick() { Timer1->start(); }

void TAboutBox::Timer1Timer() {
  kvl::AboutColourIndex = kvl::NextAboutColourIndex(kvl::AboutColourIndex);
  SetFontColour(KVLNAME1, kvl::AboutColourWord(kvl::AboutColourIndex));
}

void TAboutBox::Label2DblClick() {
  const TVersionInfo& info = *Main.VersionInfo1;
  Label2->setText(Q(kvl::AboutVersionText(info.GetFileMajor(), info.GetFileMinor(), info.GetFileRelease(),
                                          info.GetFileBuild())));
}

void TAboutBox::HalvorinBmpDblClick() {
  PASSEdit1->show();
  PASSEdit1->setFocus();
}

void TAboutBox::PASSEdit1Change() {
  switch (kvl::CheckAccessCode(PASSEdit1->text().toStdString())) {
    case kvl::AccessCodeOutcome::ShowUnlockButton:
      PASSEdit1->clear();
      PASSEdit1->hide();
      Button1->show();
      break;
    case kvl::AccessCodeOutcome::CloseField:
      PASSEdit1->clear();
      PASSEdit1->hide();
      break;
    case kvl::AccessCodeOutcome::None: break;
  }
}

void TAboutBox::Button1Click() {
  Button1->hide();
  Main.ServiceMode = 1;
  for (const char* name : kvl::kServiceMenuItems)
    if (QAction* item = Main.MenuItem(name)) item->setVisible(true);
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    BitBtn1->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TAboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}
