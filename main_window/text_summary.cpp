#include "main_window/text_summary.h"

namespace main_window {
namespace {

// A field's text kept on its own line: a line feed inside it (a reply can
// carry one) would otherwise start a line that looks like the program's own.
std::string oneLine(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n')
      out += "\\x0A";
    else
      out += c;
  }
  return out;
}

std::string light(toolkit::Form& form, const char* name) {
  auto& box = form.checkBox(name);
  return std::string(box.value() == toolkit::kChecked ? "pressed" : "raised") + " \"" +
         oneLine(box.caption()) + "\"";
}

}  // namespace

std::string MainWindowSummary(toolkit::Form& form1) {
  std::string out = form1.caption() + "\n";
  out += "Your Wan Ip Is: " + oneLine(form1.textBox("WAN").text()) + "\n";
  out += "Your Lan Ip Is: " + oneLine(form1.textBox("LAN").text()) + "\n";
  out += "Localhost: " + oneLine(form1.textBox("txtLocal").text()) + "\n";
  out += "Online Status: " + oneLine(form1.textBox("txtStatus").text()) + "\n";
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
