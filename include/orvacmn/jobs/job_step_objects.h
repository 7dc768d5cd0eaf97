// Objects nested in job steps whose inner form this library does not
// interpret: cloning, backup and restore options, encryption, update and
// compliance profiles. The operating systems, boot environments, inventory
// templates, virtual-machine and network-scan profiles that steps also nest
// are records of the object store (orvacmn/records/keyed_records.h).
//
// Each keeps every child element it does not read, in document order, and
// writes them back unchanged after the fields it knows, so nothing is lost on
// a round trip. Each class packs under its catalogued object name (internal
// style).
//
// Objects carry no locks; use each from one thread at a time.
#ifndef ORVACMN_JOBS_JOB_STEP_OBJECTS_H_
#define ORVACMN_JOBS_JOB_STEP_OBJECTS_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "orvacmn/records/kept_children_object.h"
#include "orvacmn/records/keyed_records.h"

namespace orvacmn {

// Keeps what it does not read; see OVOKeptChildrenObject.
using OVOOpaqueObject = OVOKeptChildrenObject;

// Options of an operating-system cloning backup ("OSCloningBackupOptions").
class OVOOSCloningBackupOptions : public OVOOpaqueObject {
 public:
  OVOOSCloningBackupOptions() : OVOOpaqueObject(CatalogueEntryFor("OVOOSCloningBackupOptions")) {}
};

// What a disaster backup saves ("DesasterBackup").
class OVODesasterBackup : public OVOOpaqueObject {
 public:
  OVODesasterBackup() : OVOOpaqueObject(CatalogueEntryFor("OVODesasterBackup")) {}
};

// What a disaster restore brings back ("DesasterRestore"). Its one known
// field, "RestoreOptions" (unsigned 32-bit, default 0, written first), holds
// the flag of the legacy restore.
class OVODesasterRestore : public OVOOpaqueObject {
 public:
  static constexpr uint32_t kRestoreOptionLegacy = 0x1;

  OVODesasterRestore() : OVOOpaqueObject(CatalogueEntryFor("OVODesasterRestore")) {}

  uint32_t GetRestoreOptions() const { return restoreOptions_; }
  void SetRestoreOptions(uint32_t v) { restoreOptions_ = v; }
  bool IsLegacyRestore() const { return (restoreOptions_ & kRestoreOptionLegacy) != 0; }

 protected:
  void PackKnown(String& out) const override;
  bool ReadKnown(std::string_view tag, OFLXMLParser& parser) override;
  void ClearKnown() override { restoreOptions_ = 0; }

 private:
  uint32_t restoreOptions_ = 0;
};

namespace OVO {

// Drive-encryption settings ("BitLockerProfile").
class BitLockerProfile : public OVOOpaqueObject {
 public:
  BitLockerProfile() : OVOOpaqueObject(CatalogueEntryFor("OVO::BitLockerProfile")) {}
};

// Settings of the update agent for patch steps ("WuaJobStepSettings").
class OVOWuaJobStepSettings : public OVOOpaqueObject {
 public:
  OVOWuaJobStepSettings() : OVOOpaqueObject(CatalogueEntryFor("OVO::OVOWuaJobStepSettings")) {}
};

// Rules of a compliance scan ("ComplianceScanProfile").
class ComplianceScanProfile : public OVOOpaqueObject {
 public:
  ComplianceScanProfile() : OVOOpaqueObject(CatalogueEntryFor("OVO::ComplianceScanProfile")) {}
};

}  // namespace OVO
}  // namespace orvacmn

#endif  // ORVACMN_JOBS_JOB_STEP_OBJECTS_H_
