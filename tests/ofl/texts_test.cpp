// Texts: printf-style formatting, the library's string resources and the system texts of error codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include <boost/regex.hpp>

#include "ofl/error_message.h"
#include "ofl/format.h"
#include "ofl/tools.h"

namespace {

template <class... Args>
std::string F(const char* format, const Args&... args) {
  return OFLFormat(format, args...).str();
}

void Check(std::initializer_list<std::pair<std::string, std::string>> cases) {
  int i = 0;
  for (const auto& [got, want] : cases) EXPECT_EQ(got, want) << "case " << i++;
}

TEST(Format, Directives) {
  const OFL::String fmt = "[%s]", converted = OFLFormat("%d", 7), s = "text";
  const std::string_view v = "view";
  char buffer[] = "buf";
  const char* none = nullptr;
  int x = 0;
  char pointer[32];
  std::snprintf(pointer, sizeof pointer, "%016llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(&x)));
  enum Color { kRed = 2 };
  Check({
      {F(""), ""}, {F("no directives"), "no directives"}, {F("100%%"), "100%"}, {F("%%d", 5), "%d"},
      {F(static_cast<const char*>(nullptr)), ""}, {OFLFormat(fmt, "x").str(), "[x]"}, {converted, "7"},
      {F("%d|%i", 42, -42), "42|-42"},
      {F("[%5d][%-5d][%05d][%+d][% d]", 42, 42, 42, 42, 42), "[   42][42   ][00042][+42][ 42]"},
      {F("%.4d|%8.3d|%-06d|", 7, -7, 9), "0007|    -007|9     |"},
      {F("%x %X %#x %o %#o", 255, 255, 255, 8, 8), "ff FF 0xff 10 010"},
      {F("%#d %#u", 5, 6u), "5 6"},  // "#" drops nothing for decimal
      // The default sizes are 32 bits, as "long" is on the original platform.
      {F("%d", int64_t{0x100000005}), "5"}, {F("%d", uint32_t{0xFFFFFFFF}), "-1"}, {F("%u", -1), "4294967295"},
      {F("%lu", int64_t{-1}), "4294967295"}, {F("%x", int64_t{0x123456789}), "23456789"},
      {F("%I32d", int64_t{0x1FFFFFFFF}), "-1"}, {F("%d", INT32_MIN), "-2147483648"},
      {F("%I64d", INT64_MIN), "-9223372036854775808"}, {F("%lld", INT64_MAX), "9223372036854775807"},
      {F("%I64u", UINT64_MAX), "18446744073709551615"}, {F("%llu", -1), "18446744073709551615"},
      {F("%I64X", uint64_t{0xABCDEF0123456789}), "ABCDEF0123456789"},
      {F("%I64d", uint64_t{0x8000000000000000}), "-9223372036854775808"}, {F("%I64d%%", 5), "5%"},
      {F("%zu %Iu %ju", uint64_t{1} << 40, uint64_t{1} << 40, uint64_t{1} << 40),
       "1099511627776 1099511627776 1099511627776"},
      {F("%hd", 65537), "1"}, {F("%hd", 32768), "-32768"}, {F("%hx", -1), "ffff"}, {F("%hhu", 257), "1"},
      {F("%hhd", 255), "-1"},
      {F("%f", 1.5), "1.500000"}, {F("%.2f|%8.3f|%-8.1f|%+.1f", 3.14159, 2.5, 2.5, 2.0), "3.14|   2.500|2.5     |+2.0"},
      {F("%s [Duration: %0.2f ms]", "step", 12.345), "step [Duration: 12.35 ms]"}, {F("%e", 12345.678), "1.234568e+04"},
      {F("%E", 0.5), "5.000000E-01"}, {F("%g %g %G", 100000.0, 1e-5, 1e20), "100000 1e-05 1E+20"},
      {F("%#.0f", 3.0), "3."}, {F("%a", 1.0).substr(0, 3), "0x1"}, {F("%Lf %lf", 1.0, 2.0), "1.000000 2.000000"},
      {F("%.1f", std::numeric_limits<double>::infinity()), "inf"}, {F("%*d", 5, 42), "   42"},
      {F("%*d|", -5, 42), "42   |"}, {F("%-*d|", 4, 1), "1   |"}, {F("%.*f", 2, 3.14159), "3.14"},
      {F("%.*f", 0, 1.25), "1"}, {F("%*.*f", 8, 1, 2.25), "     2.2"},
      {F("%*s|", int64_t{0x100000003}, "a"), "  a|"},  // the width is 32-bit
      // Widths and precisions are capped; a negative width taken as "-".
      {std::to_string(F("%*d", INT32_MIN, 1).size()), "4096"}, {F("%.99999999999999999999s", "abc"), "abc"},
      {std::to_string(F("%99999999999999999999d", 1).size()), "4096"},
      {std::to_string(F("%.99999999999999999999d", 1).size()), "4096"},
      {F("%s %s %s %s %s", s, v, buffer, "lit", none), "text view buf lit (null)"},
      {F("[%6s][%-6s][%.2s][%.10s][%.0s]", s, s, s, s, s), "[  text][text  ][te][text][]"},
      {F("%.*s|%-*s|", 3, "abcdef", 5, "ab"), "abc|ab   |"}, {F("%.*s", -1, "whole"), "whole"},  // negative: none
      {F("%ls %S %ws", "a", "b", "c"), "a b c"}, {F("<%s>", std::string("a\0b", 3)), std::string("<a\0b>", 5)},
      {F("%c%c%c", 'O', 75, "!?"), "OK!"}, {F("[%3c][%-3c]", 'a', 'b'), "[  a][b  ]"}, {F("[%c]", 0), "[]"},
      {F("[%c]", ""), "[]"}, {F("%c", 0x141), "A"}, {F("%p", &x), pointer}, {F("%p", nullptr), "0000000000000000"},
      {F("[%20p]", nullptr), "[    0000000000000000]"}, {F("%n%d", &x, 5), "5"},  // %n writes nothing
      {std::to_string(x), "0"}, {std::to_string(F("%s", std::string(10000, 'x')).size()), "10000"},
      // Arguments of the wrong kind are converted; missing ones are 0 or empty, extra ones ignored.
      {F("[%s]", 42), "[]"}, {F("[%s]", 1.5), "[]"}, {F("[%d]", "text"), "[0]"}, {F("%d", 3.9), "3"},
      {F("%d", -3.9), "-3"}, {F("%d", std::nan("")), "0"}, {F("%I64d", 1e300), "9223372036854775807"},
      {F("%I64d", -1e300), "-9223372036854775808"}, {F("%I64u", 1e300), "18446744073709551615"},
      {F("%I64u", 1e19), "10000000000000000000"}, {F("%f", 3), "3.000000"}, {F("%f", "3.5"), "0.000000"},
      {F("%d %d", true, false), "1 0"}, {F("%d", kRed), "2"}, {F("%u", 'A'), "65"},
      {F("%d|%s|%f|%c|%x|%I64d|%p"), "0||0.000000||0|0|0000000000000000"}, {F("%d %d", 1), "1 0"},
      {F("%d", 1, 2, "three"), "1"}, {F("%*d"), "0"},
      // Malformed directives stay as written.
      {F("%"), "%"}, {F("abc%", 1), "abc%"}, {F("abc%5", 1), "abc%5"}, {F("%-08.3", 1), "%-08.3"},
      {F("%I64", 1), "%I64"}, {F("%y|%d", 7), "%y|7"}, {F("%5k%d", 7), "%5k7"}, {F("%I6d", 1), "%I6d"},
      {F("%lhd", 1), "%lhd"}, {F("%'d|%d", 1000), "%'d|1000"},
  });
}

constexpr uint16_t kEnglish = 1033, kGerman = 1031;

// printf directives of a format text in order ("%%" is text), with the Windows length prefixes I64, I32 and I.
std::vector<std::string> Directives(const std::string& s) {
  static const boost::regex kDirective(R"(%(%|[-+ #0]*[0-9*]*(\.[0-9*]*)?(I64|I32)?[hlLqjztI]*[\s\S]?))");
  std::vector<std::string> out;
  for (boost::sregex_iterator it(s.begin(), s.end(), kDirective), end; it != end; ++it)
    if (it->str() != "%%") out.push_back(it->str());
  return out;
}

// Valid UTF-8 is all printable ASCII once every character outside ASCII is escaped; other bytes stay as they are.
bool IsUtf8(const std::string& s) {
  std::string escaped;
  OFLTools::AppendXMLData(escaped, s, true);
  return std::all_of(escaped.begin(), escaped.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

class ResourcesTest : public ::testing::Test {
 protected:
  void TearDown() override { OFL::SetResourceLanguage(kEnglish); }
  static std::string In(uint16_t language, uint32_t id) {
    OFL::SetResourceLanguage(language);
    return OFLTools::LoadResString(id);
  }
};

TEST_F(ResourcesTest, LanguagesAndFormats) {
  EXPECT_EQ(OFL::GetResourceLanguage(), kEnglish);  // the default
  // English for any other language.
  for (uint16_t other : {uint16_t(0), uint16_t(1030), uint16_t(1032), uint16_t(2055), uint16_t(0xFFFF)}) {
    EXPECT_EQ((std::vector<std::string>{In(kGerman, 7135), std::to_string(OFL::GetResourceLanguage()), In(other, 7135),
                                        std::to_string(OFL::GetResourceLanguage())}),
              (std::vector<std::string>{"Ja", "1031", "Yes", "1033"})) << other;
  }
  // Formats from resources: an unknown one is an empty format.
  EXPECT_EQ(OFLFormat(7118u, 3).str() + "|" + OFLFormat(7118u).str() + "|" + OFLFormat(1u, 3).str(),
            "3 step(s) failed|0 step(s) failed|");
}

TEST_F(ResourcesTest, EveryTextHasBothLanguagesWithTheSamePlaceholders) {
  EXPECT_EQ(Directives("%d took [%02x ms] %I64d %-5.2f %lld %Iu 100%% done %s, trailing %"),
            (std::vector<std::string>{"%d", "%02x", "%I64d", "%-5.2f", "%lld", "%Iu", "%s", "%"}));
  size_t found = 0;
  std::string all;
  for (uint32_t id : {0u, 1u, 65535u, 0xFFFFFFFFu}) EXPECT_EQ(In(kEnglish, id) + In(kGerman, id), "") << id;
  for (uint32_t id = 0; id < 20000; ++id) {
    const std::string en = In(kEnglish, id), de = In(kGerman, id);
    EXPECT_EQ(en.empty(), de.empty()) << id;
    if (en.empty()) continue;
    ++found;
    all += std::to_string(id) + '\0' + en + '\0' + de + '\0';
    EXPECT_TRUE(id >= 7006 && id <= 7317) << id;
    EXPECT_TRUE(IsUtf8(en) && IsUtf8(de)) << id;
    EXPECT_EQ(Directives(en), Directives(de)) << id << ": \"" << en << "\" vs \"" << de << "\"";
  }
  EXPECT_EQ(found, 99u);
  EXPECT_EQ(OFLTools::CalculateCRC32(all), 0xC042C4B0u);  // the table as shipped: a changed id or text shows here
}

TEST(ErrorMessage, KnownAndUnknownCodes) {
  using OFL::ErrorMessage::TranslateValue;
  struct Case { uint32_t code; const char* text; } const cases[] = {
      {5, "Access is denied."}, {0x80004005, "Unspecified error"}, {0x80070057, "The parameter is incorrect."},
      {0x12345678, "Unknown error 0x12345678"}, {0x8007FFFF, "Unknown error 0x8007FFFF"},
      {0xFFFF, "Unknown error 0x0000FFFF"}, {0xFFFFFFFF, "Unknown error 0xFFFFFFFF"},
      {0x00070005, "Unknown error 0x00070005"}, {0x80000000, "Unknown error 0x80000000"},
  };
  for (const Case& c : cases) EXPECT_EQ(TranslateValue(c.code), c.text) << std::hex << c.code;
  EXPECT_EQ(TranslateValue(OFL::E_FAIL_) + "|" + TranslateValue(OFL::S_OK_) + "|" + TranslateValue(-1),
            "Unspecified error|" + TranslateValue(0u) + "|Unknown error 0xFFFFFFFF");
  // Every text is one clean line, and a wrapped code gives the Win32 text.
  std::string all;
  for (uint32_t code = 0; code < 12000; ++code) {
    const std::string t = TranslateValue(code);
    all += t + '\n';
    ASSERT_TRUE(!t.empty() && t.find_first_of("\r\n") == std::string::npos && t.back() != ' ') << code;
    if (t.rfind("Unknown error", 0) == 0) continue;
    EXPECT_EQ(TranslateValue(0x80070000u | code), t) << code;
  }
  // The tables as shipped, HRESULTs of the facilities known: a changed code or text shows here.
  for (uint32_t facility = 0x8000; facility <= 0x800B; ++facility)
    for (uint32_t code = 0; code < 0x1000; ++code) all += TranslateValue(facility << 16 | code) + '\n';
  EXPECT_EQ(OFLTools::CalculateCRC32(all), 0xE1541AF6u);
}

}  // namespace
