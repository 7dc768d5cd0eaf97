// ovo hw autolink OSBITS COMPONENT DRIVERS: the drivers that automatic driver
// assignment links to a hardware component, chosen from the "SoftwareDriver"
// children of the root element of DRIVERS in document order (any root: a
// packed hardware component serves as well). Prints the OS bits covered as
// 0x hex, then the GUID of each driver taken, one a line.
#include <iostream>
#include <memory>

#include "orvacmn/hardware/hardware_component.h"
#include "ovo.h"

namespace {

using orvacmn::OVOHardwareComponent;
using orvacmn::OVOSoftwareDriver;
using orvacmn::OVOSoftwareDriverList;

struct AutolinkArgs {
  std::string os, component, drivers;
};

int RunAutolink(const AutolinkArgs& a) {
  uint64_t wanted = 0;
  if (!ovo::ParseNumber(a.os, wanted)) return ovo::Error("not a number: " + a.os, 2);
  std::string text;
  if (!ovo::ReadInput(a.component, text)) return 1;
  OVOHardwareComponent component;
  if (component.Unpack(text) == 0) return ovo::Error(a.component + " holds no <" + component.GetObjectName() + ">");
  if (!ovo::ReadInput(a.drivers, text)) return 1;
  OFLXMLParser parser;
  if (!parser.SetDoc(text) || !parser.FindElem()) return ovo::Error("not well-formed XML: " + parser.GetError());
  OVOSoftwareDriverList candidates;
  orvacmn::ForEachChild(parser, [&candidates](const std::string& tag, OFLXMLParser& p) {
    auto driver = std::make_unique<OVOSoftwareDriver>();
    if (!OFL::EqualsNoCase(tag, driver->GetObjectName())) return;
    driver->Unpack(p);
    candidates.TransferAddTail(driver.release());
  });

  OVOSoftwareDriverList taken;
  std::cout << ovo::Hex(component.PerformAutolink(wanted, candidates, taken)) << "\n";
  for (const OVOSoftwareDriver* d : taken) std::cout << d->GetGUID() << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  // The group "hw" is added by the hardware commands, registered before.
  auto* hw = app.get_subcommand("hw");
  auto args = std::make_shared<AutolinkArgs>();
  auto* cmd = hw->add_subcommand(
      "autolink", "Drivers linked automatically to a hardware component: the OS bits covered, then one GUID a line");
  cmd->add_option("OSBITS", args->os, "Wanted OS type bits")->required()->check(ovo::NumberValidator());
  cmd->add_option("COMPONENT", args->component, "Packed <HardwareComponent> (\"-\": stdin)")->required();
  cmd->add_option("DRIVERS", args->drivers, "An element whose <SoftwareDriver> children are the candidates")
      ->required();
  cmd->callback([args, &exitCode] { exitCode = RunAutolink(*args); });
}

const ovo::Registration reg(71, Register);

}  // namespace
