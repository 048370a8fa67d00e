# The Windows download, tarnwick-1.6-windows-x86_64.zip: one folder holding
# tarnwick.exe and the licences of everything inside it. `cpack` in the
# Windows build directory makes it (scripts/dev.sh windows-zip does).
#
# The program links the mingw-w64 runtime and its thread library statically,
# so their copyright notices travel with it.
set(TARNWICK_MINGW_COPYRIGHT /usr/share/doc/mingw-w64-x86-64-dev/copyright
    CACHE FILEPATH "Copyright notices of the mingw-w64 runtime linked into the program")

install(FILES ${PROJECT_SOURCE_DIR}/main_window/fonts/OFL-DSEG.txt DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/main_window/fonts/README.md DESTINATION .
        RENAME README-fonts.txt)
if(EXISTS ${TARNWICK_MINGW_COPYRIGHT})
  install(FILES ${TARNWICK_MINGW_COPYRIGHT} DESTINATION . RENAME COPYING-mingw-w64-runtime.txt)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ${TARNWICK_AUTHOR})
set(CPACK_PACKAGE_FILE_NAME tarnwick-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
include(CPack)
