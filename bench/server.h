// The store benchmarks on both kinds of store: the PostgreSQL server that
// ORVACMN_TEST_PG names (its parts are skipped without it), a scratch
// database per use, and stores filled with clients fast, through
// WriteRecords in large batches rather than one save per client.
#ifndef ORVACMN_BENCH_SERVER_H_
#define ORVACMN_BENCH_SERVER_H_

#include <libpq-fe.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orvacmn/persistence/db_access.h"
#include "orvacmn/system/system.h"
#include "orvacmn_store/record_store.h"
#include "clients.h"

namespace bench {

using orvacmn::store::RecordStore;
using orvacmn::store::StoredRecord;

// The server's connection text, or empty when there is none.
inline std::string Server() {
  const char* server = std::getenv("ORVACMN_TEST_PG");
  return server ? server : "";
}

// `server` (a URL or a connection string) with its database set to `database`.
inline std::string WithDatabase(const std::string& server, const std::string& database) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(server.c_str(), &error);
  PQfreemem(error);
  std::string out;
  for (PQconninfoOption* o = options; o && o->keyword; ++o) {
    if (!o->val || !*o->val || std::strcmp(o->keyword, "dbname") == 0) continue;
    std::string value;
    for (const char* c = o->val; *c; ++c) value += (*c == '\'' || *c == '\\') ? std::string("\\") + *c : std::string(1, *c);
    out += std::string(o->keyword) + "='" + value + "' ";
  }
  PQconninfoFree(options);
  return out + "dbname=" + database;
}

// Runs `sql` on the server's own database; false on failure.
inline bool ServerCommand(const std::string& sql) {
  PGconn* c = PQconnectdb(Server().c_str());
  PQsetNoticeProcessor(c, [](void*, const char*) {}, nullptr);  // "does not exist, skipping"
  PGresult* r = PQexec(c, sql.c_str());
  const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
  PQclear(r);
  PQfinish(c);
  return ok;
}

// A new empty database on the server for `use`, dropped when the program ends;
// its connection text.
inline std::string ScratchDatabase(const std::string& use) {
  static const pid_t owner = getpid();
  static std::vector<std::string> made;
  const std::string name = "orvacmn_bench_" + use + "_" + std::to_string(owner);
  ServerCommand("DROP DATABASE IF EXISTS " + name);
  ServerCommand("CREATE DATABASE " + name);
  if (made.empty())
    std::atexit([] {
      if (getpid() != owner) return;  // a forked writer leaves them to its parent
      for (const std::string& db : made) ServerCommand("DROP DATABASE IF EXISTS " + db + " WITH (FORCE)");
    });
  made.push_back(name);
  return WithDatabase(Server(), name);
}

// COPYs into `table` ("name(columns)") the rows `row(i)` makes for i from
// `first` to count-1, in COPY's text form: the fast way into a large table.
inline void CopyRows(PGconn* c, const std::string& table, int first, int count,
                     const std::function<std::string(int)>& row) {
  PQclear(PQexec(c, ("COPY " + table + " FROM STDIN").c_str()));
  std::string buffer;
  for (int i = first; i < count; ++i) {
    buffer += row(i);
    if (buffer.size() > (1 << 20) || i == count - 1) {
      PQputCopyData(c, buffer.data(), int(buffer.size()));
      buffer.clear();
    }
  }
  PQputCopyEnd(c, nullptr);
  PGresult* r = PQgetResult(c);
  if (PQresultStatus(r) != PGRES_COMMAND_OK) std::fprintf(stderr, "COPY %s: %s", table.c_str(), PQerrorMessage(c));
  PQclear(r);
}

inline std::shared_ptr<RecordStore> Open(const std::string& location, bool create = false) {
  std::string error;
  auto store = orvacmn::store::OpenStore(location, create, &error);
  if (!store) {
    std::fprintf(stderr, "cannot open %s: %s\n", location.c_str(), error.c_str());
    std::exit(2);
  }
  return store;
}

// Replaces every `from` in `text` by `to`.
inline std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

// A client's text of TimeStamp 0.0 carrying `stamp`, as the store keeps it.
inline std::string Stamped(const std::string& text, uint64_t stamp) {
  return Replaced(text, "<TimeStamp>0.0</TimeStamp>",
                  "<TimeStamp>" + std::to_string(uint32_t(stamp >> 32)) + "." + std::to_string(uint32_t(stamp)) +
                      "</TimeStamp>");
}

// Fills an empty `store` with clients 0 to count-1 of `record(i)`: client 0
// is created through the facade, the others written as copies of it (its key
// and stamp with their own GUID), `batch` records per transaction.
inline void FillClients(RecordStore& store, int count, const std::function<std::string(int)>& record,
                        uint32_t batch = 10000) {
  std::shared_ptr<RecordStore> keep(&store, [](RecordStore*) {});
  orvacmn::CDBAccess db(keep);
  std::string out, error;
  orvacmn::OVOSystem first(record(0));
  db.CreateSystem(first, out);
  std::vector<StoredRecord> records;
  store.ReadRecords(0, "", 1, records, error);
  if (records.size() != 1) {
    std::fprintf(stderr, "client 0 not stored: %s %s\n", out.c_str(), error.c_str());
    std::exit(2);
  }
  const StoredRecord model = records[0];
  std::string lower = Guid(0);
  for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
  const bool lowerKey = model.key.find(Guid(0)) == std::string::npos;
  if (lowerKey && model.key.find(lower) == std::string::npos) {
    std::fprintf(stderr, "client 0's key does not hold its GUID\n");
    std::exit(2);
  }
  records.clear();
  for (int i = 1; i < count; ++i) {
    StoredRecord r = model;
    r.stamp = model.stamp + uint64_t(i);
    std::string guid = Guid(i);
    if (lowerKey)
      for (char& c : guid) c = char(std::tolower(static_cast<unsigned char>(c)));
    r.key = Replaced(model.key, lowerKey ? lower : Guid(0), guid);
    r.data = Stamped(record(i), r.stamp);
    records.push_back(std::move(r));
    if (records.size() == batch || i == count - 1) {
      if (FAILED(store.WriteRecords(records, error))) {
        std::fprintf(stderr, "cannot fill the store: %s\n", error.c_str());
        std::exit(2);
      }
      records.clear();
    }
  }
}

}  // namespace bench

#endif  // ORVACMN_BENCH_SERVER_H_
