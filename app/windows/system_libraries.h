#pragma once

namespace app_windows {

// DLLs loaded while the program runs come from System32 alone, never from the
// program's own folder (a Downloads folder may hold a stranger's DLL under a
// system DLL's name) nor from the current folder. The first thing wWinMain
// does, before anything loads a DLL.
void LoadLibrariesFromSystem32Only();

}  // namespace app_windows
