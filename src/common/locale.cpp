// Locale texts and the system default short date.
#include <cstdio>
#include <ctime>

#include "ofl/local_time.h"
#include "ofl/locale.h"
#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace {

// Formats `tm` with the directives the pictures below turn into, with the
// meaning the Windows C runtime gives them: "%#d", "%#m", "%#I" drop the
// leading zero. Other characters, and directives not listed, are copied.
String FormatTime(const String& format, const struct tm& tm) {
  String out;
  char buf[32];
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      out += format[i];
      continue;
    }
    size_t j = i + 1;
    const bool noPad = format[j] == '#';
    if (noPad && ++j == format.size()) {
      out.append(format, i, String::npos);
      break;
    }
    const char* pad = noPad ? "%d" : "%02d";
    const int hour12 = tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12;
    switch (format[j]) {
      case 'd': std::snprintf(buf, sizeof buf, pad, tm.tm_mday); break;
      case 'm': std::snprintf(buf, sizeof buf, pad, tm.tm_mon + 1); break;
      case 'H': std::snprintf(buf, sizeof buf, pad, tm.tm_hour); break;
      case 'I': std::snprintf(buf, sizeof buf, pad, hour12); break;
      case 'M': std::snprintf(buf, sizeof buf, pad, tm.tm_min); break;
      case 'S': std::snprintf(buf, sizeof buf, pad, tm.tm_sec); break;
      case 'y': std::snprintf(buf, sizeof buf, pad, tm.tm_year % 100); break;
      case 'Y': std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(tm.tm_year) + 1900); break;
      case 'p': std::snprintf(buf, sizeof buf, "%s", tm.tm_hour < 12 ? "AM" : "PM"); break;
      case '%': std::snprintf(buf, sizeof buf, "%%"); break;
      default:
        out.append(format, i, j + 1 - i);
        i = j;
        continue;
    }
    out += buf;
    i = j;
  }
  return out;
}

void Replace(String& s, std::string_view from, std::string_view to) { OFL::ReplaceAll(s, from, to); }

// The short-date picture ("dd.MM.yyyy") as a format ("%d.%m.%Y"). "dd" is
// parked under a placeholder so that the single "d" rule does not see it.
String DateFormatFromPicture(String picture) {
  static constexpr std::string_view kPlaceholder = "\x01";
  Replace(picture, "dd", kPlaceholder);
  Replace(picture, "d", "%#d");
  Replace(picture, kPlaceholder, "%d");
  Replace(picture, "MM", "%m");
  Replace(picture, "M", "%#m");
  Replace(picture, "yyyy", "%Y");
  Replace(picture, "yy", "%y");
  return picture;
}

// The time picture ("h:mm:ss tt") as a format ("%#I:%M:%S "); the AM/PM
// designator is dropped.
String TimeFormatFromPicture(String picture) {
  Replace(picture, "HH", "%H");
  Replace(picture, "h", "%#I");
  Replace(picture, "mm", "%M");
  Replace(picture, "ss", "%S");
  Replace(picture, "tt", "");
  return picture;
}

}  // namespace

String OVOHelper::LCIDToText(uint32_t lcid, uint32_t type) {
  if (lcid == 0) return String();
  String text = OFL::Locale::GetLocaleInfo(lcid, type);
  if (!text.empty()) return text;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", static_cast<int32_t>(lcid));
  return buf;
}

String OVOHelper::CTimeToSystemDefaultShortDateString(CTime t, bool withTime, const String& separator) {
  std::tm tm{};
  if (t < 0 || !OFL::LocalTimeOf(t, tm)) return String();
  const OFL::Locale::LCID lcid = OFL::Locale::GetSystemDefaultLCID();
  String out = FormatTime(DateFormatFromPicture(OFL::Locale::GetLocaleInfo(lcid, OFL::Locale::LOCALE_SSHORTDATE)), tm);
  if (withTime) {
    out += separator;
    out += FormatTime(TimeFormatFromPicture(OFL::Locale::GetLocaleInfo(lcid, OFL::Locale::LOCALE_STIMEFORMAT)), tm);
  }
  return out;
}

}  // namespace orvacmn
