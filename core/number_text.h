#pragma once

#include <string>
#include <string_view>

// Conversion between the text of a box and a number.
//
// Texts are UTF-16 (std::u16string), the same code units a text box holds, so
// a box's text passes through unchanged; characters outside ASCII simply never
// belong to a number.

namespace trelvik {

// Reads the number at the start of `text`.
//
// Grammar, after blanks (U+0020), tabs (U+0009) and line feeds (U+000A) are
// dropped wherever they stand, even between digits ("1 2" reads as 12):
//
//   [+|-] digits-with-at-most-one-"." [ (E|e) [+|-] digits ]
//
// Reading stops at the first character that cannot continue the number and
// the rest is ignored ("1.2.3" is 1.2, "12kg" is 12). A carriage return is not
// skipped: it ends the number. Without a digit before the exponent the value
// is 0 (the empty text, "." alone, "abc"). An "E" not followed by exponent
// digits is not part of the number ("1E" is 1). The decimal point is always
// "." whatever the process locale; "," never belongs to a number.
//
// The result is the double nearest to the decimal value. A value too small
// for a double reads as the nearest subnormal or as zero; a value beyond the
// largest double throws RuntimeError(ErrorKind::Overflow).
//
// Runs in time linear in the length of the text, without recursion.
double ParseNumber(std::u16string_view text);

// Writes `value` as a box shows it: rounded to 15 significant digits, no
// leading blank, no plus sign, no trailing zeros and no trailing point, a 0
// before the point of magnitudes below 1 ("0.5", "-4", "304.4"). Magnitudes
// that round to 1E+15 or more are written in exponent form ("1E+15",
// "1.23456789012346E+15"); magnitudes below 1E-4 too ("1E-10"). The exponent
// has no leading zeros. Negative zero is written "0". Never throws for
// finite values; infinities and NaN, which a calculation never writes, are
// written "Infinity", "-Infinity" and "NaN".
std::u16string FormatNumber(double value);

}  // namespace trelvik
