// The program's own data file: writing the current type, reading the current
// and the old type.
//
// Every value is written and read field by field, little-endian. A load is
// parsed completely into a scratch image first and applied only when the file
// was accepted, so a rejected file leaves the data image as it was.

#include <array>
#include <cctype>
#include <cstring>
#include <vector>

#include "FileIo.h"
#include "FileTarget.h"
#include "UCore.h"

namespace {

// Current type.
constexpr size_t kHeaderSize = 32;
constexpr int kAddressRecordCount = 20000;
constexpr size_t kAddressRecordsAt = kHeaderSize;
constexpr size_t kCellRecordsAt = kAddressRecordsAt + 3 * kAddressRecordCount;  // 60,032
constexpr int kCellRecordCount = kPatternCount * kSegmentItemCount * kSegmentCount;
constexpr size_t kItemRecordsAt = kCellRecordsAt + 3 * kCellRecordCount;  // 99,362
constexpr int kItemRecordCount = kPatternCount * kPatternItemCount;
constexpr size_t kTagsAt = kItemRecordsAt + 3 * kItemRecordCount;  // 99,533
constexpr size_t kChecksumAt = kTagsAt + 8 * kPatternCount;        // 99,685
static_assert(kChecksumAt + 1 == TCore::kDataFileSize);

// A save needs this much room on the target's drive.
constexpr uint64_t kSaveMinFreeBytes = 150000;

// Old type.
constexpr char kOldMagic[] = "Q70A000000000000";
struct AddressRun {
  size_t At;
  int FirstAddress;
  int Count;
};
constexpr AddressRun kOldRuns[] = {
    {34, 2501, 33}, {100, 3001, 22}, {144, 3501, 13}, {170, 1501, 80},
    {330, 2001, 80}, {490, 4501, 100}, {690, 4001, 66}, {822, 1001, 50},
};
constexpr size_t kOldPatternsAt = 1122;
constexpr size_t kOldPatternSize = 2208;
constexpr size_t kOldSegmentSize = 72;
constexpr size_t kOldTagAt = kSegmentCount * kOldSegmentSize;  // inside a pattern block
static_assert(kOldPatternsAt + kPatternCount * kOldPatternSize == TCore::kOldDataFileSize);

// The event-configuration rows that the old type does not hold ("Unused").
constexpr int kOldMissingFirst = 3514;
constexpr int kOldMissingLast = 3516;

const char* const kNoticeCaption = "KVL-Q70";

int16_t ReadI16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))); }

void PutI16(uint8_t* p, int16_t value) {
  const uint16_t v = static_cast<uint16_t>(value);
  p[0] = static_cast<uint8_t>(v & 0xFF);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void PutRecord(std::vector<uint8_t>& file, size_t at, uint8_t flag, int16_t value) {
  file[at] = flag;
  PutI16(&file[at + 1], value);
}

uint8_t SumOf(const uint8_t* data, size_t size) {
  unsigned sum = 0;
  for (size_t i = 0; i < size; ++i) sum += data[i];
  return static_cast<uint8_t>(sum & 0xFF);
}

int HexDigit(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A hexadecimal number in a fixed field: leading white space skipped, then
// digits up to the first other character or the field's end; 0 when no
// digit is there.
unsigned ReadHexField(const uint8_t* field, size_t size) {
  size_t i = 0;
  while (i < size && std::isspace(field[i])) ++i;
  unsigned value = 0;
  for (; i < size && HexDigit(field[i]) >= 0; ++i) value = value * 16 + static_cast<unsigned>(HexDigit(field[i]));
  return value;
}

// The time-event settings 3517..3536 that files of revision 0 lack: true,
// with the value to use, for an address among them.
bool Revision0Setting(int address, int16_t& value) {
  if (address < 3517 || address > 3536) return false;
  static constexpr int16_t kCycle[4] = {50, 0, 5, 0};
  value = kCycle[(address - 3517) % 4];
  return true;
}

// Offset of record (pattern, item, segment), all 1-based, in the current type.
size_t CellRecordAt(int pattern, int item, int segment) {
  return kCellRecordsAt +
         3 * static_cast<size_t>(((pattern - 1) * kSegmentItemCount + (item - 1)) * kSegmentCount + (segment - 1));
}
size_t ItemRecordAt(int pattern, int k) {
  return kItemRecordsAt + 3 * static_cast<size_t>((pattern - 1) * kPatternItemCount + (k - 1));
}

// What a file puts into the data image; an entry is applied when taken.
struct LoadedImage {
  int32_t Revision = 0;
  std::array<int16_t, kSetupParamCount> Setup{};
  std::array<bool, kSetupParamCount> SetupTaken{};
  int16_t Cells[kPatternCount][kSegmentItemCount][kSegmentCount] = {};
  bool CellTaken[kPatternCount][kSegmentItemCount][kSegmentCount] = {};
  int16_t Items[kPatternCount][kPatternItemCount] = {};
  bool ItemTaken[kPatternCount][kPatternItemCount] = {};
  char Tags[kPatternCount][9] = {};
};

// Takes the value of every setup record whose flag (by table position) is 1
// from its address; revision 0 fills in the settings it lacks.
template <typename FlagAt, typename ValueAt>
void TakeSetupValues(TCore& core, int revision, FlagAt flagAt, ValueAt valueAt, LoadedImage& image) {
  for (int k = 0; k < kSetupParamCount; ++k) {
    if (flagAt(k) != 1) continue;
    const int address = core.SetupRecord(k)->Address;
    if (address >= kAddressRecordCount) continue;
    int16_t value;
    if (revision != 0 || !Revision0Setting(address, value)) value = valueAt(address);
    image.Setup[k] = value;
    image.SetupTaken[k] = true;
  }
}

void ReadCurrent(TCore& core, const std::vector<uint8_t>& file, LoadedImage& image) {
  image.Revision = ReadHexField(&file[20], 2) != 0 ? 1 : 0;

  // Only the records the setup parameters name are looked at: flags by table
  // position, values by address.
  TakeSetupValues(
      core, image.Revision, [&](int k) { return file[kAddressRecordsAt + 3 * static_cast<size_t>(k)]; },
      [&](int address) { return ReadI16(&file[kAddressRecordsAt + 3 * static_cast<size_t>(address) + 1]); }, image);

  for (int p = 1; p <= kPatternCount; ++p) {
    for (int i = 1; i <= kSegmentItemCount; ++i)
      for (int s = 1; s <= kSegmentCount; ++s) {
        const size_t at = CellRecordAt(p, i, s);
        if (file[at] != 1) continue;
        image.Cells[p - 1][i - 1][s - 1] = ReadI16(&file[at + 1]);
        image.CellTaken[p - 1][i - 1][s - 1] = true;
      }
    for (int k = 1; k <= kPatternItemCount; ++k) {
      const size_t at = ItemRecordAt(p, k);
      if (file[at] != 1) continue;
      image.Items[p - 1][k - 1] = ReadI16(&file[at + 1]);
      image.ItemTaken[p - 1][k - 1] = true;
    }
    std::memcpy(image.Tags[p - 1], &file[kTagsAt + 8 * static_cast<size_t>(p - 1)], 8);
  }
}

// False when the file lacks the old-type magic.
bool ReadOld(TCore& core, const std::vector<uint8_t>& file, LoadedImage& image) {
  if (std::memcmp(file.data(), kOldMagic, 16) != 0) return false;
  image.Revision = 0;

  // Every setup record takes its value; the old type has none for the
  // "Unused" rows, which get their default.
  std::vector<int16_t> values(kAddressRecordCount, 0);
  for (const AddressRun& run : kOldRuns)
    for (int n = 0; n < run.Count; ++n) values[run.FirstAddress + n] = ReadI16(&file[run.At + 2 * n]);
  for (int a = kOldMissingFirst; a <= kOldMissingLast; ++a) values[a] = kEmptyValue;
  TakeSetupValues(
      core, 0, [](int) { return 1; }, [&](int address) { return values[address]; }, image);

  for (int p = 1; p <= kPatternCount; ++p) {
    const size_t block = kOldPatternsAt + kOldPatternSize * static_cast<size_t>(p - 1);
    for (int s = 1; s <= kSegmentCount; ++s) {
      const uint8_t* segment = &file[block + kOldSegmentSize * static_cast<size_t>(s - 1)];
      for (int i = 1; i <= kSegmentItemCount; ++i) {
        image.Cells[p - 1][i - 1][s - 1] = ReadI16(segment + 2 * (i - 1));
        image.CellTaken[p - 1][i - 1][s - 1] = true;
      }
      if (s != 1) continue;
      for (int k = 1; k <= kPatternItemCount; ++k) {
        image.Items[p - 1][k - 1] = ReadI16(segment + 2 * (kSegmentItemCount + k - 1));
        image.ItemTaken[p - 1][k - 1] = true;
      }
    }
    std::memcpy(image.Tags[p - 1], &file[block + kOldTagAt], 8);
  }
  return true;
}

void Apply(TCore& core, LoadedImage& image) {
  core.DataRevision = image.Revision;
  for (int k = 0; k < kSetupParamCount; ++k)
    if (image.SetupTaken[k]) core.SetupRecord(k)->Value = image.Setup[k];
  for (int p = 1; p <= kPatternCount; ++p) {
    for (int i = 1; i <= kSegmentItemCount; ++i)
      for (int s = 1; s <= kSegmentCount; ++s)
        if (image.CellTaken[p - 1][i - 1][s - 1])
          if (PatternSlot* cell = core.GetPatternValue(p, i, s)) cell->Value = image.Cells[p - 1][i - 1][s - 1];
    for (int k = 1; k <= kPatternItemCount; ++k)
      if (image.ItemTaken[p - 1][k - 1])
        if (PatternSlot* cell = core.GetPatternValue(p, kSegmentItemCount + k, 1))
          cell->Value = image.Items[p - 1][k - 1];
    core.SetTag(p, image.Tags[p - 1]);
  }
}

// The path with its last (UTF-8) character replaced by "_".
std::string BackupPathOf(const std::string& path) {
  size_t last = path.size();
  if (last == 0) return path;
  --last;
  while (last > 0 && (static_cast<uint8_t>(path[last]) & 0xC0) == 0x80) --last;
  return path.substr(0, last) + "_";
}

void Notify(TCore& core, const std::string& text) {
  if (core.Notifier) core.Notifier->ShowNotice(text, kNoticeCaption);
}

// The copy of a converted old-type file, from the bytes read: the backup can
// never overwrite its own source.
void BackUpOldFile(TCore& core, const std::string& path, const std::vector<uint8_t>& file) {
  const std::string backup = BackupPathOf(path);
  const bool english = core.Language != 0;
  if (english)
    Notify(core, path + "is old type file Execute save version update．" + "\nCreate current version file as " +
                     backup);
  else
    Notify(core, path + "は古いﾊﾞｰｼﾞｮﾝのﾌｧｲﾙです．保存を行うとﾊﾞｰｼﾞｮﾝが更新されます．" +
                     "\n現在のﾊﾞｰｼﾞｮﾝのﾌｧｲﾙ形式でﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ" + backup + "を作成します");

  const bool isSource = backup == path || kvl::SameFile(backup, path);
  if (!isSource && kvl::ReplaceFile(backup, file.data(), file.size())) return;
  if (english)
    Notify(core, "Can not create bakupfile " + backup);
  else
    Notify(core, "ﾊﾞｯｸｱｯﾌﾟﾌｧｲﾙ" + backup + "を作成できませんでした");
}

}  // namespace

int TCore::SaveFile(GroupList groups, const std::string& path) {
  if (const int check = CheckFileTarget(path, kSaveMinFreeBytes); check != 0) return check;

  std::vector<uint8_t> file(kDataFileSize, 0);
  const size_t codeLength = ModelCode.size() < 16 ? ModelCode.size() : 16;
  std::memcpy(file.data(), ModelCode.data(), codeLength);
  std::memcpy(&file[16], "01", 2);
  std::memcpy(&file[18], "01", 2);
  static const char kHex[] = "0123456789ABCDEF";
  const unsigned revision = static_cast<unsigned>(DataRevision) & 0xFF;
  file[20] = static_cast<uint8_t>(kHex[revision >> 4]);
  file[21] = static_cast<uint8_t>(kHex[revision & 0xF]);

  // The value of each record sits at its address; its flag at its table
  // position. Records that no parameter fills stay flag 0, value 0.
  std::vector<uint8_t> flags(kAddressRecordCount, 0);
  std::vector<int16_t> values(kAddressRecordCount, 0);
  for (int k = 0; k < kSetupParamCount; ++k) {
    const ParamDescriptor* record = SetupRecord(k);
    if (record->Address < kAddressRecordCount) values[record->Address] = record->Value;
    flags[k] = GroupListNames(groups, record->Group) ? 1 : 0;
  }
  for (int a = 0; a < kAddressRecordCount; ++a)
    PutRecord(file, kAddressRecordsAt + 3 * static_cast<size_t>(a), flags[a], values[a]);

  auto itemFlag = [&](int item) -> uint8_t {
    const ParamDescriptor* record = GetParam(1, item, 1, 0);
    return record && GroupListNames(groups, record->Group) ? 1 : 0;
  };
  for (int p = 1; p <= kPatternCount; ++p) {
    for (int i = 1; i <= kSegmentItemCount; ++i) {
      const uint8_t flag = itemFlag(i);
      for (int s = 1; s <= kSegmentCount; ++s) {
        const PatternSlot* cell = GetPatternValue(p, i, s);
        PutRecord(file, CellRecordAt(p, i, s), flag, cell ? cell->Value : kEmptyValue);
      }
    }
    for (int k = 1; k <= kPatternItemCount; ++k) {
      const PatternSlot* cell = GetPatternValue(p, kSegmentItemCount + k, 1);
      PutRecord(file, ItemRecordAt(p, k), itemFlag(kSegmentItemCount + k), cell ? cell->Value : 0);
    }
    char tag[9];
    if (!GetTag(p, tag)) std::memset(tag, ' ', 8);
    std::memcpy(&file[kTagsAt + 8 * static_cast<size_t>(p - 1)], tag, 8);
  }
  file[kChecksumAt] = SumOf(file.data(), kChecksumAt);

  return kvl::ReplaceFile(path, file.data(), file.size()) ? 0 : 1;
}

int TCore::LoadFile(const std::string& path) {
  std::vector<uint8_t> file;
  switch (kvl::ReadWholeFile(path, kDataFileSize, file)) {
    case kvl::ReadStatus::Ok: break;
    case kvl::ReadStatus::TooLarge: return 2;
    case kvl::ReadStatus::CannotOpen:
    case kvl::ReadStatus::ReadError: return 1;
  }
  const bool current = file.size() == kDataFileSize;
  if (!current && file.size() != kOldDataFileSize) return 2;

  auto image = std::make_unique<LoadedImage>();
  if (current) {
    if (SumOf(file.data(), kChecksumAt) != file[kChecksumAt]) return 3;
    ReadCurrent(*this, file, *image);
  } else if (!ReadOld(*this, file, *image)) {
    return 5;
  }
  Apply(*this, *image);
  if (!current) BackUpOldFile(*this, path, file);
  return 0;
}
