// ovo bwlist check --type T --mode M LIST VALUE
//   Two lines: the result in decimal (non-zero: VALUE is refused) and the
//   deciding entry (an empty line when none decided).
// ovo bwlist add --type T LIST ENTRY
//   1 when ENTRY is added to the list LIST, 0 when refused or listed.
// ovo bwlist describe --type T --mode M LIST
//   The list as kept, with its mode.
// LIST is the list text: entries separated by ";". Type 1 MAC addresses, 2
// IPv4 addresses and networks, anything else texts; mode 0 white list,
// anything else black list. Status 0, or 2 for wrong arguments.
#include <iostream>
#include <memory>

#include "orvacmn/server/black_white_list.h"
#include "ovo.h"

namespace {

using orvacmn::CBlackWhiteList;
using orvacmn::EBlackWhiteListType;

struct Args {
  int32_t type = 0;
  int32_t mode = 0;
  std::string list, value;
};

CBlackWhiteList MakeList(const Args& a) {
  return CBlackWhiteList(a.list, static_cast<EBlackWhiteListType>(a.type), a.mode);
}

void Register(CLI::App& app, int& exitCode) {
  auto* group = app.add_subcommand("bwlist", "Address black and white lists");
  group->require_subcommand(1);
  auto a = std::make_shared<Args>();
  const auto common = [&a](CLI::App* cmd, bool withMode) {
    cmd->add_option("--type", a->type, "1 MAC, 2 IPv4, other: text")->required();
    if (withMode) cmd->add_option("--mode", a->mode, "0 white list, other: black list")->required();
    cmd->add_option("LIST", a->list, "The list: entries separated by \";\"")->required();
  };

  auto* check = group->add_subcommand("check", "Whether a value is refused, and the deciding entry");
  common(check, true);
  check->add_option("VALUE", a->value, "MAC address, IPv4 address or text")->required();
  check->callback([a, &exitCode] {
    orvacmn::String matched;
    const int result = MakeList(*a).Check(a->value, &matched);
    std::cout << result << "\n" << matched << "\n";
    exitCode = 0;
  });

  auto* add = group->add_subcommand("add", "Whether an entry is added to the list");
  common(add, false);
  add->add_option("ENTRY", a->value, "The entry")->required();
  add->callback([a, &exitCode] {
    std::cout << MakeList(*a).Add(a->value) << "\n";
    exitCode = 0;
  });

  auto* describe = group->add_subcommand("describe", "The list as kept, with its mode");
  common(describe, true);
  describe->callback([a, &exitCode] {
    std::cout << MakeList(*a).Describe() << "\n";
    exitCode = 0;
  });
}

const ovo::Registration reg(107, Register);

}  // namespace
