// ovo road DB JOB [IDENT] [--now T] [--inventory BAG] [--state STATE]
// [--ip-list LIST [--ip-list-mode M]] [--ip-update-mode N]: the announce road
// of one agent, every message crossing as its text. The agent announces
// itself (MsgClientToServer carrying its identification, IDENT or this
// machine's, and its inventory bag BAG as Data); the server checks the
// agent's address against its address list LIST (type IP; mode 0 white, 1
// black), finds or creates the client in the store DB, has the store merge
// the inventory into it (only changed properties are written) and applies the
// partial state STATE the agent reports; then it assigns the job of JOB to
// it, stores job and target, and sends a job-step packet with the client's
// variables; the agent expands each step's text, runs it (here: marks it
// done) and confirms it (MsgDConfirmJobStep); the server applies the confirmations, stores the
// target and prints the job's result. One line per hop; store errors exit 2,
// a refused address exits 1.
#include <iostream>
#include <memory>

#include "orvacmn/jobs/job.h"
#include "orvacmn/jobs/job_step_list.h"
#include "orvacmn/messages/envelopes.h"
#include "orvacmn/messages/job_step_messages.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/server/black_white_list.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/client_state.h"
#include "orvacmn/system/system.h"
#include "announce.h"
#include "ovo.h"
#include "store_location.h"

namespace {

using namespace orvacmn;  // NOLINT: a tool reads better without the prefix

constexpr uint32_t kRecordTypeJob = 40, kRecordTypeJobTarget = 42;

struct RoadArgs {
  std::string db, job, ident, now, inventory, state, ipList;
  int ipListMode = CBlackWhiteList::kWhiteList;
  int ipUpdateMode = CConfiguration::eIPUpdateOff;
};

// The names of a bag's properties, joined by ", ".
std::string Names(const OVOProperties& bag) {
  std::string names;
  for (const auto& entry : bag) names += (names.empty() ? "" : ", ") + entry.name;
  return names;
}

void Hop(const char* who, const std::string& what, size_t bytes) {
  std::cout << who << "\t" << what << "\t(" << bytes << " bytes)\n";
}

int StoreError(const std::string& text) { return ovo::Error(text.empty() ? "store error" : text, 2); }

int RunRoad(const RoadArgs& a) {
  CTime now = 0;
  if (!a.now.empty()) {
    uint64_t t = 0;
    if (!ovo::ParseNumber(a.now, t)) return ovo::Error("--now: not a number: " + a.now, 2);
    now = static_cast<CTime>(t);
  } else {
    now = static_cast<CTime>(time(nullptr));
  }
  std::string jobText, inventoryText, stateText, out;
  if (!ovo::ReadInput(a.job, jobText)) return 1;
  if (!a.inventory.empty() && !ovo::ReadInput(a.inventory, inventoryText)) return 1;
  if (!a.state.empty() && !ovo::ReadInput(a.state, stateText)) return 1;
  auto store = ovo::OpenStore(a.db);
  if (!store) return 2;
  ovo::InstallServerActions(*store, static_cast<CConfiguration::EIPUpdateMode>(a.ipUpdateMode),
                            [now] { return now; });
  CDBAccess db(store);

  // Agent: announce.
  MsgClientToServer announce;
  if (!a.ident.empty()) {
    std::string identText;
    if (!ovo::ReadInput(a.ident, identText)) return 1;
    announce.ClientIdentification = OVOClientIdentification(identText);
  } else {
    announce.ClientIdentification.Init(0x3F, false, false);
  }
  announce.AgentVersion = "24.1.0";
  announce.Data = inventoryText;
  const String announceText = announce.Pack();
  Hop("agent", "announce " + announce.ClientIdentification.GetIdentifier(), announceText.size());

  // Server: the agent's address against the configured list, then find or
  // create the client.
  const MsgClientToServer received(announceText);
  if (!a.ipList.empty()) {
    const CBlackWhiteList addresses(a.ipList, eBlackWhiteListIP, a.ipListMode);
    const String ip = received.ClientIdentification.GetPrimaryIP().GetString();
    String entry;
    const bool refused = addresses.Check(ip, &entry) != 0;
    std::cout << "server\taddress " << ip << (refused ? " refused" : " admitted")
              << (entry.empty() ? std::string(a.ipListMode ? " (not listed)" : " (no entry admits it)")
                                : " by " + entry)
              << "\n";
    if (refused) return ovo::Error("the server's address list refuses " + ip, 1);
  }
  OVOSystem system;
  bool created = false;
  uint32_t method = 0;
  HRESULT hr = ovo::Announce(
      db, received.ClientIdentification, [&](OVOSystem& s) { s.SetAgentVersion(received.AgentVersion); }, system,
      created, method, out);
  if (FAILED(hr)) return StoreError(out);
  std::cout << "server\t" << (created ? std::string("created") : "found by method " + std::to_string(method)) << " "
            << system.GetGuid() << " " << system.GetHostName() << "\n";

  // Server: the store merges the reported inventory into the client.
  if (!received.Data.empty()) {
    OVOProperties changes;
    CFileTime stamp = 0;
    if (FAILED(hr = db.ProcessMiniInventory(system.GetGuid(), OVOProperties(received.Data), changes, stamp, out)))
      return StoreError(out);
    const int n = changes.GetPropertyList().GetCount();
    std::cout << "server\tinventory merged: " << (n == 0 ? std::string("nothing changed")
                                                           : std::to_string(n) + " changed (" + Names(changes) + ")")
              << "\n";
  }

  // Agent: its state; server: applied to the stored state.
  if (!a.state.empty()) {
    const OVOClientState reported(stateText);
    const String reportText = reported.Pack();
    Hop("agent", "state changes " + ovo::Hex(reported.GetChanges()), reportText.size());
    if (FAILED(hr = db.UpdateClientState(system.GetGuid(), OVOClientState(reportText), out))) return StoreError(out);
    OVOClientState stored;
    if (FAILED(hr = db.LoadClientState(system.GetGuid(), stored, out))) return StoreError(out);
    std::cout << "server\tstate stored: agent state " << stored.GetClientAgentState() << ", changes "
              << ovo::Hex(stored.GetChanges()) << "\n";
  }

  // Server: assign the job, store job and target, send the first packet.
  OVOJob job(jobText);
  OVOJobTarget* target = job.AssignClient(system.GetGuid(), system.GetHostName(), system.GetDisplayName(), "road",
                                          nullptr, now);
  if (target == nullptr) return ovo::Error("the job takes no target", 1);
  String record = job.Pack();
  if (FAILED(hr = db.SaveRecord(kRecordTypeJob, MakeRecordKey({job.GetGUID()}), record))) return StoreError(record);
  record = target->Pack();
  if (FAILED(hr = db.SaveRecord(kRecordTypeJobTarget, MakeRecordKey({job.GetGUID(), system.GetGuid()}), record)))
    return StoreError(record);
  MsgDJobStepPacket packet;
  packet.GetJob().Unpack(job.Pack());
  packet.GetJobTarget().Unpack(target->Pack());
  packet.GetJobSteps().Unpack(job.GetJobSteps().Pack());
  system.PopulateVars(packet.GetVars(), eConnectByName, true, true);
  job.PopulateVars(packet.GetVars(), true);
  const String packetText = packet.Pack();
  Hop("server", "job-step packet for " + job.GetName() + " with " + std::to_string(packet.GetStepCount()) + " steps",
      packetText.size());

  // Agent: run the steps in order, confirm each.
  const MsgDJobStepPacket work(packetText);
  std::vector<String> confirmations;
  for (int i = 0; i < work.GetStepCount(); ++i) {
    OVOJobStep* step = work.GetStepAt(i);
    String text = step->GetStateString();
    work.GetVars().PerformSubstitutions(text, COVKVars::SubstitutionDefault);
    step->SetStateString(text);
    step->SetStateValue(OVO::JobState::eStateFinished);
    MsgDConfirmJobStep confirm;
    confirm.JobName = work.GetJobName();
    confirm.JobStep = step->Pack();
    confirm.Time = now;
    confirm.State = step->GetStateValue();
    confirm.ResultString = text;
    confirmations.push_back(confirm.Pack());
    Hop("agent", "confirm step " + std::to_string(i + 1) + ": " + text, confirmations.back().size());
  }

  // Server: apply the confirmations to the job's steps and its target.
  OVOJobStepList& steps = job.GetJobSteps();
  for (const String& text : confirmations) {
    const MsgDConfirmJobStep confirm(text);
    std::unique_ptr<OVOJobStep> done(OVOJobStepList::CreateJobStep(confirm.JobStep));
    if (!done) continue;
    if (const POSITION pos = steps.FindStep(done->GetGUID()); pos != nullptr) {
      OVOJobStep* step = steps.GetAt(pos);
      step->SetStateValue(confirm.State);
      step->SetStateString(confirm.ResultString);
    }
  }
  String resultText;
  const uint32_t result = steps.DetermineResult(resultText, 0);
  target->SetState(OVO::JobState::eStateFinished);
  target->SetStateString(resultText);
  record = target->Pack();
  if (FAILED(hr = db.SaveRecord(kRecordTypeJobTarget, MakeRecordKey({job.GetGUID(), system.GetGuid()}), record)))
    return StoreError(record);
  std::cout << "server\tjob result " << result << (resultText.empty() ? "" : "\t" + resultText) << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto args = std::make_shared<RoadArgs>();
  auto* cmd = app.add_subcommand("road", "One agent's announce road on a store: announce, job, packet, confirmations");
  cmd->add_option("DB", args->db, "Store: a file or a PostgreSQL URL (made with ovo store init)")->required();
  cmd->add_option("JOB", args->job, "Packed job with its steps")->required();
  cmd->add_option("IDENT", args->ident, "Packed client identification (default: this machine's)");
  cmd->add_option("--now", args->now, "Seconds since 1970 (default: the clock)");
  cmd->add_option("--inventory", args->inventory, "Packed property bag the agent reports with its announce");
  cmd->add_option("--state", args->state, "Packed partial client state the agent reports");
  cmd->add_option("--ip-list", args->ipList, "The server's address list (\";\"-separated entries)");
  cmd->add_option("--ip-list-mode", args->ipListMode, "0: white list (default), 1: black list")
      ->check(CLI::Range(0, 1));
  cmd->add_option("--ip-update-mode", args->ipUpdateMode, "1: reported prefixes update the subnet mask")
      ->check(CLI::Range(0, 1));
  cmd->callback([args, &exitCode] { exitCode = RunRoad(*args); });
}

const ovo::Registration reg(135, Register);

}  // namespace
