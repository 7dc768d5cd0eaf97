// Bandwidth texts: any text parses without failing, a failed parse leaves
// the out value alone, and a result never exceeds the largest 32-bit count
// of mbit.
#include <cstdint>
#include <cstdlib>

#include "orvacmn/common/ovo_helper.h"

using orvacmn::OVOHelper;
using orvacmn::String;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const String text(reinterpret_cast<const char*>(data), size);
  constexpr int64_t kSentinel = -7;
  int64_t bps = kSentinel;
  const bool ok = OVOHelper::BandwidthToBytePerSec(text, bps);
  if (!ok && bps != kSentinel) std::abort();
  if (ok && (bps < 0 || bps > int64_t(UINT32_MAX) * 131072)) std::abort();
  // Appending a unit to a leading number always makes it a bandwidth.
  int64_t again = kSentinel;
  if (!OVOHelper::BandwidthToBytePerSec("1 kbit" + text, again) || again != 128) {
    // Only a text with "mbit" in it changes the unit.
    if (text.find('\0') == String::npos && OFL::ToLower(text).find("mbit") == String::npos) std::abort();
  }
  if (size >= 8) {
    double v;
    __builtin_memcpy(&v, data, sizeof v);
    if (OVOHelper::TranslateTransmissionSpeed(v).find("Bit/s") == String::npos) std::abort();
  }
  return 0;
}
