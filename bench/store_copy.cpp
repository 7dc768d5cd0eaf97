// A copy of a file store of 100,000 clients into a PostgreSQL store, as `ovo
// store copy` makes it (ReadRecords in batches of 1,000, one WriteRecords
// transaction per batch), against the same copy into another file in the
// same run. Counter "records_per_s" of the copy to the server, "ratio" to
// the copy between files. The server part runs when ORVACMN_TEST_PG names one.
#include <cstdio>
#include <string>
#include <vector>

#include "clients.h"
#include "ratio.h"
#include "server.h"

namespace {

constexpr int kClients = 100000;
constexpr uint32_t kBatch = 1000;

const std::string& Source() {
  static const std::string path = [] {
    const std::string p = bench::Dir() + "/source.db";
    bench::FillClients(*bench::Open(p, true), kClients, bench::Record);
    return p;
  }();
  return path;
}

// Copies every record of `from` into a new store at `to`; the records copied.
uint64_t Copy(const std::string& from, const std::string& to) {
  auto source = bench::Open(from), target = bench::Open(to, true);
  std::vector<bench::StoredRecord> batch;
  uint32_t afterType = 0;
  std::string afterKey, error;
  uint64_t copied = 0;
  do {
    batch.clear();
    if (FAILED(source->ReadRecords(afterType, afterKey, kBatch, batch, error)) ||
        FAILED(target->WriteRecords(batch, error))) {
      std::fprintf(stderr, "copy failed: %s\n", error.c_str());
      return 0;
    }
    copied += batch.size();
    if (!batch.empty()) {
      afterType = batch.back().type;
      afterKey = batch.back().key;
    }
  } while (batch.size() == kBatch);
  return copied;
}

void BM_CopyFileToServer(benchmark::State& state) {
  const std::string& source = Source();
  int round = 0;
  std::string server, file;
  bench::Measure(
      state, kClients,
      [&] {
        if (Copy(source, server) != kClients) state.SkipWithError("records missing from the copy");
      },
      [&] { Copy(source, file); },
      [&] {
        ++round;
        server = bench::ScratchDatabase("copy" + std::to_string(round));
        file = bench::Dir() + "/copy" + std::to_string(round) + ".db";
      });
  state.counters["records_per_s"] = 1e9 / state.counters["ns_entry"];
}

[[maybe_unused]] const bool registered = [] {
  if (!bench::Server().empty())
    benchmark::RegisterBenchmark("BM_CopyFileToServer", BM_CopyFileToServer)->Iterations(1)->UseManualTime();
  return true;
}();

}  // namespace
