// The step kinds: each adds its own fields, written inside "StepData" in the
// order listed with the class, and keeps the base fields of OVOJobStep.
// Each field's default is written once, in the kind's Fields description;
// ClearStep and the constructors take it from there (scalars are zeroed
// at their declaration only so that no member is ever indeterminate).
//
// Every kind is constructed fresh (defaults as after ClearStep, type its
// own) or from a packed text: the text is unpacked and then the kind's own
// type is stored, whatever the "type" attribute said. A kind that serves
// several types is given the type to carry; another type gives its first.
//
// Nested objects are written with their own Pack and read from the child of
// their object name (tags compared without regard to case); an embedded
// step is an OVOJobStepBootImage written as its "JobStep" element.
//
// Objects carry no locks; use each from one thread at a time.
#ifndef ORVACMN_JOBS_JOB_STEP_KINDS_H_
#define ORVACMN_JOBS_JOB_STEP_KINDS_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "orvacmn/energy/policy.h"
#include "orvacmn/jobs/job_step.h"
#include "orvacmn/jobs/job_step_objects.h"
#include "orvacmn/objects/release_level.h"

namespace orvacmn {

// Kinds with no own data: "StepData" stays empty.
class OVOJobStepNoData : public OVOJobStep {
 public:
  void ClearStep() override {}
  String PackStepData() const override { return String(); }

 protected:
  using OVOJobStep::OVOJobStep;
  void ReadStepData(OFLXMLParser&) override {}
};

// 140: starts the boot client. "BootEnvironment".
class OVOJobStepBootImage : public OVOJobStep {
 public:
  explicit OVOJobStepBootImage(const String& text = String());

  OVOBootEnvironment& GetBootEnvironment() { return bootEnvironment_; }
  const OVOBootEnvironment& GetBootEnvironment() const { return bootEnvironment_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  OVOBootEnvironment bootEnvironment_;
};

// 10 (virtual): deploys an operating system. "SoftwareOS", "JobStep" (the
// boot image), "TargetDisk", "TargetPartition".
class OVOJobStepDeployOS : public OVOJobStep {
 public:
  explicit OVOJobStepDeployOS(const String& text = String());

  OVOSoftwareOS& GetSoftwareOS() { return softwareOS_; }
  const OVOSoftwareOS& GetSoftwareOS() const { return softwareOS_; }
  OVOJobStepBootImage& GetBootImageStep() { return bootImage_; }
  const OVOJobStepBootImage& GetBootImageStep() const { return bootImage_; }
  uint32_t GetTargetDisk() const { return targetDisk_; }
  void SetTargetDisk(uint32_t v) { targetDisk_ = v; }
  uint32_t GetTargetPartition() const { return targetPartition_; }
  void SetTargetPartition(uint32_t v) { targetPartition_ = v; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  OVOSoftwareOS softwareOS_;
  OVOJobStepBootImage bootImage_;
  uint32_t targetDisk_{};
  uint32_t targetPartition_{};
};

// 11 (virtual): installs patches. "UseUpdateProfileForSettings",
// "UseWuaForInstallation", "PerformFinalUpdateInventory",
// "DisableDeferQualityUpdatesGPO", "ScanContext", "DeployContext",
// "BulletinFilter", "WuaJobStepSettings".
class OVOJobStepPerformPatchUpdate : public OVOJobStep {
 public:
  explicit OVOJobStepPerformPatchUpdate(const String& text = String());

  bool GetUseUpdateProfileForSettings() const { return useUpdateProfile_; }
  void SetUseUpdateProfileForSettings(bool v) { useUpdateProfile_ = v; }
  bool GetUseWuaForInstallation() const { return useWua_; }
  void SetUseWuaForInstallation(bool v) { useWua_ = v; }
  bool GetPerformFinalUpdateInventory() const { return finalInventory_; }
  void SetPerformFinalUpdateInventory(bool v) { finalInventory_ = v; }
  bool GetDisableDeferQualityUpdatesGPO() const { return disableDefer_; }
  void SetDisableDeferQualityUpdatesGPO(bool v) { disableDefer_ = v; }
  const String& GetScanContext() const { return scanContext_; }
  void SetScanContext(const String& v) { scanContext_ = v; }
  const String& GetDeployContext() const { return deployContext_; }
  void SetDeployContext(const String& v) { deployContext_ = v; }
  const String& GetBulletinFilter() const { return bulletinFilter_; }
  void SetBulletinFilter(const String& v) { bulletinFilter_ = v; }
  OVO::OVOWuaJobStepSettings& GetWuaJobStepSettings() { return wua_; }
  const OVO::OVOWuaJobStepSettings& GetWuaJobStepSettings() const { return wua_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  bool useUpdateProfile_{};
  bool useWua_{};
  bool finalInventory_{};
  bool disableDefer_{};
  String scanContext_;
  String deployContext_;
  String bulletinFilter_;
  OVO::OVOWuaJobStepSettings wua_;
};

// 12 (virtual): installs a list of software items. "Software" holding one
// "<Entry type="T" name="N">text</Entry>" per item, in order.
class OVOJobStepInstallSoftware : public OVOJobStep {
 public:
  struct _InstallSoftwareEntry {
    int32_t type = 0;
    String name;
    String text;
    bool operator==(const _InstallSoftwareEntry&) const = default;
  };
  using Entries = std::vector<_InstallSoftwareEntry>;

  explicit OVOJobStepInstallSoftware(const String& text = String());

  const Entries& GetEntries() const { return entries_; }
  void AddEntry(int32_t type, const String& name, const String& text) { entries_.push_back({type, name, text}); }
  void RemoveAllEntries() { entries_.clear(); }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;
  // The items' names joined by ", ".
  String GetAppDisplayName() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  Entries entries_;
};

// 13 (virtual): updates managed software. "ScanContext", "DeployContext",
// "BulletinFilter", "ManagedAppsInFilter", "ReleaseLevel".
class OVOJobStepPerformManagedSoftwareUpdate : public OVOJobStep {
 public:
  explicit OVOJobStepPerformManagedSoftwareUpdate(const String& text = String());

  const String& GetScanContext() const { return scanContext_; }
  void SetScanContext(const String& v) { scanContext_ = v; }
  const String& GetDeployContext() const { return deployContext_; }
  void SetDeployContext(const String& v) { deployContext_ = v; }
  const String& GetBulletinFilter() const { return bulletinFilter_; }
  void SetBulletinFilter(const String& v) { bulletinFilter_ = v; }
  const String& GetManagedAppsInFilter() const { return managedApps_; }
  void SetManagedAppsInFilter(const String& v) { managedApps_ = v; }
  OVOReleaseLevel GetReleaseLevel() const { return releaseLevel_; }
  void SetReleaseLevel(OVOReleaseLevel v) { releaseLevel_ = v; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  String scanContext_;
  String deployContext_;
  String bulletinFilter_;
  String managedApps_;
  OVOReleaseLevel releaseLevel_;
};

// 14 (virtual) and, as OVOJobStepOSCloningBackupImaging, 143: an image of
// the installed system. "OSCloningBackupOptions", "JobStep" (the boot
// image). Type 14 may always run in the boot client, where the image is
// taken; it reports its state text.
class OVOJobStepOSCloningBackup : public OVOJobStep {
 public:
  explicit OVOJobStepOSCloningBackup(const String& text = String());

  OVOOSCloningBackupOptions& GetOptionsObject() { return options_; }
  const OVOOSCloningBackupOptions& GetOptionsObject() const { return options_; }
  OVOJobStepBootImage& GetBootImageStep() { return bootImage_; }
  const OVOJobStepBootImage& GetBootImageStep() const { return bootImage_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;
  bool MayRunOnBootclient(bool bootClientAllowed, bool expanded) const override;
  OVOJobStepStateDescription* GetStepStateDescriptionPtr() override { return &stateDescription_; }

 protected:
  explicit OVOJobStepOSCloningBackup(EStepType type);
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  OVOOSCloningBackupOptions options_;
  OVOJobStepBootImage bootImage_;
  OVOJobStepStateDescription stateDescription_;
};

// 143: the imaging part of a cloning backup, in the boot client.
class OVOJobStepOSCloningBackupImaging : public OVOJobStepOSCloningBackup {
 public:
  explicit OVOJobStepOSCloningBackupImaging(const String& text = String());
  String GetStepDescription() const override;
};

// Steps 15, 214, 216 and 218: "BitLockerProfileData", an element holding
// the "BitLockerProfile".
class OVOJobStepWithBitLockerProfile : public OVOJobStep {
 public:
  OVO::BitLockerProfile& GetBitLockerProfile() { return profile_; }
  const OVO::BitLockerProfile& GetBitLockerProfile() const { return profile_; }

  void ClearStep() override;
  String PackStepData() const override;

 protected:
  explicit OVOJobStepWithBitLockerProfile(EStepType type) : OVOJobStep(type) {}
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  OVO::BitLockerProfile profile_;
};

// 15 (virtual): switches on drive encryption.
class OVOJobStepTurnOnBitLocker : public OVOJobStepWithBitLockerProfile {
 public:
  explicit OVOJobStepTurnOnBitLocker(const String& text = String());
  String GetStepDescription() const override;
};

// 235: uninstalls updates. "PackageDeterminationMethod", "KBNumbers",
// "TextFilterPattern". The method travels as its number,
// the KB numbers as decimal numbers joined by ",".
class OVOJobStepMicrosoftUpdateUninstallation : public OVOJobStep {
 public:
  enum EPackageDeterminationMethod : uint32_t {
    eByKBNumbers = 0,
    eByTextFilter = 1,
  };

  explicit OVOJobStepMicrosoftUpdateUninstallation(const String& text = String());

  EPackageDeterminationMethod GetPackageDeterminationMethod() const { return method_; }
  void SetPackageDeterminationMethod(EPackageDeterminationMethod v) { method_ = v; }
  const std::vector<uint32_t>& GetKBNumbers() const { return kbNumbers_; }
  void SetKBNumbers(const std::vector<uint32_t>& v) { kbNumbers_ = v; }
  const String& GetTextFilterPattern() const { return textFilter_; }
  void SetTextFilterPattern(const String& v) { textFilter_ = v; }

  // The text forms. Any value is kept as read; KB numbers are read from
  // entries separated by ",", ";" or blanks, each optionally written with
  // "KB" before it (case ignored); an entry without digits reads as 0.
  static String SerializePackageDeterminationMethod(EPackageDeterminationMethod method);
  static EPackageDeterminationMethod DeserializePackageDeterminationMethod(std::string_view text);
  static String SerializeKBNumbers(const std::vector<uint32_t>& numbers);
  static std::vector<uint32_t> DeserializeKBNumbers(std::string_view text);

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  explicit OVOJobStepMicrosoftUpdateUninstallation(EStepType type) : OVOJobStep(type) {}
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  EPackageDeterminationMethod method_{};
  std::vector<uint32_t> kbNumbers_;
  String textFilter_;
};

// 16 (virtual): removes updates; the data of type 235, then
// "PerformFinalUpdateInventory" and "UpdateInventorySource".
class OVOJobStepRemoveMicrosoftUpdates : public OVOJobStepMicrosoftUpdateUninstallation {
 public:
  explicit OVOJobStepRemoveMicrosoftUpdates(const String& text = String());

  bool GetPerformFinalUpdateInventory() const { return finalInventory_; }
  void SetPerformFinalUpdateInventory(bool v) { finalInventory_ = v; }
  uint32_t GetUpdateInventorySource() const { return inventorySource_; }
  void SetUpdateInventorySource(uint32_t v) { inventorySource_ = v; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  bool finalInventory_{};
  uint32_t inventorySource_{};
};

// 120 and 121: an inventory scan. "OVOInventoryTemplate". Runs in the local
// install user's context when the step's "UserContext" is
// "__SC__InstallUser__" (case ignored).
class OVOJobStepPerformInventory : public OVOJobStep {
 public:
  explicit OVOJobStepPerformInventory(const String& text = String());
  OVOJobStepPerformInventory(EStepType type, const String& text);

  OVO::InventoryTemplate& GetInventoryTemplate() { return template_; }
  const OVO::InventoryTemplate& GetInventoryTemplate() const { return template_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;
  bool IsContextLocalInstallUser() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  OVO::InventoryTemplate template_;
};

// 130: determines the patch state. The four booleans of type 11,
// "ScanContext", "BulletinFilter", "PatchBase", "ScanCommand", "OutFile",
// "WuaJobStepSettings". The patch base stays on the server.
class OVOJobStepDeterminePatchState : public OVOJobStep {
 public:
  explicit OVOJobStepDeterminePatchState(const String& text = String());

  bool GetUseUpdateProfileForSettings() const { return useUpdateProfile_; }
  void SetUseUpdateProfileForSettings(bool v) { useUpdateProfile_ = v; }
  bool GetUseWuaForInstallation() const { return useWua_; }
  void SetUseWuaForInstallation(bool v) { useWua_ = v; }
  bool GetPerformFinalUpdateInventory() const { return finalInventory_; }
  void SetPerformFinalUpdateInventory(bool v) { finalInventory_ = v; }
  bool GetDisableDeferQualityUpdatesGPO() const { return disableDefer_; }
  void SetDisableDeferQualityUpdatesGPO(bool v) { disableDefer_ = v; }
  const String& GetScanContext() const { return scanContext_; }
  void SetScanContext(const String& v) { scanContext_ = v; }
  const String& GetBulletinFilter() const { return bulletinFilter_; }
  void SetBulletinFilter(const String& v) { bulletinFilter_ = v; }
  const String& GetPatchBase() const { return patchBase_; }
  void SetPatchBase(const String& v) { patchBase_ = v; }
  const String& GetScanCommand() const { return scanCommand_; }
  void SetScanCommand(const String& v) { scanCommand_ = v; }
  const String& GetOutFile() const { return outFile_; }
  void SetOutFile(const String& v) { outFile_ = v; }
  OVO::OVOWuaJobStepSettings& GetWuaJobStepSettings() { return wua_; }
  const OVO::OVOWuaJobStepSettings& GetWuaJobStepSettings() const { return wua_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;
  // Empties the patch base.
  void CleanForOVATransmit() override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  bool useUpdateProfile_{};
  bool useWua_{};
  bool finalInventory_{};
  bool disableDefer_{};
  String scanContext_;
  String bulletinFilter_;
  String patchBase_;
  String scanCommand_;
  String outFile_;
  OVO::OVOWuaJobStepSettings wua_;
};

// 133: determines the state of managed software. "ScanContext",
// "BulletinFilter", "PackedInvTemplate", "ReleaseLevel",
// "IsScanResultImported". The import mark stays on the server.
class OVOJobStepDetermineManagedSoftwareState : public OVOJobStep {
 public:
  explicit OVOJobStepDetermineManagedSoftwareState(const String& text = String());

  const String& GetScanContext() const { return scanContext_; }
  void SetScanContext(const String& v) { scanContext_ = v; }
  const String& GetBulletinFilter() const { return bulletinFilter_; }
  void SetBulletinFilter(const String& v) { bulletinFilter_ = v; }
  const String& GetPackedInvTemplate() const { return packedInvTemplate_; }
  void SetPackedInvTemplate(const String& v) { packedInvTemplate_ = v; }
  OVOReleaseLevel GetReleaseLevel() const { return releaseLevel_; }
  void SetReleaseLevel(OVOReleaseLevel v) { releaseLevel_ = v; }
  bool GetIsScanResultImported() const { return imported_; }
  void SetIsScanResultImported(bool v) { imported_ = v; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;
  // Clears the import mark.
  void CleanForOVATransmit() override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  String scanContext_;
  String bulletinFilter_;
  String packedInvTemplate_;
  OVOReleaseLevel releaseLevel_;
  bool imported_{};
};

// 142: installs an operating system in the boot client. "SoftwareOS".
class OVOJobStepInstallOS : public OVOJobStep {
 public:
  explicit OVOJobStepInstallOS(const String& text = String());

  OVOSoftwareOS& GetSoftwareOS() { return softwareOS_; }
  const OVOSoftwareOS& GetSoftwareOS() const { return softwareOS_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  OVOSoftwareOS softwareOS_;
};

// 145: wipes a hard disk in the boot client. "Drive" (a BIOS disk
// number), "Mode", "Passes", "Pattern", "LogPath", "JobStep" (the boot image).
class OVOJobStepWipeDisk : public OVOJobStep {
 public:
  explicit OVOJobStepWipeDisk(const String& text = String());

  uint32_t GetDrive() const { return drive_; }
  void SetDrive(uint32_t v) { drive_ = v; }
  uint32_t GetMode() const { return mode_; }
  void SetMode(uint32_t v) { mode_ = v; }
  uint32_t GetPasses() const { return passes_; }
  void SetPasses(uint32_t v) { passes_ = v; }
  bool GetPattern() const { return pattern_; }
  void SetPattern(bool v) { pattern_ = v; }
  const String& GetLogPath() const { return logPath_; }
  void SetLogPath(const String& v) { logPath_ = v; }
  OVOJobStepBootImage& GetBootImageStep() { return bootImage_; }
  const OVOJobStepBootImage& GetBootImageStep() const { return bootImage_; }

  void ClearStep() override;
  String PackStepData() const override;
  // String resource 7091 with drive, mode and passes.
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  uint32_t drive_{};
  uint32_t mode_{};
  uint32_t passes_{};
  bool pattern_{};
  String logPath_;
  OVOJobStepBootImage bootImage_;
};

// 146: a script before the operating system starts. "Script",
// "JobStep" (the boot image).
class OVOJobStepPreOSScript : public OVOJobStep {
 public:
  explicit OVOJobStepPreOSScript(const String& text = String());

  const String& GetScript() const { return script_; }
  void SetScript(const String& v) { script_ = v; }
  OVOJobStepBootImage& GetBootImageStep() { return bootImage_; }
  const OVOJobStepBootImage& GetBootImageStep() const { return bootImage_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  String script_;
  OVOJobStepBootImage bootImage_;
};

// The fields 150 and 151 share: "BackupFilename", "BackupPassword",
// "UsersToProcess", one "BlacklistedUser" per excluded user. Never made
// by the factory.
class OVOJobStepPersonalBackupRestore : public OVOJobStep {
 public:
  const String& GetBackupFilename() const { return backupFilename_; }
  void SetBackupFilename(const String& v) { backupFilename_ = v; }
  const String& GetBackupPassword() const { return backupPassword_; }
  void SetBackupPassword(const String& v) { backupPassword_ = v; }
  uint32_t GetUsersToProcess() const { return usersToProcess_; }
  void SetUsersToProcess(uint32_t v) { usersToProcess_ = v; }
  const std::vector<String>& GetBlacklistedUsers() const { return blacklistedUsers_; }
  void SetBlacklistedUsers(const std::vector<String>& v) { blacklistedUsers_ = v; }

  void ClearStep() override;
  String PackStepData() const override;

 protected:
  explicit OVOJobStepPersonalBackupRestore(EStepType type) : OVOJobStep(type) {}
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  String backupFilename_;
  String backupPassword_;
  uint32_t usersToProcess_{};
  std::vector<String> blacklistedUsers_;
};

// 150: backs up the users' personal data. The common fields, then
// "Incremental" and "ClearArchiveBit".
class OVOJobStepPersonalBackup : public OVOJobStepPersonalBackupRestore {
 public:
  explicit OVOJobStepPersonalBackup(const String& text = String());

  bool GetIncremental() const { return incremental_; }
  void SetIncremental(bool v) { incremental_ = v; }
  bool GetClearArchiveBit() const { return clearArchiveBit_; }
  void SetClearArchiveBit(bool v) { clearArchiveBit_ = v; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  bool incremental_{};
  bool clearArchiveBit_{};
};

// 151: restores personal data. The common fields, then "RedirectToFolder",
// "Client", "DomainUser", "RecreateCatalogs", "RestoreAllNewest",
// "FileReplace", "RegkeyReplace".
class OVOJobStepPersonalRestore : public OVOJobStepPersonalBackupRestore {
 public:
  explicit OVOJobStepPersonalRestore(const String& text = String());

  const String& GetRedirectToFolder() const { return redirectToFolder_; }
  void SetRedirectToFolder(const String& v) { redirectToFolder_ = v; }
  const String& GetRestoreClient() const { return restoreClient_; }
  void SetRestoreClient(const String& v) { restoreClient_ = v; }
  const String& GetDomainUser() const { return domainUser_; }
  void SetDomainUser(const String& v) { domainUser_ = v; }
  bool GetRecreateCatalogs() const { return recreateCatalogs_; }
  void SetRecreateCatalogs(bool v) { recreateCatalogs_ = v; }
  bool GetRestoreAllNewest() const { return restoreAllNewest_; }
  void SetRestoreAllNewest(bool v) { restoreAllNewest_ = v; }
  uint32_t GetFileReplace() const { return fileReplace_; }
  void SetFileReplace(uint32_t v) { fileReplace_ = v; }
  uint32_t GetRegkeyReplace() const { return regkeyReplace_; }
  void SetRegkeyReplace(uint32_t v) { regkeyReplace_ = v; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  String redirectToFolder_;
  String restoreClient_;
  String domainUser_;
  bool recreateCatalogs_{};
  bool restoreAllNewest_{};
  uint32_t fileReplace_{};
  uint32_t regkeyReplace_{};
};

// 152: a disaster backup. "DesasterBackup". It runs in the boot client only
// when the caller allows it; it reports its state text.
class OVOJobStepDesasterBackup : public OVOJobStep {
 public:
  explicit OVOJobStepDesasterBackup(const String& text = String());

  OVODesasterBackup& GetDesasterBackup() { return backup_; }
  const OVODesasterBackup& GetDesasterBackup() const { return backup_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;
  bool MayRunOnBootclient(bool bootClientAllowed, bool expanded) const override;
  OVOJobStepStateDescription* GetStepStateDescriptionPtr() override { return &stateDescription_; }

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  OVODesasterBackup backup_;
  OVOJobStepStateDescription stateDescription_;
};

// 153: a disaster restore in the boot client. "DesasterRestore", "JobStep"
// (the boot image).
class OVOJobStepDesasterRestore : public OVOJobStep {
 public:
  explicit OVOJobStepDesasterRestore(const String& text = String());

  OVODesasterRestore& GetDesasterRestore() { return restore_; }
  const OVODesasterRestore& GetDesasterRestore() const { return restore_; }
  OVOJobStepBootImage& GetBootImageStep() { return bootImage_; }
  const OVOJobStepBootImage& GetBootImageStep() const { return bootImage_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  OVODesasterRestore restore_;
  OVOJobStepBootImage bootImage_;
};

// 161 to 164: steps of an older terminal-server product, kept so their jobs
// still load; the sub-type is 0, 1, 2 and 0.
class OVOJobStepLegacyMetaFrame : public OVOJobStepNoData {
 public:
  explicit OVOJobStepLegacyMetaFrame(const String& text = String());
  OVOJobStepLegacyMetaFrame(EStepType type, const String& text);

  uint32_t GetSubType() const { return subType_; }
  String GetStepDescription() const override;

 private:
  uint32_t subType_ = 0;
};

// 170: applies an energy policy. "EnergyPolicy".
class OVOJobStepApplyEnergyPolicy : public OVOJobStep {
 public:
  explicit OVOJobStepApplyEnergyPolicy(const String& text = String());

  OVO::EnergyManagement::Policy& GetEnergyPolicy() { return policy_; }
  const OVO::EnergyManagement::Policy& GetEnergyPolicy() const { return policy_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  OVO::EnergyManagement::Policy policy_;
};

// 180: an action on the server. "OvdFilename", "SecurityContext",
// "OvdTimeout". When the step data does not mention SecurityContext at
// all, the context becomes "__SC__InstallUser__".
class OVOJobStepServerSideAction : public OVOJobStep {
 public:
  static constexpr char kInstallUserContext[] = "__SC__InstallUser__";

  explicit OVOJobStepServerSideAction(const String& text = String());

  const String& GetOvdFilename() const { return ovdFilename_; }
  void SetOvdFilename(const String& v) { ovdFilename_ = v; }
  const String& GetSecurityContext() const { return securityContext_; }
  void SetSecurityContext(const String& v) { securityContext_ = v; }
  uint32_t GetOvdTimeout() const { return ovdTimeout_; }
  void SetOvdTimeout(uint32_t v) { ovdTimeout_ = v; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  String ovdFilename_;
  String securityContext_;
  uint32_t ovdTimeout_{};
};

// 190: a compliance scan. "ScanFilePath", "ConvertXsl", "VariablesCache",
// "RelativeBasePathOnInternetDIP", "ScanFileHash",
// "CountActiveRules" (signed), "ComplianceScanProfile".
class OVOJobStepComplianceScan : public OVOJobStep {
 public:
  explicit OVOJobStepComplianceScan(const String& text = String());

  const String& GetScanFilePath() const { return scanFilePath_; }
  void SetScanFilePath(const String& v) { scanFilePath_ = v; }
  const String& GetConvertXsl() const { return convertXsl_; }
  void SetConvertXsl(const String& v) { convertXsl_ = v; }
  const String& GetVariablesCache() const { return variablesCache_; }
  void SetVariablesCache(const String& v) { variablesCache_ = v; }
  const String& GetRelativeBasePathOnInternetDIP() const { return relativeBasePath_; }
  void SetRelativeBasePathOnInternetDIP(const String& v) { relativeBasePath_ = v; }
  const String& GetScanFileHash() const { return scanFileHash_; }
  void SetScanFileHash(const String& v) { scanFileHash_ = v; }
  int32_t GetCountActiveRules() const { return countActiveRules_; }
  void SetCountActiveRules(int32_t v) { countActiveRules_ = v; }
  OVO::ComplianceScanProfile& GetComplianceScanProfile() { return profile_; }
  const OVO::ComplianceScanProfile& GetComplianceScanProfile() const { return profile_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  String scanFilePath_;
  String convertXsl_;
  String variablesCache_;
  String relativeBasePath_;
  String scanFileHash_;
  int32_t countActiveRules_{};
  OVO::ComplianceScanProfile profile_;
};

// 200: controls a virtual machine from the server.
class OVOJobStepControlVirtualMachine : public OVOJobStepNoData {
 public:
  explicit OVOJobStepControlVirtualMachine(const String& text = String());
  String GetStepDescription() const override;
};

// 201: creates a virtual machine. "VMProvisioningProfile".
class OVOJobStepCreateVMFromProfile : public OVOJobStep {
 public:
  explicit OVOJobStepCreateVMFromProfile(const String& text = String());

  CVMProvisioningProfile& GetVMProvisioningProfile() { return profile_; }
  const CVMProvisioningProfile& GetVMProvisioningProfile() const { return profile_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  CVMProvisioningProfile profile_;
};

// 210 and 211: a network scan. "NetworkScanData", an element holding the
// "SnmpScanProfile".
class OvoJobStepNetworkScan : public OVOJobStep {
 public:
  explicit OvoJobStepNetworkScan(const String& text = String());
  OvoJobStepNetworkScan(EStepType type, const String& text);

  OVO::SnmpScanProfile& GetSnmpScanProfile() { return profile_; }
  const OVO::SnmpScanProfile& GetSnmpScanProfile() const { return profile_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  OVO::SnmpScanProfile profile_;
};

// 214: encrypts the operating-system drive.
class OVOJobStepEncryptOSDrive : public OVOJobStepWithBitLockerProfile {
 public:
  explicit OVOJobStepEncryptOSDrive(const String& text = String());
  String GetStepDescription() const override;
};

// 215: waits until the operating-system drive is encrypted.
class OVOJobStepWaitForOSDriveEncryption : public OVOJobStepNoData {
 public:
  explicit OVOJobStepWaitForOSDriveEncryption(const String& text = String());
  String GetStepDescription() const override;
};

// 216: encrypts the data drives.
class OVOJobStepEncryptDataDrives : public OVOJobStepWithBitLockerProfile {
 public:
  explicit OVOJobStepEncryptDataDrives(const String& text = String());
  String GetStepDescription() const override;
};

// 217: switches drive encryption off.
class OVOJobStepTurnOffBitLocker : public OVOJobStepNoData {
 public:
  explicit OVOJobStepTurnOffBitLocker(const String& text = String());
  String GetStepDescription() const override;
};

// 218: checks the encryption and sets the start-up PIN.
class OVOJobStepCheckEncryptionAndSetPIN : public OVOJobStepWithBitLockerProfile {
 public:
  explicit OVOJobStepCheckEncryptionAndSetPIN(const String& text = String());
  String GetStepDescription() const override;
};

// 219: switches on unlocking over the network. "UnlockCertificate".
class OVOJobStepTurnOnBitLockerNetworkUnlock : public OVOJobStep {
 public:
  explicit OVOJobStepTurnOnBitLockerNetworkUnlock(const String& text = String());

  const String& GetUnlockCertificate() const { return certificate_; }
  void SetUnlockCertificate(const String& v) { certificate_ = v; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  String certificate_;
};

// 220: switches off unlocking over the network.
class OVOJobStepTurnOffBitLockerNetworkUnlock : public OVOJobStepNoData {
 public:
  explicit OVOJobStepTurnOffBitLockerNetworkUnlock(const String& text = String());
  String GetStepDescription() const override;
};

// 231: an inventory of installed updates. "MicrosoftOnline",
// "ovPMFilesPath", "UpdateInventorySource".
class OVOJobStepMicrosoftUpdateInventory : public OVOJobStep {
 public:
  explicit OVOJobStepMicrosoftUpdateInventory(const String& text = String());

  bool GetMicrosoftOnline() const { return online_; }
  void SetMicrosoftOnline(bool v) { online_ = v; }
  const String& GetPMFilesPath() const { return pmFilesPath_; }
  void SetPMFilesPath(const String& v) { pmFilesPath_ = v; }
  uint32_t GetUpdateInventorySource() const { return inventorySource_; }
  void SetUpdateInventorySource(uint32_t v) { inventorySource_ = v; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  bool online_{};
  String pmFilesPath_;
  uint32_t inventorySource_{};
};

// 233: updates the antivirus definitions.
class OvoJobStepUpdateAntivirusDefinitions : public OVOJobStepNoData {
 public:
  explicit OvoJobStepUpdateAntivirusDefinitions(const String& text = String());
  String GetStepDescription() const override;
};

// 234: an antivirus scan. "DefenderScanMode".
class OvoJobStepRunMicrosoftDefenderScan : public OVOJobStep {
 public:
  explicit OvoJobStepRunMicrosoftDefenderScan(const String& text = String());

  uint32_t GetDefenderScanMode() const { return scanMode_; }
  void SetDefenderScanMode(uint32_t v) { scanMode_ = v; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  uint32_t scanMode_{};
};

}  // namespace orvacmn

#endif  // ORVACMN_JOBS_JOB_STEP_KINDS_H_
