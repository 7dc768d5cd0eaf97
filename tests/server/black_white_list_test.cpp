// Address black and white lists: what each type accepts, which entry decides,
// and the result of either mode.
#include "orvacmn/server/black_white_list.h"

#include <gtest/gtest.h>

namespace orvacmn {
namespace {

struct Outcome {
  int result;
  String matched;
  bool operator==(const Outcome&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Outcome& o) { return os << o.result << " [" << o.matched << "]"; }

Outcome Check(const CBlackWhiteList& list, std::string_view value) {
  String matched = "stale";
  const int result = list.Check(value, &matched);
  return {result, matched};
}

TEST(BlackWhiteList, IPNetworksDecideInEitherMode) {
  const CBlackWhiteList white("10.0.0.0/8", eBlackWhiteListIP, CBlackWhiteList::kWhiteList);
  EXPECT_EQ(Check(white, "10.1.2.3"), (Outcome{0, "10.0.0.0/8"}));
  EXPECT_EQ(Check(white, "192.168.0.1"), (Outcome{1, ""}));
  EXPECT_EQ(Check(white, "11.0.0.0"), (Outcome{1, ""}));

  const CBlackWhiteList black("!10.0.0.0/8", eBlackWhiteListIP, CBlackWhiteList::kBlackList);
  EXPECT_EQ(Check(black, "192.168.0.1"), (Outcome{1, "!10.0.0.0/8"}));
  EXPECT_EQ(Check(black, "10.1.2.3"), (Outcome{0, ""}));
  // The result of a deciding entry is the mode as given.
  EXPECT_EQ(CBlackWhiteList("1.2.3.4", eBlackWhiteListIP, 7).Check("1.2.3.4"), 7);
  EXPECT_EQ(CBlackWhiteList("1.2.3.4", eBlackWhiteListIP, 7).Check("1.2.3.5"), 0);
}

TEST(BlackWhiteList, IPEntryForms) {
  const CBlackWhiteList list(
      "192.168.1.0/255.255.255.0;172.16.0.0/12;0.0.0.0/0;10.0.0.1;10.2.*;10.3.?.1;1.0.0.0/33;2.0.0.0/x;3.0.0.0/1.2",
      eBlackWhiteListIP, CBlackWhiteList::kBlackList);
  EXPECT_EQ(list.GetCount(), 9);
  EXPECT_EQ(Check(list, "192.168.1.77"), (Outcome{1, "192.168.1.0/255.255.255.0"}));
  EXPECT_EQ(Check(list, "172.31.255.255"), (Outcome{1, "172.16.0.0/12"}));
  // Prefix 0 is every address; only a valid value reaches it.
  EXPECT_EQ(Check(list, "8.8.8.8"), (Outcome{1, "0.0.0.0/0"}));
  EXPECT_EQ(Check(list, "8.8.8"), (Outcome{0, ""}));
  EXPECT_EQ(Check(list, "not an address"), (Outcome{0, ""}));

  const CBlackWhiteList exact(
      "10.0.0.1;10.2.*;10.3.?.1;1.0.0.0/33;2.0.0.0/x;3.0.0.0/1.2;9.0.0.0/08;8.0.0.0/0032;7.0.0.0/", eBlackWhiteListIP,
      CBlackWhiteList::kBlackList);
  EXPECT_EQ(Check(exact, "10.0.0.1"), (Outcome{1, "10.0.0.1"}));
  EXPECT_EQ(Check(exact, "10.0.0.2"), (Outcome{0, ""}));
  EXPECT_EQ(Check(exact, "10.2.200.3"), (Outcome{1, "10.2.*"}));
  EXPECT_EQ(Check(exact, "10.3.7.1"), (Outcome{1, "10.3.?.1"}));
  EXPECT_EQ(Check(exact, "10.3.17.1"), (Outcome{0, ""}));
  // A prefix above 32 or not a number never matches; a dotted mask that is
  // no address neither; "08" is a prefix of 8.
  EXPECT_EQ(Check(exact, "1.0.0.0"), (Outcome{0, ""}));
  EXPECT_EQ(Check(exact, "2.0.0.0"), (Outcome{0, ""}));
  EXPECT_EQ(Check(exact, "3.0.0.0"), (Outcome{0, ""}));
  EXPECT_EQ(Check(exact, "9.255.0.1"), (Outcome{1, "9.0.0.0/08"}));
  EXPECT_EQ(Check(exact, "8.0.0.0"), (Outcome{1, "8.0.0.0/0032"}));
  EXPECT_EQ(Check(exact, "8.0.0.1"), (Outcome{0, ""}));
  EXPECT_EQ(Check(exact, "7.0.0.0"), (Outcome{0, ""}));
  // Negated entries that cannot match decide for every value.
  EXPECT_EQ(Check(CBlackWhiteList("!1.0.0.0/33", eBlackWhiteListIP, 1), "1.0.0.0"), (Outcome{1, "!1.0.0.0/33"}));
  EXPECT_EQ(Check(CBlackWhiteList("!0.0.0.0", eBlackWhiteListIP, 1), "0.0.0.0"), (Outcome{0, ""}));
}

TEST(BlackWhiteList, AddRefusesWhatIsInvalidForTheTypeAndDuplicates) {
  CBlackWhiteList ip(String(), eBlackWhiteListIP, 0);
  EXPECT_EQ(ip.Add("10.0.0.1"), 1);
  EXPECT_EQ(ip.Add("10.0.0.1"), 0);
  EXPECT_EQ(ip.Add(" 10.0.0.1 "), 0);  // blanks around are no part of it
  EXPECT_EQ(ip.Add("!10.0.0.1"), 1);   // the negation is another entry
  EXPECT_EQ(ip.Add("! 10.0.0.1"), 0);
  EXPECT_EQ(ip.Add("300.1.1.1"), 0);
  EXPECT_EQ(ip.Add("300.*"), 1);
  EXPECT_EQ(ip.Add("10.0.0.0/abc"), 1);  // networks are kept as written
  EXPECT_EQ(ip.Add(""), 0);
  EXPECT_EQ(ip.Add("!"), 0);
  EXPECT_EQ(ip.Add("pc1"), 0);
  EXPECT_EQ(ip.Describe(), "10.0.0.1;!10.0.0.1;300.*;10.0.0.0/abc (Whitelist mode)");

  // Set keeps the valid entries of a list text and refuses the rest.
  EXPECT_EQ(ip.Set("1.1.1.1;bad;;2.2.2.2;1.1.1.1;x.y", eBlackWhiteListIP, 1), 2);
  EXPECT_EQ(ip.Describe(), "1.1.1.1;2.2.2.2 (BlackList mode)");
  ip.Clear();
  EXPECT_EQ(ip.GetCount(), 0);
  EXPECT_EQ(ip.Add("1.1.1.1"), 1);  // Clear forgets the duplicates too
}

TEST(BlackWhiteList, MACEntriesAreNormalisedAndMatchedByWildcards) {
  CBlackWhiteList mac(String(), eBlackWhiteListMAC, CBlackWhiteList::kWhiteList);
  EXPECT_EQ(mac.Add("00:1a:2b:3c:4d:5e"), 1);
  EXPECT_EQ(mac.Add("00-1A-2B-3C-4D-5E"), 0);  // the same once normalised
  EXPECT_EQ(mac.Add("!00-50-56-*"), 1);
  EXPECT_EQ(mac.Add("AA:BB:??:DD:EE:FF"), 1);
  EXPECT_EQ(mac.Add("00:1a:2b:3c:4d"), 0);
  EXPECT_EQ(mac.Add("00:00:00:00:00:00"), 0);
  EXPECT_EQ(mac.Add("ZZ*"), 0);              // can never match
  EXPECT_EQ(mac.Add("0011223344556?*"), 0);  // thirteen places
  EXPECT_EQ(mac.Add("001122334455*"), 1);
  EXPECT_EQ(mac.GetEntry(0), "001A2B3C4D5E");
  EXPECT_EQ(mac.GetEntry(1), "!005056*");
  EXPECT_EQ(mac.Describe(), "001A2B3C4D5E;!005056*;AABB??DDEEFF;001122334455* (Whitelist mode)");

  EXPECT_EQ(Check(mac, "00-1A-2B-3C-4D-5E"), (Outcome{0, "001A2B3C4D5E"}));
  EXPECT_EQ(Check(mac, "aabbccddeeff"), (Outcome{0, "!005056*"}));  // the negation decides first
  EXPECT_EQ(Check(mac, "00:50:56:01:02:03"), (Outcome{1, ""}));
  const CBlackWhiteList patterns("AA:BB:??:DD:EE:FF;001122334455*", eBlackWhiteListMAC, 1);
  EXPECT_EQ(Check(patterns, "aa-bb-cc-dd-ee-ff"), (Outcome{1, "AABB??DDEEFF"}));
  EXPECT_EQ(Check(patterns, "001122334455"), (Outcome{1, "001122334455*"}));
  EXPECT_EQ(Check(patterns, "AABBCCDDEEF0"), (Outcome{0, ""}));
  // A value that is no MAC matches no entry; a negated entry then decides.
  const CBlackWhiteList white("00:11:22:33:44:55", eBlackWhiteListMAC, 0);
  EXPECT_EQ(Check(white, "PC1"), (Outcome{1, ""}));
  EXPECT_EQ(Check(white, "00:11:22:33:44:55"), (Outcome{0, "001122334455"}));
  EXPECT_EQ(Check(CBlackWhiteList("!00:11:22:33:44:55", eBlackWhiteListMAC, 1), "PC1"), (Outcome{1, "!001122334455"}));
}

TEST(BlackWhiteList, TextEntriesUseWildcardsWithoutCase) {
  const CBlackWhiteList names("PC-*;kiosk?;!lab*", static_cast<EBlackWhiteListType>(5), 1);
  EXPECT_EQ(Check(names, "pc-42"), (Outcome{1, "PC-*"}));
  EXPECT_EQ(Check(names, "KIOSK7"), (Outcome{1, "kiosk?"}));
  EXPECT_EQ(Check(names, "kiosk77"), (Outcome{1, "!lab*"}));
  EXPECT_EQ(Check(names, "lab1"), (Outcome{0, ""}));
  EXPECT_EQ(names.Check("lab1"), 0);                  // without an out argument
  EXPECT_EQ(CBlackWhiteList().Check("anything"), 1);  // an empty white list refuses all
  EXPECT_EQ(CBlackWhiteList("", eBlackWhiteListText, 0).Describe(), " (Whitelist mode)");
}

}  // namespace
}  // namespace orvacmn
