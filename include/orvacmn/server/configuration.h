// CConfiguration: the server's configuration values that the library's
// server helpers take as arguments. Only the enumerations live here; the
// server reads and keeps the values.
#ifndef ORVACMN_SERVER_CONFIGURATION_H_
#define ORVACMN_SERVER_CONFIGURATION_H_

#include <cstdint>

namespace orvacmn {

class CConfiguration {
 public:
  // Whether an agent's reported address prefixes update the stored primary
  // subnet mask.
  enum EIPUpdateMode : int32_t {
    eIPUpdateOff = 0,
    eIPUpdateSubnetMask = 1,
  };
};

}  // namespace orvacmn

#endif  // ORVACMN_SERVER_CONFIGURATION_H_
