#include "main_window/form1_controls.h"

namespace main_window {

Form1Controls BindForm1Controls(toolkit::Form& form) {
  using namespace toolkit;
  return Form1Controls{
      .wan = form.controlAs<TextBox>("WAN"),
      .lan = form.controlAs<TextBox>("LAN"),
      .txtLocal = form.controlAs<TextBox>("txtLocal"),
      .txtStatus = form.controlAs<TextBox>("txtStatus"),
      .txtStatus2 = form.controlAs<TextBox>("txtStatus2"),
      .wan2 = form.controlAs<Label>("WAN2"),
      .lan2 = form.controlAs<Label>("LAN2"),
      .lblLocal = form.controlAs<Label>("lblLocal"),
      .lblWorking = form.controlAs<Label>("lblWorking"),
      .chkstatus = form.controlAs<CheckBox>("chkstatus"),
      .chkgreen = form.controlAs<CheckBox>("chkgreen"),
      .chkyellow = form.controlAs<CheckBox>("chkyellow"),
      .chkred = form.controlAs<CheckBox>("chkred"),
      .chkReload = form.controlAs<CheckBox>("chkReload"),
      .chkAdp = form.controlAs<CheckBox>("chkAdp"),
      .ainfo1 = form.controlAs<CommandButton>("Ainfo1"),
      .ainfo2 = form.controlAs<CommandButton>("Ainfo2"),
      .brevan = form.controlAs<CommandButton>("Brevan"),
      .progressBar1 = form.controlAs<ProgressBar>("ProgressBar1"),
      .timer1 = form.controlAs<Timer>("Timer1"),
      .inet1 = form.controlAs<InternetTransferControl>("Inet1"),
  };
}

}  // namespace main_window
