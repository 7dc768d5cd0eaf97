// The PostgreSQL backend of RecordStore: the store's tables in the current
// schema of one database, reached over one libpq connection.
#ifndef ORVACMN_STORE_PG_BACKEND_H_
#define ORVACMN_STORE_PG_BACKEND_H_

#include <memory>

#include "store_backend.h"

namespace orvacmn::store {

// Connects to the database `connection` names (a "postgresql://" URL or a
// libpq connection string), lays out the store there when `create` and the
// schema is empty, brings its condition index in step with the families and
// prepares the statements. Null on failure, with `status` and `error` set.
std::unique_ptr<StoreBackend> OpenPgBackend(const String& connection, bool create, const StoreOptions& options,
                                            HRESULT& status, String& error);

}  // namespace orvacmn::store

#endif  // ORVACMN_STORE_PG_BACKEND_H_
