#include "ofl/base64.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstddef>

namespace OFL {
namespace {

// EVP takes int lengths: big inputs go through in slices (whole groups).
constexpr size_t kEncodeSlice = 3 * (size_t{1} << 20);
constexpr size_t kDecodeSlice = 4 * (size_t{1} << 20);

bool IsAlphabet(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

bool IsSkipped(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

String EncodeBase64(std::span<const uint8_t> bytes) {
  String out((bytes.size() + 2) / 3 * 4, '\0');
  size_t written = 0;
  for (size_t pos = 0; pos < bytes.size(); pos += kEncodeSlice) {
    const size_t n = std::min(kEncodeSlice, bytes.size() - pos);
    written += static_cast<size_t>(
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data() + written), bytes.data() + pos, static_cast<int>(n)));
  }
  out.resize(written);
  return out;
}

String EncodeBase64(std::string_view text) {
  return EncodeBase64(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

ByteBuffer DecodeBase64(std::string_view text) {
  // The alphabet characters up to where decoding ends, padded to whole
  // groups, so that EVP sees only valid ones.
  String clean;
  clean.reserve(text.size() + 3);
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsSkipped(c)) continue;
    if (!IsAlphabet(c)) break;
    clean.push_back(ch);
  }
  if (clean.size() % 4 == 1) clean.pop_back();  // one character holds no whole byte
  const size_t chars = clean.size();
  clean.append((4 - chars % 4) % 4, '=');
  ByteBuffer bytes(clean.size() / 4 * 3);
  for (size_t pos = 0; pos < clean.size(); pos += kDecodeSlice) {
    const size_t n = std::min(kDecodeSlice, clean.size() - pos);
    EVP_DecodeBlock(bytes.data() + pos / 4 * 3, reinterpret_cast<const unsigned char*>(clean.data() + pos),
                    static_cast<int>(n));
  }
  bytes.resize(chars * 3 / 4);  // without what the padding stood for
  return bytes;
}

}  // namespace OFL
