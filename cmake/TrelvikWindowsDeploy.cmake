# What goes beside the programs on Windows, in the zip and the installer:
# trelvik.exe carries Qt and MinGW's runtime inside, so only the licence
# texts of what it carries. TRELVIK_WINDOWS_FILES lists every file installed,
# relative to the install folder, for the installer's uninstaller.

set(TRELVIK_WINDOWS_FILES trelvik.exe trelvik-calc.exe LICENSE.txt)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

# Qt's licence, and the licences of the libraries Qt builds in, gathered by
# scripts/build-qt-windows beside the Qt it builds.
set(_qt_licenses
  LGPL-3.0-only.txt=${QT6_INSTALL_PREFIX}/LICENSES/LGPL-3.0-only.txt
  GPL-3.0-only.txt=${QT6_INSTALL_PREFIX}/LICENSES/GPL-3.0-only.txt
  Qt-third-party.txt=${QT6_INSTALL_PREFIX}/LICENSES/third-party.txt)
# MinGW's runtime: GCC's libraries (GPL with the GCC Runtime Library
# Exception) and the mingw-w64 runtime with winpthreads, as Debian words them.
set(_mingw_licenses
  MinGW-GCC-runtime.txt=/usr/share/doc/gcc-mingw-w64-base/copyright
  MinGW-w64-runtime.txt=/usr/share/doc/mingw-w64-x86-64-dev/copyright)
foreach(entry IN LISTS _qt_licenses _mingw_licenses)
  string(REPLACE "=" ";" entry "${entry}")
  list(GET entry 0 name)
  list(GET entry 1 file)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "licence text ${file} not found (for licenses/${name})")
  endif()
  install(FILES ${file} DESTINATION licenses RENAME ${name})
  list(APPEND TRELVIK_WINDOWS_FILES licenses/${name})
endforeach()

# The installer, trelvik-<version>-setup.exe (NSIS): the same files, from a
# stripped install of this build.
find_program(TRELVIK_MAKENSIS makensis)
if(NOT TRELVIK_MAKENSIS)
  message(STATUS "makensis not found: no installer (install nsis)")
  return()
endif()
set(_stage ${PROJECT_BINARY_DIR}/installer-stage)
set(TRELVIK_INSTALLER ${PROJECT_BINARY_DIR}/trelvik-${PROJECT_VERSION}-setup.exe)
set(TRELVIK_SETUP_FILES "")
set(TRELVIK_REMOVE_FILES "")
foreach(file IN LISTS TRELVIK_WINDOWS_FILES)
  get_filename_component(folder "${file}" DIRECTORY)
  string(REPLACE "/" "\\" windows_file "${file}")
  if(folder)
    string(APPEND TRELVIK_SETUP_FILES "  SetOutPath \"$INSTDIR\\${folder}\"\n")
  else()
    string(APPEND TRELVIK_SETUP_FILES "  SetOutPath \"$INSTDIR\"\n")
  endif()
  string(APPEND TRELVIK_SETUP_FILES "  File \"${_stage}/${file}\"\n")
  string(APPEND TRELVIK_REMOVE_FILES "  Delete \"$INSTDIR\\${windows_file}\"\n")
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/app/windows/installer.nsi.in ${PROJECT_BINARY_DIR}/installer.nsi @ONLY)
add_custom_command(OUTPUT ${TRELVIK_INSTALLER}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_stage}
  COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${_stage} --strip
  COMMAND ${TRELVIK_MAKENSIS} -V2 -INPUTCHARSET UTF8 ${PROJECT_BINARY_DIR}/installer.nsi
  DEPENDS trelvik trelvik-calc ${PROJECT_BINARY_DIR}/installer.nsi
  COMMENT "Making the installer trelvik-${PROJECT_VERSION}-setup.exe"
  VERBATIM)
add_custom_target(installer ALL DEPENDS ${TRELVIK_INSTALLER})
