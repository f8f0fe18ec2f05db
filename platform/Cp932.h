// Conversion between the UTF-8 texts of the sources and the CP932 bytes the
// controller's tools, listings and byte counts use.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kvl {

// UTF-8 to CP932. Characters CP932 cannot hold are replaced by '?'.
std::string ToCp932(std::string_view utf8);

// UTF-8 to CP932 when CP932 holds every character of the text; none when it
// cannot hold one (or the text is no valid UTF-8).
std::optional<std::string> ToCp932Exact(std::string_view utf8);

// CP932 to UTF-8. Bytes that are no CP932 character are replaced by U+FFFD.
std::string FromCp932(std::string_view cp932);

// The length of a UTF-8 text in CP932 bytes (half-width katakana 1, other
// Japanese characters 2, ASCII 1).
int Cp932Width(std::string_view utf8);

}  // namespace kvl
