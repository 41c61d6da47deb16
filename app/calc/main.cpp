// trelvik-calc: the calculator rows of the window, for scripts.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "app/calc/calc.h"

namespace {

bool WriteAll(std::FILE* stream, const std::string& text) {
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stream) != text.size()) {
    return false;
  }
  return std::fflush(stream) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + (argc > 0), argv + argc);
  const trelvik::calc::Outcome outcome = trelvik::calc::Run(args);
  WriteAll(stderr, outcome.err);
  // A full disk or a closed pipe must not pass for a successful run: the
  // numbers never arrived.
  errno = 0;
  if (!WriteAll(stdout, outcome.out)) {
    const int error = errno;
    std::fprintf(stderr, "trelvik-calc: 无法写入标准输出：%s\n",
                 error != 0 ? std::strerror(error) : "I/O error");
    return trelvik::calc::kExitRuntimeError;
  }
  return outcome.status;
}
