// The one road of every typed family of the object store: load one, load a
// list, create, save, update and delete, each given the family's row of
// kRecordFamilies and the key strings, so that each named operation of
// CDBAccess is one call. LoadTypedRecord is the single load beneath: it
// loads one record under a ready key into an object of the library, sets the
// found flag and reports a missing record with the family's own status and
// text.
//
// Runs on the caller's thread with the CDBAccess it is given.
#ifndef ORVACMN_PERSISTENCE_TYPED_LOAD_H_
#define ORVACMN_PERSISTENCE_TYPED_LOAD_H_

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string_view>
#include <utility>

#include "ofl/tokenizer.h"
#include "orvacmn/common/types.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/persistence/record_families.h"

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

// The key strings of one record, in the order of the family's key fields;
// each operation takes them as a braced list, or as a span built at run time.
using RecordKeyStrings = std::initializer_list<std::string_view>;
using RecordKeySpan = std::span<const std::string_view>;
// Conditions of a list load: (name, value) pairs.
using RecordCondition = std::pair<std::string_view, std::string_view>;
using RecordConditions = std::initializer_list<RecordCondition>;
using RecordConditionSpan = std::span<const RecordCondition>;

inline RecordKeySpan AsSpan(RecordKeyStrings keys) { return {keys.begin(), keys.size()}; }
inline RecordConditionSpan AsSpan(RecordConditions conditions) { return {conditions.begin(), conditions.size()}; }

// The key a family's single load sends: the key strings, then "*" when the
// family asks for it (`wildcard` false drops it, as writes do).
String FamilyKey(const RecordFamily& family, RecordKeySpan keys, bool wildcard = true);
inline String FamilyKey(const RecordFamily& family, RecordKeyStrings keys, bool wildcard = true) {
  return FamilyKey(family, AsSpan(keys), wildcard);
}
// What a family's single load yields for a missing record: the table's
// status and its text with the key strings in the placeholders ("%s" as it
// is, "%04X" as a number in four hexadecimal digits).
CRecordNotFound NotFoundOf(const RecordFamily& family, RecordKeySpan keys);
String FormatNotFound(std::string_view format, RecordKeySpan keys);
inline String FormatNotFound(std::string_view format, RecordKeyStrings keys) {
  return FormatNotFound(format, AsSpan(keys));
}
// The key of a record text: the values of the family's key fields (direct
// children of the root) in order, without "*"; empty entries for missing
// fields.
String RecordKeyOf(const RecordFamily& family, const String& record);
// The filter of a list load: a packed property bag of the conditions, or
// empty for none.
String ConditionFilter(RecordConditionSpan conditions);

// E_INVALIDARG with a text when a key value is the wildcard "*": the store
// would read it as "any record", so a typed operation given it as a value
// would reach every record of the family instead of the one it names. The
// client family's keys carry their own wildcard and pass.
HRESULT CheckKeyValues(const RecordFamily& family, RecordKeySpan keys, String& out);
// E_INVALIDARG with a text when the record's root element is not the object
// name of the family's class, or its own key values hold the wildcard: such
// a text would be stored where no typed load finds it, or under a key that
// names other records. Families without a catalogued class take any root;
// client texts are not checked here.
HRESULT CheckRecordText(const RecordFamily& family, const String& record, String& out);

// One record of `family` under `keys` into `object`, as LoadTypedRecord; a
// key value "*" finds no record.
template <class T>
HRESULT LoadOne(CDBAccess& db, const RecordFamily& family, RecordKeySpan keys, T& object, String& out,
                uint32_t flags = kLoadAllFlags, bool* found = nullptr, CFileTime newerThan = 0) {
  if (found != nullptr) *found = false;
  const CRecordNotFound notFound = NotFoundOf(family, keys);
  // No record is keyed "*" (writes refuse it): the load finds nothing.
  if (String ignored; FAILED(CheckKeyValues(family, keys, ignored))) {
    out = notFound.text;
    return notFound.keepStoreStatus ? S_OK : notFound.status;
  }
  return LoadTypedRecord(db, family.type, flags, FamilyKey(family, keys), object, out, notFound, found, newerThan);
}
template <class T>
HRESULT LoadOne(CDBAccess& db, const RecordFamily& family, RecordKeyStrings keys, T& object, String& out,
                uint32_t flags = kLoadAllFlags, bool* found = nullptr, CFileTime newerThan = 0) {
  return LoadOne(db, family, AsSpan(keys), object, out, flags, found, newerThan);
}

// Calls `each(record text)` for every record whose key begins with `keys`
// (every record when empty) and that meets `conditions`. On failure `out` is
// the error text and nothing was visited; on success `out` is empty.
HRESULT ForEachRecord(CDBAccess& db, const RecordFamily& family, RecordKeySpan keys, RecordConditionSpan conditions,
                      uint32_t flags, String& out, const std::function<void(const String&)>& each);

// Appends one new object per record found to `list` (any list with
// AddTail(T*) that owns what it holds), as ForEachRecord.
template <class T, class List>
HRESULT LoadList(CDBAccess& db, const RecordFamily& family, RecordKeySpan keys, RecordConditionSpan conditions,
                 uint32_t flags, List& list, String& out) {
  return ForEachRecord(db, family, keys, conditions, flags, out, [&list](const String& record) {
    auto object = std::make_unique<T>();
    object->Unpack(record);
    list.AddTail(object.release());
  });
}
template <class T, class List>
HRESULT LoadList(CDBAccess& db, const RecordFamily& family, RecordKeyStrings keys, RecordConditions conditions,
                 uint32_t flags, List& list, String& out) {
  return LoadList<T>(db, family, AsSpan(keys), AsSpan(conditions), flags, list, out);
}

// Every record of the family into `map`, keyed by the object's GUID; a later
// record of one GUID replaces an earlier one.
template <class T>
HRESULT LoadMap(CDBAccess& db, const RecordFamily& family, uint32_t flags, OVOObjectMap<T>& map, String& out) {
  return ForEachRecord(db, family, {}, {}, flags, out, [&map](const String& record) {
    auto object = std::make_unique<T>();
    object->Unpack(record);
    String guid = object->GetGUID();
    map[std::move(guid)] = std::move(object);
  });
}

// The first record that meets `conditions` (a load by fields that are not
// the key) into `object`, else `notFound` decides, as LoadTypedRecord.
template <class T>
HRESULT LoadFirstWhere(CDBAccess& db, const RecordFamily& family, RecordConditionSpan conditions, T& object,
                       String& out, const CRecordNotFound& notFound, uint32_t flags = kLoadAllFlags,
                       bool* found = nullptr) {
  if (found != nullptr) *found = false;
  String first;
  bool any = false;
  const HRESULT hr = ForEachRecord(db, family, {}, conditions, flags, out, [&](const String& record) {
    if (!std::exchange(any, true)) first = record;
  });
  if (FAILED(hr)) return hr;
  if (!any) {
    if (notFound.keepStoreStatus) return hr;
    out = notFound.text;
    return notFound.status;
  }
  object.Unpack(first);
  if (found != nullptr) *found = true;
  return hr;
}
template <class T>
HRESULT LoadFirstWhere(CDBAccess& db, const RecordFamily& family, RecordConditions conditions, T& object,
                       String& out, const CRecordNotFound& notFound, uint32_t flags = kLoadAllFlags,
                       bool* found = nullptr) {
  return LoadFirstWhere(db, family, AsSpan(conditions), object, out, notFound, flags, found);
}

// Deletes every record that meets `conditions`, each under its own key;
// stops at the first delete that fails. The status of the last delete (the
// list's when there was none).
HRESULT DeleteWhere(CDBAccess& db, const RecordFamily& family, RecordConditions conditions, String& out);

// Creates the record of `object`; `out` is the store's answer unchanged.
template <class T>
HRESULT CreateOne(CDBAccess& db, const RecordFamily& family, const T& object, String& out) {
  const String record = object.Pack();
  if (const HRESULT bad = CheckRecordText(family, record, out); FAILED(bad)) return bad;
  return db.CreateRecord(family.type, record, out);
}

// Saves `object` under its own key (RecordKeyOf its text); `stamp`, when
// given, receives the store's new stamp. `out` is emptied on success.
template <class T>
HRESULT SaveOne(CDBAccess& db, const RecordFamily& family, const T& object, String& out, CFileTime* stamp = nullptr) {
  String record = object.Pack();
  if (const HRESULT bad = CheckRecordText(family, record, out); FAILED(bad)) return bad;
  const String key = RecordKeyOf(family, record);
  out = std::move(record);
  if (stamp == nullptr) return db.SaveRecord(family.type, key, out);
  return db.SaveRecord(family.type, key, out, *stamp);
}

// Writes the ready record text over the stored record under `keys`.
HRESULT UpdateOne(CDBAccess& db, const RecordFamily& family, RecordKeySpan keys, const String& record, String& out,
                  CFileTime* stamp = nullptr);
inline HRESULT UpdateOne(CDBAccess& db, const RecordFamily& family, RecordKeyStrings keys, const String& record,
                         String& out, CFileTime* stamp = nullptr) {
  return UpdateOne(db, family, AsSpan(keys), record, out, stamp);
}
// Deletes the record under `keys`, or the records whose key begins with them.
HRESULT DeleteOne(CDBAccess& db, const RecordFamily& family, RecordKeySpan keys, String& out);
inline HRESULT DeleteOne(CDBAccess& db, const RecordFamily& family, RecordKeyStrings keys, String& out) {
  return DeleteOne(db, family, AsSpan(keys), out);
}

// A record held as its text: the typed path's object for the families
// handled only as texts, and for tools that pass records through.
struct CRecordText {
  String text;
  int Unpack(const String& record) {
    text = record;
    return 1;
  }
  const String& Pack() const { return text; }
};

}  // namespace orvacmn

#endif  // ORVACMN_PERSISTENCE_TYPED_LOAD_H_
