// Unpacks arbitrary text into a variable set: packing what was read must be a
// fixed point (pack, unpack, pack again gives the same text). The same input
// goes through the date reader, whose accepted dates must format.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

#include "orvacmn/variables/vars.h"

#include "check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orvacmn::String text(reinterpret_cast<const char*>(data), size);

  orvacmn::OVOVars vars;
  vars.Unpack(text);
  const orvacmn::String first = vars.Pack();
  orvacmn::OVOVars again;
  Check(again.Unpack(first) == 1, "packed set does not unpack");
  Check(again.Pack() == first, "pack is not a fixed point");
  Check(again == vars, "operator== disagrees with the packed texts");

  const orvacmn::OVOVars copy(again);
  Check(copy.Pack() == first, "copy differs");
  for (const orvacmn::OVOVars::Variable* v : vars) {
    Check(copy.GetVar(v->GetCategory(), v->GetName()) != nullptr, "variable not found by its key");
    (void)vars.GenerateFullName(v);
  }
  (void)vars.GetCategories();
  orvacmn::String shown;
  (void)orvacmn::OVOVars::IsValidVarName(text);

  orvacmn::CTime t = 0;
  if (orvacmn::OVOVars::CTimeFromStringValue(text, t)) {
    Check(t >= 0, "date before the epoch accepted");
    Check(orvacmn::OVOVars::ShortDateStringFromValue(text, shown) && !shown.empty(), "accepted date does not format");
  }
  return 0;
}
