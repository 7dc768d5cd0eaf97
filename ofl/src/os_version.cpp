#include "ofl/os_version.h"

#include <utility>

OFLOSVersion::OFLOSVersion(uint32_t major, uint32_t minor, uint32_t build, uint32_t type, String architecture,
                           uint32_t suiteMask)
    : major_(major),
      minor_(minor),
      build_(build),
      type_(type),
      architecture_(std::move(architecture)),
      suiteMask_(suiteMask) {}
