#pragma once

#include <cstdint>

namespace trelvik {

// The key filter shared by the four boxes: digits, "." and backspace pass,
// every other typed character is set to 0 and never reaches the box. The
// codes compare as signed 16-bit values, so no character outside ASCII
// (a Chinese character, a full-width digit) can pass.
constexpr void FilterKey(std::int16_t& code) {
  constexpr std::int16_t kBackspace = 8;
  if (code == kBackspace) return;
  if ((code >= '0' && code <= '9') || code == '.') return;
  code = 0;
}

}  // namespace trelvik
