// ovo client identify [--mask MASK] [--include-down]
// ovo client candidates [FILE] [--scheme LIST]
// ovo client describe [FILE]
// ovo client find DB [FILE]
// ovo client announce DB [FILE]
// and OVOClientIdentification for `ovo object`.
//
// `identify` prints this machine's identification packed; it exits with 1
// (after printing what it read) when a part of the machine could not be read.
// `candidates` prints one line "METHOD<TAB>VALUE" per value the record store
// is asked for, in the order of the identification scheme. `describe` prints
// the one-line identifier of a packed identification.
//
// `find` looks the identification up in the store DB with the default scheme
// and prints the method that matched, then the client packed; exit 1 when
// none matched. `announce` is the server's first step on a client's
// announce: find the client (or make a new one, once however many announce
// the same machine at once), take the names and addresses the machine
// reports, and save it; it prints what was found, by which method, and what
// was saved. Store errors exit 2.
#include <cstring>
#include <iostream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "ofl/tokenizer.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/system.h"
#include "announce.h"
#include "ovo.h"
#include "store_location.h"

namespace {

using orvacmn::OVOClientIdentification;

const ovo::ObjectClass kClientIdentification("OVOClientIdentification",
                                             [] { return std::make_unique<OVOClientIdentification>(); });

struct IdentifyArgs {
  std::string mask = "0x3F";
  bool includeDown = false;
};

int RunIdentify(const IdentifyArgs& a) {
  uint64_t mask = 0;
  if (!ovo::ParseNumber(a.mask, mask) || mask > std::numeric_limits<uint32_t>::max())
    return ovo::Error("--mask does not fit in 32 bits: " + a.mask, 2);
  OVOClientIdentification ident;
  const int32_t status = ident.Init(static_cast<uint32_t>(mask), false, a.includeDown);
  std::cout << ident.Pack() << "\n";
  if (status != 0) return ovo::Error(std::string("reading this machine failed: ") + std::strerror(status));
  return 0;
}

struct CandidatesArgs {
  std::string file;
  std::string scheme = "1,2,6,7,4,3,5";
};

int RunCandidates(const CandidatesArgs& a) {
  std::vector<uint32_t> scheme;
  for (const std::string& entry : OFLTokenizer(a.scheme, ",")) {
    uint64_t method = 0;
    if (!ovo::ParseNumber(entry, method) || method > std::numeric_limits<uint32_t>::max())
      return ovo::Error("--scheme: not a method number: " + entry, 2);
    scheme.push_back(static_cast<uint32_t>(method));
  }
  std::string text;
  if (!ovo::ReadInput(a.file, text)) return 1;
  const OVOClientIdentification ident(text);
  for (uint32_t method : scheme)
    for (const std::string& value : ident.GetCandidates(method)) std::cout << method << "\t" << value << "\n";
  return 0;
}

struct StoreLookupArgs {
  std::string db, file;
};

// The identification read and the store opened for `find` and `announce`.
struct Lookup {
  OVOClientIdentification id;
  std::unique_ptr<orvacmn::CDBAccess> access;

  // Exit status 1 when FILE cannot be read, 2 on another error (printed), else -1.
  int Open(const StoreLookupArgs& a) {
    std::string text;
    if (!ovo::ReadInput(a.file, text)) return 1;
    id = OVOClientIdentification(text);
    auto store = ovo::OpenStore(a.db);
    if (!store) return 2;
    access = std::make_unique<orvacmn::CDBAccess>(store);
    return -1;
  }
};

int StoreFailure(HRESULT hr, const std::string& out) {
  return ovo::Error(out.empty() ? "store error " + ovo::Hex(static_cast<uint32_t>(hr)) : out, 2);
}

int RunFind(const StoreLookupArgs& a) {
  Lookup l;
  if (const int status = l.Open(a); status >= 0) return status;
  orvacmn::OVOSystem system;
  std::string out;
  bool found = false;
  uint32_t method = 0;
  const HRESULT hr = l.access->LoadSystem(l.id, 0, system, out, 0, &found, &method);
  if (FAILED(hr)) return StoreFailure(hr, out);
  if (!found) return 1;
  std::cout << method << "\n" << system.Pack() << "\n";
  return 0;
}

int RunAnnounce(const StoreLookupArgs& a) {
  Lookup l;
  if (const int status = l.Open(a); status >= 0) return status;
  orvacmn::OVOSystem system;
  std::string out;
  bool created = false;
  uint32_t method = 0;
  const HRESULT hr = ovo::Announce(*l.access, l.id, [](orvacmn::OVOSystem&) {}, system, created, method, out);
  if (FAILED(hr)) return StoreFailure(hr, out);
  if (created)
    std::cout << "new\t" << system.GetGuid() << "\n";
  else
    std::cout << "found\tmethod " << method << "\t" << system.GetGuid() << "\t" << system.GetHostName() << "\n";
  std::cout << "saved\t" << system.GetGuid() << "\t" << system.GetHostName() << "\tIP " << system.GetIPList()
            << "\tMAC " << system.GetMACList() << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* client = app.add_subcommand("client", "Client identification: this machine's, and how the store is asked");
  client->require_subcommand(1);

  auto identify = std::make_shared<IdentifyArgs>();
  auto* cmd = client->add_subcommand("identify", "Print this machine's client identification, packed");
  cmd->add_option("--mask", identify->mask,
                  "Parts: 0x1 MACs, 0x2 host name, 0x4 IPs, 0x8 domain, with it 0x10 SID and 0x20 FQDN")
      ->check(ovo::NumberValidator());
  cmd->add_flag("--include-down", identify->includeDown, "Take addresses of interfaces that are down for the prefixes");
  cmd->callback([identify, &exitCode] { exitCode = RunIdentify(*identify); });

  auto candidates = std::make_shared<CandidatesArgs>();
  cmd = client->add_subcommand("candidates", "Values the record store is asked for, one \"METHOD<TAB>VALUE\" a line");
  cmd->add_option("FILE", candidates->file, "Packed identification (default: stdin)");
  cmd->add_option("--scheme", candidates->scheme, "Method numbers separated by ',' (default 1,2,6,7,4,3,5)");
  cmd->callback([candidates, &exitCode] { exitCode = RunCandidates(*candidates); });

  auto file = std::make_shared<std::string>();
  cmd = client->add_subcommand("describe", "The one-line identifier of a packed identification");
  cmd->add_option("FILE", *file, "Packed identification (default: stdin)");
  cmd->callback([file, &exitCode] {
    std::string text;
    if (!ovo::ReadInput(*file, text)) {
      exitCode = 1;
      return;
    }
    std::cout << OVOClientIdentification(text).GetIdentifier() << "\n";
    exitCode = 0;
  });

  auto find = std::make_shared<StoreLookupArgs>();
  cmd = client->add_subcommand("find", "Look a packed identification up in a store: the method, then the client");
  cmd->add_option("DB", find->db, ovo::kStoreHelp)->required();
  cmd->add_option("FILE", find->file, "Packed identification (default: stdin)");
  cmd->callback([find, &exitCode] { exitCode = RunFind(*find); });

  auto announce = std::make_shared<StoreLookupArgs>();
  cmd = client->add_subcommand("announce", "Find or create the client of an identification and save what it reports");
  cmd->add_option("DB", announce->db, ovo::kStoreHelp)->required();
  cmd->add_option("FILE", announce->file, "Packed identification (default: stdin)");
  cmd->callback([announce, &exitCode] { exitCode = RunAnnounce(*announce); });
}

const ovo::Registration reg(110, Register);

}  // namespace
