// Arbitrary text as a definition and as a definition list: both packs are fixed points, and merging keeps keys.
#include "orvacmn/variables/custom_var_def.h"

#include "check.h"

using orvacmn::OVOCustomVarDef;
using orvacmn::OVOCustomVarDefList;

FUZZ_TEXT(text) {
  OVOCustomVarDef def(text), defAgain;
  CheckRepack(def, defAgain);
  (void)def.GetDataForDisplay();
  std::string category, name;
  if (OVOCustomVarDef::SplitDisplayName(def.GetDisplayName(), category, name) == 1)
    Check(category + ":" + name == def.GetDisplayName(), "display name does not split back");

  OVOCustomVarDefList list(text), listAgain, merged;
  CheckRepack(list, listAgain);
  Check(listAgain == list, "operator== disagrees with the packed texts");
  // Merging a list's own definitions into an empty list and back leaves every definition inherited, none own.
  merged.Merge(listAgain, false, false);
  merged.Merge(listAgain, true, true);
  Check(merged.Pack(true) == merged.GetObjectOpeningTag() + "</CustomVarDefList>", "own definitions after merge");
  Check(merged.GetCount() <= listAgain.GetCount(), "merge grew beyond its source");
  for (const auto& d : listAgain) Check(merged.Find(d->GetCategory(), d->GetName()) != nullptr, "merged key missing");
}
