// GetAllPropertiesToUpdate of an agent's typical report (about 50
// properties, a dozen of them changed) against a bare unpack of the same
// report bag in the same run (ratio.h): what the merge costs beyond reading
// what the agent sent.
#include <benchmark/benchmark.h>

#include <string>

#include "orvacmn/server/client_mgmt_helper.h"
#include "ratio.h"

namespace {

using namespace orvacmn;  // NOLINT

OVOSystem Stored() {
  OVOSystem s;
  s.SetGuid("3F2504E0-4F89-41D3-9A0C-0305E82C3301");
  s.SetHostName("RECEPTION01");
  s.SetDomain("EXAMPLE");
  s.SetPrimaryIP("192.168.1.10");
  s.SetPrimarySubnetMask("255.255.0.0");
  s.SetLastUser("EXAMPLE\\mhuber");
  s.SetUsername("EXAMPLE\\mhuber");
  s.SetNumber(OVOSystem::eTotalMemory, 8192);
  s.SetText(OVOSystem::eAgentVersion, "12.1.3.4567");
  return s;
}

String ReportText() {
  OVOProperties r;
  const char* const same[][2] = {{"TotalMemory", "8192"},
                                 {"OVAVersion", "12.1.3.4567"},
                                 {"OSVersionMajor", "4294967295"},
                                 {"FirewallStatus", "0"},
                                 {"CPUDesc", ""},
                                 {"LastLoggedOnUser", "EXAMPLE\\mhuber"}};
  for (const auto& [name, value] : same) r.SetProperty(name, value);
  const char* const changed[][2] = {{"CPUCountLogical", "12"},
                                    {"CPUSpeed", "3000"},
                                    {"DriveCSize", "243000"},
                                    {"DriveCFree", "120500"},
                                    {"SerialNumber", "CZC1234XYZ"},
                                    {"ModelName", "Desk 800 G5"},
                                    {"Manufacturer", "Maker"},
                                    {"OSType", "4194304"},
                                    {"OSVersionBuild", "22631"},
                                    {"OSDisplayVersion", "23H2"},
                                    {"IPWithPrefixes", "3232235786#4294967040"},
                                    {"SystemUpTime", "3600"},
                                    {"TimeZone", "-60"},
                                    {"CurrentUserSID", "S-1-5-21-1-2-3-1105"}};
  for (const auto& [name, value] : changed) r.SetProperty(name, value);
  for (int i = 0; i < 30; ++i) r.SetProperty("Inventory.Extra" + std::to_string(i), "value " + std::to_string(i));
  return r.Pack();
}

void BM_MergeReport(benchmark::State& state) {
  const OVOSystem system = Stored();
  const String text = ReportText();
  const OVOProperties report(text);
  const ClientMgmtHelper helper([] { return CTime(1717257600); });
  OVODomainList domains;
  OVOProperties scratch;
  bench::Measure(
      state, report.GetCount(),
      [&] {
        benchmark::DoNotOptimize(helper.GetAllPropertiesToUpdate(system, report, domains, eConnectByName,
                                                                 CConfiguration::eIPUpdateSubnetMask));
      },
      [&] { benchmark::DoNotOptimize(scratch.Unpack(text)); });
}

BENCHMARK(BM_MergeReport)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
