// SqliteStore: the suite's object store on one SQLite file, behind the
// IMocInstance interface through which the library reaches its store.
//
// Records are kept per (record type, key) with their text and a change stamp
// (a FileTime, strictly increasing with every write of the record). Client records (type 51) are
// also indexed by every identifying value, so that a lookup by any key kind
// is an index search. How keys, load options and flags are read is told in
// store/README.md.
//
// Threads and processes: one instance serialises its own calls, so it may be
// shared between threads; any number of instances, in any number of
// processes, may open the same file (write-ahead log, one transaction per
// call, a busy time-out for the writer's lock).
#ifndef ORVACMN_STORE_SQLITE_STORE_H_
#define ORVACMN_STORE_SQLITE_STORE_H_

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
// SqliteStore::SetRecordAction). `stored` is the record's text, empty when
// there is none; `merged` is left empty when nothing is to be written. The
// status and `answer` go back to the caller.
using RecordAction =
    std::function<HRESULT(const String& parameter, const String& stored, String& merged, String& answer)>;

struct StoreOptions {
  // Every committed call also survives a power loss (synchronous FULL);
  // otherwise it survives a crash of the process (synchronous NORMAL).
  bool durable = false;
  int busyTimeoutMs = 5000;
  // Caps the file at this many pages of 4 KiB (0: no cap), as a quota would.
  uint32_t maxPages = 0;
};

class SqliteStore final : public IMocInstance, public IMocRecordReaderUtf8 {
 public:
  static constexpr int kSchemaVersion = 3;

  // Opens the store file at `path`; with `create` a missing file is created
  // and an empty database file made a store. Null on failure, with the
  // readable text in `error` and the status in `status` (either may be null).
  static std::shared_ptr<SqliteStore> Open(const String& path, bool create, String* error,
                                           const StoreOptions& options = StoreOptions(), HRESULT* status = nullptr);
  ~SqliteStore() override;
  SqliteStore(const SqliteStore&) = delete;
  SqliteStore& operator=(const SqliteStore&) = delete;

  HRESULT InitRecord(uint32_t type, BSTR key, BSTR* result) override;
  HRESULT LoadRecord(uint32_t type, uint32_t flags, BSTR keyOrFilter, BSTR optionsOrKeys, uint32_t limit,
                     BSTR* result) override;
  HRESULT SaveRecord(uint32_t type, BSTR key, BSTR reserved, BSTR data, uint32_t* value, BSTR* result) override;
  HRESULT CreateRecord(uint32_t type, BSTR data, BSTR* result) override;
  HRESULT DeleteRecord(uint32_t type, BSTR key, uint32_t* value, BSTR* result) override;
  HRESULT UpdateRecord(uint32_t type, BSTR key, BSTR reserved, BSTR data, uint32_t* value, BSTR* result) override;
  HRESULT DoAction(uint32_t type, BSTR action, BSTR parameter, BSTR* result) override;
  HRESULT SpecialTask(uint32_t task, BSTR arguments, BSTR* result) override;
  HRESULT LoadRecordUtf8(uint32_t type, uint32_t flags, std::string_view keyOrFilter, std::string_view optionsOrKeys,
                         uint32_t limit, String& result) override;

  const String& GetPath() const;

  // Makes DoAction(type, name, PARAMETER) run `action` on the record keyed by
  // the "GUID" of PARAMETER (a packed property bag), inside one write
  // transaction: the record is read, `action` called, and its merged text
  // written when it differs. A client must exist and keeps its version rule
  // aside (the action saw the stored text); other records are created when
  // missing. The answer is a bag of "ObjectTimestamp" (the record's stamp
  // after the call, 0 for none), "Written" (1 or 0) and "Answer". Set the
  // actions before the store is shared between threads.
  void SetRecordAction(uint32_t type, const String& name, RecordAction action);

 private:
  struct Impl;
  explicit SqliteStore(std::unique_ptr<Impl> impl);
  // LoadRecord on UTF-8 arguments: the texts of the records found, or the
  // failure and its text.
  HRESULT Find(uint32_t type, const String& keyOrFilter, const String& optionsOrKeys, uint32_t limit,
               std::vector<String>& answer, String& error);
  std::unique_ptr<Impl> impl_;
};

}  // namespace orvacmn::store

#endif  // ORVACMN_STORE_SQLITE_STORE_H_
