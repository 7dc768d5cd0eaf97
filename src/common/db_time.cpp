// DB time texts: "YYYYMMDDhhmmss" (or "YYYYMMDD") in local time or UTC.
//
// Local time is that of the zone TZ names (see ofl/local_time.h); UTC is
// computed on the proleptic Gregorian calendar directly, so it does not depend
// on the process's zone.
#include <cstdio>
#include <ctime>

#include "ofl/civil_time.h"
#include "ofl/local_time.h"
#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

using OFL::CivilFromDays;
using OFL::DaysFromCivil;

String Format(int64_t year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second) {
  // Four year digits only: a later year would not read back.
  if (year < 0 || year > 9999) return String();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u%02u%02u%02u%02u%02u", static_cast<unsigned>(year), month, day, hour,
                minute, second);
  return buf;
}

struct Fields {
  int year, month, day, hour, minute, second;
};

bool ReadDigits(const String& text, size_t pos, size_t len, int& out) {
  int v = 0;
  for (size_t i = pos; i < pos + len; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  out = v;
  return true;
}

// False for every text that converts to 0 before any calendar arithmetic.
// Impossible field values give 0 too, rather than a time the text never meant;
// only a day beyond the month's end is normalised (see the header).
bool ParseFields(const String& text, Fields& f) {
  f = Fields{0, 0, 0, 0, 0, 0};
  if (text.size() == 14) {
    if (text.compare("19700102000000") < 0) return false;
    if (!ReadDigits(text, 8, 2, f.hour) || !ReadDigits(text, 10, 2, f.minute) || !ReadDigits(text, 12, 2, f.second))
      return false;
  } else if (text.size() != 8) {
    return false;
  }
  if (!ReadDigits(text, 0, 4, f.year) || !ReadDigits(text, 4, 2, f.month) || !ReadDigits(text, 6, 2, f.day))
    return false;
  return f.year >= 1900 && f.month >= 1 && f.month <= 12 && f.day >= 1 && f.day <= 31 && f.hour <= 23 &&
         f.minute <= 59 && f.second <= 59;
}

}  // namespace

String OVOHelper::CTimeToDBTimeUTC(CTime t) {
  if (t < 0) return String();
  int64_t year;
  unsigned month, day;
  CivilFromDays(t / kSecondsPerDay, year, month, day);
  const int64_t secs = t % kSecondsPerDay;
  return Format(year, month, day, unsigned(secs / 3600), unsigned(secs / 60 % 60), unsigned(secs % 60));
}

String OVOHelper::CTimeToDBTime(CTime t) {
  std::tm tm{};
  if (t < 0 || !OFL::LocalTimeOf(t, tm)) return String();
  return Format(int64_t(tm.tm_year) + 1900, unsigned(tm.tm_mon + 1), unsigned(tm.tm_mday), unsigned(tm.tm_hour),
                unsigned(tm.tm_min), unsigned(tm.tm_sec));
}

CTime OVOHelper::DBTimeUTCToCTime(const String& text) {
  Fields f;
  if (!ParseFields(text, f)) return 0;
  // Day 1 of the month plus the day offset, so a day past the month's end
  // rolls over like the local flavour.
  const int64_t days = DaysFromCivil(f.year, unsigned(f.month), 1) + f.day - 1;
  const CTime t = days * kSecondsPerDay + f.hour * 3600 + f.minute * 60 + f.second;
  return t < 0 ? 0 : t;
}

CTime OVOHelper::DBTimeToCTime(const String& text) {
  Fields f;
  if (!ParseFields(text, f)) return 0;
  struct tm tm {};
  tm.tm_year = f.year - 1900;
  tm.tm_mon = f.month - 1;
  tm.tm_mday = f.day;
  tm.tm_hour = f.hour;
  tm.tm_min = f.minute;
  tm.tm_sec = f.second;
  const CTime t = OFL::MakeLocalTime(tm);
  return t < 0 ? 0 : t;
}

}  // namespace orvacmn
