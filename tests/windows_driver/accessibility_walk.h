#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace windows_driver {

// What the walk needs of the program the driver started.
struct WalkedProgram {
  HWND main = nullptr;
  // A control of a main window by its layout name.
  std::function<HWND(HWND main, const std::string& name)> control;
  // The program's top-level window with this title, waited for; null when none came.
  std::function<HWND(const std::string& title)> findWindow;
  // After a reload: the new main window, once it has gathered.
  std::function<HWND()> waitForNewResult;
};

// Hears what the program announces to screen readers (EVENT_OBJECT_LIVEREGIONCHANGED,
// read back as a screen reader reads the region: its name and value), from the
// moment it is made; the calling thread's messages bring the events. Joins the
// thread to COM for as long as it lives: the walk needs it too.
class AnnouncementListener {
 public:
  explicit AnnouncementListener(DWORD pid);
  ~AnnouncementListener();
  AnnouncementListener(const AnnouncementListener&) = delete;
  AnnouncementListener& operator=(const AnnouncementListener&) = delete;
  // What was said so far, after letting pending events in; then forgets it.
  std::vector<std::string> take();

 private:
  HWINEVENTHOOK hook_;
};

// Walks the main window as a screen-reader user does, through IAccessible and
// keys pressed as the keyboard presses them, and writes what it meets in the
// lines accessibility_check.py writes on Linux, then the contrast of the
// window's texts as drawn: "contrast NAME RATIO".
void walkAsAScreenReaderUser(WalkedProgram program, AnnouncementListener& announcements,
                             const std::function<void(const std::string&)>& write);

}  // namespace windows_driver
