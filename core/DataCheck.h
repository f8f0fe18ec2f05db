// The data check: every value that the grid shows is put again through the
// road of a typed value (TCore::SetParamText: parse, range check) and each
// one that fails is reported as a line of the error list, with the place of
// its cell in the grid.
//
// The check changes nothing: every trial store, with whatever dependent
// updates it ran, is undone before the next value is tried, so a check that
// finds nothing leaves the image exactly as it was, and one that finds
// faults leaves them for the user to see.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "UCore.h"

// One failed value: where it stands in the grid and its line of the list.
struct DataCheckFailure {
  int16_t Node = 0;     // tree node (group) of the value
  int16_t Row = 0;      // shown row in the group's grid (rows named "----" not counted), 1-based
  int16_t Col = 0;      // shown column in its row (cells without a name not counted), 1-based
  int16_t Program = 0;  // program number of a program value; 0 for a setup parameter
  std::string Line;     // the error list's line (UTF-8)
};

struct DataCheckResult {
  bool Ok = true;                         // no value failed
  int FailureCount = 0;                   // every failure, listed or not
  std::vector<DataCheckFailure> Failures; // the first kMaxListedFailures, in check order
};

// The error list and its jump table hold this many lines at most; further
// failures still make the check fail but are not listed.
inline constexpr int kMaxListedFailures = 14000;

// Checks the shown values of every available group: the program group when
// `programs` (the patterns of the program list, entry n showing pattern n + 1
// under the program number programNumbers[n]), the other groups when
// `parameters`. Names are those of the image's Language.
DataCheckResult CheckDataImage(TCore& core, bool programs, bool parameters, const std::vector<int>& programNumbers);

// The program list as the main window fills it: every pattern under its
// default program number.
std::vector<int> DefaultProgramNumbers(TCore& core);

// The check without a window (e.g. before a write): true when no value failed.
bool RunDataCheck(TCore& core, bool programs, bool parameters);

// The lines of the list (n counts from 1 in each check). `groupName` and
// `itemName` are padded by their width in CP932 bytes, as the list's fixed
// columns count them.
std::string ProgramFailureLine(int n, const std::string& groupName, int program, const std::string& itemName,
                               int column);
std::string SetupFailureLine(int n, const std::string& groupName, const std::string& itemName, int sub);
