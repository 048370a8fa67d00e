# Debian's hardening flags, as dpkg-buildflags gives them on the building
# machine: fortified string and memory calls, the stack protector, format
# checks, and relocations made read-only and bound at start-up. The Debian
# package is made from the same build the tests run, so both carry them.
#
# Optimisation and debug information stay with the build type (-g and -O are
# left out), and so does the source path in the debug information (no
# -ffile-prefix-map), so a debugger still finds the sources. Fortification needs
# an optimised build; the sanitizers bring checks of their own.
option(TARNWICK_HARDENING "Compile and link with dpkg-buildflags' hardening flags" ON)
if(NOT TARNWICK_HARDENING OR TARNWICK_SANITIZE OR TARNWICK_FUZZ
   OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux"
   OR NOT CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  return()
endif()
find_program(TARNWICK_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT TARNWICK_DPKG_BUILDFLAGS)
  message(STATUS "dpkg-buildflags not found: built without Debian's hardening flags")
  return()
endif()

foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                          ${TARNWICK_DPKG_BUILDFLAGS} --get ${kind}
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(g|O.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
  if(kind STREQUAL "LDFLAGS")
    add_link_options(${flags})
  else()
    add_compile_options(${flags})
  endif()
  list(APPEND TARNWICK_HARDENING_FLAGS ${flags})
endforeach()
message(STATUS "Hardening flags from dpkg-buildflags: ${TARNWICK_HARDENING_FLAGS}")
