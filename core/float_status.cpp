#include "core/float_status.h"

#include <cfenv>
#include <cmath>

#include "core/runtime_error.h"

namespace trelvik {

double Floor(double value) noexcept {
  return std::floor(value);
}

void ClearFloatStatus() noexcept {
  std::feclearexcept(FE_ALL_EXCEPT);
}

void CheckFloatStatus() {
  const int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  if (raised & FE_INVALID) throw RuntimeError(ErrorKind::FloatInvalid);
  if (raised & FE_DIVBYZERO) throw RuntimeError(ErrorKind::FloatDivideByZero);
  if (raised & FE_OVERFLOW) throw RuntimeError(ErrorKind::FloatOverflow);
}

double Settled(double value) noexcept {
  // A volatile store is a side effect the compiler must perform in program
  // order, so the arithmetic that produced `value` happens before it.
  volatile double slot = value;
  return slot;
}

}  // namespace trelvik
