// Arbitrary text as a hardware profile and as an installed component, whose packs are fixed points, and as a
// hardware id, whose device string reads back to the same parts.
#include "orvacmn/hardware.h"

#include "check.h"

using orvacmn::OVOHardwareHWProfile;
using orvacmn::OVOHardwareInstalledComponent;

FUZZ_TEXT(text) {
  OVOHardwareHWProfile profile(text), profileAgain;
  const std::string packed = CheckRepack(profile, profileAgain);
  Check(OVOHardwareHWProfile(profileAgain).Pack() == packed, "copy differs");
  OVOHardwareInstalledComponent component(text), componentAgain;
  CheckRepack(component, componentAgain);

  int32_t width = 0, height = 0, depth = 0, frequency = 0;
  Check(profile.GetDisplaySettings(width, height, depth, frequency) == 1);
  component.GetDisplaySettings(width, height, depth, frequency);
  const int contained = profile.ContainsDevice(text);

  const OFLDeviceInfo device(text);
  Check(device.GetDeviceString() == text, "device string not kept");
  Check(OFLDeviceInfo(device.GetDeviceString()).SameParts(device), "device string does not parse back to equal parts");
  Check(device.IsValid() == device.Matches(device), "a valid id matches itself, an invalid one nothing");
  Check(contained == 0 || device.IsValid(), "an invalid id was found in a profile");
  std::string generic, exact;
  device.GetDeviceStringParts(generic, exact);
  if (!generic.empty()) {
    const OFLDeviceInfo genericDevice(generic);
    Check(genericDevice.Matches(device) && genericDevice.GetGenericDeviceString() == generic,
          "the generic id does not cover its device");
  }
}
