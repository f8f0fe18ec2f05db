#include "GroupTreeRules.h"

#include <algorithm>

#include "UCore.h"

namespace kvl {
namespace {

// A setup parameter's working value; one the catalogue lacks reads as 0.
int ParamValue(TCore& core, int bank, int item) {
  const ParamDescriptor* d = core.GetParam(bank, item, 1, 0);
  return d ? d->Value : 0;
}

bool EntryExists(const GroupView& view, int entry) { return entry >= 1 && entry <= view.EntryCount(); }

// Entry 2, or the last entry of a shorter tree.
int SecondEntry(const GroupView& view) { return std::min(2, view.EntryCount()); }

}  // namespace

std::vector<GroupNode> ReadGroupNodes(TCore& core) {
  std::vector<GroupNode> nodes;
  const int count = core.GetTreeNodeCount();
  nodes.reserve(static_cast<size_t>(count));
  for (int k = 0; k < count; ++k) {
    GroupNode node;
    node.Node = k;
    uint32_t level = kGroupLevel;
    const char* accelerator = nullptr;
    const char* name = nullptr;
    node.Status = core.GetTreeNode(k, &node.Kind, &level, &accelerator, &name, nullptr, nullptr);
    node.Level = static_cast<int>(level);
    node.Name = name ? name : "";
    node.Accelerator = accelerator ? accelerator : "";
    nodes.push_back(std::move(node));
  }
  return nodes;
}

int GroupView::NodeOfEntry(int entry) const {
  return entry >= 1 && entry <= EntryCount() ? Tree[static_cast<size_t>(entry - 1)].Node : -1;
}

int GroupView::EntryOfNode(int node) const {
  for (int e = 1; e <= EntryCount(); ++e)
    if (Tree[static_cast<size_t>(e - 1)].Node == node) return e;
  return 0;
}

int GroupView::LevelOfEntry(int entry) const {
  return entry >= 1 && entry <= EntryCount() ? Tree[static_cast<size_t>(entry - 1)].Level : 0;
}

int GroupView::KindOfEntry(int entry) const {
  return entry >= 1 && entry <= EntryCount() ? Tree[static_cast<size_t>(entry - 1)].Kind : -1;
}

GroupView BuildGroupView(const std::vector<GroupNode>& nodes) {
  GroupView view;
  int heading = -1;        // index of the last heading item of the menus
  int headingEntry = 0;    // tree entry of the last heading, 0 when it is not shown
  int positionInHeading = 0;
  int groupCount = 0;      // groups so far: they take the shortcut letters in node order
  for (const GroupNode& node : nodes) {
    const bool heading1 = node.Level == kHeadingLevel;
    if (heading1) headingEntry = 0;
    if (node.Status == kGroupAvailable) {
      GroupTreeEntry entry;
      entry.Node = node.Node;
      entry.Kind = node.Kind;
      entry.Level = node.Level;
      entry.Name = node.Name;
      entry.Parent = heading1 ? 0 : headingEntry;
      view.Tree.push_back(std::move(entry));
      if (heading1) headingEntry = view.EntryCount();
    }

    GroupMenuItem item;
    item.Node = node.Node;
    item.Level = node.Level;
    item.Caption = node.Name + node.Accelerator;
    item.Visible = node.Status == kGroupAvailable || node.Status == kGroupUnavailable;
    item.Enabled = node.Status == kGroupAvailable;
    if (heading1) {
      ++heading;
      item.Tag = kHeadingTag;
      item.Position = heading;
      positionInHeading = 0;
    } else {
      item.Tag = node.Node;
      item.Heading = heading;
      item.Position = positionInHeading++;
      item.Shortcut = std::string("Ctrl+Shift+") + static_cast<char>('A' + groupCount);
      ++groupCount;
    }
    view.Menu.push_back(std::move(item));
  }
  return view;
}

int EntryAfterBuild(const GroupView& view) { return SecondEntry(view); }

int EntryAfterRefresh(const GroupView& view, int previousNode) {
  const int entry = view.EntryOfNode(previousNode);
  return entry != 0 ? entry : SecondEntry(view);
}

int EntryAfterMouse(const GroupView& view, int entry) {
  if (view.LevelOfEntry(entry) != kHeadingLevel) return entry;
  return EntryExists(view, entry + 1) ? entry + 1 : entry;
}

int EntryAfterKey(const GroupView& view, int entry, TreeKey key) {
  if (view.LevelOfEntry(entry) != kHeadingLevel) return entry;
  const int target = key == TreeKey::Up && entry != 1 ? entry - 1 : entry + 1;
  return EntryExists(view, target) ? target : entry;
}

GraphCommands ReadGraphCommands(TCore& core) {
  GraphCommands commands;
  commands.PatternGraph = ParamValue(core, 10, 1) == 0;  // MODE
  const int c08 = ParamValue(core, 8, 8);
  const int c28 = ParamValue(core, 8, 28);
  const int c29 = ParamValue(core, 8, 29);
  if (!(core.Model.HardwareType1 & 0x800))
    commands.TableGraph = c08 != 0;
  else if (core.Model.HardwareType2 & 4)  // carbon potential
    commands.TableGraph = c08 != 0 || c28 != 0 || c29 != 0;
  else
    commands.TableGraph = c08 != 0 || c28 != 0;
  return commands;
}

FocusMark FocusMarkFor(FocusControl control, int language) {
  const bool ja = language == 0;
  FocusMark mark;
  switch (control) {
    case FocusControl::Tree:
      mark.StatusText = ja ? "設定選択中" : "Setting Selection";
      break;
    case FocusControl::Grid:
      mark.StatusText = ja ? "表入力中" : "Table Input";
      break;
    case FocusControl::Chooser:
      mark.OnEnter = FocusColour::White;
      mark.StatusText = ja ? "リスト選択中" : "List Selection";
      break;
    case FocusControl::ErrorList:
      mark.StatusText = ja ? "ｴﾗｰﾘｽﾄ" : "Error List";
      break;
    case FocusControl::ProgramSelector:
      mark.OnEnter = FocusColour::White;
      mark.StatusText = ja ? "ﾌﾟﾛｸﾞﾗﾑ選択中" : "Program Selection";
      break;
    case FocusControl::TagEditor:
      mark.OnEnter = FocusColour::White;
      mark.StatusText = ja ? "ﾀｸﾞ設定中" : "Tag Input";
      break;
  }
  return mark;
}

bool AcceptTreePanelWidth(int newWidth, int available) {
  return newWidth >= kTreePanelNarrowest && available - newWidth >= kTreeSplitterMinimum;
}

}  // namespace kvl
