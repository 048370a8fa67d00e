#include "printed_output/json_document.h"

#include <nlohmann/json.hpp>

#include "basics/text_output.h"
#include "printed_output/report_fields.h"

namespace printed_output {
namespace {

// Keys in the order the program shows them, not sorted.
using Json = nlohmann::ordered_json;

Json report(const ReportReading& reading) {
  Json out = Json::object();
  out["caption"] = reading.caption;
  const ReportFields fields = ReadReportFields(reading.text);
  out["count"] = fields.count ? Json(*fields.count) : Json(nullptr);
  Json adapters = Json::array();
  for (const auto& adapter : fields.adapters) {
    Json object = Json::object();
    for (const auto& [label, value] : adapter) object[label] = value;
    adapters.push_back(std::move(object));
  }
  out["adapters"] = std::move(adapters);
  if (reading.failure) {
    out["error"] = Json{{"number", reading.failure->number}, {"text", reading.failure->text}};
  }
  return out;
}

// The writer escapes C0 controls inside strings; the rest of what the printed
// text escapes (DEL, the C1 range, which some terminals obey, and the
// text-direction controls) it writes as they are. Outside strings a JSON
// document holds none of them, so they can be escaped in the finished text.
std::string jsonEscape(char32_t point) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(point >> shift) & 0xF];
  return out;
}

}  // namespace

std::string JsonDocument(const ProgramReading& reading) {
  Json document = Json::object();
  document["title"] = reading.title;
  document["wan"] = reading.wan;
  document["lan"] = reading.lan;
  document["localhost"] = reading.localhost;
  document["status"] = reading.status;
  document["online"] = reading.online;
  if (reading.reason) {
    document["reason"] = Json{{"code", reading.reason->code}, {"text", reading.reason->text}};
  } else {
    document["reason"] = nullptr;
  }
  Json lights = Json::array();
  for (const auto& light : reading.lights) {
    lights.push_back(
        Json{{"colour", light.colour}, {"pressed", light.pressed}, {"caption", light.caption}});
  }
  document["lights"] = std::move(lights);
  document["adapter_info"] = report(reading.adapterInfo);
  document["additional_adapter_info"] = report(reading.additionalAdapterInfo);
  return basics::escapeEach(document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace),
                            jsonEscape) +
         "\n";
}

}  // namespace printed_output
