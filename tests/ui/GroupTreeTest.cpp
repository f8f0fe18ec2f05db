#include "GroupTreeRules.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTest>
#include <QTreeWidget>

#include <climits>
#include <sstream>

#include "Settings.h"
#include "Keyboard.h"
#include "TestSupport.h"
#include "UCore.h"

namespace {

using kvltest::MainFormHarness;

constexpr int kKeep = INT_MIN;  // leave the value the start gave

const char* const kEnglishNames[11] = {
    "Program setup",      "Program",       "Parameter setup", "Variable parameter",
    "Variable parameter 2", "Event configuration data", "PID parameter", "PID parameter 2",
    "Setup data",         "Table data",    "Constant-value operation data"};
const char* const kJapaneseNames[11] = {"ﾌﾟﾛｸﾞﾗﾑ設定", "ﾌﾟﾛｸﾞﾗﾑ",    "ﾊﾟﾗﾒｰﾀ設定",     "可変ﾊﾟﾗﾒｰﾀ",
                                        "可変ﾊﾟﾗﾒｰﾀ2", "ｲﾍﾞﾝﾄｺﾝﾌﾃﾞｰﾀ", "PIDﾊﾟﾗﾒｰﾀ",     "PIDﾊﾟﾗﾒｰﾀ2",
                                        "ｾｯﾄｱｯﾌﾟﾃﾞｰﾀ", "ﾃｰﾌﾞﾙﾃﾞｰﾀ",   "定値運転ﾃﾞｰﾀ"};
const char* const kAccelerators[11] = {"(&A)", "(&A)", "(&B)", "(&B)", "(&C)", "(&D)",
                                       "(&E)", "(&F)", "(&G)", "(&H)", "(&I)"};

void SetValue(TCore& core, int bank, int item, int value) {
  if (value == kKeep) return;
  ParamDescriptor* d = core.GetParam(bank, item, 1, 0);
  ASSERT_NE(d, nullptr) << bank << "/" << item;
  d->Value = static_cast<int16_t>(value);
}

void WriteStartSettings(const MainFormHarness& h, int aux, int output, int option2, int basic, int level) {
  kvl::TIniSettingsStore store(h.IniPath());
  store.Write("OPTION", "OPT0", std::to_string(aux));
  store.Write("OPTION", "OPT1", std::to_string(output));
  store.Write("OPTION", "OPT2", std::to_string(option2));
  store.Write("OPTION", "OPT3", std::to_string(basic));
  if (level != kKeep) store.Write("OPTION", "LEVEL", std::to_string(level));
  ASSERT_TRUE(store.Flush());
}

// The tree as "node node ...", headings marked with '*'.
std::string TreeOf(const kvl::GroupView& view) {
  std::ostringstream out;
  for (const kvl::GroupTreeEntry& e : view.Tree)
    out << (out.tellp() > 0 ? " " : "") << (e.Level == kvl::kHeadingLevel ? "*" : "") << e.Node;
  return out.str();
}

// The tree widget in the same form, read item by item in the order shown;
// a heading is a top-level item with its groups beneath it.
std::string TreeOf(const TMainForm& f) {
  std::ostringstream out;
  int entry = 1;
  auto add = [&](bool heading) {
    out << (out.tellp() > 0 ? " " : "") << (heading ? "*" : "") << f.NodeOfEntry[entry];
    ++entry;
  };
  for (int i = 0; i < f.Outline1->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* top = f.Outline1->topLevelItem(i);
    add(top->childCount() > 0);
    for (int c = 0; c < top->childCount(); ++c) add(false);
  }
  return out.str();
}

// One letter per node: E visible and enabled, D visible and greyed, H hidden.
char StateOf(bool visible, bool enabled) { return !visible ? 'H' : enabled ? 'E' : 'D'; }

std::string MenuOf(const kvl::GroupView& view) {
  std::string states;
  for (const kvl::GroupMenuItem& item : view.Menu) states += StateOf(item.Visible, item.Enabled);
  return states;
}

std::string MenuOf(const TMainForm& f, bool popup) {
  std::string states;
  for (int node = 0; node < 11; ++node) {
    QAction* a = popup ? f.GroupPopupAction(node) : f.GroupMenuAction(node);
    if (!a) return states + "?";
    states += StateOf(a->isVisible(), a->isEnabled());
  }
  return states;
}

TEST(GroupTree, NodeStatusesToTreeEntriesAndMenuStates) {
  struct Case {
    const char* label;
    int aux, output, option2, basic;  // the wizard's words at start
    int revision, level;
    int mode, c08, c28, c29, c45;     // values set after start (kKeep: as the start left them)
    const char* tree;
    const char* menu;  // nodes 0..10
    bool patternGraph, tableGraph;
  } cases[] = {
      {"single-loop relay, defaults", 0, 0x01, 0, 0, 1, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep,
       "*0 1 *2 3 5 6 8 10", "EEEEHEEHEDE", true, false},
      {"single-loop, C08 in use, revision 0, level 1", 0, 0x01, 0, 0, 0, 1, 0, 1, 0, 0, 0,
       "*0 1 *2 3 5 6 8 9 10", "EEEEHEEHEEE", true, true},
      {"single-loop, only C28 in use, level 2", 0, 0x01, 0, 0, 1, 2, 0, 0, 1, 0, 0, "*0 1 *2 3 5 6 8 10",
       "EEEEHEEHEDE", true, false},
      {"single-loop, constant-value operation", 0, 0x04, 0, 0, 1, 3, 1, 1, 0, 0, 0, "*2 3 5 8 9 10",
       "DDEEHEDHEEE", false, true},
      {"single-loop three-position heat-cool", 0, 0x91, 0, 0, 1, 3, 0, 0, 0, 0, 1, "*0 1 *2 3 5 8 10",
       "EEEEHEDHEDE", true, false},
      {"two-loop, no table", 0, 0x841, 0, 1, 1, 1, 0, 0, 0, 0, 0, "*0 1 *2 3 4 5 6 7 8 10", "EEEEEEEEEDE",
       true, false},
      {"two-loop, C28 in use, revision 0", 0, 0x841, 0, 1, 0, 2, 0, 0, 1, 0, 0, "*0 1 *2 3 4 5 6 7 8 9 10",
       "EEEEEEEEEEE", true, true},
      {"two-loop without carbon potential ignores C29", 0, 0x844, 0x30, 2, 1, 3, 0, 0, 0, 1, 0,
       "*0 1 *2 3 4 5 6 7 8 10", "EEEEEEEEEDE", true, false},
      {"carbon potential, C29 in use", 0, 0x841, 0xB0, 4, 1, 3, 0, 0, 0, 1, 0, "*0 1 *2 3 4 5 6 7 8 9 10",
       "EEEEEEEEEEE", true, true},
      {"two-loop, constant-value operation", 0x8000, 0xC91, 0xB0, 2, 0, 1, 1, 1, 0, 0, 0, "*2 3 4 5 8 9 10",
       "DDEEEEDDEEE", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    MainFormHarness h;
    WriteStartSettings(h, c.aux, c.output, c.option2, c.basic, c.level);
    h.Start();
    TCore& core = *h.Core;
    if (c.level != kKeep) {
      EXPECT_EQ(core.AccessLevel, c.level);
    }
    core.DataRevision = c.revision;
    SetValue(core, 10, 1, c.mode);
    SetValue(core, 8, 8, c.c08);
    SetValue(core, 8, 28, c.c28);
    SetValue(core, 8, 29, c.c29);
    SetValue(core, 8, 45, c.c45);
    core.Model.UpdateModelFlags();
    core.BuildModelCode();

    // The rules, without widgets.
    const kvl::GroupView view = kvl::BuildGroupView(kvl::ReadGroupNodes(core));
    EXPECT_EQ(TreeOf(view), c.tree);
    EXPECT_EQ(MenuOf(view), c.menu);
    const kvl::GraphCommands graphs = kvl::ReadGraphCommands(core);
    EXPECT_EQ(graphs.PatternGraph, c.patternGraph);
    EXPECT_EQ(graphs.TableGraph, c.tableGraph);

    // The window shows them.
    h.Form->RefreshGroups();
    h.Form->UpdateMenus();
    EXPECT_EQ(TreeOf(*h.Form), c.tree);
    EXPECT_EQ(MenuOf(*h.Form, false), c.menu);
    EXPECT_EQ(MenuOf(*h.Form, true), c.menu);
    EXPECT_EQ(h.Form->MenuItem("PatternGraph")->isEnabled(), c.patternGraph);
    EXPECT_EQ(h.Form->MenuItem("TableGraph")->isEnabled(), c.tableGraph);
    for (int e = 1; e <= view.EntryCount(); ++e) EXPECT_EQ(h.Form->NodeOfEntry[e], view.NodeOfEntry(e)) << e;
    for (int e = view.EntryCount() + 1; e < 12; ++e) EXPECT_EQ(h.Form->NodeOfEntry[e], -1) << e;
  }
}

TEST(GroupTree, MenusHoldEveryGroupUnderItsHeadingWithItsShortcut) {
  for (int langId : {0x409, 0x411}) {
    SCOPED_TRACE(langId);
    MainFormHarness h;
    WriteStartSettings(h, 0, 0x841, 0, 1, kKeep);  // two-loop: every group but the table data shown
    h.Start({}, static_cast<uint16_t>(langId));
    const TMainForm& f = *h.Form;
    const char* const* names = f.Language == 0 ? kJapaneseNames : kEnglishNames;

    // Items menu and popup menu: two headings, their groups beneath them.
    QMenu* itemsMenu = f.MenuItem("set1")->menu();
    for (QMenu* menu : {itemsMenu, f.PopupMenu1}) {
      const bool popup = menu == f.PopupMenu1;
      SCOPED_TRACE(popup ? "popup" : "items");
      const QList<QAction*> headings = menu->actions();
      ASSERT_EQ(headings.size(), 2);
      const int groupsUnder[2][9] = {{1}, {3, 4, 5, 6, 7, 8, 9, 10}};
      const int groupCounts[2] = {1, 8};
      for (int hd = 0; hd < 2; ++hd) {
        const int headingNode = hd == 0 ? 0 : 2;
        QAction* heading = headings[hd];
        EXPECT_EQ(heading, popup ? f.GroupPopupAction(headingNode) : f.GroupMenuAction(headingNode));
        EXPECT_EQ(heading->text().toStdString(), std::string(names[headingNode]) + kAccelerators[headingNode]);
        EXPECT_EQ(heading->data().toInt(), -1);
        EXPECT_TRUE(heading->shortcut().isEmpty());
        ASSERT_NE(heading->menu(), nullptr);
        const QList<QAction*> groups = heading->menu()->actions();
        ASSERT_EQ(groups.size(), groupCounts[hd]);
        for (int i = 0; i < groupCounts[hd]; ++i) {
          const int node = groupsUnder[hd][i];
          SCOPED_TRACE(node);
          EXPECT_EQ(groups[i], popup ? f.GroupPopupAction(node) : f.GroupMenuAction(node));
          EXPECT_EQ(groups[i]->text().toStdString(), std::string(names[node]) + kAccelerators[node]);
          EXPECT_EQ(groups[i]->data().toInt(), node);
        }
      }
    }
    // The letters count the groups in node order: A for the program, B.. I for the rest.
    const char* letters = "?A?BCDEFGHI";
    for (int node = 0; node < 11; ++node) {
      SCOPED_TRACE(node);
      const std::string expected = node == 0 || node == 2 ? "" : std::string("Ctrl+Shift+") + letters[node];
      EXPECT_EQ(f.GroupMenuAction(node)->shortcut().toString().toStdString(), expected);
      EXPECT_TRUE(f.GroupPopupAction(node)->shortcut().isEmpty());
    }

    // The tree: every shown node by name, entry 2 selected after start.
    EXPECT_EQ(TreeOf(f), "*0 1 *2 3 4 5 6 7 8 10");
    EXPECT_EQ(f.Outline1->topLevelItem(0)->text(0).toStdString(), names[0]);
    EXPECT_EQ(f.Outline1->topLevelItem(1)->child(6)->text(0).toStdString(), names[10]);
    EXPECT_EQ(f.SelectedEntry(), 2);
    EXPECT_EQ(f.CurrentGroupKind(), 1);
  }
  // A single-loop start keeps the letters of absent groups reserved.
  MainFormHarness s;
  s.Start();
  EXPECT_FALSE(s.Form->GroupMenuAction(4)->isVisible());
  EXPECT_EQ(s.Form->GroupMenuAction(5)->shortcut().toString().toStdString(), "Ctrl+Shift+D");
  EXPECT_EQ(s.Form->GroupMenuAction(9)->shortcut().toString().toStdString(), "Ctrl+Shift+H");
}

TEST(GroupTree, SelectionRulesWithoutWidgets) {
  // A tree like the one of a controller in constant-value operation with a
  // heading whose only group is unavailable, and one ending in a heading.
  auto node = [](int k, int level, int status) {
    kvl::GroupNode n;
    n.Node = k;
    n.Kind = k;
    n.Level = level;
    n.Status = status;
    n.Name = "n" + std::to_string(k);
    return n;
  };
  const std::vector<kvl::GroupNode> full = {node(0, 1, 0), node(1, 2, 0), node(2, 1, 0), node(3, 2, 0),
                                            node(4, 2, 2), node(5, 2, 0)};
  const std::vector<kvl::GroupNode> endsInHeading = {node(0, 1, 0), node(1, 2, 0), node(2, 1, 0), node(3, 2, 1)};
  const std::vector<kvl::GroupNode> groupFirst = {node(0, 2, 0), node(1, 1, 1), node(2, 2, 0)};
  const kvl::GroupView a = kvl::BuildGroupView(full);
  const kvl::GroupView b = kvl::BuildGroupView(endsInHeading);
  const kvl::GroupView c = kvl::BuildGroupView(groupFirst);
  EXPECT_EQ(TreeOf(a), "*0 1 *2 3 5");
  EXPECT_EQ(a.Tree[4].Parent, 3);
  EXPECT_EQ(TreeOf(b), "*0 1 *2");
  // A group before any heading, and one whose heading is not shown, lie at the top.
  EXPECT_EQ(TreeOf(c), "0 2");
  EXPECT_EQ(c.Tree[0].Parent, 0);
  EXPECT_EQ(c.Tree[1].Parent, 0);
  EXPECT_EQ(c.Menu[0].Heading, -1);
  EXPECT_EQ(c.Menu[2].Heading, 0);

  const struct {
    const kvl::GroupView* view;
    int entry;
    int mouse, up, other;
  } moves[] = {
      {&a, 1, 2, 2, 2},  // first heading: Up also moves down
      {&a, 2, 2, 2, 2},  // a group stays
      {&a, 3, 4, 2, 4},  // second heading: Up to the last group of the first
      {&a, 5, 5, 5, 5},
      {&b, 3, 3, 2, 3},  // a heading at the end has nothing below it
      {&a, 0, 0, 0, 0},  // nothing selected
      {&a, 9, 9, 9, 9},  // no such entry
  };
  for (const auto& m : moves) {
    SCOPED_TRACE(testing::Message() << TreeOf(*m.view) << " entry " << m.entry);
    EXPECT_EQ(kvl::EntryAfterMouse(*m.view, m.entry), m.mouse);
    EXPECT_EQ(kvl::EntryAfterKey(*m.view, m.entry, kvl::TreeKey::Up), m.up);
    EXPECT_EQ(kvl::EntryAfterKey(*m.view, m.entry, kvl::TreeKey::Other), m.other);
  }

  const struct {
    const kvl::GroupView* view;
    int previous;
    int entry;
  } refreshes[] = {
      {&a, 5, 5},   // still shown
      {&a, 4, 2},   // no longer shown: entry 2
      {&a, -1, 2},  // nothing was selected
      {&c, 7, 2},
  };
  for (const auto& r : refreshes) {
    SCOPED_TRACE(r.previous);
    EXPECT_EQ(kvl::EntryAfterRefresh(*r.view, r.previous), r.entry);
  }
  EXPECT_EQ(kvl::EntryAfterBuild(a), 2);
  EXPECT_EQ(kvl::EntryAfterBuild(kvl::BuildGroupView({node(0, 2, 0)})), 1);
  EXPECT_EQ(kvl::EntryAfterBuild(kvl::BuildGroupView({})), 0);
  EXPECT_EQ(a.NodeOfEntry(0), -1);
  EXPECT_EQ(a.EntryOfNode(4), 0);
  EXPECT_EQ(a.KindOfEntry(6), -1);
}

QPoint CentreOf(const TMainForm& f, int entry) {
  QTreeWidgetItem* item = nullptr;
  int e = 0;
  for (int i = 0; i < f.Outline1->topLevelItemCount() && !item; ++i) {
    QTreeWidgetItem* top = f.Outline1->topLevelItem(i);
    if (++e == entry) item = top;
    for (int c = 0; c < top->childCount() && !item; ++c)
      if (++e == entry) item = top->child(c);
  }
  return item ? f.Outline1->visualItemRect(item).center() : QPoint();
}

TEST(GroupTree, SelectionByMouseAndKeys) {
  MainFormHarness h;
  h.Start();  // single-loop: *0 1 *2 3 5 6 8 10
  TMainForm& f = *h.Form;
  f.show();
  QApplication::processEvents();
  ASSERT_EQ(TreeOf(f), "*0 1 *2 3 5 6 8 10");

  auto selectEntry = [&f](int entry) {
    QTest::mouseClick(f.Outline1->viewport(), Qt::LeftButton, {}, CentreOf(f, entry));
  };
  const struct {
    int entry;
    int selected;
  } clicks[] = {{1, 2}, {3, 4}, {6, 6}, {8, 8}};
  for (const auto& c : clicks) {
    SCOPED_TRACE(c.entry);
    selectEntry(c.entry);
    EXPECT_EQ(f.SelectedEntry(), c.selected);
  }

  // Each key goes through the tree's own move on press, then the rule on release.
  ASSERT_TRUE(kvltest::FocusInActiveWindow(*f.Outline1));
  const struct {
    int from;
    Qt::Key key;
    int selected;
  } keys[] = {
      {4, Qt::Key_Up, 2},      // over the second heading to the last group of the first
      {2, Qt::Key_Up, 2},      // onto the first heading and back down
      {2, Qt::Key_Down, 4},    // over the second heading
      {4, Qt::Key_Down, 5},
      {3, Qt::Key_Return, 4},  // Enter on a heading
      {5, Qt::Key_Return, 5},
      {1, Qt::Key_Enter, 2},
      {8, Qt::Key_Down, 8},    // the last entry
  };
  for (const auto& k : keys) {
    SCOPED_TRACE(testing::Message() << k.from << " key " << k.key);
    // Place the selection without the release rule (a click on a heading would move on).
    f.Outline1->setCurrentItem(f.Outline1->itemAt(CentreOf(f, k.from)));
    ASSERT_EQ(f.SelectedEntry(), k.from);
    kvltest::PressKey(k.key);
    EXPECT_EQ(f.SelectedEntry(), k.selected);
    EXPECT_EQ(f.NodeOfEntry[f.SelectedEntry()], f.NodeOfEntry[k.selected]);
  }
  // A held key repeats: only the final release applies the rule.
  f.Outline1->setCurrentItem(f.Outline1->itemAt(CentreOf(f, 2)));
  ASSERT_EQ(QApplication::focusWidget(), f.Outline1);
  QTest::keyPress(QApplication::focusWidget(), Qt::Key_Down);
  QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(QApplication::focusWidget(), &repeatRelease);
  EXPECT_EQ(f.SelectedEntry(), 3);
  QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(f.SelectedEntry(), 4);
  EXPECT_EQ(f.CurrentGroupKind(), 3);

  // In constant-value operation the first heading is gone: Up from the first
  // group goes to the heading and back.
  h.Core->GetParam(10, 1, 1, 0)->Value = 1;
  f.RefreshGroups();
  ASSERT_EQ(TreeOf(f), "*2 3 5 8 10");
  EXPECT_EQ(f.SelectedEntry(), 2);  // the variable parameters stayed selected
  kvltest::PressKey(Qt::Key_Up);
  EXPECT_EQ(f.SelectedEntry(), 2);
  EXPECT_EQ(f.CurrentGroupKind(), 3);
}

TEST(GroupTree, SelectionByMenusAndRefresh) {
  MainFormHarness h;
  h.Start();  // single-loop: *0 1 *2 3 5 6 8 10
  TMainForm& f = *h.Form;
  TCore& core = *h.Core;

  f.GroupMenuAction(8)->trigger();
  EXPECT_EQ(f.CurrentGroupKind(), 8);
  EXPECT_EQ(f.SelectedEntry(), 7);
  f.GroupPopupAction(5)->trigger();
  EXPECT_EQ(f.CurrentGroupKind(), 5);
  // Absent and unavailable groups are not in the tree: nothing changes.
  f.SelectGroup(4);
  f.SelectGroup(9);
  f.SelectGroup(-1);
  f.SelectGroup(11);
  EXPECT_EQ(f.CurrentGroupKind(), 5);

  // The shortcut of a group's item in the items menu.
  f.show();
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  kvltest::PressKey(Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(f.CurrentGroupKind(), 8);
  kvltest::PressKey(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(f.CurrentGroupKind(), 1);
  // A greyed group's shortcut does nothing.
  kvltest::PressKey(Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(f.CurrentGroupKind(), 1);

  // The selected group stays selected while it is shown, at its new entry.
  f.SelectGroup(8);
  ASSERT_EQ(f.SelectedEntry(), 7);
  core.Model.HardwareType1 = 0x841;
  core.Model.HardwareType2 = 1;
  core.Model.UpdateModelFlags();
  f.RefreshGroups();
  EXPECT_EQ(TreeOf(f), "*0 1 *2 3 4 5 6 7 8 10");
  EXPECT_EQ(f.SelectedEntry(), 9);
  EXPECT_EQ(f.CurrentGroupKind(), 8);
  EXPECT_TRUE(f.GroupMenuAction(4)->isVisible());
  EXPECT_TRUE(f.GroupPopupAction(7)->isEnabled());

  // A change that takes the selected group out of the tree selects entry 2.
  f.SelectGroup(6);
  core.GetParam(10, 1, 1, 0)->Value = 1;
  f.RefreshGroups();
  EXPECT_EQ(TreeOf(f), "*2 3 4 5 8 10");
  EXPECT_EQ(f.SelectedEntry(), 2);
  EXPECT_EQ(f.CurrentGroupKind(), 3);
  EXPECT_FALSE(f.GroupMenuAction(6)->isEnabled());
  EXPECT_TRUE(f.GroupMenuAction(6)->isVisible());
  EXPECT_FALSE(f.GroupMenuAction(0)->isEnabled());
  // The menu items stay the same objects; only their states change.
  EXPECT_EQ(f.MenuItem("set1")->menu()->actions().size(), 2);
  EXPECT_EQ(f.GroupMenuAction(2)->menu()->actions().size(), 8);
}

TEST(GroupTree, FocusColoursAndStatusTexts) {
  const struct {
    const char* control;
    const char* japanese;
    const char* english;
    kvl::FocusColour enter;
  } marks[] = {
      {"Outline1", "設定選択中", "Setting Selection", kvl::FocusColour::Window},
      {"StrColGrid1", "表入力中", "Table Input", kvl::FocusColour::Window},
      {"ComboBox1", "リスト選択中", "List Selection", kvl::FocusColour::White},
      {"ErrorList", "ｴﾗｰﾘｽﾄ", "Error List", kvl::FocusColour::Window},
      {"ComboBoxProgNum", "ﾌﾟﾛｸﾞﾗﾑ選択中", "Program Selection", kvl::FocusColour::White},
      {"EditTag", "ﾀｸﾞ設定中", "Tag Input", kvl::FocusColour::White},
  };
  const kvl::FocusControl kinds[] = {kvl::FocusControl::Tree,      kvl::FocusControl::Grid,
                                     kvl::FocusControl::Chooser,   kvl::FocusControl::ErrorList,
                                     kvl::FocusControl::ProgramSelector, kvl::FocusControl::TagEditor};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(marks[i].control);
    for (int language : {0, 1}) {
      const kvl::FocusMark mark = kvl::FocusMarkFor(kinds[i], language);
      EXPECT_EQ(mark.StatusText, language == 0 ? marks[i].japanese : marks[i].english);
      EXPECT_EQ(mark.OnEnter, marks[i].enter);
      EXPECT_EQ(mark.OnExit, kvl::FocusColour::ButtonFace);
    }
  }

  const QColor window = QGuiApplication::palette().color(QPalette::Base);
  const QColor buttonFace = QGuiApplication::palette().color(QPalette::Button);
  ASSERT_NE(buttonFace, window);
  for (int langId : {0x411, 0x409}) {
    SCOPED_TRACE(langId);
    MainFormHarness h;
    h.Start({}, static_cast<uint16_t>(langId));
    TMainForm& f = *h.Form;
    QWidget* controls[] = {f.Outline1, nullptr, f.ComboBox1, f.ErrorList, f.ComboBoxProgNum, f.EditTag};
    for (QWidget* c : controls) {
      if (!c) continue;
      EXPECT_EQ(c->palette().color(QPalette::Base), buttonFace) << c->objectName().toStdString();
    }
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    // The grid has the focus at start; leaving it rebuilds it and hides the chooser.
    f.setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    f.ComboBox1->show();  // the grid shows the chooser before it takes the focus
    for (int i = 0; i < 6; ++i) {
      QWidget* c = controls[i];
      if (!c) continue;  // the grid marks itself through the same rule once it is placed
      SCOPED_TRACE(marks[i].control);
      c->setFocus(Qt::TabFocusReason);
      QApplication::processEvents();
      ASSERT_TRUE(c->hasFocus());
      EXPECT_EQ(f.Panel5->text().toStdString(), f.Language == 0 ? marks[i].japanese : marks[i].english);
      const QColor entered = marks[i].enter == kvl::FocusColour::White ? QColor(255, 255, 255) : window;
      EXPECT_EQ(c->palette().color(QPalette::Base), entered);
      // Leaving restores the button face; the status text stays until another control takes it.
      f.setFocus(Qt::TabFocusReason);
      QApplication::processEvents();
      EXPECT_EQ(c->palette().color(QPalette::Base), buttonFace);
      EXPECT_EQ(f.Panel5->text().toStdString(), f.Language == 0 ? marks[i].japanese : marks[i].english);
    }
    // Another window taking the focus for a while leaves the control marked.
    f.EditTag->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(f.EditTag, &away);
    EXPECT_EQ(f.EditTag->palette().color(QPalette::Base), QColor(255, 255, 255));
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(f.EditTag, &popup);
    EXPECT_EQ(f.EditTag->palette().color(QPalette::Base), QColor(255, 255, 255));
  }
}

TEST(GroupTree, SplitterKeepsTheTreePanelAtLeastTwentyPixelsWide) {
  const struct {
    int width, available;
    bool accepted;
  } rules[] = {{20, 600, true}, {19, 600, false}, {0, 600, false}, {585, 600, true}, {586, 600, false}};
  for (const auto& r : rules) EXPECT_EQ(kvl::AcceptTreePanelWidth(r.width, r.available), r.accepted) << r.width;

  MainFormHarness h;
  h.Start();
  TMainForm& f = *h.Form;
  f.show();
  QApplication::processEvents();
  ASSERT_EQ(f.TreePanelWidth(), 165);
  QSplitterHandle* handle = f.Splitter1->handle(1);
  ASSERT_NE(handle, nullptr);
  const QPoint grip(1, handle->height() / 2);
  auto send = [handle](QEvent::Type type, QPoint splitterPos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    const QPoint global = handle->parentWidget()->mapToGlobal(splitterPos);
    QMouseEvent event(type, handle->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(handle, &event);
  };
  const QPoint start = handle->mapToParent(grip);
  send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
  const struct {
    int width;
    int shown;
  } drags[] = {{100, 100}, {19, 100}, {5, 100}, {20, 20}, {140, 140}};
  for (const auto& d : drags) {
    SCOPED_TRACE(d.width);
    send(QEvent::MouseMove, QPoint(d.width + grip.x(), start.y()), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(f.TreePanelWidth(), d.shown);
  }
  send(QEvent::MouseButtonRelease, QPoint(140 + grip.x(), start.y()), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(f.TreePanelWidth(), 140);
}

TEST(WizardModelAtStart, TheDefaultImageFollowsTheStoredWords) {
  const struct {
    int aux, output, option2, basic;  // OPT0..OPT3; -1: not stored
    const char* modelCode;
    uint16_t h1, h2, loop1, loop2;
    int c23;  // input 2 type after the reset of the inputs
    const char* tree;
  } cases[] = {
      {-1, -1, -1, -1, "Q41A0D0AS000**", 0x01, 0x00, 0x01, 0x00, 128, "*0 1 *2 3 5 6 8 10"},
      {0x8000, 0xC91, 0xB0, 2, "Q42A3D2AS012**", 0x8C91, 0xB2, 0x91, 0x400, 128, "*0 1 *2 3 4 5 6 7 8 10"},
      {0, 0x841, 0x30, 4, "Q42A0D3AS001**", 0x841, 0x34, 0x01, 0x40, 225, "*0 1 *2 3 4 5 6 7 8 10"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.modelCode);
    MainFormHarness h;
    if (c.aux >= 0) WriteStartSettings(h, c.aux, c.output, c.option2, c.basic, kKeep);
    h.Start();
    TCore& core = *h.Core;
    EXPECT_EQ(core.ModelCode, c.modelCode);
    EXPECT_EQ(h.Form->Caption(), std::string("(Untitled) - KVL-Q70 - ") + c.modelCode);
    EXPECT_EQ(core.Model.HardwareType1, c.h1);
    EXPECT_EQ(core.Model.HardwareType2, c.h2);
    EXPECT_EQ(static_cast<uint16_t>(core.GetParam(8, 96, 1, 0)->Value), c.h1);
    EXPECT_EQ(static_cast<uint16_t>(core.GetParam(8, 97, 1, 0)->Value), c.h2);
    EXPECT_EQ(core.Model.Loop1OutputWord, c.loop1);
    EXPECT_EQ(core.Model.Loop2OutputWord, c.loop2);
    // The whole image took its defaults: empty programs, default tags, inputs reset.
    EXPECT_EQ(core.GetPatternValue(1, 1, 1)->Value, kEmptyValue);
    EXPECT_EQ(core.GetPatternValue(19, 23, 30)->Value, kEmptyValue);
    char tag[10] = {};
    ASSERT_TRUE(core.GetTag(7, tag));
    EXPECT_STREQ(tag, "PROG07  ");
    EXPECT_EQ(core.GetParam(8, 3, 1, 0)->Value, 0);
    EXPECT_EQ(core.GetParam(8, 23, 1, 0)->Value, c.c23);
    EXPECT_EQ(TreeOf(*h.Form), c.tree);
    // The words are kept as read for the settings written at close.
    ASSERT_TRUE(h.Form->SaveSettings());
    kvl::TIniSettingsStore store(h.IniPath());
    EXPECT_EQ(kvl::ReadInteger(store, "OPTION", "OPT0", -1), c.aux >= 0 ? c.aux : 0);
    EXPECT_EQ(kvl::ReadInteger(store, "OPTION", "OPT1", -1), c.aux >= 0 ? c.output : 1);
    EXPECT_EQ(kvl::ReadInteger(store, "OPTION", "OPT2", -1), c.aux >= 0 ? c.option2 : 0);
    EXPECT_EQ(kvl::ReadInteger(store, "OPTION", "OPT3", -1), c.aux >= 0 ? c.basic : 0);
  }

  // Run again once the window stands, the views follow the new model.
  MainFormHarness h;
  h.Start();
  h.Core->GetParam(8, 8, 1, 0)->Value = 1;  // reset again below
  h.Core->Model.OutputWord = 0x841;
  h.Core->Model.BasicWord = 1;
  h.Form->ApplyWizardModelAtStart();
  EXPECT_EQ(h.Core->ModelCode, "Q42A0D1AS000**");
  EXPECT_EQ(h.Core->GetParam(8, 8, 1, 0)->Value, 0);
  EXPECT_EQ(TreeOf(*h.Form), "*0 1 *2 3 4 5 6 7 8 10");
  EXPECT_FALSE(h.Form->MenuItem("TableGraph")->isEnabled());
  EXPECT_EQ(h.Form->SelectedEntry(), 2);
}

}  // namespace
