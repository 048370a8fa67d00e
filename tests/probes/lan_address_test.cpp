#include "probes/lan_address.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "tests/fakes/fake_management_objects.h"

namespace {

using fakes::FakeObject;
using platform::Null;
using platform::TextArray;
using platform::Variant;

constexpr const char* kZero = "{00000000-0000-0000-0000-000000000000}";

FakeObject config(Variant id, Variant description, Variant addresses) {
  return FakeObject{{"SettingID", std::move(id)},
                    {"Description", std::move(description)},
                    {"IPAddress", std::move(addresses)}};
}

FakeObject nic(std::string description, TextArray addresses) {
  return config(std::string("{4D36E972-E325-11CE-BFC1-08002BE10318}"), std::move(description),
                std::move(addresses));
}

struct Case {
  const char* name;
  std::vector<FakeObject> configurations;
  std::string expected;
};

[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class LanAddress : public testing::TestWithParam<Case> {};

TEST_P(LanAddress, PicksTheFirstPhysicalAdapterWithAnAddress) {
  fakes::FakeManagement wmi;
  wmi.configurations = GetParam().configurations;
  EXPECT_EQ(probes::GetPhysicalLanIP(wmi), GetParam().expected);
  EXPECT_EQ(wmi.queries, std::vector<std::string>{std::string(platform::kConfigurationQuery)});
}

INSTANTIATE_TEST_SUITE_P(
    Selection, LanAddress,
    testing::Values(
        Case{"NoAdapters", {}, "Not Found"},
        Case{"OnePhysical", {nic("Intel(R) Ethernet I219-V", {"192.168.1.20"})}, "192.168.1.20"},
        Case{"LoopbackOnly", {nic("Loopback Test Adapter", {"10.0.0.1"})}, "Not Found"},
        Case{"ExcludedWordsAnyCase",
             {nic("Software LOOPBACK Interface 1", {"10.0.0.1"}),
              nic("Host-Only virtual Ethernet Adapter", {"10.0.0.2"}),
              nic("Hyper-v virtual ethernet adapter", {"10.0.0.3"}),
              nic("hyper-V switch", {"10.0.0.4"}), nic("my vpn link", {"10.0.0.5"}),
              nic("Realtek PCIe GbE", {"10.0.0.6"})},
             "10.0.0.6"},
        Case{"WordInsideALongerWord", {nic("SuperVPNExpress", {"10.0.0.1"})}, "Not Found"},
        Case{"HyperWithoutV", {nic("Hyper Ethernet", {"10.0.0.1"})}, "10.0.0.1"},
        Case{"AllZeroIdentity",
             {config(std::string(kZero), std::string("Realtek PCIe GbE"), TextArray{"10.0.0.1"}),
              nic("Broadcom", {"10.0.0.2"})},
             "10.0.0.2"},
        // Only the exact text disqualifies: a different case or missing braces do not.
        Case{"AllZeroIdentityOtherForm",
             {config(std::string("00000000-0000-0000-0000-000000000000"), std::string("Eth"),
                     TextArray{"10.0.0.1"})},
             "10.0.0.1"},
        Case{"NullIdentity",
             {config(Null{}, std::string("Realtek"), TextArray{"10.0.0.1"}),
              nic("Broadcom", {"10.0.0.2"})},
             "10.0.0.2"},
        Case{"NullDescription",
             {config(std::string("{1}"), Null{}, TextArray{"10.0.0.1"}),
              nic("Broadcom", {"10.0.0.2"})},
             "10.0.0.2"},
        // null AND false is false, null AND true is null: both exclude.
        Case{"NullIdentityAndExcludedWord",
             {config(Null{}, std::string("VPN"), TextArray{"10.0.0.1"})},
             "Not Found"},
        Case{"EmptyDescriptionPasses", {nic("", {"10.0.0.1"})}, "10.0.0.1"},
        Case{"NullAndEmptyAddressListsPassedOver",
             {config(std::string("{1}"), std::string("Eth 1"), Null{}), nic("Eth 2", {}),
              nic("Eth 3", {"10.0.0.3"})},
             "10.0.0.3"},
        Case{"FirstInOrderWinsEvenIfIPv6",
             {nic("Eth 1", {"fe80::1", "192.168.1.20"}), nic("Eth 2", {"192.168.1.21"})},
             "fe80::1"},
        Case{"ElementZeroOfTheList", {nic("Eth 1", {"192.168.1.20", "fe80::1"})}, "192.168.1.20"},
        Case{"ElementTakenAsIs", {nic("Eth 1", {" not an address\r\n"})}, " not an address\r\n"},
        Case{"EmptyFirstElementStillWins", {nic("Eth 1", {""}), nic("Eth 2", {"10.0.0.2"})}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LanAddressStops, EnumerationEndsAtTheWinner) {
  fakes::FakeManagement wmi;
  // The second object would fail any read: it must never be looked at.
  wmi.configurations = {nic("Eth 1", {"10.0.0.1"}),
                        FakeObject().fail("SettingID", basics::Error(5, "x", "boom"))};
  EXPECT_EQ(probes::GetPhysicalLanIP(wmi), "10.0.0.1");
}

TEST(LanAddressStops, AddressNotReadForAFailingAdapter) {
  fakes::FakeManagement wmi;
  wmi.configurations = {config(std::string(kZero), std::string("Eth"), std::string("bad type"))};
  EXPECT_EQ(probes::GetPhysicalLanIP(wmi), "Not Found");
}

struct Failure {
  const char* name;
  std::function<void(fakes::FakeManagement&)> arrange;
  std::int32_t number;
};

[[maybe_unused]] void PrintTo(const Failure& c, std::ostream* os) {
  *os << c.name;
}

class LanAddressFailure : public testing::TestWithParam<Failure> {};

TEST_P(LanAddressFailure, PropagatesAsError) {
  fakes::FakeManagement wmi;
  wmi.configurations = {nic("Eth 1", {"10.0.0.1"})};
  GetParam().arrange(wmi);
  try {
    probes::GetPhysicalLanIP(wmi);
    FAIL() << "no error raised";
  } catch (const basics::Error& e) {
    EXPECT_EQ(e.number(), GetParam().number);
  }
}

const basics::Error kDenied(70, "SWbemLocator", "Permission denied");

INSTANTIATE_TEST_SUITE_P(
    Errors, LanAddressFailure,
    testing::Values(Failure{"Bind", [](auto& w) { w.bindError = kDenied; }, 70},
                    Failure{"Query",
                            [](auto& w) {
                              w.queryErrors.emplace(std::string(platform::kConfigurationQuery),
                                                    kDenied);
                            },
                            70},
                    Failure{"Enumeration",
                            [](auto& w) {
                              w.tweakConfigurations = [](fakes::FakeObjectSet& s) {
                                s.enumerationError = kDenied;
                              };
                            },
                            70},
                    // The description is read even when the identity already excludes the adapter.
                    Failure{"DescriptionReadAfterFailedIdentity",
                            [](auto& w) {
                              w.configurations = {FakeObject{
                                  {"SettingID", std::string(kZero)},
                                  {"IPAddress",
                                   Null{}}}.fail("Description", kDenied)};
                            },
                            70},
                    Failure{"MissingProperty",
                            [](auto& w) {
                              w.configurations = {FakeObject{{"SettingID", std::string("{1}")},
                                                             {"Description", std::string("Eth")}}};
                            },
                            platform::kNotFound},
                    Failure{"AddressNotAList",
                            [](auto& w) {
                              w.configurations = {config(std::string("{1}"), std::string("Eth"),
                                                         std::string("10.0.0.1"))};
                            },
                            platform::kTypeMismatch},
                    Failure{"DescriptionIsAList",
                            [](auto& w) {
                              w.configurations = {config(std::string("{1}"), TextArray{"Eth"},
                                                         TextArray{"10.0.0.1"})};
                            },
                            platform::kTypeMismatch}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
