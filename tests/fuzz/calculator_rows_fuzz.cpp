// Both rows clicked with any input text and any previous result text. The
// expected outcome is worked out here with plain arithmetic, an infinity
// standing for an out-of-range step, and the rows must match it: the same
// texts written, the same error, the result box left as documented, the input
// box untouched.
//
// The bytes before the first 0x00 are the input box's text, the rest the
// result box's previous text (fuzz_text.h tells how bytes become text).

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/number_text.h"
#include "core/partition_size.h"
#include "core/runtime_error.h"
#include "tests/fuzz/fuzz_checks.h"
#include "tests/fuzz/fuzz_text.h"

namespace trelvik {
namespace {

using fuzz::Require;

// What a click should leave: the texts written, in order, and the error that
// ends it, if any.
struct Outcome {
  std::vector<std::u16string> writes;
  std::optional<ErrorKind> error;
};

// A number as the rows write it: "-"?, digits with at most one point, an
// optional exponent "E+d" or "E-d", at most 15 significant digits, and
// reading back as itself (fuzz_checks.h).
bool IsWrittenNumber(const std::u16string& text) {
  std::size_t i = text.size() > 1 && text[0] == u'-' ? 1 : 0;
  int digits = 0, significant = 0, points = 0;
  for (; i < text.size() && text[i] != u'E'; ++i) {
    if (text[i] == u'.') {
      ++points;
    } else if (text[i] >= u'0' && text[i] <= u'9') {
      ++digits;
      if (significant > 0 || text[i] != u'0') ++significant;
    } else {
      return false;
    }
  }
  if (digits == 0 || points > 1 || significant > 15) return false;
  if (i < text.size()) {
    if (text.size() - i < 3 || (text[i + 1] != u'+' && text[i + 1] != u'-')) return false;
    for (i += 2; i < text.size(); ++i) {
      if (text[i] < u'0' || text[i] > u'9') return false;
    }
  }
  return fuzz::ReadsBackAsItself(text);
}

Outcome ExpectedFat32(std::optional<double> gigabytes) {
  if (!gigabytes) return {{}, ErrorKind::Overflow};
  const double g = *gigabytes;
  const double low = (g - 1) * 4, high = g * 1024, sum = low + high;
  if (std::isinf(low) || std::isinf(high) || std::isinf(sum)) return {{}, ErrorKind::FloatOverflow};
  return {{FormatNumber(sum)}, std::nullopt};
}

Outcome ExpectedNtfs(std::optional<double> gigabytes) {
  if (!gigabytes) return {{}, ErrorKind::Overflow};
  const double megabytes = *gigabytes * 1024, cylinders = megabytes / CylinderMb;
  if (std::isinf(megabytes) || std::isinf(cylinders)) return {{}, ErrorKind::FloatOverflow};
  const std::u16string count = FormatNumber(std::floor(cylinders) + 1);
  const double size = ParseNumber(count) * CylinderMb;
  if (std::isinf(size)) return {{count}, ErrorKind::FloatOverflow};
  return {{count, FormatNumber(std::floor(size) + 1)}, std::nullopt};
}

void Click(void (*row)(const Box&, Box&), const std::u16string& inputText,
           const std::u16string& previous, const Outcome& expected) {
  const TextBox input(inputText);
  RecordingBox result(previous);
  // Flags left over from earlier arithmetic must not fail the click.
  std::feraiseexcept(FE_ALL_EXCEPT);
  std::optional<ErrorKind> error;
  try {
    row(input, result);
  } catch (const RuntimeError& raised) {
    error = raised.kind();
  }
  Require(input.text() == inputText, "the input box changed");
  Require(error == expected.error, "the click's error is not the expected one");
  Require(result.writes() == expected.writes, "the texts written are not the expected ones");
  Require(result.text() == (expected.writes.empty() ? previous : expected.writes.back()),
          "the result box holds the wrong text");
  for (const std::u16string& written : result.writes()) {
    Require(IsWrittenNumber(written), "a written text is not a number a box reads back");
  }
}

}  // namespace
}  // namespace trelvik

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trelvik;
  const auto* split = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
  const std::size_t inputSize = split ? static_cast<std::size_t>(split - data) : size;
  const std::u16string input = fuzz::DecodeText(data, inputSize);
  const std::u16string previous =
      split ? fuzz::DecodeText(split + 1, size - inputSize - 1) : std::u16string();

  std::optional<double> gigabytes;
  try {
    gigabytes = ParseNumber(input);
  } catch (const RuntimeError&) {
    // An overflow; any other error or exception ends the run as a crash.
  }
  Click(CalculateFat32Row, input, previous, ExpectedFat32(gigabytes));
  Click(CalculateNtfsRow, input, previous, ExpectedNtfs(gigabytes));
  return 0;
}
