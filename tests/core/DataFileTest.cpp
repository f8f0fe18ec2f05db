#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "FileTarget.h"
#include "FileTestSupport.h"
#include "UCore.h"

namespace {

const int32_t kAllGroups[] = {1, 2, 0};

constexpr size_t kFileSize = 99686;
constexpr size_t kOldSize = 43074;
constexpr size_t kCellsAt = 60032;
constexpr size_t kItemsAt = 99362;
constexpr size_t kTagsAt = 99533;

size_t AddressRecordAt(int address) { return 32 + 3 * static_cast<size_t>(address); }
size_t CellRecordAt(int p, int i, int s) { return kCellsAt + 3 * static_cast<size_t>(((p - 1) * 23 + i - 1) * 30 + s - 1); }
size_t ItemRecordAt(int p, int item) { return kItemsAt + 3 * static_cast<size_t>((p - 1) * 3 + item - 24); }

uint8_t Sum(const Bytes& bytes, size_t count) {
  return static_cast<uint8_t>(std::accumulate(bytes.begin(), bytes.begin() + static_cast<long>(count), 0u) & 0xFF);
}
void FixChecksum(Bytes& file) { file[kFileSize - 1] = Sum(file, kFileSize - 1); }

// Table position of the setup record at a controller address.
int TablePositionOf(TCore& core, int address) {
  for (int k = 0; k < core.GetParamCount(); ++k)
    if (core.SetupRecord(k)->Address == address) return k;
  ADD_FAILURE() << "no record at " << address;
  return 0;
}

// Everything a load may change: the working values in table order, the cells,
// the pattern items, the tags and the data revision.
struct Snapshot {
  std::vector<int> Values;
  std::vector<std::string> Tags;
  int Revision = 0;
};

Snapshot Take(TCore& core) {
  Snapshot s;
  for (int k = 0; k < core.GetParamCount(); ++k) s.Values.push_back(core.SetupRecord(k)->Value);
  for (int p = 1; p <= 19; ++p) {
    for (int i = 1; i <= 23; ++i)
      for (int seg = 1; seg <= 30; ++seg) s.Values.push_back(core.GetPatternValue(p, i, seg)->Value);
    for (int i = 24; i <= 26; ++i) s.Values.push_back(core.GetPatternValue(p, i, 1)->Value);
    char tag[9];
    core.GetTag(p, tag);
    s.Tags.emplace_back(tag, 8);
  }
  s.Revision = core.DataRevision;
  return s;
}

// Where two snapshots first differ, in words; empty when they are equal.
std::string FirstDifference(const Snapshot& a, const Snapshot& b) {
  for (size_t n = 0; n < a.Values.size(); ++n) {
    if (a.Values[n] == b.Values[n]) continue;
    std::string where;
    if (n < 467) {
      where = "setup record " + std::to_string(n);
    } else {
      const size_t c = n - 467, p = c / (23 * 30 + 3) + 1, r = c % (23 * 30 + 3);
      where = r < 690 ? "pattern " + std::to_string(p) + " item " + std::to_string(r / 30 + 1) + " segment " +
                            std::to_string(r % 30 + 1)
                      : "pattern " + std::to_string(p) + " item " + std::to_string(r - 690 + 24);
    }
    return where + ": " + std::to_string(a.Values[n]) + " vs " + std::to_string(b.Values[n]);
  }
  for (size_t p = 0; p < a.Tags.size(); ++p)
    if (a.Tags[p] != b.Tags[p]) return "tag " + std::to_string(p + 1) + ": " + a.Tags[p] + " vs " + b.Tags[p];
  if (a.Revision != b.Revision) return "revision " + std::to_string(a.Revision) + " vs " + std::to_string(b.Revision);
  return "";
}

// Gives every value, cell and tag a value of its own (no default).
void ChangeImage(TCore& core, int seed) {
  for (int k = 0; k < core.GetParamCount(); ++k)
    core.SetupRecord(k)->Value = static_cast<int16_t>((k * 131 + seed) % 20000 - 10000);
  for (int p = 1; p <= 19; ++p) {
    for (int i = 1; i <= 23; ++i)
      for (int s = 1; s <= 30; ++s)
        core.GetPatternValue(p, i, s)->Value = static_cast<int16_t>((((p * 23 + i) * 30 + s) * 7 + seed) % 60000 - 30000);
    for (int i = 24; i <= 26; ++i) core.GetPatternValue(p, i, 1)->Value = static_cast<int16_t>(p * 100 + i + seed);
    char tag[9];
    std::snprintf(tag, sizeof tag, "T%02d\xB1%03d", p, seed % 1000);
    core.SetTag(p, tag);
  }
}

std::unique_ptr<TCore> DefaultCore(int language = 1) {
  auto core = std::make_unique<TCore>(language);
  core->SetDefaults(kAllGroups, true);
  return core;
}

// A 43,074-byte old-type file: every address value, cell and tag its own.
int OldValueAt(int address) { return (address * 7) % 3000 - 1000; }
int OldCell(int p, int i, int s) { return p * 1000 + s * 30 + i; }
int OldPatternItem(int p, int item) { return -(p * 10 + item); }

Bytes OldTypeFile() {
  Bytes file(kOldSize, 0);
  std::memcpy(file.data(), "Q70A000000000000", 16);
  std::memcpy(&file[16], "0001000200030004", 16);
  PutWord(file, 32, 0x7777);
  const struct {
    size_t at;
    int first, count;
  } runs[] = {{34, 2501, 33}, {100, 3001, 22}, {144, 3501, 13}, {170, 1501, 80},
              {330, 2001, 80}, {490, 4501, 100}, {690, 4001, 66}, {822, 1001, 50}};
  for (const auto& run : runs)
    for (int n = 0; n < run.count; ++n) PutWord(file, run.at + 2 * n, OldValueAt(run.first + n));
  std::fill(file.begin() + 922, file.begin() + 1122, 0x55);
  for (int p = 1; p <= 19; ++p) {
    const size_t block = 1122 + 2208 * static_cast<size_t>(p - 1);
    for (int s = 1; s <= 30; ++s) {
      const size_t seg = block + 72 * static_cast<size_t>(s - 1);
      for (int i = 1; i <= 23; ++i) PutWord(file, seg + 2 * (i - 1), OldCell(p, i, s));
      // Items 24..26 count only in segment 1.
      for (int i = 24; i <= 26; ++i) PutWord(file, seg + 2 * (i - 1), s == 1 ? OldPatternItem(p, i) : 4444);
      std::fill(file.begin() + static_cast<long>(seg + 52), file.begin() + static_cast<long>(seg + 72), 0xAA);
    }
    char tag[9];
    std::snprintf(tag, sizeof tag, "OLD%02d ab", p);
    std::memcpy(&file[block + 2160], tag, 8);
    std::fill(file.begin() + static_cast<long>(block + 2168), file.begin() + static_cast<long>(block + 2208), 0xCC);
  }
  return file;
}

// ---- saving ----

TEST(DataFileSave, DefaultImageAtTheByteLevel) {
  TempFolder dir;
  auto core = DefaultCore();
  ASSERT_EQ(core->SaveFile(kAllGroups, dir / "a.q70"), 0);
  const Bytes file = ReadBytes(dir / "a.q70");
  ASSERT_EQ(file.size(), kFileSize);

  const Bytes header = {'Q', '4', '1', 'A', '0', 'D', '0', 'A', 'S', '0', '0', '0', '*', '*', 0, 0,
                        '0', '1', '0', '1', '0', '1', 0,   0,   0,   0,   0,   0,   0,   0,   0, 0};
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 32), header);

  struct Record {
    const char* what;
    size_t at;
    Bytes expected;
  } records[] = {
      // Flags by table position, values by address.
      {"record 0: flag of the first setup record, no parameter at address 0", AddressRecordAt(0), {1, 0, 0}},
      {"record 466: flag of the last setup record", AddressRecordAt(466), {1, 0, 0}},
      {"record 467: past the setup records", AddressRecordAt(467), {0, 0, 0}},
      {"GS.T at 2512, default 20, flag 0 at that position", AddressRecordAt(2512), {0, 20, 0}},
      {"HYS1 at 3503, default 5", AddressRecordAt(3503), {0, 5, 0}},
      {"last address record", AddressRecordAt(19999), {0, 0, 0}},
      {"pattern 1 SP1 segment 1, empty", CellRecordAt(1, 1, 1), {1, 0xFF, 0x7F}},
      {"pattern 1 PID set (CH1) segment 1", CellRecordAt(1, 20, 1), {1, 0, 0}},
      {"pattern 19 item 23 segment 30", CellRecordAt(19, 23, 30), {1, 0xFF, 0x7F}},
      {"pattern 1 PV start", ItemRecordAt(1, 24), {1, 0, 0}},
      {"pattern 19 pattern link", ItemRecordAt(19, 26), {1, 0, 0}},
  };
  for (const Record& r : records) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(Bytes(file.begin() + static_cast<long>(r.at), file.begin() + static_cast<long>(r.at + 3)), r.expected);
  }
  EXPECT_EQ(CellRecordAt(1, 20, 1), 61742u);
  EXPECT_EQ(CellRecordAt(19, 23, 30) + 3, kItemsAt);
  EXPECT_EQ(ItemRecordAt(19, 26) + 3, kTagsAt);

  EXPECT_EQ(std::string(file.begin() + kTagsAt, file.begin() + kTagsAt + 8), "PROG01  ");
  EXPECT_EQ(std::string(file.begin() + kTagsAt + 144, file.begin() + kTagsAt + 152), "PROG19  ");
  EXPECT_EQ(file[kFileSize - 1], Sum(file, kFileSize - 1));
}

TEST(DataFileSave, ValuesAreLittleEndianAtTheirAddresses) {
  TempFolder dir;
  auto core = DefaultCore();
  core->GetParam(10, 1, 1, 0)->Value = -300;  // address 1001, last bank in table order
  core->GetPatternValue(2, 3, 4)->Value = -300;
  core->GetPatternValue(19, 26, 1)->Value = 0x1234;
  char tag[9] = "AB";
  core->SetTag(7, tag);
  core->DataRevision = 0;
  ASSERT_EQ(core->SaveFile(kAllGroups, dir / "a.q70"), 0);
  const Bytes file = ReadBytes(dir / "a.q70");
  ASSERT_EQ(file.size(), kFileSize);

  EXPECT_EQ(file[AddressRecordAt(1001) + 1], 0xD4);
  EXPECT_EQ(file[AddressRecordAt(1001) + 2], 0xFE);
  EXPECT_EQ(file[AddressRecordAt(TablePositionOf(*core, 1001))], 1);
  EXPECT_EQ(Word(file, CellRecordAt(2, 3, 4) + 1), -300);
  EXPECT_EQ(file[CellRecordAt(2, 3, 4) + 1], 0xD4);
  EXPECT_EQ(file[ItemRecordAt(19, 26) + 1], 0x34);
  EXPECT_EQ(file[ItemRecordAt(19, 26) + 2], 0x12);
  EXPECT_EQ(std::string(file.begin() + kTagsAt + 48, file.begin() + kTagsAt + 56), "AB      ");
  EXPECT_EQ(file[20], '0');
  EXPECT_EQ(file[21], '0');
  EXPECT_EQ(file[kFileSize - 1], Sum(file, kFileSize - 1));
}

TEST(DataFileSave, ModelCodeFillsSixteenBytes) {
  struct Case {
    const char* code;
    std::string expected;
  } cases[] = {
      {"Q42ABCDEFGHIJKLMNOP", "Q42ABCDEFGHIJKLM"},
      {"Q41", std::string("Q41") + std::string(13, '\0')},
      {"", std::string(16, '\0')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    TempFolder dir;
    auto core = DefaultCore();
    core->ModelCode = c.code;
    ASSERT_EQ(core->SaveFile(kAllGroups, dir / "a.q70"), 0);
    const Bytes file = ReadBytes(dir / "a.q70");
    EXPECT_EQ(std::string(file.begin(), file.begin() + 16), c.expected);
    EXPECT_EQ(std::string(file.begin() + 16, file.begin() + 20), "0101");
  }
}

TEST(DataFileSave, FlagsFollowTheGroupList) {
  const int32_t both[] = {1, 2, 0}, ordinary[] = {1, 0}, identification[] = {2, 0}, none[] = {0};
  struct Case {
    const char* name;
    GroupList groups;
    int flagOfC91, flagOfFirst, programFlag;
  } cases[] = {
      {"both groups", both, 1, 1, 1},
      {"ordinary data", ordinary, 0, 1, 1},
      {"identification rows", identification, 1, 0, 0},
      {"empty list", none, 0, 0, 0},
      {"no list", nullptr, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    auto core = DefaultCore();
    core->GetParam(8, 91, 1, 0)->Value = 77;
    ASSERT_EQ(core->SaveFile(c.groups, dir / "a.q70"), 0);
    const Bytes file = ReadBytes(dir / "a.q70");
    ASSERT_EQ(file.size(), kFileSize);
    EXPECT_EQ(file[AddressRecordAt(TablePositionOf(*core, 4591))], c.flagOfC91);
    EXPECT_EQ(file[AddressRecordAt(0)], c.flagOfFirst);
    // The value is written whatever its flag.
    EXPECT_EQ(Word(file, AddressRecordAt(4591) + 1), 77);
    for (size_t at : {CellRecordAt(1, 1, 1), CellRecordAt(19, 23, 30), ItemRecordAt(5, 25)})
      EXPECT_EQ(file[at], c.programFlag) << at;
  }
}

// ---- round trips ----

TEST(DataFileRoundTrip, ChangedImageComesBackIdentical) {
  TempFolder dir;
  auto source = DefaultCore();
  ChangeImage(*source, 17);
  ASSERT_EQ(source->SaveFile(kAllGroups, dir / "a.q70"), 0);
  const Snapshot saved = Take(*source);

  auto target = DefaultCore();
  target->SetupRecord(5)->ReceivedValue = 55;
  target->TagPtr(3)->ReceivedTag[0] = 'R';
  target->ModelCode = "unchanged";
  ASSERT_EQ(target->LoadFile(dir / "a.q70"), 0);
  EXPECT_EQ(FirstDifference(Take(*target), saved), "");
  EXPECT_EQ(target->DataRevision, 1);
  // Only working values move; the header's model code is not read back.
  EXPECT_EQ(target->SetupRecord(5)->ReceivedValue, 55);
  EXPECT_EQ(target->TagPtr(3)->ReceivedTag[0], 'R');
  EXPECT_EQ(target->ModelCode, "unchanged");
  // Saving does not change the image.
  EXPECT_EQ(FirstDifference(Take(*source), saved), "");
}

TEST(DataFileRoundTrip, Revision0BringsTheTimeEventSettingsBack) {
  TempFolder dir;
  auto source = DefaultCore();
  ChangeImage(*source, 5);
  source->DataRevision = 0;
  ASSERT_EQ(source->SaveFile(kAllGroups, dir / "a.q70"), 0);
  const Bytes file = ReadBytes(dir / "a.q70");
  EXPECT_EQ(std::string(file.begin() + 20, file.begin() + 22), "00");

  Snapshot expected = Take(*source);
  auto target = DefaultCore();
  for (int n = 0; n < 20; ++n) {
    const int expectedValue = (n % 4 == 0) ? 50 : (n % 4 == 2) ? 5 : 0;
    expected.Values[TablePositionOf(*target, 3517 + n)] = expectedValue;
  }
  ASSERT_EQ(target->LoadFile(dir / "a.q70"), 0);
  EXPECT_EQ(target->DataRevision, 0);
  EXPECT_EQ(FirstDifference(Take(*target), expected), "");
  EXPECT_EQ(target->GetParam(5, 17, 1, 0)->Value, 50);
  EXPECT_EQ(target->GetParam(5, 19, 1, 0)->Value, 5);
  EXPECT_EQ(target->GetParam(5, 36, 1, 0)->Value, 0);
}

// ---- loading details ----

class DataFileLoad : public ::testing::Test {
 protected:
  TempFolder dir;
  std::string path = dir / "a.q70";
  Bytes file;
  void SetUp() override {
    auto source = DefaultCore();
    ChangeImage(*source, 3);
    ASSERT_EQ(source->SaveFile(kAllGroups, path), 0);
    file = ReadBytes(path);
    ASSERT_EQ(file.size(), kFileSize);
  }
};

TEST_F(DataFileLoad, RevisionFieldIsReadAsAHexadecimalNumber) {
  // Blanks first are skipped, the digits end at the first other character
  // or the field's end; no digit reads as 0.
  struct Case {
    const char field[3];
    int revision;
  } cases[] = {
      {"01", 1}, {"00", 0},  {"FF", 1},  {"0a", 1},  {"10", 1}, {" 1", 1},        {"1 ", 1},
      {"1G", 1}, {{'1', 0}, 1}, {"\t1", 1}, {"G1", 0}, {"  ", 0}, {"-1", 0}, {{0, 0}, 0}, {" 0", 0},
      {"0 ", 0}, {{0, '1'}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "field '" << c.field << "'");
    Bytes patched = file;
    patched[20] = static_cast<uint8_t>(c.field[0]);
    patched[21] = static_cast<uint8_t>(c.field[1]);
    FixChecksum(patched);
    WriteBytes(path, patched);
    auto core = DefaultCore();
    core->DataRevision = 1 - c.revision;
    ASSERT_EQ(core->LoadFile(path), 0);
    EXPECT_EQ(core->DataRevision, c.revision);
    // The settings revision 0 lacks are filled in only for revision 0.
    EXPECT_EQ(core->GetParam(5, 17, 1, 0)->Value == 50, c.revision == 0);
  }
}

TEST_F(DataFileLoad, OnlyAFlagOfExactlyOneTakesTheValue) {
  auto probe = DefaultCore();
  const int c91 = TablePositionOf(*probe, 4591);
  const int first = 0;
  Bytes patched = file;
  patched[AddressRecordAt(c91)] = 0;
  patched[AddressRecordAt(first)] = 2;
  patched[CellRecordAt(4, 5, 6)] = 0;
  patched[CellRecordAt(4, 5, 7)] = 0xFF;
  patched[ItemRecordAt(9, 25)] = 0;
  // A flag past the setup records selects nothing.
  patched[AddressRecordAt(467)] = 1;
  FixChecksum(patched);
  WriteBytes(path, patched);

  auto core = DefaultCore();
  const Snapshot before = Take(*core);
  ASSERT_EQ(core->LoadFile(path), 0);
  EXPECT_EQ(core->SetupRecord(c91)->Value, before.Values[c91]);
  EXPECT_EQ(core->SetupRecord(first)->Value, before.Values[first]);
  EXPECT_EQ(core->GetPatternValue(4, 5, 6)->Value, kEmptyValue);
  EXPECT_EQ(core->GetPatternValue(4, 5, 7)->Value, kEmptyValue);
  EXPECT_EQ(core->GetPatternValue(9, 25, 1)->Value, 0);
  // Their neighbours were taken.
  EXPECT_EQ(core->SetupRecord(1)->Value, Word(file, AddressRecordAt(core->SetupRecord(1)->Address) + 1));
  EXPECT_EQ(core->GetPatternValue(4, 5, 8)->Value, Word(file, CellRecordAt(4, 5, 8) + 1));
  EXPECT_EQ(core->GetPatternValue(9, 24, 1)->Value, Word(file, ItemRecordAt(9, 24) + 1));
}

TEST_F(DataFileLoad, TagsArePaddedFromTheirFirstNul) {
  Bytes patched = file;
  std::memcpy(&patched[kTagsAt + 8], "AB\0XYZ\0\0", 8);
  std::memcpy(&patched[kTagsAt + 16], "\0\0\0\0\0\0\0\0", 8);
  FixChecksum(patched);
  WriteBytes(path, patched);
  auto core = DefaultCore();
  ASSERT_EQ(core->LoadFile(path), 0);
  char tag[9];
  core->GetTag(2, tag);
  EXPECT_STREQ(tag, "AB      ");
  core->GetTag(3, tag);
  EXPECT_STREQ(tag, "        ");
  core->GetTag(1, tag);
  EXPECT_EQ(std::string(tag), std::string(file.begin() + kTagsAt, file.begin() + kTagsAt + 8));
}

TEST(DataFileRejected, LeavesTheImageUnchanged) {
  TempFolder dir;
  Bytes valid;
  {
    auto source = DefaultCore();
    ChangeImage(*source, 9);
    ASSERT_EQ(source->SaveFile(kAllGroups, dir / "valid.q70"), 0);
    valid = ReadBytes(dir / "valid.q70");
  }
  Bytes badChecksum = valid;
  badChecksum.back() = static_cast<uint8_t>(badChecksum.back() + 1);
  Bytes oldWrongMagic = OldTypeFile();
  oldWrongMagic[15] = '1';
  Bytes oldLowerCase = OldTypeFile();
  oldLowerCase[0] = 'q';

  struct Case {
    const char* name;
    std::function<void(const std::string&)> make;  // creates the file (or not)
    int result;
  } cases[] = {
      {"missing", [](const std::string&) {}, 1},
      {"a folder", [](const std::string& p) { mkdir(p.c_str(), 0755); }, 1},
      {"empty", [](const std::string& p) { WriteBytes(p, {}); }, 2},
      {"99,685 bytes", [&](const std::string& p) { WriteBytes(p, Bytes(valid.begin(), valid.end() - 1)); }, 2},
      {"99,687 bytes", [&](const std::string& p) { Bytes b = valid; b.push_back(0); WriteBytes(p, b); }, 2},
      {"43,073 bytes", [](const std::string& p) { Bytes b = OldTypeFile(); b.pop_back(); WriteBytes(p, b); }, 2},
      {"43,075 bytes", [](const std::string& p) { Bytes b = OldTypeFile(); b.push_back(0); WriteBytes(p, b); }, 2},
      {"a megabyte", [](const std::string& p) { WriteBytes(p, Bytes(1 << 20, 1)); }, 2},
      {"checksum off by one", [&](const std::string& p) { WriteBytes(p, badChecksum); }, 3},
      {"old size, all zero", [](const std::string& p) { WriteBytes(p, Bytes(kOldSize, 0)); }, 5},
      {"old size, magic's last digit wrong", [&](const std::string& p) { WriteBytes(p, oldWrongMagic); }, 5},
      {"old size, lower-case magic", [&](const std::string& p) { WriteBytes(p, oldLowerCase); }, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder here;
    const std::string path = here / "x.q70";
    c.make(path);
    const std::vector<std::string> names = here.Names();

    auto core = DefaultCore();
    ChangeImage(*core, 1);
    RecordingNotifier notices;
    core->Notifier = &notices;
    const Snapshot before = Take(*core);
    EXPECT_EQ(core->LoadFile(path), c.result);
    EXPECT_EQ(FirstDifference(Take(*core), before), "");
    EXPECT_TRUE(notices.Notices.empty());
    EXPECT_EQ(here.Names(), names);  // no backup made
  }
}

// ---- old type ----

class OldTypeFileTest : public ::testing::Test {
 protected:
  TempFolder dir;
  RecordingNotifier notices;
  std::unique_ptr<TCore> Load(const std::string& path, int language, int expected = 0) {
    auto core = DefaultCore(language);
    core->Notifier = &notices;
    EXPECT_EQ(core->DataRevision, 1);
    EXPECT_EQ(core->LoadFile(path), expected);
    return core;
  }
  void ExpectConverted(TCore& core) {
    EXPECT_EQ(core.DataRevision, 0);
    for (int k = 0; k < core.GetParamCount(); ++k) {
      const int a = core.SetupRecord(k)->Address;
      int expected = OldValueAt(a);
      if (a >= 3514 && a <= 3516) expected = kEmptyValue;  // not in the old type
      if (a >= 3517 && a <= 3536) expected = ((a - 3517) % 4 == 0) ? 50 : ((a - 3517) % 4 == 2) ? 5 : 0;
      EXPECT_EQ(core.SetupRecord(k)->Value, expected) << "address " << a;
    }
    for (int p = 1; p <= 19; ++p) {
      for (int s = 1; s <= 30; ++s)
        for (int i = 1; i <= 23; ++i) ASSERT_EQ(core.GetPatternValue(p, i, s)->Value, OldCell(p, i, s)) << p << " " << i << " " << s;
      for (int i = 24; i <= 26; ++i) EXPECT_EQ(core.GetPatternValue(p, i, 1)->Value, OldPatternItem(p, i));
      char tag[9], expected[9];
      core.GetTag(p, tag);
      std::snprintf(expected, sizeof expected, "OLD%02d ab", p);
      EXPECT_STREQ(tag, expected);
    }
  }
};

TEST_F(OldTypeFileTest, IsConvertedAndBackedUp) {
  const std::string path = dir / "old.dat";
  const Bytes old = OldTypeFile();
  WriteBytes(path, old);
  auto core = Load(path, 1);
  ExpectConverted(*core);

  EXPECT_EQ(ReadBytes(dir / "old.da_"), old);
  EXPECT_EQ(ReadBytes(path), old);
  ASSERT_EQ(notices.Notices.size(), 1u);
  EXPECT_EQ(notices.Notices[0].first,
            path + "is old type file Execute save version update．\nCreate current version file as " + dir.Path +
                "/old.da_");
  EXPECT_EQ(notices.Notices[0].second, "KVL-Q70");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"old.da_", "old.dat"}));

  // A second load replaces the earlier backup.
  WriteBytes(dir / "old.da_", {1, 2, 3});
  Load(path, 1);
  EXPECT_EQ(ReadBytes(dir / "old.da_"), old);
}

TEST_F(OldTypeFileTest, JapaneseNoticesAndAMultiByteLastCharacter) {
  const std::string path = dir / "古い.ﾃﾞｰﾀ";
  const Bytes old = OldTypeFile();
  WriteBytes(path, old);
  auto core = Load(path, 0);
  ExpectConverted(*core);
  const std::string backup = dir / "古い.ﾃﾞｰ_";
  EXPECT_EQ(ReadBytes(backup), old);
  ASSERT_EQ(notices.Notices.size(), 1u);
  EXPECT_EQ(notices.Notices[0].first, path + "は古いﾊﾞｰｼﾞｮﾝのﾌｧｲﾙです．保存を行うとﾊﾞｰｼﾞｮﾝが更新されます．" +
                                          "\n現在のﾊﾞｰｼﾞｮﾝのﾌｧｲﾙ形式でﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ" + backup + "を作成します");
}

TEST_F(OldTypeFileTest, SourceEndingInUnderscoreKeepsItsBytes) {
  struct Case {
    int language;
    const char* failure;  // the second notice, before and after the backup name
    const char* after;
  } cases[] = {
      {1, "Can not create bakupfile ", ""},
      {0, "ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ", "を作成できませんでした"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    notices.Notices.clear();
    const std::string path = dir / "old.da_";
    const Bytes old = OldTypeFile();
    WriteBytes(path, old);
    auto core = Load(path, c.language);
    ExpectConverted(*core);
    EXPECT_EQ(ReadBytes(path), old);
    ASSERT_EQ(notices.Notices.size(), 2u);
    EXPECT_EQ(notices.Notices[1].first, std::string(c.failure) + path + c.after);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"old.da_"}));
  }
}

TEST_F(OldTypeFileTest, BackupThatCannotBeWrittenStillConverts) {
  struct Case {
    const char* name;
    FailingCalls::Step step;
  } cases[] = {{"write", FailingCalls::Step::Write}, {"close", FailingCalls::Step::Close}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    notices.Notices.clear();
    const std::string path = dir / "old.dat";
    WriteBytes(path, OldTypeFile());
    WriteBytes(dir / "old.da_", {9, 9, 9});
    std::unique_ptr<TCore> core;
    {
      FailingCalls failing(c.step);
      core = Load(path, 1);
    }
    ExpectConverted(*core);
    ASSERT_EQ(notices.Notices.size(), 2u);
    EXPECT_EQ(notices.Notices[1].first, "Can not create bakupfile " + dir / "old.da_");
    // The earlier backup stays as it was; no temporary file is left.
    EXPECT_EQ(ReadBytes(dir / "old.da_"), (Bytes{9, 9, 9}));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"old.da_", "old.dat"}));
  }
}

TEST_F(OldTypeFileTest, BackupNamingTheSourceThroughALinkIsNotWritten) {
  const std::string path = dir / "old.dat";
  const Bytes old = OldTypeFile();
  WriteBytes(path, old);
  ASSERT_EQ(symlink("old.dat", (dir / "old.da_").c_str()), 0);
  auto core = Load(path, 1);
  ExpectConverted(*core);
  ASSERT_EQ(notices.Notices.size(), 2u);
  EXPECT_EQ(notices.Notices[1].first, "Can not create bakupfile " + dir / "old.da_");
  EXPECT_EQ(ReadBytes(path), old);
}

// ---- failed saves ----

TEST(DataFileSaveFailure, LeavesThePreviousFileWhole) {
  const Bytes previous = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};
  struct Case {
    const char* name;
    FailingCalls::Step failing;
    int afterCalls;
    std::optional<kvl::DriveKind> drive;  // none: the system's drive query
    std::optional<uint64_t> free;
    int result;
  } cases[] = {
      {"write fails", FailingCalls::Step::Write, 0, {}, {}, 1},
      {"flush fails", FailingCalls::Step::Sync, 0, {}, {}, 1},
      {"close fails", FailingCalls::Step::Close, 0, {}, {}, 1},
      {"rename fails", FailingCalls::Step::Rename, 0, {}, {}, 1},
      {"149,999 bytes free", FailingCalls::Step::None, 0, kvl::DriveKind::Fixed, 149999, 2},
      {"nothing free", FailingCalls::Step::None, 0, kvl::DriveKind::Fixed, 0, 2},
      {"a CD-ROM", FailingCalls::Step::None, 0, kvl::DriveKind::CdRom, 1u << 30, 3},
      {"150,000 bytes free", FailingCalls::Step::None, 0, kvl::DriveKind::Fixed, 150000, 0},
      {"network drive, free space not asked", FailingCalls::Step::None, 0, kvl::DriveKind::Network, 0, 0},
      {"drive that cannot be asked", FailingCalls::Step::None, 0, kvl::DriveKind::Unknown, std::nullopt, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    const std::string path = dir / "a.q70";
    WriteBytes(path, previous);
    auto core = DefaultCore();
    int result;
    {
      std::optional<FakeDrive> drive;
      if (c.drive) drive.emplace(*c.drive, c.free);
      FailingCalls failing(c.failing, c.afterCalls);
      result = core->SaveFile(kAllGroups, path);
      if (drive) {
        EXPECT_EQ(drive->Folder, dir.Path);
      }
    }
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(ReadBytes(path).size(), c.result == 0 ? kFileSize : previous.size());
    if (c.result != 0) {
      EXPECT_EQ(ReadBytes(path), previous);
    }
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a.q70"}));
  }
}

TEST(DataFileSaveFailure, MissingFolderAndLongPaths) {
  TempFolder dir;
  auto core = DefaultCore();
  EXPECT_EQ(core->SaveFile(kAllGroups, dir / "missing/a.q70"), 1);
  EXPECT_EQ(core->SaveFile(kAllGroups, ""), 1);

  // 255 characters are refused before any drive or file access.
  const std::string prefix = dir.Path + "/";
  const std::string at255 = prefix + std::string(255 - prefix.size(), 'x');
  const std::string at254 = prefix + std::string(254 - prefix.size(), 'x');
  ASSERT_EQ(at255.size(), 255u);
  {
    FakeDrive drive(kvl::DriveKind::Fixed, 1u << 30);
    EXPECT_EQ(core->SaveFile(kAllGroups, at255), 4);
    EXPECT_EQ(drive.Queries, 0);
    EXPECT_EQ(core->SaveFile(kAllGroups, at254), 0);
  }
  EXPECT_EQ(ReadBytes(at254).size(), kFileSize);
  // A character is a code point, whatever its bytes; a byte that starts no
  // character counts as one.
  const std::string kana = prefix + std::string(254 - prefix.size() - 1, 'x') + "ｱ";  // 3 bytes
  EXPECT_EQ(core->SaveFile(kAllGroups, kana), 0);
  EXPECT_EQ(core->SaveFile(kAllGroups, kana + "x"), 4);
  const std::string stray = prefix + std::string(254 - prefix.size() - 1, 'x') + "\xE3\x81";  // cut off
  EXPECT_EQ(core->SaveFile(kAllGroups, stray), 4);
  EXPECT_EQ(dir.Names().size(), 2u);
}

TEST(PathCharacters, CodePointsAndStrayBytes) {
  const struct {
    const char* text;
    size_t characters;
  } cases[] = {
      {"", 0},         {"abc", 3},           {"ｱ", 1},                 {"日本語", 3},
      {"\xF0\x9F\x98\x80", 1},  // four bytes
      {"\xE3\x81", 2},          // cut off: each byte on its own
      {"\x80x", 2},              // a continuation byte without a lead
      {"\xC0\xAF", 2},          // overlong
      {"\xED\xA0\x80", 3},      // a surrogate
      {"\xFF", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(PathCharacterCount(c.text), c.characters);
  }
}

TEST(DataFileSave, AJapanesePathOfFewCharactersIsSavedAndListed) {
  // 97 characters, relative to the working folder, in 281 bytes: a folder
  // and a file, each name within the file system's 255 bytes.
  TempFolder dir;
  auto core = DefaultCore();
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir.Path.c_str()), 0);
  std::string folder, name;
  for (int i = 0; i < 50; ++i) folder += "定";
  for (int i = 0; i < 42; ++i) name += "設";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  const std::string path = folder + "/" + name + ".q70";
  const std::string listing = folder + "/" + name + ".csv";
  EXPECT_EQ(PathCharacterCount(path), 97u);
  EXPECT_EQ(path.size(), 281u);
  EXPECT_EQ(core->SaveFile(kAllGroups, path), 0);
  EXPECT_EQ(ReadBytes(path).size(), kFileSize);
  EXPECT_EQ(core->LoadFile(path), 0);
  EXPECT_EQ(core->OpenExportFile(listing), 0);
  core->CloseExportFile();
  EXPECT_EQ(access(listing.c_str(), F_OK), 0);
  ASSERT_EQ(chdir(previous), 0);
}

TEST(DataFileSave, KeepsPermissionsAndReplacesTheFileALinkNames) {
  TempFolder dir;
  auto core = DefaultCore();
  const std::string real = dir / "real.q70";
  WriteBytes(real, {1, 2, 3});
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(symlink("real.q70", (dir / "link.q70").c_str()), 0);

  ASSERT_EQ(core->SaveFile(kAllGroups, dir / "link.q70"), 0);
  struct stat info {};
  ASSERT_EQ(lstat((dir / "link.q70").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(ReadBytes(real).size(), kFileSize);
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"link.q70", "real.q70"}));
}

}  // namespace
