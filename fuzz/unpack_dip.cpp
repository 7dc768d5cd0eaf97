// Arbitrary text as a distribution point and as a synchronisation job, with
// the point's property bag: their packs are fixed points.
#include "orvacmn/distribution.h"

#include "check.h"

FUZZ_TEXT(text) {
  orvacmn::OVO::Dip dip(text), dipAgain;
  const std::string packed = dip.Pack();
  Check(dipAgain.Unpack(packed) == 1, "the point does not read back");
  dipAgain.SetPackedProperties(dip.GetPackedProperties());
  Check(dipAgain == dip && dipAgain.Pack() == packed, "the point differs");
  dip.IsUpToDate();
  dip.GetStateForDisplay();
  orvacmn::OVO::DipSyncJob job(text), jobAgain;
  CheckRepack(job, jobAgain);
  job.IsDue(1717236000);
  job.GetJobStateText();
  job.GetProgressAsString();
  job.GetTimeToFinishAsString();
}
