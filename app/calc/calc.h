#pragma once

#include <span>
#include <string>
#include <string_view>

// trelvik-calc: the calculator rows for scripts. The whole run is a function
// from the arguments to the texts for stdout and stderr, so that nothing
// reaches stdout unless every size succeeded.

namespace trelvik::calc {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRuntimeError = 1;
inline constexpr int kExitUsage = 2;

struct Outcome {
  int status = kExitSuccess;
  std::string out;  // UTF-8, for stdout
  std::string err;  // UTF-8, for stderr
};

// Runs one command line, without the program name.
Outcome Run(std::span<const std::string_view> args);

// UTF-8 for a box's UTF-16 text; unpaired surrogates become U+FFFD.
std::string Utf8(std::u16string_view text);

// An argument in double quotes, fit to echo on a terminal: control characters,
// quotes, backslashes and bytes that are not UTF-8 are written as escapes.
std::string Quoted(std::string_view argument);

// A number text as a JSON value: as it is when it is a JSON number, otherwise
// as a JSON string ("NaN" becomes "\"NaN\""), so the output always parses.
std::string JsonValue(std::string_view text);

}  // namespace trelvik::calc
