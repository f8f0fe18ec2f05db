#include "Settings.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "CommandLine.h"

namespace kvl {
namespace {

QString Key(const std::string& section, const std::string& name) {
  return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(name);
}

void WriteInteger(ISettingsStore& store, const char* section, const char* name, int value) {
  store.Write(section, name, std::to_string(value));
}

}  // namespace

TIniSettingsStore::TIniSettingsStore(const std::string& iniPath)
    : Ini(std::make_unique<QSettings>(QString::fromStdString(iniPath), QSettings::IniFormat)) {}

TIniSettingsStore::~TIniSettingsStore() = default;

std::optional<std::string> TIniSettingsStore::Read(const std::string& section, const std::string& name) {
  const QVariant value = Ini->value(Key(section, name));
  if (!value.isValid()) return std::nullopt;
  // A hand-written value with commas reads back as a list: take it whole.
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QStringLiteral(", ")).toStdString();
  return value.toString().toStdString();
}

void TIniSettingsStore::Write(const std::string& section, const std::string& name, const std::string& value) {
  Ini->setValue(Key(section, name), QString::fromStdString(value));
}

bool TIniSettingsStore::Flush() {
  Ini->sync();
  return Ini->status() == QSettings::NoError;
}

std::string TIniSettingsStore::DefaultPath() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Halvorin"), QStringLiteral("Kvlq70"))
      .fileName()
      .toStdString();
}

const char* DefaultFontName(int language) { return language == 0 ? "ＭＳ ゴシック" : "Arial"; }

int ReadInteger(ISettingsStore& store, const char* section, const char* name, int defaultValue) {
  const std::optional<std::string> text = store.Read(section, name);
  int value = defaultValue;
  if (!text || !ParseDecimal(*text, &value)) return defaultValue;
  return value;
}

std::string ReadText(ISettingsStore& store, const char* section, const char* name, const std::string& defaultValue) {
  const std::optional<std::string> text = store.Read(section, name);
  return text ? *text : defaultValue;
}

MainSettings ReadMainSettings(ISettingsStore& store, int language) {
  MainSettings s;
  s.FontSize = ReadInteger(store, "FONT", "SIZE", 9);
  s.FontName = ReadText(store, "FONT", "NAME", DefaultFontName(language));
  s.FontColor = ReadInteger(store, "FONT", "COLOR", 0);
  s.FormWidth = ReadInteger(store, "FORM", "WIDTH", 640);
  s.FormHeight = ReadInteger(store, "FORM", "HEIGHT", 480);
  s.Level = ReadInteger(store, "OPTION", "LEVEL", 3);
  if (s.Level < 1 || s.Level > 3) s.Level = 3;
  // The environment dialog offers COM1..COM16: a stored higher port stays.
  s.PortNumber = ReadInteger(store, "COMM", "PORT", 1);
  if (s.PortNumber < 1 || s.PortNumber > kHighestPort) s.PortNumber = 1;
  s.Multi = ReadInteger(store, "COMM", "MULTI", 0);
  s.Address = ReadInteger(store, "COMM", "ADR", 1);
  s.SubAddress = ReadInteger(store, "COMM", "SADR", 0);
  s.SwVer = ReadInteger(store, "OPTION", "SWVER", 1);
  return s;
}

WizardWords ReadWizardWords(ISettingsStore& store) {
  WizardWords w;
  w.Aux = ReadInteger(store, "OPTION", "OPT0", 0);
  w.Output = ReadInteger(store, "OPTION", "OPT1", 1);
  w.Option2 = ReadInteger(store, "OPTION", "OPT2", 0);
  w.Basic = ReadInteger(store, "OPTION", "OPT3", 0);
  return w;
}

bool WriteSettings(ISettingsStore& store, const MainSettings& s, const WizardWords& w) {
  WriteInteger(store, "COMM", "PORT", s.PortNumber);
  WriteInteger(store, "COMM", "MULTI", s.Multi);
  WriteInteger(store, "COMM", "ADR", s.Address);
  WriteInteger(store, "COMM", "SADR", s.SubAddress);
  WriteInteger(store, "OPTION", "OPT0", w.Aux);
  WriteInteger(store, "OPTION", "OPT1", w.Output);
  WriteInteger(store, "OPTION", "OPT2", w.Option2);
  WriteInteger(store, "OPTION", "OPT3", w.Basic);
  WriteInteger(store, "OPTION", "LEVEL", s.Level);
  WriteInteger(store, "OPTION", "SWVER", s.SwVer);
  WriteInteger(store, "FONT", "SIZE", s.FontSize);
  store.Write("FONT", "NAME", s.FontName);
  WriteInteger(store, "FONT", "COLOR", s.FontColor);
  WriteInteger(store, "FORM", "WIDTH", s.FormWidth);
  WriteInteger(store, "FORM", "HEIGHT", s.FormHeight);
  return store.Flush();
}

}  // namespace kvl
