// The server's announce road against raw SQLite doing the same work by hand,
// on stores of 10,000 and 100,000 clients. Road: identify the client by MAC
// and host name (CDBAccess::LoadSystem over the identification scheme), let
// the store merge the agent's inventory (one property changed, so one write)
// and apply its partial state. Baseline, with prepared statements on the same
// journal settings: the SELECT by MAC, in one transaction the SELECT of the
// record, the changed element patched into its text and the UPDATE, and the
// state's upsert in a second transaction. "TwoWriters" runs the same while a
// second process does the same on the same files.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <random>
#include <string>

#include "orvacmn/objects/properties.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/server/record_actions.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/client_state.h"
#include "orvacmn/system/system.h"
#include "orvacmn_store/sqlite_store.h"
#include "clients.h"
#include "ratio.h"

namespace {

using namespace orvacmn;  // NOLINT
using store::SqliteStore;

// Raw SQLite: clients with an index of MACs and host names, and states.
struct Raw {
  sqlite3* db = nullptr;
  sqlite3_stmt *byMac = nullptr, *byHost = nullptr, *load = nullptr, *update = nullptr, *state = nullptr,
               *insert = nullptr, *key = nullptr, *begin = nullptr, *commit = nullptr;
  explicit Raw(const std::string& path) {
    sqlite3_open(path.c_str(), &db);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_exec(db,
                 "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; PRAGMA cache_size = -32768;"
                 "CREATE TABLE IF NOT EXISTS clients(id INTEGER PRIMARY KEY, guid TEXT UNIQUE, data TEXT);"
                 "CREATE TABLE IF NOT EXISTS client_keys(kind INTEGER, value TEXT, id INTEGER,"
                 " PRIMARY KEY(kind, value, id)) WITHOUT ROWID;"
                 "CREATE TABLE IF NOT EXISTS states(guid TEXT PRIMARY KEY, data TEXT);",
                 nullptr, nullptr, nullptr);
    const auto prepare = [&](const char* sql, sqlite3_stmt** s) { sqlite3_prepare_v2(db, sql, -1, s, nullptr); };
    prepare("SELECT r.id FROM client_keys k JOIN clients r ON r.id = k.id WHERE k.kind = 2 AND k.value = ?1", &byMac);
    prepare("SELECT r.id FROM client_keys k JOIN clients r ON r.id = k.id WHERE k.kind = 4 AND k.value = ?1", &byHost);
    prepare("SELECT data FROM clients WHERE id = ?1", &load);
    prepare("UPDATE clients SET data = ?2 WHERE id = ?1", &update);
    prepare("INSERT OR REPLACE INTO states(guid, data) VALUES(?1, ?2)", &state);
    prepare("INSERT INTO clients(guid, data) VALUES(?1, ?2)", &insert);
    prepare("INSERT INTO client_keys(kind, value, id) VALUES(?1, ?2, ?3)", &key);
    prepare("BEGIN IMMEDIATE", &begin);
    prepare("COMMIT", &commit);
  }
  ~Raw() {
    for (sqlite3_stmt* s : {byMac, byHost, load, update, state, insert, key, begin, commit}) sqlite3_finalize(s);
    sqlite3_close(db);
  }
  static void Text(sqlite3_stmt* s, int i, const std::string& v) {
    sqlite3_bind_text(s, i, v.data(), int(v.size()), SQLITE_STATIC);
  }
  static void Run(sqlite3_stmt* s) {
    sqlite3_step(s);
    sqlite3_reset(s);
  }
  void Add(int i) {
    Text(insert, 1, bench::Guid(i));
    const std::string record = bench::Record(i);
    Text(insert, 2, record);
    Run(insert);
    const int64_t id = sqlite3_last_insert_rowid(db);
    for (const auto& [kind, value] : {std::pair{2, bench::Mac(i)}, std::pair{4, bench::Host(i)}}) {
      sqlite3_bind_int(key, 1, kind);
      Text(key, 2, value);
      sqlite3_bind_int64(key, 3, id);
      Run(key);
    }
  }
  int64_t Find(sqlite3_stmt* s, const std::string& value) {
    Text(s, 1, value);
    const int64_t id = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : 0;
    sqlite3_reset(s);
    return id;
  }
  // The road by hand: the changed memory size patched into the text.
  void Announce(int i, const std::string& memory, const std::string& stateText) {
    int64_t id = Find(byMac, bench::Mac(i));
    if (id == 0) id = Find(byHost, bench::Host(i));
    Run(begin);
    sqlite3_bind_int64(load, 1, id);
    std::string data;
    if (sqlite3_step(load) == SQLITE_ROW)
      data.assign(reinterpret_cast<const char*>(sqlite3_column_text(load, 0)), sqlite3_column_bytes(load, 0));
    sqlite3_reset(load);
    const size_t from = data.find("<TotalMemory>") + 13, to = data.find("</TotalMemory>");
    if (from != std::string::npos + 13 && to != std::string::npos) data.replace(from, to - from, memory);
    sqlite3_bind_int64(update, 1, id);
    Text(update, 2, data);
    Run(update);
    Run(commit);
    Run(begin);
    Text(state, 1, bench::Guid(i));
    Text(state, 2, stateText);
    Run(state);
    Run(commit);
  }
};

void InstallActions(SqliteStore& store) {
  store.SetRecordAction(kRecordTypeClient, kActionProcessMiniInventory,
                        MiniInventoryMerge(nullptr, eConnectByName, CConfiguration::eIPUpdateOff));
  store.SetRecordAction(kRecordTypeClientState, kActionUpdateClientState, MergeClientState);
}

struct Files {
  std::string store, raw;
};

// The store and raw files of `count` clients, made once per size.
const Files& FilledWith(int count) {
  static std::map<int, Files> made;
  Files& f = made[count];
  if (!f.store.empty()) return f;
  f.store = bench::Dir() + "/road" + std::to_string(count) + ".db";
  f.raw = bench::Dir() + "/raw" + std::to_string(count) + ".db";
  std::string error, out;
  auto store = SqliteStore::Open(f.store, true, &error);
  CDBAccess db(store);
  for (int i = 0; i < count; ++i) {
    OVOSystem system(bench::Record(i));
    db.CreateSystem(system, out);
  }
  Raw raw(f.raw);
  sqlite3_exec(raw.db, "BEGIN", nullptr, nullptr, nullptr);
  for (int i = 0; i < count; ++i) raw.Add(i);
  sqlite3_exec(raw.db, "COMMIT", nullptr, nullptr, nullptr);
  return f;
}

// One side of the road on its own connections: the store's and the raw one.
struct Road {
  std::shared_ptr<SqliteStore> store;
  std::unique_ptr<CDBAccess> db;
  std::unique_ptr<Raw> raw;
  std::mt19937 random;
  uint32_t memory = 0;
  int client = 0;
  OVOSystem system;

  Road(const Files& f, unsigned seed) : random(seed) {
    std::string error;
    store = SqliteStore::Open(f.store, false, &error);
    InstallActions(*store);
    db = std::make_unique<CDBAccess>(store);
    raw = std::make_unique<Raw>(f.raw);
  }
  static OVOClientState State(uint32_t n) {
    OVOClientState s;
    s.SetActivity("Step " + std::to_string(n));
    s.SetChanges(OVOClientState::eChangeActivity);
    return s;
  }
  bool Announce() {
    OVOClientIdentification id;
    id.SetMACList(bench::Mac(client));
    id.SetHostname(bench::Host(client));
    std::string out;
    bool found = false;
    db->LoadSystem(id, 0, system, out, 0, &found);
    OVOProperties report, changes;
    report.SetProperty("TotalMemory", std::to_string(memory));
    CFileTime stamp = 0;
    const bool merged = db->ProcessMiniInventory(system.GetGuid(), report, changes, stamp, out) == S_OK;
    return found && merged && db->UpdateClientState(system.GetGuid(), State(memory), out) == S_OK;
  }
  void Baseline(int count) {
    client = int(random() % unsigned(count));
    ++memory;
    raw->Announce(client, std::to_string(memory), State(memory).Pack());
  }
};

void Run(benchmark::State& state, bool twoWriters) {
  const int count = int(state.range(0));
  const Files& f = FilledWith(count);
  pid_t other = 0;
  if (twoWriters && (other = fork()) == 0) {
    Road road(f, 99);
    for (;;) {
      road.Baseline(count);
      road.Announce();
    }
  }
  Road road(f, 7);
  bench::Measure(
      state, 1,
      [&] {
        if (!road.Announce()) state.SkipWithError("announce failed");
      },
      [&] { road.Baseline(count); });
  state.counters["announces_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  if (other > 0) {
    kill(other, SIGKILL);
    waitpid(other, nullptr, 0);
  }
}

void BM_AnnounceRoad(benchmark::State& state) { Run(state, false); }
void BM_AnnounceRoadTwoWriters(benchmark::State& state) { Run(state, true); }
BENCHMARK(BM_AnnounceRoad)->Arg(10000)->Arg(100000)->UseManualTime();
BENCHMARK(BM_AnnounceRoadTwoWriters)->Arg(10000)->Arg(100000)->UseManualTime();

}  // namespace
