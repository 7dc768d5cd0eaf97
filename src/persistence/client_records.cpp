// The client family of typed store operations.
#include <string>

#include "ofl/error_message.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/persistence/typed_load.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/system.h"
#include "store_answer.h"

namespace orvacmn {

namespace {

constexpr const RecordFamily& kClients = FamilyOf<kRecordTypeClient>();

// Calls `visit(value, method)` for each non-empty candidate of `id` in the
// order of `scheme` until it returns true.
template <class Visit>
void WalkScheme(const CDBAccess::IdentificationScheme& scheme, const OVOClientIdentification& id, Visit visit) {
  for (const uint32_t m : scheme) {
    if (m == 0) continue;
    for (const String& candidate : id.GetCandidates(m))
      if (!candidate.empty() && visit(candidate, m)) return;
  }
}

// What a client that is not found leaves in the system to fill.
void ForgetIdentity(OVOSystem& system) {
  system.SetGuid(String());
  system.SetDisplayName(String());
  system.SetHostName(String());
}

}  // namespace

// One load under (value, kind, "*"): `hit` tells whether a record came back.
HRESULT CDBAccess::LoadOneSystem(const String& value, uint32_t kind, uint32_t flags, OVOSystem& system, String& out,
                                 CFileTime newerThan, bool& hit) {
  return LoadOne(*this, kClients, {value, std::to_string(kind)}, system, out, flags, &hit, newerThan);
}

HRESULT CDBAccess::LoadSystem(uint32_t kind, const String& value, uint32_t flags, OVOSystem& system, String& out,
                              CFileTime newerThan, bool* found) {
  if (found != nullptr) *found = false;
  bool hit = false;
  const HRESULT hr = LoadOneSystem(value, kind, flags, system, out, newerThan, hit);
  if (FAILED(hr)) return hr;
  if (found != nullptr) *found = hit;
  if (!hit) {
    out.clear();
    ForgetIdentity(system);
  }
  return hr;
}

HRESULT CDBAccess::LoadSystem(const OVOClientIdentification& id, uint32_t flags, OVOSystem& system, String& out,
                              CFileTime newerThan, bool* found, uint32_t* method) {
  if (found != nullptr) *found = false;
  if (method != nullptr) *method = 0;
  HRESULT last = S_OK;
  bool hit = false;
  WalkScheme(scheme_, id, [&](const String& value, uint32_t m) {
    last = LoadOneSystem(value, m, flags, system, out, newerThan, hit);
    if (hit && method != nullptr) *method = m;
    return FAILED(last) || hit;
  });
  if (FAILED(last)) return last;
  if (hit) {
    if (found != nullptr) *found = true;
    return S_OK;
  }
  out.clear();
  ForgetIdentity(system);
  return last;
}

HRESULT CDBAccess::LoadSystems(int32_t kind, const String& first, const String& second, uint32_t flags,
                    OVOSystemList& list, String& out) {
  const String kindText = kind == -1 ? String(kKeyWildcard) : std::to_string(kind);
  return LoadList<OVOSystem>(*this, kClients, {first, kindText, second}, {}, flags, list, out);
}

HRESULT CDBAccess::CreateSystem(OVOSystem& system, String& out) {
  const HRESULT hr = CreateOne(*this, kClients, system, out);
  if (SUCCEEDED(hr)) {
    CFileTime stamp = system.GetTimeStamp();
    ReadObjectTimestamp(out, stamp);
    system.SetTimeStamp(stamp);
  }
  return hr;
}

HRESULT CDBAccess::FindOrCreateSystem(const OVOClientIdentification& id, uint32_t flags, OVOSystem& system,
                                      String& out, bool* created, uint32_t* method) {
  if (created != nullptr) *created = false;
  if (system.GetGuid().empty()) system.SetGuid(OFL::Tools::GenerateGuid());
  const String fresh = system.Pack();
  // Most announces find their client: readers do not wait on each other.
  bool found = false;
  HRESULT hr = LoadSystem(id, flags, system, out, 0, &found, method);
  if (FAILED(hr) || found) return hr;

  // None yet: the store finds or creates in one transaction, asked with the
  // same keys in the same order.
  String keys;
  WalkScheme(scheme_, id, [&](const String& value, uint32_t m) {
    AppendPackedEntry(keys, MakeRecordKey({value, std::to_string(m)}));
    return false;
  });
  OVO::Properties parameter;
  parameter.SetProperty(kParamKeys, keys);
  parameter.SetProperty(kParamRecord, fresh);
  String answer;
  hr = DoAction(kRecordTypeClient, kActionFindOrCreateClient, parameter.Pack(), answer);
  if (FAILED(hr)) {
    out = std::move(answer);
    system.Unpack(fresh);
    return hr;
  }
  const OVO::Properties result(answer);
  String record;
  uint32_t matched = 0;
  result.GetProperty(kParamRecord, record);
  result.GetProperty(kParamMethod, matched);
  system.Unpack(record);
  if (created != nullptr) result.GetProperty(kParamCreated, *created);
  if (method != nullptr) *method = matched;
  out.clear();
  return hr;
}

HRESULT CDBAccess::SaveSystem(OVOSystem& system, String& out) {
  system.GetProperties().DeleteEmptyProperties();
  out = system.Pack();
  CFileTime stamp = system.GetTimeStamp();
  const HRESULT hr = SaveRecord(kClients.type, FamilyKey(kClients, {system.GetGuid(), "1"}, false), out, stamp);
  if (FAILED(hr)) {
    if (out.empty()) out = OFL::ErrorMessage::TranslateValue(static_cast<uint32_t>(hr));
    return hr;
  }
  system.SetTimeStamp(stamp);
  system.SetModified(false);
  return hr;
}

HRESULT CDBAccess::UpdateSystem(const String& guid, const String& record, String& out, CFileTime& stamp) {
  return UpdateOne(*this, kClients, {guid, "1"}, record, out, &stamp);
}

HRESULT CDBAccess::UpdateSystem(const String& guid, const String& record, String& out) {
  CFileTime discarded;
  return UpdateSystem(guid, record, out, discarded);
}

HRESULT CDBAccess::DeleteSystem(const String& guid, String& out) {
  return DeleteOne(*this, kClients, {guid, "1"}, out);
}

}  // namespace orvacmn
