// A client lookup by host name (key kind 4) on a PostgreSQL store of
// 1,000,000 clients against the same on one of 10,000 in the same run: the
// index keeps a lookup's time nearly flat as the store grows. Both stores
// hold clients of one small shape. Client 0 is created through the store;
// the others are COPYed into its tables as copies of the rows client 0 made
// (a million saves would take minutes), and found by the store afterwards.
// Runs only when ORVACMN_TEST_PG names a server.
#include <libpq-fe.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ofl/bstr.h"
#include "ofl/tokenizer.h"
#include "clients.h"
#include "ratio.h"
#include "server.h"

namespace {

constexpr int kLarge = 1000000, kSmall = 10000;

// Host names of one width, so that every copied row keeps its lengths.
std::string FixedHost(int i) {
  char host[16];
  std::snprintf(host, sizeof host, "PC%07d", i);
  return host;
}
std::string SmallRecord(int i) {
  return "<Client><TimeStamp>0.0</TimeStamp><GUID>" + bench::Guid(i) + "</GUID><HostName>" + FixedHost(i) +
         "</HostName></Client>";
}

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Client 0's text for client i: its GUID and host name in either case.
std::string ForClient(const std::string& text, int i) {
  std::string out = text;
  for (const auto& [from, to] : {std::pair{bench::Guid(0), bench::Guid(i)}, std::pair{FixedHost(0), FixedHost(i)}}) {
    out = bench::Replaced(out, from, to);
    out = bench::Replaced(out, Lower(from), Lower(to));
  }
  return out;
}

std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out = "\\\\x";
  for (const unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

struct Connection {
  PGconn* c;
  explicit Connection(const std::string& location) : c(PQconnectdb(location.c_str())) {}
  ~Connection() { PQfinish(c); }
  // The rows of `sql`, every value in binary form (integers big-endian).
  std::vector<std::vector<std::string>> Rows(const std::string& sql) {
    PGresult* r = PQexecParams(c, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 1);
    std::vector<std::vector<std::string>> rows(size_t(PQntuples(r)));
    for (int i = 0; i < PQntuples(r); ++i)
      for (int k = 0; k < PQnfields(r); ++k) rows[size_t(i)].emplace_back(PQgetvalue(r, i, k), PQgetlength(r, i, k));
    PQclear(r);
    return rows;
  }
};

int64_t Int8(const std::string& bytes) {
  int64_t v = 0;
  for (const unsigned char c : bytes) v = (v << 8) | c;
  return v;
}

std::shared_ptr<bench::RecordStore> Filled(const char* name, int count) {
  const std::string location = bench::ScratchDatabase(name);
  {
    auto store = bench::Open(location, true);
    orvacmn::CDBAccess db(store);
    orvacmn::OVOSystem first(SmallRecord(0));
    std::string out;
    db.CreateSystem(first, out);
  }
  Connection c(location);
  const auto records = c.Rows("SELECT id, type, key, stamp FROM records");
  if (records.size() != 1) std::exit(2);
  const int64_t id0 = Int8(records[0][0]), stamp0 = Int8(records[0][3]);
  const uint32_t type = uint32_t(Int8(records[0][1]));
  const std::string key0 = records[0][2];
  const auto keys = c.Rows("SELECT kind, value FROM client_keys WHERE id = " + std::to_string(id0));
  const auto conditions =
      c.Rows("SELECT type, name, value, key FROM record_conditions WHERE id = " + std::to_string(id0));
  bench::CopyRows(c.c, "records(id, type, key, stamp, data)", 1, count, [&](int i) {
    const uint64_t stamp = uint64_t(stamp0) + uint64_t(i);
    const std::string data = bench::Stamped(SmallRecord(i), stamp);
    return std::to_string(id0 + i) + "\t" + std::to_string(type) + "\t" + Hex(ForClient(key0, i)) + "\t" +
           std::to_string(stamp) + "\t" + Hex(data) + "\n";
  });
  bench::CopyRows(c.c, "client_keys(kind, value, id)", 1, count, [&](int i) {
    std::string rows;
    for (const auto& k : keys)
      rows += std::to_string(Int8(k[0])) + "\t" + Hex(ForClient(k[1], i)) + "\t" + std::to_string(id0 + i) + "\n";
    return rows;
  });
  if (!conditions.empty())
    bench::CopyRows(c.c, "record_conditions(type, name, value, key, id)", 1, count, [&](int i) {
      std::string rows;
      for (const auto& k : conditions)
        rows += std::to_string(Int8(k[0])) + "\t" + Hex(k[1]) + "\t" + Hex(ForClient(k[2], i)) + "\t" +
                Hex(ForClient(k[3], i)) + "\t" + std::to_string(id0 + i) + "\n";
      return rows;
    });
  c.Rows("SELECT setval('records_id_seq', (SELECT max(id) FROM records))");
  c.Rows("VACUUM (ANALYZE)");  // hint bits and visibility map set now, not by the first lookups
  // A server holds the pages of its busy tables in its buffers; COPY and
  // VACUUM pass through a small ring of them and leave the buffers cold.
  c.Rows("CREATE EXTENSION IF NOT EXISTS pg_prewarm");
  c.Rows("SELECT pg_prewarm(c.oid) FROM pg_class c WHERE c.relnamespace = current_schema()::regnamespace"
         " AND c.relkind IN ('r', 'i')");
  return bench::Open(location);
}

// The store's answer to a lookup of host `i`; empty when not found.
std::string Lookup(bench::RecordStore& store, int i) {
  OFLTokenizer key;
  key.AddString(FixedHost(i));
  key.AddString("4");
  key.AddString("*");
  const OFL::ScopedBstr keyText(key.AsLengthPackedString());
  OFL::ScopedBstr out;
  store.LoadRecord(51, 0, keyText.Get(), nullptr, 0, out.Out());
  return out.ToUtf8();
}

void BM_LookupByHostName1MTo10K(benchmark::State& state) {
  static const auto large = Filled("lookup_1m", kLarge), small = Filled("lookup_10k", kSmall);
  if (Lookup(*large, kLarge - 1).find(bench::Guid(kLarge - 1)) == std::string::npos ||
      Lookup(*small, kSmall - 1).find(bench::Guid(kSmall - 1)) == std::string::npos) {
    state.SkipWithError("a copied client is not found");
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
