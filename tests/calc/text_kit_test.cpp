#include "app/calc/text_kit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/number_text.h"

namespace trelvik::calc {
namespace {

TEST(CalcText, QuotedIsSafeToEchoOnATerminal) {
  const struct {
    std::string argument, quoted;
  } rows[] = {
      {"8", "\"8\""},
      {"", "\"\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"\x1b[31m\t\n\x7f", "\"\\x1B[31m\\x09\\x0A\\x7F\""},
      {"大小", "\"大小\""},
      {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},  // outside the BMP
      {"\xC2\x9B", "\"\\xC2\\x9B\""},                // C1 control introducer
      {"\xFF\xFE", "\"\\xFF\\xFE\""},
      {"\xC0\xAF", "\"\\xC0\\xAF\""},           // overlong "/"
      {"\xED\xA0\x80", "\"\\xED\\xA0\\x80\""},  // surrogate
      {"\xE5\xA4", "\"\\xE5\\xA4\""},           // cut short
  };
  for (const auto& row : rows) EXPECT_EQ(Quoted(row.argument), row.quoted);
}

TEST(CalcText, Utf8FromBoxText) {
  EXPECT_EQ(Utf8(u"实时错误 '6':"), "实时错误 '6':");
  EXPECT_EQ(Utf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8(std::u16string{u'a', char16_t{0xD800}, u'b', char16_t{0xDC00}}), "a\uFFFDb\uFFFD");
}

TEST(CalcText, JsonValueKeepsNumbersAndQuotesTheRest) {
  const struct {
    std::string text, json;
  } rows[] = {
      {"8220", "8220"},
      {"-4", "-4"},
      {"304.4", "304.4"},
      {"0", "0"},
      {"1E+15", "1E+15"},
      {"1.23456789012346E-5", "1.23456789012346E-5"},
      {"NaN", "\"NaN\""},
      {"-Infinity", "\"-Infinity\""},
      {"08", "\"08\""},
      {".5", "\".5\""},
      {"5.", "\"5.\""},
      {"1E", "\"1E\""},
      {"-", "\"-\""},
      {"", "\"\""},
      {"a\"\n", "\"a\\\"\\u000A\""},
  };
  for (const auto& row : rows) EXPECT_EQ(JsonValue(row.text), row.json) << row.text;
}

TEST(CalcText, EveryFiniteNumberTheWindowWritesIsAJsonNumber) {
  for (int exponent = -330; exponent <= 308; ++exponent) {
    for (const double mantissa :
         {1.0, 1.5, 1.23456789012346, 9.99999999999999, 9.999999999999999}) {
      for (const double sign : {1.0, -1.0}) {
        const double value = sign * mantissa * std::pow(10.0, exponent);
        if (!std::isfinite(value)) continue;
        const std::string text = Utf8(FormatNumber(value));
        EXPECT_EQ(JsonValue(text), text);
      }
    }
  }
}

}  // namespace
}  // namespace trelvik::calc
