#include "Cp932.h"

#include <iconv.h>

#include <cerrno>

namespace kvl {
namespace {

// Converts with iconv; on an unconvertible sequence skips one input unit and
// appends the replacement, counting it in `replaced` when given.
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement, size_t skipUnit, size_t* replaced = nullptr) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    if (replaced && !in.empty()) ++*replaced;  // nothing of the text was converted
    return std::string();
  }
  std::string out;
  out.reserve(in.size() * 2);
  char* inp = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char buf[256];
  while (inLeft > 0) {
    char* outp = buf;
    size_t outLeft = sizeof buf;
    size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    out.append(buf, static_cast<size_t>(outp - buf));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: skip the offending unit (a whole UTF-8 sequence
      // when converting from UTF-8).
      size_t skip = skipUnit;
      if (skipUnit == 0) {  // UTF-8 sequence length
        unsigned char c = static_cast<unsigned char>(*inp);
        skip = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
      }
      if (skip > inLeft) skip = inLeft;
      inp += skip;
      inLeft -= skip;
      out.append(replacement);
      if (replaced) ++*replaced;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string ToCp932(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8, "?", 0); }

std::optional<std::string> ToCp932Exact(std::string_view utf8) {
  size_t replaced = 0;
  std::string bytes = Convert("CP932", "UTF-8", utf8, "?", 0, &replaced);
  if (replaced != 0) return std::nullopt;
  return bytes;
}

std::string FromCp932(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", 1);
}

int Cp932Width(std::string_view utf8) { return static_cast<int>(ToCp932(utf8).size()); }

}  // namespace kvl
