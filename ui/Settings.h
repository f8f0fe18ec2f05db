// The per-user settings of the program, kept under "Software\Halvorin\Kvlq70"
// as sections of named values: read at start, written back when the main
// window closes. Integers are stored as decimal text; a missing or
// non-numeric value reads as its default.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSettings;

namespace kvl {

// Where settings live. Sections and names are plain ASCII; values are UTF-8.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  virtual std::optional<std::string> Read(const std::string& section, const std::string& name) = 0;
  virtual void Write(const std::string& section, const std::string& name, const std::string& value) = 0;
  // Makes the written values permanent; false when they could not be saved.
  virtual bool Flush() = 0;
};

// The settings key as an ini file of the user's (one [section] per section).
class TIniSettingsStore : public ISettingsStore {
 public:
  explicit TIniSettingsStore(const std::string& iniPath);
  ~TIniSettingsStore() override;
  std::optional<std::string> Read(const std::string& section, const std::string& name) override;
  void Write(const std::string& section, const std::string& name, const std::string& value) override;
  bool Flush() override;

  // The user's file of the key "Software\Halvorin\Kvlq70":
  // <user configuration folder>/Halvorin/Kvlq70.ini.
  static std::string DefaultPath();

 private:
  std::unique_ptr<QSettings> Ini;
};

// The values the main window reads at start and writes at close.
struct MainSettings {
  int FontSize = 9;
  std::string FontName;  // default by language
  int FontColor = 0;     // colour word: red in the low byte
  int FormWidth = 640;
  int FormHeight = 480;
  int Level = 3;       // 1..3
  int PortNumber = 1;  // 1..16
  int Multi = 0;       // the environment dialog's text-protocol settings
  int Address = 1;
  int SubAddress = 0;
  int SwVer = 1;
};

// The model-number wizard's last choice (OPT0..OPT3).
struct WizardWords {
  int Aux = 0;
  int Output = 1;
  int Option2 = 0;
  int Basic = 0;
};

inline constexpr int kHighestPort = 16;

// The default font name by language (0 Japanese).
const char* DefaultFontName(int language);

// An integer value: decimal text, or `defaultValue` when missing or not a number.
int ReadInteger(ISettingsStore& store, const char* section, const char* name, int defaultValue);
std::string ReadText(ISettingsStore& store, const char* section, const char* name, const std::string& defaultValue);

// Reads the main window's values in their order: FONT SIZE, NAME, COLOR;
// FORM WIDTH, HEIGHT; OPTION LEVEL (1..3, else 3); COMM PORT (1..16, else 1),
// MULTI, ADR, SADR; OPTION SWVER.
MainSettings ReadMainSettings(ISettingsStore& store, int language);

// Reads OPTION OPT0..OPT3 (defaults 0, 1, 0, 0).
WizardWords ReadWizardWords(ISettingsStore& store);

// Writes everything in the order: COMM PORT, MULTI, ADR, SADR; OPTION OPT0..OPT3,
// LEVEL, SWVER; FONT SIZE, NAME, COLOR; FORM WIDTH, HEIGHT; then flushes.
bool WriteSettings(ISettingsStore& store, const MainSettings& settings, const WizardWords& words);

}  // namespace kvl
