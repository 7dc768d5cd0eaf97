#include "orvacmn/jobs/job_step_kinds.h"

#include <string_view>
#include <utility>

#include "job_step_fields.h"
#include "ofl/format.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/jobs/job_step_application.h"

namespace orvacmn {
namespace {

constexpr uint32_t kResWipeDisk = 7091;
constexpr uint32_t kResDeployEnergyProfile = 7199;
constexpr char kTagEntry[] = "Entry";

// Types of the kinds that serve several.
bool IsInventoryType(uint32_t t) { return t == OVOJobStep::ePerformInventory || t == OVOJobStep::ePerformInventoryAlt; }
bool IsNetworkScanType(uint32_t t) { return t == OVOJobStep::eNetworkScan || t == OVOJobStep::eNetworkScanAlt; }
bool IsMetaFrameType(uint32_t t) { return t >= OVOJobStep::eLegacyMetaFrame1 && t <= OVOJobStep::eLegacyMetaFrame4; }

// A description followed by ": detail" when the detail is not empty.
String WithDetail(std::string_view text, const String& detail) {
  String out(text);
  if (!detail.empty()) out.append(": ").append(detail);
  return out;
}

}  // namespace

namespace step_fields {

void Packer::PackEntries(std::string_view tag, const Entries& entries) {
  OFLTools::AppendXMLTag(out, tag);
  for (const auto& e : entries) {
    const String attrib = "type=\"" + std::to_string(e.type) + "\" name=\"" + OFLTools::MakeXMLAttributeData(e.name) + "\"";
    out += OFLTools::MakeXMLNode(kTagEntry, e.text, attrib, true, false);
  }
  OFLTools::AppendXMLTag(out, tag, true);
}

void Reader::ReadEntries(Entries& entries) {
  OFLXMLParser& p = *parser_;
  p.IntoElem();
  ForEachChild(p, [&](const String& tag, OFLXMLParser& q) {
    if (!OFL::EqualsNoCase(tag, kTagEntry)) return;
    entries.push_back({OFL::CRT::atol(q.GetChildAttrib("type")), q.GetChildAttrib("name"), q.GetChildData()});
  });
  p.OutOfElem();
}

}  // namespace step_fields

// ---- 140 boot image ----

OVOJobStepBootImage::OVOJobStepBootImage(const String& text) : OVOJobStep(eBootImage) { InitKind(text, eBootImage); }

template <class S, class V>
void OVOJobStepBootImage::Fields(S& s, V& v) {
  v("BootEnvironment", s.bootEnvironment_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepBootImage)

String OVOJobStepBootImage::GetStepDescription() const { return "Start the boot image"; }

// ---- 10 deploy OS ----

OVOJobStepDeployOS::OVOJobStepDeployOS(const String& text) : OVOJobStep(eDeployOS) { InitKind(text, eDeployOS); }

template <class S, class V>
void OVOJobStepDeployOS::Fields(S& s, V& v) {
  v("SoftwareOS", s.softwareOS_);
  v("JobStep", s.bootImage_);
  v("TargetDisk", s.targetDisk_, 0u);
  v("TargetPartition", s.targetPartition_, 0u);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepDeployOS)

String OVOJobStepDeployOS::GetStepDescription() const { return "Deploy operating system"; }

// ---- 11 patch update ----

OVOJobStepPerformPatchUpdate::OVOJobStepPerformPatchUpdate(const String& text) : OVOJobStep(ePerformPatchUpdate) {
  InitKind(text, ePerformPatchUpdate);
}

template <class S, class V>
void OVOJobStepPerformPatchUpdate::Fields(S& s, V& v) {
  v("UseUpdateProfileForSettings", s.useUpdateProfile_, false);
  v("UseWuaForInstallation", s.useWua_, false);
  v("PerformFinalUpdateInventory", s.finalInventory_, false);
  v("DisableDeferQualityUpdatesGPO", s.disableDefer_, false);
  v("ScanContext", s.scanContext_, "");
  v("DeployContext", s.deployContext_, "");
  v("BulletinFilter", s.bulletinFilter_, "");
  v("WuaJobStepSettings", s.wua_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepPerformPatchUpdate)

String OVOJobStepPerformPatchUpdate::GetStepDescription() const { return "Install patches"; }

// ---- 12 install software ----

OVOJobStepInstallSoftware::OVOJobStepInstallSoftware(const String& text) : OVOJobStep(eInstallSoftware) {
  InitKind(text, eInstallSoftware);
}

template <class S, class V>
void OVOJobStepInstallSoftware::Fields(S& s, V& v) {
  v("Software", s.entries_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepInstallSoftware)

String OVOJobStepInstallSoftware::GetStepDescription() const {
  return WithDetail("Install software", GetAppDisplayName());
}

String OVOJobStepInstallSoftware::GetAppDisplayName() const {
  OFLTokenizer names;
  for (const auto& e : entries_) names.AddString(e.name);
  return names.AsString(", ");
}

// ---- 13 managed software update ----

OVOJobStepPerformManagedSoftwareUpdate::OVOJobStepPerformManagedSoftwareUpdate(const String& text)
    : OVOJobStep(ePerformManagedSoftwareUpdate) {
  InitKind(text, ePerformManagedSoftwareUpdate);
}

template <class S, class V>
void OVOJobStepPerformManagedSoftwareUpdate::Fields(S& s, V& v) {
  v("ScanContext", s.scanContext_, "");
  v("DeployContext", s.deployContext_, "");
  v("BulletinFilter", s.bulletinFilter_, "");
  v("ManagedAppsInFilter", s.managedApps_, "");
  v("ReleaseLevel", s.releaseLevel_, OVOReleaseLevel::eReleased);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepPerformManagedSoftwareUpdate)

String OVOJobStepPerformManagedSoftwareUpdate::GetStepDescription() const { return "Update managed software"; }

// ---- 14, 143 cloning backup ----

OVOJobStepOSCloningBackup::OVOJobStepOSCloningBackup(const String& text) : OVOJobStep(eOSCloningBackup) {
  InitKind(text, eOSCloningBackup);
}

OVOJobStepOSCloningBackup::OVOJobStepOSCloningBackup(EStepType type) : OVOJobStep(type) {}

template <class S, class V>
void OVOJobStepOSCloningBackup::Fields(S& s, V& v) {
  v("OSCloningBackupOptions", s.options_);
  v("JobStep", s.bootImage_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepOSCloningBackup)

String OVOJobStepOSCloningBackup::GetStepDescription() const { return "Operating system cloning backup"; }

bool OVOJobStepOSCloningBackup::MayRunOnBootclient(bool bootClientAllowed, bool expanded) const {
  return GetType() == eOSCloningBackup || OVOJobStep::MayRunOnBootclient(bootClientAllowed, expanded);
}

OVOJobStepOSCloningBackupImaging::OVOJobStepOSCloningBackupImaging(const String& text)
    : OVOJobStepOSCloningBackup(eOSCloningBackupImaging) {
  InitKind(text, eOSCloningBackupImaging);
}

String OVOJobStepOSCloningBackupImaging::GetStepDescription() const {
  return "Operating system cloning backup: take the image";
}

// ---- 15, 214, 216, 218 drive encryption ----

template <class S, class V>
void OVOJobStepWithBitLockerProfile::Fields(S& s, V& v) {
  v.Wrapped("BitLockerProfileData", s.profile_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepWithBitLockerProfile)

OVOJobStepTurnOnBitLocker::OVOJobStepTurnOnBitLocker(const String& text)
    : OVOJobStepWithBitLockerProfile(eTurnOnBitLocker) {
  InitKind(text, eTurnOnBitLocker);
}
String OVOJobStepTurnOnBitLocker::GetStepDescription() const { return "Turn on drive encryption"; }

OVOJobStepEncryptOSDrive::OVOJobStepEncryptOSDrive(const String& text)
    : OVOJobStepWithBitLockerProfile(eEncryptOSDrive) {
  InitKind(text, eEncryptOSDrive);
}
String OVOJobStepEncryptOSDrive::GetStepDescription() const { return "Encrypt the operating system drive"; }

OVOJobStepEncryptDataDrives::OVOJobStepEncryptDataDrives(const String& text)
    : OVOJobStepWithBitLockerProfile(eEncryptDataDrives) {
  InitKind(text, eEncryptDataDrives);
}
String OVOJobStepEncryptDataDrives::GetStepDescription() const { return "Encrypt the data drives"; }

OVOJobStepCheckEncryptionAndSetPIN::OVOJobStepCheckEncryptionAndSetPIN(const String& text)
    : OVOJobStepWithBitLockerProfile(eCheckEncryptionAndSetPIN) {
  InitKind(text, eCheckEncryptionAndSetPIN);
}
String OVOJobStepCheckEncryptionAndSetPIN::GetStepDescription() const {
  return "Check the drive encryption and set the PIN";
}

// ---- 235, 16 update removal ----

OVOJobStepMicrosoftUpdateUninstallation::OVOJobStepMicrosoftUpdateUninstallation(const String& text)
    : OVOJobStep(eMicrosoftUpdateUninstallation) {
  InitKind(text, eMicrosoftUpdateUninstallation);
}

template <class S, class V>
void OVOJobStepMicrosoftUpdateUninstallation::Fields(S& s, V& v) {
  v("PackageDeterminationMethod", s.method_, eByKBNumbers);
  v("KBNumbers", s.kbNumbers_);
  v("TextFilterPattern", s.textFilter_, "");
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepMicrosoftUpdateUninstallation)

String OVOJobStepMicrosoftUpdateUninstallation::GetStepDescription() const { return "Uninstall updates"; }

String OVOJobStepMicrosoftUpdateUninstallation::SerializePackageDeterminationMethod(
    EPackageDeterminationMethod method) {
  return OFLTools::ULToA(method);
}

OVOJobStepMicrosoftUpdateUninstallation::EPackageDeterminationMethod
OVOJobStepMicrosoftUpdateUninstallation::DeserializePackageDeterminationMethod(std::string_view text) {
  return static_cast<EPackageDeterminationMethod>(OFLTools::AToUL(text));
}

String OVOJobStepMicrosoftUpdateUninstallation::SerializeKBNumbers(const std::vector<uint32_t>& numbers) {
  OFLTokenizer t;
  for (uint32_t n : numbers) t.AddDWord(n);
  return t.AsString(",");
}

std::vector<uint32_t> OVOJobStepMicrosoftUpdateUninstallation::DeserializeKBNumbers(std::string_view text) {
  std::vector<uint32_t> out;
  for (const String& entry : OFLTokenizer(text, ",; \t\r\n")) {
    std::string_view e = entry;
    if (OFL::StartsWithNoCase(e, "KB")) e.remove_prefix(2);
    out.push_back(OFLTools::AToUL(e));
  }
  return out;
}

OVOJobStepRemoveMicrosoftUpdates::OVOJobStepRemoveMicrosoftUpdates(const String& text)
    : OVOJobStepMicrosoftUpdateUninstallation(eRemoveMicrosoftUpdates) {
  InitKind(text, eRemoveMicrosoftUpdates);
}

template <class S, class V>
void OVOJobStepRemoveMicrosoftUpdates::Fields(S& s, V& v) {
  OVOJobStepMicrosoftUpdateUninstallation::Fields(s, v);
  v("PerformFinalUpdateInventory", s.finalInventory_, false);
  v("UpdateInventorySource", s.inventorySource_, 0u);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepRemoveMicrosoftUpdates)

String OVOJobStepRemoveMicrosoftUpdates::GetStepDescription() const { return "Remove updates"; }

// ---- 120, 121 inventory ----

OVOJobStepPerformInventory::OVOJobStepPerformInventory(const String& text)
    : OVOJobStepPerformInventory(ePerformInventory, text) {}

OVOJobStepPerformInventory::OVOJobStepPerformInventory(EStepType type, const String& text)
    : OVOJobStep(IsInventoryType(type) ? type : ePerformInventory) {
  InitKind(text, GetType());
}

template <class S, class V>
void OVOJobStepPerformInventory::Fields(S& s, V& v) {
  v("OVOInventoryTemplate", s.template_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepPerformInventory)

String OVOJobStepPerformInventory::GetStepDescription() const { return "Perform inventory"; }

bool OVOJobStepPerformInventory::IsContextLocalInstallUser() const {
  return OFL::EqualsNoCase(GetUserContext(), OVOJobStepServerSideAction::kInstallUserContext);
}

// ---- 130 patch state ----

OVOJobStepDeterminePatchState::OVOJobStepDeterminePatchState(const String& text) : OVOJobStep(eDeterminePatchState) {
  InitKind(text, eDeterminePatchState);
}

template <class S, class V>
void OVOJobStepDeterminePatchState::Fields(S& s, V& v) {
  v("UseUpdateProfileForSettings", s.useUpdateProfile_, false);
  v("UseWuaForInstallation", s.useWua_, false);
  v("PerformFinalUpdateInventory", s.finalInventory_, false);
  v("DisableDeferQualityUpdatesGPO", s.disableDefer_, false);
  v("ScanContext", s.scanContext_, "");
  v("BulletinFilter", s.bulletinFilter_, "");
  v("PatchBase", s.patchBase_, "");
  v("ScanCommand", s.scanCommand_, "");
  v("OutFile", s.outFile_, "");
  v("WuaJobStepSettings", s.wua_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepDeterminePatchState)

String OVOJobStepDeterminePatchState::GetStepDescription() const { return "Determine the patch state"; }

void OVOJobStepDeterminePatchState::CleanForOVATransmit() { patchBase_.clear(); }

// ---- 133 managed software state ----

OVOJobStepDetermineManagedSoftwareState::OVOJobStepDetermineManagedSoftwareState(const String& text)
    : OVOJobStep(eDetermineManagedSoftwareState) {
  InitKind(text, eDetermineManagedSoftwareState);
}

template <class S, class V>
void OVOJobStepDetermineManagedSoftwareState::Fields(S& s, V& v) {
  v("ScanContext", s.scanContext_, "");
  v("BulletinFilter", s.bulletinFilter_, "");
  v("PackedInvTemplate", s.packedInvTemplate_, "");
  v("ReleaseLevel", s.releaseLevel_, OVOReleaseLevel::eReleased);
  v("IsScanResultImported", s.imported_, false);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepDetermineManagedSoftwareState)

String OVOJobStepDetermineManagedSoftwareState::GetStepDescription() const {
  return "Determine the managed software state";
}

void OVOJobStepDetermineManagedSoftwareState::CleanForOVATransmit() { imported_ = false; }

// ---- 142 install OS ----

OVOJobStepInstallOS::OVOJobStepInstallOS(const String& text) : OVOJobStep(eInstallOS) { InitKind(text, eInstallOS); }

template <class S, class V>
void OVOJobStepInstallOS::Fields(S& s, V& v) {
  v("SoftwareOS", s.softwareOS_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepInstallOS)

String OVOJobStepInstallOS::GetStepDescription() const { return "Install operating system"; }

// ---- 145 wipe disk ----

OVOJobStepWipeDisk::OVOJobStepWipeDisk(const String& text) : OVOJobStep(eWipeDisk) { InitKind(text, eWipeDisk); }

template <class S, class V>
void OVOJobStepWipeDisk::Fields(S& s, V& v) {
  v("Drive", s.drive_, 0x80u);
  v("Mode", s.mode_, 4u);
  v("Passes", s.passes_, 3u);
  v("Pattern", s.pattern_, false);
  v("LogPath", s.logPath_, "{DIP}\\WipeDisk");
  v("JobStep", s.bootImage_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepWipeDisk)

String OVOJobStepWipeDisk::GetStepDescription() const { return OFLFormat(kResWipeDisk, drive_, mode_, passes_); }

// ---- 146 pre-OS script ----

OVOJobStepPreOSScript::OVOJobStepPreOSScript(const String& text) : OVOJobStep(ePreOSScript) {
  InitKind(text, ePreOSScript);
}

template <class S, class V>
void OVOJobStepPreOSScript::Fields(S& s, V& v) {
  v("Script", s.script_, "");
  v("JobStep", s.bootImage_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepPreOSScript)

String OVOJobStepPreOSScript::GetStepDescription() const { return "Run a script before the operating system"; }

// ---- 150, 151 personal backup and restore ----

template <class S, class V>
void OVOJobStepPersonalBackupRestore::Fields(S& s, V& v) {
  v("BackupFilename", s.backupFilename_, "");
  v("BackupPassword", s.backupPassword_, "");
  v("UsersToProcess", s.usersToProcess_, 0u);
  v("BlacklistedUser", s.blacklistedUsers_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepPersonalBackupRestore)

OVOJobStepPersonalBackup::OVOJobStepPersonalBackup(const String& text)
    : OVOJobStepPersonalBackupRestore(ePersonalBackup) {
  InitKind(text, ePersonalBackup);
}

template <class S, class V>
void OVOJobStepPersonalBackup::Fields(S& s, V& v) {
  OVOJobStepPersonalBackupRestore::Fields(s, v);
  v("Incremental", s.incremental_, false);
  v("ClearArchiveBit", s.clearArchiveBit_, false);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepPersonalBackup)

String OVOJobStepPersonalBackup::GetStepDescription() const { return "Back up personal data"; }

OVOJobStepPersonalRestore::OVOJobStepPersonalRestore(const String& text)
    : OVOJobStepPersonalBackupRestore(ePersonalRestore) {
  InitKind(text, ePersonalRestore);
}

template <class S, class V>
void OVOJobStepPersonalRestore::Fields(S& s, V& v) {
  OVOJobStepPersonalBackupRestore::Fields(s, v);
  v("RedirectToFolder", s.redirectToFolder_, "");
  v("Client", s.restoreClient_, "");
  v("DomainUser", s.domainUser_, "");
  v("RecreateCatalogs", s.recreateCatalogs_, false);
  v("RestoreAllNewest", s.restoreAllNewest_, false);
  v("FileReplace", s.fileReplace_, 0u);
  v("RegkeyReplace", s.regkeyReplace_, 0u);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepPersonalRestore)

String OVOJobStepPersonalRestore::GetStepDescription() const { return "Restore personal data"; }

// ---- 152, 153 disaster backup and restore ----

OVOJobStepDesasterBackup::OVOJobStepDesasterBackup(const String& text) : OVOJobStep(eDesasterBackup) {
  InitKind(text, eDesasterBackup);
}

template <class S, class V>
void OVOJobStepDesasterBackup::Fields(S& s, V& v) {
  v("DesasterBackup", s.backup_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepDesasterBackup)

String OVOJobStepDesasterBackup::GetStepDescription() const { return "Disaster backup"; }

bool OVOJobStepDesasterBackup::MayRunOnBootclient(bool bootClientAllowed, bool expanded) const {
  return bootClientAllowed || OVOJobStep::MayRunOnBootclient(bootClientAllowed, expanded);
}

OVOJobStepDesasterRestore::OVOJobStepDesasterRestore(const String& text) : OVOJobStep(eDesasterRestore) {
  InitKind(text, eDesasterRestore);
}

template <class S, class V>
void OVOJobStepDesasterRestore::Fields(S& s, V& v) {
  v("DesasterRestore", s.restore_);
  v("JobStep", s.bootImage_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepDesasterRestore)

String OVOJobStepDesasterRestore::GetStepDescription() const { return "Disaster restore"; }

// ---- 161 to 164 legacy ----

OVOJobStepLegacyMetaFrame::OVOJobStepLegacyMetaFrame(const String& text)
    : OVOJobStepLegacyMetaFrame(eLegacyMetaFrame1, text) {}

OVOJobStepLegacyMetaFrame::OVOJobStepLegacyMetaFrame(EStepType type, const String& text)
    : OVOJobStepNoData(IsMetaFrameType(type) ? type : eLegacyMetaFrame1) {
  static constexpr uint32_t kSubTypes[] = {0, 1, 2, 0};
  subType_ = kSubTypes[GetType() - eLegacyMetaFrame1];
  InitKind(text, GetType());
}

String OVOJobStepLegacyMetaFrame::GetStepDescription() const {
  return "Terminal server step (" + std::to_string(subType_) + ")";
}

// ---- 170 energy policy ----

OVOJobStepApplyEnergyPolicy::OVOJobStepApplyEnergyPolicy(const String& text) : OVOJobStep(eApplyEnergyPolicy) {
  InitKind(text, eApplyEnergyPolicy);
}

template <class S, class V>
void OVOJobStepApplyEnergyPolicy::Fields(S& s, V& v) {
  v("EnergyPolicy", s.policy_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepApplyEnergyPolicy)

String OVOJobStepApplyEnergyPolicy::GetStepDescription() const {
  return OFLFormat(kResDeployEnergyProfile, policy_.GetName());
}

// ---- 180 server-side action ----

OVOJobStepServerSideAction::OVOJobStepServerSideAction(const String& text) : OVOJobStep(eServerSideAction) {
  InitKind(text, eServerSideAction);
}

template <class S, class V>
void OVOJobStepServerSideAction::Fields(S& s, V& v) {
  v("OvdFilename", s.ovdFilename_, "");
  v("SecurityContext", s.securityContext_, "");
  v("OvdTimeout", s.ovdTimeout_, 0u);
}

ORVACMN_STEP_CLEAR_AND_PACK(OVOJobStepServerSideAction)

void OVOJobStepServerSideAction::ReadStepData(OFLXMLParser& parser) {
  static constexpr std::string_view kWord = "SecurityContext";
  step_fields::Reader r;
  bool mentioned = false;  // an exact tag is enough; anything else needs the text
  ForEachChild(parser, [&](const String& tag, OFLXMLParser& p) {
    mentioned = mentioned || tag == kWord;
    r.Begin(tag, p);
    Fields(*this, r);
  });
  // Older texts know no context and ran as the install user.
  if (!mentioned && parser.GetSubDoc().find(kWord) == String::npos) securityContext_ = kInstallUserContext;
}

String OVOJobStepServerSideAction::GetStepDescription() const { return WithDetail("Server-side action", ovdFilename_); }

// ---- 190 compliance scan ----

OVOJobStepComplianceScan::OVOJobStepComplianceScan(const String& text) : OVOJobStep(eComplianceScan) {
  InitKind(text, eComplianceScan);
}

template <class S, class V>
void OVOJobStepComplianceScan::Fields(S& s, V& v) {
  v("ScanFilePath", s.scanFilePath_, "");
  v("ConvertXsl", s.convertXsl_, "");
  v("VariablesCache", s.variablesCache_, "");
  v("RelativeBasePathOnInternetDIP", s.relativeBasePath_, "");
  v("ScanFileHash", s.scanFileHash_, "");
  v("CountActiveRules", s.countActiveRules_, 0);
  v("ComplianceScanProfile", s.profile_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepComplianceScan)

String OVOJobStepComplianceScan::GetStepDescription() const { return "Compliance scan"; }

// ---- 200, 201 virtual machines ----

OVOJobStepControlVirtualMachine::OVOJobStepControlVirtualMachine(const String& text)
    : OVOJobStepNoData(eControlVirtualMachine) {
  InitKind(text, eControlVirtualMachine);
}
String OVOJobStepControlVirtualMachine::GetStepDescription() const { return "Control a virtual machine"; }

OVOJobStepCreateVMFromProfile::OVOJobStepCreateVMFromProfile(const String& text) : OVOJobStep(eCreateVMFromProfile) {
  InitKind(text, eCreateVMFromProfile);
}

template <class S, class V>
void OVOJobStepCreateVMFromProfile::Fields(S& s, V& v) {
  v("VMProvisioningProfile", s.profile_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepCreateVMFromProfile)

String OVOJobStepCreateVMFromProfile::GetStepDescription() const { return "Create a virtual machine from a profile"; }

// ---- 210, 211 network scan ----

OvoJobStepNetworkScan::OvoJobStepNetworkScan(const String& text) : OvoJobStepNetworkScan(eNetworkScan, text) {}

OvoJobStepNetworkScan::OvoJobStepNetworkScan(EStepType type, const String& text)
    : OVOJobStep(IsNetworkScanType(type) ? type : eNetworkScan) {
  InitKind(text, GetType());
}

template <class S, class V>
void OvoJobStepNetworkScan::Fields(S& s, V& v) {
  v.Wrapped("NetworkScanData", s.profile_);
}
ORVACMN_STEP_DATA_OPERATIONS(OvoJobStepNetworkScan)

String OvoJobStepNetworkScan::GetStepDescription() const { return "Network scan"; }

// ---- 215, 217, 219, 220 encryption without a profile ----

OVOJobStepWaitForOSDriveEncryption::OVOJobStepWaitForOSDriveEncryption(const String& text)
    : OVOJobStepNoData(eWaitForOSDriveEncryption) {
  InitKind(text, eWaitForOSDriveEncryption);
}
String OVOJobStepWaitForOSDriveEncryption::GetStepDescription() const {
  return "Wait for the encryption of the operating system drive";
}

OVOJobStepTurnOffBitLocker::OVOJobStepTurnOffBitLocker(const String& text) : OVOJobStepNoData(eTurnOffBitLocker) {
  InitKind(text, eTurnOffBitLocker);
}
String OVOJobStepTurnOffBitLocker::GetStepDescription() const { return "Turn off drive encryption"; }

OVOJobStepTurnOnBitLockerNetworkUnlock::OVOJobStepTurnOnBitLockerNetworkUnlock(const String& text)
    : OVOJobStep(eTurnOnBitLockerNetworkUnlock) {
  InitKind(text, eTurnOnBitLockerNetworkUnlock);
}

template <class S, class V>
void OVOJobStepTurnOnBitLockerNetworkUnlock::Fields(S& s, V& v) {
  v("UnlockCertificate", s.certificate_, "");
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepTurnOnBitLockerNetworkUnlock)

String OVOJobStepTurnOnBitLockerNetworkUnlock::GetStepDescription() const { return "Turn on network unlock"; }

OVOJobStepTurnOffBitLockerNetworkUnlock::OVOJobStepTurnOffBitLockerNetworkUnlock(const String& text)
    : OVOJobStepNoData(eTurnOffBitLockerNetworkUnlock) {
  InitKind(text, eTurnOffBitLockerNetworkUnlock);
}
String OVOJobStepTurnOffBitLockerNetworkUnlock::GetStepDescription() const { return "Turn off network unlock"; }

// ---- 231, 233, 234 update inventory and antivirus ----

OVOJobStepMicrosoftUpdateInventory::OVOJobStepMicrosoftUpdateInventory(const String& text)
    : OVOJobStep(eMicrosoftUpdateInventory) {
  InitKind(text, eMicrosoftUpdateInventory);
}

template <class S, class V>
void OVOJobStepMicrosoftUpdateInventory::Fields(S& s, V& v) {
  v("MicrosoftOnline", s.online_, false);
  v("ovPMFilesPath", s.pmFilesPath_, "");
  v("UpdateInventorySource", s.inventorySource_, 0u);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepMicrosoftUpdateInventory)

String OVOJobStepMicrosoftUpdateInventory::GetStepDescription() const { return "Inventory of installed updates"; }

OvoJobStepUpdateAntivirusDefinitions::OvoJobStepUpdateAntivirusDefinitions(const String& text)
    : OVOJobStepNoData(eUpdateAntivirusDefinitions) {
  InitKind(text, eUpdateAntivirusDefinitions);
}
String OvoJobStepUpdateAntivirusDefinitions::GetStepDescription() const { return "Update antivirus definitions"; }

OvoJobStepRunMicrosoftDefenderScan::OvoJobStepRunMicrosoftDefenderScan(const String& text)
    : OVOJobStep(eRunMicrosoftDefenderScan) {
  InitKind(text, eRunMicrosoftDefenderScan);
}

template <class S, class V>
void OvoJobStepRunMicrosoftDefenderScan::Fields(S& s, V& v) {
  v("DefenderScanMode", s.scanMode_, 0u);
}
ORVACMN_STEP_DATA_OPERATIONS(OvoJobStepRunMicrosoftDefenderScan)

String OvoJobStepRunMicrosoftDefenderScan::GetStepDescription() const {
  return "Antivirus scan (mode " + std::to_string(scanMode_) + ")";
}

// ---- 110, 111, 144 with a software application ----

template <class S, class V>
void OVOJobStepWithApplication::Fields(S& s, V& v) {
  v("SoftwareApplication", s.application_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepWithApplication)

String OVOJobStepWithApplication::GetAppDisplayName() const { return application_.GetDisplayName(); }

bool OVOJobStepWithApplication::IsContextLocalInstallUser() const {
  return OFL::EqualsNoCase(application_.GetSecurityContext(), OVOJobStepServerSideAction::kInstallUserContext);
}

OVOJobStepInstallApplication::OVOJobStepInstallApplication(const String& text)
    : OVOJobStepWithApplication(eInstallApplication) {
  InitKind(text, eInstallApplication);
}

String OVOJobStepInstallApplication::GetStepDescription() const {
  return WithDetail("Install application", GetAppDisplayName());
}

OVOJobStepUninstallApplication::OVOJobStepUninstallApplication(const String& text)
    : OVOJobStepWithApplication(eUninstallApplication) {
  InitKind(text, eUninstallApplication);
}

String OVOJobStepUninstallApplication::GetStepDescription() const {
  return WithDetail("Uninstall application", GetAppDisplayName());
}

OVOJobStepOSCloningBackupSysprep::OVOJobStepOSCloningBackupSysprep(const String& text)
    : OVOJobStepOSCloningBackup(eOSCloningBackupSysprep) {
  InitKind(text, eOSCloningBackupSysprep);
}

template <class S, class V>
void OVOJobStepOSCloningBackupSysprep::Fields(S& s, V& v) {
  OVOJobStepOSCloningBackup::Fields(s, v);
  v("SoftwareApplication", s.application_);
}
ORVACMN_STEP_DATA_OPERATIONS(OVOJobStepOSCloningBackupSysprep)

String OVOJobStepOSCloningBackupSysprep::GetStepDescription() const {
  return "Operating system cloning backup: prepare the system";
}

}  // namespace orvacmn
