// Version of the library.
#ifndef ORVACMN_VERSION_H_
#define ORVACMN_VERSION_H_

namespace orvacmn {

// "MAJOR.MINOR.PATCH".
const char* Version();

}  // namespace orvacmn

#endif  // ORVACMN_VERSION_H_
