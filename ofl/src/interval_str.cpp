#include "ofl/interval_str.h"

#include <absl/time/civil_time.h>

#include <array>
#include <ctime>
#include <limits>

#include "ofl/local_time.h"

namespace {

using OFL::String;

constexpr std::array<std::string_view, 7> kDayCodes = {"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"};
constexpr std::array<std::string_view, 7> kDayNames = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr uint32_t kMaxCount = 9999;

// Digits of `text` from `pos` as a number up to `max`; false otherwise.
bool ReadNumber(std::string_view text, size_t& pos, uint32_t max, uint32_t& value) {
  const size_t start = pos;
  value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 5)
    value = value * 10 + static_cast<uint32_t>(text[pos++] - '0');
  return pos > start && value <= max && (pos >= text.size() || text[pos] < '0' || text[pos] > '9');
}

// "HH:MM" at `pos`.
bool ReadTime(std::string_view text, size_t& pos, int32_t& minuteOfDay) {
  uint32_t h, m;
  if (pos + 5 > text.size() || text[pos + 2] != ':') return false;
  size_t p = pos;
  if (!ReadNumber(text.substr(0, pos + 2), p, 23, h) || p != pos + 2) return false;
  p = pos + 3;
  if (!ReadNumber(text.substr(0, pos + 5), p, 59, m) || p != pos + 5) return false;
  pos += 5;
  minuteOfDay = static_cast<int32_t>(h * 60 + m);
  return true;
}

String TimeText(int32_t minuteOfDay) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d", minuteOfDay / 60, minuteOfDay % 60);
  return buf;
}

// Weekday index (Monday 0) of a day in the local calendar.
int WeekdayIndex(absl::CivilDay day) { return (static_cast<int>(absl::GetWeekday(day)) + 7) % 7; }

// Monday of the week of `day`.
absl::CivilDay WeekStart(absl::CivilDay day) { return day - WeekdayIndex(day); }

// Local time the same way as everywhere else in the library (the zone TZ
// names, the rule for skipped and repeated times).
int64_t ToSeconds(absl::CivilDay day, int32_t minuteOfDay) {
  std::tm tm{};
  tm.tm_year = static_cast<int>(day.year() - 1900);
  tm.tm_mon = day.month() - 1;
  tm.tm_mday = day.day();
  tm.tm_hour = minuteOfDay / 60;
  tm.tm_min = minuteOfDay % 60;
  return OFL::MakeLocalTime(tm);
}

absl::CivilDay LocalDayOf(int64_t t) {
  std::tm tm{};
  OFL::LocalTimeOf(t, tm);  // `t` is bounded far within tm's years
  return absl::CivilDay(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

}  // namespace

bool OFLIntervalStr::SetIntervalStr(std::string_view text) {
  *this = OFLIntervalStr();
  if (text.empty()) return false;
  size_t pos = 0;
  uint32_t count;
  if (!ReadNumber(text, pos, kMaxCount, count) || count == 0 || pos >= text.size()) return false;
  Unit unit;
  switch (OFL::ToLowerAscii(text[pos++])) {
    case 'm': unit = Unit::kMinutes; break;
    case 'h': unit = Unit::kHours; break;
    case 'd': unit = Unit::kDays; break;
    case 'w': unit = Unit::kWeeks; break;
    default: return false;
  }
  int32_t minuteOfDay = -1;
  uint8_t days = 0;
  const bool calendar = unit == Unit::kDays || unit == Unit::kWeeks;
  if (calendar && pos < text.size() && text[pos] == '@') {
    ++pos;
    if (!ReadTime(text, pos, minuteOfDay)) return false;
  }
  if (unit == Unit::kWeeks && pos < text.size() && text[pos] == '/') {
    do {
      ++pos;
      size_t day = 0;
      while (day < kDayCodes.size() && !OFL::EqualsNoCase(text.substr(pos, 2), kDayCodes[day])) ++day;
      if (day == kDayCodes.size() || (days & (1u << day))) return false;
      days |= static_cast<uint8_t>(1u << day);
      pos += 2;
    } while (pos < text.size() && text[pos] == ',');
  }
  if (pos != text.size()) return false;
  unit_ = unit;
  count_ = count;
  minuteOfDay_ = minuteOfDay;
  weekdays_ = days;
  return true;
}

OFL::String OFLIntervalStr::GetIntervalStr() const {
  if (!IsValid()) return String();
  static constexpr char kUnits[] = {'?', 'm', 'h', 'd', 'w'};
  String out = std::to_string(count_) + kUnits[static_cast<int>(unit_)];
  if (minuteOfDay_ >= 0) out.append("@").append(TimeText(minuteOfDay_));
  for (size_t d = 0, n = 0; d < kDayCodes.size(); ++d)
    if (weekdays_ & (1u << d)) out += String(n++ ? "," : "/") + String(kDayCodes[d]);
  return out;
}

OFL::String OFLIntervalStr::GetIntervalDisplayStr() const {
  if (!IsValid()) return "never";
  static constexpr std::string_view kNames[] = {"", "minute", "hour", "day", "week"};
  const std::string_view name = kNames[static_cast<int>(unit_)];
  String out = count_ == 1 ? "every " + String(name) : "every " + std::to_string(count_) + " " + String(name) + "s";
  for (size_t d = 0, n = 0; d < kDayNames.size(); ++d)
    if (weekdays_ & (1u << d)) out += String(n++ ? ", " : " on ") + String(kDayNames[d]);
  if (minuteOfDay_ >= 0) out += " at " + TimeText(minuteOfDay_);
  return out;
}

bool OFLIntervalStr::SetIntervalDisplayStr(std::string_view text) {
  *this = OFLIntervalStr();
  // Back to the text form: "every [N] unit[s][ on D, D][ at HH:MM]".
  const String lower = OFL::ToLower(text);
  std::string_view t = lower;
  if (!t.starts_with("every ")) return false;
  t.remove_prefix(6);
  String form;
  size_t pos = 0;
  uint32_t count = 1;
  if (!t.empty() && t[0] >= '0' && t[0] <= '9') {
    if (!ReadNumber(t, pos, kMaxCount, count) || count < 2 || pos >= t.size() || t[pos] != ' ') return false;
    t.remove_prefix(pos + 1);
  }
  static constexpr std::string_view kUnits[] = {"minute", "hour", "day", "week"};
  static constexpr char kCodes[] = {'m', 'h', 'd', 'w'};
  size_t u = 0;
  while (u < 4 && !t.starts_with(kUnits[u])) ++u;
  if (u == 4) return false;
  t.remove_prefix(kUnits[u].size());
  if (count > 1) {
    if (!t.starts_with("s")) return false;
    t.remove_prefix(1);
  }
  form = std::to_string(count) + kCodes[u];
  String days;
  if (t.starts_with(" on ")) {
    t.remove_prefix(3);
    do {
      t.remove_prefix(t.starts_with(", ") ? 2 : 1);
      size_t d = 0;
      while (d < kDayNames.size() && !OFL::EqualsNoCase(t.substr(0, 3), kDayNames[d])) ++d;
      if (d == kDayNames.size()) return false;
      days += String(days.empty() ? "/" : ",") + String(kDayCodes[d]);
      t.remove_prefix(3);
    } while (t.starts_with(", "));
  }
  if (t.starts_with(" at ")) {
    form.append("@").append(t.substr(4, 5));
    t.remove_prefix(std::min<size_t>(t.size(), 9));
  }
  return t.empty() && SetIntervalStr(form + days);
}

int64_t OFLIntervalStr::GetNextRunTime(int64_t last) const {
  constexpr int64_t kLimit = int64_t{1} << 40;  // far beyond any calendar date in use
  if (!IsValid() || last < -kLimit || last > kLimit) return -1;
  const int64_t count = count_;
  switch (unit_) {
    case Unit::kMinutes: return last + count * 60;
    case Unit::kHours: return last + count * 3600;
    default: break;
  }
  const int64_t daysPerStep = unit_ == Unit::kWeeks ? 7 : 1;
  if (minuteOfDay_ < 0 && weekdays_ == 0) return last + count * daysPerStep * 86400;
  const absl::CivilDay lastDay = LocalDayOf(last);
  const int32_t minute = minuteOfDay_ < 0 ? 0 : minuteOfDay_;
  // The first slot after `last`: today's or one of the next days'.
  absl::CivilDay day = lastDay;
  for (int i = 0; i < 8; ++i, ++day) {
    if (weekdays_ != 0 && !(weekdays_ & (1u << WeekdayIndex(day)))) continue;
    if (ToSeconds(day, minute) > last) break;
  }
  if (weekdays_ == 0) day += (count * daysPerStep - 1);
  else if (WeekStart(day) != WeekStart(lastDay)) day += (count - 1) * 7;
  return ToSeconds(day, minute);
}

bool OFLIntervalStr::IsDue(int64_t last, bool neverRan, int64_t now) const {
  if (!IsValid()) return false;
  if (neverRan) return true;
  const int64_t next = GetNextRunTime(last);
  return next >= 0 && now >= next;
}
