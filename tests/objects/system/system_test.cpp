// Managed systems: the packed texts of a fresh and a populated client, the unpack rules, address histories,
// options, users, OS names, jobs, devices, variables and the list.
#include "orvacmn/system/system.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/tz.h"
#include "ofl/tokenizer.h"
#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/system/ad_object.h"
#include "orvacmn/variables/ovk_vars.h"

namespace {

using namespace orvacmn;
using orvacmn::testing::ScopedTZ;

constexpr char kZero[] = "19700101000000";

String FreshText(const String& head = "", const String& tail = "") {
  return "<Client><TimeStamp>1.2</TimeStamp><GUID></GUID><OrgUnit></OrgUnit><DisplayName></DisplayName>"
         "<HostName></HostName>" + head + "<MACList></MACList><LAAList></LAAList><IPList></IPList><Priority>1</Priority>"
         "<Options>562</Options>" + tail + "<FeatureUpdateDelayDays>4294967295</FeatureUpdateDelayDays>"
         "<ObjectRights></ObjectRights><ClientAgentState>0</ClientAgentState><LastActivityChange>0</LastActivityChange>"
         "<Modified>0</Modified><SaveOptions>0</SaveOptions><WOLSent>" + kZero + "</WOLSent><LastBoot>" + kZero +
         "</LastBoot><TimezoneOffset>0</TimezoneOffset><DoNotDisturbUntil>" + kZero + "</DoNotDisturbUntil></Client>";
}

OVOSystem Stamped() {
  OVOSystem s;
  s.SetTimeStamp(CFileTime(1, 2));
  return s;
}

TEST(System, FreshTextAndDefaults) {
  ScopedTZ tz("UTC");
  const OVOSystem s = Stamped();
  EXPECT_EQ(s.Pack(), FreshText());
  EXPECT_TRUE(s.GetObjectName() == "Client" && s.GetSchema() == 0x50001u && s.GetVars().GetScope() == "__MACHINE__");
  // The stamp of a new object is the current time.
  EXPECT_GT(OVOSystem().GetTimeStamp().GetTime(), CFileTime::kUnixEpoch);
}

TEST(System, PopulatedTextRoundTrips) {
  ScopedTZ tz("UTC");
  OVOSystem s = Stamped();
  s.SetGuid("G"), s.SetHostName("PC1"), s.SetDomain("D"), s.SetLCID(1033);
  s.SetPrimaryMAC("00-11-22-33-44-55"), s.SetLogicalMAC("02:00:00:00:00:01"), s.SetPrimaryIP("10.0.0.1");
  s.SetPrimarySubnetMask("255.255.0.0");
  s.SetNumber(OVOSystem::eOSVerBuild, 7);
  s.SetNumber(OVOSystem::eDriveDSize, 9);
  s.SetText(OVOSystem::eMACList, "a\xC3\xBC" + s.GetMACList());
  s.WolSent(86400), s.SetModified(true), s.SetClientAgentState(-1);
  s.GetVars().SetVar("C", "N", "V", OVOCustomVarDef::ECustomVarType{});
  s.GetSpv().Insert(1, "S", "P", "V");
  s.GetProperties().SetProperty("K", String("V"));
  auto* c = new OVOHardwareInstalledComponent;
  c->SetType("HDD"), c->SetGUIDSystem("G");
  s.GetInstalledComponents().AddTail(c);
  s.InsertKioskJob("<Job><GUID>J</GUID></Job>");
  s.SetPublicKey(OVO::PublicKey("AAAA"));
  const String packed = s.Pack();
  const String want =
      "<Client><TimeStamp>1.2</TimeStamp><GUID>G</GUID><OrgUnit></OrgUnit><DisplayName></DisplayName>"
      "<HostName>PC1</HostName><PrimaryMAC>00:11:22:33:44:55</PrimaryMAC><LogicalMAC>02:00:00:00:00:01</LogicalMAC>"
      "<MACList>a&#xFC;00:11:22:33:44:55</MACList><LAAList>02:00:00:00:00:01</LAAList><IPList>10.0.0.1</IPList>"
      "<PrimaryIP>10.0.0.1</PrimaryIP><PrimarySubnetMask>255.255.0.0</PrimarySubnetMask><Domain>D</Domain>"
      "<Priority>1</Priority><Options>562</Options>"
      "<LCID shortname=\"en\" longname=\"English (United States)\">1033</LCID><OSVerMajor>0</OSVerMajor>"
      "<OSVerMinor>0</OSVerMinor><OSVerBuild>7</OSVerBuild><FeatureUpdateDelayDays>4294967295</FeatureUpdateDelayDays>"
      "<DriveDSize>9</DriveDSize><DriveDFree>0</DriveDFree>" + c->Pack() + s.GetVars().Pack() + s.GetSpv().Pack() +
      "<ObjectRights></ObjectRights>" + s.GetProperties().Pack() + "<KioskJobEntry>" +
      OFLTools::MakeXMLData(OVOJob("<Job><GUID>J</GUID></Job>").Pack()) +
      "</KioskJobEntry><ClientAgentState>-1</ClientAgentState><LastActivityChange>0</LastActivityChange>"
      "<Modified>1</Modified><SaveOptions>0</SaveOptions><WOLSent>19700102000000</WOLSent><LastBoot>" + kZero +
      "</LastBoot><PublicKey>AAAA</PublicKey><TimezoneOffset>0</TimezoneOffset><DoNotDisturbUntil>" + kZero +
      "</DoNotDisturbUntil></Client>";
  EXPECT_EQ(packed, want);
  const OVOSystem copy(s);
  EXPECT_EQ(copy.Pack(), packed);
  EXPECT_EQ(copy.GetInstalledComponents().GetHead()->GetGUIDSystem(), "G");
  EXPECT_EQ(copy.WolSent(), 86400);
  s.Clear();
  EXPECT_EQ(s.WolSent(), 0);
}

TEST(System, UnpackRules) {
  ScopedTZ tz("America/New_York");
  OVOSystem s;
  // Any order, any case; "5" has no point; texts before 1970-01-02 are "not set".
  ASSERT_EQ(s.Unpack("<Client><installedcomponent/><guid>X</guid><TIMESTAMP>5</TIMESTAMP><Modified>-7</Modified>"
                     "<LastBoot>19691231190000</LastBoot><WOLSent>20240102</WOLSent><Unknown/>"
                     "<InstalledComponent/><PrimaryIP>1.2.3</PrimaryIP><IPList>x</IPList></Client>"),
            1);
  EXPECT_EQ(s.GetTimeStamp().GetTime(), 0u);
  EXPECT_TRUE(s.IsModified() && s.LastBoot() == 0 && s.WolSent() == OVOHelper::DBTimeToCTime("20240102"));
  EXPECT_TRUE(s.GetPrimaryIP().IsEmpty() && s.GetIPList() == "x");
  // The owner GUID is the one read so far.
  EXPECT_EQ(s.GetInstalledComponents().GetHead()->GetGUIDSystem(), "");
  EXPECT_EQ(s.GetInstalledComponents().GetTail()->GetGUIDSystem(), "X");
  EXPECT_EQ(OVOSystem("<Client><TimeStamp>4294967295.4294967296</TimeStamp></Client>").GetTimeStamp(),
            CFileTime(0xFFFFFFFF, 0xFFFFFFFF));
  for (const char* bad : {"", "<Client", "<Job/>", "<client/>", "garbage", "<Client><GUID>a</Client>"}) {
    s.SetGuid("old");
    EXPECT_EQ(s.Unpack(bad), 0) << bad;
    EXPECT_EQ(s.GetGuid(), "") << bad;
  }
}

TEST(System, GroupedFieldsAndSmallPack) {
  ScopedTZ tz("UTC");
  OVOSystem s = Stamped();
  s.SetNumber(OVOSystem::eOSVerMinor, 1);
  s.SetNumber(OVOSystem::eDriveCFree, 5);  // size 0: neither is written
  EXPECT_EQ(s.Pack(), FreshText("", "<OSVerMajor>0</OSVerMajor><OSVerMinor>1</OSVerMinor><OSVerBuild>0</OSVerBuild>"));
  s.SetDomain("D"), s.SetLastSeen(3), s.SetHostName("H");
  EXPECT_EQ(s.SmallPack(), String("<Client><TimeStamp>1.2</TimeStamp><GUID></GUID><OrgUnit></OrgUnit>"
                                  "<DisplayName></DisplayName><HostName>H</HostName><WOLSent>") +
                               kZero + "</WOLSent><LastBoot>" + kZero +
                               "</LastBoot><Domain>D</Domain><LastSeen>3</LastSeen></Client>");
}

TEST(System, AddressHistories) {
  OVOSystem s;
  s.Unpack("<Client><PrimaryIP>10.0.0.1</PrimaryIP><IPList>10.0.0.1;10.0.0.3</IPList></Client>");
  s.SetPrimaryIP("10.0.0.2");
  EXPECT_EQ(s.GetIPList(), "10.0.0.2;10.0.0.3");
  s.SetPrimaryIP("10.0.0.3");
  EXPECT_EQ(s.GetIPList(), "10.0.0.3");
  s.SetText(OVOSystem::eMACList, "aa:bb:cc:dd:ee:ff;X");
  s.SetPrimaryMAC("001122334455");
  s.SetPrimaryMAC("AABBCCDDEEFF");
  EXPECT_EQ(s.GetMACList(), "AA:BB:CC:DD:EE:FF;X");
  s.SetPrimaryMAC(OFLMAC());
  EXPECT_TRUE(s.GetMACList() == "X" && s.GetPrimaryMAC().IsEmpty());
  // Only netmasks or the empty address; other texts change nothing.
  s.SetPrimarySubnetMask("255.255.255.0");
  for (const char* ignored : {"255.0.255.0", "mask", "1.2.3.4"}) s.SetPrimarySubnetMask(String(ignored));
  EXPECT_EQ(s.GetPrimarySubnetMask().GetString(), "255.255.255.0");
  EXPECT_EQ(s.GetSubnetMaskForClientAddress(OFLIP("10.0.0.3")).GetString(), "255.255.255.0");
  EXPECT_TRUE(s.GetSubnetMaskForClientAddress(OFLIP("10.0.0.4")).IsEmpty());
  s.SetPrimarySubnetMask("");
  EXPECT_TRUE(s.GetPrimarySubnetMask().IsEmpty());
  s.ClearIdentification();
  EXPECT_TRUE(s.GetMACList().empty() && s.GetIPList().empty() && s.GetPrimaryIP().IsEmpty());
}

TEST(System, ClientAddressAndNames) {
  OVOSystem s;
  EXPECT_EQ(s.GetClientAddress(eConnectByIPOnly, false, false), "0.0.0.0");
  s.SetHostName("127.0.0.1");
  EXPECT_EQ(s.GetClientAddress(eConnectByIPFirst, false, true), "127.0.0.1");
  s.SetPrimaryIP("10.0.0.9");
  EXPECT_EQ(s.GetClientAddress(eConnectByIPFirst, false, false), "10.0.0.9");
  // The cache keeps the first answer until a refresh.
  s.SetHostName("");
  EXPECT_EQ(s.GetClientAddress(eConnectByName, false, false), "127.0.0.1");
  EXPECT_EQ(s.GetClientAddress(eConnectByName, true, false), "");
  s.SetHostName("pc"), s.SetDomain("corp.example");
  EXPECT_EQ(s.GetFQDNOrDisplayname(), "pc.corp.example");
  EXPECT_EQ(s.GetDisplayName(), "pc");
  s.SetHostName(""), s.SetDisplayName("Desk");
  EXPECT_EQ(s.GetFQDNOrDisplayname(), "Desk");
  EXPECT_TRUE(OVOSystem::IsValidHostName("PC-01") && OVOSystem::IsValidHostName("10.1.1.1"));
  EXPECT_FALSE(OVOSystem::IsValidHostName("pc.example.com") || OVOSystem::IsValidHostName("1234"));
  s.SetGuid("g");
  OFLTokenizer key;
  ASSERT_TRUE(key.FromLengthPackedString(s.GetKey()));
  EXPECT_EQ(key.AsString("|"), "g|1|*");
}

// An object reused for another client forgets the address resolved for the
// one before, however it gets the new content.
TEST(System, ReusedObjectResolvesItsOwnAddress) {
  const auto resolved = [] {
    auto s = std::make_unique<OVOSystem>();
    s->SetHostName("127.0.0.1");
    EXPECT_EQ(s->GetClientAddress(eConnectByName, false, false), "127.0.0.1");
    return s;
  };
  const OVOSystem nameless;
  auto s = resolved();
  s->Clear();
  EXPECT_EQ(s->GetClientAddress(eConnectByName, false, false), "");
  s = resolved();
  s->Unpack(nameless.Pack());
  EXPECT_EQ(s->GetClientAddress(eConnectByName, false, false), "");
  s = resolved();
  *s = nameless;
  EXPECT_EQ(s->GetClientAddress(eConnectByName, false, false), "");
}

TEST(System, ModesAndOptions) {
  struct Case {
    uint32_t options;
    bool internet, lan, internetOnlyNoLan, autoNoLan;
  };
  const Case cases[] = {
      {0x0, false, true, false, false},     {0x800, true, false, true, false},
      {0x4800, true, false, false, false},  {0x1000, false, true, false, true},
      {0x1C00, true, false, false, true},   {0x5C00, true, false, false, false},
  };
  OVOSystem s;
  for (const Case& c : cases) {
    s.SetOptions(c.options);
    EXPECT_EQ(s.IsInternetClient(), c.internet) << c.options;
    EXPECT_EQ(s.IsLANClient(), c.lan) << c.options;
    EXPECT_EQ(s.IsInternetOnlyClientWithNoLANRessources(), c.internetOnlyNoLan) << c.options;
    EXPECT_EQ(s.IsAutoSelectClientWithNoLANRessourcesInInternet(), c.autoNoLan) << c.options;
  }
  s.SetOptions(0x1800);
  s.SetInternetMode();
  EXPECT_EQ(s.GetOptions(), 0x800u);
  s.SetDynamicMode();
  EXPECT_EQ(s.GetOptions(), 0x1000u);
  s.SetLANMode();
  EXPECT_TRUE(s.GetOptions() == 0 && s.HasLANModeSet());
  s.SetOptions(0xFF);
  EXPECT_EQ(s.DrySetUpdatingMainUserOption(OVOSystem::EUpdatingMainUserOptions{0x7}), 0xF7u);
  EXPECT_EQ(s.GetOptions(), 0xFFu);
  s.SetUserJobOptions(OVOSystem::EUserJobOptions{0x10});
  EXPECT_TRUE(s.GetOptions() == 0xDF && s.GetUserJobOptions() == 0x10 && s.GetUpdatingMainUserOption() == 0xC);
}

TEST(System, UpdateByUserAccount) {
  struct Case {
    const char* account;
    uint32_t follow;
    bool keep;
    const char* wantUser;
    int lastChanged, regChanged, sidChanged, optChanged;
    uint32_t wantFollow;
  };
  const Case cases[] = {
      {"DOM\\ann", 0x0, false, "DOM\\ann", 1, 1, 1, 1, 0xC},
      {"DOM\\ann", 0x8, false, "DOM\\ann", 1, 1, 1, 0, 0x8},
      {"DOM\\ann", 0x4, false, "old", 1, 0, 1, 0, 0x4},
      {"DOM\\ann", 0xC, false, "old", 1, 0, 1, 0, 0xC},
      {"DOM\\ann", 0x0, true, "old", 1, 0, 1, 0, 0x0},
      {"PC\\DefaultUser0", 0x0, false, "old", 1, 0, 1, 0, 0x0},
      {"", 0x0, false, "old", 0, 0, 1, 0, 0x0},
      {"DOM\\last", 0x0, false, "DOM\\last", 0, 1, 1, 1, 0xC},  // the last user already
  };
  for (const Case& c : cases) {
    OVOSystem s;
    s.SetUsername("old"), s.SetLastUser("DOM\\last");
    s.SetOptions(c.follow);
    int last = -1, reg = -1, sid = -1, opt = -1;
    s.UpdateSystemByUserAccount(OFLUserAccount(c.account), "S-1", last, reg, sid, opt, c.keep);
    EXPECT_EQ(s.GetUsername(), c.wantUser) << c.account;
    EXPECT_EQ(last, c.lastChanged) << c.account;
    EXPECT_EQ(reg, c.regChanged) << c.account;
    EXPECT_EQ(sid, c.sidChanged) << c.account;
    EXPECT_EQ(opt, c.optChanged) << c.account;
    EXPECT_EQ(s.GetCurrentUserSID(), "S-1");
    EXPECT_EQ(s.GetOptions(), c.wantFollow) << c.account;
  }
}

TEST(System, OsNamesAndServicePacks) {
  OVOSystem s;
  EXPECT_TRUE(s.UpdateOsTypeFromString("Microsoft Windows 8.1 Pro 64-bit"));
  EXPECT_TRUE(s.GetOSType() == 0x10000 && s.GetNumber(OVOSystem::eOSVerMinor) == 3);
  EXPECT_TRUE(s.UpdateOsTypeFromString("Windows Server 2008 R2 Enterprise"));
  EXPECT_TRUE(s.GetOSType() == 0x2000 && s.GetNumber(OVOSystem::eOSVerMajor) == 6);
  EXPECT_FALSE(s.UpdateOsTypeFromString("Windows 95"));
  EXPECT_EQ(s.GetOSType(), 0x2000u);
  const std::pair<const char*, uint32_t> packs[] = {
      {"Service Pack 3", 3}, {"XP SERVICE PACK 2a", 2}, {"service pack", 9}, {"service pack ", 0}, {"sp1", 9}, {"", 9}};
  for (const auto& [text, want] : packs) {
    s.SetNumber(OVOSystem::eOSVerSpMajor, 9);
    s.UpdateServicePackVerFromString(text);
    EXPECT_EQ(s.GetOSVerSpMajor(), want) << text;
  }
}

TEST(System, JobsDevicesAndComponents) {
  OVOSystem s;
  EXPECT_TRUE(s.InsertKioskJob("<Job><GUID>abc</GUID></Job>"));
  EXPECT_FALSE(s.InsertKioskJob("<Job><GUID>ABC</GUID><Name>2</Name></Job>"));
  EXPECT_TRUE(s.InsertAutoInstallJob("<Job><GUID>ABC</GUID></Job>"));
  EXPECT_TRUE(s.GetKioskJobs().GetCount() == 1 && s.GetAutoInstallJobs().GetCount() == 1);

  OFLTokenizer ids;
  for (const char* id : {"PCI\\VEN_8086&DEV_1502&CC_0200", "PCI\\VEN_10DE&DEV_0A65&CC_0300", "USB\\VID_046D&PID_C52B",
                         "PCI\\VEN_8086&DEV_1503&CC_020000"})
    ids.AddString(id);
  s.SetDetectedDevices(ids.AsLengthPackedString());
  EXPECT_TRUE(s.GetDetectedNetcardCount() == 2 && s.GetDetectedGfxcardCount() == 1);
  EXPECT_EQ(s.GetDetectedOtherComponentCount(), 1);
  EXPECT_TRUE(s.ContainsDetectedDevice("PCI\\VEN_8086&DEV_1502"));
  EXPECT_FALSE(s.ContainsDetectedDevice("PCI\\VEN_8086&DEV_1502&REV_01"));
  EXPECT_EQ(OVOSystem(s).GetDetectedDevices().GetCount(), 0);

  String reason;
  EXPECT_TRUE(s.IsPEComponentUpdateAllowed(reason) && reason.empty());
  for (const char* type : {"NETCARD", "netcard", "NETCARD", "HDD"}) {
    auto* c = new OVOHardwareInstalledComponent;
    c->SetType(type);
    c->SetDeviceString("PCI\\VEN_8086&DEV_1502&SUBSYS_00011028");
    s.GetInstalledComponents().AddTail(c);
  }
  EXPECT_TRUE(s.GetComponentCount("NETCARD") == 2 && s.GetComponent("NETCARD", 1) != nullptr);
  EXPECT_TRUE(s.GetComponent("NETCARD", 2) == nullptr && s.GetComponent("NETCARD", -1) == nullptr);
  POSITION pos = nullptr;
  EXPECT_EQ(s.FindInstalledComponent("PCI\\VEN_8086&DEV_1502", &pos), s.GetInstalledComponents().GetHead());
  EXPECT_TRUE(pos == s.GetInstalledComponents().GetHeadPosition() && s.ContainsDevice("PCI\\VEN_8086&DEV_1502"));
  OVOGroupNetSettings group;
  group.SetIP("DHCP");
  s.SetNetSettingsFromGroup(&group, "CORP");
  EXPECT_TRUE(s.GetDomain() == "CORP" && s.GetComponent("NETCARD", 0)->GetProperties().GetCount() == 1);
  EXPECT_EQ(s.GetComponent("NETCARD", 1)->GetProperties().GetCount(), 0);

  // Checks in their order.
  EXPECT_FALSE(s.IsPEComponentUpdateAllowed(reason));
  EXPECT_EQ(reason, "Unpinned Client has already defined components");
  s.SetPublicKey(OVO::PublicKey("k"));
  EXPECT_FALSE(s.IsPEComponentUpdateAllowed(reason));
  EXPECT_EQ(reason, "Client is already pinned");
  s.SetInternetMode();
  EXPECT_FALSE(s.IsPEComponentUpdateAllowed(reason));
  EXPECT_EQ(reason, "Client is in internet mode");
  s.SetOption(OVOSystem::kOptionDeactivated, true);
  EXPECT_FALSE(s.IsPEComponentUpdateAllowed(reason));
  EXPECT_EQ(reason, "Client is deactivated");
}

TEST(System, PopulateVars) {
  OVOSystem s;
  s.SetHostName("127.0.0.1"), s.SetLCID(0xFFFFFFFF), s.SetOSType(0x40);
  s.GetVars().SetVar("Cat", "Room", "B2", OVOCustomVarDef::ECustomVarType{});
  COVKVars vars;
  s.PopulateVars(vars, eConnectByName, true, false);
  String v;
  EXPECT_TRUE(vars.GetVar("PrimaryIP", v) && v == "127.0.0.1");
  EXPECT_TRUE(vars.GetVar("Machine", v) && v == "127.0.0.1");
  EXPECT_TRUE(vars.GetVar("LangID", v) && v == "-1");
  EXPECT_TRUE(vars.GetVar("OSType", v) && v == "Win7");
  EXPECT_TRUE(vars.GetVar("Client:DisplayName", v) && v.empty());
  EXPECT_TRUE(vars.GetVar(s.GetVars().GenerateFullName(*s.GetVars().begin()), v) && v == "B2");
  COVKVars skipped;
  s.PopulateVars(skipped, eConnectByName, false, true);
  EXPECT_TRUE(skipped.GetVar("ClientAddress", v) && v.empty() && skipped.GetVar("Client:IP", v) && v.empty());

  OVOADObject ad("<ADObject><DisplayName>Maria</DisplayName></ADObject>");
  COVKVars adVars;
  ad.PopulateVars(adVars, eConnectByName, 0);
  EXPECT_TRUE(adVars.GetVar("Username", v) && v == "Maria");
}

TEST(System, ListOwnsAndFinds) {
  OVOSystemList list;
  for (const char* g : {"a", "B", "b"}) {
    auto* s = new OVOSystem;
    s->SetGuid(g);
    list.AddTail(s);
  }
  POSITION pos = nullptr;
  EXPECT_EQ(list.FindEntryByGUID("b", &pos)->GetGuid(), "B");
  EXPECT_EQ(list.FindEntryByGUID("c"), nullptr);
  EXPECT_TRUE(*list.GetAt(list.FindIndex(1)) < *list.GetHead() && OVOSystem() < *list.GetHead());
  list.DeleteObjects();
  EXPECT_TRUE(list.IsEmpty());
}

}  // namespace
