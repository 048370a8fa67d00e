#include "main_window/status_announcement.h"

namespace main_window {

void AnnounceStatus(const Form1Controls& c) {
  // The phrase sits in a box that stays hidden; the box a sighted user reads
  // the status beside is the one a screen reader reads it from.
  basics::skipOnFailure([&] {
    c.chkstatus.setAccessibleValue(c.txtStatus.text());
    c.chkstatus.announce();
  });
}

void ShowReason(const Form1Controls& c, const diagnosis::Reason& reason) {
  const std::string text(reason.text);
  basics::skipOnFailure([&] { c.chkstatus.setToolTip(text); });
  basics::skipOnFailure([&] { c.chkstatus.setAccessibleDescription(text); });
}

}  // namespace main_window
