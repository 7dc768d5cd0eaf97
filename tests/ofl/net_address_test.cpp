#include "ofl/net_address.h"

#include <gtest/gtest.h>

#include "ofl/bstr.h"

namespace {

TEST(OFLMAC, ReadsSeparatedAndPlainForms) {
  for (const char* text : {"00:1a:2B:3c:4D:5e", "00-1A-2B-3C-4D-5E", "001A2B3C4D5E", "00 1A 2B 3C 4D 5E"}) {
    OFLMAC mac(text);
    EXPECT_EQ(mac.GetString(), "00:1A:2B:3C:4D:5E") << text;
    EXPECT_EQ(mac.GetString('\0'), "001A2B3C4D5E");
  }
  for (const char* bad : {"", "00:1A:2B:3C:4D", "00:1A-2B:3C:4D:5E", "00:1A:2B:3C:4D:5E:", "0G:1A:2B:3C:4D:5E",
                          "00:00:00:00:00:00", "001A2B:3C4D5E"})
    EXPECT_TRUE(OFLMAC(bad).IsEmpty()) << bad;
  EXPECT_TRUE(OFLMAC("02:00:00:00:00:01").IsLocallyAdministered());
  EXPECT_FALSE(OFLMAC("00:1A:2B:3C:4D:5E").IsLocallyAdministered());
  EXPECT_EQ(OFLMAC::NormalizeWildcardString("00:1a-2*.?f"), "001A2*?F");
}

TEST(OFLMAC, MatchesWildcardPatterns) {
  const OFLMAC mac("00:1A:2B:3C:4D:5E");
  for (const char* yes : {"001A2B3C4D5E", "001a2b*", "*5E", "00:1A:??:3C:*", "*", "??????????5?"})
    EXPECT_TRUE(mac.MatchesWildcard(yes)) << yes;
  for (const char* no : {"001A2B3C4D5", "001A2B3C4D5E?", "*5F", "", "00:1A:2B:3C:4D:5E:*:?"})
    EXPECT_FALSE(mac.MatchesWildcard(no)) << no;
  EXPECT_FALSE(OFLMAC().MatchesWildcard("*"));
}

TEST(OFLIP, ParsesAndClassifies) {
  EXPECT_EQ(OFLIP("192.168.1.20").GetValue(), 0xC0A80114u);
  EXPECT_EQ(OFLIP(0xC0A80114u).GetString(), "192.168.1.20");
  for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.", " 1.2.3.4", "1..2.3", "1.2.3.4x", "0001.2.3.4"})
    EXPECT_FALSE(OFLIP::IsValidIP(bad)) << bad;
  EXPECT_TRUE(OFLIP::IsNetmask("255.255.254.0"));
  EXPECT_TRUE(OFLIP::IsNetmask("0.0.0.0"));
  EXPECT_TRUE(OFLIP::IsNetmask("255.255.255.255"));
  EXPECT_FALSE(OFLIP::IsNetmask("255.0.255.0"));
  EXPECT_FALSE(OFLIP::IsNetmask("x"));
  EXPECT_TRUE(OFLIP("10.0.0.1").IsValidRoutedAddress());
  EXPECT_TRUE(OFLIP("223.255.255.254").IsValidRoutedAddress());
  for (const char* unroutable : {"0.1.2.3", "127.0.0.1", "169.254.3.4", "224.0.0.1", "255.255.255.255"})
    EXPECT_FALSE(OFLIP(unroutable).IsValidRoutedAddress()) << unroutable;
}

TEST(Bstr, CarriesUtf8AndZerosAcrossTheBoundary) {
  const std::string text = std::string("a\0b", 3) + "\xC3\xA4\xF0\x9F\x98\x80";
  OFL::ScopedBstr b(text);
  EXPECT_EQ(SysStringLen(b.Get()), 6u);  // a, 0, b, one unit, a surrogate pair
  EXPECT_EQ(b.ToUtf8(), text);
  EXPECT_EQ(OFL::FromUtf16(OFL::ToUtf16("\xFF\xC0\x80\xED\xA0\x80z")), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDz");
  EXPECT_EQ(OFL::FromUtf16(u"\xD800x"), "\xEF\xBF\xBDx");  // a lone surrogate
  *b.Out() = OFL::AllocBstr("new");
  EXPECT_EQ(b.ToUtf8(), "new");
  OFL::ScopedBstr empty;
  EXPECT_EQ(empty.ToUtf8(), "");
}

}  // namespace
