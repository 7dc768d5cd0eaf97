#include "orvacmn/jobs/job_step_list.h"

#include <memory>

#include "job_step_fields.h"
#include "ofl/format.h"
#include "ofl/tools.h"
#include "orvacmn/jobs/job_step_application.h"
#include "orvacmn/jobs/job_step_kinds.h"

namespace orvacmn {
namespace {

using Step = OVOJobStep;

constexpr char kTagJobStep[] = "JobStep";
constexpr char kAttribType[] = "type";
constexpr uint32_t kResStepsFailed = 7118;
constexpr uint32_t kResultSuccess = 7;
constexpr uint32_t kResultWarning = 519;
constexpr uint32_t kResultFailed = 1031;
constexpr uint32_t kOptionFailOnAnyError = 0x2;

// A fresh step of the kind for `type`, or null for a type without one.
std::unique_ptr<Step> NewKind(uint32_t type) {
  const auto t = static_cast<Step::EStepType>(type);
  switch (type) {
    case Step::eDeployOS: return std::make_unique<OVOJobStepDeployOS>();
    case Step::ePerformPatchUpdate: return std::make_unique<OVOJobStepPerformPatchUpdate>();
    case Step::eInstallSoftware: return std::make_unique<OVOJobStepInstallSoftware>();
    case Step::ePerformManagedSoftwareUpdate: return std::make_unique<OVOJobStepPerformManagedSoftwareUpdate>();
    case Step::eOSCloningBackup: return std::make_unique<OVOJobStepOSCloningBackup>();
    case Step::eTurnOnBitLocker: return std::make_unique<OVOJobStepTurnOnBitLocker>();
    case Step::eRemoveMicrosoftUpdates: return std::make_unique<OVOJobStepRemoveMicrosoftUpdates>();
    case Step::eInstallApplication: return std::make_unique<OVOJobStepInstallApplication>();
    case Step::eUninstallApplication: return std::make_unique<OVOJobStepUninstallApplication>();
    case Step::ePerformInventory:
    case Step::ePerformInventoryAlt: return std::make_unique<OVOJobStepPerformInventory>(t, String());
    case Step::eDeterminePatchState: return std::make_unique<OVOJobStepDeterminePatchState>();
    case Step::eDetermineManagedSoftwareState: return std::make_unique<OVOJobStepDetermineManagedSoftwareState>();
    case Step::eBootImage: return std::make_unique<OVOJobStepBootImage>();
    case Step::eInstallOS: return std::make_unique<OVOJobStepInstallOS>();
    case Step::eOSCloningBackupImaging: return std::make_unique<OVOJobStepOSCloningBackupImaging>();
    case Step::eOSCloningBackupSysprep: return std::make_unique<OVOJobStepOSCloningBackupSysprep>();
    case Step::eWipeDisk: return std::make_unique<OVOJobStepWipeDisk>();
    case Step::ePreOSScript: return std::make_unique<OVOJobStepPreOSScript>();
    case Step::ePersonalBackup: return std::make_unique<OVOJobStepPersonalBackup>();
    case Step::ePersonalRestore: return std::make_unique<OVOJobStepPersonalRestore>();
    case Step::eDesasterBackup: return std::make_unique<OVOJobStepDesasterBackup>();
    case Step::eDesasterRestore: return std::make_unique<OVOJobStepDesasterRestore>();
    case Step::eLegacyMetaFrame1:
    case Step::eLegacyMetaFrame2:
    case Step::eLegacyMetaFrame3:
    case Step::eLegacyMetaFrame4: return std::make_unique<OVOJobStepLegacyMetaFrame>(t, String());
    case Step::eApplyEnergyPolicy: return std::make_unique<OVOJobStepApplyEnergyPolicy>();
    case Step::eServerSideAction: return std::make_unique<OVOJobStepServerSideAction>();
    case Step::eComplianceScan: return std::make_unique<OVOJobStepComplianceScan>();
    case Step::eControlVirtualMachine: return std::make_unique<OVOJobStepControlVirtualMachine>();
    case Step::eCreateVMFromProfile: return std::make_unique<OVOJobStepCreateVMFromProfile>();
    case Step::eNetworkScan:
    case Step::eNetworkScanAlt: return std::make_unique<OvoJobStepNetworkScan>(t, String());
    case Step::eEncryptOSDrive: return std::make_unique<OVOJobStepEncryptOSDrive>();
    case Step::eWaitForOSDriveEncryption: return std::make_unique<OVOJobStepWaitForOSDriveEncryption>();
    case Step::eEncryptDataDrives: return std::make_unique<OVOJobStepEncryptDataDrives>();
    case Step::eTurnOffBitLocker: return std::make_unique<OVOJobStepTurnOffBitLocker>();
    case Step::eCheckEncryptionAndSetPIN: return std::make_unique<OVOJobStepCheckEncryptionAndSetPIN>();
    case Step::eTurnOnBitLockerNetworkUnlock: return std::make_unique<OVOJobStepTurnOnBitLockerNetworkUnlock>();
    case Step::eTurnOffBitLockerNetworkUnlock: return std::make_unique<OVOJobStepTurnOffBitLockerNetworkUnlock>();
    case Step::eMicrosoftUpdateInventory: return std::make_unique<OVOJobStepMicrosoftUpdateInventory>();
    case Step::eUpdateAntivirusDefinitions: return std::make_unique<OvoJobStepUpdateAntivirusDefinitions>();
    case Step::eRunMicrosoftDefenderScan: return std::make_unique<OvoJobStepRunMicrosoftDefenderScan>();
    case Step::eMicrosoftUpdateUninstallation: return std::make_unique<OVOJobStepMicrosoftUpdateUninstallation>();
    default: return nullptr;
  }
}

bool IsBootClientStep(const Step& s) {
  switch (s.GetType()) {
    case Step::eDeployOS:
    case Step::eBootImage:
    case Step::eInstallOS:
    case Step::eOSCloningBackupImaging:
    case Step::eWipeDisk:
    case Step::ePreOSScript:
    case Step::eDesasterRestore: return true;
    case Step::eInstallSoftware: return s.GetOption(Step::kOptionSoftwareInBootClient);
    case Step::eInstallApplication: return s.GetOption(Step::kOptionApplicationInBootClient);
    default: return s.GetRunLocation(true) == Step::eRunOnBootClient;
  }
}

}  // namespace

OVOJobStepList::OVOJobStepList(const String& text) : OVOOwningList(CatalogueEntryFor("OVOJobStepList"), text) {}

// Each child as CreateJobStep(its markup) would read it, but in place: the
// step's root must be exactly "JobStep" and its type must name a kind.
std::unique_ptr<OVOJobStep> OVOJobStepList::ReadElement(OFLXMLParser& parser, OFLXMLParser& /*child*/) {
  if (!parser.ChildTagIs(kTagJobStep, false)) return nullptr;
  const int32_t type = OFL::CRT::atol(parser.GetChildAttrib(kAttribType));
  std::unique_ptr<OVOJobStep> step = NewKind(static_cast<uint32_t>(type));
  if (step) JobStepAccess::ReadChild(*step, parser);
  return step;
}

OVOJobStep* OVOJobStepList::CreateJobStep(EStepType type, const OVOJobStep* from) {
  if (type < OVOJobStep::kFirstKnownType || type > OVOJobStep::kLastKnownType) return nullptr;
  std::unique_ptr<OVOJobStep> step = NewKind(type);
  if (!step) return nullptr;
  step->SetGUID(OFL::Tools::GenerateGuid());
  if (from) {
    step->SetJobGUID(from->GetJobGUID());
    step->SetClientGUID(from->GetClientGUID());
    step->SetVirtualStep(from->GetGUID());
  }
  return step.release();
}

OVOJobStep* OVOJobStepList::CreateJobStep(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  if (!parser.FindElem()) return nullptr;
  std::unique_ptr<OVOJobStep> step = NewKind(static_cast<uint32_t>(OFL::CRT::atol(parser.GetAttrib(kAttribType))));
  // As the kind's Unpack(text), on the document already loaded: the new
  // GUID the factory would give is cleared by it anyway.
  if (!step || parser.GetTagNameView() != kTagJobStep) return nullptr;
  step->Clear();
  step->ReadElement(parser);
  return step.release();
}

OVOJobStep* OVOJobStepList::FindStep(EStepType type, int visitLimit, bool skipFinished) const {
  int64_t remaining = static_cast<int64_t>(visitLimit) + 1;
  for (OVOJobStep* s : *this) {
    if (remaining-- <= 0) break;
    if (s && s->GetType() == type && !(skipFinished && s->IsFinished())) return s;
  }
  return nullptr;
}

POSITION OVOJobStepList::FindStep(const String& guid) const {
  for (auto it = begin(); it != end(); ++it)
    if (*it && OFL::EqualsNoCase((*it)->GetGUID(), guid)) return it.position();
  return nullptr;
}

OVOJobStep* OVOJobStepList::GetNextPendingStep() const {
  for (OVOJobStep* s : *this)
    if (s && !s->ShouldSkipJobStep()) return s;
  return nullptr;
}

int OVOJobStepList::GetPendingJobStepCount() const {
  int n = 0;
  for (const OVOJobStep* s : *this)
    if (s && !s->ShouldSkipJobStep()) ++n;
  return n;
}

int OVOJobStepList::GetFinishedJobStepCount() const {
  int n = 0;
  for (const OVOJobStep* s : *this)
    if (s && s->IsFinished()) ++n;
  return n;
}

int OVOJobStepList::GetNonVirtualNonSkippedStepCount() const {
  int n = 0;
  for (const OVOJobStep* s : *this)
    if (s && !s->IsVirtualStep() && (s->GetStateValue() & OVOJobStep::kFlagNotCounted) == 0) ++n;
  return n;
}

OVOJobStep* OVOJobStepList::GetNextPendingBootClientStep() const {
  OVOJobStep* following = nullptr;  // the candidate after the one looked at
  POSITION pos = GetTailPosition();
  while (pos) {
    OVOJobStep* s = GetPrev(pos);
    if (!s || s->IsVirtualStep() || s->GetOption(OVOJobStep::kOptionSkip) || s->GetType() == OVOJobStep::eBootImage)
      continue;
    if (s->IsFinished()) return s->HasStateFlag(OVOJobStep::kFlagFailed) ? s : following;
    following = s;
  }
  return following;  // the first candidate, or null
}

POSITION OVOJobStepList::FindBootClientStep() const {
  for (auto it = begin(); it != end(); ++it)
    if (*it && IsBootClientStep(**it)) return it.position();
  return nullptr;
}

OFLTokenizer OVOJobStepList::GetBootClientStepList() {
  OFLTokenizer t;
  for (uint32_t type : {10u, 145u, 153u, 146u, 143u, 14u}) t.AddDWord(type);
  return t;
}

bool OVOJobStepList::IsLastStep(const OVOJobStep* step) const { return !IsEmpty() && GetTail() == step; }

bool OVOJobStepList::IsJobFinished() const {
  for (const OVOJobStep* s : *this)
    if (s && s->GetRunLocation(true) != OVOJobStep::eRunNowhere && !s->IsFinished()) return false;
  return true;
}

void OVOJobStepList::RemoveFinishedSteps(bool keepFlagged, uint32_t newState) {
  POSITION pos = GetHeadPosition();
  while (pos) {
    const POSITION here = pos;
    OVOJobStep* s = GetNext(pos);
    if (!s || !s->IsFinished()) continue;
    if (keepFlagged && s->HasStateFlag(OVOJobStep::kFlagWarning | OVOJobStep::kFlagFailed)) {
      if (newState != 0) s->SetStateValue(newState);
      continue;
    }
    RemoveAt(here);
    delete s;
  }
}

uint32_t OVOJobStepList::DetermineResult(String& text, uint32_t options) const {
  text.clear();
  if (IsEmpty()) return kResultSuccess;
  int finished = 0, failed = 0, warnings = 0;
  for (const OVOJobStep* s : *this) {
    if (!s || !s->IsFinished()) continue;
    ++finished;
    if (s->HasStateFlag(OVOJobStep::kFlagFailed)) {
      if (failed++ == 0) text = s->GetStateString();
    }
    if (s->HasStateFlag(OVOJobStep::kFlagWarning) || s->HasStateFlag(OVOJobStep::kFlagWarningAlt)) ++warnings;
  }
  if (failed >= 2) text = OFLFormat(kResStepsFailed, failed).str();
  if (failed > 0) return (options & kOptionFailOnAnyError) || failed == finished ? kResultFailed : kResultWarning;
  return warnings > 0 ? kResultWarning : kResultSuccess;
}

void OVOJobStepList::ResetGUIDs() {
  for (OVOJobStep* s : *this)
    if (s) s->SetGUID(OFL::Tools::GenerateGuid());
}

void OVOJobStepList::CleanForOVATransmit() {
  POSITION pos = GetHeadPosition();
  while (pos) {
    const POSITION here = pos;
    OVOJobStep* s = GetNext(pos);
    if (!s) continue;
    const auto location = s->GetRunLocation(true);
    if (location == OVOJobStep::eRunOnAgent || location == OVOJobStep::eRunOnServer) {
      s->CleanForOVATransmit();
      continue;
    }
    RemoveAt(here);
    delete s;
  }
}

bool OVOJobStepList::HasStepWithRunLocation(EStepRunLocation location) const {
  for (const OVOJobStep* s : *this)
    if (s && s->GetRunLocation(true) == location) return true;
  return false;
}

bool OVOJobStepList::HasStepWithRunLocationBeforeStep(EStepRunLocation location, const OVOJobStep* step,
                                                      bool nonVirtualOnly) const {
  if (!step) return false;
  bool seen = false;
  for (const OVOJobStep* s : *this) {
    if (!s) continue;
    if (OFL::EqualsNoCase(s->GetGUID(), step->GetGUID())) return seen;
    if (s->GetRunLocation(true) == location && !(nonVirtualOnly && s->IsVirtualStep())) seen = true;
  }
  return false;
}

bool OVOJobStepList::ContainLegacyDesasterRestore() const {
  for (const OVOJobStep* s : *this) {
    if (!s || s->GetType() != OVOJobStep::eDesasterRestore) continue;
    const auto* restore = dynamic_cast<const OVOJobStepDesasterRestore*>(s);
    if (restore && restore->GetDesasterRestore().IsLegacyRestore()) return true;
  }
  return false;
}

bool OVOJobStepList::WillReinstall(bool pendingOnly, bool includeWipe) const {
  for (const OVOJobStep* s : *this) {
    if (!s) continue;
    const uint32_t t = s->GetType();
    const bool reinstalls = t == OVOJobStep::eDeployOS || t == OVOJobStep::eInstallOS ||
                            t == OVOJobStep::eDesasterRestore || (includeWipe && t == OVOJobStep::eWipeDisk);
    if (!reinstalls) continue;
    if (pendingOnly && (s->GetOption(OVOJobStep::kOptionSkip) || s->IsFinished())) continue;
    return true;
  }
  return false;
}

}  // namespace orvacmn
