// GUIDs of built-in objects whose identity carries meaning for rights.
#ifndef ORVACMN_OBJECTS_KNOWN_GUIDS_H_
#define ORVACMN_OBJECTS_KNOWN_GUIDS_H_

#include "ofl/string.h"

namespace orvacmn {
namespace KnownGuids {

// An organisational unit or software application with this GUID supports no
// AUT or licence rights.
inline constexpr char kNoAutOrLicenseRights[] = "E1CE0953-CDAA-4609-B962-9B1F75B23CEE";

class Helper {
 public:
  // GUIDs of the built-in organisational units whose rights may be edited,
  // joined by ";". Built once per process; safe to call from any thread.
  static const OFL::String& GetSecurableOrgUnits();
  // The same list as an earlier release had it (its first GUID appears twice).
  static const OFL::String& GetOldSecurableOrgUnits();
};

}  // namespace KnownGuids
}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_KNOWN_GUIDS_H_
