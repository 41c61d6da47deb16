#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "tests/support/child_process.h"

namespace trelvik::test {
namespace {

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    wide.data(), static_cast<int>(wide.size()));
  wide.resize(n > 0 ? n : 0);
  return wide;
}

// One argument as the C runtime's command-line reader splits it back out:
// quoted, with backslashes doubled only where they precede a quote.
void AppendQuoted(std::wstring& line, const std::wstring& arg) {
  line += L'"';
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(2 * backslashes, L'\\');
  line += L'"';
}

std::string ReadAll(HANDLE pipe) {
  std::string text;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
  return text;
}

}  // namespace

Finished RunProgram(const std::string& program, const std::vector<std::string>& args,
                    Stdout stdoutTo) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
  if (!CreatePipe(&outRead, &outWrite, &inherited, 0) ||
      !CreatePipe(&errRead, &errWrite, &inherited, 0)) {
    ADD_FAILURE() << "CreatePipe failed";
    return {};
  }
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  if (stdoutTo == Stdout::kUnwritable) {
    // Nobody will ever read: every write to the pipe fails.
    CloseHandle(outRead);
    outRead = nullptr;
  }

  std::wstring line;
  AppendQuoted(line, Wide(program));
  for (const std::string& arg : args) {
    line += L' ';
    AppendQuoted(line, Wide(arg));
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessW(Wide(program).c_str(), line.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  CloseHandle(outWrite);
  CloseHandle(errWrite);

  Finished run;
  EXPECT_TRUE(started) << "cannot start " << program << ": error " << GetLastError();
  // Both pipes at once, or a child that fills one while we wait on the other
  // would never finish.
  std::thread outReader;
  if (outRead) outReader = std::thread([&] { run.out = ReadAll(outRead); });
  run.err = ReadAll(errRead);
  if (outReader.joinable()) outReader.join();
  if (outRead) CloseHandle(outRead);
  CloseHandle(errRead);
  if (started) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) run.status = static_cast<int>(code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  return run;
}

}  // namespace trelvik::test
