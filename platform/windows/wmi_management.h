#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <string_view>
#include <vector>

#include "platform/management_objects.h"
#include "platform/windows/com_ptr.h"
#include "platform/windows/com_thread.h"

namespace platform::windows {

// The management service through WMI's automation objects, as a script would
// use them: the namespace bound by its moniker, queries run by ExecQuery,
// properties read by name. Every call, and every release of an object, is made
// on the locator's own COM thread, whichever thread asks; failing calls are
// basics::Errors carrying the service's HRESULT.

// One object of a query's result; a property its class lacks is kNotFound.
class WmiObject : public ManagementObject {
 public:
  WmiObject(std::shared_ptr<ComThread> thread, ComPtr<IDispatch> object)
      : thread_(std::move(thread)), object_(std::move(object)) {}
  WmiObject(WmiObject&&) = default;
  WmiObject& operator=(WmiObject&&) = default;
  ~WmiObject() override;
  Variant property(std::string_view name) const override;

 private:
  std::shared_ptr<ComThread> thread_;
  ComPtr<IDispatch> object_;
};

// A query's objects, all fetched when the query ran, so that a failing
// enumeration is the query's error and the set can be walked again.
class WmiObjectSet : public ObjectSet {
 public:
  WmiObjectSet(std::shared_ptr<ComThread> thread, std::vector<WmiObject> objects)
      : thread_(std::move(thread)), objects_(std::move(objects)) {}
  ~WmiObjectSet() override;
  std::int32_t count() const override;
  void forEach(const std::function<bool(const ManagementObject&)>& visit) const override;

 private:
  std::shared_ptr<ComThread> thread_;
  std::vector<WmiObject> objects_;
};

class WmiService : public ManagementService {
 public:
  WmiService(std::shared_ptr<ComThread> thread, ComPtr<IDispatch> services)
      : thread_(std::move(thread)), services_(std::move(services)) {}
  ~WmiService() override;
  std::unique_ptr<ObjectSet> execQuery(std::string_view query) override;

 private:
  std::shared_ptr<ComThread> thread_;
  ComPtr<IDispatch> services_;
};

// Binds any moniker the system knows; the program uses kCimv2Moniker.
class WmiLocator : public ManagementLocator {
 public:
  std::unique_ptr<ManagementService> bind(std::string_view moniker) override;

 private:
  // Outlives the locator while its objects do.
  std::shared_ptr<ComThread> thread_ = std::make_shared<ComThread>();
};

}  // namespace platform::windows
