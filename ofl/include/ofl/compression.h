// Byte-buffer compression: bzip2 (the format of libbz2) and gzip (the gzip
// file format of RFC 1952).
//
// Every operation returns false with a readable reason on failure and never
// throws. Decompression stops at a limit on the decompressed size and reports
// that as a failure, so a small hostile input (a "bomb") cannot make the
// process allocate without bound; work is bounded by the input length and
// the limit. Input and output may be the same buffer. The input may hold
// several streams (gzip members) one after another, as concatenated files
// do; their output is joined, and the limit holds for the whole. Anything
// else after a stream is an error. Memory: the output, the decoder's state
// and a few MiB; an output above 4 MiB is decoded twice (counted first, then
// written into a buffer of its exact size) rather than held twice while a
// growing buffer moves.
//
// The objects are plain values; the process-wide default limit is meant to be
// set once at start and only read afterwards.
#ifndef OFL_COMPRESSION_H_
#define OFL_COMPRESSION_H_

#include <cstddef>
#include <cstdint>
#include <span>

#include "ofl/byte_buffer.h"
#include "ofl/string.h"

namespace OFL::Compression {

inline constexpr size_t kDefaultDecompressionLimit = size_t{256} << 20;  // 256 MiB

// The limit that decompressors take when they are not given their own.
void SetDefaultDecompressionLimit(size_t bytes);
size_t GetDefaultDecompressionLimit();

class OFLBZip2Compression {
 public:
  // libbz2's parameters: block size 1..9 (x 100 kB), verbosity 0..4 (written
  // to stderr by libbz2), work factor 0..250. Values out of range make every
  // Compress fail.
  explicit OFLBZip2Compression(int blockSize = 9, int verbosity = 0, int workFactor = 30);

  bool Compress(std::span<const uint8_t> in, ByteBuffer& out, String& error) const;
  bool Decompress(std::span<const uint8_t> in, ByteBuffer& out, String& error) const;

  // Taken from the default at construction.
  void SetDecompressionLimit(size_t bytes) { limit_ = bytes; }
  size_t GetDecompressionLimit() const { return limit_; }

 private:
  int blockSize_;
  int verbosity_;
  int workFactor_;
  size_t limit_;
};

class OFLGZipCompression {
 public:
  static bool Compress(std::span<const uint8_t> in, ByteBuffer& out, String& error);
  // With the default limit, or with `limit`.
  static bool Decompress(std::span<const uint8_t> in, ByteBuffer& out, String& error);
  static bool Decompress(std::span<const uint8_t> in, ByteBuffer& out, String& error, size_t limit);
};

}  // namespace OFL::Compression

#endif  // OFL_COMPRESSION_H_
