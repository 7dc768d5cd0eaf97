// Client identification: the packed form, tolerant reading, candidates of the identification methods, matching,
// primaries and black lists.
#include "orvacmn/system/client_identification.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

using orvacmn::OVOClientIdentification;
using orvacmn::String;
using CI = OVOClientIdentification;

constexpr char kGuid[] = "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0";
constexpr char kEmpty[] =
    "<ClientIdentification><GUID></GUID><SID></SID><DisplayName></DisplayName><HostName></HostName>"
    "<LMDomain></LMDomain><FQDN></FQDN><TokenizedIpWithPrefix></TokenizedIpWithPrefix><MAC></MAC><LAA></LAA><IP></IP>"
    "<NetworkAdapters></NetworkAdapters></ClientIdentification>";
constexpr char kFull[] =
    "<ClientIdentification><GUID>0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0</GUID><SID>S-1-5-21-1-2-3</SID>"
    "<DisplayName>B&#xFC;ro &lt;1&gt;</DisplayName><HostName>PC1</HostName><LMDomain>CORP</LMDomain>"
    "<FQDN>pc1.corp.example</FQDN><TokenizedIpWithPrefix>3232235796;4294967040;167772165;4278190080"
    "</TokenizedIpWithPrefix><MAC>00:1A:2B:3C:4D:5E;02:00:00:00:00:01</MAC><LAA>02:00:00:00:00:01</LAA>"
    "<IP>192.168.1.20;10.0.0.5</IP><NetworkAdapters>eth0;00:1A:2B:3C:4D:5E;192.168.1.20 | "
    "wl%20an;02:00:00:00:00:01;10.0.0.5,192.168.1.21</NetworkAdapters></ClientIdentification>";

String Ident(const String& body) { return "<ClientIdentification>" + body + "</ClientIdentification>"; }

TEST(ClientIdentification, DefaultAndFullTextsRoundTrip) {
  CI empty;
  EXPECT_TRUE(empty.GetObjectName() == "ClientIdentification" && empty.GetSchema() == 0x50001u);
  EXPECT_EQ(empty.Pack(), kEmpty);
  EXPECT_FALSE(empty.IsValid());
  EXPECT_EQ(empty.GetIdentifier(), "<No Identifier>");

  CI full(kFull);
  EXPECT_EQ(full.Pack(), kFull);
  EXPECT_EQ(CI(full), full);
  CI renamed(full);
  renamed.SetHostname("PC2");
  EXPECT_FALSE(renamed == full);
  String appended = "x";
  full.AppendPack(appended);
  EXPECT_EQ(appended, String("x").append(kFull));
  EXPECT_EQ(full.GetIdentifier(),
            "GUID: 0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0, MACs: 00:1A:2B:3C:4D:5E;02:00:00:00:00:01, "
            "IP: 192.168.1.20;10.0.0.5, HostName: PC1, (LMDomain: CORP), DisplayName: B\xC3\xBCro <1>");
  EXPECT_EQ(full.GetPrimarySubnetMask().GetString(), "255.255.255.0");
  EXPECT_EQ(full.GetValidRoutedIPAddress(), "192.168.1.20");
  OFLXMLParser container("<List><Other/>" + String(kFull) + "</List>");
  container.FindElem();
  container.FindChildElem();
  CI inList;
  EXPECT_EQ(inList.Unpack(container), 0) << "a container's element must carry the object name";
  container.FindChildElem();
  EXPECT_TRUE(inList.Unpack(container) == 1 && inList == full);
  full.Clear();
  EXPECT_EQ(full.Pack(), kEmpty);
}

TEST(ClientIdentification, EmptyPrimaryMacSlotSurvivesTheText) {
  const CI ci(Ident("<MAC>;00-1a-2b-3c-4d-5e;;11:22:33:44:55:66;</MAC>"));
  EXPECT_EQ(ci.GetMACList(), ";00:1A:2B:3C:4D:5E;11:22:33:44:55:66");
  EXPECT_EQ(ci.GetMACList('\0', true), "001A2B3C4D5E;112233445566");
  EXPECT_EQ(CI(ci.Pack()).GetMACList(), ";00:1A:2B:3C:4D:5E;11:22:33:44:55:66");
  EXPECT_TRUE(ci.GetCandidates(CI::eByMacList).empty()) << "no primary MAC";
  EXPECT_TRUE(ci.IsValid());
}

TEST(ClientIdentification, ReadingIsTolerant) {
  using Fields = std::vector<std::pair<String, String>>;
  const std::pair<const char*, Fields> cases[] = {
      {"", {}},
      {"not xml <", {}},
      {"<Other><hostname>pc9</hostname><Unknown>1</Unknown></Other>", {{"HostName", "pc9"}}},
      {"<X><ip>1.2.3.4;300.1.1.1;x;5.6.7.8</ip><laa>zz;02:00:00:00:00:09</laa><Guid>a</Guid><GUID>b</GUID></X>",
       {{"GUID", "b"}, {"LAA", "02:00:00:00:00:09"}, {"IP", "1.2.3.4;5.6.7.8"}}},
      {"<X><NetworkAdapters> | ;;| a%zz;bad;1.2.3.4,x | </NetworkAdapters></X>",
       {{"NetworkAdapters", "a%25zz;;1.2.3.4"}}},
      {"<X><TokenizedIpWithPrefix>1#2;3</TokenizedIpWithPrefix></X>", {{"TokenizedIpWithPrefix", "1;2;3"}}},
  };
  for (const auto& [text, fields] : cases) {
    String expected = kEmpty;
    for (const auto& [tag, value] : fields) {
      const String node = "<" + tag + "></" + tag + ">";
      expected.replace(expected.find(node), node.size(), "<" + tag + ">" + value + "</" + tag + ">");
    }
    CI ci(Ident("<HostName>old</HostName>"));
    EXPECT_EQ(ci.Unpack(text), 1) << text;
    EXPECT_EQ(ci.Pack(), expected) << text;
  }
  // Thirteen entries and adapters: the thirteenth is dropped.
  String ips, adapters;
  for (int i = 1; i <= 13; ++i) {
    ips.append("10.0.0.").append(std::to_string(i)).append(";");
    adapters.append("n").append(std::to_string(i)).append(";; | ");
  }
  const CI many(Ident("<IP>" + ips + "</IP><NetworkAdapters>" + adapters + "</NetworkAdapters>"));
  EXPECT_EQ(many.GetIPCount(), 12);
  EXPECT_EQ(many.GetNetworkAdapters().size(), 12u);
  EXPECT_FALSE(many.FindIP("10.0.0.13"));
}

TEST(ClientIdentification, CandidatesFollowTheMethodTable) {
  CI host;
  host.SetHostname("PC1");
  host.SetLMDomain("CORP");
  std::vector<std::pair<uint32_t, String>> asked;
  for (uint32_t method : CI::kDefaultIdentificationScheme)
    for (const String& c : host.GetCandidates(method)) asked.emplace_back(method, c);
  EXPECT_EQ(asked, (std::vector<std::pair<uint32_t, String>>{{4, "CORP\\PC1"}, {4, "PC1"}}));

  CI full(kFull);
  using V = std::vector<String>;
  EXPECT_EQ(full.GetCandidates(1), V{kGuid});
  EXPECT_EQ(full.GetCandidates(2), V{"00:1A:2B:3C:4D:5E;02:00:00:00:00:01"});
  EXPECT_EQ(full.GetCandidates(3), V{"02:00:00:00:00:01"});
  EXPECT_EQ(full.GetCandidates(5), (V{"192.168.1.20", "10.0.0.5"}));
  EXPECT_EQ(full.GetCandidates(6), V{"B\xC3\xBCro <1>"});
  EXPECT_EQ(full.GetCandidates(7), V{"pc1.corp.example"});
  for (uint32_t method : {0u, 8u, 0xFFFFFFFFu}) EXPECT_TRUE(full.GetCandidates(method).empty()) << method;
  full.SetGuid("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F");
  EXPECT_TRUE(full.GetCandidates(1).empty()) << "a GUID that is not well formed is never sent";
  full.SetLMDomain("");
  EXPECT_EQ(full.GetCandidates(4), V{"PC1"});
}

TEST(ClientIdentification, MatchingAndSearches) {
  const CI ci(kFull);
  for (const char* yes : {"", "192.168.1.2", "10.0.0.5", "pc1", "PC1.CORP.EXAMPLE"}) EXPECT_TRUE(ci.IsMatching(yes)) << yes;
  for (const char* no : {"192.168.1.3", "pc", "CORP", "B\xC3\xBCro <1>"}) EXPECT_FALSE(ci.IsMatching(no)) << no;
  EXPECT_TRUE(ci.FindMAC("02-00-00-00-00-01") && !ci.FindMAC("") && !ci.FindMAC(String("zz")));
  EXPECT_TRUE(ci.FindIP(0x0A000005u) && !ci.FindIP(0u));

  const CI other(Ident("<MAC>;;02:00:00:00:00:01</MAC><IP>1.1.1.1</IP>"));
  EXPECT_EQ(ci.FindMatchingMAC(other), 1);
  EXPECT_EQ(other.FindMatchingMAC(ci), 2);
  EXPECT_EQ(ci.FindMatchingIP(other), -1);
  EXPECT_EQ(ci.FindMatchingIP(CI(Ident("<IP>192.168.1.20</IP>"))), 0);
  EXPECT_TRUE(CI(Ident("<IP>1.2.3.4</IP>")).GetPrimarySubnetMask().IsEmpty()) << "primary not among the pairs";
  EXPECT_EQ(CI(Ident("<IP>169.254.1.1;127.0.0.1</IP>")).GetValidRoutedIPAddress(), "");
}

TEST(ClientIdentification, PrimariesMoveToTheFront) {
  CI ci(Ident("<MAC>;00:00:00:00:00:0A;00:00:00:00:00:0B</MAC><IP>1.1.1.1;2.2.2.2</IP>"));
  ci.SetPrimaryMAC(OFLMAC("00:00:00:00:00:0B"));
  EXPECT_EQ(ci.GetMACList(), "00:00:00:00:00:0B;00:00:00:00:00:0A");
  ci.SetPrimaryMAC(OFLMAC("00:00:00:00:00:0C"));
  EXPECT_EQ(ci.GetMACList(), "00:00:00:00:00:0C;00:00:00:00:00:0B;00:00:00:00:00:0A");
  ci.SetPrimaryMAC(OFLMAC());
  EXPECT_EQ(ci.GetMACCount(), 3);
  ci.SetPrimaryIP("2.2.2.2");
  EXPECT_EQ(ci.GetIPList(), "2.2.2.2;1.1.1.1");
  ci.SetIPListNoReset("3.3.3.3");
  EXPECT_EQ(ci.GetIPList(), "3.3.3.3;1.1.1.1");
  ci.SetIPList("4.4.4.4");
  EXPECT_EQ(ci.GetIPList(), "4.4.4.4");
  ci.SetMACListNoReset(";00:00:00:00:00:0D");
  EXPECT_EQ(ci.GetMACList(), ";00:00:00:00:00:0D;00:00:00:00:00:0A") << "an empty entry empties its slot";
}

TEST(ClientIdentification, BlacklistsCloseTheGaps) {
  CI ci(Ident("<MAC>00:50:56:00:00:01;00:1A:2B:3C:4D:5E;00:50:56:00:00:02;00:1A:00:00:00:01</MAC>"
              "<IP>10.1.2.3;192.168.7.7;10.9.9.9</IP>"));
  ci.RemoveBlacklistedIds(OFLTokenizer("00:50:56:*", ";"), OFLTokenizer("10.*", ";"));
  EXPECT_EQ(ci.GetMACList(), "00:1A:2B:3C:4D:5E;00:1A:00:00:00:01");
  EXPECT_EQ(ci.GetIPList(), "192.168.7.7");
  String list = "10.1.2.3;;192.168.7.7;10.9.9.9";
  CI::RemoveBlacklistedIPs(list, OFLTokenizer("*.9.9.9;nothing", ";"));
  EXPECT_EQ(list, "10.1.2.3;192.168.7.7");
}

TEST(ClientIdentification, UpdateKeepsOwnGuidAndSid) {
  CI mine(Ident("<GUID>g-old</GUID><SID>S-old</SID><HostName>A</HostName>"));
  mine.Update(CI(Ident("<GUID>g-new</GUID><HostName>B</HostName>")));
  EXPECT_EQ(mine.GetGuid() + mine.GetSid() + mine.GetHostname(), "g-oldS-oldB");
  CI blank;
  blank.Update(CI(Ident("<GUID>g-new</GUID><SID>S-new</SID>")));
  EXPECT_EQ(blank.GetGuid() + blank.GetSid(), "g-newS-new");
}

// Only what holds on any Linux machine.
TEST(ClientIdentification, InitReadsThisMachine) {
  CI ci(kFull);
  const int32_t status = ci.Init(CI::kInitFqdn | CI::kInitSid, true);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ci, CI(kFull)) << "FQDN and SID are read only with the domain";
  ci.Init();
  EXPECT_EQ(ci.GetHostname(), OFL::ToUpper(ci.GetHostname()));
  EXPECT_EQ(ci.GetFQDN(), OFL::ToLower(ci.GetFQDN()));
  for (const OFLIP& ip : ci.GetIPs()) EXPECT_TRUE(!ip.IsLoopback() && !ip.IsLinkLocal()) << ip.GetString();
  for (int32_t i = 0; i < ci.GetLAACount(); ++i) EXPECT_TRUE(ci.FindMAC(ci.GetLAAs()[i]));
  EXPECT_EQ(CI(ci.Pack()).Pack(), ci.Pack());
}

}  // namespace
