# An optional part of the build: built when what it needs is found, left out
# with one status line when not. A preset that sets the option ON requires
# it (configuring fails without it); OFF leaves it out unasked.
#   trelvik_optional(TRELVIK_BENCH "the benchmarks" benchmark)
# The arguments after the description go to find_package, the first being
# the package; afterwards the option is ON or OFF.
macro(trelvik_optional option what package)
  set(${option} AUTO CACHE STRING "Build ${what}: ON, OFF, or AUTO (when ${package} is found)")
  set_property(CACHE ${option} PROPERTY STRINGS AUTO ON OFF)
  if(${option} STREQUAL "AUTO")
    find_package(${package} ${ARGN} QUIET)
    if(${package}_FOUND)
      set(${option} ON)
    else()
      message(STATUS "${package} not found: ${what} are not built (${option})")
      set(${option} OFF)
    endif()
  elseif(${option})
    find_package(${package} ${ARGN} REQUIRED)
    set(${option} ON)
  else()
    set(${option} OFF)
  endif()
endmacro()
