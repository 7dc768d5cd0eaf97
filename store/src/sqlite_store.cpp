#include "orvacmn_store/sqlite_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <mutex>
#include <utility>
#include <unordered_set>
#include <vector>

#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "record_text.h"

namespace orvacmn::store {

namespace {

// FileTime of 1970-01-01 00:00 UTC.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

uint64_t NowAsFileTime() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  return kUnixEpochAsFileTime + uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100);
}

constexpr const char* kSchema =
    "CREATE TABLE records(id INTEGER PRIMARY KEY, type INTEGER NOT NULL, key BLOB NOT NULL,"
    " stamp INTEGER NOT NULL, data TEXT NOT NULL, UNIQUE(type, key));"
    "CREATE TABLE client_keys(kind INTEGER NOT NULL, value TEXT NOT NULL, id INTEGER NOT NULL,"
    " PRIMARY KEY(kind, value, id)) WITHOUT ROWID;"
    "CREATE INDEX client_keys_by_record ON client_keys(id);"
    "PRAGMA user_version = 1;";

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
    "DELETE FROM records WHERE id = ?1",
    "SELECT id, stamp, data FROM records WHERE type = ?1 AND key = ?2",
    "SELECT id, stamp, data FROM records WHERE type = ?1 AND key >= ?2 AND key < ?3 ORDER BY key LIMIT ?4",
    "SELECT r.id, r.stamp, r.data FROM client_keys k JOIN records r ON r.id = k.id"
    " WHERE k.kind = ?1 AND k.value = ?2",
};

String Utf8(BSTR text) { return text ? OFL::FromUtf16({text, SysStringLen(text)}) : String(); }

// The key's entries for messages: "a, b, *".
String Readable(const String& packed) {
  OFLTokenizer entries;
  if (!entries.FromLengthPackedString(packed)) return packed;
  return entries.AsString(", ");
}

String PackOne(std::string_view value) {
  OFLTokenizer t;
  t.AddString(value);
  return t.AsLengthPackedString();
}

HRESULT Answer(HRESULT hr, const String& text, BSTR* result) {
  if (result) *result = text.empty() ? nullptr : OFL::AllocBstr(text);
  return hr;
}

struct Row {
  int64_t id;
  uint64_t stamp;
  String data;
};

}  // namespace

struct SqliteStore::Impl {
  String path;
  StoreOptions options;
  sqlite3* db = nullptr;
  std::array<sqlite3_stmt*, kStmtCount> stmts{};
  std::mutex mutex;
  // SQLite's text of the failure that a rollback is about to overwrite.
  mutable String lastDetail;

  ~Impl() {
    for (sqlite3_stmt* s : stmts) sqlite3_finalize(s);
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
        error = "The store file " + path + " is read-only or not writable by this user (" + detail + ")";
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

  // A cached statement, reset and unbound when `Use` ends.
  class Use {
   public:
    Use(Impl& impl, Stmt id, int& rc) {
      sqlite3_stmt*& s = impl.stmts[id];
      rc = s ? SQLITE_OK : sqlite3_prepare_v3(impl.db, kSql[id], -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr);
      stmt_ = s;
    }
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

  // Ends a transaction: commit when `rc` is fine, else roll back.
  int Finish(int rc) {
    if (rc == SQLITE_OK) {
      rc = Exec(kCommit);
      if (rc == SQLITE_OK) return rc;
    }
    if (!sqlite3_get_autocommit(db)) {
      lastDetail = sqlite3_errmsg(db);
      Exec(kRollback);
    }
    return rc;
  }

  // Appends the rows of a query whose columns are (id, stamp, data).
  int Collect(Use& s, std::vector<Row>& rows, std::unordered_set<int64_t>& seen) {
    for (;;) {
      const int rc = s.Step();
      if (rc == SQLITE_DONE) return SQLITE_OK;
      if (rc != SQLITE_ROW) return rc;
      const int64_t id = s.Int(0);
      if (seen.insert(id).second) rows.push_back({id, uint64_t(s.Int(1)), s.Text(2)});
    }
  }

  int LoadRange(uint32_t type, const String& prefix, uint32_t limit, std::vector<Row>& rows,
                std::unordered_set<int64_t>& seen) {
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

  int LoadExact(uint32_t type, const String& key, std::vector<Row>& rows, std::unordered_set<int64_t>& seen) {
    int rc = SQLITE_OK;
    Use s(*this, kLoadExact, rc);
    if (rc != SQLITE_OK) return rc;
    s.Bind(1, type);
    s.BindBlob(2, key);
    return Collect(s, rows, seen);
  }

  int LoadByIndex(int kind, const String& value, std::vector<Row>& rows, std::unordered_set<int64_t>& seen) {
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
    std::unordered_set<int64_t> seen;
    if (key.all) return LoadRange(kClientType, String(), limit, rows, seen);
    for (int kind = eKindGuid; kind <= eKindFqdn; ++kind) {
      if (key.kind != eKindAny && key.kind != kind) continue;
      for (const String& value : LookupValues(kind, key.value)) {
        const int rc = kind == eKindGuid ? LoadExact(kClientType, PackOne(value), rows, seen)
                                         : LoadByIndex(kind, value, rows, seen);
        if (rc != SQLITE_OK) return rc;
      }
    }
    return SQLITE_OK;
  }

  // Brings the index entries of record `id` in step with its fields. Most
  // saves keep a client's identity, and then write no index page at all.
  int ReplaceIndex(int64_t id, const ClientFields& fields, bool existed) {
    std::vector<std::pair<int, String>> wanted = IndexEntries(fields);
    std::erase_if(wanted, [](const auto& e) { return e.first == eKindGuid; });  // the record's own key
    std::vector<std::pair<int, String>> stale;
    int rc = SQLITE_OK;
    if (existed) {
      Use sel(*this, kSelectKeys, rc);
      if (rc != SQLITE_OK) return rc;
      sel.Bind(1, id);
      while ((rc = sel.Step()) == SQLITE_ROW) {
        std::pair<int, String> entry(int(sel.Int(0)), sel.Text(1));
        const auto at = std::find(wanted.begin(), wanted.end(), entry);
        if (at != wanted.end()) wanted.erase(at);
        else stale.push_back(std::move(entry));
      }
      if (rc != SQLITE_DONE) return rc;
    }
    for (Stmt which : {kDeleteKey, kInsertKey}) {
      Use s(*this, which, rc);
      if (rc != SQLITE_OK) return rc;
      for (const auto& [kind, value] : which == kDeleteKey ? stale : wanted) {
        s.Bind(1, kind);
        s.BindText(2, value);
        s.Bind(3, id);
        if ((rc = s.Step()) != SQLITE_DONE) return rc;
        sqlite3_reset(*s);
      }
    }
    return SQLITE_OK;
  }

  int DeleteById(int64_t id) {
    int rc = SQLITE_OK;
    {
      Use del(*this, kDeleteKeys, rc);
      if (rc != SQLITE_OK) return rc;
      del.Bind(1, id);
      if ((rc = del.Step()) != SQLITE_DONE) return rc;
    }
    Use del(*this, kDeleteRecord, rc);
    if (rc != SQLITE_OK) return rc;
    del.Bind(1, id);
    rc = del.Step();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
  }

  enum class Mode { kSave, kUpdate, kCreate };

  // Save, update and create: one write transaction.
  HRESULT Write(uint32_t type, const String& key, const String& text, Mode mode, const ClientFields* fields,
                String& out) {
    int rc = Exec(kBeginWrite);
    if (rc != SQLITE_OK) return Fail(rc, out);
    bool exists = false;
    int64_t id = 0;
    uint64_t stored = 0;
    {
      Use find(*this, kFindRecord, rc);
      if (rc == SQLITE_OK) {
        find.Bind(1, type);
        find.BindBlob(2, key);
        rc = find.Step();
        exists = rc == SQLITE_ROW;
        if (exists) {
          id = find.Int(0);
          stored = uint64_t(find.Int(1));
        }
        if (rc == SQLITE_ROW || rc == SQLITE_DONE) rc = SQLITE_OK;
      }
    }
    const uint64_t given = RecordStamp(text);
    HRESULT refused = S_OK;
    if (rc == SQLITE_OK && mode == Mode::kUpdate && !exists) {
      refused = kStatusNotFound;
      out = "Record [" + Readable(key) + "] of type " + std::to_string(type) + " not found";
    } else if (rc == SQLITE_OK && mode == Mode::kCreate && exists) {
      refused = kStatusExists;
      out = "Record [" + Readable(key) + "] of type " + std::to_string(type) + " already exists";
    } else if (rc == SQLITE_OK && exists && given != 0 && given < stored) {
      refused = kStatusStale;
      out = "Record [" + Readable(key) + "] of type " + std::to_string(type) +
            " was changed by someone else since it was loaded (its TimeStamp " + FormatStamp(given) +
            " is older than the stored " + FormatStamp(stored) + "); load it again and repeat the change";
    }
    if (refused != S_OK) {
      Finish(SQLITE_ABORT);
      return refused;
    }
    // The clock, or past the record's last stamp when the clock has not moved
    // on: a record's stamp rises with every write, and no shared row has to
    // be written for it.
    const uint64_t now = NowAsFileTime();
    const uint64_t stamp = exists && stored >= now ? stored + 1 : now;
    if (rc == SQLITE_OK) {
      // The row is known from the lookup above: a plain update or insert
      // needs no statement journal inside the transaction, as an upsert would.
      const String stamped = WithStamp(text, stamp, type == kClientType);
      Use put(*this, exists ? kUpdate : kInsert, rc);
      if (rc == SQLITE_OK && exists) {
        put.Bind(1, id);
        put.Bind(2, int64_t(stamp));
        put.BindText(3, stamped);
      } else if (rc == SQLITE_OK) {
        put.Bind(1, type);
        put.BindBlob(2, key);
        put.Bind(3, int64_t(stamp));
        put.BindText(4, stamped);
      }
      if (rc == SQLITE_OK) rc = put.Step();
      if (rc == SQLITE_DONE) rc = SQLITE_OK;
      if (rc == SQLITE_OK && !exists) id = sqlite3_last_insert_rowid(db);
      if (rc == SQLITE_OK && fields) rc = ReplaceIndex(id, *fields, exists);
    }
    rc = Finish(rc);
    if (rc != SQLITE_OK) return Fail(rc, out);
    out = OneEntryBag("ObjectTimestamp", std::to_string(stamp));
    return S_OK;
  }

  // The store key of a record to write, and for clients its index fields.
  HRESULT WriteKey(uint32_t type, const String& packed, const String& text, String& key, ClientFields& fields,
                   String& error) {
    if (type != kClientType) {
      GenericKey k;
      if (!ParseGenericKey(packed, k, error)) return E_INVALIDARG;
      if (k.prefix.empty()) {
        error = "A record is written under its own key, not under \"*\"";
        return E_INVALIDARG;
      }
      key = k.prefix;
      return S_OK;
    }
    ClientKey k;
    if (!ParseClientKey(packed, k, error)) return E_INVALIDARG;
    if (k.kind != eKindGuid || k.all) {
      error = "Client records are written under their GUID (key kind 1)";
      return E_INVALIDARG;
    }
    if (!ReadClientFields(text, fields, error)) return E_INVALIDARG;
    const std::vector<String> guid = LookupValues(eKindGuid, k.value);
    const std::vector<String> own = LookupValues(eKindGuid, fields.guid);
    if (guid.empty() || (!own.empty() && own[0] != guid[0])) {
      error = "The key GUID [" + k.value + "] differs from the record's GUID [" + fields.guid + "]";
      return E_INVALIDARG;
    }
    key = PackOne(guid[0]);
    return S_OK;
  }

  HRESULT WriteCall(uint32_t type, BSTR keyText, BSTR data, Mode mode, BSTR* result) {
    const String packed = Utf8(keyText), text = Utf8(data);
    String key, out;
    ClientFields fields;
    if (text.empty()) return Answer(E_INVALIDARG, "The record text is empty", result);
    HRESULT hr = WriteKey(type & 0xFFFF, packed, text, key, fields, out);
    if (SUCCEEDED(hr)) {
      std::lock_guard lock(mutex);
      hr = Write(type & 0xFFFF, key, text, mode, (type & 0xFFFF) == kClientType ? &fields : nullptr, out);
    }
    return Answer(hr, out, result);
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
  HRESULT hr = S_OK;
  const auto fail = [&](HRESULT h, const String& t) {
    if (error) *error = t;
    if (status) *status = h;
    return nullptr;
  };
  if (!create && !OFL::Tools::FileExists(path)) return fail(kStatusFileMissing, "The store file " + path + " does not exist");
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  int rc = sqlite3_open_v2(path.c_str(), &impl->db, flags, nullptr);
  if (rc != SQLITE_OK) {
    hr = impl->Fail(rc, text, create);
    return fail(hr, text);
  }
  sqlite3_extended_result_codes(impl->db, 1);
  sqlite3_busy_timeout(impl->db, options.busyTimeoutMs);
  if (sqlite3_db_readonly(impl->db, "main") == 1) return fail(impl->Fail(SQLITE_READONLY, text), text);

  const auto exec = [&](const String& sql) { return sqlite3_exec(impl->db, sql.c_str(), nullptr, nullptr, nullptr); };
  const auto userVersion = [&](int& version) {
    sqlite3_stmt* s = nullptr;
    int r = sqlite3_prepare_v2(impl->db, "PRAGMA user_version", -1, &s, nullptr);
    if (r == SQLITE_OK) r = sqlite3_step(s) == SQLITE_ROW ? SQLITE_OK : sqlite3_errcode(impl->db);
    if (r == SQLITE_OK) version = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    return r;
  };
  int version = 0;
  rc = userVersion(version);
  if (rc == SQLITE_OK && version == 0) {
    // Made a store under the writer's lock, so that two processes creating
    // the same file at once do not both lay out the schema.
    rc = exec("BEGIN IMMEDIATE");
    if (rc == SQLITE_OK) rc = userVersion(version);
    if (rc == SQLITE_OK && version == 0) {
      sqlite3_stmt* s = nullptr;
      rc = sqlite3_prepare_v2(impl->db, "SELECT count(*) FROM sqlite_master", -1, &s, nullptr);
      const bool empty = rc == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW && sqlite3_column_int(s, 0) == 0;
      sqlite3_finalize(s);
      if (rc == SQLITE_OK && (!empty || !create)) {
        exec("ROLLBACK");
        return fail(kStatusNotAStore, "The file " + path + " is a database but no store file" +
                                          (empty ? String(" (create it as a store first)") : String()));
      }
      if (rc == SQLITE_OK) rc = exec(kSchema);
    }
    if (rc == SQLITE_OK) rc = exec("COMMIT");
    else exec("ROLLBACK");
    if (rc == SQLITE_OK) rc = exec("PRAGMA journal_mode = WAL");
  }
  if (rc != SQLITE_OK) return fail(impl->Fail(rc, text), text);
  if (version > kSchemaVersion) {
    return fail(kStatusSchemaTooNew, "The store file " + path + " has schema version " + std::to_string(version) +
                                         "; this program reads version " + std::to_string(kSchemaVersion) +
                                         " at most: use a newer program");
  }
  rc = exec(options.durable ? "PRAGMA synchronous = FULL" : "PRAGMA synchronous = NORMAL");
  if (rc == SQLITE_OK) rc = exec("PRAGMA cache_size = -32768");
  if (rc == SQLITE_OK && options.maxPages) rc = exec("PRAGMA max_page_count = " + std::to_string(options.maxPages));
  if (rc != SQLITE_OK) return fail(impl->Fail(rc, text), text);
  if (status) *status = S_OK;
  return std::shared_ptr<SqliteStore>(new SqliteStore(std::move(impl)));
}

HRESULT SqliteStore::InitRecord(uint32_t type, BSTR key, BSTR* result) {
  if ((type & 0xFFFF) != kClientType)
    return Answer(kStatusNotImplemented, "Record type " + std::to_string(type & 0xFFFF) + " has no initial record in this store",
                  result);
  ClientKey k;
  String error;
  const String packed = Utf8(key);
  String guid = OFL::Tools::GenerateGuid();
  if (!packed.empty() && ParseClientKey(packed, k, error) && k.kind == eKindGuid && !k.all) guid = k.value;
  String text = "<Client><TimeStamp>" + FormatStamp(NowAsFileTime()) + "</TimeStamp><GUID>";
  OFLTools::AppendXMLData(text, guid);
  text += "</GUID></Client>";
  return Answer(S_OK, text, result);
}

HRESULT SqliteStore::LoadRecord(uint32_t type, uint32_t /*flags*/, BSTR keyOrFilter, BSTR optionsOrKeys,
                                uint32_t limit, BSTR* result) {
  type &= 0xFFFF;
  const String first = Utf8(keyOrFilter), second = Utf8(optionsOrKeys);
  // A key never starts with "<" and is never empty; a filter is a bag or empty.
  const bool list = first.empty() || first[0] == '<';
  const String& key = list ? second : first;
  std::vector<std::pair<String, String>> bag;
  const String& bagText = list ? first : second;
  if (!bagText.empty() && !ReadBag(bagText, bag))
    return Answer(E_INVALIDARG, list ? "The filter is no property bag" : "The load options are no property bag", result);
  uint64_t newerThan = 0;
  if (!list) {
    for (const auto& [name, value] : bag)
      if (OFL::EqualsNoCase(name, "IfTimestampIsNewer")) newerThan = OFLTools::AToULL(value);
    bag.clear();
  }

  String error;
  ClientKey clientKey;
  GenericKey genericKey;
  if (type == kClientType) {
    if (key.empty()) clientKey.all = true;
    else if (!ParseClientKey(key, clientKey, error)) return Answer(E_INVALIDARG, error, result);
  } else if (!ParseGenericKey(key, genericKey, error)) {
    return Answer(E_INVALIDARG, error, result);
  }

  std::vector<Row> rows;
  int rc = SQLITE_OK;
  {
    std::lock_guard lock(impl_->mutex);
    // Filters and stamps are applied after the query, so the query's own limit
    // would cut too early.
    const uint32_t queryLimit = bag.empty() && newerThan == 0 ? limit : 0;
    const bool several = type == kClientType && !clientKey.all &&
                         (clientKey.kind == eKindAny || clientKey.kind == eKindMac || clientKey.kind == eKindIp);
    if (several) rc = impl_->Exec(kBegin);
    std::unordered_set<int64_t> seen;
    if (rc == SQLITE_OK) {
      if (type == kClientType) rc = impl_->FindClients(clientKey, queryLimit, rows);
      else if (genericKey.wildcard) rc = impl_->LoadRange(type, genericKey.prefix, queryLimit, rows, seen);
      else rc = impl_->LoadExact(type, genericKey.prefix, rows, seen);
    }
    if (several) rc = impl_->Finish(rc);
    if (rc != SQLITE_OK) {
      const HRESULT hr = impl_->Fail(rc, error);
      return Answer(hr, error, result);
    }
  }
  String out;
  uint32_t count = 0;
  bool notNewer = false;
  for (const Row& row : rows) {
    if (limit && count == limit) break;
    if (newerThan && row.stamp <= newerThan) {
      notNewer = true;
      continue;
    }
    if (!MatchesConditions(row.data, bag)) continue;
    out += std::to_string(row.data.size());
    out += ':';
    out += row.data;
    ++count;
  }
  return Answer(count == 0 && notNewer ? kStatusNotNewer : S_OK, out, result);
}

HRESULT SqliteStore::SaveRecord(uint32_t type, BSTR key, BSTR, BSTR data, uint32_t* value, BSTR* result) {
  if (value) *value = 0;
  return impl_->WriteCall(type, key, data, Impl::Mode::kSave, result);
}

HRESULT SqliteStore::UpdateRecord(uint32_t type, BSTR key, BSTR, BSTR data, uint32_t* value, BSTR* result) {
  if (value) *value = 0;
  return impl_->WriteCall(type, key, data, Impl::Mode::kUpdate, result);
}

HRESULT SqliteStore::CreateRecord(uint32_t type, BSTR data, BSTR* result) {
  // A new record is keyed by its own GUID.
  const String text = Utf8(data);
  String guid;
  if ((type & 0xFFFF) == kClientType) {
    ClientFields fields;
    String ignored;
    if (ReadClientFields(text, fields, ignored)) guid = fields.guid;
  } else {
    ChildSpan span;
    if (FindRootChild(text, "GUID", span) && span.found && !span.selfClosing)
      guid = OFL::Trim(text.substr(span.contentBegin, span.contentEnd - span.contentBegin));
  }
  if (guid.empty()) return Answer(E_INVALIDARG, "The record has no GUID to be keyed by", result);
  OFLTokenizer key;
  key.AddString(guid);
  if ((type & 0xFFFF) == kClientType) key.AddString("1");
  const OFL::ScopedBstr keyText(key.AsLengthPackedString());
  return impl_->WriteCall(type, keyText.Get(), data, Impl::Mode::kCreate, result);
}

HRESULT SqliteStore::DeleteRecord(uint32_t type, BSTR keyText, uint32_t* value, BSTR* result) {
  if (value) *value = 0;
  type &= 0xFFFF;
  const String packed = Utf8(keyText);
  String error;
  ClientKey clientKey;
  GenericKey genericKey;
  if (type == kClientType ? !ParseClientKey(packed, clientKey, error) : !ParseGenericKey(packed, genericKey, error))
    return Answer(E_INVALIDARG, error, result);
  std::lock_guard lock(impl_->mutex);
  int rc = impl_->Exec(kBeginWrite);
  std::vector<Row> rows;
  std::unordered_set<int64_t> seen;
  if (rc == SQLITE_OK) {
    if (type == kClientType) rc = impl_->FindClients(clientKey, 0, rows);
    else if (genericKey.wildcard) rc = impl_->LoadRange(type, genericKey.prefix, 0, rows, seen);
    else rc = impl_->LoadExact(type, genericKey.prefix, rows, seen);
  }
  if (rc == SQLITE_OK && type == kClientType && !clientKey.all && clientKey.kind != eKindGuid && rows.size() > 1) {
    impl_->Finish(SQLITE_ABORT);
    return Answer(E_INVALIDARG,
                  "The key [" + Readable(packed) + "] matches " + std::to_string(rows.size()) +
                      " clients; delete them by GUID",
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

HRESULT SqliteStore::DoAction(uint32_t type, BSTR action, BSTR, BSTR* result) {
  return Answer(kStatusNotImplemented,
                "Action \"" + Utf8(action) + "\" on record type " + std::to_string(type & 0xFFFF) +
                    " is not supported by this store",
                result);
}

HRESULT SqliteStore::SpecialTask(uint32_t task, BSTR, BSTR* result) {
  return Answer(kStatusNotImplemented, "Special task " + std::to_string(task) + " is not supported by this store",
                result);
}

}  // namespace orvacmn::store
