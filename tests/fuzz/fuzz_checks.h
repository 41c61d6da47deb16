#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/number_text.h"
#include "core/runtime_error.h"

// Checks shared by the fuzz targets. A broken check aborts, which libFuzzer
// reports with the input that caused it.

namespace trelvik::fuzz {

inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

// Whether a text FormatNumber wrote reads back as a value it writes the same
// way. The one exception is the largest doubles: rounded to 15 digits they
// show 1.79769313486232E+308, past the largest double, which reads as an
// Overflow like any other number that large.
inline bool ReadsBackAsItself(const std::u16string& written) {
  try {
    return FormatNumber(ParseNumber(written)) == written;
  } catch (const RuntimeError& error) {
    return error.kind() == ErrorKind::Overflow &&
           (written == u"1.79769313486232E+308" || written == u"-1.79769313486232E+308");
  }
}

}  // namespace trelvik::fuzz
