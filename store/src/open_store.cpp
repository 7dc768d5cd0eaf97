#include <memory>

#include "orvacmn_store/pg_store.h"
#include "orvacmn_store/record_store.h"
#include "orvacmn_store/sqlite_store.h"

namespace orvacmn::store {

bool IsServerLocation(std::string_view location) {
  if (location.starts_with("postgresql://") || location.starts_with("postgres://")) return true;
  // A libpq connection string is "keyword=value" pairs; no sensible file
  // path starts with a keyword and "=".
  size_t i = location.find_first_not_of(' ');
  const size_t word = i;
  while (i < location.size() && ((location[i] >= 'a' && location[i] <= 'z') || location[i] == '_')) ++i;
  if (i == word || word == std::string_view::npos) return false;
  i = location.find_first_not_of(' ', i);
  return i != std::string_view::npos && location[i] == '=';
}

std::shared_ptr<RecordStore> OpenStore(const String& location, bool create, String* error, const StoreOptions& options,
                                       HRESULT* status) {
  if (IsServerLocation(location)) return PgStore::Open(location, create, error, options, status);
  return SqliteStore::Open(location, create, error, options, status);
}

}  // namespace orvacmn::store
