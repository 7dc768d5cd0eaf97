// Arbitrary text as a job and as a job list, whose packs are fixed points; the unpacked job's next run time
// with a fixed current time ends, lies in the validity window and within the horizon, and is the same for
// the job read back from its own pack.
#include <cstdint>

#include "orvacmn/jobs.h"

#include "check.h"

using orvacmn::CTime;
using orvacmn::OVOJob;
using orvacmn::OVOJobList;
using orvacmn::POSITION;
using orvacmn::String;

FUZZ_TEXT(text) {
  OVOJob job(text), jobAgain;
  const std::string packed = CheckRepack(job, jobAgain);
  Check(job.GetTargetsCRC() == jobAgain.GetTargetsCRC(), "targets CRC differs");

  // Targets and steps are read where they stand, as their own markup reads.
  OFLXMLParser parser;
  if (parser.SetDoc(text) && parser.FindElem("Job")) {
    POSITION pos = job.GetJobTargets().GetHeadPosition();
    String steps;
    while (parser.FindChildElem()) {
      if (parser.ChildTagIs("JobStepList")) steps = orvacmn::OVOJobStepList(parser.GetChildSubDoc()).Pack();
      if (!parser.ChildTagIs("JobTarget")) continue;
      Check(pos != nullptr, "a target is missing");
      // A target without "Created" takes the clock's time, which may have moved on since.
      orvacmn::OVOJobTarget inPlace(job.GetJobTargets().GetNext(pos)->Pack()), markup(parser.GetChildSubDoc());
      if (inPlace.GetCreated() != markup.GetCreated() && inPlace.GetCreated() + 5 > markup.GetCreated())
        inPlace.SetCreated(markup.GetCreated());
      Check(inPlace.Pack() == markup.Pack(), "a target read in place differs from its markup");
    }
    Check(pos == nullptr, "a target too many");
    if (!steps.empty()) Check(job.GetJobSteps().Pack() == steps, "steps read in place differ from their markup");
  }

  const CTime now = 1717570800;  // 2024-06-05 07:00 UTC
  for (CTime from : {CTime{0}, now - 3601, CTime{INT64_MAX}, CTime{INT64_MIN}}) {
    const CTime next = job.CalcNextExecutionTime(from, now);
    Check(next == jobAgain.CalcNextExecutionTime(from, now), "next run differs after the round trip");
    Check(next == -1 || (next >= now && next <= now + OVOJob::kScheduleHorizon), "next run outside the horizon");
    Check(next == -1 || job.GetValidity().IsValid(next), "next run outside the window");
  }
  job.AssignClient("M", "h", "d", "i", nullptr, now);
  job.FindJobTargetByGUID(text);
  job.FindJobTargetByDisplayName(text);
  job.AddTargets(text);
  job.SetPriorityFromSteps();
  CheckRepack(job, jobAgain);

  OVOJobList list(text), listAgain;
  CheckRepack(list, listAgain);
  Check(list.GetCount() == listAgain.GetCount(), "job count differs");
  list.FindJob(text, true);
  for (uint32_t type : {0u, 1u}) {
    list.Sort(static_cast<OVOJobList::ECompareType>(type), type == 0);
    Check(list.GetCount() == listAgain.GetCount(), "sort lost a job");
  }
}
