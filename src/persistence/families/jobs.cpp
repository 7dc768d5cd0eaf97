// Jobs, their steps, targets and user states, and the server's own jobs.
#include "define_operations.h"
#include "orvacmn/jobs/job.h"
#include "orvacmn/jobs/job_step.h"
#include "orvacmn/jobs/job_step_list.h"
#include "orvacmn/jobs/job_target.h"
#include "orvacmn/jobs/user_job_state.h"
#include "orvacmn/records/keyed_records.h"

namespace orvacmn {

ORVACMN_JOB_FAMILY_OPERATIONS(ORVACMN_DEFINE_FAMILY_OPERATIONS)

HRESULT CDBAccess::LoadJobs(OVOObjectMap<OVOJob>& jobs, String& out, uint32_t flags) {
  return LoadMap(*this, ORVACMN_FAMILY_ROW(Job), flags, jobs, out);
}

HRESULT CDBAccess::LoadJobSteps(const String& job, OVOJobStepList& steps, String& out, uint32_t flags) {
  return ForEachRecord(*this, ORVACMN_FAMILY_ROW(JobStep), {}, AsSpan({{"Job", job}}), flags, out,
                       [&steps](const String& record) {
                         if (OVOJobStep* step = OVOJobStepList::CreateJobStep(record)) steps.AddTail(step);
                       });
}

HRESULT CDBAccess::DeleteJobSteps(const String& job, String& out) {
  return DeleteWhere(*this, ORVACMN_FAMILY_ROW(JobStep), {{"Job", job}}, out);
}

HRESULT CDBAccess::LoadUserJobStates(const String& job, OVOUserJobStateList& states, String& out, uint32_t flags) {
  return LoadList<OVOUserJobState>(*this, ORVACMN_FAMILY_ROW(UserJobState), {job}, {}, flags, states, out);
}

HRESULT CDBAccess::UpdateUserJobState(const String& job, const String& system, const String& adObject,
                                      const String& record, String& out) {
  return UpdateOne(*this, ORVACMN_FAMILY_ROW(UserJobState), {job, system, adObject}, record, out);
}

HRESULT CDBAccess::DeleteUserJobStates(const String& job, String& out) {
  return DeleteOne(*this, ORVACMN_FAMILY_ROW(UserJobState), {job}, out);
}

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
