#include "core/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

#include "core/runtime_error.h"

namespace trelvik {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// What a character is to a number. Looked up in a table: this is the loop
// that runs over every character of a pasted text.
enum class Role : unsigned char { Ends, Skipped, Part };

constexpr std::array<Role, 128> kAsciiRoles = [] {
  std::array<Role, 128> roles{};
  for (char c : {' ', '\t', '\n'}) roles[static_cast<unsigned char>(c)] = Role::Skipped;
  for (char c : std::string_view("0123456789.+-Ee")) {
    roles[static_cast<unsigned char>(c)] = Role::Part;
  }
  return roles;
}();

Role RoleOf(char16_t c) {
  return c < kAsciiRoles.size() ? kAsciiRoles[c] : Role::Ends;
}

// For a number std::from_chars found out of range: whether its magnitude is
// beyond the largest double rather than below the smallest. Only the order of
// magnitude matters, since out-of-range values are hundreds of powers of ten
// away from 1.
bool IsTooLarge(const char* first, const char* last) {
  constexpr std::int64_t kExponentCap = 1'000'000'000'000'000;
  if (first != last && *first == '-') ++first;
  // Position of the first non-zero digit relative to the point.
  std::int64_t magnitude = 0;
  bool sawPoint = false;
  bool sawNonZero = false;
  for (; first != last && (IsDigit(*first) || *first == '.'); ++first) {
    if (*first == '.') {
      sawPoint = true;
      continue;
    }
    if (*first != '0') sawNonZero = true;
    if (sawNonZero && !sawPoint) ++magnitude;
    if (!sawNonZero && sawPoint) --magnitude;
  }
  std::int64_t exponent = 0;
  if (first != last) {  // At the "e" of the exponent std::from_chars read.
    ++first;
    const bool negative = *first == '-';
    if (*first == '-' || *first == '+') ++first;
    for (; first != last && IsDigit(*first); ++first) {
      if (exponent < kExponentCap) exponent = exponent * 10 + (*first - '0');
    }
    if (negative) exponent = -exponent;
  }
  return magnitude + exponent > 0;
}

// Reads the ASCII characters of a number, as ParseNumber copied them.
double ReadNumberCharacters(const char* first, const char* const last) {
  // std::from_chars is locale-independent, correctly rounded, and reads
  // exactly our grammar, but for the "+" sign.
  if (first != last && *first == '+') {
    ++first;
    if (first != last && (*first == '+' || *first == '-')) return 0.0;
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error == std::errc::invalid_argument) return 0.0;  // No digit.
  if (error == std::errc::result_out_of_range) {
    if (IsTooLarge(first, end)) throw RuntimeError(ErrorKind::Overflow);
    return *first == '-' ? -0.0 : 0.0;
  }
  return value;
}

// Reads the number at the start of `text` in one pass when that is exact
// without std::from_chars, as it is for nearly everything typed: a mantissa
// of at most 2^53 and a power of ten of at most 22 are both exact doubles, so
// a single multiplication or division rounds correctly. Returns false for
// other numbers, which take the long way.
bool ReadShortNumber(std::u16string_view text, double& value) {
  static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr int kLargestPower = 22;
  constexpr std::uint64_t kExactMantissa = std::uint64_t{1} << 53;

  std::size_t i = 0;
  // The character at i after the skipped ones; U+0000, which ends a number,
  // at the end of the text.
  const auto current = [&] {
    while (i < text.size() && RoleOf(text[i]) == Role::Skipped) ++i;
    return i < text.size() ? text[i] : u'\0';
  };
  const auto next = [&] {
    ++i;
    return current();
  };
  const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };

  char16_t c = current();
  const bool negative = c == u'-';
  if (c == u'-' || c == u'+') c = next();

  std::uint64_t mantissa = 0;
  int scale = 0;  // the power of ten the mantissa is to be multiplied by
  bool sawDigit = false, sawPoint = false;
  for (;; c = next()) {
    if (isDigit(c)) {
      sawDigit = true;
      mantissa = mantissa * 10 + static_cast<unsigned>(c - u'0');
      if (mantissa > kExactMantissa) return false;
      if (sawPoint && --scale < -kLargestPower) return false;
    } else if (c == u'.' && !sawPoint) {
      sawPoint = true;
    } else {
      break;
    }
  }
  if (!sawDigit) {
    value = 0.0;
    return true;
  }

  if (c == u'E' || c == u'e') {
    c = next();
    const bool negativeExponent = c == u'-';
    if (c == u'-' || c == u'+') c = next();
    // Without digits the E is not part of the number, and the exponent is 0.
    int exponent = 0;
    for (; isDigit(c); c = next()) {
      exponent = exponent * 10 + (c - u'0');
      // The scale so far is between -22 and 0: this one is out of reach.
      if (exponent > 2 * kLargestPower) return false;
    }
    scale += negativeExponent ? -exponent : exponent;
  }
  if (scale < -kLargestPower || scale > kLargestPower) return false;

  double magnitude = static_cast<double>(mantissa);
  magnitude = scale < 0 ? magnitude / kPowersOfTen[-scale] : magnitude * kPowersOfTen[scale];
  value = negative ? -magnitude : magnitude;
  return true;
}

// ParseNumber for a number too long for its stack buffer: a pasted text.
double ParseLongNumber(std::u16string_view text) {
  std::string number;
  for (const char16_t c : text) {
    const Role role = RoleOf(c);
    if (role == Role::Skipped) continue;
    if (role == Role::Ends) break;
    number += static_cast<char>(c);
  }
  return ReadNumberCharacters(number.data(), number.data() + number.size());
}

}  // namespace

double ParseNumber(std::u16string_view text) {
  double value;
  if (ReadShortNumber(text, value)) return value;

  // Copy the leading run of number characters, without the skipped ones, as
  // the plain ASCII that std::from_chars reads; on the stack, where every
  // number a user types fits.
  char number[64];
  std::size_t size = 0;
  for (const char16_t c : text) {
    const Role role = RoleOf(c);
    if (role == Role::Skipped) continue;
    if (role == Role::Ends) break;
    if (size == sizeof number) return ParseLongNumber(text);
    number[size++] = static_cast<char>(c);
  }
  return ReadNumberCharacters(number, number + size);
}

std::u16string FormatNumber(double value) {
  if (std::isnan(value)) return u"NaN";
  if (std::isinf(value)) return value < 0 ? u"-Infinity" : u"Infinity";
  if (value == 0) return u"0";  // Also for negative zero.

  // std::to_chars rounds correctly to the 15 significant digits we show:
  // "-d.dddddddddddddde+XX".
  char sci[32];
  const char* const sciEnd =
      std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 14).ptr;
  const bool negative = sci[0] == '-';
  const char* const mantissa = sci + negative;  // "d.dddddddddddddd"
  const char* const e = std::find(mantissa, sciEnd, 'e');
  int exponent = 0;
  std::from_chars(e + 1 + (e[1] == '+'), sciEnd, exponent);

  char digits[16];  // Significant digits without the point or trailing zeros.
  std::size_t count = 0;
  for (const char* c = mantissa; c != e; ++c) {
    if (*c != '.') digits[count++] = *c;
  }
  while (count > 1 && digits[count - 1] == '0') --count;

  char out[40];
  char* o = out;
  if (negative) *o++ = '-';
  if (exponent >= 15 || exponent < -4) {
    *o++ = digits[0];
    if (count > 1) {
      *o++ = '.';
      o = std::copy(digits + 1, digits + count, o);
    }
    *o++ = 'E';
    *o++ = exponent < 0 ? '-' : '+';
    o = std::to_chars(o, out + sizeof out, exponent < 0 ? -exponent : exponent).ptr;
  } else if (exponent >= 0) {
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    if (count <= whole) {
      o = std::copy(digits, digits + count, o);
      o = std::fill_n(o, whole - count, '0');
    } else {
      o = std::copy(digits, digits + whole, o);
      *o++ = '.';
      o = std::copy(digits + whole, digits + count, o);
    }
  } else {
    *o++ = '0';
    *o++ = '.';
    o = std::fill_n(o, -exponent - 1, '0');
    o = std::copy(digits, digits + count, o);
  }
  return std::u16string(out, o);
}

}  // namespace trelvik
