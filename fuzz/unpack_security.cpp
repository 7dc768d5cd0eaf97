// Arbitrary text as a security profile and a console account, whose packs are fixed points, and as an account text
// whose type, domain and name follow the rules and survive the account's round trip.
#include <string>

#include "orvacmn/directory/security_profile.h"

#include "check.h"

using orvacmn::OVOSecurityProfile;
using orvacmn::OVOSecurityUserOrGroup;

FUZZ_TEXT(text) {
  OVOSecurityProfile profile(text), profileAgain;
  CheckRepack(profile, profileAgain);
  Check(profileAgain == profile, "profile differs after a round trip");
  for (const auto& right : profile.GetRights()) {
    int32_t allowed = 0;
    Check(profile.FindRight(right.name, allowed) == 1, "an entry is not found by its exact name");
    Check(profile.FindRight(right.name) != nullptr, "an entry is not found ignoring case");
  }
  profile.IsAllowed(text);

  OVOSecurityUserOrGroup account(text), accountAgain;
  CheckRepack(account, accountAgain);
  Check(accountAgain == account, "account differs after a round trip");

  OVOSecurityUserOrGroup set;
  set.SetUserOrGroup(text);
  const std::string stored = set.GetUserOrGroup();
  Check(stored == (text == "*" ? "*\\*" : text), "stored text");
  const bool path = text.find('/') != std::string::npos;
  Check((set.GetType() == OVOSecurityUserOrGroup::ePath) == path, "path type");
  if (path) Check(stored.starts_with(set.GetDomain()) && stored.ends_with(set.GetName()), "path parts");
  OVOSecurityUserOrGroup reread;
  if (text.find('\0') == std::string::npos) {
    Check(reread.Unpack(set.Pack()) == 1 && reread == set, "account text does not survive its round trip");
  }
}
