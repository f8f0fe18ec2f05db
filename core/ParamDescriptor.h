// The records of the data image: one setup parameter or program item, one
// program cell, one pattern tag, one group of the tree.
#pragma once

#include <cstdint>

// Program cells and words hold this when empty.
inline constexpr int16_t kEmptyValue = 32767;

struct ParamDescriptor {
  int16_t Value;          // working value
  int16_t ReceivedValue;  // value received by the last read, until commit
  const char* NameJa;     // UTF-8
  const char* NameEn;
  const char* NameThird;
  uint8_t RangeTextKind;         // 0..77
  uint8_t DefaultKind;           // 0..42
  uint8_t RangeCheckKind;        // 0..63
  uint8_t FormatKind;            // 0..18
  uint8_t Attribute;             // bit 0 read by a whole read, bit 1 written by a whole write
  uint8_t ChoiceTableId;         // 0 numeric, 1..47 a choice table, 48 the parameter list
  uint8_t DisplayConditionKind;  // 0..101
  uint8_t Group;                 // 1 ordinary data, 2 device identification rows
  uint16_t Address;              // controller word address, or item number in a program frame
  int8_t Bank;                   // tree node: 1 program items, 3..10 setup parameters
  int16_t Item;                  // row in the bank, from 1
  uint16_t EntryKind;            // 0 in every record
  int16_t Sub;                   // column in the bank, from 1
};

struct PatternSlot {
  int16_t Value;        // working value, 32767 = empty
  int16_t SecondValue;  // received by the last program read, or the saved copy
};

struct PatternTagEntry {
  char WorkingTag[10];   // 8 characters, blank-padded, NUL-terminated
  char ReceivedTag[10];  // tag received by the last program read
  char DefaultTag[10];   // "PROG01  " .. "PROG19  "
  int16_t PatternNumber;  // 1..19
};

struct TreeNodeEntry {
  int8_t Kind;  // = bank, = index of the record
  uint32_t ColumnCount;
  uint32_t RowCount;
  const char* NameJa;
  const char* NameEn;
  const char* NameThird;
  const char* Accelerator;
  uint32_t TreeLevel;      // 1 heading, 2 group
  uint8_t VisibilityMode;  // 0 in every record
};

inline constexpr int kProgramItemCount = 26;
inline constexpr int kSetupParamCount = 467;
inline constexpr int kTreeNodeCount = 11;
inline constexpr int kPatternCount = 19;
inline constexpr int kSegmentCount = 30;
inline constexpr int kSegmentItemCount = 23;   // items 1..23 per segment
inline constexpr int kPatternItemCount = 3;    // items 24..26 per pattern

// A zero-terminated list of transfer-group numbers (a record's Group); every
// caller passes {1, 2, 0}, that is every record.
using GroupList = const int32_t*;

// Whether the group list names the transfer group: the low byte of each entry
// is compared as a signed byte. A null list names nothing.
inline bool GroupListNames(GroupList groups, uint8_t group) {
  if (!groups) return false;
  for (const int32_t* g = groups; *g != 0; ++g)
    if (static_cast<int8_t>(*g & 0xFF) == static_cast<int8_t>(group)) return true;
  return false;
}

// The catalogue as it stands at start-up, in table order (Catalogue.cpp).
extern const ParamDescriptor kProgramItemRecords[kProgramItemCount];
extern const ParamDescriptor kSetupParamRecords[kSetupParamCount];
extern const TreeNodeEntry kTreeNodeRecords[kTreeNodeCount];
