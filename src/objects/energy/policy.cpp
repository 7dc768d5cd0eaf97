#include "orvacmn/energy/policy.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace OVO {
namespace EnergyManagement {

namespace {

constexpr char kTagGuid[] = "GUID";
constexpr char kTagName[] = "Name";
constexpr char kTagComment[] = "Comment";
constexpr char kTagForce[] = "Force";
constexpr char kTagConditions[] = "Conditions";
constexpr char kTagTimestamp[] = "Timestamp";
constexpr char kTagConditionType[] = "ConditionType";
constexpr char kTagConditionParameters[] = "ConditionParameters";

constexpr std::string_view kConditionObjectName =
    CatalogueEntryFor("OVO::EnergyManagement::Policy::PolicyProfile").objectName;

constexpr uint32_t kResDuplicateCondition = 7206;
constexpr uint32_t kResUnknownCondition = 7207;
constexpr uint32_t kResNoCondition = 7208;

}  // namespace

// ---- PolicyProfile ----

Policy::PolicyProfile::PolicyProfile()
    : OVOXMLSupport(CatalogueEntryFor("OVO::EnergyManagement::Policy::PolicyProfile")) {}

Policy::PolicyProfile::PolicyProfile(const String& text) : PolicyProfile() {
  if (!text.empty()) Unpack(text);
}

bool Policy::PolicyProfile::operator==(const PolicyProfile& other) const {
  return type_ == other.type_ && parameters_ == other.parameters_ && profile_ == other.profile_;
}

String Policy::PolicyProfile::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kTagConditionType, uint32_t{type_});
  OFLTools::AppendXMLNode(out, kTagConditionParameters, parameters_);
  profile_.AppendPack(out);
  return out;
}

void Policy::PolicyProfile::InternalUnpack(OFLXMLParser& parser) {
  OFLXMLParser nested;  // reads a nested profile where it stands
  ForEachChild(parser, [&](const String& tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kTagConditionType)) {
      type_ = EnergyPolicyProfileConditionType(OFLTools::AToUL(p.GetChildDataView()));
    } else if (OFL::EqualsNoCase(tag, kTagConditionParameters)) {
      parameters_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, profile_.GetObjectName())) {
      // As Unpack of the child's markup: a later profile replaces an earlier one.
      profile_.Clear();
      nested.SetDocFromChild(p);
      UnpackLoadedRoot(profile_, nested);
    }
  });
}

void Policy::PolicyProfile::InternalClear() {
  type_ = eUserLoggedOn;
  parameters_.clear();
  profile_.Clear();
}

// ---- Policy ----

Policy::Policy() : OVOXMLSupport(CatalogueEntryFor("OVO::EnergyManagement::Policy")) {}

Policy::Policy(const String& text) : Policy() {
  if (!text.empty()) Unpack(text);
}

Policy::Policy(const Policy& other)
    : OVOXMLSupport(other),
      guid_(other.guid_),
      name_(other.name_),
      comment_(other.comment_),
      force_(other.force_),
      timestamp_(other.timestamp_) {
  conditions_.reserve(other.conditions_.size());
  for (const auto& c : other.conditions_) conditions_.push_back(std::make_unique<PolicyProfile>(*c));
}

Policy& Policy::operator=(const Policy& other) {
  if (this != &other) {
    Policy copy(other);  // a failed copy leaves this policy as it was
    OVOXMLSupport::operator=(other);
    guid_ = std::move(copy.guid_);
    name_ = std::move(copy.name_);
    comment_ = std::move(copy.comment_);
    force_ = copy.force_;
    conditions_ = std::move(copy.conditions_);
    timestamp_ = copy.timestamp_;
  }
  return *this;
}

Policy::~Policy() = default;

bool Policy::operator==(const Policy& other) const {
  if (force_ != other.force_ || timestamp_ != other.timestamp_ || name_ != other.name_ ||
      comment_ != other.comment_ || !OFL::EqualsNoCase(guid_, other.guid_) ||
      conditions_.size() != other.conditions_.size())
    return false;
  for (size_t i = 0; i < conditions_.size(); ++i)
    if (*conditions_[i] != *other.conditions_[i]) return false;
  return true;
}

Policy::PolicyProfile* Policy::AddEnergyPolicyProfile(std::unique_ptr<PolicyProfile> condition) {
  if (!condition) return nullptr;
  conditions_.push_back(std::move(condition));
  return conditions_.back().get();
}

CTime Policy::GetTimestamp() const {
  CTime latest = timestamp_;
  for (const auto& c : conditions_) latest = std::max(latest, c->GetEnergyProfile().GetTimestamp());
  return latest;
}

bool Policy::ValidateEnergyPolicy(String& error) const {
  if (conditions_.empty()) {
    error = OFLTools::LoadResString(kResNoCondition);
    return false;
  }
  uint32_t counts[eDesktopLocked + 1] = {};
  bool unknown = false;
  for (const auto& c : conditions_) {
    const uint32_t type = c->GetEnergyPolicyConditionType();
    if (type <= eDesktopLocked) ++counts[type];
    else unknown = true;
  }
  // Duplicates are reported first, even when an unknown type is present too.
  if (std::any_of(std::begin(counts), std::end(counts), [](uint32_t n) { return n >= 2; })) {
    error = OFLTools::LoadResString(kResDuplicateCondition);
    return false;
  }
  if (unknown) {
    error = OFLTools::LoadResString(kResUnknownCondition);
    return false;
  }
  return true;
}

String Policy::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kTagGuid, guid_);
  OFLTools::AppendXMLNode(out, kTagName, name_);
  OFLTools::AppendXMLNode(out, kTagComment, comment_);
  OFLTools::AppendXMLNode(out, kTagForce, int32_t{force_ ? 1 : 0});
  OFLTools::AppendXMLTag(out, kTagConditions);
  for (const auto& c : conditions_) c->AppendPack(out);
  OFLTools::AppendXMLTag(out, kTagConditions, true);
  OFLTools::AppendXMLNode(out, kTagTimestamp, OVOHelper::CTimeToDBTime(timestamp_));
  return out;
}

void Policy::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kTagGuid)) {
      guid_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kTagName)) {
      name_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kTagComment)) {
      comment_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kTagForce)) {
      force_ = OFL::CRT::atol(p.GetChildData()) != 0;
    } else if (OFL::EqualsNoCase(tag, kTagConditions)) {
      UnpackConditions(p);
    } else if (OFL::EqualsNoCase(tag, kTagTimestamp)) {
      timestamp_ = OVOHelper::DBTimeToCTime(p.GetChildData());
    }
  });
}

// The parser's child cursor stands on "Conditions"; it stands there again
// afterwards, so the caller's walk goes on with the next sibling. A second
// "Conditions" element adds its conditions after those of the first.
void Policy::UnpackConditions(OFLXMLParser& parser) {
  OFLXMLParser nested;  // one for all conditions
  parser.IntoElem();
  ForEachChild(parser, [&](const String& tag, OFLXMLParser& p) {
    if (!OFL::EqualsNoCase(tag, kConditionObjectName)) return;
    auto condition = std::make_unique<PolicyProfile>();
    nested.SetDocFromChild(p);
    UnpackLoadedRoot(*condition, nested);
    conditions_.push_back(std::move(condition));
  });
  parser.OutOfElem();
}

void Policy::InternalClear() {
  guid_.clear();
  name_.clear();
  comment_.clear();
  force_ = false;
  conditions_.clear();
  timestamp_ = 0;
}

void PolicyList::DeleteObjects() {
  for (Policy* p : *this) delete p;
  RemoveAll();
}

}  // namespace EnergyManagement
}  // namespace OVO
}  // namespace orvacmn
