#include "platform/linux/property_object.h"

#include <limits>

#include "basics/text.h"

namespace platform::linuxos {
namespace {}  // namespace

PropertyObject& PropertyObject::set(std::string name, Variant value) {
  for (auto& [known, old] : properties_) {
    if (basics::equalIgnoringCase(known, name)) {
      old = std::move(value);
      return *this;
    }
  }
  properties_.emplace_back(std::move(name), std::move(value));
  return *this;
}

Variant PropertyObject::property(std::string_view name) const {
  for (const auto& [known, value] : properties_) {
    if (basics::equalIgnoringCase(known, name)) return value;
  }
  throw basics::Error(kNotFound, "LinuxManagement",
                      className_ + " has no property named \"" + std::string(name) + "\"");
}

std::int32_t PropertyObjectSet::count() const {
  // A set never holds anywhere near this many interfaces; clamp all the same.
  constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int32_t>(objects_.size() < kMax ? objects_.size() : kMax);
}

void PropertyObjectSet::forEach(const std::function<bool(const ManagementObject&)>& visit) const {
  for (const PropertyObject& object : objects_) {
    if (!visit(object)) return;
  }
}

}  // namespace platform::linuxos
