// Assets, inventory scans and templates, provisioning, energy profiles and policies.
#include "define_operations.h"
#include "orvacmn/energy/policy.h"
#include "orvacmn/energy/profile.h"
#include "orvacmn/records/keyed_records.h"

namespace orvacmn {

ORVACMN_ASSET_FAMILY_OPERATIONS(ORVACMN_DEFINE_FAMILY_OPERATIONS)

HRESULT CDBAccess::MoveAssetReference(const String& asset, const String& target, uint32_t targetType, String& out) {
  const HRESULT hr = DeleteAssetReference(asset, out);
  if (FAILED(hr)) return hr;
  OVO::AssetReference reference;
  reference.SetGUIDAsset(asset);
  reference.SetGUIDTarget(target);
  reference.SetTargetType(targetType);
  return CreateAssetReference(reference, out);
}

}  // namespace orvacmn
