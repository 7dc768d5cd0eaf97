// A self-compressing message with 1 MB of content, serialized and rebuilt
// with From, against the bare bzip2 + base64 of the same bytes (and their
// decoding) in the same run.
//
// Counters:
//   ratio     time of the message operation / time of the bare codec work,
//             measured interleaved; what the message adds is the XML element,
//             the attribute handling and the copies of the content.
//   ns_entry  nanoseconds per content byte
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "ofl/base64.h"
#include "ofl/compression.h"
#include "orvacmn/messages/internet_messages.h"
#include "ratio.h"

namespace {

using OFL::ByteBuffer;
using orvacmn::InternetRequest;

constexpr size_t kContentSize = 1 << 20;

// Packed-object-like text with varying numbers: compressible as real
// message contents are, but not trivially.
ByteBuffer Content() {
  ByteBuffer out;
  out.reserve(kContentSize + 128);
  uint32_t x = 12345;
  char line[128];
  while (out.size() < kContentSize) {
    x = x * 1103515245u + 12345u;
    const int n = std::snprintf(line, sizeof line, "<Entry><Param>Key%u</Param><Value>%u</Value></Entry>",
                                (x >> 8) % 5000, x % 100000);
    out.insert(out.end(), line, line + n);
  }
  out.resize(kContentSize);
  return out;
}

const ByteBuffer& SharedContent() {
  static const ByteBuffer content = Content();
  return content;
}

void BM_SerializeVsBareBZip2Base64(benchmark::State& state) {
  const ByteBuffer& content = SharedContent();
  const InternetRequest message(content);
  const OFL::Compression::OFLBZip2Compression bzip2(9, 0, 30);
  bench::Measure(
      state, kContentSize, [&] { benchmark::DoNotOptimize(message.Serialize()); },
      [&] {
        ByteBuffer packed;
        std::string error;
        bzip2.Compress(content, packed, error);
        benchmark::DoNotOptimize(OFL::EncodeBase64(packed));
      });
}

void BM_FromVsBareBase64BZip2(benchmark::State& state) {
  const ByteBuffer& content = SharedContent();
  const std::string text = InternetRequest(content).Serialize();
  const std::string base64 = text.substr(text.find('>') + 1, text.rfind('<') - text.find('>') - 1);
  const OFL::Compression::OFLBZip2Compression bzip2(9, 0, 30);
  bench::Measure(
      state, kContentSize,
      [&] {
        const InternetRequest m = InternetRequest::From(text);
        if (!m.IsValid() || m.Content().size() != kContentSize) state.SkipWithError("message does not read back");
      },
      [&] {
        ByteBuffer plain;
        std::string error;
        bzip2.Decompress(OFL::DecodeBase64(base64), plain, error);
        benchmark::DoNotOptimize(plain.data());
      });
}

BENCHMARK(BM_SerializeVsBareBZip2Base64)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FromVsBareBase64BZip2)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
