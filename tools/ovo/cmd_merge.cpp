// ovo merge SYSTEM REPORT [--ip-update-mode N] [--connection-mode N]
//   [--now SECONDS] [--domain FILE]...
//   The properties of the report bag REPORT that change the packed client
//   SYSTEM, one a line as NAME<TAB>VALUE in the order of the merge; nothing
//   when nothing changes. --domain adds a packed <Domain> whose service
//   accounts are known.
// ovo system options SYSTEM --connection K --auto-roaming 0|1
//   The client's Options, in decimal, with the connection flags of the last
//   contact applied.
// Files may be "-" for stdin. Status 1 when SYSTEM (or a domain file) holds
// no <Client> (<Domain>), 2 for wrong arguments.
// And the class OVODomain of `ovo object`.
#include <iostream>
#include <memory>
#include <vector>

#include "orvacmn/server/client_mgmt_helper.h"
#include "ovo.h"

namespace {

using orvacmn::ClientMgmtHelper;
using orvacmn::OVODomain;
using orvacmn::OVOSystem;

const ovo::ObjectClass kDomain("OVODomain", [] { return std::make_unique<OVODomain>(); });


struct MergeArgs {
  std::string system, report;
  int32_t ipUpdateMode = 0;
  int32_t connectionMode = 0;
  int64_t now = -1;
  std::vector<std::string> domains;
};

int RunMerge(const MergeArgs& a) {
  OVOSystem system;
  if (!ovo::ReadObject(a.system, system)) return 1;
  std::string reportText;
  if (!ovo::ReadInput(a.report, reportText)) return 1;
  const orvacmn::OVOProperties report(reportText);
  orvacmn::OVODomainList domains;
  for (const std::string& file : a.domains) {
    auto domain = std::make_unique<OVODomain>();
    if (!ovo::ReadObject(file, *domain)) return 1;
    domains.AddTail(domain.release());
  }
  ClientMgmtHelper helper;
  if (a.now >= 0) helper.SetClock([now = a.now] { return now; });
  const orvacmn::OVOProperties result =
      helper.GetAllPropertiesToUpdate(system, report, domains, static_cast<orvacmn::EConnectionMode>(a.connectionMode),
                                      static_cast<orvacmn::CConfiguration::EIPUpdateMode>(a.ipUpdateMode));
  for (const auto& entry : result) std::cout << entry.name << "\t" << entry.value << "\n";
  return 0;
}

struct OptionsArgs {
  std::string system;
  uint32_t connection = 0;
  int autoRoaming = 0;
};

int RunOptions(const OptionsArgs& a) {
  OVOSystem system;
  if (!ovo::ReadObject(a.system, system)) return 1;
  std::cout << ClientMgmtHelper::GetSystemOptionsWithAppliedNetworkConnectionFlags(system, a.connection,
                                                                                   a.autoRoaming != 0)
            << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto m = std::make_shared<MergeArgs>();
  auto* merge = app.add_subcommand("merge", "The properties of an agent's report that change a stored client");
  merge->add_option("SYSTEM", m->system, "Packed <Client> as stored (\"-\": stdin)")->required();
  merge->add_option("REPORT", m->report, "Packed report bag <Properties> (\"-\": stdin)")->required();
  merge->add_option("--ip-update-mode", m->ipUpdateMode, "1: reported prefixes update the subnet mask");
  merge->add_option("--connection-mode", m->connectionMode, "How the agent is connected (0, 1, 2)");
  merge->add_option("--now", m->now, "Current time, seconds since 1970 (default: the clock)")
      ->check(CLI::NonNegativeNumber);
  merge->add_option("--domain", m->domains, "Packed <Domain> with service accounts (repeatable)");
  merge->callback([m, &exitCode] { exitCode = RunMerge(*m); });

  // A subcommand of the `system` group, which registers before this one.
  auto o = std::make_shared<OptionsArgs>();
  auto* options = app.get_subcommand("system")->add_subcommand(
      "options", "A client's Options with the connection flags of its last contact");
  options->add_option("SYSTEM", o->system, "Packed <Client> (\"-\": stdin)")->required();
  options->add_option("--connection", o->connection, "Last connection: 1 Internet, other LAN")->required();
  options->add_option("--auto-roaming", o->autoRoaming, "Automatic roaming used: 0 or 1")
      ->required()
      ->check(CLI::IsMember({0, 1}));
  options->callback([o, &exitCode] { exitCode = RunOptions(*o); });
}

const ovo::Registration reg(106, Register);

}  // namespace
