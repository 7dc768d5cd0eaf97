// Arbitrary text as a managed system. A component read before the GUID takes the empty owner, which the next
// read replaces by the GUID, so the pack is a fixed point from the second text on; copies pack alike.
#include "orvacmn/system/system.h"

#include "check.h"

using orvacmn::OVOSystem;

FUZZ_TEXT(text) {
  OVOSystem first(text);
  const OVOSystem second(first.Pack());
  OVOSystem third;
  const std::string packed = CheckRepack(second, third);
  Check(OVOSystem(third).Pack() == packed, "copy differs");
  first = third;
  Check(first.Pack() == packed, "assignment differs");
  first.SmallPack();
  first.SetPrimaryIP(text);
  first.SetPrimaryMAC(text);
  first.UpdateOsTypeFromString(text);
  first.UpdateServicePackVerFromString(text);
  first.SetDetectedDevices(text);
  first.ContainsDetectedDevice(text);
}
