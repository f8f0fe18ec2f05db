#include "FileHistoryMenu.h"

#include <QAction>
#include <QMenu>

#include <stdexcept>

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

TFileHistoryMenu::TFileHistoryMenu(QObject* owner) : QObject(owner), Owner(owner) {
  List.SetMaxFileCount(0);
  Items.assign(1, nullptr);
  SetMaxFileCount(kvl::TFileHistoryList::kDefaultMaxFileCount);
}

QMenu* TFileHistoryMenu::AnchorMenu() const {
  if (!Anchor) return nullptr;
  for (QObject* object : Anchor->associatedObjects())
    if (auto* menu = qobject_cast<QMenu*>(object)) return menu;
  return nullptr;
}

// Puts the item at the anchor's position + place in the anchor's menu.
void TFileHistoryMenu::InsertAfterAnchor(QAction* item, int place) {
  QMenu* menu = AnchorMenu();
  if (!menu) return;
  menu->removeAction(item);
  const QList<QAction*> actions = menu->actions();
  const qsizetype at = actions.indexOf(Anchor) + place;
  menu->insertAction(at < actions.size() ? actions[at] : nullptr, item);
}

void TFileHistoryMenu::SetMaxFileCount(int value) {
  if (value < 0) throw std::runtime_error("負の値は無効です。");
  if (value > kvl::TFileHistoryList::kPlaceLimit) throw std::runtime_error("履歴の数が大きすぎます。");
  if (Anchor) Anchor->setVisible(value != 0);
  const int old = List.MaxFileCount();
  for (int i = old; i < value; ++i) {
    if (i == 0) continue;
    auto* item = new QAction(Owner);
    item->setData(i);
    connect(item, &QAction::triggered, this, [this, item] { HistoryMenuItemsClick(item); });
    // A new place holds no name yet: its item stays hidden until one is added.
    item->setVisible(false);
    Items.push_back(item);
    InsertAfterAnchor(item, i);
  }
  for (int i = old - 1; i >= value; --i) {
    if (i == 0) continue;
    QAction* item = Items[static_cast<size_t>(i)];
    item->setVisible(false);
    if (QMenu* menu = AnchorMenu()) menu->removeAction(item);
    delete item;
    Items.pop_back();
  }
  List.SetMaxFileCount(value);
}

void TFileHistoryMenu::SetFileCount(int value) { List.SetFileCount(value); }

void TFileHistoryMenu::SetHistoryMenuItem(QAction* item) {
  if (!item) throw std::runtime_error("親メニューがありません。");
  QMenu* menu = nullptr;
  for (QObject* object : item->associatedObjects())
    if ((menu = qobject_cast<QMenu*>(object))) break;
  if (!menu) throw std::runtime_error("親メニューがありません。");
  if (Anchor && Anchor != item) {
    disconnect(Anchor, &QAction::triggered, this, nullptr);
    if (QMenu* old = AnchorMenu())
      for (size_t i = 1; i < Items.size(); ++i) old->removeAction(Items[i]);
  }
  Anchor = item;
  if (List.MaxFileCount() != 0) Anchor->setVisible(List.Shown(0));
  for (size_t i = 1; i < Items.size(); ++i) {
    Items[i]->setVisible(List.Shown(static_cast<int>(i)));
    InsertAfterAnchor(Items[i], static_cast<int>(i));
  }
  disconnect(Anchor, &QAction::triggered, this, nullptr);
  connect(Anchor, &QAction::triggered, this, [this] { HistoryMenuItemClick(); });
}

QAction* TFileHistoryMenu::GetHistoryMenuItems(int index) const {
  const size_t slot = static_cast<size_t>(index) + 1;
  return index >= 0 && slot < Items.size() ? Items[slot] : nullptr;
}

void TFileHistoryMenu::AddFileMenu(const std::string& name, bool toTop) {
  List.AddFileMenu(name, toTop);
  AllocFileNumber();
}

void TFileHistoryMenu::DelFileName(int index) {
  const int count = List.FileCount();
  List.DelFileName(index);
  if (List.FileCount() != count) {
    // The place that fell empty hides its item.
    const int emptied = count - 1;
    if (emptied == 0) {
      if (Anchor) Anchor->setVisible(false);
    } else {
      Items[static_cast<size_t>(emptied)]->setVisible(false);
    }
  }
  AllocFileNumber();
}

void TFileHistoryMenu::AllocFileNumber() {
  if (Anchor && List.MaxFileCount() != 0) {
    Anchor->setText(Q(List.Caption(0)));
    Anchor->setVisible(List.Shown(0));
  }
  for (int i = 1; i < List.FileCount(); ++i) {
    QAction* item = Items[static_cast<size_t>(i)];
    item->setText(Q(List.Caption(i)));
    item->setVisible(List.Shown(i));
  }
}

void TFileHistoryMenu::HistoryMenuItemClick() {
  if (OnTagClick && List.MaxFileCount() != 0) OnTagClick(Anchor, List.FileName(0));
}

void TFileHistoryMenu::HistoryMenuItemsClick(QAction* item) {
  const int entry = item->data().toInt();
  if (OnTagClick && entry >= 0 && entry < List.MaxFileCount()) OnTagClick(item, List.FileName(entry));
}
