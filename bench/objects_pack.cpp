// Packing and unpacking of the property bags and of an OVOList, against
// pugixml on the same text in the same run. The list holds one element class
// in four forms: BenchItem (internal style: read in place, packed around its
// InternalPack), FastItem (also writes its text in place), WholeItem (its own
// Unpack(String) alone: read from each child's printed markup) and LoadedItem
// (its own Unpack(String) with UnpackLoaded: read in place).
//
// Counters:
//   ratio       time of the operation / time of its baseline, measured
//               interleaved (unpack: a bare pugixml parse of the text with the
//               options OFLXMLParser uses, the document freed within; pack:
//               pugixml's raw print of the parsed text into a reserved
//               string). Unpacking goes into one object again and again;
//               clearing the previous entries runs outside the clocks.
//   ns_entry    nanoseconds per entry
// The Scale benchmarks time 100,000 entries against 10,000 in one run:
//   scale       time(100,000) / time(10,000); linear work gives 10.
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <pugixml.hpp>
#include <string>

#include "ofl/tools.h"
#include "orvacmn/objects/ovo_list.h"
#include "orvacmn/objects/properties.h"
#include "ratio.h"

namespace {

using orvacmn::String;

// A list element with two String fields, in the internal style: the list
// unpacks it in place (it keeps the base Unpack) and packs it around its
// InternalPack.
class BenchItem : public orvacmn::OVOXMLSupport {
 public:
  explicit BenchItem(const String& text = String()) : OVOXMLSupport("Item", orvacmn::kSchema50001) {
    if (!text.empty()) Unpack(text);
  }
  String name, value;
  bool operator==(const BenchItem& o) const { return name == o.name && value == o.value; }

 protected:
  String InternalPack() const override {
    String out;
    OFLTools::AppendXMLNode(out, "Name", name);
    OFLTools::AppendXMLNode(out, "Value", value);
    return out;
  }
  void InternalUnpack(OFLXMLParser& parser) override {
    orvacmn::ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
      if (OFL::EqualsNoCase(tag, "Name")) name = p.GetChildData();
      else if (OFL::EqualsNoCase(tag, "Value")) value = p.GetChildData();
    });
  }
  void InternalClear() override {
    name.clear();
    value.clear();
  }
};

// The same element in the whole-object style: its own Unpack(String) (here
// the base one's result by its own parser), so a list must hand it each
// child's markup.
class WholeItem : public BenchItem {
 public:
  explicit WholeItem(const String& text = String()) {
    if (!text.empty()) Unpack(text);
  }
  using BenchItem::Unpack;
  int Unpack(const String& text) override { return BenchItem::Unpack(text); }
};

// The whole-object style as the business objects write it: Unpack(String)
// and UnpackLoaded declared together, so the list reads each child where it
// stands.
class LoadedItem : public BenchItem {
 public:
  explicit LoadedItem(const String& text = String()) {
    if (!text.empty()) Unpack(text);
  }
  using BenchItem::Unpack;
  int Unpack(const String& text) override {
    OFLXMLParser parser;
    parser.SetDoc(text);
    return UnpackLoaded(parser);
  }
  int UnpackLoaded(OFLXMLParser& loaded) override { return BenchItem::UnpackLoaded(loaded); }
};

// The same element, writing its text in place (AppendPack).
class FastItem : public BenchItem {
 public:
  using BenchItem::BenchItem;
  String Pack() const override {
    String out;
    AppendPack(out);
    return out;
  }
  void AppendPack(String& out) const override {
    OFLTools::AppendXMLTag(out, GetObjectName());
    OFLTools::AppendXMLNode(out, "Name", name);
    OFLTools::AppendXMLNode(out, "Value", value);
    OFLTools::AppendXMLTag(out, GetObjectName(), true);
  }
};

using bench::BareParse;
using bench::Clock;
using bench::kParseOptions;
using bench::Measure;
using bench::RawPrint;
using bench::Seconds;

String Name(int i) { return "Property" + std::to_string(i * 7919 % 1000003); }
String Value(int i) {
  // Mostly plain paths, now and then a character that needs escaping.
  String v = "C:\\Program Files\\Vendor\\bin\\tool" + std::to_string(i) + ".exe";
  if (i % 10 == 0) v += " & <more>";
  return v;
}

template <class Bag>
Bag MakeBag(int n) {
  Bag bag;
  for (int i = 0; i < n; ++i) bag.SetProperty(Name(i), Value(i));
  return bag;
}

template <class Item>
void FillList(orvacmn::OVOList<Item>& list, int n) {
  for (int i = 0; i < n; ++i) {
    auto* e = new Item;
    e->name = Name(i);
    e->value = Value(i);
    list.AddTail(e);
  }
}

template <class Bag>
void BM_BagPack(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const Bag bag = MakeBag<Bag>(n);
  pugi::xml_document doc;
  const String text = bag.Pack();
  doc.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
  Measure(
      state, n, [&] { benchmark::DoNotOptimize(bag.Pack()); }, RawPrint(doc, text.size()));
}

template <class Bag>
void BM_BagUnpack(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const String text = MakeBag<Bag>(n).Pack();
  auto bag = std::make_unique<Bag>();
  Measure(
      state, n, [&] { benchmark::DoNotOptimize(bag->Unpack(text)); }, BareParse(text), [&] { bag->Clear(); });
}

template <class Item>
void BM_ListPack(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  orvacmn::OVOList<Item> list("Items");
  FillList(list, n);
  const String text = list.Pack();
  pugi::xml_document doc;
  doc.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
  Measure(
      state, n, [&] { benchmark::DoNotOptimize(list.Pack()); }, RawPrint(doc, text.size()));
}

template <class Item>
void BM_ListUnpack(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  orvacmn::OVOList<Item> source("Items");
  FillList(source, n);
  const String text = source.Pack();
  orvacmn::OVOList<Item> list("Items");
  Measure(
      state, n, [&] { benchmark::DoNotOptimize(list.Unpack(text)); }, BareParse(text), [&] { list.Clear(); });
}

// time(100,000) / time(10,000) for one operation, interleaved.
void Scale(benchmark::State& state, const std::function<void()>& small, const std::function<void()>& large) {
  double s = 0, l = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    small();
    const auto t1 = Clock::now();
    large();
    const auto t2 = Clock::now();
    s += Seconds(t1 - t0);
    l += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t2 - t0));
  }
  state.counters["scale"] = s > 0 ? l / s : 0;
}

template <class Bag>
void BM_BagScale(benchmark::State& state) {
  const Bag small = MakeBag<Bag>(10000), large = MakeBag<Bag>(100000);
  const String smallText = small.Pack(), largeText = large.Pack();
  Bag smallTarget, largeTarget;
  if (state.range(0) == 0) {
    Scale(state, [&] { benchmark::DoNotOptimize(small.Pack()); }, [&] { benchmark::DoNotOptimize(large.Pack()); });
  } else {
    Scale(state, [&] { benchmark::DoNotOptimize(smallTarget.Unpack(smallText)); },
          [&] { benchmark::DoNotOptimize(largeTarget.Unpack(largeText)); });
  }
}

template <class Item>
void BM_ListScale(benchmark::State& state) {
  orvacmn::OVOList<Item> small("Items"), large("Items"), smallTarget("Items"), largeTarget("Items");
  FillList(small, 10000);
  FillList(large, 100000);
  const String smallText = small.Pack(), largeText = large.Pack();
  if (state.range(0) == 0) {
    Scale(state, [&] { benchmark::DoNotOptimize(small.Pack()); }, [&] { benchmark::DoNotOptimize(large.Pack()); });
  } else {
    Scale(state, [&] { benchmark::DoNotOptimize(smallTarget.Unpack(smallText)); },
          [&] { benchmark::DoNotOptimize(largeTarget.Unpack(largeText)); });
  }
}

#define SIZES ->Arg(10)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMicrosecond)

BENCHMARK_TEMPLATE(BM_BagPack, orvacmn::OVOProperties) SIZES;
BENCHMARK_TEMPLATE(BM_BagUnpack, orvacmn::OVOProperties) SIZES;
BENCHMARK_TEMPLATE(BM_BagPack, orvacmn::OVO::Properties) SIZES;
BENCHMARK_TEMPLATE(BM_BagUnpack, orvacmn::OVO::Properties) SIZES;
BENCHMARK_TEMPLATE(BM_ListPack, BenchItem) SIZES;
BENCHMARK_TEMPLATE(BM_ListPack, FastItem) SIZES;
BENCHMARK_TEMPLATE(BM_ListUnpack, BenchItem) SIZES;
BENCHMARK_TEMPLATE(BM_ListUnpack, FastItem) SIZES;
BENCHMARK_TEMPLATE(BM_ListUnpack, WholeItem) SIZES;
BENCHMARK_TEMPLATE(BM_ListUnpack, LoadedItem) SIZES;

// Arg 0: pack, 1: unpack.
#define SCALE ->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)
BENCHMARK_TEMPLATE(BM_BagScale, orvacmn::OVOProperties) SCALE;
BENCHMARK_TEMPLATE(BM_BagScale, orvacmn::OVO::Properties) SCALE;
BENCHMARK_TEMPLATE(BM_ListScale, BenchItem) SCALE;
BENCHMARK_TEMPLATE(BM_ListScale, FastItem) SCALE;
BENCHMARK_TEMPLATE(BM_ListScale, WholeItem) SCALE;
BENCHMARK_TEMPLATE(BM_ListScale, LoadedItem) SCALE;

}  // namespace
