#include "orvacmn_store/pg_store.h"

#include "pg_backend.h"

namespace orvacmn::store {

std::shared_ptr<PgStore> PgStore::Open(const String& connection, bool create, String* error,
                                       const StoreOptions& options, HRESULT* status) {
  HRESULT hr = S_OK;
  String text;
  std::unique_ptr<StoreBackend> backend = OpenPgBackend(connection, create, options, hr, text);
  if (status) *status = hr;
  if (!backend) {
    if (error) *error = text;
    return nullptr;
  }
  return std::shared_ptr<PgStore>(new PgStore(std::move(backend)));
}

}  // namespace orvacmn::store
