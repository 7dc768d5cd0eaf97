// Display settings of hardware profiles and graphics components, read from
// the property bag: "VideoResolution" ("1280x1024"), "VideoColorDepth" (one
// of the four colour texts) and "VideoRefreshRate" (a number).
//
// Stateless; any thread.
#ifndef ORVACMN_HARDWARE_DISPLAY_SETTINGS_H_
#define ORVACMN_HARDWARE_DISPLAY_SETTINGS_H_

#include <cstdint>

#include "orvacmn/objects/properties.h"

namespace orvacmn {

class OVOHardwareDisplaySettings {
 public:
  OVOHardwareDisplaySettings() = delete;

  static constexpr char kPropResolution[] = "VideoResolution";
  static constexpr char kPropColorDepth[] = "VideoColorDepth";
  static constexpr char kPropRefreshRate[] = "VideoRefreshRate";

  // Always fills width and height (1024 x 768 without a resolution) and the
  // frequency (60 when missing or 0). The depth comes from the colour text
  // (8, 16, 24 or 32; 16 when missing or empty); an unknown text leaves
  // `depth` as passed. The hardware profile's rule.
  static void FromProfileProperties(const OVO::Properties& properties, int32_t& width, int32_t& height,
                                    int32_t& depth, int32_t& frequency);
  // 0 and nothing touched when "VideoResolution" is missing or empty;
  // otherwise FromProfileProperties and 1. The rule of hardware components
  // and installed components.
  static int FromProperties(const OVO::Properties& properties, int32_t& width, int32_t& height, int32_t& depth,
                            int32_t& frequency);
};

}  // namespace orvacmn

#endif  // ORVACMN_HARDWARE_DISPLAY_SETTINGS_H_
