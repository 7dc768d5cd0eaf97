// GetAllPropertiesToUpdate and its hardware step: what of an agent's report
// changes the stored system.
#include <algorithm>

#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/objects/neutral.h"
#include "orvacmn/server/client_mgmt_helper.h"
#include "report_fields.h"

namespace orvacmn {
namespace {

using report::Field;
using report::Kind;

// |a - b| without overflow.
uint64_t Distance(int64_t a, int64_t b) {
  const auto ua = static_cast<uint64_t>(a), ub = static_cast<uint64_t>(b);
  return a > b ? ua - ub : ub - ua;
}

// The simple merge of one row: the reported value when it reads, is not
// neutral and differs from the system's.
void MergeRow(const OVOSystem& system, const OVOProperties& reported, const Field& f, OVOProperties& result) {
  String value;
  if (!reported.GetProperty(f.tag, value)) return;
  switch (f.kind) {
    case Kind::kNumber:
    case Kind::kSecurity: {
      const auto v = report::ReadUnsigned(value);
      if (v && !report::NumberPolicy(f.neutral).IsNeutral(*v) && *v != report::StoredNumber(system, f))
        result.SetProperty(f.tag, *v);
      break;
    }
    case Kind::kDrive: {
      const auto v = report::ReadSigned(value);
      if (!v || report::WidePolicy(f.neutral).IsNeutral(*v)) break;
      const auto held = static_cast<uint32_t>(std::min<int64_t>(*v, UINT32_MAX));
      if (held != report::StoredNumber(system, f)) result.SetProperty(f.tag, held);
      break;
    }
    case Kind::kWide: {
      const auto v = report::ReadSigned(value);
      if (v && !report::WidePolicy(f.neutral).IsNeutral(*v) &&
          *v != system.GetWide(static_cast<OVOSystem::EWideField>(f.index)))
        result.SetProperty(f.tag, *v);
      break;
    }
    case Kind::kText:
    case Kind::kSecurityUser:
    case Kind::kFree:
      if (report::IsText(value) && !report::TextPolicy(f.neutral).IsNeutral(value) &&
          value != report::StoredText(system, f))
        result.SetProperty(f.tag, value);
      break;
    default: break;
  }
}

void MergeStep(const OVOSystem& system, const OVOProperties& reported, report::Step step, OVOProperties& result) {
  for (const Field& f : report::Fields())
    if (f.step == step) MergeRow(system, reported, f, result);
}

}  // namespace

OVOProperties ClientMgmtHelper::GetWinPEPropertiesToUpdate(const OVOSystem& system, const OVOProperties& reported) {
  OVOProperties result;
  MergeStep(system, reported, report::Step::kHardware, result);
  AddWinPEEndpointProperties(system, reported, result);
  return result;
}

void ClientMgmtHelper::AddWinPEEndpointProperties(const OVOSystem& system, const OVOProperties& reported,
                                                  OVOProperties& result) {
  MergeStep(system, reported, report::Step::kEndpoint, result);
}

bool ClientMgmtHelper::TryResolveIpToSubnetmask(std::string_view list, const OFLIP& ip, OFLIP& mask) {
  if (ip.IsEmpty()) return false;
  // Pairs of "#"-separated pieces, read in place.
  const auto next = [&list]() {
    const size_t end = list.find('#');
    const std::string_view piece = list.substr(0, end);
    list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    return piece;
  };
  while (!list.empty()) {
    const std::string_view addressText = next();
    if (list.empty()) break;  // a lone number at the end
    const auto address = report::ReadUnsigned(addressText);
    const auto maskValue = report::ReadUnsigned(next());
    if (address && maskValue && *address == ip.GetValue()) {
      mask = OFLIP(*maskValue);
      return true;
    }
  }
  return false;
}

OVOProperties ClientMgmtHelper::GetAllPropertiesToUpdate(const OVOSystem& system, const OVOProperties& reported,
                                                         const Domains& domains, EConnectionMode connectionMode,
                                                         CConfiguration::EIPUpdateMode ipUpdateMode,
                                                         bool withComponents, const FullSystem& fullSystem) const {
  OVOProperties result = GetWinPEPropertiesToUpdate(system, reported);
  MergeStep(system, reported, report::Step::kSimple, result);
  String value;

  // The primary subnet mask, from the pair of the primary address.
  OFLIP mask;
  if (ipUpdateMode == CConfiguration::eIPUpdateSubnetMask && reported.GetProperty(report::kIPWithPrefixes, value) &&
      TryResolveIpToSubnetmask(value, system.GetPrimaryIP(), mask) && !mask.IsEmpty() && mask.IsNetmask() &&
      mask != system.GetPrimarySubnetMask())
    result.SetProperty(report::kIPWithPrefixes, mask.GetString());

  // The boot time, from the uptime.
  const CTime now = Now();
  if (reported.GetProperty(report::kSystemUpTime, value)) {
    const auto upTime = report::ReadSigned(value);
    // A sane clock and a non-negative uptime: the difference cannot overflow.
    if (upTime && *upTime >= 0 && report::IsTime(now) && report::IsTime(now - *upTime) &&
        now - *upTime != system.LastBoot())
      result.SetProperty(OVOSystem::StrOvsUpdate_LastBoot(), OVOHelper::CTimeToDBTime(now - *upTime));
  }

  // The logged-on user, and the main user who follows it.
  if (reported.GetProperty(report::kLastLoggedOnUser, value) && report::IsText(value)) {
    if (ChangedPropertyHelper::ValueHasChanged(value, system.GetLastUser(), true))
      result.SetProperty(report::kLastLoggedOnUser, value);
    const uint32_t follow = system.GetOptions() & OVOSystem::kOptionUpdatingMainUserMask;
    if (!value.empty() && !IsOVSAccount(system, value, domains, connectionMode) && !IsDefaultUser0(value) &&
        (follow == 0 || follow == 8) && ChangedPropertyHelper::ValueHasChanged(value, system.GetUsername(), true)) {
      result.SetProperty(report::kPrimaryUser, value);
      if (follow == 0)
        result.SetProperty(report::kOptions, system.GetOptions() | OVOSystem::kOptionUpdatingMainUserMask);
    }
  }

  if (reported.GetProperty(report::kCurrentUserSID, value) && report::IsText(value) &&
      ChangedPropertyHelper::ValueHasChanged(value, system.GetCurrentUserSID(), false))
    result.SetProperty(report::kCurrentUserSID, value);

  if (reported.GetProperty(report::kTimeZone, value)) {
    if (const auto offset = report::ReadSigned(value)) result.SetProperty(report::kTimeZone, *offset);
  }

  // Do not disturb: 0 ends it; a time counts when a minute or more away.
  if (reported.GetProperty(report::kDoNotDisturbModeUntil, value)) {
    const auto until = report::ReadSigned(value);
    if (until && *until == 0) result.SetProperty(report::kDoNotDisturbModeUntil, String());
    else if (until && report::IsTime(*until) && Distance(*until, system.DoNotDisturbUntil()) > 59)
      result.SetProperty(report::kDoNotDisturbModeUntil, OVOHelper::CTimeToDBTime(*until));
  }

  if (withComponents && fullSystem) {
    OVOSystem* full = fullSystem();
    if (full && full->IsHardwareFreshlyLoaded()) {
      String components;
      for (const OVOHardwareInstalledComponent* c : full->GetInstalledComponents())
        if (c) c->AppendPack(components);
      result.SetProperty(report::kInstalledComponents, components);
      result.SetProperty(report::kGUIDHWProfile, full->GetText(OVOSystem::eGUIDHWProfile));
      String hash;
      full->GetProperties().GetProperty(report::kDevicesHashProperty, hash);
      result.SetProperty(report::kDevicesHash, hash);
      full->SetHardwareFreshlyLoaded(false);
    }
  }
  return result;
}

}  // namespace orvacmn
