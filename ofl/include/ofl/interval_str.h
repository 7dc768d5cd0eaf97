// OFLIntervalStr: a repeat interval written as a short text, for jobs that
// run again and again (synchronisation jobs of distribution points).
//
// The text form is a count and a unit, "m" minutes, "h" hours, "d" days or
// "w" weeks (either case), then optionally "@HH:MM" for a time of day (days
// and weeks only) and, for weeks, "/" and the weekdays as Mo, Tu, We, Th,
// Fr, Sa, Su joined by ",": "30m", "4h", "1d@02:00", "2w@22:30/Mo,Fr". The
// count runs from 1 to 9999. The empty text is no interval.
//
// The display form is English and reads back as well: "every 30 minutes",
// "every hour", "every day at 02:00", "every 2 weeks on Mon, Fri at 22:30".
//
// Next run after a run at `last`: minutes, hours, and days or weeks without
// a time or weekdays, add the interval to `last`. With a time of day, the
// next run is the first such time after `last`, moved on by the count less
// one (days, or weeks). With weekdays it is the first listed day (at the
// time, or midnight) after `last`, moved on by count less one weeks when it
// falls into a later week (weeks begin on Monday). Local time is that of the
// process's zone (TZ), computed from the zone's rules alone.
//
// A plain value; any thread.
#ifndef OFL_INTERVAL_STR_H_
#define OFL_INTERVAL_STR_H_

#include <cstdint>
#include <string_view>

#include "ofl/string.h"

class OFLIntervalStr {
 public:
  using String = OFL::String;

  enum class Unit { kNone, kMinutes, kHours, kDays, kWeeks };

  OFLIntervalStr() = default;
  // Reads the text form; an invalid text leaves no interval.
  explicit OFLIntervalStr(std::string_view text) { SetIntervalStr(text); }

  // False (and no interval) for a text that is not one.
  bool SetIntervalStr(std::string_view text);
  bool SetIntervalDisplayStr(std::string_view text);
  // Empty for no interval.
  String GetIntervalStr() const;
  // "never" for no interval.
  String GetIntervalDisplayStr() const;

  bool IsValid() const { return unit_ != Unit::kNone; }
  Unit GetUnit() const { return unit_; }
  uint32_t GetCount() const { return count_; }

  // Seconds since 1970 of the next run after a run at `last`; -1 without an
  // interval or beyond the representable times.
  int64_t GetNextRunTime(int64_t last) const;
  // A job that never ran is due at once; otherwise when `now` has reached
  // the next run. Never without an interval.
  bool IsDue(int64_t last, bool neverRan, int64_t now) const;

  // The text form of `text` read and written again: "" when invalid.
  static bool IsValidInterval(std::string_view text) { return OFLIntervalStr(text).IsValid(); }

 private:
  Unit unit_ = Unit::kNone;
  uint32_t count_ = 0;
  int32_t minuteOfDay_ = -1;  // -1: no time of day
  uint8_t weekdays_ = 0;      // bit 0 Monday ... bit 6 Sunday
};

#endif  // OFL_INTERVAL_STR_H_
