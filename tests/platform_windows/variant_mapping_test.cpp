#include "platform/windows/variant_mapping.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "platform/windows/com_ptr.h"

namespace {

using platform::Null;
using platform::TextArray;
using platform::Variant;
using platform::windows::UniqueVariant;

// Builds a VARIANT as the management service would hand it out.
struct Case {
  const char* name;
  std::function<void(VARIANT&)> build;
  Variant expected;
};

[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

SAFEARRAY* strings(std::initializer_list<const wchar_t*> items, VARTYPE type) {
  SAFEARRAY* array = SafeArrayCreateVector(type, 0, static_cast<ULONG>(items.size()));
  LONG i = 0;
  for (const wchar_t* item : items) {
    if (type == VT_BSTR) {
      BSTR text = SysAllocString(item);
      SafeArrayPutElement(array, &i, text);
      SysFreeString(text);
    } else {
      VARIANT element;
      element.vt = VT_BSTR;
      element.bstrVal = SysAllocString(item);
      SafeArrayPutElement(array, &i, &element);
      VariantClear(&element);
    }
    ++i;
  }
  return array;
}

class VariantMapping : public testing::TestWithParam<Case> {};

TEST_P(VariantMapping, MapsOntoTheSeamsVariant) {
  UniqueVariant value;
  GetParam().build(*value.get());
  EXPECT_EQ(platform::windows::fromVariant(*value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, VariantMapping,
    testing::Values(Case{"Empty", [](VARIANT& v) { v.vt = VT_EMPTY; }, Null{}},
                    Case{"Null", [](VARIANT& v) { v.vt = VT_NULL; }, Null{}},
                    // A character outside the basic plane arrives as a surrogate pair.
                    Case{"Text",
                         [](VARIANT& v) {
                           v.vt = VT_BSTR;
                           v.bstrVal = SysAllocString(L"Intel\u00ae Ethernet \U0001F310");
                         },
                         std::string("Intel\u00ae Ethernet \U0001F310")},
                    Case{"NullText",
                         [](VARIANT& v) {
                           v.vt = VT_BSTR;
                           v.bstrVal = nullptr;
                         },
                         std::string()},
                    Case{"Integer",
                         [](VARIANT& v) {
                           v.vt = VT_I4;
                           v.lVal = -7;
                         },
                         std::int32_t{-7}},
                    Case{"UnsignedPast32Bits",
                         [](VARIANT& v) {
                           v.vt = VT_UI4;
                           v.ulVal = 4000000000u;
                         },
                         std::int64_t{4000000000}},
                    Case{"True",
                         [](VARIANT& v) {
                           v.vt = VT_BOOL;
                           v.boolVal = VARIANT_TRUE;
                         },
                         true},
                    Case{"ArrayOfStrings",
                         [](VARIANT& v) {
                           v.vt = VT_ARRAY | VT_BSTR;
                           v.parray = strings({L"192.0.2.10", L"2001:db8::1"}, VT_BSTR);
                         },
                         TextArray{"192.0.2.10", "2001:db8::1"}},
                    Case{"ArrayOfVariants",
                         [](VARIANT& v) {
                           v.vt = VT_ARRAY | VT_VARIANT;
                           v.parray = strings({L"255.255.255.0", L"64"}, VT_VARIANT);
                         },
                         TextArray{"255.255.255.0", "64"}},
                    // An empty array is a value, not null.
                    Case{"EmptyArray",
                         [](VARIANT& v) {
                           v.vt = VT_ARRAY | VT_BSTR;
                           v.parray = strings({}, VT_BSTR);
                         },
                         TextArray{}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VariantMappingErrors, ValuesWithoutATextFormAreTypeMismatches) {
  UniqueVariant numbers;
  numbers.get()->vt = VT_ARRAY | VT_I4;
  numbers.get()->parray = SafeArrayCreateVector(VT_I4, 0, 2);
  UniqueVariant mixed;
  mixed.get()->vt = VT_ARRAY | VT_VARIANT;
  mixed.get()->parray = SafeArrayCreateVector(VT_VARIANT, 0, 1);  // holds one empty variant
  for (const VARIANT* value : {&*numbers, &*mixed}) {
    try {
      platform::windows::fromVariant(*value);
      ADD_FAILURE() << "no error for type " << value->vt;
    } catch (const basics::Error& error) {
      EXPECT_EQ(error.number(), platform::kTypeMismatch);
    }
  }
}

}  // namespace
