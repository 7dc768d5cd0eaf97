// The step kinds that carry a software application (OVOSoftwareApplication,
// the "SoftwareApplication" element): installing and uninstalling it, and
// the system preparation of a cloning backup.
//
// Objects carry no locks; use each from one thread at a time.
#ifndef ORVACMN_JOBS_JOB_STEP_APPLICATION_H_
#define ORVACMN_JOBS_JOB_STEP_APPLICATION_H_

#include "orvacmn/jobs/job_step_kinds.h"
#include "orvacmn/software/application.h"

namespace orvacmn {

// Steps 110 and 111: "SoftwareApplication". They run in the local install
// user's context when the application's security context is
// "__SC__InstallUser__" (case ignored).
class OVOJobStepWithApplication : public OVOJobStep {
 public:
  OVOSoftwareApplication& GetSoftwareApplication() { return application_; }
  const OVOSoftwareApplication& GetSoftwareApplication() const { return application_; }

  void ClearStep() override;
  String PackStepData() const override;
  // The application's display name.
  String GetAppDisplayName() const override;
  bool IsContextLocalInstallUser() const override;

 protected:
  explicit OVOJobStepWithApplication(EStepType type) : OVOJobStep(type) {}
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  OVOSoftwareApplication application_;
};

// 110: installs an application; in the boot client with option 0x40000.
class OVOJobStepInstallApplication : public OVOJobStepWithApplication {
 public:
  explicit OVOJobStepInstallApplication(const String& text = String());
  String GetStepDescription() const override;
};

// 111: uninstalls an application.
class OVOJobStepUninstallApplication : public OVOJobStepWithApplication {
 public:
  explicit OVOJobStepUninstallApplication(const String& text = String());
  String GetStepDescription() const override;
};

// 144: prepares the system for a cloning backup: the data of type 14, then
// "SoftwareApplication" (the preparation tool). The scheduler may always
// resume the job once it is done, since the imaging follows in the boot
// client.
class OVOJobStepOSCloningBackupSysprep : public OVOJobStepOSCloningBackup {
 public:
  explicit OVOJobStepOSCloningBackupSysprep(const String& text = String());

  OVOSoftwareApplication& GetSoftwareApplication() { return application_; }
  const OVOSoftwareApplication& GetSoftwareApplication() const { return application_; }

  void ClearStep() override;
  String PackStepData() const override;
  String GetStepDescription() const override;
  bool SchedulerCanResumeJobWhenStepIsCompleted() const override { return true; }

 protected:
  void ReadStepData(OFLXMLParser& parser) override;
  template <class S, class V>
  static void Fields(S& self, V& v);

 private:
  OVOSoftwareApplication application_;
};

}  // namespace orvacmn

#endif  // ORVACMN_JOBS_JOB_STEP_APPLICATION_H_
