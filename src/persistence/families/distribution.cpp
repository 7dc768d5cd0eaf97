// Distribution points and their synchronisation jobs.
#include "define_operations.h"
#include "orvacmn/distribution/dip.h"
#include "orvacmn/distribution/dip_sync_job.h"
#include "orvacmn/objects/owning_ptr_list.h"

namespace orvacmn {

ORVACMN_DISTRIBUTION_FAMILY_OPERATIONS(ORVACMN_DEFINE_FAMILY_OPERATIONS)

}  // namespace orvacmn
