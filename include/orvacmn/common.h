// Umbrella header of the common conversions.
#ifndef ORVACMN_COMMON_H_
#define ORVACMN_COMMON_H_

#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/common/file_time.h"
#include "orvacmn/common/types.h"

#endif  // ORVACMN_COMMON_H_
