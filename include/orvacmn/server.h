// Server-side client management: the merge of an agent's reported
// properties into the stored client, the connection flags of its Options,
// the address black and white lists, and the patch state file.
#ifndef ORVACMN_SERVER_H_
#define ORVACMN_SERVER_H_

#include "orvacmn/server/black_white_list.h"
#include "orvacmn/server/client_mgmt_helper.h"
#include "orvacmn/server/configuration.h"
#include "orvacmn/server/patch_status_serializer.h"

#endif  // ORVACMN_SERVER_H_
