// ovo steps result [--options N] [FILE]
// ovo steps next-boot [FILE]
// and the job-step classes of `ovo object`: the step list, every step kind,
// the objects nested in steps, and OVOJobStep, which takes a step of any
// kind (chosen by its "type" attribute).
#include <iostream>
#include <limits>
#include <memory>

#include "orvacmn/jobs.h"
#include "ovo.h"

namespace {

using namespace orvacmn;  // NOLINT: the class names are the point here

// A step of whatever kind its text names, for `ovo object OVOJobStep`.
class AnyJobStep : public OVOXMLSupport {
 public:
  AnyJobStep() : OVOXMLSupport(CatalogueEntryFor("OVOJobStep")) {}
  String Pack() const override { return step_ ? step_->Pack() : OVOXMLSupport::Pack(); }
  using OVOXMLSupport::Unpack;
  int Unpack(const String& text) override {
    step_.reset(OVOJobStepList::CreateJobStep(text));
    return step_ ? 1 : 0;
  }

 private:
  std::unique_ptr<OVOJobStep> step_;
};

template <class T>
ovo::ObjectFactory Make() {
  return [] { return std::make_unique<T>(); };
}

const ovo::ObjectClass kClasses[] = {
    {"OVOJobStepList", Make<OVOJobStepList>()},
    {"OVOJobStep", Make<AnyJobStep>()},
    {"OVOJobStepDeployOS", Make<OVOJobStepDeployOS>()},
    {"OVOJobStepPerformPatchUpdate", Make<OVOJobStepPerformPatchUpdate>()},
    {"OVOJobStepInstallSoftware", Make<OVOJobStepInstallSoftware>()},
    {"OVOJobStepPerformManagedSoftwareUpdate", Make<OVOJobStepPerformManagedSoftwareUpdate>()},
    {"OVOJobStepOSCloningBackup", Make<OVOJobStepOSCloningBackup>()},
    {"OVOJobStepTurnOnBitLocker", Make<OVOJobStepTurnOnBitLocker>()},
    {"OVOJobStepRemoveMicrosoftUpdates", Make<OVOJobStepRemoveMicrosoftUpdates>()},
    {"OVOJobStepInstallApplication", Make<OVOJobStepInstallApplication>()},
    {"OVOJobStepUninstallApplication", Make<OVOJobStepUninstallApplication>()},
    {"OVOJobStepPerformInventory", Make<OVOJobStepPerformInventory>()},
    {"OVOJobStepDeterminePatchState", Make<OVOJobStepDeterminePatchState>()},
    {"OVOJobStepDetermineManagedSoftwareState", Make<OVOJobStepDetermineManagedSoftwareState>()},
    {"OVOJobStepBootImage", Make<OVOJobStepBootImage>()},
    {"OVOJobStepInstallOS", Make<OVOJobStepInstallOS>()},
    {"OVOJobStepOSCloningBackupImaging", Make<OVOJobStepOSCloningBackupImaging>()},
    {"OVOJobStepOSCloningBackupSysprep", Make<OVOJobStepOSCloningBackupSysprep>()},
    {"OVOJobStepWipeDisk", Make<OVOJobStepWipeDisk>()},
    {"OVOJobStepPreOSScript", Make<OVOJobStepPreOSScript>()},
    {"OVOJobStepPersonalBackup", Make<OVOJobStepPersonalBackup>()},
    {"OVOJobStepPersonalRestore", Make<OVOJobStepPersonalRestore>()},
    {"OVOJobStepDesasterBackup", Make<OVOJobStepDesasterBackup>()},
    {"OVOJobStepDesasterRestore", Make<OVOJobStepDesasterRestore>()},
    {"OVOJobStepLegacyMetaFrame", Make<OVOJobStepLegacyMetaFrame>()},
    {"OVOJobStepApplyEnergyPolicy", Make<OVOJobStepApplyEnergyPolicy>()},
    {"OVOJobStepServerSideAction", Make<OVOJobStepServerSideAction>()},
    {"OVOJobStepComplianceScan", Make<OVOJobStepComplianceScan>()},
    {"OVOJobStepControlVirtualMachine", Make<OVOJobStepControlVirtualMachine>()},
    {"OVOJobStepCreateVMFromProfile", Make<OVOJobStepCreateVMFromProfile>()},
    {"OvoJobStepNetworkScan", Make<OvoJobStepNetworkScan>()},
    {"OVOJobStepEncryptOSDrive", Make<OVOJobStepEncryptOSDrive>()},
    {"OVOJobStepWaitForOSDriveEncryption", Make<OVOJobStepWaitForOSDriveEncryption>()},
    {"OVOJobStepEncryptDataDrives", Make<OVOJobStepEncryptDataDrives>()},
    {"OVOJobStepTurnOffBitLocker", Make<OVOJobStepTurnOffBitLocker>()},
    {"OVOJobStepCheckEncryptionAndSetPIN", Make<OVOJobStepCheckEncryptionAndSetPIN>()},
    {"OVOJobStepTurnOnBitLockerNetworkUnlock", Make<OVOJobStepTurnOnBitLockerNetworkUnlock>()},
    {"OVOJobStepTurnOffBitLockerNetworkUnlock", Make<OVOJobStepTurnOffBitLockerNetworkUnlock>()},
    {"OVOJobStepMicrosoftUpdateInventory", Make<OVOJobStepMicrosoftUpdateInventory>()},
    {"OvoJobStepUpdateAntivirusDefinitions", Make<OvoJobStepUpdateAntivirusDefinitions>()},
    {"OvoJobStepRunMicrosoftDefenderScan", Make<OvoJobStepRunMicrosoftDefenderScan>()},
    {"OVOJobStepMicrosoftUpdateUninstallation", Make<OVOJobStepMicrosoftUpdateUninstallation>()},
    {"OVOSoftwareOS", Make<OVOSoftwareOS>()},
    {"OVOBootEnvironment", Make<OVOBootEnvironment>()},
    {"OVOOSCloningBackupOptions", Make<OVOOSCloningBackupOptions>()},
    {"OVODesasterBackup", Make<OVODesasterBackup>()},
    {"OVODesasterRestore", Make<OVODesasterRestore>()},
    {"CVMProvisioningProfile", Make<CVMProvisioningProfile>()},
    {"OVO::InventoryTemplate", Make<OVO::InventoryTemplate>()},
    {"OVO::BitLockerProfile", Make<OVO::BitLockerProfile>()},
    {"OVO::OVOWuaJobStepSettings", Make<OVO::OVOWuaJobStepSettings>()},
    {"OVO::ComplianceScanProfile", Make<OVO::ComplianceScanProfile>()},
    {"OVO::SnmpScanProfile", Make<OVO::SnmpScanProfile>()},
};

// Reads FILE (or stdin) into `list`; false with an error when the text holds
// no "JobStepList" element.
bool ReadList(const std::string& file, OVOJobStepList& list) {
  std::string text;
  if (!ovo::ReadInput(file, text)) return false;
  if (list.Unpack(text) == 0) {
    ovo::Error("no <" + list.GetObjectName() + "> element in the input");
    return false;
  }
  return true;
}

struct ResultArgs {
  std::string file;
  std::string options = "0";
};

int RunResult(const ResultArgs& a) {
  uint64_t options = 0;
  if (!ovo::ParseNumber(a.options, options) || options > std::numeric_limits<uint32_t>::max())
    return ovo::Error("--options does not fit in 32 bits: " + a.options, 2);
  OVOJobStepList list;
  if (!ReadList(a.file, list)) return 1;
  String text;
  const uint32_t code = list.DetermineResult(text, static_cast<uint32_t>(options));
  std::cout << code << "\t" << text << "\n";
  return 0;
}

int RunNextBoot(const std::string& file) {
  OVOJobStepList list;
  if (!ReadList(file, list)) return 1;
  const OVOJobStep* step = list.GetNextPendingBootClientStep();
  if (step == nullptr) return 1;
  std::cout << step->GetGUID() << "\n";
  return 0;
}

void Register(CLI::App& app, int& exitCode) {
  auto* steps = app.add_subcommand("steps", "Results and boot-client steps of packed job step lists");
  steps->require_subcommand(1);

  auto result = std::make_shared<ResultArgs>();
  auto* cmd = steps->add_subcommand("result", "The job's result code and text, tab-separated");
  cmd->add_option("FILE", result->file, "Packed JobStepList (default: stdin)");
  cmd->add_option("--options", result->options, "Option bits; 0x2 makes any failed step fail the job")
      ->check(ovo::NumberValidator());
  cmd->callback([result, &exitCode] { exitCode = RunResult(*result); });

  auto file = std::make_shared<std::string>();
  cmd = steps->add_subcommand("next-boot", "GUID of the next boot-client step to run (status 1 when none)");
  cmd->add_option("FILE", *file, "Packed JobStepList (default: stdin)");
  cmd->callback([file, &exitCode] { exitCode = RunNextBoot(*file); });
}

const ovo::Registration reg(85, Register);

}  // namespace
