// Unpacks arbitrary text into a definition and into a definition list:
// pack, unpack, pack again must give the same text. The list is then merged
// into a copy of itself and into an empty list, which must keep it intact.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "orvacmn/variables/custom_var_def.h"

#include "check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const orvacmn::String text(reinterpret_cast<const char*>(data), size);

  orvacmn::OVOCustomVarDef def;
  def.Unpack(text);
  const orvacmn::String defPacked = def.Pack();
  const orvacmn::OVOCustomVarDef defAgain(defPacked);
  Check(defAgain.Pack() == defPacked, "definition pack is not a fixed point");
  (void)def.GetDataForDisplay();
  orvacmn::String category, name;
  if (orvacmn::OVOCustomVarDef::SplitDisplayName(def.GetDisplayName(), category, name) == 1) {
    Check(category + ":" + name == def.GetDisplayName(), "display name does not split back");
  }

  orvacmn::OVOCustomVarDefList list;
  list.Unpack(text);
  const orvacmn::String listPacked = list.Pack();
  orvacmn::OVOCustomVarDefList listAgain;
  Check(listAgain.Unpack(listPacked) == 1, "packed list does not unpack");
  Check(listAgain.Pack() == listPacked, "list pack is not a fixed point");
  Check(listAgain == list, "operator== disagrees with the packed texts");

  // Merging a list's own definitions into an empty list and back must end
  // with every definition inherited and nothing own.
  orvacmn::OVOCustomVarDefList merged;
  merged.Merge(listAgain, false, false);
  merged.Merge(listAgain, true, true);
  Check(merged.Pack(true) == merged.GetObjectOpeningTag() + "</CustomVarDefList>", "own definitions after merge");
  Check(merged.GetCount() <= listAgain.GetCount(), "merge grew beyond its source");
  for (const auto& d : listAgain) Check(merged.Find(d->GetCategory(), d->GetName()) != nullptr, "merged key missing");
  return 0;
}
