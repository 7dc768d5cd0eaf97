// Bandwidth texts: a failed parse leaves the out value alone, a result never exceeds 2^32-1 mbit.
#include "orvacmn/common/ovo_helper.h"

#include "check.h"

using orvacmn::OVOHelper;

FUZZ_TEXT(text) {
  int64_t bps = -7, again = -7;
  const bool ok = OVOHelper::BandwidthToBytePerSec(text, bps);
  Check(ok ? bps >= 0 && bps <= int64_t(UINT32_MAX) * 131072 : bps == -7);
  // A unit after a leading number always makes a bandwidth; only "mbit" in the text changes the unit.
  if (!OVOHelper::BandwidthToBytePerSec("1 kbit" + text, again) || again != 128)
    Check(text.find('\0') != std::string::npos || OFL::ToLower(text).find("mbit") != std::string::npos);
  double v;
  if (text.copy(reinterpret_cast<char*>(&v), sizeof v) == sizeof v)
    Check(OVOHelper::TranslateTransmissionSpeed(v).find("Bit/s") != std::string::npos);
}
