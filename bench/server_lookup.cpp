// A client lookup by host name (key kind 4) on a PostgreSQL store of
// 1,000,000 clients against the same on one of 10,000 in the same run: the
// index keeps a lookup's time nearly flat as the store grows. Both stores
// hold clients of the same small shape (SmallRecord); they are filled through
// WriteRecords in large batches. Runs only when ORVACMN_TEST_PG names a server.
#include <memory>
#include <random>
#include <string>

#include "ofl/bstr.h"
#include "ofl/tokenizer.h"
#include "clients.h"
#include "ratio.h"
#include "server.h"

namespace {

constexpr int kLarge = 1000000, kSmall = 10000;

std::shared_ptr<bench::RecordStore> Filled(const char* name, int count) {
  auto store = bench::Open(bench::ScratchDatabase(name), true);
  bench::FillClients(*store, count, bench::SmallRecord, 20000);
  return store;
}

// The store's answer to a lookup of host `i`; empty when not found.
std::string Lookup(bench::RecordStore& store, int i) {
  OFLTokenizer key;
  key.AddString(bench::Host(i));
  key.AddString("4");
  key.AddString("*");
  const OFL::ScopedBstr keyText(key.AsLengthPackedString());
  OFL::ScopedBstr out;
  store.LoadRecord(51, 0, keyText.Get(), nullptr, 0, out.Out());
  return out.ToUtf8();
}

void BM_LookupByHostName1MTo10K(benchmark::State& state) {
  static const auto large = Filled("lookup_1m", kLarge), small = Filled("lookup_10k", kSmall);
  if (Lookup(*large, kLarge - 1).empty() || Lookup(*small, kSmall - 1).empty()) {
    state.SkipWithError("a filled client is not found");
    return;
  }
  std::mt19937 random(7);
  bench::Measure(
      state, 1, [&] { benchmark::DoNotOptimize(Lookup(*large, int(random() % kLarge))); },
      [&] { benchmark::DoNotOptimize(Lookup(*small, int(random() % kSmall))); });
}

[[maybe_unused]] const bool registered = [] {
  if (!bench::Server().empty())
    benchmark::RegisterBenchmark("BM_LookupByHostName1MTo10K", BM_LookupByHostName1MTo10K)->UseManualTime();
  return true;
}();

}  // namespace
