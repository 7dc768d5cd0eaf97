// Base64, bzip2 and gzip of byte buffers: round trips, the decoders' refusals
// with reasons, and the decompression limit against bombs.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "ofl/base64.h"
#include "ofl/compression.h"
#include "ofl/tools.h"

namespace {

using OFL::ByteBuffer;
using OFL::String;
using OFL::Compression::OFLBZip2Compression;
using OFL::Compression::OFLGZipCompression;

ByteBuffer Bytes(const std::string& s) { return ByteBuffer(s.begin(), s.end()); }

ByteBuffer Random(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  ByteBuffer b(n);
  for (auto& c : b) c = static_cast<uint8_t>(gen());
  return b;
}

TEST(Base64, EncodesWithPaddingAndDecodesBack) {
  struct Case { const char* plain; const char* encoded; } const cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"\xff\xfe", "//4="}};
  for (const auto& c : cases) {
    EXPECT_EQ(OFL::EncodeBase64(std::string_view(c.plain)), c.encoded);
    EXPECT_EQ(OFL::DecodeBase64(c.encoded), Bytes(c.plain)) << c.encoded;
  }
  const ByteBuffer all = Random(100000, 1);
  const String text = OFL::EncodeBase64(all);
  EXPECT_EQ(text.find_first_of("\r\n"), String::npos);
  EXPECT_EQ(OFL::DecodeBase64(text), all);
}

// Decoding never fails: blanks are skipped, padding is optional, and the
// first other character outside the alphabet ends the text.
TEST(Base64, SkipsBlanksTakesUnpaddedTextsAndEndsAtAnythingElse) {
  const std::pair<std::string_view, const char*> cases[] = {
      {" Zm9v\r\nYm Fy\t", "foobar"}, {"Zm9vYmE", "fooba"}, {"Zm9vYg", "foob"}, {"Zm9vY", "foo"},
      {"Zm9v!Zm9v", "foo"}, {"Zm9", "fo"}, {"Zg=", "f"}, {"Zg==Zg==", "f"}, {"Z===", ""}, {"Zm=v", "f"},
      {"Zm9v\x80", "foo"}, {std::string_view("Zm9v\0Zm9v", 9), "foo"}, {"-_Zm9v", ""}, {"", ""}};
  for (const auto& [text, plain] : cases) EXPECT_EQ(OFL::DecodeBase64(text), Bytes(plain)) << text;
}

TEST(Compression, BothMethodsRoundTripAnyBytesInPlace) {
  const OFLBZip2Compression bzip2;
  for (const ByteBuffer& plain : {ByteBuffer(), Bytes("a"), ByteBuffer(100000, 'x'), Random(70000, 2)}) {
    ByteBuffer buf = plain;
    String error;
    ASSERT_TRUE(bzip2.Compress(buf, buf, error)) << error;
    EXPECT_EQ(std::string(buf.begin(), buf.begin() + 3), "BZh");
    ASSERT_TRUE(bzip2.Decompress(buf, buf, error)) << error;
    EXPECT_EQ(buf, plain);
    buf = plain;
    ASSERT_TRUE(OFLGZipCompression::Compress(buf, buf, error)) << error;
    EXPECT_EQ(buf[0], 0x1F);
    EXPECT_EQ(buf[1], 0x8B);
    ASSERT_TRUE(OFLGZipCompression::Decompress(buf, buf, error)) << error;
    EXPECT_EQ(buf, plain);
  }
}

TEST(Compression, RefusesDamagedTruncatedAndTrailingData) {
  const OFLBZip2Compression bzip2;
  ByteBuffer bz, gz, out;
  String error;
  const ByteBuffer plain = Random(5000, 3);
  ASSERT_TRUE(bzip2.Compress(plain, bz, error));
  ASSERT_TRUE(OFLGZipCompression::Compress(plain, gz, error));

  struct Case { ByteBuffer input; const char* bzError; const char* gzError; };
  auto cut = [](const ByteBuffer& b) { return ByteBuffer(b.begin(), b.end() - 10); };
  auto extra = [](ByteBuffer b) { b.push_back(0); return b; };
  const Case cases[] = {
      {ByteBuffer(), "bzip2: compressed data ends unexpectedly", "gzip: compressed data ends unexpectedly"},
      {Bytes("plain text"), "bzip2: data is not bzip2-compressed", "gzip: incorrect header check"},
      {cut(bz), "bzip2: compressed data ends unexpectedly", nullptr},
      {cut(gz), nullptr, "gzip: compressed data ends unexpectedly"},
      {extra(bz), "bzip2: data follows the end of the compressed stream", nullptr},
      {extra(gz), nullptr, "gzip: data follows the end of the compressed stream"},
  };
  for (const Case& c : cases) {
    if (c.bzError) {
      EXPECT_FALSE(bzip2.Decompress(c.input, out, error));
      EXPECT_EQ(error, c.bzError);
    }
    if (c.gzError) {
      EXPECT_FALSE(OFLGZipCompression::Decompress(c.input, out, error));
      EXPECT_EQ(error, c.gzError);
    }
  }
  ByteBuffer damaged = bz;
  damaged[damaged.size() / 2] ^= 0x55;
  EXPECT_FALSE(bzip2.Decompress(damaged, out, error));
  EXPECT_EQ(error, "bzip2: compressed data is corrupt");
  EXPECT_FALSE(OFLBZip2Compression(10).Compress(plain, out, error));
  EXPECT_EQ(error, "bzip2: invalid parameter");
}

// 16 MiB of zeros shrink to a few hundred bytes; a small limit stops both
// decoders (the exact limit holds: see the tests below).
TEST(Compression, LimitStopsBombsAndHoldsExactly) {
  const ByteBuffer zeros(size_t{16} << 20, 0);
  ByteBuffer bz, gz, out;
  String error;
  OFLBZip2Compression bzip2;
  ASSERT_TRUE(bzip2.Compress(zeros, bz, error));
  ASSERT_TRUE(OFLGZipCompression::Compress(zeros, gz, error));
  ASSERT_LT(bz.size(), 1000u);
  bzip2.SetDecompressionLimit(1 << 20);
  EXPECT_FALSE(bzip2.Decompress(bz, out, error));
  EXPECT_EQ(error, "Decompressed data exceeds the limit of 1048576 bytes");
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(OFLGZipCompression::Decompress(gz, out, error, 1 << 20));
  EXPECT_EQ(error, "Decompressed data exceeds the limit of 1048576 bytes");
}

// Concatenated gzip members and bzip2 streams read as one, within one limit
// for the whole; anything else after a stream is refused.
TEST(Compression, ReadsEveryStreamOfTheInput) {
  const ByteBuffer a = Bytes("first part, "), b(3000, 'b');
  OFLBZip2Compression bzip2;
  ByteBuffer bz, gz, part, out;
  String error;
  for (const ByteBuffer* p : {&a, &b, &a}) {
    ASSERT_TRUE(bzip2.Compress(*p, part, error));
    bz.insert(bz.end(), part.begin(), part.end());
    ASSERT_TRUE(OFLGZipCompression::Compress(*p, part, error));
    gz.insert(gz.end(), part.begin(), part.end());
  }
  ByteBuffer all = a;
  all.insert(all.end(), b.begin(), b.end());
  all.insert(all.end(), a.begin(), a.end());
  ASSERT_TRUE(bzip2.Decompress(bz, out, error)) << error;
  EXPECT_EQ(out, all);
  ASSERT_TRUE(OFLGZipCompression::Decompress(gz, out, error)) << error;
  EXPECT_EQ(out, all);

  bzip2.SetDecompressionLimit(all.size());
  EXPECT_TRUE(bzip2.Decompress(bz, out, error) && OFLGZipCompression::Decompress(gz, out, error, all.size()));
  bzip2.SetDecompressionLimit(all.size() - 1);
  EXPECT_FALSE(bzip2.Decompress(bz, out, error));
  EXPECT_EQ(error, "Decompressed data exceeds the limit of 3023 bytes");
  EXPECT_FALSE(OFLGZipCompression::Decompress(gz, out, error, all.size() - 1));
  EXPECT_EQ(error, "Decompressed data exceeds the limit of 3023 bytes");

  const auto with = [](ByteBuffer in, std::string_view tail) {
    in.insert(in.end(), tail.begin(), tail.end());
    return in;
  };
  EXPECT_FALSE(OFLGZipCompression::Decompress(with(gz, "\x1F"), out, error));
  EXPECT_EQ(error, "gzip: data follows the end of the compressed stream");
  EXPECT_FALSE(OFLGZipCompression::Decompress(with(gz, "\x1F\x8B"), out, error));
  EXPECT_EQ(error, "gzip: compressed data ends unexpectedly");
  bzip2.SetDecompressionLimit(1 << 20);
  EXPECT_FALSE(bzip2.Decompress(with(bz, "BZ"), out, error));
  EXPECT_EQ(error, "bzip2: data follows the end of the compressed stream");
  EXPECT_FALSE(bzip2.Decompress(with(bz, "BZh9"), out, error));
  EXPECT_EQ(error, "bzip2: compressed data ends unexpectedly");
}

// Outputs beyond the first few MiB are counted, then decoded again into a
// buffer of their exact size: the same bytes, and the limit exactly.
TEST(Compression, LargeOutputsReadBackExactly) {
  ByteBuffer plain = Random(size_t{6} << 20, 4);
  for (size_t i = 0; i < plain.size(); i += 3) plain[i] = 0;
  ByteBuffer bz, gz, out;
  String error;
  OFLBZip2Compression bzip2;
  ASSERT_TRUE(bzip2.Compress(plain, bz, error));
  ASSERT_TRUE(OFLGZipCompression::Compress(plain, gz, error));
  bzip2.SetDecompressionLimit(plain.size());
  ASSERT_TRUE(bzip2.Decompress(bz, out, error)) << error;
  EXPECT_TRUE(out == plain);
  ASSERT_TRUE(OFLGZipCompression::Decompress(gz, out, error, plain.size())) << error;
  EXPECT_TRUE(out == plain);
  EXPECT_EQ(out.capacity(), plain.size());
  bzip2.SetDecompressionLimit(plain.size() - 1);
  EXPECT_FALSE(bzip2.Decompress(bz, out, error));
  EXPECT_FALSE(OFLGZipCompression::Decompress(gz, out, error, plain.size() - 1));
}

// The memory of a decompression is its output and a few MiB, whether it ends
// within the limit or is refused at it: checked in a child process whose
// address space is capped at the limit plus 24 MiB (not under ASan, whose
// shadow memory needs more).
TEST(Compression, MemoryStaysWithinTheLimitAndAFewMiB) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "address space caps do not fit ASan";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "address space caps do not fit ASan";
#endif
#endif
  constexpr size_t kLimit = size_t{64} << 20;
  ByteBuffer bz, gz, bz2, gz2;
  String error;
  {
    const ByteBuffer zeros(kLimit, 0);
    OFLBZip2Compression bzip2;
    ASSERT_TRUE(bzip2.Compress(zeros, bz, error));
    ASSERT_TRUE(OFLGZipCompression::Compress(zeros, gz, error));
  }
  bz2 = bz;
  bz2.insert(bz2.end(), bz.begin(), bz.end());
  gz2 = gz;
  gz2.insert(gz2.end(), gz.begin(), gz.end());
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    long pages = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    const rlimit cap{static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE)) + kLimit + (size_t{24} << 20), RLIM_INFINITY};
    if (pages == 0 || setrlimit(RLIMIT_AS, &cap) != 0) _exit(10);
    const String limitText = "Decompressed data exceeds the limit of " + std::to_string(kLimit) + " bytes";
    OFLBZip2Compression bzip2;
    bzip2.SetDecompressionLimit(kLimit);
    int code = 0;
    for (const bool isBz : {true, false}) {
      const auto decompress = [&](const ByteBuffer& in, size_t limit, size_t& size) {
        ByteBuffer out;
        String e;
        bzip2.SetDecompressionLimit(limit);
        const bool ok = isBz ? bzip2.Decompress(in, out, e) : OFLGZipCompression::Decompress(in, out, e, limit);
        size = out.size();
        return ok ? String() : e;
      };
      size_t size = 0;
      code = code * 4;
      if (!decompress(isBz ? bz : gz, kLimit, size).empty() || size != kLimit) code += 1;
      else if (decompress(isBz ? bz2 : gz2, kLimit, size) != limitText) code += 2;
      else if (decompress(isBz ? bz : gz, kLimit - 1, size) !=
               "Decompressed data exceeds the limit of " + std::to_string(kLimit - 1) + " bytes")
        code += 3;
    }
    _exit(code);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  // 0 when all held; else 4 * (bzip2's failure) + gzip's, 1 to 3 for the case.
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ByteBufferText, KeepsEveryByteIncludingNul) {
  const std::string text("a\0b\xff", 4);
  const ByteBuffer bytes = OFLTools::ConvertCStringToByteBuffer(text);
  EXPECT_EQ(bytes.size(), 4u);
  EXPECT_EQ(OFLTools::ConvertByteBufferToString(bytes), text);
}

}  // namespace
