// Unpacks arbitrary text into a scoped variable value: pack, unpack, pack
// again must give the same text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "orvacmn/variables/custom_var.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orvacmn::String text(reinterpret_cast<const char*>(data), size);
  orvacmn::OVOCustomVar var;
  var.Unpack(text);
  const orvacmn::String first = var.Pack();
  orvacmn::OVOCustomVar again(first);
  orvacmn::OVOCustomVar moved(std::move(again));
  if (moved.Pack() != first) {
    std::fprintf(stderr, "pack is not a fixed point\n");
    std::abort();
  }
  return 0;
}
