# Import libraries whose DLL is loaded on the first call into it rather than
# when the program starts ("delay-loaded"). A DLL that is not one of Windows'
# KnownDLLs is looked for in the program's own folder first when it is a
# static import; loaded on first use, it comes from where the program says
# (app/windows/system_libraries.cpp: System32, nothing else).
#
#   tarnwick_delay_loaded(<variable> <library>...)
#
# sets <variable> to the delay-import libraries standing in for mingw-w64's
# import libraries lib<library>.a. Each is made once, at configure time, by
# dlltool from the names the ordinary import library exports.
function(tarnwick_delay_loaded variable)
  set(made)
  foreach(library ${ARGN})
    find_library(import_${library} NAMES lib${library}.a REQUIRED NO_CACHE)
    set(out ${CMAKE_BINARY_DIR}/delay_loaded/lib${library}_delayed.a)
    if(NOT EXISTS ${out} OR ${import_${library}} IS_NEWER_THAN ${out})
      execute_process(COMMAND ${CMAKE_DLLTOOL} -I ${import_${library}}
                      OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
      execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${import_${library}}
                      OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
      string(REGEX MATCHALL " I __imp_[^\n]+" imports "${symbols}")
      list(TRANSFORM imports REPLACE " I __imp_" "")
      list(REMOVE_DUPLICATES imports)
      list(JOIN imports "\n" exports)
      set(def ${CMAKE_BINARY_DIR}/delay_loaded/${library}.def)
      file(WRITE ${def} "LIBRARY \"${dll}\"\nEXPORTS\n${exports}\n")
      execute_process(COMMAND ${CMAKE_DLLTOOL} --def ${def} --dllname ${dll} --output-delaylib ${out}
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()
    list(APPEND made ${out})
  endforeach()
  set(${variable} ${made} PARENT_SCOPE)
endfunction()
