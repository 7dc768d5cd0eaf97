#include "ofl/cryptor.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/sha.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "ofl/base64.h"

namespace {

constexpr char kVersion = '1';
constexpr size_t kNonceSize = 12, kTagSize = 16;
constexpr std::string_view kSecret = "orvacmn string cryptor: scan rules and other texts not shown";

struct ContextFree {
  void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};
using Context = std::unique_ptr<EVP_CIPHER_CTX, ContextFree>;

}  // namespace

OFLCryptor::OFLCryptor(uint32_t mode) {
  OFL::String material(kSecret);
  for (int i = 0; i < 4; ++i) material += static_cast<char>(mode >> (8 * i));
  SHA256(reinterpret_cast<const unsigned char*>(material.data()), material.size(), key_.data());
  material += "/nonce";
  SHA256(reinterpret_cast<const unsigned char*>(material.data()), material.size(), nonceKey_.data());
}

OFL::String OFLCryptor::EncryptString(std::string_view plain) const {
  if (plain.size() > INT_MAX - 64) return String();
  // The nonce is a keyed hash of the text, as in synthetic-IV modes: equal
  // texts encrypt equally, different ones under different nonces.
  unsigned char mac[EVP_MAX_MD_SIZE];
  unsigned int macSize = 0;
  if (!HMAC(EVP_sha256(), nonceKey_.data(), static_cast<int>(nonceKey_.size()),
            reinterpret_cast<const unsigned char*>(plain.data()), plain.size(), mac, &macSize))
    return String();
  OFL::ByteBuffer out(kNonceSize + plain.size() + kTagSize);
  std::copy(mac, mac + kNonceSize, out.begin());
  Context ctx(EVP_CIPHER_CTX_new());
  int length = 0, final = 0;
  if (!ctx || EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, key_.data(), out.data()) != 1 ||
      EVP_EncryptUpdate(ctx.get(), out.data() + kNonceSize, &length,
                        reinterpret_cast<const unsigned char*>(plain.data()), static_cast<int>(plain.size())) != 1 ||
      EVP_EncryptFinal_ex(ctx.get(), out.data() + kNonceSize + length, &final) != 1 ||
      EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, kTagSize, out.data() + kNonceSize + plain.size()) != 1)
    return String();
  return kVersion + OFL::EncodeBase64(out);
}

bool OFLCryptor::DecryptString(std::string_view encrypted, String& plain) const {
  plain.clear();
  if (encrypted.empty() || encrypted.front() != kVersion) return false;
  const OFL::ByteBuffer bytes = OFL::DecodeBase64(encrypted.substr(1));
  if (bytes.size() < kNonceSize + kTagSize || bytes.size() > INT_MAX) return false;
  const size_t size = bytes.size() - kNonceSize - kTagSize;
  String out(size, '\0');
  Context ctx(EVP_CIPHER_CTX_new());
  int length = 0, final = 0;
  OFL::ByteBuffer tag(bytes.end() - kTagSize, bytes.end());
  if (!ctx || EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, key_.data(), bytes.data()) != 1 ||
      EVP_DecryptUpdate(ctx.get(), reinterpret_cast<unsigned char*>(out.data()), &length, bytes.data() + kNonceSize,
                        static_cast<int>(size)) != 1 ||
      EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, kTagSize, tag.data()) != 1 ||
      EVP_DecryptFinal_ex(ctx.get(), reinterpret_cast<unsigned char*>(out.data()) + length, &final) != 1)
    return false;
  plain = std::move(out);
  return true;
}
