#include "ofl/validity_time.h"

#include <cstdio>

#include "ofl/civil_time.h"

namespace {

constexpr int64_t kSecondsPerDay = 86400;

bool IsLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(int64_t y, unsigned m) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

using OFL::CivilFromDays;
using OFL::DaysFromCivil;

// `len` decimal digits at `pos`; false for any other character.
bool Digits(std::string_view text, size_t pos, size_t len, unsigned& out) {
  unsigned v = 0;
  for (size_t i = pos; i < pos + len; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + unsigned(c - '0');
  }
  out = v;
  return true;
}

// One side of the text: empty (0, not set) or a time.
bool ParseSide(std::string_view text, int64_t& time) {
  if (text.empty()) {
    time = 0;
    return true;
  }
  return OFLValidityTimeString::ParseTime(text, time);
}

bool InRange(int64_t time) { return time >= 0 && time <= OFLValidityTimeString::kMaxTime; }

}  // namespace

OFL::String OFLValidityTimeString::FormatTime(int64_t time) {
  if (!InRange(time)) return String();
  int64_t y;
  unsigned m, d;
  CivilFromDays(time / kSecondsPerDay, y, m, d);
  const int64_t s = time % kSecondsPerDay;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02uT%02u:%02u:%02uZ", static_cast<unsigned>(y), m, d,
                static_cast<unsigned>(s / 3600), static_cast<unsigned>(s / 60 % 60), static_cast<unsigned>(s % 60));
  return buf;
}

bool OFLValidityTimeString::ParseTime(std::string_view text, int64_t& time) {
  // YYYY-MM-DDThh:mm:ssZ
  if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':' || text[19] != 'Z')
    return false;
  unsigned y, mo, d, h, mi, s;
  if (!Digits(text, 0, 4, y) || !Digits(text, 5, 2, mo) || !Digits(text, 8, 2, d) || !Digits(text, 11, 2, h) ||
      !Digits(text, 14, 2, mi) || !Digits(text, 17, 2, s))
    return false;
  if (y < 1970 || mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo) || h > 23 || mi > 59 || s > 59) return false;
  time = DaysFromCivil(y, mo, d) * kSecondsPerDay + h * 3600 + mi * 60 + s;
  return true;
}

OFL::String OFLValidityTimeString::GetString() const {
  if (start_ == 0 && end_ == 0) return String();
  String out;
  if (start_ != 0) out = FormatTime(start_);
  out += '/';
  if (end_ != 0) out += FormatTime(end_);
  return out;
}

bool OFLValidityTimeString::SetString(std::string_view text) {
  if (text.empty()) {
    Reset();
    return true;
  }
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return false;
  int64_t start, end;
  // A second "/" makes the end side malformed.
  if (!ParseSide(text.substr(0, slash), start) || !ParseSide(text.substr(slash + 1), end)) return false;
  if (start != 0 && end != 0 && start > end) return false;
  start_ = start;
  end_ = end;
  return true;
}

bool OFLValidityTimeString::IsValid(int64_t time) const {
  return (start_ == 0 || time >= start_) && (end_ == 0 || time <= end_);
}

bool OFLValidityTimeString::SetStart(int64_t time) {
  if (!InRange(time) || (time != 0 && end_ != 0 && time > end_)) return false;
  start_ = time;
  return true;
}

bool OFLValidityTimeString::SetEnd(int64_t time) {
  if (!InRange(time) || (time != 0 && start_ != 0 && start_ > time)) return false;
  end_ = time;
  return true;
}
