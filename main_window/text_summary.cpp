#include "main_window/text_summary.h"

namespace main_window {
namespace {

std::string light(toolkit::Form& form, const char* name) {
  auto& box = form.checkBox(name);
  return std::string(box.value() == toolkit::kChecked ? "pressed" : "raised") + " \"" +
         box.caption() + "\"";
}

}  // namespace

std::string MainWindowSummary(toolkit::Form& form1) {
  std::string out = form1.caption() + "\n";
  out += "Your Wan Ip Is: " + form1.textBox("WAN").text() + "\n";
  out += "Your Lan Ip Is: " + form1.textBox("LAN").text() + "\n";
  out += "Localhost: " + form1.textBox("txtLocal").text() + "\n";
  out += "Online Status: " + form1.textBox("txtStatus").text() + "\n";
  out += "Lights: green " + light(form1, "chkgreen") + ", yellow " + light(form1, "chkyellow") +
         ", red " + light(form1, "chkred") + "\n";
  return out;
}

std::string ReportWindowSummary(toolkit::Form& reportWindow) {
  std::string out = "\n" + reportWindow.caption() + "\n";
  const std::string text = reportWindow.textBox("txtOut").text();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

}  // namespace main_window
