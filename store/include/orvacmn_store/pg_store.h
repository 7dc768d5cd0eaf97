// PgStore: the suite's object store in a PostgreSQL database, for
// installations with many agents and several server processes or hosts.
// Same rules, statuses and texts as SqliteStore (see RecordStore); only the
// SQL and the connection differ. How to point the tools at a server, what
// the store needs of it and how its schema is upgraded: store/README.md.
//
// Threads and processes: one instance holds one connection and serialises
// its own calls; writers in any number of processes and hosts wait on each
// other only when they touch the same records. A call whose connection
// breaks fails with kStatusConnection; the next call connects again.
#ifndef ORVACMN_STORE_PG_STORE_H_
#define ORVACMN_STORE_PG_STORE_H_

#include <memory>

#include "orvacmn_store/record_store.h"

namespace orvacmn::store {

class PgStore final : public RecordStore {
 public:
  static constexpr int kSchemaVersion = 1;

  // Opens the store in the database that `connection` names (a
  // "postgresql://" URL or a libpq connection string); with `create` an
  // empty database (or schema) is made a store. Null on failure, with the
  // readable text in `error` and the status in `status` (either may be null).
  static std::shared_ptr<PgStore> Open(const String& connection, bool create, String* error,
                                       const StoreOptions& options = StoreOptions(), HRESULT* status = nullptr);

 private:
  using RecordStore::RecordStore;
};

}  // namespace orvacmn::store

#endif  // ORVACMN_STORE_PG_STORE_H_
