// Client records for the store benchmarks: client i has its own GUID, host
// name "PC-i", MAC and IPv4 address; and a scratch folder removed at exit.
#ifndef ORVACMN_BENCH_CLIENTS_H_
#define ORVACMN_BENCH_CLIENTS_H_

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace bench {

inline std::string Mac(int i) {
  char mac[32];
  std::snprintf(mac, sizeof mac, "00:50:56:%02X:%02X:%02X", (i >> 16) & 0xFF, (i >> 8) & 0xFF, i & 0xFF);
  return mac;
}

inline std::string Guid(int i) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "B3AC0000-0000-4000-8000-%012X", i);
  return buf;
}
inline std::string Host(int i) { return "PC-" + std::to_string(i); }
inline std::string Record(int i) {
  char ip[32];
  const std::string mac = Mac(i);
  std::snprintf(ip, sizeof ip, "10.%d.%d.%d", (i >> 16) & 0xFF, (i >> 8) & 0xFF, i & 0xFF);
  return "<Client><TimeStamp>0.0</TimeStamp><GUID>" + Guid(i) + "</GUID><OrgUnit>Sales</OrgUnit><DisplayName>Desk " +
         std::to_string(i) + "</DisplayName><HostName>" + Host(i) + "</HostName><PrimaryMAC>" + mac +
         "</PrimaryMAC><MACList>" + mac + "</MACList><LAAList></LAAList><IPList>" + ip + "</IPList><PrimaryIP>" + ip +
         "</PrimaryIP><Domain>corp.example.com</Domain><Priority>1</Priority><OSType>4096</OSType><Options>562"
         "</Options><CPUDesc>Some CPU @ 2.40GHz</CPUDesc><TotalMemory>16384</TotalMemory><AgentVersion>24.1.0.100"
         "</AgentVersion><ObjectRights><Inherited>1</Inherited></ObjectRights><ClientAgentState>0</ClientAgentState>"
         "<LastActivityChange>0</LastActivityChange><Modified>0</Modified><SaveOptions>0</SaveOptions><WOLSent>"
         "</WOLSent><LastBoot></LastBoot><TimezoneOffset>0</TimezoneOffset><DoNotDisturbUntil></DoNotDisturbUntil>"
         "</Client>";
}

inline std::string Dir() {
  static const std::string dir = [] {
    const auto d = std::filesystem::temp_directory_path() / ("bench_clients." + std::to_string(getpid()));
    std::filesystem::create_directories(d);
    std::atexit([] { std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                                 ("bench_clients." + std::to_string(getpid()))); });
    return d.string();
  }();
  return dir;
}

}  // namespace bench

#endif  // ORVACMN_BENCH_CLIENTS_H_
