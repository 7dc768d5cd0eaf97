#include "orvacmn/objects/object_rights.h"

#include <algorithm>
#include <string_view>

#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/objects/known_guids.h"

namespace orvacmn {
namespace {

constexpr char kObjectName[] = "ObjectRights";
constexpr char kTagInherited[] = "Inherited";
constexpr char kTagEffective[] = "Effective";
constexpr char kTagAccessEntry[] = "AccessEntry";
constexpr char kTagSecurityProfile[] = "SecurityProfile";
constexpr char kTagRights[] = "Rights";

constexpr bool kDefaultInherited = true;
constexpr uint32_t kDefaultEffective = 15;

using R = OVOObjectRights;

// Short names as GetRightsFromNames reads them. Sync to Sentra is read under
// its older name; the name GetShortRightNames writes for it is not accepted.
struct ShortName {
  const char* name;
  uint32_t bit;
};
constexpr ShortName kReadableNames[] = {
    {"F", R::kRightFullControl},
    {"R", R::kRightRead},
    {"W", R::kRightChange},
    {"X", R::kRightDelete},
    {"CrOrgUnit", R::kRightCreateOrgUnit},
    {"CrObject", R::kRightCreateObject},
    {"AssignTrg", R::kRightAssignTarget},
    {"Control", R::kRightControlJob},
    {"EdAutoAss", R::kRightEditAutoAssign},
    {"AssignJob", R::kRightAssignJobs},
    {"RemoteControl", R::kRightRemoteControl},
    {"BitLocker", R::kRightBitLocker},
    {"ScheduleJobsImmediately", R::kRightScheduleJobsImmediately},
    {"AUTView", R::kRightAnalyzeAut},
    {"AUTConfig", R::kRightConfigureAut},
    {"LicMgmt", R::kRightManageLicenses},
    {"SentraCockpit", R::kRightSyncToSentra},
};

bool IsNoAutGuid(const String& guid) { return OFL::EqualsNoCase(guid, KnownGuids::kNoAutOrLicenseRights); }

uint32_t WidenFullControl(uint32_t rights) {
  return (rights & R::kRightFullControl) ? (rights | R::kAllRights) : rights;
}

// Appends `name` (with `prefix`) to a ","-joined list when `bit` is in `rights`.
void AddShortName(String& out, uint32_t rights, uint32_t bit, std::string_view name,
                  std::string_view prefix = {}) {
  if (!(rights & bit)) return;
  if (!out.empty()) out += ',';
  out += prefix;
  out += name;
}

// Resource id of the name of `right` for `objectType`, with its prefix; 0 when
// the combination has no name. `supportedObjects` matters for type 5 only.
uint32_t RightNameId(uint32_t objectType, uint32_t supportedObjects, uint32_t right, const char*& prefix) {
  prefix = "";
  switch (objectType) {
    case R::kTypeOrgUnit:
      switch (right) {
        case R::kRightCreateOrgUnit: return 7020;
        case R::kRightCreateObject: return 7026;
        case R::kRightAssignTarget: prefix = "Job:"; return 7030;
        case R::kRightControlJob: prefix = "Job:"; return 7048;
        case R::kRightEditAutoAssign: prefix = "Job:"; return 7117;
        case R::kRightAssignJobs: return 7018;
        case R::kRightAnalyzeAut: prefix = "App:"; return 7124;
        case R::kRightConfigureAut: prefix = "App:"; return 7123;
        case R::kRightManageLicenses: {
          const bool apps = supportedObjects & R::kUnitHoldsApplications;
          const bool os = supportedObjects & R::kUnitHoldsOperatingSystems;
          prefix = (apps && os) ? "App/OS:" : os ? "OS:" : "App:";
          return 7226;
        }
        default: return 0;
      }
    case R::kTypeOperatingSystem:
      return right == R::kRightManageLicenses ? 7226 : 0;
    case R::kTypeSoftwareApplication:
      switch (right) {
        case R::kRightAnalyzeAut: return 7124;
        case R::kRightConfigureAut: return 7123;
        case R::kRightManageLicenses: return 7226;
        default: return 0;
      }
    case R::kTypeJob:
      switch (right) {
        case R::kRightAssignTarget: return 7030;
        case R::kRightControlJob: return 7048;
        case R::kRightEditAutoAssign: return 7117;
        default: return 0;
      }
    case R::kTypeGroup:
      switch (right) {
        case R::kRightCreateOrgUnit: return 7019;
        case R::kRightCreateObject: return 7021;
        case R::kRightAssignJobs: prefix = "System:"; return 7018;
        case R::kRightScheduleJobsImmediately: prefix = "System:"; return 7295;
        case R::kRightAnalyzeAut: prefix = "System:"; return 7124;
        case R::kRightConfigureAut: prefix = "System:"; return 7123;
        case R::kRightRemoteControl: return 7159;
        case R::kRightBitLocker: return 7286;
        default: return 0;
      }
    case R::kTypeSystem:
      switch (right) {
        case R::kRightAssignJobs: return 7018;
        case R::kRightRemoteControl: return 7159;
        case R::kRightBitLocker: return 7286;
        case R::kRightScheduleJobsImmediately: return 7295;
        case R::kRightAnalyzeAut: return 7124;
        case R::kRightConfigureAut: return 7123;
        default: return 0;
      }
    case R::kTypeDirectoryObject:
      return right == R::kRightAssignJobs ? 7018 : 0;
    default:
      return 0;
  }
}

}  // namespace

bool OVOObjectRights::_AccessEntry::operator==(const _AccessEntry& other) const {
  return rights_ == other.rights_ && OFL::EqualsNoCase(profile_, other.profile_);
}

OVOObjectRights::OVOObjectRights() : OVOXMLSupport(kObjectName, kSchema50001) {}

OVOObjectRights::OVOObjectRights(const String& text) : OVOObjectRights() { Unpack(text); }

OVOObjectRights::OVOObjectRights(const OVOObjectRights& other) : OVOXMLSupport(other) { CopyFrom(other); }

OVOObjectRights& OVOObjectRights::operator=(const OVOObjectRights& other) {
  if (this != &other) {
    OVOXMLSupport::operator=(other);
    CopyFrom(other);
  }
  return *this;
}

OVOObjectRights::~OVOObjectRights() = default;

void OVOObjectRights::CopyFrom(const OVOObjectRights& other) {
  inherited_ = other.inherited_;
  effective_ = other.effective_;
  AccessEntryList entries;
  Index index;
  entries.reserve(other.entries_.size());
  index.reserve(other.entries_.size());
  for (const auto& e : other.entries_) {
    entries.push_back(std::make_unique<_AccessEntry>(*e));
    index.emplace(e->GetSecurityProfile(), entries.back().get());
  }
  entries_ = std::move(entries);
  index_ = std::move(index);
}

bool OVOObjectRights::operator==(const OVOObjectRights& other) const {
  if (inherited_ != other.inherited_ || effective_ != other.effective_ ||
      entries_.size() != other.entries_.size())
    return false;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (!(*entries_[i] == *other.entries_[i])) return false;
  return true;
}

OVOObjectRights::_AccessEntry* OVOObjectRights::FindAccessEntry(const String& profile) {
  const auto it = index_.find(profile);
  return it == index_.end() ? nullptr : it->second;
}

const OVOObjectRights::_AccessEntry* OVOObjectRights::FindAccessEntry(const String& profile) const {
  const auto it = index_.find(profile);
  return it == index_.end() ? nullptr : it->second;
}

OVOObjectRights::_AccessEntry* OVOObjectRights::SetRights(const String& profile, uint32_t rights) {
  rights = WidenFullControl(rights);
  if (_AccessEntry* entry = FindAccessEntry(profile)) {
    entry->SetRights(rights);
    return entry;
  }
  entries_.push_back(std::make_unique<_AccessEntry>(profile, rights));
  _AccessEntry* entry = entries_.back().get();
  index_.emplace(profile, entry);
  return entry;
}

OVOObjectRights::_AccessEntry* OVOObjectRights::SetRightsEx(const String& profile, uint32_t rights,
                                                            bool addToEffective) {
  if (entries_.empty()) effective_ = 0;
  _AccessEntry* entry = SetRights(profile, rights);
  if (addToEffective) effective_ |= entry->GetRights();
  return entry;
}

bool OVOObjectRights::DeleteAccessEntry(const String& profile) {
  const auto it = index_.find(profile);
  if (it == index_.end()) return false;
  const _AccessEntry* entry = it->second;
  index_.erase(it);
  entries_.erase(std::find_if(entries_.begin(), entries_.end(),
                              [entry](const std::unique_ptr<_AccessEntry>& e) { return e.get() == entry; }));
  return true;
}

uint32_t OVOObjectRights::GetRights(const String& profiles) const {
  if (entries_.empty()) return kRightFullControl;
  uint32_t rights = 0;
  for (const String& profile : OFLTokenizer(profiles, ";"))
    if (const _AccessEntry* entry = FindAccessEntry(profile)) rights |= entry->GetRights();
  return rights;
}

String OVOObjectRights::InternalPack() const {
  String out;
  if (entries_.empty()) return out;
  out += OFLTools::MakeXMLNode(kTagInherited, int32_t{inherited_ ? 1 : 0});
  out += OFLTools::MakeXMLNode(kTagEffective, effective_);
  for (const auto& e : entries_) {
    OFLTools::AppendXMLTag(out, kTagAccessEntry);
    out += OFLTools::MakeXMLNode(kTagSecurityProfile, e->GetSecurityProfile(), {}, true, false);
    out += OFLTools::MakeXMLNode(kTagRights, e->GetRights());
    OFLTools::AppendXMLTag(out, kTagAccessEntry, true);
  }
  return out;
}

void OVOObjectRights::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kTagInherited)) {
      inherited_ = OFL::CRT::atol(p.GetChildData()) != 0;
    } else if (OFL::EqualsNoCase(tag, kTagEffective)) {
      effective_ = OFLTools::AToUL(p.GetChildData());
    } else if (OFL::EqualsNoCase(tag, kTagAccessEntry)) {
      UnpackAccessEntry(p);
    }
  });
}

// The parser's child cursor stands on an "AccessEntry"; it stands there again
// afterwards, so the caller's walk goes on with the next sibling.
void OVOObjectRights::UnpackAccessEntry(OFLXMLParser& parser) {
  String profile;
  uint32_t rights = 0;
  parser.IntoElem();
  ForEachChild(parser, [&](const String& tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kTagSecurityProfile))
      profile = p.GetChildData();
    else if (OFL::EqualsNoCase(tag, kTagRights))
      rights = OFLTools::AToUL(p.GetChildData());
  });
  parser.OutOfElem();
  SetRights(profile, rights);
}

void OVOObjectRights::InternalClear() {
  inherited_ = kDefaultInherited;
  effective_ = kDefaultEffective;
  index_.clear();
  entries_.clear();
}

uint32_t OVOObjectRights::GetSupportedSpecialRights(uint32_t objectType, const SecurableObjectInfo* object) {
  switch (objectType) {
    case kTypeOrgUnit: {
      if (!object) return kRightCreateOrgUnit | kRightCreateObject;
      const uint32_t s = object->supportedObjects;
      uint32_t rights = (s & kUnitHoldsGroups) ? 0x3F0C0u : 0xC0u;
      if (s & kUnitHoldsJobs) rights |= kRightAssignTarget | kRightControlJob | kRightEditAutoAssign;
      if (s & kUnitHoldsSystemsMask) rights |= kRightAssignJobs;
      if ((s & kUnitHoldsApplications) && !IsNoAutGuid(object->guid))
        rights |= kRightAnalyzeAut | kRightConfigureAut | kRightManageLicenses;
      if (s & kUnitHoldsOperatingSystems) rights |= kRightManageLicenses;
      if (s & kUnitSyncsToSentra) rights |= kRightSyncToSentra;
      return rights;
    }
    case kTypeOperatingSystem:
      return kRightManageLicenses;
    case kTypeSoftwareApplication:
      if (!object || IsNoAutGuid(object->guid)) return 0;
      return kRightAnalyzeAut | kRightConfigureAut | kRightManageLicenses;
    case kTypeJob:
      return kRightAssignTarget | kRightControlJob | kRightEditAutoAssign;
    case kTypeGroup:
      return 0x3F0C0;
    case kTypeSystem:
      return 0x3F000;
    case kTypeDirectoryObject:
      return kRightAssignJobs;
    default:
      return 0;
  }
}

bool OVOObjectRights::GetRightName(uint32_t objectType, uint32_t supportedObjects, uint32_t right, String& name) {
  switch (right) {
    case kRightFullControl: name = OFLTools::LoadResString(7014); return true;
    case kRightRead: name = OFLTools::LoadResString(7015); return true;
    case kRightChange: name = OFLTools::LoadResString(7016); return true;
    case kRightDelete: name = OFLTools::LoadResString(7017); return true;
    default: break;
  }
  if (objectType < kTypeOrgUnit || objectType > kTypeDirectoryObject) return false;
  if (objectType == kTypeOrgUnit && right == kRightSyncToSentra) {
    if (supportedObjects & kUnitSyncsToSentra) name = OFLTools::LoadResString(7298);
    return true;
  }
  const char* prefix;
  const uint32_t id = RightNameId(objectType, supportedObjects, right, prefix);
  if (id == 0) return false;
  name = prefix + OFLTools::LoadResString(id);
  return true;
}

String OVOObjectRights::GetShortRightNames(uint32_t objectType, uint32_t rights, bool specialOnly) {
  String out;
  if (!specialOnly) {
    AddShortName(out, rights, kRightFullControl, "F");
    AddShortName(out, rights, kRightRead, "R");
    AddShortName(out, rights, kRightChange, "W");
    AddShortName(out, rights, kRightDelete, "X");
  }
  const uint32_t t = objectType;
  if (t == kTypeOrgUnit || t == kTypeGroup) {
    AddShortName(out, rights, kRightCreateOrgUnit, "CrOrgUnit");
    AddShortName(out, rights, kRightCreateObject, "CrObject");
  }
  if (t == kTypeOrgUnit) {
    AddShortName(out, rights, kRightManageLicenses, "LicMgmt");
    AddShortName(out, rights, kRightSyncToSentra, "SyncSentra");
  }
  if (t == kTypeOrgUnit || t == kTypeJob) {
    const std::string_view prefix = t == kTypeOrgUnit ? "Job:" : "";
    AddShortName(out, rights, kRightAssignTarget, "AssignTrg", prefix);
    AddShortName(out, rights, kRightControlJob, "Control", prefix);
    AddShortName(out, rights, kRightEditAutoAssign, "EdAutoAss", prefix);
  }
  if (t == kTypeOrgUnit || t == kTypeGroup || t == kTypeSystem || t == kTypeDirectoryObject) {
    AddShortName(out, rights, kRightAssignJobs, "AssignJob");
    AddShortName(out, rights, kRightRemoteControl, "RemoteControl");
    AddShortName(out, rights, kRightBitLocker, "BitLocker");
    AddShortName(out, rights, kRightScheduleJobsImmediately, "ScheduleJobsImmediately");
    AddShortName(out, rights, kRightConfigureAut, "AUTConfig");
    AddShortName(out, rights, kRightAnalyzeAut, "AUTView");
  }
  if (t == kTypeSoftwareApplication) {
    AddShortName(out, rights, kRightConfigureAut, "AUTConfig");
    AddShortName(out, rights, kRightAnalyzeAut, "AUTView");
  }
  if (t == kTypeOperatingSystem || t == kTypeSoftwareApplication)
    AddShortName(out, rights, kRightManageLicenses, "LicMgmt");
  return out;
}

uint32_t OVOObjectRights::GetRightsFromNames(uint32_t /*objectType*/, const String& names) {
  uint32_t rights = 0;
  for (std::string_view token : OFLTokenizer(names, ",")) {
    const size_t colon = token.find(':');
    if (colon != std::string_view::npos) token.remove_prefix(colon + 1);
    for (const ShortName& n : kReadableNames) {
      if (OFL::EqualsNoCase(token, n.name)) {
        rights |= n.bit;
        break;
      }
    }
  }
  return rights;
}

}  // namespace orvacmn
