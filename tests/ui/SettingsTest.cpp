#include "Settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// A store in memory that remembers the order of the writes.
class MemoryStore : public kvl::ISettingsStore {
 public:
  std::optional<std::string> Read(const std::string& section, const std::string& name) override {
    const auto it = Values.find(section + "/" + name);
    if (it == Values.end()) return std::nullopt;
    return it->second;
  }
  void Write(const std::string& section, const std::string& name, const std::string& value) override {
    Values[section + "/" + name] = value;
    Writes.push_back(section + "/" + name + "=" + value);
  }
  bool Flush() override { return true; }
  std::map<std::string, std::string> Values;
  std::vector<std::string> Writes;
};

class SettingsTest : public ::testing::Test {
 protected:
  std::string Ini() const { return Dir.filePath(QStringLiteral("Halvorin/Kvlq70.ini")).toStdString(); }
  QTemporaryDir Dir;
};

TEST_F(SettingsTest, FirstStartReadsTheDefaults) {
  struct Case {
    int language;
    const char* fontName;
  } cases[] = {{0, "ＭＳ ゴシック"}, {1, "Arial"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    kvl::TIniSettingsStore store(Ini());
    const kvl::MainSettings s = kvl::ReadMainSettings(store, c.language);
    EXPECT_EQ(s.FontSize, 9);
    EXPECT_EQ(s.FontName, c.fontName);
    EXPECT_EQ(s.FontColor, 0);
    EXPECT_EQ(s.FormWidth, 640);
    EXPECT_EQ(s.FormHeight, 480);
    EXPECT_EQ(s.Level, 3);
    EXPECT_EQ(s.PortNumber, 1);
    EXPECT_EQ(s.Multi, 0);
    EXPECT_EQ(s.Address, 1);
    EXPECT_EQ(s.SubAddress, 0);
    EXPECT_EQ(s.SwVer, 1);
    const kvl::WizardWords w = kvl::ReadWizardWords(store);
    EXPECT_EQ(w.Aux, 0);
    EXPECT_EQ(w.Output, 1);
    EXPECT_EQ(w.Option2, 0);
    EXPECT_EQ(w.Basic, 0);
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Ini()))) << "reading must not create the file";
}

TEST_F(SettingsTest, LevelAndPortAreClampedOtherValuesTakenAsRead) {
  struct Case {
    const char* level;
    const char* port;
    const char* width;
    int expectLevel, expectPort, expectWidth;
  } cases[] = {
      {"0", "0", "-5", 3, 1, -5},       {"4", "9", "100000", 3, 9, 100000},
      {"1", "16", "0", 1, 16, 0},       {"2", "17", "640x", 2, 1, 640},
      {"3", "8", " 12", 3, 8, 640},     {"-1", "-3", "", 3, 1, 640},
      {"abc", "COM3", "+700", 3, 1, 700}, {"2.5", "1e1", "99999999999", 3, 1, 640},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.level << " / " << c.port << " / " << c.width);
    MemoryStore store;
    store.Values["OPTION/LEVEL"] = c.level;
    store.Values["COMM/PORT"] = c.port;
    store.Values["FORM/WIDTH"] = c.width;
    const kvl::MainSettings s = kvl::ReadMainSettings(store, 1);
    EXPECT_EQ(s.Level, c.expectLevel);
    EXPECT_EQ(s.PortNumber, c.expectPort);
    EXPECT_EQ(s.FormWidth, c.expectWidth);
  }
}

TEST_F(SettingsTest, WritesEveryValueInOrderAsDecimalText) {
  MemoryStore store;
  kvl::MainSettings s;
  s.FontSize = 8;
  s.FontName = "ＭＳ ゴシック";
  s.FontColor = 255;
  s.FormWidth = 800;
  s.FormHeight = 600;
  s.Level = 2;
  s.PortNumber = 12;
  s.Multi = 1;
  s.Address = 17;
  s.SubAddress = 3;
  s.SwVer = 4;
  const kvl::WizardWords w{0x8000, 0xC91, 0xB0, 2};
  ASSERT_TRUE(kvl::WriteSettings(store, s, w));
  const std::vector<std::string> expected = {
      "COMM/PORT=12",    "COMM/MULTI=1",    "COMM/ADR=17",     "COMM/SADR=3",     "OPTION/OPT0=32768",
      "OPTION/OPT1=3217", "OPTION/OPT2=176", "OPTION/OPT3=2",   "OPTION/LEVEL=2",  "OPTION/SWVER=4",
      "FONT/SIZE=8",     "FONT/NAME=ＭＳ ゴシック", "FONT/COLOR=255", "FORM/WIDTH=800", "FORM/HEIGHT=600",
  };
  EXPECT_EQ(store.Writes, expected);
}

TEST_F(SettingsTest, IniFileRoundTrip) {
  kvl::MainSettings s;
  s.FontSize = 11;
  s.FontName = "Courier New, bold";
  s.FontColor = -2147483640;  // a system colour word
  s.FormWidth = 1024;
  s.FormHeight = 700;
  s.Level = 1;
  s.PortNumber = 16;
  s.Multi = 2;
  s.Address = 300;
  s.SubAddress = 9;
  s.SwVer = 0;
  const kvl::WizardWords w{1, 0xA08, 0x30, 3};
  {
    kvl::TIniSettingsStore store(Ini());
    ASSERT_TRUE(kvl::WriteSettings(store, s, w));
  }
  QFile file(QString::fromStdString(Ini()));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  for (const char* line : {"[COMM]", "PORT=16", "ADR=300", "[OPTION]", "OPT1=2568", "[FONT]", "SIZE=11", "[FORM]",
                           "WIDTH=1024"})
    EXPECT_TRUE(text.contains(line)) << line << " in\n" << text.toStdString();

  for (int language : {0, 1}) {
    kvl::TIniSettingsStore store(Ini());
    const kvl::MainSettings r = kvl::ReadMainSettings(store, language);
    EXPECT_EQ(r.FontSize, 11);
    EXPECT_EQ(r.FontName, "Courier New, bold");
    EXPECT_EQ(r.FontColor, -2147483640);
    EXPECT_EQ(r.FormWidth, 1024);
    EXPECT_EQ(r.FormHeight, 700);
    EXPECT_EQ(r.Level, 1);
    EXPECT_EQ(r.PortNumber, 16);
    EXPECT_EQ(r.Multi, 2);
    EXPECT_EQ(r.Address, 300);
    EXPECT_EQ(r.SubAddress, 9);
    EXPECT_EQ(r.SwVer, 0);
    const kvl::WizardWords rw = kvl::ReadWizardWords(store);
    EXPECT_EQ(rw.Aux, 1);
    EXPECT_EQ(rw.Output, 0xA08);
    EXPECT_EQ(rw.Option2, 0x30);
    EXPECT_EQ(rw.Basic, 3);
  }

  // Japanese text survives the file too.
  {
    kvl::TIniSettingsStore store(Ini());
    s.FontName = "ＭＳ ゴシック";
    ASSERT_TRUE(kvl::WriteSettings(store, s, w));
  }
  kvl::TIniSettingsStore store(Ini());
  EXPECT_EQ(kvl::ReadMainSettings(store, 1).FontName, "ＭＳ ゴシック");
}

TEST_F(SettingsTest, UnwritableFileIsReported) {
  // A directory where the file should be: the values cannot be saved.
  ASSERT_TRUE(QDir(Dir.path()).mkpath(QStringLiteral("blocked/Kvlq70.ini")));
  kvl::TIniSettingsStore store(Dir.filePath(QStringLiteral("blocked/Kvlq70.ini")).toStdString());
  EXPECT_FALSE(kvl::WriteSettings(store, kvl::MainSettings{}, kvl::WizardWords{}));
}

}  // namespace
