// Operating-system detection from a name text: the rows are tried in order,
// so a longer fragment stands before any fragment it contains.
#include <string_view>

#include "ofl/string.h"
#include "orvacmn/system/system.h"

namespace orvacmn {
namespace {

struct OSName {
  std::string_view fragment;  // lower case
  uint64_t type32;            // the OS type bit of the 32-bit release (0: x64 only)
  uint64_t type64;            // the bit of its x64 release (0: 32-bit only)
  uint32_t major;
  uint32_t minor;
};

constexpr OSName kOSNames[] = {
    {"server 2022", 0, 0x800000, 10, 0},
    {"server 2019", 0, 0x200000, 10, 0},
    {"server 2016", 0, 0x100000, 10, 0},
    {"server 2012 r2", 0, 0x20000, 6, 3},
    {"server 2012", 0, 0x20000, 6, 2},
    {"server 2008 r2", 0, 0x2000, 6, 1},
    {"server 2008", 0x20, 0x800, 6, 0},
    {"server 2003", 0x8, 0x200, 5, 2},
    {"windows 11", 0, 0x400000, 10, 0},
    {"windows 10", 0x40000, 0x80000, 10, 0},
    {"windows 8.1", 0x4000, 0x10000, 6, 3},
    {"windows 8", 0x4000, 0x10000, 6, 2},
    {"windows 7", 0x40, 0x1000, 6, 1},
    {"vista", 0x10, 0x400, 6, 0},
    {"windows xp", 0x4, 0x100, 5, 1},
    {"windows 2000", 0x2, 0, 5, 0},
    {"windows nt 4", 0x1, 0, 4, 0},
    {"nt4", 0x1, 0, 4, 0},
};

bool Is64Bit(std::string_view lower) {
  for (std::string_view mark : {"x64", "64-bit", "64 bit", "amd64"})
    if (lower.find(mark) != std::string_view::npos) return true;
  return false;
}

}  // namespace

bool OVOSystem::UpdateOsTypeFromString(const String& text) {
  const String lower = OFL::ToLower(text);
  const bool x64 = Is64Bit(lower);
  for (const OSName& os : kOSNames) {
    if (lower.find(os.fragment) == String::npos) continue;
    const uint64_t type = (x64 && os.type64) || !os.type32 ? os.type64 : os.type32;
    SetOSType(type);
    number_[eOSVerMajor] = os.major;
    // Windows XP's x64 edition is the 5.2 kernel.
    number_[eOSVerMinor] = type == 0x100 ? 2 : os.minor;
    return true;
  }
  return false;
}

}  // namespace orvacmn
