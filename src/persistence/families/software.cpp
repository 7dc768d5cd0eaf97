// Software: products, bundles, operating systems, applications, drivers, install engines,
// downloads, scan rules and the rules applied to clients.
#include "define_operations.h"
#include "orvacmn/records/keyed_records.h"
#include "orvacmn/software/application.h"
#include "orvacmn/software/application_list.h"
#include "orvacmn/software/nested_objects.h"
#include "orvacmn/software/scan_rules.h"
#include "orvacmn/software/software_driver.h"

namespace orvacmn {

ORVACMN_SOFTWARE_FAMILY_OPERATIONS(ORVACMN_DEFINE_FAMILY_OPERATIONS)

HRESULT CDBAccess::LoadSoftwareDrivers(const String& osType, OVOSoftwareDriverList& list, String& out,
                                       uint32_t flags) {
  return LoadList<OVOSoftwareDriver>(*this, ORVACMN_FAMILY_ROW(SoftwareDriver), {}, {{"OSType", osType}}, flags, list,
                                     out);
}

HRESULT CDBAccess::UpdateInstalledSoftware(const OVOInstalledSoftware& software, String& out) {
  return SaveOne(*this, ORVACMN_FAMILY_ROW(InstalledSoftware), software, out);
}

HRESULT CDBAccess::FreeReservedLicense(const String& software, const String& key, String& out) {
  return DeleteOne(*this, ORVACMN_FAMILY_ROW(ReservedLicense), {software, key}, out);
}

HRESULT CDBAccess::LoadPatchableSoftwareApplications(OVOSoftwareApplicationList& list, String& out, uint32_t flags) {
  return LoadList<OVOSoftwareApplication>(*this, ORVACMN_FAMILY_ROW(SoftwareApplication), {}, {{"Patchable", "1"}},
                                          flags, list, out);
}

HRESULT CDBAccess::LoadFileDownloadStatesAsMap(OVOObjectMap<OVOFileDownloadState>& states, String& out,
                                               uint32_t flags) {
  return LoadMap(*this, ORVACMN_FAMILY_ROW(FileDownloadState), flags, states, out);
}

HRESULT CDBAccess::LoadSWScanRule(const String& guid, OVOSWScanAppRule& rule, String& out, uint32_t flags,
                                  bool* found) {
  // The GUID is no key: a condition, compared as it stands.
  const RecordFamily& family = ORVACMN_FAMILY_ROW(SWScanRule);
  return LoadFirstWhere(*this, family, {{"GUID", guid}}, rule, out, NotFoundOf(family, AsSpan({guid})), flags, found);
}

HRESULT CDBAccess::LoadSWScanRule(const String& vendor, const String& name, const String& version,
                                  OVOSWScanAppRule& rule, String& out, uint32_t flags, bool* found) {
  return LoadOne(*this, ORVACMN_FAMILY_ROW(SWScanRule), {vendor, name, version}, rule, out, flags, found);
}

HRESULT CDBAccess::LoadSWScanRule(OVOSWScanAppRule& rule, String& out, uint32_t flags, bool* found) {
  return LoadSWScanRule(String(rule.GetVendor()), String(rule.GetName()), String(rule.GetVersion()), rule, out, flags,
                        found);
}

HRESULT CDBAccess::DeleteSWScanRule(const String& guid, String& out) {
  return DeleteWhere(*this, ORVACMN_FAMILY_ROW(SWScanRule), {{"GUID", guid}}, out);
}

HRESULT CDBAccess::DeleteSWScanRule(const String& vendor, const String& name, const String& version, String& out) {
  return DeleteOne(*this, ORVACMN_FAMILY_ROW(SWScanRule), {vendor, name, version}, out);
}

HRESULT CDBAccess::DeleteSWScanRule(const String& vendor, const String& name, String& out) {
  return DeleteOne(*this, ORVACMN_FAMILY_ROW(SWScanRule), {vendor, name}, out);
}

}  // namespace orvacmn
