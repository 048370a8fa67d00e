#include "tests/platform_linux/mini_json.h"

#include <cstdlib>
#include <stdexcept>

namespace platform_linux_test {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  Json document() {
    Json value = parseValue(0);
    skipSpace();
    if (pos_ != text_.size()) fail("trailing text");
    return value;
  }

 private:
  [[noreturn]] void fail(const char* what) const {
    throw std::runtime_error(std::string("JSON: ") + what + " at " + std::to_string(pos_));
  }
  void skipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' ||
                                   text_[pos_] == '\r' || text_[pos_] == '\t')) {
      ++pos_;
    }
  }
  char peek() {
    skipSpace();
    if (pos_ >= text_.size()) fail("unexpected end");
    return text_[pos_];
  }
  void expect(char c) {
    if (peek() != c) fail("unexpected character");
    ++pos_;
  }
  bool literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  Json parseValue(int depth) {
    if (depth > 64) fail("nested too deeply");
    Json value;
    const char c = peek();
    if (c == '{') {
      value.kind = Json::Kind::Object;
      ++pos_;
      if (peek() == '}') return ++pos_, value;
      do {
        std::string key = parseString();
        expect(':');
        value.members.emplace_back(std::move(key), parseValue(depth + 1));
      } while (peek() == ',' && ++pos_);
      expect('}');
    } else if (c == '[') {
      value.kind = Json::Kind::Array;
      ++pos_;
      if (peek() == ']') return ++pos_, value;
      do {
        value.items.push_back(parseValue(depth + 1));
      } while (peek() == ',' && ++pos_);
      expect(']');
    } else if (c == '"') {
      value.kind = Json::Kind::String;
      value.text = parseString();
    } else if (literal("true")) {
      value.kind = Json::Kind::Bool;
      value.flag = true;
    } else if (literal("false")) {
      value.kind = Json::Kind::Bool;
    } else if (literal("null")) {
      value.kind = Json::Kind::Null;
    } else {
      const std::string rest(text_.substr(pos_, 64));
      char* end = nullptr;
      value.kind = Json::Kind::Number;
      value.number = std::strtod(rest.c_str(), &end);
      if (end == rest.c_str()) fail("bad value");
      pos_ += static_cast<std::size_t>(end - rest.c_str());
    }
    return value;
  }

  std::string parseString() {
    expect('"');
    std::string out;
    while (pos_ < text_.size() && text_[pos_] != '"') {
      char c = text_[pos_++];
      if (c == '\\') {
        if (pos_ >= text_.size()) fail("bad escape");
        c = text_[pos_++];
        if (c == 'n') c = '\n';
        if (c == 't') c = '\t';
        if (c == 'u') {  // iproute2 escapes only control characters this way
          if (pos_ + 4 > text_.size()) fail("bad escape");
          c = static_cast<char>(
              std::strtol(std::string(text_.substr(pos_, 4)).c_str(), nullptr, 16));
          pos_ += 4;
        }
      }
      out += c;
    }
    if (pos_ >= text_.size()) fail("unterminated string");
    ++pos_;
    return out;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

const Json kNull;

}  // namespace

const Json& Json::operator[](std::string_view key) const {
  for (const auto& [name, value] : members) {
    if (name == key) return value;
  }
  return kNull;
}

bool Json::has(std::string_view key) const {
  for (const auto& member : members) {
    if (member.first == key) return true;
  }
  return false;
}

std::vector<std::string> Json::strings() const {
  std::vector<std::string> out;
  for (const Json& item : items) out.push_back(item.text);
  return out;
}

Json parseJson(std::string_view text) {
  return Parser(text).document();
}

}  // namespace platform_linux_test
