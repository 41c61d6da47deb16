# Cross-compiling for Windows x64 with Debian's MinGW-w64, POSIX thread model
# (Qt needs std::thread and friends, which the win32 model lacks in GCC 12).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TRELVIK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TRELVIK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRELVIK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TRELVIK_MINGW_PREFIX}-windres)
set(CMAKE_AR ${TRELVIK_MINGW_PREFIX}-gcc-ar-posix)
set(CMAKE_RANLIB ${TRELVIK_MINGW_PREFIX}-gcc-ranlib-posix)

# The target's libraries; a cross-built Qt adds its own prefix (the
# windows preset does).
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${TRELVIK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run under Wine; ctest and gtest_discover_tests go through it. The
# settings Wine runs them with (its folder, no chatter, no Mono or Gecko) are
# the environment of the presets that use this file (CMakePresets.json).
find_program(TRELVIK_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TRELVIK_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TRELVIK_WINE64})
endif()
