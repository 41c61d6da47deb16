#include "core/filter_key.h"

#include <gtest/gtest.h>

namespace trelvik {
namespace {

TEST(FilterKey, PassesDigitsPointAndBackspaceOnly) {
  const struct {
    int code;
    bool passes;
    const char* why;
  } rows[] = {
      {'0', true, "lowest digit"},
      {'9', true, "highest digit"},
      {'.', true, "decimal point"},
      {8, true, "backspace"},
      {'/', false, "just below 0"},
      {':', false, "just above 9"},
      {'-', false, "minus sign"},
      {',', false, "comma"},
      {' ', false, "blank"},
      {'a', false, "letter"},
      {'E', false, "exponent letter"},
      {13, false, "Enter"},
      {3, false, "Ctrl+C"},
      {22, false, "Ctrl+V"},
      {26, false, "Ctrl+Z"},
      {27, false, "Escape"},
      {127, false, "DEL"},
      {0x4E2D, false, "a Chinese character"},
      {0xFF18, false, "full-width 8"},
      {-1, false, "negative code"},
  };
  for (const auto& row : rows) {
    std::int16_t code = static_cast<std::int16_t>(row.code);
    const std::int16_t before = code;
    FilterKey(code);
    EXPECT_EQ(code, row.passes ? before : 0) << row.why;
  }
}

}  // namespace
}  // namespace trelvik
