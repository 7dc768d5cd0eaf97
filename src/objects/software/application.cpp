// The software application and its dependency entries. It lives with the
// variables because an application carries a variable set and reads custom
// variable definitions from its "Parameters" property.
#include "orvacmn/software/application.h"

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "ofl/tag_sequence.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/variables/custom_var_def.h"

namespace orvacmn {
namespace {

using App = OVOSoftwareApplication;

enum class Kind : uint8_t {
  Text, Int, Flag, Engine, SupportedOS, Options, ReleaseLevel, Statistic, Dependencies, Vars, Properties, Rights,
  Licenses, LicenseActions, Files, ManagedSWType, DetectRules, AutSummary, AutData, Managed
};

constexpr char kTagInstallEngine[] = "InstallEngine";
constexpr char kTagUninstallEngine[] = "UninstallEngine";

constexpr std::string_view kSummaryTags[] = {"Installed", "Frequently", "Occasionally", "Never", "Unknown", "NoAUT"};
constexpr char kTagAutDataEntry[] = "AutDataEntry";
enum EAutTag { eMachineGUID, eMachineName, eInstallDate, eFirstUsed, eLastUsed, eLastData, eUsage, eDays, eActive };
constexpr std::string_view kAutTags[] = {"MachineGUID", "MachineName", "InstallDate",        "FirstUsed", "LastUsed",
                                         "LastData",    "Usage",       "DaysSinceLastUsage", "AUTactive"};

constexpr char kPropertyParameters[] = "Parameters";

// The count of kSummaryTags[i].
template <class Summary>
auto SummaryCount(Summary& s, size_t i) {
  decltype(&s.installed) counts[] = {&s.installed, &s.frequently, &s.occasionally, &s.never, &s.unknown, &s.noAUT};
  return counts[i];
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// <0, 0, >0. Runs of digits compare by their value (leading zeros aside),
// everything else character by character without regard to ASCII case.
int NaturalCompare(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      while (i < a.size() && a[i] == '0') ++i;
      while (j < b.size() && b[j] == '0') ++j;
      size_t ei = i, ej = j;
      while (ei < a.size() && IsDigit(a[ei])) ++ei;
      while (ej < b.size() && IsDigit(b[ej])) ++ej;
      if (ei - i != ej - j) return ei - i < ej - j ? -1 : 1;
      const int c = a.substr(i, ei - i).compare(b.substr(j, ej - j));
      if (c != 0) return c;
      i = ei;
      j = ej;
      continue;
    }
    const auto x = static_cast<unsigned char>(OFL::ToLowerAscii(a[i]));
    const auto y = static_cast<unsigned char>(OFL::ToLowerAscii(b[j]));
    if (x != y) return x < y ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  return j < b.size() ? -1 : 0;
}

template <class Bag>
void SetFilter(Bag& bag, int32_t type) {
  OFLTokenizer types;
  types.AddString(std::to_string(type));
  bag.SetProperty("CombinedSWTypes", types.AsString("#"));
  OFLTokenizer subTypes;
  subTypes.AddString(type == 0 ? "APP" : "MSW");
  bag.SetProperty("CombinedSWSubTypes", subTypes.AsString("#"));
}

}  // namespace

struct OVOSoftwareApplication::Field {
  std::string_view tag;
  Kind kind;
  int index;

  // The fields in packing order.
  static std::span<const Field> All() {
    static constexpr Field kFields[] = {
        {"GUID", Kind::Text, eGUID},
        {"OrgUnit", Kind::Text, eOrgUnit},
        {"Vendor", Kind::Text, eVendor},
        {"Name", Kind::Text, eName},
        {"Version", Kind::Text, eVersion},
        {"Category", Kind::Text, eCategory},
        {"Price", Kind::Int, ePrice},
        {"GUIDScanRule", Kind::Text, eGUIDScanRule},
        {"ScanRule", Kind::Text, eScanRule},
        {"Comment", Kind::Text, eComment},
        {"InstallCommand", Kind::Text, eInstallCommand},
        {"InstallParams", Kind::Text, eInstallParams},
        {"InstallResponseFile", Kind::Text, eInstallResponseFile},
        {"UninstallCommand", Kind::Text, eUninstallCommand},
        {"UninstallParams", Kind::Text, eUninstallParams},
        {"UninstallResponseFile", Kind::Text, eUninstallResponseFile},
        {"TargetPath", Kind::Text, eTargetPath},
        {"SubType", Kind::Text, eSubType},
        {"Type", Kind::Text, eType},
        {"InstallRebootType", Kind::Int, eInstallRebootType},
        {"UninstallRebootType", Kind::Int, eUninstallRebootType},
        {kTagInstallEngine, Kind::Engine, 0},
        {kTagUninstallEngine, Kind::Engine, 1},
        {"InstallEngineFile", Kind::Text, eInstallEngineFile},
        {"UninstallEngineFile", Kind::Text, eUninstallEngineFile},
        {"SupportedOS", Kind::SupportedOS, 0},
        {"Options", Kind::Options, 0},
        {"SecurityContext", Kind::Text, eSecurityContext},
        {"GUIDParentSW", Kind::Text, eGUIDParentSW},
        {"ReleaseLevel", Kind::ReleaseLevel, 0},
        {"IsLatestVersion", Kind::Flag, eIsLatestVersion},
        {"IsSupported", Kind::Flag, eIsSupported},
        {"AdditionalHashGuid", Kind::Text, eAdditionalHashGuid},
        {"TotalInstallCount", Kind::Statistic, StatisticsData::eTotalInstall},
        {"LatestReleasedVersionInstalledGreenCount", Kind::Statistic,
         StatisticsData::eLatestReleasedVersionInstalledGreen},
        {"LatestReleasedVersionInstalledYellowCount", Kind::Statistic,
         StatisticsData::eLatestReleasedVersionInstalledYellow},
        {"UnknownVersionsInstalledGrayCount", Kind::Statistic, StatisticsData::eUnknownVersionsInstalledGray},
        {"OutdatedVersionInstalledRedCount", Kind::Statistic, StatisticsData::eOutdatedVersionInstalledRed},
        {"ReleasedForTestCount", Kind::Statistic, StatisticsData::eReleasedForTest},
        {"TotalInstallBlockedCount", Kind::Statistic, StatisticsData::eTotalInstallBlocked},
        {"LatestReleasedVersionInstalledGreenBlockedCount", Kind::Statistic,
         StatisticsData::eLatestReleasedVersionInstalledGreenBlocked},
        {"LatestReleasedVersionInstalledYellowBlockedCount", Kind::Statistic,
         StatisticsData::eLatestReleasedVersionInstalledYellowBlocked},
        {"UnknownVersionsInstalledGrayBlockedCount", Kind::Statistic,
         StatisticsData::eUnknownVersionsInstalledGrayBlocked},
        {"OutdatedVersionInstalledRedBlockedCount", Kind::Statistic,
         StatisticsData::eOutdatedVersionInstalledRedBlocked},
        {"ReleasedForTestBlockedCount", Kind::Statistic, StatisticsData::eReleasedForTestBlocked},
        {"Dependencies", Kind::Dependencies, 0},
        {"ConsistencyChecks", Kind::Text, eConsistencyChecks},
        {"Vars", Kind::Vars, 0},
        {"Properties", Kind::Properties, 0},
        {"ObjectRights", Kind::Rights, 0},
        {"SoftwareLicenses", Kind::Licenses, 0},
        {"LicenseActions", Kind::LicenseActions, 0},
        {"ReservedLicense", Kind::Text, eReservedLicense},
        {"FullyLoaded", Kind::Flag, eFullyLoaded},
        {"IsDeinstall", Kind::Flag, eIsDeinstall},
        {"IsReinstallation", Kind::Flag, eIsReinstallation},
        {"SoftwareFiles", Kind::Files, 0},
        {"ManagedSWType", Kind::ManagedSWType, 0},
        {"AUTApplicationDetectRules", Kind::DetectRules, 0},
        {"AutSummaryData", Kind::AutSummary, 0},
        {"AutData", Kind::AutData, 0},
        {"SortOrder", Kind::Text, eSortOrder},
        {"ManagedSoftwareData", Kind::Managed, 0},
    };
    return kFields;
  }

  // The field of a child tag (case ignored), or null.
  static const Field* Find(std::string_view tag) {
    static const OFL::TagIndex<Field> index(All());
    return index.Find(tag);
  }
};

// ---- DependencyEntry ----

namespace {
constexpr char kTagType[] = "Type";
constexpr char kTagOS[] = "OS";
constexpr char kTagGUID[] = "GUID";
constexpr char kTagVendor[] = "Vendor";
constexpr char kTagName[] = "Name";
constexpr char kTagVersion[] = "Version";
constexpr int32_t kDefaultDependencyType = 1;
constexpr int32_t kDependencyTypeLimit = 7;
}  // namespace

App::DependencyEntry::DependencyEntry()
    : OVOXMLSupport(CatalogueEntryFor("OVOSoftwareApplication::DependencyEntry")) {}

App::DependencyEntry::DependencyEntry(const String& text) : DependencyEntry() {
  if (!text.empty()) Unpack(text);
}

App::DependencyEntry::DependencyEntry(EDependencyType type, int64_t os, const String& guid, const String& vendor,
                                      const String& name, const String& version)
    : DependencyEntry() {
  type_ = type;
  os_ = os;
  guid_ = guid;
  vendor_ = vendor;
  name_ = name;
  version_ = version;
}

bool App::DependencyEntry::operator==(const DependencyEntry& o) const {
  return type_ == o.type_ && os_ == o.os_ && guid_ == o.guid_ && vendor_ == o.vendor_ && name_ == o.name_ &&
         version_ == o.version_;
}

int App::DependencyEntry::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  Clear();
  if (!parser.FindElem(GetObjectName().c_str())) return 0;
  return ReadOrdered(parser) ? 1 : 0;
}

bool App::DependencyEntry::ReadOrdered(OFLXMLParser& p) {
  if (!p.FindChildElem(kTagType)) return false;
  const int32_t type = OFL::CRT::atol(p.GetChildData());
  type_ = static_cast<EDependencyType>(type >= kDependencyTypeLimit ? kDefaultDependencyType : type);
  if (!p.FindChildElem(kTagOS)) return false;
  os_ = OFLTools::AToLL(p.GetChildData());
  String* texts[] = {&guid_, &vendor_, &name_, &version_};
  const char* tags[] = {kTagGUID, kTagVendor, kTagName, kTagVersion};
  for (size_t i = 0; i < std::size(texts); ++i) {
    if (!p.FindChildElem(tags[i])) return false;
    *texts[i] = p.GetChildData();
  }
  return true;
}

String App::DependencyEntry::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kTagType, static_cast<int32_t>(type_));
  OFLTools::AppendXMLNode(out, kTagOS, os_);
  OFLTools::AppendXMLNode(out, kTagGUID, guid_);
  OFLTools::AppendXMLNode(out, kTagVendor, vendor_);
  OFLTools::AppendXMLNode(out, kTagName, name_);
  OFLTools::AppendXMLNode(out, kTagVersion, version_);
  return out;
}

void App::DependencyEntry::InternalClear() {
  type_ = static_cast<EDependencyType>(kDefaultDependencyType);
  os_ = 0;
  guid_.clear();
  vendor_.clear();
  name_.clear();
  version_.clear();
}

String App::DependencyEntry::GetDisplayName() const {
  String out = name_ + " " + vendor_;
  if (!version_.empty()) out.append(" ").append(version_);
  return out;
}

void App::DependencyEntry::FromSoftwareApplicationWithSameOrder(const OVOSoftwareApplication& app) {
  guid_ = app.GetGUID();
  vendor_ = app.GetVendor();
  name_ = app.GetName();
  version_ = app.GetVersion();
}

bool App::DependencyEntry::matches(const DependencyEntry& entry, EDependencyType type, const String& guid) {
  return entry.type_ == type && OFL::EqualsNoCase(entry.guid_, guid);
}

// ---- OVOSoftwareApplication ----

OVOSoftwareApplication::OVOSoftwareApplication() : OVOXMLSupport(CatalogueEntryFor("OVOSoftwareApplication")) {
  flag_[eIsSupported] = true;
  Clear();
}

OVOSoftwareApplication::OVOSoftwareApplication(const String& text) : OVOSoftwareApplication() { Unpack(text); }

void OVOSoftwareApplication::Clear() {
  for (String& s : text_) s.clear();
  text_[eSecurityContext] = kDefaultSecurityContext;
  int_.fill(0);
  const bool supported = flag_[eIsSupported];
  flag_.fill(false);
  flag_[eIsSupported] = supported;
  installEngine_.Clear();
  uninstallEngine_.Clear();
  supportedOS_ = kDefaultSupportedOS;
  options_ = 0;
  releaseLevel_ = OVOReleaseLevel();
  statistics_.reset();
  dependencies_.clear();
  vars_.Clear();
  vars_.SetScope(kVarsScope);
  properties_.Clear();
  rights_.Clear();
  licenses_.Clear();
  licenseActions_.Clear();
  files_.Clear();
  managedSWType_ = eNotManaged;
  detectRules_.Clear();
  autSummary_ = AutSummaryData();
  autData_.clear();
  managedData_.Clear();
}

bool OVOSoftwareApplication::operator==(const OVOSoftwareApplication& o) const {
  const StatisticsData none;
  const StatisticsData& stats = statistics_ ? *statistics_ : none;
  const StatisticsData& otherStats = o.statistics_ ? *o.statistics_ : none;
  return text_ == o.text_ && int_ == o.int_ && flag_ == o.flag_ && installEngine_ == o.installEngine_ &&
         uninstallEngine_ == o.uninstallEngine_ && supportedOS_ == o.supportedOS_ && options_ == o.options_ &&
         releaseLevel_ == o.releaseLevel_ && stats == otherStats && dependencies_ == o.dependencies_ &&
         vars_ == o.vars_ && properties_.Pack() == o.properties_.Pack() && rights_ == o.rights_ &&
         licenses_ == o.licenses_ && licenseActions_ == o.licenseActions_ && files_ == o.files_ &&
         managedSWType_ == o.managedSWType_ && detectRules_ == o.detectRules_ && autSummary_ == o.autSummary_ &&
         autData_ == o.autData_ && managedData_ == o.managedData_;
}

void OVOSoftwareApplication::SetStatisticsData(std::unique_ptr<StatisticsData> data) {
  if (data) statistics_ = *data;
  else statistics_.reset();
}

// ---- packing ----

String OVOSoftwareApplication::Pack() const {
  String out;
  AppendFields(out);
  return out;
}

void OVOSoftwareApplication::AppendPack(String& out) const {
  if (IsExactly<OVOSoftwareApplication>()) AppendFields(out);
  else out += Pack();
}

void OVOSoftwareApplication::AppendFields(String& out) const {
  OFLTools::AppendXMLTag(out, GetObjectName());
  for (const Field& f : Field::All()) {
    switch (f.kind) {
      case Kind::Text: OFLTools::AppendXMLNode(out, f.tag, text_[f.index]); break;
      case Kind::Int: OFLTools::AppendXMLNode(out, f.tag, int_[f.index]); break;
      case Kind::Flag: OFLTools::AppendXMLNode(out, f.tag, int32_t{flag_[f.index] ? 1 : 0}); break;
      case Kind::Engine:
        OFLTools::AppendXMLTag(out, f.tag);
        (f.index == 0 ? installEngine_ : uninstallEngine_).AppendPack(out);
        OFLTools::AppendXMLTag(out, f.tag, true);
        break;
      case Kind::SupportedOS: OFLTools::AppendXMLNode(out, f.tag, supportedOS_); break;
      case Kind::Options: OFLTools::AppendXMLNode(out, f.tag, options_); break;
      case Kind::ReleaseLevel: OFLTools::AppendXMLNode(out, f.tag, int32_t{releaseLevel_.ToInt()}); break;
      case Kind::Statistic:
        // Without a record the counts are plain zeros.
        if (statistics_) OFLTools::AppendXMLNode(out, f.tag, statistics_->counts[f.index]);
        else OFLTools::AppendXMLNode(out, f.tag, int32_t{0});
        break;
      case Kind::Dependencies:
        for (const DependencyEntry& d : dependencies_) d.AppendPack(out);
        break;
      case Kind::Vars: vars_.AppendPack(out); break;
      case Kind::Properties: properties_.AppendPack(out); break;
      case Kind::Rights: rights_.AppendPack(out); break;
      case Kind::Licenses: licenses_.AppendPack(out); break;
      case Kind::LicenseActions: licenseActions_.AppendPack(out); break;
      case Kind::Files: files_.AppendPack(out); break;
      case Kind::ManagedSWType: OFLTools::AppendXMLNode(out, f.tag, static_cast<int32_t>(managedSWType_)); break;
      case Kind::DetectRules: detectRules_.AppendPack(out); break;
      case Kind::AutSummary: {
        OFLTools::AppendXMLTag(out, f.tag);
        for (size_t i = 0; i < std::size(kSummaryTags); ++i)
          OFLTools::AppendXMLNode(out, kSummaryTags[i], *SummaryCount(autSummary_, i));
        OFLTools::AppendXMLTag(out, f.tag, true);
        break;
      }
      case Kind::AutData:
        OFLTools::AppendXMLTag(out, f.tag);
        for (const AutTimeData& a : autData_) {
          OFLTools::AppendXMLTag(out, kTagAutDataEntry);
          OFLTools::AppendXMLNode(out, kAutTags[eMachineGUID], a.machineGUID);
          OFLTools::AppendXMLNode(out, kAutTags[eMachineName], a.machineName);
          OFLTools::AppendXMLNode(out, kAutTags[eInstallDate], OVOHelper::CTimeToDBTime(a.installDate));
          OFLTools::AppendXMLNode(out, kAutTags[eFirstUsed], OVOHelper::CTimeToDBTime(a.firstUsed));
          OFLTools::AppendXMLNode(out, kAutTags[eLastUsed], OVOHelper::CTimeToDBTime(a.lastUsed));
          OFLTools::AppendXMLNode(out, kAutTags[eLastData], OVOHelper::CTimeToDBTime(a.lastData));
          OFLTools::AppendXMLNode(out, kAutTags[eUsage], a.usage);
          OFLTools::AppendXMLNode(out, kAutTags[eDays], a.daysSinceLastUsage);
          OFLTools::AppendXMLNode(out, kAutTags[eActive], std::string_view(a.autActive ? "true" : "false"));
          OFLTools::AppendXMLTag(out, kTagAutDataEntry, true);
        }
        OFLTools::AppendXMLTag(out, f.tag, true);
        break;
      case Kind::Managed:
        if (IsManagedSW()) managedData_.AppendPack(out);
        break;
    }
  }
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

// ---- unpacking ----

int OVOSoftwareApplication::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  return UnpackLoaded(parser);
}

int OVOSoftwareApplication::UnpackLoaded(OFLXMLParser& loaded) {
  Clear();
  if (!loaded.FindElem(GetObjectName().c_str())) return 0;
  OFLXMLParser scratch;
  ReadFields(loaded, scratch);
  return 1;
}

void OVOSoftwareApplication::ReadFields(OFLXMLParser& loaded, OFLXMLParser& scratch) {
  StatisticsData stats;
  ForEachChild(loaded, [&](std::string_view tag, OFLXMLParser& p) {
    if (const Field* f = Field::Find(tag)) ReadField(*f, p, scratch, stats);
  });
  statistics_ = stats;
}

namespace {

// The nested object's Unpack of the child's markup, without printing it.
template <class Unpacker>
void ReadNested(OVOXMLSupport& nested, OFLXMLParser& parser, OFLXMLParser& scratch, Unpacker unpackLoaded) {
  nested.Clear();
  scratch.SetDocFromChild(parser);
  unpackLoaded(nested, scratch);
}

App::AutTimeData ReadAutEntry(OFLXMLParser& p) {
  App::AutTimeData a;
  p.IntoElem();
  ForEachChild(p, [&a](const String& tag, OFLXMLParser& q) {
    size_t i = 0;
    while (i < std::size(kAutTags) && !OFL::EqualsNoCase(tag, kAutTags[i])) ++i;
    switch (i) {
      case eMachineGUID: a.machineGUID = q.GetChildData(); break;
      case eMachineName: a.machineName = q.GetChildData(); break;
      case eInstallDate: a.installDate = OVOHelper::DBTimeToCTime(q.GetChildData()); break;
      case eFirstUsed: a.firstUsed = OVOHelper::DBTimeToCTime(q.GetChildData()); break;
      case eLastUsed: a.lastUsed = OVOHelper::DBTimeToCTime(q.GetChildData()); break;
      case eLastData: a.lastData = OVOHelper::DBTimeToCTime(q.GetChildData()); break;
      case eUsage: a.usage = OFL::CRT::atol(q.GetChildData()); break;
      case eDays: a.daysSinceLastUsage = OFLTools::AToUL(q.GetChildData()); break;
      case eActive: a.autActive = q.GetChildDataView() == "true"; break;
      default: break;
    }
  });
  p.OutOfElem();
  return a;
}

}  // namespace

void OVOSoftwareApplication::ReadField(const Field& f, OFLXMLParser& p, OFLXMLParser& scratch,
                                       StatisticsData& stats) {
  const auto base = [](OVOXMLSupport& nested, OFLXMLParser& loaded) { UnpackLoadedRoot(nested, loaded); };
  switch (f.kind) {
    case Kind::Text: text_[f.index].assign(p.GetChildDataView()); break;
    case Kind::Int: int_[f.index] = OFL::CRT::atol(p.GetChildData()); break;
    case Kind::Flag: flag_[f.index] = OFL::CRT::atol(p.GetChildData()) != 0; break;
    case Kind::Engine: {
      // The wrapper holds the engine's own element.
      OVOInstallEngine& engine = f.index == 0 ? installEngine_ : uninstallEngine_;
      engine.Clear();
      p.IntoElem();
      if (p.FindChildElem(engine.GetObjectName().c_str())) ReadNested(engine, p, scratch, base);
      p.OutOfElem();
      break;
    }
    case Kind::SupportedOS: supportedOS_ = OFLTools::AToLL(p.GetChildDataView()); break;
    case Kind::Options: options_ = OFLTools::AToUL(p.GetChildDataView()); break;
    case Kind::ReleaseLevel: releaseLevel_ = OFL::CRT::atoi(p.GetChildData()); break;
    case Kind::Statistic: stats.counts[f.index] = OFLTools::AToUL(p.GetChildDataView()); break;
    case Kind::Dependencies: {
      DependencyEntry entry;
      ReadNested(entry, p, scratch, [](OVOXMLSupport& e, OFLXMLParser& loaded) {
        auto& d = static_cast<DependencyEntry&>(e);
        if (loaded.FindElem(d.GetObjectName().c_str())) d.ReadOrdered(loaded);
      });
      dependencies_.push_back(std::move(entry));
      break;
    }
    case Kind::Vars: ReadNested(vars_, p, scratch, base); break;
    case Kind::Properties: ReadNested(properties_, p, scratch, base); break;
    case Kind::Rights: ReadNested(rights_, p, scratch, base); break;
    case Kind::Licenses: ReadNested(licenses_, p, scratch, base); break;
    case Kind::LicenseActions: ReadNested(licenseActions_, p, scratch, base); break;
    case Kind::Files: ReadNested(files_, p, scratch, base); break;
    case Kind::ManagedSWType:
      managedSWType_ = static_cast<EManagedSWType>(static_cast<int32_t>(OFLTools::AToUL(p.GetChildData())));
      break;
    case Kind::DetectRules: ReadNested(detectRules_, p, scratch, base); break;
    case Kind::AutSummary:
      p.IntoElem();
      ForEachChild(p, [this](const String& tag, OFLXMLParser& q) {
        for (size_t i = 0; i < std::size(kSummaryTags); ++i)
          if (OFL::EqualsNoCase(tag, kSummaryTags[i]))
            *SummaryCount(autSummary_, i) = OFLTools::AToUL(q.GetChildData());
      });
      p.OutOfElem();
      break;
    case Kind::AutData:
      p.IntoElem();
      ForEachChild(p, [this](const String& tag, OFLXMLParser& q) {
        if (OFL::EqualsNoCase(tag, kTagAutDataEntry)) autData_.push_back(ReadAutEntry(q));
      });
      p.OutOfElem();
      break;
    case Kind::Managed: ReadNested(managedData_, p, scratch, base); break;
  }
}

// ---- operations ----

String OVOSoftwareApplication::GetKey() const {
  OFLTokenizer key;
  key.AddString(GetGUID());
  return key.AsLengthPackedString();
}

String OVOSoftwareApplication::GetDisplayName() const {
  String out = GetVendor() + " " + GetName();
  const String& version = GetVersion();
  if (!version.empty() && !OFL::Tools::IsGuid(version)) out.append(" ").append(version);
  return out;
}

bool OVOSoftwareApplication::GetSilentExecution(bool forInstallation, bool conditional) const {
  const uint32_t notSilent = forInstallation ? kOptionInstallNotSilent : kOptionUninstallNotSilent;
  const uint32_t conditionalBit = forInstallation ? kOptionInstallConditional : kOptionUninstallConditional;
  if (options_ & notSilent) return false;
  if ((options_ & conditionalBit) && conditional) return false;
  return true;
}

void OVOSoftwareApplication::ClearSWScanRule() {
  text_[eGUIDScanRule].clear();
  text_[eScanRule].clear();
}

bool OVOSoftwareApplication::IsManagedSW() const { return OFL::EqualsNoCase(GetSubType(), "MSW"); }

const App::DependencyEntry* OVOSoftwareApplication::GetDependencyEntry(int32_t index) const {
  if (index < 0 || index >= GetDependencyCount()) return nullptr;
  return &dependencies_[static_cast<size_t>(index)];
}

App::DependencyEntry* OVOSoftwareApplication::GetDependencyEntry(int32_t index) {
  return const_cast<DependencyEntry*>(std::as_const(*this).GetDependencyEntry(index));
}

int32_t OVOSoftwareApplication::GetDependencyPos(EDependencyType type, const String& guid) const {
  for (size_t i = 0; i < dependencies_.size(); ++i)
    if (DependencyEntry::matches(dependencies_[i], type, guid)) return static_cast<int32_t>(i);
  return -1;
}

bool OVOSoftwareApplication::FindDependency(EDependencyType type, const String& guid, DependencyEntry& entry) const {
  const int32_t pos = GetDependencyPos(type, guid);
  if (pos < 0) return false;
  entry = dependencies_[static_cast<size_t>(pos)];
  return true;
}

void OVOSoftwareApplication::DeriveFromParent(const OVOSoftwareApplication& parent) {
  if (managedSWType_ == eMSWVersion) {
    supportedOS_ = parent.supportedOS_;
    vars_ = parent.vars_;
    managedData_.SetEULAURL(parent.managedData_.GetEULAURL());
    managedData_.SetEULAReleaseDate(parent.managedData_.GetEULAReleaseDate());
    managedData_.SetEULAAcceptedDate(parent.managedData_.GetEULAAcceptedDate());
  }
  if (managedSWType_ == eMSWProductLine || managedSWType_ == eMSWVersion) {
    SetName(parent.GetName());
    SetVendor(parent.GetVendor());
    SetCategory(parent.GetCategory());
    SetOption(kOptionFromParent, parent.GetOption(kOptionFromParent));
  }
}

void OVOSoftwareApplication::CleanForOVAUse() {
  dependencies_.clear();
  rights_.Clear();
  licenseActions_.Clear();
  if (GetGUID() != kKeepFilesGuid) files_.Clear();
}

bool OVOSoftwareApplication::HasConfigurableParameters() const {
  String parameters;
  if (!properties_.GetProperty(kPropertyParameters, parameters) || parameters.empty()) return false;
  return !OVOCustomVarDefList(parameters).IsEmpty();
}

void OVOSoftwareApplication::CreateFilterForApplicationType(OVOProperties& properties, int32_t type) {
  SetFilter(properties, type);
}

void OVOSoftwareApplication::CreateFilterForApplicationType(OVO::Properties& properties, int32_t type) {
  SetFilter(properties, type);
}

bool OVOSoftwareApplication::NaturalCompareByVersion(const OVOSoftwareApplication& a, const OVOSoftwareApplication& b) {
  return NaturalCompare(a.GetVersion(), b.GetVersion()) < 0;
}

bool OVOSoftwareApplication::CompareBySortOrderAscending(const OVOSoftwareApplication& a,
                                                         const OVOSoftwareApplication& b) {
  return a.GetSortOrder() < b.GetSortOrder();
}

bool OVOSoftwareApplication::CompareBySortOrderDescending(const OVOSoftwareApplication& a,
                                                          const OVOSoftwareApplication& b) {
  return a.GetSortOrder() > b.GetSortOrder();
}

}  // namespace orvacmn
