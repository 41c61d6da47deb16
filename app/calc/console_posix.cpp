#include <cstdio>

#include "app/calc/console.h"

namespace trelvik::calc {

bool WriteText(std::FILE* stream, std::string_view utf8) {
  if (!utf8.empty() && std::fwrite(utf8.data(), 1, utf8.size(), stream) != utf8.size()) {
    return false;
  }
  return std::fflush(stream) == 0;
}

}  // namespace trelvik::calc
