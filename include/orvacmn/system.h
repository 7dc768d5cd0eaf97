// Managed systems: the managed computer with its list, the client's
// identification, the directory object, the connection modes, the pinned
// public key, the client's state record and the managed domains.
#ifndef ORVACMN_SYSTEM_H_
#define ORVACMN_SYSTEM_H_

#include "ofl/remote_system.h"
#include "ofl/user_account.h"
#include "orvacmn/common/file_time.h"
#include "orvacmn/system/ad_object.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/client_state.h"
#include "orvacmn/system/connection_mode.h"
#include "orvacmn/system/domain.h"
#include "orvacmn/system/public_key.h"
#include "orvacmn/system/system.h"

#endif  // ORVACMN_SYSTEM_H_
