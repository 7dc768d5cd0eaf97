// Arbitrary text as an energy policy and as an energy profile: each one's pack is a fixed point, copies and
// validation hold up, and the power values and texts of any profile stay within their rules.
#include "orvacmn/energy.h"

#include "check.h"

namespace EM = orvacmn::OVO::EnergyManagement;

static void CheckProfile(const EM::Profile& profile) {
  for (bool newStyle : {false, true}) {
    const EM::PowerSettingValues v = profile.GetOFLPowerSettingsValues(newStyle);
    Check(v.timeouts[EM::PowerSettingValues::kReserved1] == 0 && v.timeouts[EM::PowerSettingValues::kReserved2] == 0);
    for (size_t i = 0; i < v.actions.size(); ++i) Check(v.set[i] ? v.actions[i] <= 4 : v.actions[i] == 0);
  }
  Check(!EM::Profile::GetTimeString(profile.GetMonitorTimeoutAC()).empty());
  EM::Profile::GetButtonAction(profile.GetLidCloseActionDC());
}

FUZZ_TEXT(text) {
  EM::Policy policy(text), again;
  const std::string packed = CheckRepack(policy, again);
  Check(again == policy, "policy differs after repack");
  EM::Policy copy(again);
  Check(copy.Pack() == packed, "policy copy differs");
  orvacmn::String error;
  const bool valid = copy.ValidateEnergyPolicy(error);
  Check(valid == error.empty(), "validation result and error text disagree");
  Check(copy.GetTimestamp() >= copy.GetTimestampOfPolicy());
  for (const auto& condition : copy.GetEnergyPolicyProfiles()) CheckProfile(condition->GetEnergyProfile());

  EM::Profile profile(text), profileAgain;
  CheckRepack(profile, profileAgain);
  Check(profileAgain == profile, "profile differs after repack");
  CheckProfile(profile);

  EM::PowerSettings settings(text), settingsAgain;
  CheckRepack(settings, settingsAgain);
  Check(settingsAgain == settings, "power settings differ after repack");
}
