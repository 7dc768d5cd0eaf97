#include "report_fields.h"

#include <algorithm>

#include "ofl/tag_sequence.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace report {
namespace {

using S = OVOSystem;
using K = Kind;
using P = Step;
using N = Neutral;

constexpr Field kFields[] = {
    // GetWinPEPropertiesToUpdate
    {"TotalMemory", K::kNumber, S::eTotalMemory, P::kHardware, N::kZero},
    {"CPUCountPhysical", K::kNumber, S::eCPUCountPhysical, P::kHardware, N::kZero},
    {"CPUCountLogical", K::kNumber, S::eCPUCountLogical, P::kHardware, N::kZero},
    {"CPUCountTotalCores", K::kNumber, S::eCPUCountTotalCores, P::kHardware, N::kZero},
    {"CPUSpeed", K::kNumber, S::eCPUSpeed, P::kHardware, N::kZero},
    {"CPUDesc", K::kText, S::eCPUDesc, P::kHardware, N::kEmpty},
    {"CPUID", K::kFree, 0, P::kHardware, N::kEmpty, "CPUID"},
    {"DriveCSize", K::kDrive, S::eDriveCSize, P::kHardware, N::kNotPositive},
    {"DriveCFree", K::kDrive, S::eDriveCFree, P::kHardware, N::kNotPositive},
    {"DriveDSize", K::kDrive, S::eDriveDSize, P::kHardware, N::kNotPositive},
    {"DriveDFree", K::kDrive, S::eDriveDFree, P::kHardware, N::kNotPositive},
    {"DriveESize", K::kDrive, S::eDriveESize, P::kHardware, N::kNotPositive},
    {"DriveEFree", K::kDrive, S::eDriveEFree, P::kHardware, N::kNotPositive},
    // AddWinPEEndpointProperties
    {"SerialNumber", K::kFree, 0, P::kEndpoint, N::kEmpty, "SerialNumber"},
    {"ModelName", K::kFree, 0, P::kEndpoint, N::kEmpty, "ModelName"},
    {"Manufacturer", K::kFree, 0, P::kEndpoint, N::kEmpty, "Manufacturer"},
    // The simple merges of GetAllPropertiesToUpdate
    {"FirewallStatus", K::kSecurity, 0, P::kSimple, N::kZero},
    {"AutoUpdateStatus", K::kSecurity, 1, P::kSimple, N::kZero},
    {"AntiVirusStatus", K::kSecurity, 2, P::kSimple, N::kZero},
    {"InternetSettingsStatus", K::kSecurity, 3, P::kSimple, N::kZero},
    {"UserAccountControlStatus", K::kSecurity, 4, P::kSimple, N::kZero},
    {"SecurityCenterStatus", K::kSecurity, 5, P::kSimple, N::kZero},
    {"SecurityCenterUser", K::kSecurityUser, 0, P::kSimple, N::kEmpty},
    {"OVAVersion", K::kText, S::eAgentVersion, P::kSimple, N::kEmpty},
    {"OVAInstallPath", K::kText, S::eOVAInstallPath, P::kSimple, N::kEmpty},
    {"OSType", K::kWide, S::eOSType, P::kSimple, N::kZero},
    {"OSVersionString", K::kText, S::eOSVerString, P::kSimple, N::kEmpty},
    {"OSVersionMajor", K::kNumber, S::eOSVerMajor, P::kSimple, N::kAllOnes},
    {"OSVersionMinor", K::kNumber, S::eOSVerMinor, P::kSimple, N::kAllOnes},
    {"OSVersionBuild", K::kNumber, S::eOSVerBuild, P::kSimple, N::kAllOnes},
    {"OSVersionSPMajor", K::kNumber, S::eOSVerSpMajor, P::kSimple, N::kAllOnes},
    {"OSReleaseId", K::kText, S::eOSReleaseId, P::kSimple, N::kEmpty},
    {"OSServiceBranch", K::kText, S::eOSServiceBranch, P::kSimple, N::kEmpty},
    {"OSDisplayVersion", K::kText, S::eOSDisplayVersion, P::kSimple, N::kEmpty},
    {"FeatureUpdateDelayDays", K::kNumber, S::eFeatureUpdateDelayDays, P::kSimple, N::kNever},
    {"OSPatchLevel", K::kText, S::eOSPatchLevel, P::kSimple, N::kEmpty},
    {"IEVersion", K::kText, S::eIEVerString, P::kSimple, N::kEmpty},
    {"EnergySchemeName", K::kText, S::eEnergySchemeName, P::kSimple, N::kEmpty},
    {"EnergySchemeID", K::kText, S::eEnergySchemeID, P::kSimple, N::kEmpty},
    {"LCID", K::kNumber, S::eLCID, P::kSimple, N::kZero},
    {"BootMode", K::kText, S::eBootMode, P::kSimple, N::kEmpty},
    {"Architecture", K::kText, S::eArchitecture, P::kSimple, N::kEmpty},
    // Merged by rules of their own; applied by their rows. The two times
    // under the names of OVOSystem::StrOvsUpdate_LastBoot and _WolSent.
    {kIPWithPrefixes, K::kMask, 0, P::kOwnRule, N::kNever},
    {"SystemLastBoot", K::kTime, 0, P::kOwnRule, N::kNever},
    {"SystemWolSent", K::kTime, 1, P::kOwnRule, N::kNever},
    {kLastLoggedOnUser, K::kText, S::eLastUser, P::kOwnRule, N::kNever},
    {kPrimaryUser, K::kText, S::eUsername, P::kOwnRule, N::kNever},
    {kOptions, K::kNumber, S::eOptions, P::kOwnRule, N::kNever},
    {kCurrentUserSID, K::kText, S::eCurrentUserSID, P::kOwnRule, N::kNever},
    {kTimeZone, K::kWide, S::eTimezoneOffset, P::kOwnRule, N::kNever},
    {kDoNotDisturbModeUntil, K::kTime, 2, P::kOwnRule, N::kNever},
    {kInstalledComponents, K::kComponents, 0, P::kOwnRule, N::kNever},
    {kGUIDHWProfile, K::kText, S::eGUIDHWProfile, P::kOwnRule, N::kNever},
    {kDevicesHash, K::kFree, 0, P::kOwnRule, N::kNever, kDevicesHashProperty},
};

// A size or count of 0 or less is what an agent reports when it cannot read
// the drive.
class NotPositiveNeutral : public BaseIsNeutral<int64_t> {
 public:
  bool IsNeutral(const int64_t& value) const override { return value <= 0; }
};

// Trims white space and says whether a sign and digits remain.
bool IsDecimal(std::string_view& text) {
  constexpr std::string_view kBlanks = " \t\r\n\v\f";
  const size_t first = text.find_first_not_of(kBlanks);
  text = first == std::string_view::npos ? std::string_view()
                                         : text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
  std::string_view digits = text;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
  return !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::span<const Field> Fields() { return kFields; }

const Field* FindField(std::string_view name) {
  static const OFL::TagIndex<Field> index(kFields);
  return index.Find(name);
}

std::optional<uint32_t> ReadUnsigned(std::string_view text) {
  if (!IsDecimal(text)) return std::nullopt;
  return OFLTools::AToUL(text);
}

std::optional<int64_t> ReadSigned(std::string_view text) {
  if (!IsDecimal(text)) return std::nullopt;
  return OFLTools::AToLL(text);
}

std::optional<uint32_t> ReadSaturated(std::string_view text) {
  const auto v = ReadSigned(text);
  if (!v || *v < 0) return std::nullopt;
  return static_cast<uint32_t>(std::min<int64_t>(*v, UINT32_MAX));
}

bool IsText(std::string_view text) { return text.find('\0') == std::string_view::npos; }

bool IsTimeText(std::string_view text) {
  return text.empty() || ((text.size() == 8 || text.size() == 14) &&
                          std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }));
}

const BaseIsNeutral<uint32_t>& NumberPolicy(Neutral n) {
  static const NoNeutral<uint32_t> never;
  static const SpecialValueNeutral<uint32_t> zero(0);
  static const SpecialValueNeutral<uint32_t> allOnes(UINT32_MAX);
  return n == Neutral::kZero      ? static_cast<const BaseIsNeutral<uint32_t>&>(zero)
         : n == Neutral::kAllOnes ? static_cast<const BaseIsNeutral<uint32_t>&>(allOnes)
                                  : never;
}

const BaseIsNeutral<int64_t>& WidePolicy(Neutral n) {
  static const SpecialValueNeutral<int64_t> zero(0);
  static const NotPositiveNeutral notPositive;
  return n == Neutral::kZero ? static_cast<const BaseIsNeutral<int64_t>&>(zero) : notPositive;
}

const BaseIsNeutral<String>& TextPolicy(Neutral) {
  static const EmptyStringNeutral empty;
  return empty;
}

String StoredText(const OVOSystem& system, const Field& f) {
  if (f.kind == Kind::kSecurityUser) return system.SecurityCenterUser;
  if (f.kind == Kind::kFree) {
    String value;
    system.GetProperties().GetProperty(f.free, value);
    return value;
  }
  return system.GetText(static_cast<OVOSystem::ETextField>(f.index));
}

uint32_t StoredNumber(const OVOSystem& system, const Field& f) {
  if (f.kind == Kind::kSecurity) return system.*kSecurityStates[f.index];
  return system.GetNumber(static_cast<OVOSystem::ENumberField>(f.index));
}

}  // namespace report
}  // namespace orvacmn
