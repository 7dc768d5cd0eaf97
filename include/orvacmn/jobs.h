// Jobs: the job and the job list, the shared job state record, job steps of
// every kind with their list, job targets, user job states and text entries.
#ifndef ORVACMN_JOBS_H_
#define ORVACMN_JOBS_H_

#include "orvacmn/jobs/job.h"
#include "orvacmn/jobs/job_state.h"
#include "orvacmn/jobs/job_step.h"
#include "orvacmn/jobs/job_step_application.h"
#include "orvacmn/jobs/job_step_kinds.h"
#include "orvacmn/jobs/job_step_list.h"
#include "orvacmn/jobs/job_step_objects.h"
#include "orvacmn/jobs/job_target.h"
#include "orvacmn/jobs/text_entry.h"
#include "orvacmn/jobs/user_job_state.h"

#endif  // ORVACMN_JOBS_H_
