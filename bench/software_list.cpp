// Unpacking and packing an OVOSoftwareApplicationList of 2,000 populated
// applications, against pugixml on the same text in the same run.
//
// Counters:
//   ratio     time of the operation / time of its baseline, measured
//             interleaved (unpack: a bare pugixml parse of the text with the
//             options OFLXMLParser uses, the document freed within; pack:
//             pugixml's raw print of the parsed text into a reserved string).
//             Unpacking goes into one list again and again, so it includes
//             destroying the previous applications.
//   ns_app    nanoseconds per application
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <pugixml.hpp>
#include <string>

#include "orvacmn/software/application_list.h"

namespace {

using orvacmn::OVOSoftwareApplication;
using orvacmn::String;
using Clock = std::chrono::steady_clock;

constexpr int kApps = 2000;

OVOSoftwareApplication* MakeApp(int i) {
  auto* a = new OVOSoftwareApplication;
  const String n = std::to_string(i);
  a->SetGUID("3F2504E0-4F89-11D3-9A0C-" + String(12 - n.size(), '0') + n);
  a->SetVendor("Vendor " + std::to_string(i % 37));
  a->SetName("Application " + n);
  a->SetVersion("1." + std::to_string(i % 10) + "." + n);
  a->SetCategory("Office");
  a->SetComment(i % 10 == 0 ? "needs <admin> & reboot" : "plain comment");
  a->SetInstallCommand("setup.exe");
  a->SetInstallParams("/quiet /dir=\"{TargetPath}\"");
  a->SetUninstallCommand("uninstall.exe");
  a->SetTargetPath("C:\\Program Files\\Vendor\\Application " + n);
  a->SetSubType(i % 2 ? "MSW" : "APP");
  a->SetOptions(0x81);
  a->SetManagedSWType(OVOSoftwareApplication::eMSWVersion);
  a->AddSoftwareDependency(OVOSoftwareApplication::DependencyEntry(
      static_cast<OVOSoftwareApplication::EDependencyType>(1), 0xFFFFFF, "22222222-3333-4444-5555-666666666666",
      "Runtime Corp", "Runtime", "4.8"));
  a->GetVars().SetVar("Setup", "Language", "de-DE", {});
  a->GetProperties().SetProperty("Channel", "stable");
  a->GetObjectRights().SetRights("AAAAAAAA-0000-0000-0000-000000000001", 2);
  a->GetLicenses().Insert("KEY-" + n, "1.*", 10, 1, 3);
  a->GetLicenseActions().Insert(2, {}, true);
  a->GetFiles().InsertFileEntry("setup.exe", {});
  a->GetFiles().InsertFileEntry("data\\core" + n + ".cab", {});
  a->GetAutData().push_back({"CCCCCCCC-0000-0000-0000-000000000001", "PC-" + n, 1700000000, 1700086400, 1710000000,
                             1710086400, 42, 3, true});
  a->GetManagedSoftwareData().SetEULAURL("https://example.com/eula");
  return a;
}

struct StringWriter final : pugi::xml_writer {
  explicit StringWriter(std::string& out) : out_(out) {}
  void write(const void* data, size_t size) override { out_.append(static_cast<const char*>(data), size); }
  std::string& out_;
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Runs `op` and `base` alternately; the reported time is that of `op`.
void Measure(benchmark::State& state, const std::function<void()>& op, const std::function<void()>& base) {
  double opSec = 0, baseSec = 0;
  for (auto _ : state) {
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
  state.counters["ns_app"] = opSec * 1e9 / (double(state.iterations()) * kApps);
}

// OFLXMLParser keeps a value of blanks, and reads UTF-8.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

void FillList(orvacmn::OVOSoftwareApplicationList& list) {
  for (int i = 0; i < kApps; ++i) list.AddTail(MakeApp(i));
}

void BM_SoftwareListUnpack(benchmark::State& state) {
  orvacmn::OVOSoftwareApplicationList source, list;
  FillList(source);
  const String text = source.Pack();
  Measure(
      state,
      [&] {
        list.DeleteObjects();  // the older list forgets, rather than frees, on Unpack
        benchmark::DoNotOptimize(list.Unpack(text));
      },
      [&] {
        pugi::xml_document doc;
        benchmark::DoNotOptimize(doc.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8));
      });
}

void BM_SoftwareListPack(benchmark::State& state) {
  orvacmn::OVOSoftwareApplicationList list;
  FillList(list);
  const String text = list.Pack();
  pugi::xml_document doc;
  doc.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
  Measure(
      state, [&] { benchmark::DoNotOptimize(list.Pack()); },
      [&] {
        std::string out;
        out.reserve(text.size());  // as the packers do
        StringWriter w(out);
        doc.print(w, "", pugi::format_raw | pugi::format_no_declaration);
        benchmark::DoNotOptimize(out.data());
      });
}

BENCHMARK(BM_SoftwareListUnpack)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SoftwareListPack)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
