// The server's announce road for the store benchmarks, and the same work
// done by hand on raw SQLite and raw libpq as the baselines. Road: identify
// the client by MAC and host name (CDBAccess::LoadSystem over the
// identification scheme), let the store merge the agent's inventory (one
// property changed, so one write) and apply its partial state. By hand, with
// prepared statements: the SELECT by MAC, in one transaction the SELECT of
// the record, the changed element patched into its text and the UPDATE, and
// the state's upsert in a second transaction.
#ifndef ORVACMN_BENCH_ROAD_H_
#define ORVACMN_BENCH_ROAD_H_

#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>

#include "orvacmn/objects/properties.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/server/record_actions.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/client_state.h"
#include "orvacmn/system/system.h"
#include "orvacmn_store/record_store.h"
#include "clients.h"
#include "server.h"

namespace bench {

// The record's text with its memory size changed, as the merge changes it.
inline void PatchMemory(std::string& data, const std::string& memory) {
  const size_t from = data.find("<TotalMemory>"), to = data.find("</TotalMemory>");
  if (from != std::string::npos && to != std::string::npos) data.replace(from + 13, to - from - 13, memory);
}

// Raw SQLite: clients with an index of MACs and host names, and states.
struct RawSqlite {
  sqlite3* db = nullptr;
  sqlite3_stmt *byMac = nullptr, *byHost = nullptr, *load = nullptr, *update = nullptr, *state = nullptr,
               *insert = nullptr, *key = nullptr, *begin = nullptr, *commit = nullptr;
  explicit RawSqlite(const std::string& path) {
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
  ~RawSqlite() {
    for (sqlite3_stmt* s : {byMac, byHost, load, update, state, insert, key, begin, commit}) sqlite3_finalize(s);
    sqlite3_close(db);
  }
  RawSqlite(const RawSqlite&) = delete;
  RawSqlite& operator=(const RawSqlite&) = delete;
  static void Text(sqlite3_stmt* s, int i, const std::string& v) {
    sqlite3_bind_text(s, i, v.data(), int(v.size()), SQLITE_STATIC);
  }
  static void Run(sqlite3_stmt* s) {
    sqlite3_step(s);
    sqlite3_reset(s);
  }
  void Fill(int count) {
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int i = 0; i < count; ++i) {
      Text(insert, 1, Guid(i));
      const std::string record = Record(i);
      Text(insert, 2, record);
      Run(insert);
      const int64_t id = sqlite3_last_insert_rowid(db);
      for (const auto& [kind, value] : {std::pair{2, Mac(i)}, std::pair{4, Host(i)}}) {
        sqlite3_bind_int(key, 1, kind);
        Text(key, 2, value);
        sqlite3_bind_int64(key, 3, id);
        Run(key);
      }
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  }
  int64_t Find(sqlite3_stmt* s, const std::string& value) {
    Text(s, 1, value);
    const int64_t id = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : 0;
    sqlite3_reset(s);
    return id;
  }
  void Announce(int i, const std::string& memory, const std::string& stateText) {
    int64_t id = Find(byMac, Mac(i));
    if (id == 0) id = Find(byHost, Host(i));
    Run(begin);
    sqlite3_bind_int64(load, 1, id);
    std::string data;
    if (sqlite3_step(load) == SQLITE_ROW)
      data.assign(reinterpret_cast<const char*>(sqlite3_column_text(load, 0)), sqlite3_column_bytes(load, 0));
    sqlite3_reset(load);
    PatchMemory(data, memory);
    sqlite3_bind_int64(update, 1, id);
    Text(update, 2, data);
    Run(update);
    Run(commit);
    Run(begin);
    Text(state, 1, Guid(i));
    Text(state, 2, stateText);
    Run(state);
    Run(commit);
  }
};

// Raw libpq: the same tables and statements, prepared once per connection,
// texts as bytes in binary parameters as the store keeps them.
struct RawPg {
  PGconn* c = nullptr;
  explicit RawPg(const std::string& connection) : c(PQconnectdb(connection.c_str())) {
    PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);  // "already exists, skipping"
    Exec("CREATE TABLE IF NOT EXISTS clients(id BIGINT PRIMARY KEY, guid BYTEA UNIQUE, data BYTEA);"
         "CREATE TABLE IF NOT EXISTS client_keys(kind INTEGER, value BYTEA, id BIGINT, PRIMARY KEY(kind, value, id));"
         "CREATE TABLE IF NOT EXISTS states(guid BYTEA PRIMARY KEY, data BYTEA)");
    Prepare("by_mac", "SELECT r.id FROM client_keys k JOIN clients r ON r.id = k.id WHERE k.kind = 2 AND k.value = $1");
    Prepare("by_host", "SELECT r.id FROM client_keys k JOIN clients r ON r.id = k.id WHERE k.kind = 4 AND k.value = $1");
    Prepare("load", "SELECT data FROM clients WHERE id = $1 FOR UPDATE");
    Prepare("update", "UPDATE clients SET data = $2 WHERE id = $1");
    Prepare("state", "INSERT INTO states(guid, data) VALUES($1, $2) ON CONFLICT (guid) DO UPDATE SET data = excluded.data");
  }
  ~RawPg() { PQfinish(c); }
  RawPg(const RawPg&) = delete;
  RawPg& operator=(const RawPg&) = delete;
  // The baseline must do all its work: a failed statement ends the program.
  PGresult* Checked(PGresult* r) {
    if (PQresultStatus(r) == PGRES_FATAL_ERROR || PQresultStatus(r) == PGRES_BAD_RESPONSE) {
      std::fprintf(stderr, "raw libpq: %s", PQerrorMessage(c));
      std::exit(2);
    }
    return r;
  }
  void Exec(const char* sql) { PQclear(Checked(PQexec(c, sql))); }
  void Prepare(const char* name, const char* sql) { PQclear(Checked(PQprepare(c, name, sql, 0, nullptr))); }
  // Runs statement `name` on parameters in binary form (bytes, or an id as Id makes it).
  PGresult* Run(const char* name, std::initializer_list<const std::string*> parameters) {
    const char* values[2];
    int lengths[2], formats[2] = {1, 1}, n = 0;
    for (const std::string* v : parameters) {
      values[n] = v->data();
      lengths[n++] = int(v->size());
    }
    return Checked(PQexecPrepared(c, name, n, values, lengths, formats, 1));
  }
  static std::string Id(int64_t id) {
    std::string bytes(8, '\0');
    for (int k = 0; k < 8; ++k) bytes[k] = char(uint64_t(id) >> (56 - 8 * k));
    return bytes;
  }
  void Fill(int count) {
    CopyRows(c, "clients(id, guid, data)", 0, count,
             [](int i) { return std::to_string(i + 1) + "\t" + Guid(i) + "\t" + Record(i) + "\n"; });
    CopyRows(c, "client_keys(kind, value, id)", 0, count, [](int i) {
      return "2\t" + Mac(i) + "\t" + std::to_string(i + 1) + "\n4\t" + Host(i) + "\t" + std::to_string(i + 1) + "\n";
    });
    Exec("ANALYZE");
  }
  int64_t Find(const char* statement, const std::string& value) {
    PGresult* r = Run(statement, {&value});
    int64_t id = 0;
    if (PQntuples(r) == 1)
      for (int k = 0; k < 8; ++k) id = (id << 8) | static_cast<unsigned char>(PQgetvalue(r, 0, 0)[k]);
    PQclear(r);
    return id;
  }
  void Announce(int i, const std::string& memory, const std::string& stateText) {
    int64_t found = Find("by_mac", Mac(i));
    if (found == 0) found = Find("by_host", Host(i));
    const std::string id = Id(found), guid = Guid(i);
    Exec("BEGIN");
    PGresult* r = Run("load", {&id});
    std::string data;
    if (PQntuples(r) == 1) data.assign(PQgetvalue(r, 0, 0), size_t(PQgetlength(r, 0, 0)));
    PQclear(r);
    PatchMemory(data, memory);
    PQclear(Run("update", {&id, &data}));
    Exec("COMMIT");
    PQclear(Run("state", {&guid, &stateText}));
  }
};

// One writer on its own connections: the store's road and the raw one.
template <class Raw>
struct Road {
  std::shared_ptr<RecordStore> store;
  std::unique_ptr<orvacmn::CDBAccess> db;
  std::unique_ptr<Raw> raw;
  std::mt19937 random;
  uint32_t memory = 0;
  int count;
  orvacmn::OVOSystem system;

  Road(const std::string& storeLocation, const std::string& rawLocation, int clients, unsigned seed)
      : random(seed), count(clients) {
    store = Open(storeLocation);
    store->SetRecordAction(orvacmn::kRecordTypeClient, orvacmn::kActionProcessMiniInventory,
                           orvacmn::MiniInventoryMerge(nullptr, orvacmn::eConnectByName,
                                                       orvacmn::CConfiguration::eIPUpdateOff));
    store->SetRecordAction(orvacmn::kRecordTypeClientState, orvacmn::kActionUpdateClientState,
                           orvacmn::MergeClientState);
    db = std::make_unique<orvacmn::CDBAccess>(store);
    raw = std::make_unique<Raw>(rawLocation);
  }
  static orvacmn::OVOClientState State(uint32_t n) {
    orvacmn::OVOClientState s;
    s.SetActivity("Step " + std::to_string(n));
    s.SetChanges(orvacmn::OVOClientState::eChangeActivity);
    return s;
  }
  // The road for a random client; false when a step failed.
  bool Announce() {
    const int client = int(random() % unsigned(count));
    ++memory;
    orvacmn::OVOClientIdentification id;
    id.SetMACList(Mac(client));
    id.SetHostname(Host(client));
    std::string out;
    bool found = false;
    db->LoadSystem(id, 0, system, out, 0, &found);
    orvacmn::OVOProperties report, changes;
    report.SetProperty("TotalMemory", std::to_string(memory));
    orvacmn::CFileTime stamp = 0;
    const bool merged = db->ProcessMiniInventory(system.GetGuid(), report, changes, stamp, out) == S_OK;
    return found && merged && db->UpdateClientState(system.GetGuid(), State(memory), out) == S_OK;
  }
  void Baseline() {
    const int client = int(random() % unsigned(count));
    ++memory;
    raw->Announce(client, std::to_string(memory), State(memory).Pack());
  }
};

}  // namespace bench

#endif  // ORVACMN_BENCH_ROAD_H_
