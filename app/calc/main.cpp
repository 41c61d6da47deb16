// trelvik-calc: the calculator rows of the window, for scripts.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/calc/calc.h"
#include "app/calc/console.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "app/calc/text_kit.h"
#endif

namespace {

int Main(const std::vector<std::string_view>& args) {
  const trelvik::calc::Outcome outcome = trelvik::calc::Run(args);
  trelvik::calc::WriteText(stderr, outcome.err);
  // A full disk or a closed pipe must not pass for a successful run: the
  // numbers never arrived.
  errno = 0;
  if (!trelvik::calc::WriteText(stdout, outcome.out)) {
    const int error = errno;
    const std::string message = std::string("trelvik-calc: 无法写入标准输出：") +
                                (error != 0 ? std::strerror(error) : "I/O error") + "\n";
    trelvik::calc::WriteText(stderr, message);
    return trelvik::calc::kExitRuntimeError;
  }
  return outcome.status;
}

}  // namespace

#ifdef _WIN32
// The arguments as Windows holds them, UTF-16, not in the ANSI code page,
// which has no room for most of what a user may type.
int wmain(int argc, wchar_t** argv) {
  // Lines end in "\n" as on Linux, in files and pipes too.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::vector<std::string> utf8;
  for (int i = 1; i < argc; ++i) {
    utf8.push_back(trelvik::calc::Utf8(reinterpret_cast<const char16_t*>(argv[i])));
  }
  return Main(std::vector<std::string_view>(utf8.begin(), utf8.end()));
}
#else
int main(int argc, char** argv) {
  return Main(std::vector<std::string_view>(argv + (argc > 0), argv + argc));
}
#endif
