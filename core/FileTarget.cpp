#include "FileTarget.h"

#include "DriveQuery.h"
#include "FileIo.h"

namespace {
// Bytes of the UTF-8 sequence that starts at `at`, or 0 when none does
// (a stray, overlong or surrogate sequence, or one cut off).
size_t SequenceLength(const std::string& text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length;
  uint8_t low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  return length;
}
}  // namespace

size_t PathCharacterCount(const std::string& path) {
  size_t count = 0;
  for (size_t at = 0; at < path.size(); ++count) {
    const size_t length = SequenceLength(path, at);
    at += length != 0 ? length : 1;
  }
  return count;
}

int CheckFileTarget(const std::string& path, uint64_t minFreeBytes) {
  if (PathCharacterCount(path) >= 255) return 4;
  const std::string folder = kvl::FolderOf(kvl::FollowLinks(path));
  kvl::TDriveQuery& drive = kvl::DriveQuery();
  const kvl::DriveKind kind = drive.Kind(folder);
  if (kind == kvl::DriveKind::CdRom) return 3;
  if (kind == kvl::DriveKind::Network) return 0;
  const std::optional<uint64_t> free = drive.FreeBytes(folder);
  if (free && *free < minFreeBytes) return 2;
  return 0;
}
