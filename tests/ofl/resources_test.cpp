#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "ofl/tools.h"

namespace {

constexpr uint16_t kEnglish = 1033;
constexpr uint16_t kGerman = 1031;

// printf directives of a format text in order ("%%" is text), with the Windows length prefixes I64, I32 and I.
std::vector<std::string> Directives(const std::string& s) {
  std::vector<std::string> out;
  auto skip = [&s](size_t j, const char* set) { return std::min(s.find_first_not_of(set, j), s.size()); };
  for (size_t i = s.find('%'); i != std::string::npos; i = s.find('%', i)) {
    if (s.compare(i, 2, "%%") == 0) {
      i += 2;
      continue;
    }
    size_t j = skip(skip(i + 1, "-+ #0"), "0123456789*");
    if (s.compare(j, 1, ".") == 0) j = skip(j + 1, "0123456789*");
    if (s.compare(j, 3, "I64") == 0 || s.compare(j, 3, "I32") == 0) j += 3;
    j = std::min(skip(j, "hlLqjztI") + 1, s.size());  // and the conversion
    out.push_back(s.substr(i, j - i));
    i = j;
  }
  return out;
}

bool IsUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
    i += len;
  }
  return true;
}

class ResourcesTest : public ::testing::Test {
 protected:
  void TearDown() override { OFL::SetResourceLanguage(kEnglish); }
  static std::string In(uint16_t language, uint32_t id) {
    OFL::SetResourceLanguage(language);
    return OFLTools::LoadResString(id);
  }
};

TEST(ResourceDirectives, FindsEveryDirectiveInOrder) {
  EXPECT_EQ(Directives("%d took [%02x ms] %I64d %-5.2f %lld"),
            (std::vector<std::string>{"%d", "%02x", "%I64d", "%-5.2f", "%lld"}));
  EXPECT_EQ(Directives("100%% done %s, trailing %"), (std::vector<std::string>{"%s", "%"}));
}

TEST_F(ResourcesTest, ExactTexts) {
  EXPECT_EQ(OFL::GetResourceLanguage(), kEnglish);  // the default
  struct Case { uint32_t id; const char* en; const char* de; } const cases[] = {
      {7016, "Change", "Ändern"}, {7135, "Yes", "Ja"}, {7141, "cancelled", "zurückgezogen"},
      {7091, "Wipe hard disk [%02xh] (Mode=%d, Passes=%d)", "Festplatte löschen [%02xh] (Modus=%d, Durchgänge=%d)"},
      {7134, "<Error: variables recursion>", "<Fehler: Variablen-Rekursion>"},
      {7118, "%d step(s) failed", "%d Schritt(e) fehlgeschlagen"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(In(kEnglish, c.id), c.en) << c.id;
    EXPECT_EQ(In(kGerman, c.id), c.de) << c.id;
  }
  EXPECT_EQ(In(kEnglish, 7206),
            "The condition \"user is logged on\", \"user logged off\", \"desktop locked\" can not be defined more "
            "than once.");
  EXPECT_EQ(In(kEnglish, 7270), "%d new hardware components were created with automatic driver assignment [%lld ms].");
}

// Every id in 7006..7317 with a text has one in both languages, in valid UTF-8, with the same placeholders in the
// same order (callers format either with the same arguments). Found by lookup: a table out of order hides some.
TEST_F(ResourcesTest, EveryTextHasBothLanguagesWithTheSamePlaceholders) {
  size_t found = 0;
  for (uint32_t id : {0u, 1u, 65535u, 0xFFFFFFFFu}) EXPECT_EQ(In(kEnglish, id) + In(kGerman, id), "") << id;
  for (uint32_t id = 0; id < 20000; ++id) {
    const std::string en = In(kEnglish, id), de = In(kGerman, id);
    EXPECT_EQ(en.empty(), de.empty()) << id;
    if (en.empty()) continue;
    ++found;
    EXPECT_TRUE(id >= 7006 && id <= 7317) << id;
    EXPECT_TRUE(IsUtf8(en) && IsUtf8(de)) << id;
    EXPECT_EQ(Directives(en), Directives(de)) << id << ": \"" << en << "\" vs \"" << de << "\"";
  }
  EXPECT_EQ(found, 99u);
}

TEST_F(ResourcesTest, LanguageSwitching) {
  EXPECT_EQ(In(kGerman, 7184), "Fehler");
  EXPECT_EQ(OFL::GetResourceLanguage(), kGerman);
  EXPECT_EQ(In(kEnglish, 7184), "Error");
  EXPECT_EQ(OFL::GetResourceLanguage(), kEnglish);
  for (uint16_t other : {uint16_t(0), uint16_t(1036), uint16_t(2055), uint16_t(0xFFFF)}) {  // English for any other
    OFL::SetResourceLanguage(kGerman);
    EXPECT_EQ(In(other, 7135), "Yes") << other;
    EXPECT_EQ(OFL::GetResourceLanguage(), kEnglish) << other;
  }
}

}  // namespace
