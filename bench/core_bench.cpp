// Conversion and row timings next to the standard library's own conversions
// on the same inputs, so the figures can be read as ratios.

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <string>
#include <vector>

#include "core/number_text.h"
#include "core/partition_size.h"

namespace {

// What users type, and what the rows write back into a box.
const std::vector<std::string> kTexts = {
    "8", "12", "0.3", "1.5", "100", "1000", "8220", "1027996", "304.4", "1.23456789012346E+15",
};

const std::vector<double> kValues = {
    8220, -4, 304.4, 1538, 1027996, 130542, 0.112, 1.0 / 3, 1234567890123456, 1e-10,
};

std::vector<std::u16string> Utf16Texts() {
  std::vector<std::u16string> out;
  for (const std::string& text : kTexts) out.emplace_back(text.begin(), text.end());
  return out;
}

void BM_ParseNumber(benchmark::State& state) {
  const auto texts = Utf16Texts();
  for (auto _ : state) {
    for (const auto& text : texts) benchmark::DoNotOptimize(trelvik::ParseNumber(text));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}
BENCHMARK(BM_ParseNumber);

void BM_StdFromChars(benchmark::State& state) {
  for (auto _ : state) {
    for (const auto& text : kTexts) {
      double value;
      std::from_chars(text.data(), text.data() + text.size(), value);
      benchmark::DoNotOptimize(value);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kTexts.size()));
}
BENCHMARK(BM_StdFromChars);

void BM_FormatNumber(benchmark::State& state) {
  for (auto _ : state) {
    for (double value : kValues) benchmark::DoNotOptimize(trelvik::FormatNumber(value));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kValues.size()));
}
BENCHMARK(BM_FormatNumber);

void BM_StdToChars(benchmark::State& state) {
  std::array<char, 32> buffer;
  for (auto _ : state) {
    for (double value : kValues) {
      auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                  std::chars_format::general, 15);
      benchmark::DoNotOptimize(result.ptr);
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kValues.size()));
}
BENCHMARK(BM_StdToChars);

void BM_Fat32Row(benchmark::State& state) {
  const trelvik::TextBox input(u"8");
  trelvik::TextBox result;
  for (auto _ : state) {
    trelvik::CalculateFat32Row(input, result);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_Fat32Row);

void BM_NtfsRow(benchmark::State& state) {
  const trelvik::TextBox input(u"8");
  trelvik::TextBox result;
  for (auto _ : state) {
    trelvik::CalculateNtfsRow(input, result);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_NtfsRow);

// A pasted text of `state.range(0)` bytes: digits with blanks between them,
// the worst case for the skipping and the copy.
void BM_ParsePastedText(benchmark::State& state) {
  std::u16string text = u"0.";
  text.reserve(static_cast<std::size_t>(state.range(0)) / 2);
  while (text.size() * 2 < static_cast<std::size_t>(state.range(0))) text += u"1 2\t3\n4";
  for (auto _ : state) benchmark::DoNotOptimize(trelvik::ParseNumber(text));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParsePastedText)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
