// The step kinds of a deploy package (CPackage), one class per keyword of
// the [Install] section. Each reads its section's keys in Read and does its
// work in Execute; see CPackage for how steps reach this machine.
#ifndef ORVACMN_DISTRIBUTION_PACKAGE_ACTIONS_H_
#define ORVACMN_DISTRIBUTION_PACKAGE_ACTIONS_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "ofl/registry.h"
#include "orvacmn/distribution/package.h"
#include "orvacmn/distribution/package_platform.h"

namespace orvacmn {

using CPackageAction = CPackage::CPackageAction;

// "CopyFiles": "Source" (a file, a folder or a pattern such as "*.txt" in
// the last name) to the folder "Destination", folders copied whole;
// relative names are kept below the destination. Links in the source are
// left out.
class CPackageActionCopyFiles : public CPackageAction {
 public:
  using CPackageAction::CPackageAction;
  const char* GetKeyword() const override { return "CopyFiles"; }
  uint32_t Read(const OFLTokenizer& lines) override;
  uint32_t Execute(String& logLine) override;

 private:
  String source_, destination_;
};

// "ModifyRegistry": "Root" (HKLM by default, HKCU, HKU, HKCR, HKCC; another
// root fails the read with 0xFFFFFFFF), "Key", and repeatable
// "CreateSubKey", "SetStringValue" and "SetDWordValue" ("name,value").
class CPackageActionModifyRegistry : public CPackageAction {
 public:
  using CPackageAction::CPackageAction;
  const char* GetKeyword() const override { return "ModifyRegistry"; }
  uint32_t Read(const OFLTokenizer& lines) override;
  uint32_t Execute(String& logLine) override;

 private:
  OFLRegistry::ERoot root_ = OFLRegistry::kHKLM;
  String key_;
  std::vector<String> subKeys_, stringValues_, dwordValues_;
};

// "CreateShortcuts": "Location" (DESK, MENU, PROG, START), "Name",
// "Filename", "Arguments", "Description", "WorkingDir", "RelPath" (a folder
// below the location; not for START, whose folder takes no sub-folders).
// Written as a desktop entry "Name.desktop".
class CPackageActionCreateShortcut : public CPackageAction {
 public:
  using CPackageAction::CPackageAction;
  const char* GetKeyword() const override { return "CreateShortcuts"; }
  uint32_t Read(const OFLTokenizer& lines) override;
  uint32_t Execute(String& logLine) override;

 private:
  String location_, name_, filename_, arguments_, comment_, workingDir_, relPath_;
};

// "CreateUsers": the account, through the package's platform.
class CPackageActionCreateUser : public CPackageAction {
 public:
  using CPackageAction::CPackageAction;
  const char* GetKeyword() const override { return "CreateUsers"; }
  uint32_t Read(const OFLTokenizer& lines) override;
  uint32_t Execute(String& logLine) override;
  const IPackagePlatform::User& GetUser() const { return user_; }

 private:
  IPackagePlatform::User user_;
};

// "LocalGroup" and "GlobalGroup": "Name", "Comment", "AddMembers".
class CPackageActionLocalGroup : public CPackageAction {
 public:
  using CPackageAction::CPackageAction;
  const char* GetKeyword() const override { return "LocalGroup"; }
  uint32_t Read(const OFLTokenizer& lines) override;
  uint32_t Execute(String& logLine) override;

 protected:
  IPackagePlatform::Group group_;
};

class CPackageActionGlobalGroup : public CPackageActionLocalGroup {
 public:
  using CPackageActionLocalGroup::CPackageActionLocalGroup;
  const char* GetKeyword() const override { return "GlobalGroup"; }
  uint32_t Read(const OFLTokenizer& lines) override;
};

// "Execute": "Program" (a command line; the distribution point is chosen
// when the section is read), "Wait" (default 1) and "Comment", the exit code
// that counts as success (default 0). Without waiting the exit code counts
// as -1. Arguments that are mapped Windows paths are passed as local paths.
class CPackageActionExecute : public CPackageAction {
 public:
  using CPackageAction::CPackageAction;
  const char* GetKeyword() const override { return "Execute"; }
  uint32_t Read(const OFLTokenizer& lines) override;
  uint32_t Execute(String& logLine) override;

 private:
  String program_;
  int32_t wait_ = 1;
  int32_t expected_ = 0;
};

// "SetDisplayMode": "XResolution", "YResolution", "ColorDepth", "Frequency".
class CPackageActionSetDisplayMode : public CPackageAction {
 public:
  using CPackageAction::CPackageAction;
  const char* GetKeyword() const override { return "SetDisplayMode"; }
  uint32_t Read(const OFLTokenizer& lines) override;
  uint32_t Execute(String& logLine) override;

 private:
  IPackagePlatform::DisplayMode mode_;
};

// "CreateShares": "Name", "Path", "Comment", "MaxUses".
class CPackageActionCreateShare : public CPackageAction {
 public:
  using CPackageAction::CPackageAction;
  const char* GetKeyword() const override { return "CreateShares"; }
  uint32_t Read(const OFLTokenizer& lines) override;
  uint32_t Execute(String& logLine) override;

 private:
  IPackagePlatform::Share share_;
};

// The step of a keyword (case ignored), or null for an unknown one.
std::unique_ptr<CPackageAction> CreatePackageAction(std::string_view keyword, CPackage& package);

}  // namespace orvacmn

#endif  // ORVACMN_DISTRIBUTION_PACKAGE_ACTIONS_H_
