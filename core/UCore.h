// The data image of one controller: the parameter catalogue, every working and
// received value, the program patterns and tags, the group tree, the
// clipboards, the model code and the serial link object.
//
// Every other part of the program reads and changes controller data only
// through TCore. Its code is split over several UCore_*.cpp files by concern.
// A TCore is large (its indexes alone are about a megabyte): create it on the
// heap.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "ModelWords.h"
#include "ParamDescriptor.h"
#include "TProtocol.h"

class TCore {
 public:
  explicit TCore(int language);
  ~TCore();
  TCore(const TCore&) = delete;
  TCore& operator=(const TCore&) = delete;

  // ---- data image and catalogue (UCore.cpp) ----
  void FormDestroy();
  void InitTables();
  ParamDescriptor* GetParam(int bank, int item, int sub, uint16_t entryKind);
  ParamDescriptor* DescriptorPtr(int bank, int item, int sub);
  PatternSlot* GetPatternValue(int pattern, int item, int segment);
  PatternSlot* PatternSlotPtr(int pattern, int item, int segment);
  PatternTagEntry* TagPtr(int pattern);
  bool GetTag(int pattern, char* out9);
  bool SetTag(int pattern, char* inOut9);
  static char* CopyTag8(char* destination9, const char* source8);
  bool GetDefaultPatternName(int index, char* out9, int16_t* patternNumber);
  int GetTreeNodeCount() const { return kTreeNodeCount; }
  int GetParamCount() const { return kSetupParamCount; }
  int GetPatternCount() const { return kPatternCount; }
  void SaveSlot(int pattern, int item, int segment);
  void RestoreSlot(int pattern, int item, int segment);

  // The records in table order (program items, then setup parameters).
  ParamDescriptor* ProgramItemRecord(int index) { return &ProgramItems[index]; }
  ParamDescriptor* SetupRecord(int index) { return &SetupParams[index]; }
  TreeNodeEntry* TreeNode(int kind) { return &TreeNodes[kind]; }

  // ---- group tree and display rules (UCore_display.cpp) ----

  // ---- defaults and input ranges (UCore_defaults.cpp) ----

  // ---- model code (UCore_model.cpp) ----

  // ---- segment and pattern clipboard (UCore_clipboard.cpp) ----

  // ---- data file (UCore_file.cpp) ----

  // ---- CSV and HTML listings (UCore_listing.cpp) ----

  // ---- text and value formats (UCore_format.cpp) ----

  // ---- range checks (UCore_range.cpp) ----

  // ---- dependent updates and configuration-dependent names (UCore_update.cpp) ----

  // ---- value chooser lists (UCore_choice.cpp) ----

  // ---- setting-range help texts (UCore_rangetext.cpp) ----

  // ---- serial port (UCore_port.cpp) ----
  // Opens Protocol's port with PortNumber and the speed and framing of
  // LineSetting. 1 when LineSetting is outside 1..14 (nothing opened, speed
  // and framing untouched), else TComm::Open's result.
  uint32_t OpenPort();
  // Closes Protocol's port; true when TComm::Close returned anything but 0.
  bool ClosePort();

  // ---- whole-image transfer (UCore_transfer.cpp) ----

  // ---- members ----
  FILE* ExportFile = nullptr;
  ParamDescriptor* DescriptorIndex[32][101][31];
  ParamDescriptor* PatternItemIndex[27];
  PatternSlot* PatternSlotIndex[20][24][31];
  PatternSlot* PatternItemSlotIndex[20][4];
  PatternTagEntry* TagIndex[20];
  int16_t SegmentClipboard[27] = {};
  struct {
    uint16_t Segments[24][31];
    uint16_t Items[4];
    char Tag[10];
  } PatternClipboard = {};
  std::unique_ptr<TProtocol> Protocol;
  int32_t PortNumber = 1;
  int32_t LineSetting = 1;
  uint8_t ProgramWriteRefused = 0;
  std::string ModelCode;
  int32_t DataRevision = 1;
  int32_t FeatureFlag = 0;
  int32_t Language = 0;  // 0 Japanese, 1 English, 2 third name column
  int32_t AccessLevel = 1;
  int16_t WriteAddressOffset = 0;
  int16_t ReadAddressOffset = 0;
  uint8_t ShowAll = 0;
  TModelWords Model{*this};  // the controller variant

 private:
  // The catalogue records, cells, tags and tree records of this image,
  // initialised from the static catalogue.
  ParamDescriptor ProgramItems[kProgramItemCount];
  ParamDescriptor SetupParams[kSetupParamCount];
  PatternSlot Slots[kPatternCount][kSegmentItemCount][kSegmentCount];
  PatternSlot ItemSlots[kPatternCount][kPatternItemCount];
  PatternTagEntry Tags[kPatternCount];
  TreeNodeEntry TreeNodes[kTreeNodeCount];
};
