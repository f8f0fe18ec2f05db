// The rules behind the main window's three views of the data image's groups
// (the group tree, the items menu and the grid's popup menu), the selection
// in the tree, the graph commands, the focus marks of the input controls and
// the tree panel's splitter. Everything is decided here without widgets; the
// window only shows the result.
#pragma once

#include <string>
#include <vector>

class TCore;

namespace kvl {

// Visibility of a group (TCore::GetTreeNode).
inline constexpr int kGroupAvailable = 0;    // in the tree, menu items enabled
inline constexpr int kGroupUnavailable = 1;  // not in the tree, menu items greyed
inline constexpr int kGroupAbsent = 2;       // not in the tree, menu items hidden

inline constexpr int kHeadingLevel = 1;
inline constexpr int kGroupLevel = 2;

// A menu item's tag: the node of a group, or this for a heading.
inline constexpr int kHeadingTag = -1;

// One node of the data image's tree as the views take it.
struct GroupNode {
  int Node = 0;
  int Kind = 0;
  int Level = kGroupLevel;
  int Status = kGroupAvailable;
  std::string Name;         // in the data image's language
  std::string Accelerator;  // "(&A)" .. "(&I)"
};

// The nodes 0 .. TCore::GetTreeNodeCount() - 1 with their current status.
std::vector<GroupNode> ReadGroupNodes(TCore& core);

// One entry of the group tree; entry numbers are 1-based (entry n is
// Tree[n - 1]).
struct GroupTreeEntry {
  int Node = 0;
  int Kind = 0;
  int Level = kGroupLevel;
  std::string Name;
  int Parent = 0;  // entry number of the heading it lies under; 0 at the top
};

// One run-time item of the items menu (and of the popup menu, which has the
// same items without shortcuts).
struct GroupMenuItem {
  int Node = 0;
  int Level = kGroupLevel;
  int Tag = kHeadingTag;   // the node for a group
  int Heading = -1;        // a group: index of the heading item it lies under (-1: directly in the menu)
  int Position = 0;        // a group: its place under that heading; a heading: its place in the menu
  std::string Caption;     // name + accelerator
  std::string Shortcut;    // a group: "Ctrl+Shift+A" .. in node order; a heading: empty
  bool Visible = true;
  bool Enabled = true;
};

// The tree and the menu items for a set of node statuses.
struct GroupView {
  std::vector<GroupTreeEntry> Tree;
  std::vector<GroupMenuItem> Menu;  // one per node, in node order

  int EntryCount() const { return static_cast<int>(Tree.size()); }
  // The node shown at a 1-based entry, or -1 when there is no such entry.
  int NodeOfEntry(int entry) const;
  // The entry that shows the node (searched from the first), or 0.
  int EntryOfNode(int node) const;
  // The level of the node at the entry (0 when there is no such entry).
  int LevelOfEntry(int entry) const;
  // The kind of the node at the entry (-1 when there is no such entry).
  int KindOfEntry(int entry) const;
};

GroupView BuildGroupView(const std::vector<GroupNode>& nodes);

// The entry that the tree selects after it is built: entry 2.
int EntryAfterBuild(const GroupView& view);

// The entry selected after a refresh: the one that shows `previousNode`
// while it stays shown, otherwise entry 2.
int EntryAfterRefresh(const GroupView& view, int previousNode);

// A button released over the tree: a heading hands the selection to the
// entry below it.
int EntryAfterMouse(const GroupView& view, int entry);

// A key released in the tree: on a heading the Up key moves the selection one
// entry up (one down from the first entry); any other key moves it down.
enum class TreeKey { Up, Other };
int EntryAfterKey(const GroupView& view, int entry, TreeKey key);

// The graph commands of the View menu.
struct GraphCommands {
  bool PatternGraph = true;  // while the operation mode is program operation (0)
  bool TableGraph = false;   // while a linearization table is in use
};
GraphCommands ReadGraphCommands(TCore& core);

// The main window's input controls that mark the focus.
enum class FocusControl { Tree, Grid, Chooser, ErrorList, ProgramSelector, TagEditor };
enum class FocusColour { Window, White, ButtonFace };

struct FocusMark {
  FocusColour OnEnter = FocusColour::Window;
  FocusColour OnExit = FocusColour::ButtonFace;
  std::string StatusText;  // shown below the tree on enter
};

FocusMark FocusMarkFor(FocusControl control, int language);

// The splitter between the tree panel and the grid area: the grid area keeps
// at least this much, and the tree panel is never dragged narrower than
// kTreePanelNarrowest.
inline constexpr int kTreeSplitterMinimum = 15;
inline constexpr int kTreePanelNarrowest = 20;

// Whether a drag may give the tree panel `newWidth` out of `available`
// pixels (the splitter's width less its handle).
bool AcceptTreePanelWidth(int newWidth, int available);

}  // namespace kvl
