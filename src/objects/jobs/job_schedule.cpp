// The next run time of a job from its schedule interval and validity window.
#include <cstdint>
#include <ctime>
#include <limits>

#include "ofl/local_time.h"
#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/jobs/job.h"

namespace orvacmn {
namespace {

constexpr CTime kMinute = 60;
constexpr CTime kHour = 3600;
constexpr CTime kDay = 86400;
constexpr int kWeekdayShift = 24;  // Monday; Sunday is bit 30
constexpr uint32_t kAllWeekdays = 0x7F000000;

enum class Accept { kFirstOfMonth, kFifteenth, kWeekday };

struct Kind {
  CTime step;
  bool anchored;  // laid out from the interval's time of day
  Accept accept;
};

Kind KindOf(uint32_t kind, uint32_t count) {
  switch (kind) {
    case 1: return {kDay, true, Accept::kFirstOfMonth};
    case 2: return {kDay, true, Accept::kFifteenth};
    case 3: return {count * kHour, false, Accept::kWeekday};
    case 4: return {count * kDay, true, Accept::kWeekday};
    case 5: return {count * kMinute, false, Accept::kWeekday};
    default: return {kDay, true, Accept::kWeekday};
  }
}

// The local date of `day` at `minutes` after midnight, seconds 0 (a time
// skipped by a spring change moves forward by the gap, a repeated one is the
// first). Minutes past 23:59 run into the next day.
bool AtTimeOfDay(CTime day, uint32_t minutes, CTime& out) {
  std::tm tm{};
  if (!OFL::LocalTimeOf(day, tm)) return false;
  tm.tm_hour = static_cast<int>(minutes / 60);
  tm.tm_min = static_cast<int>(minutes % 60);
  tm.tm_sec = 0;
  out = OFL::MakeLocalTime(tm);
  return true;
}

bool Add(CTime& t, CTime step) { return !__builtin_add_overflow(t, step, &t); }

bool Accepted(Accept accept, uint32_t interval, const std::tm& local) {
  switch (accept) {
    case Accept::kFirstOfMonth: return local.tm_mday == 1;
    case Accept::kFifteenth: return local.tm_mday == 15;
    case Accept::kWeekday: {
      const int bit = local.tm_wday == 0 ? kWeekdayShift + 6 : kWeekdayShift + local.tm_wday - 1;
      return (interval >> bit & 1u) != 0;
    }
  }
  return false;
}

}  // namespace

CTime OVOJob::CalcNextExecutionTime(CTime from) const {
  return CalcNextExecutionTime(from, static_cast<CTime>(std::time(nullptr)));
}

CTime OVOJob::CalcNextExecutionTime(CTime from, CTime now) const {
  const OVOHelper::IntervalParts parts = OVOHelper::ExpandInterval(interval_);
  const Kind kind = KindOf(parts.kind, parts.count == 0 ? 1 : parts.count);
  // No candidate could ever be accepted: the scan would only run into the
  // horizon or the end of the window.
  if (kind.accept == Accept::kWeekday && (interval_ & kAllWeekdays) == 0) return -1;

  CTime candidate = from != 0 ? from : now;
  if (kind.anchored && !AtTimeOfDay(candidate, parts.minutes, candidate)) return -1;
  if (from != 0 && !Add(candidate, kind.step)) return -1;

  // Whole steps up to now in one jump: the first candidate not before now.
  if (candidate < now) {
    const uint64_t behind = static_cast<uint64_t>(now) - static_cast<uint64_t>(candidate);
    const uint64_t step = static_cast<uint64_t>(kind.step);
    candidate = now;
    if (!Add(candidate, static_cast<CTime>((step - behind % step) % step))) return -1;
  }
  if (validity_.HasStart() && candidate < validity_.GetStart()) candidate = validity_.GetStart();

  const CTime horizon =
      now > std::numeric_limits<CTime>::max() - kScheduleHorizon ? std::numeric_limits<CTime>::max()
                                                                 : now + kScheduleHorizon;
  for (;;) {
    if (validity_.HasEnd() && candidate > validity_.GetEnd()) return -1;
    if (candidate > horizon) return -1;
    std::tm local{};
    if (!OFL::LocalTimeOf(candidate, local)) return -1;
    if (Accepted(kind.accept, interval_, local)) return candidate;
    if (!Add(candidate, kind.step)) return -1;
  }
}

}  // namespace orvacmn
