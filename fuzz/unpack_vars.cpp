// Arbitrary text as a variable set, whose pack is a fixed point, and as a date, which formats when accepted.
#include "orvacmn/variables/vars.h"

#include "check.h"

using orvacmn::OVOVars;

FUZZ_TEXT(text) {
  OVOVars vars(text), again;
  const std::string packed = CheckRepack(vars, again);
  Check(again == vars, "operator== disagrees with the packed texts");
  const OVOVars copy(again);
  Check(copy.Pack() == packed, "copy differs");
  for (const OVOVars::Variable* v : vars) {
    Check(copy.GetVar(v->GetCategory(), v->GetName()) != nullptr, "variable not found by its key");
    (void)vars.GenerateFullName(v);
  }
  (void)vars.GetCategories();
  (void)OVOVars::IsValidVarName(text);

  orvacmn::CTime t = 0;
  std::string shown;
  if (OVOVars::CTimeFromStringValue(text, t))
    Check(t >= 0 && OVOVars::ShortDateStringFromValue(text, shown) && !shown.empty(), "accepted date does not format");
}
