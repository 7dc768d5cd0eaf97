// LoadTypedRecord: the single load every typed family of the object store
// shares. Loads one record of a type under its key into an object of the
// library, sets the found flag and reports a missing record with the
// family's own status and text, so that each typed load is one call.
//
// Runs on the caller's thread with the CDBAccess it is given.
#ifndef ORVACMN_PERSISTENCE_TYPED_LOAD_H_
#define ORVACMN_PERSISTENCE_TYPED_LOAD_H_

#include <cstdint>
#include <utility>

#include "orvacmn/common/types.h"
#include "orvacmn/persistence/db_access.h"

namespace orvacmn {

// What a typed load returns when the store has no such record.
struct CRecordNotFound {
  HRESULT status = E_FAIL;
  String text;
  // When set, a missing record is no failure: the store's status is returned
  // and the out text emptied (status and text above are not used).
  bool keepStoreStatus = false;

  static CRecordNotFound StoreStatus() { return {S_OK, String(), true}; }
};

// The found flag (when given) becomes false first. A failed load returns the
// store's status and error text. A record comes back: unpacked into `object`
// (its Unpack from text), found flag set, `out` emptied, the store's status.
// No record: `object` unchanged and `notFound` decides. A conditional load
// (`newerThan` not 0) answered with kStatusNotNewer leaves `object` and
// `out` unchanged.
template <class T>
  requires requires(T& object, const String& text) { object.Unpack(text); }
HRESULT LoadTypedRecord(CDBAccess& db, uint32_t type, uint32_t flags, const String& key, T& object, String& out,
                        const CRecordNotFound& notFound, bool* found = nullptr, CFileTime newerThan = 0) {
  if (found != nullptr) *found = false;
  String record;
  const HRESULT hr = db.LoadRecord(type, flags, key, record, false, 0, newerThan);
  if (FAILED(hr)) {
    out = std::move(record);
    return hr;
  }
  if (newerThan != 0 && hr == kStatusNotNewer) return hr;
  if (record.empty()) {
    if (notFound.keepStoreStatus) {
      out.clear();
      return hr;
    }
    out = notFound.text;
    return notFound.status;
  }
  object.Unpack(record);
  if (found != nullptr) *found = true;
  out.clear();
  return hr;
}

}  // namespace orvacmn

#endif  // ORVACMN_PERSISTENCE_TYPED_LOAD_H_
