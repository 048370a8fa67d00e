# Run by cpack once the zip's files are staged (CPACK_PRE_BUILD_SCRIPTS): signs
# tarnwick.exe there when a certificate is given (packaging/windows/sign.sh).
file(GLOB_RECURSE programs ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/tarnwick.exe)
foreach(program ${programs})
  execute_process(COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/sign.sh ${program} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
