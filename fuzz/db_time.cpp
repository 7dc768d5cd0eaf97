// DB time texts: both parsers take any text, and a time written out reads back.
#include <cstdlib>

#include "orvacmn/common/ovo_helper.h"

#include "check.h"

using orvacmn::OVOHelper;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A zone with daylight saving, so gaps and overlaps are reachable.
  setenv("TZ", "Europe/Berlin", 1);
  return 0;
}

FUZZ_TEXT(text) {
  const auto local = OVOHelper::DBTimeToCTime(text), utc = OVOHelper::DBTimeUTCToCTime(text);
  Check(local >= 0 && utc >= 0);
  // A time read names a wall-clock time that writes back as itself, unless the text was normalised (a day past the
  // month's end, a local time in the spring gap) or is the 8-digit date form.
  const std::string utcBack = OVOHelper::CTimeToDBTimeUTC(utc), localBack = OVOHelper::CTimeToDBTime(local);
  Check(utc == 0 || (utcBack.size() == 14 && OVOHelper::DBTimeUTCToCTime(utcBack) == utc));
  Check(local == 0 ||
        (localBack.size() == 14 && OVOHelper::CTimeToDBTime(OVOHelper::DBTimeToCTime(localBack)) == localBack));

  int64_t t;
  if (text.copy(reinterpret_cast<char*>(&t), sizeof t) < sizeof t) return;
  const std::string u = OVOHelper::CTimeToDBTimeUTC(t), l = OVOHelper::CTimeToDBTime(t);
  Check(t >= 0 || (u.empty() && l.empty()));
  // The sane range: from the second day of 1970 to the end of year 9999.
  if (t < 2 * 86400 || t > 253402300799 - 86400) return;
  Check(u.size() == 14 && OVOHelper::DBTimeUTCToCTime(u) == t && l.size() == 14);
  // Exact except in the repeated autumn hour, where either instant fits.
  const auto back = OVOHelper::DBTimeToCTime(l);
  Check(back - t <= 3600 && t - back <= 3600 && OVOHelper::CTimeToDBTime(back) == l);
}
