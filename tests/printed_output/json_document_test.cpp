#include "printed_output/json_document.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace printed_output {
namespace {

// Texts from the network or the system reach the document as they are: it
// must stay valid JSON (invalid UTF-8 would make the writer throw) and hold
// no byte a terminal obeys.
TEST(JsonDocument, AnyTextGivesValidJsonWithoutRawControls) {
  ProgramReading reading;
  reading.wan = std::string("a\xff\x1b[2J\x7f\xc2\x9b\xe2\x80\xae") + "b";
  reading.status = "Offline";
  reading.lights = {{"green", true, ""}, {"yellow", false, "LAN Only"}, {"red", false, "Off"}};
  reading.adapterInfo = {"Adapter Info", true,
                         "1 adapter(s) found.\r\n\r\n--- Adapter 1 ---\r\n"
                         "\tName (Adapter) = lo\r\n\r\n",
                         std::nullopt};
  reading.additionalAdapterInfo = {"Additional Adapter Info", false, "",
                                   ReportFailure{-2147174648, "late failure"}};
  const std::string text = JsonDocument(reading);

  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    EXPECT_FALSE((c < 0x20 && c != '\n') || c == 0x7F) << "offset " << i;
    EXPECT_FALSE(c == 0xC2 && i + 1 < text.size() && (text[i + 1] & 0xE0) == 0x80) << i;
  }
  // A reply cannot turn the address around either, as in the printed text.
  EXPECT_EQ(text.find("\xe2\x80\xae"), std::string::npos);
  EXPECT_NE(text.find("\\u202e"), std::string::npos);
  const nlohmann::json document = nlohmann::json::parse(text);
  EXPECT_EQ(document["wan"],
            "a\xef\xbf\xbd\x1b[2J\x7f\xc2\x9b\xe2\x80\xae"
            "b");
  EXPECT_EQ(document["online"], false);
  EXPECT_EQ(document["lights"][1]["caption"], "LAN Only");
  EXPECT_EQ(document["adapter_info"]["count"], 1);
  EXPECT_EQ(document["adapter_info"]["adapters"][0]["Name (Adapter)"], "lo");
  EXPECT_FALSE(document["adapter_info"].contains("error"));
  const auto& failed = document["additional_adapter_info"];
  EXPECT_TRUE(failed["count"].is_null());
  EXPECT_TRUE(failed["adapters"].empty());
  EXPECT_EQ(failed["error"], (nlohmann::json{{"number", -2147174648}, {"text", "late failure"}}));
}

}  // namespace
}  // namespace printed_output
