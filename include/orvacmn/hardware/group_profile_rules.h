// OVOGroupProfileRules: what a group says about the hardware profiles its
// clients may take (OVOHardwareHWProfileList::FindBestMatchingHardwareProfile).
// A group object provides it by deriving from this class.
//
// Read-only during a profile choice; one thread at a time.
#ifndef ORVACMN_HARDWARE_GROUP_PROFILE_RULES_H_
#define ORVACMN_HARDWARE_GROUP_PROFILE_RULES_H_

#include "orvacmn/common/types.h"

namespace orvacmn {

class OVOGroupProfileRules {
 public:
  enum EProfileAccess {
    eProfileAllowed,     // the group has an entry that allows the profile
    eProfileNotAllowed,  // the group has an entry that forbids it
    eProfileNoEntry,     // the group does not list the profile
  };

  virtual ~OVOGroupProfileRules() = default;
  virtual EProfileAccess GetProfileAccess(const String& profileGUID) const = 0;
};

}  // namespace orvacmn

#endif  // ORVACMN_HARDWARE_GROUP_PROFILE_RULES_H_
