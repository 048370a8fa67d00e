# A library publishes only the headers of its own folder. Each header is linked,
# one by one, into <build>/include/<target>/<folder>/ and that root becomes the
# library's PUBLIC include directory: whoever links tarnwick_toolkit can include
# "toolkit/form.h" but not "toolkit/qt/qt_window.h" (published by
# tarnwick_toolkit_qt alone), and no target sees the whole source tree. A logic
# library that reaches for a backend's header, or for a library it does not
# link, therefore fails to compile. scripts/check_logic_includes.sh covers what
# the compiler cannot see: system headers in the default search path.
function(tarnwick_publish_headers target)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  # Rebuilt on every configure, so a deleted header does not linger.
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC COPY_ON_ERROR)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
