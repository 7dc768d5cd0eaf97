// ClientMgmtHelper: the server's merge of an agent's reported inventory into
// the stored managed system, and the upkeep of the connection flags in the
// system's Options.
//
// An agent reports a small inventory (a property bag) with every announce.
// GetAllPropertiesToUpdate compares it with the stored system and gives a
// bag of only the properties that really changed, never taking the neutral
// values ("unknown", empty, 0) an agent sends when it cannot tell;
// UpdateSystemProperties applies such a bag to a system; ProcessMiniInventory
// does both. Reported values are hostile: a number that does not read as a
// decimal number, or a text holding NUL, counts as neutral, and numbers are
// written into the result in their canonical decimal form, saturated to the
// width of the field they go to.
//
// Property names and where they go in OVOSystem:
//   hardware: "TotalMemory", "CPUCountPhysical", "CPUCountLogical",
//     "CPUCountTotalCores", "CPUSpeed" (0 neutral), "CPUDesc" (empty
//     neutral), "DriveCSize" ... "DriveEFree" (64-bit reports, 0 or less
//     neutral, kept saturated at 32 bits) into the fields of those names;
//     "CPUID", "SerialNumber", "ModelName", "Manufacturer" (empty neutral)
//     into the system's free properties of those names, as it has no such
//     fields;
//   security centre: "FirewallStatus", "AutoUpdateStatus", "AntiVirusStatus",
//     "InternetSettingsStatus", "UserAccountControlStatus",
//     "SecurityCenterStatus" (0 neutral), "SecurityCenterUser";
//   agent and OS: "OVAVersion" -> "AgentVersion", "OVAInstallPath",
//     "OSType" (0 neutral), "OSVersionString" -> "OSVerString",
//     "OSVersionMajor", "OSVersionMinor", "OSVersionBuild", "OSVersionSPMajor"
//     -> "OSVerMajor" ... "OSVerSpMajor" (0xFFFFFFFF neutral), "OSReleaseId",
//     "OSServiceBranch", "OSDisplayVersion", "FeatureUpdateDelayDays" (never
//     neutral), "OSPatchLevel", "IEVersion" -> "IEVerString",
//     "EnergySchemeName", "EnergySchemeID", "LCID" (0 neutral), "BootMode",
//     "Architecture";
//   results of their own rules: "IPWithPrefixes" (the primary subnet mask,
//     dotted), "SystemLastBoot" and "SystemWolSent" (DB time texts),
//     "LastLoggedOnUser" -> "LastUser", "PrimaryUser" -> "Username",
//     "Options", "CurrentUserSID", "TimeZone" -> "TimezoneOffset" (a signed
//     number), "DoNotDisturbModeUntil" (a DB time text, empty for none),
//     "InstalledComponents" (packed components, joined), "GUIDHWProfile",
//     "DevicesHash" -> the free property "Devices Hash".
//
// The security-centre states are not in the client's packed text: a system
// loaded from its record holds 0 for them, so the store must keep them for
// the comparison to see what really changed.
//
// Time comes from the helper's clock (the system clock unless the caller
// sets another). A helper holds only its clock: use one from one thread at a
// time, or one per thread; the static members may run on any thread.
#ifndef ORVACMN_SERVER_CLIENT_MGMT_HELPER_H_
#define ORVACMN_SERVER_CLIENT_MGMT_HELPER_H_

#include <cstdint>
#include <functional>
#include <string_view>

#include "ofl/net_address.h"
#include "orvacmn/common/types.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/persistence/moc_instance.h"
#include "orvacmn/server/configuration.h"
#include "orvacmn/system/connection_mode.h"
#include "orvacmn/system/domain.h"
#include "orvacmn/system/system.h"

namespace orvacmn {

class CDBAccess;

class ClientMgmtHelper {
 public:
  using Clock = std::function<CTime()>;
  using FullSystem = std::function<OVOSystem*()>;
  using Domains = OVOTypedPtrList<OVODomain>;

  // The last network connection kinds an agent reports.
  static constexpr uint32_t kConnectionLAN = 0;
  static constexpr uint32_t kConnectionInternet = 1;

  // A helper on the system clock.
  ClientMgmtHelper();
  explicit ClientMgmtHelper(Clock clock);

  // Replaces the clock; a null clock restores the system clock.
  void SetClock(Clock clock);
  // The clock's current time, seconds since 1970.
  CTime Now() const { return clock_(); }
  static CTime SystemClock();

  // The properties of `reported` that change `system`, in this order: the
  // hardware values (GetWinPEPropertiesToUpdate); the simple merges of the
  // agent and OS values; "IPWithPrefixes" (with `ipUpdateMode` 1 only);
  // "SystemLastBoot" from "SystemUpTime"; "LastLoggedOnUser", and for a user
  // who is neither a service account nor the setup account "PrimaryUser" and
  // "Options" as the system's main-user option says; "CurrentUserSID";
  // "TimeZone"; "DoNotDisturbModeUntil"; and with `withComponents`, when
  // `fullSystem` gives a system whose hardware data is freshly loaded, its
  // "InstalledComponents", "GUIDHWProfile" and "DevicesHash" (its mark is
  // then cleared).
  OVOProperties GetAllPropertiesToUpdate(const OVOSystem& system, const OVOProperties& reported, const Domains& domains,
                                         EConnectionMode connectionMode, CConfiguration::EIPUpdateMode ipUpdateMode,
                                         bool withComponents = false,
                                         const FullSystem& fullSystem = FullSystem()) const;

  // The hardware values that change `system` (the first step above), the
  // endpoint values of AddWinPEEndpointProperties last.
  static OVOProperties GetWinPEPropertiesToUpdate(const OVOSystem& system, const OVOProperties& reported);
  // Adds "SerialNumber", "ModelName" and "Manufacturer" when reported, not
  // empty and different from the system's free property of that name.
  static void AddWinPEEndpointProperties(const OVOSystem& system, const OVOProperties& reported, OVOProperties& result);

  // Applies every property of `bag` named above to `system`; other names are
  // ignored, and so is a value that does not convert for its field.
  // "IPWithPrefixes" counts only with `ipUpdateMode` 1: a dotted netmask, or
  // a "#" list of address/mask pairs from which the mask of the primary IP is
  // taken. "InstalledComponents" replaces the components.
  static void UpdateSystemProperties(OVOSystem& system, const OVOProperties& bag,
                                     CConfiguration::EIPUpdateMode ipUpdateMode);

  // The system's Options with bit 0x400 (last contact over the Internet
  // channel) matching `lastConnection` == kConnectionInternet and bit 0x2000
  // (last contact used automatic roaming) matching `autoRoaming`.
  static uint32_t GetSystemOptionsWithAppliedNetworkConnectionFlags(const OVOSystem& system, uint32_t lastConnection,
                                                                    bool autoRoaming);
  // Sets (`on`) or clears `bits` in `options`.
  static void HelperSetOption(uint32_t& options, uint32_t bits, bool on);
  // When the flags above change the system's Options, updates the stored
  // client by its GUID with a bag holding only "Options" and, on success,
  // takes the new Options into `system` (its TimeStamp stays). Returns the
  // store's status, 0 when nothing was to change; on failure `error` is
  // "Error while updating network connection [KIND, AutoSelect: TRUE|FALSE]
  // for system [NAME]: TEXT" (KIND "Internet" or "LAN", TEXT the status's
  // system text), else empty.
  static HRESULT StoreLastNetworkConnectionForClientIfChanged(CDBAccess& db, OVOSystem& system, uint32_t lastConnection,
                                                              bool autoRoaming, String& error);

  // Whether `user` ("name", "DOMAIN\name" or "name@domain") is a service
  // account of the suite: one of the service accounts of the domain the
  // user names or, for a user without domain or of the machine itself
  // (its host name or "."), of the system's own domain. The connection mode
  // does not change the answer: an account is recognised by its name on
  // every road.
  static bool IsOVSAccount(const OVOSystem& system, std::string_view user, const Domains& domains,
                           EConnectionMode connectionMode);
  // Whether the user's name (without domain), in lower case, is
  // "defaultuser0", the account Windows setup logs on with.
  static bool IsDefaultUser0(std::string_view user);

  // The mask of the first pair of a "#"-separated list of decimal address
  // and mask values whose address is `ip`; false when there is none (or `ip`
  // is empty). A lone number at the end and pairs that do not read are
  // skipped.
  static bool TryResolveIpToSubnetmask(std::string_view ipWithPrefixes, const OFLIP& ip, OFLIP& mask);

  // The client action "ProcessMiniInventory" (record type 51): the report's
  // changes (GetAllPropertiesToUpdate without components) and the stored
  // system with them applied (UpdateSystemProperties). An empty `changes`
  // means there is nothing to write. The store writes `changes` by the
  // system's GUID, or saves `system`.
  struct MiniInventory {
    OVOProperties changes;
    OVOSystem system;
  };
  MiniInventory ProcessMiniInventory(const OVOSystem& stored, const OVOProperties& report, const Domains& domains,
                                     EConnectionMode connectionMode, CConfiguration::EIPUpdateMode ipUpdateMode) const;
  // The action's parameter: a packed OVOProperties with "GUID" and
  // "MiniInventoryData" (the packed report bag).
  static String MakeMiniInventoryParameter(const String& guid, const OVOProperties& report);
  // Reads such a parameter; false when it names no GUID.
  static bool ReadMiniInventoryParameter(const String& parameter, String& guid, OVOProperties& report);

 private:
  Clock clock_;
};

}  // namespace orvacmn

#endif  // ORVACMN_SERVER_CLIENT_MGMT_HELPER_H_
