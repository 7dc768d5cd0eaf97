// The hardware update of a client from its device report, over a store file.
#include "orvacmn/drivers/hardware_updater.h"

#include <gmock/gmock.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ofl/tokenizer.h"
#include "orvacmn/directory/group.h"
#include "orvacmn/hardware/hardware_component.h"
#include "orvacmn/hardware/hw_profile.h"
#include "orvacmn/hardware/installed_component.h"
#include "orvacmn/hardware/pci_device.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/system/system.h"
#include "orvacmn_store/sqlite_store.h"

namespace orvacmn {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using IC = OVOHardwareInstalledComponent;

constexpr char kNet1[] = "PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086&REV_02&CC_020000";
constexpr char kNet2[] = "PCI\\VEN_10EC&DEV_8139&SUBSYS_11001AF4&REV_20&CC_020000";
constexpr char kGfx1[] = "PCI\\VEN_1234&DEV_1111&SUBSYS_00011AF4&REV_02&CC_030000";
constexpr char kGfx2[] = "PCI\\VEN_1B36&DEV_0100&CC_030000";
constexpr char kBridge[] = "PCI\\VEN_8086&DEV_7000&CC_060100";
constexpr char kDisk[] = "PCI\\VEN_8086&DEV_2922&CC_010601";
constexpr uint32_t kManageAll = 0x01000000 | 0x02000000 | 0x80000000;

String Report(std::initializer_list<std::string_view> devices) {
  OFLTokenizer t;
  for (auto d : devices) t.AddString(d);
  return t.AsLengthPackedString();
}

String Prop(const IC* c, const char* name) {
  String value;
  if (c != nullptr) c->GetProperties().GetProperty(name, value);
  return value;
}

class Entries : public OVO::ILogger {
 public:
  void Log(uint32_t level, const String&, const String& text) override { all.emplace_back(level, text); }
  std::vector<std::pair<uint32_t, String>> all;
};

class HardwareUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("hwupdate_" + std::to_string(getpid()) + "_" +
                                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    String error;
    db_ = std::make_unique<CDBAccess>(store::SqliteStore::Open((dir_ / "s.db").string(), true, &error));
    system_.SetGuid("C0000000-0000-4000-8000-000000000001");
    system_.SetDisplayName("PC1");
    system_.SetGUIDGroup("G0000000-0000-4000-8000-000000000001");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void AddGroup(std::initializer_list<const char*> allowed) {
    OVOGroup group;
    group.SetGUID(system_.GetGUIDGroup());
    group.SetName("Lab");
    group.SetIP("10.1.0.9");
    for (const char* p : allowed) group.SetAllowedEntry(p, true);
    String out;
    ASSERT_EQ(db_->CreateGroup(group, out), S_OK) << out;
  }
  void AddProfile(const char* guid, uint32_t options,
                  std::initializer_list<std::pair<const char*, const char*>> parts) {
    OVOHardwareHWProfile p;
    p.SetGUID(guid);
    p.SetName(String("P-") + guid);
    p.SetOptions(options);
    for (const auto& [type, device] : parts) {
      auto* c = new IC();
      c->SetType(type);
      c->SetDeviceString(device);
      c->SetGUIDComponent(String("comp-") + device);
      p.GetComponents().AddTail(c);
    }
    String out;
    ASSERT_EQ(db_->CreateRecord(kRecordTypeHardwareProfile, p.Pack(), out), S_OK) << out;
  }
  int32_t Update(const String& report) {
    HardwareAndPNPUpdater updater(*db_, log_, "test");
    HardwareAndPNPUpdater copy = updater;  // copies share the store and the logger
    return copy.PerformDynamicHardwareUpdate(system_, report);
  }
  IC* Component(const char* device) const {
    for (IC* c : system_.GetInstalledComponents())
      if (c->GetDeviceInfo().GetDeviceString() == device) return c;
    return nullptr;
  }
  std::vector<String> Texts() const {
    std::vector<String> texts;
    for (const auto& e : log_.all) texts.push_back(e.second);
    return texts;
  }

  std::filesystem::path dir_;
  std::unique_ptr<CDBAccess> db_;
  OVOSystem system_;
  Entries log_;
};

TEST_F(HardwareUpdate, FirstProfileOfTheBestScoreWinsAndZeroIsNeverChosen) {
  AddGroup({"P1", "P2", "P3", "P4"});
  AddProfile("P1", kManageAll, {{IC::kTypeGfxcard, kGfx2}});           // not detected: 0
  AddProfile("P2", 0, {{IC::kTypeNetcard, kNet1}});                    // 100
  AddProfile("P3", 0, {{IC::kTypeNetcard, "PCI\\VEN_8086&DEV_100E"}});  // 100, later in order
  AddProfile("P4", 0x2 | kManageAll, {{IC::kTypeNetcard, kNet1}});     // autodetect disabled
  EXPECT_EQ(Update(Report({kNet1, kGfx1})), 0);
  EXPECT_EQ(system_.GetText(OVOSystem::eGUIDHWProfile), "P2");
  EXPECT_EQ(system_.GetText(OVOSystem::eHWProfile), "P-P2");
  EXPECT_THAT(Texts(), Contains("profile [P-P1] matching criterias = 0"));
  EXPECT_THAT(Texts(), Contains("skipping profile [P-P4] autodetect disabled"));

  OVOSystem other;
  other.SetGUIDGroup(system_.GetGUIDGroup());
  HardwareAndPNPUpdater updater(*db_, log_, "test");
  EXPECT_EQ(updater.PerformDynamicHardwareUpdate(other, Report({kGfx1})), 0);
  EXPECT_EQ(other.GetText(OVOSystem::eGUIDHWProfile), "");  // every allowed profile scores 0
  EXPECT_THAT(Texts(), Contains("No Hardware profile found for system []"));
}

TEST_F(HardwareUpdate, NewDevicesBecomeComponentsOnceAndBridgesNever) {
  AddGroup({"P1"});
  AddProfile("P1", kManageAll, {});
  const String report = Report({kNet1, kBridge, kGfx1, kDisk, "USB\\VID_0627&PID_0001"});
  EXPECT_EQ(Update(report), 0);
  ASSERT_EQ(system_.GetInstalledComponents().GetCount(), 4);
  EXPECT_EQ(Component(kBridge), nullptr);
  for (const char* d : {kNet1, kGfx1, kDisk}) {
    const IC* c = Component(d);
    ASSERT_NE(c, nullptr) << d;
    EXPECT_EQ(c->GetState(), uint32_t{IC::eStateAdded});
    EXPECT_EQ(c->GetNumber(), 1u);
    EXPECT_TRUE(c->IsAutodetected());
  }
  EXPECT_EQ(Component("USB\\VID_0627&PID_0001")->GetNumber(), 2u);  // the second of "OTHER"
  EXPECT_EQ(Component(kNet1)->GetType(), "NETCARD");
  EXPECT_EQ(Prop(Component(kNet1), "IP"), "10.1.0.9");  // no predecessor: the group's settings
  EXPECT_TRUE(system_.GetOption(0x4));
  // The components are in the store; this store links no drivers, which is
  // an error entry, not a failed update.
  OVOHardwareComponent stored;
  String out;
  bool found = false;
  EXPECT_EQ(db_->LoadHardwareComponent("GFXCARD", "PCI\\VEN_1234&DEV_1111", kGfx1, stored, out, kLoadAllFlags, &found),
            S_OK);
  EXPECT_TRUE(found);
  EXPECT_EQ(stored.GetModel(), "Unknown PCI device 0x1111");
  EXPECT_THAT(Texts(), Contains(HasSubstr("4 new hardware components were created without automatic driver")));

  // The same report again changes nothing.
  system_.SetModified(false);
  const String before = system_.Pack();
  const size_t entries = log_.all.size();
  EXPECT_EQ(Update(report), 0);
  EXPECT_FALSE(system_.IsModified());
  EXPECT_EQ(system_.Pack(), before);
  EXPECT_EQ(log_.all.size(), entries);
}

TEST_F(HardwareUpdate, ReplacedNetcardInheritsSettingsAndNewGfxcardTakesDefaults) {
  AddGroup({"P1"});
  AddProfile("P1", kManageAll, {});
  ASSERT_EQ(Update(Report({kNet1, kGfx1})), 0);
  Component(kNet1)->GetProperties().SetProperty("IP", "10.0.0.5");
  Component(kGfx1)->GetProperties().SetProperty("MAXRES", "1920 x 1080");
  system_.SetText(OVOSystem::eGUIDHWProfile, "P1");

  ASSERT_EQ(Update(Report({kNet2, kGfx1, kGfx2})), 0);
  EXPECT_EQ(Component(kNet1), nullptr);
  const IC* net = Component(kNet2);
  ASSERT_NE(net, nullptr);
  EXPECT_EQ(Prop(net, "IP"), "10.0.0.5");
  EXPECT_EQ(Component(kGfx1)->GetState(), uint32_t{IC::eStatePresent});
  EXPECT_EQ(Prop(Component(kGfx1), "MAXRES"), "1920 x 1080");
  const IC* gfx = Component(kGfx2);
  ASSERT_NE(gfx, nullptr);
  EXPECT_EQ(Prop(gfx, "MAXRES"), "1024 x 768");
  EXPECT_EQ(Prop(gfx, "COLOR"), "High Color (16 bit)");
  EXPECT_EQ(Prop(gfx, "MAXFREQ"), "75");
}

TEST_F(HardwareUpdate, DeviceRecordOptionsGiveGenericComponentsOrNone) {
  AddGroup({"P1"});
  AddProfile("P1", kManageAll, {});
  String out;
  for (const auto& [device, options] : {std::pair{0x100Eu, 0x2u}, std::pair{0x2922u, 0x1u}}) {
    OVOPCIDevice pci;
    pci.SetVendorID("8086");
    pci.SetDeviceID(device);
    pci.SetOptions(options);
    ASSERT_EQ(db_->CreatePCIDevice(pci, out), S_OK) << out;
  }
  ASSERT_EQ(Update(Report({kNet1, kDisk})), 0);
  EXPECT_EQ(Component(kDisk), nullptr);  // autocreate disabled
  // Another card of the same vendor and device finds the generic component.
  OVOSystem other;
  other.SetGUIDGroup(system_.GetGUIDGroup());
  HardwareAndPNPUpdater updater(*db_, log_, "test");
  ASSERT_EQ(updater.PerformDynamicHardwareUpdate(other, Report({"PCI\\VEN_8086&DEV_100E&SUBSYS_00018086&CC_0200"})), 0);
  OVOHardwareComponentList all;
  ASSERT_EQ(db_->LoadHardwareComponents(all, out), S_OK);
  ASSERT_EQ(all.GetCount(), 1);
  EXPECT_EQ(all.GetHead()->GetDeviceInfo().GetDeviceString(), "PCI\\VEN_8086&DEV_100E");
  EXPECT_EQ(other.GetInstalledComponents().GetHead()->GetGUIDComponent(), all.GetHead()->GetGUID());
}

TEST_F(HardwareUpdate, DuplicateAndMalformedDevicesAreSkipped) {
  AddGroup({"P1"});
  AddProfile("P1", kManageAll, {});
  EXPECT_EQ(Update(Report({kNet1, "pci\\ven_8086&dev_100e&subsys_001e8086&rev_02&cc_020000", "", "garbage",
                           "PCI\\CC_0200", "PCI\\VEN_8086&VEN_8086", "ACPI\\"})),
            0);
  ASSERT_EQ(system_.GetInstalledComponents().GetCount(), 1);
  EXPECT_EQ(Component(kNet1)->GetNumber(), 1u);
  // Only the one device's component was written.
  OVOHardwareComponentList all;
  String out;
  ASSERT_EQ(db_->LoadHardwareComponents(all, out), S_OK);
  EXPECT_EQ(all.GetCount(), 1);
}

TEST_F(HardwareUpdate, StoreErrorsAreLoggedAndReturnedAndTheReportIsNotMarkedDone) {
  AddProfile("P1", kManageAll, {});  // the client's group is not stored
  EXPECT_EQ(Update(Report({kNet1})), E_FAIL);
  EXPECT_THAT(Texts(), Contains(HasSubstr("Database error while reading the group [Id: G0000000")));
  EXPECT_EQ(log_.all.back().first, OVO::ILogger::kError);
  EXPECT_FALSE(system_.GetProperties().HasProperty(HardwareAndPNPUpdater::kPropDevicesHash));

  system_.SetText(OVOSystem::eGUIDHWProfile, "gone");
  EXPECT_EQ(Update(Report({kNet1})), E_FAIL);
  EXPECT_THAT(Texts(), Contains("Database error while reading the profile [gone]: Hardware profile [gone] not found"));
}

}  // namespace
}  // namespace orvacmn
