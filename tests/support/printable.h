#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace trelvik::test {

// A UTF-16 text for comparisons and failure messages: ASCII as it is, every
// other code unit as \uXXXX. Lossless, so two texts compare equal exactly
// when their code units do.
inline std::string Printable(std::u16string_view text) {
  std::string out;
  for (const char16_t unit : text) {
    if (unit >= 0x20 && unit < 0x7F && unit != u'\\') {
      out += static_cast<char>(unit);
    } else {
      char escape[7];
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(unit));
      out += escape;
    }
  }
  return out;
}

// The same for an ASCII table's text.
inline std::u16string Widen(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace trelvik::test
