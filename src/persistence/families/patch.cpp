// Patch management: products, bulletins, patches and the machines' states.
#include "define_operations.h"
#include "orvacmn/records/keyed_records.h"

namespace orvacmn {

ORVACMN_PATCH_FAMILY_OPERATIONS(ORVACMN_DEFINE_FAMILY_OPERATIONS)

HRESULT CDBAccess::DeletePTMPatch(const OVOPTMPatch& patch, String& out) {
  return DeletePTMPatch(patch.GetGUID(), out);
}

}  // namespace orvacmn
