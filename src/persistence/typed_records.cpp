// The shared typed path of the record families: keys, not-found results,
// filters, and the writes that need no object type.
#include <cstdio>
#include <string_view>
#include <vector>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "orvacmn/objects/catalogue.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/persistence/typed_load.h"

namespace orvacmn {

String FamilyKey(const RecordFamily& family, RecordKeySpan keys, bool wildcard) {
  String key = MakeRecordKeyFrom(keys);
  if (wildcard && family.wildcard) AppendPackedEntry(key, kKeyWildcard);
  return key;
}

String FormatNotFound(std::string_view format, RecordKeySpan keys) {
  String text;
  auto next = keys.begin();
  const auto take = [&] { return next == keys.end() ? std::string_view() : *next++; };
  for (size_t i = 0; i < format.size(); ++i) {
    const std::string_view rest = format.substr(i);
    if (rest.starts_with("%s")) {
      text += take();
      ++i;
    } else if (rest.starts_with("%04X")) {
      // A device id as its four hexadecimal digits, as the 32-bit runtime reads it.
      char digits[16];
      std::snprintf(digits, sizeof digits, "%04X", OFLTools::AToUL(take()));
      text += digits;
      i += 3;
    } else {
      text += format[i];
    }
  }
  return text;
}

CRecordNotFound NotFoundOf(const RecordFamily& family, RecordKeySpan keys) {
  if (!family.ReportsMissing()) return CRecordNotFound::StoreStatus();
  return {family.notFoundStatus, FormatNotFound(family.notFoundText, keys), false};
}

namespace {

// The value of a key field of the record under `parser` (positioned on the
// root): a direct child, or with "Outer/Inner" the Inner child of the child
// Outer (an embedded object's own key).
String KeyFieldValue(OFLXMLParser& parser, std::string_view field) {
  const size_t slash = field.find('/');
  String value;
  bool done = false;
  parser.ResetChildPos();
  parser.ForEachChildElem([&](std::string_view tag) {
    if (done || !OFL::EqualsNoCase(tag, field.substr(0, slash))) return;
    done = true;
    if (slash == std::string_view::npos) {
      value = parser.GetChildDataView();
      return;
    }
    OFLXMLParser inner;
    if (inner.SetDoc(parser.GetChildSubDoc()) && inner.FindElem()) value = KeyFieldValue(inner, field.substr(slash + 1));
  });
  return value;
}

bool IsWildcard(std::string_view value) { return value == kKeyWildcard; }

HRESULT RefuseWildcard(const RecordFamily& family, std::string_view what, String& out) {
  out = String(what) + " of " + String(family.family) +
        " holds the value \"*\", which the store reads as any record; a typed operation names its records";
  return E_INVALIDARG;
}

}  // namespace

String RecordKeyOf(const RecordFamily& family, const String& record) {
  const int n = family.KeyFieldCount();
  OFLXMLParser parser;
  const bool parsed = parser.SetDoc(record) && parser.FindElem();
  if (family.policy == RecordKeyPolicy::kDeviceIds)
    return DeviceRecordKey(parsed ? KeyFieldValue(parser, family.keyFields[0]) : String(),
                           parsed ? KeyFieldValue(parser, family.keyFields[1]) : String());
  String key;
  for (int i = 0; i < n; ++i) AppendPackedEntry(key, parsed ? KeyFieldValue(parser, family.keyFields[size_t(i)]) : "");
  return key;
}

HRESULT CheckKeyValues(const RecordFamily& family, RecordKeySpan keys, String& out) {
  if (family.policy != RecordKeyPolicy::kFields) return S_OK;
  for (const std::string_view value : keys)
    if (IsWildcard(value)) return RefuseWildcard(family, "The key", out);
  return S_OK;
}

HRESULT CheckRecordText(const RecordFamily& family, const String& record, String& out) {
  // A client update may be a property bag of the changes; the store reads
  // client texts itself.
  if (family.policy != RecordKeyPolicy::kFields) return S_OK;
  OFLXMLParser parser;
  if (!parser.SetDoc(record) || !parser.FindElem()) {
    out = "The record text of " + String(family.family) + " is no XML element";
    return E_INVALIDARG;
  }
  const CatalogueEntry* entry = FindCatalogueEntry(family.className);
  if (entry != nullptr && !entry->objectName.empty() && parser.GetTagNameView() != entry->objectName) {
    out = "The record text of " + String(family.family) + " has the root <" + parser.GetTagName() + ">, not <" +
          String(entry->objectName) + ">";
    return E_INVALIDARG;
  }
  for (int i = 0; i < family.KeyFieldCount(); ++i)
    if (IsWildcard(KeyFieldValue(parser, family.keyFields[size_t(i)])))
      return RefuseWildcard(family, "The record's " + String(family.keyFields[size_t(i)]), out);
  return S_OK;
}

HRESULT ForEachRecord(CDBAccess& db, const RecordFamily& family, RecordKeySpan keys, RecordConditionSpan conditions,
                      uint32_t flags, String& out, const std::function<void(const String&)>& each) {
  if (const HRESULT bad = CheckKeyValues(family, keys, out); FAILED(bad)) return bad;
  // The leading key strings, then "*": every record whose key begins with
  // them (a client key list is sent as it stands).
  String keyList = MakeRecordKeyFrom(keys);
  if (keys.empty() || family.policy == RecordKeyPolicy::kFields) AppendPackedEntry(keyList, kKeyWildcard);
  OFLTokenizer records;
  const HRESULT hr = db.LoadRecordList(family.type, flags, ConditionFilter(conditions), keyList, records);
  if (FAILED(hr)) {
    out = records.GetAt(0, String());
    return hr;
  }
  for (const String& record : records) each(record);
  out.clear();
  return hr;
}

String ConditionFilter(RecordConditionSpan conditions) {
  if (conditions.empty()) return String();
  OVO::Properties filter;
  for (const auto& [name, value] : conditions) filter.SetProperty(String(name), String(value));
  return filter.Pack();
}

HRESULT UpdateOne(CDBAccess& db, const RecordFamily& family, RecordKeySpan keys, const String& record,
                  String& out, CFileTime* stamp) {
  if (HRESULT bad = CheckKeyValues(family, keys, out); FAILED(bad) || FAILED(bad = CheckRecordText(family, record, out)))
    return bad;
  out = record;
  const String key = FamilyKey(family, keys);
  if (stamp == nullptr) return db.UpdateRecord(family.type, key, out);
  return db.UpdateRecord(family.type, key, out, *stamp);
}

HRESULT DeleteWhere(CDBAccess& db, const RecordFamily& family, RecordConditions conditions, String& out) {
  std::vector<String> keys;
  HRESULT hr = ForEachRecord(db, family, {}, AsSpan(conditions), kLoadAllFlags, out,
                             [&](const String& record) { keys.push_back(RecordKeyOf(family, record)); });
  for (const String& key : keys)
    if (FAILED(hr = db.DeleteRecord(family.type, key, out))) break;
  return hr;
}

HRESULT DeleteOne(CDBAccess& db, const RecordFamily& family, RecordKeySpan keys, String& out) {
  if (const HRESULT bad = CheckKeyValues(family, keys, out); FAILED(bad)) return bad;
  return db.DeleteRecord(family.type, FamilyKey(family, keys), out);
}

}  // namespace orvacmn
