// Unpacking arbitrary text into a variable set: whatever it reads must pack
// and read back to the same set (the second pack equals the first).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "orvacmn/variables/ovk_vars.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orvacmn::String text(reinterpret_cast<const char*>(data), size);
  orvacmn::COVKVars first;
  first.Unpack(text);
  const orvacmn::String packed = first.Pack();
  orvacmn::COVKVars second;
  if (second.Unpack(packed) != 1) {
    std::fprintf(stderr, "own pack not read back: %s\n", packed.c_str());
    abort();
  }
  const orvacmn::String again = second.Pack();
  if (again != packed || second.Size() != first.Size()) {
    std::fprintf(stderr, "pack changed:\n%s\n%s\n", packed.c_str(), again.c_str());
    abort();
  }
  return 0;
}
