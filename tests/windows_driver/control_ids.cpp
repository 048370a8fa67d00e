#include "tests/windows_driver/control_ids.h"

namespace windows_driver {

// The Win32 backend numbers each control by its row in the layout table, from 1000.
int controlIdOf(const toolkit::WindowLayout& layout, const std::string& name) {
  for (std::size_t i = 0; i < layout.controls.size(); ++i) {
    if (layout.controls[i].name == name) return 1000 + static_cast<int>(i);
  }
  return -1;
}

toolkit::WindowLayout reportWindowLayout() {
  toolkit::WindowLayout layout;
  toolkit::ControlLayout text;
  text.name = "txtOut";
  layout.controls.push_back(text);
  return layout;
}

}  // namespace windows_driver
