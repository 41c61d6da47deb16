// trelvik-calc run as a process, the way a script runs it.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/worked_values.h"
#include "trelvik/build_info.h"

namespace {

using trelvik::test::Finished;
using trelvik::test::RunProgram;
using trelvik::test::Stdout;

Finished Calc(const std::vector<std::string>& args, Stdout stdoutTo = Stdout::kCaptured) {
  return RunProgram(TRELVIK_CALC_PATH, args, stdoutTo);
}

// Python's own reader as the judge of the JSON: strict (NaN and Infinity
// refused), numbers kept as the texts that were written.
constexpr char kJsonToLines[] = R"(
import json, sys
class Number(str): pass
def refuse(name): raise ValueError('not JSON: ' + name)
rows = json.loads(sys.argv[1], parse_int=Number, parse_float=Number, parse_constant=refuse)
keys = ['gb', 'fat32_mb', 'ntfs_mb', 'ntfs_cylinders']
assert type(rows) is list
for row in rows:
    assert type(row) is dict and sorted(row) == sorted(keys), row
    assert all(type(row[k]) is Number for k in keys), row
    print(' '.join(row[k] for k in keys))
)";

// Nothing where there is no python3 to judge: a cross build, whose programs
// cannot start one. The native build reads the same JSON.
std::optional<std::string> JsonAsLines(const std::string& json) {
  const std::string python = TRELVIK_PYTHON3;
  if (python.empty()) return std::nullopt;
  const Finished run = RunProgram(python, {"-c", kJsonToLines, json});
  EXPECT_EQ(run.status, 0) << run.err << "\nfor:\n" << json;
  return run.out;
}

// `head`, `zeros` zeros, then `tail`: the long plain decimals of the edge cases.
std::string Digits(std::string head, std::size_t zeros, std::string_view tail = "") {
  head.append(zeros, '0');
  head.append(tail);
  return head;
}

TEST(CalcCli, WorkedValuesInEveryOutputForm) {
  std::vector<std::string> sizes;
  std::string lines, fat32, ntfs, json;
  for (const trelvik::test::WorkedValue& row : trelvik::test::kWorkedValues) {
    // A size is at least one digit on the command line.
    if (row.gigabytes.empty()) continue;
    const std::string g(row.gigabytes), m32(row.fat32), mntfs(row.ntfs), c(row.cylinders);
    sizes.push_back(g);
    lines += g + " G: FAT32 " + m32 + " M, NTFS " + mntfs + " M\n";
    fat32 += m32 + "\n";
    ntfs += mntfs + "\n";
    json += g + " " + m32 + " " + mntfs + " " + c + "\n";
  }
  const auto with = [&](std::vector<std::string> options) {
    options.insert(options.end(), sizes.begin(), sizes.end());
    const Finished run = Calc(options);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    return run.out;
  };
  EXPECT_EQ(with({}), lines);
  EXPECT_EQ(with({"--fs", "fat32"}), fat32);
  EXPECT_EQ(with({"--fs=NTFS"}), ntfs);
  const std::string written = with({"--json"});
  if (const auto read = JsonAsLines(written)) {
    EXPECT_EQ(*read, json);
  }
}

TEST(CalcCli, JsonParsesForEveryShapeOfNumber) {
  // Leading zeros and bare points as typed, exponent forms both ways, a
  // negative result, a subnormal size and one that reads as zero.
  const std::vector<std::string> sizes = {"08",
                                          ".5",
                                          "5.",
                                          "0",
                                          "0.00001",
                                          Digits("0.", 315, "1"),
                                          Digits("0.", 400, "1"),
                                          "12345678901234567890",
                                          "1000000000000"};
  const Finished run = Calc([&] {
    std::vector<std::string> args{"--json"};
    args.insert(args.end(), sizes.begin(), sizes.end());
    return args;
  }());
  ASSERT_EQ(run.status, 0) << run.err;
  const auto read = JsonAsLines(run.out);
  if (!read) GTEST_SKIP() << "no python3 to read the JSON";
  EXPECT_EQ(*read,
            "8 8220 8198 1045\n"
            "0.5 510 518 66\n"
            "5 5136 5123 653\n"
            "0 -4 8 1\n"
            "1E-5 -3.98972 8 1\n"
            "9.99999983659714E-317 -4 8 1\n"
            "0 -4 8 1\n"
            "1.23456789012346E+19 1.26913579104691E+22 1.26419751948642E+22 1.61162559595903E+21\n"
            "1000000000000 1.028E+15 1.024E+15 130541674447557\n");
}

TEST(CalcCli, BadCommandLinesPrintNothingAndExit2) {
  const struct {
    std::vector<std::string> args;
    std::string named;  // what stderr must point at
  } cases[] = {
      {{"-8"}, "\"-8\""},
      {{"+8"}, "\"+8\""},
      {{"-.5"}, "\"-.5\""},
      {{"1e3"}, "\"1e3\""},
      {{"1E3"}, "\"1E3\""},
      {{" 8"}, "\" 8\""},
      {{"8 "}, "\"8 \""},
      {{"1 2"}, "\"1 2\""},
      {{""}, "\"\""},
      {{"."}, "\".\""},
      {{"1.2.3"}, "\"1.2.3\""},
      {{"abc"}, "\"abc\""},
      {{"8G"}, "\"8G\""},
      {{"1,5"}, "\"1,5\""},
      {{"０８"}, "\"０８\""},
      {{"8", "x", "10"}, "\"x\""},
      {{"--", "--json"}, "\"--json\""},
      {{"--bogus", "8"}, "未知选项 \"--bogus\""},
      {{"-x", "8"}, "未知选项 \"-x\""},
      {{"8", "--fs"}, "--fs 后面缺少文件系统"},
      {{"--fs", "ext4", "8"}, "\"ext4\""},
      {{"--fs=", "8"}, "\"\" 无效"},
      {{"--fs", "ntfs", "--fs", "ntfs", "8"}, "--fs 只能给一次"},
      {{"--json", "--fs", "ntfs", "8"}, "--json 与 --fs 不能同时使用"},
      {{}, "没有给出大小"},
      {{"--json"}, "没有给出大小"},
      {{"\x1b[2J"}, "\"\\x1B[2J\""},
  };
  for (const auto& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) line += " [" + arg + "]";
    SCOPED_TRACE("trelvik-calc" + line);
    const Finished run = Calc(c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("用法"), std::string::npos) << run.err;
  }
}

TEST(CalcCli, RunTimeErrorsInTheWindowsWords) {
  // The line for a row that failed with 实时错误 '6': 溢出, as stderr shows it.
  const auto overflow = [](const std::string& size, const char* row) {
    return "trelvik-calc: 大小 \"" + size + "\" 的 " + row + " 计算出错：实时错误 '6': 溢出\n";
  };
  const std::string tooManyDigits(400, '9');
  const std::string huge = Digits("1", 306);
  // Fits NTFS but not FAT32, which multiplies by 1028 rather than 1024.
  const std::string betweenRows = Digits("175", 303);
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out, err;
  } cases[] = {
      {{tooManyDigits}, 1, "", overflow(tooManyDigits, "FAT32") + overflow(tooManyDigits, "NTFS")},
      {{"8", huge, "10", huge},
       1,
       "",
       overflow(huge, "FAT32") + overflow(huge, "NTFS") + overflow(huge, "FAT32") +
           overflow(huge, "NTFS")},
      {{"--json", "8", huge}, 1, "", overflow(huge, "FAT32") + overflow(huge, "NTFS")},
      {{"--fs", "ntfs", "8", huge}, 1, "", overflow(huge, "NTFS")},
      {{betweenRows}, 1, "", overflow(betweenRows, "FAT32")},
      {{"--fs", "fat32", betweenRows}, 1, "", overflow(betweenRows, "FAT32")},
      {{"--fs", "ntfs", betweenRows}, 0, "1.792E+308\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + " ... (" + std::to_string(c.args.size()) + " arguments)");
    const Finished run = Calc(c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
  }
}

TEST(CalcCli, HelpAndVersion) {
  for (const char* option : {"--help", "-h"}) {
    const Finished run = Calc({"8", option});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.rfind("用法：trelvik-calc", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\nUsage: trelvik-calc"), std::string::npos) << run.out;
  }
  const Finished version = Calc({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "trelvik-calc " + std::string(trelvik::build_info::kVersionText) + " (" +
                             trelvik::build_info::kVersionNumber + ")\n");
}

TEST(CalcCli, AnUnwritableStdoutIsAFailure) {
  const Finished run = Calc({"8"}, Stdout::kUnwritable);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("无法写入标准输出"), std::string::npos) << run.err;
}

}  // namespace
