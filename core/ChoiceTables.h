// The choice texts of the enumerated settings: 57 tables, each listing every
// selectable value of one kind of setting in three rows of N texts (Japanese,
// English, bare label). Every text begins with its value, right-aligned to the
// table's label width, and ':'; the label is the same in all three rows.
//
// The tables are program-wide and writable: a row is an array of text
// references that the value chooser may re-point (tables 52 and 53 are
// rewritten by the model options before they are shown). Texts themselves are
// never written into. Texts are UTF-8; convert with kvl::ToCp932 where the
// controller's bytes matter.
#pragma once

inline constexpr int kChoiceTableCount = 57;

// Rows of a table.
inline constexpr int kChoiceRowJapanese = 0;
inline constexpr int kChoiceRowEnglish = 1;
inline constexpr int kChoiceRowLabel = 2;

struct ChoiceTable {
  int Count;           // N choices
  const char** Texts;  // 3N references: N Japanese, N English, N labels
};

// Tables 1..57 at index 0..56.
extern ChoiceTable ChoiceTables[kChoiceTableCount];

// The number of choices of table 1..57; 0 for any other number.
int ChoiceCount(int table);

// The row a display language selects: 0 Japanese, 1 English, any other value
// the label row.
int ChoiceRowOfLanguage(int language);

// The N references of one row of a table (row 0..2), in table order; nullptr
// when there is no such table or row. Re-pointing an element changes what
// every reader of the table sees.
const char** ChoiceRow(int table, int row);

// Text of entry 0..N-1 in a row; nullptr when out of range.
const char* ChoiceText(int table, int row, int entry);

// Re-points one entry to text (which must outlive its use in the table).
// False, with nothing changed, when table, row or entry is out of range or
// text is null.
bool SetChoiceText(int table, int row, int entry, const char* text);

// The value a choice text stands for: the integer in front of its first ':'
// (leading blanks allowed). False when the text has no ':' or no integer
// stands there.
bool ChoiceValue(const char* text, int* value);

// The first entry of the row whose value equals value; -1 when none does.
int FindChoiceEntry(int table, int row, int value);

// The tables a ChoiceTableId of the catalogue may name (1, 2 or 3 of them;
// which one applies depends on the model and the data revision and is the
// value chooser's decision). Writes them to tables[0..] and returns how many;
// 0 for id 0 (numeric entry), 48 (the parameter list) and unknown ids.
int ChoiceTablesOfId(int choiceTableId, int tables[3]);
