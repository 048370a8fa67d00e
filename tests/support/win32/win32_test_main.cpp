#include <windows.h>

#include <gtest/gtest.h>

// Tests that create windows draw on the display Wine was given (Xvfb in CI),
// aware of each monitor's scale as tarnwick.exe's manifest declares, so the
// system leaves the scaling to the toolkit at any dpi.
int main(int argc, char** argv) {
  using SetAwareness = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  const auto setAwareness = reinterpret_cast<SetAwareness>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  if (setAwareness) setAwareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
