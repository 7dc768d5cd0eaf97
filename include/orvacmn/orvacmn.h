// The whole public interface of the library.
#ifndef ORVACMN_ORVACMN_H_
#define ORVACMN_ORVACMN_H_

#include "orvacmn/common.h"
#include "orvacmn/directory.h"
#include "orvacmn/distribution.h"
#include "orvacmn/drivers.h"
#include "orvacmn/energy.h"
#include "orvacmn/hardware.h"
#include "orvacmn/jobs.h"
#include "orvacmn/messages.h"
#include "orvacmn/objects.h"
#include "orvacmn/persistence.h"
#include "orvacmn/records.h"
#include "orvacmn/server.h"
#include "orvacmn/software.h"
#include "orvacmn/system.h"
#include "orvacmn/variables.h"
#include "orvacmn/version.h"

#endif  // ORVACMN_ORVACMN_H_
