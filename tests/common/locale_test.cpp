#include <gtest/gtest.h>

#include "ofl/locale.h"
#include "orvacmn/common/ovo_helper.h"
#include "tz.h"

namespace orvacmn {
namespace {

namespace L = OFL::Locale;
using orvacmn::testing::kCentralEurope;
using orvacmn::testing::ScopedTZ;

// Restores the process's default locale after each test.
class LocaleTest : public ::testing::Test {
 protected:
  void TearDown() override { L::SetSystemDefaultLCID(saved_); }
  const L::LCID saved_ = L::GetSystemDefaultLCID();
};

TEST_F(LocaleTest, TableHoldsTheCommonLocales) {
  struct Row {
    L::LCID lcid;
    const char* lang;
    const char* country;
    const char* name;
  };
  const Row rows[] = {
      {1033, "en", "US", "en-US"}, {1031, "de", "DE", "de-DE"}, {2057, "en", "GB", "en-GB"},
      {1036, "fr", "FR", "fr-FR"}, {1040, "it", "IT", "it-IT"}, {1034, "es", "ES", "es-ES_tradnl"},
      {3082, "es", "ES", "es-ES"}, {1043, "nl", "NL", "nl-NL"}, {1045, "pl", "PL", "pl-PL"},
      {1049, "ru", "RU", "ru-RU"}, {1041, "ja", "JP", "ja-JP"}, {2052, "zh", "CN", "zh-CN"},
      {1046, "pt", "BR", "pt-BR"}, {2070, "pt", "PT", "pt-PT"}, {1053, "sv", "SE", "sv-SE"},
      {1030, "da", "DK", "da-DK"}, {1044, "nb", "NO", "nb-NO"}, {1035, "fi", "FI", "fi-FI"},
      {1029, "cs", "CZ", "cs-CZ"}, {1038, "hu", "HU", "hu-HU"}, {1055, "tr", "TR", "tr-TR"},
      {3079, "de", "AT", "de-AT"}, {2055, "de", "CH", "de-CH"}, {1042, "ko", "KR", "ko-KR"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.lcid);
    EXPECT_TRUE(L::IsKnownLCID(r.lcid));
    EXPECT_EQ(L::GetLocaleInfo(r.lcid, L::LOCALE_SISO639LANGNAME), r.lang);
    EXPECT_EQ(L::GetLocaleInfo(r.lcid, L::LOCALE_SISO3166CTRYNAME), r.country);
    EXPECT_EQ(L::GetLocaleInfo(r.lcid, L::LOCALE_SNAME), r.name);
    for (L::LCTYPE type : {L::LOCALE_SLANGUAGE, L::LOCALE_SABBREVLANGNAME, L::LOCALE_SNATIVELANGNAME,
                           L::LOCALE_SNATIVECTRYNAME, L::LOCALE_SSHORTDATE, L::LOCALE_SENGLANGUAGE,
                           L::LOCALE_SENGCOUNTRY, L::LOCALE_STIMEFORMAT})
      EXPECT_FALSE(L::GetLocaleInfo(r.lcid, type).empty()) << std::hex << type;
  }
}

TEST_F(LocaleTest, InformationTypes) {
  EXPECT_EQ(L::GetLocaleInfo(1031, L::LOCALE_SENGLANGUAGE), "German");
  EXPECT_EQ(L::GetLocaleInfo(1031, L::LOCALE_SNATIVELANGNAME), "Deutsch");
  EXPECT_EQ(L::GetLocaleInfo(1031, L::LOCALE_SENGCOUNTRY), "Germany");
  EXPECT_EQ(L::GetLocaleInfo(1031, L::LOCALE_SLANGUAGE), "German (Germany)");
  EXPECT_EQ(L::GetLocaleInfo(1031, L::LOCALE_SABBREVLANGNAME), "DEU");
  EXPECT_EQ(L::GetLocaleInfo(1033, L::LOCALE_ILANGUAGE), "0409");
  EXPECT_EQ(L::GetLocaleInfo(3082, L::LOCALE_ILANGUAGE), "0c0a");
  EXPECT_EQ(L::GetLocaleInfo(1033, L::LOCALE_SSHORTDATE), "M/d/yyyy");
  EXPECT_EQ(L::GetLocaleInfo(1031, L::LOCALE_SSHORTDATE), "dd.MM.yyyy");
  EXPECT_EQ(L::GetLocaleInfo(1033, L::LOCALE_STIMEFORMAT), "h:mm:ss tt");
  EXPECT_EQ(L::GetLocaleInfo(1031, L::LOCALE_STIMEFORMAT), "HH:mm:ss");
  // Modifier bits do not change the answer; unknown types give nothing.
  EXPECT_EQ(L::GetLocaleInfo(1031, L::LOCALE_SENGLANGUAGE | L::LOCALE_NOUSEROVERRIDE), "German");
  EXPECT_EQ(L::GetLocaleInfo(1031, 0x7777), "");
  EXPECT_EQ(L::GetLocaleInfo(1031, 0), "");
  EXPECT_EQ(L::GetLocaleInfo(0, L::LOCALE_SENGLANGUAGE), "");
  EXPECT_EQ(L::GetLocaleInfo(4242, L::LOCALE_SENGLANGUAGE), "");
  EXPECT_FALSE(L::IsKnownLCID(4242));
}

TEST_F(LocaleTest, SystemDefaultIsSelectable) {
  EXPECT_EQ(L::GetLocaleInfo(L::LOCALE_SYSTEM_DEFAULT, L::LOCALE_SISO639LANGNAME), "en");
  L::SetSystemDefaultLCID(1036);
  EXPECT_EQ(L::GetSystemDefaultLCID(), 1036u);
  EXPECT_EQ(L::GetLocaleInfo(L::LOCALE_SYSTEM_DEFAULT, L::LOCALE_SISO639LANGNAME), "fr");
  EXPECT_EQ(L::GetLocaleInfo(L::LOCALE_USER_DEFAULT, L::LOCALE_SISO3166CTRYNAME), "FR");
  L::SetSystemDefaultLCID(4242);
  EXPECT_EQ(L::GetLocaleInfo(L::LOCALE_SYSTEM_DEFAULT, L::LOCALE_SISO639LANGNAME), "");
}

TEST_F(LocaleTest, LCIDToText) {
  EXPECT_EQ(OVOHelper::LCIDToText(0, L::LOCALE_SISO639LANGNAME), "");
  EXPECT_EQ(OVOHelper::LCIDToText(0, 0), "");
  EXPECT_EQ(OVOHelper::LCIDToText(1033, L::LOCALE_SISO639LANGNAME), "en");
  EXPECT_EQ(OVOHelper::LCIDToText(1031, L::LOCALE_SISO3166CTRYNAME), "DE");
  EXPECT_EQ(OVOHelper::LCIDToText(1041, L::LOCALE_SENGLANGUAGE), "Japanese");
  EXPECT_EQ(OVOHelper::LCIDToText(1041, L::LOCALE_SNATIVELANGNAME), "日本語");
  // Nothing from the platform: the id in decimal, signed like "%d".
  EXPECT_EQ(OVOHelper::LCIDToText(4242, L::LOCALE_SISO639LANGNAME), "4242");
  EXPECT_EQ(OVOHelper::LCIDToText(1033, 0x7777), "1033");
  EXPECT_EQ(OVOHelper::LCIDToText(0x80000000u, L::LOCALE_SISO639LANGNAME), "-2147483648");
  EXPECT_EQ(OVOHelper::LCIDToText(0xFFFFFFFFu, L::LOCALE_SISO639LANGNAME), "-1");
}

constexpr CTime k20230305_140709 = 1678025229;  // Sunday 5 March 2023, 14:07:09 UTC

String ShortDate(L::LCID lcid, CTime t, bool withTime = false, const String& sep = " ") {
  L::SetSystemDefaultLCID(lcid);
  return OVOHelper::CTimeToSystemDefaultShortDateString(t, withTime, sep);
}

TEST_F(LocaleTest, ShortDatePictures) {
  ScopedTZ tz("UTC0");
  const CTime t = k20230305_140709;
  EXPECT_EQ(ShortDate(1033, t), "3/5/2023");
  EXPECT_EQ(ShortDate(1031, t), "05.03.2023");
  EXPECT_EQ(ShortDate(2057, t), "05/03/2023");
  EXPECT_EQ(ShortDate(1041, t), "2023/03/05");
  EXPECT_EQ(ShortDate(2052, t), "2023/3/5");
  EXPECT_EQ(ShortDate(1043, t), "5-3-2023");
  EXPECT_EQ(ShortDate(1053, t), "2023-03-05");
  EXPECT_EQ(ShortDate(1038, t), "2023. 03. 05.");
  EXPECT_EQ(ShortDate(2060, t), "05-03-23");  // two-digit year
  EXPECT_EQ(ShortDate(1051, t), "5. 3. 2023");
}

TEST_F(LocaleTest, ShortDateWithTime) {
  ScopedTZ tz("UTC0");
  const CTime t = k20230305_140709;
  EXPECT_EQ(ShortDate(1031, t, true), "05.03.2023 14:07:09");
  EXPECT_EQ(ShortDate(1031, t, true, " - "), "05.03.2023 - 14:07:09");
  EXPECT_EQ(ShortDate(1031, t, true, ""), "05.03.202314:07:09");
  // "h" is the 12-hour clock without a leading zero; "tt" is dropped and its
  // blank stays.
  EXPECT_EQ(ShortDate(1033, t, true), "3/5/2023 2:07:09 ");
  EXPECT_EQ(ShortDate(1042, t, true), "2023-03-05  2:07:09");
  // A single "H" is not one of the translated letters and stays as it is.
  EXPECT_EQ(ShortDate(1041, t, true), "2023/03/05 H:07:09");
  // "hh" becomes two 12-hour fields.
  EXPECT_EQ(ShortDate(1025, t, true), "05/03/23 22:07:09 ");
  EXPECT_EQ(ShortDate(1031, t, false, " - "), "05.03.2023");
}

TEST_F(LocaleTest, TwelveHourClockAtMidnightAndNoon) {
  ScopedTZ tz("UTC0");
  const CTime midnight = 1677974400;  // 5 March 2023 00:00:00
  EXPECT_EQ(ShortDate(1033, midnight + 5 * 60, true), "3/5/2023 12:05:00 ");
  EXPECT_EQ(ShortDate(1033, midnight + 12 * 3600, true), "3/5/2023 12:00:00 ");
  EXPECT_EQ(ShortDate(1033, midnight + 13 * 3600 + 1, true), "3/5/2023 1:00:01 ");
  EXPECT_EQ(ShortDate(1031, midnight + 5 * 60 + 7, true), "05.03.2023 00:05:07");
}

TEST_F(LocaleTest, ShortDateUsesLocalTime) {
  ScopedTZ tz(kCentralEurope);
  const CTime t = 1677972600;  // 4 March 2023 23:30 UTC, 00:30 CET on the 5th
  EXPECT_EQ(ShortDate(1033, t), "3/5/2023");
  EXPECT_EQ(ShortDate(1031, t, true), "05.03.2023 00:30:00");
  EXPECT_EQ(ShortDate(1031, 0, true), "01.01.1970 01:00:00");
}

TEST_F(LocaleTest, ShortDateOddInputs) {
  ScopedTZ tz("UTC0");
  EXPECT_EQ(ShortDate(1031, -1), "");
  EXPECT_EQ(ShortDate(1031, -1, true), "");
  EXPECT_EQ(ShortDate(1031, INT64_MAX, true), "");
  EXPECT_EQ(ShortDate(4242, k20230305_140709), "");
  EXPECT_EQ(ShortDate(4242, k20230305_140709, true, "|"), "|");
  EXPECT_EQ(ShortDate(1031, 253402300799, true), "31.12.9999 23:59:59");
  EXPECT_EQ(ShortDate(1031, 253402300800), "01.01.10000");
}

}  // namespace
}  // namespace orvacmn
