#include "orvacmn_store/sqlite_store.h"

#include <sqlite3.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "orvacmn/persistence/record_families.h"
#include "record_text.h"
#include "store_backend.h"

namespace orvacmn::store {

namespace {

constexpr const char* kSchemaVersion1 =
    "CREATE TABLE records(id INTEGER PRIMARY KEY, type INTEGER NOT NULL, key BLOB NOT NULL,"
    " stamp INTEGER NOT NULL, data TEXT NOT NULL, UNIQUE(type, key));"
    "CREATE TABLE client_keys(kind INTEGER NOT NULL, value TEXT NOT NULL, id INTEGER NOT NULL,"
    " PRIMARY KEY(kind, value, id)) WITHOUT ROWID;"
    "CREATE INDEX client_keys_by_record ON client_keys(id);";
// Version 2 keeps the last stamp of every deleted client, so that a copy
// loaded before the delete is not saved back as if it were new.
constexpr const char* kUpgradeTo2 =
    "CREATE TABLE deleted(type INTEGER NOT NULL, key BLOB NOT NULL, stamp INTEGER NOT NULL,"
    " PRIMARY KEY(type, key)) WITHOUT ROWID;"
    "PRAGMA user_version = 2;";
// Version 3 keeps the list conditions of each family's records in an index,
// so that a filtered list is a search and never a walk over the whole type.
// `indexed_conditions` names what the index holds, so that a change of the
// families' conditions is caught up when a writer opens the file.
constexpr const char* kUpgradeTo3 =
    "CREATE TABLE record_conditions(type INTEGER NOT NULL, name TEXT NOT NULL, value TEXT NOT NULL,"
    " key BLOB NOT NULL, id INTEGER NOT NULL, PRIMARY KEY(type, name, value, key)) WITHOUT ROWID;"
    "CREATE INDEX record_conditions_by_record ON record_conditions(id);"
    "CREATE TABLE indexed_conditions(type INTEGER NOT NULL, name TEXT NOT NULL,"
    " PRIMARY KEY(type, name)) WITHOUT ROWID;"
    "PRAGMA user_version = 3;";
// Records read at a time while the index is filled.
constexpr int kFillBatch = 1000;

enum Stmt {
  kBegin,
  kBeginWrite,
  kCommit,
  kRollback,
  kFindRecord,
  kInsert,
  kUpdate,
  kDeleteKeys,
  kSelectKeys,
  kDeleteKey,
  kInsertKey,
  kDeleteRecord,
  kLoadExact,
  kLoadRange,
  kLoadByIndex,
  kFindDeleted,
  kPutDeleted,
  kDropDeleted,
  kSelectConditions,
  kDeleteCondition,
  kInsertCondition,
  kDeleteConditions,
  kFillRange,
  kScan,
  kStmtCount
};

constexpr std::array<const char*, kStmtCount> kSql = {
    "BEGIN",
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    "SELECT id, stamp FROM records WHERE type = ?1 AND key = ?2",
    "INSERT INTO records(type, key, stamp, data) VALUES(?1, ?2, ?3, ?4)",
    "UPDATE records SET stamp = ?2, data = ?3 WHERE id = ?1",
    "DELETE FROM client_keys WHERE id = ?1",
    "SELECT kind, value FROM client_keys WHERE id = ?1",
    "DELETE FROM client_keys WHERE kind = ?1 AND value = ?2 AND id = ?3",
    "INSERT OR IGNORE INTO client_keys(kind, value, id) VALUES(?1, ?2, ?3)",
    "DELETE FROM records WHERE id = ?1 RETURNING type, key, stamp",
    "SELECT id, stamp, data FROM records WHERE type = ?1 AND key = ?2",
    "SELECT id, stamp, data FROM records WHERE type = ?1 AND key >= ?2 AND key < ?3 ORDER BY key LIMIT ?4",
    "SELECT r.id, r.stamp, r.data FROM client_keys k JOIN records r ON r.id = k.id"
    " WHERE k.kind = ?1 AND k.value = ?2",
    "SELECT stamp FROM deleted WHERE type = ?1 AND key = ?2",
    "INSERT OR REPLACE INTO deleted(type, key, stamp) VALUES(?1, ?2, ?3)",
    "DELETE FROM deleted WHERE type = ?1 AND key = ?2",
    "SELECT name, value FROM record_conditions WHERE id = ?1",
    "DELETE FROM record_conditions WHERE type = ?1 AND name = ?2 AND value = ?3 AND key = ?4",
    "INSERT OR IGNORE INTO record_conditions(type, name, value, key, id) VALUES(?1, ?2, ?3, ?4, ?5)",
    "DELETE FROM record_conditions WHERE id = ?1",
    "SELECT id, key, data FROM records WHERE type = ?1 AND key > ?2 ORDER BY key LIMIT ?3",
    "SELECT type, key, stamp, data FROM records WHERE (type, key) > (?1, ?2) ORDER BY type, key LIMIT ?3",
};

// The list queries search indexes only: a walk over a table, or a sort of
// what was found, would grow with the store rather than with the answer.
// Checked when a debug build prepares them.
[[maybe_unused]] bool SearchesOnly(sqlite3* db, const String& sql) {
  sqlite3_stmt* s = nullptr;
  bool ok = sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &s, nullptr) == SQLITE_OK;
  while (ok && sqlite3_step(s) == SQLITE_ROW) {
    const auto* detail = reinterpret_cast<const char*>(sqlite3_column_text(s, 3));
    const std::string_view d(detail ? detail : "");
    ok = d.substr(0, 4) != "SCAN" && d.find("TEMP B-TREE") == std::string_view::npos;
  }
  sqlite3_finalize(s);
  return ok;
}

String FolderOf(const String& path) {
  const String folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? String(".") : folder;
}

// Why this process cannot write the store file at `path`, or empty.
String ReadOnlyCause(const String& path) {
  const String folder = FolderOf(path);
  struct statvfs fs;
  if (statvfs(path.c_str(), &fs) == 0 && (fs.f_flag & ST_RDONLY))
    return "The store file " + path + " lies on a read-only file system";
  if (access(path.c_str(), W_OK) != 0) return "The store file " + path + " is read-only or not writable by this user";
  if (access(folder.c_str(), W_OK) != 0)
    return "The folder " + folder + " of the store file " + path +
           " is not writable by this user; the store writes its journal files beside the file";
  return String();
}

// A read-only URI of the file: "?", "#" and "%" escaped.
String ReadOnlyUri(const String& path, bool immutable) {
  String uri = "file:";
  for (const char c : path) {
    if (c == '?' || c == '#' || c == '%') {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
      uri += hex;
    } else {
      uri += c;
    }
  }
  return uri + (immutable ? "?mode=ro&immutable=1" : "?mode=ro");
}

class SqliteBackend final : public StoreBackend {
 public:
  String path;
  StoreOptions options;
  sqlite3* db = nullptr;
  std::array<sqlite3_stmt*, kStmtCount> stmts{};
  // Why writes fail, for a store opened read-only; empty when it can write.
  String readOnly;
  // SQLite's text of the failure that a rollback is about to overwrite.
  mutable String lastDetail;
  // The conditions the file's index holds, by type; set when the file is opened.
  ConditionNames indexed;
  // The filtered list queries by their number of conditions.
  std::map<size_t, sqlite3_stmt*> filtered;

  ~SqliteBackend() override {
    for (sqlite3_stmt* s : stmts) sqlite3_finalize(s);
    for (const auto& [n, s] : filtered) sqlite3_finalize(s);
    sqlite3_close_v2(db);
  }

  // The status and readable text of an SQLite result code.
  HRESULT Fail(int rc, String& error) override { return Fail(rc, error, false); }
  HRESULT Fail(int rc, String& error, bool creating) const {
    String detail = std::exchange(lastDetail, String());
    if (detail.empty()) detail = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const bool exists = OFL::Tools::FileExists(path);
    switch (rc & 0xFF) {
      case SQLITE_CANTOPEN:
        if (!exists && creating) {
          error = "The store file " + path + " cannot be created (" + detail + ")";
          return kStatusPathMissing;
        }
        if (!exists) {
          error = "The store file " + path + " does not exist";
          return kStatusFileMissing;
        }
        error = "The store file " + path + " cannot be opened (" + detail + ")";
        return kStatusAccessDenied;
      case SQLITE_READONLY:
      case SQLITE_PERM:
      case SQLITE_AUTH:
        error = readOnly.empty()
                    ? "The store file " + path + " is read-only or not writable by this user (" + detail + ")"
                    : readOnly;
        return kStatusAccessDenied;
      case SQLITE_NOTADB:
      case SQLITE_CORRUPT:
        error = "The store file " + path + " is damaged or is no store file (" + detail + ")";
        return kStatusCorrupt;
      case SQLITE_FULL:
        error = "The disk is full: the store file " + path + " cannot grow (" + detail + ")";
        return kStatusDiskFull;
      case SQLITE_BUSY:
      case SQLITE_LOCKED:
        error = "The store file " + path + " is locked by another process; gave up after " +
                std::to_string(options.busyTimeoutMs) + " ms";
        return kStatusLocked;
      case SQLITE_IOERR:
        error = "Read or write error on the store file " + path + " (" + detail + ")";
        return kStatusIoError;
      case SQLITE_NOMEM:
        error = "Out of memory in the store";
        return E_OUTOFMEMORY;
      default:
        error = "Store error on " + path + ": " + detail;
        return E_FAIL;
    }
  }

  // Writes fail at once on a store opened read-only, naming the cause.
  HRESULT Writable(String& error) const override {
    if (readOnly.empty()) return S_OK;
    error = readOnly;
    return kStatusAccessDenied;
  }

  // A cached statement, reset and unbound when `Use` ends.
  class Use {
   public:
    Use(SqliteBackend& impl, Stmt id, int& rc) {
      sqlite3_stmt*& s = impl.stmts[id];
      rc = SQLITE_OK;
      if (!s) {
        rc = sqlite3_prepare_v3(impl.db, kSql[id], -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr);
        assert(rc != SQLITE_OK || (id != kLoadRange && id != kLoadExact) || SearchesOnly(impl.db, kSql[id]));
      }
      stmt_ = s;
    }
    explicit Use(sqlite3_stmt* s) : stmt_(s) {}
    ~Use() {
      if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
      }
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    sqlite3_stmt* operator*() const { return stmt_; }
    void Bind(int i, int64_t v) { sqlite3_bind_int64(stmt_, i, v); }
    void BindText(int i, std::string_view v) { sqlite3_bind_text(stmt_, i, v.data(), int(v.size()), SQLITE_STATIC); }
    void BindBlob(int i, std::string_view v) { sqlite3_bind_blob(stmt_, i, v.data(), int(v.size()), SQLITE_STATIC); }
    int Step() { return sqlite3_step(stmt_); }
    int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
    String Text(int col) const {
      const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
      return String(p ? p : "", size_t(sqlite3_column_bytes(stmt_, col)));
    }

   private:
    sqlite3_stmt* stmt_ = nullptr;
  };

  // Runs a statement without results.
  int Exec(Stmt id) {
    int rc = SQLITE_OK;
    Use s(*this, id, rc);
    if (rc != SQLITE_OK) return rc;
    rc = s.Step();
    return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
  }

  // Runs a statement bound to (type, key); `read` sees its row, if any.
  template <class Read>
  int ByTypeAndKey(Stmt id, uint32_t type, const String& key, Read read) {
    int rc = SQLITE_OK;
    Use s(*this, id, rc);
    if (rc != SQLITE_OK) return rc;
    s.Bind(1, type);
    s.BindBlob(2, key);
    rc = s.Step();
    if (rc == SQLITE_ROW) read(s);
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
  }

  // Ends a transaction: commit when `rc` is fine, else roll back. SQLITE_ABORT
  // stands for a write the rules refused, which leaves no SQLite text.
  int Finish(int rc) override {
    if (rc == SQLITE_OK && (rc = Exec(kCommit)) == SQLITE_OK) return rc;
    if (!sqlite3_get_autocommit(db)) {
      if (rc != SQLITE_ABORT) lastDetail = sqlite3_errmsg(db);
      Exec(kRollback);
    }
    return rc;
  }

  // Appends the rows of a query whose columns are (id, stamp, data).
  // `seen`, when given, drops the rows an earlier query of the same answer
  // found already.
  int Collect(Use& s, std::vector<Row>& rows) {
    for (;;) {
      const int rc = s.Step();
      if (rc == SQLITE_DONE) return SQLITE_OK;
      if (rc != SQLITE_ROW) return rc;
      rows.push_back({s.Int(0), uint64_t(s.Int(1)), s.Text(2)});
    }
  }

  // The records whose key is `prefix` or begins with its entries.
  int LoadRange(uint32_t type, const String& prefix, uint32_t limit, std::vector<Row>& rows) override {
    int rc = SQLITE_OK;
    Use s(*this, kLoadRange, rc);
    if (rc != SQLITE_OK) return rc;
    const String upper = prefix + '\xFF';  // no key byte is 0xFF: keys are UTF-8
    s.Bind(1, type);
    s.BindBlob(2, prefix);
    s.BindBlob(3, upper);
    s.Bind(4, limit ? int64_t(limit) : -1);
    return Collect(s, rows);
  }

  // The records whose key begins with `prefix` and that meet every one of
  // `conditions` (names and values in ASCII lower case, names the index
  // holds), in key order: the first condition's entries are walked in key
  // order, each further one is a lookup of the same key.
  int LoadFiltered(uint32_t type, const String& prefix, const std::vector<ConditionEntry>& conditions,
                   uint32_t limit, std::vector<Row>& rows) override {
    sqlite3_stmt*& stmt = filtered[conditions.size()];
    if (!stmt) {
      String from = "SELECT r.id, r.stamp, r.data FROM record_conditions c0";
      String where = " WHERE c0.type = ?1 AND c0.name = ?5 AND c0.value = ?6 AND c0.key >= ?2 AND c0.key < ?3";
      for (size_t k = 1; k < conditions.size(); ++k) {
        String c = "c";
        c += std::to_string(k);
        from += " CROSS JOIN record_conditions " + c;
        where += " AND " + c + ".type = ?1 AND " + c + ".name = ?" + std::to_string(5 + 2 * k) + " AND " + c +
                 ".value = ?" + std::to_string(6 + 2 * k) + " AND " + c + ".key = c0.key";
      }
      const String sql = from + " CROSS JOIN records r" + where + " AND r.id = c0.id ORDER BY c0.key LIMIT ?4";
      const int rc = sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
      if (rc != SQLITE_OK) return rc;
      assert(SearchesOnly(db, sql));
    }
    Use s(stmt);
    const String upper = prefix + '\xFF';
    s.Bind(1, type);
    s.BindBlob(2, prefix);
    s.BindBlob(3, upper);
    s.Bind(4, limit ? int64_t(limit) : -1);
    for (size_t k = 0; k < conditions.size(); ++k) {
      s.BindText(int(5 + 2 * k), conditions[k].first);
      s.BindText(int(6 + 2 * k), conditions[k].second);
    }
    return Collect(s, rows);
  }

  int LoadExact(uint32_t type, const String& key, std::vector<Row>& rows) override {
    int rc = SQLITE_OK;
    Use s(*this, kLoadExact, rc);
    if (rc != SQLITE_OK) return rc;
    s.Bind(1, type);
    s.BindBlob(2, key);
    return Collect(s, rows);
  }

  int LoadByIndex(int kind, const String& value, std::vector<Row>& rows) override {
    int rc = SQLITE_OK;
    Use s(*this, kLoadByIndex, rc);
    if (rc != SQLITE_OK) return rc;
    s.Bind(1, kind);
    s.BindText(2, value);
    return Collect(s, rows);
  }

  // The records a client key finds: by kind in kind order (every kind for

  const String& Location() const override { return path; }
  const ConditionNames& Indexed() const override { return indexed; }
  int BeginRead() override { return Exec(kBegin); }
  int BeginWrite() override { return Exec(kBeginWrite); }

  int Scan(uint32_t afterType, const String& afterKey, uint32_t count, std::vector<StoredRecord>& records) override {
    int rc = SQLITE_OK;
    Use s(*this, kScan, rc);
    if (rc != SQLITE_OK) return rc;
    s.Bind(1, afterType);
    s.BindBlob(2, afterKey);
    s.Bind(3, count);
    while ((rc = s.Step()) == SQLITE_ROW)
      records.push_back({uint32_t(s.Int(0)), s.Text(1), uint64_t(s.Int(2)), s.Text(3)});
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
  }

  int FindForWrite(uint32_t type, const String& key, bool wantDeleted, Stored& row) override {
    int rc = ByTypeAndKey(kFindRecord, type, key, [&](Use& s) {
      row.exists = true;
      row.id = s.Int(0);
      row.stamp = uint64_t(s.Int(1));
    });
    if (rc == SQLITE_OK && wantDeleted && !row.exists)
      rc = ByTypeAndKey(kFindDeleted, type, key, [&](Use& s) { row.deleted = uint64_t(s.Int(0)); });
    return rc;
  }

  // The row is known from FindForWrite: a plain update or insert needs no
  // statement journal inside the transaction, as an upsert would.
  int Insert(uint32_t type, const String& key, uint64_t stamp, const String& data, int64_t& id) override {
    const int rc = Run(kInsert, [&](Use& s) {
      s.Bind(1, type);
      s.BindBlob(2, key);
      s.Bind(3, int64_t(stamp));
      s.BindText(4, data);
    });
    id = sqlite3_last_insert_rowid(db);
    return rc;
  }

  int Update(int64_t id, uint64_t stamp, const String& data) override {
    return Run(kUpdate, [&](Use& s) {
      s.Bind(1, id);
      s.Bind(2, int64_t(stamp));
      s.BindText(3, data);
    });
  }

  int DropDeleted(uint32_t type, const String& key) override {
    return ByTypeAndKey(kDropDeleted, type, key, [](Use&) {});
  }

  int PutDeleted(uint32_t type, const String& key, uint64_t stamp) override {
    return Run(kPutDeleted, [&](Use& s) {
      s.Bind(1, type);
      s.BindBlob(2, key);
      s.Bind(3, int64_t(stamp));
    });
  }

  int Delete(int64_t id, uint32_t& type, String& key, uint64_t& stamp) override {
    int rc = SQLITE_OK;
    for (Stmt which : {kDeleteKeys, kDeleteConditions})
      if (rc == SQLITE_OK) rc = Run(which, [&](Use& s) { s.Bind(1, id); });
    if (rc != SQLITE_OK) return rc;
    Use del(*this, kDeleteRecord, rc);
    if (rc != SQLITE_OK) return rc;
    del.Bind(1, id);
    while ((rc = del.Step()) == SQLITE_ROW) {
      type = uint32_t(del.Int(0));
      key = del.Text(1);
      stamp = uint64_t(del.Int(2));
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
  }

  int ReadKeys(int64_t id, std::vector<KeyEntry>& entries) override {
    return ReadById(kSelectKeys, id, [&](Use& s) { entries.emplace_back(int(s.Int(0)), s.Text(1)); });
  }

  int ChangeKeys(int64_t id, const std::vector<KeyEntry>& remove, const std::vector<KeyEntry>& add) override {
    const auto bind = [id](Use& s, const KeyEntry& e) {
      s.Bind(1, e.first);
      s.BindText(2, e.second);
      s.Bind(3, id);
    };
    const int rc = ForEach(kDeleteKey, remove, bind);
    return rc == SQLITE_OK ? ForEach(kInsertKey, add, bind) : rc;
  }

  int ReadConditions(int64_t id, std::vector<ConditionEntry>& entries) override {
    return ReadById(kSelectConditions, id, [&](Use& s) { entries.emplace_back(s.Text(0), s.Text(1)); });
  }

  int ChangeConditions(uint32_t type, const String& key, int64_t id, const std::vector<ConditionEntry>& remove,
                       const std::vector<ConditionEntry>& add) override {
    const auto bind = [&](bool inserting) {
      return [&, inserting](Use& s, const ConditionEntry& e) {
        s.Bind(1, type);
        s.BindText(2, e.first);
        s.BindText(3, e.second);
        s.BindBlob(4, key);
        if (inserting) s.Bind(5, id);
      };
    };
    const int rc = ForEach(kDeleteCondition, remove, bind(false));
    return rc == SQLITE_OK ? ForEach(kInsertCondition, add, bind(true)) : rc;
  }

  // Runs statement `id` once, bound by `bind`, ignoring its rows.
  template <class Bind>
  int Run(Stmt id, Bind bind) {
    int rc = SQLITE_OK;
    Use s(*this, id, rc);
    if (rc != SQLITE_OK) return rc;
    bind(s);
    rc = s.Step();
    return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
  }

  // Runs statement `id` once for each of `entries`.
  template <class Entry, class Bind>
  int ForEach(Stmt id, const std::vector<Entry>& entries, Bind bind) {
    if (entries.empty()) return SQLITE_OK;
    int rc = SQLITE_OK;
    Use s(*this, id, rc);
    if (rc != SQLITE_OK) return rc;
    for (const Entry& entry : entries) {
      bind(s, entry);
      if ((rc = s.Step()) != SQLITE_DONE) return rc;
      sqlite3_reset(*s);
    }
    return SQLITE_OK;
  }

  // The rows of statement `which` for record `id`, each given to `read`.
  template <class Read>
  int ReadById(Stmt which, int64_t id, Read read) {
    int rc = SQLITE_OK;
    Use s(*this, which, rc);
    if (rc != SQLITE_OK) return rc;
    s.Bind(1, id);
    while ((rc = s.Step()) == SQLITE_ROW) read(s);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
  }

  // Runs `sql`, waiting out other processes' locks up to the busy time-out:
  // SQLite does not wait on its own when it changes the journal mode.
  int ExecPatiently(const char* sql) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.busyTimeoutMs);
    for (int pause = 1;; pause = std::min(pause * 2, 50)) {
      const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
      if (((rc & 0xFF) != SQLITE_BUSY && (rc & 0xFF) != SQLITE_LOCKED) || std::chrono::steady_clock::now() >= until)
        return rc;
      std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    }
  }

  int UserVersion(int& version) {
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &s, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(s) == SQLITE_ROW ? SQLITE_OK : sqlite3_errcode(db);
    if (rc == SQLITE_OK) version = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    return rc;
  }

  // Runs one statement of `sql` with `bind`'s arguments, ignoring its rows.
  int RunOnce(const char* sql, const std::function<void(sqlite3_stmt*)>& bind) {
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
    if (rc == SQLITE_OK) {
      bind(s);
      while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
      }
      rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
    }
    sqlite3_finalize(s);
    return rc;
  }

  // The condition names the file's index holds.
  int ReadIndexed(ConditionNames& names) {
    names.clear();
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT type, name FROM indexed_conditions ORDER BY type, name", -1, &s, nullptr);
    if (rc == SQLITE_OK) {
      while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        if (const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(s, 1)))
          names[uint32_t(sqlite3_column_int64(s, 0))].emplace_back(name);
      if (rc == SQLITE_DONE) rc = SQLITE_OK;
    }
    sqlite3_finalize(s);
    return rc;
  }

  // Adds the entries of `names` for every stored record of `type`, reading
  // the records a batch at a time. Entries already there are kept, so a
  // fill that is repeated changes nothing.
  int Fill(uint32_t type, const std::vector<String>& names) {
    struct Item {
      int64_t id;
      String key, data;
    };
    String after;
    for (;;) {
      std::vector<Item> batch;
      int rc = SQLITE_OK;
      {
        Use s(*this, kFillRange, rc);
        if (rc != SQLITE_OK) return rc;
        s.Bind(1, type);
        s.BindBlob(2, after);
        s.Bind(3, kFillBatch);
        while ((rc = s.Step()) == SQLITE_ROW) batch.push_back({s.Int(0), s.Text(1), s.Text(2)});
        if (rc != SQLITE_DONE) return rc;
      }
      Use put(*this, kInsertCondition, rc);
      if (rc != SQLITE_OK) return rc;
      for (const Item& item : batch) {
        for (const auto& [name, value] : ConditionEntries(item.data, names)) {
          put.Bind(1, type);
          put.BindText(2, name);
          put.BindText(3, value);
          put.BindBlob(4, item.key);
          put.Bind(5, item.id);
          if ((rc = put.Step()) != SQLITE_DONE) return rc;
          sqlite3_reset(*put);
        }
      }
      if (batch.size() < size_t(kFillBatch)) return SQLITE_OK;
      after = batch.back().key;
    }
  }

  // Inside a write transaction: makes the index hold exactly the families'
  // conditions, filling names it lacks and dropping names no family has.
  int SyncConditions() {
    ConditionNames have;
    int rc = ReadIndexed(have);
    const auto bind = [](uint32_t type, const String& name) {
      return [type, &name](sqlite3_stmt* s) {
        sqlite3_bind_int64(s, 1, type);
        sqlite3_bind_text(s, 2, name.data(), int(name.size()), SQLITE_STATIC);
      };
    };
    if (rc == SQLITE_OK)
      rc = SyncConditionNames(
          have,
          [&](uint32_t type, const String& name) {
            int rc = RunOnce("DELETE FROM record_conditions WHERE type = ?1 AND name = ?2", bind(type, name));
            if (rc == SQLITE_OK) rc = RunOnce("DELETE FROM indexed_conditions WHERE type = ?1 AND name = ?2", bind(type, name));
            return rc;
          },
          [&](uint32_t type, const std::vector<String>& names) {
            int rc = Fill(type, names);
            for (const String& name : names)
              if (rc == SQLITE_OK) rc = RunOnce("INSERT INTO indexed_conditions(type, name) VALUES(?1, ?2)", bind(type, name));
            return rc;
          });
    if (rc == SQLITE_OK) indexed = WantedConditions();
    return rc;
  }

  // Reads what the index of a file of `version` holds; a writer first
  // catches it up with the families' conditions under the writer's lock.
  int OpenIndex(int version, bool readOnly) {
    if (version < 3) return SQLITE_OK;  // a file read as it is: lists check each record
    int rc = ReadIndexed(indexed);
    if (rc != SQLITE_OK || readOnly || indexed == WantedConditions()) return rc;
    rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = SyncConditions();
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK && !sqlite3_get_autocommit(db)) {
      lastDetail = sqlite3_errmsg(db);
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return rc;
  }

  // Lays out a new store, or brings an older one to this version, under the
  // writer's lock, so that processes opening the file at once do it once.
  // `error` is set for a database that is no store.
  int Upgrade(bool create, int& version, String& error) {
    int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = UserVersion(version);
    if (rc == SQLITE_OK && version == 0) {
      sqlite3_stmt* s = nullptr;
      rc = sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &s, nullptr);
      const bool empty = rc == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW && sqlite3_column_int(s, 0) == 0;
      sqlite3_finalize(s);
      if (rc == SQLITE_OK && (!empty || !create)) {
        error = "The file " + path + " is a database but no store file" +
                (empty ? String(" (create it as a store first)") : String());
        rc = SQLITE_ABORT;
      }
      if (rc == SQLITE_OK) rc = sqlite3_exec(db, kSchemaVersion1, nullptr, nullptr, nullptr);
      if (rc == SQLITE_OK) version = 1;
    }
    if (rc == SQLITE_OK && version == 1 && (rc = sqlite3_exec(db, kUpgradeTo2, nullptr, nullptr, nullptr)) == SQLITE_OK)
      version = 2;
    if (rc == SQLITE_OK && version == 2 && (rc = sqlite3_exec(db, kUpgradeTo3, nullptr, nullptr, nullptr)) == SQLITE_OK &&
        (rc = SyncConditions()) == SQLITE_OK)
      version = 3;
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
      if (rc != SQLITE_ABORT) lastDetail = sqlite3_errmsg(db);
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return rc;
  }
};

}  // namespace

const String& SqliteStore::GetPath() const { return GetLocation(); }

std::shared_ptr<SqliteStore> SqliteStore::Open(const String& path, bool create, String* error,
                                               const StoreOptions& options, HRESULT* status) {
  auto impl = std::make_unique<SqliteBackend>();
  impl->path = path;
  impl->options = options;
  String text;
  const auto fail = [&](HRESULT h, const String& t) {
    if (error) *error = t;
    if (status) *status = h;
    return nullptr;
  };
  const bool exists = OFL::Tools::FileExists(path);
  if (!create && !exists) return fail(kStatusFileMissing, "The store file " + path + " does not exist");
  // A store this process cannot write is opened for reading. In a read-only
  // folder without a shared-memory file beside it, which it cannot take, it
  // is read as unchanging; a write-ahead log there would then be missed.
  if (exists) impl->readOnly = ReadOnlyCause(path);
  const bool readOnly = !impl->readOnly.empty();
  const bool immutable =
      readOnly && access(FolderOf(path).c_str(), W_OK) != 0 && !OFL::Tools::FileExists(path + "-shm");
  if (immutable && std::filesystem::exists(path + "-wal") && std::filesystem::file_size(path + "-wal") > 0)
    return fail(kStatusAccessDenied, impl->readOnly + "; its write-ahead log " + path +
                                         "-wal cannot be read without a shared-memory file beside it");
  const int rc0 = readOnly ? sqlite3_open_v2(ReadOnlyUri(path, immutable).c_str(), &impl->db,
                                             SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr)
                           : sqlite3_open_v2(path.c_str(), &impl->db,
                                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX |
                                                 (create ? SQLITE_OPEN_CREATE : 0),
                                             nullptr);
  if (rc0 != SQLITE_OK) return fail(impl->Fail(rc0, text, create), text);
  sqlite3_extended_result_codes(impl->db, 1);
  sqlite3_busy_timeout(impl->db, options.busyTimeoutMs);

  int version = 0;
  int rc = impl->UserVersion(version);
  if (rc == SQLITE_OK && version < kSchemaVersion && !readOnly) rc = impl->Upgrade(create, version, text);
  if (rc == SQLITE_ABORT) return fail(kStatusNotAStore, text);
  if (rc == SQLITE_OK && version == 0) return fail(kStatusNotAStore, "The file " + path + " is no store file");
  if (rc == SQLITE_OK && !readOnly) rc = impl->ExecPatiently("PRAGMA journal_mode = WAL");
  if (rc != SQLITE_OK) return fail(impl->Fail(rc, text), text);
  if (version > kSchemaVersion) {
    return fail(kStatusSchemaTooNew, "The store file " + path + " has schema version " + std::to_string(version) +
                                         "; this program reads version " + std::to_string(kSchemaVersion) +
                                         " at most: use a newer program");
  }
  const auto exec = [&](const String& sql) { return sqlite3_exec(impl->db, sql.c_str(), nullptr, nullptr, nullptr); };
  rc = impl->OpenIndex(version, readOnly);
  if (rc != SQLITE_OK) return fail(impl->Fail(rc, text), text);
  rc = exec(options.durable ? "PRAGMA synchronous = FULL" : "PRAGMA synchronous = NORMAL");
  if (rc == SQLITE_OK) rc = exec("PRAGMA cache_size = -32768");
  if (rc == SQLITE_OK && options.maxPages) rc = exec("PRAGMA max_page_count = " + std::to_string(options.maxPages));
  if (rc != SQLITE_OK) return fail(impl->Fail(rc, text), text);
  if (status) *status = S_OK;
  return std::shared_ptr<SqliteStore>(new SqliteStore(std::move(impl)));
}

}  // namespace orvacmn::store
