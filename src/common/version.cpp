#include "orvacmn/version.h"

namespace orvacmn {

const char* Version() { return ORVACMN_VERSION; }

}  // namespace orvacmn
