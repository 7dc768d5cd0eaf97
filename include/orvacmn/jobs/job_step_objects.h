// Objects nested in job steps whose inner form this library does not
// interpret: operating-system images, boot environments, cloning, backup and
// restore options, encryption, update, inventory, compliance, virtual-machine
// and network-scan profiles.
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

namespace orvacmn {

// Keeps what it does not read; see OVOKeptChildrenObject.
using OVOOpaqueObject = OVOKeptChildrenObject;

// The operating system a deployment installs ("SoftwareOS").
class OVOSoftwareOS : public OVOOpaqueObject {
 public:
  OVOSoftwareOS() : OVOOpaqueObject(CatalogueEntryFor("OVOSoftwareOS")) {}
};

// The boot environment a boot image starts ("BootEnvironment").
class OVOBootEnvironment : public OVOOpaqueObject {
 public:
  OVOBootEnvironment() : OVOOpaqueObject(CatalogueEntryFor("OVOBootEnvironment")) {}
};

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

// Profile of a virtual machine to create ("VMProvisioningProfile").
class CVMProvisioningProfile : public OVOOpaqueObject {
 public:
  CVMProvisioningProfile() : OVOOpaqueObject(CatalogueEntryFor("CVMProvisioningProfile")) {}
};

namespace OVO {

// The template of an inventory scan ("OVOInventoryTemplate").
class InventoryTemplate : public OVOOpaqueObject {
 public:
  InventoryTemplate() : OVOOpaqueObject(CatalogueEntryFor("OVO::InventoryTemplate")) {}
};

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

// What a network scan asks of the devices it finds ("SnmpScanProfile").
class SnmpScanProfile : public OVOOpaqueObject {
 public:
  SnmpScanProfile() : OVOOpaqueObject(CatalogueEntryFor("OVO::SnmpScanProfile")) {}
};

}  // namespace OVO
}  // namespace orvacmn

#endif  // ORVACMN_JOBS_JOB_STEP_OBJECTS_H_
