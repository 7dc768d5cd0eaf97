// SqliteStore: the suite's object store on one SQLite file (see RecordStore
// for the rules every store keeps).
//
// Records are kept per (record type, key) with their text and a change stamp
// (a FileTime, strictly increasing with every write of the record). Client
// records (type 51) are also indexed by every identifying value, so that a
// lookup by any key kind is an index search. How keys, load options and
// flags are read is told in store/README.md.
//
// Threads and processes: one instance serialises its own calls, so it may be
// shared between threads; any number of instances, in any number of
// processes, may open the same file (write-ahead log, one transaction per
// call, a busy time-out for the writer's lock).
#ifndef ORVACMN_STORE_SQLITE_STORE_H_
#define ORVACMN_STORE_SQLITE_STORE_H_

#include <memory>

#include "orvacmn_store/record_store.h"

namespace orvacmn::store {

class SqliteStore final : public RecordStore {
 public:
  static constexpr int kSchemaVersion = 3;

  // Opens the store file at `path`; with `create` a missing file is created
  // and an empty database file made a store. Null on failure, with the
  // readable text in `error` and the status in `status` (either may be null).
  static std::shared_ptr<SqliteStore> Open(const String& path, bool create, String* error,
                                           const StoreOptions& options = StoreOptions(), HRESULT* status = nullptr);

  const String& GetPath() const;

 private:
  using RecordStore::RecordStore;
};

}  // namespace orvacmn::store

#endif  // ORVACMN_STORE_SQLITE_STORE_H_
