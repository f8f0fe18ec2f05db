// The file-history menu: the names of recently used files as numbered menu
// items right after an anchor item of the host's menu. The anchor shows
// entry 0; the component creates the items for the others. A click reports
// the clicked item and its file name through OnTagClick.
#pragma once

#include <QObject>

#include <functional>
#include <string>
#include <vector>

#include "FileHistoryList.h"

class QAction;
class QMenu;

class TFileHistoryMenu : public QObject {
 public:
  using TagClickHandler = std::function<void(QObject* sender, const std::string& fileName)>;

  // The created items belong to `owner` (the host window).
  explicit TFileHistoryMenu(QObject* owner);

  TagClickHandler OnTagClick;

  int MaxFileCount() const { return List.MaxFileCount(); }
  // 0..35 places; errors are std::runtime_error with the user's message.
  void SetMaxFileCount(int value);
  int FileCount() const { return List.FileCount(); }
  void SetFileCount(int value);
  QAction* HistoryMenuItem() const { return Anchor; }
  // The anchor must already be in a menu.
  void SetHistoryMenuItem(QAction* item);
  const std::string& GetFileName(int index) const { return List.FileName(index); }
  void SetFileName(int index, const std::string& name) { List.SetFileName(index, name); }
  // The created item that shows entry index + 1; null past the last one.
  QAction* GetHistoryMenuItems(int index) const;

  void AddFileMenu(const std::string& name, bool toTop);
  void DelFileName(int index);
  // Captions and visibility of the items from the list.
  void AllocFileNumber();

  void HistoryMenuItemClick();
  void HistoryMenuItemsClick(QAction* item);

  const kvl::TFileHistoryList& Entries() const { return List; }

 private:
  QMenu* AnchorMenu() const;
  void InsertAfterAnchor(QAction* item, int place);

  QObject* Owner;
  kvl::TFileHistoryList List;
  QAction* Anchor = nullptr;
  std::vector<QAction*> Items;  // slot i shows entry i; slot 0 is the anchor's place (null)
};
