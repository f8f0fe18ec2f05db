// The end-to-end layer's desktop: an X server (Xvfb) with a small window
// manager, the real program started on it as a separate process, real X
// input through xdotool, and screenshots of what it shows.
#pragma once

#include <sys/types.h>

#include <QImage>
#include <QRect>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TCore;

namespace e2e {

// Runs a shell command; its standard output (trailing newline removed).
std::string Shell(const std::string& command, int* exitCode = nullptr);

// Called in a child between fork and exec: the child is sent SIGTERM when
// `parent`, the test program, ends however it ends (killed at a time limit,
// with its CI job or its terminal), so that no server, window manager or
// program holding the user's instance lock outlives it. SIGTERM lets Xvfb
// remove its lock files; every child the harness starts ends on it.
void EndWithParent(pid_t parent);

// A process started with extra environment, its standard output and error
// going to files. It ends with the test program (EndWithParent), and when
// the object is destroyed.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Start(const std::string& program, const std::vector<std::string>& args,
             const std::map<std::string, std::string>& env, const std::string& outputPath);
  // As above; the child keeps the descriptor keepFd open (others opened
  // with close-on-exec it does not get).
  bool Start(const std::string& program, const std::vector<std::string>& args,
             const std::map<std::string, std::string>& env, const std::string& outputPath, int keepFd);
  bool Running();
  // Waits for the end; the exit code, or -1 when it did not end in time or
  // ended by a signal (Signal() tells which).
  int Wait(std::chrono::milliseconds limit);
  int Signal() const { return TermSignal; }
  void Kill();
  pid_t Pid() const { return Id; }
  std::string Output() const;

 private:
  pid_t Id = -1;
  std::string OutputPath;
  int ExitCode = -1;
  int TermSignal = 0;
  bool Ended = false;
};

// The X server and window manager for one test program. The server picks a
// free display itself and lets in only clients with this run's cookie
// (DISPLAY and XAUTHORITY are set for this process and what it starts).
class Desktop {
 public:
  static Desktop& Instance();
  // Starts the server and the window manager, once more on a new display
  // when the first try fails; false when neither came up (Log() tells why).
  bool Start();
  void Stop();
  const std::string& DisplayName() const { return Display; }
  // True while the server and the window manager run.
  bool Running();
  pid_t ServerPid() const { return Server.Pid(); }
  pid_t WindowManagerPid() const { return WindowManager.Pid(); }
  // The authorisation file clients need (XAUTHORITY).
  const std::string& AuthorityFile() const { return Authority; }
  // What the tries to start wrote: the steps, and the output of the server
  // and of the window manager.
  std::string Log() const;

 private:
  bool TryStart(std::string& log);
  bool WriteAuthority();
  std::string Display;
  std::string Folder;
  std::string Authority;
  std::string StartLog;
  Process Server;
  Process WindowManager;
};

// The program under test with a settings folder of its own, every dialog
// answered with Enter and written to its standard output. When the test
// has failed, that output goes to the test's log as the program ends.
class Program {
 public:
  enum class Language { English, Japanese };
  explicit Program(Language language = Language::English);
  ~Program();

  // Starts it with the words and waits until the main window is shown and
  // the start-up wizard has closed. With KVLQ70_DIALOG_ANSWER set empty in
  // `extraEnv` the dialogs show as windows; the wizard is then closed with Esc.
  bool Start(const std::vector<std::string>& words = {},
             const std::map<std::string, std::string>& extraEnv = {});
  // The input below returns once it is sent, not once the program has
  // handled it: X delivers it in order, so input to the same window needs no
  // wait in between, but a check of its effect, or input to a window that is
  // still opening, waits for that (the waits below).
  // Keys as xdotool names them ("ctrl+s", "Return", "shift+colon"), each
  // pressed and released in turn.
  void Keys(const std::string& keys);
  // Text typed character by character.
  void Type(const std::string& text);
  // A click, and wheel notches (button 5 turns the wheel down, 4 up), at a
  // point of the main window's client area as its screenshots show it.
  void ClickAt(QPoint at);
  void Wheel(QPoint at, int button, int notches);

  // Waits (generously: a loaded machine may be slow) for a state the next
  // input needs; false when it did not come within the limit.
  // The program shows this many windows: its main window, menus and lists
  // that pop up, dialogs.
  bool WaitForShownWindows(int count, std::chrono::milliseconds limit = std::chrono::seconds(20));
  int ShownWindows();
  // A dialog line containing the text has been written.
  bool WaitForDialogLine(const std::string& part, std::chrono::milliseconds limit = std::chrono::seconds(20));
  // A screenshot of the main window's client area shows what `holds` asks.
  bool WaitForScreen(const std::function<bool(const QImage&)>& holds,
                     std::chrono::milliseconds limit = std::chrono::seconds(20));
  // As above, on a screen that has stopped changing: alike on two
  // screenshots running while the program shows `windows` windows, so that
  // neither a menu closing over the client area nor a step of a change still
  // going on is taken for the state that follows the input.
  bool WaitForSteadyScreen(const std::function<bool(const QImage&)>& holds, int windows = 1,
                           std::chrono::milliseconds limit = std::chrono::seconds(20));

  bool Alive() { return Proc.Running(); }
  pid_t Pid() const { return Proc.Pid(); }
  int WaitForEnd(std::chrono::milliseconds limit) { return Proc.Wait(limit); }
  int Signal() const { return Proc.Signal(); }
  std::string Output() const { return Proc.Output(); }
  // The lines it wrote for dialogs ("dialog: ...", "form: ...", "file: ...").
  std::vector<std::string> DialogLines() const;
  std::string Caption();
  // The X window id of the main window.
  const std::string& Window() const { return WindowId; }
  // The main window's client area on the screen, as xdotool gives it: the
  // window frame's offset (1, 20 under openbox) counted twice, so it starts
  // 20 px below the menu bar's top. Screenshots, ClickAt and Wheel all use
  // it, so their coordinates agree.
  QRect WindowRect();
  // A screenshot of the main window's client area.
  QImage Screenshot();
  const std::string& Folder() const { return Dir; }
  std::string PathIn(const std::string& name) const { return Dir + "/" + name; }

 private:
  void PointAt(QPoint at);
  Language Lang;
  std::string Dir;
  std::string WindowId;
  Process Proc;
};

// Whether the process has ended: there is none of that id, or only a zombie
// that its parent (after the test program, init or a subreaper) has not yet
// reaped.
bool ProcessEnded(pid_t pid);

// The user's instance lock, /tmp/halvorin.hqz.kvlq70-<uid>, and whether some
// process holds a flock on it, as a running program does.
std::string InstanceLockPath();
bool InstanceLockHeld();

// The bounds of the pixels of a colour in the picture (empty when none).
QRect PixelsOf(const QImage& image, QRgb colour);

// Waits until the file's contents differ from `before` (or it exists, when
// `before` is empty); false on time-out.
bool WaitForFileChange(const std::string& path, const std::string& before, std::chrono::milliseconds limit);
std::string ReadFile(const std::string& path);

// Polls the condition until it holds, with a bound a loaded machine meets;
// false on time-out.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(20));

// The groups the test images are saved with (the program and the parameters).
inline constexpr int32_t kGroups[] = {1, 2, 0};

// A data image at the defaults of the default model.
std::unique_ptr<TCore> NewImage();
// Starts the program with the words and a data file made from the image
// (the last word); the file's path.
std::string StartOn(Program& program, TCore& image, std::vector<std::string> words = {});
// Saves with Ctrl+S into the file the program loaded and reads it back. The
// file is removed first, so that an image saved as it was loaded is seen to
// be written too.
std::unique_ptr<TCore> SaveAndReadBack(Program& program, const std::string& path);
// The lines, each ended with a newline, for a failure's message.
std::string Join(const std::vector<std::string>& lines);

// Where the value chooser shows, on the tool panel's second row, in the
// coordinates of Screenshot, ClickAt and Wheel.
inline const QRect kChooserArea(250, 22, 100, 14);

// A test parameter's name: the program's language.
std::string LanguageName(Program::Language language);

}  // namespace e2e
