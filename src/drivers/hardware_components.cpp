// New devices of a client's report: their component and device records
// found or created in the object store, the client's installed components
// added, and the store asked to link drivers to the new components.
#include <chrono>
#include <memory>

#include "hardware_updater_pass.h"
#include "ofl/format.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/hardware/hardware_component.h"
#include "orvacmn/hardware/pci_device.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/persistence/record_types.h"
#include "orvacmn/persistence/store_vocabulary.h"

namespace orvacmn {
namespace {

using namespace hardware_update;  // NOLINT
using IC = OVOHardwareInstalledComponent;
using L = OVO::ILogger;

// What new components are given when no other source has it.
constexpr uint64_t kAllOperatingSystems = 0x0000000000FFFFFF;
constexpr uint32_t kSystemOptionNewNetcard = 0x4;

constexpr uint8_t kPciClassNetwork = 2, kPciClassDisplay = 3, kPciClassBridge = 6;

uint32_t VendorTypeOf(const OFLDeviceInfo& device) {
  switch (device.GetBus()) {
    case OFLDeviceInfo::eBusUSB: return OVOPCIDevice::kVendorTypeUSB;
    case OFLDeviceInfo::eBusACPI: return OVOPCIDevice::kVendorTypeACPI;
    default: return OVOPCIDevice::kVendorTypePCI;
  }
}

}  // namespace

HRESULT HardwareAndPNPUpdater::PNPUpdateComponentList(Pass& pass, const std::vector<const OFLDeviceInfo*>& devices,
                                                      const OVOHardwareHWProfile* profile) {
  if (profile == nullptr) return S_OK;
  const auto start = std::chrono::steady_clock::now();
  int netcards = 0, gfxcards = 0, others = 0;
  OFLTokenizer created;
  HRESULT hr = S_OK;
  for (const OFLDeviceInfo* d : devices) {
    if (d == nullptr) continue;
    const uint32_t pciClass = d->GetDevInfoPCIClass() & 0xFF;
    const char* type = pciClass == kPciClassNetwork   ? IC::kTypeNetcard
                       : pciClass == kPciClassDisplay ? IC::kTypeGfxcard
                                                      : IC::kTypeOther;
    if (pciClass == kPciClassBridge) {
      Log(L::kDetail, OFLFormat("Skipping bridge component [%s]", d->GetDeviceString()));
      continue;
    }
    if (!Manages(*profile, type)) continue;
    int& counter = pciClass == kPciClassNetwork ? netcards : pciClass == kPciClassDisplay ? gfxcards : others;
    String guid;
    hr = PNPUpdateComponent(pass, type, d, counter, guid);
    if (!guid.empty()) created.AddString(guid);
    if (FAILED(hr)) break;
  }
  if (created.IsEmpty()) return hr;

  OVO::Properties bag;
  bag.SetProperty(kParamGUIDList, created.AsLengthPackedString());
  String answer;
  const HRESULT linked = db_->DoAction(kRecordTypeHardwareComponent, kActionAutolinkDrivers, bag.Pack(), answer);
  const long long ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  // The components stand without drivers when the store cannot link them:
  // worth an error entry, not the loss of the update.
  if (SUCCEEDED(linked)) Log(L::kProgress, OFLFormat(kResComponentsCreated, created.GetCount(), ms));
  else
    Log(L::kError, OFLFormat("%d new hardware components were created without automatic driver assignment: %s",
                             created.GetCount(), answer));
  return hr;
}

HRESULT HardwareAndPNPUpdater::FindComponent(const String& type, const String& generic, const String& exact,
                                             OVOHardwareComponent& component, bool& found, String& error) {
  HRESULT hr = db_->LoadHardwareComponent(type, generic, exact, component, error, kLoadAllFlags, &found);
  if (SUCCEEDED(hr) && !found)
    hr = db_->LoadHardwareComponent(type, generic, String(kKeyGenericDevice), component, error, kLoadAllFlags,
                                    &found);
  return hr;
}

HRESULT HardwareAndPNPUpdater::PNPUpdateComponent(Pass& pass, const String& type, const OFLDeviceInfo* device,
                                                  int& counter, String& createdGuid) {
  createdGuid.clear();
  String generic, exact, error;
  device->GetDeviceStringParts(generic, exact);
  OVOHardwareComponent component;
  bool found = false;
  HRESULT hr = FindComponent(type, generic, exact, component, found, error);
  if (FAILED(hr)) {
    Log(L::kError, OFLFormat(kResReadComponentError, exact, error));
    return hr;
  }
  if (!found) {
    OVOPCIDevice pci;
    bool known = false;
    hr = db_->LoadPCIDevice(device->GetVendor(), device->GetDevice(), VendorTypeOf(*device), pci, error, &known);
    if (FAILED(hr)) {
      Log(L::kError, OFLFormat(kResLoadDeviceError, error));
      return hr;
    }
    if (!known && FAILED(hr = CreatePCIDevice(device, pci, error))) return hr;
    if ((pci.GetOptions() & OVOPCIDevice::kOptionNoAutoCreate) != 0) {
      Log(L::kDetail, "Component autocreate disabled");
      return S_OK;
    }
    Log(L::kProgress, OFLFormat("Adding (%s) component [%s %s]", type, pci.GetVendorName(), pci.GetDeviceName()));
    component.Clear();
    component.SetGUID(OFL::Tools::GenerateGuid());
    component.SetType(type);
    component.UpdateDisplaynameFromPCIDevice(pci, String());
    component.SetAutoDetectOS(static_cast<int64_t>(kAllOperatingSystems));
    component.SetDeviceString((pci.GetOptions() & OVOPCIDevice::kOptionGenericId) != 0 ? generic : exact);
    hr = db_->CreateHardwareComponent(component, error);
    if (SUCCEEDED(hr)) {
      createdGuid = component.GetGUID();
    } else {
      // Another writer may have made it meanwhile.
      String again;
      const HRESULT looked = FindComponent(type, generic, exact, component, found, again);
      if (FAILED(looked) || !found) {
        Log(L::kError, OFLFormat(kResReadComponentError, exact, error));
        return hr;
      }
    }
  }
  UpdateSystemInstalledHardwareComponent(pass, component, device, type, counter);
  return S_OK;
}

void HardwareAndPNPUpdater::UpdateSystemInstalledHardwareComponent(Pass& pass, const OVOHardwareComponent& component,
                                                                   const OFLDeviceInfo* device, const String& type,
                                                                   int& counter) {
  const String key = OFL::ToLower(component.GetGUID());
  if (const auto at = pass.byComponent.find(key); at != pass.byComponent.end()) {
    // Two devices of one component: the first one's addition stands.
    if (at->second->GetState() != IC::eStateAdded) at->second->SetState(IC::eStatePresent);
    return;
  }
  auto added = std::make_unique<IC>();
  added->SetFromComponent(component);
  added->SetGUID(OFL::Tools::GenerateGuid());
  added->SetGUIDSystem(pass.system.GetGuid());
  added->SetType(type);
  added->SetState(IC::eStateAdded);
  added->SetNumber(static_cast<uint32_t>(counter + 1));
  added->SetDeviceString(device->GetDeviceString());
  added->GetProperties().SetProperty(IC::kPropAutoDetected, kAutoDetectedValue);
  pass.byComponent.emplace(key, added.get());
  pass.system.GetInstalledComponents().AddTail(added.release());
  if (type == IC::kTypeNetcard) pass.system.SetOption(kSystemOptionNewNetcard, true);
  pass.system.SetModified(true);
  ++counter;
}

HRESULT HardwareAndPNPUpdater::CreatePCIDevice(const OFLDeviceInfo* device, OVOPCIDevice& pciDevice, String& error) {
  const String& vendorId = device->GetVendor();
  const uint32_t vendorType = VendorTypeOf(*device), id = device->GetDevice();
  OVOPCIVendor vendor;
  bool known = false;
  String vendorName;
  if (SUCCEEDED(db_->LoadPCIVendor(vendorId, vendor, error, kLoadAllFlags, &known)) && known)
    vendorName = vendor.GetVendorName();
  else
    vendorName = OFLFormat(vendorType == OVOPCIDevice::kVendorTypeACPI ? "Unknown vendor %s" : "Unknown vendor 0x%s",
                           vendorId)
                     .str();
  const char* format = device->GetBus() == OFLDeviceInfo::eBusUSB       ? "Unknown USB device 0x%04X"
                       : device->GetBus() == OFLDeviceInfo::eBusACPI    ? "Unknown ACPI device 0x%04X"
                       : device->GetBus() == OFLDeviceInfo::eBusHDAudio ? "HD Audio device 0x%04X"
                                                                        : "Unknown PCI device 0x%04X";
  pciDevice.Clear();
  pciDevice.SetVendorID(vendorId);
  pciDevice.SetDeviceID(id);
  pciDevice.SetVendorType(vendorType);
  pciDevice.SetVendorName(vendorName);
  pciDevice.SetDeviceName(OFLFormat(format, id));
  pciDevice.SetOptions(pciDevice.GetOptions() | OVOPCIDevice::kOptionAutoCreated);
  // A failed create may be another writer's record of the same device: it
  // is read back either way.
  String created;
  const HRESULT hr = db_->CreatePCIDevice(pciDevice, created);
  bool found = false;
  HRESULT loaded = db_->LoadPCIDevice(vendorId, id, vendorType, pciDevice, error, &found);
  // The store keys device records by vendor and device id: one of another id
  // space (a USB device with a PCI device's numbers) stands in.
  if (SUCCEEDED(loaded) && !found) loaded = db_->LoadPCIDevice(vendorId, id, pciDevice, error, kLoadAllFlags, &found);
  if (SUCCEEDED(loaded) && found) return S_OK;
  if (FAILED(hr)) error = created;
  Log(L::kError, OFLFormat(kResCreateDeviceError, device->GetDeviceString(), error));
  return FAILED(hr) ? hr : FAILED(loaded) ? loaded : E_FAIL;
}

}  // namespace orvacmn
