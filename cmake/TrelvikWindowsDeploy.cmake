# What trelvik.exe needs beside it on Windows, installed next to it: Qt's
# libraries, the two plugins, Qt's own Chinese texts, and MinGW's runtime.
# The zip (cpack --preset windows) is this install tree.

set(_qt_targets Qt6::Core Qt6::Gui Qt6::Widgets)
foreach(target ${_qt_targets})
  install(FILES $<TARGET_FILE:${target}> DESTINATION .)
endforeach()
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)

# Qt's texts are the same files on every platform: the host's serve.
find_file(TRELVIK_QT_ZH_CN_QM qtbase_zh_CN.qm
  PATHS /usr/share/qt6/translations NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(NOT TRELVIK_QT_ZH_CN_QM)
  message(FATAL_ERROR "qtbase_zh_CN.qm not found: install qt6-translations-l10n")
endif()
install(FILES ${TRELVIK_QT_ZH_CN_QM} DESTINATION translations)
# Tells Qt where the plugins and texts are; without it Qt looks for them
# one folder above the program, where Qt's own installation would keep them.
install(FILES ${PROJECT_SOURCE_DIR}/app/windows/qt.conf DESTINATION .)

# MinGW's runtime, which Qt's libraries and the program share.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}")
    find_file(path ${dll} PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH)
  endif()
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "MinGW runtime ${dll} not found")
  endif()
  install(FILES ${path} DESTINATION .)
  unset(path CACHE)
endforeach()

# Qt's and MinGW's libraries come with their symbols; stripped like the
# programs when the install strips (the zip does).
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    file(GLOB_RECURSE dlls \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\")
    foreach(dll IN LISTS dlls)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${dll}\")
    endforeach()
  endif()")
