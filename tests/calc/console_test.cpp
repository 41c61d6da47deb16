// trelvik-calc's output in a Windows console: the characters themselves,
// whatever the console's code page, read back from the console's screen.

#include "app/calc/console.h"

#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// A console of this process's own, with its output open as a C stream.
class OwnConsole : public testing::Test {
 protected:
  void SetUp() override {
    FreeConsole();
    ASSERT_TRUE(AllocConsole()) << "no console: error " << GetLastError();
    // Read and write, as the standard handles a console gives a program.
    screen_ = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(screen_, INVALID_HANDLE_VALUE);
    DWORD mode = 0;
    if (!GetConsoleMode(screen_, &mode)) {
      // Wine draws its consoles in a window: without a display the console
      // it gives has no screen.
      GTEST_SKIP() << "the console has no screen (under Wine: no display)";
    }
    HANDLE forStream = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), screen_, GetCurrentProcess(), &forStream, 0,
                                FALSE, DUPLICATE_SAME_ACCESS));
    stream_ = _fdopen(_open_osfhandle(reinterpret_cast<intptr_t>(forStream), 0), "w");
    ASSERT_NE(stream_, nullptr);
  }
  void TearDown() override {
    if (stream_) std::fclose(stream_);
    if (screen_ != INVALID_HANDLE_VALUE) CloseHandle(screen_);
    FreeConsole();
  }

  // The first `length` characters of the screen's top row.
  std::wstring TopRow(DWORD length) {
    std::wstring row(length, L'\0');
    DWORD read = 0;
    EXPECT_TRUE(ReadConsoleOutputCharacterW(screen_, row.data(), length, COORD{0, 0}, &read));
    row.resize(read);
    return row;
  }

  std::FILE* stream_ = nullptr;
  HANDLE screen_ = INVALID_HANDLE_VALUE;
};

TEST_F(OwnConsole, ChineseReadsRightInAnyCodePage) {
  const std::wstring expected = L"用法：trelvik-calc 大小 \"０８\" 无效";
  const std::string utf8 = "用法：trelvik-calc 大小 \"０８\" 无效";
  // 437, the US code page, cannot encode any of the Chinese: bytes written
  // as they are would show as rubbish there.
  for (const UINT codePage : {437u, 936u, 65001u}) {
    SCOPED_TRACE("code page " + std::to_string(codePage));
    SetConsoleOutputCP(codePage);
    const COORD origin{0, 0};
    DWORD cleared = 0;
    FillConsoleOutputCharacterW(screen_, L' ', 200, origin, &cleared);
    SetConsoleCursorPosition(screen_, origin);
    ASSERT_TRUE(trelvik::calc::WriteText(stream_, utf8));
    EXPECT_EQ(TopRow(static_cast<DWORD>(expected.size())), expected);
  }
}

}  // namespace
