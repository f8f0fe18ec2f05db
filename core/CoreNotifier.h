// How the data image shows the few plain notices it has (the conversion of an
// old-type data file and a backup that could not be made). The core opens no
// window: the user interface supplies the notifier; without one the notices
// are dropped.
#pragma once

#include <string>

class TCoreNotifier {
 public:
  virtual ~TCoreNotifier() = default;
  // A plain message box with one OK button. Texts are UTF-8.
  virtual void ShowNotice(const std::string& text, const std::string& caption) = 0;
};
