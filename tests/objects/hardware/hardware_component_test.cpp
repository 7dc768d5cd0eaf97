// Hardware components with their drivers, PCI device records, and the profile choice for a client.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/hardware.h"
#include "orvacmn/hardware/hardware_component.h"
#include "orvacmn/hardware/pci_device.h"
#include "orvacmn/system/system.h"

namespace {

using namespace orvacmn;
using HC = OVOHardwareComponent;

const char kDefault[] =
    "<HardwareComponent><GUID></GUID><OrgUnit></OrgUnit><Type></Type><Vendor></Vendor><Model></Model><Comment>"
    "</Comment><AutoDetectOS>0</AutoDetectOS><DeviceInfo></DeviceInfo><Properties></Properties><SPV></SPV><Vars>"
    "<Scope>__COMPONENT__</Scope></Vars><ObjectRights></ObjectRights><PerformAutoLink>0</PerformAutoLink>"
    "</HardwareComponent>";
const char kNic[] = "PCI\\VEN_8086&DEV_100E";

OVOSoftwareDriver* Driver(const char* guid, uint64_t os, uint64_t deviceOS, const char* id, uint32_t options = 0) {
  auto* d = new OVOSoftwareDriver();
  d->SetGUID(guid);
  d->SetSupportedOS(os);
  d->SetOptions(options);
  d->AddSupportedDevice(deviceOS, id, "", "", 0);
  return d;
}

std::vector<std::string> Guids(const OVOSoftwareDriverList& list) {
  std::vector<std::string> out;
  for (const OVOSoftwareDriver* d : list) out.push_back(d->GetGUID());
  return out;
}

TEST(HardwareComponent, PacksEveryFieldReadsTagsInAnyCaseAndClears) {
  HC c;
  EXPECT_TRUE(c.GetObjectName() == "HardwareComponent" && c.GetSchema() == 0x50001u);
  EXPECT_EQ(c.Pack(), kDefault);
  HC read("<HardwareComponent><guid>g</guid><TYPE>GFXCARD</TYPE><autodetectos>-99999999999999999999</autodetectos>"
          "<performautolink>99999999999</performautolink><deviceinfo>PCI\\VEN_10DE&amp;DEV_0A65</deviceinfo>"
          "<softwaredriver><guid>d1</guid><x>kept</x></softwaredriver><SoftwareDriver><GUID>d2</GUID></SoftwareDriver>"
          "<vars><scope>S</scope></vars><spv><spventry><os>4</os></spventry></spv><junk/></HardwareComponent>");
  EXPECT_EQ(read.GetAutoDetectOS(), INT64_MIN) << "64-bit saturation";
  EXPECT_EQ(read.GetPerformAutoLink(), 0xFFFFFFFFu) << "32-bit saturation";
  EXPECT_TRUE(read.GetDeviceInfo().IsValid() && read.GetSpv().GetCount() == 1 && read.GetVars().GetScope() == "S");
  EXPECT_EQ(Guids(read.GetDrivers()), (std::vector<std::string>{"d1", "d2"}));
  const std::string packed = read.Pack();
  EXPECT_NE(packed.find("<SoftwareDriver><GUID>d1</GUID>"), std::string::npos);
  EXPECT_NE(packed.find("<x>kept</x></SoftwareDriver><SoftwareDriver><GUID>d2"), std::string::npos);
  EXPECT_EQ(HC(packed).Pack(), packed) << "fixed point";
  EXPECT_EQ(HC(read), read) << "deep copy";
  for (const char* bad : {"", "<x/>", "<HardwareComponent>", "<hardwarecomponent/>", "\x01<<&"}) {
    HC x(packed);
    EXPECT_EQ(x.Unpack(bad), 0) << bad;
    EXPECT_EQ(x.Pack(), kDefault) << bad;
  }
}

TEST(HardwareComponent, TypeDisplayTextsRespectCaseAndLanguage) {
  struct Row {
    const char *type, *en, *de;
  };
  for (const Row& r : {Row{"NETCARD", "Network card", "Netzwerkkarte"}, Row{"GFXCARD", "Graphics card", "Grafikkarte"},
                       Row{"HDD", "Hard disk", "Festplatte"}, Row{"MONITOR", "Monitor", "Monitor"},
                       Row{"OTHER", "Other component", "Sonstige Komponente"}, Row{"netcard", "Unknown", "Unknown"},
                       Row{"", "Unknown", "Unknown"}}) {
    EXPECT_EQ(HC::TranslateTypeToDisplayString(r.type), r.en) << r.type;
    OFL::SetResourceLanguage(1031);
    EXPECT_EQ(HC::TranslateTypeToDisplayString(r.type), r.de) << r.type;
    OFL::SetResourceLanguage(1033);
  }
}

TEST(HardwareComponent, GetDriverStopsAfterTheExclusiveDriver) {
  HC c;
  c.GetDrivers().TransferAddTail(Driver("A", 0x40000, 0, kNic));
  c.GetDrivers().TransferAddTail(Driver("off", 0x400000, 0, kNic, 2));
  c.GetDrivers().TransferAddTail(Driver("B", 0xC0000, 0, kNic, OVOSoftwareDriver::kOptionExclusive));
  c.GetDrivers().TransferAddTail(Driver("C", 0x40000, 0, kNic));
  OVOSoftwareDriverList list;
  c.GetDriver(0x40000, list);
  EXPECT_EQ(Guids(list), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(c.GetDrivers().GetCount(), 4) << "copies are handed out";
}

TEST(HardwareComponent, AutolinkPrefersEarlierCandidatesAndOnlyKnownSystems) {
  HC c;
  c.SetDeviceString(kNic);
  struct Case {
    const char* name;
    uint64_t wanted;
    std::vector<OVOSoftwareDriver*> candidates;
    uint64_t found;
    std::vector<std::string> taken;
  };
  std::vector<Case> cases;
  cases.push_back({"both cover everything: first only", 0xC0000,
                   {Driver("A", 0xC0000, 0xC0000, kNic), Driver("B", 0xC0000, 0xC0000, kNic)}, 0xC0000, {"A"}});
  cases.push_back({"other device, then a generic id", 0x40000,
                   {Driver("X", 0x40000, 0x40000, "PCI\\VEN_8086&DEV_1111"), Driver("G", 0x40000, 0x40000,
                                                                                  "PCI\\VEN_8086&DEV_100E")},
                   0x40000, {"G"}});
  cases.push_back({"device only for a system not wanted", 0x40000, {Driver("W", 0x40000, 0x80000, kNic)}, 0, {}});
  cases.push_back({"second fills the remaining bit", 0xC0000,
                   {Driver("A", 0x40000, 0x40000, kNic), Driver("B", 0xC0000, 0xC0000, kNic),
                    Driver("C", 0x80000, 0x80000, kNic)},
                   0xC0000, {"A", "B"}});
  cases.push_back({"NT4 and 2000 are never asked", 0x3, {Driver("N", 0x3, 0x3, kNic)}, 0, {}});
  for (Case& k : cases) {
    OVOSoftwareDriverList candidates, out;
    for (OVOSoftwareDriver* d : k.candidates) candidates.TransferAddTail(d);
    EXPECT_EQ(c.PerformAutolink(k.wanted, candidates, out), k.found) << k.name;
    EXPECT_EQ(Guids(out), k.taken) << k.name;
  }
}

TEST(HardwareComponent, DisplayNameFromPCIDeviceAndInstalledInstances) {
  HC c;
  c.SetVendor("Intel");
  c.SetModel("PRO");
  OVOPCIDevice pci;
  pci.SetVendorName("Intel");
  pci.SetDeviceName("PRO");
  EXPECT_FALSE(c.UpdateDisplaynameFromPCIDevice(pci, ""));
  EXPECT_TRUE(c.UpdateDisplaynameFromPCIDevice(pci, "2"));
  EXPECT_EQ(c.GetDisplayName(), "Intel PRO [2]");
  EXPECT_FALSE(c.UpdateDisplaynameFromPCIDevice(pci, "2"));

  c.SetGUID("G");
  c.SetDeviceString(kNic);
  c.SetType("GFXCARD");
  c.GetProperties().SetProperty("COLOR", "True Color (32 bit)");
  OVOHardwareInstalledComponent gfx, nic;
  gfx.SetFromComponent(c);
  EXPECT_EQ(gfx.GetProperties().GetReadableForm(), "COLOR=True Color (32 bit); MAXFREQ=75; MAXRES=1024 x 768");
  EXPECT_TRUE(gfx.GetGUIDComponent() == "G" && gfx.GetModel() == "PRO [2]" && gfx.GetDeviceInfo().IsValid());
  c.SetType("NETCARD");
  nic.SetFromComponent(c);
  EXPECT_TRUE(nic.GetProperties().IsEmpty() && nic.GetType() == "NETCARD");

  OVOHardwareComponentList list;
  list.TransferAddTail(new HC(c));
  EXPECT_TRUE(list.Find("g") == list.GetHead() && list.Find("h") == nullptr);
}

TEST(PCIDevice, PacksKnownFieldsAndKeepsOthers) {
  EXPECT_EQ(OVOPCIDevice().Pack(),
            "<PCIDevice><VendorID></VendorID><DeviceID>0</DeviceID><VendorType>0</VendorType><VendorName></VendorName>"
            "<DeviceName></DeviceName><Options>0</Options></PCIDevice>");
  const OVOPCIDevice d("<PCIDevice><options>268435457</options><Z>1</Z><vendorid>8086</vendorid></PCIDevice>");
  EXPECT_TRUE(d.GetOptions() == 0x10000001 && d.GetVendorID() == "8086");
  EXPECT_EQ(OVOPCIDevice(d.Pack()), d);
  EXPECT_NE(d.Pack().find("</Options><Z>1</Z></PCIDevice>"), std::string::npos);
  EXPECT_EQ(OVOPCIVendor("<PCIVendor><VendorName>V</VendorName></PCIVendor>").Pack(),
            "<PCIVendor><VendorID></VendorID><VendorType>0</VendorType><VendorName>V</VendorName></PCIVendor>");
}

class ProfileRules : public OVOGroupProfileRules {
 public:
  EProfileAccess GetProfileAccess(const String& guid) const override {
    return guid == "no" ? eProfileNotAllowed : guid == "none" ? eProfileNoEntry : eProfileAllowed;
  }
};

OVOHardwareHWProfile* Profile(const char* guid, uint32_t options, std::vector<std::pair<const char*, const char*>> c) {
  auto* p = new OVOHardwareHWProfile();
  p->SetGUID(guid);
  p->SetName(guid);
  p->SetOptions(options);
  for (const auto& [type, device] : c) {
    auto* ic = new OVOHardwareInstalledComponent();
    ic->SetType(type);
    ic->SetDeviceString(device);
    p->GetComponents().TransferAddTail(ic);
  }
  return p;
}

TEST(HardwareProfile, ScoreAndBestMatchTakeTheFirstHighestAboveZero) {
  OVOSystem system;
  OFLTokenizer devices;
  for (const char* d : {"PCI\\VEN_8086&DEV_100E&CC_0200", "PCI\\VEN_8086&DEV_10D3&CC_0200",
                        "PCI\\VEN_10DE&DEV_0A65&CC_0300", "PCI\\VEN_8086&DEV_2922&CC_0106"})
    devices.AddString(d);
  system.SetDetectedDevices(devices.AsLengthPackedString());

  OVOHardwareHWProfileList list;
  list.TransferAddTail(Profile("empty", 0, {}));
  list.TransferAddTail(Profile("missing", 0, {{"NETCARD", kNic}, {"OTHER", "PCI\\VEN_1234&DEV_5678"}}));
  list.TransferAddTail(Profile("nic", 0x01000000, {{"NETCARD", kNic}, {"OTHER", "no device"}}));
  list.TransferAddTail(Profile("no", 0, {{"NETCARD", kNic}, {"GFXCARD", "PCI\\VEN_10DE&DEV_0A65"}}));
  list.TransferAddTail(Profile("auto", 0x83000000, {{"GFXCARD", "PCI\\VEN_10DE&DEV_0A65"}, {"NETCARD", kNic}}));
  list.TransferAddTail(Profile("manual", 0x2, {{"NETCARD", kNic}, {"GFXCARD", "PCI\\VEN_10DE&DEV_0A65"}}));
  list.TransferAddTail(Profile("same", 0x80000000, {{"NETCARD", kNic}}));
  const std::vector<uint32_t> scores = {0, 0, 101, 200, 202, 200, 101};
  size_t i = 0;
  for (const OVOHardwareHWProfile* p : list) EXPECT_EQ(p->GetMatchingCriterias(system), scores[i++]) << p->GetName();

  ProfileRules rules;
  String log;
  EXPECT_EQ(list.FindBestMatchingHardwareProfile(system, &rules, log)->GetName(), "auto");
  EXPECT_EQ(log,
            "Profile [auto] matches best with matching criterias = 202: profile [empty] matching criterias = 0\n"
            "profile [missing] matching criterias = 0\nprofile [nic] matching criterias = 101\n"
            "skipping profile [no] not allowed\nprofile [auto] matching criterias = 202\n"
            "skipping profile [manual] autodetect disabled\nprofile [same] matching criterias = 101\n");
  list.GetAt(list.FindIndex(4))->SetGUID("none");
  EXPECT_EQ(list.FindBestMatchingHardwareProfile(system, &rules, log)->GetName(), "nic") << "first of equal scores";
  EXPECT_NE(log.find("skipping profile [auto] disallowed\n"), std::string::npos);
  OVOHardwareHWProfileList zero;
  zero.TransferAddTail(Profile("empty", 0, {}));
  EXPECT_EQ(zero.FindBestMatchingHardwareProfile(system, nullptr, log), nullptr);
  EXPECT_EQ(log, "No profile matches best: profile [empty] matching criterias = 0\n");
}

}  // namespace
