#include "FileVer.h"

#include <QFile>

#include <filesystem>
#include <system_error>

namespace kvl {
namespace {

uint16_t HighWord(uint32_t value) { return static_cast<uint16_t>(value >> 16); }
uint16_t LowWord(uint32_t value) { return static_cast<uint16_t>(value & 0xFFFF); }

// The resolved path of an existing file, empty when it cannot be resolved.
std::string Resolved(const std::string& path) {
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::canonical(path, error);
  return error ? std::string() : resolved.string();
}

}  // namespace

TFixedFileInfo BuildVersionRecord() {
  TFixedFileInfo info;
  info.FileVersionMS = (static_cast<uint32_t>(KVL_VERSION_MAJOR) << 16) | static_cast<uint32_t>(KVL_VERSION_MINOR);
  info.FileVersionLS = (static_cast<uint32_t>(KVL_VERSION_RELEASE) << 16) | static_cast<uint32_t>(KVL_VERSION_BUILD);
  info.ProductVersionMS = info.FileVersionMS;
  info.ProductVersionLS = info.FileVersionLS;
  return info;
}

std::string OwnExecutablePath() { return Resolved("/proc/self/exe"); }

std::optional<TFixedFileInfo> ReadBuildVersionRecord(const std::string& fileName) {
  if (fileName.empty()) return std::nullopt;
  const std::string file = Resolved(fileName);
  const std::string own = OwnExecutablePath();
  if (file.empty() || own.empty() || file != own) return std::nullopt;
  return BuildVersionRecord();
}

}  // namespace kvl

TVersionInfo::TVersionInfo(QObject* owner, kvl::VersionRecordSource source)
    : QObject(owner), Source(std::move(source)) {}

TVersionInfo::~TVersionInfo() = default;

void TVersionInfo::SetFileName(const std::string& name) {
  Name = name;
  Fixed = nullptr;
  Buffer.reset();
  if (name.empty() || !Source) return;
  const std::optional<kvl::TFixedFileInfo> record = Source(name);
  if (!record) return;
  Buffer = std::make_unique<kvl::TFixedFileInfo>(*record);
  Fixed = Buffer.get();
}

int TVersionInfo::GetFileMajor() const { return Fixed ? kvl::HighWord(Fixed->FileVersionMS) : 0; }
int TVersionInfo::GetFileMinor() const { return Fixed ? kvl::LowWord(Fixed->FileVersionMS) : 0; }
int TVersionInfo::GetFileRelease() const { return Fixed ? kvl::HighWord(Fixed->FileVersionLS) : 0; }
int TVersionInfo::GetFileBuild() const { return Fixed ? kvl::LowWord(Fixed->FileVersionLS) : 0; }
int TVersionInfo::GetProductMajor() const { return Fixed ? kvl::HighWord(Fixed->ProductVersionMS) : 0; }
int TVersionInfo::GetProductMinor() const { return Fixed ? kvl::LowWord(Fixed->ProductVersionMS) : 0; }
int TVersionInfo::GetProductRelease() const { return Fixed ? kvl::HighWord(Fixed->ProductVersionLS) : 0; }
int TVersionInfo::GetProductBuild() const { return Fixed ? kvl::LowWord(Fixed->ProductVersionLS) : 0; }

std::string TVersionInfo::AsVersionString() const {
  return std::to_string(GetFileMajor()) + "." + std::to_string(GetFileMinor()) + "." +
         std::to_string(GetFileRelease());
}

void TVersionInfo::ReadOnly(int) {}

QString TVersionInfo::FileNameText() const { return QFile::decodeName(QByteArray::fromStdString(Name)); }

void TVersionInfo::SetFileNameText(const QString& name) { SetFileName(QFile::encodeName(name).toStdString()); }
