// The energy-management subsystem: energy profiles, policies and power
// settings.
#ifndef ORVACMN_ENERGY_H_
#define ORVACMN_ENERGY_H_

#include "orvacmn/energy/policy.h"
#include "orvacmn/energy/power_settings.h"
#include "orvacmn/energy/profile.h"

#endif  // ORVACMN_ENERGY_H_
