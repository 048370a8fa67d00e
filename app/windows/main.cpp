// Tarnwick on Windows: the main window over the system's own controls and
// services. The program runs until the user closes the main window.

#include <windows.h>

#include "main_window/program.h"
#include "main_window/resources.h"
#include "platform/windows/windows_adapter_table.h"
#include "platform/windows/windows_shell.h"
#include "platform/windows/wininet_transfer.h"
#include "platform/windows/wmi_management.h"
#include "toolkit/win32/win32_backend.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  toolkit::win32::Win32Backend backend(main_window::WindowResources());
  // The services outlive the program, which waits for its background work.
  platform::windows::WmiLocator management;
  platform::windows::WindowsAdapterTable adapterTable;
  platform::windows::WinInetTransfer internet;
  platform::windows::WindowsShell shell;
  main_window::Program program(backend, {management, adapterTable, internet, shell},
                               main_window::BuiltInMakerInfo());
  program.start();
  const int status = backend.exec();
  program.stop();
  return status;
}
