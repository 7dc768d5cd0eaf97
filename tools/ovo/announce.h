// What the server takes from a client's announce into the client's record:
// shared by `ovo client announce` and `ovo road`.
#ifndef ORVACMN_TOOLS_OVO_ANNOUNCE_H_
#define ORVACMN_TOOLS_OVO_ANNOUNCE_H_

#include "ofl/tools.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/system.h"

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

}  // namespace ovo

#endif  // ORVACMN_TOOLS_OVO_ANNOUNCE_H_
