#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// How the fuzz targets turn bytes into the UTF-16 text of a box.
//
// A byte below 0x80 is the ASCII character it encodes, so every character a
// number is made of costs a single byte and the seed files are readable text.
// Bytes 0x80 to 0xFE are the Latin-1 characters U+0080 to U+00FE, the
// no-break space among them. 0xFF takes the two bytes after it, high byte
// first, as any code unit at all (a lone surrogate included); with fewer than
// two bytes left it is U+00FF.

namespace trelvik::fuzz {

inline std::u16string DecodeText(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  text.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && size - i > 2) {
      text += static_cast<char16_t>(data[i + 1] << 8 | data[i + 2]);
      i += 2;
    } else {
      text += static_cast<char16_t>(data[i]);
    }
  }
  return text;
}

}  // namespace trelvik::fuzz
