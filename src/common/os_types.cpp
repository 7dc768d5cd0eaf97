// OS type tables and the conversions between bit sets, names and versions.
#include <cstdio>
#include <string_view>
#include <vector>

#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace {

constexpr OS_TYPE kOSTypes[] = {
    {"W2000", "Windows 2000", 0x2, 0},
    {"XP", "Windows XP", 0x4, 1},
    {"XP_x64", "Windows XP (x64)", 0x100, 1},
    {"W2003", "Windows Server 2003", 0x8, 1},
    {"W2003_x64", "Windows Server 2003 (x64)", 0x200, 1},
    {"Vista", "Windows Vista", 0x10, 1},
    {"Vista_x64", "Windows Vista (x64)", 0x400, 1},
    {"W2008", "Windows Server 2008", 0x20, 1},
    {"W2008_x64", "Windows Server 2008 (x64)", 0x800, 1},
    {"Win7", "Windows 7", 0x40, 1},
    {"Win7_x64", "Windows 7 (x64)", 0x1000, 1},
    {"W2008R2_x64", "Windows Server 2008 R2", 0x2000, 1},
    {"Win8", "Windows 8", 0x4000, 1},
    {"Win8_x64", "Windows 8 (x64)", 0x10000, 1},
    {"W2012_x64", "Windows Server 2012", 0x20000, 1},
    {"Win10", "Windows 10", 0x40000, 1},
    {"Win10_x64", "Windows 10 (x64)", 0x80000, 1},
    {"W2016_x64", "Windows Server 2016", 0x100000, 1},
    {"W2019_x64", "Windows Server 2019", 0x200000, 1},
    {"Win11_x64", "Windows 11", 0x400000, 1},
    {"W2022_x64", "Windows Server 2022", 0x800000, 1},
    {"NT4", "Windows NT4", 0x1, 0},
    {nullptr, nullptr, 0, 0},
};

constexpr OS_SUB_TYPE kOSSubTypes[] = {
    {"NT4WKS", "Windows NT4 Workstation", 0x1, 0, 0},
    {"NT4SRV", "Windows NT4 Server", 0x1, 0, 0},
    {"NT4PDC", "Windows NT4 PDC", 0x1, 0, 0},
    {"NT4BDC", "Windows NT4 BDC", 0x1, 0, 0},
    {"W2000WKS", "Windows 2000 Professional", 0x2, 0, 0},
    {"W2000SRV", "Windows 2000 Server", 0x2, 0, 0},
    {"W2000ASV", "Windows 2000 Advanced Server", 0x2, 0, 0},
    {"XPPRO", "Windows XP Professional", 0x4, 1, 1},
    {"XPPRO_X64", "Windows XP Professional (x64)", 0x100, 1, 1},
    {"XPTABLET", "Windows XP Tablet PC Edition", 0x4, 1, 1},
    {"WEPOS", "Windows Embedded Point of Service (XP)", 0x4, 0, 1},
    {"W2K3SRVSTD", "Windows Server 2003, Standard Edition", 0x8, 1, 1},
    {"W2K3SRVENT", "Windows Server 2003, Enterprise Edition", 0x8, 1, 1},
    {"W2K3SRVWEB", "Windows Server 2003, Web Edition", 0x8, 1, 1},
    {"W2K3SRVSTD_X64", "Windows Server 2003, Standard Edition (x64)", 0x200, 1, 1},
    {"W2K3SRVENT_X64", "Windows Server 2003, Enterprise Edition (x64)", 0x200, 1, 1},
    {"W2K3SRVWEB_X64", "Windows Server 2003, Web Edition (x64)", 0x200, 1, 1},
    {"VISTABUSINESS", "Windows Vista", 0x10, 1, 1},
    {"VISTABUSINESS_X64", "Windows Vista (x64)", 0x400, 1, 1},
    {"W2K8SRV", "Windows Server 2008", 0x20, 1, 1},
    {"W2K8SRV_X64", "Windows Server 2008 (x64)", 0x800, 1, 1},
    {"WIN7CLIENT", "Windows 7", 0x40, 1, 1},
    {"WIN7CLIENT_X64", "Windows 7 (x64)", 0x1000, 1, 1},
    {"WIN7SERVER_X64", "Windows Server 2008 R2", 0x2000, 1, 1},
    {"WIN8CLIENT", "Windows 8", 0x4000, 1, 1},
    {"WIN8CLIENT_X64", "Windows 8 (x64)", 0x10000, 1, 1},
    {"WIN8SERVER_X64", "Windows Server 2012", 0x20000, 1, 1},
    {"WIN10CLIENT", "Windows 10", 0x40000, 1, 1},
    {"WIN10CLIENT_X64", "Windows 10 (x64)", 0x80000, 1, 1},
    {"WIN10SERVER_X64", "Windows Server 2016", 0x100000, 1, 1},
    {"WINSRV2019_X64", "Windows Server 2019", 0x200000, 1, 1},
    {"WIN11CLIENT_X64", "Windows 11", 0x400000, 1, 1},
    {"WINSRV2022_X64", "Windows Server 2022", 0x800000, 1, 1},
    {nullptr, nullptr, 0, 0, 0},
};

// (32-bit release, its x64 counterpart).
struct ArchPair {
  uint64_t base;
  uint64_t x64;
};
constexpr ArchPair kArchPairs[] = {
    {0x4, 0x100},     {0x8, 0x200},     {0x10, 0x400},     {0x20, 0x800},     {0x40, 0x1000},
    {0x80, 0x2000},   {0x4000, 0x10000}, {0x8000, 0x20000}, {0x40000, 0x80000},
};
constexpr uint64_t kX64OnlyBits[] = {0x100000, 0x200000, 0x400000, 0x800000};

bool IsX64(const String& architecture) { return OFL::ToLower(architecture) == "x64"; }

uint32_t ProductFlagsOf(const OFLOSVersion& v) {
  return v.GetType() == OFLOSVersion::kWorkstation ? OVOHelper::kProductWorkstation : OVOHelper::kProductServer;
}

}  // namespace

const OS_TYPE* OVOHelper::GetOSTypesPtr() { return kOSTypes; }

const OS_SUB_TYPE* OVOHelper::GetOSSubTypesPtr() { return kOSSubTypes; }

String OVOHelper::OSType_DWord_to_String(uint64_t type) {
  if (type == kOSTypeAny) return "Any";
  String out;
  for (const OS_TYPE* row = kOSTypes; row->shortName != nullptr; ++row) {
    if ((row->type & type) == 0) continue;
    if (!out.empty()) out += ',';
    out += row->shortName;
  }
  return out;
}

String OVOHelper::OSType_DWord_to_StringLong(uint64_t type) {
  for (const OS_TYPE* row = kOSTypes; row->shortName != nullptr; ++row)
    if (row->type == type) return row->longName;
  return String();
}

String OVOHelper::OSType_DWord_to_HexString(uint64_t type) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(type));
  return buf;
}

uint64_t OVOHelper::OSType_String_to_DWord(const String& text) {
  if (text == "Any") return kOSTypeAny;
  std::vector<std::string_view> parts;
  std::string_view rest(text);
  for (;;) {
    const size_t comma = rest.find(',');
    parts.push_back(rest.substr(0, comma));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  auto contains = [&parts](const char* name) {
    for (std::string_view p : parts)
      if (p == name) return true;
    return false;
  };
  uint64_t result = 0;
  for (const OS_TYPE* row = kOSTypes; row->shortName != nullptr; ++row)
    if (contains(row->shortName) || contains(row->longName)) result |= row->type;
  return result;
}

uint64_t OVOHelper::OSType_GetBase(uint64_t type) {
  for (const ArchPair& p : kArchPairs)
    if (type == p.x64) return p.base;
  // The x64-only releases and everything else stay as they are.
  return type;
}

bool OVOHelper::OSType_IsPEBased(uint64_t type) {
  switch (OSType_GetBase(type)) {
    case 0x10: case 0x20: case 0x40: case 0x80: case 0x4000: case 0x8000:
    case 0x40000: case 0x100000: case 0x200000: case 0x400000: case 0x800000:
      return true;
    default:
      return false;
  }
}

uint64_t OVOHelper::OSType_From_WinVer(uint32_t major, uint32_t minor, uint32_t build, uint32_t productFlags,
                                       const String& architecture) {
  const bool x64 = IsX64(architecture);
  const bool workstation = (productFlags & kProductWorkstation) != 0;
  const uint64_t version = (uint64_t(major) << 32) | minor;
  auto v = [](uint32_t ma, uint32_t mi) { return (uint64_t(ma) << 32) | mi; };
  if (version == v(4, 0)) return 0x1;
  if (version == v(5, 0)) return 0x2;
  if (version == v(5, 1)) return 0x4;
  if (version == v(5, 2)) return !x64 ? 0x8 : workstation ? 0x100 : 0x200;
  if (version == v(6, 0)) return workstation ? (x64 ? 0x400 : 0x10) : (x64 ? 0x800 : 0x20);
  if (version == v(6, 1)) return workstation ? (x64 ? 0x1000 : 0x40) : (x64 ? 0x2000 : 0x80);
  if (version == v(6, 2) || version == v(6, 3))
    return workstation ? (x64 ? 0x10000 : 0x4000) : (x64 ? 0x20000 : 0x8000);
  if (version == v(6, 4) || version == v(10, 0)) {
    if (workstation) return build >= 22000 ? 0x400000 : (x64 ? 0x80000 : 0x40000);
    return build >= 20348 ? 0x800000 : build >= 17763 ? 0x200000 : 0x100000;
  }
  return 0;
}

uint64_t OVOHelper::OSType_From_OSVersion(const OFLOSVersion& version) {
  return OSType_From_WinVer(version.GetMajorVersion(), version.GetMinorVersion(), version.GetBuildNumber(),
                            ProductFlagsOf(version), version.GetArchitecture());
}

String OVOHelper::OSSubType_ShortToLong(const String& shortName) {
  for (const OS_SUB_TYPE* row = kOSSubTypes; row->shortName != nullptr; ++row)
    if (OFL::EqualsNoCase(row->shortName, shortName)) return row->longName;
  return String();
}

String OVOHelper::OSSubType_LongToShort(const String& longName) {
  for (const OS_SUB_TYPE* row = kOSSubTypes; row->shortName != nullptr; ++row)
    if (OFL::EqualsNoCase(row->longName, longName)) return row->shortName;
  return String();
}

uint64_t OVOHelper::OSSubTypeShortStringToOSType(const String& shortName) {
  for (const OS_SUB_TYPE* row = kOSSubTypes; row->shortName != nullptr; ++row)
    if (OFL::EqualsNoCase(row->shortName, shortName)) return row->type;
  return 0;
}

String OVOHelper::OSSubType_VerToString(uint32_t major, uint32_t minor, uint32_t build, uint32_t productFlags,
                                        const String& architecture) {
  const bool x64 = IsX64(architecture);
  const bool workstation = (productFlags & kProductWorkstation) != 0;
  const bool server = (productFlags & kProductServer) != 0;
  const String x64Suffix = x64 ? "_X64" : "";
  auto is = [major, minor](uint32_t ma, uint32_t mi) { return major == ma && minor == mi; };
  if (is(4, 0)) return server ? "NT4SRV" : "NT4WKS";
  if (is(5, 0)) {
    if (productFlags & kSuiteEnterprise) return "W2000ASV";
    return server ? "W2000SRV" : "W2000WKS";
  }
  if (is(5, 1)) return "XPPRO";
  if (is(5, 2)) {
    if (server) {
      if (productFlags & kSuiteEnterprise) return "W2K3SRVENT" + x64Suffix;
      if (productFlags & kSuiteWebEdition) return "W2K3SRVWEB" + x64Suffix;
      return "W2K3SRVSTD" + x64Suffix;
    }
    return workstation && x64 ? "XPPRO_X64" : "";
  }
  if (is(6, 0)) return (workstation ? "VISTABUSINESS" : "W2K8SRV") + x64Suffix;
  if (is(6, 1)) return (workstation ? "WIN7CLIENT" : "WIN7SERVER") + x64Suffix;
  if (is(6, 2) || is(6, 3)) return (workstation ? "WIN8CLIENT" : "WIN8SERVER") + x64Suffix;
  if (is(6, 4) || is(10, 0)) {
    if (workstation) return build >= 22000 ? "WIN11CLIENT_X64" : "WIN10CLIENT" + x64Suffix;
    if (build >= 20348) return "WINSRV2022_X64";
    if (build >= 17763) return "WINSRV2019_X64";
    return "WIN10SERVER" + x64Suffix;
  }
  return String();
}

String OVOHelper::OSSubType_VerToString(const OFLOSVersion& version) {
  return OSSubType_VerToString(version.GetMajorVersion(), version.GetMinorVersion(), version.GetBuildNumber(),
                               ProductFlagsOf(version) | version.GetSuiteMask(), version.GetArchitecture());
}

uint64_t OVOHelper::TranslateOSTypesByArch(uint64_t types, const String& architecture) {
  const bool x64 = OFL::EqualsNoCase(architecture, "x64");
  const bool ia64 = OFL::EqualsNoCase(architecture, "ia64");
  uint64_t result = (types & 0x1) ? 0x1 : 0;
  for (const ArchPair& p : kArchPairs) {
    if ((types & p.base) == 0) continue;
    if (x64) result |= p.x64;
    else if (!ia64) result |= p.base;
  }
  if ((types & 0x2) && !x64 && !ia64) result |= 0x2;
  if (x64)
    for (uint64_t bit : kX64OnlyBits) result |= types & bit;
  return result;
}

String OVOHelper::TranslateArchitecture(const String& text) {
  if (OFL::EqualsNoCase(text, "x86")) return "x86";
  if (OFL::EqualsNoCase(text, "amd64") || OFL::EqualsNoCase(text, "x64")) return "x64";
  return text;
}

bool OVOHelper::IsOSSupported(uint64_t a, uint64_t b) {
  const uint32_t highAnd = static_cast<uint32_t>((a >> 32) & (b >> 32));
  if (highAnd & 0x80000000u) return false;
  return (a & b) != 0;
}

}  // namespace orvacmn
