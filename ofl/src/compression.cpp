#include "ofl/compression.h"

#include <bzlib.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <new>
#include <stdexcept>
#include <string_view>

#include "ofl/format.h"

namespace OFL::Compression {
namespace {

std::atomic<size_t> g_defaultLimit{kDefaultDecompressionLimit};

// The libraries count in unsigned int: inputs and outputs go in slices.
constexpr size_t kSlice = size_t{1} << 30;
constexpr size_t kFirstChunk = size_t{64} << 10;

// Decoded output up to this size is kept as it comes; a longer one is counted
// on and decoded again into a buffer of its exact size (DecodeAll).
constexpr size_t kKeepFirst = size_t{4} << 20;

// Where the output of one operation goes. The first `keep` bytes are kept in
// a buffer that grows to at most `keep` bytes (or is made that size at once
// when `exact`); bytes beyond it are only counted, written over a scratch
// area. The count stops one byte past `limit`, so that a decoder that wants
// to write more is caught without allocating what it asks for.
class Sink {
 public:
  Sink(size_t keep, size_t limit, bool exact = false)
      : keep_(std::min(keep, limit)), cap_(limit == SIZE_MAX ? SIZE_MAX : limit + 1), limit_(limit) {
    if (exact) buf_.resize(keep_);
  }

  // Points `next`/`avail` at free space; false when the cap is reached.
  template <class Char, class Count>
  bool Room(Char*& next, Count& avail) {
    if (used_ >= cap_) return false;
    uint8_t* at;
    size_t room;
    if (used_ < keep_) {
      if (used_ == buf_.size()) {
        // Reserved exactly, so that the buffer never outgrows what it keeps.
        const size_t size = std::min(keep_, used_ + std::min(std::max(kFirstChunk, used_), kSlice));
        buf_.reserve(size);
        buf_.resize(size);
      }
      at = buf_.data() + used_;
      room = buf_.size() - used_;
    } else {
      if (scratch_.empty()) scratch_.resize(kFirstChunk);
      at = scratch_.data();
      room = std::min(scratch_.size(), cap_ - used_);
    }
    next = reinterpret_cast<Char*>(at);
    avail = static_cast<Count>(std::min(room, kSlice));
    return true;
  }
  void Took(size_t n) { used_ += n; }
  bool Exceeded() const { return used_ > limit_; }
  size_t Limit() const { return limit_; }
  size_t Used() const { return used_; }
  bool KeptAll() const { return used_ <= keep_; }
  void MoveTo(ByteBuffer& out) {
    buf_.resize(used_);
    out = std::move(buf_);
  }

 private:
  ByteBuffer buf_, scratch_;
  size_t used_ = 0;
  size_t keep_;
  size_t cap_;
  size_t limit_;
};

// Runs `decode(sink, error)` over the whole input. Output beyond kKeepFirst
// bytes is decoded twice, first only counted, then into a buffer of its exact
// size: a growing buffer would hold its old and new storage at once, and so
// need twice the output when it moves.
template <class Decode>
bool DecodeAll(Decode decode, ByteBuffer& out, String& error, size_t limit) {
  size_t total;
  {
    Sink first(kKeepFirst, limit);
    if (!decode(first, error)) return false;
    if (first.KeptAll()) {
      first.MoveTo(out);
      return true;
    }
    total = first.Used();
  }
  Sink exact(total, total, true);
  if (!decode(exact, error)) return false;
  exact.MoveTo(out);
  return true;
}

String LimitText(size_t limit) {
  return OFLFormat("Decompressed data exceeds the limit of %I64u bytes", static_cast<uint64_t>(limit)).str();
}

String BZip2Text(int rc) {
  switch (rc) {
    case BZ_PARAM_ERROR: return "bzip2: invalid parameter";
    case BZ_MEM_ERROR: return "bzip2: out of memory";
    case BZ_DATA_ERROR: return "bzip2: compressed data is corrupt";
    case BZ_DATA_ERROR_MAGIC: return "bzip2: data is not bzip2-compressed";
    case BZ_CONFIG_ERROR: return "bzip2: library is misconfigured";
    default: return OFLFormat("bzip2: error %d", rc).str();
  }
}

String ZlibText(int rc, const z_stream& s) {
  if (s.msg != nullptr) return String("gzip: ") + s.msg;
  switch (rc) {
    case Z_MEM_ERROR: return "gzip: out of memory";
    case Z_DATA_ERROR: return "gzip: compressed data is corrupt";
    case Z_STREAM_ERROR: return "gzip: invalid parameter";
    default: return OFLFormat("gzip: error %d", rc).str();
  }
}

bool StartsWith(std::span<const uint8_t> bytes, std::string_view magic) {
  return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin(),
                                                    [](char m, uint8_t b) { return static_cast<uint8_t>(m) == b; });
}

const char kTruncated[] = "%s: compressed data ends unexpectedly";
const char kTrailing[] = "%s: data follows the end of the compressed stream";

// Feeds the next input slice when the stream has consumed the last one.
template <class Stream, class Char>
void Feed(Stream& s, std::span<const uint8_t> in, size_t& pos, Char*) {
  if (s.avail_in != 0 || pos >= in.size()) return;
  const size_t n = std::min(kSlice, in.size() - pos);
  s.next_in = reinterpret_cast<Char*>(const_cast<uint8_t*>(in.data() + pos));
  s.avail_in = static_cast<unsigned>(n);
  pos += n;
}

// Decodes the bzip2 streams of `in`, one after another, into `sink`.
bool BZip2Decode(std::span<const uint8_t> in, Sink& sink, String& error, int verbosity) {
  size_t pos = 0;
  for (;;) {
    bz_stream s{};
    int rc = BZ2_bzDecompressInit(&s, verbosity, 0);
    if (rc != BZ_OK) {
      error = BZip2Text(rc);
      return false;
    }
    struct End {
      bz_stream& s;
      ~End() { BZ2_bzDecompressEnd(&s); }
    } end{s};
    for (;;) {
      Feed(s, in, pos, static_cast<char*>(nullptr));
      if (s.avail_out == 0 && !sink.Room(s.next_out, s.avail_out)) {
        error = LimitText(sink.Limit());
        return false;
      }
      const unsigned inBefore = s.avail_in, outBefore = s.avail_out;
      rc = BZ2_bzDecompress(&s);
      sink.Took(outBefore - s.avail_out);
      if (sink.Exceeded()) {
        error = LimitText(sink.Limit());
        return false;
      }
      if (rc == BZ_STREAM_END) break;
      if (rc != BZ_OK) {
        error = BZip2Text(rc);
        return false;
      }
      if (inBefore == s.avail_in && outBefore == s.avail_out && s.avail_in == 0 && pos >= in.size()) {
        error = OFLFormat(kTruncated, "bzip2").str();
        return false;
      }
    }
    pos -= s.avail_in;  // what the stream left of its slice
    if (pos == in.size()) return true;
    if (!StartsWith(in.subspan(pos), "BZh")) {
      error = OFLFormat(kTrailing, "bzip2").str();
      return false;
    }
  }
}

bool BZip2Compress(std::span<const uint8_t> in, ByteBuffer& out, String& error, int blockSize, int verbosity,
                   int workFactor) {
  bz_stream s{};
  int rc = BZ2_bzCompressInit(&s, blockSize, verbosity, workFactor);
  if (rc != BZ_OK) {
    error = BZip2Text(rc);
    return false;
  }
  struct End {
    bz_stream& s;
    ~End() { BZ2_bzCompressEnd(&s); }
  } end{s};
  Sink sink(SIZE_MAX, SIZE_MAX);
  size_t pos = 0;
  for (;;) {
    Feed(s, in, pos, static_cast<char*>(nullptr));
    // The last slice goes with BZ_FINISH, which wants avail_in left alone.
    const int action = pos >= in.size() ? BZ_FINISH : BZ_RUN;
    if (s.avail_out == 0 && !sink.Room(s.next_out, s.avail_out)) {
      error = BZip2Text(BZ_MEM_ERROR);
      return false;
    }
    const unsigned outBefore = s.avail_out;
    rc = BZ2_bzCompress(&s, action);
    sink.Took(outBefore - s.avail_out);
    if (rc == BZ_STREAM_END) break;
    if (rc != BZ_RUN_OK && rc != BZ_FINISH_OK) {
      error = BZip2Text(rc);
      return false;
    }
  }
  sink.MoveTo(out);
  return true;
}

// Decodes the gzip members of `in`, one after another, into `sink`.
bool GZipDecode(std::span<const uint8_t> in, Sink& sink, String& error) {
  z_stream s{};
  int rc = inflateInit2(&s, 16 + MAX_WBITS);
  if (rc != Z_OK) {
    error = ZlibText(rc, s);
    return false;
  }
  struct End {
    z_stream& s;
    ~End() { inflateEnd(&s); }
  } end{s};
  size_t pos = 0;
  for (;;) {
    Feed(s, in, pos, static_cast<Bytef*>(nullptr));
    if (s.avail_out == 0 && !sink.Room(s.next_out, s.avail_out)) {
      error = LimitText(sink.Limit());
      return false;
    }
    const unsigned inBefore = s.avail_in, outBefore = s.avail_out;
    rc = inflate(&s, Z_NO_FLUSH);
    sink.Took(outBefore - s.avail_out);
    if (sink.Exceeded()) {
      error = LimitText(sink.Limit());
      return false;
    }
    if (rc == Z_STREAM_END) {
      const size_t next = pos - s.avail_in;
      if (next == in.size()) return true;
      if (!StartsWith(in.subspan(next), "\x1F\x8B")) {
        error = OFLFormat(kTrailing, "gzip").str();
        return false;
      }
      inflateReset(&s);  // the next member, with the same decoder
      continue;
    }
    if (rc == Z_BUF_ERROR || (rc == Z_OK && inBefore == s.avail_in && outBefore == s.avail_out)) {
      if (s.avail_in == 0 && pos >= in.size()) {
        error = OFLFormat(kTruncated, "gzip").str();
        return false;
      }
      continue;  // room or input is given at the top
    }
    if (rc != Z_OK) {
      error = ZlibText(rc == Z_NEED_DICT ? Z_DATA_ERROR : rc, s);
      return false;
    }
  }
}

bool GZipCompress(std::span<const uint8_t> in, ByteBuffer& out, String& error) {
  z_stream s{};
  int rc = deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  if (rc != Z_OK) {
    error = ZlibText(rc, s);
    return false;
  }
  struct End {
    z_stream& s;
    ~End() { deflateEnd(&s); }
  } end{s};
  Sink sink(SIZE_MAX, SIZE_MAX);
  size_t pos = 0;
  for (;;) {
    Feed(s, in, pos, static_cast<Bytef*>(nullptr));
    const int flush = pos >= in.size() ? Z_FINISH : Z_NO_FLUSH;
    if (s.avail_out == 0 && !sink.Room(s.next_out, s.avail_out)) {
      error = ZlibText(Z_MEM_ERROR, s);
      return false;
    }
    const unsigned outBefore = s.avail_out;
    rc = deflate(&s, flush);
    sink.Took(outBefore - s.avail_out);
    if (rc == Z_STREAM_END) break;
    if (rc != Z_OK && rc != Z_BUF_ERROR) {
      error = ZlibText(rc, s);
      return false;
    }
  }
  sink.MoveTo(out);
  return true;
}

// Runs `op` with an output of its own, so that `out` may be the input, and
// turns an allocation failure (a limit set beyond the memory) into a reason.
template <class Op>
bool Guarded(ByteBuffer& out, String& error, Op op) {
  error.clear();
  ByteBuffer result;
  bool ok = false;
  try {
    ok = op(result);
  } catch (const std::bad_alloc&) {
    error = "Out of memory";
  } catch (const std::length_error&) {
    error = "Out of memory";
  }
  if (ok) out = std::move(result);
  else out.clear();
  return ok;
}

}  // namespace

void SetDefaultDecompressionLimit(size_t bytes) { g_defaultLimit.store(bytes, std::memory_order_relaxed); }

size_t GetDefaultDecompressionLimit() { return g_defaultLimit.load(std::memory_order_relaxed); }

OFLBZip2Compression::OFLBZip2Compression(int blockSize, int verbosity, int workFactor)
    : blockSize_(blockSize), verbosity_(verbosity), workFactor_(workFactor), limit_(GetDefaultDecompressionLimit()) {}

bool OFLBZip2Compression::Compress(std::span<const uint8_t> in, ByteBuffer& out, String& error) const {
  return Guarded(out, error, [&](ByteBuffer& r) {
    return BZip2Compress(in, r, error, blockSize_, verbosity_, workFactor_);
  });
}

bool OFLBZip2Compression::Decompress(std::span<const uint8_t> in, ByteBuffer& out, String& error) const {
  // libbz2 accepts verbosity 0..4 for both directions.
  const int verbosity = std::clamp(verbosity_, 0, 4);
  return Guarded(out, error, [&](ByteBuffer& r) {
    return DecodeAll([&](Sink& sink, String& e) { return BZip2Decode(in, sink, e, verbosity); }, r, error, limit_);
  });
}

bool OFLGZipCompression::Compress(std::span<const uint8_t> in, ByteBuffer& out, String& error) {
  return Guarded(out, error, [&](ByteBuffer& r) { return GZipCompress(in, r, error); });
}

bool OFLGZipCompression::Decompress(std::span<const uint8_t> in, ByteBuffer& out, String& error) {
  return Decompress(in, out, error, GetDefaultDecompressionLimit());
}

bool OFLGZipCompression::Decompress(std::span<const uint8_t> in, ByteBuffer& out, String& error, size_t limit) {
  return Guarded(out, error, [&](ByteBuffer& r) {
    return DecodeAll([&](Sink& sink, String& e) { return GZipDecode(in, sink, e); }, r, error, limit);
  });
}

}  // namespace OFL::Compression
