// Unpacking names made to collide beside ordinary names of the same number
// and length, for the two containers whose name indexes read outside text:
// the property bag (OVOProperties, 100,000 names) and the variable set
// ("OVSVars", 32,000 names).
//
// The crafted names differ only in bit 5 of bytes that are not letters ("@"
// and "`", "[" and "{", ...). A hash that folds case by setting bit 5 of every
// byte gives them all one value while the comparison keeps them apart, which
// made unpacking quadratic.
//
// Counters:
//   ratio       time(crafted names) / time(ordinary names), interleaved
//   ns_entry    nanoseconds per crafted entry
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "ofl/tools.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/variables/ovk_vars.h"

namespace {

using orvacmn::String;
using Clock = std::chrono::steady_clock;

constexpr size_t kChoices = 20;  // bytes chosen per name: up to 2^20 names

String Crafted(size_t i) {
  static const char kPairs[][2] = {{'@', '`'}, {'[', '{'}, {'\\', '|'}, {']', '}'}, {'^', '~'}};
  String name = "Name";
  for (size_t bit = 0; bit < kChoices; ++bit) name += kPairs[bit % 5][(i >> bit) & 1];
  return name;
}

String Ordinary(size_t i) {
  String digits = std::to_string(i);
  return "Name" + String(kChoices - digits.size(), '0') + digits;
}

String BagText(size_t n, String (*name)(size_t)) {
  String out = "<Properties>";
  for (size_t i = 0; i < n; ++i)
    out += "<PropertyEntry>" + OFLTools::MakeXMLNode("Param", name(i)) + "<Value>v</Value></PropertyEntry>";
  return out + "</Properties>";
}

String VarsText(size_t n, String (*name)(size_t)) {
  String out = "<OVSVars>";
  for (size_t i = 0; i < n; ++i)
    out += "<VarEntry>" + OFLTools::MakeXMLNode("Name", name(i)) + "<Value>v</Value><Type>0</Type></VarEntry>";
  return out + "</OVSVars>";
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

template <class Container>
void Compare(benchmark::State& state, size_t n, const String& crafted, const String& ordinary) {
  Container a, b;
  double craftedSec = 0, ordinarySec = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    benchmark::DoNotOptimize(b.Unpack(ordinary));
    const auto t1 = Clock::now();
    benchmark::DoNotOptimize(a.Unpack(crafted));
    const auto t2 = Clock::now();
    ordinarySec += Seconds(t1 - t0);
    craftedSec += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t2 - t1));
  }
  state.counters["ratio"] = ordinarySec > 0 ? craftedSec / ordinarySec : 0;
  state.counters["ns_entry"] = craftedSec * 1e9 / (double(state.iterations()) * double(n));
}

void BM_BagUnpackCraftedNames(benchmark::State& state) {
  const size_t n = static_cast<size_t>(state.range(0));
  Compare<orvacmn::OVOProperties>(state, n, BagText(n, Crafted), BagText(n, Ordinary));
}

void BM_VarsUnpackCraftedNames(benchmark::State& state) {
  const size_t n = static_cast<size_t>(state.range(0));
  Compare<orvacmn::COVKVars>(state, n, VarsText(n, Crafted), VarsText(n, Ordinary));
}

BENCHMARK(BM_BagUnpackCraftedNames)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VarsUnpackCraftedNames)->Arg(32000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
