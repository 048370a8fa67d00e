#pragma once

#include "toolkit/form.h"

namespace main_window {

// The main window's controls its code reaches, bound once per load. A name or
// kind the layout does not have fails right there, when the window loads, not
// first when some rarely taken branch reaches for the control.
struct Form1Controls {
  // The result boxes, and the hidden box the reachability probe leaves its marker in.
  toolkit::TextBox& wan;
  toolkit::TextBox& lan;
  toolkit::TextBox& txtLocal;
  toolkit::TextBox& txtStatus;
  toolkit::TextBox& txtStatus2;
  // The labels beside them and the one shown while gathering.
  toolkit::Label& wan2;
  toolkit::Label& lan2;
  toolkit::Label& lblLocal;
  toolkit::Label& lblWorking;
  // The status light: its caption box and the three lights.
  toolkit::CheckBox& chkstatus;
  toolkit::CheckBox& chkgreen;
  toolkit::CheckBox& chkyellow;
  toolkit::CheckBox& chkred;
  // The commands (the WAN label above opens the address page as well).
  toolkit::CheckBox& chkReload;
  toolkit::CheckBox& chkAdp;
  toolkit::CommandButton& ainfo1;
  toolkit::CommandButton& ainfo2;
  toolkit::CommandButton& brevan;
  // The gathering machinery.
  toolkit::ProgressBar& progressBar1;
  toolkit::Timer& timer1;
  toolkit::InternetTransferControl& inet1;
};

// Finds every control of Form1Controls in the loaded window; throws
// basics::LayoutError for a name or kind the layout lacks.
Form1Controls BindForm1Controls(toolkit::Form& form);

}  // namespace main_window
