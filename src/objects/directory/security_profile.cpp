#include "orvacmn/directory/security_profile.h"

#include <array>
#include <string_view>

#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr std::string_view kTagName = "Name", kTagComment = "Comment",
                           kTagOvcUserInformation = "CanAccessOvcUserInformation",
                           kTagDeviceUserInformation = "CanAccessDeviceUserInformation", kTagRightEntry = "RightEntry",
                           kTagAccount = "Account", kTagProfileEntry = "ProfileEntry", kTagAllowed = "Allowed";
constexpr char kUnknown[] = "Unknown";

void AppendEntries(String& out, std::string_view tag, const std::deque<OVOSecurityEntry>& entries) {
  for (const OVOSecurityEntry& e : entries) {
    OFLTools::AppendXMLTag(out, tag);
    OFLTools::AppendXMLNode(out, kTagName, e.name);
    OFLTools::AppendXMLNode(out, kTagAllowed, e.allowed);
    OFLTools::AppendXMLTag(out, tag, true);
  }
}

// The entry the parser's child holds: "Name" and "Allowed" in any order.
OVOSecurityEntry ReadEntry(const OFLXMLParser& p) {
  static constexpr std::array<std::string_view, 2> kTags = {kTagName, kTagAllowed};
  std::array<std::string_view, 2> data;
  p.GetChildFieldViews(kTags, data);
  return {String(data[0]), OFL::CRT::atol(String(data[1]))};
}

template <class Entries>
auto FindNoCase(Entries& entries, const String& name) -> decltype(&entries.front()) {
  for (auto& e : entries)
    if (OFL::EqualsNoCase(e.name, name)) return &e;
  return nullptr;
}

}  // namespace

OVOSecurityProfile::OVOSecurityProfile() : OVOXMLSupport(CatalogueEntryFor("OVOSecurityProfile")) {}

OVOSecurityProfile::OVOSecurityProfile(const String& text) : OVOSecurityProfile() {
  if (!text.empty()) Unpack(text);
}

bool OVOSecurityProfile::operator==(const OVOSecurityProfile& o) const {
  return name_ == o.name_ && comment_ == o.comment_ &&
         canAccessOvcUserInformation_ == o.canAccessOvcUserInformation_ &&
         canAccessDeviceUserInformation_ == o.canAccessDeviceUserInformation_ && rights_ == o.rights_;
}

OVOSecurityProfile::_RightEntry* OVOSecurityProfile::InsertRight(const String& name, int32_t allowed) {
  return &rights_.emplace_back(_RightEntry{name, allowed});
}

OVOSecurityProfile::_RightEntry* OVOSecurityProfile::FindRight(const String& name) { return FindNoCase(rights_, name); }

const OVOSecurityProfile::_RightEntry* OVOSecurityProfile::FindRight(const String& name) const {
  return FindNoCase(rights_, name);
}

int OVOSecurityProfile::FindRight(const String& name, int32_t& allowed) const {
  for (const _RightEntry& e : rights_) {
    if (e.name != name) continue;
    allowed = e.allowed;
    return 1;
  }
  return 0;
}

int32_t OVOSecurityProfile::IsAllowed(const String& name) const {
  const _RightEntry* e = FindRight(name);
  return e == nullptr ? 0 : e->allowed;
}

String OVOSecurityProfile::ShortToLong(const RightName* table, const String& shortName) {
  for (const RightName* row = table; row != nullptr && row->shortName != nullptr; ++row)
    if (shortName == row->shortName) return OFLTools::LoadResString(row->resourceId);
  return kUnknown;
}

String OVOSecurityProfile::LongToShort(const RightName* table, const String& longName) {
  for (const RightName* row = table; row != nullptr && row->shortName != nullptr; ++row)
    if (OFL::EqualsNoCase(OFLTools::LoadResString(row->resourceId), longName)) return row->shortName;
  return kUnknown;
}

String OVOSecurityProfile::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kTagName, name_);
  OFLTools::AppendXMLNode(out, kTagComment, comment_);
  OFLTools::AppendXMLNode(out, kTagOvcUserInformation, canAccessOvcUserInformation_ ? 1 : 0);
  OFLTools::AppendXMLNode(out, kTagDeviceUserInformation, canAccessDeviceUserInformation_ ? 1 : 0);
  AppendEntries(out, kTagRightEntry, rights_);
  return out;
}

void OVOSecurityProfile::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](std::string_view tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kTagName)) name_ = p.GetChildData();
    else if (OFL::EqualsNoCase(tag, kTagComment)) comment_ = p.GetChildData();
    else if (OFL::EqualsNoCase(tag, kTagOvcUserInformation))
      canAccessOvcUserInformation_ = OFL::CRT::atol(p.GetChildData()) != 0;
    else if (OFL::EqualsNoCase(tag, kTagDeviceUserInformation))
      canAccessDeviceUserInformation_ = OFL::CRT::atol(p.GetChildData()) != 0;
    else if (OFL::EqualsNoCase(tag, kTagRightEntry)) rights_.push_back(ReadEntry(p));
  });
}

void OVOSecurityProfile::InternalClear() {
  name_.clear();
  comment_.clear();
  canAccessOvcUserInformation_ = false;
  canAccessDeviceUserInformation_ = false;
  rights_.clear();
}

OVOSecurityUserOrGroup::OVOSecurityUserOrGroup() : OVOXMLSupport(CatalogueEntryFor("OVOSecurityUserOrGroup")) {}

OVOSecurityUserOrGroup::OVOSecurityUserOrGroup(const String& text) : OVOSecurityUserOrGroup() {
  if (!text.empty()) Unpack(text);
}

void OVOSecurityUserOrGroup::SetUserOrGroup(const String& text) {
  account_ = text == "*" ? String("*\\*") : text;
  parsed_.Clear();
  if (account_.find('/') != String::npos) {
    type_ = ePath;
    return;
  }
  parsed_.SetAccount(account_);
  type_ = parsed_.GetEnvironment() != 0 ? eEnvironmentAccount : eAccount;
}

String OVOSecurityUserOrGroup::GetDomain() const {
  if (type_ == ePath) return account_.substr(0, account_.find('/'));
  return parsed_.GetDomain();
}

String OVOSecurityUserOrGroup::GetName() const {
  if (type_ == ePath) return account_.substr(account_.rfind('/') + 1);
  return parsed_.GetUser();
}

OVOSecurityUserOrGroup::_ProfileEntry* OVOSecurityUserOrGroup::InsertSecurityProfile(const String& name,
                                                                                     int32_t allowed) {
  return &profiles_.emplace_back(_ProfileEntry{name, allowed});
}

bool OVOSecurityUserOrGroup::RemoveSecurityProfile(const String& name) {
  int index;
  if (FindSecurityProfile(name, index) == nullptr) return false;
  profiles_.erase(profiles_.begin() + index);
  return true;
}

OVOSecurityUserOrGroup::_ProfileEntry* OVOSecurityUserOrGroup::FindSecurityProfile(const String& name, int& index) {
  for (size_t i = 0; i < profiles_.size(); ++i) {
    if (!OFL::EqualsNoCase(profiles_[i].name, name)) continue;
    index = static_cast<int>(i);
    return &profiles_[i];
  }
  index = -1;
  return nullptr;
}

String OVOSecurityUserOrGroup::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kTagAccount, account_);
  AppendEntries(out, kTagProfileEntry, profiles_);
  return out;
}

void OVOSecurityUserOrGroup::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](std::string_view tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kTagAccount)) SetUserOrGroup(p.GetChildData());
    else if (OFL::EqualsNoCase(tag, kTagProfileEntry)) profiles_.push_back(ReadEntry(p));
  });
}

void OVOSecurityUserOrGroup::InternalClear() {
  account_.clear();
  type_ = eAccount;
  parsed_.Clear();
  profiles_.clear();
}

}  // namespace orvacmn
