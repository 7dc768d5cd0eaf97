// RecordStore: the suite's object store behind the IMocInstance interface,
// whatever holds the records. The rules live here once (keys and key kinds,
// change stamps, the refusal of stale saves, the client index, the condition
// index, find-or-create of clients, record actions, statuses and texts); a
// backend supplies only the SQL and its connection: SqliteStore keeps one
// file, PgStore a PostgreSQL database. OpenStore picks one from a location.
//
// Threads and processes: one instance serialises its own calls, so it may be
// shared between threads; any number of instances, in any number of
// processes (and, for PostgreSQL, hosts) may use one store at once. Every
// call is one transaction.
#ifndef ORVACMN_STORE_RECORD_STORE_H_
#define ORVACMN_STORE_RECORD_STORE_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "ofl/bstr.h"
#include "orvacmn/persistence/moc_instance.h"

namespace orvacmn::store {

using String = OFL::String;

// Failure statuses of the store besides E_INVALIDARG and the facade's
// kStatusNotFound (an update of a record that does not exist).
inline constexpr HRESULT kStatusStale = static_cast<HRESULT>(0x80830010u);  // save carries an older TimeStamp
inline constexpr HRESULT kStatusSchemaTooNew = static_cast<HRESULT>(0x80830011u);
inline constexpr HRESULT kStatusNotAStore = static_cast<HRESULT>(0x80830012u);  // a database, but not a store
inline constexpr HRESULT kStatusConnection = static_cast<HRESULT>(0x80830013u);  // server unreachable or connection lost
inline constexpr HRESULT kStatusExists = static_cast<HRESULT>(0x800700B7u);     // create of an existing record
inline constexpr HRESULT kStatusNotImplemented = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT kStatusFileMissing = static_cast<HRESULT>(0x80070002u);
inline constexpr HRESULT kStatusPathMissing = static_cast<HRESULT>(0x80070003u);
inline constexpr HRESULT kStatusAccessDenied = static_cast<HRESULT>(0x80070005u);  // read-only file included
inline constexpr HRESULT kStatusLocked = static_cast<HRESULT>(0x80070021u);
inline constexpr HRESULT kStatusDiskFull = static_cast<HRESULT>(0x80070070u);
inline constexpr HRESULT kStatusIoError = static_cast<HRESULT>(0x8007045Du);
inline constexpr HRESULT kStatusCorrupt = static_cast<HRESULT>(0x80070570u);
// Success of a delete that found nothing to delete.
inline constexpr HRESULT kStatusNothingDeleted = 1;

// A change of one record that the store makes inside its write transaction,
// so that no other writer comes between the read and the write (see
// RecordStore::SetRecordAction). `stored` is the record's text, empty when
// there is none; `merged` is left empty when nothing is to be written. The
// status and `answer` go back to the caller. A store may call it more than
// once for one call (a transaction that lost a race is run again).
using RecordAction =
    std::function<HRESULT(const String& parameter, const String& stored, String& merged, String& answer)>;

struct StoreOptions {
  // SQLite: every committed call also survives a power loss (synchronous
  // FULL); otherwise it survives a crash of the process (synchronous NORMAL).
  // PostgreSQL commits are always durable (the server's synchronous_commit).
  bool durable = false;
  // How long a call waits for another writer's lock (SQLite) or for the
  // server to answer a connection attempt (PostgreSQL).
  int busyTimeoutMs = 5000;
  // SQLite: caps the file at this many pages of 4 KiB (0: no cap), as a quota would.
  uint32_t maxPages = 0;
};

// One stored record as a copy moves it: its type, store key, stamp and text.
struct StoredRecord {
  uint32_t type = 0;
  String key;
  uint64_t stamp = 0;
  String data;
};

class StoreBackend;

class RecordStore : public IMocInstance, public IMocRecordReaderUtf8 {
 public:
  ~RecordStore() override;
  RecordStore(const RecordStore&) = delete;
  RecordStore& operator=(const RecordStore&) = delete;

  HRESULT InitRecord(uint32_t type, BSTR key, BSTR* result) final;
  HRESULT LoadRecord(uint32_t type, uint32_t flags, BSTR keyOrFilter, BSTR optionsOrKeys, uint32_t limit,
                     BSTR* result) final;
  HRESULT SaveRecord(uint32_t type, BSTR key, BSTR reserved, BSTR data, uint32_t* value, BSTR* result) final;
  HRESULT CreateRecord(uint32_t type, BSTR data, BSTR* result) final;
  HRESULT DeleteRecord(uint32_t type, BSTR key, uint32_t* value, BSTR* result) final;
  HRESULT UpdateRecord(uint32_t type, BSTR key, BSTR reserved, BSTR data, uint32_t* value, BSTR* result) final;
  HRESULT DoAction(uint32_t type, BSTR action, BSTR parameter, BSTR* result) final;
  HRESULT SpecialTask(uint32_t task, BSTR arguments, BSTR* result) final;
  HRESULT LoadRecordUtf8(uint32_t type, uint32_t flags, std::string_view keyOrFilter, std::string_view optionsOrKeys,
                         uint32_t limit, String& result) final;

  // The file path, or the connection text without its password.
  const String& GetLocation() const;

  // Makes DoAction(type, name, PARAMETER) run `action` on the record keyed by
  // the "GUID" of PARAMETER (a packed property bag), inside one write
  // transaction: the record is read, `action` called, and its merged text
  // written when it differs. A client must exist and keeps its version rule
  // aside (the action saw the stored text); other records are created when
  // missing. The answer is a bag of "ObjectTimestamp" (the record's stamp
  // after the call, 0 for none), "Written" (1 or 0) and "Answer". Set the
  // actions before the store is shared between threads.
  void SetRecordAction(uint32_t type, const String& name, RecordAction action);

  // For copies between stores: up to `count` records after (afterType,
  // afterKey) in (type, key) order; start with (0, ""). The stamps of
  // deleted clients are not part of a copy.
  HRESULT ReadRecords(uint32_t afterType, const String& afterKey, uint32_t count, std::vector<StoredRecord>& records,
                      String& error);
  // Writes `records` exactly as they are, stamps included, in one
  // transaction, replacing what is stored under their keys, and indexes them.
  HRESULT WriteRecords(const std::vector<StoredRecord>& records, String& error);

 protected:
  explicit RecordStore(std::unique_ptr<StoreBackend> backend);
  StoreBackend& Backend();

 private:
  struct Engine;
  std::unique_ptr<Engine> engine_;
};

// True for a location naming a PostgreSQL server: a "postgresql://" or
// "postgres://" URL, or a libpq connection string ("key=value ..."). Any
// other text is the path of an SQLite file.
bool IsServerLocation(std::string_view location);

// Opens the store at `location` (see IsServerLocation); with `create` a
// missing file is created, and an empty database made a store. Null on
// failure, with the readable text in `error` and the status in `status`
// (either may be null).
std::shared_ptr<RecordStore> OpenStore(const String& location, bool create, String* error,
                                       const StoreOptions& options = StoreOptions(), HRESULT* status = nullptr);

}  // namespace orvacmn::store

#endif  // ORVACMN_STORE_RECORD_STORE_H_
