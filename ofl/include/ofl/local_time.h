// Local wall-clock time to seconds since 1970, as mktime with tm_isdst -1
// decides it, without mktime's cost: with TZ unset, the C library checks the
// zone file on disk at every mktime call, which dominates unpacking records
// full of local times. Times far from a daylight-saving change are computed
// from the offsets localtime_r reports; the rest go to mktime itself, so the
// result is always mktime's. Any thread.
#ifndef OFL_LOCAL_TIME_H_
#define OFL_LOCAL_TIME_H_

#include <ctime>

namespace OFL {

// Reads tm's year, month, day, hour, minute and second (out-of-range values
// roll over as mktime rolls them); returns -1 where mktime fails. `tm` is
// left unchanged.
std::time_t MakeLocalTime(const std::tm& tm);

}  // namespace OFL

#endif  // OFL_LOCAL_TIME_H_
