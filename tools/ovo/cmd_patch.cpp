// ovo patch export DB FILE    writes the release level of every patch of the store to FILE
// ovo patch import DB FILE    saves the levels of FILE that differ from the store's
//
// The outcome's message, when there is one, on stdout. Exit status: 0 when
// the status is 0, else 1 (a store that cannot be opened: its text on stderr).
#include <iostream>
#include <memory>
#include <string>

#include "orvacmn/persistence/db_access.h"
#include "orvacmn/server/patch_status_serializer.h"
#include "ovo.h"
#include "store_location.h"

namespace {

using orvacmn::CPatchStatusSerializer;
using orvacmn::String;

struct PatchArgs {
  std::string db, file;
};

int Run(const PatchArgs& a, bool exporting) {
  auto store = ovo::OpenStore(a.db);
  if (!store) return 1;
  orvacmn::CDBAccess db(store);
  String message;
  const HRESULT hr = exporting ? CPatchStatusSerializer::Export(&db, a.file, message)
                               : CPatchStatusSerializer::Import(&db, a.file, message);
  if (!message.empty()) std::cout << message << '\n';
  return hr == 0 ? 0 : 1;
}

void Register(CLI::App& app, int& exitCode) {
  auto* patch = app.add_subcommand("patch", "Carry patch release levels between stores through a patch state file");
  patch->require_subcommand(1);
  const auto add = [&](const char* name, const char* help, bool exporting) {
    auto args = std::make_shared<PatchArgs>();
    auto* cmd = patch->add_subcommand(name, help);
    cmd->add_option("DB", args->db, ovo::kStoreHelp)->required();
    cmd->add_option("FILE", args->file, "Patch state file")->required();
    cmd->callback([args, exporting, &exitCode] { exitCode = Run(*args, exporting); });
  };
  add("export", "Write the release level of every patch to FILE", true);
  add("import", "Save the release levels of FILE that differ from the store's", false);
}

const ovo::Registration reg(126, Register);

}  // namespace
