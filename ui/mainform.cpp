#include "mainform.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QFontMetrics>
#include <QScreen>
#include <QSplitter>
#include <QSplitterHandle>
#include <QStackedLayout>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

#include "AboutBox.h"
#include "FontDialog.h"
#include "Application.h"
#include "FileVer.h"
#include "DataCheck.h"
#include "DialogPresenter.h"
#include "MainFormTexts.h"
#include "MessageCatalog.h"
#include "OptSet.h"
#include "PatternGraph.h"
#include "StrCGrid.h"
#include "StartupRules.h"
#include "TableGraph.h"
#include "UCore.h"
#include "ValueChooser.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The chooser's list drops down under it with at most its visible lines
// (setMaxVisibleItems): the application's style would lay a list that
// cannot be edited over the whole screen height.
class TChooserStyle : public QProxyStyle {
 public:
  explicit TChooserStyle(QObject* owner) : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {
    setParent(owner);
  }
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

// Letters typed into the tag editor become upper case.
class UpperCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

// The group tree: reports every button and key release after the tree has
// handled it (its own selection change on press comes first).
class TOutline : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;
  std::function<void()> OnMouseUp;
  std::function<void(int key)> OnKeyUp;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QTreeWidget::mouseReleaseEvent(event);
    if (OnMouseUp) OnMouseUp();
  }
  void keyReleaseEvent(QKeyEvent* event) override {
    QTreeWidget::keyReleaseEvent(event);
    if (!event->isAutoRepeat() && OnKeyUp) OnKeyUp(event->key());
  }
};

// The handle between the tree panel and the grid area refuses a drag that
// would leave the tree panel narrower than 20 pixels or the grid area
// narrower than 15.
class TTreeSplitterHandle : public QSplitterHandle {
 public:
  using QSplitterHandle::QSplitterHandle;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) PressOffset = event->position().toPoint().x();
    QSplitterHandle::mousePressEvent(event);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (event->buttons() & Qt::LeftButton) {
      const int width = splitter()->mapFromGlobal(event->globalPosition().toPoint()).x() - PressOffset;
      const int available = splitter()->width() - splitter()->handleWidth();
      if (!kvl::AcceptTreePanelWidth(width, available)) return;
    }
    QSplitterHandle::mouseMoveEvent(event);
  }

 private:
  int PressOffset = 0;
};

class TTreeSplitter : public QSplitter {
 public:
  using QSplitter::QSplitter;

 protected:
  QSplitterHandle* createHandle() override { return new TTreeSplitterHandle(orientation(), this); }
};

// The form's font: "ＭＳ ゴシック", 12 pixels high.
constexpr const char* kFormFontName = "ＭＳ ゴシック";
constexpr int kFormFontPixels = 12;
constexpr int kToolButtonSize = 20;
constexpr int kStatusStripHeight = 16;
constexpr int kStatusBarHeight = 22;
constexpr int kFormWidth = 640;
constexpr int kFormHeight = 480;
constexpr int kTreePanelFormWidth = 165;

QStyle::StandardPixmap ToolButtonIcon(const std::string& name) {
  static const std::map<std::string, QStyle::StandardPixmap> icons = {
      {"NewButton", QStyle::SP_FileIcon},
      {"OpenButton", QStyle::SP_DialogOpenButton},
      {"SaveButton", QStyle::SP_DialogSaveButton},
      {"SaveAsButton", QStyle::SP_DriveFDIcon},
      {"ZTMtoKVLButton", QStyle::SP_ArrowDown},
      {"KVLtoZTMButton", QStyle::SP_ArrowUp},
      {"SetupButton", QStyle::SP_FileDialogDetailedView},
      {"ComSetupButton", QStyle::SP_ComputerIcon},
      {"InsertButton1", QStyle::SP_FileDialogNewFolder},
      {"InsertButton2", QStyle::SP_FileDialogContentsView},
      {"CUTButton", QStyle::SP_TrashIcon},
      {"COPYButton", QStyle::SP_FileLinkIcon},
      {"PASTEButton", QStyle::SP_DialogApplyButton},
      {"ClearButton", QStyle::SP_DialogResetButton},
      {"COPY2Button", QStyle::SP_FileDialogListView},
      {"PASTE2Button", QStyle::SP_DialogYesButton},
  };
  const auto it = icons.find(name);
  return it != icons.end() ? it->second : QStyle::SP_FileIcon;
}

}  // namespace

TMainForm::TMainForm(kvl::TDialogPresenter& presenter, TMainFormOptions options, QWidget* parent)
    : QMainWindow(parent), Presenter(presenter), Options(std::move(options)) {
  setObjectName(QStringLiteral("MainForm"));
  QFont formFont(QString::fromUtf8(kFormFontName));
  formFont.setPixelSize(kFormFontPixels);
  setFont(formFont);
  resize(kFormWidth, kFormHeight);

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  BuildToolPanel();
  column->addWidget(Panel1);

  // Tree panel: the group tree above the status strip.
  Panel2 = new QWidget(central);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  auto* treeColumn = new QVBoxLayout(Panel2);
  treeColumn->setContentsMargins(0, 0, 0, 0);
  treeColumn->setSpacing(0);
  auto* outline = new TOutline(Panel2);
  outline->OnMouseUp = [this] { Outline1MouseUp(); };
  outline->OnKeyUp = [this](int key) { Outline1KeyUp(key); };
  Outline1 = outline;
  Outline1->setObjectName(QStringLiteral("Outline1"));
  Outline1->setHeaderHidden(true);
  Outline1->setColumnCount(1);
  Outline1->setSelectionMode(QAbstractItemView::SingleSelection);
  // Every heading stays expanded, so the entries read in tree order.
  Outline1->setRootIsDecorated(false);
  Outline1->setItemsExpandable(false);
  Outline1->setExpandsOnDoubleClick(false);
  treeColumn->addWidget(Outline1, 1);
  Panel7 = new QWidget(Panel2);
  Panel7->setObjectName(QStringLiteral("Panel7"));
  Panel7->setFixedHeight(kStatusStripHeight);
  auto* strip = new QHBoxLayout(Panel7);
  strip->setContentsMargins(0, 0, 0, 0);
  Panel5 = new QLabel(Panel7);
  Panel5->setObjectName(QStringLiteral("Panel5"));
  Panel5->setFrameShape(QFrame::Panel);
  Panel5->setFrameShadow(QFrame::Sunken);
  strip->addWidget(Panel5);
  treeColumn->addWidget(Panel7);

  // Grid area: the group name (and later the grid over it), the error list below.
  Panel3 = new QWidget(central);
  Panel3->setObjectName(QStringLiteral("Panel3"));
  auto* gridColumn = new QVBoxLayout(Panel3);
  gridColumn->setContentsMargins(0, 0, 0, 0);
  Splitter2 = new QSplitter(Qt::Vertical, Panel3);
  Splitter2->setObjectName(QStringLiteral("Splitter2"));
  Splitter2->setHandleWidth(3);
  Splitter2->setChildrenCollapsible(false);
  auto* gridPlace = new QWidget(Splitter2);
  gridPlace->setObjectName(QStringLiteral("GridPlace"));
  GridStack = new QStackedLayout(gridPlace);
  Panel8 = new QLabel(gridPlace);
  Panel8->setObjectName(QStringLiteral("Panel8"));
  Panel8->setAlignment(Qt::AlignCenter);
  QFont nameFont = Panel8->font();
  nameFont.setPixelSize(48);
  nameFont.setBold(true);
  Panel8->setFont(nameFont);
  GridStack->addWidget(Panel8);
  ErrorList = new QListWidget(Splitter2);
  ErrorList->setObjectName(QStringLiteral("ErrorList"));
  ErrorList->setMinimumHeight(20);
  Splitter2->addWidget(gridPlace);
  Splitter2->addWidget(ErrorList);
  Splitter2->setStretchFactor(0, 1);
  Splitter2->setStretchFactor(1, 0);
  Splitter2->setSizes({kFormHeight, 20});
  gridColumn->addWidget(Splitter2);

  Splitter1 = new TTreeSplitter(Qt::Horizontal, central);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setHandleWidth(3);
  Splitter1->setOpaqueResize(true);
  // The handle, not the tree's size hint, limits how narrow the panel gets.
  Panel2->setMinimumWidth(1);
  Splitter1->addWidget(Panel2);
  Splitter1->addWidget(Panel3);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setCollapsible(0, false);
  Splitter1->setCollapsible(1, false);
  SetTreePanelWidth(kTreePanelFormWidth);
  column->addWidget(Splitter1, 1);

  // Status bar with two panels: the cell position and the cell's range.
  Panel4 = new QWidget(central);
  Panel4->setObjectName(QStringLiteral("Panel4"));
  Panel4->setFixedHeight(kStatusBarHeight);
  auto* statusRow = new QHBoxLayout(Panel4);
  statusRow->setContentsMargins(0, 0, 0, 0);
  StatusBar1 = new QStatusBar(Panel4);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  for (int i = 0; i < 2; ++i) {
    StatusPanels[i] = new QLabel(StatusBar1);
    StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    StatusBar1->addWidget(StatusPanels[i], i == 0 ? 0 : 1);
  }
  StatusPanels[0]->setMinimumWidth(120);
  statusRow->addWidget(StatusBar1);
  column->addWidget(Panel4);
  setCentralWidget(central);

  BuildMenus();
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  BuildGridView();

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(100);
  Timer1->setSingleShot(true);
  connect(Timer1, &QTimer::timeout, this, [this] {
    Timer1->stop();
    OpenWizardAtStart();
  });
  Timer2 = new QTimer(this);
  Timer2->setObjectName(QStringLiteral("Timer2"));
  Timer2->setInterval(100);
  Timer2->setSingleShot(true);

  VersionInfo1 = new TVersionInfo(this);
  connect(MenuItem("MenuVersion"), &QAction::triggered, this, [this] { MenuVersionClick(); });

  ConnectDataCheck();
  ConnectCommands();

  WatchFocus(Outline1, kvl::FocusControl::Tree);
  WatchFocus(ComboBox1, kvl::FocusControl::Chooser);
  WatchFocus(ErrorList, kvl::FocusControl::ErrorList);
  WatchFocus(ComboBoxProgNum, kvl::FocusControl::ProgramSelector);
  WatchFocus(EditTag, kvl::FocusControl::TagEditor);
  SetTabOrder();

  FormCreate();
}

TMainForm::~TMainForm() {
  // The controls outlive this part of the window: stop watching them first.
  for (const auto& watched : FocusControls) {
    watched.first->removeEventFilter(this);
    QObject::disconnect(watched.first, &QObject::destroyed, this, nullptr);
  }
  FocusControls.clear();
}

// Tab visits only the controls that mark their focus, the grid first; hidden
// ones are passed over.
void TMainForm::SetTabOrder() {
  QWidget* const order[] = {StrColGrid1, Outline1, ComboBox1, ErrorList, ComboBoxProgNum, EditTag};
  for (size_t i = 0; i + 1 < std::size(order); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

void TMainForm::BuildToolPanel() {
  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  const std::vector<kvl::ToolButtonDef>& buttons = kvl::ToolButtons();
  for (size_t i = 0; i < buttons.size(); ++i) {
    const kvl::ToolButtonDef& def = buttons[i];
    auto* button = new QToolButton(Panel1);
    button->setObjectName(QString::fromLatin1(def.Name));
    button->setAutoRaise(true);
    // Speed buttons: a click runs the command, the keyboard focus stays put.
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(kToolButtonSize, kToolButtonSize);
    button->setIcon(style()->standardIcon(ToolButtonIcon(def.Name)));
    button->setEnabled(def.Enabled);
    const std::string menuItem = def.MenuItem;
    connect(button, &QToolButton::clicked, this, [this, menuItem] {
      if (QAction* action = MenuItem(menuItem)) action->trigger();
    });
    ToolButtonsByName[def.Name] = button;
  }
  ComboBox1 = new QComboBox(Panel1);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setStyle(new TChooserStyle(this));  // outlives the chooser
  ComboBox1->setMaxVisibleItems(30);
  // A click or Tab gives it the focus, a wheel turned over it does not: the
  // wheel changes its entry only while it has the focus (eventFilter).
  ComboBox1->setFocusPolicy(Qt::StrongFocus);
  ComboBox1->hide();
  LabelProg = new QLabel(QStringLiteral("PROG:"), Panel1);
  LabelProg->setObjectName(QStringLiteral("LabelProg"));
  ComboBoxProgNum = new QComboBox(Panel1);
  ComboBoxProgNum->setObjectName(QStringLiteral("ComboBoxProgNum"));
  LabelTag = new QLabel(QStringLiteral("TAG:"), Panel1);
  LabelTag->setObjectName(QStringLiteral("LabelTag"));
  EditTag = new QLineEdit(Panel1);
  EditTag->setObjectName(QStringLiteral("EditTag"));
  EditTag->setMaxLength(8);
  PlaceToolPanel();
}

// Two rows of buttons in groups; the program selector and tag editor stay at
// the right edge. The rows, the labels and the tag field grow with the font,
// so that a larger font is not clipped.
void TMainForm::PlaceToolPanel() {
  // A row holds the buttons, or a line of its font in an edit field's frame
  // and margins (3 pixels above and below).
  const QFontMetrics metrics(font());
  const int firstRow = std::max(kToolButtonSize, metrics.height() + 6);
  const int secondRow = std::max(kToolButtonSize, QFontMetrics(ComboBox1->font()).height() + 6);
  Panel1->setFixedHeight(firstRow + secondRow);
  const std::vector<kvl::ToolButtonDef>& buttons = kvl::ToolButtons();
  int x = 2;
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (i == kvl::kToolButtonsFirstRow) x = 2;
    const bool firstRowButton = i < kvl::kToolButtonsFirstRow;
    if (firstRowButton && (i == 4 || i == 6)) x += 6;  // file, transfer, setup groups
    ToolButtonsByName[buttons[i].Name]->move(x, firstRowButton ? 0 : firstRow);
    x += kToolButtonSize;
  }
  ComboBox1->move(ChooserLeft >= 0 ? ChooserLeft : x + 6, firstRow);
  ComboBox1->resize(std::max(0, width() - ComboBox1->x() - 10), secondRow);
  // The program controls share the first row, so that the value chooser on
  // the second row never lies under them. The tag field holds eight of the
  // widest letters.
  const int right = std::max(x + 6, width() - 4);
  const int tagWidth = std::max(80, metrics.horizontalAdvance(QString(8, QLatin1Char('W'))) +
                                        EditTag->minimumSizeHint().width());
  const int labelTagWidth = std::max(32, metrics.horizontalAdvance(LabelTag->text()) + 2);
  const int programWidth = std::max(48, ComboBoxProgNum->minimumSizeHint().width());
  const int labelProgWidth = std::max(38, metrics.horizontalAdvance(LabelProg->text()) + 2);
  EditTag->setGeometry(right - tagWidth, 0, tagWidth, firstRow);
  LabelTag->setGeometry(EditTag->x() - labelTagWidth - 2, 0, labelTagWidth, firstRow);
  ComboBoxProgNum->setGeometry(LabelTag->x() - programWidth - 4, 0, programWidth, firstRow);
  LabelProg->setGeometry(ComboBoxProgNum->x() - labelProgWidth - 2, 0, labelProgWidth, firstRow);
}

void TMainForm::BuildMenus() {
  std::map<std::string, QMenu*> menus;
  for (const kvl::MenuItemDef& def : kvl::MainMenuItems()) {
    const bool hasChildren = std::any_of(kvl::MainMenuItems().begin(), kvl::MainMenuItems().end(),
                                         [&def](const kvl::MenuItemDef& other) {
                                           return other.Parent != nullptr && std::string(other.Parent) == def.Name;
                                         });
    QAction* action = nullptr;
    const bool topLevel = def.Parent == nullptr;
    if (topLevel || hasChildren) {
      QMenu* menu = topLevel ? menuBar()->addMenu(QString()) : menus.at(def.Parent)->addMenu(QString());
      menu->setObjectName(QString::fromLatin1(def.Name));
      menus[def.Name] = menu;
      action = menu->menuAction();
    } else {
      action = menus.at(def.Parent)->addAction(QString());
      action->setSeparator(def.Separator);
    }
    action->setObjectName(QString::fromLatin1(def.Name));
    if (def.Shortcut[0] != '\0') action->setShortcut(QKeySequence(QString::fromLatin1(def.Shortcut)));
    action->setEnabled(def.Enabled);
    action->setVisible(def.Visible);
    action->setCheckable(def.Checkable);
    action->setChecked(def.Checked);
    MenuItems[def.Name] = action;
  }
  connect(MenuItem("KKVLEnd"), &QAction::triggered, this, [this] { close(); });
  connect(MenuItem("TableGraph"), &QAction::triggered, this, [this] { TableGraphClick(); });
  connect(MenuItem("PatternGraph"), &QAction::triggered, this, [this] { PatternGraphClick(); });
}

// The graph windows are made on their first showing, as children of this
// window, with its language and font.
void TMainForm::TableGraphClick() {
  if (!Core) return;
  auto* graph = findChild<TGraph*>(QStringLiteral("Graph"), Qt::FindDirectChildrenOnly);
  if (!graph) {
    graph = new TGraph(*Core, Language, this);
    graph->setFont(font());
    RegisterForm(graph);
  }
  graph->SetupTables();
  Presenter.ShowForm(*graph);
}

void TMainForm::PatternGraphClick() {
  if (!Core) return;
  const int index = ComboBoxProgNum->currentIndex();
  if (index < 0 || index >= static_cast<int>(std::size(ProgramOfItem))) return;
  const int pattern = ProgramOfItem[index];
  if (pattern < 1 || pattern > Core->GetPatternCount()) return;
  auto* graph = findChild<TPGraph*>(QStringLiteral("PGraph"), Qt::FindDirectChildrenOnly);
  if (!graph) {
    graph = new TPGraph(*Core, Language, this);
    graph->setFont(font());
    RegisterForm(graph);
  }
  graph->DrawPattern(pattern);
  Presenter.ShowForm(*graph);
}

void TMainForm::FormCreate() {
  Language = kvl::DecideLanguage(Options.UserLangId, Options.Words, Options.PathExists);
}

void TMainForm::AttachCore(TCore& core) {
  Core = &core;
  Core->Notifier = &NoticeForwarder;
}

void TMainForm::TNoticeForwarder::ShowNotice(const std::string& text, const std::string& caption) {
  Presenter.ShowModal(kvl::DescribePlainNotice(text, caption));
}

void TMainForm::ReadWizardWords() {
  std::unique_ptr<kvl::ISettingsStore> store = Options.OpenSettings();
  const kvl::WizardWords words = kvl::ReadWizardWords(*store);
  Core->Model.AuxWord = static_cast<uint16_t>(words.Aux);
  Core->Model.OutputWord = static_cast<uint16_t>(words.Output);
  Core->Model.Option2Word = static_cast<uint16_t>(words.Option2);
  Core->Model.BasicWord = static_cast<uint16_t>(words.Basic);
  ApplyWizardModelAtStart();
}

// The wizard's words, just read, become the model; the whole data image takes
// its defaults for that model. Once the window is initialised the views
// follow; at start its initialisation fills them in the same order.
void TMainForm::ApplyWizardModelAtStart() {
  static constexpr int32_t kTransferGroups[] = {1, 2, 0};
  Core->Model.ApplyModelDefaults();
  Core->SetDefaults(kTransferGroups, true);
  Core->Model.UpdateModelFlags();
  Core->BuildModelCode();
  if (!GroupMenusBuilt) return;
  RefreshGroups();
  UpdateMenus();
  UpdateGrid(true);
  ShowProgramTag();
}

void TMainForm::FinishStart() {
  Initialize();
  ServiceMode = 0;
  Core->Protocol->Wqt.ChecksumFlag = 1;
  if (Language == kvl::kLanguageJapanese) {
    SetTreePanelWidth(kvl::TreePanelWidthFor(Language));
    update();
  } else {
    Language = kvl::kLanguageEnglish;
  }
  ApplyCommandLine();
  ApplyFontToForms();
  UpdateGrid(true);
}

void TMainForm::Initialize() {
  Core->Protocol->RetryCount = 3;
  Core->Protocol->ReceiveTimeout = 2000;
  const int lang = Language;
  UntitledName = kvl::UntitledNameFor(lang);
  if (lang != kvl::kLanguageJapanese) {
    QFont chooserFont(QStringLiteral("Courier New"));
    chooserFont.setPixelSize(kFormFontPixels);
    ComboBox1->setFont(chooserFont);
  }
  for (const kvl::MenuItemDef& def : kvl::MainMenuItems())
    if (!def.Separator) MenuItems.at(def.Name)->setText(Q(kvl::MenuCaption(def, lang)));
  for (const kvl::ToolButtonDef& def : kvl::ToolButtons())
    ToolButtonsByName.at(def.Name)->setToolTip(Q(kvl::ToolButtonHint(def, lang)));
  FileName = UntitledName;

  std::unique_ptr<kvl::ISettingsStore> store = Options.OpenSettings();
  Settings = kvl::ReadMainSettings(*store, lang);
  store.reset();
  ApplyMainFont();
  resize(Settings.FormWidth, Settings.FormHeight);
  Level = Settings.Level;
  Core->PortNumber = Settings.PortNumber;
  SwVer = Settings.SwVer;

  if (kvl::MaximiseOnScreen(kvl::ScreenWidth())) setWindowState(windowState() | Qt::WindowMaximized);

  SetCaptionText(kvl::MainCaption(FileName, Core->ModelCode));
  QCoreApplication::processEvents();

  GridTitleColumnWidth = kvl::TitleColumnWidthFor(lang);
  PlaceToolPanel();

  ComboBoxProgNum->clear();
  for (int p = 0; p < Core->GetPatternCount(); ++p) {
    char tag[9] = {};
    int16_t number = 0;
    if (!Core->GetDefaultPatternName(p, tag, &number)) continue;
    ComboBoxProgNum->addItem(QString::number(number));
    ProgramOfItem[p] = number;
  }
  ComboBoxProgNum->setCurrentIndex(0);

  EditTag->setValidator(new UpperCaseValidator(EditTag));
  ShowProgramTag();
  BuildGroupMenus();
  RefreshGroups();
  UpdateMenus();
  SegmentClipboardFull = 0;
  PatternClipboardFull = 0;
  Core->LineSetting = 1;
  Core->AccessLevel = Level;
}

void TMainForm::ApplyCommandLine() {
  for (const kvl::CommandLineItem& item : kvl::ReadCommandLine(Options.Words, Options.PathExists)) {
    switch (item.Action) {
      case kvl::CommandAction::FontSize:
        Settings.FontSize = item.Number;
        ApplyMainFont();
        ApplyFontToForms();
        break;
      case kvl::CommandAction::ServiceMode:
        ServiceMode = 1;
        ServiceModeBySwitch = true;
        for (const char* name : {"SHLRW1", "Bar5", "Bar7", "RevChange"}) MenuItem(name)->setVisible(true);
        break;
      case kvl::CommandAction::Maximise: setWindowState(windowState() | Qt::WindowMaximized); break;
      case kvl::CommandAction::TreePanelWidth:
        SetTreePanelWidth(item.Number);
        update();
        break;
      case kvl::CommandAction::DefaultColumnWidth:
        GridDefaultColumnWidth = item.Number;
        update();
        break;
      case kvl::CommandAction::TitleColumnWidth:
        GridTitleColumnWidth = item.Number;
        update();
        break;
      case kvl::CommandAction::DataFile: LoadCommandLineFile(item.Word); break;
      case kvl::CommandAction::NegativeWidth:
        Presenter.ShowModal(kvl::DescribeException(kvl::kNegativeColumnWidthText, kvl::ApplicationTitle()));
        break;
      case kvl::CommandAction::NotANumber:
        Presenter.ShowModal(
            kvl::DescribeException(kvl::InvalidIntegerText(item.Word, Language), kvl::ApplicationTitle()));
        break;
      case kvl::CommandAction::EnglishTexts:
      case kvl::CommandAction::Ignored: break;
    }
  }
}

// A data file named on the command line. A file that cannot be loaded is
// passed over without a message; a loaded one refreshes the window like every
// other load.
void TMainForm::LoadCommandLineFile(const std::string& word) {
  if (Core->LoadFile(word) != 0) return;
  Core->Model.LoadModelFromCore();
  Core->BuildModelCode();
  AdoptCommandLineFile(word);
  RefreshGroups();
  UpdateMenus();
  UpdateGrid(true);
  ShowProgramTag();
}

void TMainForm::AdoptCommandLineFile(const std::string& word) {
  SetCaptionText(kvl::MainCaption(kvl::FileNameWithoutFolder(word), Core->ModelCode));
  kvl::SetApplicationTitle(kvl::kProductName);
  FileName = word;
}

void TMainForm::UpdateCaption() {
  FileName = UntitledName;
  SetCaptionText(kvl::MainCaption(FileName, Core->ModelCode));
  kvl::SetApplicationTitle(kvl::ApplicationTitleFor(FileName));
}

void TMainForm::UpdateModelCaption() { SetCaptionText(kvl::MainCaption(FileName, Core->ModelCode)); }

// The model-number wizard on its welcome page, shown modally.
void TMainForm::OpenWizardAtStart() {
  if (OptSet) OptSet->ShowAtStart();
  FocusGrid();
}

void TMainForm::AttachWizard(TOptSet& wizard) { OptSet = &wizard; }

void TMainForm::BuildGroupMenus() {
  const kvl::GroupView view = kvl::BuildGroupView(kvl::ReadGroupNodes(*Core));
  QMenu* itemsMenu = MenuItem("set1")->menu();
  itemsMenu->clear();
  PopupMenu1->clear();
  GroupMenuActions.assign(view.Menu.size(), nullptr);
  GroupPopupActions.assign(view.Menu.size(), nullptr);
  std::vector<QMenu*> itemHeadings;
  std::vector<QMenu*> popupHeadings;
  for (const kvl::GroupMenuItem& item : view.Menu) {
    QAction* menuAction = nullptr;
    QAction* popupAction = nullptr;
    if (item.Level == kvl::kHeadingLevel) {
      itemHeadings.push_back(itemsMenu->addMenu(Q(item.Caption)));
      popupHeadings.push_back(PopupMenu1->addMenu(Q(item.Caption)));
      menuAction = itemHeadings.back()->menuAction();
      popupAction = popupHeadings.back()->menuAction();
    } else {
      const bool underHeading = item.Heading >= 0 && item.Heading < static_cast<int>(itemHeadings.size());
      QMenu* itemParent = underHeading ? itemHeadings[static_cast<size_t>(item.Heading)] : itemsMenu;
      QMenu* popupParent = underHeading ? popupHeadings[static_cast<size_t>(item.Heading)] : PopupMenu1;
      menuAction = itemParent->addAction(Q(item.Caption));
      menuAction->setShortcut(QKeySequence(Q(item.Shortcut)));
      popupAction = popupParent->addAction(Q(item.Caption));
      const int tag = item.Tag;
      connect(menuAction, &QAction::triggered, this, [this, tag] { GroupMenuClick(tag); });
      connect(popupAction, &QAction::triggered, this, [this, tag] { GroupMenuClick(tag); });
    }
    for (QAction* action : {menuAction, popupAction}) {
      action->setData(item.Tag);
      action->setVisible(item.Visible);
      action->setEnabled(item.Enabled);
    }
    menuAction->setObjectName(QStringLiteral("set1_%1").arg(item.Node));
    popupAction->setObjectName(QStringLiteral("PopupMenu1_%1").arg(item.Node));
    GroupMenuActions[static_cast<size_t>(item.Node)] = menuAction;
    GroupPopupActions[static_cast<size_t>(item.Node)] = popupAction;
  }
  GroupMenusBuilt = true;
  ShowGroupTree(view, kvl::EntryAfterBuild(view));
}

void TMainForm::RefreshGroups() {
  const int previous = Groups.NodeOfEntry(SelectedEntry());
  const kvl::GroupView view = kvl::BuildGroupView(kvl::ReadGroupNodes(*Core));
  for (const kvl::GroupMenuItem& item : view.Menu) {
    for (QAction* action : {GroupMenuAction(item.Node), GroupPopupAction(item.Node)}) {
      if (!action) continue;
      action->setVisible(item.Visible);
      action->setEnabled(item.Enabled);
    }
  }
  ShowGroupTree(view, kvl::EntryAfterRefresh(view, previous));
}

void TMainForm::ShowGroupTree(const kvl::GroupView& view, int entry) {
  Groups = view;
  Outline1->clear();
  EntryItems.clear();
  std::fill(std::begin(NodeOfEntry), std::end(NodeOfEntry), -1);
  for (int e = 1; e <= view.EntryCount(); ++e) {
    const kvl::GroupTreeEntry& shown = view.Tree[static_cast<size_t>(e - 1)];
    QTreeWidgetItem* parent = shown.Parent >= 1 ? EntryItems[static_cast<size_t>(shown.Parent - 1)] : nullptr;
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(Outline1);
    item->setText(0, Q(shown.Name));
    EntryItems.push_back(item);
    if (e < static_cast<int>(std::size(NodeOfEntry))) NodeOfEntry[e] = shown.Node;
  }
  Outline1->expandAll();
  SelectEntry(entry);
}

void TMainForm::SelectEntry(int entry) {
  if (entry < 1 || entry > static_cast<int>(EntryItems.size())) return;
  QTreeWidgetItem* item = EntryItems[static_cast<size_t>(entry - 1)];
  Outline1->setCurrentItem(item);
  Outline1->scrollToItem(item);
}

int TMainForm::SelectedEntry() const {
  const QTreeWidgetItem* current = Outline1->currentItem();
  for (size_t i = 0; i < EntryItems.size(); ++i)
    if (EntryItems[i] == current) return static_cast<int>(i) + 1;
  return 0;
}

int TMainForm::CurrentGroupKind() const { return Groups.KindOfEntry(SelectedEntry()); }

void TMainForm::UpdateMenus() {
  const kvl::GraphCommands commands = kvl::ReadGraphCommands(*Core);
  MenuItem("PatternGraph")->setEnabled(commands.PatternGraph);
  MenuItem("TableGraph")->setEnabled(commands.TableGraph);
}

void TMainForm::SelectGroup(int node) {
  const int entry = Groups.EntryOfNode(node);
  if (entry == 0) return;
  Outline1->expandAll();
  SelectEntry(entry);
  UpdateGrid(true);
}

// A group chosen from a menu: the grid starts at its first cell.
void TMainForm::GroupMenuClick(int tag) {
  if (Groups.EntryOfNode(tag) != 0) MoveGridToFirstCell();
  SelectGroup(tag);
}

void TMainForm::Outline1MouseUp() { AfterTreeSelection(kvl::EntryAfterMouse(Groups, SelectedEntry())); }

void TMainForm::Outline1KeyUp(int key) {
  const kvl::TreeKey treeKey = key == Qt::Key_Up ? kvl::TreeKey::Up : kvl::TreeKey::Other;
  AfterTreeSelection(kvl::EntryAfterKey(Groups, SelectedEntry(), treeKey));
}

// The grid starts at its first cell, so the status bar and the chooser
// describe that cell.
void TMainForm::AfterTreeSelection(int entry) {
  if (entry != SelectedEntry()) SelectEntry(entry);
  MoveGridToFirstCell();
  UpdateGrid(true);
}

QAction* TMainForm::GroupMenuAction(int node) const {
  return node >= 0 && node < static_cast<int>(GroupMenuActions.size()) ? GroupMenuActions[static_cast<size_t>(node)]
                                                                        : nullptr;
}

QAction* TMainForm::GroupPopupAction(int node) const {
  return node >= 0 && node < static_cast<int>(GroupPopupActions.size()) ? GroupPopupActions[static_cast<size_t>(node)]
                                                                         : nullptr;
}

void TMainForm::WatchFocus(QWidget* control, kvl::FocusControl kind) {
  FocusControls[control] = kind;
  control->installEventFilter(this);
  connect(control, &QObject::destroyed, this, [this, control] {
    FocusControls.erase(control);
    if (FocusedControl == control) FocusedControl = nullptr;
  });
  SetControlColour(control, kvl::FocusMarkFor(kind, Language).OnExit);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  // A wheel turned over the chooser while the focus is elsewhere (the user
  // scrolling past it) must not change a setting.
  if (watched == ComboBox1 && event->type() == QEvent::Wheel && !ComboBox1->hasFocus()) return true;
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    const auto it = FocusControls.find(watched);
    if (it != FocusControls.end()) {
      auto* control = static_cast<QWidget*>(watched);
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (event->type() == QEvent::FocusIn) {
        if (FocusedControl != control) {
          if (FocusedControl) ExitControl(FocusedControl);
          EnterControl(control);
        }
      } else if (reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason &&
                 reason != Qt::ActiveWindowFocusReason && FocusedControl == control) {
        // A popup list, the menu bar (Alt) or another window takes the focus
        // only for a while: the control stays marked.
        ExitControl(control);
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::EnterControl(QWidget* control) {
  FocusedControl = control;
  const kvl::FocusControl kind = FocusControls.at(control);
  const kvl::FocusMark mark = kvl::FocusMarkFor(kind, Language);
  SetControlColour(control, mark.OnEnter);
  if (kind == kvl::FocusControl::Grid) UpdateGrid(true);
  Panel5->setText(Q(mark.StatusText));
  if (kind == kvl::FocusControl::Chooser) {
    control->show();
    control->update();
  }
}

void TMainForm::ExitControl(QWidget* control) {
  if (FocusedControl == control) FocusedControl = nullptr;
  const kvl::FocusControl kind = FocusControls.at(control);
  SetControlColour(control, kvl::FocusMarkFor(kind, Language).OnExit);
  if (kind == kvl::FocusControl::Grid) UpdateGrid(true);
  if (kind == kvl::FocusControl::TagEditor) ShowProgramTag();
}

// Window colour and button face are the platform's; white is pure white.
void TMainForm::SetControlColour(QWidget* control, kvl::FocusColour colour) {
  const QPalette system = QGuiApplication::palette();
  QColor value;
  switch (colour) {
    case kvl::FocusColour::Window: value = system.color(QPalette::Base); break;
    case kvl::FocusColour::White: value = QColor(255, 255, 255); break;
    case kvl::FocusColour::ButtonFace: value = system.color(QPalette::Button); break;
  }
  QPalette palette = control->palette();
  palette.setColor(QPalette::Base, value);
  // A choice box without an edit field paints its face with the button colour.
  if (qobject_cast<QComboBox*>(control)) palette.setColor(QPalette::Button, value);
  control->setPalette(palette);
}

void TMainForm::MenuVersionClick() { ShowVersion(); }

void TMainForm::ShowVersion() {
  if (!AboutBox) return;
  AboutBox->BeforeShowing(Core->ModelCode, QCoreApplication::applicationFilePath().toStdString());
  Presenter.ShowForm(*AboutBox);
  AboutBox->AfterShowing();
}

void TMainForm::HookCommTest(TProtocolTestView* testWindow) {
  ProtocolTest = testWindow;
  connect(MenuItem("SHLRW1"), &QAction::triggered, testWindow->TestWindow(), [this] { ShowProtocolTest(); });
}

void TMainForm::ShowProtocolTest() {
  if (!ProtocolTest || !Core) return;
  QWidget* window = ProtocolTest->TestWindow();
  window->setWindowState(windowState() & ~Qt::WindowActive);
  ProtocolTest->ShowLineSetting(Core->LineSetting);
  ProtocolTest->ShowTesterPage();
  window->show();
  window->raise();
  window->activateWindow();
}

void TMainForm::ApplyFontToForms() {
  for (QWidget* form : OtherForms) {
    form->setFont(font());
    // The disabled texts keep the style's colour, so disabled controls look
    // disabled.
    QPalette colours = form->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text})
      for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        colours.setColor(group, role, palette().color(group, role));
    form->setPalette(colours);
  }
}

kvl::FontChoice TMainForm::MainFontChoice() const {
  kvl::FontChoice choice;
  choice.Family = Settings.FontName;
  choice.Points = Settings.FontSize;
  choice.Bold = FontBold;
  choice.Italic = FontItalic;
  choice.Underline = FontUnderline;
  choice.StrikeOut = FontStrikeOut;
  choice.Colour = Settings.FontColor;
  return choice;
}

void TMainForm::SetMainFont(const kvl::FontChoice& choice) {
  Settings.FontName = choice.Family;
  Settings.FontSize = choice.Points;
  Settings.FontColor = choice.Colour;
  FontBold = choice.Bold;
  FontItalic = choice.Italic;
  FontUnderline = choice.Underline;
  FontStrikeOut = choice.StrikeOut;
  ApplyMainFont();
}

void TMainForm::RegisterForm(QWidget* form) { OtherForms.push_back(form); }

void TMainForm::SetFontSize(int points) {
  Settings.FontSize = points;
  ApplyMainFont();
}

void TMainForm::ApplyMainFont() {
  setFont(FontOf(MainFontChoice()));
  // The grid's rows are as high as the form's 18 pixels, or as the font needs.
  if (StrColGrid1)
    StrColGrid1->SetDefaultRowHeight(kvl::GridRowHeightFor(QFontMetrics(StrColGrid1->font()).height()));
  PlaceToolPanel();
  // The status strip below the tree and the status bar hold a line of the font.
  const int line = QFontMetrics(font()).height();
  Panel7->setFixedHeight(std::max(kStatusStripHeight, line + 2));
  Panel4->setFixedHeight(std::max(kStatusBarHeight, line + 6));
  // Negative colour words name system colours: the platform's stay.
  const int colour = Settings.FontColor;
  QPalette palette = QGuiApplication::palette();
  if (colour >= 0 && colour <= 0xFFFFFF) {
    const QColor text = kvl::ColourOfWord(static_cast<uint32_t>(colour));
    // Disabled texts keep the style's colour.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
      palette.setColor(group, QPalette::WindowText, text);
      palette.setColor(group, QPalette::Text, text);
    }
  }
  setPalette(palette);
}

bool TMainForm::SaveSettings() {
  kvl::MainSettings s = Settings;
  s.PortNumber = Core->PortNumber;
  s.Level = Level;
  s.SwVer = SwVer;
  s.FormWidth = width();
  s.FormHeight = height();
  kvl::WizardWords words;
  words.Aux = Core->Model.AuxWord;
  words.Output = Core->Model.OutputWord;
  words.Option2 = Core->Model.Option2Word;
  words.Basic = Core->Model.BasicWord;
  std::unique_ptr<kvl::ISettingsStore> store = Options.OpenSettings();
  const bool saved = kvl::WriteSettings(*store, s, words);
  if (!saved) std::fprintf(stderr, "kvlq70: the settings could not be saved\n");
  return saved;
}

int TMainForm::ShowMessageBox(int kind, int code) {
  return Presenter.ShowModal(kvl::DescribeMessage(kind, code, Language, FileName));
}

void TMainForm::closeEvent(QCloseEvent* event) {
  SaveSettings();
  if (ShowMessageBox(kvl::kMessageEdit, 2) != kvl::kModalOk) {
    event->ignore();
    return;
  }
  event->accept();
  // OK ends the program, whatever other windows are still open.
  if (EndApplication) EndApplication();
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (Shown || event->spontaneous()) return;
  Shown = true;
  if (!(windowState() & Qt::WindowMaximized)) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect frame = frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      move(frame.topLeft());
    }
  }
  kvl::SetApplicationTitle(kvl::ApplicationTitleFor(FileName));
  FocusGrid();
  Timer1->start();
}

// The grid is the first control in the tab order: it takes the focus when
// the window appears and when the start-up wizard closes.
void TMainForm::FocusGrid() {
  if (StrColGrid1 && StrColGrid1->isVisibleTo(this) && StrColGrid1->isEnabled())
    StrColGrid1->setFocus(Qt::TabFocusReason);
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  PlaceToolPanel();
}

void TMainForm::SetTreePanelWidth(int width) {
  width = std::max(0, width);
  Panel2->resize(width, Panel2->height());
  Splitter1->setSizes({width, std::max(0, Splitter1->width() - width - Splitter1->handleWidth())});
}

int TMainForm::TreePanelWidth() const { return Splitter1->sizes().value(0); }

void TMainForm::SetCaptionText(const std::string& caption) {
  CaptionText = caption;
  setWindowTitle(Q(caption));
}

std::string TMainForm::Caption() const { return CaptionText; }

const std::string& TMainForm::ApplicationTitleText() const { return kvl::ApplicationTitle(); }

QAction* TMainForm::MenuItem(const std::string& name) const {
  const auto it = MenuItems.find(name);
  return it != MenuItems.end() ? it->second : nullptr;
}

QToolButton* TMainForm::ToolButton(const std::string& name) const {
  const auto it = ToolButtonsByName.find(name);
  return it != ToolButtonsByName.end() ? it->second : nullptr;
}

// ---- data check and error list ----

namespace {

constexpr int kErrorListQuietHeight = 20;
constexpr int kErrorListFailedHeight = 80;

// Hands Enter on the error list and a double click anywhere in it (an empty
// list too) to the main window.
class TErrorListEvents : public QObject {
 public:
  TErrorListEvents(QListWidget* list, std::function<void(int)> keyPress, std::function<void()> doubleClick)
      : QObject(list), KeyPress(std::move(keyPress)), DoubleClick(std::move(doubleClick)) {
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        KeyPress('\r');
        return true;
      }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
      DoubleClick();
      return true;
    }
    return false;
  }

 private:
  std::function<void(int)> KeyPress;
  std::function<void()> DoubleClick;
};

}  // namespace

void TMainForm::ConnectDataCheck() {
  connect(MenuItem("datachk1"), &QAction::triggered, this, [this] { datachk1Click(); });
  new TErrorListEvents(ErrorList, [this](int key) { ErrorListKeyPress(key); }, [this] { ErrorListDblClick(); });
}

void TMainForm::ClearErrorList() {
  ErrorList->clear();
  ErrorNode.clear();
  ErrorRow.clear();
  ErrorCol.clear();
  ErrorProgram.clear();
}

void TMainForm::SetErrorListHeight(bool failures) {
  const int height = failures ? kErrorListFailedHeight : kErrorListQuietHeight;
  const QList<int> sizes = Splitter2->sizes();
  if (sizes.size() == 2) Splitter2->setSizes({std::max(0, sizes[0] + sizes[1] - height), height});
}

bool TMainForm::CheckData(bool programs, bool parameters) {
  ClearErrorList();
  if (!Core) return true;
  const int listed = std::clamp(ComboBoxProgNum->count(), 0, static_cast<int>(std::size(ProgramOfItem)));
  const std::vector<int> programNumbers(ProgramOfItem, ProgramOfItem + listed);
  const DataCheckResult result = CheckDataImage(*Core, programs, parameters, programNumbers);
  for (const DataCheckFailure& failure : result.Failures) {
    ErrorNode.push_back(failure.Node);
    ErrorRow.push_back(failure.Row);
    ErrorCol.push_back(failure.Col);
    ErrorProgram.push_back(failure.Program);
    ErrorList->addItem(Q(failure.Line));
  }
  if (ErrorList->count() > 0) ErrorList->setCurrentRow(0);
  SetErrorListHeight(!result.Ok);
  if (!result.Ok) ErrorList->setFocus();
  return result.Ok;
}

void TMainForm::datachk1Click() {
  ShowMessageBox(kvl::kMessageDataCheck, CheckData(true, true) ? 1 : 0);
}

void TMainForm::ErrorListDblClick() {
  const int k = ErrorList->currentRow();
  if (ErrorList->count() == 0) {
    StrColGrid1->setFocus();
    return;
  }
  if (k < 0 || k >= static_cast<int>(ErrorNode.size())) return;
  SelectGroup(ErrorNode[static_cast<size_t>(k)]);
  const int program = ErrorProgram[static_cast<size_t>(k)];
  if (program > 0) {
    ComboBoxProgNum->setCurrentIndex(program - 1);
    ShowProgramTag();
    UpdateGrid(true);
  }
  MoveGridTo(ErrorCol[static_cast<size_t>(k)], ErrorRow[static_cast<size_t>(k)]);
  StrColGrid1->setFocus();
}

void TMainForm::ErrorListKeyPress(int key) {
  if (key == '\r') ErrorListDblClick();
}
