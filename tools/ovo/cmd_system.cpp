// ovo system small [FILE]: the overview text of a packed client.
// ovo system ostype TEXT: the OS type, major and minor version an OS name
// gives, as "0xTYPE major minor"; status 1 for a name not recognised.
#include <iostream>
#include <memory>

#include "orvacmn/system.h"
#include "ovo.h"

namespace {

using orvacmn::OVOADObject;
using orvacmn::OVOSystem;

const ovo::ObjectClass kSystem("OVOSystem", [] { return std::make_unique<OVOSystem>(); });
const ovo::ObjectClass kADObject("OVOADObject", [] { return std::make_unique<OVOADObject>(); });

int RunSmall(const std::string& file) {
  std::string text;
  if (!ovo::ReadInput(file, text)) return 1;
  OVOSystem system;
  if (system.Unpack(text) == 0) return ovo::Error("no <" + system.GetObjectName() + "> element in the input");
  std::cout << system.SmallPack() << "\n";
  return 0;
}

int RunOSType(const std::string& name) {
  OVOSystem system;
  if (!system.UpdateOsTypeFromString(name)) return ovo::Error("operating system not recognised: " + name);
  std::cout << ovo::Hex(system.GetOSType()) << " " << system.GetNumber(OVOSystem::eOSVerMajor) << " "
            << system.GetNumber(OVOSystem::eOSVerMinor) << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* sys = app.add_subcommand("system", "Managed systems");
  sys->require_subcommand(1);

  auto file = std::make_shared<std::string>();
  auto* small = sys->add_subcommand("small", "The overview text of a packed <Client>");
  small->add_option("FILE", *file, "Packed <Client> (default: stdin)");
  small->callback([file, &exitCode] { exitCode = RunSmall(*file); });

  auto name = std::make_shared<std::string>();
  auto* os = sys->add_subcommand("ostype", "OS type bits, major and minor version of an operating-system name");
  os->add_option("TEXT", *name, "Operating-system name, e.g. \"Windows 10 Pro x64\"")->required();
  os->callback([name, &exitCode] { exitCode = RunOSType(*name); });
}

const ovo::Registration reg(100, Register);

}  // namespace
