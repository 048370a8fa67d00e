#pragma once

#include <string>

#include "main_window/form1.h"
#include "main_window/gathering_settings.h"
#include "main_window/maker_info.h"
#include "platform/services.h"
#include "reports/report_windows.h"
#include "toolkit/application.h"
#include "toolkit/backend.h"
#include "toolkit/slot.h"

namespace main_window {

// The whole program over a toolkit backend and the system's services: the
// application object, the main window and the two report windows its "1" and
// "2" buttons open. Both entry points (Linux, Windows) build this one object.
//
// Make the services before the Program and let them outlive it: its destructor
// unloads the windows and then waits for every background task, so no task can
// still reach a service that is gone.
class Program {
 public:
  Program(toolkit::Backend& backend, const platform::Services& services, MakerInfo maker,
          GatheringSettings settings = {});
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  toolkit::Application& application() { return app_; }
  Form1& mainWindow() { return form1_.get(); }
  reports::Form2& adapterInfo() { return form2_.get(); }
  reports::Form3& additionalAdapterInfo() { return form3_.get(); }

  // Shows the main window, which starts gathering.
  void start();
  // Unloads every window and waits for their background work; nothing runs
  // in the background afterwards.
  void stop();

 private:
  toolkit::Application app_;
  toolkit::Slot<Form1> form1_;
  toolkit::Slot<reports::Form2> form2_;
  toolkit::Slot<reports::Form3> form3_;
};

}  // namespace main_window
