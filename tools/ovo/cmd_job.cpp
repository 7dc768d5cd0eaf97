// ovo job next-run [--from T] [--now T] [FILE]
// ovo job assign GUID HOST DISPLAY INITIATOR [--now T] [FILE]
// ovo job sort TYPE asc|desc [FILE]
// and the classes OVOJob and OVOJobList of `ovo object`.
#include <ctime>
#include <iostream>
#include <limits>
#include <memory>

#include "orvacmn/jobs/job.h"
#include "ovo.h"

namespace {

using orvacmn::OVOJob;
using orvacmn::OVOJobList;

const ovo::ObjectClass kJob("OVOJob", [] { return std::make_unique<OVOJob>(); });
const ovo::ObjectClass kJobList("OVOJobList", [] { return std::make_unique<OVOJobList>(); });

// Decimal or 0x hex with an optional leading minus, within 64-bit signed.
bool ParseSigned(const std::string& text, int64_t& value) {
  const bool negative = !text.empty() && text[0] == '-';
  uint64_t magnitude;
  if (!ovo::ParseNumber(negative ? text.substr(1) : text, magnitude)) return false;
  if (magnitude > (negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX))) return false;
  value = negative ? int64_t(0 - magnitude) : int64_t(magnitude);
  return true;
}

const CLI::Validator& TimeValidator() {
  static const CLI::Validator v(
      [](std::string& s) {
        int64_t ignored;
        return ParseSigned(s, ignored) ? std::string() : "not a 64-bit number: " + s;
      },
      "SECONDS");
  return v;
}

// The time of an option, or `fallback` when it was not given.
int64_t TimeOr(const std::string& text, int64_t fallback) {
  int64_t t = fallback;
  if (!text.empty()) ParseSigned(text, t);
  return t;
}


struct Args {
  std::string from, now, file;
  std::string guid, host, display, initiator;
  std::string type, order;
};

int RunNextRun(const Args& a) {
  OVOJob job;
  if (!ovo::ReadObject(a.file, job)) return 1;
  const int64_t now = TimeOr(a.now, static_cast<int64_t>(std::time(nullptr)));
  std::cout << job.CalcNextExecutionTime(TimeOr(a.from, 0), now) << "\n";
  return 0;
}

int RunAssign(const Args& a) {
  OVOJob job;
  if (!ovo::ReadObject(a.file, job)) return 1;
  const int64_t now = TimeOr(a.now, static_cast<int64_t>(std::time(nullptr)));
  job.AssignClient(a.guid, a.host, a.display, a.initiator, nullptr, now);
  std::cout << job.Pack() << "\n";
  return 0;
}

int RunSort(const Args& a) {
  uint64_t type = 0;
  if (!ovo::ParseNumber(a.type, type) || type > std::numeric_limits<uint32_t>::max())
    return ovo::Error("TYPE does not fit in 32 bits: " + a.type, 2);
  OVOJobList list;
  if (!ovo::ReadObject(a.file, list)) return 1;
  list.Sort(static_cast<OVOJobList::ECompareType>(type), a.order == "asc");
  for (const OVOJob* job : list) std::cout << job->GetGUID() << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto a = std::make_shared<Args>();
  auto* job = app.add_subcommand("job", "Schedules, assignment and sorting of packed jobs");
  job->require_subcommand(1);

  auto* cmd = job->add_subcommand("next-run", "Next run time of a packed Job (-1 for none), in the local time of TZ");
  cmd->add_option("--from", a->from, "Last run, seconds since 1970 (default 0: none)")->check(TimeValidator());
  cmd->add_option("--now", a->now, "Current time, seconds since 1970 (default: the clock)")->check(TimeValidator());
  cmd->add_option("FILE", a->file, "Packed Job (default: stdin)");
  cmd->callback([a, &exitCode] { exitCode = RunNextRun(*a); });

  cmd = job->add_subcommand("assign", "Assign a client to a packed Job and print the job");
  cmd->add_option("GUID", a->guid, "The client's GUID")->required();
  cmd->add_option("HOST", a->host, "The client's host name")->required();
  cmd->add_option("DISPLAY", a->display, "The client's display name")->required();
  cmd->add_option("INITIATOR", a->initiator, "Who assigns")->required();
  cmd->add_option("--now", a->now, "Current time, seconds since 1970 (default: the clock)")->check(TimeValidator());
  cmd->add_option("FILE", a->file, "Packed Job (default: stdin)");
  cmd->callback([a, &exitCode] { exitCode = RunAssign(*a); });

  cmd = job->add_subcommand("sort", "Sort a packed JobList and print the job GUIDs in order");
  cmd->add_option("TYPE", a->type, "0 by name, 1 by priority (others leave the order)")
      ->required()
      ->check(ovo::NumberValidator());
  cmd->add_option("ORDER", a->order, "asc or desc")->required()->check(CLI::IsMember({"asc", "desc"}));
  cmd->add_option("FILE", a->file, "Packed JobList (default: stdin)");
  cmd->callback([a, &exitCode] { exitCode = RunSort(*a); });
}

const ovo::Registration reg(75, Register);

}  // namespace
