// Shared by the distribution commands (dip, package).
#ifndef OVO_TOOL_DISTRIBUTION_H_
#define OVO_TOOL_DISTRIBUTION_H_

#include <memory>
#include <string>
#include <vector>

#include "ofl/path_map.h"

namespace ovo {

// This machine's mounts plus the --map options ("FROM=TO"); null, with an
// error printed, for a malformed mapping.
std::shared_ptr<const OFL::PathMap> BuildPathMap(const std::vector<std::string>& mappings);

}  // namespace ovo

#endif  // OVO_TOOL_DISTRIBUTION_H_
