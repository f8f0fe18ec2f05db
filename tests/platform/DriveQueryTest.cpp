#include "DriveQuery.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>

namespace {

TEST(DriveKind, FromTheFileSystemType) {
  struct Case {
    uint64_t type;
    kvl::DriveKind kind;
  } cases[] = {
      {0x9660, kvl::DriveKind::CdRom},       // ISO 9660
      {0x15013346, kvl::DriveKind::CdRom},   // UDF
      {0x6969, kvl::DriveKind::Network},     // NFS
      {0xFF534D42, kvl::DriveKind::Network}, // CIFS
      {0xFE534D42, kvl::DriveKind::Network}, // SMB2
      {0x517B, kvl::DriveKind::Network},     // SMB
      {0x01021997, kvl::DriveKind::Network}, // 9P
      {0xEF53, kvl::DriveKind::Fixed},       // ext2/3/4
      {0x01021994, kvl::DriveKind::Fixed},   // tmpfs
      {0x58465342, kvl::DriveKind::Fixed},   // XFS
      {0x4D44, kvl::DriveKind::Fixed},       // FAT
      {0, kvl::DriveKind::Fixed},
  };
  for (const Case& c : cases) EXPECT_EQ(kvl::DriveKindOfFileSystemType(c.type), c.kind) << std::hex << c.type;
}

TEST(DriveKind, FreeBytesSaturateInsteadOfOverflowing) {
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  struct Case {
    uint64_t blocks, size, bytes;
  } cases[] = {
      {0, 4096, 0},
      {36, 4096, 147456},
      {37, 4096, 151552},
      {1ull << 40, 4096, 1ull << 52},
      {1ull << 52, 1ull << 12, kMax},
      {kMax, 2, kMax},
      {kMax, 0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(kvl::FreeBytesOf(c.blocks, c.size), c.bytes) << c.blocks << " x " << c.size;
}

TEST(DriveQuery, AsksTheSystemAboutAFolder) {
  const std::string tmp = std::filesystem::temp_directory_path().string();
  kvl::TDriveQuery& query = kvl::DriveQuery();
  EXPECT_NE(query.Kind(tmp), kvl::DriveKind::Unknown);
  EXPECT_TRUE(query.FreeBytes(tmp).has_value());
  EXPECT_EQ(query.Kind(tmp + "/no/such/folder"), kvl::DriveKind::Unknown);
  EXPECT_FALSE(query.FreeBytes(tmp + "/no/such/folder").has_value());
}

TEST(DriveQuery, CanBeReplacedAndRestored) {
  struct Full : kvl::TDriveQuery {
    std::optional<uint64_t> FreeBytes(const std::string&) override { return 0; }
  } full;
  kvl::TDriveQuery* const system = &kvl::DriveQuery();
  EXPECT_EQ(kvl::SetDriveQuery(&full), nullptr);
  EXPECT_EQ(&kvl::DriveQuery(), &full);
  EXPECT_EQ(kvl::DriveQuery().FreeBytes("/"), 0u);
  EXPECT_EQ(kvl::SetDriveQuery(nullptr), &full);
  EXPECT_EQ(&kvl::DriveQuery(), system);
}

}  // namespace
