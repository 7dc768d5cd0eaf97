// Software: products, bundles, operating systems, applications, drivers, downloads.
#include "define_operations.h"
#include "orvacmn/records/keyed_records.h"
#include "orvacmn/software/application.h"
#include "orvacmn/software/application_list.h"
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

}  // namespace orvacmn
