#include "startup.h"

#include <QByteArray>
#include <QFile>
#include <QPointer>
#include <QStringList>
#include <QThread>

#include <cstdio>
#include <exception>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "AboutBox.h"
#include "ComSet.h"
#include "Affinity.h"
#include "Application.h"
#include "DialogPresenter.h"
#include "MessageCatalog.h"
#include "OptSet.h"
#include "PlainMessage.h"
#include "QtDialogPresenter.h"
#include "SingleInstance.h"
#include "TransferForms.h"
#include "UCommunication.h"
#include "UCore.h"
#include "UserLocale.h"
#include "WizardRead.h"
#include "cdialog.h"
#include "mainform.h"
#include "ctrlpanel.h"
#include "twqttest.h"
#include "URenzoku.h"
#include "progress.h"

namespace kvl {
namespace {

constexpr const char* kInstanceName = "halvorin.hqz.kvlq70";

// The serial link's one plain message ("send data too long") is shown by the
// presenter on the user-interface thread; a worker waits for it to be closed.
TDialogPresenter* PlainMessagePresenter = nullptr;

void ShowPlainMessageBox(std::string_view text) {
  const std::string copy(text);
  auto show = [copy] {
    if (PlainMessagePresenter) PlainMessagePresenter->ShowModal(DescribePlainNotice(copy, kProductName));
  };
  if (QThread::currentThread() == QCoreApplication::instance()->thread())
    show();
  else
    QMetaObject::invokeMethod(QCoreApplication::instance(), show, Qt::BlockingQueuedConnection);
}

// The words after the program name, as the bytes they were given in.
std::vector<std::string> CommandWords() {
  std::vector<std::string> words;
  const QStringList arguments = QCoreApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) words.push_back(QFile::encodeName(arguments[i]).toStdString());
  return words;
}

}  // namespace

int RunProgram(int argc, char** argv) {
  // One processor for the whole process, before any thread exists.
  PinToFirstProcessor();

  SingleInstanceGuard guard(SingleInstanceLockPath(kInstanceName));
  const SingleInstanceGuard::Outcome outcome = guard.Acquire();
  if (outcome == SingleInstanceGuard::Outcome::Failed) {
    std::fprintf(stderr, "kvlq70: not started: %s\n", guard.Error().c_str());
    return 0;
  }

  std::unique_ptr<TDialogPresenter> presenter;
  TAutoAnswerPresenter::Answer answer;
  if (TAutoAnswerPresenter::FromEnvironment(&answer))
    presenter = std::make_unique<TAutoAnswerPresenter>(answer, stdout);
  else
    presenter = std::make_unique<TQtDialogPresenter>();

  TApplication app(argc, argv, *presenter);
  InstallFontSubstitutes();

  if (outcome == SingleInstanceGuard::Outcome::AlreadyRunning) {
    presenter->ShowModal(DescribeSecondInstance(OemCodePage()));
    return 0;
  }

  SetApplicationTitle(kProductName);
  PlainMessagePresenter = presenter.get();
  SetPlainMessageHandler(&ShowPlainMessageBox);
  try {
    TMainFormOptions options;
    options.Words = CommandWords();
    options.UserLangId = UserDefaultLangId();
    const std::string iniPath = TIniSettingsStore::DefaultPath();
    options.OpenSettings = [iniPath] { return std::make_unique<TIniSettingsStore>(iniPath); };

    // The windows in their order of creation; each later one may use the
    // earlier ones. The graph windows are made by the main window on their
    // first showing.
    auto mainForm = std::make_unique<TMainForm>(*presenter, std::move(options));
    // OK to the quit question ends the program even while windows without a
    // parent (the service tools) are still open.
    mainForm->EndApplication = [] { QCoreApplication::quit(); };
    auto core = std::make_unique<TCore>(mainForm->Language);
    mainForm->AttachCore(*core);
    // The wizard reads its last choice and applies it to the image.
    auto optSet = std::make_unique<TOptSet>(*mainForm, *core, *presenter);
    mainForm->AttachWizard(*optSet);
    auto comSet = std::make_unique<TComSet>(*mainForm, *core, *presenter);
    auto commProg = std::make_unique<TCommProg>(*mainForm, *core, *presenter);
    // The continuous exerciser's counter window: the test window's exerciser
    // and the transfer thread count into it; it is made first so the test
    // window can hold it.
    auto renzoku = std::make_unique<TRenzokuComm>();
    commProg->SetFrameCounter(renzoku.get());
    auto wqtTest = std::make_unique<TWQTTEST>(*mainForm, *core, *renzoku, *presenter);
    auto confirm = std::make_unique<Tcommdialog>(mainForm->Language);
    auto ctrlPanel = std::make_unique<TFormCtrl>(*mainForm, *core, *presenter);
    auto communication = std::make_unique<TCommunication>(*mainForm, *confirm, *presenter);
    commProg->SetRangeDialog(communication.get());
    commProg->SetModelCheck([panel = ctrlPanel.get()] { return panel->ModelCheckTicked(); });
    // The grid's text goes to the clipboard while the panel's box is ticked.
    mainForm->GridTextToClipboard = [panel = QPointer<TFormCtrl>(ctrlPanel.get())] {
      return panel && panel->ClipboardTicked();
    };
    wqtTest->SetControlPanel(ctrlPanel.get());
    wqtTest->SetRangeDialog(communication.get());
    mainForm->HookCommTest(wqtTest.get());
    commProg->SetDataCheck([main = mainForm.get()](bool programs, bool parameters) {
      return main->CheckData(programs, parameters);
    });
    ConnectWizardRead(*optSet, *communication);
    for (QWidget* form : std::initializer_list<QWidget*>{optSet.get(), comSet.get(), commProg.get(), wqtTest.get(),
                                                         confirm.get(), ctrlPanel.get(), communication.get(),
                                                         renzoku.get()})
      mainForm->RegisterForm(form);
    TTransferFormsLink transferForms(*communication, *commProg, *comSet);
    mainForm->SetTransferForms(&transferForms);
    // Created last: its create handler runs the main window's start steps.
    auto aboutBox = std::make_unique<TAboutBox>(*mainForm);
    mainForm->show();
    app.exec();
    // Destroyed in the reverse order.
    aboutBox.reset();
    mainForm->SetTransferForms(nullptr);
    communication.reset();
    ctrlPanel.reset();
    confirm.reset();
    wqtTest.reset();
    renzoku.reset();
    commProg.reset();
    comSet.reset();
    optSet.reset();
    core.reset();
    mainForm.reset();
  } catch (const std::exception& error) {
    presenter->ShowModal(DescribeException(error.what(), ApplicationTitle()));
  }
  SetPlainMessageHandler(nullptr);
  PlainMessagePresenter = nullptr;
  guard.Release();
  return 0;
}

}  // namespace kvl
