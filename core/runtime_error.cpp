#include "core/runtime_error.h"

namespace trelvik {

const char* RuntimeError::what() const noexcept {
  switch (kind_) {
    case ErrorKind::Overflow:
      return "Overflow";
    case ErrorKind::FloatOverflow:
      return "Floating-point overflow";
    case ErrorKind::FloatDivideByZero:
      return "Floating-point division by zero";
    case ErrorKind::FloatInvalid:
      return "Floating-point invalid operation";
  }
  return "Run-time error";
}

}  // namespace trelvik
