// OFLValidityTimeString: a window of time with an optional start and an
// optional end, kept as signed 64-bit seconds since 1970-01-01 00:00 UTC.
// 0 means "not set" on either side.
//
// Text form: the empty text for no window; otherwise "START/END" where each
// side is empty (open) or a UTC time "YYYY-MM-DDThh:mm:ssZ" with the year
// 1970 to 9999. SetString refuses any other text (and a start after the end)
// and then leaves the window as it was; GetString writes the canonical form,
// which SetString reads back to the same window.
//
// A plain value: no locks, no time-zone dependence; use from one thread at a
// time.
#ifndef OFL_VALIDITY_TIME_H_
#define OFL_VALIDITY_TIME_H_

#include <cstdint>
#include <string_view>

#include "ofl/string.h"

class OFLValidityTimeString {
 public:
  using String = OFL::String;

  // The latest time the text form can hold: 9999-12-31T23:59:59Z.
  static constexpr int64_t kMaxTime = 253402300799;

  OFLValidityTimeString() = default;
  // SetString(text); a refused text leaves no window.
  explicit OFLValidityTimeString(std::string_view text) { SetString(text); }

  // The canonical text; empty when neither side is set.
  String GetString() const;
  // True and the new window when `text` is well-formed; else false and the
  // window unchanged.
  bool SetString(std::string_view text);
  // No start and no end.
  void Reset() { start_ = end_ = 0; }

  // True when `time` lies inside the window: no start or time >= start, and
  // no end or time <= end (the end second itself still counts).
  bool IsValid(int64_t time) const;

  int64_t GetStart() const { return start_; }
  int64_t GetEnd() const { return end_; }
  bool HasStart() const { return start_ != 0; }
  bool HasEnd() const { return end_ != 0; }
  // 0 clears the side. False, and nothing changes, for a time the text form
  // cannot hold (negative or after kMaxTime) or one that would put the start
  // after the end.
  bool SetStart(int64_t time);
  bool SetEnd(int64_t time);

  bool operator==(const OFLValidityTimeString&) const = default;

  // One side's text "YYYY-MM-DDThh:mm:ssZ"; empty for a time outside
  // 0..kMaxTime.
  static String FormatTime(int64_t time);
  // Reads exactly one such text; false for anything else (a date that does
  // not exist, a field out of range, other characters or lengths).
  static bool ParseTime(std::string_view text, int64_t& time);

 private:
  int64_t start_ = 0;
  int64_t end_ = 0;
};

#endif  // OFL_VALIDITY_TIME_H_
