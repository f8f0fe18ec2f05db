// Whole-image transfer: the full read into the received copies, the full
// write from the working values, the commit of what a read received, the
// controller probe and the feature flag.
//
// Controller layout of program data: segment 0 carries the three pattern
// items (controller items 1..3) and the tag (items 4..7, two characters a
// word, the first in the high byte); segments 1..30 carry items 1..23.
#include <cstring>

#include "UCore.h"

namespace {

constexpr int kTagWords = 4;
constexpr int kHeadItems = kPatternItemCount + kTagWords;  // words of segment 0
constexpr uint8_t kRefusalG = 0x47;                         // 'G'
constexpr uint8_t kRefusalI = 0x49;                         // 'I'

void Notify(TCore::TransferObserver* observer, int steps) {
  if (observer && steps > 0) observer->ProgressStep(steps);
}

void FrameDone(TCore::TransferObserver* observer) {
  if (observer) observer->FrameDone();
}

void PackTag(const char* tag8, uint16_t words[kTagWords]) {
  for (int k = 0; k < kTagWords; ++k)
    words[k] = static_cast<uint16_t>((static_cast<uint8_t>(tag8[2 * k]) << 8) | static_cast<uint8_t>(tag8[2 * k + 1]));
}

void UnpackTag(const uint16_t words[kTagWords], char tag8[8]) {
  for (int k = 0; k < kTagWords; ++k) {
    tag8[2 * k] = static_cast<char>(words[k] >> 8);
    tag8[2 * k + 1] = static_cast<char>(words[k] & 0xFF);
  }
}

// Walks the setup records in table order and cuts the taken ones into runs
// of at most kMaxRunWords consecutive addresses. take(index) decides whether
// a record is taken; send(start, index, count) moves one run (index: the
// table indexes of its records, in order) and returns false to stop the walk.
template <typename Take, typename Send>
bool WalkRuns(TCore& core, int16_t offset, Take take, Send send) {
  int runStart = 0;
  int runLength = 0;
  int runIndex[TCore::kMaxRunWords];
  for (int r = 0; r < kSetupParamCount; ++r) {
    if (!take(r)) continue;
    const int address = core.SetupRecord(r)->Address + offset;
    if (runLength > 0 && address == runStart + runLength && runLength < TCore::kMaxRunWords) {
      runIndex[runLength++] = r;
      continue;
    }
    if (runLength > 0 && !send(static_cast<uint16_t>(runStart), runIndex, runLength)) return false;
    runStart = address;
    runLength = 0;
    runIndex[runLength++] = r;
  }
  if (runLength > 0 && !send(static_cast<uint16_t>(runStart), runIndex, runLength)) return false;
  return true;
}

bool ReadAttribute(uint8_t attribute) { return attribute == 1 || attribute == 3; }
bool WriteAttribute(uint8_t attribute) { return attribute == 2 || attribute == 3; }

}  // namespace

int TCore::ProgressMaximum(const TransferRange& range) {
  return kProgressBase + (range.CheckProgram ? kProgressPrograms : 0) +
         (range.CheckParameter ? kProgressParameters : 0);
}

void TCore::ClearReceivedMarks() {
  std::memset(SetupReceived, 0, sizeof SetupReceived);
  std::memset(SegmentReceived, 0, sizeof SegmentReceived);
}

bool TCore::ReadAllFromController(uint8_t group, const TransferRange& range, TransferObserver* observer) {
  if (observer) observer->ProgressMaximum(ProgressMaximum(range));
  // What this read may take is received anew; earlier marks of it go.
  for (int r = 0; r < kSetupParamCount; ++r)
    if (SetupParams[r].Group == group) SetupReceived[r] = false;
  if (group == 1) std::memset(SegmentReceived, 0, sizeof SegmentReceived);

  if (range.CheckProgram && group == 1) {
    const ParamDescriptor* first = DescriptorPtr(1, 1, 1);
    const ParamDescriptor* head = DescriptorPtr(1, kSegmentItemCount + 1, 1);
    const uint8_t headStart = static_cast<uint8_t>(head->Address + ReadAddressOffset);
    const uint8_t segmentStart = static_cast<uint8_t>(first->Address + ReadAddressOffset);
    for (int p = 1; p <= kPatternCount; ++p) {
      uint16_t words[kSegmentItemCount];
      if (!Protocol->ReadProgram(static_cast<uint8_t>(p), 0, words, kHeadItems, headStart)) return false;
      for (int k = 0; k < kPatternItemCount; ++k)
        PatternSlotPtr(p, kSegmentItemCount + 1 + k, 1)->SecondValue = static_cast<int16_t>(words[k]);
      char tag[8];
      UnpackTag(words + kPatternItemCount, tag);
      CopyTag8(TagPtr(p)->ReceivedTag, tag);
      SegmentReceived[p][0] = true;
      FrameDone(observer);
      Notify(observer, kPatternItemCount);

      for (int s = 1; s <= kSegmentCount; ++s) {
        if (!Protocol->ReadProgram(static_cast<uint8_t>(p), static_cast<uint8_t>(s), words, kSegmentItemCount,
                                   segmentStart))
          return false;
        for (int i = 1; i <= kSegmentItemCount; ++i)
          PatternSlotPtr(p, i, s)->SecondValue = static_cast<int16_t>(words[i - 1]);
        SegmentReceived[p][s] = true;
        FrameDone(observer);
        Notify(observer, kSegmentItemCount);
      }
    }
  }

  if (range.CheckParameter || group == 2) {
    auto take = [&](int r) { return SetupParams[r].Group == group && ReadAttribute(SetupParams[r].Attribute); };
    auto send = [&](uint16_t start, const int* index, int count) {
      uint16_t words[kMaxRunWords];
      if (!Protocol->ReadWords(start, static_cast<int16_t>(count), words)) return false;
      for (int k = 0; k < count; ++k) {
        SetupParams[index[k]].ReceivedValue = static_cast<int16_t>(words[k]);
        SetupReceived[index[k]] = true;
      }
      FrameDone(observer);
      Notify(observer, count);
      return true;
    };
    if (!WalkRuns(*this, ReadAddressOffset, take, send)) return false;
  }
  return true;
}

bool TCore::WriteAllToController(uint8_t group, const TransferRange& range, TransferObserver* observer) {
  if (observer) observer->ProgressMaximum(ProgressMaximum(range));
  const bool programs = range.CheckProgram && group == 1;
  // The last refusal the write went on after ('I' or 'G' on a delete, 'G' on
  // a parameter run, a setup record skipped outside READY). A spoiled try
  // that its retry recovers overwrites the error word, so the write puts the
  // refusal back once it has ended well: it is then reported as partly
  // refused, not as complete.
  uint32_t tolerated = 0;

  uint16_t mode = 0;
  if (!Protocol->ReadWords(kModeWord, 1, &mode)) return false;
  const bool ready = (mode & 0x0F) == 1;

  if (programs) {
    uint16_t revision = 0;
    if (!Protocol->ReadWords(kRevisionWord, 1, &revision)) return false;
    if (static_cast<int16_t>(revision) < 2 && !ready) {
      ProgramWriteRefused = 1;
      return false;
    }
  }

  const uint16_t marker = (range.CheckProgram && range.CheckParameter) ? 1 : 2;
  if (!Protocol->WriteWords(kTransferWord, 1, &marker)) return false;

  if (programs) {
    const ParamDescriptor* first = DescriptorPtr(1, 1, 1);
    const ParamDescriptor* head = DescriptorPtr(1, kSegmentItemCount + 1, 1);
    const uint8_t headStart = static_cast<uint8_t>(head->Address + WriteAddressOffset);
    const uint8_t tagStart = static_cast<uint8_t>(kPatternItemCount + 1 + WriteAddressOffset);
    const uint8_t segmentStart = static_cast<uint8_t>(first->Address + WriteAddressOffset);
    for (int p = 1; p <= kPatternCount; ++p) {
      int used = 0;
      while (used < kSegmentCount && PatternSlotPtr(p, 1, used + 1)->Value != kEmptyValue) ++used;

      bool writeSegments = true;
      if (used < kSegmentCount && !Protocol->DeleteProgram(static_cast<uint16_t>(p), static_cast<uint16_t>(used + 1))) {
        const uint8_t code = TProtocol::RefusalCode(Protocol->ProtocolError);
        if (code == kRefusalI)
          writeSegments = false;  // the controller keeps this pattern's segments
        else if (code != kRefusalG)
          return false;
        tolerated = Protocol->ProtocolError;
      }

      int16_t values[kSegmentItemCount];
      char tag[9];
      CopyTag8(tag, TagPtr(p)->WorkingTag);
      uint16_t tagWords[kTagWords];
      PackTag(tag, tagWords);
      if (used == 0) {
        // An empty pattern: the tag alone; its pattern items stay unwritten.
        for (int k = 0; k < kTagWords; ++k) values[k] = static_cast<int16_t>(tagWords[k]);
        if (!Protocol->WriteProgram(static_cast<uint8_t>(p), 0, values, kTagWords, tagStart)) return false;
        FrameDone(observer);
        continue;
      }
      for (int k = 0; k < kPatternItemCount; ++k) values[k] = PatternSlotPtr(p, kSegmentItemCount + 1 + k, 1)->Value;
      for (int k = 0; k < kTagWords; ++k) values[kPatternItemCount + k] = static_cast<int16_t>(tagWords[k]);
      if (!Protocol->WriteProgram(static_cast<uint8_t>(p), 0, values, kHeadItems, headStart)) return false;
      FrameDone(observer);
      Notify(observer, kPatternItemCount);

      if (!writeSegments) continue;
      for (int s = 1; s <= used; ++s) {
        for (int i = 1; i <= kSegmentItemCount; ++i) values[i - 1] = PatternSlotPtr(p, i, s)->Value;
        if (!Protocol->WriteProgram(static_cast<uint8_t>(p), static_cast<uint8_t>(s), values, kSegmentItemCount,
                                    segmentStart))
          return false;
        FrameDone(observer);
        Notify(observer, kSegmentItemCount);
      }
    }
  }

  if (range.CheckParameter) {
    auto take = [&](int r) {
      const ParamDescriptor& d = SetupParams[r];
      if (d.Group != group || !WriteAttribute(d.Attribute)) return false;
      if (d.Bank == 8 && !ready) {
        // The setup data is written only in READY mode.
        tolerated = TProtocol::RefusalError(kRefusalG);  // in the error word once the write ends
        Notify(observer, 1);
        return false;
      }
      return true;
    };
    auto send = [&](uint16_t start, const int* index, int count) {
      uint16_t words[kMaxRunWords];
      for (int k = 0; k < count; ++k) words[k] = static_cast<uint16_t>(SetupParams[index[k]].Value);
      Notify(observer, count);
      const bool ok = Protocol->WriteWords(start, static_cast<int16_t>(count), words);
      FrameDone(observer);
      if (ok) return true;
      // A run refused with 'G' is dropped; the walk goes on.
      if (TProtocol::RefusalCode(Protocol->ProtocolError) != kRefusalG) return false;
      tolerated = Protocol->ProtocolError;
      return true;
    };
    if (!WalkRuns(*this, WriteAddressOffset, take, send)) return false;
  }

  const uint16_t done = 0;
  if (!Protocol->WriteWords(kTransferWord, 1, &done)) return false;
  if (tolerated != 0) Protocol->ProtocolError = tolerated;
  return true;
}

void TCore::CommitReceived(uint8_t group, const TransferRange& range) {
  if (range.CheckParameter) {
    for (int r = 0; r < kSetupParamCount; ++r)
      if (SetupParams[r].Group == group && SetupReceived[r]) SetupParams[r].Value = SetupParams[r].ReceivedValue;
  }
  if (range.CheckProgram) {
    for (int p = 1; p <= kPatternCount; ++p) {
      for (int i = 1; i <= kSegmentItemCount; ++i) {
        if (DescriptorPtr(1, i, 1)->Group != group) continue;
        for (int s = 1; s <= kSegmentCount; ++s)
          if (SegmentReceived[p][s]) RestoreSlot(p, i, s);
      }
      if (!SegmentReceived[p][0]) continue;
      for (int i = kSegmentItemCount + 1; i <= kProgramItemCount; ++i)
        if (DescriptorPtr(1, i, 1)->Group == group) RestoreSlot(p, i, 1);
      if (group == 1) CopyTag8(TagPtr(p)->WorkingTag, TagPtr(p)->ReceivedTag);
    }
  }
}

uint32_t TCore::ProbeController() {
  uint16_t word = 0;
  if (!Protocol->ReadWords(kIdentityWord, 1, &word)) return kProbeNoReply;
  if (word != kIdentityValue) return kProbeWrongIdentity;
  if (!Protocol->ReadWords(kFeatureWord, 1, &word)) return kProbeNoReply;
  if (word > 1) return kProbeBadFeature;
  FeatureFlag = word;
  return 0;
}

void TCore::ApplyFeatureFlag() {
  const bool on = FeatureFlag != 0;
  if (on) {
    DataRevision = 1;
  } else {
    DataRevision = 0;
    // "Program time unit" 2 exists only with the feature.
    if (ParamDescriptor* unit = GetParam(8, 64, 1, 0); unit && unit->Value == 2) unit->Value = 1;
  }
  for (int item : {90, 94})
    if (ParamDescriptor* d = GetParam(8, item, 1, 0)) d->Attribute = on ? 3 : 1;
  for (int item = 17; item <= 36; ++item)
    if (ParamDescriptor* d = GetParam(5, item, 1, 0)) d->Attribute = on ? 3 : 0;
}
