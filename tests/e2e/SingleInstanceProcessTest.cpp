// Starts the built program twice, as a user would, and watches the second
// instance give up while the first goes on. The lock is the user's one lock
// in /tmp, so these tests run one at a time and not beside a running program.
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <string>

#include "Desktop.h"

namespace {

// The program ends with this test program, as the harness's other children do.
void EndWithTheTests(QProcess& process) {
  const pid_t parent = getpid();
  process.setChildProcessModifier([parent] { e2e::EndWithParent(parent); });
}

class SingleInstanceProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Dir.isValid());
    ASSERT_TRUE(QDir(Dir.path()).mkpath(QStringLiteral("runtime")));
    ASSERT_TRUE(QDir(Dir.path()).mkpath(QStringLiteral("config")));
    QFile::setPermissions(Dir.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Not skipped: a check that cannot run must not pass unseen.
    ASSERT_FALSE(e2e::InstanceLockHeld()) << "an instance of the program is running for this user";
  }

  void TearDown() override {
    if (First.state() != QProcess::NotRunning) {
      First.kill();
      First.waitForFinished(10000);
    }
  }

  // The program's environment: a private settings folder and runtime folder
  // (which must not move the lock), the offscreen platform, and every dialog
  // answered with Enter.
  QProcessEnvironment Environment(const char* locale) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Dir.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), Dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KVLQ70_DIALOG_ANSWER"), QStringLiteral("enter"));
    env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
    env.remove(QStringLiteral("LC_MESSAGES"));
    env.remove(QStringLiteral("LANG"));
    return env;
  }

  static QString LockPath() {
    return QString::fromStdString(e2e::InstanceLockPath());
  }

  void StartFirst() {
    First.setProcessEnvironment(Environment("C.UTF-8"));
    EndWithTheTests(First);
    First.start(QStringLiteral(KVLQ70_PROGRAM), {});
    ASSERT_TRUE(First.waitForStarted(10000));
    QElapsedTimer clock;
    clock.start();
    while (!e2e::InstanceLockHeld() && First.state() == QProcess::Running && clock.elapsed() < 30000)
      QThread::msleep(20);
    ASSERT_TRUE(e2e::InstanceLockHeld()) << First.readAllStandardError().toStdString();
  }

  // Runs a second instance to its end; its standard output.
  std::string RunSecond(const char* locale, int* exitCode) {
    QProcess second;
    second.setProcessEnvironment(Environment(locale));
    EndWithTheTests(second);
    second.start(QStringLiteral(KVLQ70_PROGRAM), {QStringLiteral("/E")});
    EXPECT_TRUE(second.waitForFinished(60000));
    *exitCode = second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
    return second.readAllStandardOutput().toStdString();
  }

  QTemporaryDir Dir;
  QProcess First;
};

TEST_F(SingleInstanceProcessTest, SecondInstanceShowsTheDialogAndEndsWhileTheFirstGoesOn) {
  StartFirst();
  struct Case {
    const char* locale;
    const char* dialog;
  } cases[] = {
      {"C.UTF-8", "dialog: Error | Can't start up two or more KVL-Q70s at once | [OK] -> 1\n"},
      {"en_US.UTF-8", "dialog: Error | Can't start up two or more KVL-Q70s at once | [OK] -> 1\n"},
      // The console code page decides, not the /E switch.
      {"ja_JP.UTF-8", "dialog: エラー | 一度に複数のKVL-Q70を起動することはできません | [OK] -> 1\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    int exitCode = -2;
    EXPECT_EQ(RunSecond(c.locale, &exitCode), c.dialog);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(First.state(), QProcess::Running);
    EXPECT_TRUE(e2e::InstanceLockHeld());
  }
  // The first instance showed nothing meanwhile.
  EXPECT_EQ(First.readAllStandardOutput().toStdString(), "");
}

TEST_F(SingleInstanceProcessTest, LockThatCannotBeMadeEndsQuietlyWithAReason) {
  // The lock's name is taken by a directory: no lock file can be made.
  QFile::remove(LockPath());
  ASSERT_TRUE(QDir().mkpath(LockPath()));
  struct RemoveDirectory {
    ~RemoveDirectory() { QDir().rmdir(LockPath()); }
  } removeDirectory;
  QProcess program;
  program.setProcessEnvironment(Environment("C.UTF-8"));
  EndWithTheTests(program);
  program.start(QStringLiteral(KVLQ70_PROGRAM), {});
  ASSERT_TRUE(program.waitForFinished(60000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_EQ(program.readAllStandardOutput().toStdString(), "");  // no dialog
  const std::string error = program.readAllStandardError().toStdString();
  EXPECT_NE(error.find("kvlq70: not started: cannot open the lock file"), std::string::npos) << error;
  EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
}

}  // namespace
