# The Windows download, tarnwick-1.6-windows-x86_64.zip: one folder holding
# tarnwick.exe, a README for Windows users and the licences of everything inside
# it. `cpack` in the
# Windows build directory makes it (scripts/dev.sh windows-zip does).
#
# The program links the mingw-w64 runtime and its thread library statically,
# so their copyright notices travel with it.
set(TARNWICK_MINGW_COPYRIGHT /usr/share/doc/mingw-w64-x86-64-dev/copyright
    CACHE FILEPATH "Copyright notices of the mingw-w64 runtime linked into the program")

# The two texts for Windows users, with Windows line ends so that every Notepad
# shows their lines; the User-Agent comes from the program's own title.
file(STRINGS ${PROJECT_SOURCE_DIR}/main_window/app_title.h title_line REGEX "kApplicationTitle =")
string(REGEX MATCH "\"([^\"]*)\"" TARNWICK_APP_TITLE "${title_line}")
set(TARNWICK_APP_TITLE "${CMAKE_MATCH_1}")
foreach(text README.txt README-fonts.txt)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/${text}.in
                 ${PROJECT_BINARY_DIR}/packaging/${text} @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/${text} DESTINATION .)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/main_window/fonts/OFL-DSEG.txt DESTINATION .)
if(EXISTS ${TARNWICK_MINGW_COPYRIGHT})
  install(FILES ${TARNWICK_MINGW_COPYRIGHT} DESTINATION . RENAME COPYING-mingw-w64-runtime.txt)
endif()

# The per-user installer's description for wixl (packaging/windows/make_msi.sh
# builds it from what `cmake --install` puts in a folder, the zip's files).
foreach(var TARNWICK_AUTHOR TARNWICK_MAKER_URL)
  string(REPLACE "&" "&amp;" ${var}_XML "${${var}}")
  string(REPLACE "<" "&lt;" ${var}_XML "${${var}_XML}")
  string(REPLACE "\"" "&quot;" ${var}_XML "${${var}_XML}")
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/tarnwick.wxs.in
               ${PROJECT_BINARY_DIR}/packaging/tarnwick.wxs @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/main_window/pictures/icon.ico
               ${PROJECT_BINARY_DIR}/packaging/tarnwick.ico COPYONLY)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ${TARNWICK_AUTHOR})
set(CPACK_PACKAGE_FILE_NAME tarnwick-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
# Signed, after stripping, when a certificate is given (packaging/windows/sign.sh).
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/windows/sign_staged.cmake)
include(CPack)
