// ovo dip locate [--cdrom] [--map FROM=TO]... DIPS PATH
// ovo dip first [--exclude LETTERS] DIPS
// ovo dip bits DIPS
// ovo dip state N
// ovo syncjob state N [--skipped K]
// ovo deps resolve ITEM=DEP#DEP ...
// and the distribution classes for `ovo object`.
//
// --map FROM=TO maps a share, drive or CD-ROM drive to a folder of this
// machine (a relative folder is taken below the current one).
//
// locate prints the entry of the ";"-separated list DIPS that serves PATH;
// first the first entry not on one of the drive LETTERS; bits three lines:
// whether some entry is a BITS entry (1/0), whether all are (1/0), and the
// list without them. state prints the display text of a distribution
// point's state, syncjob state that of a synchronisation job's. resolve
// orders the items (one argument per item and its "#"-separated
// dependencies, in order) and prints them joined with "#"; a cycle exits 1
// with its error.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "distribution.h"
#include "orvacmn/distribution.h"
#include "ovo.h"

namespace {

using orvacmn::CDIPLocator;

template <class T>
ovo::ObjectFactory Factory() {
  return [] { return std::make_unique<T>(); };
}

const ovo::ObjectClass kClasses[] = {
    {"OVO::Dip", Factory<orvacmn::OVO::Dip>()},
    {"OVO::DipSyncJob", Factory<orvacmn::OVO::DipSyncJob>()},
};

struct Args {
  std::string dips, path, exclude;
  std::vector<std::string> maps, items;
  bool cdrom = false;
  int state = 0;
  unsigned skipped = 0;
};

int RunLocate(const Args& a) {
  const auto map = ovo::BuildPathMap(a.maps);
  if (!map) return 2;
  CDIPLocator locator(a.dips);
  locator.SetPathMap(map);
  std::cout << locator.GetDIP(a.path, a.cdrom ? 1 : 0, nullptr) << "\n";
  return 0;
}

int RunBits(const Args& a) {
  const CDIPLocator locator(a.dips);
  std::cout << (locator.HasBITSDips() ? 1 : 0) << "\n"
            << (locator.HasJustBITSDips() ? 1 : 0) << "\n"
            << locator.RemoveAllBitsDips() << "\n";
  return 0;
}

int RunResolve(const Args& a) {
  orvacmn::CDependencies deps;
  for (const std::string& item : a.items) {
    const size_t eq = item.find('=');
    deps.SetDependencies(item.substr(0, eq), eq == std::string::npos ? std::string() : item.substr(eq + 1));
  }
  std::string order, error;
  if (deps.ResolveDependencies(order, error) < 0) return ovo::Error(error);
  std::cout << order << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* dip = app.add_subcommand("dip", "Choose distribution points from a \";\"-separated list");
  dip->require_subcommand(1);
  auto a = std::make_shared<Args>();

  auto* cmd = dip->add_subcommand("locate", "Print the entry of DIPS that serves PATH");
  cmd->add_flag("--cdrom", a->cdrom, "Put the CD-ROM drives in for CDROM entries and probe drive entries too");
  cmd->add_option("--map", a->maps, "Map a share, drive or CDROM to a local folder (\\\\srv\\kits=/srv/kits)")
      ->type_name("FROM=TO")
      ->allow_extra_args(false);
  cmd->add_option("DIPS", a->dips, "The distribution points, separated by \";\"")->required();
  cmd->add_option("PATH", a->path, "A path naming the distribution point as {DIP}")->required();
  cmd->callback([a, &exitCode] { exitCode = RunLocate(*a); });

  cmd = dip->add_subcommand("first", "Print the first entry of DIPS not on one of the drive LETTERS");
  cmd->add_option("--exclude", a->exclude, "Drive letters to leave out")->type_name("LETTERS");
  cmd->add_option("DIPS", a->dips, "The distribution points, separated by \";\"")->required();
  cmd->callback([a, &exitCode] {
    std::cout << CDIPLocator(a->dips).GetFirstDIP(a->exclude) << "\n";
    exitCode = 0;
  });

  cmd = dip->add_subcommand("bits", "Print whether DIPS has BITS entries, whether it has only them, and the rest");
  cmd->add_option("DIPS", a->dips, "The distribution points, separated by \";\"")->required();
  cmd->callback([a, &exitCode] { exitCode = RunBits(*a); });

  cmd = dip->add_subcommand("state", "Print the display text of a distribution point's state N");
  cmd->add_option("N", a->state, "State number")->required();
  cmd->callback([a, &exitCode] {
    std::cout << orvacmn::OVO::Dip::GetStateText(a->state) << "\n";
    exitCode = 0;
  });

  auto* syncjob = app.add_subcommand("syncjob", "Synchronisation jobs of distribution points");
  syncjob->require_subcommand(1);
  cmd = syncjob->add_subcommand("state", "Print the display text of a synchronisation job's state N");
  cmd->add_option("N", a->state, "State number")->required();
  cmd->add_option("--skipped", a->skipped, "Errors skipped, for state 12")->type_name("K");
  cmd->callback([a, &exitCode] {
    std::cout << orvacmn::OVO::DipSyncJob::GetJobStateText(a->state, a->skipped) << "\n";
    exitCode = 0;
  });

  auto* deps = app.add_subcommand("deps", "Order items by their dependencies");
  deps->require_subcommand(1);
  cmd = deps->add_subcommand("resolve", "Print the items, each after its dependencies, joined with \"#\"");
  cmd->add_option("ITEMS", a->items, "ITEM=DEP#DEP, one per item, in order")->required()->type_name("ITEM=DEP#DEP");
  cmd->callback([a, &exitCode] { exitCode = RunResolve(*a); });
}

const ovo::Registration reg(95, Register);

}  // namespace

namespace ovo {

std::shared_ptr<const OFL::PathMap> BuildPathMap(const std::vector<std::string>& mappings) {
  auto map = std::make_shared<OFL::PathMap>(OFL::PathMap::ForThisMachine());
  for (const std::string& m : mappings) {
    // A relative folder on the command line is one below the current folder.
    const size_t eq = m.find('=');
    std::string error, to = eq == std::string::npos ? std::string() : m.substr(eq + 1);
    if (!to.empty() && to.front() != '/') to = std::filesystem::absolute(to).string();
    if (eq == std::string::npos ? !map->AddMapping(m, &error) : !map->AddMapping(m.substr(0, eq), to, &error)) {
      Error("--map: " + error);
      return nullptr;
    }
  }
  return map;
}

}  // namespace ovo
