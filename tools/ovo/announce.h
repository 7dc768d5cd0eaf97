// What the server does with a client's announce: find the client or create
// it, take what the machine reports and save it. Shared by `ovo client
// announce` and `ovo road`.
#ifndef ORVACMN_TOOLS_OVO_ANNOUNCE_H_
#define ORVACMN_TOOLS_OVO_ANNOUNCE_H_

#include <chrono>
#include <functional>
#include <thread>

#include "ofl/tools.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/server/record_actions.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/system.h"
#include "orvacmn_store/record_store.h"

namespace ovo {

// A new client gets the identification's GUID when it is one, else a new one.
// Then the names and addresses the machine reports win over the stored ones.
inline void TakeAnnounce(const orvacmn::OVOClientIdentification& id, bool found, orvacmn::OVOSystem& system) {
  if (!found) system.SetGuid(OFL::Tools::IsGuid(id.GetGuid()) ? id.GetGuid() : OFL::Tools::GenerateGuid());
  if (!id.GetHostname().empty()) system.SetHostName(id.GetHostname());
  if (!id.GetLMDomain().empty()) system.SetDomain(id.GetLMDomain());
  system.SetText(orvacmn::OVOSystem::eMACList, id.GetMACList(':', true));
  system.SetText(orvacmn::OVOSystem::eLAAList, id.GetLAAList());
  system.SetText(orvacmn::OVOSystem::eIPList, id.GetIPList());
  if (!id.GetPrimaryIP().IsEmpty()) system.SetPrimaryIP(id.GetPrimaryIP());
  if (!id.GetPrimaryMAC().IsEmpty()) system.SetPrimaryMAC(id.GetPrimaryMAC());
}

// The merges the server's store makes in its own transaction: an agent's
// inventory report into its client, a partial state into the stored state.
inline void InstallServerActions(orvacmn::store::RecordStore& store, orvacmn::CConfiguration::EIPUpdateMode ipMode,
                                 orvacmn::ClientMgmtHelper::Clock clock) {
  store.SetRecordAction(orvacmn::kRecordTypeClient, orvacmn::kActionProcessMiniInventory,
                        orvacmn::MiniInventoryMerge(nullptr, orvacmn::eConnectByName, ipMode, std::move(clock)));
  store.SetRecordAction(orvacmn::kRecordTypeClientState, orvacmn::kActionUpdateClientState,
                        orvacmn::MergeClientState);
}

// The announce of `id` into `system`: the client found or created (one store
// transaction against other announces of the same machine), the report taken
// (TakeAnnounce, then `more`) and saved. A save that lost against another
// writer of the same client is repeated on a fresh load: the rule refuses
// only copies that someone else changed meanwhile, so an announce that keeps
// losing against busy writers tries again after a growing pause.
inline HRESULT Announce(orvacmn::CDBAccess& db, const orvacmn::OVOClientIdentification& id,
                        const std::function<void(orvacmn::OVOSystem&)>& more, orvacmn::OVOSystem& system, bool& created,
                        uint32_t& method, std::string& out) {
  constexpr int kAttempts = 50;
  for (int attempt = 1;; ++attempt) {
    system.Clear();
    TakeAnnounce(id, false, system);
    more(system);
    HRESULT hr = db.FindOrCreateSystem(id, 0, system, out, &created, &method);
    if (FAILED(hr) || created) return hr;
    TakeAnnounce(id, true, system);
    more(system);
    hr = db.SaveSystem(system, out);
    const bool lost = hr == orvacmn::store::kStatusStale || hr == orvacmn::kStatusNotFound;
    if (!lost || attempt == kAttempts) return hr;
    std::this_thread::sleep_for(std::chrono::milliseconds(attempt));
  }
}

}  // namespace ovo

#endif  // ORVACMN_TOOLS_OVO_ANNOUNCE_H_
