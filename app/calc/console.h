#pragma once

#include <cstdio>
#include <string_view>

namespace trelvik::calc {

// Writes all of `utf8` to `stream` and flushes it; false if any of it could
// not be written. On Windows a console is written in UTF-16, so the Chinese
// reads right whatever its code page; a file or a pipe gets the UTF-8 bytes
// as they are, the same bytes as on Linux.
bool WriteText(std::FILE* stream, std::string_view utf8);

}  // namespace trelvik::calc
