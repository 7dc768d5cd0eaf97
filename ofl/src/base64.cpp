#include "ofl/base64.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstddef>

#include "ofl/format.h"

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

bool DecodeBase64(std::string_view text, ByteBuffer& out, String& error) {
  out.clear();
  error.clear();
  // Checked and compacted first, so that EVP sees only whole, valid groups.
  String clean;
  clean.reserve(text.size());
  size_t padding = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsSkipped(c)) continue;
    if (c == '=') {
      ++padding;
    } else if (!IsAlphabet(c)) {
      error = OFLFormat("Invalid base64 character 0x%02X at offset %I64u", c, static_cast<uint64_t>(i)).str();
      return false;
    } else if (padding > 0) {
      error = OFLFormat("Base64 data continues after padding at offset %I64u", static_cast<uint64_t>(i)).str();
      return false;
    }
    clean.push_back(static_cast<char>(c));
  }
  if (clean.size() % 4 != 0) {
    error = "Base64 text is incomplete: its length is not a multiple of four characters";
    return false;
  }
  if (padding > 2) {
    error = "Base64 text has more than two padding characters";
    return false;
  }
  ByteBuffer bytes(clean.size() / 4 * 3);
  size_t written = 0;
  for (size_t pos = 0; pos < clean.size(); pos += kDecodeSlice) {
    const size_t n = std::min(kDecodeSlice, clean.size() - pos);
    const int got = EVP_DecodeBlock(bytes.data() + written, reinterpret_cast<const unsigned char*>(clean.data() + pos),
                                    static_cast<int>(n));
    if (got < 0) {
      error = "Base64 text could not be decoded";
      return false;
    }
    written += static_cast<size_t>(got);
  }
  // EVP writes the padded positions as zero bytes.
  bytes.resize(written - padding);
  out = std::move(bytes);
  return true;
}

ByteBuffer DecodeBase64(std::string_view text) {
  ByteBuffer out;
  String error;
  DecodeBase64(text, out, error);
  return out;
}

}  // namespace OFL
