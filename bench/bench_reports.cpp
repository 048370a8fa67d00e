// The two adapter reports for 1000 adapters: the inventory (query over fake
// management objects, join by index, report text) and the adapter list (chain
// walk over a fake adapter table, report text).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "reports/get_adapter_inventory.h"
#include "reports/get_adapts_info.h"
#include "reports/show_adapter_inventory.h"
#include "reports/show_adapter_list.h"
#include "tests/fakes/fake_adapter_table.h"
#include "tests/fakes/fake_text_box.h"

// Counts heap allocations, so the numbers show that the join allocates per
// adapter, not per compare. (GCC cannot see that the replaced operator new
// pairs with free below.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<std::uint64_t> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

using platform::TextArray;
using platform::Variant;

constexpr int kAdapters = 1000;

// Property names are ASCII; fold case without the C library's locale lookups.
char fold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return fold(x) == fold(y); });
}

// Lean fakes: a property read allocates nothing beyond the value it returns, so
// the numbers show the inventory's own cost.
class Object : public platform::ManagementObject {
 public:
  explicit Object(std::vector<std::pair<std::string, Variant>> properties)
      : properties_(std::move(properties)) {}
  Variant property(std::string_view name) const override {
    for (const auto& [n, v] : properties_) {
      if (sameName(n, name)) return v;
    }
    throw basics::Error(platform::kNotFound, "SWbemObjectEx", "Not found");
  }

 private:
  std::vector<std::pair<std::string, Variant>> properties_;
};

class Set : public platform::ObjectSet {
 public:
  explicit Set(const std::vector<Object>& objects) : objects_(objects) {}
  std::int32_t count() const override { return static_cast<std::int32_t>(objects_.size()); }
  void forEach(const std::function<bool(const platform::ManagementObject&)>& visit) const override {
    for (const Object& o : objects_) {
      if (!visit(o)) return;
    }
  }

 private:
  const std::vector<Object>& objects_;
};

class Service : public platform::ManagementService {
 public:
  Service(const std::vector<Object>& adapters, const std::vector<Object>& configurations)
      : adapters_(adapters), configurations_(configurations) {}
  std::unique_ptr<platform::ObjectSet> execQuery(std::string_view query) override {
    return std::make_unique<Set>(query == platform::kAdapterQuery ? adapters_ : configurations_);
  }

 private:
  const std::vector<Object>& adapters_;
  const std::vector<Object>& configurations_;
};

class Locator : public platform::ManagementLocator {
 public:
  std::unique_ptr<platform::ManagementService> bind(std::string_view) override {
    return std::make_unique<Service>(adapters, configurations);
  }
  std::vector<Object> adapters;
  std::vector<Object> configurations;
};

// Every adapter has a configuration, in the same order; with `unmatched` no
// configuration matches any adapter, the join's worst case (every adapter
// compares with every configuration).
Locator inventory(bool unmatched) {
  Locator locator;
  for (int i = 0; i < kAdapters; ++i) {
    const std::string n = std::to_string(i);
    locator.adapters.emplace_back(std::vector<std::pair<std::string, Variant>>{
        {"Description", "Ethernet controller " + n},
        {"Index", std::int32_t{i}},
        {"Name", "eth" + n},
        {"MACAddress", std::string("02:00:00:00:00:01")},
        {"Manufacturer", std::string("Example Networks")},
        {"ProductName", std::string("Gigabit adapter")},
        {"PhysicalAdapter", true},
        {"AdapterType", std::string("Ethernet 802.3")},
        {"Speed", std::string("1000000000")},
        {"NetConnectionStatus", std::int32_t{2}},
        {"ServiceEnabled", true}});
    locator.configurations.emplace_back(std::vector<std::pair<std::string, Variant>>{
        {"Index", std::int32_t{unmatched ? kAdapters + i : i}},
        {"IPAddress", TextArray{"192.0.2." + std::to_string(i % 250), "2001:db8::" + n}},
        {"DefaultIPGateway", TextArray{"192.0.2.1"}},
        {"DHCPEnabled", true},
        {"DNSHostName", std::string("host")},
        {"DNSServerSearchOrder", TextArray{"192.0.2.53", "198.51.100.53"}},
        {"IPSubnet", TextArray{"255.255.255.0", "64"}}});
  }
  return locator;
}

void inventoryAndReport(benchmark::State& state, bool unmatched) {
  Locator locator = inventory(unmatched);
  const std::uint64_t before = allocations.load();
  for (auto _ : state) {
    std::vector<reports::AdapterInventoryRecord> adapters;
    const std::int32_t count = reports::GetAdapterInventory(locator, adapters, [](auto&, auto&) {});
    fakes::FakeTextBox box;
    reports::ShowAdapterInventory(box, adapters, count);
    benchmark::DoNotOptimize(box.text().size());
    if (count != kAdapters) state.SkipWithError("inventory incomplete");
  }
  state.counters["allocs/adapter"] =
      static_cast<double>(allocations.load() - before) / state.iterations() / kAdapters;
}

void BM_InventoryAndReport(benchmark::State& state) {
  inventoryAndReport(state, false);
}
void BM_InventoryAndReportWorstJoin(benchmark::State& state) {
  inventoryAndReport(state, true);
}

void BM_InventoryReportOnly(benchmark::State& state) {
  Locator locator = inventory(false);
  std::vector<reports::AdapterInventoryRecord> adapters;
  const std::int32_t count = reports::GetAdapterInventory(locator, adapters, [](auto&, auto&) {});
  for (auto _ : state) {
    fakes::FakeTextBox box;
    reports::ShowAdapterInventory(box, adapters, count);
    benchmark::DoNotOptimize(box.text().size());
  }
}

void BM_AdapterListAndReport(benchmark::State& state) {
  std::vector<fakes::ChainAdapter> chain;
  for (int i = 0; i < kAdapters; ++i) {
    const std::string n = std::to_string(i);
    chain.push_back({"{4D36E972-E325-11CE-BFC1-08002BE1" + n + "}",
                     "Ethernet controller " + n,
                     i,
                     {"192.0.2." + std::to_string(i % 250)},
                     {"192.0.2.1"}});
  }
  fakes::FakeAdapterTable table;
  table.chain = fakes::buildAdapterChain(chain);
  for (auto _ : state) {
    std::vector<reports::AdapterEntry> list;
    const std::int32_t count = reports::GetAdapterList(table, list);
    fakes::FakeTextBox box;
    reports::ShowAdapterList(box, list, count);
    benchmark::DoNotOptimize(box.text().size());
    if (count != kAdapters) state.SkipWithError("list incomplete");
  }
}

}  // namespace

BENCHMARK(BM_InventoryAndReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InventoryAndReportWorstJoin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InventoryReportOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdapterListAndReport)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
