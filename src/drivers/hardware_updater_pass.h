// What the two halves of the hardware update share: the log texts' resource
// numbers, the type rules, and the state of one pass over a report.
#ifndef ORVACMN_SRC_DRIVERS_HARDWARE_UPDATER_PASS_H_
#define ORVACMN_SRC_DRIVERS_HARDWARE_UPDATER_PASS_H_

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "ofl/device_info.h"
#include "orvacmn/drivers/hardware_updater.h"
#include "orvacmn/hardware/hw_profile.h"
#include "orvacmn/hardware/installed_component.h"
#include "orvacmn/system/system.h"

namespace orvacmn {
namespace hardware_update {

constexpr uint32_t kResCreateDeviceError = 7262;
constexpr uint32_t kResLoadDeviceError = 7263;
constexpr uint32_t kResReadComponentError = 7264;
constexpr uint32_t kResReadGroupError = 7265;
constexpr uint32_t kResReadProfilesError = 7266;
constexpr uint32_t kResUpdateStart = 7267;
constexpr uint32_t kResDetectProfileError = 7268;
constexpr uint32_t kResReadProfileError = 7269;
constexpr uint32_t kResComponentsCreated = 7270;

// The value of "AutoDetected" on the components the update makes.
constexpr char kAutoDetectedValue[] = "T";

// Whether `profile` manages components of `type` automatically; disks and
// monitors never are.
bool Manages(const OVOHardwareHWProfile& profile, const String& type);

// Every part of an id that OFLDeviceInfo::Matches compares: ids with equal
// keys match each other, so one map lookup replaces a scan of a list.
String PartsKey(const OFLDeviceInfo& device);

}  // namespace hardware_update

// What one pass over a report shares between its steps: the system, its
// installed components by component GUID (lower case) and by device, and
// the packed cards removed, in order, for their successors' settings.
struct HardwareAndPNPUpdater::Pass {
  OVOSystem& system;
  std::unordered_map<String, OVOHardwareInstalledComponent*> byComponent;
  std::unordered_map<String, OVOHardwareInstalledComponent*> byDevice;
  std::vector<String> removedNetcards, removedGfxcards;

  explicit Pass(OVOSystem& s);
};

}  // namespace orvacmn

#endif  // ORVACMN_SRC_DRIVERS_HARDWARE_UPDATER_PASS_H_
