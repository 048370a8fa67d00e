#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "basics/error.h"
#include "platform/management_objects.h"

namespace fakes {

// One management object: named properties, looked up case-insensitively. A
// name it lacks raises kNotFound; a name in `failing` raises that error.
class FakeObject : public platform::ManagementObject {
 public:
  FakeObject() = default;
  FakeObject(std::initializer_list<std::pair<const std::string, platform::Variant>> props);

  FakeObject& set(const std::string& name, platform::Variant value);
  FakeObject& fail(const std::string& name, basics::Error error);

  platform::Variant property(std::string_view name) const override;
  int reads() const { return reads_; }

 private:
  static std::string lower(std::string_view s);
  std::map<std::string, platform::Variant> props_;
  std::map<std::string, basics::Error> failing_;
  mutable int reads_ = 0;
};

// A query result over fake objects. `enumerationError` is raised when the
// enumeration reaches object `failAt` (or at its start when failAt is 0).
class FakeObjectSet : public platform::ObjectSet {
 public:
  explicit FakeObjectSet(std::vector<FakeObject> objects) : objects_(std::move(objects)) {}

  std::int32_t count() const override;
  void forEach(const std::function<bool(const platform::ManagementObject&)>& visit) const override;

  std::vector<FakeObject> objects_;
  std::optional<basics::Error> countError;
  std::optional<std::int32_t> countOverride;  // a count that differs from the objects
  std::optional<basics::Error> enumerationError;
  std::size_t failAt = 0;
  mutable int enumerations = 0;
};

// The locator and the bound service in one: answers the two adapter queries
// with copies of `adapters` and `configurations`.
class FakeManagement : public platform::ManagementLocator {
 public:
  std::unique_ptr<platform::ManagementService> bind(std::string_view moniker) override;

  std::vector<FakeObject> adapters;
  std::vector<FakeObject> configurations;
  std::optional<basics::Error> bindError;
  std::map<std::string, basics::Error> queryErrors;  // by query text
  // Lets a test adjust each set the service hands out (errors, failAt).
  std::function<void(FakeObjectSet&)> tweakAdapters;
  std::function<void(FakeObjectSet&)> tweakConfigurations;

  std::vector<std::string> queries;  // every query text run, in order
  int binds = 0;
};

}  // namespace fakes
