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

}  // namespace trelvik::calc
