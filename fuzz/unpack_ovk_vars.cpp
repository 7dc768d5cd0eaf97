// Arbitrary text as a variable set: whatever it reads packs and reads back to the same set.
#include "orvacmn/variables/ovk_vars.h"

#include "check.h"

FUZZ_TEXT(text) {
  orvacmn::COVKVars first, second;
  first.Unpack(text);
  CheckRepack(first, second);
  Check(second.Size() == first.Size(), "entry count changed");
}
