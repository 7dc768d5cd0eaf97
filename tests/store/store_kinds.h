// The kinds of store a contract test runs against: SQLite, and PostgreSQL
// when ORVACMN_TEST_PG names a (throwaway) server as a libpq connection
// string or URL (without one those runs skip themselves). Each test gets a location of its own: a new file
// in its scratch folder, or a new schema in the server's database.
#ifndef ORVACMN_TESTS_STORE_STORE_KINDS_H_
#define ORVACMN_TESTS_STORE_STORE_KINDS_H_

#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <string>

namespace store_test {

enum StoreKind { kSqlite, kPostgres };

// The server of the PostgreSQL runs, or "" when there is none.
inline std::string TestServer() {
  const char* pg = std::getenv("ORVACMN_TEST_PG");
  return pg ? pg : "";
}

inline const char* StoreKindName(StoreKind kind) { return kind == kSqlite ? "Sqlite" : "Postgres"; }

// `server` with one more connection setting; a URL takes it as a parameter.
inline std::string WithSetting(const std::string& server, const std::string& key, const std::string& value) {
  if (server.rfind("postgresql://", 0) == 0 || server.rfind("postgres://", 0) == 0) {
    std::string escaped;
    for (const char c : value) {
      if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.') {
        escaped += c;
      } else {
        static const char* hex = "0123456789ABCDEF";
        escaped += '%';
        escaped += hex[static_cast<unsigned char>(c) >> 4];
        escaped += hex[c & 15];
      }
    }
    return server + (server.find('?') == std::string::npos ? "?" : "&") + key + "=" + escaped;
  }
  return server + " " + key + "='" + value + "'";
}

// A store location no other test uses: a file in `scratchDir`, or a fresh
// schema on the test server ("" when it cannot be made).
inline std::string FreshLocation(StoreKind kind, const std::string& scratchDir) {
  static std::atomic<int> counter{0};
  std::string name = "s";
  name += std::to_string(getpid()) + "_" + std::to_string(++counter);
  if (kind == kSqlite) return scratchDir + "/" + name + ".db";
  const std::string server = TestServer();
  PGconn* conn = PQconnectdb(server.c_str());
  bool made = PQstatus(conn) == CONNECTION_OK;
  if (made) {
    PGresult* r = PQexec(conn, ("CREATE SCHEMA " + name).c_str());
    made = PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
  }
  PQfinish(conn);
  return made ? WithSetting(server, "options", "-csearch_path=" + name) : std::string();
}

}  // namespace store_test

#endif  // ORVACMN_TESTS_STORE_STORE_KINDS_H_
