#pragma once

#include <string>
#include <vector>

namespace trelvik::test {

// What a program run to its end left behind.
struct Finished {
  int status = -1;  // exit status; 128 + the signal if a signal ended it
  std::string out, err;
};

// Where the program's standard output goes.
enum class Stdout {
  kCaptured,    // into Finished::out
  kUnwritable,  // somewhere every write fails: a full device, a closed pipe
};

// Runs `program` with `args` (UTF-8) and waits for it, capturing stdout and
// stderr apart.
Finished RunProgram(const std::string& program, const std::vector<std::string>& args,
                    Stdout stdoutTo = Stdout::kCaptured);

}  // namespace trelvik::test
