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

namespace orvacmn::store {

namespace {

// FileTime of 1970-01-01 00:00 UTC.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

uint64_t NowAsFileTime() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  return kUnixEpochAsFileTime + uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100);
}

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
// Conditions of one list met through the index (a family names at most
// three); any more are checked on each record found.
constexpr size_t kMaxIndexedConditions = 3;
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
};

// The condition names of each family, ASCII lower case and sorted: what the
// index of a writable file holds.
using ConditionNames = std::map<uint32_t, std::vector<String>>;
ConditionNames WantedConditions() {
  ConditionNames wanted;
  for (const RecordFamily& family : kRecordFamilies) {
    if (family.policy != RecordKeyPolicy::kFields) continue;
    for (const std::string_view name : family.conditions) {
      if (name.empty()) continue;
      std::vector<String>& names = wanted[family.type];
      String lower = OFL::ToLower(name);
      if (std::find(names.begin(), names.end(), lower) == names.end()) names.push_back(std::move(lower));
    }
  }
  for (auto& [type, names] : wanted) std::sort(names.begin(), names.end());
  return wanted;
}

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

// The UTF-8 text of each argument. False, with `error`, for UTF-16 holding an
// unpaired surrogate: it has no UTF-8 form, and a replacement character
// would change the text without a word.
bool ReadArgs(std::initializer_list<std::pair<BSTR, String*>> args, String& error) {
  for (const auto& [text, out] : args) {
    const std::u16string_view v(text ? text : u"", SysStringLen(text));
    for (size_t i = 0; i < v.size(); ++i) {
      if (v[i] < 0xD800 || v[i] > 0xDFFF) continue;
      if (v[i] <= 0xDBFF && i + 1 < v.size() && v[i + 1] >= 0xDC00 && v[i + 1] <= 0xDFFF) {
        ++i;
        continue;
      }
      error = "The text holds an unpaired UTF-16 surrogate at position " + std::to_string(i) +
              "; the store keeps only texts it can give back unchanged";
      return false;
    }
    *out = OFL::FromUtf16(v);
  }
  return true;
}

// The key's entries for messages: "a, b, *".
String Readable(const String& packed) {
  OFLTokenizer entries;
  if (!entries.FromLengthPackedString(packed)) return packed;
  return entries.AsString(", ");
}

// Clients are found by any of their identities through the index; every
// other family by the values of its key fields.
bool KeyedByIdentities(uint32_t type) {
  return StoreFamilyOf(type).policy == RecordKeyPolicy::kClientIdentities;
}

HRESULT Answer(HRESULT hr, const String& text, BSTR* result) {
  if (result) *result = text.empty() ? nullptr : OFL::AllocBstr(text);
  return hr;
}

// The length-packed list of `texts` (lengths in UTF-8 bytes) in the UTF-16
// of the interface, widened straight into the answer: a list of many
// records is not first joined and then copied again. Null when empty.
BSTR PackedList(const std::vector<String>& texts) {
  if (texts.empty()) return nullptr;
  const auto ascii = [](const String& t) {
    unsigned bits = 0;  // no early exit: the loop vectorizes
    for (const char c : t) bits |= static_cast<unsigned char>(c);
    return bits < 0x80;
  };
  std::vector<std::u16string> wide(texts.size());  // of the texts that are not ASCII
  size_t units = 0;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (!ascii(texts[i])) wide[i] = OFL::ToUtf16(texts[i]);
    units += std::to_string(texts[i].size()).size() + 1 + (wide[i].empty() ? texts[i].size() : wide[i].size());
  }
  BSTR out = SysAllocStringLen(nullptr, units);
  if (out == nullptr) return nullptr;
  char16_t* w = out;
  for (size_t i = 0; i < texts.size(); ++i) {
    for (const char c : std::to_string(texts[i].size())) *w++ = char16_t(c);
    *w++ = u':';
    if (!wide[i].empty()) w = std::copy(wide[i].begin(), wide[i].end(), w);
    else for (const char c : texts[i]) *w++ = char16_t(static_cast<unsigned char>(c));
  }
  return out;
}

// "GUID", or "Vendor, Name and Version".
String KeyFieldNames(const RecordFamily& family) {
  String names;
  const int n = family.KeyFieldCount();
  for (int i = 0; i < n; ++i) {
    if (i > 0) names += i + 1 == n ? " and " : ", ";
    names += family.keyFields[size_t(i)];
  }
  return names;
}

// A record's stamp rises with every write, and past its deletion: the clock,
// or one more than the last stamp when the clock has not moved on.
uint64_t NextStamp(uint64_t last) {
  const uint64_t now = NowAsFileTime();
  return last >= now ? last + 1 : now;
}

struct Row {
  int64_t id;
  uint64_t stamp;
  String data;
};

enum class Mode { kSave, kUpdate, kCreate };

// The row a write finds under its key.
struct Stored {
  bool exists = false;
  int64_t id = 0;
  uint64_t stamp = 0;
  uint64_t deleted = 0;  // no row: the last stamp of a client deleted under the key, or 0
};

// S_OK when a write may go ahead, else the status with its text in `out`.
// `given` is the stored version a client record names in its "TimeStamp" (0
// for none, and for the other types, whose records carry no stamp): a save
// replaces only the version it names, and brings back no record deleted
// after that version. Updates and creates name no version.
HRESULT Refusal(uint32_t type, const String& key, Mode mode, const Stored& row, uint64_t given, String& out) {
  const auto what = [&] { return "Record [" + Readable(key) + "] of type " + std::to_string(type); };
  if (mode == Mode::kUpdate && !row.exists) {
    out = what() + " not found";
    return kStatusNotFound;
  }
  if (mode == Mode::kCreate && row.exists) {
    out = what() + " already exists";
    return kStatusExists;
  }
  if (mode != Mode::kSave || given == 0) return S_OK;
  if (row.exists && given != row.stamp) {
    out = what() + " was changed by someone else since it was loaded, or was never loaded (the text names version " +
          FormatStamp(given) + ", the stored version is " + FormatStamp(row.stamp) +
          "); load it again and repeat the change";
    return kStatusStale;
  }
  if (!row.exists && given <= row.deleted) {
    out = what() + " was deleted by someone else since it was loaded (the text names version " + FormatStamp(given) +
          ", deleted at " + FormatStamp(row.deleted) + ")";
    return kStatusNotFound;
  }
  return S_OK;
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

}  // namespace

struct SqliteStore::Impl {
  String path;
  StoreOptions options;
  sqlite3* db = nullptr;
  std::array<sqlite3_stmt*, kStmtCount> stmts{};
  std::mutex mutex;
  // Why writes fail, for a store opened read-only; empty when it can write.
  String readOnly;
  // SQLite's text of the failure that a rollback is about to overwrite.
  mutable String lastDetail;
  // The actions of SetRecordAction by (type, name in lower case).
  std::map<std::pair<uint32_t, String>, RecordAction> actions;
  // The conditions the file's index holds, by type; set when the file is opened.
  ConditionNames indexed;
  // The filtered list queries by their number of conditions.
  std::map<size_t, sqlite3_stmt*> filtered;

  ~Impl() {
    for (sqlite3_stmt* s : stmts) sqlite3_finalize(s);
    for (const auto& [n, s] : filtered) sqlite3_finalize(s);
    sqlite3_close_v2(db);
  }

  // The status and readable text of an SQLite result code.
  HRESULT Fail(int rc, String& error, bool creating = false) const {
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
  HRESULT Writable(String& error) const {
    if (readOnly.empty()) return S_OK;
    error = readOnly;
    return kStatusAccessDenied;
  }

  // A cached statement, reset and unbound when `Use` ends.
  class Use {
   public:
    Use(Impl& impl, Stmt id, int& rc) {
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
  int Finish(int rc) {
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
  int Collect(Use& s, std::vector<Row>& rows, std::unordered_set<int64_t>* seen) {
    for (;;) {
      const int rc = s.Step();
      if (rc == SQLITE_DONE) return SQLITE_OK;
      if (rc != SQLITE_ROW) return rc;
      const int64_t id = s.Int(0);
      if (!seen || seen->insert(id).second) rows.push_back({id, uint64_t(s.Int(1)), s.Text(2)});
    }
  }

  // The records whose key is `prefix` or begins with its entries.
  int LoadRange(uint32_t type, const String& prefix, uint32_t limit, std::vector<Row>& rows,
                std::unordered_set<int64_t>* seen = nullptr) {
    int rc = SQLITE_OK;
    Use s(*this, kLoadRange, rc);
    if (rc != SQLITE_OK) return rc;
    const String upper = prefix + '\xFF';  // no key byte is 0xFF: keys are UTF-8
    s.Bind(1, type);
    s.BindBlob(2, prefix);
    s.BindBlob(3, upper);
    s.Bind(4, limit ? int64_t(limit) : -1);
    return Collect(s, rows, seen);
  }

  // The records whose key begins with `prefix` and that meet every one of
  // `conditions` (names and values in ASCII lower case, names the index
  // holds), in key order: the first condition's entries are walked in key
  // order, each further one is a lookup of the same key.
  int LoadFiltered(uint32_t type, const String& prefix, const std::vector<std::pair<String, String>>& conditions,
                   uint32_t limit, std::vector<Row>& rows) {
    sqlite3_stmt*& stmt = filtered[conditions.size()];
    if (!stmt) {
      String from = "SELECT r.id, r.stamp, r.data FROM record_conditions c0";
      String where = " WHERE c0.type = ?1 AND c0.name = ?5 AND c0.value = ?6 AND c0.key >= ?2 AND c0.key < ?3";
      for (size_t k = 1; k < conditions.size(); ++k) {
        const String c = "c" + std::to_string(k);
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
    return Collect(s, rows, nullptr);
  }

  int LoadExact(uint32_t type, const String& key, std::vector<Row>& rows,
                std::unordered_set<int64_t>* seen = nullptr) {
    int rc = SQLITE_OK;
    Use s(*this, kLoadExact, rc);
    if (rc != SQLITE_OK) return rc;
    s.Bind(1, type);
    s.BindBlob(2, key);
    return Collect(s, rows, seen);
  }

  int LoadByIndex(int kind, const String& value, std::vector<Row>& rows, std::unordered_set<int64_t>* seen) {
    int rc = SQLITE_OK;
    Use s(*this, kLoadByIndex, rc);
    if (rc != SQLITE_OK) return rc;
    s.Bind(1, kind);
    s.BindText(2, value);
    return Collect(s, rows, seen);
  }

  // The records a client key finds: by kind in kind order (every kind for
  // "*"), by value in the order of the values.
  int FindClients(const ClientKey& key, uint32_t limit, std::vector<Row>& rows) {
    if (key.all) return LoadRange(kClientType, String(), limit, rows);
    std::unordered_set<int64_t> seen;
    for (int kind = eKindGuid; kind <= eKindFqdn; ++kind) {
      if (key.kind != eKindAny && key.kind != kind) continue;
      for (const String& value : LookupValues(kind, key.value)) {
        const int rc = kind == eKindGuid ? LoadExact(kClientType, MakeRecordKey({value}), rows, &seen)
                                         : LoadByIndex(kind, value, rows, &seen);
        if (rc != SQLITE_OK) return rc;
      }
    }
    return SQLITE_OK;
  }

  // Brings the entries of record `id` in one of its indexes in step with
  // `wanted`: `select` reads the stored ones (`read` makes one of a row),
  // `bind` binds one to `remove` or `insert`. Entries that stay are not
  // written again.
  template <class Entry, class Read, class BindEntry>
  int SyncEntries(int64_t id, bool existed, std::vector<Entry> wanted, Stmt select, Stmt remove, Stmt insert,
                  Read read, BindEntry bind) {
    std::vector<Entry> stale;
    int rc = SQLITE_OK;
    if (existed) {
      Use sel(*this, select, rc);
      if (rc != SQLITE_OK) return rc;
      sel.Bind(1, id);
      while ((rc = sel.Step()) == SQLITE_ROW) {
        Entry entry = read(sel);
        const auto at = std::find(wanted.begin(), wanted.end(), entry);
        if (at != wanted.end()) wanted.erase(at);
        else stale.push_back(std::move(entry));
      }
      if (rc != SQLITE_DONE) return rc;
    }
    for (Stmt which : {remove, insert}) {
      Use s(*this, which, rc);
      if (rc != SQLITE_OK) return rc;
      for (const Entry& entry : which == remove ? stale : wanted) {
        bind(s, entry, which == insert);
        if ((rc = s.Step()) != SQLITE_DONE) return rc;
        sqlite3_reset(*s);
      }
    }
    return SQLITE_OK;
  }

  // The client index of record `id`. Most saves keep a client's identity,
  // and then write no index page at all.
  int ReplaceIndex(int64_t id, const ClientFields& fields, bool existed) {
    std::vector<std::pair<int, String>> wanted = IndexEntries(fields);
    std::erase_if(wanted, [](const auto& e) { return e.first == eKindGuid; });  // the record's own key
    return SyncEntries(
        id, existed, std::move(wanted), kSelectKeys, kDeleteKey, kInsertKey,
        [](Use& s) { return std::pair<int, String>(int(s.Int(0)), s.Text(1)); },
        [id](Use& s, const std::pair<int, String>& e, bool) {
          s.Bind(1, e.first);
          s.BindText(2, e.second);
          s.Bind(3, id);
        });
  }

  // The condition entries of record `id`, from its text.
  int ReplaceConditions(uint32_t type, const String& key, int64_t id, const String& text, bool existed) {
    const auto names = indexed.find(type);
    if (names == indexed.end()) return SQLITE_OK;
    return SyncEntries(
        id, existed, ConditionEntries(text, names->second), kSelectConditions, kDeleteCondition, kInsertCondition,
        [](Use& s) { return std::pair<String, String>(s.Text(0), s.Text(1)); },
        [&](Use& s, const std::pair<String, String>& e, bool inserting) {
          s.Bind(1, type);
          s.BindText(2, e.first);
          s.BindText(3, e.second);
          s.BindBlob(4, key);
          if (inserting) s.Bind(5, id);
        });
  }

  // Deletes record `id` with its index entries; a client leaves the stamp of
  // its deletion behind, so that no copy loaded before is saved back.
  int DeleteById(int64_t id) {
    int rc = SQLITE_OK;
    for (Stmt which : {kDeleteKeys, kDeleteConditions}) {
      Use del(*this, which, rc);
      if (rc != SQLITE_OK) return rc;
      del.Bind(1, id);
      if ((rc = del.Step()) != SQLITE_DONE) return rc;
    }
    uint32_t type = 0;
    String key;
    uint64_t stamp = 0;
    {
      Use del(*this, kDeleteRecord, rc);
      if (rc != SQLITE_OK) return rc;
      del.Bind(1, id);
      while ((rc = del.Step()) == SQLITE_ROW) {
        type = uint32_t(del.Int(0));
        key = del.Text(1);
        stamp = uint64_t(del.Int(2));
      }
      if (rc != SQLITE_DONE) return rc;
    }
    if (!KeyedByIdentities(type)) return SQLITE_OK;
    Use put(*this, kPutDeleted, rc);
    if (rc != SQLITE_OK) return rc;
    put.Bind(1, type);
    put.BindBlob(2, key);
    put.Bind(3, int64_t(NextStamp(stamp)));
    rc = put.Step();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
  }

  // A save, update or create inside an open write transaction: SQLite's
  // result, with `refused` and `out` set when the rules refuse it. Only a
  // client's text carries its stamp ("TimeStamp" is the client's change
  // stamp); every other record is kept exactly as written. `stored`, when
  // given, receives the text as stored.
  int WriteRow(uint32_t type, const String& key, const String& text, Mode mode, const ClientFields* fields,
               HRESULT& refused, String& out, uint64_t& stamp, String* stored = nullptr) {
    const bool client = fields != nullptr;
    Stored row;
    int rc = ByTypeAndKey(kFindRecord, type, key, [&](Use& s) {
      row.exists = true;
      row.id = s.Int(0);
      row.stamp = uint64_t(s.Int(1));
    });
    if (rc == SQLITE_OK && client && !row.exists)
      rc = ByTypeAndKey(kFindDeleted, type, key, [&](Use& s) { row.deleted = uint64_t(s.Int(0)); });
    if (rc != SQLITE_OK) return rc;
    refused = Refusal(type, key, mode, row, client ? RecordStamp(text) : 0, out);
    if (refused != S_OK) return SQLITE_ABORT;
    stamp = NextStamp(row.exists ? row.stamp : row.deleted);
    String stamped;
    const String& data = client ? (stamped = WithStamp(text, stamp)) : text;
    {
      // The row is known from the lookup above: a plain update or insert
      // needs no statement journal inside the transaction, as an upsert would.
      Use put(*this, row.exists ? kUpdate : kInsert, rc);
      if (rc != SQLITE_OK) return rc;
      if (row.exists) {
        put.Bind(1, row.id);
        put.Bind(2, int64_t(stamp));
        put.BindText(3, data);
      } else {
        put.Bind(1, type);
        put.BindBlob(2, key);
        put.Bind(3, int64_t(stamp));
        put.BindText(4, data);
      }
      if ((rc = put.Step()) != SQLITE_DONE) return rc;
    }
    if (!row.exists) row.id = sqlite3_last_insert_rowid(db);
    rc = row.deleted ? ByTypeAndKey(kDropDeleted, type, key, [](Use&) {}) : SQLITE_OK;
    if (rc == SQLITE_OK && client) rc = ReplaceIndex(row.id, *fields, row.exists);
    if (rc == SQLITE_OK) rc = ReplaceConditions(type, key, row.id, data, row.exists);
    if (rc == SQLITE_OK && stored) *stored = data;
    return rc;
  }

  // One write in its own transaction; the answer is the stamp bag.
  HRESULT Write(uint32_t type, const String& key, const String& text, Mode mode, const ClientFields* fields,
                String& out) {
    HRESULT refused = S_OK;
    uint64_t stamp = 0;
    int rc = Exec(kBeginWrite);
    if (rc == SQLITE_OK) rc = WriteRow(type, key, text, mode, fields, refused, out, stamp);
    rc = Finish(rc);
    if (refused != S_OK) return refused;
    if (rc != SQLITE_OK) return Fail(rc, out);
    out = PackBag({{kPropertyObjectTimestamp, std::to_string(stamp)}});
    return S_OK;
  }

  // The store key of a client record and its index fields. `packed` is the
  // caller's key, which must name the record's GUID; without one (a create)
  // the record is keyed by its own GUID.
  static HRESULT ClientRecordKey(const String* packed, const String& text, String& key, ClientFields& fields,
                                 String& error) {
    if (!ReadClientFields(text, fields, error)) return E_INVALIDARG;
    String guid = fields.guid;
    if (packed) {
      ClientKey k;
      if (!ParseClientKey(*packed, k, error)) return E_INVALIDARG;
      if (k.kind != eKindGuid || k.all) {
        error = "Client records are written under their GUID (key kind 1)";
        return E_INVALIDARG;
      }
      guid = k.value;
    }
    const std::vector<String> named = LookupValues(eKindGuid, guid), own = LookupValues(eKindGuid, fields.guid);
    if (named.empty()) {
      error = "The record has no GUID to be keyed by";
      return E_INVALIDARG;
    }
    if (!own.empty() && own[0] != named[0]) {
      error = "The key GUID [" + guid + "] differs from the record's GUID [" + fields.guid + "]";
      return E_INVALIDARG;
    }
    key = MakeRecordKey({named[0]});
    return S_OK;
  }

  // The store key of any other record: the caller's values before a "*", or
  // without a key (a create) the values of the family's key fields in the
  // record.
  static HRESULT GenericRecordKey(uint32_t type, const String* packed, const String& text, String& key,
                                  String& error) {
    String own;
    if (!packed && StoreFamilyOf(type).policy == RecordKeyPolicy::kDeviceIds) {
      // Keyed by the ids of its device string, which may hold escaped "&".
      String values[2];
      for (int i = 0; i < 2; ++i) {
        ChildSpan span;
        if (FindRootChild(text, StoreFamilyOf(type).keyFields[size_t(i)], span) && span.found && !span.selfClosing)
          values[i] = OFLXMLParser::UnescapeText(
              OFL::Trim(text.substr(span.contentBegin, span.contentEnd - span.contentBegin)));
      }
      if (!values[0].empty() || !values[1].empty()) own = DeviceRecordKey(values[0], values[1]);
    } else if (!packed) {
      const RecordFamily& family = StoreFamilyOf(type);
      bool any = false;
      for (int i = 0; i < family.KeyFieldCount(); ++i) {
        ChildSpan span;
        String value;
        std::string_view scope = text, field = family.keyFields[size_t(i)];
        // "Outer/Inner": the key of an embedded object, Inner within the root's child Outer.
        for (size_t slash; !scope.empty() && (slash = field.find('/')) != std::string_view::npos;
             field = field.substr(slash + 1)) {
          const bool inner = FindRootChild(scope, field.substr(0, slash), span) && span.found && !span.selfClosing;
          scope = inner ? scope.substr(span.tagBegin, span.tagEnd - span.tagBegin) : std::string_view();
        }
        if (!scope.empty() && FindRootChild(scope, field, span) && span.found && !span.selfClosing)
          value = OFL::Trim(String(scope.substr(span.contentBegin, span.contentEnd - span.contentBegin)));
        any = any || !value.empty();
        AppendPackedEntry(own, value);
      }
      if (!any) own.clear();
    }
    GenericKey k;
    if (!ParseTypeKey(type, packed ? *packed : own, k, error)) return E_INVALIDARG;
    if (k.prefix.empty()) {
      error = packed ? "A record is written under its own key, not under \"*\""
                     : "The record has no " + KeyFieldNames(StoreFamilyOf(type)) + " to be keyed by";
      return E_INVALIDARG;
    }
    key = k.prefix;
    return S_OK;
  }

  // Save, update and create: the record's key, then one write transaction.
  // `packed` is null for a create.
  HRESULT WriteText(uint32_t type, const String* packed, const String& text, Mode mode, String& out) {
    String key;
    ClientFields fields;
    if (text.empty()) {
      out = "The record text is empty";
      return E_INVALIDARG;
    }
    const bool client = KeyedByIdentities(type);
    HRESULT hr = client ? ClientRecordKey(packed, text, key, fields, out) : GenericRecordKey(type, packed, text, key, out);
    if (SUCCEEDED(hr)) hr = Writable(out);
    if (FAILED(hr)) return hr;
    std::lock_guard lock(mutex);
    return Write(type, key, text, mode, client ? &fields : nullptr, out);
  }

  HRESULT WriteCall(uint32_t type, BSTR keyText, BSTR data, Mode mode, BSTR* result) {
    String packed, text, out;
    HRESULT hr = ReadArgs({{keyText, &packed}, {data, &text}}, out) ? S_OK : E_INVALIDARG;
    if (SUCCEEDED(hr)) hr = WriteText(RecordTypeOf(type), &packed, text, mode, out);
    return Answer(hr, out, result);
  }

  // Finds the client that the first of `keys` to find one names (or the one
  // with the record's GUID), or else creates the record: one transaction, so
  // that writers racing to announce one new machine make one client.
  HRESULT FindOrCreateClient(const String& parameter, String& out) {
    std::vector<std::pair<String, String>> bag;
    if (!ReadBag(parameter, bag)) {
      out = "The parameter of " + String(kActionFindOrCreateClient) + " is no property bag";
      return E_INVALIDARG;
    }
    String keysText, text;
    for (auto& [name, value] : bag) {
      if (OFL::EqualsNoCase(name, kParamKeys)) keysText = std::move(value);
      else if (OFL::EqualsNoCase(name, kParamRecord)) text = std::move(value);
    }
    OFLTokenizer packedKeys;
    if (!packedKeys.FromLengthPackedString(keysText)) {
      out = "\"" + String(kParamKeys) + "\" is no length-packed list of client keys";
      return E_INVALIDARG;
    }
    std::vector<ClientKey> keys(size_t(packedKeys.GetCount()) + 1);
    for (int32_t i = 0; i < packedKeys.GetCount(); ++i) {
      if (!ParseClientKey(packedKeys[i], keys[size_t(i)], out)) return E_INVALIDARG;
      if (keys[size_t(i)].all) {
        out = "A wildcard finds any client: each key of \"" + String(kParamKeys) + "\" names the client";
        return E_INVALIDARG;
      }
    }
    String key;
    ClientFields fields;
    HRESULT hr = text.empty() ? E_INVALIDARG : ClientRecordKey(nullptr, text, key, fields, out);
    if (text.empty()) out = "\"" + String(kParamRecord) + "\" holds no client record";
    if (SUCCEEDED(hr)) hr = Writable(out);
    if (FAILED(hr)) return hr;
    keys.back().value = fields.guid;  // last, the record's own GUID

    std::lock_guard lock(mutex);
    std::vector<Row> rows;
    int method = 0;
    int rc = Exec(kBeginWrite);
    for (size_t i = 0; rc == SQLITE_OK && rows.empty() && i < keys.size(); ++i) {
      rc = FindClients(keys[i], 0, rows);
      method = keys[i].kind;
    }
    HRESULT refused = S_OK;
    uint64_t stamp = 0;
    String stored;
    const bool found = rc == SQLITE_OK && !rows.empty();
    if (found) {
      stamp = rows[0].stamp;
      stored = std::move(rows[0].data);
    } else if (rc == SQLITE_OK) {
      rc = WriteRow(kClientType, key, text, Mode::kCreate, &fields, refused, out, stamp, &stored);
    }
    rc = Finish(rc);
    if (refused != S_OK) return refused;
    if (rc != SQLITE_OK) return Fail(rc, out);
    out = PackBag({{kParamCreated, found ? "0" : "1"},
                   {kParamMethod, std::to_string(found ? method : 0)},
                   {kPropertyObjectTimestamp, std::to_string(stamp)},
                   {kParamRecord, stored}});
    return S_OK;
  }

  // A registered record action (SetRecordAction) on the record named by the
  // parameter's "GUID".
  HRESULT RunRecordAction(uint32_t type, const RecordAction& action, const String& parameter, String& out) {
    std::vector<std::pair<String, String>> bag;
    String guid;
    if (!ReadBag(parameter, bag)) {
      out = "The parameter of the action is no property bag";
      return E_INVALIDARG;
    }
    for (const auto& [name, value] : bag)
      if (OFL::EqualsNoCase(name, kParamGuid)) guid = value;
    String key;
    const bool client = KeyedByIdentities(type);
    const std::vector<String> guids = LookupValues(eKindGuid, guid);
    if (guids.empty()) {
      out = "The parameter of the action names no GUID";
      return E_INVALIDARG;
    }
    const String named = MakeRecordKey({guid});
    HRESULT hr = client ? S_OK : GenericRecordKey(type, &named, String(), key, out);
    if (client) key = MakeRecordKey({guids[0]});
    if (SUCCEEDED(hr)) hr = Writable(out);
    if (FAILED(hr)) return hr;

    std::lock_guard lock(mutex);
    std::vector<Row> rows;
    int rc = Exec(kBeginWrite);
    if (rc == SQLITE_OK) rc = LoadExact(type, key, rows);
    String merged, answer;
    HRESULT refused = S_OK;
    uint64_t stamp = rows.empty() ? 0 : rows[0].stamp;
    if (rc == SQLITE_OK && client && rows.empty()) {
      out = "Record [" + Readable(key) + "] of type " + std::to_string(type) + " not found";
      refused = kStatusNotFound;
    }
    if (rc == SQLITE_OK && refused == S_OK) {
      refused = action(parameter, rows.empty() ? String() : rows[0].data, merged, answer);
      if (FAILED(refused)) out = answer;
      else refused = S_OK;
    }
    const bool write = refused == S_OK && !merged.empty() && (rows.empty() || merged != rows[0].data);
    ClientFields fields;
    if (rc == SQLITE_OK && write && client && !ReadClientFields(merged, fields, out)) refused = E_INVALIDARG;
    if (refused == S_OK && write && client && LookupValues(eKindGuid, fields.guid) != guids) {
      out = "The action's record names the GUID [" + fields.guid + "], not the client's";
      refused = E_INVALIDARG;
    }
    if (rc == SQLITE_OK && refused != S_OK) rc = SQLITE_ABORT;
    if (rc == SQLITE_OK && write)
      rc = WriteRow(type, key, merged, client ? Mode::kUpdate : Mode::kSave, client ? &fields : nullptr, refused, out,
                    stamp);
    rc = Finish(rc);
    if (refused != S_OK) return refused;
    if (rc != SQLITE_OK) return Fail(rc, out);
    out = PackBag({{kPropertyObjectTimestamp, std::to_string(stamp)}, {kParamWritten, write ? "1" : "0"}, {kParamAnswer, answer}});
    return S_OK;
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
    const ConditionNames want = WantedConditions();
    int rc = ReadIndexed(have);
    const auto holds = [](const ConditionNames& m, uint32_t type, const String& name) {
      const auto at = m.find(type);
      return at != m.end() && std::find(at->second.begin(), at->second.end(), name) != at->second.end();
    };
    const auto bind = [](uint32_t type, const String& name) {
      return [type, &name](sqlite3_stmt* s) {
        sqlite3_bind_int64(s, 1, type);
        sqlite3_bind_text(s, 2, name.data(), int(name.size()), SQLITE_STATIC);
      };
    };
    for (const auto& [type, names] : have)
      for (const String& name : names)
        if (rc == SQLITE_OK && !holds(want, type, name)) {
          rc = RunOnce("DELETE FROM record_conditions WHERE type = ?1 AND name = ?2", bind(type, name));
          if (rc == SQLITE_OK) rc = RunOnce("DELETE FROM indexed_conditions WHERE type = ?1 AND name = ?2", bind(type, name));
        }
    for (const auto& [type, names] : want) {
      std::vector<String> missing;
      for (const String& name : names)
        if (!holds(have, type, name)) missing.push_back(name);
      if (rc == SQLITE_OK && !missing.empty()) rc = Fill(type, missing);
      for (const String& name : missing)
        if (rc == SQLITE_OK) rc = RunOnce("INSERT INTO indexed_conditions(type, name) VALUES(?1, ?2)", bind(type, name));
    }
    if (rc == SQLITE_OK) indexed = want;
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

SqliteStore::SqliteStore(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
SqliteStore::~SqliteStore() = default;

const String& SqliteStore::GetPath() const { return impl_->path; }

std::shared_ptr<SqliteStore> SqliteStore::Open(const String& path, bool create, String* error,
                                               const StoreOptions& options, HRESULT* status) {
  auto impl = std::make_unique<Impl>();
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

HRESULT SqliteStore::InitRecord(uint32_t type, BSTR key, BSTR* result) {
  if (!KeyedByIdentities(type))
    return Answer(kStatusNotImplemented,
                  "Record type " + std::to_string(RecordTypeOf(type)) + " has no initial record in this store", result);
  ClientKey k;
  String packed, error;
  if (!ReadArgs({{key, &packed}}, error)) return Answer(E_INVALIDARG, error, result);
  String guid = OFL::Tools::GenerateGuid();
  if (!packed.empty() && ParseClientKey(packed, k, error) && k.kind == eKindGuid && !k.all) guid = k.value;
  String text = "<Client><TimeStamp>" + FormatStamp(NowAsFileTime()) + "</TimeStamp><GUID>";
  OFLTools::AppendXMLData(text, guid);
  text += "</GUID></Client>";
  return Answer(S_OK, text, result);
}

HRESULT SqliteStore::LoadRecord(uint32_t type, uint32_t /*flags*/, BSTR keyOrFilter, BSTR optionsOrKeys,
                                uint32_t limit, BSTR* result) {
  String first, second, error;
  if (!ReadArgs({{keyOrFilter, &first}, {optionsOrKeys, &second}}, error)) return Answer(E_INVALIDARG, error, result);
  std::vector<String> answer;
  const HRESULT hr = Find(type, first, second, limit, answer, error);
  if (FAILED(hr) || !result) return Answer(hr, error, result);
  *result = PackedList(answer);
  if (!answer.empty() && !*result) return Answer(E_OUTOFMEMORY, "Out of memory for the answer of the store", result);
  return hr;
}

HRESULT SqliteStore::LoadRecordUtf8(uint32_t type, uint32_t /*flags*/, std::string_view keyOrFilter,
                                    std::string_view optionsOrKeys, uint32_t limit, String& result) {
  result.clear();
  for (const std::string_view arg : {keyOrFilter, optionsOrKeys}) {
    size_t bad = 0;
    if (!OFL::IsValidUtf8(arg, &bad)) {
      result = "The text is not valid UTF-8 at byte " + std::to_string(bad) +
               "; the store keeps only texts it can give back unchanged";
      return E_INVALIDARG;
    }
  }
  std::vector<String> answer;
  const HRESULT hr = Find(type, String(keyOrFilter), String(optionsOrKeys), limit, answer, result);
  if (FAILED(hr)) return hr;
  size_t size = 0;
  for (const String& text : answer) size += text.size() + 11;
  result.reserve(size);
  for (const String& text : answer) AppendPackedEntry(result, text);
  return hr;
}

HRESULT SqliteStore::Find(uint32_t type, const String& first, const String& second, uint32_t limit,
                          std::vector<String>& answer, String& error) {
  type = RecordTypeOf(type);
  // A key never starts with "<" and is never empty; a filter is a bag or empty.
  const bool list = first.empty() || first[0] == '<';
  const String& key = list ? second : first;
  std::vector<std::pair<String, String>> bag;
  const String& bagText = list ? first : second;
  if (!bagText.empty() && !ReadBag(bagText, bag)) {
    error = list ? "The filter is no property bag" : "The load options are no property bag";
    return E_INVALIDARG;
  }
  uint64_t newerThan = 0;
  if (!list) {
    for (const auto& [name, value] : bag)
      if (OFL::EqualsNoCase(name, kOptionIfTimestampIsNewer)) newerThan = OFLTools::AToULL(value);
    bag.clear();
  }

  ClientKey clientKey;
  GenericKey genericKey;
  const bool client = KeyedByIdentities(type);
  if (client) {
    if (key.empty()) clientKey.all = true;
    else if (!ParseClientKey(key, clientKey, error)) return E_INVALIDARG;
  } else if (!ParseTypeKey(type, key, genericKey, error)) {
    return E_INVALIDARG;
  }

  // Conditions the index holds are met by the query; any other is checked
  // on each record found.
  std::vector<std::pair<String, String>> byIndex;
  if (const auto names = impl_->indexed.find(type); names != impl_->indexed.end() && genericKey.wildcard) {
    std::erase_if(bag, [&](const std::pair<String, String>& condition) {
      String name = OFL::ToLower(condition.first);
      if (byIndex.size() == kMaxIndexedConditions ||
          std::find(names->second.begin(), names->second.end(), name) == names->second.end())
        return false;
      byIndex.emplace_back(std::move(name), OFL::ToLower(condition.second));
      return true;
    });
  }

  std::vector<Row> rows;
  int rc = SQLITE_OK;
  {
    std::lock_guard lock(impl_->mutex);
    // Other conditions and stamps are applied after the query, so the query's
    // own limit would cut too early.
    const uint32_t queryLimit = bag.empty() && newerThan == 0 ? limit : 0;
    const bool several = client && !clientKey.all &&
                         (clientKey.kind == eKindAny || clientKey.kind == eKindMac || clientKey.kind == eKindIp);
    if (several) rc = impl_->Exec(kBegin);
    if (rc == SQLITE_OK) {
      if (client) rc = impl_->FindClients(clientKey, queryLimit, rows);
      else if (!byIndex.empty()) rc = impl_->LoadFiltered(type, genericKey.prefix, byIndex, queryLimit, rows);
      else if (genericKey.wildcard) rc = impl_->LoadRange(type, genericKey.prefix, queryLimit, rows);
      else rc = impl_->LoadExact(type, genericKey.prefix, rows);
    }
    if (several) rc = impl_->Finish(rc);
    if (rc != SQLITE_OK) {
      return impl_->Fail(rc, error);
    }
  }
  bool notNewer = false;
  for (Row& row : rows) {
    if (limit && answer.size() == limit) break;
    if (newerThan && row.stamp <= newerThan) {
      notNewer = true;
      continue;
    }
    if (MatchesConditions(row.data, bag)) answer.push_back(std::move(row.data));
  }
  return answer.empty() && notNewer ? kStatusNotNewer : S_OK;
}

HRESULT SqliteStore::SaveRecord(uint32_t type, BSTR key, BSTR, BSTR data, uint32_t* value, BSTR* result) {
  if (value) *value = 0;
  return impl_->WriteCall(type, key, data, Mode::kSave, result);
}

HRESULT SqliteStore::UpdateRecord(uint32_t type, BSTR key, BSTR, BSTR data, uint32_t* value, BSTR* result) {
  if (value) *value = 0;
  return impl_->WriteCall(type, key, data, Mode::kUpdate, result);
}

HRESULT SqliteStore::CreateRecord(uint32_t type, BSTR data, BSTR* result) {
  String text, out;
  HRESULT hr = ReadArgs({{data, &text}}, out) ? S_OK : E_INVALIDARG;
  if (SUCCEEDED(hr)) hr = impl_->WriteText(RecordTypeOf(type), nullptr, text, Mode::kCreate, out);
  return Answer(hr, out, result);
}

HRESULT SqliteStore::DeleteRecord(uint32_t type, BSTR keyText, uint32_t* value, BSTR* result) {
  if (value) *value = 0;
  type = RecordTypeOf(type);
  String packed, error;
  if (!ReadArgs({{keyText, &packed}}, error)) return Answer(E_INVALIDARG, error, result);
  ClientKey clientKey;
  GenericKey genericKey;
  const bool client = KeyedByIdentities(type);
  if (client ? !ParseClientKey(packed, clientKey, error) : !ParseTypeKey(type, packed, genericKey, error))
    return Answer(E_INVALIDARG, error, result);
  // A delete names one client, or one record or the group of records whose
  // keys begin with its values (the steps of one job); never a wildcard.
  if (client ? clientKey.all : genericKey.wildcard)
    return Answer(E_INVALIDARG,
                  "A wildcard never deletes: the key [" + Readable(packed) +
                      "] names no record; name the client, or the record or group whose key begins with the values",
                  result);
  if (const HRESULT hr = impl_->Writable(error); FAILED(hr)) return Answer(hr, error, result);
  std::lock_guard lock(impl_->mutex);
  int rc = impl_->Exec(kBeginWrite);
  std::vector<Row> rows;
  if (rc == SQLITE_OK)
    rc = client ? impl_->FindClients(clientKey, 0, rows) : impl_->LoadRange(type, genericKey.prefix, 0, rows);
  if (rc == SQLITE_OK && client && rows.size() > 1) {
    impl_->Finish(SQLITE_ABORT);
    return Answer(E_INVALIDARG,
                  "The key [" + Readable(packed) + "] matches " + std::to_string(rows.size()) +
                      " clients and deletes none; a delete names one client: delete each by its GUID",
                  result);
  }
  for (const Row& row : rows)
    if (rc == SQLITE_OK) rc = impl_->DeleteById(row.id);
  rc = impl_->Finish(rc);
  if (rc != SQLITE_OK) {
    const HRESULT hr = impl_->Fail(rc, error);
    return Answer(hr, error, result);
  }
  return Answer(rows.empty() ? kStatusNothingDeleted : S_OK, String(), result);
}

HRESULT SqliteStore::DoAction(uint32_t type, BSTR action, BSTR parameter, BSTR* result) {
  type = RecordTypeOf(type);
  String name, param, out;
  if (!ReadArgs({{action, &name}, {parameter, &param}}, out)) return Answer(E_INVALIDARG, out, result);
  if (KeyedByIdentities(type) && OFL::EqualsNoCase(name, kActionFindOrCreateClient)) {
    const HRESULT hr = impl_->FindOrCreateClient(param, out);
    return Answer(hr, out, result);
  }
  if (const auto at = impl_->actions.find({type, OFL::ToLower(name)}); at != impl_->actions.end()) {
    const HRESULT hr = impl_->RunRecordAction(type, at->second, param, out);
    return Answer(hr, out, result);
  }
  return Answer(kStatusNotImplemented,
                "Action \"" + name + "\" on record type " + std::to_string(type) + " is not supported by this store",
                result);
}

void SqliteStore::SetRecordAction(uint32_t type, const String& name, RecordAction action) {
  std::lock_guard lock(impl_->mutex);
  impl_->actions[{RecordTypeOf(type), OFL::ToLower(name)}] = std::move(action);
}

HRESULT SqliteStore::SpecialTask(uint32_t task, BSTR, BSTR* result) {
  return Answer(kStatusNotImplemented, "Special task " + std::to_string(task) + " is not supported by this store",
                result);
}

}  // namespace orvacmn::store
