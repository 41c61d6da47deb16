#include "tests/support/number_reference.h"

#include <locale.h>
#include <stdlib.h>

#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace trelvik::testing {
namespace {

// Where the walk stands after the characters read so far.
enum class At {
  Start,
  Sign,
  LonePoint,     // a point with no digit before it
  WholeDigits,   // accepting
  Fraction,      // accepting: digits, then a point, maybe more digits
  ExponentMark,  // E or e
  ExponentSign,
  ExponentDigits,  // accepting
  Stopped,
};

enum class Kind { Digit, Sign, Point, Mark, Other };

Kind KindOf(char16_t c) {
  switch (c) {
    case u'0':
    case u'1':
    case u'2':
    case u'3':
    case u'4':
    case u'5':
    case u'6':
    case u'7':
    case u'8':
    case u'9':
      return Kind::Digit;
    case u'+':
    case u'-':
      return Kind::Sign;
    case u'.':
      return Kind::Point;
    case u'E':
    case u'e':
      return Kind::Mark;
    default:
      return Kind::Other;
  }
}

At Next(At at, Kind kind) {
  switch (at) {
    case At::Start:
      if (kind == Kind::Sign) return At::Sign;
      [[fallthrough]];
    case At::Sign:
      if (kind == Kind::Digit) return At::WholeDigits;
      if (kind == Kind::Point) return At::LonePoint;
      return At::Stopped;
    case At::LonePoint:
      return kind == Kind::Digit ? At::Fraction : At::Stopped;
    case At::WholeDigits:
      if (kind == Kind::Point) return At::Fraction;
      [[fallthrough]];
    case At::Fraction:
      if (kind == Kind::Digit) return at;
      return kind == Kind::Mark ? At::ExponentMark : At::Stopped;
    case At::ExponentMark:
      if (kind == Kind::Sign) return At::ExponentSign;
      [[fallthrough]];
    case At::ExponentSign:
    case At::ExponentDigits:
      return kind == Kind::Digit ? At::ExponentDigits : At::Stopped;
    case At::Stopped:
      break;
  }
  return At::Stopped;
}

bool Accepting(At at) {
  return at == At::WholeDigits || at == At::Fraction || at == At::ExponentDigits;
}

}  // namespace

std::string CutNumberText(std::u16string_view text) {
  std::string read;
  std::size_t accepted = 0;
  At at = At::Start;
  for (char16_t c : text) {
    if (c == u' ' || c == u'\t' || c == u'\n') continue;
    at = Next(at, KindOf(c));
    if (at == At::Stopped) break;
    read += static_cast<char>(c);  // only ASCII gets this far
    if (Accepting(at)) accepted = read.size();
  }
  read.resize(accepted);
  return read;
}

#ifdef _WIN32
namespace {

// The exponent of a cut text kept to seven digits: the C runtime (Wine's at
// least) reads a
// longer one into a counter that wraps, and turns 1e-9999999999 into an
// infinity. The texts here have far fewer digits than a million, so an
// exponent beyond a million overflows or vanishes all the same.
std::string WithShortExponent(std::string cut) {
  const std::size_t mark = cut.find_first_of("eE");
  if (mark == std::string::npos) return cut;
  std::size_t digits = mark + 1;
  if (digits < cut.size() && (cut[digits] == '+' || cut[digits] == '-')) ++digits;
  const std::size_t first = cut.find_first_not_of('0', digits);
  if (first != std::string::npos && cut.size() - first > 7) {
    cut.replace(digits, std::string::npos, "1000000");
  }
  return cut;
}

}  // namespace
#endif

ReferenceValue ReferenceParse(std::u16string_view text) {
  const std::string cut = CutNumberText(text);
  if (cut.empty()) return {0.0, false};
  char* end = nullptr;
#ifdef _WIN32
  // The C runtime's, not MinGW's own strtod: that one rounds long texts
  // halfway between two subnormals up to DBL_MIN.
  static const _locale_t c_locale = _create_locale(LC_ALL, "C");
  const std::string read = WithShortExponent(cut);
  const double value = _strtod_l(read.c_str(), &end, c_locale);
#else
  const std::string& read = cut;
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
  const double value = strtod_l(cut.c_str(), &end, c_locale);
#endif
  // strtod reads more than our grammar, never less: it must take the whole cut.
  if (end != read.c_str() + read.size()) throw std::logic_error("strtod stopped early in " + cut);
  return {value, std::isinf(value)};
}

}  // namespace trelvik::testing
