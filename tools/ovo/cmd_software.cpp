// ovo licence reserve VERSION [FILE]
// ovo licence free LICENCE VERSION [FILE]
// and the software catalogue's classes for `ovo object`.
//
// Both subcommands read a packed software application and print three lines:
// the result (1 or 0), the reservation record packed (empty for free) and
// the application packed again, so that calls can be chained: everything
// from the third line on is the application (a value holding a line break
// makes it span more than one line).
#include <iostream>
#include <memory>
#include <string>

#include "orvacmn/software.h"
#include "ovo.h"

namespace {

using orvacmn::OVOReservedLicense;
using orvacmn::OVOSoftwareApplication;

template <class T>
ovo::ObjectFactory Factory() {
  return [] { return std::make_unique<T>(); };
}

const ovo::ObjectClass kClasses[] = {
    {"OVOSoftwareApplication", Factory<OVOSoftwareApplication>()},
    {"OVOSoftwareApplication::DependencyEntry", Factory<OVOSoftwareApplication::DependencyEntry>()},
    {"OVOSoftwareApplicationList", Factory<orvacmn::OVOSoftwareApplicationList>()},
    {"OVOSoftwareLicenses", Factory<orvacmn::OVOSoftwareLicenses>()},
    {"_OVOLicenseActions", Factory<orvacmn::_OVOLicenseActions>()},
    {"OVOReservedLicense", Factory<OVOReservedLicense>()},
    {"OVOSoftwareFiles", Factory<orvacmn::OVOSoftwareFiles>()},
    {"OVOSoftwareFiles::FileEntry", Factory<orvacmn::OVOSoftwareFiles::FileEntry>()},
    {"OVOInstallEngine", Factory<orvacmn::OVOInstallEngine>()},
    {"OVOAUTApplicationDetectRules", Factory<orvacmn::OVOAUTApplicationDetectRules>()},
    {"OVOManagedSoftwareProperties", Factory<orvacmn::OVOManagedSoftwareProperties>()},
    {"OVOSoftwareDriver", Factory<orvacmn::OVOSoftwareDriver>()},
};

struct Args {
  std::string license, version, file;
};


void Print(bool result, const std::string& reserved, const OVOSoftwareApplication& app) {
  std::cout << (result ? 1 : 0) << "\n" << reserved << "\n" << app.Pack() << "\n";
}

int RunReserve(const Args& a) {
  OVOSoftwareApplication app;
  if (!ovo::ReadObject(a.file, app)) return 1;
  OVOReservedLicense reserved;
  reserved.SetSWVersion(a.version);
  const bool ok = app.GetLicenses().ReserveLicense(reserved, app.GetLicenseActions());
  Print(ok, reserved.Pack(), app);
  return 0;
}

int RunFree(const Args& a) {
  OVOSoftwareApplication app;
  if (!ovo::ReadObject(a.file, app)) return 1;
  app.GetLicenses().FreeLicense(a.license, a.version);
  Print(true, std::string(), app);
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* licence = app.add_subcommand("licence", "Reserve and free licences of a software application");
  licence->require_subcommand(1);

  auto reserve = std::make_shared<Args>();
  auto* cmd = licence->add_subcommand(
      "reserve", "Reserve a licence for VERSION; prints the result, the reservation and the application");
  cmd->add_option("VERSION", reserve->version, "Version text matched against the licence filters")->required();
  cmd->add_option("FILE", reserve->file, "Packed SoftwareApplication (default: stdin)");
  cmd->callback([reserve, &exitCode] { exitCode = RunReserve(*reserve); });

  auto free = std::make_shared<Args>();
  cmd = licence->add_subcommand("free",
                                "Free licence LICENCE for VERSION; prints 1, an empty line and the application");
  cmd->add_option("LICENCE", free->license, "Licence key")->required();
  cmd->add_option("VERSION", free->version, "Version text")->required();
  cmd->add_option("FILE", free->file, "Packed SoftwareApplication (default: stdin)");
  cmd->callback([free, &exitCode] { exitCode = RunFree(*free); });
}

const ovo::Registration reg(90, Register);

}  // namespace
