#include "Desktop.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "UCore.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

void Sleep(std::chrono::milliseconds ms) { std::this_thread::sleep_for(ms); }

}  // namespace

std::string Shell(const std::string& command, int* exitCode) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    if (exitCode) *exitCode = -1;
    return output;
  }
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int status = pclose(pipe);
  if (exitCode) *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  return output;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool WaitForFileChange(const std::string& path, const std::string& before, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
      const std::string now = ReadFile(path);
      if (!now.empty() && now != before) return true;
    }
    Sleep(50ms);
  }
  return false;
}

void EndWithParent(pid_t parent) {
  // The signal comes when the thread that forked ends: the harness forks
  // from the test's main thread, so that is the end of the test program.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  // A parent that died before prctl sent nothing.
  if (getppid() != parent) _exit(127);
}

// ---- Process ----

Process::~Process() { Kill(); }

bool Process::Start(const std::string& program, const std::vector<std::string>& args,
                    const std::map<std::string, std::string>& env, const std::string& outputPath) {
  return Start(program, args, env, outputPath, -1);
}

bool Process::Start(const std::string& program, const std::vector<std::string>& args,
                    const std::map<std::string, std::string>& env, const std::string& outputPath, int keepFd) {
  OutputPath = outputPath;
  Ended = false;
  ExitCode = -1;
  TermSignal = 0;
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    EndWithParent(parent);
    setpgid(0, 0);
    for (const auto& [name, value] : env) {
      if (value.empty())
        unsetenv(name.c_str());
      else
        setenv(name.c_str(), value.c_str(), 1);
    }
    const int fd = open(outputPath.empty() ? "/dev/null" : outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      dup2(fd, 1);
      dup2(fd, 2);
      close(fd);
    }
    const int in = open("/dev/null", O_RDONLY);
    if (in >= 0) dup2(in, 0);
    if (keepFd >= 0) fcntl(keepFd, F_SETFD, 0);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(program.c_str(), argv.data());
    _exit(127);
  }
  Id = pid;
  return true;
}

bool Process::Running() {
  if (Id < 0 || Ended) return false;
  int status = 0;
  const pid_t r = waitpid(Id, &status, WNOHANG);
  if (r == 0) return true;
  Ended = true;
  if (r == Id) {
    if (WIFEXITED(status)) ExitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) TermSignal = WTERMSIG(status);
  }
  return false;
}

int Process::Wait(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (Running()) {
    if (std::chrono::steady_clock::now() >= end) return -1;
    Sleep(20ms);
  }
  return TermSignal != 0 ? -1 : ExitCode;
}

void Process::Kill() {
  if (!Running()) return;
  kill(-Id, SIGTERM);
  if (Wait(3000ms) == -1 && Running()) {
    kill(-Id, SIGKILL);
    Wait(3000ms);
  }
}

std::string Process::Output() const { return ReadFile(OutputPath); }

// ---- Desktop ----

Desktop& Desktop::Instance() {
  static Desktop desktop;
  return desktop;
}

bool Desktop::Start() {
  // One desktop for the whole test program, whichever test file starts it.
  if (Running()) return true;
  // What is left of a desktop that stopped running (a server whose window
  // manager died) ends first; a new server would lose it.
  WindowManager.Kill();
  Server.Kill();
  if (Folder.empty()) {
    char pattern[] = "/tmp/kvlq70-desktop-XXXXXX";
    if (!mkdtemp(pattern)) {
      StartLog = "no folder for the desktop\n";
      return false;
    }
    Folder = pattern;
  }
  StartLog.clear();
  for (int attempt = 1; attempt <= 2; ++attempt) {
    std::string log = "desktop, try " + std::to_string(attempt) + ":\n";
    const bool started = TryStart(log);
    StartLog += log;
    if (started) return true;
    WindowManager.Kill();  // then a new server, on whatever display is free
    Server.Kill();
  }
  return false;
}

// A new random cookie, for any display of this host (an entry of family
// "wild" without a display number): the server takes it from -auth, the
// clients from XAUTHORITY.
bool Desktop::WriteAuthority() {
  unsigned char cookie[16];
  std::ifstream random("/dev/urandom", std::ios::binary);
  if (!random.read(reinterpret_cast<char*>(cookie), sizeof cookie)) return false;
  Authority = Folder + "/Xauthority";
  std::string entry;
  auto field = [&entry](const std::string& bytes) {
    entry += static_cast<char>(bytes.size() >> 8);
    entry += static_cast<char>(bytes.size() & 0xFF);
    entry += bytes;
  };
  entry += '\xFF';  // FamilyWild
  entry += '\xFF';
  field("");  // any address
  field("");  // any display number
  field("MIT-MAGIC-COOKIE-1");
  field(std::string(reinterpret_cast<const char*>(cookie), sizeof cookie));
  const int fd = open(Authority.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return false;
  const bool written = write(fd, entry.data(), entry.size()) == static_cast<ssize_t>(entry.size());
  close(fd);
  return written;
}

bool Desktop::TryStart(std::string& log) {
  const auto output = [this](const char* name, const Process& process) {
    const std::string text = process.Output();
    return std::string(name) + " wrote:\n" + (text.empty() ? "(nothing)\n" : text + "\n");
  };
  if (!WriteAuthority()) {
    log += "the authorisation file could not be written\n";
    return false;
  }
  // Xvfb takes the first free display and writes its number on the pipe
  // once it accepts connections.
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) {
    log += "no pipe for -displayfd\n";
    return false;
  }
  const std::vector<std::string> serverArgs = {"-displayfd", std::to_string(pipeFds[1]), "-auth", Authority,
                                               "-screen", "0", "1280x1024x24", "-nolisten", "tcp"};
  const bool spawned = Server.Start("Xvfb", serverArgs, {}, Folder + "/xvfb.log", pipeFds[1]);
  close(pipeFds[1]);
  std::string number;
  const auto end = std::chrono::steady_clock::now() + 30s;
  while (spawned && std::chrono::steady_clock::now() < end && number.find('\n') == std::string::npos) {
    pollfd p{pipeFds[0], POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char c[16];
    const ssize_t n = read(pipeFds[0], c, sizeof c);
    if (n <= 0) break;  // the server ended
    number.append(c, static_cast<size_t>(n));
  }
  close(pipeFds[0]);
  while (!number.empty() && (number.back() == '\n' || number.back() == '\r')) number.pop_back();
  if (!spawned || number.empty() || !Server.Running()) {
    log += !spawned ? "Xvfb could not be started\n"
           : Server.Running() ? "Xvfb gave no display within 30 s\n"
                              : "Xvfb ended before it gave a display\n";
    log += output("Xvfb", Server);
    return false;
  }
  Display = ":" + number;
  log += "Xvfb on " + Display + "\n";
  setenv("DISPLAY", Display.c_str(), 1);
  setenv("XAUTHORITY", Authority.c_str(), 1);
  // Focus and window activation as a desktop gives them.
  if (!WindowManager.Start("openbox", {}, {}, Folder + "/openbox.log")) {
    log += "openbox could not be started\n";
    return false;
  }
  const auto wmEnd = std::chrono::steady_clock::now() + 30s;
  while (std::chrono::steady_clock::now() < wmEnd && WindowManager.Running() && Server.Running()) {
    int rc = 0;
    Shell("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'", &rc);
    if (rc == 0) return true;
    Sleep(50ms);
  }
  log += WindowManager.Running() ? "openbox did not take the screen within 30 s\n" : "openbox ended\n";
  log += output("Xvfb", Server) + output("openbox", WindowManager);
  return false;
}

bool Desktop::Running() { return Server.Running() && WindowManager.Running(); }

std::string Desktop::Log() const {
  std::string log = StartLog;
  if (Folder.empty()) return log;
  const std::string server = ReadFile(Folder + "/xvfb.log"), manager = ReadFile(Folder + "/openbox.log");
  log += "Xvfb wrote so far:\n" + (server.empty() ? "(nothing)" : server) + "\n";
  log += "openbox wrote so far:\n" + (manager.empty() ? "(nothing)" : manager) + "\n";
  return log;
}

void Desktop::Stop() {
  WindowManager.Kill();
  Server.Kill();
  if (!Folder.empty()) Shell("rm -rf " + Quote(Folder));
  Folder.clear();
}

// ---- Program ----

Program::Program(Language language) : Lang(language) {
  char pattern[] = "/tmp/kvlq70-e2e-XXXXXX";
  if (mkdtemp(pattern)) Dir = pattern;
}

Program::~Program() {
  Proc.Kill();
  if (::testing::Test::HasFailure())
    std::cerr << "The program's output (" << Dir << "/output.txt):\n" << Output() << "\n-- end of output --\n";
  if (!Dir.empty()) Shell("rm -rf " + Quote(Dir));
}

bool Program::Start(const std::vector<std::string>& words, const std::map<std::string, std::string>& extraEnv) {
  Desktop& desktop = Desktop::Instance();
  if (!desktop.Running()) {
    ADD_FAILURE() << "no desktop to start the program on\n" << desktop.Log();
    return false;
  }
  std::map<std::string, std::string> env = {
      {"HOME", Dir},
      {"XDG_CONFIG_HOME", Dir + "/config"},
      {"KVLQ70_DIALOG_ANSWER", "enter"},
      {"LC_ALL", Lang == Language::Japanese ? "ja_JP.UTF-8" : "C.UTF-8"},
      {"LANG", ""},
      {"LC_MESSAGES", ""},
      {"QT_QPA_PLATFORM", "xcb"},
      {"DISPLAY", desktop.DisplayName()},
      {"XAUTHORITY", desktop.AuthorityFile()},
      // Under LeakSanitizer a clean end is checked for the program's own leaks only.
      {"LSAN_OPTIONS", "suppressions=" KVLQ70_LSAN_SUPPRESSIONS},
  };
  for (const auto& [name, value] : extraEnv) env[name] = value;
  // Without the answering presenter the dialogs show as windows.
  const bool dialogsShown = env["KVLQ70_DIALOG_ANSWER"].empty();
  if (!Proc.Start(KVLQ70_PROGRAM, words, env, Dir + "/output.txt")) return false;
  // The window appears, then the start-up wizard opens and is answered.
  const std::string pid = std::to_string(Proc.Pid());
  const auto end = std::chrono::steady_clock::now() + 30s;
  std::string wizard;
  while (std::chrono::steady_clock::now() < end && Proc.Running()) {
    WindowId = Shell("xdotool search --onlyvisible --pid " + pid + " --name 'KVL-Q70' 2>/dev/null | head -n 1");
    if (!WindowId.empty() && !dialogsShown && Output().find("form: ") != std::string::npos) break;
    if (!WindowId.empty() && dialogsShown) {
      wizard = Shell("xdotool search --onlyvisible --pid " + pid + " --name . 2>/dev/null | grep -vx " + WindowId +
                     " | head -n 1");
      if (!wizard.empty()) break;
    }
    Sleep(50ms);
  }
  if (WindowId.empty() || !Proc.Running()) return false;
  if (dialogsShown) {
    // The wizard, shown as a window, is closed with Esc; pressed again while
    // it shows, in case the first press came before it had the focus.
    if (wizard.empty()) return false;
    const auto closeEnd = std::chrono::steady_clock::now() + 30s;
    auto nextPress = std::chrono::steady_clock::now();
    while (Shell("xdotool search --onlyvisible --pid " + pid + " --name . 2>/dev/null | grep -x " + wizard) == wizard) {
      if (std::chrono::steady_clock::now() >= closeEnd) return false;
      if (std::chrono::steady_clock::now() >= nextPress) {
        Shell("xdotool windowactivate --sync " + wizard + " 2>/dev/null");
        Shell("xdotool key Escape");
        nextPress = std::chrono::steady_clock::now() + 2s;
      }
      Sleep(50ms);
    }
  }
  // Input goes to the main window once the wizard has gone and the window
  // is the active one.
  if (!WaitForShownWindows(1)) return false;
  Shell("xdotool windowactivate --sync " + WindowId + " 2>/dev/null");
  const auto activeEnd = std::chrono::steady_clock::now() + 20s;
  while (Shell("xdotool getactivewindow 2>/dev/null") != WindowId) {
    if (std::chrono::steady_clock::now() >= activeEnd || !Proc.Running()) return false;
    Shell("xdotool windowactivate " + WindowId + " 2>/dev/null");
    Sleep(50ms);
  }
  return true;
}

int Program::ShownWindows() {
  const std::string ids = Shell("xdotool search --onlyvisible --pid " + std::to_string(Proc.Pid()) + " 2>/dev/null");
  return ids.empty() ? 0 : static_cast<int>(std::count(ids.begin(), ids.end(), '\n')) + 1;
}

bool Program::WaitForShownWindows(int count, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (ShownWindows() == count) return true;
    if (std::chrono::steady_clock::now() >= end || !Proc.Running()) return false;
    Sleep(50ms);
  }
}

bool Program::WaitForDialogLine(const std::string& part, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    for (const std::string& line : DialogLines())
      if (line.find(part) != std::string::npos) return true;
    if (std::chrono::steady_clock::now() >= end || !Proc.Running()) return false;
    Sleep(50ms);
  }
}

bool Program::WaitForScreen(const std::function<bool(const QImage&)>& holds, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (holds(Screenshot())) return true;
    if (std::chrono::steady_clock::now() >= end || !Proc.Running()) return false;
    Sleep(50ms);
  }
}

bool Program::WaitForSteadyScreen(const std::function<bool(const QImage&)>& holds, int windows,
                                  std::chrono::milliseconds limit) {
  QImage last;
  return WaitForScreen(
      [&](const QImage& now) {
        const bool steady = now == last && ShownWindows() == windows && holds(now);
        last = now;
        return steady;
      },
      limit);
}

void Program::Keys(const std::string& keys) { Shell("xdotool key --delay 60 " + keys); }

void Program::Type(const std::string& text) { Shell("xdotool type --delay 60 " + Quote(text)); }

// The pointer over a point of the client area as the screenshots show it,
// which are taken of WindowRect().
void Program::PointAt(QPoint at) {
  const QPoint screen = WindowRect().topLeft() + at;
  Shell("xdotool mousemove " + std::to_string(screen.x()) + " " + std::to_string(screen.y()));
}

void Program::ClickAt(QPoint at) {
  PointAt(at);
  Shell("xdotool click 1");
}

void Program::Wheel(QPoint at, int button, int notches) {
  PointAt(at);
  Shell("xdotool click --repeat " + std::to_string(notches) + " --delay 60 " + std::to_string(button));
}

std::vector<std::string> Program::DialogLines() const {
  std::vector<std::string> lines;
  std::istringstream in(Output());
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("dialog: ", 0) == 0 || line.rfind("form: ", 0) == 0 || line.rfind("file: ", 0) == 0)
      lines.push_back(line);
  return lines;
}

std::string Program::Caption() { return Shell("xdotool getwindowname " + WindowId + " 2>/dev/null"); }

QRect Program::WindowRect() {
  const std::string geometry = Shell("xdotool getwindowgeometry --shell " + WindowId + " 2>/dev/null");
  std::map<std::string, int> values;
  std::istringstream in(geometry);
  std::string line;
  while (std::getline(in, line)) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
  }
  return QRect(values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]);
}

QImage Program::Screenshot() {
  const std::string path = Dir + "/screen.png";
  const QRect r = WindowRect();
  Shell("import -window root -crop " + std::to_string(r.width()) + "x" + std::to_string(r.height()) + "+" +
        std::to_string(r.x()) + "+" + std::to_string(r.y()) + " +repage " + Quote(path) + " 2>/dev/null");
  return QImage(QString::fromStdString(path));
}

bool ProcessEnded(pid_t pid) {
  // "1234 (name) S ...": the state follows the name, which may hold spaces
  // and parentheses of its own.
  const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t name = stat.rfind(')');
  if (name == std::string::npos || name + 2 >= stat.size()) return true;
  return stat[name + 2] == 'Z' || stat[name + 2] == 'X';
}

std::string InstanceLockPath() { return "/tmp/halvorin.hqz.kvlq70-" + std::to_string(getuid()); }

bool InstanceLockHeld() {
  struct stat st {};
  if (stat(InstanceLockPath().c_str(), &st) != 0) return false;
  // A line of /proc/locks: "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF".
  const std::string inode = ":" + std::to_string(st.st_ino) + " ";
  std::istringstream locks(ReadFile("/proc/locks"));
  std::string line;
  while (std::getline(locks, line))
    if (line.find("FLOCK") != std::string::npos && line.find(inode) != std::string::npos) return true;
  return false;
}

QRect PixelsOf(const QImage& image, QRgb colour) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    Sleep(50ms);
  }
  return true;
}

std::unique_ptr<TCore> NewImage() {
  auto core = std::make_unique<TCore>(1);
  core->Model.ApplyModelDefaults();
  core->SetDefaults(kGroups, true);
  core->Model.UpdateModelFlags();
  core->BuildModelCode();
  return core;
}

std::string StartOn(Program& program, TCore& image, std::vector<std::string> words) {
  const std::string path = program.PathIn("plant.q70");
  EXPECT_EQ(image.SaveFile(kGroups, path), 0);
  words.push_back(path);
  EXPECT_TRUE(program.Start(words)) << program.Output();
  return path;
}

std::unique_ptr<TCore> SaveAndReadBack(Program& program, const std::string& path) {
  std::remove(path.c_str());
  program.Keys("ctrl+s");
  EXPECT_TRUE(WaitForFileChange(path, "", 20000ms)) << "Ctrl+S saved nothing";
  auto core = std::make_unique<TCore>(1);
  EXPECT_EQ(core->LoadFile(path), 0) << path;
  return core;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& l : lines) all += l + "\n";
  return all;
}

std::string LanguageName(Program::Language language) {
  return language == Program::Language::English ? "English" : "Japanese";
}

namespace {

// The desktop of the whole test program, up before the first test and
// stopped after the last. A desktop that does not start fails every test
// (each finds no desktop when it starts the program); a fatal failure here
// would skip them.
class DesktopEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    EXPECT_TRUE(Desktop::Instance().Start()) << "no X server with a window manager\n" << Desktop::Instance().Log();
  }
  void TearDown() override { Desktop::Instance().Stop(); }
};
[[maybe_unused]] ::testing::Environment* const desktop = ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);

}  // namespace

}  // namespace e2e
