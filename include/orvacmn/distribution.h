// Distribution: distribution points and their synchronisation jobs, the
// choice of the distribution point that serves a client, dependencies
// between items, and deploy packages with their steps.
#ifndef ORVACMN_DISTRIBUTION_H_
#define ORVACMN_DISTRIBUTION_H_

#include "orvacmn/distribution/dependencies.h"
#include "orvacmn/distribution/dip.h"
#include "orvacmn/distribution/dip_locator.h"
#include "orvacmn/distribution/dip_sync_job.h"
#include "orvacmn/distribution/package.h"
#include "orvacmn/distribution/package_actions.h"
#include "orvacmn/distribution/package_platform.h"

#endif  // ORVACMN_DISTRIBUTION_H_
