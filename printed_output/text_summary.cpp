#include "printed_output/text_summary.h"

namespace printed_output {
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

std::string light(const LightReading& light) {
  return light.colour + " " + (light.pressed ? "pressed" : "raised") + " \"" +
         oneLine(light.caption) + "\"";
}

std::string reportSummary(const std::string& caption, const std::string& text) {
  std::string out = "\n" + caption + "\n";
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

}  // namespace

std::string MainWindowSummary(const ProgramReading& reading) {
  std::string out = reading.title + "\n";
  out += "Your Wan Ip Is: " + oneLine(reading.wan) + "\n";
  out += "Your Lan Ip Is: " + oneLine(reading.lan) + "\n";
  out += "Localhost: " + oneLine(reading.localhost) + "\n";
  out += "Online Status: " + oneLine(reading.status) + "\n";
  if (reading.reason) out += "Reason: " + std::string(reading.reason->text) + "\n";
  out += "Lights: ";
  for (std::size_t i = 0; i < reading.lights.size(); ++i) {
    out += (i > 0 ? ", " : "") + light(reading.lights[i]);
  }
  out += "\n";
  return out;
}

std::string ReportsSummary(const ProgramReading& reading) {
  std::string out;
  for (const ReportReading* report : {&reading.adapterInfo, &reading.additionalAdapterInfo}) {
    if (report->loaded) out += reportSummary(report->caption, report->text);
  }
  return out;
}

}  // namespace printed_output
