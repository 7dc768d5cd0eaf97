// DB time texts: both parsers on arbitrary text must not fail, and a time
// written out must read back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "orvacmn/common/ovo_helper.h"

using orvacmn::CTime;
using orvacmn::OVOHelper;
using orvacmn::String;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A zone with daylight saving, so gaps and overlaps are reachable.
  setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  tzset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const String text(reinterpret_cast<const char*>(data), size);
  const CTime local = OVOHelper::DBTimeToCTime(text);
  const CTime utc = OVOHelper::DBTimeUTCToCTime(text);
  if (local < 0 || utc < 0) std::abort();
  // Whatever reads as a time names a wall-clock time that writes back as
  // itself, unless the text was normalised (a day past the month's end, a
  // local time in the spring gap) or is the 8-digit date form.
  if (utc != 0) {
    const String back = OVOHelper::CTimeToDBTimeUTC(utc);
    if (back.size() != 14) std::abort();
    if (OVOHelper::DBTimeUTCToCTime(back) != utc) std::abort();
  }
  if (local != 0) {
    const String back = OVOHelper::CTimeToDBTime(local);
    if (back.size() != 14) std::abort();
    if (OVOHelper::CTimeToDBTime(OVOHelper::DBTimeToCTime(back)) != back) std::abort();
  }

  if (size >= sizeof(int64_t)) {
    int64_t t;
    std::memcpy(&t, data, sizeof t);
    const String u = OVOHelper::CTimeToDBTimeUTC(t);
    const String l = OVOHelper::CTimeToDBTime(t);
    if (t < 0 && (!u.empty() || !l.empty())) std::abort();
    // The sane range: from the second day of 1970 to the end of year 9999.
    constexpr CTime kFirst = 86400 + 86400, kLast = 253402300799 - 86400;
    if (t >= kFirst && t <= kLast) {
      if (u.size() != 14 || OVOHelper::DBTimeUTCToCTime(u) != t) std::abort();
      if (l.size() != 14) std::abort();
      const CTime back = OVOHelper::DBTimeToCTime(l);
      // Exact except in the repeated autumn hour, where either instant fits.
      if (back != t && (back - t > 3600 || t - back > 3600)) std::abort();
      if (OVOHelper::CTimeToDBTime(back) != l) std::abort();
    }
  }
  return 0;
}
