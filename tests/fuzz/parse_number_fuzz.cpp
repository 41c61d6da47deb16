// ParseNumber on any text a box can hold: it must read the same value as the
// C library's strtod on the number cut out by the test's own grammar walk, and
// raise nothing but an Overflow, exactly where strtod overflows.

#include <bit>
#include <cstdint>

#include "core/number_text.h"
#include "core/runtime_error.h"
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/fuzz_text.h"
#include "tests/support/number_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using trelvik::fuzz::Require;
  const std::u16string text = trelvik::fuzz::DecodeText(data, size);
  const trelvik::testing::ReferenceValue expected = trelvik::testing::ReferenceParse(text);
  double value;
  try {
    value = trelvik::ParseNumber(text);
  } catch (const trelvik::RuntimeError& error) {
    Require(error.kind() == trelvik::ErrorKind::Overflow, "ParseNumber raised a non-Overflow");
    Require(expected.overflow, "ParseNumber overflowed where strtod did not");
    return 0;
  }
  Require(!expected.overflow, "ParseNumber returned where strtod overflowed");
  Require(std::bit_cast<std::uint64_t>(value) == std::bit_cast<std::uint64_t>(expected.value),
          "ParseNumber and strtod differ");
  // What a box shows for the value reads back as a value that shows the same.
  Require(trelvik::fuzz::ReadsBackAsItself(trelvik::FormatNumber(value)),
          "a written number does not read back as itself");
  return 0;
}
