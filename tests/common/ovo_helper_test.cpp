// OVOHelper: bandwidth and speed texts, DB times, schedule intervals, locale texts and dates, OS types.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ofl/locale.h"
#include "orvacmn/common/ovo_helper.h"
#include "tz.h"

namespace orvacmn {
namespace {

using H = OVOHelper;
using namespace OFL::Locale;
using orvacmn::testing::kCentralEurope;
using orvacmn::testing::ScopedTZ;

constexpr int64_t kNo = -12345;                          // not a bandwidth: the output stays untouched
constexpr int64_t kMaxK = int64_t(4294967295) * 128;     // the largest 32-bit number of kbit
constexpr int64_t kMaxM = int64_t(4294967295) * 131072;  // ... and of mbit

int64_t Bps(const String& text) {
  int64_t out = kNo;
  const bool ok = H::BandwidthToBytePerSec(text, out);
  return ok == (out != kNo) ? out : -1;  // refusing leaves the output alone
}

TEST(Bandwidth, TextsAndSpeeds) {
  const String digits(200000, '7'), blanks(100000, ' ');  // texts the pattern engine gives up on
  String mixed;
  for (int i = 0; i < 50000; ++i) mixed += "1 k";
  const std::pair<String, int64_t> cases[] = {
      {"512kbit", 65536}, {"512     kbit", 65536}, {"10mbit", 1310720}, {"1 mbit", 131072}, {"0 kbit", 0},
      {"7 kbit", 896}, {"512 KBIT", 65536}, {"10 mBiT/s", 1310720},
      // No digits, blanks and unit in a row anywhere: no match.
      {"", kNo}, {"kbit", kNo}, {" kbit", kNo}, {"512", kNo}, {"512 kb", kNo}, {"512 kbps", kNo}, {"512 gbit", kNo},
      {"512\tkbit", kNo}, {"512_kbit", kNo}, {"512 k bit", kNo}, {"five kbit", kNo}, {"-kbit", kNo},
      // The match may sit anywhere; the number comes from the start of the text.
      {"abc 5 kbit", 0}, {"8 then 16 kbit", 1024}, {"\t16 kbit", 2048}, {"+16 kbit", 2048}, {"16kbitfoo", 2048},
      {"16.9 kbit", 2048}, {"mbit 4 kbit", 0},
      // "mbit" anywhere selects the larger unit.
      {"1 kbit, not mbit", 131072}, {"2 mbitx 3 kbit", 262144},
      // The number behaves like "%lu" into 32 bits: wraps, saturates beyond 2^64-1, a minus negates mod 2^32.
      {"4294967295 kbit", kMaxK}, {"4294967295 mbit", kMaxM}, {"4294967296 kbit", 0}, {"4294967297 kbit", 128},
      {"18446744073709551615 kbit", kMaxK}, {"18446744073709551616 kbit", kMaxK},
      {"99999999999999999999999999999999 mbit", kMaxM}, {"00000000000000000000000000000000001 kbit", 128},
      {"-1 kbit", kMaxK}, {"-8 kbit", int64_t(4294967288) * 128},
      {String("\0 5 kbit", 8), kNo}, {String("5 kbit\0 mbit", 12), 640},  // the text ends at the first NUL
      {digits, kNo}, {digits + blanks + "kbi", kNo}, {digits + blanks + "kbit", kMaxK}, {mixed, kNo},
      {mixed + "bit", 128},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(Bps(text), want) << text.substr(0, 40);
  const std::pair<double, String> speeds[] = {
      {0, " 0.0 KBit/s"}, {40, " 0.0 KBit/s"}, {64000, "64.0 KBit/s"}, {999999, "1000.0 KBit/s"},
      {1000000, "1000.0 KBit/s"}, {1000001, " 1.0 MBit/s"}, {1500000, " 1.5 MBit/s"}, {1000000000, "1000.0 MBit/s"},
      {std::nextafter(1e9, 2e9), " 1.0 GBit/s"}, {12345678901234.0, "12345.7 GBit/s"}, {-5000, "-5.0 KBit/s"},
      {std::numeric_limits<double>::infinity(), " inf GBit/s"},
  };
  for (const auto& [bits, want] : speeds) EXPECT_EQ(H::TranslateTransmissionSpeed(bits), want) << bits;
  const String huge = H::TranslateTransmissionSpeed(1e300);  // 292 digits, ".0" and " GBit/s"
  EXPECT_TRUE(huge.size() == 301 && huge.ends_with(".0 GBit/s")) << huge;
  EXPECT_TRUE(H::TranslateTransmissionSpeed(std::nan("")).ends_with(" KBit/s"));
  EXPECT_EQ(H::TranslateTransmissionSpeed(double(Bps("10 mbit")) * 8), "10.5 MBit/s");  // parsed in 1024s
}

constexpr CTime kLast = 253402300799;  // 9999-12-31 23:59:59 UTC
struct TimeCase { CTime t; const char* text; };

TEST(DBTime, KnownValuesAndInvalidTexts) {
  ScopedTZ tz(kCentralEurope);  // the UTC flavour ignores the zone
  const TimeCase cases[] = {
      {0, "19700101000000"}, {86400, "19700102000000"}, {86401, "19700102000001"}, {1686832496, "20230615123456"},
      {951868799, "20000229235959"}, {4107542400, "21000301000000"}, {2147483648, "20380119031408"},
      {32503680000, "30000101000000"}, {kLast, "99991231235959"},
  };
  for (const TimeCase& c : cases) {
    EXPECT_EQ(H::CTimeToDBTimeUTC(c.t), c.text);
    EXPECT_EQ(H::DBTimeUTCToCTime(c.text), c.t) << c.text;
  }
  for (CTime t : {CTime(-1), CTime(INT64_MIN), kLast + 1, CTime(INT64_MAX)}) EXPECT_EQ(H::CTimeToDBTimeUTC(t), "") << t;
  // 8-digit dates, and days beyond the month's end rolling over.
  const TimeCase oneWay[] = {
      {1686787200, "20230615"}, {86400, "19700102"}, {kLast - 86399, "99991231"}, {1677801600, "20230231000000"},
      {1677628800, "20230229"}, {1677628800, "20230301"}, {1709164800, "20240229"}, {1682942400, "20230431120000"},
  };
  for (const TimeCase& c : oneWay) EXPECT_EQ(H::DBTimeUTCToCTime(c.text), c.t) << c.text;
  // The first day of 1970 (by plain character comparison, digits or not), other lengths, non-digits and impossible
  // fields all read as 0, in either flavour.
  for (const String& text : std::initializer_list<String>{
           "19700101235959", "0000000000000A", "19700101", "19691231", "18991231", "", "2023061", "2023-06-15",
           "2023061512345", "202306151234567", "20231315000000", "20230015000000", "20230600000000", "20230632000000",
           "20230615240000", "20230615126000", "20230615123460", "2023061512345a", " 2023061512345", "2023061512 456",
           "20230615-12345", "2023O615123456", "\xff\xff\xff\xff\xff\xff\xff\xff", String("20230615\0" "12345", 14),
           String("2023061\0", 8)}) {
    EXPECT_EQ(H::DBTimeUTCToCTime(text), 0) << text;
    EXPECT_EQ(H::DBTimeToCTime(text), 0) << text;
  }
  const TimeCase local[] = {
      {0, "19700101010000"}, {86400 - 3600, "19700102000000"}, {1686832496, "20230615143456"},  // summer: +2
      {1678025229, "20230305150709"},                                                            // winter: +1
      {1679790600, "20230326013000"}, {1679794200, "20230326033000"},  // 26 March: 02:00 CET is 03:00 CEST
      {1698535800, "20231029013000"}, {1698546600, "20231029033000"},  // 29 October: 02:00-03:00 twice
      {kLast - 3600, "99991231235959"},
  };
  for (const TimeCase& c : local) {
    EXPECT_EQ(H::CTimeToDBTime(c.t), c.text);
    EXPECT_EQ(H::DBTimeToCTime(c.text), c.t) << c.text;
  }
  // A skipped time moves forward by the gap, a repeated one is its first occurrence; neither depends on what was
  // converted before.
  const TimeCase oneWayLocal[] = {{86400 - 3600, "19700102"}, {1686787200 - 7200, "20230615"},
                                  {1711848600, "20240331023000"}, {1711846800, "20240331020000"},
                                  {1729989000, "20241027023000"}, {1698539400, "20231029023000"},
                                  {1711850399, "20240331025959"}, {1729990799, "20241027025959"}};
  for (const char* before : {"20240331033000", "20241027033000", "20240331023000"})
    for (const TimeCase& c : oneWayLocal) {
      H::DBTimeToCTime(before);
      EXPECT_EQ(H::DBTimeToCTime(c.text), c.t) << c.text << " after " << before;
    }
  // Negative times and years past 9999 (9999-12-31 23:00 UTC is already 10000 here) give no text.
  for (CTime t : {CTime(-1), CTime(INT64_MIN), CTime(INT64_MAX), kLast - 3599}) EXPECT_EQ(H::CTimeToDBTime(t), "") << t;
  for (CTime t : {1698539400, 1698543000}) EXPECT_EQ(H::CTimeToDBTime(t), "20231029023000");  // the hour twice
  for (auto [zone, text] : {std::pair{"America/New_York", "20230615083456"}, {"UTC", "20230615123456"}}) {
    ScopedTZ other(zone);
    EXPECT_EQ(H::CTimeToDBTime(1686832496), text);
    EXPECT_EQ(H::DBTimeToCTime(text), 1686832496);
  }
}

// Every 5 minutes around both 2023 transitions and at random, both flavours give the time back; local texts of
// the hour from 02:00 on the last Sunday of October name two instants, and give the first.
TEST(DBTime, RoundTrips) {
  ScopedTZ tz(kCentralEurope);
  std::vector<CTime> times;
  for (CTime day : {CTime(1679702400), CTime(1698451200)})
    for (CTime t = day; t < day + 3 * 86400; t += 300) times.push_back(t);
  std::mt19937_64 rng(11);
  std::uniform_int_distribution<CTime> dist(86400, kLast - 3600);
  for (int i = 0; i < 20000; ++i) times.push_back(dist(rng));
  for (const CTime t : times) {
    const String utc = H::CTimeToDBTimeUTC(t), text = H::CTimeToDBTime(t);
    ASSERT_EQ(H::DBTimeUTCToCTime(utc), t) << utc;
    const CTime back = H::DBTimeToCTime(text);
    const bool twice = text.substr(4, 2) == "10" && text.substr(8, 2) == "02" && back == t - 3600;
    ASSERT_TRUE(back == t || twice) << text;
  }
}

// Bit i of `days` is weekday i, Monday first.
H::IntervalParts Make(uint32_t kind, uint32_t count, uint32_t minutes, unsigned days) {
  return {kind, count, minutes, bool(days & 1), bool(days & 2), bool(days & 4), bool(days & 8),
          bool(days & 16), bool(days & 32), bool(days & 64)};
}

TEST(Interval, LayoutTruncationMonthlyKindsAndRoundTrips) {
  struct Case { uint32_t kind, count, minutes; unsigned days; uint32_t packed; } const cases[] = {
      {4, 2, 510, 0x7F, 0x7F0241FE}, {0, 0, 0, 0, 0}, {5, 0, 0, 0x20, 0x20005000}, {15, 1, 60, 0, 0x0001F03C},
      // Kind, count and minutes are cut to 4, 8 and 11 bits; minutes never spill into bit 11.
      {0x13, 0x1FF, 0xFFF, 0, 0x00FF37FF}, {3, 256, 2048, 0, 0x3000}, {3, 257, 2049, 0, 0x00013001},
      // Monthly kinds (1, 2, also after truncation) run on every weekday.
      {1, 1, 60, 0, 0x7F01103C}, {2, 1, 60, 0x01, 0x7F01203C}, {17, 1, 60, 0, 0x7F01103C},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(H::CompressInterval(Make(c.kind, c.count, c.minutes, c.days)), c.packed) << std::hex << c.packed;
    EXPECT_EQ(H::CompressInterval(H::ExpandInterval(c.packed)), c.packed) << std::hex << c.packed;
  }
  EXPECT_EQ(H::ExpandInterval(0xFFFFFFFFu), Make(15, 255, 2047, 0x7F));  // bits 11 and 31 are not read
  H::IntervalParts p = Make(99, 99, 99, 0x75);  // every day flips
  H::ExpandInterval(0x0A024123u, p.kind, p.count, p.minutes, p.monday, p.tuesday, p.wednesday, p.thursday, p.friday,
                    p.saturday, p.sunday);
  EXPECT_EQ(p, Make(4, 2, 0x123, 0x0A));
  std::mt19937 rng(5);
  for (int i = 0; i < 20000; ++i) {
    const uint32_t kind = rng(), count = rng(), minutes = rng(), days = rng();
    const uint32_t v = H::CompressInterval(Make(kind, count, minutes, days));
    const bool monthly = (kind & 0xF) == 1 || (kind & 0xF) == 2;
    ASSERT_EQ(H::ExpandInterval(v), Make(kind & 0xF, count & 0xFF, minutes & 0x7FF, monthly ? 0x7F : days))
        << std::hex << v;
  }
}

// Both tests leave English (1033), the process's default, as the system default.
TEST(Locale, KnownLocalesAndInformationTypes) {
  LCID known = 0, sum = 0;  // pins every row's id
  for (LCID lcid = 0; lcid < 0x10000; ++lcid)
    if (IsKnownLCID(lcid)) ++known, sum += lcid;
  EXPECT_EQ(known, 45u);
  EXPECT_EQ(sum, 68337u);
  EXPECT_EQ(GetLocaleInfo(LOCALE_SYSTEM_DEFAULT, LOCALE_SISO639LANGNAME), "en");
  SetSystemDefaultLCID(1036);
  struct Case { LCID lcid; LCTYPE type; const char* want; } const cases[] = {
      {1031, LOCALE_SENGLANGUAGE, "German"}, {1031, LOCALE_SNATIVELANGNAME, "Deutsch"}, {1031, 0x7777, ""},
      {1031, LOCALE_SENGCOUNTRY, "Germany"}, {1031, LOCALE_SLANGUAGE, "German (Germany)"}, {1031, 0, ""},
      {1031, LOCALE_SABBREVLANGNAME, "DEU"}, {1033, LOCALE_SSHORTDATE, "M/d/yyyy"}, {3082, LOCALE_ILANGUAGE, "0c0a"},
      {1033, LOCALE_STIMEFORMAT, "h:mm:ss tt"}, {1041, LOCALE_SNATIVELANGNAME, "日本語"}, {1031, LOCALE_ILANGUAGE, "0407"},
      {1034, LOCALE_SNAME, "es-ES_tradnl"}, {1031, LOCALE_SNATIVECTRYNAME, "Deutschland"},
      {LOCALE_SYSTEM_DEFAULT, LOCALE_SISO639LANGNAME, "fr"}, {LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, "FR"},
      // Modifier bits change nothing; unknown types and locales give nothing.
      {1031, LOCALE_SENGLANGUAGE | LOCALE_NOUSEROVERRIDE, "German"}, {1031, LOCALE_SNAME | LOCALE_USE_CP_ACP, "de-DE"},
      {0, LOCALE_SENGLANGUAGE, ""}, {4242, LOCALE_SENGLANGUAGE, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetLocaleInfo(c.lcid, c.type), c.want) << c.lcid << " " << c.type;
    // Nothing from the table: the id in decimal, except for 0.
    EXPECT_EQ(H::LCIDToText(c.lcid, c.type), *c.want || !c.lcid ? c.want : std::to_string(c.lcid));
  }
  EXPECT_EQ(H::LCIDToText(0x80000000u, LOCALE_SISO639LANGNAME), "-2147483648");  // signed, like "%d"
  SetSystemDefaultLCID(1033);
}

TEST(Locale, ShortDateStrings) {
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
  ScopedTZ tz("UTC");
  for (const Case& c : cases) {
    SetSystemDefaultLCID(c.lcid);
    EXPECT_EQ(H::CTimeToSystemDefaultShortDateString(c.t, c.withTime, c.sep), c.want) << c.lcid << ' ' << c.t;
  }
  ScopedTZ cet(kCentralEurope);  // the local date and time: 4 March 2023 23:30 UTC is 00:30 CET on the 5th
  SetSystemDefaultLCID(1031);
  EXPECT_EQ(H::CTimeToSystemDefaultShortDateString(1677972600, true), "05.03.2023 00:30:00");
  EXPECT_EQ(H::CTimeToSystemDefaultShortDateString(0, true), "01.01.1970 01:00:00");
  SetSystemDefaultLCID(1033);
}

// The rows' short names and bits in table order (NT4 last although its bit is the lowest).
constexpr const char* kAllShortNames =
    "W2000,XP,XP_x64,W2003,W2003_x64,Vista,Vista_x64,W2008,W2008_x64,Win7,Win7_x64,W2008R2_x64,Win8,Win8_x64,"
    "W2012_x64,Win10,Win10_x64,W2016_x64,W2019_x64,Win11_x64,W2022_x64,NT4";
constexpr uint64_t kBitsInOrder[] = {0x2,     0x4,     0x100,    0x8,      0x200,    0x10,     0x400,   0x20,
                                     0x800,   0x40,    0x1000,   0x2000,   0x4000,   0x10000,  0x20000, 0x40000,
                                     0x80000, 0x100000, 0x200000, 0x400000, 0x800000, 0x1};
constexpr uint64_t kNamedBits = 0xFF7F7F;  // the 24 low bits but 0x80 and 0x8000

TEST(OSTypes, TablesNamesAndTexts) {
  const OS_TYPE* rows = H::GetOSTypesPtr();
  size_t n = 0;
  for (; rows[n].shortName; ++n) {
    const OS_TYPE& r = rows[n];
    SCOPED_TRACE(r.shortName);
    ASSERT_LT(n, std::size(kBitsInOrder));
    EXPECT_EQ(r.type, kBitsInOrder[n]);
    EXPECT_EQ(r.flag, r.type > 0x2 ? 1u : 0u);  // 0 for NT4 and Windows 2000 only
    EXPECT_EQ(H::OSType_DWord_to_StringLong(r.type), r.longName);
    EXPECT_EQ(H::OSType_String_to_DWord(r.shortName), r.type);
    EXPECT_EQ(H::OSType_String_to_DWord(r.longName), r.type);
  }
  EXPECT_TRUE(n == std::size(kBitsInOrder) && !rows[n].longName && rows[n].type == 0 && rows[n].flag == 0);
  n = 0;
  for (const OS_SUB_TYPE* r = H::GetOSSubTypesPtr(); r->shortName; ++r, ++n) {
    SCOPED_TRACE(r->shortName);
    EXPECT_EQ(r->flag2, r->type > 0x2 ? 1u : 0u);
    EXPECT_EQ(r->flag1, r->type > 0x2 && String(r->shortName) != "WEPOS" ? 1u : 0u);
    // Long names are unique, so each short name comes back; names ignore case.
    EXPECT_EQ(H::OSSubType_LongToShort(r->longName), r->shortName);
    EXPECT_EQ(H::OSSubType_ShortToLong(OFL::ToLower(r->shortName)), r->longName);
    EXPECT_EQ(H::OSSubTypeShortStringToOSType(OFL::ToLower(r->shortName)), r->type);
    EXPECT_NE(H::OSType_DWord_to_StringLong(r->type), "");
  }
  EXPECT_EQ(n, 33u);
  EXPECT_EQ(H::OSSubType_LongToShort("windows server 2003, web edition (X64)"), "W2K3SRVWEB_X64");
  for (const char* name : {"NT4", "", "WIN7SERVER", "XPPRO ", "Windows XP"})
    EXPECT_EQ(H::OSSubType_ShortToLong(name) + H::OSSubType_LongToShort(name) + "|" +
              std::to_string(H::OSSubTypeShortStringToOSType(name)), "|0") << name;

  const String all = kAllShortNames;
  const std::pair<uint64_t, String> toText[] = {
      {0xFFFFFF, "Any"}, {0x1FFFFFF, all}, {~0ull, all}, {0xFFFFFF | (1ull << 40), all},  // only exactly 0xFFFFFF
      {0, ""}, {0x80, ""}, {0x8000, ""}, {0x8080, ""}, {0x1000000, ""}, {0xFFFFFFFF00000000ull, ""},
      {0x10B, "W2000,XP_x64,W2003,NT4"}, {0xC0080, "Win10,Win10_x64"},  // table order, not bit order
  };
  for (const auto& [v, text] : toText) EXPECT_EQ(H::OSType_DWord_to_String(v), text) << std::hex << v;
  for (uint64_t v : {0x104ull, 0x80ull, 0ull, 0xFFFFFFull, 0x4 | (1ull << 32)})  // exactly one row, or nothing
    EXPECT_EQ(H::OSType_DWord_to_StringLong(v), "") << std::hex << v;
  for (auto [v, hex] : {std::pair{0ull, "0"}, {0xabcull, "ABC"}, {0xFEDCBA9876543210ull, "FEDCBA9876543210"}})
    EXPECT_EQ(H::OSType_DWord_to_HexString(v), hex);
  // Names compare exactly.
  const std::pair<String, uint64_t> fromText[] = {
      {"Win7,Windows 10", 0x40040}, {"Windows 11,NT4,W2022_x64", 0xC00001}, {"XP,XP,Windows XP", 0x4},
      {",XP,,Vista,", 0x14}, {"Any", 0xFFFFFF}, {"any", 0}, {"Any,XP", 0x4}, {"xp", 0}, {"windows 7", 0},
      {"Win7, Win8", 0x40}, {"", 0}, {",", 0}, {"Win", 0}, {"Win7;Win8", 0}, {String("Win7\0", 5), 0},
  };
  for (const auto& [text, v] : fromText) EXPECT_EQ(H::OSType_String_to_DWord(text), v) << text;
  std::mt19937_64 rng(20240611);  // random bit sets round-trip through their short names
  for (int i = 0; i < 2000; ++i)
    for (const uint64_t v : {rng(), rng() & 0xFFFFFF})
      EXPECT_EQ(H::OSType_String_to_DWord(H::OSType_DWord_to_String(v)), v == 0xFFFFFF ? v : v & kNamedBits) << v;
}

TEST(OSTypes, BaseArchitecturesAndSupport) {
  // (32-bit release, its x64 counterpart).
  for (auto [base, x64] : {std::pair{0x4ull, 0x100ull}, {0x8, 0x200}, {0x10, 0x400}, {0x20, 0x800}, {0x40, 0x1000},
                           {0x80, 0x2000}, {0x4000, 0x10000}, {0x8000, 0x20000}, {0x40000, 0x80000}})
    EXPECT_EQ(H::OSType_GetBase(x64), base) << std::hex << x64;
  for (uint64_t v : {0x0ull, 0x4ull, 0x800000ull, 0x1100ull, 0x100000100ull, ~0ull}) EXPECT_EQ(H::OSType_GetBase(v), v);
  // Vista and later boot a pre-installation environment, judged on the base.
  const uint64_t pe = 0xFFFCF0;  // every bit from Vista on: not NT4, 2000, XP, 2003 nor their x64 bits
  for (int bit = 0; bit < 64; ++bit) EXPECT_EQ(H::OSType_IsPEBased(1ull << bit), (pe >> bit) & 1) << bit;

  struct Case { uint64_t types; const char* arch; uint64_t want; } const cases[] = {
      {0x44, "X64", 0x1100}, {0x44, "ia64", 0}, {0x44, "IA64", 0}, {0x44, "x86", 0x44}, {0x44, "", 0x44},
      {0x44, "amd64", 0x44},  // only the text x64 counts
      // NT4 always, Windows 2000 not on x64/ia64, x64-only releases only on x64; x64 input bits are not carried.
      {0x3, "x64", 0x1}, {0x3, "ia64", 0x1}, {0x3, "x86", 0x3}, {0xF00000, "x64", 0xF00000}, {0xF00000, "x86", 0},
      {0xF00000, "ia64", 0}, {0x100, "x86", 0}, {0x100, "x64", 0}, {1ull << 40, "x64", 0}, {~0ull, "ia64", 0x1},
      {~0ull, "x64", 0xFB3F01}, {~0ull, "x86", 0x4C0FF},
  };
  for (const Case& c : cases)
    EXPECT_EQ(H::TranslateOSTypesByArch(c.types, c.arch), c.want) << std::hex << c.types << " " << c.arch;
  for (auto [in, out] : {std::pair<const char*, const char*>{"x86", "x86"}, {"X86", "x86"}, {"AMD64", "x64"},
                         {"amd64", "x64"}, {"X64", "x64"}, {"ia64", "ia64"}, {"Arm64", "Arm64"}, {" x86", " x86"}})
    EXPECT_EQ(H::TranslateArchitecture(in), out) << in;

  // False when both have bit 63; otherwise whether they share a bit.
  const uint64_t top = 1ull << 63;
  struct Pair { uint64_t a, b; bool want; } const pairs[] = {
      {0x44, 0x40, true}, {0x4, 0x8, false}, {0, 0, false}, {1ull << 40, 1ull << 40, true}, {top, top, false},
      {top | 0x4, top | 0x4, false}, {top | 0x4, 0x4, true}, {0x80000000u, 0x80000000u, true},
      {(1ull << 62) | 0x4, (1ull << 62) | 0x4, true},
  };
  for (const Pair& p : pairs) EXPECT_EQ(H::IsOSSupported(p.a, p.b), p.want) << std::hex << p.a << " " << p.b;
}

TEST(OSTypes, FromVersion) {
  constexpr uint32_t W = H::kProductWorkstation, S = H::kProductServer;
  const struct { uint32_t major, minor, build, flags; const char* arch; uint64_t type; const char* sub; } cases[] = {
      {4, 0, 1381, S, "x86", 0x1, "NT4SRV"}, {4, 0, 1381, 0, "x86", 0x1, "NT4WKS"},
      {5, 0, 2195, W, "x86", 0x2, "W2000WKS"}, {5, 0, 2195, S, "x86", 0x2, "W2000SRV"},
      {5, 0, 2195, S | 0x2, "x86", 0x2, "W2000ASV"}, {5, 1, 2600, S, "x64", 0x4, "XPPRO"},
      {5, 2, 3790, W, "x86", 0x8, ""}, {5, 2, 3790, W, "x64", 0x100, "XPPRO_X64"}, {5, 2, 3790, 0, "x64", 0x200, ""},
      {5, 2, 3790, S, "x86", 0x8, "W2K3SRVSTD"}, {5, 2, 3790, S, "x64", 0x200, "W2K3SRVSTD_X64"},
      {5, 2, 3790, S | 0x2, "X64", 0x200, "W2K3SRVENT_X64"}, {5, 2, 3790, S | 0x400, "x86", 0x8, "W2K3SRVWEB"},
      {5, 2, 3790, S | 0x402, "x86", 0x8, "W2K3SRVENT"}, {6, 0, 6002, W, "x86", 0x10, "VISTABUSINESS"},
      {6, 0, 6002, W, "x64", 0x400, "VISTABUSINESS_X64"}, {6, 0, 6002, S, "x86", 0x20, "W2K8SRV"},
      {6, 0, 6002, S, "x64", 0x800, "W2K8SRV_X64"}, {6, 1, 7601, W, "x86", 0x40, "WIN7CLIENT"},
      {6, 1, 7601, W, "x64", 0x1000, "WIN7CLIENT_X64"}, {6, 1, 7601, S, "x86", 0x80, "WIN7SERVER"},
      {6, 1, 7601, S, "x64", 0x2000, "WIN7SERVER_X64"}, {6, 2, 9200, W, "x86", 0x4000, "WIN8CLIENT"},
      {6, 2, 9200, W, "x64", 0x10000, "WIN8CLIENT_X64"}, {6, 2, 9200, S, "x86", 0x8000, "WIN8SERVER"},
      {6, 2, 9200, S, "x64", 0x20000, "WIN8SERVER_X64"}, {6, 3, 9600, W, "x86", 0x4000, "WIN8CLIENT"},
      {6, 4, 9841, W, "x86", 0x40000, "WIN10CLIENT"}, {6, 4, 9841, S, "x64", 0x100000, "WIN10SERVER_X64"},
      {10, 0, 19045, W, "x86", 0x40000, "WIN10CLIENT"}, {10, 0, 19045, W, "x64", 0x80000, "WIN10CLIENT_X64"},
      {10, 0, 19045, W, "AMD64", 0x40000, "WIN10CLIENT"}, {10, 0, 21999, W, "x64", 0x80000, "WIN10CLIENT_X64"},
      {10, 0, 22000, W, "x86", 0x400000, "WIN11CLIENT_X64"}, {10, 0, 14393, S, "x86", 0x100000, "WIN10SERVER"},
      {10, 0, 17762, S, "x64", 0x100000, "WIN10SERVER_X64"}, {10, 0, 17763, S, "x86", 0x200000, "WINSRV2019_X64"},
      {10, 0, 20347, S, "x64", 0x200000, "WINSRV2019_X64"}, {10, 0, 20348, S, "x64", 0x800000, "WINSRV2022_X64"},
      {10, 0, 26100, 0, "x64", 0x800000, "WINSRV2022_X64"},
      {10, 0, 19045, W | S, "x64", 0x80000, "WIN10CLIENT_X64"},  // the workstation bit wins
      {3, 51, 1057, W, "x86", 0, ""}, {4, 1, 0, W, "x86", 0, ""}, {6, 5, 0, W, "x64", 0, ""},
      {11, 0, 22000, W, "x64", 0, ""}, {0, 0, 0, 0, "", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor) + "." + std::to_string(c.build) + c.arch);
    EXPECT_EQ(H::OSType_From_WinVer(c.major, c.minor, c.build, c.flags, c.arch), c.type) << std::hex << c.flags;
    EXPECT_EQ(H::OSSubType_VerToString(c.major, c.minor, c.build, c.flags, c.arch), c.sub) << std::hex << c.flags;
    // Where the sub-type has a row, its bit is the version's type.
    if (const uint64_t bit = H::OSSubTypeShortStringToOSType(c.sub)) { EXPECT_EQ(bit, c.type); }
  }
  // From a version object: type 1 is a workstation, any other a server; only the sub-type reads the suite mask,
  // ORed in unfiltered (0x40000000 in it turns a server into a workstation).
  const std::tuple<OFLOSVersion, uint64_t, const char*> versions[] = {
      {{10, 0, 19045, 1, "x64"}, 0x80000, "WIN10CLIENT_X64"}, {{10, 0, 14393, 3, "x64"}, 0x100000, "WIN10SERVER_X64"},
      {{10, 0, 20348, 2, "x64"}, 0x800000, "WINSRV2022_X64"}, {{6, 1, 7601, 0, "x86"}, 0x80, "WIN7SERVER"},
      {{5, 2, 3790, 3, "x64", 0x2}, 0x200, "W2K3SRVENT_X64"}, {{5, 2, 3790, 1, "x64", 0x2}, 0x100, "XPPRO_X64"},
      {{5, 0, 2195, 1, "x86", 0x2}, 0x2, "W2000ASV"}, {{10, 0, 19045, 1, "AMD64"}, 0x40000, "WIN10CLIENT"},
      {{10, 0, 19045, 3, "x64", 0x40000000}, 0x200000, "WIN10CLIENT_X64"}, {{}, 0, ""}};
  for (const auto& [v, type, sub] : versions) {
    EXPECT_EQ(H::OSType_From_OSVersion(v), type) << v.GetBuildNumber() << " " << v.GetType();
    EXPECT_EQ(H::OSSubType_VerToString(v), sub) << v.GetBuildNumber() << " " << v.GetType();
  }
}

}  // namespace
}  // namespace orvacmn
