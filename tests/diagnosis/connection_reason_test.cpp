#include "diagnosis/connection_reason.h"

#include <gtest/gtest.h>

#include <string>

#include "diagnosis/adapter_facts.h"
#include "tests/fakes/fake_adapter_table.h"
#include "tests/fakes/fake_management_objects.h"

namespace {

using diagnosis::AdapterFacts;
using diagnosis::LoadFacts;
using platform::Reach;
using platform::RequestReport;

constexpr RequestReport kAnswered{Reach::Answered, false};
constexpr RequestReport kThroughProxy{Reach::Answered, true};
constexpr RequestReport kNotTried{Reach::NotTried, false};
constexpr RequestReport kNoName{Reach::NoName, false};
constexpr RequestReport kNoConnection{Reach::NoConnection, false};
constexpr RequestReport kNoReply{Reach::NoReply, false};
constexpr RequestReport kSignIn{Reach::SignInPage, false};
constexpr RequestReport kProxyFailed{Reach::ProxyFailed, true};

const AdapterFacts kWired{true, true, true};
const AdapterFacts kUnknown{};

LoadFacts offline(AdapterFacts adapters, RequestReport probe, RequestReport echo) {
  return {false, false, adapters, probe, echo};
}

struct Row {
  const char* name;
  LoadFacts facts;
  const char* code;
};

const Row kRows[] = {
    {"online", {true, false, kWired, kAnswered, kAnswered}, "online"},
    {"online through a proxy", {true, false, kWired, kThroughProxy, kThroughProxy}, "online-proxy"},
    // The probe's proxy failed, but the echo service answered directly.
    {"online, the proxied probe failed", {true, false, kWired, kProxyFailed, kAnswered}, "online"},
    {"no adapter", offline({false, std::nullopt, std::nullopt}, kNoName, kNoName), "no-adapter"},
    {"self-assigned only", offline({true, false, true}, kNoConnection, kNotTried), "no-address"},
    // A sign-in page answering shows a way out, whatever the routes say.
    {"sign-in page", offline({true, true, false}, kSignIn, kAnswered), "sign-in"},
    {"proxy fails", offline(kWired, kProxyFailed, kProxyFailed), "proxy-failed"},
    {"no default route", offline({true, true, false}, kNoConnection, kNoConnection), "no-route"},
    {"silent after answering", {false, true, kWired, kAnswered, kAnswered}, "stopped"},
    // The failure nearer the user is told.
    {"echo name fails, site unreachable", offline(kWired, kNoConnection, kNoName), "no-names"},
    {"servers never answer", offline(kWired, kNoReply, kNotTried), "no-reply"},
    {"echo answered an error, site unreachable", offline(kWired, kNoConnection, kAnswered),
     "no-connection"},
    // Facts that could not be read never decide.
    {"adapters unknown", offline(kUnknown, kNoName, kNotTried), "no-names"},
    {"nothing tried", offline(kUnknown, kNotTried, kNotTried), "unknown"},
};

TEST(ConnectionReason, EachLoadReadsTheReasonAPersonWouldGive) {
  for (const Row& row : kRows) {
    EXPECT_EQ(diagnosis::chooseReason(row.facts).code, row.code) << row.name;
  }
  for (const diagnosis::Reason& reason : diagnosis::allReasons()) {
    // A tool tip's length, one sentence.
    EXPECT_LE(reason.text.size(), 60u) << reason.code;
    EXPECT_EQ(reason.text.back(), '.') << reason.code;
  }
}

using fakes::FakeObject;
using platform::Null;
using platform::TextArray;
using platform::Variant;

FakeObject adapter(int index, const char* description, Variant status) {
  return FakeObject{{"Index", index},
                    {"Description", std::string(description)},
                    {"NetConnectionStatus", std::move(status)}};
}

FakeObject configuration(int index, TextArray addresses) {
  return FakeObject{{"Index", index}, {"IPAddress", std::move(addresses)}};
}

struct AdapterRow {
  const char* name;
  std::vector<FakeObject> adapters;
  std::vector<FakeObject> configurations;
  AdapterFacts expected;  // default route not set: the fake table answers none
};

TEST(AdapterFacts, OnlyAConnectedAdapterWithAnAddressTheNetworkGaveCounts) {
  const AdapterRow rows[] = {
      {"loopback only",
       {adapter(1, "lo", 2)},
       {configuration(1, {"127.0.0.1", "::1"})},
       {false, std::nullopt, std::nullopt}},
      {"cable out",
       {adapter(1, "lo", 2), adapter(2, "Ethernet", 7)},
       {configuration(1, {"127.0.0.1"}), configuration(2, {"192.168.1.5"})},
       {false, std::nullopt, std::nullopt}},
      {"self-assigned",
       {adapter(2, "Ethernet", 2)},
       {configuration(2, {"169.254.7.1", "fe80::1"})},
       {true, false, std::nullopt}},
      {"leased",
       {adapter(2, "Ethernet", 2), adapter(3, "Software Loopback Interface", 2)},
       {configuration(2, {"fe80::1", "192.168.1.5"}), configuration(3, {"10.0.0.1"})},
       {true, true, std::nullopt}},
      // A status that cannot be told may be the connected adapter's.
      {"status unknown",
       {adapter(2, "Ethernet", Null{})},
       {},
       {std::nullopt, std::nullopt, std::nullopt}},
  };
  for (const AdapterRow& row : rows) {
    fakes::FakeManagement management;
    management.adapters = row.adapters;
    management.configurations = row.configurations;
    fakes::FakeAdapterTable table;
    const AdapterFacts facts = diagnosis::ReadAdapterFacts(management, table);
    EXPECT_EQ(facts.anyConnected, row.expected.anyConnected) << row.name;
    EXPECT_EQ(facts.anyAssignedAddress, row.expected.anyAssignedAddress) << row.name;
  }
  // A service that cannot be bound leaves everything unknown.
  fakes::FakeManagement broken;
  broken.bindError = basics::Error(0x1A8, "test", "bind failed");
  fakes::FakeAdapterTable table;
  const AdapterFacts facts = diagnosis::ReadAdapterFacts(broken, table);
  EXPECT_FALSE(facts.anyConnected.has_value());
  EXPECT_FALSE(facts.anyAssignedAddress.has_value());
}

}  // namespace
