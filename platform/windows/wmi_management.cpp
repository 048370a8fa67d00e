#include "platform/windows/wmi_management.h"

#include <objbase.h>

#include <limits>

#include "basics/error_source.h"
#include "platform/windows/automation_call.h"
#include "platform/windows/com_apartment.h"
#include "platform/windows/variant_mapping.h"
#include "platform/windows/wide_text.h"

namespace platform::windows {
namespace {

// The sources the service's own objects name in their errors.
constexpr std::string_view kLocatorSource = "SWbemLocator";
constexpr std::string_view kServicesSource = "SWbemServicesEx";
constexpr std::string_view kObjectSource = "SWbemObjectEx";

// Ask for the whole result before ExecQuery returns, so an invalid query
// fails there and not later while its objects are read.
constexpr LONG kReturnWhenComplete = 0;

UniqueVariant textArgument(std::string_view text) {
  UniqueVariant argument;
  argument.get()->vt = VT_BSTR;
  const std::wstring wide = toWide(text);
  argument.get()->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (argument->bstrVal == nullptr) throw basics::Error(7, basics::kErrorSource, "Out of memory");
  return argument;
}

std::vector<WmiObject> enumerate(const std::shared_ptr<ComThread>& thread, IDispatch& set) {
  UniqueVariant enumerable;
  callMember(set, DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, 0,
             enumerable.get(), kServicesSource);
  IUnknown* unknown = enumerable->vt == VT_UNKNOWN    ? enumerable->punkVal
                      : enumerable->vt == VT_DISPATCH ? enumerable->pdispVal
                                                      : nullptr;
  ComPtr<IEnumVARIANT> items;
  if (unknown == nullptr ||
      FAILED(unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(items.put())))) {
    throw automationError(E_NOINTERFACE, nullptr, kServicesSource);
  }
  std::vector<WmiObject> objects;
  for (;;) {
    UniqueVariant item;
    ULONG fetched = 0;
    const HRESULT result = items->Next(1, item.get(), &fetched);
    if (FAILED(result)) throw automationError(result, nullptr, kServicesSource);
    if (result != S_OK || fetched == 0) break;
    if (item->vt != VT_DISPATCH || item->pdispVal == nullptr) continue;
    item->pdispVal->AddRef();
    objects.emplace_back(thread, ComPtr<IDispatch>(item->pdispVal));
  }
  return objects;
}

}  // namespace

WmiObject::~WmiObject() {
  if (object_) thread_->run([this] { object_ = ComPtr<IDispatch>(); });
}

Variant WmiObject::property(std::string_view name) const {
  Variant result;
  thread_->run([&] {
    ensureComOnThisThread();
    const auto member = memberId(*object_.get(), name, kObjectSource);
    if (!member) throw basics::Error(kNotFound, std::string(kObjectSource), "Not found");
    UniqueVariant value;
    callMember(*object_.get(), *member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, 0,
               value.get(), kObjectSource);
    result = fromVariant(*value);
  });
  return result;
}

WmiObjectSet::~WmiObjectSet() {
  // One trip to the COM thread for the whole set, not one per object.
  thread_->run([this] { objects_.clear(); });
}

std::int32_t WmiObjectSet::count() const {
  return static_cast<std::int32_t>(
      std::min<std::size_t>(objects_.size(), std::numeric_limits<std::int32_t>::max()));
}

void WmiObjectSet::forEach(const std::function<bool(const ManagementObject&)>& visit) const {
  for (const WmiObject& object : objects_) {
    if (!visit(object)) return;
  }
}

WmiService::~WmiService() {
  thread_->run([this] { services_ = ComPtr<IDispatch>(); });
}

std::unique_ptr<ObjectSet> WmiService::execQuery(std::string_view query) {
  std::vector<WmiObject> objects;
  thread_->run([&] {
    ensureComOnThisThread();
    const auto member = memberId(*services_.get(), "ExecQuery", kServicesSource);
    if (!member) throw automationError(DISP_E_MEMBERNOTFOUND, nullptr, kServicesSource);
    UniqueVariant text = textArgument(query);
    UniqueVariant language = textArgument("WQL");
    UniqueVariant flags;
    flags.get()->vt = VT_I4;
    flags.get()->lVal = kReturnWhenComplete;
    VARIANT arguments[] = {*text, *language, *flags};
    UniqueVariant set;
    callMember(*services_.get(), *member, DISPATCH_METHOD, arguments, 3, set.get(),
               kServicesSource);
    if (set->vt != VT_DISPATCH || set->pdispVal == nullptr) {
      throw automationError(E_UNEXPECTED, nullptr, kServicesSource);
    }
    objects = enumerate(thread_, *set->pdispVal);
  });
  return std::make_unique<WmiObjectSet>(thread_, std::move(objects));
}

std::unique_ptr<ManagementService> WmiLocator::bind(std::string_view moniker) {
  ComPtr<IDispatch> services;
  thread_->run([&] {
    ensureComOnThisThread();
    const std::wstring name = toWide(moniker);
    const HRESULT result =
        CoGetObject(name.c_str(), nullptr, IID_IDispatch, reinterpret_cast<void**>(services.put()));
    if (FAILED(result)) throw automationError(result, nullptr, kLocatorSource);
  });
  return std::make_unique<WmiService>(thread_, std::move(services));
}

}  // namespace platform::windows
