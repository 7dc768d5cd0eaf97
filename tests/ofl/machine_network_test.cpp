// Network adapters as text, and the rules of the machine readers on made-up machines; on the real machine only
// what holds everywhere.
#include "ofl/machine_network.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/scratch.h"
#include "ofl/tokenizer.h"

namespace {

namespace fs = std::filesystem;
using OFL::String;
using OFL::NetworkAdapterInfo::KernelAdapter;
using OFL::NetworkLookup::InterfaceAddress;

TEST(OFLNetworkAdapter, TextFormRoundTripsAndEscapesTheName) {
  OFLNetworkAdapter a;
  EXPECT_EQ(a.GetAsString(), ";;");
  a.SetName("my nic|1;2,3%\x01");
  a.SetMAC(OFLMAC("00-1a-2b-3c-4d-5e"));
  for (const char* ip : {"10.0.0.1", "169.254.0.9", "10.0.0.1", "", "192.168.0.2"}) a.AddIP(OFLIP(ip));
  const String text = "my%20nic%7C1%3B2%2C3%25%01;00:1A:2B:3C:4D:5E;10.0.0.1,169.254.0.9,192.168.0.2";
  EXPECT_EQ(a.GetAsString(), text);
  EXPECT_EQ(OFLNetworkAdapter(text), a);
  a.RemoveLinkLocalIPs();
  EXPECT_EQ(a.GetIPs().size(), 2u);
  // Tolerant reading; what it read writes a fixed point.
  const std::pair<const char*, const char*> cases[] = {
      {"eth0", "eth0;;"},       {"%4", "%254;;"},         {"x;zz;1.2.3.4,,bad,5.6.7.8", "x;;1.2.3.4,5.6.7.8"},
      {";;", ";;"},             {"a;b;c;d", "a;;"},       {"%41%e9;02:00:00:00:00:01", "A%E9;02:00:00:00:00:01;"},
  };
  for (const auto& [in, out] : cases) {
    OFLNetworkAdapter b(in);
    EXPECT_EQ(b.GetAsString(), out) << in;
    EXPECT_EQ(OFLNetworkAdapter(b.GetAsString()), b) << in;
  }
}

// A folder laid out like the kernel's interface list.
class FakeSysClassNet : public ::testing::Test {
 protected:
  void Add(const char* name, const char* mac, int index, int type, bool device) {
    const fs::path dir = root_ / name;
    orvacmn::testing::WriteFile(dir / "address", String(mac) + "\n");
    orvacmn::testing::WriteFile(dir / "ifindex", std::to_string(index) + "\n");
    orvacmn::testing::WriteFile(dir / "type", std::to_string(type) + "\n");
    if (device) fs::create_directories(dir / "device");
  }
  String Macs(bool laaOnly) {
    std::vector<OFLMAC> macs;
    const int32_t rc = laaOnly ? OFL::NetworkAdapterInfo::RetrieveLocallyAdministeredAddress(macs, root_.string())
                               : OFL::NetworkAdapterInfo::GetMacList(macs, root_.string());
    String out = std::to_string(rc) + ":";
    for (const OFLMAC& m : macs) out += m.GetString('\0') + ",";
    return out;
  }
  const orvacmn::testing::ScratchDir scratch_;
  const fs::path root_ = scratch_.path();
};

TEST_F(FakeSysClassNet, PhysicalAdaptersInIndexOrderLocallyAdministeredApart) {
  Add("lo", "00:00:00:00:00:00", 1, 772, false);
  Add("wlan0", "02:00:00:00:00:0B", 3, 1, true);
  Add("eth0", "00:1a:2b:3c:4d:5e", 2, 1, true);
  Add("docker0", "02:42:00:00:00:01", 4, 1, false);
  Add("bond0", "00:1A:2B:3C:4D:5E", 5, 1, true);
  Add("tun0", "", 6, 65534, true);
  EXPECT_EQ(Macs(false), "0:001A2B3C4D5E,02000000000B,");
  EXPECT_EQ(Macs(true), "0:02000000000B,");
}

TEST_F(FakeSysClassNet, WithoutDeviceLinksTheVirtualAdaptersCount) {
  Add("lo", "00:00:00:00:00:00", 1, 772, false);
  Add("veth1", "02:fc:00:00:00:01", 7, 1, false);
  Add("ifb0", "36:62:f1:ba:89:a1", 2, 1, false);
  EXPECT_EQ(Macs(false), "0:3662F1BA89A1,02FC00000001,");
  fs::remove_all(root_);
  EXPECT_NE(Macs(false).substr(0, 2), "0:") << "a missing folder is an error";
}

TEST(NetworkLookup, AddressesAdaptersAndPrefixes) {
  const std::vector<InterfaceAddress> addresses = {
      {"lo", OFLIP("127.0.0.1"), OFLIP("255.0.0.0"), true, true},
      {"eth0", OFLIP("192.168.1.20"), OFLIP("255.255.255.0"), true, false},
      {"eth0:1", OFLIP("169.254.3.3"), OFLIP("255.255.0.0"), true, false},
      {"eth0:2", OFLIP("10.0.0.5"), OFLIP("255.0.0.0"), true, false},
      {"wlan0", OFLIP("172.16.0.9"), OFLIP("255.255.0.0"), false, false},
      {"docker0", OFLIP("172.17.0.1"), OFLIP("255.255.0.0"), true, false},
      {"ppp0", OFLIP("100.64.0.7"), OFLIP("255.255.255.255"), true, false},
      {"eth1", OFLIP("192.168.1.20"), OFLIP("255.255.255.0"), true, false},
  };
  const auto format = [&addresses](bool includeDown) {
    return OFL::NetworkLookup::FormatIpWithPrefix(OFL::NetworkLookup::SelectAddresses(addresses, includeDown));
  };
  EXPECT_EQ(format(false), "3232235796#4294967040#167772165#4278190080#2886795265#4294901760#1681915911#4294967295");
  EXPECT_EQ(format(true).substr(0, 64), "3232235796#4294967040#167772165#4278190080#2886729737#4294901760");

  const std::vector<KernelAdapter> kernel = {{"lo", OFLMAC(), 1, true, false},
                                             {"eth0", OFLMAC("00:1A:2B:3C:4D:5E"), 2, false, true},
                                             {"wlan0", OFLMAC("00:1A:2B:3C:4D:5F"), 3, false, true},
                                             {"docker0", OFLMAC("02:42:00:00:00:01"), 4, false, false}};
  String out;
  for (const OFLNetworkAdapter& a : OFL::NetworkLookup::BuildAdapters(kernel, addresses)) out += a.GetAsString() + " | ";
  EXPECT_EQ(out,
            "eth0;00:1A:2B:3C:4D:5E;192.168.1.20,10.0.0.5 | wlan0;00:1A:2B:3C:4D:5F;172.16.0.9 | ppp0;;100.64.0.7 | ");
}

TEST(OFLDomain, NamingRules) {
  EXPECT_EQ(OFLDomain::ComputerNameFromHost("build-server-0042.corp.example"), "BUILD-SERVER-00");
  EXPECT_EQ(OFLDomain::DomainFromDnsDomain("corp.example.com", "PC1"), "CORP");
  EXPECT_EQ(OFLDomain::DomainFromDnsDomain("", "PC1"), "\\\\PC1");
  EXPECT_EQ(OFLDomain::MakeFqdn("PC1.old", "Corp.Example"), "pc1.corp.example");
  EXPECT_EQ(OFLDomain::MakeFqdn("PC1", ""), "pc1");
  EXPECT_EQ(OFLDomain::DnsDomainFromResolvConf("# domain x\nnameserver 1.1.1.1\ndomain first.example\n"
                                               "search Corp.Example. other.example\ndomainx y\n"),
            "corp.example");
  EXPECT_EQ(OFLDomain::SidFromMachineId("3d1219c7c4c5404aaa1f6d2a48adfda4\n"), "S-1-5-21-1024596423-3301261386-2854186282");
  for (const char* bad : {"", "3d1219c7c4c5404aaa1f6d2a48adfda", "3d1219c7c4c5404aaa1f6d2a48adfdag"})
    EXPECT_EQ(OFLDomain::SidFromMachineId(bad), "") << bad;
}

// Only what holds on any Linux machine.
TEST(MachineNetwork, ThisMachine) {
  std::vector<OFLMAC> macs, laas;
  if (OFL::NetworkAdapterInfo::GetMacList(macs) == 0) {
    for (const OFLMAC& m : macs) EXPECT_FALSE(m.IsEmpty());
    EXPECT_EQ(OFL::NetworkAdapterInfo::RetrieveLocallyAdministeredAddress(laas), 0);
    for (const OFLMAC& m : laas) EXPECT_TRUE(m.IsLocallyAdministered() && std::count(macs.begin(), macs.end(), m) == 1);
  }
  std::vector<OFLIP> ips;
  ASSERT_EQ(OFL::NetworkLookup::RetrieveIp(ips), 0);
  for (const OFLIP& ip : ips) EXPECT_TRUE(!ip.IsEmpty() && !ip.IsLoopback() && !ip.IsLinkLocal()) << ip.GetString();
  std::vector<OFLNetworkAdapter> adapters;
  ASSERT_EQ(OFL::NetworkLookup::RetrieveIpAndMac(adapters), 0);
  for (const OFLNetworkAdapter& a : adapters) EXPECT_NE(a.GetName(), "lo");
  String prefixes;
  ASSERT_EQ(OFL::NetworkLookup::ResolveAllIPWithPrefix(prefixes, true), 0);
  EXPECT_EQ(OFLTokenizer(prefixes, "#").GetCount() % 2, 0);
  String sid;
  if (OFLDomain::RetrieveSID(sid) == 0) {
    EXPECT_EQ(sid.rfind("S-1-5-21-", 0), 0u);
  }
}

}  // namespace
