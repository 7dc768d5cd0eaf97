#include "ofl/local_time.h"

#include <absl/time/civil_time.h>
#include <absl/time/time.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace OFL {

namespace {

// The zone TZ names now. Loading goes through Abseil's own cache (one load
// per name and process); the per-thread copy spares its lock and the name's
// hashing on every conversion.
absl::TimeZone CurrentZone() {
  struct Cached {
    bool valid = false, set = false;
    std::string name;
    absl::TimeZone zone;
  };
  thread_local Cached cache;
  const char* tz = std::getenv("TZ");
  if (cache.valid && cache.set == (tz != nullptr) && (tz == nullptr || cache.name == tz)) return cache.zone;
  cache.set = tz != nullptr;
  cache.name = tz != nullptr ? tz : "";
  const char* name = tz != nullptr ? tz : "localtime";
  if (*name == ':') ++name;
  // "localtime" is Abseil's name of the system's zone; a name it cannot load
  // gives UTC.
  if (!absl::LoadTimeZone(name, &cache.zone)) cache.zone = absl::UTCTimeZone();
  cache.valid = true;
  return cache.zone;
}

}  // namespace

int64_t MakeLocalTime(const std::tm& tm) {
  const absl::CivilSecond civil(int64_t(tm.tm_year) + 1900, int64_t(tm.tm_mon) + 1, tm.tm_mday, tm.tm_hour,
                                tm.tm_min, tm.tm_sec);
  // `pre` is the time by the offset in force before a change: for a skipped
  // time that lies after the gap, for a repeated one it is the first.
  return absl::ToUnixSeconds(CurrentZone().At(civil).pre);
}

bool LocalTimeOf(int64_t t, std::tm& out) {
  const absl::TimeZone::CivilInfo info = CurrentZone().At(absl::FromUnixSeconds(t));
  const absl::CivilSecond& cs = info.cs;
  if (cs.year() - 1900 < INT_MIN || cs.year() - 1900 > INT_MAX) return false;
  std::tm tm{};
  tm.tm_year = static_cast<int>(cs.year() - 1900);
  tm.tm_mon = cs.month() - 1;
  tm.tm_mday = cs.day();
  tm.tm_hour = cs.hour();
  tm.tm_min = cs.minute();
  tm.tm_sec = cs.second();
  tm.tm_wday = (static_cast<int>(absl::GetWeekday(absl::CivilDay(cs))) + 1) % 7;  // Abseil counts from Monday
  tm.tm_yday = absl::GetYearDay(absl::CivilDay(cs)) - 1;
  tm.tm_isdst = info.is_dst ? 1 : 0;
  tm.tm_gmtoff = info.offset;
  tm.tm_zone = info.zone_abbr;  // owned by the zone, which is never unloaded
  out = tm;
  return true;
}

}  // namespace OFL
