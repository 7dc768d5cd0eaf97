// The hardware update of one client against a store of 1,000 hardware
// profiles and 10,000 hardware components, for a report of 200 devices timed
// against one of 100 in the same run: "ratio" near 2 shows the work grows
// linearly with the report. "Choosing" lets the update pick the profile
// (every profile loaded and scored); "InForce" has the profile set, so only
// the devices' lookups remain.
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "ofl/format.h"
#include "ofl/tokenizer.h"
#include "orvacmn/directory/group.h"
#include "orvacmn/drivers/hardware_updater.h"
#include "orvacmn/hardware/hardware_component.h"
#include "orvacmn/hardware/hw_profile.h"
#include "orvacmn/hardware/installed_component.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/system/system.h"
#include "orvacmn_store/sqlite_store.h"
#include "ratio.h"

namespace {

using namespace orvacmn;  // NOLINT

constexpr int kProfiles = 1000, kComponents = 10000;
constexpr char kGroup[] = "G1";

class Quiet : public OVO::ILogger {
 public:
  void Log(uint32_t, const String&, const String&) override {}
};

// Device i: a network card, a graphics card or another device by turns.
String Device(int i) {
  static const char* kClass[] = {"020000", "030000", "010601"};
  return OFLFormat("PCI\\VEN_%04X&DEV_%04X&SUBSYS_0001%04X&CC_%s", 0x1000 + i / 4096, i % 4096, i % 7,
                   kClass[i % 3])
      .str();
}

const char* TypeOf(int i) {
  return i % 3 == 0 ? "NETCARD" : i % 3 == 1 ? "GFXCARD" : "OTHER";
}

struct Store {
  std::filesystem::path dir;
  std::unique_ptr<CDBAccess> db;
  Store() {
    dir = std::filesystem::temp_directory_path() / ("bench_hw_update_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    db = std::make_unique<CDBAccess>(store::SqliteStore::Open((dir / "s.db").string(), true, nullptr));
    String out;
    OVOGroup group;
    group.SetGUID(kGroup);
    for (int p = 0; p < kProfiles; ++p) {
      OVOHardwareHWProfile profile;
      profile.SetGUID(OFLFormat("P%05d", p));
      profile.SetName(OFLFormat("Profile %d", p));
      profile.SetOptions(0x83000000);
      // Two components each, the last profile's among the reported devices.
      for (int c = 0; c < 2; ++c) {
        auto* part = new OVOHardwareInstalledComponent();
        part->SetType(TypeOf(c));
        part->SetDeviceString(Device(p == kProfiles - 1 ? c : kComponents + 2 * p + c));
        profile.GetComponents().AddTail(part);
      }
      db->CreateRecord(kRecordTypeHardwareProfile, profile.Pack(), out);
      group.SetAllowedEntry(profile.GetGUID(), true);
    }
    db->CreateGroup(group, out);
    for (int i = 0; i < kComponents; ++i) {
      OVOHardwareComponent component;
      component.SetGUID(OFLFormat("C%05d", i));
      component.SetType(TypeOf(i));
      component.SetDeviceString(Device(i));
      db->CreateHardwareComponent(component, out);
    }
  }
  ~Store() { std::filesystem::remove_all(dir); }
};

String Report(int devices) {
  OFLTokenizer t;
  for (int i = 0; i < devices; ++i) t.AddString(Device(i));
  return t.AsLengthPackedString();
}

void Run(benchmark::State& state, bool choosing) {
  static Store store;
  static Quiet quiet;
  HardwareAndPNPUpdater updater(*store.db, quiet, "bench");
  const String small = Report(100), large = Report(200);
  const auto update = [&](const String& report) {
    OVOSystem system;
    system.SetGUIDGroup(kGroup);
    if (!choosing) system.SetText(OVOSystem::eGUIDHWProfile, OFLFormat("P%05d", kProfiles - 1));
    benchmark::DoNotOptimize(updater.PerformDynamicHardwareUpdate(system, report));
  };
  bench::Measure(state, 200, [&] { update(large); }, [&] { update(small); });
}

void BM_HardwareUpdateChoosing(benchmark::State& state) { Run(state, true); }
void BM_HardwareUpdateInForce(benchmark::State& state) { Run(state, false); }

BENCHMARK(BM_HardwareUpdateChoosing)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HardwareUpdateInForce)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
