// OFLCryptor: encryption of texts the suite stores and sends but does not
// show (the file lists of software scan rules). A text encrypts to printable
// base64 that fits into an XML node; only a cryptor of the same mode reads
// it back, and any change to the encrypted text is detected.
//
// AES-256-GCM under a key derived from the library's own secret and the
// mode, with the nonce a keyed hash of the text (as in synthetic-IV modes),
// so that equal texts encrypt equally and packed objects compare: "1" (the
// form's version), then base64 of nonce, cipher text and tag. Stateless
// after construction; any thread.
#ifndef OFL_CRYPTOR_H_
#define OFL_CRYPTOR_H_

#include <array>
#include <cstdint>
#include <string_view>

#include "ofl/string.h"

class OFLCryptor {
 public:
  using String = OFL::String;

  // Mode 0 is the suite's default key.
  explicit OFLCryptor(uint32_t mode = 0);

  // Empty only for a text beyond 2 GiB.
  String EncryptString(std::string_view plain) const;
  // False (and `plain` empty) for a text that this mode did not encrypt,
  // or that was changed or cut.
  bool DecryptString(std::string_view encrypted, String& plain) const;

 private:
  std::array<uint8_t, 32> key_;
  std::array<uint8_t, 32> nonceKey_;
};

#endif  // OFL_CRYPTOR_H_
