#pragma once

#include <string>
#include <string_view>

// A second reading of number texts, written apart from the core's so that the
// two can be checked against each other: a grammar walk that cuts the number
// out of a text, and the C library's strtod for its value.

namespace trelvik::testing {

// The number at the start of `text` as plain ASCII: blanks, tabs and line
// feeds dropped, everything after the last character the grammar admits cut
// off. Empty when there is no digit before the exponent.
std::string CutNumberText(std::u16string_view text);

struct ReferenceValue {
  double value;
  // The value is beyond the largest double (strtod gave an infinity).
  bool overflow;
};

// strtod in the "C" locale on CutNumberText(text); 0 for an empty cut.
ReferenceValue ReferenceParse(std::u16string_view text);

}  // namespace trelvik::testing
