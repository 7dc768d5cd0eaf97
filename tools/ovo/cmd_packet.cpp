// ovo packet timeout [--now T] [FILE]: CalcTimeout of a job-step packet and
//   the first offering it recorded, tab-separated.
// ovo packet skip GUID [FILE]: SkipDependentSteps for that step, then the
//   packed step list.
// Also registers the job-step messages with `ovo message`.
#include <ctime>
#include <iostream>
#include <memory>

#include "message_classes.h"
#include "orvacmn/messages/job_step_messages.h"
#include "ovo.h"

namespace {

using namespace orvacmn;

using ovo::Xml;

const ovo::MessageClass kPacket("MsgDJobStepPacket", Xml<MsgDJobStepPacket>());
const ovo::MessageClass kJobState("MsgDJobState", Xml<MsgDJobState>());
const ovo::MessageClass kConfirm("MsgDConfirmJobStep", Xml<MsgDConfirmJobStep>());
const ovo::MessageClass kStateText("MsgDJobStepStateText", Xml<MsgDJobStepStateText>());
const ovo::MessageClass kModuleState("MsgDModuleState", Xml<MsgDModuleState>());
const ovo::MessageClass kSSAPacket("MsgSSAJobStepPacket", Xml<MsgSSAJobStepPacket>());
const ovo::MessageClass kSSAConfirmation("MsgSSAJobStepConfirmation", Xml<MsgSSAJobStepConfirmation>());
const ovo::MessageClass kSSATarget("MsgSSAJobStepTarget", Xml<MsgSSAJobStepTarget>());
const ovo::MessageClass kSSAUserInfo("MsgSSAUserInformation", Xml<MsgSSAUserInformation>());
const ovo::MessageClass kSSAUserInfoData("MsgSSAUserInformationData", Xml<MsgSSAUserInformationData>());

// The packet of FILE (stdin by default); false with an error printed.
bool ReadPacket(const std::string& file, MsgDJobStepPacket& packet) {
  std::string text;
  if (!ovo::ReadInput(file, text)) return false;
  if (packet.Unpack(text) == 1) return true;
  ovo::Error("no <" + packet.GetObjectName() + "> element in the input");
  return false;
}

struct TimeoutArgs {
  std::string now, file;
};

int RunTimeout(const TimeoutArgs& a) {
  CTime now = static_cast<CTime>(std::time(nullptr));
  if (!a.now.empty()) {
    uint64_t v = 0;
    if (!ovo::ParseNumber(a.now, v) || v > uint64_t{INT64_MAX}) return ovo::Error("bad --now: " + a.now, 2);
    now = static_cast<CTime>(v);
  }
  MsgDJobStepPacket packet;
  if (!ReadPacket(a.file, packet)) return 1;
  const CTime timeout = packet.CalcTimeout(now);
  std::cout << timeout << "\t" << packet.GetFirstOffering() << "\n";
  return 0;
}

struct SkipArgs {
  std::string guid, file;
};

int RunSkip(const SkipArgs& a) {
  MsgDJobStepPacket packet;
  if (!ReadPacket(a.file, packet)) return 1;
  const OVOJobStep* step = packet.FindStep(a.guid);
  if (step == nullptr) return ovo::Error("no step " + a.guid + " in the packet");
  packet.SkipDependentSteps(step);
  std::cout << packet.GetJobSteps().Pack() << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* packet = app.add_subcommand("packet", "Step bookkeeping of a job-step packet");
  packet->require_subcommand(1);

  auto targs = std::make_shared<TimeoutArgs>();
  auto* cmd = packet->add_subcommand("timeout", "CalcTimeout and the recorded first offering, tab-separated");
  cmd->add_option("--now", targs->now, "The clock, seconds since 1970 (default: the real clock)")
      ->check(ovo::NumberValidator());
  cmd->add_option("FILE", targs->file, "Packet text (default: stdin)");
  cmd->callback([targs, &exitCode] { exitCode = RunTimeout(*targs); });

  auto sargs = std::make_shared<SkipArgs>();
  cmd = packet->add_subcommand("skip", "Skip the steps tied to step GUID and print the step list");
  cmd->add_option("GUID", sargs->guid, "GUID of the step that will not run")->required();
  cmd->add_option("FILE", sargs->file, "Packet text (default: stdin)");
  cmd->callback([sargs, &exitCode] { exitCode = RunSkip(*sargs); });
}

const ovo::Registration reg(131, Register);

}  // namespace
