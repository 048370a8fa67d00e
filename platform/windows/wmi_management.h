#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <string_view>
#include <vector>

#include "platform/management_objects.h"
#include "platform/windows/com_ptr.h"

namespace platform::windows {

// The management service through WMI's automation objects, as a script would
// use them: the namespace bound by its moniker, queries run by ExecQuery,
// properties read by name. Every call initialises COM on its thread first;
// failing calls are toolkit::Errors carrying the service's HRESULT.

// One object of a query's result; a property its class lacks is kNotFound.
class WmiObject : public ManagementObject {
 public:
  explicit WmiObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  Variant property(std::string_view name) const override;

 private:
  ComPtr<IDispatch> object_;
};

// A query's objects, all fetched when the query ran, so that a failing
// enumeration is the query's error and the set can be walked again.
class WmiObjectSet : public ObjectSet {
 public:
  explicit WmiObjectSet(std::vector<WmiObject> objects) : objects_(std::move(objects)) {}
  std::int32_t count() const override;
  void forEach(const std::function<bool(const ManagementObject&)>& visit) const override;

 private:
  std::vector<WmiObject> objects_;
};

class WmiService : public ManagementService {
 public:
  explicit WmiService(ComPtr<IDispatch> services) : services_(std::move(services)) {}
  std::unique_ptr<ObjectSet> execQuery(std::string_view query) override;

 private:
  ComPtr<IDispatch> services_;
};

// Binds any moniker the system knows; the program uses kCimv2Moniker.
class WmiLocator : public ManagementLocator {
 public:
  std::unique_ptr<ManagementService> bind(std::string_view moniker) override;
};

}  // namespace platform::windows
