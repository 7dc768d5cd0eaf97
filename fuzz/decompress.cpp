// Arbitrary bytes through the base64, bzip2 and gzip decoders with a small limit: whatever decodes re-encodes to
// something that decodes to the same bytes, nothing exceeds the limit, and every refusal carries a reason. Streams
// decode one after another: an input twice over decodes to its output twice.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "ofl/base64.h"
#include "ofl/compression.h"

#include "check.h"

using OFL::ByteBuffer;
using OFL::String;
using OFL::Compression::OFLBZip2Compression;
using OFL::Compression::OFLGZipCompression;

constexpr size_t kLimit = size_t{1} << 20;

// `decode` of the input twice over gives its output twice over.
template <class Decode>
void CheckTwice(const std::string& text, const ByteBuffer& out, Decode decode) {
  const std::string twice = text + text;
  ByteBuffer both;
  Check(decode(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(twice.data()), twice.size()), both) &&
            both.size() == 2 * out.size() && std::equal(out.begin(), out.end(), both.begin()) &&
            std::equal(out.begin(), out.end(), both.begin() + static_cast<std::ptrdiff_t>(out.size())),
        "a second stream does not read as the first");
}

FUZZ_TEXT(text) {
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  ByteBuffer out, again;
  String error;

  // Base64 decoding never fails: it ends at the first character outside the alphabet and blanks.
  out = OFL::DecodeBase64(text);
  Check(out.size() <= text.size() * 3 / 4);
  Check(OFL::DecodeBase64(OFL::EncodeBase64(out)) == out, "base64 does not read back");
  const size_t stop = text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/ \t\r\n");
  if (stop != std::string::npos) Check(OFL::DecodeBase64(text.substr(0, stop)) == out, "base64 reads past its end");

  OFLBZip2Compression bzip2;
  bzip2.SetDecompressionLimit(kLimit);
  if (bzip2.Decompress(bytes, out, error)) {
    Check(out.size() <= kLimit);
    OFLBZip2Compression larger;
    larger.SetDecompressionLimit(2 * kLimit);
    CheckTwice(text, out, [&](std::span<const uint8_t> in, ByteBuffer& o) { return larger.Decompress(in, o, error); });
    Check(bzip2.Compress(out, again, error) && bzip2.Decompress(again, again, error) && again == out,
          "bzip2 does not read back");
  } else {
    Check(!error.empty(), "bzip2 refusal without reason");
  }

  if (OFLGZipCompression::Decompress(bytes, out, error, kLimit)) {
    Check(out.size() <= kLimit);
    CheckTwice(text, out, [&](std::span<const uint8_t> in, ByteBuffer& o) {
      return OFLGZipCompression::Decompress(in, o, error, 2 * kLimit);
    });
    Check(OFLGZipCompression::Compress(out, again, error) && OFLGZipCompression::Decompress(again, again, error) &&
              again == out,
          "gzip does not read back");
  } else {
    Check(!error.empty(), "gzip refusal without reason");
  }

  // The input itself compresses and comes back.
  Check(bzip2.Compress(bytes, out, error) && bzip2.Decompress(out, again, error) &&
            again == ByteBuffer(bytes.begin(), bytes.end()),
        "bzip2 round trip");
}
