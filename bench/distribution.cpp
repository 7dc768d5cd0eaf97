// Distribution: ordering items by their dependencies, and reading deploy
// packages, each against a baseline measured in the same run.
//
// BM_ResolveDependencies: 100,000 items against 10,000, five dependencies
// each; counter "ratio" = time(100,000) / time(10,000), goal <= 12 (linear
// gives 10).
// BM_ReadPackage: a package file of 10,000 sections read in a dry run
// against one pass of the profile reader over the same lines; counter
// "ratio", goal <= 3.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>

#include "ofl/profile.h"
#include "orvacmn/distribution.h"
#include "ratio.h"

namespace {

using orvacmn::CDependencies;

// Items depend on five later items, so there is no cycle; a fifth of the
// names are written in another case.
CDependencies Items(int count) {
  std::mt19937 random(static_cast<unsigned>(count));
  CDependencies deps;
  for (int i = 0; i < count; ++i) {
    std::string list;
    for (int k = 0; k < 5 && i + 1 < count; ++k) {
      const int d = i + 1 + static_cast<int>(random() % static_cast<unsigned>(std::min(count - i - 1, 1000)));
      list += (d % 5 ? "Item" : "ITEM") + std::to_string(d) + "#";
    }
    deps.SetDependencies("Item" + std::to_string(i), list);
  }
  return deps;
}

void BM_ResolveDependencies(benchmark::State& state) {
  static const CDependencies small = Items(10000), large = Items(100000);
  double smallSec = 0, largeSec = 0;
  for (auto _ : state) {
    const auto t0 = bench::Clock::now();
    benchmark::DoNotOptimize(small.ResolveDependencies());
    const auto t1 = bench::Clock::now();
    benchmark::DoNotOptimize(large.ResolveDependencies());
    const auto t2 = bench::Clock::now();
    smallSec += bench::Seconds(t1 - t0);
    largeSec += bench::Seconds(t2 - t1);
    state.SetIterationTime(bench::Seconds(t2 - t1));
  }
  state.counters["ratio"] = smallSec > 0 ? largeSec / smallSec : 0;
  state.counters["ns_item"] = largeSec * 1e9 / (double(state.iterations()) * 100000);
}
BENCHMARK(BM_ResolveDependencies)->UseManualTime()->Unit(benchmark::kMillisecond);

// 10,000 sections of every step kind; [Install] names as many as its
// 4,095 bytes hold, in lines of several names.
std::string PackageText() {
  std::string install = "[Install]\nDescription=Benchmark package\n", sections;
  const char* kinds[] = {"CopyFiles", "ModifyRegistry", "Execute", "CreateShortcuts"};
  for (int i = 0; i < 10000; ++i) {
    const std::string name = std::string("S").append(std::to_string(i));
    if (install.size() < 4000) install += std::string(kinds[i % 4]) + "=" + name + "\n";
    sections += "[" + name + "]\nDescription=Step {Client} " + std::to_string(i) + "\n";
    switch (i % 4) {
      case 0: sections += "Source={DIP}\\apps\\" + name + "\nDestination=C:\\Program Files\\" + name + "\n"; break;
      case 1: sections += "Key=SOFTWARE\\Bench\\" + name + "\nSetStringValue=Path,C:\\x\nSetDWordValue=N,1\n"; break;
      case 2: sections += "Program={DIP}\\apps\\setup.exe /S /D=" + name + "\nWait=1\nComment=0\n"; break;
      default: sections += "Location=MENU\nName=" + name + "\nFilename=C:\\x.exe\n"; break;
    }
  }
  return install + sections;
}

void BM_ReadPackage(benchmark::State& state) {
  static const std::string text = PackageText();
  static const std::string path = "/tmp/bench-package-" + std::to_string(::getpid()) + ".ini";
  std::ofstream(path, std::ios::binary) << text;
  orvacmn::COVKVars vars;
  vars.AddVar("Client", "PC-0042", false, false, orvacmn::CVariableType::Runtime, false);
  bench::Measure(
      state, 10000,
      [&] {
        orvacmn::CPackage package(path);
        package.SetPathMap(std::make_shared<OFL::PathMap>());
        package.SetDIPs("\\\\dip01\\kits");
        package.GetSubstitutionVars() = vars;
        package.SetDryRun(true);
        benchmark::DoNotOptimize(package.InstallPackage(1));
      },
      [&] {
        // The file read and every line scanned once by the profile reader.
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(OFL::Profile::GetSectionFromText(bytes, "NoSuchSection"));
      });
  std::remove(path.c_str());
}
BENCHMARK(BM_ReadPackage)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
