// ovo catalogue: the object name and schema number of every catalogued class.
// Also makes the two property bags known to `ovo object`.
#include <iostream>
#include <memory>

#include "orvacmn/objects/catalogue.h"
#include "orvacmn/objects/properties.h"
#include "ovo.h"

namespace {

const ovo::ObjectClass kOVOProperties("OVOProperties", [] { return std::make_unique<orvacmn::OVOProperties>(); });
const ovo::ObjectClass kProperties("OVO::Properties", [] { return std::make_unique<orvacmn::OVO::Properties>(); });

int Run() {
  for (const orvacmn::CatalogueEntry& e : orvacmn::Catalogue())
    std::cout << e.className << '\t' << e.objectName << '\t' << ovo::Hex(e.schema) << '\n';
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand(
      "catalogue", "List every catalogued class: class name, object name and schema number, tab-separated");
  cmd->callback([&exitCode] { exitCode = Run(); });
}

const ovo::Registration reg(10, Register);

}  // namespace
