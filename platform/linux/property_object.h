#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/management_objects.h"

namespace platform::linuxos {

// A management object that is nothing but its properties, fixed when built.
// Names are matched without regard to letter case; a name the object was not
// built with is kNotFound, so a misspelt property is an error, not a null.
class PropertyObject : public ManagementObject {
 public:
  explicit PropertyObject(std::string className) : className_(std::move(className)) {}

  PropertyObject& set(std::string name, Variant value);
  Variant property(std::string_view name) const override;

 private:
  std::string className_;
  std::vector<std::pair<std::string, Variant>> properties_;
};

// A query's result: the objects in the order they were built, enumerable as
// often as needed.
class PropertyObjectSet : public ObjectSet {
 public:
  explicit PropertyObjectSet(std::vector<PropertyObject> objects) : objects_(std::move(objects)) {}

  std::int32_t count() const override;
  void forEach(const std::function<bool(const ManagementObject&)>& visit) const override;

 private:
  std::vector<PropertyObject> objects_;
};

}  // namespace platform::linuxos
