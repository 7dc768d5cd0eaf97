// Hardware: profiles, components, PCI vendors and devices, boot environments.
#include <string>

#include "define_operations.h"
#include "orvacmn/hardware/hardware_component.h"
#include "orvacmn/hardware/hw_profile.h"
#include "orvacmn/hardware/pci_device.h"
#include "orvacmn/records/keyed_records.h"

namespace orvacmn {

ORVACMN_HARDWARE_FAMILY_OPERATIONS(ORVACMN_DEFINE_FAMILY_OPERATIONS)

HRESULT CDBAccess::LoadPCIDevice(const String& vendor, uint32_t device, OVOPCIDevice& object, String& out,
                                 uint32_t flags, bool* found) {
  return LoadOne(*this, ORVACMN_FAMILY_ROW(PCIDevice), {vendor, std::to_string(device)}, object, out, flags, found);
}

}  // namespace orvacmn
