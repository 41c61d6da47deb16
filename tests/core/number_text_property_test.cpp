// The number conversions checked on a million generated texts and values
// against the C library: strtod for reading, printf's %.15G for writing.
//
// The draws are reproducible: TRELVIK_DIFF_SEED picks the seed (printed with
// every mismatch) and TRELVIK_DIFF_COUNT the number of draws per test.

#include <gtest/gtest.h>
#include <locale.h>

#include <bit>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "core/number_text.h"
#include "core/runtime_error.h"
#include "tests/support/number_reference.h"

namespace trelvik {
namespace {

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtoull(text, nullptr, 0) : fallback;
}

const std::uint64_t kSeed = EnvNumber("TRELVIK_DIFF_SEED", 20240611);
const std::uint64_t kCount = EnvNumber("TRELVIK_DIFF_COUNT", 1'000'000);

// A text for test output: printable ASCII as is, the rest as \uXXXX, long
// texts shortened in the middle.
std::string Shown(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.size() > 160 && i == 70) {
      out += "...(" + std::to_string(text.size() - 140) + " more)...";
      i = text.size() - 70;
    }
    const char16_t c = text[i];
    if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    }
  }
  return out;
}

// Enough digits to tell any two doubles apart.
std::string Exact(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::u16string Widened(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

// Makes texts of the grammar with the hard cases well represented: values
// next to the halfway point between two doubles, next to the largest double
// and the smallest subnormal, long digit runs, skipped characters anywhere
// and junk after the number.
class TextMaker {
 public:
  explicit TextMaker(std::uint64_t seed) : random_(seed) {}

  std::u16string Make() {
    if (Chance(0.05)) return Noise(Below(24));
    std::u16string text = Sign();
    switch (Below(10)) {
      case 0:
      case 1:
      case 2:
        text += Widened(Digits(Below(7))) + Fraction(Below(7)) + Exponent(Below(7));
        break;
      case 3:
        text += Widened(Digits(17 + Below(24))) + Fraction(Below(24)) + Exponent(Below(24));
        break;
      case 4:
        if (Chance(0.1)) {  // a pasted run of digits
          text += Widened(Digits(300 + Below(3000))) + Fraction(Below(300)) + Exponent(300);
        } else {
          text += Widened(Digits(1 + Below(3))) + Fraction(Below(3)) + ExponentNearTheLimits();
        }
        break;
      default:
        text += NearHalfway();
        break;
    }
    if (Chance(0.5)) text += Noise(1 + Below(5));
    if (Chance(0.03)) text = Noise(1) + text;
    return Chance(0.4) ? Sprinkled(text) : text;
  }

 private:
  bool Chance(double p) { return random_() < static_cast<std::uint64_t>(p * 0x1p64); }
  std::uint64_t Below(std::uint64_t n) {
    return std::uniform_int_distribution<std::uint64_t>(0, n - 1)(random_);
  }
  char Digit() { return static_cast<char>('0' + Below(10)); }

  std::u16string Sign() {
    static const char16_t* const kSigns[] = {u"", u"", u"", u"-", u"-", u"+", u"+-", u"--", u"-+"};
    const std::uint64_t pick = Below(100);
    return pick < 90 ? kSigns[pick % 6] : kSigns[6 + pick % 3];
  }

  std::string Digits(std::uint64_t count) {
    std::string digits;
    const bool leadingZeros = Chance(0.1);
    for (std::uint64_t i = 0; i < count; ++i)
      digits += leadingZeros && i < count / 2 ? '0' : Digit();
    return digits;
  }

  std::u16string Fraction(std::uint64_t maxDigits) {
    if (Chance(0.4)) return u"";
    std::u16string text = u".";  // appended, not prefixed: GCC 12 warns wrongly on u"." + ...
    return text += Widened(Digits(Below(maxDigits + 1)));
  }

  std::u16string ExponentPart(std::int64_t exponent, int zeroPadding) {
    std::u16string text = Chance(0.5) ? u"E" : u"e";
    if (exponent < 0) {
      text += u'-';
    } else if (Chance(0.5)) {
      text += u'+';
    }
    text.append(static_cast<std::size_t>(zeroPadding), u'0');
    return text + Widened(std::to_string(exponent < 0 ? -exponent : exponent));
  }

  std::u16string Exponent(std::uint64_t maxValue) {
    if (Chance(0.5)) return u"";
    if (Chance(0.05)) return Chance(0.5) ? u"E" : u"e-";  // a mark without digits
    if (Chance(0.02)) return ExponentPart(Chance(0.5) ? -99999999999999999 : 99999999999999999, 3);
    const auto magnitude = static_cast<std::int64_t>(Below(maxValue + 1));
    return ExponentPart(Chance(0.5) ? -magnitude : magnitude, Chance(0.1) ? 2 : 0);
  }

  std::u16string ExponentNearTheLimits() {
    static const int kEdges[] = {-330, -325, -324, -323, -310, -308, 306, 307, 308, 309};
    const int edge = kEdges[Below(std::size(kEdges))] + static_cast<int>(Below(5)) - 2;
    return ExponentPart(edge, 0);
  }

  // The exact decimal of the point halfway between a double and the next one
  // up, cut short or nudged by one in its last digit, in exponent form. The
  // double is drawn from all bit patterns, or is one at the ends of the range
  // (the halfway points above the largest double and around the subnormals
  // decide overflow and underflow).
  std::u16string NearHalfway() {
    long double low, high;
    const std::uint64_t pick = Below(10);
    if (pick == 0) {
      low = DBL_MAX;
      high = std::ldexp(1.0L, 1024);
    } else if (pick == 1) {
      low = std::ldexp(1.0L, -1074) * static_cast<long double>(Below(4));
      high = low + std::ldexp(1.0L, -1074);
    } else {
      double value;
      do {
        value = std::abs(std::bit_cast<double>(random_()));
      } while (!std::isfinite(value) || value == DBL_MAX);
      low = value;
      high = std::nextafter(value, INFINITY);
    }
    static const int kPrecisions[] = {16, 17, 18, 20, 25, 40, 60, 120, 800};
    const int precision = kPrecisions[Below(std::size(kPrecisions))];
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, "%.*Le", precision - 1, (low + high) / 2);
    std::string text = buffer;
    const std::size_t mark = text.find('e');
    std::string mantissa = text.substr(0, mark);
    const std::string exponent = text.substr(mark);
    switch (Below(4)) {
      case 0: {
        char& last = mantissa.back();
        if (last > '0' && last < '9') last = static_cast<char>(last + (Chance(0.5) ? 1 : -1));
        break;
      }
      case 1:
        mantissa += Chance(0.5) ? "000" : "0001";
        break;
      default:
        break;
    }
    std::int64_t power = std::strtoll(exponent.c_str() + 1, nullptr, 10);
    if (Chance(0.3)) {  // all digits before the point: "5e-1" as "5000e-4"
      power -= static_cast<std::int64_t>(mantissa.size()) - 2;
      mantissa.erase(1, 1);
    }
    return Widened(mantissa) + ExponentPart(power, Chance(0.1) ? 1 : 0);
  }

  // Characters that end a number, mixed with ones that could continue it.
  std::u16string Noise(std::uint64_t length) {
    static const char16_t kAlphabet[] =
        u"0123456789..++--eeEE  \t\n\r,xXiInNfaDdp\u00a0\u3000\uff11\u00bd\u0660\0";
    std::u16string text;
    for (std::uint64_t i = 0; i < length; ++i) text += kAlphabet[Below(std::size(kAlphabet) - 1)];
    return text;
  }

  std::u16string Sprinkled(const std::u16string& text) {
    static const char16_t kSkipped[] = {u' ', u'\t', u'\n'};
    const double rate = Chance(0.5) ? 0.05 : 0.4;
    std::u16string out;
    for (std::size_t i = 0; i <= text.size(); ++i) {
      while (Chance(rate)) out += kSkipped[Below(3)];
      if (i < text.size()) out += text[i];
    }
    return out;
  }

  std::mt19937_64 random_;
};

TEST(ParseNumberAgainstStrtod, AgreesOnGeneratedTexts) {
  TextMaker maker(kSeed);
  std::uint64_t mismatches = 0, overflows = 0, subnormals = 0, zeros = 0, longTexts = 0;
  for (std::uint64_t draw = 0; draw < kCount; ++draw) {
    const std::u16string text = maker.Make();
    const testing::ReferenceValue expected = testing::ReferenceParse(text);
    std::string got;
    try {
      const double value = ParseNumber(text);
      if (!expected.overflow &&
          std::bit_cast<std::uint64_t>(value) == std::bit_cast<std::uint64_t>(expected.value)) {
        subnormals += std::fpclassify(value) == FP_SUBNORMAL;
        zeros += value == 0;
        longTexts += text.size() > 300;
        continue;
      }
      got = Exact(value);
    } catch (const RuntimeError& error) {
      if (expected.overflow && error.kind() == ErrorKind::Overflow) {
        ++overflows;
        continue;
      }
      got = error.what();
    }
    if (++mismatches <= 10) {
      ADD_FAILURE() << "seed " << kSeed << ", draw " << draw << ": text \"" << Shown(text)
                    << "\", cut \"" << Shown(Widened(testing::CutNumberText(text)))
                    << "\": strtod gives "
                    << (expected.overflow ? "an overflow" : Exact(expected.value))
                    << ", ParseNumber " << got;
    }
  }
  EXPECT_EQ(mismatches, 0u) << "seed " << kSeed << ", " << kCount << " draws";
  // The maker must keep reaching the hard cases; a share that falls off
  // means it stopped testing them.
  const std::uint64_t floor = kCount / 1000;
  EXPECT_GT(overflows, floor);
  EXPECT_GT(subnormals, floor);
  EXPECT_GT(zeros, floor);
  EXPECT_GT(longTexts, floor / 10);
}

// Numbers at the edges of what reads exactly with one multiplication or
// division (a mantissa up to 2^53, a power of ten up to 22), and one step
// past them, where rounding twice would go wrong.
TEST(ParseNumberAgainstStrtod, AgreesAtTheEdgesOfExactArithmetic) {
  const char* const texts[] = {
      "9007199254740992",
      "9007199254740993",
      "-9007199254740993",
      "900719925474099.3",
      "9007199254740993e-22",
      "9007199254740991e22",
      "9007199254740991e23",
      "1e22",
      "1e23",
      "8.9884656743115795e22",
      "123456789e-22",
      "1e-22",
      "1e-23",
      "0.0000000000000000000001",
      "0.00000000000000000000001",
      "1.7e+0022",
      "5e-0023",
      "-0e-50",
      "0e44",
      "0e45",
      "1e-45",
      "3.0000000000000004",
      "0.1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1",
  };
  for (const char* text : texts) {
    const std::u16string wide = Widened(text);
    const testing::ReferenceValue expected = testing::ReferenceParse(wide);
    ASSERT_FALSE(expected.overflow) << text;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(ParseNumber(wide)),
              std::bit_cast<std::uint64_t>(expected.value))
        << text << ": strtod gives " << Exact(expected.value);
  }
}

// printf in the "C" locale for this thread while in scope.
#ifdef _WIN32
class CLocale {
 public:
  CLocale()
      : perThread_(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)),
        previous_(std::setlocale(LC_ALL, nullptr)) {
    std::setlocale(LC_ALL, "C");
  }
  ~CLocale() {
    std::setlocale(LC_ALL, previous_.c_str());
    _configthreadlocale(perThread_);
  }

 private:
  int perThread_;
  std::string previous_;
};
#else
class CLocale {
 public:
  CLocale() : c_(newlocale(LC_ALL_MASK, "C", nullptr)), previous_(uselocale(c_)) {}
  ~CLocale() {
    uselocale(previous_);
    freelocale(c_);
  }

 private:
  locale_t c_;
  locale_t previous_;
};
#endif

// %.15G with the exponent's zero padding removed and negative zero unsigned:
// "1E+05" becomes "1E+5", "-0" becomes "0".
std::string PrintfForm(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string text = buffer;
  if (text == "-0") return "0";
  const std::size_t mark = text.find('E');
  if (mark != std::string::npos) {
    const std::size_t digits = mark + 2;
    const std::size_t kept = text.find_first_not_of('0', digits);
    text.erase(digits, (kept == std::string::npos ? text.size() - 1 : kept) - digits);
  }
  return text;
}

// The double nearest to a decimal of 1 to 15 digits: the values people type
// and the rows compute, whose written form ends early ("0.1", "2.5E-7").
double ShortDecimal(std::mt19937_64& random) {
  const int digits = std::uniform_int_distribution<int>(1, 15)(random);
  const auto limit = static_cast<std::uint64_t>(std::pow(10, digits));
  const std::uint64_t mantissa = std::uniform_int_distribution<std::uint64_t>(0, limit - 1)(random);
  const int exponent = random() % 2 ? std::uniform_int_distribution<int>(-340, 310)(random)
                                    : std::uniform_int_distribution<int>(-25, 20)(random);
  const std::string text = std::to_string(mantissa) + "e" + std::to_string(exponent);
  const double value = std::strtod(text.c_str(), nullptr);
  return random() % 2 ? -value : value;
}

TEST(FormatNumberAgainstPrintf, FifteenDigitsOfAnyDouble) {
  const CLocale locale;
  std::mt19937_64 random(kSeed);
  std::uint64_t mismatches = 0;
  for (std::uint64_t draw = 0; draw < kCount; ++draw) {
    const double value = draw % 2 ? std::bit_cast<double>(random()) : ShortDecimal(random);
    if (!std::isfinite(value)) continue;
    const std::u16string written = FormatNumber(value);
    const std::string expected = PrintfForm(value);
    if (written != Widened(expected) && ++mismatches <= 10) {
      ADD_FAILURE() << "seed " << kSeed << ", draw " << draw << ": " << expected << " written as "
                    << Shown(written);
    }
  }
  EXPECT_EQ(mismatches, 0u) << "seed " << kSeed;
}

TEST(FormatNumberAgainstPrintf, NormalisesThePrintfForm) {
  EXPECT_EQ(PrintfForm(1e5), "100000");
  EXPECT_EQ(PrintfForm(1e15), "1E+15");
  EXPECT_EQ(PrintfForm(9e-5), "9E-5");
  EXPECT_EQ(PrintfForm(1e-100), "1E-100");
  EXPECT_EQ(PrintfForm(-0.0), "0");
}

TEST(FormatNumberRoundTrip, IntegersBelowTenToTheFifteenth) {
  std::mt19937_64 random(kSeed);
  std::uint64_t mismatches = 0;
  auto check = [&](double value) {
    for (double signed_value : {value, -value}) {
      const std::u16string written = FormatNumber(signed_value);
      if (ParseNumber(written) != signed_value && ++mismatches <= 10) {
        ADD_FAILURE() << "seed " << kSeed << ": " << PrintfForm(signed_value)
                      << " reads back from \"" << Shown(written) << "\" as "
                      << ParseNumber(written);
      }
    }
  };
  double power = 1;
  for (int exponent = 0; exponent < 15; ++exponent, power *= 10) {
    for (double offset = -2; offset <= 2; ++offset) {
      if (power + offset >= 0 && power + offset < 1e15) check(power + offset);
    }
  }
  check(999999999999999);
  std::uniform_int_distribution<std::uint64_t> anyBelow(0, 999'999'999'999'999);
  std::uniform_int_distribution<int> digitCount(1, 15);
  for (std::uint64_t draw = 0; draw < kCount / 2; ++draw) {
    check(static_cast<double>(anyBelow(random)));
    // As many short integers as long ones: sizes users type.
    const std::uint64_t limit = static_cast<std::uint64_t>(std::pow(10, digitCount(random)));
    check(static_cast<double>(std::uniform_int_distribution<std::uint64_t>(0, limit - 1)(random)));
  }
  EXPECT_EQ(mismatches, 0u) << "seed " << kSeed;
}

}  // namespace
}  // namespace trelvik
