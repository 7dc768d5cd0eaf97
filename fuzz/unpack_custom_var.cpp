// Arbitrary text as a scoped variable value: its pack is a fixed point, also after a move.
#include <utility>

#include "orvacmn/variables/custom_var.h"

#include "check.h"

FUZZ_TEXT(text) {
  orvacmn::OVOCustomVar var(text), again;
  const std::string packed = CheckRepack(var, again);
  Check(orvacmn::OVOCustomVar(std::move(again)).Pack() == packed, "moved value differs");
}
