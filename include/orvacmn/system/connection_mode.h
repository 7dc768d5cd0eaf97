// EConnectionMode: how the server reaches a managed system's agent, which
// decides the address it uses (OVOSystem::GetClientAddress).
#ifndef ORVACMN_SYSTEM_CONNECTION_MODE_H_
#define ORVACMN_SYSTEM_CONNECTION_MODE_H_

#include <cstdint>

namespace orvacmn {

enum EConnectionMode : int32_t {
  eConnectByName = 0,     // the host name, resolved
  eConnectByIPFirst = 1,  // the primary IP when known, else the host name
  eConnectByIPOnly = 2,   // the primary IP only
};

}  // namespace orvacmn

#endif  // ORVACMN_SYSTEM_CONNECTION_MODE_H_
