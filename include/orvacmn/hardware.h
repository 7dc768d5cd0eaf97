// Installed hardware components, hardware profiles and their settings.
#ifndef ORVACMN_HARDWARE_H_
#define ORVACMN_HARDWARE_H_

#include "ofl/device_info.h"
#include "orvacmn/hardware/display_settings.h"
#include "orvacmn/hardware/group_net_settings.h"
#include "orvacmn/hardware/group_profile_rules.h"
#include "orvacmn/hardware/hardware_component.h"
#include "orvacmn/hardware/hw_profile.h"
#include "orvacmn/hardware/installed_component.h"
#include "orvacmn/hardware/pci_device.h"
#include "orvacmn/hardware/spv.h"

#endif  // ORVACMN_HARDWARE_H_
