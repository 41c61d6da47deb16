#include <io.h>
#include <windows.h>

#include <string>

#include "app/calc/console.h"

namespace trelvik::calc {
namespace {

bool WriteToConsole(HANDLE console, std::string_view utf8) {
  std::wstring wide(utf8.size(), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                         wide.data(), static_cast<int>(wide.size()));
  if (length <= 0) return false;
  for (int done = 0; done < length;) {
    DWORD written = 0;
    if (!WriteConsoleW(console, wide.data() + done, static_cast<DWORD>(length - done), &written,
                       nullptr) ||
        written == 0) {
      return false;
    }
    done += static_cast<int>(written);
  }
  return true;
}

}  // namespace

bool WriteText(std::FILE* stream, std::string_view utf8) {
  if (utf8.empty()) return std::fflush(stream) == 0;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    // What the C runtime holds must come out first.
    return std::fflush(stream) == 0 && WriteToConsole(handle, utf8);
  }
  // A file or a pipe: the UTF-8 bytes as they are, as on Linux.
  if (std::fwrite(utf8.data(), 1, utf8.size(), stream) != utf8.size()) return false;
  return std::fflush(stream) == 0;
}

}  // namespace trelvik::calc
