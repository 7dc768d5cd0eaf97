#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "ofl/tools.h"

namespace {

constexpr uint16_t kEnglish = 1033;
constexpr uint16_t kGerman = 1031;

// Every id the library's callers load.
const std::vector<uint32_t> kKnownIds = {
    7014, 7015, 7016, 7017, 7018, 7019, 7020, 7021, 7026, 7030, 7048, 7091, 7093, 7094, 7095, 7096, 7097,
    7098, 7099, 7109, 7110, 7111, 7112, 7113, 7114, 7115, 7116, 7117, 7118, 7123, 7124, 7125, 7126, 7127,
    7128, 7129, 7130, 7131, 7132, 7133, 7134, 7135, 7136, 7137, 7138, 7139, 7140, 7141, 7159, 7170, 7171,
    7172, 7173, 7174, 7175, 7176, 7177, 7178, 7179, 7180, 7181, 7182, 7183, 7184, 7185, 7186, 7187, 7188,
    7193, 7194, 7198, 7199, 7201, 7202, 7203, 7204, 7205, 7206, 7207, 7208, 7210, 7211, 7212, 7213, 7214,
    7224, 7226, 7262, 7263, 7264, 7265, 7266, 7267, 7268, 7269, 7270, 7286, 7295, 7298};

// printf directives of a format text in order ("%%" is text, not a directive),
// including the Windows length prefixes I64 / I32 / I.
std::vector<std::string> Directives(const std::string& s) {
  std::vector<std::string> out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '%') continue;
    if (i + 1 < s.size() && s[i + 1] == '%') {
      ++i;
      continue;
    }
    size_t j = i + 1;
    while (j < s.size() && std::string("-+ #0").find(s[j]) != std::string::npos) ++j;
    while (j < s.size() && (isdigit(static_cast<unsigned char>(s[j])) || s[j] == '*')) ++j;
    if (j < s.size() && s[j] == '.') {
      ++j;
      while (j < s.size() && (isdigit(static_cast<unsigned char>(s[j])) || s[j] == '*')) ++j;
    }
    if (s.compare(j, 3, "I64") == 0 || s.compare(j, 3, "I32") == 0) j += 3;
    while (j < s.size() && std::string("hlLqjztI").find(s[j]) != std::string::npos) ++j;
    if (j < s.size()) ++j;  // the conversion
    out.push_back(s.substr(i, j - i));
    i = j - 1;
  }
  return out;
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
  EXPECT_EQ(Directives("Wipe [%02xh] (Mode=%d)"), (std::vector<std::string>{"%02x", "%d"}));
  EXPECT_EQ(Directives("%d took [%lld ms] %I64d %-5.2f"),
            (std::vector<std::string>{"%d", "%lld", "%I64d", "%-5.2f"}));
  EXPECT_EQ(Directives("100%% done %s"), (std::vector<std::string>{"%s"}));
  EXPECT_TRUE(Directives("no directives").empty());
  EXPECT_EQ(Directives("trailing %"), (std::vector<std::string>{"%"}));
}

TEST_F(ResourcesTest, DefaultLanguageIsEnglish) {
  EXPECT_EQ(OFL::GetResourceLanguage(), kEnglish);
  EXPECT_EQ(OFLTools::LoadResString(7135), "Yes");
}

TEST_F(ResourcesTest, ExactTextsInBothLanguages) {
  struct Case {
    uint32_t id;
    const char* en;
    const char* de;
  };
  const Case cases[] = {
      {7014, "Full control", "Vollzugriff"},
      {7015, "Read", "Lesen"},
      {7016, "Change", "Ändern"},
      {7017, "Delete", "Löschen"},
      {7091, "Wipe hard disk [%02xh] (Mode=%d, Passes=%d)", "Festplatte löschen [%02xh] (Modus=%d, Durchgänge=%d)"},
      {7109, "On/Off field", "Ein/Aus Feld"},
      {7110, "Editable drop down box", "Editierbares Auswahlfeld"},
      {7111, "Drop down list", "Auswahlliste"},
      {7112, "Date", "Datum"},
      {7113, "File name", "Dateiname"},
      {7114, "Folder name", "Verzeichnisname"},
      {7115, "Number", "Zahl"},
      {7116, "String", "Zeichenkette"},
      {7125, "Network card", "Netzwerkkarte"},
      {7129, "Other component", "Sonstige Komponente"},
      {7131, "Runtime variable", "Laufzeitvariable"},
      {7132, "Password", "Passwort"},
      {7133, "OVS variable", "OVS Variable"},
      {7134, "<Error: variables recursion>", "<Fehler: Variablen-Rekursion>"},
      {7135, "Yes", "Ja"},
      {7136, "No", "Nein"},
      {7137, "released", "freigegeben"},
      {7138, "not released", "nicht freigegeben"},
      {7139, "released for test", "zum Test freigegeben"},
      {7140, "not specified", "nicht angegeben"},
      {7141, "cancelled", "zurückgezogen"},
      {7224, "Certificate", "Zertifikat"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(In(kEnglish, c.id), c.en) << c.id;
    EXPECT_EQ(In(kGerman, c.id), c.de) << c.id;
  }
}

TEST_F(ResourcesTest, ExactEnglishTexts) {
  EXPECT_EQ(In(kEnglish, 7118), "%d step(s) failed");
  EXPECT_EQ(In(kEnglish, 7130), "Error getting the orvamoc COM interface: %s");
  EXPECT_EQ(In(kEnglish, 7170), "-");
  EXPECT_EQ(In(kEnglish, 7179), "Finished. %d errors were ignored");
  EXPECT_EQ(In(kEnglish, 7206),
            "The condition \"user is logged on\", \"user logged off\", \"desktop locked\" can not be defined more "
            "than once.");
  EXPECT_EQ(In(kEnglish, 7270),
            "%d new hardware components were created with automatic driver assignment [%lld ms].");
  EXPECT_EQ(In(kEnglish, 7095), "Error reading patch state import file. Root tag <OVSSpecialImport> not found!");
  EXPECT_EQ(In(kEnglish, 7096),
            "Patch state import failed. %d patch states were read, %d skipped and %d valued changed. Error: %s");
  EXPECT_EQ(In(kEnglish, 7298), "Sync to Sentra");
}

TEST_F(ResourcesTest, EveryKnownIdHasBothLanguagesAndNothingElseExists) {
  size_t found = 0;
  for (uint32_t id = 0; id < 20000; ++id) {
    const std::string en = In(kEnglish, id);
    const std::string de = In(kGerman, id);
    EXPECT_EQ(en.empty(), de.empty()) << id;
    if (en.empty()) continue;
    ++found;
    EXPECT_GE(id, 7006u);
    EXPECT_LE(id, 7317u);
  }
  EXPECT_EQ(found, kKnownIds.size());
  // Found by lookup: a table out of order would hide some of them.
  for (uint32_t id : kKnownIds) {
    EXPECT_FALSE(In(kEnglish, id).empty()) << id;
    EXPECT_FALSE(In(kGerman, id).empty()) << id;
  }
}

TEST_F(ResourcesTest, PlaceholdersMatchBetweenLanguages) {
  for (uint32_t id = 7000; id <= 7400; ++id) {
    const std::string en = In(kEnglish, id);
    const std::string de = In(kGerman, id);
    EXPECT_EQ(Directives(en), Directives(de)) << id << ": \"" << en << "\" vs \"" << de << "\"";
  }
}

TEST_F(ResourcesTest, GermanTextsAreValidUtf8) {
  for (uint32_t id : kKnownIds) {
    const std::string de = In(kGerman, id);
    for (size_t i = 0; i < de.size();) {
      const unsigned char c = static_cast<unsigned char>(de[i]);
      const size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
      ASSERT_NE(len, 0u) << id;
      ASSERT_LE(i + len, de.size()) << id;
      for (size_t k = 1; k < len; ++k) ASSERT_EQ(static_cast<unsigned char>(de[i + k]) >> 6, 0x2u) << id;
      i += len;
    }
  }
}

TEST_F(ResourcesTest, UnknownIdIsEmptyInEveryLanguage) {
  for (uint32_t id : {0u, 1u, 7000u, 7006u, 7013u, 7022u, 7317u, 7318u, 65535u, 0xFFFFFFFFu}) {
    EXPECT_EQ(In(kEnglish, id), "") << id;
    EXPECT_EQ(In(kGerman, id), "") << id;
  }
}

TEST_F(ResourcesTest, LanguageSwitching) {
  OFL::SetResourceLanguage(kGerman);
  EXPECT_EQ(OFL::GetResourceLanguage(), kGerman);
  EXPECT_EQ(OFLTools::LoadResString(7184), "Fehler");
  OFL::SetResourceLanguage(kEnglish);
  EXPECT_EQ(OFL::GetResourceLanguage(), kEnglish);
  EXPECT_EQ(OFLTools::LoadResString(7184), "Error");
  // Any other language falls back to English.
  for (uint16_t other : {uint16_t(0), uint16_t(1036), uint16_t(2055), uint16_t(0xFFFF)}) {
    OFL::SetResourceLanguage(kGerman);
    OFL::SetResourceLanguage(other);
    EXPECT_EQ(OFL::GetResourceLanguage(), kEnglish) << other;
    EXPECT_EQ(OFLTools::LoadResString(7135), "Yes") << other;
  }
}

}  // namespace
