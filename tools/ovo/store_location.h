// Where the store commands find their store: a file path, or a PostgreSQL
// server named by a "postgresql://" URL or a libpq connection string.
#ifndef OVO_TOOL_STORE_LOCATION_H_
#define OVO_TOOL_STORE_LOCATION_H_

#include <memory>
#include <string>

#include "orvacmn_store/record_store.h"
#include "ovo.h"

namespace ovo {

// The help text of every DB argument.
inline constexpr const char* kStoreHelp = "Store: a file, or a PostgreSQL URL or connection string";

// The store at `location`, or null with the store's text printed (the
// caller returns its own exit status). With `create` a missing file is
// created and an empty database made a store.
inline std::shared_ptr<orvacmn::store::RecordStore> OpenStore(const std::string& location, bool create = false) {
  std::string error;
  auto store = orvacmn::store::OpenStore(location, create, &error);
  if (!store) Error(error);
  return store;
}

}  // namespace ovo

#endif  // OVO_TOOL_STORE_LOCATION_H_
