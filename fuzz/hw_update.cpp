// Any text as a client's device report (length-packed, or a device string a
// line), and optionally before a NUL byte a stored hardware profile, run
// through the hardware update against a small store: no crash, a clear
// result, only components of valid non-bridge devices, and the same report
// twice changes nothing the second time.
#include <unistd.h>

#include <memory>
#include <string>

#include "check.h"
#include "ofl/device_info.h"
#include "ofl/tokenizer.h"
#include "orvacmn/directory/group.h"
#include "orvacmn/drivers/hardware_updater.h"
#include "orvacmn/hardware/hw_profile.h"
#include "orvacmn/hardware/installed_component.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/system/system.h"
#include "orvacmn_store/sqlite_store.h"

namespace {

using namespace orvacmn;  // NOLINT

constexpr char kGroup[] = "G1";

class Silent : public OVO::ILogger {
 public:
  void Log(uint32_t, const String&, const String&) override {}
};

struct Fixture {
  std::unique_ptr<CDBAccess> db;
  Fixture() {
    char tmpl[] = "/tmp/fuzz_hw_updateXXXXXX";
    const std::string dir = mkdtemp(tmpl);
    db = std::make_unique<CDBAccess>(store::SqliteStore::Open(dir + "/s.db", true, nullptr));
    OVOGroup group;
    group.SetGUID(kGroup);
    group.SetAllowedEntry("P1", true);
    String out;
    Check(SUCCEEDED(db->CreateGroup(group, out)), "seed group not created");
    OVOHardwareHWProfile profile;
    profile.SetGUID("P1");
    profile.SetOptions(0x83000000);
    Check(SUCCEEDED(db->CreateRecord(kRecordTypeHardwareProfile, profile.Pack(), out)), "seed profile not created");
  }
};

String ReportOf(const std::string& text) {
  OFLTokenizer devices;
  if (devices.FromLengthPackedString(text)) return text;
  return OFLTokenizer(text, "\n").AsLengthPackedString();
}

}  // namespace

FUZZ_TEXT(text) {
  static Fixture f;
  static Silent log;
  const size_t nul = text.find('\0');
  OVOSystem system;
  system.SetGUIDGroup(kGroup);
  if (nul != std::string::npos) {
    // A profile of the fuzzer's own, in force for this client.
    OVOHardwareHWProfile profile(text.substr(0, nul));
    profile.SetGUID("F1");
    String out;
    f.db->DeleteRecord(kRecordTypeHardwareProfile, MakeRecordKey({"F1"}), out);
    if (SUCCEEDED(f.db->CreateRecord(kRecordTypeHardwareProfile, profile.Pack(), out)))
      system.SetText(OVOSystem::eGUIDHWProfile, "F1");
  }
  const String report = ReportOf(nul == std::string::npos ? text : text.substr(nul + 1));
  HardwareAndPNPUpdater updater(*f.db, log, "fuzz");
  const int32_t result = updater.PerformDynamicHardwareUpdate(system, report);
  Check(result <= 0, "positive result");
  for (const OVOHardwareInstalledComponent* c : system.GetInstalledComponents()) {
    const OFLDeviceInfo& d = c->GetDeviceInfo();
    Check(d.IsValid() && !d.GetVendor().empty(), "component of an invalid device");
    Check((d.GetDevInfoPCIClass() & 0xFF) != 6, "bridge became a component");
  }
  if (result != 0) return;
  system.SetModified(false);
  const String before = system.Pack();
  Check(updater.PerformDynamicHardwareUpdate(system, report) == 0, "second run failed");
  Check(!system.IsModified() && system.Pack() == before, "same report changed the client");
}
