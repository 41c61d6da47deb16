#include "app/calc/calc.h"

#include <optional>
#include <vector>

#include "app/calc/text_kit.h"
#include "core/number_text.h"
#include "core/partition_size.h"
#include "core/runtime_error.h"
#include "messages/error_text.h"
#include "trelvik/build_info.h"

namespace trelvik::calc {
namespace {

constexpr std::string_view kPrefix = "trelvik-calc: ";

constexpr std::string_view kUsageHint =
    "用法：trelvik-calc [--fs fat32|ntfs | --json] 大小…\n"
    "详见 trelvik-calc --help。\n";

constexpr std::string_view kHelp =
    "用法：trelvik-calc [--fs fat32|ntfs | --json] 大小…\n"
    "Usage: trelvik-calc [--fs fat32|ntfs | --json] SIZE... (the MB to enter so a partition shows "
    "SIZE GB)\n"
    "\n"
    "对每个大小（单位 G）算出在分区工具中应输入多少 M，分区建好后才正好显示为这么多 G。\n"
    "结果与 Trelvik工具 窗口中的完全相同。\n"
    "大小只能写数字和最多一个小数点，如 8、0.5、1000；不能带符号、指数或空格。\n"
    "\n"
    "选项：\n"
    "  --fs fat32   每行只输出一个大小的 FAT32 兆字节数\n"
    "  --fs ntfs    每行只输出一个大小的 NTFS 兆字节数\n"
    "  --json       输出一个 JSON 数组，每个大小一个对象：\n"
    "               {\"gb\": 8, \"fat32_mb\": 8220, \"ntfs_mb\": 8198, \"ntfs_cylinders\": 1045}\n"
    "  -h, --help   显示本说明\n"
    "  --version    显示版本\n"
    "\n"
    "示例：\n"
    "  $ trelvik-calc 8 100\n"
    "  8 G: FAT32 8220 M, NTFS 8198 M\n"
    "  100 G: FAT32 102796 M, NTFS 102407 M\n"
    "  $ trelvik-calc --fs ntfs 8\n"
    "  8198\n"
    "\n"
    "退出状态：0 成功；1 计算出错（如溢出）；2 参数有误。\n"
    "只要有一个大小出错，标准输出就什么也不写。\n";

enum class Output { Both, Fat32, Ntfs, Json };

struct Row {
  std::string gigabytes, fat32, cylinders, ntfs;
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Digits with at most one point, and at least one digit. The window would
// read far more ("+8", "1E3", "8 G"), but a script that passes such a text
// has made a mistake worth hearing about.
bool IsPlainDecimal(std::string_view text) {
  bool digit = false;
  bool point = false;
  for (const char c : text) {
    if (IsDigit(c)) {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

// "-8" and "-.5" are sizes with a sign, not options.
bool IsOption(std::string_view arg) {
  return arg.size() > 1 && arg[0] == '-' && !IsDigit(arg[1]) && arg[1] != '.';
}

std::optional<Output> FileSystemNamed(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (lower == "fat32") return Output::Fat32;
  if (lower == "ntfs") return Output::Ntfs;
  return std::nullopt;
}

// The window's message on one line: a log keeps the error with its size.
std::string OneLine(std::u16string_view message) {
  std::string line;
  for (const char c : Utf8(message)) {
    if (c != '\n') {
      line += c;
    } else if (!line.empty() && line.back() != ' ') {
      line += ' ';
    }
  }
  return line;
}

// Runs one row as its 计算 button would; on a run-time error reports it and
// returns false.
template <typename Calculate>
bool Attempt(std::string_view size, std::string_view rowName, std::string& err,
             Calculate calculate) {
  try {
    calculate();
    return true;
  } catch (const RuntimeError& error) {
    err += kPrefix;
    err += "大小 " + Quoted(size) + " 的 " + std::string(rowName) + " 计算出错：";
    err += OneLine(ErrorMessage(error.kind())) + "\n";
    return false;
  }
}

// The rows the output needs, from the size exactly as typed.
bool CalculateRow(std::string_view size, Output output, Row& row, std::string& err) {
  const TextBox input(std::u16string(size.begin(), size.end()));
  bool ok = true;
  if (output != Output::Ntfs) {
    ok &= Attempt(size, "FAT32", err, [&] {
      TextBox result;
      CalculateFat32Row(input, result);
      row.fat32 = Utf8(result.text());
    });
  }
  if (output != Output::Fat32) {
    ok &= Attempt(size, "NTFS", err, [&] {
      RecordingBox result;
      CalculateNtfsRow(input, result);
      row.cylinders = Utf8(result.writes().at(0));
      row.ntfs = Utf8(result.text());
    });
  }
  // The size as the window writes numbers: "08" and ".5" are not JSON. Both
  // rows have read the same text by now, so this reading cannot fail.
  if (ok && (output == Output::Both || output == Output::Json)) {
    row.gigabytes = Utf8(FormatNumber(ParseNumber(input.text())));
  }
  return ok;
}

std::string Format(const std::vector<Row>& rows, Output output) {
  std::string out;
  if (output == Output::Json) out += "[\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    switch (output) {
      case Output::Both:
        out += row.gigabytes + " G: FAT32 " + row.fat32 + " M, NTFS " + row.ntfs + " M\n";
        break;
      case Output::Fat32:
        out += row.fat32 + "\n";
        break;
      case Output::Ntfs:
        out += row.ntfs + "\n";
        break;
      case Output::Json:
        out += "  {\"gb\": " + JsonValue(row.gigabytes) +
               ", \"fat32_mb\": " + JsonValue(row.fat32) + ", \"ntfs_mb\": " + JsonValue(row.ntfs) +
               ", \"ntfs_cylinders\": " + JsonValue(row.cylinders) + "}";
        out += i + 1 < rows.size() ? ",\n" : "\n";
        break;
    }
  }
  if (output == Output::Json) out += "]\n";
  return out;
}

}  // namespace

Outcome Run(std::span<const std::string_view> args) {
  std::optional<Output> fileSystem;
  bool json = false;
  bool options = true;
  bool anySize = false;
  std::vector<std::string_view> sizes;
  std::string problems;
  const auto problem = [&](const std::string& text) {
    problems += std::string(kPrefix) + text + "\n";
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!options || !IsOption(arg)) {
      anySize = true;
      if (IsPlainDecimal(arg)) {
        sizes.push_back(arg);
      } else {
        problem("无效的大小 " + Quoted(arg) +
                "：只能写数字和最多一个小数点，不能带符号、指数或空格");
      }
    } else if (arg == "--") {
      options = false;
    } else if (arg == "-h" || arg == "--help") {
      return {kExitSuccess, std::string(kHelp), ""};
    } else if (arg == "--version") {
      return {kExitSuccess,
              "trelvik-calc " + std::string(build_info::kVersionText) + " (" +
                  build_info::kVersionNumber + ")\n",
              ""};
    } else if (arg == "--json") {
      json = true;
    } else if (arg == "--fs" || arg.starts_with("--fs=")) {
      std::optional<std::string_view> value;
      if (arg != "--fs") {
        value = arg.substr(5);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      }
      if (!value) {
        problem("--fs 后面缺少文件系统：fat32 或 ntfs");
      } else if (fileSystem) {
        problem("--fs 只能给一次");
      } else if (!(fileSystem = FileSystemNamed(*value))) {
        problem("--fs 的值 " + Quoted(*value) + " 无效：只能是 fat32 或 ntfs");
      }
    } else {
      problem("未知选项 " + Quoted(arg));
    }
  }
  if (json && fileSystem) problem("--json 与 --fs 不能同时使用");
  if (!anySize) problem("没有给出大小");
  if (!problems.empty()) return {kExitUsage, "", problems + std::string(kUsageHint)};

  // All sizes are worked out before anything is written: a script reading
  // stdout gets every result or none.
  const Output output = json ? Output::Json : fileSystem.value_or(Output::Both);
  std::vector<Row> rows(sizes.size());
  std::string err;
  bool ok = true;
  for (std::size_t i = 0; i < sizes.size(); ++i) ok &= CalculateRow(sizes[i], output, rows[i], err);
  if (!ok) return {kExitRuntimeError, "", err};
  return {kExitSuccess, Format(rows, output), ""};
}

}  // namespace trelvik::calc
