// Arbitrary bytes through the base64, bzip2 and gzip decoders with a small limit: whatever decodes re-encodes to
// something that decodes to the same bytes, nothing exceeds the limit, and every refusal carries a reason.
#include <cstdint>
#include <span>

#include "ofl/base64.h"
#include "ofl/compression.h"

#include "check.h"

using OFL::ByteBuffer;
using OFL::String;
using OFL::Compression::OFLBZip2Compression;
using OFL::Compression::OFLGZipCompression;

constexpr size_t kLimit = size_t{1} << 20;

FUZZ_TEXT(text) {
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  ByteBuffer out, again;
  String error;

  if (OFL::DecodeBase64(text, out, error)) {
    Check(error.empty() && out.size() <= text.size() / 4 * 3);
    Check(OFL::DecodeBase64(OFL::EncodeBase64(out)) == out, "base64 does not read back");
  } else {
    Check(!error.empty() && out.empty(), "base64 refusal without reason");
  }

  OFLBZip2Compression bzip2;
  bzip2.SetDecompressionLimit(kLimit);
  if (bzip2.Decompress(bytes, out, error)) {
    Check(out.size() <= kLimit);
    Check(bzip2.Compress(out, again, error) && bzip2.Decompress(again, again, error) && again == out,
          "bzip2 does not read back");
  } else {
    Check(!error.empty(), "bzip2 refusal without reason");
  }

  if (OFLGZipCompression::Decompress(bytes, out, error, kLimit)) {
    Check(out.size() <= kLimit);
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
