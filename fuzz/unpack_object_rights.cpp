// Unpacks arbitrary text as OVOObjectRights; packing, unpacking and packing
// again must give the same text. The input is also read as a short-name text,
// whose mask must survive being written and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "orvacmn/objects/object_rights.h"

using orvacmn::OVOObjectRights;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  OVOObjectRights first;
  first.Unpack(text);
  const std::string packed = first.Pack();
  const OVOObjectRights second(packed);
  if (second.Pack() != packed) std::abort();
  // Without entries the flags are not written, so only a filled list must
  // come back equal.
  if (!first.IsEmpty() && !(second == first)) std::abort();
  OVOObjectRights copy(second);
  if (copy.Pack() != packed) std::abort();
  copy.GetRights(text);

  // Every name that GetRightsFromNames recognises is written back by
  // GetShortRightNames for some type, except Sync to Sentra, which is read
  // and written under different names.
  const uint32_t mask = OVOObjectRights::GetRightsFromNames(0, text);
  const uint32_t readable = mask & ~OVOObjectRights::kRightSyncToSentra;
  uint32_t written = 0;
  for (uint32_t type : {5u, 32u, 33u, 40u, 50u, 51u, 55u})
    written |= OVOObjectRights::GetRightsFromNames(type, OVOObjectRights::GetShortRightNames(type, mask, false));
  if (written != readable) std::abort();
  return 0;
}
