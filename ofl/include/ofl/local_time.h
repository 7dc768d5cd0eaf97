// Local wall-clock time in the process's zone, both ways, on Abseil's time
// zones: each conversion is a pure function of its input and the zone, never
// of what was converted before (as with mktime's hidden guess).
//
// The zone is the one TZ names: an IANA name ("Europe/Berlin"), optionally
// after a ":", or the path of a zone file; with TZ unset, the system's zone
// (/etc/localtime). A TZ that names no zone file (an empty TZ, or a POSIX rule
// text such as "CET-1CEST") counts as UTC. TZ is read at every call, so a
// change of it takes effect at once; loaded zones are cached per thread.
//
// A local time that does not exist (skipped at a spring change) moves forward
// by the gap: 02:30 on such a day is 03:30. A local time that exists twice (at
// an autumn change) is its first occurrence.
//
// Any thread, as long as no other thread changes TZ meanwhile.
#ifndef OFL_LOCAL_TIME_H_
#define OFL_LOCAL_TIME_H_

#include <cstdint>
#include <ctime>

namespace OFL {

// Seconds since 1970 of the local wall time in tm's year, month, day, hour,
// minute and second. Fields out of range roll over (month 12 is January of the
// next year, day 0 the last day of the month before); tm_isdst, tm_wday and
// tm_yday are not read.
int64_t MakeLocalTime(const std::tm& tm);

// The local broken-down time of `t`, with weekday, day of the year, the
// daylight-saving flag, the offset and the zone's abbreviation; false (and
// `out` unchanged) when the year does not fit tm.
bool LocalTimeOf(int64_t t, std::tm& out);

}  // namespace OFL

#endif  // OFL_LOCAL_TIME_H_
