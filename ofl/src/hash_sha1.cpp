#include "ofl/hash_sha1.h"

#include <openssl/sha.h>

namespace OFL {

String HashSha1::HashString(std::string_view text) {
  unsigned char digest[SHA_DIGEST_LENGTH];
  SHA1(reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest);
  static constexpr char kHex[] = "0123456789abcdef";
  String out;
  out.reserve(2 * SHA_DIGEST_LENGTH);
  for (unsigned char b : digest) {
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

}  // namespace OFL
