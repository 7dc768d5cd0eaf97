// Client states (record type 80) and the client actions that merge into a
// stored record.
#include "ofl/error_message.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/system/client_state.h"
#include "store_answer.h"

namespace orvacmn {

namespace {

// The action's answer: "ObjectTimestamp", "Written", "Answer" (the merge's own).
void ReadAnswer(const String& text, CFileTime& stamp, String& answer) {
  ReadObjectTimestamp(text, stamp);
  OVO::Properties(text).GetProperty(kParamAnswer, answer);
}

}  // namespace

HRESULT CDBAccess::ProcessMiniInventory(const String& guid, const OVOProperties& report, OVOProperties& changes,
                                        CFileTime& stamp, String& out) {
  OVOProperties parameter;
  parameter.SetProperty(kParamGuid, guid);
  parameter.SetProperty(kParamMiniInventoryData, report.Pack());
  changes.DeletePropertyList();
  const HRESULT hr = DoAction(kRecordTypeClient, kActionProcessMiniInventory, parameter.Pack(), out);
  if (FAILED(hr)) return hr;
  String written;
  ReadAnswer(out, stamp, written);
  changes.Unpack(written);
  out.clear();
  return hr;
}

HRESULT CDBAccess::SaveClientState(const String& guid, const OVOClientState& state, String& out) {
  const String key = MakeRecordKey({guid});
  out = state.Pack();
  if (out.empty()) return DeleteRecord(kRecordTypeClientState, key, out);
  return SaveRecord(kRecordTypeClientState, key, out);
}

HRESULT CDBAccess::LoadClientState(const String& guid, OVOClientState& state, String& out, bool* found) {
  if (found != nullptr) *found = false;
  state.Clear();
  String record;
  const HRESULT hr = LoadRecord(kRecordTypeClientState, 0, MakeRecordKey({guid}), record);
  if (FAILED(hr)) {
    out = std::move(record);
    return hr;
  }
  out.clear();
  if (!record.empty() && state.UnpackStored(record) && found != nullptr) *found = true;
  return hr;
}

HRESULT CDBAccess::UpdateClientState(const String& guid, const OVOClientState& incoming, String& out) {
  OVOProperties parameter;
  parameter.SetProperty(kParamGuid, guid);
  parameter.SetProperty(kParamClientState, incoming.Pack());
  const HRESULT hr = DoAction(kRecordTypeClientState, kActionUpdateClientState, parameter.Pack(), out);
  if (SUCCEEDED(hr)) out.clear();
  return hr;
}

}  // namespace orvacmn
