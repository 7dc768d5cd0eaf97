#include "ofl/machine_network.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "ofl/profile.h"
#include "ofl/tools.h"

namespace OFL {
namespace {

constexpr int32_t kArpHrdLoopback = 772;  // the kernel's interface type of loopback
constexpr size_t kNetBiosNameLength = 15;

// The first `limit` bytes of a small system file; false when it cannot be read.
bool ReadSmallFile(const std::filesystem::path& path, String& text, size_t limit = 65536) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(limit, '\0');
  in.read(text.data(), static_cast<std::streamsize>(limit));
  text.resize(static_cast<size_t>(in.gcount()));
  return true;
}

String ReadTrimmed(const std::filesystem::path& path) {
  String text;
  return ReadSmallFile(path, text, 256) ? Trim(text) : String();
}

std::string_view FirstLabel(std::string_view name) { return name.substr(0, name.find('.')); }

// getifaddrs names an alias "eth0:1"; the adapter is "eth0".
std::string_view BaseInterfaceName(std::string_view name) { return name.substr(0, name.find(':')); }

String HostName() {
  char buffer[256] = {};
  if (gethostname(buffer, sizeof buffer - 1) != 0) return String();
  return String(buffer);
}

OFLIP IpOf(const sockaddr* address) {
  if (!address || address->sa_family != AF_INET) return OFLIP();
  return OFLIP(ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr));
}

}  // namespace

namespace NetworkAdapterInfo {

int32_t ReadKernelAdapters(const String& root, std::vector<KernelAdapter>& adapters) {
  namespace fs = std::filesystem;
  adapters.clear();
  std::error_code ec;
  fs::directory_iterator it(root, ec);
  if (ec) return ec.value();
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return ec.value();
    const fs::path dir = it->path();
    KernelAdapter a;
    a.name = dir.filename().string();
    a.mac.Set(ReadTrimmed(dir / "address"));
    a.index = CRT::atol(ReadTrimmed(dir / "ifindex"));
    a.loopback = a.name == "lo" || CRT::atol(ReadTrimmed(dir / "type")) == kArpHrdLoopback;
    a.hasDevice = fs::exists(dir / "device", ec);
    adapters.push_back(std::move(a));
  }
  std::sort(adapters.begin(), adapters.end(), [](const KernelAdapter& x, const KernelAdapter& y) {
    return x.index != y.index ? x.index < y.index : x.name < y.name;
  });
  return 0;
}

std::vector<KernelAdapter> SelectIdentifyingAdapters(const std::vector<KernelAdapter>& adapters) {
  const bool anyDevice = std::any_of(adapters.begin(), adapters.end(), [](const KernelAdapter& a) {
    return a.hasDevice && !a.loopback && !a.mac.IsEmpty();
  });
  std::vector<KernelAdapter> chosen;
  std::set<std::array<uint8_t, 6>> seen;
  for (const KernelAdapter& a : adapters) {
    if (a.loopback || a.mac.IsEmpty() || (anyDevice && !a.hasDevice)) continue;
    // Bonded or teamed adapters share one MAC; it identifies the machine once.
    if (seen.insert(a.mac.GetBytes()).second) chosen.push_back(a);
  }
  return chosen;
}

namespace {
int32_t ReadMacs(const String& root, std::vector<OFLMAC>& macs, bool onlyLocallyAdministered) {
  macs.clear();
  std::vector<KernelAdapter> adapters;
  if (const int32_t rc = ReadKernelAdapters(root, adapters)) return rc;
  for (const KernelAdapter& a : SelectIdentifyingAdapters(adapters))
    if (!onlyLocallyAdministered || a.mac.IsLocallyAdministered()) macs.push_back(a.mac);
  return 0;
}
}  // namespace

int32_t GetMacList(std::vector<OFLMAC>& macs, const String& root) { return ReadMacs(root, macs, false); }

int32_t RetrieveLocallyAdministeredAddress(std::vector<OFLMAC>& laas, const String& root) {
  return ReadMacs(root, laas, true);
}

}  // namespace NetworkAdapterInfo

namespace NetworkLookup {

int32_t ReadInterfaceAddresses(std::vector<InterfaceAddress>& addresses) {
  addresses.clear();
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return errno;
  const std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(list, &freeifaddrs);
  for (const ifaddrs* i = list; i; i = i->ifa_next) {
    if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
    InterfaceAddress a;
    a.name = i->ifa_name ? i->ifa_name : "";
    a.ip = IpOf(i->ifa_addr);
    a.mask = IpOf(i->ifa_netmask);
    a.up = (i->ifa_flags & IFF_UP) != 0;
    a.loopback = (i->ifa_flags & IFF_LOOPBACK) != 0;
    addresses.push_back(std::move(a));
  }
  return 0;
}

std::vector<InterfaceAddress> SelectAddresses(const std::vector<InterfaceAddress>& addresses, bool includeDown) {
  std::vector<InterfaceAddress> chosen;
  std::unordered_set<uint32_t> seen;
  for (const InterfaceAddress& a : addresses) {
    if (a.loopback || a.ip.IsEmpty() || a.ip.IsLoopback() || a.ip.IsLinkLocal() || (!a.up && !includeDown)) continue;
    if (seen.insert(a.ip.GetValue()).second) chosen.push_back(a);
  }
  return chosen;
}

std::vector<OFLNetworkAdapter> BuildAdapters(const std::vector<NetworkAdapterInfo::KernelAdapter>& kernel,
                                             const std::vector<InterfaceAddress>& addresses) {
  std::vector<OFLNetworkAdapter> adapters;
  std::unordered_map<String, size_t> position;  // adapter name -> index in `adapters`
  for (const auto& k : NetworkAdapterInfo::SelectIdentifyingAdapters(kernel)) {
    OFLNetworkAdapter a;
    a.SetName(k.name);
    a.SetMAC(k.mac);
    adapters.push_back(std::move(a));
  }
  for (size_t i = 0; i < adapters.size(); ++i) position.emplace(adapters[i].GetName(), i);
  std::unordered_set<std::string_view> known;  // interfaces the kernel lists, chosen or not
  for (const auto& k : kernel) known.insert(k.name);
  const std::vector<InterfaceAddress> chosen = SelectAddresses(addresses, true);
  for (const InterfaceAddress& a : chosen) {
    const std::string_view name = BaseInterfaceName(a.name);
    auto it = position.find(String(name));
    if (it == position.end()) {
      if (known.count(name)) continue;
      OFLNetworkAdapter extra;
      extra.SetName(name);
      adapters.push_back(std::move(extra));
      it = position.emplace(String(name), adapters.size() - 1).first;
    }
    adapters[it->second].AddIP(a.ip);
  }
  return adapters;
}

String FormatIpWithPrefix(const std::vector<InterfaceAddress>& addresses) {
  String out;
  for (const InterfaceAddress& a : addresses) {
    if (!out.empty()) out += '#';
    out += OFLTools::ULToA(a.ip.GetValue());
    out += '#';
    out += OFLTools::ULToA(a.mask.GetValue());
  }
  return out;
}

int32_t RetrieveIp(std::vector<OFLIP>& ips) {
  ips.clear();
  std::vector<InterfaceAddress> addresses;
  if (const int32_t rc = ReadInterfaceAddresses(addresses)) return rc;
  for (const InterfaceAddress& a : SelectAddresses(addresses, false)) ips.push_back(a.ip);
  return 0;
}

int32_t RetrieveIpAndMac(std::vector<OFLNetworkAdapter>& adapters) {
  adapters.clear();
  std::vector<NetworkAdapterInfo::KernelAdapter> kernel;
  // Without the kernel's folder the adapters still come with their addresses.
  NetworkAdapterInfo::ReadKernelAdapters(NetworkAdapterInfo::kSysClassNet, kernel);
  std::vector<InterfaceAddress> addresses;
  if (const int32_t rc = ReadInterfaceAddresses(addresses)) return rc;
  adapters = BuildAdapters(kernel, addresses);
  return 0;
}

int32_t ResolveAllIPWithPrefix(String& out, bool includeDown) {
  out.clear();
  std::vector<InterfaceAddress> addresses;
  if (const int32_t rc = ReadInterfaceAddresses(addresses)) return rc;
  out = FormatIpWithPrefix(SelectAddresses(addresses, includeDown));
  return 0;
}

}  // namespace NetworkLookup
}  // namespace OFL

// ---- OFLDomain ----

OFL::String OFLDomain::ComputerNameFromHost(std::string_view host) {
  return OFL::ToUpper(OFL::FirstLabel(host).substr(0, OFL::kNetBiosNameLength));
}

OFL::String OFLDomain::DomainFromDnsDomain(std::string_view dnsDomain, std::string_view computerName) {
  if (dnsDomain.empty()) return "\\\\" + String(computerName);
  return OFL::ToUpper(OFL::FirstLabel(dnsDomain).substr(0, OFL::kNetBiosNameLength));
}

OFL::String OFLDomain::DnsDomainFromResolvConf(std::string_view text) {
  // As the resolver reads it: the last "domain" or "search" line wins.
  String domain;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const String line = OFL::Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    for (const std::string_view key : {"domain", "search"}) {
      if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 &&
          (line[key.size()] == ' ' || line[key.size()] == '\t')) {
        const String rest = OFL::Trim(std::string_view(line).substr(key.size()));
        domain = rest.substr(0, rest.find_first_of(" \t"));
      }
    }
  }
  while (!domain.empty() && domain.back() == '.') domain.pop_back();
  return OFL::ToLower(domain);
}

OFL::String OFLDomain::SidFromMachineId(std::string_view id) {
  const String trimmed = OFL::Trim(id);
  if (trimmed.size() != 32) return String();
  uint32_t part[3] = {};
  for (size_t i = 0; i < trimmed.size(); ++i) {
    const char c = OFL::ToUpperAscii(trimmed[i]);
    const int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
    if (digit < 0) return String();
    if (i < 24) part[i / 8] = part[i / 8] << 4 | static_cast<uint32_t>(digit);
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "S-1-5-21-%u-%u-%u", part[0], part[1], part[2]);
  return buffer;
}

OFL::String OFLDomain::MakeFqdn(std::string_view host, std::string_view dnsDomain) {
  String fqdn(OFL::FirstLabel(host));
  if (!dnsDomain.empty()) {
    fqdn += '.';
    fqdn += dnsDomain;
  }
  return OFL::ToLower(fqdn);
}

OFL::String OFLDomain::GetComputerName() { return ComputerNameFromHost(OFL::HostName()); }

OFL::String OFLDomain::GetDnsDomain() {
  const String host = OFL::HostName();
  String domain;
  if (const size_t dot = host.find('.'); dot != String::npos) {
    domain = host.substr(dot + 1);
  } else if (!host.empty()) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* result = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &result) == 0 && result) {
      const String canonical = result->ai_canonname ? result->ai_canonname : "";
      if (const size_t dot = canonical.find('.'); dot != String::npos) domain = canonical.substr(dot + 1);
      freeaddrinfo(result);
    }
  }
  if (domain.empty()) {
    String text;
    if (OFL::ReadSmallFile("/etc/resolv.conf", text)) return DnsDomainFromResolvConf(text);
  }
  while (!domain.empty() && domain.back() == '.') domain.pop_back();
  return OFL::ToLower(domain);
}

OFL::String OFLDomain::GetCurrentDomain() { return DomainFromDnsDomain(GetDnsDomain(), GetComputerName()); }

OFL::String OFLDomain::GetCurrentWorkgroup() {
  const String workgroup = OFL::Trim(OFL::Profile::GetString("/etc/samba/smb.conf", "global", "workgroup"));
  return workgroup.empty() ? String(kDefaultWorkgroup) : OFL::ToUpper(workgroup);
}

int32_t OFLDomain::RetrieveSID(String& sid) {
  sid.clear();
  String text;
  if (!OFL::ReadSmallFile("/etc/machine-id", text, 256) && !OFL::ReadSmallFile("/var/lib/dbus/machine-id", text, 256))
    return ENOENT;
  sid = SidFromMachineId(text);
  return sid.empty() ? EINVAL : 0;
}

OFL::String OFLDomain::GetFullyQualifiedDomainName() { return MakeFqdn(OFL::HostName(), GetDnsDomain()); }
