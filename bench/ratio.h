// Shared by the pack/unpack benchmarks: an operation timed interleaved with
// its baseline (a bare pugixml parse, or pugixml's raw print) in one run, so
// that the reported ratio does not depend on the machine or its load.
#ifndef ORVACMN_BENCH_RATIO_H_
#define ORVACMN_BENCH_RATIO_H_

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <pugixml.hpp>
#include <string>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct StringWriter final : pugi::xml_writer {
  explicit StringWriter(std::string& out) : out_(out) {}
  void write(const void* data, size_t size) override { out_.append(static_cast<const char*>(data), size); }
  std::string& out_;
};

// Runs `op` and `base` alternately; the reported time is that of `op`.
// `untimed`, when given, runs before each pair outside both clocks (e.g. to
// free what the previous `op` built). Counters: "ratio" (op / base) and
// "ns_entry" (op per entry).
inline void Measure(benchmark::State& state, int entries, const std::function<void()>& op,
                    const std::function<void()>& base, const std::function<void()>& untimed = {}) {
  double opSec = 0, baseSec = 0;
  for (auto _ : state) {
    if (untimed) untimed();
    const auto t0 = Clock::now();
    base();
    const auto t1 = Clock::now();
    op();
    const auto t2 = Clock::now();
    opSec += Seconds(t2 - t1);
    baseSec += Seconds(t1 - t0);
    state.SetIterationTime(Seconds(t2 - t1));
  }
  state.counters["ratio"] = baseSec > 0 ? opSec / baseSec : 0;
  state.counters["ns_entry"] = opSec * 1e9 / (double(state.iterations()) * entries);
}

// OFLXMLParser keeps a value of blanks, and reads UTF-8.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

// A bare parse of `text` with the parser's options, the document freed within.
inline std::function<void()> BareParse(const std::string& text) {
  return [&text] {
    pugi::xml_document doc;
    benchmark::DoNotOptimize(doc.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8));
  };
}

// pugixml's raw print of `doc` into a string reserved to `size`, as the packers reserve.
inline std::function<void()> RawPrint(const pugi::xml_document& doc, size_t size) {
  return [&doc, size] {
    std::string out;
    out.reserve(size);
    StringWriter w(out);
    doc.print(w, "", pugi::format_raw | pugi::format_no_declaration);
    benchmark::DoNotOptimize(out.data());
  };
}

}  // namespace bench

#endif  // ORVACMN_BENCH_RATIO_H_
