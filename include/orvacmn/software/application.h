// OVOSoftwareApplication: one entry of the software catalogue, a piece of
// software the suite installs and uninstalls on managed systems, with its
// commands, install engines, dependencies, variables, licences, files, usage
// tracking and install statistics. Managed software (sub-type "MSW", any
// case) also carries a managed-software data block.
//
// Packed as "SoftwareApplication" in the whole-object style: Pack writes the
// fields in their fixed order, Unpack(const String&) clears and reads the
// children of that root by tag (case ignored), Clear restores the defaults
// except IsSupported. Nested objects are read from the child where it stands.
// Unpack(OFLXMLParser&) is the base one and reads nothing.
//
// Objects carry no locks: callers serialise access. Copies are deep, except
// that the licence entries are shared (OVOSoftwareLicenses).
#ifndef ORVACMN_SOFTWARE_APPLICATION_H_
#define ORVACMN_SOFTWARE_APPLICATION_H_

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "orvacmn/common/types.h"
#include "orvacmn/objects/object_rights.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/objects/release_level.h"
#include "orvacmn/objects/xml_support.h"
#include "orvacmn/software/licenses.h"
#include "orvacmn/software/nested_objects.h"
#include "orvacmn/software/software_files.h"
#include "orvacmn/variables/vars.h"

namespace orvacmn {

class OVOSoftwareApplicationList;

class OVOSoftwareApplication : public OVOXMLSupport {
 public:
  enum EManagedSWType : int32_t {
    eNotManaged = 0,
    eMSWProduct = 1,
    eMSWProductLine = 2,
    eMSWVersion = 3,
  };
  // Values 0 to 6, set by the programs that use the catalogue.
  enum EDependencyType : int32_t {};

  // Options bits with a meaning here.
  static constexpr uint32_t kOptionFromParent = 0x1;  // copied by DeriveFromParent
  static constexpr uint32_t kOptionInstallConditional = 0x80;
  static constexpr uint32_t kOptionUninstallConditional = 0x100;
  static constexpr uint32_t kOptionInstallNotSilent = 0x10000;
  static constexpr uint32_t kOptionUninstallNotSilent = 0x20000;

  static constexpr int64_t kDefaultSupportedOS = 0xFFFFFF;
  static constexpr char kDefaultSecurityContext[] = "__SC__LocalAdmin__";
  static constexpr char kVarsScope[] = "__SOFTWARE__";
  // The application whose file list CleanForOVAUse keeps.
  static constexpr char kKeepFilesGuid[] = "5C99C076-BAB4-4CCF-8E55-A04CB2D61351";

  // Install statistics: twelve counts.
  struct StatisticsData {
    enum ECount {
      eTotalInstall,
      eLatestReleasedVersionInstalledGreen,
      eLatestReleasedVersionInstalledYellow,
      eUnknownVersionsInstalledGray,
      eOutdatedVersionInstalledRed,
      eReleasedForTest,
      eTotalInstallBlocked,
      eLatestReleasedVersionInstalledGreenBlocked,
      eLatestReleasedVersionInstalledYellowBlocked,
      eUnknownVersionsInstalledGrayBlocked,
      eOutdatedVersionInstalledRedBlocked,
      eReleasedForTestBlocked,
      kCountCount
    };
    std::array<uint32_t, kCountCount> counts{};
    bool operator==(const StatisticsData&) const = default;
  };

  // Usage of the application on one machine: an "AutDataEntry".
  struct AutTimeData {
    String machineGUID;
    String machineName;
    CTime installDate = 0;
    CTime firstUsed = 0;
    CTime lastUsed = 0;
    CTime lastData = 0;
    int32_t usage = 0;
    uint32_t daysSinceLastUsage = 0;
    bool autActive = false;
    bool operator==(const AutTimeData&) const = default;
  };

  // Machines by usage class: "AutSummaryData".
  struct AutSummaryData {
    uint64_t installed = 0;
    uint64_t frequently = 0;
    uint64_t occasionally = 0;
    uint64_t never = 0;
    uint64_t unknown = 0;
    uint64_t noAUT = 0;
    bool operator==(const AutSummaryData&) const = default;
  };

  // A dependency on other software, packed as "Dependencies" (schema 0):
  // "Type", "OS", "GUID", "Vendor", "Name", "Version", always all six.
  class DependencyEntry : public OVOXMLSupport {
   public:
    DependencyEntry();
    explicit DependencyEntry(const String& text);
    DependencyEntry(EDependencyType type, int64_t os, const String& guid, const String& vendor, const String& name,
                    const String& version);

    bool operator==(const DependencyEntry& o) const;
    bool operator!=(const DependencyEntry& o) const { return !(*this == o); }

    using OVOXMLSupport::Unpack;
    // Clears; then 1 only when the root "Dependencies" holds the six
    // children in this order with exactly these tags, each searched forward
    // from the previous one. Reading stops at the first one missing; the
    // fields read so far keep their values. A Type of 7 or more reads as 1.
    int Unpack(const String& text) override;

    EDependencyType GetType() const { return type_; }
    void SetType(EDependencyType v) { type_ = v; }
    int64_t GetOS() const { return os_; }
    void SetOS(int64_t v) { os_ = v; }
    const String& GetGUID() const { return guid_; }
    void SetGUID(const String& v) { guid_ = v; }
    const String& GetVendor() const { return vendor_; }
    void SetVendor(const String& v) { vendor_ = v; }
    const String& GetName() const { return name_; }
    void SetName(const String& v) { name_ = v; }
    const String& GetVersion() const { return version_; }
    void SetVersion(const String& v) { version_ = v; }

    // Name and Vendor as "%s %s", then a blank and the Version when it is
    // not empty.
    String GetDisplayName() const;
    // GUID, Vendor, Name and Version of `app`.
    void FromSoftwareApplicationWithSameOrder(const OVOSoftwareApplication& app);
    // The entry has `type` and its GUID equals `guid` (case ignored).
    static bool matches(const DependencyEntry& entry, EDependencyType type, const String& guid);

   protected:
    String InternalPack() const override;
    void InternalUnpack(OFLXMLParser& parser) override { ReadOrdered(parser); }
    void InternalClear() override;

   private:
    friend class OVOSoftwareApplication;
    // The ordered search among the children of the parser's main element.
    bool ReadOrdered(OFLXMLParser& parser);

    EDependencyType type_ = static_cast<EDependencyType>(1);
    int64_t os_ = 0;
    String guid_, vendor_, name_, version_;
  };

  OVOSoftwareApplication();
  // The defaults, then Unpack(text).
  explicit OVOSoftwareApplication(const String& text);

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  int Unpack(const String& text) override;
  // The same on the element a loaded parser holds, read in place.
  int UnpackLoaded(OFLXMLParser& loaded) override;
  void Clear() override;

  // Field-wise; a missing statistics record equals one of zeros, property
  // bags compare by their packed texts.
  bool operator==(const OVOSoftwareApplication& o) const;
  bool operator!=(const OVOSoftwareApplication& o) const { return !(*this == o); }

  // ---- fields, in packing order ----
  const String& GetGUID() const { return text_[eGUID]; }
  void SetGUID(const String& v) { text_[eGUID] = v; }
  const String& GetOrgUnit() const { return text_[eOrgUnit]; }
  void SetOrgUnit(const String& v) { text_[eOrgUnit] = v; }
  const String& GetVendor() const { return text_[eVendor]; }
  void SetVendor(const String& v) { text_[eVendor] = v; }
  const String& GetName() const { return text_[eName]; }
  void SetName(const String& v) { text_[eName] = v; }
  const String& GetVersion() const { return text_[eVersion]; }
  void SetVersion(const String& v) { text_[eVersion] = v; }
  const String& GetCategory() const { return text_[eCategory]; }
  void SetCategory(const String& v) { text_[eCategory] = v; }
  int32_t GetPrice() const { return int_[ePrice]; }
  void SetPrice(int32_t v) { int_[ePrice] = v; }
  const String& GetGUIDScanRule() const { return text_[eGUIDScanRule]; }
  void SetGUIDScanRule(const String& v) { text_[eGUIDScanRule] = v; }
  const String& GetScanRule() const { return text_[eScanRule]; }
  void SetScanRule(const String& v) { text_[eScanRule] = v; }
  const String& GetComment() const { return text_[eComment]; }
  void SetComment(const String& v) { text_[eComment] = v; }
  const String& GetInstallCommand() const { return text_[eInstallCommand]; }
  void SetInstallCommand(const String& v) { text_[eInstallCommand] = v; }
  const String& GetInstallParams() const { return text_[eInstallParams]; }
  void SetInstallParams(const String& v) { text_[eInstallParams] = v; }
  const String& GetInstallResponseFile() const { return text_[eInstallResponseFile]; }
  void SetInstallResponseFile(const String& v) { text_[eInstallResponseFile] = v; }
  const String& GetUninstallCommand() const { return text_[eUninstallCommand]; }
  void SetUninstallCommand(const String& v) { text_[eUninstallCommand] = v; }
  const String& GetUninstallParams() const { return text_[eUninstallParams]; }
  void SetUninstallParams(const String& v) { text_[eUninstallParams] = v; }
  const String& GetUninstallResponseFile() const { return text_[eUninstallResponseFile]; }
  void SetUninstallResponseFile(const String& v) { text_[eUninstallResponseFile] = v; }
  const String& GetTargetPath() const { return text_[eTargetPath]; }
  void SetTargetPath(const String& v) { text_[eTargetPath] = v; }
  const String& GetSubType() const { return text_[eSubType]; }
  void SetSubType(const String& v) { text_[eSubType] = v; }
  const String& GetType() const { return text_[eType]; }
  void SetType(const String& v) { text_[eType] = v; }
  int32_t GetInstallRebootType() const { return int_[eInstallRebootType]; }
  void SetInstallRebootType(int32_t v) { int_[eInstallRebootType] = v; }
  int32_t GetUninstallRebootType() const { return int_[eUninstallRebootType]; }
  void SetUninstallRebootType(int32_t v) { int_[eUninstallRebootType] = v; }
  OVOInstallEngine& GetInstallEngine() { return installEngine_; }
  const OVOInstallEngine& GetInstallEngine() const { return installEngine_; }
  OVOInstallEngine& GetUninstallEngine() { return uninstallEngine_; }
  const OVOInstallEngine& GetUninstallEngine() const { return uninstallEngine_; }
  const String& GetInstallEngineFile() const { return text_[eInstallEngineFile]; }
  void SetInstallEngineFile(const String& v) { text_[eInstallEngineFile] = v; }
  const String& GetUninstallEngineFile() const { return text_[eUninstallEngineFile]; }
  void SetUninstallEngineFile(const String& v) { text_[eUninstallEngineFile] = v; }
  int64_t GetSupportedOS() const { return supportedOS_; }
  void SetSupportedOS(int64_t v) { supportedOS_ = v; }
  uint32_t GetOptions() const { return options_; }
  void SetOptions(uint32_t v) { options_ = v; }
  const String& GetSecurityContext() const { return text_[eSecurityContext]; }
  void SetSecurityContext(const String& v) { text_[eSecurityContext] = v; }
  const String& GetParentGuid() const { return text_[eGUIDParentSW]; }
  void SetParentGuid(const String& v) { text_[eGUIDParentSW] = v; }
  const OVOReleaseLevel& GetReleaseLevel() const { return releaseLevel_; }
  void SetReleaseLevel(const OVOReleaseLevel& v) { releaseLevel_ = v; }
  bool GetIsLatestVersion() const { return flag_[eIsLatestVersion]; }
  void SetIsLatestVersion(bool v) { flag_[eIsLatestVersion] = v; }
  bool GetIsSupported() const { return flag_[eIsSupported]; }
  void SetIsSupported(bool v) { flag_[eIsSupported] = v; }
  const String& GetAdditionalHashGuid() const { return text_[eAdditionalHashGuid]; }
  void SetAdditionalHashGuid(const String& v) { text_[eAdditionalHashGuid] = v; }
  // Null when the application holds no statistics record.
  const StatisticsData* GetStatisticsData() const { return statistics_ ? &*statistics_ : nullptr; }
  // Replaces (and frees) the record; null leaves none.
  void SetStatisticsData(std::unique_ptr<StatisticsData> data);
  const String& GetConsistencyChecks() const { return text_[eConsistencyChecks]; }
  void SetConsistencyChecks(const String& v) { text_[eConsistencyChecks] = v; }
  OVOVars& GetVars() { return vars_; }
  const OVOVars& GetVars() const { return vars_; }
  OVOProperties& GetProperties() { return properties_; }
  const OVOProperties& GetProperties() const { return properties_; }
  OVOObjectRights& GetObjectRights() { return rights_; }
  const OVOObjectRights& GetObjectRights() const { return rights_; }
  OVOSoftwareLicenses& GetLicenses() { return licenses_; }
  const OVOSoftwareLicenses& GetLicenses() const { return licenses_; }
  _OVOLicenseActions& GetLicenseActions() { return licenseActions_; }
  const _OVOLicenseActions& GetLicenseActions() const { return licenseActions_; }
  const String& GetReservedLicense() const { return text_[eReservedLicense]; }
  void SetReservedLicense(const String& v) { text_[eReservedLicense] = v; }
  bool GetFullyLoaded() const { return flag_[eFullyLoaded]; }
  void SetFullyLoaded(bool v) { flag_[eFullyLoaded] = v; }
  bool GetIsDeinstall() const { return flag_[eIsDeinstall]; }
  void SetIsDeinstall(bool v) { flag_[eIsDeinstall] = v; }
  bool GetIsReinstallation() const { return flag_[eIsReinstallation]; }
  void SetIsReinstallation(bool v) { flag_[eIsReinstallation] = v; }
  OVOSoftwareFiles& GetFiles() { return files_; }
  const OVOSoftwareFiles& GetFiles() const { return files_; }
  EManagedSWType GetManagedSWType() const { return managedSWType_; }
  void SetManagedSWType(EManagedSWType v) { managedSWType_ = v; }
  OVOAUTApplicationDetectRules& GetDetectRules() { return detectRules_; }
  const OVOAUTApplicationDetectRules& GetDetectRules() const { return detectRules_; }
  AutSummaryData& GetAutSummaryData() { return autSummary_; }
  const AutSummaryData& GetAutSummaryData() const { return autSummary_; }
  std::vector<AutTimeData>& GetAutData() { return autData_; }
  const std::vector<AutTimeData>& GetAutData() const { return autData_; }
  const String& GetSortOrder() const { return text_[eSortOrder]; }
  void SetSortOrder(const String& v) { text_[eSortOrder] = v; }
  OVOManagedSoftwareProperties& GetManagedSoftwareData() { return managedData_; }
  const OVOManagedSoftwareProperties& GetManagedSoftwareData() const { return managedData_; }

  // ---- operations ----

  // A length-packed String holding the GUID.
  String GetKey() const;
  // Vendor, Name and, when Version is neither empty nor a GUID, Version,
  // joined with single blanks.
  String GetDisplayName() const;
  // All bits of `mask` are set in Options.
  bool GetOption(uint32_t mask) const { return (options_ & mask) == mask; }
  void SetOption(uint32_t mask, bool on) { options_ = on ? (options_ | mask) : (options_ & ~mask); }
  bool HasInstallEngineConfigured() const { return !GetInstallEngineFile().empty(); }
  bool HasUninstallEngineConfigured() const { return !GetUninstallEngineFile().empty(); }
  bool GetCanInstall() const { return !GetInstallCommand().empty() || HasInstallEngineConfigured(); }
  bool GetCanUninstall() const { return !GetUninstallCommand().empty() || HasUninstallEngineConfigured(); }
  // False when the not-silent bit of the operation (0x10000 installation,
  // 0x20000 uninstallation) is set, or when `conditional` is true and its
  // conditional bit (0x80, 0x100) is set; otherwise true.
  bool GetSilentExecution(bool forInstallation, bool conditional) const;
  void ClearSWScanRule();

  bool IsManagedSW() const;
  bool IsMSWProduct() const { return managedSWType_ == eMSWProduct; }
  bool IsMSWProductLine() const { return managedSWType_ == eMSWProductLine; }
  bool IsMSWVersion() const { return managedSWType_ == eMSWVersion; }

  // Appends a copy.
  void AddSoftwareDependency(const DependencyEntry& entry) { dependencies_.push_back(entry); }
  void DeleteListSoftwareDependencies() { dependencies_.clear(); }
  int32_t GetDependencyCount() const { return static_cast<int32_t>(dependencies_.size()); }
  // Null for an index out of range.
  const DependencyEntry* GetDependencyEntry(int32_t index) const;
  DependencyEntry* GetDependencyEntry(int32_t index);
  // Index of the first entry that `matches`, or -1.
  int32_t GetDependencyPos(EDependencyType type, const String& guid) const;
  // Copies the first matching entry into `entry`; false if none.
  bool FindDependency(EDependencyType type, const String& guid, DependencyEntry& entry) const;

  // A managed version (type 3) takes SupportedOS, the variables and the EULA
  // texts from `parent`; a product line or version (2 or 3) takes Name,
  // Vendor, Category and Options bit 0x1. Other types change nothing.
  void DeriveFromParent(const OVOSoftwareApplication& parent);
  // For an agent: no dependencies, rights or licence actions, and no files
  // unless the GUID is exactly kKeepFilesGuid.
  void CleanForOVAUse();
  // Rebuilds the file list from the engine files and the key folders of the
  // installation and uninstallation (CDIPLocator::GetKeyFile), expanded with
  // the application's variables, keeping only paths that start with the
  // distribution point's or the server's placeholder. Part of the
  // distribution layer.
  void AutoDetermineFiles();
  // The property "Parameters" defines at least one custom variable.
  bool HasConfigurableParameters() const;
  // Sets "CombinedSWTypes" to `type` in decimal and "CombinedSWSubTypes" to
  // "APP" for type 0, else "MSW".
  static void CreateFilterForApplicationType(OVOProperties& properties, int32_t type);
  static void CreateFilterForApplicationType(OVO::Properties& properties, int32_t type);

  // a's Version before b's in natural order: digit runs compare by value,
  // other characters without regard to ASCII case.
  static bool NaturalCompareByVersion(const OVOSoftwareApplication& a, const OVOSoftwareApplication& b);
  // SortOrder compared case-sensitively.
  static bool CompareBySortOrderAscending(const OVOSoftwareApplication& a, const OVOSoftwareApplication& b);
  static bool CompareBySortOrderDescending(const OVOSoftwareApplication& a, const OVOSoftwareApplication& b);
  using Ptr = std::shared_ptr<OVOSoftwareApplication>;
  static bool NaturalCompareByVersion(const Ptr& a, const Ptr& b) { return NaturalCompareByVersion(*a, *b); }
  static bool CompareBySortOrderAscending(const Ptr& a, const Ptr& b) { return CompareBySortOrderAscending(*a, *b); }
  static bool CompareBySortOrderDescending(const Ptr& a, const Ptr& b) {
    return CompareBySortOrderDescending(*a, *b);
  }

 private:
  friend class OVOSoftwareApplicationList;
  enum ETextField {
    eGUID, eOrgUnit, eVendor, eName, eVersion, eCategory, eGUIDScanRule, eScanRule, eComment, eInstallCommand,
    eInstallParams, eInstallResponseFile, eUninstallCommand, eUninstallParams, eUninstallResponseFile, eTargetPath,
    eSubType, eType, eInstallEngineFile, eUninstallEngineFile, eSecurityContext, eGUIDParentSW, eAdditionalHashGuid,
    eConsistencyChecks, eReservedLicense, eSortOrder, kTextCount
  };
  enum EIntField { ePrice, eInstallRebootType, eUninstallRebootType, kIntCount };
  enum EFlagField { eIsLatestVersion, eIsSupported, eFullyLoaded, eIsDeinstall, eIsReinstallation, kFlagCount };
  struct Field;

  void AppendFields(String& out) const;
  // The whole-object loop over the root element that `loaded` has found;
  // nested objects are read in place through `scratch`.
  void ReadFields(OFLXMLParser& loaded, OFLXMLParser& scratch);
  void ReadField(const Field& field, OFLXMLParser& parser, OFLXMLParser& scratch, StatisticsData& stats);

  std::array<String, kTextCount> text_;
  std::array<int32_t, kIntCount> int_{};
  std::array<bool, kFlagCount> flag_{};
  OVOInstallEngine installEngine_, uninstallEngine_;
  int64_t supportedOS_ = kDefaultSupportedOS;
  uint32_t options_ = 0;
  OVOReleaseLevel releaseLevel_;
  std::optional<StatisticsData> statistics_;
  std::vector<DependencyEntry> dependencies_;
  OVOVars vars_;
  OVOProperties properties_;
  OVOObjectRights rights_;
  OVOSoftwareLicenses licenses_;
  _OVOLicenseActions licenseActions_;
  OVOSoftwareFiles files_;
  EManagedSWType managedSWType_ = eNotManaged;
  OVOAUTApplicationDetectRules detectRules_;
  AutSummaryData autSummary_;
  std::vector<AutTimeData> autData_;
  OVOManagedSoftwareProperties managedData_;
};

}  // namespace orvacmn

#endif  // ORVACMN_SOFTWARE_APPLICATION_H_
