#include "orvacmn_store/record_store.h"

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "orvacmn/persistence/record_families.h"
#include "record_text.h"
#include "store_backend.h"

namespace orvacmn::store {

ConditionNames WantedConditions() {
  ConditionNames wanted;
  for (const RecordFamily& family : kRecordFamilies) {
    if (family.policy != RecordKeyPolicy::kFields) continue;
    for (const std::string_view name : family.conditions) {
      if (name.empty()) continue;
      std::vector<String>& names = wanted[family.type];
      String lower = OFL::ToLower(name);
      if (std::find(names.begin(), names.end(), lower) == names.end()) names.push_back(std::move(lower));
    }
  }
  for (auto& [type, names] : wanted) std::sort(names.begin(), names.end());
  return wanted;
}

namespace {

// FileTime of 1970-01-01 00:00 UTC.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
// Runs of one transaction that lost a race with other writers, at most.
constexpr int kMaxAttempts = 64;

uint64_t NowAsFileTime() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  return kUnixEpochAsFileTime + uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100);
}

// The UTF-8 text of each argument. False, with `error`, for UTF-16 holding an
// unpaired surrogate: it has no UTF-8 form, and a replacement character
// would change the text without a word.
bool ReadArgs(std::initializer_list<std::pair<BSTR, String*>> args, String& error) {
  for (const auto& [text, out] : args) {
    const std::u16string_view v(text ? text : u"", SysStringLen(text));
    for (size_t i = 0; i < v.size(); ++i) {
      if (v[i] < 0xD800 || v[i] > 0xDFFF) continue;
      if (v[i] <= 0xDBFF && i + 1 < v.size() && v[i + 1] >= 0xDC00 && v[i + 1] <= 0xDFFF) {
        ++i;
        continue;
      }
      error = "The text holds an unpaired UTF-16 surrogate at position " + std::to_string(i) +
              "; the store keeps only texts it can give back unchanged";
      return false;
    }
    *out = OFL::FromUtf16(v);
  }
  return true;
}

// The key's entries for messages: "a, b, *".
String Readable(const String& packed) {
  OFLTokenizer entries;
  if (!entries.FromLengthPackedString(packed)) return packed;
  return entries.AsString(", ");
}

// Clients are found by any of their identities through the index; every
// other family by the values of its key fields.
bool KeyedByIdentities(uint32_t type) {
  return StoreFamilyOf(type).policy == RecordKeyPolicy::kClientIdentities;
}

HRESULT Answer(HRESULT hr, const String& text, BSTR* result) {
  if (result) *result = text.empty() ? nullptr : OFL::AllocBstr(text);
  return hr;
}

// The length-packed list of `texts` (lengths in UTF-8 bytes) in the UTF-16
// of the interface, widened straight into the answer: a list of many
// records is not first joined and then copied again. Null when empty.
BSTR PackedList(const std::vector<String>& texts) {
  if (texts.empty()) return nullptr;
  const auto ascii = [](const String& t) {
    unsigned bits = 0;  // no early exit: the loop vectorizes
    for (const char c : t) bits |= static_cast<unsigned char>(c);
    return bits < 0x80;
  };
  std::vector<std::u16string> wide(texts.size());  // of the texts that are not ASCII
  size_t units = 0;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (!ascii(texts[i])) wide[i] = OFL::ToUtf16(texts[i]);
    units += std::to_string(texts[i].size()).size() + 1 + (wide[i].empty() ? texts[i].size() : wide[i].size());
  }
  BSTR out = SysAllocStringLen(nullptr, units);
  if (out == nullptr) return nullptr;
  char16_t* w = out;
  for (size_t i = 0; i < texts.size(); ++i) {
    for (const char c : std::to_string(texts[i].size())) *w++ = char16_t(c);
    *w++ = u':';
    if (!wide[i].empty()) w = std::copy(wide[i].begin(), wide[i].end(), w);
    else for (const char c : texts[i]) *w++ = char16_t(static_cast<unsigned char>(c));
  }
  return out;
}

// "GUID", or "Vendor, Name and Version".
String KeyFieldNames(const RecordFamily& family) {
  String names;
  const int n = family.KeyFieldCount();
  for (int i = 0; i < n; ++i) {
    if (i > 0) names += i + 1 == n ? " and " : ", ";
    names += family.keyFields[size_t(i)];
  }
  return names;
}

// A record's stamp rises with every write, and past its deletion: the clock,
// or one more than the last stamp when the clock has not moved on.
uint64_t NextStamp(uint64_t last) {
  const uint64_t now = NowAsFileTime();
  return last >= now ? last + 1 : now;
}

enum class Mode { kSave, kUpdate, kCreate };

// S_OK when a write may go ahead, else the status with its text in `out`.
// `given` is the stored version a client record names in its "TimeStamp" (0
// for none, and for the other types, whose records carry no stamp): a save
// replaces only the version it names, and brings back no record deleted
// after that version. Updates and creates name no version.
HRESULT Refusal(uint32_t type, const String& key, Mode mode, const Stored& row, uint64_t given, String& out) {
  const auto what = [&] { return "Record [" + Readable(key) + "] of type " + std::to_string(type); };
  if (mode == Mode::kUpdate && !row.exists) {
    out = what() + " not found";
    return kStatusNotFound;
  }
  if (mode == Mode::kCreate && row.exists) {
    out = what() + " already exists";
    return kStatusExists;
  }
  if (mode != Mode::kSave || given == 0) return S_OK;
  if (row.exists && given != row.stamp) {
    out = what() + " was changed by someone else since it was loaded, or was never loaded (the text names version " +
          FormatStamp(given) + ", the stored version is " + FormatStamp(row.stamp) +
          "); load it again and repeat the change";
    return kStatusStale;
  }
  if (!row.exists && given <= row.deleted) {
    out = what() + " was deleted by someone else since it was loaded (the text names version " + FormatStamp(given) +
          ", deleted at " + FormatStamp(row.deleted) + ")";
    return kStatusNotFound;
  }
  return S_OK;
}

// Splits the `stored` entries of an index into those `wanted` keeps (taken
// out of `wanted`, which is left with the entries to add) and the `stale`
// ones to remove: entries that stay are not written again.
template <class Entry>
void Diff(std::vector<Entry>& stored, std::vector<Entry>& wanted, std::vector<Entry>& stale) {
  for (Entry& entry : stored) {
    const auto at = std::find(wanted.begin(), wanted.end(), entry);
    if (at != wanted.end()) wanted.erase(at);
    else stale.push_back(std::move(entry));
  }
}

// The store key of a client record and its index fields. `packed` is the
// caller's key, which must name the record's GUID; without one (a create)
// the record is keyed by its own GUID.
HRESULT ClientRecordKey(const String* packed, const String& text, String& key, ClientFields& fields, String& error) {
  if (!ReadClientFields(text, fields, error)) return E_INVALIDARG;
  String guid = fields.guid;
  if (packed) {
    ClientKey k;
    if (!ParseClientKey(*packed, k, error)) return E_INVALIDARG;
    if (k.kind != eKindGuid || k.all) {
      error = "Client records are written under their GUID (key kind 1)";
      return E_INVALIDARG;
    }
    guid = k.value;
  }
  const std::vector<String> named = LookupValues(eKindGuid, guid), own = LookupValues(eKindGuid, fields.guid);
  if (named.empty()) {
    error = "The record has no GUID to be keyed by";
    return E_INVALIDARG;
  }
  if (!own.empty() && own[0] != named[0]) {
    error = "The key GUID [" + guid + "] differs from the record's GUID [" + fields.guid + "]";
    return E_INVALIDARG;
  }
  key = MakeRecordKey({named[0]});
  return S_OK;
}

// The store key of any other record: the caller's values before a "*", or
// without a key (a create) the values of the family's key fields in the
// record.
HRESULT GenericRecordKey(uint32_t type, const String* packed, const String& text, String& key, String& error) {
  String own;
  if (!packed && StoreFamilyOf(type).policy == RecordKeyPolicy::kDeviceIds) {
    // Keyed by the ids of its device string, which may hold escaped "&".
    String values[2];
    for (int i = 0; i < 2; ++i) {
      ChildSpan span;
      if (FindRootChild(text, StoreFamilyOf(type).keyFields[size_t(i)], span) && span.found && !span.selfClosing)
        values[i] =
            OFLXMLParser::UnescapeText(OFL::Trim(text.substr(span.contentBegin, span.contentEnd - span.contentBegin)));
    }
    if (!values[0].empty() || !values[1].empty()) own = DeviceRecordKey(values[0], values[1]);
  } else if (!packed) {
    const RecordFamily& family = StoreFamilyOf(type);
    bool any = false;
    for (int i = 0; i < family.KeyFieldCount(); ++i) {
      ChildSpan span;
      String value;
      std::string_view scope = text, field = family.keyFields[size_t(i)];
      // "Outer/Inner": the key of an embedded object, Inner within the root's child Outer.
      for (size_t slash; !scope.empty() && (slash = field.find('/')) != std::string_view::npos;
           field = field.substr(slash + 1)) {
        const bool inner = FindRootChild(scope, field.substr(0, slash), span) && span.found && !span.selfClosing;
        scope = inner ? scope.substr(span.tagBegin, span.tagEnd - span.tagBegin) : std::string_view();
      }
      if (!scope.empty() && FindRootChild(scope, field, span) && span.found && !span.selfClosing)
        value = OFL::Trim(String(scope.substr(span.contentBegin, span.contentEnd - span.contentBegin)));
      any = any || !value.empty();
      AppendPackedEntry(own, value);
    }
    if (!any) own.clear();
  }
  GenericKey k;
  if (!ParseTypeKey(type, packed ? *packed : own, k, error)) return E_INVALIDARG;
  if (k.prefix.empty()) {
    error = packed ? "A record is written under its own key, not under \"*\""
                   : "The record has no " + KeyFieldNames(StoreFamilyOf(type)) + " to be keyed by";
    return E_INVALIDARG;
  }
  key = k.prefix;
  return S_OK;
}

}  // namespace

struct RecordStore::Engine {
  std::unique_ptr<StoreBackend> db;
  std::mutex mutex;
  // The actions of SetRecordAction by (type, name in lower case).
  std::map<std::pair<uint32_t, String>, RecordAction> actions;

  // Runs `body` in a write transaction, again from its start while the
  // backend says it lost a race with another writer; `body` sets up all it
  // answers on each run.
  template <class Body>
  int Transaction(Body body) {
    for (int attempt = 1;; ++attempt) {
      int rc = db->BeginWrite();
      if (rc == kRcOk) rc = body();
      rc = db->Finish(rc);
      if (attempt == kMaxAttempts || !db->Retry(rc)) return rc;
      // Racing writers draw apart before they meet again.
      thread_local std::minstd_rand jitter(std::random_device{}());
      std::this_thread::sleep_for(std::chrono::microseconds(jitter() % (100u << std::min(attempt, 6))));
    }
  }

  // Appends the rows `load` finds that an earlier query of the same answer
  // did not (`seen` holds their ids).
  template <class Load>
  static int Distinct(std::vector<Row>& rows, std::unordered_set<int64_t>& seen, Load load) {
    const size_t from = rows.size();
    const int rc = load();
    auto kept = rows.begin() + std::ptrdiff_t(from);
    for (auto at = kept; at != rows.end(); ++at) {
      if (!seen.insert(at->id).second) continue;
      if (kept != at) *kept = std::move(*at);
      ++kept;
    }
    rows.erase(kept, rows.end());
    return rc;
  }

  // The records a client key finds: by kind in kind order (every kind for
  // "*"), by value in the order of the values.
  int FindClients(const ClientKey& key, uint32_t limit, std::vector<Row>& rows) {
    if (key.all) return db->LoadRange(kClientType, String(), limit, rows);
    std::unordered_set<int64_t> seen;
    for (int kind = eKindGuid; kind <= eKindFqdn; ++kind) {
      if (key.kind != eKindAny && key.kind != kind) continue;
      for (const String& value : LookupValues(kind, key.value)) {
        const int rc = Distinct(rows, seen, [&] {
          return kind == eKindGuid ? db->LoadExact(kClientType, MakeRecordKey({value}), rows)
                                   : db->LoadByIndex(kind, value, rows);
        });
        if (rc != kRcOk) return rc;
      }
    }
    return kRcOk;
  }

  // The client index of record `id`. Most saves keep a client's identity,
  // and then write no index entry at all.
  int ReplaceIndex(int64_t id, const ClientFields& fields, bool existed) {
    std::vector<KeyEntry> wanted = IndexEntries(fields), stored, stale;
    std::erase_if(wanted, [](const KeyEntry& e) { return e.first == eKindGuid; });  // the record's own key
    int rc = existed ? db->ReadKeys(id, stored) : kRcOk;
    Diff(stored, wanted, stale);
    if (rc == kRcOk && !(stale.empty() && wanted.empty())) rc = db->ChangeKeys(id, stale, wanted);
    return rc;
  }

  // The condition entries of record `id`, from its text.
  int ReplaceConditions(uint32_t type, const String& key, int64_t id, const String& text, bool existed) {
    const auto names = db->Indexed().find(type);
    if (names == db->Indexed().end()) return kRcOk;
    std::vector<ConditionEntry> wanted = ConditionEntries(text, names->second), stored, stale;
    int rc = existed ? db->ReadConditions(id, stored) : kRcOk;
    Diff(stored, wanted, stale);
    if (rc == kRcOk && !(stale.empty() && wanted.empty())) rc = db->ChangeConditions(type, key, id, stale, wanted);
    return rc;
  }

  // Deletes record `id` with its index entries; a client leaves the stamp of
  // its deletion behind, so that no copy loaded before is saved back.
  int DeleteById(int64_t id) {
    uint32_t type = 0;
    String key;
    uint64_t stamp = 0;
    const int rc = db->Delete(id, type, key, stamp);
    if (rc != kRcOk || !KeyedByIdentities(type)) return rc;
    return db->PutDeleted(type, key, NextStamp(stamp));
  }

  // Stores `data` under (type, key) at `stamp` with its index entries, over
  // the row found there.
  int Put(uint32_t type, const String& key, Stored& row, uint64_t stamp, const String& data,
          const ClientFields* fields) {
    int rc = row.exists ? db->Update(row.id, stamp, data) : db->Insert(type, key, stamp, data, row.id);
    if (rc == kRcOk && row.deleted) rc = db->DropDeleted(type, key);
    if (rc == kRcOk && fields) rc = ReplaceIndex(row.id, *fields, row.exists);
    if (rc == kRcOk) rc = ReplaceConditions(type, key, row.id, data, row.exists);
    return rc;
  }

  // A save, update or create inside an open write transaction: the backend's
  // result, with `refused` and `out` set when the rules refuse it. Only a
  // client's text carries its stamp ("TimeStamp" is the client's change
  // stamp); every other record is kept exactly as written. `stored`, when
  // given, receives the text as stored.
  int WriteRow(uint32_t type, const String& key, const String& text, Mode mode, const ClientFields* fields,
               HRESULT& refused, String& out, uint64_t& stamp, String* stored = nullptr) {
    const bool client = fields != nullptr;
    Stored row;
    int rc = db->FindForWrite(type, key, client, row);
    if (rc != kRcOk) return rc;
    refused = Refusal(type, key, mode, row, client ? RecordStamp(text) : 0, out);
    if (refused != S_OK) return kRcRefused;
    stamp = NextStamp(row.exists ? row.stamp : row.deleted);
    String stamped;
    const String& data = client ? (stamped = WithStamp(text, stamp)) : text;
    rc = Put(type, key, row, stamp, data, fields);
    if (rc == kRcOk && stored) *stored = data;
    return rc;
  }

  // Save, update and create: the record's key, then one write transaction.
  // `packed` is null for a create.
  HRESULT WriteText(uint32_t type, const String* packed, const String& text, Mode mode, String& out) {
    String key;
    ClientFields fields;
    if (text.empty()) {
      out = "The record text is empty";
      return E_INVALIDARG;
    }
    const bool client = KeyedByIdentities(type);
    HRESULT hr = client ? ClientRecordKey(packed, text, key, fields, out) : GenericRecordKey(type, packed, text, key, out);
    if (SUCCEEDED(hr)) hr = db->Writable(out);
    if (FAILED(hr)) return hr;
    std::lock_guard lock(mutex);
    HRESULT refused = S_OK;
    uint64_t stamp = 0;
    const int rc = Transaction([&] {
      refused = S_OK;
      return WriteRow(type, key, text, mode, client ? &fields : nullptr, refused, out, stamp);
    });
    if (refused != S_OK) return refused;
    if (rc != kRcOk) return db->Fail(rc, out);
    out = PackBag({{kPropertyObjectTimestamp, std::to_string(stamp)}});
    return S_OK;
  }

  HRESULT WriteCall(uint32_t type, BSTR keyText, BSTR data, Mode mode, BSTR* result) {
    String packed, text, out;
    HRESULT hr = ReadArgs({{keyText, &packed}, {data, &text}}, out) ? S_OK : E_INVALIDARG;
    if (SUCCEEDED(hr)) hr = WriteText(RecordTypeOf(type), &packed, text, mode, out);
    return Answer(hr, out, result);
  }

  // Finds the client that the first of `keys` to find one names (or the one
  // with the record's GUID), or else creates the record: one transaction, so
  // that writers racing to announce one new machine make one client.
  HRESULT FindOrCreateClient(const String& parameter, String& out) {
    std::vector<std::pair<String, String>> bag;
    if (!ReadBag(parameter, bag)) {
      out = "The parameter of " + String(kActionFindOrCreateClient) + " is no property bag";
      return E_INVALIDARG;
    }
    String keysText, text;
    for (auto& [name, value] : bag) {
      if (OFL::EqualsNoCase(name, kParamKeys)) keysText = std::move(value);
      else if (OFL::EqualsNoCase(name, kParamRecord)) text = std::move(value);
    }
    OFLTokenizer packedKeys;
    if (!packedKeys.FromLengthPackedString(keysText)) {
      out = "\"" + String(kParamKeys) + "\" is no length-packed list of client keys";
      return E_INVALIDARG;
    }
    std::vector<ClientKey> keys(size_t(packedKeys.GetCount()) + 1);
    for (int32_t i = 0; i < packedKeys.GetCount(); ++i) {
      if (!ParseClientKey(packedKeys[i], keys[size_t(i)], out)) return E_INVALIDARG;
      if (keys[size_t(i)].all) {
        out = "A wildcard finds any client: each key of \"" + String(kParamKeys) + "\" names the client";
        return E_INVALIDARG;
      }
    }
    String key;
    ClientFields fields;
    HRESULT hr = text.empty() ? E_INVALIDARG : ClientRecordKey(nullptr, text, key, fields, out);
    if (text.empty()) out = "\"" + String(kParamRecord) + "\" holds no client record";
    if (SUCCEEDED(hr)) hr = db->Writable(out);
    if (FAILED(hr)) return hr;
    keys.back().value = fields.guid;  // last, the record's own GUID

    std::lock_guard lock(mutex);
    std::vector<Row> rows;
    int method = 0;
    HRESULT refused = S_OK;
    uint64_t stamp = 0;
    String stored;
    bool found = false;
    const int rc = Transaction([&] {
      rows.clear();
      refused = S_OK;
      int rc = kRcOk;
      for (size_t i = 0; rc == kRcOk && rows.empty() && i < keys.size(); ++i) {
        rc = FindClients(keys[i], 0, rows);
        method = keys[i].kind;
      }
      found = rc == kRcOk && !rows.empty();
      if (found) {
        stamp = rows[0].stamp;
        stored = std::move(rows[0].data);
      } else if (rc == kRcOk) {
        rc = WriteRow(kClientType, key, text, Mode::kCreate, &fields, refused, out, stamp, &stored);
      }
      return rc;
    });
    if (refused != S_OK) return refused;
    if (rc != kRcOk) return db->Fail(rc, out);
    out = PackBag({{kParamCreated, found ? "0" : "1"},
                   {kParamMethod, std::to_string(found ? method : 0)},
                   {kPropertyObjectTimestamp, std::to_string(stamp)},
                   {kParamRecord, stored}});
    return S_OK;
  }

  // A registered record action (SetRecordAction) on the record named by the
  // parameter's "GUID".
  HRESULT RunRecordAction(uint32_t type, const RecordAction& action, const String& parameter, String& out) {
    std::vector<std::pair<String, String>> bag;
    String guid;
    if (!ReadBag(parameter, bag)) {
      out = "The parameter of the action is no property bag";
      return E_INVALIDARG;
    }
    for (const auto& [name, value] : bag)
      if (OFL::EqualsNoCase(name, kParamGuid)) guid = value;
    String key;
    const bool client = KeyedByIdentities(type);
    const std::vector<String> guids = LookupValues(eKindGuid, guid);
    if (guids.empty()) {
      out = "The parameter of the action names no GUID";
      return E_INVALIDARG;
    }
    const String named = MakeRecordKey({guid});
    HRESULT hr = client ? S_OK : GenericRecordKey(type, &named, String(), key, out);
    if (client) key = MakeRecordKey({guids[0]});
    if (SUCCEEDED(hr)) hr = db->Writable(out);
    if (FAILED(hr)) return hr;

    std::lock_guard lock(mutex);
    String answer;
    HRESULT refused = S_OK;
    uint64_t stamp = 0;
    bool write = false;
    const int rc = Transaction([&] {
      std::vector<Row> rows;
      String merged;
      answer.clear();
      refused = S_OK;
      int rc = db->LoadExact(type, key, rows);
      stamp = rows.empty() ? 0 : rows[0].stamp;
      if (rc == kRcOk && client && rows.empty()) {
        out = "Record [" + Readable(key) + "] of type " + std::to_string(type) + " not found";
        refused = kStatusNotFound;
      }
      if (rc == kRcOk && refused == S_OK) {
        refused = action(parameter, rows.empty() ? String() : rows[0].data, merged, answer);
        if (FAILED(refused)) out = answer;
        else refused = S_OK;
      }
      write = refused == S_OK && !merged.empty() && (rows.empty() || merged != rows[0].data);
      ClientFields fields;
      if (rc == kRcOk && write && client && !ReadClientFields(merged, fields, out)) refused = E_INVALIDARG;
      if (refused == S_OK && write && client && LookupValues(eKindGuid, fields.guid) != guids) {
        out = "The action's record names the GUID [" + fields.guid + "], not the client's";
        refused = E_INVALIDARG;
      }
      if (rc == kRcOk && refused != S_OK) rc = kRcRefused;
      if (rc == kRcOk && write)
        rc = WriteRow(type, key, merged, client ? Mode::kUpdate : Mode::kSave, client ? &fields : nullptr, refused,
                      out, stamp);
      return rc;
    });
    if (refused != S_OK) return refused;
    if (rc != kRcOk) return db->Fail(rc, out);
    out = PackBag({{kPropertyObjectTimestamp, std::to_string(stamp)}, {kParamWritten, write ? "1" : "0"}, {kParamAnswer, answer}});
    return S_OK;
  }

  // LoadRecord on UTF-8 arguments: the texts of the records found, or the
  // failure and its text.
  HRESULT Find(uint32_t type, const String& first, const String& second, uint32_t limit, std::vector<String>& answer,
               String& error) {
    type = RecordTypeOf(type);
    // A key never starts with "<" and is never empty; a filter is a bag or empty.
    const bool list = first.empty() || first[0] == '<';
    const String& key = list ? second : first;
    std::vector<std::pair<String, String>> bag;
    const String& bagText = list ? first : second;
    if (!bagText.empty() && !ReadBag(bagText, bag)) {
      error = list ? "The filter is no property bag" : "The load options are no property bag";
      return E_INVALIDARG;
    }
    uint64_t newerThan = 0;
    if (!list) {
      for (const auto& [name, value] : bag)
        if (OFL::EqualsNoCase(name, kOptionIfTimestampIsNewer)) newerThan = OFLTools::AToULL(value);
      bag.clear();
    }

    ClientKey clientKey;
    GenericKey genericKey;
    const bool client = KeyedByIdentities(type);
    if (client) {
      if (key.empty()) clientKey.all = true;
      else if (!ParseClientKey(key, clientKey, error)) return E_INVALIDARG;
    } else if (!ParseTypeKey(type, key, genericKey, error)) {
      return E_INVALIDARG;
    }

    // Conditions the index holds are met by the query; any other is checked
    // on each record found.
    std::vector<ConditionEntry> byIndex;
    if (const auto names = db->Indexed().find(type); names != db->Indexed().end() && genericKey.wildcard) {
      std::erase_if(bag, [&](const std::pair<String, String>& condition) {
        String name = OFL::ToLower(condition.first);
        if (byIndex.size() == kMaxIndexedConditions ||
            std::find(names->second.begin(), names->second.end(), name) == names->second.end())
          return false;
        byIndex.emplace_back(std::move(name), OFL::ToLower(condition.second));
        return true;
      });
    }

    std::vector<Row> rows;
    {
      std::lock_guard lock(mutex);
      // Other conditions and stamps are applied after the query, so the query's
      // own limit would cut too early.
      const uint32_t queryLimit = bag.empty() && newerThan == 0 ? limit : 0;
      const bool several = client && !clientKey.all &&
                           (clientKey.kind == eKindAny || clientKey.kind == eKindMac || clientKey.kind == eKindIp);
      int rc = several ? db->BeginRead() : kRcOk;
      if (rc == kRcOk) {
        if (client) rc = FindClients(clientKey, queryLimit, rows);
        else if (!byIndex.empty()) rc = db->LoadFiltered(type, genericKey.prefix, byIndex, queryLimit, rows);
        else if (genericKey.wildcard) rc = db->LoadRange(type, genericKey.prefix, queryLimit, rows);
        else rc = db->LoadExact(type, genericKey.prefix, rows);
      }
      if (several) rc = db->Finish(rc);
      if (rc != kRcOk) return db->Fail(rc, error);
    }
    bool notNewer = false;
    for (Row& row : rows) {
      if (limit && answer.size() == limit) break;
      if (newerThan && row.stamp <= newerThan) {
        notNewer = true;
        continue;
      }
      if (MatchesConditions(row.data, bag)) answer.push_back(std::move(row.data));
    }
    return answer.empty() && notNewer ? kStatusNotNewer : S_OK;
  }
};

RecordStore::RecordStore(std::unique_ptr<StoreBackend> backend) : engine_(std::make_unique<Engine>()) {
  engine_->db = std::move(backend);
}
RecordStore::~RecordStore() = default;

StoreBackend& RecordStore::Backend() { return *engine_->db; }

const String& RecordStore::GetLocation() const { return engine_->db->Location(); }

HRESULT RecordStore::InitRecord(uint32_t type, BSTR key, BSTR* result) {
  if (!KeyedByIdentities(type))
    return Answer(kStatusNotImplemented,
                  "Record type " + std::to_string(RecordTypeOf(type)) + " has no initial record in this store", result);
  ClientKey k;
  String packed, error;
  if (!ReadArgs({{key, &packed}}, error)) return Answer(E_INVALIDARG, error, result);
  String guid = OFL::Tools::GenerateGuid();
  if (!packed.empty() && ParseClientKey(packed, k, error) && k.kind == eKindGuid && !k.all) guid = k.value;
  String text = "<Client><TimeStamp>" + FormatStamp(NowAsFileTime()) + "</TimeStamp><GUID>";
  OFLTools::AppendXMLData(text, guid);
  text += "</GUID></Client>";
  return Answer(S_OK, text, result);
}

HRESULT RecordStore::LoadRecord(uint32_t type, uint32_t /*flags*/, BSTR keyOrFilter, BSTR optionsOrKeys,
                                uint32_t limit, BSTR* result) {
  String first, second, error;
  if (!ReadArgs({{keyOrFilter, &first}, {optionsOrKeys, &second}}, error)) return Answer(E_INVALIDARG, error, result);
  std::vector<String> answer;
  const HRESULT hr = engine_->Find(type, first, second, limit, answer, error);
  if (FAILED(hr) || !result) return Answer(hr, error, result);
  *result = PackedList(answer);
  if (!answer.empty() && !*result) return Answer(E_OUTOFMEMORY, "Out of memory for the answer of the store", result);
  return hr;
}

HRESULT RecordStore::LoadRecordUtf8(uint32_t type, uint32_t /*flags*/, std::string_view keyOrFilter,
                                    std::string_view optionsOrKeys, uint32_t limit, String& result) {
  result.clear();
  for (const std::string_view arg : {keyOrFilter, optionsOrKeys}) {
    size_t bad = 0;
    if (!OFL::IsValidUtf8(arg, &bad)) {
      result = "The text is not valid UTF-8 at byte " + std::to_string(bad) +
               "; the store keeps only texts it can give back unchanged";
      return E_INVALIDARG;
    }
  }
  std::vector<String> answer;
  const HRESULT hr = engine_->Find(type, String(keyOrFilter), String(optionsOrKeys), limit, answer, result);
  if (FAILED(hr)) return hr;
  size_t size = 0;
  for (const String& text : answer) size += text.size() + 11;
  result.reserve(size);
  for (const String& text : answer) AppendPackedEntry(result, text);
  return hr;
}

HRESULT RecordStore::SaveRecord(uint32_t type, BSTR key, BSTR, BSTR data, uint32_t* value, BSTR* result) {
  if (value) *value = 0;
  return engine_->WriteCall(type, key, data, Mode::kSave, result);
}

HRESULT RecordStore::UpdateRecord(uint32_t type, BSTR key, BSTR, BSTR data, uint32_t* value, BSTR* result) {
  if (value) *value = 0;
  return engine_->WriteCall(type, key, data, Mode::kUpdate, result);
}

HRESULT RecordStore::CreateRecord(uint32_t type, BSTR data, BSTR* result) {
  String text, out;
  HRESULT hr = ReadArgs({{data, &text}}, out) ? S_OK : E_INVALIDARG;
  if (SUCCEEDED(hr)) hr = engine_->WriteText(RecordTypeOf(type), nullptr, text, Mode::kCreate, out);
  return Answer(hr, out, result);
}

HRESULT RecordStore::DeleteRecord(uint32_t type, BSTR keyText, uint32_t* value, BSTR* result) {
  if (value) *value = 0;
  type = RecordTypeOf(type);
  String packed, error;
  if (!ReadArgs({{keyText, &packed}}, error)) return Answer(E_INVALIDARG, error, result);
  ClientKey clientKey;
  GenericKey genericKey;
  const bool client = KeyedByIdentities(type);
  if (client ? !ParseClientKey(packed, clientKey, error) : !ParseTypeKey(type, packed, genericKey, error))
    return Answer(E_INVALIDARG, error, result);
  // A delete names one client, or one record or the group of records whose
  // keys begin with its values (the steps of one job); never a wildcard.
  if (client ? clientKey.all : genericKey.wildcard)
    return Answer(E_INVALIDARG,
                  "A wildcard never deletes: the key [" + Readable(packed) +
                      "] names no record; name the client, or the record or group whose key begins with the values",
                  result);
  Engine& e = *engine_;
  if (const HRESULT hr = e.db->Writable(error); FAILED(hr)) return Answer(hr, error, result);
  std::lock_guard lock(e.mutex);
  std::vector<Row> rows;
  bool several = false;
  const int rc = e.Transaction([&] {
    rows.clear();
    int rc = client ? e.FindClients(clientKey, 0, rows) : e.db->LoadRange(type, genericKey.prefix, 0, rows);
    several = rc == kRcOk && client && rows.size() > 1;
    if (several) return kRcRefused;
    for (const Row& row : rows)
      if (rc == kRcOk) rc = e.DeleteById(row.id);
    return rc;
  });
  if (several)
    return Answer(E_INVALIDARG,
                  "The key [" + Readable(packed) + "] matches " + std::to_string(rows.size()) +
                      " clients and deletes none; a delete names one client: delete each by its GUID",
                  result);
  if (rc != kRcOk) {
    const HRESULT hr = e.db->Fail(rc, error);
    return Answer(hr, error, result);
  }
  return Answer(rows.empty() ? kStatusNothingDeleted : S_OK, String(), result);
}

HRESULT RecordStore::DoAction(uint32_t type, BSTR action, BSTR parameter, BSTR* result) {
  type = RecordTypeOf(type);
  String name, param, out;
  if (!ReadArgs({{action, &name}, {parameter, &param}}, out)) return Answer(E_INVALIDARG, out, result);
  if (KeyedByIdentities(type) && OFL::EqualsNoCase(name, kActionFindOrCreateClient)) {
    const HRESULT hr = engine_->FindOrCreateClient(param, out);
    return Answer(hr, out, result);
  }
  if (const auto at = engine_->actions.find({type, OFL::ToLower(name)}); at != engine_->actions.end()) {
    const HRESULT hr = engine_->RunRecordAction(type, at->second, param, out);
    return Answer(hr, out, result);
  }
  return Answer(kStatusNotImplemented,
                "Action \"" + name + "\" on record type " + std::to_string(type) + " is not supported by this store",
                result);
}

void RecordStore::SetRecordAction(uint32_t type, const String& name, RecordAction action) {
  std::lock_guard lock(engine_->mutex);
  engine_->actions[{RecordTypeOf(type), OFL::ToLower(name)}] = std::move(action);
}

HRESULT RecordStore::SpecialTask(uint32_t task, BSTR, BSTR* result) {
  return Answer(kStatusNotImplemented, "Special task " + std::to_string(task) + " is not supported by this store",
                result);
}

HRESULT RecordStore::ReadRecords(uint32_t afterType, const String& afterKey, uint32_t count,
                                 std::vector<StoredRecord>& records, String& error) {
  records.clear();
  std::lock_guard lock(engine_->mutex);
  const int rc = engine_->db->Scan(afterType, afterKey, count, records);
  return rc == kRcOk ? S_OK : engine_->db->Fail(rc, error);
}

HRESULT RecordStore::WriteRecords(const std::vector<StoredRecord>& records, String& error) {
  Engine& e = *engine_;
  if (const HRESULT hr = e.db->Writable(error); FAILED(hr)) return hr;
  // Client records are indexed by their fields: read them before the transaction.
  std::vector<ClientFields> fields(records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    const StoredRecord& r = records[i];
    if (r.key.empty()) {
      error = "A record of type " + std::to_string(r.type) + " has no key";
      return E_INVALIDARG;
    }
    if (KeyedByIdentities(r.type) && !ReadClientFields(r.data, fields[i], error)) {
      error = "Record [" + Readable(r.key) + "] of type " + std::to_string(r.type) + ": " + error;
      return E_INVALIDARG;
    }
  }
  std::lock_guard lock(e.mutex);
  const int rc = e.Transaction([&] {
    int rc = kRcOk;
    for (size_t i = 0; rc == kRcOk && i < records.size(); ++i) {
      const StoredRecord& r = records[i];
      Stored row;
      rc = e.db->FindForWrite(r.type, r.key, KeyedByIdentities(r.type), row);
      if (rc == kRcOk)
        rc = e.Put(r.type, r.key, row, r.stamp, r.data, KeyedByIdentities(r.type) ? &fields[i] : nullptr);
    }
    return rc;
  });
  return rc == kRcOk ? S_OK : e.db->Fail(rc, error);
}

}  // namespace orvacmn::store
