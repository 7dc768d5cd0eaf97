// A hostile report bag merged into a client. The input is a packed client and
// a report bag separated by a NUL byte, or a report bag alone merged into a
// populated client. The result holds no NUL, packs and reads back, and once
// applied leaves nothing to merge but what is taken without comparison.
#include <cstdlib>
#include <ctime>

#include "check.h"
#include "orvacmn/server/client_mgmt_helper.h"

using namespace orvacmn;  // NOLINT

namespace {

OVOSystem Populated() {
  OVOSystem s;
  s.SetGuid("6F9619FF-8B86-D011-B42D-00C04FC964FF");
  s.SetHostName("PC1");
  s.SetDomain("CORP");
  s.SetPrimaryIP("10.0.0.5");
  s.SetNumber(OVOSystem::eTotalMemory, 8192);
  s.SetLastUser("CORP\\anna");
  return s;
}

const bool kUtc = [] {
  setenv("TZ", "UTC0", 1);
  tzset();
  return true;
}();

}  // namespace

FUZZ_TEXT(text) {
  const size_t nul = text.find('\0');
  OVOSystem system = nul == std::string::npos ? Populated() : OVOSystem(text.substr(0, nul));
  const OVOProperties report(nul == std::string::npos ? text : text.substr(nul + 1));
  OVODomainList domains;
  auto* corp = new OVODomain();
  corp->SetName("CORP");
  corp->SetServiceAccounts("svc");
  domains.AddTail(corp);
  const ClientMgmtHelper helper([] { return CTime(1700000000); });
  for (auto mode : {CConfiguration::eIPUpdateOff, CConfiguration::eIPUpdateSubnetMask}) {
    const OVOProperties changes = helper.GetAllPropertiesToUpdate(system, report, domains, eConnectByName, mode);
    for (const auto& e : changes) Check(e.value.find('\0') == std::string::npos, "NUL in a result");
    OVOProperties again;
    Check(again.Unpack(changes.Pack()) == 1 && again.Pack() == changes.Pack(), "result does not read back");
    OVOSystem updated = system;
    ClientMgmtHelper::UpdateSystemProperties(updated, changes, mode);
    const OVOProperties rest = helper.GetAllPropertiesToUpdate(updated, report, domains, eConnectByName, mode);
    for (const auto& e : rest)
      Check(e.name == "TimeZone" || (e.name == "DoNotDisturbModeUntil" && e.value.empty()),
            "applied change merged again");
  }
}
