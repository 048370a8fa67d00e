// The image's load configuration. Its one setting: on Windows 10 1607 and
// later the loader resolves tarnwick.exe's static imports in System32 alone,
// as LoadLibraryEx does with LOAD_LIBRARY_SEARCH_SYSTEM32, so a DLL left
// beside the program under the name of one it imports is not loaded. Older
// systems ignore the field (see system_libraries.cpp for what covers them).
//
// GNU ld 2.40 does not point the image's load-configuration entry at this
// structure; cmake/pe_load_config.py does after the link.

#include <windows.h>

#include <cstddef>

// The field after CSDVersion, named Reserved1 in mingw-w64's header, is the
// DependentLoadFlags of Microsoft's.
static_assert(offsetof(IMAGE_LOAD_CONFIG_DIRECTORY64, Reserved1) == 0x4E);

namespace {

constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 StaticImportsFromSystem32() {
  IMAGE_LOAD_CONFIG_DIRECTORY64 config{};
  config.Size = sizeof config;
  config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
  return config;
}

}  // namespace

extern "C" __attribute__((used)) const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used =
    StaticImportsFromSystem32();
