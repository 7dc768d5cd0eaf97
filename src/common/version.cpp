#include "orvacmn/version.h"

namespace orvacmn {

const char* Version() { return "0.1.0"; }

}  // namespace orvacmn
