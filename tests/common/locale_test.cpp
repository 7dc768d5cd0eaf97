#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "ofl/locale.h"
#include "orvacmn/common/ovo_helper.h"
#include "tz.h"

namespace orvacmn {
namespace {

using namespace OFL::Locale;
using orvacmn::testing::kCentralEurope;
using orvacmn::testing::ScopedTZ;

// Restores the process's default locale after each test.
class LocaleTest : public ::testing::Test {
 protected:
  void TearDown() override { SetSystemDefaultLCID(saved_); }
  const LCID saved_ = GetSystemDefaultLCID();
};

TEST_F(LocaleTest, EveryKnownLocaleIsConsistentAndComplete) {
  int known = 0;
  for (LCID lcid = 0; lcid < 0x10000; ++lcid) {
    if (!IsKnownLCID(lcid)) continue;
    SCOPED_TRACE(lcid);
    ++known;
    const String name = GetLocaleInfo(lcid, LOCALE_SNAME);
    EXPECT_TRUE(name.starts_with(GetLocaleInfo(lcid, LOCALE_SISO639LANGNAME) + "-" +
                                 GetLocaleInfo(lcid, LOCALE_SISO3166CTRYNAME))) << name;
    char id[8];
    std::snprintf(id, sizeof id, "%04x", lcid);
    EXPECT_EQ(GetLocaleInfo(lcid, LOCALE_ILANGUAGE), id);
    for (LCTYPE type : {LOCALE_SLANGUAGE, LOCALE_SABBREVLANGNAME, LOCALE_SNATIVELANGNAME, LOCALE_SNATIVECTRYNAME,
                        LOCALE_SSHORTDATE, LOCALE_SENGLANGUAGE, LOCALE_SENGCOUNTRY, LOCALE_STIMEFORMAT})
      EXPECT_FALSE(GetLocaleInfo(lcid, type).empty()) << std::hex << type;
  }
  EXPECT_GE(known, 24);
}

TEST_F(LocaleTest, InformationTypesAndLCIDToText) {
  struct Case { LCID lcid; LCTYPE type; const char* want; } const cases[] = {
      {1031, LOCALE_SENGLANGUAGE, "German"}, {1031, LOCALE_SNATIVELANGNAME, "Deutsch"}, {1031, 0x7777, ""},
      {1031, LOCALE_SENGCOUNTRY, "Germany"}, {1031, LOCALE_SLANGUAGE, "German (Germany)"}, {1031, 0, ""},
      {1031, LOCALE_SABBREVLANGNAME, "DEU"}, {1033, LOCALE_SSHORTDATE, "M/d/yyyy"}, {3082, LOCALE_ILANGUAGE, "0c0a"},
      {1033, LOCALE_STIMEFORMAT, "h:mm:ss tt"}, {1041, LOCALE_SNATIVELANGNAME, "日本語"},
      {1034, LOCALE_SNAME, "es-ES_tradnl"},
      // Modifier bits change nothing; unknown types and locales give nothing.
      {1031, LOCALE_SENGLANGUAGE | LOCALE_NOUSEROVERRIDE, "German"}, {0, LOCALE_SENGLANGUAGE, ""},
      {4242, LOCALE_SENGLANGUAGE, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetLocaleInfo(c.lcid, c.type), c.want) << c.lcid << " " << c.type;
    // Nothing from the table: the id in decimal, except for 0.
    EXPECT_EQ(OVOHelper::LCIDToText(c.lcid, c.type), *c.want || !c.lcid ? c.want : std::to_string(c.lcid));
  }
  EXPECT_FALSE(IsKnownLCID(4242));
  EXPECT_EQ(OVOHelper::LCIDToText(0x80000000u, LOCALE_SISO639LANGNAME), "-2147483648");  // signed, like "%d"
  EXPECT_EQ(OVOHelper::LCIDToText(0xFFFFFFFFu, LOCALE_SISO639LANGNAME), "-1");
}

TEST_F(LocaleTest, SystemDefaultIsSelectable) {
  EXPECT_EQ(GetLocaleInfo(LOCALE_SYSTEM_DEFAULT, LOCALE_SISO639LANGNAME), "en");
  SetSystemDefaultLCID(1036);
  EXPECT_EQ(GetSystemDefaultLCID(), 1036u);
  EXPECT_EQ(GetLocaleInfo(LOCALE_SYSTEM_DEFAULT, LOCALE_SISO639LANGNAME), "fr");
  EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME), "FR");
  SetSystemDefaultLCID(4242);
  EXPECT_EQ(GetLocaleInfo(LOCALE_SYSTEM_DEFAULT, LOCALE_SISO639LANGNAME), "");
}

TEST_F(LocaleTest, ShortDateStrings) {
  constexpr CTime t = 1678025229;   // Sunday 5 March 2023, 14:07:09 UTC
  constexpr CTime t0 = 1677974400;  // 5 March 2023 00:00:00 UTC
  struct Case { LCID lcid; CTime t; bool withTime; const char* want; const char* sep = " "; } const cases[] = {
      {1033, t, false, "3/5/2023"}, {1031, t, false, "05.03.2023", " - "}, {1041, t, false, "2023/03/05"},
      {2052, t, false, "2023/3/5"}, {1038, t, false, "2023. 03. 05."}, {2060, t, false, "05-03-23"},
      {1031, t, true, "05.03.2023 14:07:09"}, {1031, t, true, "05.03.2023 - 14:07:09", " - "},
      {1031, t, true, "05.03.202314:07:09", ""},
      // "h" is the 12-hour clock without a leading zero; "tt" is dropped and its blank stays.
      {1033, t, true, "3/5/2023 2:07:09 "}, {1042, t, true, "2023-03-05  2:07:09"},
      {1041, t, true, "2023/03/05 H:07:09"},  // a single "H" is not translated
      {1025, t, true, "05/03/23 22:07:09 "},  // "hh" becomes two 12-hour fields
      {1033, t0 + 300, true, "3/5/2023 12:05:00 "}, {1033, t0 + 43200, true, "3/5/2023 12:00:00 "},
      {1031, t0 + 307, true, "05.03.2023 00:05:07"}, {1031, -1, true, ""}, {1031, INT64_MAX, true, ""},
      {4242, t, false, ""}, {4242, t, true, "|", "|"}, {1031, 253402300799, true, "31.12.9999 23:59:59"},
      {1031, 253402300800, false, "01.01.10000"},
  };
  ScopedTZ tz("UTC0");
  for (const Case& c : cases) {
    SetSystemDefaultLCID(c.lcid);
    EXPECT_EQ(OVOHelper::CTimeToSystemDefaultShortDateString(c.t, c.withTime, c.sep), c.want) << c.lcid << ' ' << c.t;
  }
  ScopedTZ cet(kCentralEurope);  // the local date and time: 4 March 2023 23:30 UTC is 00:30 CET on the 5th
  SetSystemDefaultLCID(1031);
  EXPECT_EQ(OVOHelper::CTimeToSystemDefaultShortDateString(1677972600, true), "05.03.2023 00:30:00");
  EXPECT_EQ(OVOHelper::CTimeToSystemDefaultShortDateString(0, true), "01.01.1970 01:00:00");
}

}  // namespace
}  // namespace orvacmn
