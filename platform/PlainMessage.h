// Plain message boxes that code without a user interface of its own has to
// show (for instance the serial port's "send data too long"). The user
// interface installs a handler that shows a message box; until then the text
// goes to the standard error stream.
#pragma once

#include <string_view>

namespace kvl {

using PlainMessageHandler = void (*)(std::string_view text);

// Installs the handler (nullptr restores the standard error stream) and
// returns the previous one.
PlainMessageHandler SetPlainMessageHandler(PlainMessageHandler handler);

void ShowPlainMessage(std::string_view text);

}  // namespace kvl
