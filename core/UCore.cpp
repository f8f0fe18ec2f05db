#include "UCore.h"

#include <cstring>

TCore::TCore(int language) {
  Protocol = std::make_unique<TProtocol>();
  LineSetting = 1;
  PortNumber = 1;
  Language = language;
  AccessLevel = 1;

  std::memcpy(ProgramItems, kProgramItemRecords, sizeof ProgramItems);
  std::memcpy(SetupParams, kSetupParamRecords, sizeof SetupParams);
  std::memcpy(TreeNodes, kTreeNodeRecords, sizeof TreeNodes);
  for (int p = 0; p < kPatternCount; ++p) {
    for (int i = 0; i < kSegmentItemCount; ++i) {
      // The PID set numbers (items 20 and 21) start at 0, every other cell empty.
      const int16_t initial = (i == 19 || i == 20) ? 0 : kEmptyValue;
      for (int s = 0; s < kSegmentCount; ++s) Slots[p][i][s] = {initial, 0};
    }
    for (int k = 0; k < kPatternItemCount; ++k) ItemSlots[p][k] = {0, 0};
    PatternTagEntry& tag = Tags[p];
    std::memset(&tag, 0, sizeof tag);
    std::snprintf(tag.DefaultTag, sizeof tag.DefaultTag, "PROG%02d  ", p + 1);
    std::memcpy(tag.WorkingTag, tag.DefaultTag, sizeof tag.WorkingTag);
    tag.PatternNumber = static_cast<int16_t>(p + 1);
  }

  InitTables();
  ModelCode = "Q41A0D0AS000**";
  DataRevision = 1;
  WriteAddressOffset = 0;
  ReadAddressOffset = 0;
  ShowAll = 0;
}

TCore::~TCore() { FormDestroy(); }

void TCore::FormDestroy() {
  if (Protocol) {
    Protocol->Close();
    Protocol.reset();
  }
  // A listing left open is closed, so its stream is not leaked.
  if (ExportFile) {
    std::fclose(ExportFile);
    ExportFile = nullptr;
  }
}

void TCore::InitTables() {
  std::memset(DescriptorIndex, 0, sizeof DescriptorIndex);
  std::memset(PatternItemIndex, 0, sizeof PatternItemIndex);
  std::memset(PatternSlotIndex, 0, sizeof PatternSlotIndex);
  std::memset(PatternItemSlotIndex, 0, sizeof PatternItemSlotIndex);
  std::memset(TagIndex, 0, sizeof TagIndex);

  for (int p = 1; p <= kPatternCount; ++p) {
    for (int i = 1; i <= kSegmentItemCount; ++i)
      for (int s = 1; s <= kSegmentCount; ++s) PatternSlotIndex[p][i][s] = &Slots[p - 1][i - 1][s - 1];
    for (int k = 1; k <= kPatternItemCount; ++k) PatternItemSlotIndex[p][k] = &ItemSlots[p - 1][k - 1];
  }
  // Walking backwards lets the first record of a key win.
  for (int r = kSetupParamCount - 1; r >= 0; --r) {
    ParamDescriptor& d = SetupParams[r];
    if (d.Bank >= 0 && d.Bank < 32 && d.Item >= 0 && d.Item <= 100 && d.Sub >= 0 && d.Sub <= 30)
      DescriptorIndex[d.Bank][d.Item][d.Sub] = &d;
  }
  for (int r = kProgramItemCount - 1; r >= 0; --r) {
    ParamDescriptor& d = ProgramItems[r];
    if (d.Item >= 0 && d.Item <= kProgramItemCount) PatternItemIndex[d.Item] = &d;
  }
  for (int r = kPatternCount - 1; r >= 0; --r) {
    PatternTagEntry& t = Tags[r];
    if (t.PatternNumber >= 0 && t.PatternNumber <= kPatternCount) TagIndex[t.PatternNumber] = &t;
  }
}

ParamDescriptor* TCore::DescriptorPtr(int bank, int item, int sub) {
  if (bank < 0 || bank > 31 || item < 0 || item > 100 || sub < 0 || sub > 30) return nullptr;
  if (bank == 1) return item <= kProgramItemCount ? PatternItemIndex[item] : nullptr;
  return DescriptorIndex[bank][item][sub];
}

ParamDescriptor* TCore::GetParam(int bank, int item, int sub, uint16_t entryKind) {
  ParamDescriptor* d = DescriptorPtr(bank, item, sub);
  if (!d || d->EntryKind != entryKind || d->Item != item) return nullptr;
  return d;
}

PatternSlot* TCore::PatternSlotPtr(int pattern, int item, int segment) {
  if (pattern < 0 || pattern > kPatternCount || item < 0 || item > kProgramItemCount || segment < 0 ||
      segment > kSegmentCount)
    return nullptr;
  if (item > kSegmentItemCount) return PatternItemSlotIndex[pattern][item - kSegmentItemCount];
  return PatternSlotIndex[pattern][item][segment];
}

PatternSlot* TCore::GetPatternValue(int pattern, int item, int segment) {
  return PatternSlotPtr(pattern, item, segment);
}

PatternTagEntry* TCore::TagPtr(int pattern) {
  if (pattern < 0 || pattern > kPatternCount) return nullptr;
  return TagIndex[pattern];
}

char* TCore::CopyTag8(char* destination9, const char* source8) {
  std::memcpy(destination9, source8, 8);
  char* nul = static_cast<char*>(std::memchr(destination9, '\0', 8));
  if (nul) std::memset(nul, ' ', static_cast<size_t>(destination9 + 8 - nul));
  destination9[8] = '\0';
  return destination9;
}

bool TCore::GetTag(int pattern, char* out9) {
  PatternTagEntry* t = TagPtr(pattern);
  if (!t) return false;
  CopyTag8(out9, t->WorkingTag);
  return true;
}

bool TCore::SetTag(int pattern, char* inOut9) {
  PatternTagEntry* t = TagPtr(pattern);
  if (!t) return false;
  char* nul = static_cast<char*>(std::memchr(inOut9, '\0', 8));
  if (nul) {
    std::memset(nul, ' ', static_cast<size_t>(inOut9 + 8 - nul));
    inOut9[8] = '\0';
  }
  CopyTag8(t->WorkingTag, inOut9);
  return true;
}

bool TCore::GetDefaultPatternName(int index, char* out9, int16_t* patternNumber) {
  if (index < 0 || index >= kPatternCount) return false;
  std::memcpy(out9, Tags[index].WorkingTag, 8);
  out9[8] = '\0';
  if (patternNumber) *patternNumber = Tags[index].PatternNumber;
  return true;
}

void TCore::SaveSlot(int pattern, int item, int segment) {
  if (PatternSlot* s = PatternSlotPtr(pattern, item, segment)) s->SecondValue = s->Value;
}

void TCore::RestoreSlot(int pattern, int item, int segment) {
  if (PatternSlot* s = PatternSlotPtr(pattern, item, segment)) s->Value = s->SecondValue;
}
