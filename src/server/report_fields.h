// The reported properties the client merge knows, where each goes in
// OVOSystem, and the strict readings of reported values shared by the merge
// (client_mgmt_merge.cpp) and its application (client_mgmt_apply.cpp).
#ifndef ORVACMN_SRC_SERVER_REPORT_FIELDS_H_
#define ORVACMN_SRC_SERVER_REPORT_FIELDS_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "orvacmn/objects/neutral.h"
#include "orvacmn/system/system.h"

namespace orvacmn {
namespace report {

// Names of the properties merged by rules of their own.
inline constexpr std::string_view kIPWithPrefixes = "IPWithPrefixes";
inline constexpr std::string_view kSystemUpTime = "SystemUpTime";  // reported only
inline constexpr std::string_view kLastLoggedOnUser = "LastLoggedOnUser";
inline constexpr std::string_view kPrimaryUser = "PrimaryUser";
inline constexpr std::string_view kOptions = "Options";
inline constexpr std::string_view kCurrentUserSID = "CurrentUserSID";
inline constexpr std::string_view kTimeZone = "TimeZone";
inline constexpr std::string_view kDoNotDisturbModeUntil = "DoNotDisturbModeUntil";
inline constexpr std::string_view kInstalledComponents = "InstalledComponents";
inline constexpr std::string_view kGUIDHWProfile = "GUIDHWProfile";
inline constexpr std::string_view kDevicesHash = "DevicesHash";
inline constexpr std::string_view kDevicesHashProperty = "Devices Hash";  // in the system's free properties

// The times a DB time text keeps in any zone: a text before 1970-01-02
// reads as "not set", and none goes beyond 9999-12-31.
inline constexpr CTime kEarliestTime = 172800;
inline constexpr CTime kLatestTime = 253402214399;
inline bool IsTime(int64_t t) { return t >= kEarliestTime && t <= kLatestTime; }

// How a property is held by OVOSystem.
enum class Kind : uint8_t {
  kNumber,        // an unsigned 32-bit field (OVOSystem::ENumberField)
  kDrive,         // the same, reported as a 64-bit value
  kSecurity,      // a security-centre state (index into kSecurityStates)
  kText,          // a String field (OVOSystem::ETextField)
  kSecurityUser,  // SecurityCenterUser
  kFree,          // the system's free property named by `free`
  kWide,          // a signed 64-bit field (OVOSystem::EWideField)
  kTime,          // index 0: last boot, 1: WOL sent, 2: do-not-disturb-until
  kMask,          // the primary subnet mask
  kComponents,    // the installed components, packed and joined
};

// The step of GetAllPropertiesToUpdate that merges a property by its row.
enum class Step : uint8_t { kHardware, kEndpoint, kSimple, kOwnRule };

// When a reported value is neutral.
enum class Neutral : uint8_t { kNever, kEmpty, kZero, kAllOnes, kNotPositive };

struct Field {
  std::string_view tag;  // the property name
  Kind kind;
  int index;
  Step step;
  Neutral neutral;
  std::string_view free = {};  // kFree: the name in the system's free properties
};

// Every property, in merge order within each step.
std::span<const Field> Fields();
// The row of a property name (case ignored), or null.
const Field* FindField(std::string_view name);

// The security-centre states, by kSecurity index.
inline constexpr uint32_t OVOSystem::*kSecurityStates[] = {
    &OVOSystem::FirewallStatus,         &OVOSystem::AutoUpdateStatus,         &OVOSystem::AntiVirusStatus,
    &OVOSystem::InternetSettingsStatus, &OVOSystem::UserAccountControlStatus, &OVOSystem::SecurityCenterStatus};

// Decimal text with blanks around and an optional sign, read as the Windows
// C runtime reads it (AToUL saturates at 32 bits and negates modulo 2^32 for
// a minus sign, AToLL saturates at 64 bits); nothing for any other text.
std::optional<uint32_t> ReadUnsigned(std::string_view text);
std::optional<int64_t> ReadSigned(std::string_view text);
// A 64-bit report for a 32-bit field: negative values do not read, larger
// ones saturate.
std::optional<uint32_t> ReadSaturated(std::string_view text);
// A text without NUL (which no packed text can hold).
bool IsText(std::string_view text);
// A DB time text (8 or 14 digits) or the empty text.
bool IsTimeText(std::string_view text);

// The policies of the rows' Neutral values.
const BaseIsNeutral<uint32_t>& NumberPolicy(Neutral n);
const BaseIsNeutral<int64_t>& WidePolicy(Neutral n);
const BaseIsNeutral<String>& TextPolicy(Neutral n);

// The system's current value of a row, as text (kText, kSecurityUser,
// kFree), unsigned (kNumber, kDrive, kSecurity) or signed (kWide).
String StoredText(const OVOSystem& system, const Field& f);
uint32_t StoredNumber(const OVOSystem& system, const Field& f);

}  // namespace report
}  // namespace orvacmn

#endif  // ORVACMN_SRC_SERVER_REPORT_FIELDS_H_
