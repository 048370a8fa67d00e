// A program that imports the DLLs tarnwick.exe delay-loads the ordinary way.
// Run from the folder the stand-ins are planted in, it must load every one of
// them: that shows the session's Wine searches a program's own folder first,
// as Windows does, so that tarnwick.exe loading none of them means something.

#include <windows.h>

#include <commctrl.h>
#include <gdiplus.h>
#include <iphlpapi.h>
#include <oleacc.h>
#include <uxtheme.h>
#include <wininet.h>

int main(int argc, char**) {
  // Never true: the calls only keep the imports.
  if (argc > 1000) {
    InitCommonControls();
    IsThemeActive();
    GetRoleTextW(0, nullptr, 0);
    Gdiplus::GdiplusShutdown(0);
    ULONG size = 0;
    GetAdaptersInfo(nullptr, &size);
    InternetCloseHandle(nullptr);
  }
  return 0;
}
