// Unpacking and packing an OVOSoftwareApplicationList of 2,000 populated
// applications, against pugixml on the same text in the same run (ratio.h).
// Unpacking goes into an emptied list each time; freeing the previous
// applications is not part of it and runs outside the clocks.
#include <benchmark/benchmark.h>

#include <pugixml.hpp>
#include <string>

#include "orvacmn/software/application_list.h"
#include "ratio.h"

namespace {

using orvacmn::OVOSoftwareApplication;
using orvacmn::String;

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

void FillList(orvacmn::OVOSoftwareApplicationList& list) {
  for (int i = 0; i < kApps; ++i) list.AddTail(MakeApp(i));
}

void BM_SoftwareListUnpack(benchmark::State& state) {
  orvacmn::OVOSoftwareApplicationList source, list;
  FillList(source);
  const String text = source.Pack();
  bench::Measure(
      state, kApps,
      [&] { benchmark::DoNotOptimize(list.Unpack(text)); }, bench::BareParse(text),
      [&] { list.DeleteObjects(); });  // the older list forgets, rather than frees, on Unpack
}

void BM_SoftwareListPack(benchmark::State& state) {
  orvacmn::OVOSoftwareApplicationList list;
  FillList(list);
  const String text = list.Pack();
  pugi::xml_document doc;
  doc.load_buffer(text.data(), text.size(), bench::kParseOptions, pugi::encoding_utf8);
  bench::Measure(
      state, kApps, [&] { benchmark::DoNotOptimize(list.Pack()); }, bench::RawPrint(doc, text.size()));
}

BENCHMARK(BM_SoftwareListUnpack)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SoftwareListPack)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
