// Arbitrary text as object rights, whose pack is a fixed point, and as short names, whose mask survives a rewrite.
#include "orvacmn/objects/object_rights.h"

#include "check.h"

using orvacmn::OVOObjectRights;

FUZZ_TEXT(text) {
  OVOObjectRights first(text), second;
  const std::string packed = CheckRepack(first, second);
  // Without entries the flags are not written, so only a filled list must come back equal.
  Check(first.IsEmpty() || second == first);
  OVOObjectRights copy(second);
  Check(copy.Pack() == packed, "copy differs");
  copy.GetRights(text);

  // Every name that GetRightsFromNames knows is written back by GetShortRightNames for some type, except Sync to
  // Sentra, which is read and written under different names.
  const uint32_t mask = OVOObjectRights::GetRightsFromNames(0, text);
  uint32_t written = 0;
  for (uint32_t type : {5u, 32u, 33u, 40u, 50u, 51u, 55u})
    written |= OVOObjectRights::GetRightsFromNames(type, OVOObjectRights::GetShortRightNames(type, mask, false));
  Check(written == (mask & ~OVOObjectRights::kRightSyncToSentra));
}
