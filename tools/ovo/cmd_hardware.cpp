// ovo hw display [FILE]: display settings of an installed component or a
// hardware profile, as "width height depth frequency result".
// ovo hw update DB CLIENT_GUID REPORT_FILE: the automatic hardware update of
// a stored client from its device report (a length-packed list of device
// strings, or one device string a line), then the client saved. Prints the
// result (decimal), "PROFILE<TAB>GUID<TAB>NAME", and one line
// "TYPE<TAB>INSTANCE<TAB>STATE<TAB>DEVICE" per installed component; the log
// goes to stderr, "LEVEL<TAB>TEXT" an entry. Exit status: 0 done, 1 the
// update failed (the client is saved with what was done) or the client is
// not stored, 2 usage and store errors.
#include <iostream>
#include <memory>
#include <string>

#include "orvacmn/hardware.h"
#include "orvacmn/hardware/hardware_component.h"
#include "orvacmn/hardware/pci_device.h"
#include "orvacmn/drivers/hardware_updater.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/system/system.h"
#include "ofl/tokenizer.h"
#include "ovo.h"
#include "store_location.h"

namespace {

using orvacmn::OVOHardwareComponent;
using orvacmn::OVOHardwareHWProfile;
using orvacmn::OVOHardwareInstalledComponent;
using orvacmn::OVOPCIDevice;
using orvacmn::OVOPCIVendor;
using orvacmn::OvoSpv;

const ovo::ObjectClass kSpv("OvoSpv", [] { return std::make_unique<OvoSpv>(); });
const ovo::ObjectClass kComponent("OVOHardwareInstalledComponent",
                                  [] { return std::make_unique<OVOHardwareInstalledComponent>(); });
const ovo::ObjectClass kProfile("OVOHardwareHWProfile", [] { return std::make_unique<OVOHardwareHWProfile>(); });
const ovo::ObjectClass kHardwareComponent("OVOHardwareComponent",
                                          [] { return std::make_unique<OVOHardwareComponent>(); });
const ovo::ObjectClass kPCIDevice("OVOPCIDevice", [] { return std::make_unique<OVOPCIDevice>(); });
const ovo::ObjectClass kPCIVendor("OVOPCIVendor", [] { return std::make_unique<OVOPCIVendor>(); });

// The outputs start at 0, so a component without display settings prints
// zeros and result 0.
int RunDisplay(const std::string& file) {
  std::string text;
  if (!ovo::ReadInput(file, text)) return 1;
  OFLXMLParser parser;
  if (!parser.SetDoc(text) || !parser.FindElem()) return ovo::Error("not well-formed XML: " + parser.GetError());
  const std::string root = parser.GetTagName();
  int32_t width = 0, height = 0, depth = 0, frequency = 0;
  int result = 0;
  if (root == OVOHardwareInstalledComponent().GetObjectName()) {
    result = OVOHardwareInstalledComponent(text).GetDisplaySettings(width, height, depth, frequency);
  } else if (root == OVOHardwareHWProfile().GetObjectName()) {
    result = OVOHardwareHWProfile(text).GetDisplaySettings(width, height, depth, frequency);
  } else {
    return ovo::Error("<" + root + "> is neither an installed component nor a hardware profile");
  }
  std::cout << width << " " << height << " " << depth << " " << frequency << " " << result << "\n";
  return 0;
}

// One line per entry: line breaks inside a text become blanks.
class StderrLogger : public orvacmn::OVO::ILogger {
 public:
  void Log(uint32_t level, const orvacmn::String&, const orvacmn::String& text) override {
    std::string line = text;
    for (char& c : line)
      if (c == '\n' || c == '\r') c = ' ';
    std::cerr << ovo::Hex(level) << "\t" << line << "\n";
  }
};

// A length-packed list as it is; any other text one device string a line.
orvacmn::String ReportFrom(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  OFLTokenizer devices;
  if (!text.empty() && devices.FromLengthPackedString(text)) return text;
  devices.Clear();
  for (std::string line : OFLTokenizer(text, "\n")) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) devices.AddString(line);
  }
  return devices.AsLengthPackedString();
}

struct UpdateArgs {
  std::string db, guid, report;
};

int RunUpdate(const UpdateArgs& a) {
  std::string text;
  if (!ovo::ReadInput(a.report, text)) return 1;
  auto store = ovo::OpenStore(a.db);
  if (!store) return 2;
  orvacmn::CDBAccess db(store);
  orvacmn::OVOSystem system;
  bool found = false;
  orvacmn::String out;
  if (FAILED(db.LoadSystem(1, a.guid, orvacmn::kLoadAllFlags, system, out, 0, &found))) return ovo::Error(out, 2);
  if (!found) return ovo::Error("no client with GUID " + a.guid + " in " + a.db, 1);

  StderrLogger logger;
  orvacmn::HardwareAndPNPUpdater updater(db, logger, a.guid);
  const int32_t result = updater.PerformDynamicHardwareUpdate(system, ReportFrom(text));
  if (system.IsModified() && FAILED(db.SaveSystem(system, out))) return ovo::Error(out, 2);

  std::cout << result << "\n";
  std::cout << "PROFILE\t" << system.GetText(orvacmn::OVOSystem::eGUIDHWProfile) << "\t"
            << system.GetText(orvacmn::OVOSystem::eHWProfile) << "\n";
  for (const OVOHardwareInstalledComponent* c : system.GetInstalledComponents())
    if (c != nullptr)
      std::cout << c->GetType() << "\t" << c->GetNumber() << "\t" << c->GetState() << "\t"
                << c->GetDeviceInfo().GetDeviceString() << "\n";
  return result < 0 ? 1 : 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* hw = app.add_subcommand("hw", "Installed hardware components and hardware profiles");
  hw->require_subcommand(1);

  auto file = std::make_shared<std::string>();
  auto* cmd = hw->add_subcommand(
      "display", "Display settings of an installed component or hardware profile: width height depth frequency result");
  cmd->add_option("FILE", *file, "Packed <InstalledComponent> or <HardwareProfile> (default: stdin)");
  cmd->callback([file, &exitCode] { exitCode = RunDisplay(*file); });

  auto update = std::make_shared<UpdateArgs>();
  auto* up = hw->add_subcommand("update", "Hardware update of a stored client from its device report");
  up->add_option("DB", update->db, ovo::kStoreHelp)->required();
  up->add_option("CLIENT_GUID", update->guid, "The client's GUID")->required();
  up->add_option("REPORT_FILE", update->report, "Device report: length-packed, or a device string a line")
      ->required();
  up->callback([update, &exitCode] { exitCode = RunUpdate(*update); });
}

const ovo::Registration reg(70, Register);

}  // namespace
