// ovo inf parse [--no-catalog] FILE
// ovo inf devices [--no-catalog] FILE
// ovo inf value FILE SECTION KEY
// ovo inf section FILE SECTION
// ovo inf find [--no-recurse] [--os BITS] --device ID DIR
//
// parse prints the driver packed; devices prints one "hardware id<TAB>
// description" line per supported device. A failed parse exits 1 with the
// error code (decimal, 32-bit unsigned) and text on stderr. value and
// section read the file with all load flags; find prints the path of the
// INF that supports the device.
#include <iostream>
#include <memory>
#include <string>

#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/drivers.h"
#include "ovo.h"

namespace {

using orvacmn::CInfFileParser;
using orvacmn::CInfFileReader;
using orvacmn::OVOSoftwareDriver;
using orvacmn::String;

struct Args {
  std::string file, section, key, device, dir, os;
  bool noCatalog = false, noRecurse = false;
};

// The load or parse failure: code first, as its callers match on it.
int Failure(uint32_t code, const std::string& error) {
  std::cerr << code << " " << error << "\n";
  return 1;
}

int Parse(const Args& a, OVOSoftwareDriver& driver) {
  CInfFileParser parser;
  parser.EnableCatalogValidation(!a.noCatalog);
  String error;
  const uint32_t rc = parser.ParseInfFile(a.file, &driver, error);
  return rc == 0 ? 0 : Failure(rc, error);
}

int RunParse(const Args& a) {
  OVOSoftwareDriver driver;
  if (Parse(a, driver) != 0) return 1;
  std::cout << driver.Pack() << "\n";
  return 0;
}

int RunDevices(const Args& a) {
  OVOSoftwareDriver driver;
  if (Parse(a, driver) != 0) return 1;
  for (const auto& d : driver.GetSupportedDevices()) std::cout << d.hardwareId << "\t" << d.description << "\n";
  return 0;
}

bool Load(const Args& a, CInfFileReader& reader) {
  String error;
  const uint32_t rc = reader.Load(a.file, error, CInfFileReader::kAllFlags);
  if (rc != 0) Failure(rc, error);
  return rc == 0;
}

int RunValue(const Args& a) {
  CInfFileReader reader;
  if (!Load(a, reader)) return 1;
  String value;
  if (!reader.GetValue(a.section, a.key, value)) return ovo::Error("no " + a.key + " in [" + a.section + "]");
  std::cout << value << "\n";
  return 0;
}

int RunSection(const Args& a) {
  CInfFileReader reader;
  if (!Load(a, reader)) return 1;
  OFLTokenizer lines;
  if (!reader.ReadCompleteSection(a.section, lines)) return ovo::Error("no section [" + a.section + "]");
  for (const String& line : lines) std::cout << line << "\n";
  return 0;
}

uint64_t AllOSBits() {
  uint64_t bits = 0;
  for (const orvacmn::OS_TYPE* t = orvacmn::OVOHelper::GetOSTypesPtr(); t->shortName != nullptr; ++t) bits |= t->type;
  return bits;
}

int RunFind(const Args& a) {
  uint64_t os = AllOSBits();
  if (!a.os.empty()) ovo::ParseNumber(a.os, os);  // checked by the validator
  const OFLDeviceInfo device(a.device);
  CInfFileParser parser;
  String found;
  parser.FindDriver(os, &device, a.dir, a.noRecurse ? 0 : 1, found, nullptr);
  if (found.empty()) return ovo::Error("no INF under " + a.dir + " supports " + a.device);
  std::cout << found << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* inf = app.add_subcommand("inf", "Read and parse driver INF files");
  inf->require_subcommand(1);
  auto a = std::make_shared<Args>();

  auto* cmd = inf->add_subcommand("parse", "Parse an INF file into a driver and print it packed");
  cmd->add_flag("--no-catalog", a->noCatalog, "Do not read the supported OS set from the package's catalog");
  cmd->add_option("FILE", a->file, "INF file")->required();
  cmd->callback([a, &exitCode] { exitCode = RunParse(*a); });

  cmd = inf->add_subcommand("devices", "Print the supported devices: hardware id, a tab, description");
  cmd->add_flag("--no-catalog", a->noCatalog, "Do not read the package's catalog");
  cmd->add_option("FILE", a->file, "INF file")->required();
  cmd->callback([a, &exitCode] { exitCode = RunDevices(*a); });

  cmd = inf->add_subcommand("value", "Print the value of KEY in SECTION");
  cmd->add_option("FILE", a->file, "INF file")->required();
  cmd->add_option("SECTION", a->section, "Section name")->required();
  cmd->add_option("KEY", a->key, "Key")->required();
  cmd->callback([a, &exitCode] { exitCode = RunValue(*a); });

  cmd = inf->add_subcommand("section", "Print the lines of SECTION");
  cmd->add_option("FILE", a->file, "INF file")->required();
  cmd->add_option("SECTION", a->section, "Section name")->required();
  cmd->callback([a, &exitCode] { exitCode = RunSection(*a); });

  cmd = inf->add_subcommand("find", "Print the INF under DIR that supports a device");
  cmd->add_flag("--no-recurse", a->noRecurse, "Search DIR only, not its sub-directories");
  cmd->add_option("--os", a->os, "OS type bits the device must be supported on (default: all)")
      ->check(ovo::NumberValidator());
  cmd->add_option("--device", a->device, "Hardware id of the device")->required();
  cmd->add_option("DIR", a->dir, "Folder of driver packages")->required();
  cmd->callback([a, &exitCode] { exitCode = RunFind(*a); });
}

const ovo::Registration reg(150, Register);

}  // namespace
