// CBlackWhiteList::Check on long lists whose entries all fail to decide, so
// that every check walks the whole list: IPv4 networks, MAC patterns and
// texts, at 10,000 and 100,000 entries. The baseline, interleaved in the
// same run, does the same comparisons by hand over prepared values: the
// masks of the networks, and OFL::Tools::MatchPattern over the patterns'
// texts. ns_entry staying flat from 10,000 to 100,000 shows the check is
// linear.
#include "orvacmn/server/black_white_list.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ofl/tools.h"
#include "ratio.h"

namespace {

using orvacmn::CBlackWhiteList;
using orvacmn::String;

String Network(uint32_t i) {
  // 11.x.y.0/24 and onwards: never 10.0.0.1.
  const uint32_t a = (11u << 24) + (i << 8);
  return std::to_string(a >> 24) + '.' + std::to_string(a >> 16 & 255) + '.' + std::to_string(a >> 8 & 255) + ".0/24";
}

String MacPattern(uint32_t i) {
  char text[16];
  std::snprintf(text, sizeof text, "AA%06X*", i);
  return text;
}

String TextPattern(uint32_t i) { return "host-" + std::to_string(i) + "-*"; }

String Joined(int n, String (*entry)(uint32_t)) {
  String out;
  for (int i = 0; i < n; ++i) out += entry(static_cast<uint32_t>(i)) + ";";
  return out;
}

void BM_CheckIPNetworks(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const CBlackWhiteList list(Joined(n, Network), orvacmn::eBlackWhiteListIP, CBlackWhiteList::kBlackList);
  std::vector<std::pair<uint32_t, uint32_t>> nets;
  for (int i = 0; i < n; ++i) nets.emplace_back((11u << 24) + (uint32_t(i) << 8), 0xFFFFFF00u);
  const uint32_t value = 0x0A000001;  // 10.0.0.1
  bench::Measure(
      state, n, [&] { benchmark::DoNotOptimize(list.Check("10.0.0.1")); },
      [&] {
        bool hit = false;
        for (const auto& [address, mask] : nets) hit = hit || ((address ^ value) & mask) == 0;
        benchmark::DoNotOptimize(hit);
      });
}

template <String (*Entry)(uint32_t)>
void CheckPatterns(benchmark::State& state, orvacmn::EBlackWhiteListType type, const char* value,
                   const char* valueAsMatched) {
  const int n = static_cast<int>(state.range(0));
  const CBlackWhiteList list(Joined(n, Entry), type, CBlackWhiteList::kBlackList);
  std::vector<String> patterns;
  for (int i = 0; i < n; ++i) patterns.push_back(Entry(static_cast<uint32_t>(i)));
  bench::Measure(
      state, n, [&] { benchmark::DoNotOptimize(list.Check(value)); },
      [&] {
        bool hit = false;
        for (const String& p : patterns) hit = hit || OFL::Tools::MatchPattern(valueAsMatched, p);
        benchmark::DoNotOptimize(hit);
      });
}

void BM_CheckMACPatterns(benchmark::State& state) {
  CheckPatterns<MacPattern>(state, orvacmn::eBlackWhiteListMAC, "00:1A:2B:3C:4D:5E", "001A2B3C4D5E");
}

void BM_CheckTexts(benchmark::State& state) {
  CheckPatterns<TextPattern>(state, orvacmn::eBlackWhiteListText, "reception-01", "reception-01");
}

BENCHMARK(BM_CheckIPNetworks)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CheckMACPatterns)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CheckTexts)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
