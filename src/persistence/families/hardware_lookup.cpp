// The lookups of the automatic hardware update: components by their device
// ids, groups by GUID and device records by vendor type.
#include <string>

#include "define_operations.h"
#include "orvacmn/directory/group.h"
#include "orvacmn/hardware/hardware_component.h"
#include "orvacmn/hardware/pci_device.h"
#include "orvacmn/objects/owning_ptr_list.h"

namespace orvacmn {

HRESULT CDBAccess::LoadHardwareComponent(const String& type, const String& generic, const String& exact,
                                         OVOHardwareComponent& component, String& out, uint32_t flags, bool* found) {
  return LoadOne(*this, ORVACMN_FAMILY_ROW(HardwareComponent), {type, generic, exact}, component, out, flags, found);
}

HRESULT CDBAccess::LoadGroupByGUID(const String& guid, OVOGroup& group, String& out, uint32_t flags) {
  return LoadOne(*this, ORVACMN_FAMILY_ROW(Group), {guid}, group, out, flags);
}

HRESULT CDBAccess::LoadPCIDevice(const String& vendor, uint32_t device, uint32_t vendorType, OVOPCIDevice& object,
                                 String& out, bool* found) {
  if (found != nullptr) *found = false;
  const RecordFamily& family = ORVACMN_FAMILY_ROW(PCIDevice);
  const std::string deviceText = std::to_string(device), typeText = std::to_string(vendorType);
  OVOOwningPtrList<OVOPCIDevice> records;
  const HRESULT hr = LoadList<OVOPCIDevice>(*this, family, {vendor, deviceText}, {{"VendorType", typeText}},
                                            kLoadAllFlags, records, out);
  if (FAILED(hr)) return hr;
  if (records.IsEmpty()) {
    out = FormatNotFound(family.notFoundText, {vendor, deviceText});
    return family.notFoundStatus;
  }
  object.Unpack(records.GetHead()->Pack());
  if (found != nullptr) *found = true;
  return hr;
}

}  // namespace orvacmn
