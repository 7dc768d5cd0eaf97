// SHA-1 digests of texts, as a short fingerprint of what a client last
// reported (not for security). Stateless; any thread.
#ifndef OFL_HASH_SHA1_H_
#define OFL_HASH_SHA1_H_

#include <string_view>

#include "ofl/string.h"

namespace OFL {

class HashSha1 {
 public:
  // The digest of the bytes of `text`: 40 lower-case hexadecimal digits.
  static String HashString(std::string_view text);
};

}  // namespace OFL

#endif  // OFL_HASH_SHA1_H_
