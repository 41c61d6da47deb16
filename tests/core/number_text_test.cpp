#include "core/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "core/runtime_error.h"
#include "tests/support/printable.h"

namespace trelvik {
namespace {

struct ParseRow {
  std::u16string text;
  double value;
  const char* why;
};

void ExpectParses(const std::vector<ParseRow>& rows) {
  for (const ParseRow& row : rows) {
    SCOPED_TRACE(row.why);
    const double got = ParseNumber(row.text);
    EXPECT_EQ(got, row.value) << "text \"" << test::Printable(row.text) << "\"";
    EXPECT_EQ(std::signbit(got), std::signbit(row.value))
        << "text \"" << test::Printable(row.text) << "\"";
  }
}

TEST(ParseNumber, DigitsAndPoint) {
  ExpectParses({
      {u"12", 12, "plain integer"},
      {u"1.5", 1.5, "one point"},
      {u"1.2.3", 1.2, "reading stops at the second point"},
      {u".5", 0.5, "no digit before the point"},
      {u"5.", 5, "no digit after the point"},
      {u"007", 7, "leading zeros"},
      {u"0.3", 0.3, "nearest double, as written by the user"},
      {u"8.61", 8.61, "the kind of size the program exists to avoid"},
      {u"1.7976931348623157e308", std::numeric_limits<double>::max(), "largest double"},
  });
}

TEST(ParseNumber, NoDigitGivesZero) {
  ExpectParses({
      {u"", 0, "empty box"},
      {u".", 0, "a lone point"},
      {u"..5", 0, "second point ends the number before any digit"},
      {u"abc", 0, "starts with a letter"},
      {u"-", 0, "a sign alone is no number"},
      {u"+.", 0, "sign and point, still no digit"},
      {u"E5", 0, "an exponent without a mantissa"},
      {u"\r8", 0, "a carriage return is not skipped"},
      {u",5", 0, "a comma is never a decimal separator"},
  });
}

TEST(ParseNumber, SkipsBlanksTabsAndLineFeedsAnywhere) {
  ExpectParses({
      {u"1 2", 12, "blank between digits"},
      {u"  8", 8, "leading blanks"},
      {u"8  ", 8, "trailing blanks"},
      {u"\t1\n2 .\t5", 12.5, "tabs and line feeds, also around the point"},
      {u"- 3", -3, "blank after the sign"},
      {u"1 E 1", 10, "blanks around the exponent letter"},
      {u"1E -\t2", 0.01, "blanks around the exponent sign"},
      {u"1E 1 0", 1e10, "blanks between exponent digits"},
      {u" \t\n", 0, "nothing but skipped characters"},
      {u"8\r\n9", 8, "a carriage return ends the number"},
      {u"1\u00a02", 1, "no-break space is not a blank"},
      {u"1\u30002", 1, "ideographic space is not a blank"},
  });
}

TEST(ParseNumber, SignsAndStopCharacters) {
  ExpectParses({
      {u"-4", -4, "minus sign"},
      {u"+4", 4, "plus sign"},
      {u"--4", 0, "second sign ends the number before any digit"},
      {u"4-", 4, "a sign after digits is junk"},
      {u"12kg", 12, "trailing letters"},
      {u"1,5", 1, "comma ends the number"},
      {u"3\u00bd", 3, "non-ASCII character ends the number"},
      {u"\uff18", 0, "full-width digit is not a digit"},
      {u"0x10", 0, "no radix prefixes"},
      {u"1D2", 1, "only E introduces an exponent"},
  });
}

TEST(ParseNumber, Exponents) {
  ExpectParses({
      {u"1E+15", 1e15, "what the formatter writes"},
      {u"1e+15", 1e15, "lower-case letter"},
      {u"1.23456789012346E+15", 1.23456789012346e15, "formatter's 15-digit mantissa"},
      {u"1E-10", 1e-10, "negative exponent"},
      {u"2.5e3", 2500, "no exponent sign"},
      {u"1E", 1, "an E without digits is not part of the number"},
      {u"1E+", 1, "nor is an E with only a sign"},
      {u"1E-x", 1, "nor one followed by junk"},
      {u"1E5E5", 1e5, "a second exponent is junk"},
      {u"0e999999999999999999999", 0, "zero stays zero under any exponent"},
      {u".5e1", 5, "exponent after a bare fraction"},
  });
}

TEST(ParseNumber, TinyValuesAreNotOverflow) {
  const double smallest = std::numeric_limits<double>::denorm_min();
  ExpectParses({
      {u"1e-400", 0, "below the smallest subnormal"},
      {u"-1e-400", -0.0, "keeps its sign"},
      {u"4.9406564584124654e-324", smallest, "smallest subnormal"},
      {u"2.5e-324", smallest, "just over half the smallest subnormal rounds up"},
      {u"2e-324", 0, "below half the smallest subnormal rounds to zero"},
      {u"1e-310", 1e-310, "an ordinary subnormal"},
      {u"1e-99999999999999999999", 0, "an absurd negative exponent"},
      {u"0.000000000000000000000000000000000000000000000000001e-300", 0, "zeros after the point"},
  });
}

TEST(ParseNumber, HugeValuesOverflow) {
  const std::u16string overflowing[] = {
      u"1e400",
      u"-1e400",
      u"1.7976931348623159e308",  // rounds past the largest double
      std::u16string(400, u'9'),  // 400 typed digits
      u"1e99999999999999999999",
      u"1" + std::u16string(309, u'0'),  // 1E+309 written out
      u"0." + std::u16string(10, u'0') + u"1e320",
  };
  for (const auto& text : overflowing) {
    SCOPED_TRACE(test::Printable(text).substr(0, 40));
    try {
      ParseNumber(text);
      ADD_FAILURE() << "no error";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::Overflow);
    }
  }
}

TEST(ParseNumber, LongTexts) {
  ExpectParses({
      {std::u16string(400, u'0') + u"1", 1, "400 zeros then a one"},
      {u"0." + std::u16string(400, u'0') + u"1e401", 1, "digits far after the point"},
      {u"1" + std::u16string(300, u'0'), 1e300, "301 digits"},
      {std::u16string(1 << 20, u' ') + u"8", 8, "a megabyte of blanks first"},
  });
  // A pasted megabyte of digits and points stops at the second point.
  std::u16string pasted = u"1.";
  pasted.append(1 << 20, u'5');
  pasted += u".7";
  EXPECT_NEAR(ParseNumber(pasted), 1.5555555555555556, 1e-15);
}

TEST(ParseNumber, IgnoresTheProcessLocale) {
  // A locale whose decimal separator is a comma, set for the whole process.
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
#ifdef _WIN32
  constexpr char kCommaLocale[] = "German_Germany.1252";
#else
  constexpr char kCommaLocale[] = "de_DE.UTF-8";
#endif
  if (!std::setlocale(LC_ALL, kCommaLocale)) {
    GTEST_SKIP() << "the " << kCommaLocale << " locale is not installed; scripts/test makes it";
  }
  ASSERT_EQ(*std::localeconv()->decimal_point, ',');
  const double comma = ParseNumber(u"1,5");
  const double point = ParseNumber(u"1.5");
  const std::u16string written = FormatNumber(304.4);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(comma, 1);
  EXPECT_EQ(point, 1.5);
  EXPECT_EQ(written, u"304.4");
}

struct FormatRow {
  double value;
  std::u16string text;
  const char* why;
};

TEST(FormatNumber, PlainForm) {
  const FormatRow rows[] = {
      {8220, u"8220", "integral values have no point"},
      {-4, u"-4", "minus sign, no point"},
      {304.4, u"304.4", "only the digits needed"},
      {1538, u"1538", "held as a double, still no point"},
      {0.112, u"0.112", "zero before the point"},
      {-0.5, u"-0.5", "negative below one"},
      {0, u"0", "zero"},
      {-0.0, u"0", "negative zero has no sign"},
      {1229.6, u"1229.6", "FAT32 result for 1.2"},
      {0.1 + 0.2, u"0.3", "rounded to 15 significant digits"},
      {1.0 / 3, u"0.333333333333333", "15 significant digits"},
      {2.0 / 3, u"0.666666666666667", "last digit rounded up"},
      {0.0001, u"0.0001", "smallest magnitude in plain form"},
      {999999999999999, u"999999999999999", "fifteen nines stay plain"},
      {-999999999999999, u"-999999999999999", "also negative"},
      {123456789012345.6, u"123456789012346", "rounding may leave an integer"},
      {9.9999999999999995, u"10", "carry adds a digit"},
      {0.99999999999999995, u"1", "carry across the point"},
  };
  for (const FormatRow& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(test::Printable(FormatNumber(row.value)), test::Printable(row.text));
  }
}

TEST(FormatNumber, ExponentForm) {
  const FormatRow rows[] = {
      {1e15, u"1E+15", "first value in exponent form"},
      {-1e15, u"-1E+15", "negative"},
      {999999999999999.5, u"1E+15", "rounds up into exponent form"},
      {1234567890123456, u"1.23456789012346E+15", "sixteen digits"},
      {1028e12 - 4, u"1.028E+15", "trailing zeros of the rounded mantissa dropped"},
      {1e100, u"1E+100", "three exponent digits"},
      {std::numeric_limits<double>::max(), u"1.79769313486232E+308", "largest double"},
      {1e-10, u"1E-10", "small magnitude"},
      {0.00009, u"9E-5", "just below the plain range"},
      {-2.5e-7, u"-2.5E-7", "negative and small"},
      {std::numeric_limits<double>::denorm_min(), u"4.94065645841247E-324", "smallest subnormal"},
  };
  for (const FormatRow& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(test::Printable(FormatNumber(row.value)), test::Printable(row.text));
  }
}

TEST(FormatNumber, NonFiniteValues) {
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity()), u"Infinity");
  EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity()), u"-Infinity");
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::quiet_NaN()), u"NaN");
}

TEST(FormatNumber, ReadsBackAsTheSameValue) {
  // Every power of ten below 1E15 and its neighbours, and a spread of
  // integers in between: the round trip through a box is exact.
  double power = 1;
  for (int exponent = 0; exponent < 15; ++exponent, power *= 10) {
    for (double value : {power - 1, power, power + 1, 7 * power + 3}) {
      if (value >= 1e15) continue;
      EXPECT_EQ(ParseNumber(FormatNumber(value)), value) << value;
      EXPECT_EQ(ParseNumber(FormatNumber(-value)), -value) << value;
    }
  }
  for (double value = 1; value < 1e15; value = value * 3 + 7) {
    EXPECT_EQ(ParseNumber(FormatNumber(value)), value) << value;
  }
  // Values that need the exponent form read back as the number they show.
  for (double value : {1e15, 1.23456789012346e15, 1e-10, 2.5e-7, 1e300}) {
    EXPECT_EQ(FormatNumber(ParseNumber(FormatNumber(value))), FormatNumber(value));
  }
}

}  // namespace
}  // namespace trelvik
