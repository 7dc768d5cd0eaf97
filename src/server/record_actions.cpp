#include "orvacmn/server/record_actions.h"

#include <utility>

#include "orvacmn/objects/properties.h"
#include "orvacmn/persistence/store_vocabulary.h"
#include "orvacmn/system/client_state.h"
#include "report_fields.h"

namespace orvacmn {

namespace {

constexpr const char* kSecurityUser = "SecurityCenterUser";

// The security-centre states kept in the free properties: into the system's
// fields and back.
void RestoreSecurityStates(OVOSystem& system) {
  const OVO::Properties& free = system.GetProperties();
  for (const report::Field& f : report::Fields()) {
    if (f.kind == report::Kind::kSecurity) free.GetProperty(f.tag, system.*report::kSecurityStates[f.index]);
  }
  free.GetProperty(kSecurityUser, system.SecurityCenterUser);
}

void KeepSecurityStates(OVOSystem& system) {
  OVO::Properties& free = system.GetProperties();
  for (const report::Field& f : report::Fields()) {
    if (f.kind != report::Kind::kSecurity) continue;
    const uint32_t value = system.*report::kSecurityStates[f.index];
    free.SetProperty(f.tag, value == 0 ? String() : std::to_string(value), true);
  }
  free.SetProperty(kSecurityUser, system.SecurityCenterUser, true);
}

HRESULT Refuse(String& answer, const char* why) {
  answer = why;
  return E_INVALIDARG;
}

}  // namespace

RecordMerge MiniInventoryMerge(std::shared_ptr<const ClientMgmtHelper::Domains> domains,
                               EConnectionMode connectionMode, CConfiguration::EIPUpdateMode ipUpdateMode,
                               ClientMgmtHelper::Clock clock) {
  if (!domains) domains = std::make_shared<const ClientMgmtHelper::Domains>();
  return [domains, connectionMode, ipUpdateMode, helper = ClientMgmtHelper(std::move(clock))](
             const String& parameter, const String& stored, String& merged, String& answer) -> HRESULT {
    String guid;
    OVOProperties report;
    if (!ClientMgmtHelper::ReadMiniInventoryParameter(parameter, guid, report))
      return Refuse(answer, "The mini inventory names no client GUID");
    OVOSystem system;
    if (!system.Unpack(stored)) return Refuse(answer, "The stored client cannot be read");
    RestoreSecurityStates(system);
    ClientMgmtHelper::MiniInventory result =
        helper.ProcessMiniInventory(system, report, *domains, connectionMode, ipUpdateMode);
    merged.clear();
    answer.clear();
    if (result.changes.GetPropertyList().IsEmpty()) return S_OK;
    KeepSecurityStates(result.system);
    merged = result.system.Pack();
    answer = result.changes.Pack();
    return S_OK;
  };
}

HRESULT MergeClientState(const String& parameter, const String& stored, String& merged, String& answer) {
  const OVOProperties bag(parameter);
  String guid, incoming;
  bag.GetProperty(kParamGuid, guid);
  bag.GetProperty(kParamClientState, incoming);
  if (guid.empty()) return Refuse(answer, "The client state update names no client GUID");
  OVOClientState state;
  if (!stored.empty() && !state.UnpackStored(stored)) return Refuse(answer, "The stored client state cannot be read");
  if (stored.empty()) state.SetGuid(guid);
  if (!state.Update(incoming)) return Refuse(answer, "The update is no client state");
  merged = state.Pack();
  answer = merged;
  return S_OK;
}

}  // namespace orvacmn
