#include "ofl/local_time.h"

#include <cstdint>

#include "ofl/civil_time.h"

namespace OFL {

namespace {

constexpr int64_t kDay = 86400;

bool UtcOffset(int64_t t, long& offset) {
  const std::time_t tt = static_cast<std::time_t>(t);
  std::tm local{};
  if (localtime_r(&tt, &local) == nullptr) return false;
  offset = local.tm_gmtoff;
  return true;
}

std::time_t Slow(const std::tm& in) {
  std::tm tm = in;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

}  // namespace

std::time_t MakeLocalTime(const std::tm& tm) {
  // Month and year first, so that a month of 13 or -1 rolls over as in mktime.
  int64_t year = int64_t(tm.tm_year) + 1900 + tm.tm_mon / 12;
  int month = tm.tm_mon % 12;
  if (month < 0) month += 12, --year;
  if (year < 1900 || year > 9999) return Slow(tm);
  const int64_t wall = (DaysFromCivil(year, unsigned(month + 1), 1) + tm.tm_mday - 1) * kDay +
                       int64_t(tm.tm_hour) * 3600 + int64_t(tm.tm_min) * 60 + tm.tm_sec;
  // The same offset a day either side means no change of offset in between
  // (zones change at most twice a year), so the wall time has exactly one
  // meaning. Otherwise gaps and repeated hours are mktime's to settle.
  long before = 0, after = 0, at = 0;
  if (!UtcOffset(wall - kDay, before) || !UtcOffset(wall + kDay, after) || before != after ||
      !UtcOffset(wall - before, at) || at != before)
    return Slow(tm);
  return static_cast<std::time_t>(wall - before);
}

}  // namespace OFL
