// ovo package run FILE [--dips DIPS] [--vars FILE] [--map FROM=TO]... [--registry DIR] [--dry-run]
// ovo registry get [--registry DIR] ROOT KEY [VALUE]
// ovo software keyfile APP [--uninstall] [--vars FILE]
// ovo software files APP
//
// run installs the deploy package FILE (a local path, or a Windows path
// through the mappings) and prints its result lines, one a line; exit 0 when
// the package succeeded, else 1. get prints a value's data (numbers in
// decimal), or every value of the key as NAME=DATA and then its sub-keys,
// each followed by "\"; exit 1 when the key or value does not exist.
// keyfile prints the key-file kind and the key file of a packed software
// application; files prints the application packed with the file list that
// AutoDetermineFiles gives.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "distribution.h"
#include "ofl/error_message.h"
#include "ofl/registry.h"
#include "orvacmn/distribution.h"
#include "orvacmn/software.h"
#include "orvacmn/variables.h"
#include "ovo.h"

namespace {

using orvacmn::COVKVars;
using orvacmn::CPackage;
using orvacmn::OVOSoftwareApplication;

struct Args {
  std::string file, dips, registry = CPackage::DefaultRegistryFolder(), root, key, value;
  std::vector<std::string> vars, maps;
  bool dryRun = false, uninstall = false;
};

bool ReadVars(const std::vector<std::string>& files, COVKVars& vars) {
  for (const std::string& f : files)
    if (!ovo::AddVarsFile(vars, f)) return false;
  return true;
}

int RunPackage(const Args& a) {
  const auto map = ovo::BuildPathMap(a.maps);
  if (!map) return 2;
  // A local package file that cannot be read is the caller's mistake; a
  // Windows path or one with variables is resolved by the package itself.
  std::string text;
  if (!OFL::PathMap::IsWindowsPath(a.file) && a.file.find_first_of("%{") == std::string::npos &&
      !ovo::ReadInput(a.file, text))
    return 1;
  CPackage package(a.file);
  if (!ReadVars(a.vars, package.GetSubstitutionVars())) return 1;
  package.SetDIPs(a.dips);
  package.SetPathMap(map);
  package.SetRegistryFolder(a.registry);
  package.SetDryRun(a.dryRun);
  const uint32_t result = package.InstallPackage(1);
  for (const std::string& line : package.GetResults()) std::cout << line << "\n";
  return result == 0 ? 0 : 1;
}

int RunRegistryGet(const Args& a) {
  OFLRegistry::ERoot root;
  if (!OFLRegistry::ParseRoot(a.root, root)) return ovo::Error("unknown root: " + a.root, 2);
  OFLRegistry::Hive hive;
  if (const uint32_t code = OFLRegistry(a.registry).Read(root, hive); code != 0)
    return ovo::Error(OFL::ErrorMessage::TranslateValue(code));
  if (!hive.HasKey(a.key)) return ovo::Error("no such key: " + a.key);
  if (!a.value.empty()) {
    const OFLRegistry::Value* v = hive.GetValue(a.key, a.value);
    if (!v) return ovo::Error("no such value: " + a.value);
    std::cout << v->GetDataText() << "\n";
    return 0;
  }
  for (const OFLRegistry::Value& v : hive.GetValues(a.key)) std::cout << v.name << "=" << v.GetDataText() << "\n";
  for (const std::string& sub : hive.GetSubKeys(a.key)) std::cout << sub << "\\\n";
  return 0;
}


int RunKeyFile(const Args& a) {
  OVOSoftwareApplication app;
  COVKVars vars;
  if (!ovo::ReadObject(a.file, app) || !ReadVars(a.vars, vars)) return 1;
  orvacmn::CDIPLocator::EKeyfileType kind;
  const std::string key = orvacmn::CDIPLocator::GetKeyFile(app, !a.uninstall, vars, kind, true);
  std::cout << static_cast<int>(kind) << "\n" << key << "\n";
  return 0;
}

int RunFiles(const Args& a) {
  OVOSoftwareApplication app;
  if (!ovo::ReadObject(a.file, app)) return 1;
  app.AutoDetermineFiles();
  std::cout << app.Pack() << "\n";
  return 0;
}

void AddVarsOption(CLI::App* cmd, Args& a) {
  cmd->add_option("--vars", a.vars, "Packed <OVSVars> set, or packed <Vars> set added under full names")
      ->type_name("FILE")
      ->allow_extra_args(false);
}

void Register(CLI::App& app, int& exitCode) {
  auto a = std::make_shared<Args>();
  auto* package = app.add_subcommand("package", "Deploy packages");
  package->require_subcommand(1);
  auto* cmd = package->add_subcommand("run", "Install a deploy package and print its result lines");
  cmd->add_option("FILE", a->file, "The package file (a local path, or a mapped Windows path)")->required();
  cmd->add_option("--dips", a->dips, "The distribution points, separated by \";\"");
  AddVarsOption(cmd, *a);
  cmd->add_option("--map", a->maps, "Map a share, drive or CDROM to a local folder (\\\\srv\\kits=/srv/kits)")
      ->type_name("FROM=TO")
      ->allow_extra_args(false);
  cmd->add_option("--registry", a->registry, "Folder of the registry stand-in")->type_name("DIR");
  cmd->add_flag("--dry-run", a->dryRun, "Log every step with its values and change nothing");
  cmd->callback([a, &exitCode] { exitCode = RunPackage(*a); });

  auto* registry = app.add_subcommand("registry", "The registry stand-in that package steps write to");
  registry->require_subcommand(1);
  cmd = registry->add_subcommand("get", "Print a value, or the values and sub-keys of a key");
  cmd->add_option("--registry", a->registry, "Folder of the registry stand-in")->type_name("DIR");
  cmd->add_option("ROOT", a->root, "HKLM, HKCU, HKU, HKCR or HKCC")->required();
  cmd->add_option("KEY", a->key, "Key path, \"\\\"-separated")->required();
  cmd->add_option("VALUE", a->value, "Value name");
  cmd->callback([a, &exitCode] { exitCode = RunRegistryGet(*a); });

  auto* software = app.add_subcommand("software", "Files of software applications on distribution points");
  software->require_subcommand(1);
  cmd = software->add_subcommand("keyfile", "Print the key-file kind and the key file of an application");
  cmd->add_option("APP", a->file, "Packed SoftwareApplication")->required();
  cmd->add_flag("--uninstall", a->uninstall, "The uninstallation's key file");
  AddVarsOption(cmd, *a);
  cmd->callback([a, &exitCode] { exitCode = RunKeyFile(*a); });

  cmd = software->add_subcommand("files", "Print the application with the file list AutoDetermineFiles gives");
  cmd->add_option("APP", a->file, "Packed SoftwareApplication")->required();
  cmd->callback([a, &exitCode] { exitCode = RunFiles(*a); });
}

const ovo::Registration reg(96, Register);

}  // namespace
