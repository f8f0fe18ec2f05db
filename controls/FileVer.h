// The version-information reader: answers the file and product version
// numbers of an executable file.
//
// Linux executables carry no version resource. The program's own version is
// the build's (the project version, compiled in as the fixed record below),
// and the default source answers it for the program's own file only; any
// other file has no version record. A host or a test may give another source.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kvl {

// The fixed file-information record: each version is two double words, the
// most significant holding major (high word) and minor (low word), the least
// significant release (high word) and build (low word).
struct TFixedFileInfo {
  uint32_t FileVersionMS = 0;
  uint32_t FileVersionLS = 0;
  uint32_t ProductVersionMS = 0;
  uint32_t ProductVersionLS = 0;
};

// The version record of a file, or nothing when the file has none.
using VersionRecordSource = std::function<std::optional<TFixedFileInfo>(const std::string& fileName)>;

// The record this program was built with (the project version; build 0
// unless the version names a fourth part).
TFixedFileInfo BuildVersionRecord();
// The running program's own executable file, by its resolved path.
std::string OwnExecutablePath();
// The default source: the build record for the program's own file (any path
// that resolves to it), nothing for every other file.
std::optional<TFixedFileInfo> ReadBuildVersionRecord(const std::string& fileName);

}  // namespace kvl

class TVersionInfo : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString FileName READ FileNameText WRITE SetFileNameText)
  Q_PROPERTY(int FIleMajor READ GetFileMajor WRITE ReadOnly)
  Q_PROPERTY(int FIleMinor READ GetFileMinor WRITE ReadOnly)
  Q_PROPERTY(int FIleRelease READ GetFileRelease WRITE ReadOnly)
  Q_PROPERTY(int FIleBuild READ GetFileBuild WRITE ReadOnly)
  Q_PROPERTY(int ProductMajor READ GetProductMajor WRITE ReadOnly)
  Q_PROPERTY(int ProductMinor READ GetProductMinor WRITE ReadOnly)
  Q_PROPERTY(int ProductRelease READ GetProductRelease WRITE ReadOnly)
  Q_PROPERTY(int ProductBuild READ GetProductBuild WRITE ReadOnly)

 public:
  explicit TVersionInfo(QObject* owner = nullptr, kvl::VersionRecordSource source = kvl::ReadBuildVersionRecord);
  ~TVersionInfo() override;

  // Reads the file's version record; an empty name, a file without a record
  // or a missing file leave the object without data.
  void SetFileName(const std::string& name);
  const std::string& FileName() const { return Name; }

  int GetFileMajor() const;
  int GetFileMinor() const;
  int GetFileRelease() const;
  int GetFileBuild() const;
  int GetProductMajor() const;
  int GetProductMinor() const;
  int GetProductRelease() const;
  int GetProductBuild() const;
  // File major, minor and release joined by "." ("0.0.0" without data).
  std::string AsVersionString() const;
  bool HasData() const { return Fixed != nullptr; }

  // The write accessor of the number properties: the value is ignored.
  void ReadOnly(int value);

 private:
  QString FileNameText() const;
  void SetFileNameText(const QString& name);

  kvl::VersionRecordSource Source;
  std::unique_ptr<kvl::TFixedFileInfo> Buffer;  // the version record read, null until one is
  const kvl::TFixedFileInfo* Fixed = nullptr;   // into Buffer; null without data
  std::string Name;
};
