#include "Desktop.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

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

// ---- Process ----

Process::~Process() { Kill(); }

bool Process::Start(const std::string& program, const std::vector<std::string>& args,
                    const std::map<std::string, std::string>& env, const std::string& outputPath) {
  OutputPath = outputPath;
  Ended = false;
  ExitCode = -1;
  TermSignal = 0;
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
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
  if (Server.Running() && WindowManager.Running()) return true;
  // The first display number that nobody holds.
  for (int n = 90; n < 140; ++n) {
    const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
    if (access(lock.c_str(), F_OK) == 0 || access(socket.c_str(), F_OK) == 0) continue;
    Display = ":" + std::to_string(n);
    if (!Server.Start("Xvfb", {Display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, {}, "")) return false;
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (access(socket.c_str(), F_OK) != 0 && Server.Running() && std::chrono::steady_clock::now() < end)
      Sleep(20ms);
    if (!Server.Running()) continue;  // taken meanwhile: the next number
    setenv("DISPLAY", Display.c_str(), 1);
    // Focus and window activation as a desktop gives them.
    if (!WindowManager.Start("openbox", {}, {}, "")) return false;
    const auto wmEnd = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < wmEnd) {
      int rc = 0;
      Shell("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'", &rc);
      if (rc == 0) return true;
      Sleep(50ms);
    }
    return false;
  }
  return false;
}

void Desktop::Stop() {
  WindowManager.Kill();
  Server.Kill();
}

// ---- Program ----

Program::Program(Language language) : Lang(language) {
  char pattern[] = "/tmp/kvlq70-e2e-XXXXXX";
  if (mkdtemp(pattern)) Dir = pattern;
}

Program::~Program() {
  Proc.Kill();
  if (!Dir.empty()) Shell("rm -rf " + Quote(Dir));
}

bool Program::Start(const std::vector<std::string>& words, const std::map<std::string, std::string>& extraEnv) {
  std::map<std::string, std::string> env = {
      {"HOME", Dir},
      {"XDG_CONFIG_HOME", Dir + "/config"},
      {"KVLQ70_DIALOG_ANSWER", "enter"},
      {"LC_ALL", Lang == Language::Japanese ? "ja_JP.UTF-8" : "C.UTF-8"},
      {"LANG", ""},
      {"LC_MESSAGES", ""},
      {"QT_QPA_PLATFORM", "xcb"},
      {"DISPLAY", Desktop::Instance().DisplayName()},
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
  Shell("xdotool windowactivate --sync " + WindowId + " 2>/dev/null");
  Settle(400);
  return true;
}

void Program::Settle(int ms) { Sleep(std::chrono::milliseconds(ms)); }

void Program::Keys(const std::string& keys) {
  Shell("xdotool key --delay 60 " + keys);
  Settle();
}

void Program::Type(const std::string& text) {
  Shell("xdotool type --delay 60 " + Quote(text));
  Settle();
}

void Program::Click(int x, int y) {
  Shell("xdotool mousemove --window " + WindowId + " " + std::to_string(x) + " " + std::to_string(y) + " click 1");
  Settle();
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

QRect PixelsOf(const QImage& image, QRgb colour) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

}  // namespace e2e
