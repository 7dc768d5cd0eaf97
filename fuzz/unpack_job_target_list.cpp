// Arbitrary text as a job target list and as a user job state list, whose packs are fixed points, and as a
// validity window, whose accepted text is written back to one that sets the same window.
#include "ofl/validity_time.h"
#include "orvacmn/jobs.h"

#include "check.h"

using orvacmn::OVOJobTarget;
using orvacmn::OVOJobTargetList;
using orvacmn::OVOUserJobStateList;

FUZZ_TEXT(text) {
  OVOJobTargetList targets(text), targetsAgain;
  CheckRepack(targets, targetsAgain);
  Check(targets.GetCount() == targetsAgain.GetCount(), "target count differs");
  targets.Find(text, text);
  targets.CountJobTargetsForJob(text);
  targets.ToString();

  // A "ConditionApplies" other than 0 and 1 is not written, so only the objects read from a pack compare equal.
  OVOJobTarget target(text), targetAgain;
  const std::string packed = CheckRepack(target, targetAgain);
  Check(OVOJobTarget(packed) == targetAgain && OVOJobTarget(target).Pack() == packed, "target differs");

  OVOUserJobStateList states(text), statesAgain;
  CheckRepack(states, statesAgain);
  Check(states == statesAgain, "user job state list differs");

  OFLValidityTimeString window("2000-01-01T00:00:00Z/"), again;
  const OFLValidityTimeString before = window;
  if (window.SetString(text)) {
    const std::string written = window.GetString();
    Check(again.SetString(written) && again == window && again.GetString() == written, "window text differs");
  } else {
    Check(window == before, "refused text changed the window");
  }
}
