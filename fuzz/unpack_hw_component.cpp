// Arbitrary text as a hardware component and as PCI device and vendor records, whose packs are fixed points; the
// component's drivers chosen for every OS bit are a subset of its own drivers, in their order.
#include "orvacmn/hardware/hardware_component.h"
#include "orvacmn/hardware/pci_device.h"

#include "check.h"

using orvacmn::OVOHardwareComponent;
using orvacmn::OVOPCIDevice;
using orvacmn::OVOPCIVendor;
using orvacmn::OVOSoftwareDriver;
using orvacmn::OVOSoftwareDriverList;

FUZZ_TEXT(text) {
  OVOHardwareComponent component(text), again;
  const std::string packed = CheckRepack(component, again);
  Check(OVOHardwareComponent(again).Pack() == packed, "copy differs");
  OVOPCIDevice device(text), deviceAgain;
  CheckRepack(device, deviceAgain);
  Check(device == deviceAgain, "device record differs after a round trip");
  OVOPCIVendor vendor(text), vendorAgain;
  CheckRepack(vendor, vendorAgain);
  Check(vendor == vendorAgain, "vendor record differs after a round trip");

  OVOSoftwareDriverList taken;
  const uint64_t found = component.PerformAutolink(~0ull, component.GetDrivers(), taken);
  uint64_t covered = 0;
  auto own = component.GetDrivers().begin();
  for (const OVOSoftwareDriver* d : taken) {
    while (own != component.GetDrivers().end() && !(**own == *d)) ++own;
    Check(own != component.GetDrivers().end(), "a taken driver is not a candidate in order");
    ++own;
    covered |= d->GetSupportedOS();
  }
  Check(covered == found, "the result is not the OR of the taken drivers' systems");

  OVOSoftwareDriverList listed;
  component.GetDriver(~0ull, listed);
  Check(listed.GetCount() <= component.GetDrivers().GetCount(), "more drivers listed than held");
  if (component.UpdateDisplaynameFromPCIDevice(device, text)) Check(component.GetVendor() == device.GetVendorName());
  Check(!component.UpdateDisplaynameFromPCIDevice(device, text), "a second update changed the name again");
}
