// HardwareAndPNPUpdater: brings a client's hardware in line with the devices
// it reported. It picks the hardware profile that fits the client best (when
// none is set), creates component and device records for devices new to the
// object store, adds them to the client as installed components, removes
// automatically detected components that are gone, hands the settings of
// removed network and graphics cards to their successors, and asks the store
// to link drivers to the new components.
//
// Every change is made on the OVOSystem in memory (marked modified) and on
// new records of the store; saving the client is the caller's job. A report
// equal to the last one processed for the same profile is not processed
// again ("Devices Hash").
//
// Copies share the store and the logger. One update at a time per object; the
// store serialises concurrent creation of one component, so a failed create
// is followed by another lookup.
#ifndef ORVACMN_DRIVERS_HARDWARE_UPDATER_H_
#define ORVACMN_DRIVERS_HARDWARE_UPDATER_H_

#include <cstdint>
#include <vector>

#include "orvacmn/common/logger.h"
#include "orvacmn/common/types.h"

class OFLDeviceInfo;

namespace orvacmn {

class CDBAccess;
class OVOHardwareComponent;
class OVOHardwareHWProfile;
class OVOPCIDevice;
class OVOSystem;

class HardwareAndPNPUpdater {
 public:
  // The system property holding the fingerprint of the last report processed.
  static constexpr char kPropDevicesHash[] = "Devices Hash";
  // The store action that links drivers to new components, and its parameter.
  static constexpr char kActionAutolinkDrivers[] = "HWComponentList_AutolinkDrivers";
  static constexpr char kParamGUIDList[] = "GUIDList";

  // `context` accompanies every log entry.
  HardwareAndPNPUpdater(CDBAccess& db, OVO::ILogger& logger, const String& context);

  // Processes the device report `report` (a length-packed list of device
  // strings) for `system`. 0 on success (also when the report was processed
  // before), else the negative status of the store call that failed; the
  // changes made before it stay on `system`.
  int32_t PerformDynamicHardwareUpdate(OVOSystem& system, const String& report);

 private:
  struct Pass;

  HRESULT FindBestMatchingHardwareProfile(OVOSystem& system, OVOHardwareHWProfile& profile, String& error);
  HRESULT PNPUpdateSystem(OVOSystem& system, const OVOHardwareHWProfile* profile);
  HRESULT PNPUpdateComponentList(Pass& pass, const std::vector<const OFLDeviceInfo*>& devices,
                                 const OVOHardwareHWProfile* profile);
  HRESULT PNPUpdateComponent(Pass& pass, const String& type, const OFLDeviceInfo* device, int& counter,
                             String& createdGuid);
  HRESULT FindComponent(const String& type, const String& generic, const String& exact,
                        OVOHardwareComponent& component, bool& found, String& error);
  void UpdateSystemInstalledHardwareComponent(Pass& pass, const OVOHardwareComponent& component,
                                              const OFLDeviceInfo* device, const String& type, int& counter);
  HRESULT CreatePCIDevice(const OFLDeviceInfo* device, OVOPCIDevice& pciDevice, String& error);
  void SetUpNewComponents(Pass& pass, const OVOHardwareHWProfile& profile);
  void Log(uint32_t level, const String& text) const;

  CDBAccess* db_;
  OVO::ILogger* logger_;
  String context_;
};

}  // namespace orvacmn

#endif  // ORVACMN_DRIVERS_HARDWARE_UPDATER_H_
