// The %name% substitution of one INF line (not exported).
#ifndef ORVACMN_SRC_DRIVERS_INF_SUBSTITUTION_H_
#define ORVACMN_SRC_DRIVERS_INF_SUBSTITUTION_H_

#include <functional>
#include <string_view>

#include "orvacmn/common/types.h"

namespace orvacmn {
namespace inf {

// The value of a token's name, or null for a name without one; the pointer
// stays valid until the next call.
using TokenLookup = std::function<const String*(std::string_view name)>;

// Runs the passes on `line`: each pass takes the first "%" and the next "%"
// after it, and replaces every occurrence of that "%name%" (left to right,
// case respected) by the name's value, or by the bare name when it has none.
// It stops when no pair is left, after `maxPasses` passes, or before a pass
// would take the line's work beyond a bound proportional to its length
// (with a floor that ordinary lines never reach); the line then keeps what
// the passes made so far. Returns the passes made.
//
// Passes on a long line cost what they change, not its length, so a line of
// many distinct tokens makes all its passes; a line whose passes come back
// to an earlier text gets the text of the last pass without making them.
int SubstituteTokens(String& line, const TokenLookup& lookup, int maxPasses);

}  // namespace inf
}  // namespace orvacmn

#endif  // ORVACMN_SRC_DRIVERS_INF_SUBSTITUTION_H_
