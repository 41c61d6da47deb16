#pragma once

// The floating-point side of a calculation: the integral part of a value, and
// the check that stops a calculation whose arithmetic went out of range.

namespace trelvik {

// The greatest integral value not above `value` (2.7 gives 2, -2.5 gives -3).
double Floor(double value) noexcept;

// Clears the processor's sticky floating-point exception flags, so that the
// next CheckFloatStatus sees only what was raised after this call.
void ClearFloatStatus() noexcept;

// Throws RuntimeError with FloatInvalid, FloatDivideByZero or FloatOverflow if
// the matching flag was raised since the last ClearFloatStatus, naming the
// first of them in that order. Underflow and inexact results do not count.
void CheckFloatStatus();

// Returns `value` after forcing it to be computed at this point of the
// program. The optimizer may otherwise move arithmetic past a flag check,
// since it does not treat the flags as something the code reads.
double Settled(double value) noexcept;

}  // namespace trelvik
