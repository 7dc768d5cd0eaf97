// The shared typed path of the record families: keys, not-found results,
// filters, and the writes that need no object type.
#include <array>
#include <cstdio>
#include <string_view>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"
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

String RecordKeyOf(const RecordFamily& family, const String& record) {
  const int n = family.KeyFieldCount();
  std::array<std::string_view, 4> values{};
  OFLXMLParser parser;
  if (parser.SetDoc(record) && parser.FindElem()) {
    parser.ForEachChildElem([&](std::string_view tag) {
      for (int i = 0; i < n; ++i)
        if (OFL::EqualsNoCase(tag, family.keyFields[size_t(i)])) values[size_t(i)] = parser.GetChildDataView();
    });
  }
  if (family.policy == RecordKeyPolicy::kDeviceIds) return DeviceRecordKey(values[0], values[1]);
  String key;
  for (int i = 0; i < n; ++i) AppendPackedEntry(key, values[size_t(i)]);
  return key;
}

String ConditionFilter(RecordConditionSpan conditions) {
  if (conditions.empty()) return String();
  OVO::Properties filter;
  for (const auto& [name, value] : conditions) filter.SetProperty(String(name), String(value));
  return filter.Pack();
}

HRESULT UpdateOne(CDBAccess& db, const RecordFamily& family, RecordKeySpan keys, const String& record,
                  String& out, CFileTime* stamp) {
  out = record;
  const String key = FamilyKey(family, keys);
  if (stamp == nullptr) return db.UpdateRecord(family.type, key, out);
  return db.UpdateRecord(family.type, key, out, *stamp);
}

HRESULT DeleteOne(CDBAccess& db, const RecordFamily& family, RecordKeySpan keys, String& out) {
  return db.DeleteRecord(family.type, FamilyKey(family, keys), out);
}

}  // namespace orvacmn
