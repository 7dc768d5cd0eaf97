// Assets, inventory scans, files, nodes and templates, provisioning, energy profiles and
// policies, and the revision log.
#include <string>
#include <utility>
#include <vector>

#include "define_operations.h"
#include "orvacmn/energy/policy.h"
#include "orvacmn/energy/profile.h"
#include "orvacmn/records/keyed_records.h"

namespace orvacmn {

ORVACMN_ASSET_FAMILY_OPERATIONS(ORVACMN_DEFINE_FAMILY_OPERATIONS)

HRESULT CDBAccess::LoadAsset(const String& owner, const String& type, OVO::AssetList& assets, String& out,
                             uint32_t flags) {
  std::vector<RecordCondition> conditions;
  if (!owner.empty()) conditions.emplace_back("AssetOwner", owner);
  if (!type.empty()) conditions.emplace_back("AssetType", type);
  return LoadList<OVO::Asset>(*this, ORVACMN_FAMILY_ROW(Asset), {}, conditions, flags, assets, out);
}

HRESULT CDBAccess::DeleteAssetReference(const String& asset, const String& target, uint32_t targetType,
                                        String& out) {
  return DeleteOne(*this, ORVACMN_FAMILY_ROW(AssetReference), {asset, target, std::to_string(targetType)}, out);
}

HRESULT CDBAccess::LoadInventoryFile(const String& path, const String& name, const String& scan,
                                     const String& machine, String& record, String& out, uint32_t flags,
                                     bool* found) {
  CRecordText text;
  const HRESULT hr = LoadOne(*this, ORVACMN_FAMILY_ROW(InventoryFile), {path, name, scan, machine}, text, out, flags,
                             found);
  if (!text.text.empty()) record = std::move(text.text);
  return hr;
}

HRESULT CDBAccess::CreateInventoryFile(const String& record, String& out) {
  return CreateOne(*this, ORVACMN_FAMILY_ROW(InventoryFile), CRecordText{record}, out);
}

HRESULT CDBAccess::SaveInventoryFile(const String& record, String& out) {
  return SaveOne(*this, ORVACMN_FAMILY_ROW(InventoryFile), CRecordText{record}, out);
}

HRESULT CDBAccess::CreateInventoryNode(const String& record, String& out) {
  return CreateOne(*this, ORVACMN_FAMILY_ROW(InventoryNode), CRecordText{record}, out);
}

HRESULT CDBAccess::CreateRevisionLogEntry(const String& record, String& out) {
  return CreateOne(*this, ORVACMN_FAMILY_ROW(RevisionLogEntry), CRecordText{record}, out);
}

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
