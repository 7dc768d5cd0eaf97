#include "ofl/locale.h"

#include <atomic>
#include <cstdio>

namespace OFL {
namespace Locale {
namespace {

struct LocaleRow {
  LCID lcid;
  const char* name;
  const char* iso639;
  const char* iso3166;
  const char* abbrev;
  const char* englishLanguage;
  const char* englishCountry;
  const char* nativeLanguage;
  const char* nativeCountry;
  const char* shortDate;
  const char* timeFormat;
};

// The platform's default pictures of each locale.
constexpr LocaleRow kLocales[] = {
    {1025, "ar-SA", "ar", "SA", "ARA", "Arabic", "Saudi Arabia", "العربية", "المملكة العربية السعودية",
     "dd/MM/yy", "hh:mm:ss tt"},
    {1026, "bg-BG", "bg", "BG", "BGR", "Bulgarian", "Bulgaria", "български", "България", "d.M.yyyy",
     "H:mm:ss"},
    {1028, "zh-TW", "zh", "TW", "CHT", "Chinese", "Taiwan", "中文", "台灣", "yyyy/M/d", "tt hh:mm:ss"},
    {1029, "cs-CZ", "cs", "CZ", "CSY", "Czech", "Czech Republic", "čeština", "Česká republika", "dd.MM.yyyy",
     "H:mm:ss"},
    {1030, "da-DK", "da", "DK", "DAN", "Danish", "Denmark", "dansk", "Danmark", "dd-MM-yyyy", "HH:mm:ss"},
    {1031, "de-DE", "de", "DE", "DEU", "German", "Germany", "Deutsch", "Deutschland", "dd.MM.yyyy",
     "HH:mm:ss"},
    {1032, "el-GR", "el", "GR", "ELL", "Greek", "Greece", "Ελληνικά", "Ελλάδα", "d/M/yyyy", "h:mm:ss tt"},
    {1033, "en-US", "en", "US", "ENU", "English", "United States", "English", "United States", "M/d/yyyy",
     "h:mm:ss tt"},
    {1034, "es-ES_tradnl", "es", "ES", "ESP", "Spanish", "Spain", "español", "España", "dd/MM/yyyy",
     "H:mm:ss"},
    {1035, "fi-FI", "fi", "FI", "FIN", "Finnish", "Finland", "suomi", "Suomi", "d.M.yyyy", "H:mm:ss"},
    {1036, "fr-FR", "fr", "FR", "FRA", "French", "France", "français", "France", "dd/MM/yyyy", "HH:mm:ss"},
    {1037, "he-IL", "he", "IL", "HEB", "Hebrew", "Israel", "עברית", "ישראל", "dd/MM/yyyy", "HH:mm:ss"},
    {1038, "hu-HU", "hu", "HU", "HUN", "Hungarian", "Hungary", "magyar", "Magyarország", "yyyy. MM. dd.",
     "H:mm:ss"},
    {1040, "it-IT", "it", "IT", "ITA", "Italian", "Italy", "italiano", "Italia", "dd/MM/yyyy", "HH:mm:ss"},
    {1041, "ja-JP", "ja", "JP", "JPN", "Japanese", "Japan", "日本語", "日本", "yyyy/MM/dd", "H:mm:ss"},
    {1042, "ko-KR", "ko", "KR", "KOR", "Korean", "Korea", "한국어", "대한민국", "yyyy-MM-dd", "tt h:mm:ss"},
    {1043, "nl-NL", "nl", "NL", "NLD", "Dutch", "Netherlands", "Nederlands", "Nederland", "d-M-yyyy",
     "HH:mm:ss"},
    {1044, "nb-NO", "nb", "NO", "NOR", "Norwegian Bokmål", "Norway", "norsk (bokmål)", "Norge", "dd.MM.yyyy",
     "HH:mm:ss"},
    {1045, "pl-PL", "pl", "PL", "PLK", "Polish", "Poland", "polski", "Polska", "dd.MM.yyyy", "HH:mm:ss"},
    {1046, "pt-BR", "pt", "BR", "PTB", "Portuguese", "Brazil", "português", "Brasil", "dd/MM/yyyy",
     "HH:mm:ss"},
    {1048, "ro-RO", "ro", "RO", "ROM", "Romanian", "Romania", "română", "România", "dd.MM.yyyy", "HH:mm:ss"},
    {1049, "ru-RU", "ru", "RU", "RUS", "Russian", "Russia", "русский", "Россия", "dd.MM.yyyy", "H:mm:ss"},
    {1050, "hr-HR", "hr", "HR", "HRV", "Croatian", "Croatia", "hrvatski", "Hrvatska", "d.M.yyyy.", "H:mm:ss"},
    {1051, "sk-SK", "sk", "SK", "SKY", "Slovak", "Slovakia", "slovenčina", "Slovensko", "d. M. yyyy",
     "H:mm:ss"},
    {1053, "sv-SE", "sv", "SE", "SVE", "Swedish", "Sweden", "svenska", "Sverige", "yyyy-MM-dd", "HH:mm:ss"},
    {1054, "th-TH", "th", "TH", "THA", "Thai", "Thailand", "ไทย", "ไทย", "d/M/yyyy", "H:mm:ss"},
    {1055, "tr-TR", "tr", "TR", "TRK", "Turkish", "Turkey", "Türkçe", "Türkiye", "dd.MM.yyyy", "HH:mm:ss"},
    {1058, "uk-UA", "uk", "UA", "UKR", "Ukrainian", "Ukraine", "українська", "Україна", "dd.MM.yyyy",
     "H:mm:ss"},
    {1060, "sl-SI", "sl", "SI", "SLV", "Slovenian", "Slovenia", "slovenščina", "Slovenija", "d. MM. yyyy",
     "H:mm:ss"},
    {1061, "et-EE", "et", "EE", "ETI", "Estonian", "Estonia", "eesti", "Eesti", "d.MM.yyyy", "H:mm:ss"},
    {1062, "lv-LV", "lv", "LV", "LVI", "Latvian", "Latvia", "latviešu", "Latvija", "dd.MM.yyyy", "HH:mm:ss"},
    {1063, "lt-LT", "lt", "LT", "LTH", "Lithuanian", "Lithuania", "lietuvių", "Lietuva", "yyyy-MM-dd",
     "HH:mm:ss"},
    {2052, "zh-CN", "zh", "CN", "CHS", "Chinese", "China", "中文", "中国", "yyyy/M/d", "H:mm:ss"},
    {2055, "de-CH", "de", "CH", "DES", "German", "Switzerland", "Deutsch", "Schweiz", "dd.MM.yyyy",
     "HH:mm:ss"},
    {2057, "en-GB", "en", "GB", "ENG", "English", "United Kingdom", "English", "United Kingdom", "dd/MM/yyyy",
     "HH:mm:ss"},
    {2058, "es-MX", "es", "MX", "ESM", "Spanish", "Mexico", "español", "México", "dd/MM/yyyy",
     "hh:mm:ss tt"},
    {2060, "fr-BE", "fr", "BE", "FRB", "French", "Belgium", "français", "Belgique", "dd-MM-yy", "HH:mm:ss"},
    {2067, "nl-BE", "nl", "BE", "NLB", "Dutch", "Belgium", "Nederlands", "België", "d/MM/yyyy", "H:mm:ss"},
    {2070, "pt-PT", "pt", "PT", "PTG", "Portuguese", "Portugal", "português", "Portugal", "dd/MM/yyyy",
     "HH:mm:ss"},
    {3079, "de-AT", "de", "AT", "DEA", "German", "Austria", "Deutsch", "Österreich", "dd.MM.yyyy",
     "HH:mm:ss"},
    {3081, "en-AU", "en", "AU", "ENA", "English", "Australia", "English", "Australia", "d/MM/yyyy",
     "h:mm:ss tt"},
    {3082, "es-ES", "es", "ES", "ESN", "Spanish", "Spain", "español", "España", "dd/MM/yyyy", "H:mm:ss"},
    {3084, "fr-CA", "fr", "CA", "FRC", "French", "Canada", "français", "Canada", "yyyy-MM-dd", "HH:mm:ss"},
    {4105, "en-CA", "en", "CA", "ENC", "English", "Canada", "English", "Canada", "yyyy-MM-dd", "h:mm:ss tt"},
    {4108, "fr-CH", "fr", "CH", "FRS", "French", "Switzerland", "français", "Suisse", "dd.MM.yyyy",
     "HH:mm:ss"},
};

std::atomic<LCID> g_systemDefault{1033};

const LocaleRow* Find(LCID lcid) {
  if (lcid == LOCALE_USER_DEFAULT || lcid == LOCALE_SYSTEM_DEFAULT) lcid = g_systemDefault.load();
  for (const LocaleRow& row : kLocales)
    if (row.lcid == lcid) return &row;
  return nullptr;
}

}  // namespace

String GetLocaleInfo(LCID lcid, LCTYPE type) {
  const LocaleRow* row = Find(lcid);
  if (row == nullptr) return String();
  switch (type & ~(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP)) {
    case LOCALE_ILANGUAGE: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%04x", static_cast<unsigned>(row->lcid & 0xFFFF));
      return buf;
    }
    case LOCALE_SLANGUAGE:
      return String(row->englishLanguage) + " (" + row->englishCountry + ")";
    case LOCALE_SABBREVLANGNAME: return row->abbrev;
    case LOCALE_SNATIVELANGNAME: return row->nativeLanguage;
    case LOCALE_SNATIVECTRYNAME: return row->nativeCountry;
    case LOCALE_SSHORTDATE: return row->shortDate;
    case LOCALE_SISO639LANGNAME: return row->iso639;
    case LOCALE_SISO3166CTRYNAME: return row->iso3166;
    case LOCALE_SNAME: return row->name;
    case LOCALE_SENGLANGUAGE: return row->englishLanguage;
    case LOCALE_SENGCOUNTRY: return row->englishCountry;
    case LOCALE_STIMEFORMAT: return row->timeFormat;
    default: return String();
  }
}

bool IsKnownLCID(LCID lcid) {
  for (const LocaleRow& row : kLocales)
    if (row.lcid == lcid) return true;
  return false;
}

LCID GetSystemDefaultLCID() { return g_systemDefault.load(); }

void SetSystemDefaultLCID(LCID lcid) { g_systemDefault.store(lcid); }

}  // namespace Locale
}  // namespace OFL
