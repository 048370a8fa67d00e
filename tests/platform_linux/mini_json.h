#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform_linux_test {

// Just enough JSON to read iproute2's output: objects keep their key order,
// numbers are doubles. Parsing raises std::runtime_error on malformed text.
struct Json {
  enum class Kind { Null, Bool, Number, String, Array, Object };
  Kind kind = Kind::Null;
  bool flag = false;
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;

  // The member named `key`, or a null value when there is none.
  const Json& operator[](std::string_view key) const;
  bool has(std::string_view key) const;
  bool isNull() const { return kind == Kind::Null; }
  // The strings of an array of strings ("flags").
  std::vector<std::string> strings() const;
};

Json parseJson(std::string_view text);

}  // namespace platform_linux_test
