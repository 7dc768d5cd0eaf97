// Arbitrary text formats a fixed list of mixed arguments: whatever it asks for stays defined and repeatable.
#include <cmath>

#include "ofl/format.h"

#include "check.h"

FUZZ_TEXT(format) {
  int target = 7;
  const auto run = [&] {
    return OFLFormat(format, -1, std::string("text"), 2.5, UINT64_MAX, 'c', static_cast<const char*>(nullptr),
                     INT64_MIN, &target, std::nan(""), -1e300, int16_t{-2}, "", INT32_MIN).str();
  };
  Check(run() == run() && target == 7);
  // Too few arguments give 0 or the empty text, never garbage.
  (void)OFLFormat(format).str();
  (void)OFLFormat(format, 1).str();
}
