# nlohmann/json (Debian nlohmann-json3-dev) builds the JSON output. It is
# headers alone with no system dependency, so a cross build takes the
# machine's copy, through a folder holding only it: the rest of the machine's
# include folder stays out of the target's sight.
if(TARGET nlohmann_json::nlohmann_json)
  return()
endif()
if(NOT CMAKE_CROSSCOMPILING)
  find_package(nlohmann_json 3 REQUIRED)
  return()
endif()
find_path(TARNWICK_NLOHMANN_JSON_ROOT nlohmann/json.hpp PATHS /usr/include
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(TARNWICK_NLOHMANN_JSON_INCLUDE ${CMAKE_BINARY_DIR}/nlohmann_json_include)
file(MAKE_DIRECTORY ${TARNWICK_NLOHMANN_JSON_INCLUDE})
file(CREATE_LINK ${TARNWICK_NLOHMANN_JSON_ROOT}/nlohmann
     ${TARNWICK_NLOHMANN_JSON_INCLUDE}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
                      INTERFACE_INCLUDE_DIRECTORIES ${TARNWICK_NLOHMANN_JSON_INCLUDE})
