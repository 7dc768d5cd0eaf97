// The string cryptor: what it encrypts reads back, and nothing else does.
#include <gtest/gtest.h>

#include "ofl/base64.h"
#include "ofl/cryptor.h"

namespace {

TEST(Cryptor, RoundTripsAnyText) {
  const OFLCryptor cryptor;
  for (const std::string& plain : {std::string(), std::string("a"), std::string("nul\0inside", 10),
                                  std::string(100000, 'x'), std::string("\xFF\xFE<&>")}) {
    const std::string encrypted = cryptor.EncryptString(plain);
    EXPECT_EQ(encrypted.find_first_of("<&>\"'\n"), std::string::npos);
    std::string back = "stale";
    ASSERT_TRUE(cryptor.DecryptString(encrypted, back));
    EXPECT_EQ(back, plain);
  }
  // Equal texts encrypt equally, so packs compare; different texts differ
  // from their first bytes on (their nonces differ).
  EXPECT_EQ(cryptor.EncryptString("same"), OFLCryptor().EncryptString("same"));
  EXPECT_NE(cryptor.EncryptString("same").substr(0, 17), cryptor.EncryptString("samf").substr(0, 17));
  EXPECT_NE(cryptor.EncryptString("same"), OFLCryptor(1).EncryptString("same"));
}

TEST(Cryptor, RefusesWhatItDidNotMake) {
  const OFLCryptor cryptor;
  const std::string encrypted = cryptor.EncryptString("rules");
  std::string out = "stale";
  EXPECT_FALSE(OFLCryptor(1).DecryptString(encrypted, out));
  EXPECT_TRUE(out.empty());
  std::string tampered = encrypted;
  tampered[10] = tampered[10] == 'A' ? 'B' : 'A';
  EXPECT_FALSE(cryptor.DecryptString(tampered, out));
  EXPECT_FALSE(cryptor.DecryptString(encrypted.substr(0, encrypted.size() - 4), out));
  EXPECT_FALSE(cryptor.DecryptString(std::string("2").append(encrypted, 1), out));
  for (const char* garbage : {"", "1", "1@@@@", "1AAAA", "plain text", "1AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"})
    EXPECT_FALSE(cryptor.DecryptString(garbage, out)) << garbage;
  // Exactly nonce and tag, nothing between: the empty text, if the tag fits.
  EXPECT_FALSE(cryptor.DecryptString(std::string("1").append(OFL::EncodeBase64(std::string(28, 'k'))), out));
}

}  // namespace
