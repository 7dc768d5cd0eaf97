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
#include <string_view>

#include "ofl/bstr.h"
#include "orvacmn/persistence/record_types.h"
#include "orvacmn/persistence/store_vocabulary.h"

namespace orvacmn {

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

// A store living in the caller's process may also answer LoadRecord in
// UTF-8: a list of many records then skips its two conversions to UTF-16
// and back, and the memory they take. Same arguments, statuses and answers
// as IMocInstance::LoadRecord; CDBAccess uses it where the store offers it.
class IMocRecordReaderUtf8 {
 public:
  virtual ~IMocRecordReaderUtf8() = default;
  virtual HRESULT LoadRecordUtf8(uint32_t type, uint32_t flags, std::string_view keyOrFilter,
                                 std::string_view optionsOrKeys, uint32_t limit, OFL::String& result) = 0;
};

}  // namespace orvacmn

#endif  // ORVACMN_PERSISTENCE_MOC_INSTANCE_H_
