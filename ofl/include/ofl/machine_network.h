// Readers of this machine's identity: network adapters and their hardware
// addresses, IPv4 addresses with their netmasks, names, domain or workgroup,
// and a stable machine identifier in the form of a workstation SID.
//
// Each reader comes in two halves: one that reads the machine (the kernel's
// adapter folder, getifaddrs, the host name, a few files under /etc) and one
// that only chooses and formats, so the rules can be checked on any machine.
// Readers that can fail return 0 or an errno value. They keep no state and
// may be called from any thread; reading the machine may take as long as a
// host-name lookup.
#ifndef OFL_MACHINE_NETWORK_H_
#define OFL_MACHINE_NETWORK_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "ofl/net_address.h"
#include "ofl/network_adapter.h"
#include "ofl/string.h"

namespace OFL {

namespace NetworkAdapterInfo {

// Where the kernel lists the network interfaces.
inline constexpr char kSysClassNet[] = "/sys/class/net";

// One entry of the kernel's interface folder.
struct KernelAdapter {
  String name;
  OFLMAC mac;          // empty when the interface has no 48-bit address
  int32_t index = 0;   // the kernel's interface index
  bool loopback = false;
  bool hasDevice = false;  // backed by a device, not purely virtual
};

// Reads every interface under `root` (a folder laid out as /sys/class/net),
// ordered by interface index, then name.
int32_t ReadKernelAdapters(const String& root, std::vector<KernelAdapter>& adapters);
// The adapters whose MACs identify the machine: no loopback, no empty or
// repeated MAC; the ones backed by a device, or all the others when no
// adapter is (a virtual machine or container without device links).
std::vector<KernelAdapter> SelectIdentifyingAdapters(const std::vector<KernelAdapter>& adapters);

// The MACs of the identifying adapters, in interface order.
int32_t GetMacList(std::vector<OFLMAC>& macs, const String& root = kSysClassNet);
// Those of them that are locally administered (set by software).
int32_t RetrieveLocallyAdministeredAddress(std::vector<OFLMAC>& laas, const String& root = kSysClassNet);

}  // namespace NetworkAdapterInfo

namespace NetworkLookup {

// One IPv4 address of an interface as getifaddrs reports it.
struct InterfaceAddress {
  String name;
  OFLIP ip;
  OFLIP mask;
  bool up = false;
  bool loopback = false;
};

// The IPv4 addresses of this machine's interfaces, in the system's order.
int32_t ReadInterfaceAddresses(std::vector<InterfaceAddress>& addresses);

// The addresses of interfaces that are up (or of all, with `includeDown`),
// without loopback and link-local addresses, each once.
std::vector<InterfaceAddress> SelectAddresses(const std::vector<InterfaceAddress>& addresses, bool includeDown);
// One adapter per identifying kernel adapter, in its order, with the
// addresses of the interface of the same name; then one per further
// interface that has addresses but no kernel entry. Loopback is left out.
std::vector<OFLNetworkAdapter> BuildAdapters(const std::vector<NetworkAdapterInfo::KernelAdapter>& kernel,
                                             const std::vector<InterfaceAddress>& addresses);
// For every address its value and its netmask's value in decimal, all joined
// by "#": "3232235796#4294967040#...".
String FormatIpWithPrefix(const std::vector<InterfaceAddress>& addresses);

// The addresses of the interfaces that are up, as SelectAddresses keeps them.
int32_t RetrieveIp(std::vector<OFLIP>& ips);
// The identifying adapters with their addresses.
int32_t RetrieveIpAndMac(std::vector<OFLNetworkAdapter>& adapters);
// FormatIpWithPrefix of the selected addresses; `includeDown` takes the
// addresses of interfaces that are down as well.
int32_t ResolveAllIPWithPrefix(String& out, bool includeDown);

}  // namespace NetworkLookup

}  // namespace OFL

// Names and membership of this machine.
class OFLDomain {
 public:
  using String = OFL::String;

  // Sent when the machine belongs to no domain and no workgroup is configured.
  static constexpr char kDefaultWorkgroup[] = "WORKGROUP";

  // The NetBIOS-style computer name: the first label of the host name,
  // upper-cased and cut to 15 characters.
  static String GetComputerName();
  // The NetBIOS-style domain: the first label of the DNS domain, upper-cased;
  // without a DNS domain "\\" followed by the computer name.
  static String GetCurrentDomain();
  // The "workgroup" of the [global] section of /etc/samba/smb.conf, else
  // kDefaultWorkgroup.
  static String GetCurrentWorkgroup();
  // The machine's identifier from /etc/machine-id (or the D-Bus copy of it)
  // as a workstation SID; ENOENT or EINVAL when there is none.
  static int32_t RetrieveSID(String& sid);
  // Host and DNS domain joined by ".", lower-cased; the host alone without a
  // domain.
  static String GetFullyQualifiedDomainName();
  // The DNS domain: from a dotted host name, the canonical name of the host,
  // or the "domain" or first "search" entry of /etc/resolv.conf.
  static String GetDnsDomain();

  // The rules of the readers above, without the machine.
  static String ComputerNameFromHost(std::string_view host);
  static String DomainFromDnsDomain(std::string_view dnsDomain, std::string_view computerName);
  static String DnsDomainFromResolvConf(std::string_view text);
  // "S-1-5-21-a-b-c" from the first 24 of the 32 hex digits of a machine id
  // (three 32-bit numbers); empty for a text that is no machine id.
  static String SidFromMachineId(std::string_view id);
  static String MakeFqdn(std::string_view host, std::string_view dnsDomain);
};

#endif  // OFL_MACHINE_NETWORK_H_
