// ovo catalog attrs FILE: the name/value attributes of a driver package's
// security catalog, the catalog's own first ("NAME=VALUE"), then each member
// as "member TAG" with its attributes indented by two blanks.
// ovo catalog os FILE: the operating systems the catalog signs for, as the
// INF parser reads them: a mask in 0x and upper-case hexadecimal (0x0 for a
// damaged or foreign file; a file that cannot be read is an error).
#include <iostream>
#include <memory>

#include "ofl/security_catalog.h"
#include "orvacmn/drivers/inf_file_parser.h"
#include "ovo.h"

namespace {

int RunAttrs(const std::string& file) {
  OFLSecurityCatalog catalog;
  std::string error, bytes;
  // "-" reads standard input, like the other commands that take a file.
  const bool ok = file == "-" ? ovo::ReadInput(file, bytes) && catalog.OpenBytes(bytes, &error)
                              : catalog.Open(file, &error);
  if (!ok) return error.empty() ? 1 : ovo::Error(error);
  for (const auto& [name, value] : catalog.GetAttributes()) std::cout << name << '=' << value << '\n';
  for (const OFLSecurityCatalog::Member& member : catalog.GetMembers()) {
    std::cout << "member " << member.tag << '\n';
    for (const auto& [name, value] : member.attributes) std::cout << "  " << name << '=' << value << '\n';
  }
  return 0;
}

int RunOS(const std::string& file) {
  OFLSecurityCatalog catalog;
  std::string bytes;
  if (!ovo::ReadInput(file, bytes)) return 1;
  if (catalog.OpenBytes(bytes)) {
    const orvacmn::CInfFileParser parser;
    std::cout << ovo::Hex(parser.GetSupportedOSsFromCatalog(catalog.GetAttributes(), catalog.GetMembers())) << '\n';
  } else {
    std::cout << "0x0\n";
  }
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* catalog = app.add_subcommand("catalog", "Driver security catalogs (.cat, DER)");
  catalog->require_subcommand(1);
  auto file = std::make_shared<std::string>();
  auto* attrs = catalog->add_subcommand(
      "attrs", "Catalog attributes as NAME=VALUE, then each member as \"member TAG\" with its attributes indented");
  attrs->add_option("FILE", *file, "Security catalog (\"-\" for stdin)")->required();
  attrs->callback([file, &exitCode] { exitCode = RunAttrs(*file); });
  auto* os = catalog->add_subcommand("os", "The catalog's supported-OS mask, 0x and upper-case hexadecimal");
  os->add_option("FILE", *file, "Security catalog (\"-\" for stdin)")->required();
  os->callback([file, &exitCode] { exitCode = RunOS(*file); });
}

const ovo::Registration reg(140, Register);

}  // namespace
