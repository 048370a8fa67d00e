#include <charconv>
#include <limits>

#include "basics/error_source.h"
#include "platform/management_objects.h"

namespace platform {
namespace {

[[noreturn]] void mismatch() {
  throw basics::Error(kTypeMismatch, basics::kErrorSource, "Type mismatch");
}

}  // namespace

std::string toText(const Variant& v) {
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  if (auto* i = std::get_if<std::int32_t>(&v)) return std::to_string(*i);
  if (auto* l = std::get_if<std::int64_t>(&v)) return std::to_string(*l);
  if (auto* b = std::get_if<bool>(&v)) return *b ? "True" : "False";
  mismatch();
}

std::int32_t toInt32(const Variant& v) {
  if (auto* i = std::get_if<std::int32_t>(&v)) return *i;
  if (auto* l = std::get_if<std::int64_t>(&v)) {
    if (*l < std::numeric_limits<std::int32_t>::min() ||
        *l > std::numeric_limits<std::int32_t>::max()) {
      throw basics::Error(6, basics::kErrorSource, "Overflow");
    }
    return static_cast<std::int32_t>(*l);
  }
  if (auto* b = std::get_if<bool>(&v)) return *b ? -1 : 0;
  if (auto* s = std::get_if<std::string>(&v)) {
    std::int64_t value = 0;
    auto [end, ec] = std::from_chars(s->data(), s->data() + s->size(), value);
    if (ec != std::errc() || end != s->data() + s->size()) mismatch();
    return toInt32(Variant(value));
  }
  mismatch();
}

bool toFlag(const Variant& v) {
  if (auto* b = std::get_if<bool>(&v)) return *b;
  if (auto* i = std::get_if<std::int32_t>(&v)) return *i != 0;
  if (auto* l = std::get_if<std::int64_t>(&v)) return *l != 0;
  mismatch();
}

const TextArray& toArray(const Variant& v) {
  if (auto* a = std::get_if<TextArray>(&v)) return *a;
  mismatch();
}

}  // namespace platform
