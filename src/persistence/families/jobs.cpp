// Jobs, their steps, targets and user states, and the server's own jobs.
#include "define_operations.h"
#include "orvacmn/jobs/job.h"
#include "orvacmn/jobs/job_step.h"
#include "orvacmn/jobs/job_target.h"
#include "orvacmn/jobs/user_job_state.h"
#include "orvacmn/records/keyed_records.h"

namespace orvacmn {

ORVACMN_JOB_FAMILY_OPERATIONS(ORVACMN_DEFINE_FAMILY_OPERATIONS)

HRESULT CDBAccess::LoadJobTargets(const String& job, OVOJobTargetList& list, String& out, uint32_t flags) {
  return LoadList<OVOJobTarget>(*this, ORVACMN_FAMILY_ROW(JobTarget), {}, {{"GUIDJob", job}}, flags, list, out);
}

HRESULT CDBAccess::FindRunningJobTarget(const String& job, OVOJobTargetList& list, String& out) {
  return LoadList<OVOJobTarget>(*this, ORVACMN_FAMILY_ROW(JobTarget), {},
                                {{"GUIDJob", job}, {"JobTargetBaseState", "5"}}, kLoadAllFlags, list, out);
}

HRESULT CDBAccess::CreateDownloadJobIfNotExist(const OVODownloadJob& job, String& out) {
  return CreateIfNotExist(kRecordTypeDownloadJob, job.Pack(), job.GetGUID(), kLoadAllFlags, out);
}

HRESULT CDBAccess::CreateOrUpdateUserJobState(const OVOUserJobState& state, String& out) {
  const RecordFamily& family = ORVACMN_FAMILY_ROW(UserJobState);
  OVOUserJobState stored;
  bool found = false;
  const HRESULT hr = LoadOne(*this, family, {state.GetGUIDJob(), state.GetGUIDSystem(), state.GetGUIDADObject()},
                             stored, out, kLoadAllFlags, &found);
  if (FAILED(hr)) return hr;
  return found ? SaveOne(*this, family, state, out) : CreateOne(*this, family, state, out);
}

}  // namespace orvacmn
