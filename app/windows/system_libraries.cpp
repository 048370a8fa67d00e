// Where the program's DLLs come from. Those that are not KnownDLLs (WinINet,
// the IP Helper, the accessibility, theme and GDI+ libraries) are delay-loaded
// (cmake/delay_load.cmake): they load on their first call, through the hook
// below, from System32. The static imports left are KnownDLLs, which always
// come from System32, and the common controls, which the manifest binds to
// the side-by-side assembly; on Windows 10 1607 and later the image's
// load configuration (load_config.cpp) limits all static imports to System32
// as well.

#include "system_libraries.h"

#include <windows.h>

#include <delayimp.h>

#include <cstring>

namespace app_windows {
namespace {

// System32 alone searched for the DLL and for the DLLs it imports in turn.
// The search flag is known from Windows 8 (Windows 7 with update KB2533623);
// before, the DLL is named by its full path.
HMODULE LoadFromSystem32(const char* name) {
  if (HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + std::strlen(name) >= MAX_PATH) return nullptr;
  path[length] = '\\';
  std::strcpy(path + length + 1, name);
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Imports of a delay-loaded DLL that are no KnownDLLs either, loaded from
// System32 before it. Windows searches System32 for the dependencies of a DLL
// loaded with LOAD_LIBRARY_SEARCH_SYSTEM32 too, but Wine 8 looks for those of
// the side-by-side common controls beside the program first.
struct LoadedFirst {
  const char* dll;
  const char* dependency;
};
constexpr LoadedFirst kLoadedFirst[] = {{"comctl32.dll", "uxtheme.dll"}};

// The delay-load helper asks this hook before it loads a DLL itself; a module
// returned here is the one used. Neither it nor what it loaded first is ever
// unloaded.
FARPROC WINAPI BeforeDelayLoad(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary || info == nullptr) return nullptr;
  for (const LoadedFirst& first : kLoadedFirst) {
    if (lstrcmpiA(info->szDll, first.dll) == 0) LoadFromSystem32(first.dependency);
  }
  return reinterpret_cast<FARPROC>(LoadFromSystem32(info->szDll));
}

}  // namespace

void LoadLibrariesFromSystem32Only() {
  // Looked up, not imported: Windows 7 without KB2533623 lacks it.
  using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
  const auto setDefault = reinterpret_cast<SetDefaultDirectories>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // There, at least not the current folder.
  SetDllDirectoryW(L"");
}

}  // namespace app_windows

// The delay-load helper's notification hook (mingw-w64's delayimp).
PfnDliHook __pfnDliNotifyHook2 = app_windows::BeforeDelayLoad;
