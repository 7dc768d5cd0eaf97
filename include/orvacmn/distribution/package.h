// CPackage: a deploy package, a profile-format file whose [Install] section
// lists installation steps, each with a section of its own:
//
//   [Install]
//   Description=Demo tool 1.0
//   CopyFiles=Program,Docs
//   ModifyRegistry=Settings
//   Execute=Setup
//
// InstallPackage reads the file, expands the package's variables in every
// line, chooses the distribution point for paths that name it, and runs the
// steps in order, collecting one result line per step; the first step that
// fails ends the run with two more lines (the error's text and the step).
//
// On this machine: Windows paths in the package go through a path map
// (OFL::PathMap), so a package reaches only the shares and drives the
// caller mapped, and never climbs above them with "..". Copies and programs
// run for real (programs without a shell unless the program line asks for
// one: "cmd /c ..."). Shortcuts become desktop entries in the folders of
// ShortcutFolders. Registry steps write to the registry stand-in
// (OFLRegistry) under the caller's folder. Users, groups, shares and display
// modes go to an IPackagePlatform. A dry run logs every step with its
// expanded values and changes nothing.
//
// Sections are read with the platform's 4,095-byte buffers: lines beyond
// them are left out, and a result line says so.
//
// A package runs on the calling thread; one thread at a time.
#ifndef ORVACMN_DISTRIBUTION_PACKAGE_H_
#define ORVACMN_DISTRIBUTION_PACKAGE_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "ofl/path_map.h"
#include "ofl/tokenizer.h"
#include "orvacmn/common/types.h"
#include "orvacmn/distribution/package_platform.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/variables/ovk_vars.h"

namespace orvacmn {

// A progress display of an interactive installation.
class IPackageProgress {
 public:
  virtual ~IPackageProgress() = default;
  virtual void Open(const String& title, const String& line, int steps) = 0;
  // Before each step, with its description.
  virtual void Step(const String& description) = 0;
  virtual void Close() = 0;
};

class CPackage {
 public:
  using HANDLE = void*;

  // A step of the package. Read takes the lines of its section
  // ("key=value", the package's variables expanded), Execute runs it and
  // gives its result line. Both return 0 on success, else an error code.
  class CPackageAction {
   public:
    explicit CPackageAction(CPackage& package) : package_(package) {}
    virtual ~CPackageAction() = default;
    CPackageAction(const CPackageAction&) = delete;
    CPackageAction& operator=(const CPackageAction&) = delete;

    virtual uint32_t Execute(String& logLine) = 0;
    // Keeps every line's key and value; "Description" becomes the step's
    // description. Subclasses take their values after calling it.
    virtual uint32_t Read(const OFLTokenizer& lines);

    // The keyword of the step in [Install].
    virtual const char* GetKeyword() const = 0;
    const String& GetDescription() const { return description_; }
    void SetDescription(const String& description) { description_ = description; }
    // Key and value of each line of the section, in file order.
    const std::vector<std::pair<String, String>>& GetValues() const { return values_; }

   protected:
    // The value of the last line with `key` (case ignored), or `fallback`.
    String Value(std::string_view key, const String& fallback = String()) const;
    // The values of every line with `key`, in file order.
    std::vector<String> Values(std::string_view key) const;
    // Returns `code`, with `detail` (when not empty) added to the result line.
    static uint32_t WithDetail(String& logLine, uint32_t code, const String& detail);
    CPackage& package_;

   private:
    String description_;
    std::vector<std::pair<String, String>> values_;
  };

  // The folders that take the shortcuts of each location.
  struct ShortcutFolders {
    String desktop;   // DESK
    String menu;      // MENU
    String programs;  // PROG
    String startup;   // START
    // The XDG folders of the current user: the desktop of user-dirs.dirs
    // (else ~/Desktop), the applications folder of XDG_DATA_HOME for the
    // menu and the programs, the autostart folder of XDG_CONFIG_HOME.
    static ShortcutFolders FromEnvironment();
  };

  static constexpr uint32_t kSectionBuffer = 4095;

  // `packageFile` may hold placeholders, among them the distribution point's.
  explicit CPackage(const String& packageFile);
  virtual ~CPackage();
  CPackage(const CPackage&) = delete;
  CPackage& operator=(const CPackage&) = delete;

  void SetDIPs(const String& dips) { dips_ = dips; }
  const String& GetDIPs() const { return dips_; }
  // The folder of the package file: the path without its last "\" (or "/")
  // part.
  const String& GetPackagePath() const { return packagePath_; }
  const String& GetDescription() const { return description_; }
  const OFLTokenizer& GetResults() const { return results_; }
  int GetInteractiveExecution() const { return interactive_; }
  void SetImpersonationToken(HANDLE token) { token_ = token; }
  HANDLE GetImpersonationToken() const { return token_; }
  // Unpacks a packed COVKVars into the package's variables.
  void SetSubstitutionVars(const String& xml) { vars_.Unpack(xml); }
  COVKVars& GetSubstitutionVars() { return vars_; }
  const COVKVars& GetSubstitutionVars() const { return vars_; }
  // The steps read by the last InstallPackage, in order. A section named
  // again under the same keyword is the same step again (the same object),
  // read once.
  const OVOTypedPtrList<CPackageAction>& GetActions() const { return actions_; }

  // ---- this machine ----
  // The map of shares and drives; null restores this machine's mounts.
  void SetPathMap(std::shared_ptr<const OFL::PathMap> map);
  const OFL::PathMap& GetPathMap() const { return *map_; }
  // The registry stand-in's folder; by default
  // $XDG_STATE_HOME/orvacmn/registry (~/.local/state/orvacmn/registry).
  void SetRegistryFolder(const String& folder) { registryFolder_ = folder; }
  const String& GetRegistryFolder() const { return registryFolder_; }
  static String DefaultRegistryFolder();
  // Null restores CUnsupportedPackagePlatform.
  void SetPlatform(std::shared_ptr<IPackagePlatform> platform);
  IPackagePlatform& GetPlatform() const { return *platform_; }
  void SetShortcutFolders(const ShortcutFolders& folders) { shortcutFolders_ = folders; }
  const ShortcutFolders& GetShortcutFolders() const { return shortcutFolders_; }
  void SetDryRun(bool dryRun) { dryRun_ = dryRun; }
  bool IsDryRun() const { return dryRun_; }
  // Shown when the package runs interactively (silent 0); not owned.
  void SetProgress(IPackageProgress* progress) { progress_ = progress; }

  // Splits `line` at the first `separator` into a trimmed key and the
  // trimmed rest (which may hold the separator); a key or value of three
  // characters or more in double quotes loses them. Without the separator
  // the value is empty.
  static void AnalyzeLine(const String& line, String& key, String& value, char separator);

  // Reads and runs the package. 0 when every step succeeded, else the
  // failing step's code (or the read's).
  uint32_t InstallPackage(int silent);

  // `text` with the distribution point's placeholder replaced by the entry
  // of the package's list that serves it; unchanged without a placeholder.
  String ResolveDip(const String& text) const;
  // The local path of a Windows path of the package, or an error code (and
  // a readable reason in `why`) when the map does not cover it.
  uint32_t LocalPath(const String& path, String& local, String& why) const;

 protected:
  // Reads the steps of the package file `file` (a local path). 0, or the
  // code of the first step whose section cannot be read.
  uint32_t Read(const String& file);

 private:
  void DeleteActions();
  void AddError(uint32_t code, const String& step);

  OVOTypedPtrList<CPackageAction> actions_;                // in order; a step may repeat
  std::vector<std::unique_ptr<CPackageAction>> ownedActions_;  // each step once
  COVKVars vars_;
  String dips_;
  String packageFile_;
  String packagePath_;
  String description_;
  OFLTokenizer results_;
  int interactive_ = 0;
  HANDLE token_ = nullptr;
  std::shared_ptr<const OFL::PathMap> map_;
  String registryFolder_;
  std::shared_ptr<IPackagePlatform> platform_;
  ShortcutFolders shortcutFolders_;
  bool dryRun_ = false;
  IPackageProgress* progress_ = nullptr;
  String failedStep_;  // the description of the step whose read failed
};

}  // namespace orvacmn

#endif  // ORVACMN_DISTRIBUTION_PACKAGE_H_
