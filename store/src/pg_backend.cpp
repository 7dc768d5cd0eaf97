#include "pg_backend.h"

#include <endian.h>
#include <libpq-fe.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <deque>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "orvacmn_store/pg_store.h"
#include "record_text.h"

namespace orvacmn::store {

namespace {

// Result codes besides kRcOk and kRcRefused. A failed statement gives its
// SQLSTATE, read as a base-36 number above kRcState, so that Retry and Fail
// need nothing but the code.
constexpr int kRcLost = 1;       // the connection broke during the call
constexpr int kRcNoConnect = 2;  // a new connection could not be made
constexpr int kRcAnswer = 3;     // the server answered in a shape no statement gives
constexpr int kRcState = 1000;

int StateCode(const char* state) {
  if (!state || std::strlen(state) != 5) return kRcState;
  int code = 0;
  for (int i = 0; i < 5; ++i) {
    const char c = state[i];
    code = code * 36 + (c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'Z' ? c - 'A' + 10 : 0);
  }
  return kRcState + code;
}

String StateOf(int rc) {
  String state(5, '0');
  int code = rc - kRcState;
  for (int i = 4; i >= 0; --i, code /= 36) {
    const int d = code % 36;
    state[size_t(i)] = char(d < 10 ? '0' + d : 'A' + d - 10);
  }
  return state;
}

// Records read at a time while the condition index is filled.
constexpr int kFillBatch = 1000;

constexpr Oid kOidBytea = 17, kOidInt8 = 20, kOidInt4 = 23;

// Every table in the database's current schema, so that a schema of its own
// (search_path) keeps one store apart from another in one database. Texts are
// bytea: a record may hold a NUL character, and keys compare byte by byte
// whatever the database's collation.
constexpr const char* kSchema =
    "CREATE TABLE meta(version integer NOT NULL);"
    "CREATE TABLE records(id bigserial PRIMARY KEY, type integer NOT NULL, key bytea NOT NULL,"
    " stamp bigint NOT NULL, data bytea NOT NULL, UNIQUE(type, key));"
    "CREATE TABLE client_keys(kind integer NOT NULL, value bytea NOT NULL, id bigint NOT NULL,"
    " PRIMARY KEY(kind, value, id));"
    "CREATE INDEX client_keys_by_record ON client_keys(id);"
    "CREATE TABLE deleted(type integer NOT NULL, key bytea NOT NULL, stamp bigint NOT NULL,"
    " PRIMARY KEY(type, key));"
    "CREATE TABLE record_conditions(type integer NOT NULL, name bytea NOT NULL, value bytea NOT NULL,"
    " key bytea NOT NULL, id bigint NOT NULL, PRIMARY KEY(type, name, value, key));"
    "CREATE INDEX record_conditions_by_record ON record_conditions(id);"
    "CREATE TABLE indexed_conditions(type integer NOT NULL, name bytea NOT NULL, PRIMARY KEY(type, name));";

enum Stmt {
  kFindForWrite,
  kInsert,
  kUpdate,
  kDropDeleted,
  kDelete,
  kPutDeleted,
  kReadKeys,
  kRemoveKeys,
  kAddKeys,
  kReadConditions,
  kRemoveConditions,
  kAddConditions,
  kLoadExact,
  kLoadRange,
  kLoadByIndex,
  kScan,
  kFiltered1,  // kFiltered1 + n - 1: the filtered list with n conditions
  kStmtCount = kFiltered1 + int(kMaxIndexedConditions)
};

// The filtered list with `n` conditions: the first condition's entries are
// walked in key order, each further one is a lookup of the same key.
String FilteredSql(size_t n) {
  String sql = "SELECT r.id, r.stamp, r.data FROM record_conditions c0";
  String where = " WHERE c0.type = $1::integer AND c0.name = $5::bytea AND c0.value = $6::bytea"
                 " AND c0.key >= $2::bytea AND c0.key < $3::bytea";
  for (size_t k = 1; k < n; ++k) {
    String c = "c";
    c += std::to_string(k);
    sql += " JOIN record_conditions " + c + " ON " + c + ".type = c0.type AND " + c + ".name = $" +
           std::to_string(5 + 2 * k) + "::bytea AND " + c + ".value = $" + std::to_string(6 + 2 * k) + "::bytea AND " +
           c + ".key = c0.key";
  }
  return sql + " JOIN records r ON r.id = c0.id" + where + " ORDER BY c0.key LIMIT $4::bigint";
}

const std::array<String, kStmtCount>& Sql() {
  static const std::array<String, kStmtCount> sql = [] {
    std::array<String, kStmtCount> s = {
        // The deletion stamp comes along only when asked for; it is of use
        // only when there is no record.
        "SELECT id, stamp FROM records WHERE type = $1::integer AND key = $2::bytea"
        " UNION ALL SELECT NULL, stamp FROM deleted WHERE $3::boolean AND type = $1::integer AND key = $2::bytea",
        "INSERT INTO records(type, key, stamp, data) VALUES($1::integer, $2::bytea, $3::bigint, $4::bytea) RETURNING id",
        "UPDATE records SET stamp = $2::bigint, data = $3::bytea WHERE id = $1::bigint",
        "DELETE FROM deleted WHERE type = $1::integer AND key = $2::bytea",
        "WITH k AS (DELETE FROM client_keys WHERE id = $1::bigint),"
        " c AS (DELETE FROM record_conditions WHERE id = $1::bigint)"
        " DELETE FROM records WHERE id = $1::bigint RETURNING type, key, stamp",
        "INSERT INTO deleted(type, key, stamp) VALUES($1::integer, $2::bytea, $3::bigint)"
        " ON CONFLICT (type, key) DO UPDATE SET stamp = excluded.stamp",
        "SELECT kind, value FROM client_keys WHERE id = $1::bigint",
        "DELETE FROM client_keys k USING unnest($2::integer[], $3::bytea[]) AS e(kind, value)"
        " WHERE k.kind = e.kind AND k.value = e.value AND k.id = $1::bigint",
        "INSERT INTO client_keys(kind, value, id) SELECT e.kind, e.value, $1::bigint"
        " FROM unnest($2::integer[], $3::bytea[]) AS e(kind, value) ON CONFLICT DO NOTHING",
        "SELECT name, value FROM record_conditions WHERE id = $1::bigint",
        "DELETE FROM record_conditions c USING unnest($3::bytea[], $4::bytea[]) AS e(name, value)"
        " WHERE c.type = $1::integer AND c.name = e.name AND c.value = e.value AND c.key = $2::bytea",
        "INSERT INTO record_conditions(type, name, value, key, id)"
        " SELECT $1::integer, e.name, e.value, $2::bytea, $3::bigint"
        " FROM unnest($4::bytea[], $5::bytea[]) AS e(name, value) ON CONFLICT DO NOTHING",
        "SELECT id, stamp, data FROM records WHERE type = $1::integer AND key = $2::bytea",
        "SELECT id, stamp, data FROM records WHERE type = $1::integer AND key >= $2::bytea AND key < $3::bytea"
        " ORDER BY key LIMIT $4::bigint",
        "SELECT r.id, r.stamp, r.data FROM client_keys k JOIN records r ON r.id = k.id"
        " WHERE k.kind = $1::integer AND k.value = $2::bytea ORDER BY k.id",
        "SELECT type, key, stamp, data FROM records WHERE (type, key) > ($1::integer, $2::bytea)"
        " ORDER BY type, key LIMIT $3::bigint",
    };
    for (size_t n = 1; n <= kMaxIndexedConditions; ++n) s[size_t(kFiltered1) + n - 1] = FilteredSql(n);
    return s;
  }();
  return sql;
}

String StmtName(int id) { return "orvacmn_" + std::to_string(id); }

// The parameters of one statement, every one in binary form.
class Params {
 public:
  Params& Int4(int32_t v) {
    uint32_t be = htobe32(uint32_t(v));
    return Add(std::string_view(reinterpret_cast<const char*>(&be), 4));
  }
  Params& Int8(int64_t v) {
    uint64_t be = htobe64(uint64_t(v));
    return Add(std::string_view(reinterpret_cast<const char*>(&be), 8));
  }
  Params& Bool(bool v) { return Add(v ? std::string_view("\1", 1) : std::string_view("\0", 1)); }
  // Borrowed: `v` must outlive the call.
  Params& Bytes(std::string_view v) {
    values_.push_back(v.data() ? v.data() : "");
    lengths_.push_back(int(v.size()));
    return *this;
  }
  Params& Null() {
    values_.push_back(nullptr);
    lengths_.push_back(0);
    return *this;
  }
  // A one-dimensional array of `n` elements of `type`, `element(i, out)`
  // appending the bytes of element i.
  template <class Element>
  Params& Array(Oid type, size_t n, Element element) {
    String a;
    const auto put = [&a](uint32_t v) {
      v = htobe32(v);
      a.append(reinterpret_cast<const char*>(&v), 4);
    };
    put(1);  // dimensions
    put(0);  // no NULL
    put(type);
    put(uint32_t(n));
    put(1);  // lower bound
    String e;
    for (size_t i = 0; i < n; ++i) {
      e.clear();
      element(i, e);
      put(uint32_t(e.size()));
      a += e;
    }
    return Add(a);
  }

  int Count() const { return int(values_.size()); }
  const char* const* Values() const { return values_.data(); }
  const int* Lengths() const { return lengths_.data(); }
  const int* Formats() const {
    formats_.assign(values_.size(), 1);
    return formats_.data();
  }

 private:
  Params& Add(std::string_view bytes) {
    owned_.emplace_back(bytes);
    values_.push_back(owned_.back().data());
    lengths_.push_back(int(bytes.size()));
    return *this;
  }
  std::deque<String> owned_;  // stays in place as it grows
  std::vector<const char*> values_;
  std::vector<int> lengths_;
  mutable std::vector<int> formats_;
};

String Be32(int32_t v) {
  const uint32_t be = htobe32(uint32_t(v));
  return String(reinterpret_cast<const char*>(&be), 4);
}

struct ResultFree {
  void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultFree>;

// Column readers of a binary result.
int64_t Int(const PGresult* r, int row, int col) {
  const char* v = PQgetvalue(r, row, col);
  if (PQgetisnull(r, row, col)) return 0;
  if (PQgetlength(r, row, col) == 4) {
    uint32_t be;
    std::memcpy(&be, v, 4);
    return int32_t(be32toh(be));
  }
  uint64_t be = 0;
  if (PQgetlength(r, row, col) == 8) std::memcpy(&be, v, 8);
  return int64_t(be64toh(be));
}
String Text(const PGresult* r, int row, int col) {
  return String(PQgetvalue(r, row, col), size_t(PQgetlength(r, row, col)));
}

// The first line of libpq's or the server's text, without its severity:
// what a reader needs of it.
String FirstLine(const char* text) {
  std::string_view t(text ? text : "");
  t = t.substr(0, t.find('\n'));
  for (const std::string_view severity : {"FATAL:", "ERROR:", "PANIC:"})
    if (t.substr(0, severity.size()) == severity) t.remove_prefix(severity.size());
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r')) t.remove_suffix(1);
  return String(t);
}

String PercentEscaped(std::string_view text) {
  static const char* hex = "0123456789ABCDEF";
  String out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u) || c == '-' || c == '_' || c == '.' || c == '~') {
      out += c;
    } else {
      out += '%';
      out += hex[u >> 4];
      out += hex[u & 15];
    }
  }
  return out;
}

class PgBackend final : public StoreBackend {
 public:
  PgBackend(const String& connection, const StoreOptions& options) : connection_(connection), options_(options) {}
  ~PgBackend() override {
    if (conn_) PQfinish(conn_);
  }

  const String& Location() const override { return location_; }
  const ConditionNames& Indexed() const override { return indexed_; }

  HRESULT Writable(String& error) const override {
    if (readOnly_.empty()) return S_OK;
    error = readOnly_;
    return kStatusAccessDenied;
  }

  HRESULT Fail(int rc, String& error) override {
    const String detail = std::exchange(detail_, String());
    const String where = " (" + detail + ")";
    if (rc == kRcNoConnect) {
      error = "Cannot connect to the store server " + location_ + where;
      return kStatusConnection;
    }
    if (rc < kRcState) {
      error = rc == kRcLost ? "The connection to the store server " + location_ + " was lost" + where
                            : "Store error on " + location_ + ": " + (detail.empty() ? "unexpected answer" : detail);
      return rc == kRcLost ? kStatusConnection : E_FAIL;
    }
    const String state = StateOf(rc);
    if (state.compare(0, 2, "08") == 0 || state == "57P01" || state == "57P02" || state == "57P03") {
      error = "The connection to the store server " + location_ + " was lost" + where;
      return kStatusConnection;
    }
    if (state == "53100") {
      error = "The disk is full: the store " + location_ + " cannot grow" + where;
      return kStatusDiskFull;
    }
    if (state == "42501" || state == "25006") {
      error = readOnly_.empty() ? "The store " + location_ + " is read-only or not writable by this user" + where
                                : readOnly_;
      return kStatusAccessDenied;
    }
    if (state == "55P03") {
      error = "A record of the store " + location_ + " stayed locked by another writer; gave up after " +
              std::to_string(options_.busyTimeoutMs) + " ms" + where;
      return kStatusLocked;
    }
    if (state == "40001" || state == "40P01") {
      error = "Other writers kept changing the records of this call on the store " + location_ +
              "; it gave up after several tries" + where;
      return kStatusLocked;
    }
    if (state == "53200") {
      error = "Out of memory in the store server " + location_ + where;
      return E_OUTOFMEMORY;
    }
    error = "Store error on " + location_ + ": " + detail;
    return E_FAIL;
  }

  // A serializable transaction that lost a race ends with 40001 (or, for two
  // inserts of one key, 23505); a deadlock with 40P01.
  bool Retry(int rc) const override {
    if (rc < kRcState) return false;
    const String state = StateOf(rc);
    return state == "40001" || state == "40P01" || state == "23505";
  }

  int BeginRead() override { return Begin("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"); }
  // Serializable: a find-or-create reads the client index and inserts, and
  // two writers announcing one new machine then conflict; the loser runs
  // again and finds the winner's client. No lock is taken beyond the rows.
  int BeginWrite() override { return Begin("BEGIN ISOLATION LEVEL SERIALIZABLE"); }

  int Finish(int rc) override {
    if (!inTransaction_) return rc;
    inTransaction_ = false;
    if (rc == kRcOk && PQstatus(conn_) != CONNECTION_OK) {
      // The server went away just after the last statement's answer.
      detail_ = FirstLine(PQerrorMessage(conn_));
      return kRcLost;
    }
    if (rc == kRcOk && PQtransactionStatus(conn_) == PQTRANS_INTRANS) {
      rc = Command("COMMIT");
      if (rc == kRcOk) return rc;
    }
    if (rc == kRcOk) rc = kRcAnswer;  // a transaction in error is never committed
    if (PQstatus(conn_) == CONNECTION_OK && PQtransactionStatus(conn_) != PQTRANS_IDLE) {
      String detail = std::move(detail_);
      Command("ROLLBACK");
      detail_ = std::move(detail);
    }
    return rc;
  }

  int LoadExact(uint32_t type, const String& key, std::vector<Row>& rows) override {
    Params p;
    p.Int4(int32_t(type)).Bytes(key);
    return Rows(kLoadExact, p, rows);
  }

  int LoadRange(uint32_t type, const String& prefix, uint32_t limit, std::vector<Row>& rows) override {
    const String upper = prefix + '\xFF';  // no key byte is 0xFF: keys are UTF-8
    Params p;
    p.Int4(int32_t(type)).Bytes(prefix).Bytes(upper);
    if (limit) p.Int8(limit);
    else p.Null();
    return Rows(kLoadRange, p, rows);
  }

  int LoadByIndex(int kind, const String& value, std::vector<Row>& rows) override {
    Params p;
    p.Int4(kind).Bytes(value);
    return Rows(kLoadByIndex, p, rows);
  }

  int LoadFiltered(uint32_t type, const String& prefix, const std::vector<ConditionEntry>& conditions, uint32_t limit,
                   std::vector<Row>& rows) override {
    if (conditions.empty()) return LoadRange(type, prefix, limit, rows);
    if (conditions.size() > kMaxIndexedConditions) return kRcAnswer;  // the engine checks any more itself
    const String upper = prefix + '\xFF';
    Params p;
    p.Int4(int32_t(type)).Bytes(prefix).Bytes(upper);
    if (limit) p.Int8(limit);
    else p.Null();
    for (const auto& [name, value] : conditions) p.Bytes(name).Bytes(value);
    return Rows(Stmt(kFiltered1 + int(conditions.size()) - 1), p, rows);
  }

  int Scan(uint32_t afterType, const String& afterKey, uint32_t count, std::vector<StoredRecord>& records) override {
    if (afterType > uint32_t(INT32_MAX)) return kRcOk;  // no type lies beyond
    Params p;
    p.Int4(int32_t(afterType)).Bytes(afterKey).Int8(count);
    Result r;
    const int rc = Run(kScan, p, r);
    if (rc != kRcOk) return rc;
    for (int i = 0; i < PQntuples(r.get()); ++i)
      records.push_back({uint32_t(Int(r.get(), i, 0)), Text(r.get(), i, 1), uint64_t(Int(r.get(), i, 2)),
                         Text(r.get(), i, 3)});
    return kRcOk;
  }

  int FindForWrite(uint32_t type, const String& key, bool wantDeleted, Stored& row) override {
    Params p;
    p.Int4(int32_t(type)).Bytes(key).Bool(wantDeleted);
    Result r;
    const int rc = Run(kFindForWrite, p, r);
    if (rc != kRcOk) return rc;
    row = Stored();
    for (int i = 0; i < PQntuples(r.get()); ++i) {
      if (PQgetisnull(r.get(), i, 0)) {
        row.deleted = uint64_t(Int(r.get(), i, 1));
      } else {
        row.exists = true;
        row.id = Int(r.get(), i, 0);
        row.stamp = uint64_t(Int(r.get(), i, 1));
      }
    }
    if (row.exists) row.deleted = 0;
    return kRcOk;
  }

  int Insert(uint32_t type, const String& key, uint64_t stamp, const String& data, int64_t& id) override {
    Params p;
    p.Int4(int32_t(type)).Bytes(key).Int8(int64_t(stamp)).Bytes(data);
    Result r;
    const int rc = Run(kInsert, p, r);
    if (rc != kRcOk) return rc;
    if (PQntuples(r.get()) != 1) return kRcAnswer;
    id = Int(r.get(), 0, 0);
    return kRcOk;
  }

  int Update(int64_t id, uint64_t stamp, const String& data) override {
    Params p;
    p.Int8(id).Int8(int64_t(stamp)).Bytes(data);
    Result r;
    return Run(kUpdate, p, r);
  }

  int DropDeleted(uint32_t type, const String& key) override {
    Params p;
    p.Int4(int32_t(type)).Bytes(key);
    Result r;
    return Run(kDropDeleted, p, r);
  }

  int Delete(int64_t id, uint32_t& type, String& key, uint64_t& stamp) override {
    Params p;
    p.Int8(id);
    Result r;
    const int rc = Run(kDelete, p, r);
    if (rc != kRcOk) return rc;
    if (PQntuples(r.get()) == 1) {
      type = uint32_t(Int(r.get(), 0, 0));
      key = Text(r.get(), 0, 1);
      stamp = uint64_t(Int(r.get(), 0, 2));
    }
    return kRcOk;
  }

  int PutDeleted(uint32_t type, const String& key, uint64_t stamp) override {
    Params p;
    p.Int4(int32_t(type)).Bytes(key).Int8(int64_t(stamp));
    Result r;
    return Run(kPutDeleted, p, r);
  }

  int ReadKeys(int64_t id, std::vector<KeyEntry>& entries) override { return ReadEntries(kReadKeys, id, entries); }

  // One statement for all entries removed and one for all added, whatever
  // their number: a round trip costs more than a row.
  int ChangeKeys(int64_t id, const std::vector<KeyEntry>& remove, const std::vector<KeyEntry>& add) override {
    for (const auto* entries : {&remove, &add}) {
      if (entries->empty()) continue;
      Params p;
      p.Int8(id)
          .Array(kOidInt4, entries->size(), [&](size_t i, String& out) { out = Be32((*entries)[i].first); })
          .Array(kOidBytea, entries->size(), [&](size_t i, String& out) { out = (*entries)[i].second; });
      Result r;
      if (const int rc = Run(entries == &remove ? kRemoveKeys : kAddKeys, p, r); rc != kRcOk) return rc;
    }
    return kRcOk;
  }

  int ReadConditions(int64_t id, std::vector<ConditionEntry>& entries) override {
    return ReadEntries(kReadConditions, id, entries);
  }

  int ChangeConditions(uint32_t type, const String& key, int64_t id, const std::vector<ConditionEntry>& remove,
                       const std::vector<ConditionEntry>& add) override {
    if (!remove.empty()) {
      Params p;
      p.Int4(int32_t(type)).Bytes(key);
      AddConditionArrays(p, remove);
      Result r;
      if (const int rc = Run(kRemoveConditions, p, r); rc != kRcOk) return rc;
    }
    if (add.empty()) return kRcOk;
    Params p;
    p.Int4(int32_t(type)).Bytes(key).Int8(id);
    AddConditionArrays(p, add);
    Result r;
    return Run(kAddConditions, p, r);
  }

  // The first connection of an Open: connects, notes whether the server
  // takes writes, lays out or checks the schema, prepares the statements.
  HRESULT Open(bool create, String& error) {
    int rc = Connect();
    if (rc != kRcOk) return Fail(rc, error);
    if ((rc = NoteReadOnly()) != kRcOk) return Fail(rc, error);
    HRESULT hr = S_OK;
    rc = Layout(create, hr, error);
    if (FAILED(hr)) return hr;
    if (rc != kRcOk) return Fail(rc, error);
    if ((rc = PrepareAll()) != kRcOk) return Fail(rc, error);
    return S_OK;
  }

 private:
  // The index entries of record `id`: (kind, value) or (name, value) pairs.
  template <class Entry>
  int ReadEntries(Stmt stmt, int64_t id, std::vector<Entry>& entries) {
    Params p;
    p.Int8(id);
    Result r;
    const int rc = Run(stmt, p, r);
    if (rc != kRcOk) return rc;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
      if constexpr (std::is_same_v<typename Entry::first_type, int>)
        entries.emplace_back(int(Int(r.get(), i, 0)), Text(r.get(), i, 1));
      else
        entries.emplace_back(Text(r.get(), i, 0), Text(r.get(), i, 1));
    }
    return kRcOk;
  }

  static void AddConditionArrays(Params& p, const std::vector<ConditionEntry>& entries) {
    p.Array(kOidBytea, entries.size(), [&](size_t i, String& out) { out = entries[i].first; })
        .Array(kOidBytea, entries.size(), [&](size_t i, String& out) { out = entries[i].second; });
  }

  // A new connection. Settings of the connection text win over the defaults
  // given here.
  int Connect() {
    if (conn_) PQfinish(conn_);
    const String timeout = std::to_string(std::max(1, (options_.busyTimeoutMs + 999) / 1000));
    const char* keys[] = {"connect_timeout", "fallback_application_name", "dbname", nullptr};
    const char* values[] = {timeout.c_str(), "orvacmn", connection_.c_str(), nullptr};
    conn_ = PQconnectdbParams(keys, values, 1);
    // The server's notices (a shutdown's warning, say) are no output of ours.
    if (conn_) PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
    NoteLocation();
    if (PQstatus(conn_) == CONNECTION_OK) return kRcOk;
    detail_ = conn_ ? FirstLine(PQerrorMessage(conn_)) : String("out of memory");
    return kRcNoConnect;
  }

  // "postgresql://user@host:port/database", with the options that pick the
  // schema: what names the store, without the password, and opens it again
  // (a socket folder as the host is escaped, "%2Ftmp").
  void NoteLocation() {
    const auto get = [this](char* (*f)(const PGconn*)) {
      const char* v = conn_ ? f(conn_) : nullptr;
      return PercentEscaped(v ? v : "");
    };
    location_ = "postgresql://" + get(PQuser) + "@" + get(PQhost) + ":" + get(PQport) + "/" + get(PQdb);
    if (const String options = get(PQoptions); !options.empty()) location_ += "?options=" + options;
  }

  // A call outside a transaction, or the start of one, on a connection that
  // broke is the next call: it connects again, statements and all.
  int Reconnect() {
    if (PQstatus(conn_) == CONNECTION_OK && prepared_) return kRcOk;
    if (PQstatus(conn_) != CONNECTION_OK) PQreset(conn_);
    if (PQstatus(conn_) != CONNECTION_OK) {
      detail_ = FirstLine(PQerrorMessage(conn_));
      return kRcNoConnect;
    }
    return PrepareAll();
  }

  int Begin(const char* sql) {
    int rc = Reconnect();
    if (rc == kRcOk && PQtransactionStatus(conn_) != PQTRANS_IDLE) {
      Command("ROLLBACK");  // a transaction left open by a call that never ended it
    }
    if (rc == kRcOk) rc = Command(sql);
    inTransaction_ = rc == kRcOk;
    return rc;
  }

  // The result code of a finished statement; `r` holds its rows.
  int Check(const Result& r) {
    const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return kRcOk;
    const char* state = r ? PQresultErrorField(r.get(), PG_DIAG_SQLSTATE) : nullptr;
    const char* message = r ? PQresultErrorField(r.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    detail_ = FirstLine(message ? message : PQerrorMessage(conn_));
    if (PQstatus(conn_) != CONNECTION_OK) {
      inTransaction_ = false;
      return kRcLost;
    }
    // An error of libpq's own, without the server's SQLSTATE, comes from the
    // connection (the server went away while libpq still reads the socket
    // as open).
    return state ? StateCode(state) : kRcLost;
  }

  int Command(const char* sql) {
    const Result r(PQexec(conn_, sql));
    return Check(r);
  }

  int Run(Stmt id, const Params& p, Result& r) {
    if (!inTransaction_) {
      if (const int rc = Reconnect(); rc != kRcOk) return rc;
    }
    r.reset(PQexecPrepared(conn_, StmtName(id).c_str(), p.Count(), p.Values(), p.Lengths(), p.Formats(), 1));
    return Check(r);
  }

  // Appends the (id, stamp, data) rows of a query.
  int Rows(Stmt id, const Params& p, std::vector<Row>& rows) {
    Result r;
    const int rc = Run(id, p, r);
    if (rc != kRcOk) return rc;
    const int n = PQntuples(r.get());
    rows.reserve(rows.size() + size_t(n));
    for (int i = 0; i < n; ++i) rows.push_back({Int(r.get(), i, 0), uint64_t(Int(r.get(), i, 1)), Text(r.get(), i, 2)});
    return kRcOk;
  }

  // What every new connection needs: a wait for another writer's row lock
  // as long as the busy time-out (then kStatusLocked, as for a locked file),
  // and the statements.
  // A connection whose preparing broke off is prepared again from the start.
  int PrepareAll() {
    prepared_ = false;
    const String setup = "DEALLOCATE ALL; SET lock_timeout = " + std::to_string(std::max(1, options_.busyTimeoutMs));
    if (const int rc = Command(setup.c_str()); rc != kRcOk) return rc;
    for (int id = 0; id < kStmtCount; ++id) {
      const Result r(PQprepare(conn_, StmtName(id).c_str(), Sql()[size_t(id)].c_str(), 0, nullptr));
      if (const int rc = Check(r); rc != kRcOk) return rc;
    }
    prepared_ = true;
    return kRcOk;
  }

  // A statement with text parameters and binary results, for the few that
  // run once per connection.
  int Once(const String& sql, std::initializer_list<std::string_view> params, Result& r) {
    std::vector<const char*> values;
    std::vector<String> texts;
    texts.reserve(params.size());
    for (const std::string_view v : params) values.push_back(texts.emplace_back(v).c_str());
    r.reset(PQexecParams(conn_, sql.c_str(), int(values.size()), nullptr, values.data(), nullptr, nullptr, 1));
    return Check(r);
  }

  // A standby, or a database whose sessions are read-only by default, takes
  // no writes: say so once, at open, rather than on every write.
  int NoteReadOnly() {
    Result r;
    const int rc = Once("SELECT pg_is_in_recovery(), current_setting('default_transaction_read_only') = 'on'", {}, r);
    if (rc != kRcOk) return rc;
    if (PQntuples(r.get()) != 1) return kRcAnswer;
    if (*PQgetvalue(r.get(), 0, 0))
      readOnly_ = "The store server " + location_ + " is a standby in recovery and takes no writes";
    else if (*PQgetvalue(r.get(), 0, 1))
      readOnly_ = "The store database " + location_ + " is read-only (default_transaction_read_only is on)";
    return kRcOk;
  }

  // Lays out a new store, or checks the version of an existing one, and
  // brings the condition index in step with the families: one transaction
  // under a lock of this schema, so that processes opening it at once do
  // it once. `hr` and `error` are set for a schema that is no store or is
  // too new.
  int Layout(bool create, HRESULT& hr, String& error) {
    const bool writer = readOnly_.empty();
    int rc = Command(writer ? "BEGIN ISOLATION LEVEL READ COMMITTED" : "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    inTransaction_ = rc == kRcOk;
    Result r;
    if (rc == kRcOk && writer) rc = Command("SET LOCAL lock_timeout = 0");  // another opener may be filling the index
    if (rc == kRcOk && writer)
      rc = Once("SELECT pg_advisory_xact_lock(hashtext('orvacmn store'), hashtext(coalesce(current_schema(), '')))",
                {}, r);
    if (rc == kRcOk)
      rc = Once("SELECT current_schema() IS NULL, count(*) FILTER (WHERE tablename = 'meta'), count(*)"
                " FROM pg_tables WHERE schemaname = current_schema()",
                {}, r);
    if (rc == kRcOk && PQntuples(r.get()) != 1) rc = kRcAnswer;
    if (rc != kRcOk) return Finish(rc);
    const bool noSchema = *PQgetvalue(r.get(), 0, 0);
    const bool hasMeta = Int(r.get(), 0, 1) != 0, empty = Int(r.get(), 0, 2) == 0;
    int version = 0;
    if (noSchema || (!hasMeta && (!empty || !create || !writer))) {
      hr = kStatusNotAStore;
      error = noSchema ? "The database " + location_ + " has no schema to keep a store in (see its search_path)"
                       : "The database " + location_ + " holds no store" +
                             (empty && !create ? String(" (create it as a store first)") : String());
      return Finish(kRcRefused);
    }
    if (!hasMeta) {
      rc = Command(kSchema);
      if (rc == kRcOk) rc = Once("INSERT INTO meta(version) VALUES($1::integer)", {std::to_string(PgStore::kSchemaVersion)}, r);
      version = PgStore::kSchemaVersion;
    } else if ((rc = Once("SELECT max(version) FROM meta", {}, r)) == kRcOk) {
      version = PQntuples(r.get()) == 1 ? int(Int(r.get(), 0, 0)) : 0;
    }
    if (rc == kRcOk && version > PgStore::kSchemaVersion) {
      hr = kStatusSchemaTooNew;
      error = "The store " + location_ + " has schema version " + std::to_string(version) + "; this program reads version " +
              std::to_string(PgStore::kSchemaVersion) + " at most: use a newer program";
      return Finish(kRcRefused);
    }
    if (rc == kRcOk && version < 1) {
      hr = kStatusNotAStore;
      error = "The database " + location_ + " holds no store (its version is missing)";
      return Finish(kRcRefused);
    }
    // A user who may only read the tables reads the store, as a process
    // reads a file it cannot write.
    if (rc == kRcOk && writer &&
        (rc = Once("SELECT bool_and(has_table_privilege(t, p)) FROM unnest(ARRAY['records', 'client_keys', 'deleted',"
                   " 'record_conditions']) AS t, unnest(ARRAY['INSERT', 'UPDATE', 'DELETE']) AS p",
                   {}, r)) == kRcOk &&
        PQntuples(r.get()) == 1 && !*PQgetvalue(r.get(), 0, 0))
      readOnly_ = "The user " + String(PQuser(conn_)) + " may only read the store " + location_ +
                  " (it lacks INSERT, UPDATE or DELETE on its tables)";
    if (rc == kRcOk) rc = ReadIndexed();
    if (rc == kRcOk && readOnly_.empty() && indexed_ != WantedConditions()) rc = SyncConditions();
    return Finish(rc);
  }

  int ReadIndexed() {
    indexed_.clear();
    Result r;
    const int rc = Once("SELECT type, name FROM indexed_conditions ORDER BY type, name", {}, r);
    if (rc != kRcOk) return rc;
    for (int i = 0; i < PQntuples(r.get()); ++i) indexed_[uint32_t(Int(r.get(), i, 0))].push_back(Text(r.get(), i, 1));
    return kRcOk;
  }

  // Makes the index hold exactly the families' conditions: names no family
  // has any more are dropped, names a family gained are filled from the
  // stored records, a batch at a time.
  int SyncConditions() {
    Result r;
    const int rc = SyncConditionNames(
        indexed_,
        [&](uint32_t type, const String& name) {
          int rc = kRcOk;
          for (const char* table : {"record_conditions", "indexed_conditions"})
            if (rc == kRcOk)
              rc = Once(String("DELETE FROM ") + table + " WHERE type = $1::integer AND name = convert_to($2, 'UTF8')",
                        {std::to_string(type), name}, r);
          return rc;
        },
        [&](uint32_t type, const std::vector<String>& names) {
          int rc = Fill(type, names);
          for (const String& name : names)
            if (rc == kRcOk)
              rc = Once("INSERT INTO indexed_conditions(type, name) VALUES($1::integer, convert_to($2, 'UTF8'))",
                        {std::to_string(type), name}, r);
          return rc;
        });
    if (rc == kRcOk) indexed_ = WantedConditions();
    return rc;
  }

  // Adds the entries of `names` for every stored record of `type`; entries
  // already there are kept, so a fill that is repeated changes nothing.
  int Fill(uint32_t type, const std::vector<String>& names) {
    String after;
    for (;;) {
      Params p;
      p.Int4(int32_t(type)).Bytes(after).Int8(kFillBatch);
      Result batch(PQexecParams(conn_,
                                "SELECT id, key, data FROM records WHERE type = $1::integer AND key > $2::bytea"
                                " ORDER BY key LIMIT $3::bigint",
                                p.Count(), nullptr, p.Values(), p.Lengths(), p.Formats(), 1));
      if (const int rc = Check(batch); rc != kRcOk) return rc;
      const int n = PQntuples(batch.get());
      std::vector<int64_t> ids;
      std::vector<String> keys, entryNames, values;
      for (int i = 0; i < n; ++i) {
        const String key = Text(batch.get(), i, 1);
        for (auto& [name, value] : ConditionEntries(Text(batch.get(), i, 2), names)) {
          ids.push_back(Int(batch.get(), i, 0));
          keys.push_back(key);
          entryNames.push_back(std::move(name));
          values.push_back(std::move(value));
        }
      }
      if (!ids.empty()) {
        Params q;
        q.Int4(int32_t(type))
            .Array(kOidInt8, ids.size(),
                   [&](size_t i, String& out) {
                     const uint64_t be = htobe64(uint64_t(ids[i]));
                     out.assign(reinterpret_cast<const char*>(&be), 8);
                   })
            .Array(kOidBytea, keys.size(), [&](size_t i, String& out) { out = keys[i]; })
            .Array(kOidBytea, entryNames.size(), [&](size_t i, String& out) { out = entryNames[i]; })
            .Array(kOidBytea, values.size(), [&](size_t i, String& out) { out = values[i]; });
        Result put(PQexecParams(conn_,
                                "INSERT INTO record_conditions(type, name, value, key, id)"
                                " SELECT $1::integer, e.name, e.value, e.key, e.id"
                                " FROM unnest($2::bigint[], $3::bytea[], $4::bytea[], $5::bytea[]) AS e(id, key, name, value)"
                                " ON CONFLICT DO NOTHING",
                                q.Count(), nullptr, q.Values(), q.Lengths(), q.Formats(), 1));
        if (const int rc = Check(put); rc != kRcOk) return rc;
      }
      if (n < kFillBatch) return kRcOk;
      after = Text(batch.get(), n - 1, 1);
    }
  }

  const String connection_;
  const StoreOptions options_;
  PGconn* conn_ = nullptr;
  String location_;
  ConditionNames indexed_;
  String readOnly_;      // why writes fail, for a server that takes none; else empty
  String detail_;        // the server's or libpq's text of the last failure
  bool inTransaction_ = false;
  bool prepared_ = false;  // every statement is prepared on this connection
};

}  // namespace

std::unique_ptr<StoreBackend> OpenPgBackend(const String& connection, bool create, const StoreOptions& options,
                                            HRESULT& status, String& error) {
  auto backend = std::make_unique<PgBackend>(connection, options);
  status = backend->Open(create, error);
  if (FAILED(status)) return nullptr;
  return backend;
}

}  // namespace orvacmn::store
