#include "orvacmn/objects/release_level.h"

#include <string>

#include "ofl/tools.h"

namespace orvacmn {

OFL::String OVOReleaseLevel::ToString() const { return std::to_string(ToInt()); }

OFL::String OVOReleaseLevel::GetTextualDescription(EReleaseLevel level) {
  uint32_t id;
  switch (level) {
    case eCancelled: id = 7141; break;
    case eNotReleased: id = 7138; break;
    case eReleasedForTest: id = 7139; break;
    case eReleased: id = 7137; break;
    default: id = 7140; break;
  }
  return OFLTools::LoadResString(id);
}

}  // namespace orvacmn
