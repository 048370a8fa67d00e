# GoogleTest for a cross-build: Debian's packaged libraries are built for this
# machine, so the target gets its own from Debian's sources (googletest package,
# /usr/src/googletest); they define the same GTest:: names find_package gives.
set(TARNWICK_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${TARNWICK_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(lib gtest gtest_main gmock gmock_main)
  # Not our code: its warnings are not ours to fix.
  target_compile_options(${lib} PRIVATE -w)
endforeach()
