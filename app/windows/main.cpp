// Tarnwick on Windows: the main window over the system's own controls and
// services. The program runs until the user closes the main window.

#include <windows.h>

#include "main_window/app_title.h"
#include "main_window/form1.h"
#include "main_window/form1_layout.h"
#include "main_window/resources.h"
#include "platform/windows/windows_adapter_table.h"
#include "platform/windows/windows_shell.h"
#include "platform/windows/wininet_transfer.h"
#include "platform/windows/wmi_management.h"
#include "reports/report_windows.h"
#include "toolkit/application.h"
#include "toolkit/slot.h"
#include "toolkit/win32/win32_backend.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  toolkit::win32::Win32Backend backend(main_window::WindowResources());
  toolkit::Application app(backend, main_window::kApplicationTitle);

  platform::windows::WmiLocator management;
  platform::windows::WindowsAdapterTable adapterTable;
  platform::windows::WinInetTransfer internet;
  platform::windows::WindowsShell shell;
  const platform::Services services{management, adapterTable, internet, shell};

  toolkit::Slot<main_window::Form1> form1([&] {
    return std::make_unique<main_window::Form1>(app, services, main_window::BuiltInMakerInfo());
  });
  toolkit::Slot<reports::Form2> form2([&] {
    return std::make_unique<reports::Form2>(app, form1.get(), management,
                                            main_window::kIconPicture);
  });
  toolkit::Slot<reports::Form3> form3(
      [&] { return std::make_unique<reports::Form3>(app, form1.get(), adapterTable); });

  main_window::Form1& main = form1.get();
  main.adapterInfoWindow = [&]() -> toolkit::Form& { return form2.get(); };
  main.additionalAdapterInfoWindow = [&]() -> toolkit::Form& { return form3.get(); };

  app.runEvent([&] { main.show(); });
  const int status = backend.exec();
  // Windows go before the services they use.
  if (form3.filled()) form3.get().unload();
  if (form2.filled()) form2.get().unload();
  main.unload();
  return status;
}
