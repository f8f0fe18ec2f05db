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
#include <string_view>

#include "CoreNotifier.h"
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
  // Visibility of tree node 0..10: 0 available, 1 unavailable (menu entry
  // disabled), 2 absent (menu entry hidden). Copies the node's kind, tree
  // level, accelerator, name (in Language), row and column counts into the
  // outputs that are not null. A node outside 0..10 gives 0 and fills nothing.
  int GetTreeNode(int node, int* kind, uint32_t* treeLevel, const char** accelerator, const char** name,
                  uint32_t* rowCount, uint32_t* columnCount);
  // How a parameter or program cell is shown: 0 as it is, 1 name and value
  // "----", 2 value "----", 3 name emptied. Pattern and segment matter only for
  // program items. No record gives 0.
  int GetDisplayRule(const ParamDescriptor* record, int pattern, int segment);
  // Whether a grid cell may be edited: 1 fixed, 2 editable, 0 editable unless
  // its shown value is "----". For setup banks the segment is the sub.
  int GetSegmentCellState(int bank, int pattern, int item, int segment);
  // Number of grid rows of a node, title row included (0 for no such node).
  int GetNodeRowCount(int node);

  // ---- defaults and input ranges (UCore_defaults.cpp) ----
  // Resets every program cell and setup parameter of the listed transfer
  // groups and every pattern tag to its default for the current model words.
  // resetInputs false keeps the input types, temperature units and zener
  // adjustments (and re-applies the ranges of the kept input types); true
  // resets those too.
  void SetDefaults(GroupList groups, bool resetInputs);
  // Range limits and decimal point of input 1 (C04..C06) from the range type
  // C03 and unit C02. tableLimitsOnly false: also the linear inputs and the
  // SP1 limits C09/C10; true: only the table limits of non-linear inputs.
  void ApplyInput1Range(bool tableLimitsOnly);
  // The same for input 2 (C22..C26) with the SP2 limits C32/C33.
  void ApplyInput2Range(bool tableLimitsOnly);

  // ---- model code (UCore_model.cpp) ----
  // ModelCode from HardwareType1/HardwareType2, and the sizes of the groups
  // that depend on the variant and DataRevision (nodes 5, 9 and 10).
  void BuildModelCode();

  // ---- segment and pattern clipboard (UCore_clipboard.cpp) ----
  // Program editing on pattern 1..19 and segment 1..30; arguments outside the
  // program change nothing. The per-pattern items 24..26 go with segment 1.
  // Cut, insert and clear write the items' defaults (ProgramItemDefault).
  void CopySegment(int pattern, int segment);
  void PasteSegment(int pattern, int segment);
  // Copies the segment, moves the used segments after it up by one and
  // empties segment 30.
  void CutSegment(int pattern, int segment);
  // Moves the used segments from this one on down by one (what segment 30
  // held is lost: the caller refuses while it is in use) and starts the new
  // segment with the old one's SP1 and SP2, TIME 10 and default events.
  void InsertSegment(int pattern, int segment);
  // Moves the used segments down as InsertSegment, then pastes the clipboard.
  void InsertCopiedSegment(int pattern, int segment);
  // Item 1..3: empties this and every used segment after it. Item 4..26: sets
  // that cell to its default, and for an ON time also empties its OFF time.
  void ClearSegment(int pattern, int item, int segment);
  void CopyPattern(int pattern);
  void PastePattern(int pattern);
  // Default of a cell of program item 1..26: 0 for the records of default
  // kind 1 (PID set numbers, items 24..26), 32767 for every other.
  int16_t ProgramItemDefault(int item);

  // ---- data file (UCore_file.cpp) ----
  static constexpr size_t kDataFileSize = 99686;     // the current type
  static constexpr size_t kOldDataFileSize = 43074;  // the old type, converted on load
  // Writes the working values, tags, model code and DataRevision of the
  // listed transfer groups. 0 written; 1 the file could not be made (the
  // previous file then stays as it was); 2 under 150,000 bytes free; 3 the
  // target is on a CD-ROM; 4 the path is 255 bytes or longer.
  int SaveFile(GroupList groups, const std::string& path);
  // Reads a file of either type. 0 read (an old-type file is converted, with a
  // notice, and backed up under the path with its last character replaced by
  // "_"); 1 the file could not be read; 2 its size is of neither type; 3
  // checksum mismatch; 5 an old-type size without the old-type magic. On any
  // result but 0 the image is unchanged.
  int LoadFile(const std::string& path);
  // Receives the notices of LoadFile; none when null.
  TCoreNotifier* Notifier = nullptr;

  // ---- CSV and HTML listings (UCore_listing.cpp) ----
  // Opens (creates or truncates) the listing file ExportFile: 0 opened; 1 the
  // file could not be opened; 2 under 100,000 bytes free; 3 the target is on a
  // CD-ROM; 4 the path is 255 bytes or longer. A listing still open is closed
  // first; on failure none is open.
  int OpenExportFile(const std::string& path);
  // Write the whole listing of the image into ExportFile, in CP932 with CR LF
  // line ends, in the image's Language. False when no listing is open or any
  // part of it could not be written.
  bool WriteCsv();
  bool WriteHtml();
  // Syncs and closes ExportFile. True when the listing was not written
  // completely (a write, the flush or the sync failed, or a close without a
  // sync reported an error other than an interruption), false when every byte
  // reached the file or none was open.
  bool CloseExportFile();

  // ---- text and value formats (UCore_format.cpp) ----
  // The one road between a word and its text. For setup parameters sub is the
  // sub-index and pattern is ignored; for program items (group 1) sub is the
  // segment and pattern the pattern. Both texts are emptied first; false when
  // no record exists, or no program cell for a record of entry kind 0 (the
  // only records with a value text).
  bool GetParamText(int group, int item, int sub, int pattern, std::string& valueText, std::string& nameText);
  // Parse, -32768..32767 test, range check, store, dependent updates. False,
  // with nothing changed, when the cell does not exist or the text is refused.
  bool SetParamText(int group, int item, int sub, int pattern, std::string_view text);
  // The text of the record's working value; false (text untouched) when the
  // governing decimal-point setting is invalid.
  bool FormatValue(const ParamDescriptor* descriptor, std::string& valueText);
  // Parses, checks and stores into the record's working value, then runs
  // AfterSet. A refused text changes nothing.
  bool ParseValue(ParamDescriptor* descriptor, std::string_view text, int pattern, int segment);
  // Number of decimals 0..3, or -1 when the governing setting is out of range.
  int GetDecimalPoint(int source);     // 0 input 1, 1 input 2, 2 the SP2 side
  int GetDecimalPointPid(int type);    // an auxiliary output type (C46, C49)
  int GetDecimalPointItem(int type);   // an event type (ET1..ET3, ET.T1..ET.T5)

  // ---- range checks (UCore_range.cpp) ----
  // Whether a parsed value may be stored into the record (pattern and segment
  // address the program cell). Reads, changes nothing.
  bool CheckRange(const ParamDescriptor* descriptor, int16_t value, int pattern, int segment);

  // ---- dependent updates and configuration-dependent names (UCore_update.cpp) ----
  // Keeps the image consistent after the record's working value was accepted
  // (for a program item, before the cell holds the new value).
  void AfterSet(const ParamDescriptor* descriptor, int pattern, int segment);
  // True with the model- or revision-dependent name of the record in the
  // image's language; false (name untouched) when the catalogue name applies.
  bool GetSpecialName(const ParamDescriptor* descriptor, std::string& nameText);

  // ---- setting-range help texts (UCore_rangetext.cpp) ----
  // The valid setting range of one parameter as a one-line help text in
  // Language (0 Japanese, any other value English), UTF-8. For program items
  // (bank 1) sub is the segment and pattern the pattern; for PID sets sub is
  // the set, for table data the column. entryKind is 0. Computed texts follow
  // the current settings, model words and revision. Empty when no record
  // exists, a setting or neighbouring cell the text needs is missing or
  // invalid, or the kind has no text. Reads, changes nothing.
  std::string GetRangeText(int bank, int item, int sub, int pattern, uint16_t entryKind);

  // ---- serial port (UCore_port.cpp) ----
  // Opens Protocol's port with PortNumber and the speed and framing of
  // LineSetting. 1 when LineSetting is outside 1..14 (nothing opened, speed
  // and framing untouched), else TComm::Open's result.
  uint32_t OpenPort();
  // Closes Protocol's port; true when TComm::Close returned anything but 0.
  bool ClosePort();

  // ---- whole-image transfer (UCore_transfer.cpp) ----
  // Controller words with a fixed meaning.
  static constexpr uint16_t kModeWord = 508;        // READY when its low 4 bits are 1
  static constexpr uint16_t kTransferWord = 527;    // 1 or 2 while a write runs, 0 after it
  static constexpr uint16_t kRevisionWord = 4600;   // program writes outside READY need 2 or more
  static constexpr uint16_t kIdentityWord = 9997;   // reads kIdentityValue on this controller series
  static constexpr uint16_t kIdentityValue = 1552;
  static constexpr uint16_t kFeatureWord = 9999;    // 0 or 1, kept as FeatureFlag
  static constexpr int kMaxRunWords = 39;           // words of one parameter-run frame at most
  // ProbeController results besides 0.
  static constexpr uint32_t kProbeNoReply = 300;        // ProtocolError tells why
  static constexpr uint32_t kProbeWrongIdentity = 400;
  static constexpr uint32_t kProbeBadFeature = 500;
  // Progress steps of a whole read or write: the base, plus the programs'
  // share, plus the parameters' share when those are chosen.
  static constexpr int kProgressBase = 50;
  static constexpr int kProgressPrograms = 13110;
  static constexpr int kProgressParameters = 467;

  // What a whole read, write or commit moves: the range dialog's two boxes.
  struct TransferRange {
    bool CheckProgram = true;
    bool CheckParameter = true;
  };
  // Told of a read's or write's progress, on the thread that runs it (a
  // worker hands the calls on to the user-interface thread itself).
  class TransferObserver {
   public:
    virtual ~TransferObserver() = default;
    // At the start of a read or write: the progress bar's new maximum.
    virtual void ProgressMaximum(int) {}
    // Items (program items, setup parameters) taken since the last call.
    virtual void ProgressStep(int) {}
    // After every program frame and every parameter-run frame.
    virtual void FrameDone() {}
  };

  // Reads the chosen kinds of the group into the received copies (nothing
  // else changes). False at the first failed frame, the reason in
  // Protocol->ProtocolError; what was received up to there stays.
  bool ReadAllFromController(uint8_t group, const TransferRange& range, TransferObserver* observer = nullptr);
  // Writes the chosen kinds of the group from the working values. False at
  // a failed frame that is not tolerated (ProtocolError, or
  // ProgramWriteRefused for a program write the controller cannot take).
  bool WriteAllToController(uint8_t group, const TransferRange& range, TransferObserver* observer = nullptr);
  // Copies the received copies of the chosen kinds of the group into the
  // working values, only those that a read of the current job received.
  void CommitReceived(uint8_t group, const TransferRange& range);
  // Forgets what earlier reads received: a job calls it at its start.
  void ClearReceivedMarks();
  // 0: the controller is of this series, FeatureFlag read. Else
  // kProbeNoReply, kProbeWrongIdentity or kProbeBadFeature.
  uint32_t ProbeController();
  // DataRevision and the attributes of the feature-dependent rows from
  // FeatureFlag.
  void ApplyFeatureFlag();
  static int ProgressMaximum(const TransferRange& range);
  // Received by a read of the current job: setup records by table index;
  // program segments by [pattern][segment], segment 0 for the pattern items
  // and the tag.
  bool SetupReceived[kSetupParamCount] = {};
  bool SegmentReceived[kPatternCount + 1][kSegmentCount + 1] = {};

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
