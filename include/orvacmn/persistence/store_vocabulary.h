// The words the library and the stores exchange besides records: the
// statuses they agree on, names of load options, of the properties in a write's answer, of store actions and
// their parameters, and the one codec of length-packed record keys and
// result lists ("5:hello3:abc": each entry's byte length, ":", its bytes).
//
// Header-only and free of the object model, so that a store behind
// IMocInstance and the tools share it with the library. Any thread.
#ifndef ORVACMN_PERSISTENCE_STORE_VOCABULARY_H_
#define ORVACMN_PERSISTENCE_STORE_VOCABULARY_H_

#include <charconv>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "ofl/bstr.h"
#include "ofl/device_info.h"
#include "ofl/string.h"
#include "ofl/tokenizer.h"

namespace orvacmn {

// Statuses the facade and the stores agree on.
inline constexpr HRESULT kStatusNotNewer = 0x00830029;  // success: record not newer than the stamp
inline constexpr HRESULT kStatusNotFound = static_cast<HRESULT>(0x80830001u);

// Load option naming the stamp a conditional load compares with.
inline constexpr const char* kOptionIfTimestampIsNewer = "IfTimestampIsNewer";
// Property of a write's answer holding the record's new change stamp.
inline constexpr const char* kPropertyObjectTimestamp = "ObjectTimestamp";
// The key entry that matches every value in its place and after it.
inline constexpr std::string_view kKeyWildcard = "*";
// The exact device id of a hardware-component key that asks for the
// component made for the generic id (vendor and device only).
inline constexpr std::string_view kKeyGenericDevice = "$BY-PCI$";

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

// Record actions merged by the store inside one write transaction: an
// agent's inventory report into its client (type 51), a partial state into
// the stored state (type 80). Parameter: a bag with "GUID" (the record) and
// the action's data; answer: "ObjectTimestamp", "Written" ("1" when the
// record changed) and "Answer" (the merge's own answer).
inline constexpr const char* kActionProcessMiniInventory = "ProcessMiniInventory";
inline constexpr const char* kActionUpdateClientState = "UpdateClientState";
inline constexpr const char* kParamGuid = "GUID";
inline constexpr const char* kParamMiniInventoryData = "MiniInventoryData";
inline constexpr const char* kParamClientState = "ClientState";
inline constexpr const char* kParamWritten = "Written";
inline constexpr const char* kParamAnswer = "Answer";

// Appends one entry to a length-packed key or list.
inline void AppendPackedEntry(OFL::String& packed, std::string_view entry) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, entry.size()).ptr;
  packed.append(digits, end);
  packed.push_back(':');
  packed.append(entry);
}

// The length-packed key of a record: its identifying values in order.
inline OFL::String MakeRecordKey(std::initializer_list<std::string_view> entries) {
  OFL::String packed;
  for (const std::string_view e : entries) AppendPackedEntry(packed, e);
  return packed;
}
template <class Range>
OFL::String MakeRecordKeyFrom(const Range& entries) {
  OFL::String packed;
  for (const auto& e : entries) AppendPackedEntry(packed, e);
  return packed;
}

// The store key of a hardware component: its type, then the generic and the
// exact id of its device string; a text that is no device id is its own
// exact id, with an empty generic one.
inline OFL::String DeviceRecordKey(std::string_view type, std::string_view device) {
  const OFLDeviceInfo info(device);
  OFL::String generic, exact;
  info.GetDeviceStringParts(generic, exact);
  if (!info.IsValid()) exact = OFL::String(device);
  return MakeRecordKey({type, generic, exact});
}

// The entries of a length-packed key or list; false (and no entries) for a
// text that is no such list.
inline bool ParseRecordKey(std::string_view packed, std::vector<OFL::String>& entries) {
  OFLTokenizer list;
  const bool ok = list.FromLengthPackedString(packed);
  entries.assign(list.begin(), list.end());
  return ok;
}

}  // namespace orvacmn

#endif  // ORVACMN_PERSISTENCE_STORE_VOCABULARY_H_
