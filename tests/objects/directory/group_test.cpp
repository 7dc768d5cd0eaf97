// Groups: the allowed hardware profiles as the profile choice reads them, the network settings as the network
// cards take them, and a foreign group record kept whole.
#include "orvacmn/directory/group.h"

#include <gtest/gtest.h>

#include <string>

#include "orvacmn/hardware/hw_profile.h"
#include "orvacmn/hardware/installed_component.h"
#include "orvacmn/system/system.h"

namespace {

using orvacmn::OVOGroup;
using orvacmn::String;
using Access = orvacmn::OVOGroupProfileRules::EProfileAccess;

TEST(Group, AllowedProfilesAnswerTheProfileChoice) {
  OVOGroup g;
  EXPECT_EQ(g.GetProfileAccess("A"), Access::eProfileNoEntry);
  g.SetAllowedEntry("A", true);
  g.SetAllowedEntry("B", false);
  g.SetAllowedEntry("a", false);  // the same profile
  ASSERT_EQ(g.GetAllowedEntries().size(), 2u);
  EXPECT_EQ(g.GetProfileAccess("A"), Access::eProfileNotAllowed);
  EXPECT_EQ(g.GetProfileAccess("b"), Access::eProfileNotAllowed);
  g.SetAllowedEntry("B", true);
  EXPECT_EQ(g.GetProfileAccess("B"), Access::eProfileAllowed);
  EXPECT_EQ(g.GetProfileAccess("C"), Access::eProfileNoEntry);
  EXPECT_EQ(g.Pack(),
            "<LogicalGroup><AllowedHWProfiles><AllowedEntry><GUIDHWProfile>A</GUIDHWProfile><Allowed>0</Allowed>"
            "</AllowedEntry><AllowedEntry><GUIDHWProfile>B</GUIDHWProfile><Allowed>1</Allowed></AllowedEntry>"
            "</AllowedHWProfiles></LogicalGroup>");
  const OVOGroup back(g.Pack());
  EXPECT_EQ(back.GetAllowedEntries(), g.GetAllowedEntries());
  EXPECT_TRUE(g.RemoveAllowedEntry("a"));
  EXPECT_FALSE(g.RemoveAllowedEntry("A"));
  EXPECT_EQ(g.GetProfileAccess("A"), Access::eProfileNoEntry);
  EXPECT_TRUE(g.RemoveAllowedEntry("B"));
  EXPECT_EQ(g.Pack(), "<LogicalGroup></LogicalGroup>");

  // Entries read in any case, the first of a profile deciding; Unpack forgets the entries read before.
  OVOGroup read("<LogicalGroup><allowedhwprofiles><ALLOWEDENTRY><allowed>1</allowed><guidhwprofile>P</guidhwprofile>"
                "</ALLOWEDENTRY><AllowedEntry><GUIDHWProfile>P</GUIDHWProfile><Allowed>0</Allowed></AllowedEntry>"
                "<Other/></allowedhwprofiles></LogicalGroup>");
  EXPECT_EQ(read.GetProfileAccess("p"), Access::eProfileAllowed);
  EXPECT_EQ(read.GetAllowedEntries().size(), 2u);
  read.Unpack("<LogicalGroup/>");
  EXPECT_EQ(read.GetProfileAccess("P"), Access::eProfileNoEntry);
  read.SetAllowedHWProfiles("<AllowedHWProfiles><AllowedEntry><GUIDHWProfile>Q</GUIDHWProfile>"
                                  "<Allowed>1</Allowed></AllowedEntry></AllowedHWProfiles>");
  EXPECT_EQ(read.GetProfileAccess("Q"), Access::eProfileAllowed);
  read.SetAllowedHWProfiles("not markup");
  EXPECT_EQ(read.GetProfileAccess("Q"), Access::eProfileNoEntry);
}

TEST(Group, TheProfileChoiceAndTheNetworkCardsReadTheGroup) {
  OVOGroup g;
  g.SetAllowedEntry("nic", false);
  g.SetAllowedEntry("all", true);
  orvacmn::OVOSystem system;
  OFLTokenizer devices;
  devices.AddString("PCI\\VEN_8086&DEV_100E&CC_0200");
  system.SetDetectedDevices(devices.AsLengthPackedString());
  orvacmn::OVOHardwareHWProfileList list;
  for (const char* guid : {"nic", "all", "unlisted"}) {
    auto* p = new orvacmn::OVOHardwareHWProfile();
    p->SetGUID(guid);
    p->SetName(guid);
    auto* c = new orvacmn::OVOHardwareInstalledComponent();
    c->SetType("NETCARD");
    c->SetDeviceString("PCI\\VEN_8086&DEV_100E");
    p->GetComponents().TransferAddTail(c);
    list.TransferAddTail(p);
  }
  String log;
  const orvacmn::OVOHardwareHWProfile* best = list.FindBestMatchingHardwareProfile(system, &g, log);
  ASSERT_NE(best, nullptr);
  EXPECT_EQ(best->GetName(), "all");
  EXPECT_NE(log.find("skipping profile [nic] not allowed"), String::npos);
  EXPECT_NE(log.find("skipping profile [unlisted] disallowed"), String::npos);

  orvacmn::OVOGroupNetSettings net;
  net.SetIP("10.0.0.5");
  net.SetNetmask("255.0.0.0");
  net.SetDefGateway("10.0.0.1");
  net.SetDNS1("d1");
  net.SetDNS2("d2");
  net.SetDNSDomain("example.org");
  net.SetWINS1("w1");
  net.SetWINS2("w2");
  g.SetNetSettings(net);
  const OVOGroup back(g.Pack());
  orvacmn::OVOHardwareInstalledComponent card;
  const orvacmn::OVOGroupNetSettings fromGroup = back.GetNetSettings();
  card.SetNetSettingsFromGroup(&fromGroup);
  String value;
  const struct {
    const char* property;
    const char* value;
  } expected[] = {{"IP", "10.0.0.5"},    {"IP.Netmask", "255.0.0.0"}, {"IP.DefGateway", "10.0.0.1"},
                  {"IP.DNS1", "d1"},     {"IP.DNS2", "d2"},           {"IP.DNSDomain", "example.org"},
                  {"IP.WINS1", "w1"},    {"IP.WINS2", "w2"}};
  for (const auto& e : expected) {
    EXPECT_TRUE(card.GetProperties().GetProperty(e.property, value, "")) << e.property;
    EXPECT_EQ(value, e.value) << e.property;
  }
}

TEST(Group, AForeignGroupKeepsWhatItDoesNotKnow) {
  const String text =
      "<LogicalGroup><Name>Sales</Name><Policy id=\"7\"><Rule>a &lt; b</Rule></Policy><GUID>G</GUID>"
      "<GUIDParent></GUIDParent><IP>DHCP</IP><ObjectRights><Inherited>0</Inherited><Effective>15</Effective>"
      "<AccessEntry><SecurityProfile>P</SecurityProfile><Rights>2</Rights></AccessEntry></ObjectRights>"
      "</LogicalGroup>";
  OVOGroup g(text);
  EXPECT_EQ(g.GetGUID(), "G");
  EXPECT_EQ(g.GetName(), "Sales");
  EXPECT_EQ(g.GetNetSettings().GetIP(), "DHCP");
  EXPECT_FALSE(g.GetObjectRights().GetInheritedFlag());
  EXPECT_EQ(g.Pack(), text);
  g.SetGUIDParent("R");
  EXPECT_NE(g.Pack().find("<Policy id=\"7\"><Rule>a &lt; b</Rule></Policy><GUID>G</GUID><GUIDParent>R</GUIDParent>"),
            String::npos);
}

}  // namespace
