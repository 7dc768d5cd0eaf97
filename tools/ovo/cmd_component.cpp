// ovo component autolink OSBITS [FILE]: the drivers that automatic driver
// assignment links to a hardware component. FILE (standard input by default)
// holds one root element "Autolink" with the packed "HardwareComponent" and
// then the candidate "SoftwareDriver" elements in order. Prints the OS bits
// covered as 0x hex, then the GUID of each driver taken, one a line.
#include <iostream>
#include <memory>

#include "orvacmn/hardware/hardware_component.h"
#include "ovo.h"

namespace {

using orvacmn::OVOHardwareComponent;
using orvacmn::OVOSoftwareDriver;
using orvacmn::OVOSoftwareDriverList;

struct AutolinkArgs {
  std::string os, file;
};

int RunAutolink(const AutolinkArgs& a) {
  uint64_t wanted = 0;
  if (!ovo::ParseNumber(a.os, wanted)) return ovo::Error("not a number: " + a.os, 2);
  std::string text;
  if (!ovo::ReadInput(a.file, text)) return 1;
  OFLXMLParser parser;
  if (!parser.SetDoc(text) || !parser.FindElem("Autolink"))
    return ovo::Error("expected one <Autolink> element: " + parser.GetError());
  OVOHardwareComponent component;
  bool haveComponent = false;
  OVOSoftwareDriverList candidates;
  orvacmn::ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    if (!haveComponent && OFL::EqualsNoCase(tag, component.GetObjectName())) {
      haveComponent = component.Unpack(p.GetChildSubDoc()) != 0;
      return;
    }
    auto driver = std::make_unique<OVOSoftwareDriver>();
    if (!OFL::EqualsNoCase(tag, driver->GetObjectName())) return;
    driver->Unpack(p.GetChildSubDoc());
    candidates.TransferAddTail(driver.release());
  });
  if (!haveComponent) return ovo::Error("<Autolink> holds no <" + component.GetObjectName() + ">");
  OVOSoftwareDriverList taken;
  std::cout << ovo::Hex(component.PerformAutolink(wanted, candidates, taken)) << "\n";
  for (const OVOSoftwareDriver* d : taken) std::cout << d->GetGUID() << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* group = app.add_subcommand("component", "Hardware components");
  group->require_subcommand(1);
  auto args = std::make_shared<AutolinkArgs>();
  auto* cmd = group->add_subcommand(
      "autolink", "Drivers linked automatically to a hardware component: the OS bits covered, then one GUID a line");
  cmd->add_option("OSBITS", args->os, "Wanted OS type bits")->required()->check(ovo::NumberValidator());
  cmd->add_option("FILE", args->file, "<Autolink> holding the component, then the candidate drivers (default: stdin)");
  cmd->callback([args, &exitCode] { exitCode = RunAutolink(*args); });
}

const ovo::Registration reg(71, Register);

}  // namespace
