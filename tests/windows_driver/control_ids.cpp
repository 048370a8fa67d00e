#include "tests/windows_driver/control_ids.h"

namespace windows_driver {

// PLACEHOLDER until the backend's scheme is known: position in the table + 1.
int controlIdOf(const toolkit::WindowLayout& layout, const std::string& name) {
  for (std::size_t i = 0; i < layout.controls.size(); ++i) {
    if (layout.controls[i].name == name) return static_cast<int>(i) + 1;
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
