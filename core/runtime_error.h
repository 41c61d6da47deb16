#pragma once

#include <exception>

namespace trelvik {

// The run-time errors a calculation can raise. The core only raises them; the
// words the user reads are chosen by the layer that reports them.
enum class ErrorKind {
  // A text names a number beyond the range of a double.
  Overflow,
  // The arithmetic overflowed the range of a double.
  FloatOverflow,
  // The arithmetic divided by zero.
  FloatDivideByZero,
  // The arithmetic had no defined result (for example infinity minus infinity).
  FloatInvalid,
};

// Thrown by the core for every run-time error; nothing in the core catches it.
class RuntimeError : public std::exception {
 public:
  explicit RuntimeError(ErrorKind kind) noexcept : kind_(kind) {}

  ErrorKind kind() const noexcept { return kind_; }

  // A short English name for logs and test output, never shown in a window.
  const char* what() const noexcept override;

 private:
  ErrorKind kind_;
};

}  // namespace trelvik
