// The directory: settings, organisational units, groups, directory objects, security, and
// the custom variable definitions.
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "define_operations.h"
#include "ofl/string.h"
#include "ofl/tokenizer.h"
#include "orvacmn/objects/object_rights.h"
#include "orvacmn/directory/dynamic_group.h"
#include "orvacmn/directory/security_profile.h"
#include "orvacmn/records/keyed_records.h"
#include "orvacmn/system/ad_object.h"
#include "orvacmn/system/domain.h"
#include "orvacmn/variables/custom_var_def.h"

namespace orvacmn {
namespace {

// Every group of the store, indexed by parent (case ignored): the hierarchy
// is assembled from one list load, whatever its depth.
class GroupForest {
 public:
  HRESULT Load(CDBAccess& db, String& out) {
    return ForEachRecord(db, FamilyOf<kRecordTypeGroup>(), {}, {}, kLoadAllFlags, out, [this](const String& record) {
      auto group = std::make_unique<OVOGroup>(record);
      children_[OFL::ToLower(group->GetGUIDParent())].push_back(groups_.size());
      groups_.push_back(std::move(group));
    });
  }
  // The child of `parent` named `name` (case ignored), or null.
  const OVOGroup* Child(const String& parent, const String& name) const {
    for (const size_t i : ChildrenOf(parent))
      if (OFL::EqualsNoCase(groups_[i]->GetName(), name)) return groups_[i].get();
    return nullptr;
  }
  // Moves the groups below `root` into `into`, parents before children, each
  // once (a cycle in the parents ends where it closes). They leave the forest.
  void MoveDescendants(const String& root, OVOGroupList& into) {
    std::set<String> seen{OFL::ToLower(root)};
    std::vector<size_t> level = ChildrenOf(root);
    while (!level.empty()) {
      std::vector<size_t> next;
      for (const size_t i : level) {
        if (!groups_[i] || !seen.insert(OFL::ToLower(groups_[i]->GetGUID())).second) continue;
        const auto& below = ChildrenOf(groups_[i]->GetGUID());
        next.insert(next.end(), below.begin(), below.end());
        into.AddTail(groups_[i].release());
      }
      level.swap(next);
    }
  }

 private:
  const std::vector<size_t>& ChildrenOf(const String& parent) const {
    static const std::vector<size_t> kNone;
    const auto at = children_.find(OFL::ToLower(parent));
    return at == children_.end() ? kNone : at->second;
  }

  std::vector<std::unique_ptr<OVOGroup>> groups_;
  std::map<String, std::vector<size_t>> children_;  // indexes into groups_
};

}  // namespace

ORVACMN_DIRECTORY_FAMILY_OPERATIONS(ORVACMN_DEFINE_FAMILY_OPERATIONS)

HRESULT CDBAccess::LoadGroupChildrenRecursive(const String& parent, OVOGroupList& groups, String& out) {
  GroupForest forest;
  const HRESULT hr = forest.Load(*this, out);
  if (SUCCEEDED(hr)) forest.MoveDescendants(parent, groups);
  return hr;
}

HRESULT CDBAccess::LoadGroupTree(const String& root, OVOGroupList& tree, String& out) {
  GroupForest forest;
  HRESULT hr = forest.Load(*this, out);
  if (FAILED(hr)) return hr;
  if (!root.empty()) {
    auto top = std::make_unique<OVOGroup>();
    if (FAILED(hr = LoadGroup(root, *top, out))) return hr;
    tree.AddTail(top.release());
  }
  forest.MoveDescendants(root, tree);
  return hr;
}

HRESULT CDBAccess::ResolveGroup(const String& path, OVOGroup& group, String& out) {
  GroupForest forest;
  const HRESULT hr = forest.Load(*this, out);
  if (FAILED(hr)) return hr;
  const OVOGroup* at = nullptr;
  for (const String& name : OFLTokenizer(path, "\\")) {
    if (name.empty()) continue;
    at = forest.Child(at != nullptr ? at->GetGUID() : String(), name);
    if (at == nullptr) break;
  }
  if (at == nullptr) {
    const RecordFamily& family = ORVACMN_FAMILY_ROW(Group);
    out = FormatNotFound(family.notFoundText, {path});
    return family.notFoundStatus;
  }
  group.Unpack(at->Pack());
  return hr;
}

HRESULT CDBAccess::LoadOrgUnit(const String& parent, const String& name, OVOOrgUnit& unit, String& out,
                               uint32_t flags) {
  const RecordFamily& family = ORVACMN_FAMILY_ROW(OrgUnit);
  return LoadFirstWhere(*this, family, {{"GUIDParent", parent}, {"Name", name}}, unit, out,
                        NotFoundOf(family, AsSpan({name})), flags);
}

HRESULT CDBAccess::LoadADObject(OVOADObject& object, String& out, uint32_t flags, bool* found) {
  const RecordFamily& family = ORVACMN_FAMILY_ROW(ADObject);
  const String name = object.GetName();
  return LoadFirstWhere(*this, family, {{"Name", name}}, object, out, NotFoundOf(family, AsSpan({name})), flags,
                        found);
}

HRESULT CDBAccess::LoadCustomVarDefs(OVOCustomVarDefList& defs, String& out, uint32_t flags) {
  return ForEachRecord(*this, ORVACMN_FAMILY_ROW(CustomVarDef), {}, {}, flags, out, [&defs](const String& record) {
    defs.AddTail(std::make_shared<OVOCustomVarDef>(record));
  });
}

HRESULT CDBAccess::LoadDynamicGroups(const String& orgUnit, OVODynamicGroupList& list, String& out, uint32_t flags) {
  return LoadList<OVODynamicGroup>(*this, ORVACMN_FAMILY_ROW(DynamicGroup), {}, {{"OrgUnit", orgUnit}}, flags, list,
                                   out);
}

HRESULT CDBAccess::GetOrgUnitPath(const String& guid, OVOOrgUnitList& path, String& out) {
  std::vector<std::unique_ptr<OVOOrgUnit>> upward;
  std::set<String> seen;
  for (String next = guid; !next.empty();) {
    if (!seen.insert(OFL::ToLower(next)).second) {
      out = "The parents of organisational unit [" + guid + "] form a cycle at [" + next + "]";
      return E_INVALIDARG;
    }
    auto unit = std::make_unique<OVOOrgUnit>();
    const HRESULT hr = LoadOrgUnit(next, *unit, out);
    if (FAILED(hr)) return hr;
    next = unit->GetGUIDParent();
    upward.push_back(std::move(unit));
  }
  for (auto at = upward.rbegin(); at != upward.rend(); ++at) path.AddTail(at->release());
  out.clear();
  return S_OK;
}

HRESULT CDBAccess::GrantOnOrgUnits(const String& orgUnits, const std::vector<String>& grantees, String& out) {
  static constexpr uint32_t kAllRights = 0x7FFFFFFF;
  for (const String& guid : OFLTokenizer(orgUnits, ";")) {
    if (guid.empty()) continue;
    OVOOrgUnit unit;
    HRESULT hr = LoadOrgUnit(guid, unit, out);
    if (FAILED(hr)) return hr;
    OVOObjectRights rights = unit.GetObjectRights();
    rights.SetInheritedFlag(false);
    for (const String& grantee : grantees) rights.SetRights(grantee, kAllRights);
    unit.SetObjectRights(rights);
    if (FAILED(hr = SaveOrgUnit(unit, out))) return hr;
  }
  out.clear();
  return S_OK;
}

HRESULT CDBAccess::SetFullAccessForSecurableRootOrgUnits(const String& orgUnits, const String& identity,
                                                         String& out) {
  return GrantOnOrgUnits(orgUnits, {identity}, out);
}

HRESULT CDBAccess::SetObjectSecurityforProfileList(const String& orgUnits, const String& profiles, String& out) {
  std::vector<String> list;
  if (!ParseRecordKey(profiles, list)) {
    out = "The profile list is not a length-packed list";
    return E_INVALIDARG;
  }
  return GrantOnOrgUnits(orgUnits, list, out);
}

HRESULT CDBAccess::SaveObjectRights(const String& guid, const OVOObjectRights& rights, String& out) {
  out = rights.Pack();
  return SaveRecord(kRecordTypeObjectRights, FamilyKey(ORVACMN_FAMILY_ROW(ObjectRights), {guid}, false), out);
}

}  // namespace orvacmn
