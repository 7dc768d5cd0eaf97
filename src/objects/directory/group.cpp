#include "orvacmn/directory/group.h"

#include <string_view>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"

namespace orvacmn {
namespace {

constexpr std::string_view kTagEntry = "AllowedEntry", kTagProfile = "GUIDHWProfile", kTagAllowed = "Allowed";

}  // namespace

const std::vector<OVOGroup::_AllowedEntry>& OVOGroup::GetAllowedEntries() const {
  const String& markup = FieldText(eAllowedHWProfiles);
  if (markup == allowedParsedFrom_) return allowed_;
  allowed_.clear();
  allowedParsedFrom_ = markup;
  OFLXMLParser parser;
  if (!parser.SetDoc(markup) || !parser.FindElem()) return allowed_;
  static constexpr std::string_view kFieldTags[] = {kTagProfile, kTagAllowed};
  ForEachChild(parser, [this](std::string_view tag, OFLXMLParser& p) {
    if (!OFL::EqualsNoCase(tag, kTagEntry)) return;
    std::string_view data[2];
    p.GetChildFieldViews(kFieldTags, data);
    allowed_.push_back({String(data[0]), OFLTools::AToUL(data[1]) != 0});
  });
  return allowed_;
}

void OVOGroup::SetAllowedEntries(const std::vector<_AllowedEntry>& entries) {
  String inner;
  for (const _AllowedEntry& e : entries) {
    OFLTools::AppendXMLTag(inner, kTagEntry);
    OFLTools::AppendXMLNode(inner, kTagProfile, e.profileGUID);
    OFLTools::AppendXMLNode(inner, kTagAllowed, e.allowed ? 1 : 0);
    OFLTools::AppendXMLTag(inner, kTagEntry, true);
  }
  SetAllowedHWProfiles(entries.empty() ? String() : OFLTools::MakeXMLElement(kFields[eAllowedHWProfiles].tag, inner));
}

void OVOGroup::SetAllowedEntry(const String& profileGUID, bool allowed) {
  std::vector<_AllowedEntry> entries = GetAllowedEntries();
  bool found = false;
  for (_AllowedEntry& e : entries) {
    if (!OFL::EqualsNoCase(e.profileGUID, profileGUID)) continue;
    e.allowed = allowed;
    found = true;
    break;
  }
  if (!found) entries.push_back({profileGUID, allowed});
  SetAllowedEntries(entries);
}

bool OVOGroup::RemoveAllowedEntry(const String& profileGUID) {
  std::vector<_AllowedEntry> entries = GetAllowedEntries();
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (!OFL::EqualsNoCase(it->profileGUID, profileGUID)) continue;
    entries.erase(it);
    SetAllowedEntries(entries);
    return true;
  }
  return false;
}

OVOGroupProfileRules::EProfileAccess OVOGroup::GetProfileAccess(const String& profileGUID) const {
  for (const _AllowedEntry& e : GetAllowedEntries())
    if (OFL::EqualsNoCase(e.profileGUID, profileGUID)) return e.allowed ? eProfileAllowed : eProfileNotAllowed;
  return eProfileNoEntry;
}

OVOGroupNetSettings OVOGroup::GetNetSettings() const {
  OVOGroupNetSettings s;
  s.SetIP(GetIP());
  s.SetNetmask(GetNetmask());
  s.SetDefGateway(GetDefGateway());
  s.SetDNS1(GetDNS1());
  s.SetDNS2(GetDNS2());
  s.SetDNSDomain(GetDNSDomain());
  s.SetWINS1(GetWINS1());
  s.SetWINS2(GetWINS2());
  return s;
}

void OVOGroup::SetNetSettings(const OVOGroupNetSettings& s) {
  SetIP(s.GetIP());
  SetNetmask(s.GetNetmask());
  SetDefGateway(s.GetDefGateway());
  SetDNS1(s.GetDNS1());
  SetDNS2(s.GetDNS2());
  SetDNSDomain(s.GetDNSDomain());
  SetWINS1(s.GetWINS1());
  SetWINS2(s.GetWINS2());
}

}  // namespace orvacmn
