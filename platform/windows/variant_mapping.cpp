#include "platform/windows/variant_mapping.h"

#include <limits>

#include "basics/error_source.h"
#include "platform/windows/com_ptr.h"
#include "platform/windows/wide_text.h"

namespace platform::windows {
namespace {

[[noreturn]] void mismatch() {
  throw basics::Error(kTypeMismatch, basics::kErrorSource, "Type mismatch");
}

Variant fromUnsigned(unsigned long long value) {
  if (value <= static_cast<unsigned long long>(std::numeric_limits<std::int32_t>::max())) {
    return static_cast<std::int32_t>(value);
  }
  if (value <= static_cast<unsigned long long>(std::numeric_limits<std::int64_t>::max())) {
    return static_cast<std::int64_t>(value);
  }
  return std::to_string(value);
}

// Holds an array's data in memory for as long as it is read.
class ArrayAccess {
 public:
  explicit ArrayAccess(SAFEARRAY* array) : array_(array) {
    if (FAILED(SafeArrayAccessData(array_, &data_))) mismatch();
  }
  ArrayAccess(const ArrayAccess&) = delete;
  ArrayAccess& operator=(const ArrayAccess&) = delete;
  ~ArrayAccess() { SafeArrayUnaccessData(array_); }
  template <class T>
  const T* items() const {
    return static_cast<const T*>(data_);
  }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
};

TextArray textArray(VARTYPE elementType, SAFEARRAY* array) {
  if (array == nullptr || SafeArrayGetDim(array) != 1) mismatch();
  LONG lower = 0, upper = -1;
  if (FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
      FAILED(SafeArrayGetUBound(array, 1, &upper))) {
    mismatch();
  }
  const auto count = upper >= lower ? static_cast<std::size_t>(upper - lower) + 1 : 0;
  TextArray texts;
  texts.reserve(count);
  ArrayAccess access(array);
  for (std::size_t i = 0; i < count; ++i) {
    if (elementType == VT_BSTR) {
      texts.push_back(fromBstr(access.items<BSTR>()[i]));
    } else {
      const VARIANT& item = access.items<VARIANT>()[i];
      if (item.vt != VT_BSTR) mismatch();
      texts.push_back(fromBstr(item.bstrVal));
    }
  }
  return texts;
}

}  // namespace

Variant fromVariant(const VARIANT& value) {
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return Null{};
    case VT_BSTR:
      return fromBstr(value.bstrVal);
    case VT_BOOL:
      return value.boolVal != VARIANT_FALSE;
    case VT_I1:
      return static_cast<std::int32_t>(value.cVal);
    case VT_I2:
      return static_cast<std::int32_t>(value.iVal);
    case VT_I4:
      return static_cast<std::int32_t>(value.lVal);
    case VT_INT:
      return static_cast<std::int32_t>(value.intVal);
    case VT_I8:
      return static_cast<std::int64_t>(value.llVal);
    case VT_UI1:
      return static_cast<std::int32_t>(value.bVal);
    case VT_UI2:
      return static_cast<std::int32_t>(value.uiVal);
    case VT_UI4:
      return fromUnsigned(value.ulVal);
    case VT_UINT:
      return fromUnsigned(value.uintVal);
    case VT_UI8:
      return fromUnsigned(value.ullVal);
    case VT_ARRAY | VT_BSTR:
    case VT_ARRAY | VT_VARIANT:
      return textArray(static_cast<VARTYPE>(value.vt & VT_TYPEMASK), value.parray);
    default:
      break;
  }
  if ((value.vt & (VT_ARRAY | VT_BYREF)) != 0) mismatch();
  // The call only reads its source, though it is not declared so.
  UniqueVariant text;
  if (FAILED(VariantChangeType(text.get(), const_cast<VARIANT*>(&value), 0, VT_BSTR))) mismatch();
  return fromBstr(text->bstrVal);
}

}  // namespace platform::windows
