#include "orvacmn/variables/custom_var_def.h"

#include <map>
#include <utility>
#include <vector>

#include "ofl/tools.h"
#include "orvacmn/variables/vars.h"

namespace orvacmn {

namespace {

const char kDefObjectName[] = "CustomVarDef";
const char kListObjectName[] = "CustomVarDefList";

const char kGuid[] = "Guid";
const char kScope[] = "Scope";
const char kCategory[] = "Category";
const char kInherited[] = "Inherited";
const char kName[] = "Name";
const char kType[] = "Type";
const char kReadOnly[] = "ReadOnly";
const char kData[] = "Data";
const char kComment[] = "Comment";
const char kCommentReal[] = "CommentReal";

// Display text resources by type value.
constexpr uint32_t kTypeResource[] = {7116, 7109, 7111, 7113, 7112, 7115, 7114, 7110, 7132, 7224};
// GetIntTypeFromString tries the types in this order.
constexpr uint32_t kTypeMatchOrder[] = {1, 7, 2, 4, 3, 6, 5, 8, 9};
// GetTypeList lists the types in this order.
constexpr uint32_t kTypeMenuOrder[] = {0, 5, 1, 7, 2, 4, 3, 6, 8, 9};

constexpr uint32_t kResYes = 7135;
constexpr uint32_t kResNo = 7136;

struct ScopeName {
  const char* code;
  const char* display;
};
constexpr ScopeName kScopes[] = {
    {"__MACHINE__", "Client"},   {"__ADOBJECT__", "ADObject"},   {"__PROFILE__", "Profile"},
    {"__GROUP__", "Group"},      {"__SOFTWARE__", "Software"},   {"__COMPONENT__", "Component"},
    {"__BULLETIN__", "Bulletin"}, {"__JOB__", "Job"},            {"__JOBPARAM__", "JobParam"},
};

}  // namespace

// ---------------------------------------------------------------------------
// OVOCustomVarDef

OVOCustomVarDef::OVOCustomVarDef(const String& xml) : OVOXMLSupport(kDefObjectName, kSchema50001) {
  if (!xml.empty()) Unpack(xml);
}

OVOCustomVarDef::OVOCustomVarDef(OVOCustomVarDef&& other) noexcept
    : OVOXMLSupport(kDefObjectName, kSchema50001),
      guid_(std::move(other.guid_)),
      scope_(std::move(other.scope_)),
      category_(std::move(other.category_)),
      name_(std::move(other.name_)),
      type_(other.type_),
      readOnly_(other.readOnly_),
      inherited_(other.inherited_),
      data_(std::move(other.data_)),
      comment_(std::move(other.comment_)),
      commentReal_(std::move(other.commentReal_)) {}

OVOCustomVarDef& OVOCustomVarDef::operator=(OVOCustomVarDef&& other) noexcept {
  if (this != &other) {
    guid_ = std::move(other.guid_);
    scope_ = std::move(other.scope_);
    category_ = std::move(other.category_);
    name_ = std::move(other.name_);
    type_ = other.type_;
    readOnly_ = other.readOnly_;
    inherited_ = other.inherited_;
    data_ = std::move(other.data_);
    comment_ = std::move(other.comment_);
    commentReal_ = std::move(other.commentReal_);
  }
  return *this;
}

String OVOCustomVarDef::GetDisplayName() const { return category_ + ":" + name_; }

int OVOCustomVarDef::SplitDisplayName(const String& displayName, String& category, String& name) {
  // Exactly one ":" makes two parts; either part may be empty, so the display
  // name of a definition without category splits back.
  const size_t colon = displayName.find(':');
  if (colon == String::npos || displayName.find(':', colon + 1) != String::npos) return 0;
  category = displayName.substr(0, colon);
  name = displayName.substr(colon + 1);
  return 1;
}

String OVOCustomVarDef::GetStringTypeFromInt(uint32_t type) {
  return OFLTools::LoadResString(type <= eCertificate ? kTypeResource[type] : kTypeResource[eString]);
}

uint32_t OVOCustomVarDef::GetIntTypeFromString(const String& text) {
  for (const uint32_t type : kTypeMatchOrder) {
    if (OFL::EqualsNoCase(text, GetStringTypeFromInt(type))) return type;
  }
  return eString;
}

void OVOCustomVarDef::GetTypeList(OFLTokenizer& list) {
  for (const uint32_t type : kTypeMenuOrder) list.AddString(GetStringTypeFromInt(type));
}

String OVOCustomVarDef::GetScopeDisplayName(const String& scope) {
  for (const ScopeName& s : kScopes) {
    if (scope == s.code) return s.display;
  }
  return scope;
}

String OVOCustomVarDef::FormatValueForDisplay(ECustomVarType type, const String& value) {
  switch (type) {
    case eYesNo:
      return OFLTools::LoadResString(OFL::EqualsNoCase(value, "T") ? kResYes : kResNo);
    case eDate: {
      String out;
      return OVOVars::ShortDateStringFromValue(value, out) ? out : String();
    }
    case ePassword:
      return "****";
    default:
      return value;
  }
}

String OVOCustomVarDef::GetDataForDisplay() const { return FormatValueForDisplay(type_, data_); }

String OVOCustomVarDef::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kGuid, guid_);
  OFLTools::AppendXMLNode(out, kScope, scope_);
  OFLTools::AppendXMLNode(out, kCategory, category_);
  out += OFLTools::MakeXMLNode(kInherited, inherited_);
  OFLTools::AppendXMLNode(out, kName, name_);
  out += OFLTools::MakeXMLNode(kType, static_cast<uint32_t>(type_));
  out += OFLTools::MakeXMLNode(kReadOnly, readOnly_);
  OFLTools::AppendXMLNode(out, kData, data_);
  OFLTools::AppendXMLNode(out, kComment, comment_);
  OFLTools::AppendXMLNode(out, kCommentReal, commentReal_);
  return out;
}

void OVOCustomVarDef::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kGuid)) {
      guid_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kScope)) {
      scope_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kCategory)) {
      category_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kInherited)) {
      inherited_ = OFL::CRT::atol(p.GetChildData());
    } else if (OFL::EqualsNoCase(tag, kName)) {
      name_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kType)) {
      type_ = static_cast<ECustomVarType>(OFLTools::AToUL(p.GetChildData()));
    } else if (OFL::EqualsNoCase(tag, kReadOnly)) {
      readOnly_ = OFL::CRT::atol(p.GetChildData());
    } else if (OFL::EqualsNoCase(tag, kData)) {
      data_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kComment)) {
      comment_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kCommentReal)) {
      commentReal_ = p.GetChildData();
    }
  });
}

void OVOCustomVarDef::InternalClear() {
  guid_.clear();
  scope_.clear();
  category_.clear();
  name_.clear();
  type_ = eString;
  readOnly_ = 0;
  inherited_ = 0;
  data_.clear();
  comment_.clear();
  commentReal_.clear();
}

// ---------------------------------------------------------------------------
// OVOCustomVarDefList

OVOCustomVarDefList::OVOCustomVarDefList(const String& xml) : OVOXMLSupport(kListObjectName, kSchema50001) {
  if (!xml.empty()) Unpack(xml);
}

OVOCustomVarDefList::~OVOCustomVarDefList() = default;

OVOCustomVarDefList::Position OVOCustomVarDefList::AddTail(std::shared_ptr<OVOCustomVarDef> def) {
  if (!def) return defs_.end();
  defs_.push_back(std::move(def));
  return std::prev(defs_.end());
}

std::shared_ptr<OVOCustomVarDef> OVOCustomVarDefList::Find(const String& category, const String& name,
                                                           Position* pos) {
  for (auto it = defs_.begin(); it != defs_.end(); ++it) {
    const OVOCustomVarDef& d = **it;
    if (OFL::EqualsNoCase(d.GetCategory(), category) && OFL::EqualsNoCase(d.GetName(), name)) {
      if (pos != nullptr) *pos = it;
      return *it;
    }
  }
  return nullptr;
}

std::shared_ptr<const OVOCustomVarDef> OVOCustomVarDefList::Find(const String& category,
                                                                 const String& name) const {
  return const_cast<OVOCustomVarDefList*>(this)->Find(category, name, nullptr);
}

namespace {

// (Category, Name) without regard to case. The keys are copies: re-reading a
// definition during Merge rewrites its own strings.
struct KeyLess {
  bool operator()(const std::pair<String, String>& a, const std::pair<String, String>& b) const {
    const int c = OFL::CompareNoCase(a.first, b.first);
    return c != 0 ? c < 0 : OFL::CompareNoCase(a.second, b.second) < 0;
  }
};

}  // namespace

void OVOCustomVarDefList::Merge(const OVOCustomVarDefList& other, bool overwrite, bool markAllInherited) {
  // The definitions callers modify through Find are not tracked, so the index
  // is built per merge; a lookup per definition keeps a merge O(n log n).
  std::map<std::pair<String, String>, OVOCustomVarDef*, KeyLess> index;
  for (const auto& d : defs_) index.emplace(std::make_pair(d->GetCategory(), d->GetName()), d.get());

  // A snapshot, so merging a list into itself does not walk what it appends.
  const std::vector<std::shared_ptr<OVOCustomVarDef>> incoming(other.defs_.begin(), other.defs_.end());
  for (const auto& d : incoming) {
    d->SetInherited(1);
    auto key = std::make_pair(d->GetCategory(), d->GetName());
    const auto found = index.find(key);
    if (found == index.end()) {
      defs_.push_back(d);
      index.emplace(std::move(key), d.get());
    } else if (overwrite && found->second != d.get()) {
      found->second->Unpack(d->Pack());
    }
  }
  if (markAllInherited) {
    for (const auto& d : defs_) d->SetInherited(1);
  }
}

String OVOCustomVarDefList::Pack() const { return Pack(false); }

String OVOCustomVarDefList::Pack(bool ownOnly) const {
  String out = GetObjectOpeningTag();
  for (const auto& d : defs_) {
    if (ownOnly && d->GetInherited() != 0) continue;
    out += d->Pack();
  }
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

void OVOCustomVarDefList::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (!OFL::EqualsNoCase(tag, kDefObjectName)) return;
    auto def = std::make_shared<OVOCustomVarDef>();
    def->Unpack(p);  // from the parser: the child's tag may differ in case
    defs_.push_back(std::move(def));
  });
}

void OVOCustomVarDefList::InternalClear() { DeleteObjects(); }

void OVOCustomVarDefList::DeleteObjects() { defs_.clear(); }

bool OVOCustomVarDefList::operator==(const OVOCustomVarDefList& other) const { return Pack() == other.Pack(); }

}  // namespace orvacmn
