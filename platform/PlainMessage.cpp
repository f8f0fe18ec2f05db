#include "PlainMessage.h"

#include <atomic>
#include <cstdio>

namespace kvl {

namespace {
std::atomic<PlainMessageHandler> gHandler{nullptr};
}

PlainMessageHandler SetPlainMessageHandler(PlainMessageHandler handler) { return gHandler.exchange(handler); }

void ShowPlainMessage(std::string_view text) {
  if (PlainMessageHandler handler = gHandler.load()) {
    handler(text);
    return;
  }
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace kvl
