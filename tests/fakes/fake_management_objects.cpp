#include "tests/fakes/fake_management_objects.h"

#include <algorithm>
#include <cctype>

namespace fakes {

FakeObject::FakeObject(
    std::initializer_list<std::pair<const std::string, platform::Variant>> props) {
  for (const auto& [name, value] : props) set(name, value);
}

std::string FakeObject::lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

FakeObject& FakeObject::set(const std::string& name, platform::Variant value) {
  props_[lower(name)] = std::move(value);
  return *this;
}

FakeObject& FakeObject::fail(const std::string& name, basics::Error error) {
  failing_.insert_or_assign(lower(name), std::move(error));
  return *this;
}

platform::Variant FakeObject::property(std::string_view name) const {
  ++reads_;
  const std::string key = lower(name);
  if (auto f = failing_.find(key); f != failing_.end()) throw f->second;
  if (auto p = props_.find(key); p != props_.end()) return p->second;
  throw basics::Error(platform::kNotFound, "SWbemObject", "Not found");
}

std::int32_t FakeObjectSet::count() const {
  if (countError) throw *countError;
  if (countOverride) return *countOverride;
  return static_cast<std::int32_t>(objects_.size());
}

void FakeObjectSet::forEach(
    const std::function<bool(const platform::ManagementObject&)>& visit) const {
  ++enumerations;
  for (std::size_t i = 0; i < objects_.size(); ++i) {
    if (enumerationError && i == failAt) throw *enumerationError;
    if (!visit(objects_[i])) return;
  }
  if (enumerationError && failAt >= objects_.size()) throw *enumerationError;
}

namespace {

class FakeService : public platform::ManagementService {
 public:
  explicit FakeService(FakeManagement& owner) : owner_(owner) {}

  std::unique_ptr<platform::ObjectSet> execQuery(std::string_view query) override {
    owner_.queries.emplace_back(query);
    if (auto e = owner_.queryErrors.find(std::string(query)); e != owner_.queryErrors.end()) {
      throw e->second;
    }
    if (query == platform::kAdapterQuery) {
      auto set = std::make_unique<FakeObjectSet>(owner_.adapters);
      if (owner_.tweakAdapters) owner_.tweakAdapters(*set);
      return set;
    }
    if (query == platform::kConfigurationQuery) {
      auto set = std::make_unique<FakeObjectSet>(owner_.configurations);
      if (owner_.tweakConfigurations) owner_.tweakConfigurations(*set);
      return set;
    }
    throw basics::Error(platform::kInvalidQuery, "SWbemServicesEx", "Invalid query");
  }

 private:
  FakeManagement& owner_;
};

}  // namespace

std::unique_ptr<platform::ManagementService> FakeManagement::bind(std::string_view moniker) {
  ++binds;
  if (bindError) throw *bindError;
  if (moniker != platform::kCimv2Moniker) {
    throw basics::Error(platform::kInvalidNamespace, "SWbemLocator", "Invalid namespace");
  }
  return std::make_unique<FakeService>(*this);
}

}  // namespace fakes
