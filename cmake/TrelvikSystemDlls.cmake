# Windows executables that load DLLs from System32 alone, never from their
# own folder (app/windows/system_dlls_only.cpp says why and how).
#
# Every DLL the executables link to is delay-loaded, but kernel32 and
# msvcrt, which the C runtime needs before any code of ours runs, and the
# synchronization API set, which kernelbase serves:
# the loader then resolves them only at their first call, after the search
# has been narrowed to System32. Not only the DLLs that Windows would look
# for beside the program: a KnownDLL's own imports are looked for there too
# by a loader that does not read the executable's load configuration (Wine's:
# comdlg32 brings comctl32, which brings version.dll). For each, a
# delay-import library of the same name (libNAME.a) is made from the exports
# of MinGW's own import library, in a folder that the link searches first,
# so that every -lNAME, Qt's included, finds it. tests/windows checks, from
# the executables' own import tables, that no DLL is taken from beside them.

set(TRELVIK_DELAY_LOADED_DLLS
  advapi32 authz comdlg32 d3d9 d3d11 dwmapi dwrite dxgi gdi32 imm32 netapi32 ole32 oleaut32
  runtimeobject shcore shell32 shlwapi user32 userenv uxtheme version winmm ws2_32 wtsapi32)

if(MINGW)
  find_program(TRELVIK_DLLTOOL NAMES ${TRELVIK_MINGW_PREFIX}-dlltool dlltool REQUIRED)
  find_program(TRELVIK_NM NAMES ${TRELVIK_MINGW_PREFIX}-nm nm REQUIRED)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(_import_libraries "")
  foreach(library IN LISTS TRELVIK_DELAY_LOADED_DLLS)
    find_library(_import_library ${library} REQUIRED NO_CACHE)
    list(APPEND _import_libraries ${_import_library})
    unset(_import_library)
  endforeach()
  # Made again whenever the list or MinGW's libraries change.
  string(SHA256 _key "${_import_libraries}")
  set(_delay_dir ${PROJECT_BINARY_DIR}/delay-import)
  set(_stamp ${_delay_dir}/made-${_key})
  set(_stale FALSE)
  foreach(library IN LISTS _import_libraries)
    if(NOT EXISTS ${_stamp} OR ${library} IS_NEWER_THAN ${_stamp})
      set(_stale TRUE)
    endif()
  endforeach()
  if(_stale)
    file(REMOVE_RECURSE ${_delay_dir})
    file(MAKE_DIRECTORY ${_delay_dir})
    execute_process(COMMAND ${Python3_EXECUTABLE}
      ${PROJECT_SOURCE_DIR}/cmake/make_delay_import_libs.py
      --nm ${TRELVIK_NM} --dlltool ${TRELVIK_DLLTOOL} --ar ${CMAKE_AR} --out ${_delay_dir}
      ${_import_libraries}
      COMMAND_ERROR_IS_FATAL ANY)
    file(TOUCH ${_stamp})
  endif()
  add_library(trelvik_system_dlls OBJECT ${PROJECT_SOURCE_DIR}/app/windows/system_dlls_only.cpp)
  trelvik_warnings(trelvik_system_dlls)
endif()

function(trelvik_system_dlls_only target)
  if(NOT MINGW)
    return()
  endif()
  target_link_libraries(${target} PRIVATE trelvik_system_dlls)
  target_link_directories(${target} BEFORE PRIVATE ${PROJECT_BINARY_DIR}/delay-import)
  list(TRANSFORM TRELVIK_DELAY_LOADED_DLLS
    REPLACE "(.+)" "${PROJECT_BINARY_DIR}/delay-import/lib\\1.a" OUTPUT_VARIABLE libraries)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${libraries})
  # Nothing refers to the load configuration but the header entry that is
  # pointed at it after the link.
  target_link_options(${target} PRIVATE -Wl,--undefined=_load_config_used)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/fill_pe_directories.py
      --nm ${TRELVIK_NM} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
