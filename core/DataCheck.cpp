#include "DataCheck.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "Cp932.h"

namespace {

// The text left-aligned in `width` columns, a column being a CP932 byte.
std::string PadRight(const std::string& text, int width) {
  const int used = kvl::Cp932Width(text);
  return used >= width ? text : text + std::string(static_cast<size_t>(width - used), ' ');
}

std::string Number(const char* format, int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// Everything a trial store may change besides the value tried: the setup
// values (dependent updates), the model words, the model code and the group
// sizes that follow it. Taken once; the image equals it again after every
// trial.
class TImageState {
 public:
  explicit TImageState(TCore& core) : Core(core) {
    for (int i = 0; i < kSetupParamCount; ++i) Setup[i] = core.SetupRecord(i)->Value;
    Words = WordsOf(core.Model);
    ModelCode = core.ModelCode;
    for (int k = 0; k < kTreeNodeCount; ++k) Nodes[k] = *core.TreeNode(k);
  }

  void Restore() {
    for (int i = 0; i < kSetupParamCount; ++i) {
      ParamDescriptor* record = Core.SetupRecord(i);
      if (record->Value != Setup[i]) record->Value = Setup[i];
    }
    if (WordsOf(Core.Model) != Words) {
      TModelWords& m = Core.Model;
      m.HardwareType1 = Words[0];
      m.HardwareType2 = Words[1];
      m.Loop1OutputWord = Words[2];
      m.Loop2OutputWord = Words[3];
      m.AuxWord = Words[4];
      m.OutputWord = Words[5];
      m.Option2Word = Words[6];
      m.BasicWord = Words[7];
    }
    if (Core.ModelCode != ModelCode) Core.ModelCode = ModelCode;
    for (int k = 0; k < kTreeNodeCount; ++k) {
      TreeNodeEntry* node = Core.TreeNode(k);
      node->RowCount = Nodes[k].RowCount;
      node->ColumnCount = Nodes[k].ColumnCount;
    }
  }

 private:
  using WordSet = std::array<uint16_t, 8>;
  static WordSet WordsOf(const TModelWords& m) {
    return {m.HardwareType1, m.HardwareType2, m.Loop1OutputWord, m.Loop2OutputWord,
            m.AuxWord,       m.OutputWord,    m.Option2Word,     m.BasicWord};
  }

  TCore& Core;
  int16_t Setup[kSetupParamCount];
  WordSet Words;
  std::string ModelCode;
  TreeNodeEntry Nodes[kTreeNodeCount];
};

// The cells of one program segment (its 23 items and the pattern's three);
// a trial store in the segment touches no other cell.
class TSegmentState {
 public:
  TSegmentState(TCore& core, int pattern, int segment) {
    for (int item = 1; item <= kProgramItemCount; ++item) {
      Cells[item] = core.PatternSlotPtr(pattern, item, segment);
      if (Cells[item]) Values[item] = Cells[item]->Value;
    }
  }
  void Restore() {
    for (int item = 1; item <= kProgramItemCount; ++item)
      if (Cells[item]) Cells[item]->Value = Values[item];
  }

 private:
  PatternSlot* Cells[kProgramItemCount + 1] = {};
  int16_t Values[kProgramItemCount + 1] = {};
};

class TDataCheck {
 public:
  TDataCheck(TCore& core, DataCheckResult& result) : Core(core), State(core), Result(result) {}

  void CheckProgramGroup(int node, const std::string& groupName, int rows, int columns,
                         const std::vector<int>& programNumbers) {
    const size_t patterns = std::min(programNumbers.size(), static_cast<size_t>(Core.GetPatternCount()));
    for (size_t index = 0; index < patterns; ++index) {
      const int pattern = static_cast<int>(index) + 1;
      const int program = programNumbers[index];
      int shownRow = 0;
      for (int item = 1; item <= rows; ++item) {
        if (!RowShown(node, item, pattern)) continue;
        ++shownRow;
        int shownColumn = 0;
        for (int segment = 1; segment <= columns; ++segment) {
          std::string value, name;
          Core.GetParamText(node, item, segment, pattern, value, name);
          if (name.empty()) continue;
          ++shownColumn;
          if (!Examined(node, item, segment, value)) continue;
          if (TrialStore(node, item, segment, pattern, value)) continue;
          Fail(node, shownRow, shownColumn, program,
               ProgramFailureLine(NextLine(), groupName, program, name, shownColumn));
        }
      }
    }
  }

  void CheckSetupGroup(int node, const std::string& groupName, int rows, int columns) {
    int shownRow = 0;
    for (int item = 1; item <= rows; ++item) {
      if (!RowShown(node, item, 0)) continue;
      ++shownRow;
      int shownColumn = 0;
      for (int sub = 1; sub <= columns; ++sub) {
        std::string value, name;
        Core.GetParamText(node, item, sub, 0, value, name);
        if (name.empty()) continue;
        ++shownColumn;
        if (!Examined(node, item, sub, value)) continue;
        if (TrialStore(node, item, sub, 0, value)) continue;
        Fail(node, shownRow, shownColumn, 0, SetupFailureLine(NextLine(), groupName, name, sub));
      }
    }
  }

 private:
  // A row is left out of the grid when its first cell's name is "----".
  bool RowShown(int node, int item, int pattern) {
    std::string value, name;
    Core.GetParamText(node, item, 1, pattern, value, name);
    return name != "----";
  }

  // Values shown as "----" and records of attribute 1 are not checked.
  bool Examined(int node, int item, int sub, const std::string& value) {
    if (value == "----") return false;
    const ParamDescriptor* record = Core.GetParam(node, item, sub, 0);
    return record && record->Attribute != 1;
  }

  // Stores the shown text as a typed one would be, and undoes the store and
  // its dependent updates. True when the text was taken and gave back the
  // stored word (a word outside what its text can show, such as a time
  // above 99:59, is a failure too).
  bool TrialStore(int node, int item, int sub, int pattern, const std::string& value) {
    bool passed = false;
    if (pattern > 0) {
      TSegmentState segment(Core, pattern, sub);
      const PatternSlot* cell = Core.PatternSlotPtr(pattern, item, sub);
      const int16_t before = cell ? cell->Value : 0;
      passed = Core.SetParamText(node, item, sub, pattern, value) && cell && cell->Value == before;
      segment.Restore();
    } else {
      const ParamDescriptor* record = Core.DescriptorPtr(node, item, sub);
      const int16_t before = record ? record->Value : 0;
      passed = Core.SetParamText(node, item, sub, 0, value) && record && record->Value == before;
    }
    State.Restore();
    return passed;
  }

  int NextLine() { return Result.FailureCount + 1; }

  void Fail(int node, int row, int column, int program, std::string line) {
    Result.Ok = false;
    ++Result.FailureCount;
    if (static_cast<int>(Result.Failures.size()) >= kMaxListedFailures) return;
    DataCheckFailure failure;
    failure.Node = static_cast<int16_t>(node);
    failure.Row = static_cast<int16_t>(row);
    failure.Col = static_cast<int16_t>(column);
    failure.Program = static_cast<int16_t>(program);
    failure.Line = std::move(line);
    Result.Failures.push_back(std::move(failure));
  }

  TCore& Core;
  TImageState State;
  DataCheckResult& Result;
};

}  // namespace

std::string ProgramFailureLine(int n, const std::string& groupName, int program, const std::string& itemName,
                               int column) {
  return Number("%5d", n) + " : " + PadRight(groupName, 7) + " - " + Number("%2d", program) + "   : " +
         PadRight(itemName, 35) + " : " + Number("%3d", column);
}

std::string SetupFailureLine(int n, const std::string& groupName, const std::string& itemName, int sub) {
  return Number("%5d", n) + " : " + PadRight(groupName, 14) + " : " + PadRight(itemName, 35) + " : " +
         Number("%3d", sub);
}

DataCheckResult CheckDataImage(TCore& core, bool programs, bool parameters, const std::vector<int>& programNumbers) {
  DataCheckResult result;
  TDataCheck check(core, result);
  for (int node = 0; node < core.GetTreeNodeCount(); ++node) {
    int kind = 0;
    const char* name = nullptr;
    uint32_t rows = 0;
    uint32_t columns = 0;
    if (core.GetTreeNode(node, &kind, nullptr, nullptr, &name, &rows, &columns) != 0) continue;
    const std::string groupName = name ? name : "";
    const int rowCount = static_cast<int>(std::min<uint32_t>(rows, 100));
    const int columnCount = static_cast<int>(std::min<uint32_t>(columns, 30));
    if (kind == 1) {
      if (programs) check.CheckProgramGroup(node, groupName, rowCount, columnCount, programNumbers);
    } else if (parameters && columnCount != 0) {
      check.CheckSetupGroup(node, groupName, rowCount, columnCount);
    }
  }
  return result;
}

std::vector<int> DefaultProgramNumbers(TCore& core) {
  std::vector<int> numbers;
  for (int index = 0; index < core.GetPatternCount(); ++index) {
    char tag[9] = {};
    int16_t number = 0;
    if (core.GetDefaultPatternName(index, tag, &number)) numbers.push_back(number);
  }
  return numbers;
}

bool RunDataCheck(TCore& core, bool programs, bool parameters) {
  return CheckDataImage(core, programs, parameters, DefaultProgramNumbers(core)).Ok;
}
