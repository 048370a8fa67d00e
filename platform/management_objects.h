#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "basics/error.h"

namespace platform {

// Error numbers of the management service.
constexpr std::int32_t kInvalidQuery = basics::errorNumber(0x80041017);
constexpr std::int32_t kInvalidNamespace = basics::errorNumber(0x8004100E);
constexpr std::int32_t kNotFound = basics::errorNumber(0x80041002);  // no such property
constexpr std::int32_t kTypeMismatch = 13;

// A property value: null, text, 32- or 64-bit integer, flag, or array of texts.
// An empty array is not null.
struct Null {
  bool operator==(const Null&) const = default;
};
using TextArray = std::vector<std::string>;
using Variant = std::variant<Null, std::string, std::int32_t, std::int64_t, bool, TextArray>;

inline bool isNull(const Variant& v) {
  return std::holds_alternative<Null>(v);
}

// Conversions as the logic needs them. Each throws basics::Error (type
// mismatch, number 13) when the value has no such form; null converts to nothing.
std::string toText(const Variant& v);        // text, integer (decimal) or flag ("True"/"False")
std::int32_t toInt32(const Variant& v);      // integer in range, or decimal text
bool toFlag(const Variant& v);               // flag or integer (non-zero is true)
const TextArray& toArray(const Variant& v);  // array only

// One object of a query's result. Property names are matched case-insensitively;
// a name the object's class lacks is an error (kNotFound), not a null.
class ManagementObject {
 public:
  virtual ~ManagementObject() = default;
  virtual Variant property(std::string_view name) const = 0;
};

// A query's result: counted, and enumerable again from its first object as often
// as needed. `visit` returns false to leave the enumeration early.
class ObjectSet {
 public:
  virtual ~ObjectSet() = default;
  virtual std::int32_t count() const = 0;
  virtual void forEach(const std::function<bool(const ManagementObject&)>& visit) const = 0;
};

// A bound namespace.
class ManagementService {
 public:
  virtual ~ManagementService() = default;
  // Errors: kInvalidQuery for a query text the service does not answer.
  virtual std::unique_ptr<ObjectSet> execQuery(std::string_view query) = 0;
};

// The entry point: binds a namespace by its moniker.
class ManagementLocator {
 public:
  virtual ~ManagementLocator() = default;
  virtual std::unique_ptr<ManagementService> bind(std::string_view moniker) = 0;
};

// The texts the program uses with the service.
inline constexpr std::string_view kCimv2Moniker = "winmgmts:\\\\.\\root\\cimv2";
inline constexpr std::string_view kAdapterQuery = "SELECT * FROM Win32_NetworkAdapter";
inline constexpr std::string_view kConfigurationQuery =
    "SELECT * FROM Win32_NetworkAdapterConfiguration WHERE IPEnabled = True";

}  // namespace platform
