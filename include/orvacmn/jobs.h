// Jobs: the shared job state record, job targets, user job states and text
// entries.
#ifndef ORVACMN_JOBS_H_
#define ORVACMN_JOBS_H_

#include "orvacmn/jobs/job_state.h"
#include "orvacmn/jobs/job_target.h"
#include "orvacmn/jobs/text_entry.h"
#include "orvacmn/jobs/user_job_state.h"

#endif  // ORVACMN_JOBS_H_
