// The embedded store against raw SQLite on the same machine in the same run:
// a client lookup by host name (key kind 4) against an indexed SELECT of the
// same record, and a save (one transaction each, write-ahead log, synchronous
// NORMAL on both sides) against a plain upsert of the same text.
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ofl/tokenizer.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/system.h"
#include "orvacmn_store/sqlite_store.h"
#include "clients.h"
#include "ratio.h"

namespace {

using orvacmn::store::SqliteStore;
using bench::Dir;
using bench::Guid;
using bench::Host;
using bench::Record;

// Raw SQLite with the same text in a table indexed by host name.
struct Raw {
  sqlite3* db = nullptr;
  sqlite3_stmt* select = nullptr;
  sqlite3_stmt* upsert = nullptr;
  explicit Raw(const std::string& path) {
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;"
                 "CREATE TABLE IF NOT EXISTS clients(id INTEGER PRIMARY KEY, guid TEXT UNIQUE, host TEXT, data TEXT);"
                 "CREATE INDEX IF NOT EXISTS clients_host ON clients(host);",
                 nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(db, "SELECT data FROM clients WHERE host = ?1", -1, &select, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO clients(guid, host, data) VALUES(?1, ?2, ?3)"
                       " ON CONFLICT(guid) DO UPDATE SET host = excluded.host, data = excluded.data",
                       -1, &upsert, nullptr);
  }
  ~Raw() {
    sqlite3_finalize(select);
    sqlite3_finalize(upsert);
    sqlite3_close(db);
  }
  std::string Lookup(const std::string& host) {
    sqlite3_bind_text(select, 1, host.data(), int(host.size()), SQLITE_STATIC);
    std::string out;
    if (sqlite3_step(select) == SQLITE_ROW)
      out.assign(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)), sqlite3_column_bytes(select, 0));
    sqlite3_reset(select);
    return out;
  }
  void Upsert(const std::string& guid, const std::string& host, const std::string& data) {
    sqlite3_bind_text(upsert, 1, guid.data(), int(guid.size()), SQLITE_STATIC);
    sqlite3_bind_text(upsert, 2, host.data(), int(host.size()), SQLITE_STATIC);
    sqlite3_bind_text(upsert, 3, data.data(), int(data.size()), SQLITE_STATIC);
    sqlite3_step(upsert);
    sqlite3_reset(upsert);
  }
};

std::string Key(const std::string& value, const char* kind) {
  OFLTokenizer t;
  t.AddString(value);
  t.AddString(kind);
  t.AddString("*");
  return t.AsLengthPackedString();
}

void Save(SqliteStore& store, int i) {
  const OFL::ScopedBstr key(Key(Guid(i), "1")), data(Record(i));
  OFL::ScopedBstr out;
  uint32_t v = 0;
  store.SaveRecord(51, key.Get(), nullptr, data.Get(), &v, out.Out());
}

struct Filled {
  std::shared_ptr<SqliteStore> store;
  std::unique_ptr<Raw> raw;
};

// A store and a raw table of `count` clients each, made once per size.
Filled& FilledWith(int count) {
  static std::map<int, Filled> made;
  Filled& f = made[count];
  if (f.store) return f;
  std::string error;
  f.store = SqliteStore::Open(Dir() + "/store" + std::to_string(count) + ".db", true, &error);
  f.raw = std::make_unique<Raw>(Dir() + "/raw" + std::to_string(count) + ".db");
  sqlite3_exec(f.raw->db, "BEGIN", nullptr, nullptr, nullptr);
  for (int i = 0; i < count; ++i) {
    Save(*f.store, i);
    f.raw->Upsert(Guid(i), Host(i), Record(i));
  }
  sqlite3_exec(f.raw->db, "COMMIT", nullptr, nullptr, nullptr);
  return f;
}

void BM_LookupByHostName(benchmark::State& state) {
  const int count = int(state.range(0));
  Filled& f = FilledWith(count);
  std::mt19937 random(7);
  std::string host;
  bench::Measure(
      state, 1,
      [&] {
        const OFL::ScopedBstr key(Key(host, "4"));
        OFL::ScopedBstr out;
        f.store->LoadRecord(51, 0, key.Get(), nullptr, 0, out.Out());
        benchmark::DoNotOptimize(out.Get());
      },
      [&] {
        host = Host(int(random() % unsigned(count)));
        benchmark::DoNotOptimize(f.raw->Lookup(host));
      });
}
BENCHMARK(BM_LookupByHostName)->Arg(10000)->Arg(100000)->UseManualTime();

// The whole road of a server that identifies a client: the identification's
// scheme walked through the facade (only the host name is known, so one
// lookup), the record converted to and from UTF-16 and unpacked into a
// system, against the raw indexed SELECT of the same record.
void BM_LoadSystemByIdentification(benchmark::State& state) {
  const int count = int(state.range(0));
  Filled& f = FilledWith(count);
  orvacmn::CDBAccess db(f.store);
  std::mt19937 random(11);
  std::string host;
  orvacmn::OVOSystem system;
  bench::Measure(
      state, 1,
      [&] {
        orvacmn::OVOClientIdentification id;
        id.SetHostname(host);
        std::string out;
        bool found = false;
        db.LoadSystem(id, 0, system, out, 0, &found);
        if (!found) state.SkipWithError("client not found");
      },
      [&] {
        host = Host(int(random() % unsigned(count)));
        benchmark::DoNotOptimize(f.raw->Lookup(host));
      });
}
BENCHMARK(BM_LoadSystemByIdentification)->Arg(10000)->Arg(100000)->UseManualTime();

void BM_SaveOnePerTransaction(benchmark::State& state) {
  Filled& f = FilledWith(10000);
  int i = 0;
  bench::Measure(
      state, 1, [&] { Save(*f.store, i); },
      [&] {
        i = (i + 7919) % 10000;
        f.raw->Upsert(Guid(i), Host(i), Record(i));
      });
}
BENCHMARK(BM_SaveOnePerTransaction)->UseManualTime();

// The facade's save of a whole system (packed, keyed, converted to UTF-16,
// stamped and indexed by the store) against the raw upsert of the text it
// packs to.
void BM_SaveSystem(benchmark::State& state) {
  Filled& f = FilledWith(10000);
  orvacmn::CDBAccess db(f.store);
  std::vector<orvacmn::OVOSystem> systems(100);
  std::vector<std::string> packed(systems.size());
  for (size_t k = 0; k < systems.size(); ++k) {
    systems[k].Unpack(Record(int(k) * 97));
    packed[k] = systems[k].Pack();
  }
  size_t k = 0;
  std::string out;
  bench::Measure(
      state, 1,
      [&] {
        if (FAILED(db.SaveSystem(systems[k], out))) state.SkipWithError(out.c_str());
      },
      [&] {
        k = (k + 1) % systems.size();
        f.raw->Upsert(systems[k].GetGuid(), systems[k].GetHostName(), packed[k]);
      });
}
BENCHMARK(BM_SaveSystem)->UseManualTime();

}  // namespace
