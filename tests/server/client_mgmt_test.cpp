// The client property merge: neutral values, the order of the result, the
// rules of their own, hostile reports, and the result applied to a system.
#include "orvacmn/server/client_mgmt_helper.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "common/tz.h"
#include "ofl/tools.h"
#include "orvacmn/persistence/db_access.h"

namespace orvacmn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;
using Entries = std::vector<std::pair<String, String>>;

constexpr CTime kNow = 1700000000;  // 2023-11-14 22:13:20 UTC

Entries ToEntries(const OVOProperties& bag) {
  Entries out;
  for (const auto& e : bag) out.emplace_back(e.name, e.value);
  return out;
}

OVOProperties Report(const Entries& entries) {
  OVOProperties bag;
  for (const auto& [name, value] : entries) bag.SetProperty(name, value);
  return bag;
}

OVOSystem Stored() {
  OVOSystem s;
  s.SetGuid("6F9619FF-8B86-D011-B42D-00C04FC964FF");
  s.SetHostName("PC1");
  s.SetDomain("CORP");
  s.SetPrimaryIP("10.0.0.5");
  s.SetPrimarySubnetMask("255.255.0.0");
  s.SetNumber(OVOSystem::eTotalMemory, 8192);
  s.SetNumber(OVOSystem::eOSVerMajor, 10);
  s.SetNumber(OVOSystem::eDriveCSize, 500);
  s.SetText(OVOSystem::eAgentVersion, "1.0");
  s.SetText(OVOSystem::eCPUDesc, "cpu");
  s.SetLastUser("CORP\\anna");
  s.SetUsername("CORP\\anna");
  s.SetCurrentUserSID("S-1-5-21-1");
  s.SetOSType(0x40000);
  s.FirewallStatus = 1;
  s.GetProperties().SetProperty("SerialNumber", "SN1");
  return s;
}

class Merge : public ::testing::Test {
 protected:
  Entries Run(const OVOSystem& system, const Entries& report,
              CConfiguration::EIPUpdateMode mode = CConfiguration::eIPUpdateOff) {
    return ToEntries(helper.GetAllPropertiesToUpdate(system, Report(report), domains, eConnectByName, mode));
  }
  testing::ScopedTZ tz{"UTC0"};
  ClientMgmtHelper helper{[] { return kNow; }};
  OVODomainList domains;
};

TEST_F(Merge, NeutralAndUnchangedValuesAreLeftOut) {
  const OVOSystem s = Stored();
  EXPECT_THAT(Run(s, {{"OSVersionMajor", "4294967295"}, {"OSVersionMinor", "-1"}, {"FirewallStatus", "0"},
                      {"TotalMemory", "0"}, {"CPUDesc", ""}, {"OVAVersion", ""}, {"OSType", "0"},
                      {"DriveCSize", "-1"}, {"DriveDSize", "0"}, {"SerialNumber", ""}, {"LCID", "0"},
                      {"FeatureUpdateDelayDays", "4294967295"}, {"OSVersionBuild", "0xFFFFFFFF"}}),
              IsEmpty());
  EXPECT_THAT(Run(s, {{"TotalMemory", "8192"}, {"OSVersionMajor", " 10 "}, {"FirewallStatus", "+1"},
                      {"OVAVersion", "1.0"}, {"DriveCSize", "500"}, {"SerialNumber", "SN1"}, {"OSType", "262144"}}),
              IsEmpty());
  // Strings compare with case; never-neutral values are taken as they come.
  EXPECT_THAT(Run(s, {{"OVAVersion", "1.0 "}, {"CPUDesc", "CPU"}, {"FeatureUpdateDelayDays", "0"}}),
              ElementsAre(Pair("CPUDesc", "CPU"), Pair("OVAVersion", "1.0 "), Pair("FeatureUpdateDelayDays", "0")));
}

TEST_F(Merge, ResultFollowsTheMergeOrderWithCanonicalNames) {
  static constexpr const char* kOrder[] = {
      "TotalMemory", "CPUCountPhysical", "CPUCountLogical", "CPUCountTotalCores", "CPUSpeed", "CPUDesc", "CPUID",
      "DriveCSize", "DriveCFree", "DriveDSize", "DriveDFree", "DriveESize", "DriveEFree", "SerialNumber",
      "ModelName", "Manufacturer", "FirewallStatus", "AutoUpdateStatus", "AntiVirusStatus",
      "InternetSettingsStatus", "UserAccountControlStatus", "SecurityCenterStatus", "SecurityCenterUser",
      "OVAVersion", "OVAInstallPath", "OSType", "OSVersionString", "OSVersionMajor", "OSVersionMinor",
      "OSVersionBuild", "OSVersionSPMajor", "OSReleaseId", "OSServiceBranch", "OSDisplayVersion",
      "FeatureUpdateDelayDays", "OSPatchLevel", "IEVersion", "EnergySchemeName", "EnergySchemeID", "LCID",
      "BootMode", "Architecture", "TimeZone"};
  // Reported backwards, in lower case, with a name the merge does not know.
  Entries report = {{"unknown", "x"}}, want;
  for (int i = 0; i < int(std::size(kOrder)); ++i) {
    const String value = std::to_string(i + 1);  // differs from every stored value
    report.emplace(report.begin(), OFL::ToLower(kOrder[i]), value);
    want.emplace_back(kOrder[i], value);
  }
  EXPECT_EQ(Run(Stored(), report), want);
}

TEST_F(Merge, HostileValuesAreNeutralOrSaturated) {
  const String huge(100000, '9');
  EXPECT_THAT(Run(Stored(), {{"TotalMemory", "99999999999"}, {"CPUSpeed", "12abc"}, {"CPUCountLogical", "0x10"},
                             {"CPUCountPhysical", "-"}, {"OSType", huge}, {"DriveCSize", "99999999999"},
                             {"DriveDSize", "1e3"}, {"CPUDesc", String("a\0b", 3)}, {"TimeZone", "UTC+1"},
                             {"SystemUpTime", "many"}, {"DoNotDisturbModeUntil", "-5"},
                             {"IPWithPrefixes", "167772165#4294901760#1"}, {String(5000, 'N'), huge}}),
              ElementsAre(Pair("TotalMemory", "4294967295"), Pair("DriveCSize", "4294967295"),
                          Pair("OSType", "9223372036854775807")));
}

TEST_F(Merge, SubnetMaskFromTheReportedPrefixes) {
  const OVOSystem s = Stored();  // 10.0.0.5 = 167772165, mask 255.255.0.0
  const auto mask = [&](const String& text, CConfiguration::EIPUpdateMode mode = CConfiguration::eIPUpdateSubnetMask) {
    return Run(s, {{"IPWithPrefixes", text}}, mode);
  };
  EXPECT_THAT(mask("167772166#4294967040#167772165#4294967040"),
              ElementsAre(Pair("IPWithPrefixes", "255.255.255.0")));
  EXPECT_THAT(mask("167772165#4294967040", CConfiguration::eIPUpdateOff), IsEmpty());
  EXPECT_THAT(mask("167772166#4294967040"), IsEmpty());      // the primary address is not among them
  EXPECT_THAT(mask("167772165#4294901760"), IsEmpty());      // the stored mask
  EXPECT_THAT(mask("167772165#0"), IsEmpty());               // 0 is neutral
  EXPECT_THAT(mask("167772165#4294967041"), IsEmpty());      // no netmask
  EXPECT_THAT(mask("167772165"), IsEmpty());                 // odd length
  EXPECT_THAT(mask("1#2#167772165"), IsEmpty());
  EXPECT_THAT(mask("x#1#167772165#4278190080#3"), ElementsAre(Pair("IPWithPrefixes", "255.0.0.0")));
  EXPECT_THAT(mask("##167772165#4278190080"), ElementsAre(Pair("IPWithPrefixes", "255.0.0.0")));
  OVOSystem noAddress = Stored();
  noAddress.SetPrimaryIP(OFLIP());
  EXPECT_THAT(Run(noAddress, {{"IPWithPrefixes", "0#4278190080"}}, CConfiguration::eIPUpdateSubnetMask), IsEmpty());
}

TEST_F(Merge, BootTimeFromTheUptime) {
  OVOSystem s = Stored();
  EXPECT_THAT(Run(s, {{"SystemUpTime", "3600"}}), ElementsAre(Pair("SystemLastBoot", "20231114211320")));
  s.LastBoot(kNow - 3600);
  EXPECT_THAT(Run(s, {{"SystemUpTime", "3600"}}), IsEmpty());
  EXPECT_THAT(Run(s, {{"SystemUpTime", "3599"}}), ElementsAre(Pair("SystemLastBoot", "20231114211321")));
  EXPECT_THAT(Run(s, {{"SystemUpTime", "1700000001"}}), IsEmpty());  // before 1970
  EXPECT_THAT(Run(s, {{"SystemUpTime", "-1"}}), IsEmpty());
  // A boot time a DB time text cannot keep is neutral.
  EXPECT_THAT(Run(s, {{"SystemUpTime", "1699827201"}}), IsEmpty());
  EXPECT_THAT(Run(s, {{"SystemUpTime", "1699827200"}}), ElementsAre(Pair("SystemLastBoot", "19700103000000")));
}

TEST_F(Merge, LoggedOnUserAndTheMainUserWhoFollows) {
  OVOSystem s = Stored();
  // Empty: nothing, and the main user stays.
  EXPECT_THAT(Run(s, {{"LastLoggedOnUser", ""}}), IsEmpty());
  EXPECT_THAT(Run(s, {{"LastLoggedOnUser", "CORP\\anna"}}), IsEmpty());
  // Options 0x232: the main-user bits are 0, so the main user follows and
  // the bits are set.
  EXPECT_THAT(Run(s, {{"LastLoggedOnUser", "CORP\\ben"}}),
              ElementsAre(Pair("LastLoggedOnUser", "CORP\\ben"), Pair("PrimaryUser", "CORP\\ben"),
                          Pair("Options", "574")));
  // The setup account, in any case, never becomes the main user.
  EXPECT_THAT(Run(s, {{"LastLoggedOnUser", "PC1\\DefaultUser0"}}),
              ElementsAre(Pair("LastLoggedOnUser", "PC1\\DefaultUser0")));
  // Bits 8: follows without changing the option; 4 and 12: does not follow.
  s.SetOptions(0x232 | 8);
  EXPECT_THAT(Run(s, {{"LastLoggedOnUser", "CORP\\ben"}}),
              ElementsAre(Pair("LastLoggedOnUser", "CORP\\ben"), Pair("PrimaryUser", "CORP\\ben")));
  for (uint32_t bits : {4u, 12u}) {
    s.SetOptions(0x232 | bits);
    EXPECT_THAT(Run(s, {{"LastLoggedOnUser", "CORP\\ben"}}), ElementsAre(Pair("LastLoggedOnUser", "CORP\\ben")));
  }
  // The main user already is the logged-on user.
  s.SetOptions(0x232);
  s.SetUsername("CORP\\ben");
  EXPECT_THAT(Run(s, {{"LastLoggedOnUser", "CORP\\ben"}}), ElementsAre(Pair("LastLoggedOnUser", "CORP\\ben")));
}

TEST_F(Merge, ServiceAccountsNeverBecomeTheMainUser) {
  auto* corp = new OVODomain();
  corp->SetName("CORP");
  corp->SetDNSName("corp.example.com");
  corp->SetServiceAccounts("svc-ovs;CORP\\ovsinstall");
  domains.AddTail(corp);
  auto* other = new OVODomain();
  other->SetName("LAB");
  other->SetServiceAccounts("labsvc");
  domains.AddTail(other);
  const OVOSystem s = Stored();  // in CORP
  for (const char* user : {"CORP\\svc-ovs", "svc-ovs", "PC1\\OVSINSTALL", ".\\ovsinstall", "ovsinstall@corp.example.com",
                           "LAB\\labsvc"}) {
    SCOPED_TRACE(user);
    EXPECT_TRUE(ClientMgmtHelper::IsOVSAccount(s, user, domains, eConnectByIPOnly));
    EXPECT_THAT(Run(s, {{"LastLoggedOnUser", user}}), ElementsAre(Pair("LastLoggedOnUser", user)));
  }
  for (const char* user : {"labsvc", "CORP\\labsvc", "OTHER\\svc-ovs", "CORP\\ben", "", "CORP\\"}) {
    SCOPED_TRACE(user);
    EXPECT_FALSE(ClientMgmtHelper::IsOVSAccount(s, user, domains, eConnectByName));
  }
  EXPECT_TRUE(ClientMgmtHelper::IsDefaultUser0("defaultuser0"));
  EXPECT_TRUE(ClientMgmtHelper::IsDefaultUser0("DEFAULTUSER0@pc1"));
  EXPECT_FALSE(ClientMgmtHelper::IsDefaultUser0("defaultuser01"));
}

TEST_F(Merge, SidTimeZoneAndDoNotDisturb) {
  OVOSystem s = Stored();
  EXPECT_THAT(Run(s, {{"CurrentUserSID", "S-1-5-21-1"}}), IsEmpty());
  EXPECT_THAT(Run(s, {{"CurrentUserSID", ""}}), ElementsAre(Pair("CurrentUserSID", "")));  // empty counts
  EXPECT_THAT(Run(s, {{"TimeZone", "0"}}), ElementsAre(Pair("TimeZone", "0")));  // without comparison
  EXPECT_THAT(Run(s, {{"DoNotDisturbModeUntil", "0"}}), ElementsAre(Pair("DoNotDisturbModeUntil", "")));
  s.DoNotDisturbUntil(kNow);
  EXPECT_THAT(Run(s, {{"DoNotDisturbModeUntil", "1700000030"}}), IsEmpty());
  EXPECT_THAT(Run(s, {{"DoNotDisturbModeUntil", "1699999941"}}), IsEmpty());
  EXPECT_THAT(Run(s, {{"DoNotDisturbModeUntil", "1700000060"}}),
              ElementsAre(Pair("DoNotDisturbModeUntil", "20231114221420")));
  EXPECT_THAT(Run(s, {{"DoNotDisturbModeUntil", "1699999940"}}),
              ElementsAre(Pair("DoNotDisturbModeUntil", "20231114221220")));
  EXPECT_THAT(Run(s, {{"DoNotDisturbModeUntil", "253402300800"}}), IsEmpty());  // beyond year 9999
  EXPECT_THAT(Run(s, {{"DoNotDisturbModeUntil", "100"}}), IsEmpty());           // reads back as "not set"
}

TEST_F(Merge, ComponentsOfAFreshlyLoadedSystemOnlyOnce) {
  OVOSystem full = Stored();
  auto* nic = new OVOHardwareInstalledComponent();
  nic->SetType("NETCARD");
  full.GetInstalledComponents().AddTail(nic);
  full.SetText(OVOSystem::eGUIDHWProfile, "HW-1");
  full.GetProperties().SetProperty("Devices Hash", "abc");
  int calls = 0;
  const ClientMgmtHelper::FullSystem fetch = [&] {
    ++calls;
    return &full;
  };
  const auto run = [&](bool withComponents) {
    return ToEntries(helper.GetAllPropertiesToUpdate(Stored(), OVOProperties(), domains, eConnectByName,
                                                     CConfiguration::eIPUpdateOff, withComponents, fetch));
  };
  EXPECT_THAT(run(true), IsEmpty());  // not freshly loaded
  full.SetHardwareFreshlyLoaded(true);
  EXPECT_THAT(run(false), IsEmpty());
  EXPECT_EQ(calls, 1);
  EXPECT_THAT(run(true), ElementsAre(Pair("InstalledComponents", nic->Pack()), Pair("GUIDHWProfile", "HW-1"),
                                     Pair("DevicesHash", "abc")));
  EXPECT_FALSE(full.IsHardwareFreshlyLoaded());
  EXPECT_THAT(run(true), IsEmpty());
  EXPECT_THAT(ToEntries(helper.GetAllPropertiesToUpdate(Stored(), OVOProperties(), domains, eConnectByName,
                                                        CConfiguration::eIPUpdateOff, true, [] {
                                                          return static_cast<OVOSystem*>(nullptr);
                                                        })),
              IsEmpty());
}

TEST_F(Merge, AppliedResultLeavesNothingToMerge) {
  const Entries report = {
      {"TotalMemory", "16384"},   {"CPUID", "cpu-7"},       {"DriveDSize", "7000000000"}, {"FirewallStatus", "3"},
      {"SecurityCenterUser", "x"}, {"OVAVersion", "2.0"},    {"OSType", "4194304"},        {"LCID", "1031"},
      {"OSVersionMajor", "11"},   {"IPWithPrefixes", "167772165#4294967040"}, {"SystemUpTime", "60"},
      {"LastLoggedOnUser", "CORP\\ben"}, {"CurrentUserSID", "S-1-5-21-2"}, {"DoNotDisturbModeUntil", "1700003600"},
      {"SerialNumber", "SN9"},    {"Architecture", "x64"},
  };
  OVOSystem s = Stored();
  const OVOProperties changes =
      helper.GetAllPropertiesToUpdate(s, Report(report), domains, eConnectByName, CConfiguration::eIPUpdateSubnetMask);
  EXPECT_EQ(changes.GetCount(), 18);
  ClientMgmtHelper::UpdateSystemProperties(s, changes, CConfiguration::eIPUpdateSubnetMask);
  EXPECT_THAT(Run(s, report, CConfiguration::eIPUpdateSubnetMask), IsEmpty());
  EXPECT_EQ(s.GetNumber(OVOSystem::eDriveDSize), 4294967295u);
  EXPECT_EQ(s.GetPrimarySubnetMask().GetString(), "255.255.255.0");
  EXPECT_EQ(s.GetUsername(), "CORP\\ben");
  EXPECT_EQ(s.GetOptions(), 0x23Eu);
  EXPECT_EQ(s.LastBoot(), kNow - 60);
  EXPECT_EQ(s.DoNotDisturbUntil(), kNow + 3600);
  EXPECT_EQ(s.FirewallStatus, 3u);
  EXPECT_EQ(s.SecurityCenterUser, "x");
}

TEST(ApplyProperties, ValuesThatDoNotFitTheirFieldAreIgnored) {
  testing::ScopedTZ tz("UTC0");
  OVOSystem s = Stored();
  s.LastBoot(5);
  s.WolSent(6);
  const OVOProperties bag = Report({
      {"TotalMemory", "lots"}, {"DriveCSize", "-3"}, {"OSType", "x"}, {"CPUDesc", String("a\0b", 3)},
      {"SystemLastBoot", "2023"}, {"SystemWolSent", ""}, {"DoNotDisturbModeUntil", "20240101000000"},
      {"IPWithPrefixes", "255.255.255.1"}, {"InstalledComponents", "<InstalledComponent>"},
      {"Unknown", "1"}, {"TimeZone", "-120"}, {"DevicesHash", ""}, {"CPUID", "c"},
  });
  s.GetProperties().SetProperty("Devices Hash", "old");
  auto* kept = new OVOHardwareInstalledComponent();
  kept->SetType("HDD");
  s.GetInstalledComponents().AddTail(kept);
  ClientMgmtHelper::UpdateSystemProperties(s, bag, CConfiguration::eIPUpdateSubnetMask);
  EXPECT_EQ(s.GetNumber(OVOSystem::eTotalMemory), 8192u);
  EXPECT_EQ(s.GetNumber(OVOSystem::eDriveCSize), 500u);
  EXPECT_EQ(s.GetOSType(), 0x40000u);
  EXPECT_EQ(s.GetText(OVOSystem::eCPUDesc), "cpu");
  EXPECT_EQ(s.LastBoot(), 5);
  EXPECT_EQ(s.WolSent(), 0);
  EXPECT_EQ(s.DoNotDisturbUntil(), 1704067200);
  EXPECT_EQ(s.GetPrimarySubnetMask().GetString(), "255.255.0.0");
  ASSERT_EQ(s.GetInstalledComponents().GetCount(), 1);
  EXPECT_EQ(s.GetWide(OVOSystem::eTimezoneOffset), -120);
  EXPECT_FALSE(s.GetProperties().HasProperty("Devices Hash"));
  String cpuid;
  EXPECT_TRUE(s.GetProperties().GetProperty("CPUID", cpuid));
  EXPECT_EQ(cpuid, "c");

  // Components replace the old ones and belong to the system; a "#" list
  // gives the mask of the primary address; without mode 1 it counts not.
  OVOHardwareInstalledComponent a, b;
  a.SetType("NETCARD");
  b.SetType("GFXCARD");
  ClientMgmtHelper::UpdateSystemProperties(
      s, Report({{"InstalledComponents", a.Pack() + "<Other/>" + b.Pack()}, {"IPWithPrefixes", "1#2#167772165#4278190080"}}),
      CConfiguration::eIPUpdateOff);
  ASSERT_EQ(s.GetInstalledComponents().GetCount(), 2);
  EXPECT_EQ(s.GetComponent("GFXCARD", 0)->GetGUIDSystem(), s.GetGuid());
  EXPECT_EQ(s.GetPrimarySubnetMask().GetString(), "255.255.0.0");
  ClientMgmtHelper::UpdateSystemProperties(s, Report({{"IPWithPrefixes", "1#2#167772165#4278190080"}}),
                                           CConfiguration::eIPUpdateSubnetMask);
  EXPECT_EQ(s.GetPrimarySubnetMask().GetString(), "255.0.0.0");
  ClientMgmtHelper::UpdateSystemProperties(s, Report({{"IPWithPrefixes", "0.0.0.0"}}),
                                           CConfiguration::eIPUpdateSubnetMask);
  EXPECT_EQ(s.GetPrimarySubnetMask().GetString(), "255.0.0.0");
}

TEST(ConnectionFlags, OptionsFollowTheLastContact) {
  OVOSystem s;  // 0x232: LAN, no roaming
  using H = ClientMgmtHelper;
  EXPECT_EQ(H::GetSystemOptionsWithAppliedNetworkConnectionFlags(s, H::kConnectionLAN, false), 0x232u);
  EXPECT_EQ(H::GetSystemOptionsWithAppliedNetworkConnectionFlags(s, H::kConnectionInternet, false), 0x632u);
  EXPECT_EQ(H::GetSystemOptionsWithAppliedNetworkConnectionFlags(s, 2, true), 0x2232u);
  s.SetOptions(0x80002632);
  EXPECT_EQ(H::GetSystemOptionsWithAppliedNetworkConnectionFlags(s, H::kConnectionLAN, false), 0x80000232u);
  EXPECT_EQ(H::GetSystemOptionsWithAppliedNetworkConnectionFlags(s, H::kConnectionInternet, true), 0x80002632u);
}

// A store that answers every update with `status` and records it.
struct UpdateOnlyStore : IMocInstance {
  HRESULT status = 0;
  std::vector<std::pair<String, String>> updates;  // key, record
  HRESULT UpdateRecord(uint32_t type, BSTR key, BSTR, BSTR data, uint32_t*, BSTR* result) override {
    EXPECT_EQ(type & 0xFFFF, kRecordTypeClient);
    updates.emplace_back(OFL::FromUtf16({key, SysStringLen(key)}), OFL::FromUtf16({data, SysStringLen(data)}));
    *result = OFL::AllocBstr(status < 0 ? "" : "<Properties/>");
    return status;
  }
  HRESULT InitRecord(uint32_t, BSTR, BSTR*) override { return E_FAIL; }
  HRESULT LoadRecord(uint32_t, uint32_t, BSTR, BSTR, uint32_t, BSTR*) override { return E_FAIL; }
  HRESULT SaveRecord(uint32_t, BSTR, BSTR, BSTR, uint32_t*, BSTR*) override { return E_FAIL; }
  HRESULT CreateRecord(uint32_t, BSTR, BSTR*) override { return E_FAIL; }
  HRESULT DeleteRecord(uint32_t, BSTR, uint32_t*, BSTR*) override { return E_FAIL; }
  HRESULT DoAction(uint32_t, BSTR, BSTR, BSTR*) override { return E_FAIL; }
  HRESULT SpecialTask(uint32_t, BSTR, BSTR*) override { return E_FAIL; }
};

TEST(ConnectionFlags, StoredOnlyWhenChangedWithABagOfOptions) {
  auto store = std::make_shared<UpdateOnlyStore>();
  CDBAccess db(store);
  OVOSystem s = Stored();
  s.SetDisplayName("Reception");
  String error = "stale";
  EXPECT_EQ(ClientMgmtHelper::StoreLastNetworkConnectionForClientIfChanged(db, s, 0, false, error), 0);
  EXPECT_EQ(error, "");
  EXPECT_THAT(store->updates, IsEmpty());

  EXPECT_EQ(ClientMgmtHelper::StoreLastNetworkConnectionForClientIfChanged(db, s, 1, true, error), 0);
  ASSERT_EQ(store->updates.size(), 1u);
  OFLTokenizer key;
  ASSERT_TRUE(key.FromLengthPackedString(store->updates[0].first));
  EXPECT_THAT(key.Items(), ElementsAre(s.GetGuid(), "1", "*"));
  EXPECT_EQ(store->updates[0].second,
            "<Properties><PropertyEntry><Param>Options</Param><Value>9778</Value></PropertyEntry></Properties>");
  EXPECT_EQ(s.GetOptions(), 0x2632u);

  store->status = E_FAIL;
  EXPECT_EQ(ClientMgmtHelper::StoreLastNetworkConnectionForClientIfChanged(db, s, 0, false, error), E_FAIL);
  EXPECT_EQ(error, "Error while updating network connection [LAN, AutoSelect: FALSE] for system [Reception]: "
                   "Unspecified error");
  EXPECT_EQ(s.GetOptions(), 0x2632u);
  EXPECT_EQ(ClientMgmtHelper::StoreLastNetworkConnectionForClientIfChanged(db, s, 1, false, error), E_FAIL);
  EXPECT_EQ(error, "Error while updating network connection [Internet, AutoSelect: FALSE] for system [Reception]: "
                   "Unspecified error");
}

TEST(MiniInventory, ChangesAndTheUpdatedSystemFromTheActionParameter) {
  testing::ScopedTZ tz("UTC0");
  OVOSystem stored = Stored();
  const String parameter = ClientMgmtHelper::MakeMiniInventoryParameter(
      stored.GetGuid(), Report({{"TotalMemory", "8192"}, {"OVAVersion", "3.1"}, {"FirewallStatus", "1"}}));
  String guid;
  OVOProperties report = Report({{"stale", "x"}});
  ASSERT_TRUE(ClientMgmtHelper::ReadMiniInventoryParameter(parameter, guid, report));
  EXPECT_EQ(guid, stored.GetGuid());
  EXPECT_THAT(ToEntries(report), ElementsAre(Pair("TotalMemory", "8192"), Pair("OVAVersion", "3.1"),
                                             Pair("FirewallStatus", "1")));
  OVOProperties none;
  EXPECT_FALSE(ClientMgmtHelper::ReadMiniInventoryParameter("<Properties/>", guid, none));

  const ClientMgmtHelper helper([] { return kNow; });
  OVODomainList domains;
  const auto result =
      helper.ProcessMiniInventory(stored, report, domains, eConnectByName, CConfiguration::eIPUpdateOff);
  EXPECT_THAT(ToEntries(result.changes), ElementsAre(Pair("OVAVersion", "3.1")));  // the firewall state is known
  EXPECT_EQ(result.system.GetAgentVersion(), "3.1");
  EXPECT_EQ(result.system.FirewallStatus, 1u);
  EXPECT_EQ(result.system.GetGuid(), stored.GetGuid());
  const auto again = helper.ProcessMiniInventory(result.system, report, domains, eConnectByName,
                                                 CConfiguration::eIPUpdateOff);
  EXPECT_TRUE(again.changes.IsEmpty());
}

}  // namespace
}  // namespace orvacmn
