// ovo hw display [FILE]: display settings of an installed component or a
// hardware profile, as "width height depth frequency result".
#include <iostream>
#include <memory>

#include "orvacmn/hardware.h"
#include "orvacmn/hardware/hardware_component.h"
#include "orvacmn/hardware/pci_device.h"
#include "ovo.h"

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

void Register(CLI::App& app, int& exitCode) {
  auto* hw = app.add_subcommand("hw", "Installed hardware components and hardware profiles");
  hw->require_subcommand(1);

  auto file = std::make_shared<std::string>();
  auto* cmd = hw->add_subcommand(
      "display", "Display settings of an installed component or hardware profile: width height depth frequency result");
  cmd->add_option("FILE", *file, "Packed <InstalledComponent> or <HardwareProfile> (default: stdin)");
  cmd->callback([file, &exitCode] { exitCode = RunDisplay(*file); });
}

const ovo::Registration reg(70, Register);

}  // namespace
