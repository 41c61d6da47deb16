// Prints the Win32 style of every visible top-level window, one per line:
// "<style in hex> <title in UTF-8>". Run under the same Wine server as the
// program, it shows what Windows itself is told about the program's windows.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

BOOL CALLBACK Print(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t title[256] = {};
  const int length = GetWindowTextW(window, title, 256);
  std::string text(static_cast<std::size_t>(length) * 3, '\0');
  text.resize(static_cast<std::size_t>(WideCharToMultiByte(
      CP_UTF8, 0, title, length, text.data(), static_cast<int>(text.size()), nullptr, nullptr)));
  std::printf("%08lx %s\n", static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)),
              text.c_str());
  return TRUE;
}

}  // namespace

int main() {
  EnumWindows(Print, 0);
  return 0;
}
