#include "FileHistoryMenu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "FileHistoryList.h"

namespace {

using kvl::TFileHistoryList;

// The used entries, in order.
std::vector<std::string> Used(const TFileHistoryList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.FileCount(); ++i) names.push_back(list.FileName(i));
  return names;
}

// The message of the error `step` raises, empty when it raises none.
std::string ErrorOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return {};
}

// Each case runs its steps on a fresh list of three places and checks the
// used entries, the error of the last step and that every unused place is empty.
TEST(FileHistoryList, Rules) {
  using Step = std::function<void(TFileHistoryList&)>;
  auto add = [](const char* name, bool toTop) { return Step([=](TFileHistoryList& l) { l.AddFileMenu(name, toTop); }); };
  auto del = [](int index) { return Step([=](TFileHistoryList& l) { l.DelFileName(index); }); };
  auto max = [](int value) { return Step([=](TFileHistoryList& l) { l.SetMaxFileCount(value); }); };
  auto count = [](int value) { return Step([=](TFileHistoryList& l) { l.SetFileCount(value); }); };
  auto set = [](int index, const char* name) { return Step([=](TFileHistoryList& l) { l.SetFileName(index, name); }); };
  const struct Case {
    const char* what;
    std::vector<Step> steps;
    std::vector<std::string> used;
    const char* error;
  } cases[] = {
      {"add to the end", {add("a", false), add("b", false)}, {"a", "b"}, ""},
      {"add to the top", {add("a", true), add("b", true)}, {"b", "a"}, ""},
      {"a listed name moves to the top", {add("a", true), add("b", true), add("c", true), add("a", true)},
       {"a", "c", "b"}, ""},
      {"a listed name moves to the end", {add("a", false), add("b", false), add("c", false), add("a", false)},
       {"b", "c", "a"}, ""},
      {"names compare exactly", {add("a", false), add("A", false)}, {"a", "A"}, ""},
      {"full, to the top: the last is dropped", {add("a", true), add("b", true), add("c", true), add("d", true)},
       {"d", "c", "b"}, ""},
      {"full, to the end: the last is replaced",
       {add("a", false), add("b", false), add("c", false), add("d", false)}, {"a", "b", "d"}, ""},
      {"delete the first", {add("a", false), add("b", false), add("c", false), del(0)}, {"b", "c"}, ""},
      {"delete the last", {add("a", false), add("b", false), add("c", false), del(2)}, {"a", "b"}, ""},
      {"delete past the used entries changes nothing", {add("a", false), del(1), del(-1)}, {"a"}, ""},
      {"fewer places lower the count", {add("a", false), add("b", false), add("c", false), max(2)}, {"a", "b"}, ""},
      {"more places keep the names", {add("a", true), add("b", true), max(5), add("c", false)}, {"b", "a", "c"}, ""},
      {"no places: adding fails", {max(0), add("a", true)}, {}, "MaxFileCountが0です。"},
      {"no places: deleting fails", {max(0), del(0)}, {}, "MaxFileCountが0です。"},
      {"an empty name fails", {add("a", true), add("", true)}, {"a"}, "ファイル名がありません。"},
      {"a negative place count fails", {add("a", true), max(-1)}, {"a"}, "負の値は無効です。"},
      {"36 places fail", {max(36)}, {}, "履歴の数が大きすぎます。"},
      {"35 places are allowed", {max(35), add("a", false)}, {"a"}, ""},
      {"a count above the places fails", {count(4)}, {}, "最大履歴数よりFileCountが大きいです。"},
      {"a negative count fails", {count(-1)}, {}, "負の値は無効です。"},
      {"names set by index, then counted", {set(0, "x"), set(1, "y"), count(2)}, {"x", "y"}, ""},
      {"an index at the place count fails", {set(3, "x")}, {}, "Indexの値がMAXFileCountを越えてます。"},
      {"a negative index fails", {set(-1, "x")}, {}, "負の値は無効です。"},
      {"a name stored past the count is not kept twice", {set(2, "x"), add("x", false)}, {"x"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFileHistoryList list;
    EXPECT_EQ(list.MaxFileCount(), 5);
    list.SetMaxFileCount(3);
    std::string error;
    for (const Step& step : c.steps) error = ErrorOf([&] { step(list); });
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(Used(list), c.used);
    for (int i = list.FileCount(); i < list.MaxFileCount(); ++i) EXPECT_EQ(list.FileName(i), "") << i;
  }
}

TEST(FileHistoryList, Captions) {
  TFileHistoryList list;
  list.SetMaxFileCount(12);
  const char* const paths[] = {"C:\\data\\first.kvl", "/home/user/second.kvl", "D:third.kvl", "plain.kvl"};
  for (const char* path : paths) list.AddFileMenu(path, false);
  for (int i = 4; i < 12; ++i) list.AddFileMenu("/tmp/f" + std::to_string(i + 1) + ".kvl", false);
  EXPECT_EQ(list.Caption(0), "&1 first.kvl");
  EXPECT_EQ(list.Caption(1), "&2 second.kvl");
  EXPECT_EQ(list.Caption(2), "&3 third.kvl");
  EXPECT_EQ(list.Caption(3), "&4 plain.kvl");
  EXPECT_EQ(list.Caption(9), "&10 f10.kvl");  // access key 1
  EXPECT_EQ(list.Caption(11), "&12 f12.kvl");
}

// The items in the host's menu: after the anchor, in entry order, the
// host's other items left in place.
struct MenuFixture {
  MenuFixture() {
    Before = Menu.addAction(QStringLiteral("Open"));
    Anchor = Menu.addAction(QStringLiteral("History"));
    After = Menu.addAction(QStringLiteral("Quit"));
    History.SetHistoryMenuItem(Anchor);
    History.OnTagClick = [this](QObject* sender, const std::string& name) { Clicks.push_back({sender, name}); };
  }
  // The texts of the visible items of the menu.
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (QAction* action : Menu.actions())
      if (action->isVisible()) texts.push_back(action->text().toStdString());
    return texts;
  }
  QObject Owner;
  QMenu Menu;
  QAction* Before = nullptr;
  QAction* Anchor = nullptr;
  QAction* After = nullptr;
  TFileHistoryMenu History{&Owner};
  std::vector<std::pair<QObject*, std::string>> Clicks;
};

TEST(FileHistoryMenu, ItemsFollowTheList) {
  MenuFixture f;
  EXPECT_EQ(f.Menu.actions().size(), 7);  // the host's three and four created items
  EXPECT_EQ(f.Shown(), (std::vector<std::string>{"Open", "Quit"}));
  f.History.AddFileMenu("/d/a.kvl", true);
  f.History.AddFileMenu("/d/b.kvl", true);
  f.History.AddFileMenu("/d/c.kvl", true);
  EXPECT_EQ(f.Shown(), (std::vector<std::string>{"Open", "&1 c.kvl", "&2 b.kvl", "&3 a.kvl", "Quit"}));
  f.History.DelFileName(0);
  EXPECT_EQ(f.Shown(), (std::vector<std::string>{"Open", "&1 b.kvl", "&2 a.kvl", "Quit"}));

  // Clicks report the entry shown.
  f.Anchor->trigger();
  f.History.GetHistoryMenuItems(0)->trigger();
  ASSERT_EQ(f.Clicks.size(), 2u);
  EXPECT_EQ(f.Clicks[0], std::make_pair(static_cast<QObject*>(f.Anchor), std::string("/d/b.kvl")));
  EXPECT_EQ(f.Clicks[1], std::make_pair(static_cast<QObject*>(f.History.GetHistoryMenuItems(0)), std::string("/d/a.kvl")));

  // Fewer places: the surplus items leave the menu, the host's stay.
  f.History.SetMaxFileCount(1);
  EXPECT_EQ(f.History.FileCount(), 1);
  EXPECT_EQ(f.Menu.actions().size(), 3);
  EXPECT_EQ(f.Shown(), (std::vector<std::string>{"Open", "&1 b.kvl", "Quit"}));
  EXPECT_EQ(f.History.GetHistoryMenuItems(0), nullptr);

  // No places hide the anchor; more places come back in order.
  f.History.SetMaxFileCount(0);
  EXPECT_EQ(f.Shown(), (std::vector<std::string>{"Open", "Quit"}));
  f.History.SetMaxFileCount(3);
  f.History.AddFileMenu("/d/x.kvl", false);
  f.History.AddFileMenu("/d/y.kvl", false);
  EXPECT_EQ(f.Shown(), (std::vector<std::string>{"Open", "&1 x.kvl", "&2 y.kvl", "Quit"}));
  EXPECT_EQ(f.Menu.actions().indexOf(f.History.GetHistoryMenuItems(0)), 2);
  EXPECT_EQ(f.Menu.actions().indexOf(f.History.GetHistoryMenuItems(1)), 3);
}

TEST(FileHistoryMenu, AnchorMustBeInAMenu) {
  QObject owner;
  TFileHistoryMenu history(&owner);
  QAction loose(QStringLiteral("loose"));
  EXPECT_EQ(ErrorOf([&] { history.SetHistoryMenuItem(&loose); }), "親メニューがありません。");
  EXPECT_EQ(history.HistoryMenuItem(), nullptr);
  EXPECT_EQ(ErrorOf([&] { history.SetHistoryMenuItem(nullptr); }), "親メニューがありません。");
  // Without an anchor the list still works; the created items belong to the owner.
  history.AddFileMenu("a", true);
  EXPECT_EQ(history.FileCount(), 1);
  EXPECT_EQ(history.GetHistoryMenuItems(0)->parent(), &owner);
  EXPECT_EQ(history.GetHistoryMenuItems(0)->data().toInt(), 1);
}

}  // namespace
