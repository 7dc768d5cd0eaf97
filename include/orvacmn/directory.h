// Directory and rights: groups, dynamic groups and SQL conditions, security
// profiles and console accounts.
#ifndef ORVACMN_DIRECTORY_H_
#define ORVACMN_DIRECTORY_H_

#include "orvacmn/directory/dynamic_group.h"
#include "orvacmn/directory/group.h"
#include "orvacmn/directory/security_profile.h"

#endif  // ORVACMN_DIRECTORY_H_
