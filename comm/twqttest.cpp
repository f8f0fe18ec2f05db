#include "twqttest.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>

#include "Application.h"
#include "MessageCatalog.h"
#include "ServiceChoiceRules.h"
#include "ServiceToolRules.h"
#include "TProtocol.h"
#include "UCommunication.h"
#include "URenzoku.h"
#include "URenzokuthread.h"
#include "mainform.h"

namespace {

constexpr const char* kSpeedItems[] = {"4800", "9600", "19.2K", "38.4K", "57.6K", "56.0K", "115K"};
constexpr const char* kSumItems[] = {"On", "Off"};

QString U(const char* text) { return QString::fromUtf8(text); }

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(U(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

// An edit inside its own captioned group box.
QLineEdit* BoxedEdit(QWidget* parent, const char* caption, const char* name, const char* text, QGroupBox** box = nullptr) {
  auto* group = new QGroupBox(U(caption), parent);
  auto* row = new QHBoxLayout(group);
  auto* edit = new QLineEdit(U(text), group);
  edit->setObjectName(QString::fromLatin1(name));
  row->addWidget(edit);
  if (box) *box = group;
  return edit;
}

QGroupBox* MakeRadioGroup(QWidget* parent, const char* name, const char* caption, const char* const* items, int count,
                          int checked, QButtonGroup*& buttons) {
  auto* box = new QGroupBox(U(caption), parent);
  box->setObjectName(QString::fromLatin1(name));
  auto* column = new QVBoxLayout(box);
  buttons = new QButtonGroup(box);
  for (int i = 0; i < count; ++i) {
    auto* button = new QRadioButton(U(items[i]), box);
    buttons->addButton(button, i);
    column->addWidget(button);
    if (i == checked) button->setChecked(true);
  }
  return box;
}

bool InRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

}  // namespace

TWQTTEST::TWQTTEST(TMainForm& main, TCore& core, TRenzokuComm& counter, kvl::TDialogPresenter& presenter,
                   QWidget* parent)
    : QDialog(parent), Main(main), Core(core), Counter(counter), Presenter(presenter) {
  setObjectName(QStringLiteral("WQTTEST"));
  setWindowTitle(QStringLiteral("Communication TEST Command Window"));
  setModal(false);

  auto* column = new QVBoxLayout(this);
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  column->addWidget(PageControl1);

  // The loader frames.
  TabSheet1 = new QWidget;
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  auto* shl = new QGridLayout(TabSheet1);
  QGroupBox* box = nullptr;
  Edit1 = BoxedEdit(TabSheet1, "ｱﾄﾞﾚｽ", "Edit1", "600", &box);
  shl->addWidget(box, 0, 0);
  Edit2 = BoxedEdit(TabSheet1, "ﾃﾞｰﾀ", "Edit2", "1", &box);
  shl->addWidget(box, 0, 1);
  SHLRead = MakeButton(TabSheet1, "SHLRead", "SHL Read");
  SHLWrite = MakeButton(TabSheet1, "SHLWrite", "SHL Write");
  shl->addWidget(SHLRead, 0, 2);
  shl->addWidget(SHLWrite, 0, 3);
  Edit3 = BoxedEdit(TabSheet1, "ﾌﾟﾛｸﾞﾗﾑ", "Edit3", "1", &box);
  shl->addWidget(box, 1, 0);
  Edit4 = BoxedEdit(TabSheet1, "ｾｸﾞﾒﾝﾄ", "Edit4", "1", &box);
  shl->addWidget(box, 1, 1);
  ProgRead = MakeButton(TabSheet1, "ProgRead", "Prog Read");
  ProgWrite = MakeButton(TabSheet1, "ProgWrite", "Prog Write");
  ProgDelete = MakeButton(TabSheet1, "ProgDelete", "Prog Delete");
  shl->addWidget(ProgRead, 1, 2);
  shl->addWidget(ProgWrite, 1, 3);
  shl->addWidget(ProgDelete, 1, 4);
  PageControl1->addTab(TabSheet1, QStringLiteral("SHL"));

  // The WQT text command.
  TabSheet2 = new QWidget;
  TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
  auto* wqt = new QHBoxLayout(TabSheet2);
  Edit6 = new QLineEdit(QStringLiteral("RD10000001"), TabSheet2);
  Edit6->setObjectName(QStringLiteral("Edit6"));
  Button6 = MakeButton(TabSheet2, "Button6", "OK");
  wqt->addWidget(Edit6);
  wqt->addWidget(Button6);
  PageControl1->addTab(TabSheet2, QStringLiteral("WQT"));

  // The tester: a command with history, its repeat, line settings and the
  // continuous exerciser. Its controls stand in two columns with a free
  // middle as wide as the counter window, which opens centred over this
  // window and stays on top: it covers none of them, the stop button least
  // of all.
  TabSheet3 = new QWidget;
  TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
  auto* tester = new QGridLayout(TabSheet3);
  ComboBox1 = new QComboBox(TabSheet3);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->addItems({QStringLiteral("@@01TESTER"), QStringLiteral("@@")});
  ComboBox1->setEditText(QStringLiteral("@@"));
  Button4 = MakeButton(TabSheet3, "Button4", "1ｺﾏﾝﾄﾞ");
  Button5 = MakeButton(TabSheet3, "Button5", "連続ｺﾏﾝﾄﾞ");
  Button7 = MakeButton(TabSheet3, "Button7", "History Clear");
  RadioGroup1 = MakeRadioGroup(TabSheet3, "RadioGroup1", "bps", kSpeedItems, 7, 1, RadioGroup1Items);
  RadioGroup2 = MakeRadioGroup(TabSheet3, "RadioGroup2", "Sum", kSumItems, 2, 0, RadioGroup2Items);
  Button1 = MakeButton(TabSheet3, "Button1", "Clear");
  Button2 = MakeButton(TabSheet3, "Button2", "連続開始");
  Button3 = MakeButton(TabSheet3, "Button3", "連続停止");
  Button8 = MakeButton(TabSheet3, "Button8", "拡張");

  auto* left = new QGridLayout;
  left->addWidget(ComboBox1, 0, 0, 1, 3);
  left->addWidget(Button4, 1, 0);
  left->addWidget(Button5, 1, 1);
  left->addWidget(Button7, 1, 2);
  left->addWidget(Button1, 2, 0);
  left->addWidget(Button8, 2, 1);
  left->setRowStretch(3, 1);
  auto* exerciser = new QVBoxLayout;
  exerciser->addWidget(RadioGroup2);
  exerciser->addWidget(Button2);
  exerciser->addWidget(Button3);
  exerciser->addStretch(1);
  auto* right = new QHBoxLayout;
  right->addWidget(RadioGroup1, 0, Qt::AlignTop);
  right->addLayout(exerciser);
  tester->addLayout(left, 0, 0);
  tester->addLayout(right, 0, 2);
  // Both columns as wide as the wider one and growing alike: the free
  // middle stays in the middle at every width.
  const int columnWidth = std::max(left->sizeHint().width(), right->sizeHint().width());
  tester->setColumnMinimumWidth(0, columnWidth);
  tester->setColumnMinimumWidth(2, columnWidth);
  tester->setColumnStretch(0, 1);
  tester->setColumnStretch(2, 1);
  TesterMiddle = tester;
  KeepClearOfCounter();
  PageControl1->addTab(TabSheet3, U("Syetem Tester"));

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The exerciser may log for hours.
  Memo1->setMaximumBlockCount(kLogLineLimit);
  column->addWidget(Memo1, 1);

  BitBtn1 = MakeButton(this, "BitBtn1", "ｷｬﾝｾﾙ");
  column->addWidget(BitBtn1, 0, Qt::AlignRight);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(kRepeatMs);

  connect(SHLRead, &QPushButton::clicked, this, [this] { SHLReadClick(); });
  connect(SHLWrite, &QPushButton::clicked, this, [this] { SHLWriteClick(); });
  connect(ProgRead, &QPushButton::clicked, this, [this] { ProgReadClick(); });
  connect(ProgWrite, &QPushButton::clicked, this, [this] { ProgWriteClick(); });
  connect(ProgDelete, &QPushButton::clicked, this, [this] { ProgDeleteClick(); });
  connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
  connect(Edit6, &QLineEdit::returnPressed, this, [this] { Button6Click(); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  // Enter in the box is taken here, from the box itself (it holds the focus
  // and hands keys to its edit field past any filter) and from its edit
  // field: the command is sent once.
  ComboBox1->installEventFilter(this);
  ComboBox1->lineEdit()->installEventFilter(this);
  connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  connect(Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
  connect(RadioGroup1Items, &QButtonGroup::idClicked, this, [this] { RadioGroup1Click(); });
  connect(RadioGroup2Items, &QButtonGroup::idClicked, this, [this] { RadioGroup2Click(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(Button8, &QPushButton::clicked, this, [this] { Button8Click(); });
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

void TWQTTEST::KeepClearOfCounter() {
  // The counter's frame is not known before it is first shown: room for one.
  constexpr int kFrameAllowance = 16;
  TesterMiddle->setColumnMinimumWidth(1, Counter.frameGeometry().width() + 2 * kFrameAllowance);
}

void TWQTTEST::showEvent(QShowEvent* event) {
  KeepClearOfCounter();
  QDialog::showEvent(event);
}

TWQTTEST::~TWQTTEST() {
  if (Exerciser) {
    Exerciser->RequestStop();
    Exerciser->Detach();
    WaitForExerciser();
    delete Exerciser.data();
  }
}

// ---- loader frames ----

bool TWQTTEST::Numbers(std::initializer_list<const QLineEdit*> edits, int32_t* values) {
  for (const QLineEdit* edit : edits) {
    const std::string text = edit->text().toStdString();
    if (!kvl::ParseInteger(text, *values++)) {
      Presenter.ShowModal(kvl::DescribeException(kvl::InvalidIntegerText(text, Main.Language), kvl::ApplicationTitle()));
      return false;
    }
  }
  return true;
}

std::string TWQTTEST::Outcome(bool ok, const std::string& success) const {
  return ok ? success : kvl::ErrorField(Core.Protocol->ProtocolError);
}

void TWQTTEST::AddLine(const std::string& line) { Memo1->appendPlainText(QString::fromStdString(line)); }

QStringList TWQTTEST::LogLines() const {
  const QString text = Memo1->toPlainText();
  return text.isEmpty() && Memo1->document()->blockCount() <= 1 ? QStringList() : text.split(QLatin1Char('\n'));
}

void TWQTTEST::SHLReadClick() {
  if (ExerciserRunning()) return;
  int32_t n[2];
  if (!Numbers({Edit1, Edit2}, n)) return;
  const std::string head = "Read  " + Edit1->text().toStdString() + ":" + Edit2->text().toStdString() + ":";
  // Numbers a frame cannot carry are refused before anything is sent.
  if (!InRange(n[0], 0, 0xFFFF) || !InRange(n[1], 0, TProtocol::kMaxFrameWords)) {
    AddLine(head + kvl::ErrorField(TProtocol::kErrNotSent));
    return;
  }
  uint16_t words[TProtocol::kMaxFrameWords] = {};
  Core.OpenPort();
  const bool ok = Core.Protocol->ReadWords(static_cast<uint16_t>(n[0]), static_cast<int16_t>(n[1]), words);
  Core.ClosePort();
  AddLine(head + Outcome(ok, kvl::JoinSignedWords(words, n[1])));
}

void TWQTTEST::SHLWriteClick() {
  if (ExerciserRunning()) return;
  int32_t n[2];
  if (!Numbers({Edit1, Edit2}, n)) return;
  const std::string head = "Write " + Edit1->text().toStdString() + ":" + Edit2->text().toStdString() + ":";
  if (!InRange(n[0], 0, 0xFFFF) || !InRange(n[1], -32768, 0xFFFF)) {
    AddLine(head + kvl::ErrorField(TProtocol::kErrNotSent));
    return;
  }
  const uint16_t value = static_cast<uint16_t>(n[1]);
  Core.OpenPort();
  const bool ok = Core.Protocol->WriteWords(static_cast<uint16_t>(n[0]), 1, &value);
  Core.ClosePort();
  AddLine(head + Outcome(ok, ""));
}

void TWQTTEST::ProgReadClick() {
  if (ExerciserRunning()) return;
  int32_t n[4];  // start item, count, program, segment
  if (!Numbers({Edit1, Edit2, Edit3, Edit4}, n)) return;
  const std::string head = "Read Prog" + Edit3->text().toStdString() + ":" + Edit4->text().toStdString() + ":" +
                           Edit1->text().toStdString() + ":" + Edit2->text().toStdString() + ":";
  if (!InRange(n[0], 0, 0xFF) || !InRange(n[1], 0, TProtocol::kMaxFrameWords) || !InRange(n[2], 0, 0xFF) ||
      !InRange(n[3], 0, 0xFF)) {
    AddLine(head + kvl::ErrorField(TProtocol::kErrNotSent));
    return;
  }
  uint16_t words[TProtocol::kMaxFrameWords] = {};
  Core.OpenPort();
  const bool ok = Core.Protocol->ReadProgram(static_cast<uint8_t>(n[2]), static_cast<uint8_t>(n[3]), words,
                                             static_cast<int16_t>(n[1]), static_cast<uint8_t>(n[0]));
  Core.ClosePort();
  AddLine(head + Outcome(ok, kvl::JoinSignedWords(words, n[1])));
}

void TWQTTEST::ProgWriteClick() {
  if (ExerciserRunning()) return;
  int32_t n[4];  // start item, value, program, segment
  if (!Numbers({Edit1, Edit2, Edit3, Edit4}, n)) return;
  const std::string head = "Write Prog" + Edit3->text().toStdString() + ":" + Edit4->text().toStdString() + ":" +
                           Edit1->text().toStdString() + ":" + Edit2->text().toStdString() + ":";
  if (!InRange(n[0], 0, 0xFF) || !InRange(n[1], -32768, 0xFFFF) || !InRange(n[2], 0, 0xFF) || !InRange(n[3], 0, 0xFF)) {
    AddLine(head + kvl::ErrorField(TProtocol::kErrNotSent));
    return;
  }
  const int16_t value = static_cast<int16_t>(static_cast<uint16_t>(n[1]));
  Core.OpenPort();
  const bool ok = Core.Protocol->WriteProgram(static_cast<uint8_t>(n[2]), static_cast<uint8_t>(n[3]), &value, 1,
                                              static_cast<uint8_t>(n[0]));
  Core.ClosePort();
  AddLine(head + Outcome(ok, ""));
}

void TWQTTEST::ProgDeleteClick() {
  if (ExerciserRunning()) return;
  int32_t n[2];  // program, segment
  if (!Numbers({Edit3, Edit4}, n)) return;
  const std::string head = "Delete " + Edit3->text().toStdString() + ":" + Edit4->text().toStdString() + ":";
  if (!InRange(n[0], 0, 0xFFFF) || !InRange(n[1], 0, 0xFFFF)) {
    AddLine(head + kvl::ErrorField(TProtocol::kErrNotSent));
    return;
  }
  Core.OpenPort();
  const bool ok = Core.Protocol->DeleteProgram(static_cast<uint16_t>(n[0]), static_cast<uint16_t>(n[1]));
  Core.ClosePort();
  AddLine(head + Outcome(ok, ""));
}

// ---- text commands ----

std::string TWQTTEST::TextCommand(const std::string& text, bool testerPage) {
  TProtocol& link = *Core.Protocol;
  link.Wqt.Station = static_cast<uint16_t>(Main.Settings.Address);
  link.Wqt.SubAddress = static_cast<uint16_t>(Main.Settings.SubAddress);
  std::string reply;
  const bool opened = Core.OpenPort() == 0;
  if (opened || !testerPage) {
    if (!link.WqtCommand(text, reply)) reply.clear();
  }
  Core.ClosePort();
  if (testerPage) link.Wqt.Station = 1;
  return reply;
}

void TWQTTEST::Button6Click() {
  if (ExerciserRunning()) return;
  const std::string text = Edit6->text().toStdString();
  AddLine(text + ":" + TextCommand(text, false));
}

void TWQTTEST::TesterCommand() {
  const QString command = ComboBox1->currentText();
  const std::string text = command.toStdString();
  AddLine(text + ":" + TextCommand(text, true));
  // Every text sent goes to the history, also one it already holds.
  ComboBox1->addItem(command);
  ComboBox1->setEditText(command);
}

void TWQTTEST::Button4Click() {
  // Enter in the box while the repeat runs sends nothing more.
  if (ExerciserRunning() || !Button4->isEnabled()) return;
  Button4->setEnabled(false);
  Button5->setEnabled(false);
  TesterCommand();
  Button5->setEnabled(true);
  Button4->setEnabled(!Timer1->isActive());
}

void TWQTTEST::Button5Click() {
  if (Timer1->isActive()) {
    Timer1->stop();
    Button4->setEnabled(true);
  } else {
    Timer1->start();
    Button4->setEnabled(false);
  }
}

void TWQTTEST::Timer1Timer() {
  if (ExerciserRunning()) return;
  const std::string text = ComboBox1->currentText().toStdString();
  AddLine(text + ":" + TextCommand(text, true));
}

void TWQTTEST::Button7Click() {
  const QString text = ComboBox1->currentText();
  ComboBox1->clear();
  ComboBox1->setEditText(text);
}

// ---- line settings ----

void TWQTTEST::ShowLineSetting(int32_t lineSetting) {
  // Only the choice is shown; the line setting stays until a click.
  const int item = kvl::SpeedItemForLineSetting(lineSetting);
  if (QAbstractButton* button = RadioGroup1Items->button(item)) button->setChecked(true);
}

void TWQTTEST::ShowTesterPage() { PageControl1->setCurrentWidget(TabSheet3); }

void TWQTTEST::RadioGroup1Click() { Core.LineSetting = kvl::LineSettingForSpeedItem(RadioGroup1Items->checkedId()); }

void TWQTTEST::RadioGroup2Click() {
  Core.Protocol->Wqt.ChecksumFlag = kvl::ChecksumFlagForSumItem(RadioGroup2Items->checkedId());
}

void TWQTTEST::Button1Click() { Memo1->clear(); }

// ---- the continuous exerciser ----

bool TWQTTEST::Confirm(const char* text) {
  kvl::MessageDescription box;
  box.Type = kvl::DialogType::Confirmation;
  box.Title = kvl::PlatformDialogTitle(kvl::DialogType::Confirmation);
  box.Text = text;
  box.Buttons = {{kvl::DialogButton::OK, "OK", kvl::kModalOk}, {kvl::DialogButton::Cancel, "キャンセル", kvl::kModalCancel}};
  box.FocusButton = 0;
  box.DefaultButton = 0;
  box.EscapeResult = kvl::kModalCancel;
  return Presenter.ShowModal(box) == kvl::kModalOk;
}

bool TWQTTEST::ExerciserRunning() const { return Exerciser && !Exerciser->isFinished(); }

void TWQTTEST::WaitForExerciser() {
  while (Exerciser && !Exerciser->isFinished()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
}

void TWQTTEST::Button2Click() {
  // One exerciser at a time: a start while one runs (or is still ending)
  // does nothing.
  if (Exerciser) return;
  if (!Confirm("連続開始")) return;
  Counter.show();
  KeepClearOfCounter();
  const TCore::TransferRange range = RangeDialog ? RangeDialog->TransferRange() : TCore::TransferRange{};
  auto* worker = new TRenzoku(Counter, Main, Core, range, [this](const std::string& line) { AddLine(line); });
  connect(worker, &QThread::finished, worker, &QObject::deleteLater);
  Exerciser = worker;
  worker->start();
}

void TWQTTEST::Button3Click() {
  // Only a running exerciser that has not been stopped yet is stopped.
  if (!ExerciserRunning() || Exerciser->StopRequested()) return;
  if (!Confirm("連続停止")) return;
  if (Exerciser) Exerciser->RequestStop();
}

void TWQTTEST::Button8Click() {
  if (ControlPanel) Presenter.ShowForm(*ControlPanel);
}

void TWQTTEST::BitBtn1Click() { reject(); }

void TWQTTEST::FormClose() {
  if (Timer1->isActive()) {
    Timer1->stop();
    Button4->setEnabled(true);
  }
}

bool TWQTTEST::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == ComboBox1 || watched == ComboBox1->lineEdit()) && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Button4Click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TWQTTEST::done(int result) {
  FormClose();
  QDialog::done(result);
}
