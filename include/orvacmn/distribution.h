// Distribution: distribution points and their synchronisation jobs, the
// choice of the distribution point that serves a client, and dependencies
// between items.
#ifndef ORVACMN_DISTRIBUTION_H_
#define ORVACMN_DISTRIBUTION_H_

#include "orvacmn/distribution/dependencies.h"
#include "orvacmn/distribution/dip.h"
#include "orvacmn/distribution/dip_locator.h"
#include "orvacmn/distribution/dip_sync_job.h"

#endif  // ORVACMN_DISTRIBUTION_H_
