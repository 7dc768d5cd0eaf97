// Driver packages: parsing a folder of 200 generated INF files (hundreds of
// [Strings] entries, decorated model sections of thousands of devices) against
// reading the same files' lines with the same text reader, in the same run;
// and FindDriver over the folder for a device of the last file.
//
// Why the ratio moves between machines: the baseline is a few long streaming
// loops (the kernel's copy, the byte-wise UTF-8 check, one memchr and one
// copy per line) that run at a high instruction rate, while the parse is
// per-line work: short searches, [Strings] hash lookups and two small
// allocations per device, freed with the driver. Counted in instructions the
// ratio is about 3.6; in time it reads 4.3-6, the more the quieter and the
// wider the core (streaming gains more from it), and it moves with the
// allocator's state: the large buffer frees of each reading consolidate the
// thousands of small chunks the previous parse freed, so the parse's next
// allocations take malloc's slow path.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ofl/device_info.h"
#include "ofl/text_file.h"
#include "orvacmn/drivers/inf_file_parser.h"
#include "orvacmn/software/software_driver.h"
#include "ratio.h"

namespace {

namespace fs = std::filesystem;
constexpr int kFiles = 200;
constexpr int kDevicesPerSection = 1500;
constexpr int kStrings = 400;

std::string Hex4(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%04X", v & 0xFFFF);
  return b;
}

// One package: a [Strings] table, models for two architectures, an install
// section with CopyFiles. Device ids differ per file.
std::string MakeInf(int file) {
  std::string s = "; generated package " + std::to_string(file) +
                  "\r\n[Version]\r\nSignature = \"$WINDOWS NT$\"\r\nClass = Net\r\nProvider = %Vendor%\r\n"
                  "CatalogFile = pkg" + std::to_string(file) + ".cat\r\nDriverVer = 05/01/2024,10.0." +
                  std::to_string(file) + ".1\r\n\r\n[Manufacturer]\r\n%Vendor% = Models, NTamd64.10.0, NTx86\r\n";
  for (const char* arch : {"NTamd64.10.0", "NTx86"}) {
    s += std::string("\r\n[Models.") + arch + "]\r\n";
    for (int d = 0; d < kDevicesPerSection; ++d)
      s += "%Dev" + std::to_string(d % kStrings) + "% = Install, PCI\\VEN_" + Hex4(0x1000 + file) + "&DEV_" +
           Hex4(d) + "&SUBSYS_0001" + Hex4(0x1000 + file) + " ; model " + std::to_string(d) + "\r\n";
  }
  s += "\r\n[Install.NTamd64]\r\nCopyFiles = Files.Sys, Files.Dll\r\n\r\n[Install]\r\nCopyFiles = Files.Sys\r\n"
       "\r\n[Files.Sys]\r\ndrv" + std::to_string(file) + ".sys,,,2\r\n\r\n[Files.Dll]\r\nhelper.dll\r\n"
       "\r\n[Strings]\r\nVendor = \"Vendor " + std::to_string(file) + "; Devices\"\r\n";
  for (int k = 0; k < kStrings; ++k)
    s += "Dev" + std::to_string(k) + " = \"Network adapter model " + std::to_string(k) + " (rev \"\"B\"\")\"\r\n";
  return s;
}

const std::string& Folder() {
  static const std::string dir = [] {
    const fs::path d = fs::temp_directory_path() / ("bench_inf." + std::to_string(getpid()));
    fs::create_directories(d);
    for (int f = 0; f < kFiles; ++f) {
      char name[32];
      std::snprintf(name, sizeof name, "pkg%03d.inf", f);
      std::ofstream(d / name, std::ios::binary) << MakeInf(f);
    }
    std::atexit([] { fs::remove_all(fs::temp_directory_path() / ("bench_inf." + std::to_string(getpid()))); });
    return d.string();
  }();
  return dir;
}

std::vector<std::string> Files() {
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(Folder())) files.push_back(e.path().string());
  return files;
}

// Timed file by file, each parse right after the bare reading of the same
// file, so that both meet the same cache and allocator state.
void BM_ParseFolder(benchmark::State& state) {
  const std::vector<std::string> files = Files();
  size_t devices = 0;
  double opSec = 0, baseSec = 0;
  for (auto _ : state) {
    double iteration = 0;
    devices = 0;
    for (const std::string& f : files) {
      const auto t0 = bench::Clock::now();
      {
        OFL::TextFileReader reader;
        reader.Open(f);
        std::string line;
        while (reader.ReadString(line)) benchmark::DoNotOptimize(line.data());
      }
      const auto t1 = bench::Clock::now();
      {
        orvacmn::CInfFileParser parser;
        orvacmn::OVOSoftwareDriver driver;
        std::string error;
        if (parser.ParseInfFile(f, &driver, error) != 0) state.SkipWithError(error.c_str());
        devices += driver.GetSupportedDevices().size();
      }
      const auto t2 = bench::Clock::now();
      baseSec += bench::Seconds(t1 - t0);
      iteration += bench::Seconds(t2 - t1);
    }
    opSec += iteration;
    state.SetIterationTime(iteration);
  }
  state.counters["ratio"] = baseSec > 0 ? opSec / baseSec : 0;
  state.counters["ms_file"] = opSec * 1e3 / (double(state.iterations()) * kFiles);
  state.counters["devices"] = double(devices);
}
BENCHMARK(BM_ParseFolder)->UseManualTime()->Unit(benchmark::kMillisecond);

// The device sits in the last file the search reaches (files in name order).
void BM_FindDriver(benchmark::State& state) {
  Folder();
  const OFLDeviceInfo device("PCI\\VEN_" + Hex4(0x1000 + kFiles - 1) + "&DEV_" + Hex4(kDevicesPerSection - 1) +
                             "&SUBSYS_0001" + Hex4(0x1000 + kFiles - 1) + "&REV_01");
  for (auto _ : state) {
    orvacmn::CInfFileParser parser;
    parser.EnableCatalogValidation(false);
    std::string found;
    const auto t0 = std::chrono::steady_clock::now();
    parser.FindDriver(~0ull, &device, Folder(), 1, found, nullptr);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    if (found.find("pkg199.inf") == std::string::npos) state.SkipWithError("device not found in the last file");
  }
  state.counters["s_per_file"] = benchmark::Counter(double(kFiles), benchmark::Counter::kIsIterationInvariantRate |
                                                                          benchmark::Counter::kInvert);
}
BENCHMARK(BM_FindDriver)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
