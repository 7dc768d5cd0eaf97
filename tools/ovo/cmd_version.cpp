// ovo version
#include <iostream>

#include "orvacmn/version.h"
#include "ovo.h"

namespace {

void Register(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("version", "Print the library version");
  cmd->callback([&exitCode] {
    std::cout << "ovo " << orvacmn::Version() << "\n";
    exitCode = 0;
  });
}

const ovo::Registration reg(0, Register);

}  // namespace
