// ClientMgmtHelper: the clock, the connection flags in Options, service
// accounts and the mini inventory. The merge itself is in
// client_mgmt_merge.cpp, its application in client_mgmt_apply.cpp.
#include "orvacmn/server/client_mgmt_helper.h"

#include <ctime>
#include <utility>

#include "ofl/error_message.h"
#include "ofl/format.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/persistence/store_vocabulary.h"
#include "report_fields.h"

namespace orvacmn {
namespace {

constexpr char kSetupAccount[] = "defaultuser0";

}  // namespace

ClientMgmtHelper::ClientMgmtHelper() : clock_(SystemClock) {}

ClientMgmtHelper::ClientMgmtHelper(Clock clock) : clock_(clock ? std::move(clock) : Clock(SystemClock)) {}

void ClientMgmtHelper::SetClock(Clock clock) { clock_ = clock ? std::move(clock) : Clock(SystemClock); }

CTime ClientMgmtHelper::SystemClock() { return static_cast<CTime>(std::time(nullptr)); }

// ---- connection flags ----

void ClientMgmtHelper::HelperSetOption(uint32_t& options, uint32_t bits, bool on) {
  options = on ? (options | bits) : (options & ~bits);
}

uint32_t ClientMgmtHelper::GetSystemOptionsWithAppliedNetworkConnectionFlags(const OVOSystem& system,
                                                                             uint32_t lastConnection,
                                                                             bool autoRoaming) {
  uint32_t options = system.GetOptions();
  const bool internet = lastConnection == kConnectionInternet;
  if (system.LastUsedInternetChannel() != internet)
    HelperSetOption(options, OVOSystem::kOptionLastUsedInternetChannel, internet);
  if (system.LastUsedAutoRoaming() != autoRoaming)
    HelperSetOption(options, OVOSystem::kOptionLastUsedAutoRoaming, autoRoaming);
  return options;
}

HRESULT ClientMgmtHelper::StoreLastNetworkConnectionForClientIfChanged(CDBAccess& db, OVOSystem& system,
                                                                       uint32_t lastConnection, bool autoRoaming,
                                                                       String& error) {
  error.clear();
  const uint32_t options = GetSystemOptionsWithAppliedNetworkConnectionFlags(system, lastConnection, autoRoaming);
  if (options == system.GetOptions()) return 0;
  OVOProperties bag;
  bag.SetProperty(report::kOptions, options);
  String out;
  const HRESULT hr = db.UpdateSystem(system.GetGuid(), bag.Pack(), out);
  if (hr < 0) {
    error = OFLFormat("Error while updating network connection [%s, AutoSelect: %s] for system [%s]: %s",
                      lastConnection == kConnectionInternet ? "Internet" : "LAN", autoRoaming ? "TRUE" : "FALSE",
                      system.GetDisplayName(), OFL::ErrorMessage::TranslateValue(hr));
    return hr;
  }
  system.SetOptions(options);
  return hr;
}

// ---- accounts ----

bool ClientMgmtHelper::IsOVSAccount(const OVOSystem& system, std::string_view user, const Domains& domains,
                                    EConnectionMode) {
  const std::string_view name = AccountName(user);
  if (name.empty()) return false;
  std::string_view domain = AccountDomain(user);
  if (domain.empty() || domain == "." || OFL::EqualsNoCase(domain, system.GetHostName())) domain = system.GetDomain();
  for (const OVODomain* d : domains)
    if (d && d->IsNamed(domain) && d->HasServiceAccount(name)) return true;
  return false;
}

bool ClientMgmtHelper::IsDefaultUser0(std::string_view user) {
  return OFL::EqualsNoCase(AccountName(user), kSetupAccount);
}

// ---- mini inventory ----

ClientMgmtHelper::MiniInventory ClientMgmtHelper::ProcessMiniInventory(
    const OVOSystem& stored, const OVOProperties& report, const Domains& domains, EConnectionMode connectionMode,
    CConfiguration::EIPUpdateMode ipUpdateMode) const {
  MiniInventory result{GetAllPropertiesToUpdate(stored, report, domains, connectionMode, ipUpdateMode), stored};
  // The copy goes through the packed text, which leaves out the
  // security-centre states: they come from the stored system.
  for (uint32_t OVOSystem::*state : report::kSecurityStates) result.system.*state = stored.*state;
  result.system.SecurityCenterUser = stored.SecurityCenterUser;
  UpdateSystemProperties(result.system, result.changes, ipUpdateMode);
  return result;
}

String ClientMgmtHelper::MakeMiniInventoryParameter(const String& guid, const OVOProperties& report) {
  OVOProperties parameter;
  parameter.SetProperty(kParamGuid, guid);
  parameter.SetProperty(kParamMiniInventoryData, report.Pack());
  return parameter.Pack();
}

bool ClientMgmtHelper::ReadMiniInventoryParameter(const String& parameter, String& guid, OVOProperties& report) {
  const OVOProperties bag(parameter);
  String data;
  bag.GetProperty(kParamGuid, guid);
  bag.GetProperty(kParamMiniInventoryData, data);
  report.DeletePropertyList();
  report.Unpack(data);
  return !guid.empty();
}

}  // namespace orvacmn
