#include "core/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

#include "core/runtime_error.h"

namespace trelvik {
namespace {

bool IsSkipped(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The characters a number can be made of. Everything else ends it.
bool IsNumberCharacter(char16_t c) {
  return (c >= u'0' && c <= u'9') || c == u'.' || c == u'+' || c == u'-' || c == u'E' || c == u'e';
}

// The characters of a number, kept on the stack while it is short, as every
// number a user types is.
class NumberBuffer {
 public:
  void push_back(char c) {
    if (size_ < sizeof small_) {
      small_[size_++] = c;
      return;
    }
    if (large_.empty()) large_.assign(small_, size_);
    large_.push_back(c);
    ++size_;
  }
  const char* data() const { return large_.empty() ? small_ : large_.data(); }
  std::size_t size() const { return size_; }

 private:
  char small_[64];
  std::size_t size_ = 0;
  std::string large_;
};

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

}  // namespace

double ParseNumber(std::u16string_view text) {
  // Copy the leading run of number characters, without the skipped ones, as
  // the plain ASCII that std::from_chars reads. That function is
  // locale-independent, correctly rounded, and reads exactly the grammar
  // above, but for the "+" sign.
  NumberBuffer number;
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsSkipped(c)) continue;
    if (!IsNumberCharacter(c)) break;
    number.push_back(static_cast<char>(c));
  }
  const char* first = number.data();
  const char* const last = first + number.size();
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
