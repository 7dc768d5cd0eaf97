// Formats arbitrary text with a fixed list of mixed arguments: whatever the
// directives ask for, formatting must stay defined and be repeatable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "ofl/format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string format(reinterpret_cast<const char*>(data), size);
  const std::string text = "text";
  const char* none = nullptr;
  int target = 7;
  const auto run = [&] {
    return OFLFormat(format, -1, text, 2.5, UINT64_MAX, 'c', none, INT64_MIN, &target,
                     std::numeric_limits<double>::quiet_NaN(), -1e300, int16_t{-2}, "", INT32_MIN)
        .str();
  };
  const std::string first = run();
  if (run() != first) std::abort();
  if (target != 7) std::abort();
  // Too few arguments give 0 or the empty text, never garbage.
  (void)OFLFormat(format).str();
  (void)OFLFormat(format, 1).str();
  return 0;
}
