// Installed components, hardware profiles, settings by OS and the display-settings rules.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "orvacmn/hardware.h"

namespace {

using orvacmn::OVOGroupNetSettings;
using orvacmn::OVOHardwareDisplaySettings;
using orvacmn::OVOHardwareHWProfile;
using orvacmn::OVOHardwareInstalledComponent;
using orvacmn::OVOHardwareInstalledComponentList;
using orvacmn::OvoSpv;
using orvacmn::String;
using C = OVOHardwareInstalledComponent;

const char kDefaultComponent[] =
    "<InstalledComponent><GUID></GUID><GUIDSystem></GUIDSystem><GUIDComponent></GUIDComponent><Number>0</Number>"
    "<Type></Type><Vendor></Vendor><Model></Model><Data></Data><DeviceInfo></DeviceInfo><Properties></Properties>"
    "<SPV></SPV></InstalledComponent>";
const char kFullComponent[] =
    "<InstalledComponent><GUID>g1</GUID><GUIDSystem>s1</GUIDSystem><GUIDComponent>c1</GUIDComponent>"
    "<Number>4294967295</Number><Type>GFXCARD</Type><Vendor>V &amp; Co</Vendor><Model>M</Model><Data>d</Data>"
    "<DeviceInfo>PCI\\VEN_10DE&amp;DEV_0A65</DeviceInfo><Properties><PropertyEntry><Param>VideoResolution</Param>"
    "<Value>800x600</Value></PropertyEntry></Properties><SPV><SPVEntry><OS>-9223372036854775808</OS>"
    "<Section>S</Section><Param>P</Param><Value>v</Value></SPVEntry></SPV></InstalledComponent>";

C* Component(const String& type, const String& idComponent, const String& device = String()) {
  auto* c = new C();
  c->SetType(type);
  c->SetGUIDComponent(idComponent);
  c->SetDeviceString(device);
  return c;
}

TEST(HardwareInstalledComponent, PacksEveryFieldReadsTagsInAnyCaseAndClears) {
  C c;
  EXPECT_TRUE(c.GetObjectName() == "InstalledComponent" && c.GetSchema() == 0x50001u);
  EXPECT_EQ(c.Pack(), kDefaultComponent);
  C full(kFullComponent);
  EXPECT_EQ(full.Pack(), kFullComponent);
  EXPECT_TRUE(full.GetDeviceInfo().IsValid() && full.GetNumber() == 0xFFFFFFFFu && full.GetVendor() == "V & Co");
  EXPECT_EQ(C(full), full);

  C lower("<InstalledComponent><guid>g</guid><NUMBER>99999999999</NUMBER><deviceinfo>junk</deviceinfo>"
          "<properties><propertyentry><param>AutoDetected</param></propertyentry></properties><x>1</x>"
          "<spv><spventry><os>3</os></spventry></spv></InstalledComponent>");
  EXPECT_EQ(lower.GetGUID(), "g");
  EXPECT_EQ(lower.GetNumber(), 0xFFFFFFFFu) << "saturates at 32 bits";
  EXPECT_TRUE(lower.GetDeviceInfo().GetDeviceString() == "junk" && !lower.GetDeviceInfo().IsValid());
  EXPECT_TRUE(lower.IsAutodetected() && lower.GetSpv().GetCount() == 1);

  full.SetState(C::eStateAdded);
  full.Clear();
  EXPECT_EQ(full.Pack(), kDefaultComponent);
  EXPECT_EQ(full.GetState(), C::eStateAdded) << "the matching state is not a packed field";
  for (const char* bad : {"", "<Other/>", "<InstalledComponent>", "<installedcomponent/>"}) {
    C x(kFullComponent);
    EXPECT_EQ(x.Unpack(bad), 0) << bad;
    EXPECT_EQ(x.Pack(), kDefaultComponent) << bad;
  }
}

TEST(HardwareInstalledComponent, NetworkSettingsFromGroupAndConfigurationFromOldComponent) {
  C c;
  c.GetProperties().SetProperty("AutoDetected", "T");
  c.SetNetSettingsFromGroup(nullptr);
  EXPECT_TRUE(c.IsAutodetected());

  OVOGroupNetSettings group;
  group.SetIP("DHCP");
  group.SetNetmask("255.0.0.0");
  c.SetNetSettingsFromGroup(&group);
  EXPECT_EQ(c.GetProperties().GetReadableForm(), "IP=DHCP");

  group.SetIP("dhcp");  // only the exact text means DHCP
  using G = OVOGroupNetSettings;
  const std::pair<void (G::*)(const String&), const char*> fields[] = {
      {&G::SetDefGateway, "gw"}, {&G::SetDNS1, "d1"}, {&G::SetDNS2, "d2"},
      {&G::SetDNSDomain, "dom"}, {&G::SetWINS1, "w1"}, {&G::SetWINS2, "w2"}};
  for (const auto& [set, value] : fields) (group.*set)(value);
  c.SetNetSettingsFromGroup(&group);
  EXPECT_EQ(c.GetProperties().GetReadableForm(),
            "IP=dhcp; IP.DefGateway=gw; IP.DNS1=d1; IP.DNS2=d2; IP.DNSDomain=dom; IP.Netmask=255.0.0.0; "
            "IP.WINS1=w1; IP.WINS2=w2");

  C old(kFullComponent);
  c.SetGUID("mine");
  c.SetConfigurationFromOldComponent(old.Pack());
  EXPECT_TRUE(c.GetProperties().GetMap() == old.GetProperties().GetMap() && c.GetSpv() == old.GetSpv());
  EXPECT_EQ(c.GetGUID(), "mine");
  c.SetConfigurationFromOldComponent("garbage");
  EXPECT_TRUE(c.GetProperties().IsEmpty() && c.GetSpv().IsEmpty());
}

TEST(HardwareSpv, KeepsDuplicatesInOrderReplacesOnUnpackAndFindsByOS) {
  OvoSpv spv;
  EXPECT_EQ(spv.Pack(), "<SPV></SPV>");
  spv.Insert(0x4, "Sec", "Par", "a");
  spv.Insert(0x4, "Sec", "Par", "b");
  const String two =
      "<SPV><SPVEntry><OS>4</OS><Section>Sec</Section><Param>Par</Param><Value>a</Value></SPVEntry>"
      "<SPVEntry><OS>4</OS><Section>Sec</Section><Param>Par</Param><Value>b</Value></SPVEntry></SPV>";
  EXPECT_EQ(spv.Pack(), two);
  EXPECT_EQ(OvoSpv(two), spv);

  EXPECT_EQ(spv.Find(0xC, "SEC", "par")->value, "a");
  EXPECT_EQ(spv.Find(0x8, "Sec", "Par"), nullptr);
  EXPECT_EQ(spv.Find(0x4, "Sec", "Other"), nullptr);

  EXPECT_EQ(spv.Unpack("<SPV><spventry><value>v</value><os>x</os></spventry><Other/><SPVEntry/></SPV>"), 1);
  EXPECT_EQ(spv.Pack(),
            "<SPV><SPVEntry><OS>0</OS><Section></Section><Param></Param><Value>v</Value></SPVEntry>"
            "<SPVEntry><OS>0</OS><Section></Section><Param></Param><Value></Value></SPVEntry></SPV>");
  EXPECT_EQ(spv.Unpack("<spv/>"), 0);
  EXPECT_TRUE(spv.IsEmpty());
}

TEST(HardwareDisplaySettings, ProfileRuleComponentRuleAndTypes) {
  const struct {
    const char* resolution;  // null: property missing
    const char* color;
    const char* rate;
    const char* expected;  // "w h d f" with the depth passed in as 7
  } cases[] = {
      {"1280x1024", nullptr, nullptr, "1280 1024 16 60"},
      {"1024 x 768", "256 Colors (8 bit)", "75", "1024 768 8 75"},
      {"", "High Color (16 bit)", "0", "1024 768 16 60"},
      {nullptr, "True Color (24 bit)", "-1", "1024 768 24 -1"},
      {"640", "True Color (32 bit)", "x", "640 0 32 60"},
      {"x480", "", "", "480 0 16 60"},
      {"800x600", "true color (32 bit)", nullptr, "800 600 7 60"},
  };
  for (const auto& c : cases) {
    orvacmn::OVO::Properties p;
    if (c.resolution) p.SetProperty("VideoResolution", c.resolution);
    if (c.color) p.SetProperty("VideoColorDepth", c.color);
    if (c.rate) p.SetProperty("VideoRefreshRate", c.rate);
    int32_t w = -5, h = -5, d = 7, f = -5;
    OVOHardwareHWProfile profile;
    profile.GetProperties() = p;
    EXPECT_EQ(profile.GetDisplaySettings(w, h, d, f), 1);
    EXPECT_EQ(std::to_string(w) + " " + std::to_string(h) + " " + std::to_string(d) + " " + std::to_string(f),
              c.expected);
    const bool hasResolution = c.resolution && *c.resolution;
    int32_t w2 = -5, h2 = -5, d2 = 7, f2 = -5;
    EXPECT_EQ(OVOHardwareDisplaySettings::FromProperties(p, w2, h2, d2, f2), hasResolution ? 1 : 0);
    EXPECT_TRUE(hasResolution ? (w2 == w && h2 == h && d2 == d && f2 == f) : (w2 == -5 && h2 == -5 && d2 == 7));
  }

  for (const char* type : {"GFXCARD", "MONITOR", "gfxcard", "NETCARD", ""}) {
    C c;
    c.SetType(type);
    c.GetProperties().SetProperty("MAXRES", "1024 x 768");
    int32_t w = 1, h = 2, d = 3, f = 4;
    EXPECT_EQ(c.GetDisplaySettings(w, h, d, f), 0) << type;
    c.GetProperties().SetProperty("VideoResolution", "1600x1200");
    const bool display = String(type) == "GFXCARD" || String(type) == "MONITOR";
    EXPECT_EQ(c.GetDisplaySettings(w, h, d, f), display ? 1 : 0) << type;
    EXPECT_EQ(w, display ? 1600 : 1) << type;
  }
}

TEST(HardwareProfile, PackClearComponentsDevicesKeyAndCopies) {
  OVOHardwareHWProfile p;
  const String empty =
      "<HardwareProfile><GUID></GUID><OrgUnit></OrgUnit><Name></Name><Vendor></Vendor><Model></Model><CPUType>"
      "</CPUType><Comment></Comment><CPUSpeed>0</CPUSpeed><Memory>0</Memory><Options>0</Options><DriverPath>"
      "</DriverPath><Properties></Properties><Vars><Scope>__PROFILE__</Scope></Vars><SPV></SPV><ObjectRights>"
      "</ObjectRights></HardwareProfile>";
  EXPECT_TRUE(p.GetObjectName() == "HardwareProfile" && p.GetSchema() == 0x50001u);
  EXPECT_EQ(p.Pack(), empty);

  ASSERT_EQ(p.Unpack("<HardwareProfile><GUID>G</GUID><OrgUnit>O</OrgUnit><Name>N</Name><Vendor>V</Vendor><Model>M"
                     "</Model><CPUType>T</CPUType><Comment>C</Comment><CPUSpeed>1</CPUSpeed><Memory>2</Memory>"
                     "<options>2147483650</options><DriverPath>D</DriverPath></HardwareProfile>"),
            1);
  p.GetComponents().AddTail(Component("NETCARD", "A", "PCI\\VEN_8086&DEV_100E"));
  p.GetComponents().AddTail(Component("GFXCARD", "X", "PCI\\CC_0300"));
  p.GetComponents().AddTail(Component("NETCARD", "B", "bogus"));
  p.GetProperties().SetProperty("VideoResolution", "1x2");
  p.GetVars().SetVar("cat", "var", "val", {});
  p.GetSpv().Insert(1, "s", "p", "v");
  p.GetRights().SetRights("prof", 2);

  const String packed = p.Pack();
  OVOHardwareHWProfile q(packed);
  EXPECT_EQ(q.Pack(), packed);
  EXPECT_EQ(OVOHardwareHWProfile(q), p);
  EXPECT_EQ(q.GetOptions(), 0x80000002u);
  EXPECT_EQ(q.GetComponents().GetCount(), 3);
  EXPECT_EQ(q.GetComponentCount("NETCARD"), 2);
  EXPECT_EQ(q.GetComponentCount("netcard"), 0);
  EXPECT_EQ(q.GetComponent("NETCARD", 1)->GetGUIDComponent(), "B");
  EXPECT_TRUE(q.GetComponent("NETCARD", 2) == nullptr && q.GetComponent("NETCARD", -1) == nullptr);

  EXPECT_EQ(q.ContainsDevice("PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086&REV_02"), 1);
  EXPECT_EQ(q.ContainsDevice("PCI\\VEN_10DE&DEV_0A65&CC_030000"), 1) << "class-only component";
  EXPECT_EQ(q.ContainsDevice("PCI\\VEN_8086&DEV_100F"), 0);
  EXPECT_EQ(q.ContainsDevice("bogus"), 0) << "an id that is not understood matches nothing";
  EXPECT_EQ(q.GetKey(), "1:G");

  q.Clear();
  EXPECT_EQ(q.Pack(),
            "<HardwareProfile><GUID></GUID><OrgUnit></OrgUnit><Name></Name><Vendor>V</Vendor><Model>M</Model>"
            "<CPUType>T</CPUType><Comment>C</Comment><CPUSpeed>0</CPUSpeed><Memory>0</Memory><Options>0</Options>"
            "<DriverPath></DriverPath><Properties></Properties><Vars><Scope>__PROFILE__</Scope></Vars><SPV></SPV>"
            "<ObjectRights></ObjectRights></HardwareProfile>");
  EXPECT_EQ(q.Unpack("<HardwareProfile><installedcomponent><Type>OTHER</Type></installedcomponent>"
                     "<InstalledComponent/><InstalledComponent><GUID>3</GUID></InstalledComponent>"
                     "</HardwareProfile>"),
            1);
  EXPECT_EQ(q.GetVendor(), "V") << "kept by Clear, so by Unpack";
  ASSERT_EQ(q.GetComponents().GetCount(), 3);
  EXPECT_EQ(q.GetComponents().GetHead()->GetType(), "OTHER");
  EXPECT_EQ(q.GetComponents().GetTail()->GetGUID(), "3");
  EXPECT_EQ(q.Unpack("<HardwareProfileX/>"), 0);
  EXPECT_EQ(q.GetComponents().GetCount(), 0);
}

TEST(HardwareInstalledComponentList, AddFromListByTypeFindEntryAndDelete) {
  OVOHardwareInstalledComponentList a, b;
  a.AddTail(Component("NETCARD", "n1"));
  a.AddTail(Component("GFXCARD", "g1"));
  a.AddTail(Component("NETCARD", "n2"));
  b.AddFromList(a, "NETCARD");
  ASSERT_EQ(b.GetCount(), 2);
  EXPECT_NE(b.GetHead(), a.GetHead()) << "copies, not shared pointers";
  EXPECT_EQ(b.GetTail()->GetGUIDComponent(), "n2");
  b.AddFromList(a, "");
  EXPECT_EQ(b.GetCount(), 5);
  b.AddFromList(b, "GFXCARD");
  EXPECT_EQ(b.GetCount(), 6);
  EXPECT_EQ(b.GetAt(b.FindEntry("g1"))->GetType(), "GFXCARD");
  EXPECT_EQ(b.FindEntry("G1"), nullptr);
  EXPECT_EQ(b.FindEntry("n2"), b.FindIndex(1));
  b.DeleteObjects();
  EXPECT_TRUE(b.IsEmpty());
}

}  // namespace
