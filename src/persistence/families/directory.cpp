// The directory: settings, organisational units, groups, directory objects, security.
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

namespace orvacmn {

ORVACMN_DIRECTORY_FAMILY_OPERATIONS(ORVACMN_DEFINE_FAMILY_OPERATIONS)

HRESULT CDBAccess::LoadOrgUnit(const String& parent, const String& name, OVOOrgUnit& unit, String& out,
                               uint32_t flags) {
  const RecordFamily& family = ORVACMN_FAMILY_ROW(OrgUnit);
  OVOOrgUnitList found;
  const HRESULT hr =
      LoadList<OVOOrgUnit>(*this, family, {}, {{"GUIDParent", parent}, {"Name", name}}, flags, found, out);
  if (FAILED(hr)) return hr;
  if (found.IsEmpty()) {
    out = FormatNotFound(family.notFoundText, {name});
    return family.notFoundStatus;
  }
  unit.Unpack(found.GetHead()->Pack());
  return hr;
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
