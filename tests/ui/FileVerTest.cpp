#include "FileVer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <optional>
#include <string>

namespace {

kvl::TFixedFileInfo Record(uint32_t fileMs, uint32_t fileLs, uint32_t productMs, uint32_t productLs) {
  kvl::TFixedFileInfo info;
  info.FileVersionMS = fileMs;
  info.FileVersionLS = fileLs;
  info.ProductVersionMS = productMs;
  info.ProductVersionLS = productLs;
  return info;
}

struct Numbers {
  int file[4];
  int product[4];
  const char* text;
};

void ExpectNumbers(const TVersionInfo& info, const Numbers& n) {
  EXPECT_EQ(info.GetFileMajor(), n.file[0]);
  EXPECT_EQ(info.GetFileMinor(), n.file[1]);
  EXPECT_EQ(info.GetFileRelease(), n.file[2]);
  EXPECT_EQ(info.GetFileBuild(), n.file[3]);
  EXPECT_EQ(info.GetProductMajor(), n.product[0]);
  EXPECT_EQ(info.GetProductMinor(), n.product[1]);
  EXPECT_EQ(info.GetProductRelease(), n.product[2]);
  EXPECT_EQ(info.GetProductBuild(), n.product[3]);
  EXPECT_EQ(info.AsVersionString(), n.text);
}

// Files and their records as a platform source would answer them.
TEST(VersionInfo, SplitsTheDoubleWordsOfEachVersion) {
  const std::map<std::string, kvl::TFixedFileInfo> files = {
      {"a.exe", Record(0x00010002, 0x00030004, 0x00050006, 0x00070008)},
      {"max.exe", Record(0xFFFFFFFF, 0xFFFE0000, 0x00000001, 0x00010000)},
      {"zero.exe", Record(0, 0, 0, 0)},
  };
  auto source = [&files](const std::string& name) -> std::optional<kvl::TFixedFileInfo> {
    const auto it = files.find(name);
    if (it == files.end()) return std::nullopt;
    return it->second;
  };
  const struct Case {
    const char* name;
    Numbers expected;
    bool data;
  } cases[] = {
      {"a.exe", {{1, 2, 3, 4}, {5, 6, 7, 8}, "1.2.3"}, true},
      {"max.exe", {{65535, 65535, 65534, 0}, {0, 1, 1, 0}, "65535.65535.65534"}, true},
      {"zero.exe", {{0, 0, 0, 0}, {0, 0, 0, 0}, "0.0.0"}, true},
      {"none.exe", {{0, 0, 0, 0}, {0, 0, 0, 0}, "0.0.0"}, false},
      {"", {{0, 0, 0, 0}, {0, 0, 0, 0}, "0.0.0"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TVersionInfo fresh(nullptr, source);
    ExpectNumbers(fresh, {{0, 0, 0, 0}, {0, 0, 0, 0}, "0.0.0"});
    fresh.SetFileName(c.name);
    EXPECT_EQ(fresh.FileName(), c.name);
    EXPECT_EQ(fresh.HasData(), c.data);
    ExpectNumbers(fresh, c.expected);

    // A new name replaces what an earlier one gave.
    TVersionInfo reused(nullptr, source);
    reused.SetFileName("a.exe");
    reused.SetFileName(c.name);
    ExpectNumbers(reused, c.expected);
  }
}

TEST(VersionInfo, NumberPropertiesIgnoreWrites) {
  TVersionInfo info(nullptr, [](const std::string&) { return Record(0x00010002, 0x00030004, 0x00050006, 0x00070008); });
  info.SetFileName("any");
  const char* const names[] = {"FIleMajor",    "FIleMinor",    "FIleRelease",    "FIleBuild",
                               "ProductMajor", "ProductMinor", "ProductRelease", "ProductBuild"};
  const int values[] = {1, 2, 3, 4, 5, 6, 7, 8};
  for (size_t i = 0; i < std::size(names); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(info.property(names[i]).toInt(), values[i]);
    info.setProperty(names[i], 99);
    EXPECT_EQ(info.property(names[i]).toInt(), values[i]);
  }
  // The file-name property reads the file's record.
  info.setProperty("FileName", QString());
  EXPECT_EQ(info.property("FileName").toString(), QString());
  EXPECT_EQ(info.AsVersionString(), "0.0.0");
}

// The default source: the program's own file carries the build's version,
// by any path that leads to it; other files carry none.
TEST(VersionInfo, ProgramFileCarriesTheBuildVersion) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string own = QCoreApplication::applicationFilePath().toStdString();
  const std::string link = dir.filePath(QStringLiteral("link-to-program")).toStdString();
  ASSERT_TRUE(QFile::link(QString::fromStdString(own), QString::fromStdString(link)));
  const std::string plain = dir.filePath(QStringLiteral("plain.exe")).toStdString();
  {
    QFile file(QString::fromStdString(plain));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("MZ not a program of ours");
  }
  const struct Case {
    std::string name;
    const char* text;
    bool data;
  } cases[] = {
      {own, KVLQ70_BUILD_VERSION, true},
      {link, KVLQ70_BUILD_VERSION, true},
      {plain, "0.0.0", false},
      {dir.filePath(QStringLiteral("missing.exe")).toStdString(), "0.0.0", false},
      {"", "0.0.0", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TVersionInfo info;
    info.SetFileName(c.name);
    EXPECT_EQ(info.HasData(), c.data);
    EXPECT_EQ(info.AsVersionString(), c.text);
    EXPECT_EQ(info.GetFileBuild(), 0);
    if (c.data) {
      EXPECT_EQ(info.GetProductMajor(), info.GetFileMajor());
      EXPECT_EQ(info.GetProductMinor(), info.GetFileMinor());
      EXPECT_EQ(info.GetProductRelease(), info.GetFileRelease());
    }
  }
}

}  // namespace
