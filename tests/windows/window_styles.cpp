// Prints the Win32 style of every visible top-level window, one per line:
// "<style in hex> <title in UTF-8>". Run under the same Wine server as the
// program, it shows what Windows itself is told about the program's windows.
// With --hosts, it prints instead, for each window hosting a control
// (class AtlAxWin), its size and that of the window it sits in, in pixels:
// "<width>x<height> <parent width>x<parent height>".

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

BOOL CALLBACK PrintHost(HWND window, LPARAM) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (std::wstring(name) != L"AtlAxWin") return TRUE;
  RECT host{}, parent{};
  GetClientRect(window, &host);
  GetClientRect(GetParent(window), &parent);
  std::printf("%ldx%ld %ldx%ld\n", host.right, host.bottom, parent.right, parent.bottom);
  return TRUE;
}

BOOL CALLBACK PrintHostsOf(HWND window, LPARAM) {
  EnumChildWindows(window, PrintHost, 0);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  EnumWindows(argc > 1 && std::string(argv[1]) == "--hosts" ? PrintHostsOf : Print, 0);
  return 0;
}
