// IMocInstance: the object store as the library reaches it.
//
// The store is a separate component; this library only calls these eight
// operations. Strings cross the interface as BSTRs (UTF-16): arguments stay
// the caller's, a result string is allocated by the store into the `result`
// slot and freed by the caller (CDBAccess wraps each in OFL::ScopedBstr). A
// null BSTR is the empty string. Every operation returns an HRESULT; on
// failure the result string, when given, holds the store's error text.
//
// Record texts are the packed objects of this library; keys, key lists and
// result lists are length-packed Strings. Whether calls from several threads
// may reach one instance at once is the store's to say.
#ifndef ORVACMN_PERSISTENCE_MOC_INSTANCE_H_
#define ORVACMN_PERSISTENCE_MOC_INSTANCE_H_

#include <cstdint>

#include "ofl/bstr.h"

namespace orvacmn {

// Statuses the facade and the stores agree on.
inline constexpr HRESULT kStatusNotNewer = 0x00830029;  // success: record not newer than the stamp
inline constexpr HRESULT kStatusNotFound = static_cast<HRESULT>(0x80830001u);

// Property of a write's answer holding the record's new change stamp.
inline constexpr const char* kPropertyObjectTimestamp = "ObjectTimestamp";

// DoAction on clients (type 51): find the client one of the keys names, or
// else create the record given, in one store transaction, so that two
// writers announcing the same new machine end with one client. Parameter: a
// packed property bag with "Keys" (a length-packed list of client keys
// (value, kind), tried in order) and "Record" (the client to create). Answer:
// a bag with "Created" ("1" or "0"), "Method" (the kind of the key that
// found the client, "0" when created), "ObjectTimestamp" and "Record" (the
// stored client as a load gives it).
inline constexpr const char* kActionFindOrCreateClient = "FindOrCreateClient";
inline constexpr const char* kParamKeys = "Keys";
inline constexpr const char* kParamRecord = "Record";
inline constexpr const char* kParamCreated = "Created";
inline constexpr const char* kParamMethod = "Method";

class IMocInstance {
 public:
  virtual ~IMocInstance() = default;

  // The packed text of a new, initialised record of `type`.
  virtual HRESULT InitRecord(uint32_t type, BSTR key, BSTR* result) = 0;
  // A length-packed list of record texts. `keyOrFilter` and `optionsOrKeys`
  // are passed as the caller gives them (a key and load options, or a filter
  // and a key list).
  virtual HRESULT LoadRecord(uint32_t type, uint32_t flags, BSTR keyOrFilter, BSTR optionsOrKeys, uint32_t limit,
                             BSTR* result) = 0;
  // Result: a packed property bag holding "ObjectTimestamp".
  virtual HRESULT SaveRecord(uint32_t type, BSTR key, BSTR reserved, BSTR data, uint32_t* value, BSTR* result) = 0;
  virtual HRESULT CreateRecord(uint32_t type, BSTR data, BSTR* result) = 0;
  virtual HRESULT DeleteRecord(uint32_t type, BSTR key, uint32_t* value, BSTR* result) = 0;
  // Result: a packed property bag holding "ObjectTimestamp".
  virtual HRESULT UpdateRecord(uint32_t type, BSTR key, BSTR reserved, BSTR data, uint32_t* value,
                               BSTR* result) = 0;
  virtual HRESULT DoAction(uint32_t type, BSTR action, BSTR parameter, BSTR* result) = 0;
  virtual HRESULT SpecialTask(uint32_t task, BSTR arguments, BSTR* result) = 0;
};

}  // namespace orvacmn

#endif  // ORVACMN_PERSISTENCE_MOC_INSTANCE_H_
