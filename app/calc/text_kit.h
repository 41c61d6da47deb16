#pragma once

#include <string>
#include <string_view>

// The small text kit trelvik-calc writes its output with: UTF-8 from the
// boxes' UTF-16, arguments quoted fit for a terminal, and JSON values.

namespace trelvik::calc {

// UTF-8 for a box's UTF-16 text; unpaired surrogates become U+FFFD.
std::string Utf8(std::u16string_view text);

// An argument in double quotes, fit to echo on a terminal: control characters,
// quotes, backslashes and bytes that are not UTF-8 are written as escapes.
std::string Quoted(std::string_view argument);

// A number text as a JSON value: as it is when it is a JSON number, otherwise
// as a JSON string ("NaN" becomes "\"NaN\""), so the output always parses.
std::string JsonValue(std::string_view text);

}  // namespace trelvik::calc
