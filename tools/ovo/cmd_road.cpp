// ovo road DB JOB [IDENT] [--now T]: the announce road of one agent, every
// message crossing as its text. The agent announces itself (MsgClientToServer
// carrying its identification, IDENT or this machine's); the server finds or
// creates the client in the store DB, assigns the job of JOB to it, stores job
// and target, and sends a job-step packet with the client's variables; the
// agent expands each step's text, runs it (here: marks it done) and confirms
// it (MsgDConfirmJobStep); the server applies the confirmations, stores the
// target and prints the job's result. One line per hop; store errors exit 2.
#include <iostream>
#include <memory>

#include "orvacmn/jobs/job.h"
#include "orvacmn/jobs/job_step_list.h"
#include "orvacmn/messages/envelopes.h"
#include "orvacmn/messages/job_step_messages.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/system.h"
#include "orvacmn_store/sqlite_store.h"
#include "announce.h"
#include "ovo.h"

namespace {

using namespace orvacmn;  // NOLINT: a tool reads better without the prefix

constexpr uint32_t kRecordTypeJob = 40, kRecordTypeJobTarget = 42;

struct RoadArgs {
  std::string db, job, ident, now;
};

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
  std::string jobText, error, out;
  if (!ovo::ReadInput(a.job, jobText)) return 1;
  auto store = store::SqliteStore::Open(a.db, false, &error);
  if (!store) return ovo::Error(error, 2);
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
  const String announceText = announce.Pack();
  Hop("agent", "announce " + announce.ClientIdentification.GetIdentifier(), announceText.size());

  // Server: find or create the client.
  const MsgClientToServer received(announceText);
  OVOSystem system;
  bool created = false;
  uint32_t method = 0;
  HRESULT hr = ovo::Announce(
      db, received.ClientIdentification, [&](OVOSystem& s) { s.SetAgentVersion(received.AgentVersion); }, system,
      created, method, out);
  if (FAILED(hr)) return StoreError(out);
  std::cout << "server\t" << (created ? std::string("created") : "found by method " + std::to_string(method)) << " "
            << system.GetGuid() << " " << system.GetHostName() << "\n";

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
  cmd->add_option("DB", args->db, "Store file (made with ovo store init)")->required();
  cmd->add_option("JOB", args->job, "Packed job with its steps")->required();
  cmd->add_option("IDENT", args->ident, "Packed client identification (default: this machine's)");
  cmd->add_option("--now", args->now, "Seconds since 1970 (default: the clock)");
  cmd->callback([args, &exitCode] { exitCode = RunRoad(*args); });
}

const ovo::Registration reg(135, Register);

}  // namespace
