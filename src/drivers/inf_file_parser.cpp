// Parsing an INF file into a driver object, the catalog's supported OS set,
// and the search of a package tree for the INF that supports a device.
#include "orvacmn/drivers/inf_file_parser.h"

#include <sys/stat.h>

#include <cinttypes>
#include <cstdio>
#include <string_view>
#include <unordered_set>

#include "inf_text.h"
#include "ofl/format.h"
#include "ofl/path_nocase.h"
#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {

namespace {

// Catalog "OS" names and the "OSAttr" value each stands for.
struct OSNameAttr {
  const char* name;
  const char* attr;
};

constexpr OSNameAttr kOSNameAttrs[] = {
    {"2000", "2:5.00"},
    {"XP_X86", "2:5.1"},
    {"XPX86", "2:5.1"},
    {"XP_X64", "2:5.1"},
    {"XPX64", "2:5.1"},
    {"Server2003_X86", "2:5.2"},
    {"Server2003X86", "2:5.2"},
    {"Server2003_X64", "2:5.2"},
    {"Server2003X64", "2:5.2"},
    {"Vista_X86", "2:6.0"},
    {"VistaX86", "2:6.0"},
    {"Vista_X64", "2:6.0"},
    {"VistaX64", "2:6.0"},
    {"Server2008_X86", "2:6.0"},
    {"Server2008X86", "2:6.0"},
    {"Server2008_X64", "2:6.0"},
    {"Server2008X64", "2:6.0"},
    {"7_X86", "2:6.1"},
    {"7X86", "2:6.1"},
    {"7_X64", "2:6.1"},
    {"7X64", "2:6.1"},
    {"Server2008R2_X64", "2:6.1"},
    {"Server2008R2X64", "2:6.1"},
    {"8_X86", "2:6.2"},
    {"8X86", "2:6.2"},
    {"8_X64", "2:6.2"},
    {"8X64", "2:6.2"},
    {"Server8_X64", "2:6.2"},
    {"Server8X64", "2:6.2"},
    {"_v63", "2:6.3"},
    {"6_3_X86", "2:6.3"},
    {"_v63_X86", "2:6.3"},
    {"_v63X86", "2:6.3"},
    {"6_3_X64", "2:6.3"},
    {"_v63_X64", "2:6.3"},
    {"_v63X64", "2:6.3"},
    {"_v63_SERVER_X64", "2:6.3"},
    {"_v63_SERVERX64", "2:6.3"},
    {"_v63SERVERX64", "2:6.3"},
    {"SERVER6_3_X64", "2:6.3"},
    {"_v100", "2:10.0"},
    {"10_0_X86", "2:10.0"},
    {"_v100_X86", "2:10.0"},
    {"_v100X86", "2:10.0"},
    {"10_X86", "2:10.0"},
    {"10X86", "2:10.0"},
    {"10_0_X64", "2:10.0"},
    {"_v100_X64", "2:10.0"},
    {"_v100X64", "2:10.0"},
    {"10_X64", "2:10.0"},
    {"10X64", "2:10.0"},
    {"_v100_SERVER_X64", "2:10.0"},
    {"_v100_SERVERX64", "2:10.0"},
    {"_v100SERVERX64", "2:10.0"},
    {"SERVER10_0_X64", "2:10.0"},
    {"Server10_X64", "2:10.0"},
    {"Server10X64", "2:10.0"},
};

// Decorations of "CatalogFile" looked up, besides the plain key.
constexpr const char* kCatalogDecorations[] = {"NTamd64", "NTia64", "NTx86", "NT"};

}  // namespace

CInfFileParser::CInfFileParser() {
  AddOSMapping(4, 0, 0x1);
  AddOSMapping(5, 0, 0x2);
  AddOSMapping(5, 1, 0x4);
  AddOSMapping(5, 2, 0x8);
  AddOSMapping(6, 0, 0x30);
  AddOSMapping(6, 1, 0xC0);
  AddOSMapping(6, 2, 0xC000);
  AddOSMapping(6, 3, 0xC000);
  AddOSMapping(10, 0, 0xF40000);
}

CInfFileParser::~CInfFileParser() = default;

void CInfFileParser::AddOSMapping(uint32_t major, uint32_t minor, int64_t mask) {
  osMappings_.push_back(OS_MAPPING{major, minor, mask});
}

uint32_t CInfFileParser::ParseInfFile(const String& path, OVOSoftwareDriver* driver, String& error) {
  OVOSoftwareDriver scratch;
  driver_ = driver != nullptr ? driver : &scratch;
  struct Forget {
    OVOSoftwareDriver*& d;
    ~Forget() { d = nullptr; }
  } forget{driver_};

  const uint32_t loaded = reader_.Load(path, error, CInfFileReader::kAllFlags);
  if (loaded != 0) {
    error = OFLFormat("Error loading INF File [%s]", path).str();
    return loaded;
  }
  String signature;
  reader_.GetValue("Version", "Signature", signature);
  if (!OFL::EqualsNoCase(signature, "$Windows NT$") && !OFL::EqualsNoCase(signature, "$Chicago$")) {
    error = OFLFormat("Invalid signature [%s]. Only Windows NT and later based inf files supported.", signature)
                .str();
    return kErrorFailed;
  }
  String infClass;
  reader_.GetValue("Version", "Class", infClass);
  driver_->SetType(OFL::EqualsNoCase(infClass, "Net")       ? "NETCARD"
                   : OFL::EqualsNoCase(infClass, "Display") ? "GFXCARD"
                                                            : "OTHER");
  driver_->SetInstallSource(path);
  driver_->SetComponentID("*");

  driver_->SetSupportedOS(0);
  bool useCatalogMask = false;
  uint64_t catalogMask = 0;
  std::set<String> catalogs;
  if (catalogValidation_ && GetCatalogFiles(catalogs)) {
    const String dir = OFL::Files::DirectoryOf(path);
    for (const String& name : catalogs) {
      if (name.empty()) continue;
      // Windows names in the INF, matched ignoring case on this file system.
      const String catalog = OFL::Files::ResolvePathNoCase(dir.empty() ? String(".") : dir, name, listings_);
      if (catalog.empty()) continue;
      GetSupportedOSs(catalog, catalogMask);
      useCatalogMask = true;
      break;
    }
  }

  OFLTokenizer manufacturers;
  if (!reader_.ReadCompleteSection("Manufacturer", manufacturers) || manufacturers.IsEmpty()) {
    error = "Invalid INF file format";
    return kErrorFailed;
  }

  String driverVer;
  if (reader_.GetValue("Version", "DriverVer", driverVer)) {
    const std::vector<String> parts = inf::Split(driverVer, ',');
    driver_->SetVersion(parts.size() > 1 ? parts[1] : String());
  } else {
    driver_->SetVersion("Unknown");
  }

  copyFiles_.clear();
  copyFilesSeen_.clear();
  copyFilesDone_.clear();
  installChoice_.clear();
  lastChoice_ = nullptr;
  for (const String& line : manufacturers) {
    std::string_view name = line, models;
    inf::SplitKeyValue(line, name, models);
    if (driver_->GetVendor().empty()) driver_->SetVendor(inf::TrimQuotesAndBlanks(name));
    String architectures;
    ProcessVendorSection(String(models), architectures);
    if (!useCatalogMask) continue;
    if (architectures.empty()) {
      driver_->SetSupportedOS(catalogMask);
      continue;
    }
    uint64_t mask = driver_->GetSupportedOS();
    for (const String& arch : inf::Split(architectures, ','))
      mask |= OVOHelper::TranslateOSTypesByArch(catalogMask, OVOHelper::TranslateArchitecture(arch));
    driver_->SetSupportedOS(mask);
  }

  if (driver_->GetSupportedOS() != 0) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, " (%" PRIX64 ")", driver_->GetSupportedOS());
    driver_->SetVersion(driver_->GetVersion() + suffix);
  }
  return 0;
}

void CInfFileParser::ProcessVendorSection(const String& value, String& architectures) {
  const std::vector<String> parts = inf::Split(value, ',');
  // The architectures in order of appearance, each once (any case); the set
  // keeps a line of many decorations linear.
  OFLTokenizer found;
  std::unordered_set<String, OFL::HashNoCase, OFL::EqualNoCase> seen;
  std::span<const std::string_view> lines;
  std::vector<String> sections;
  sections.reserve(parts.size());
  size_t models = driver_->GetSupportedDevices().size();
  for (size_t i = 0; i < parts.size(); ++i) {
    sections.push_back(i == 0 ? parts[0] : OFLFormat("%s.%s", parts[0], parts[i]).str());
    if (reader_.GetSectionLines(sections.back(), lines)) models += lines.size();
  }
  // Room for all the models at once: the entries are large, and growing
  // section by section would move them.
  driver_->ReserveSupportedDevices(models);
  for (size_t i = 0; i < parts.size(); ++i) {
    const String& section = sections[i];
    String architecture = "x86";
    if (i > 0 && OFL::StartsWithNoCase(parts[i], "NT")) {
      const std::string_view rest = std::string_view(parts[i]).substr(2);
      architecture = String(rest.substr(0, rest.find('.')));
    }
    if (!reader_.GetSectionLines(section, lines) || lines.empty()) continue;
    for (const std::string_view line : lines) {
      // "description = install, hardware id[, compatible ids...]"
      std::string_view description = line, rest;
      inf::SplitKeyValue(line, description, rest);
      // The install section before the first comma, the hardware id up to
      // the second.
      size_t comma = std::string_view::npos, second = std::string_view::npos;
      inf::ForEachOf<','>(rest, [&](size_t at, char) {
        (comma == std::string_view::npos ? comma : second) = at;
        return second == std::string_view::npos;
      });
      std::string_view id;
      if (comma != std::string_view::npos)
        id = inf::TrimView(rest.substr(comma + 1, second == std::string_view::npos ? second : second - comma - 1));
      ProcessDeviceSection(description, inf::TrimView(rest.substr(0, comma)), id, architecture);
    }
    if (!architecture.empty() && seen.insert(architecture).second) found.AddString(architecture);
  }
  architectures = found.AsString(",");
}

void CInfFileParser::ProcessDeviceSection(std::string_view description, std::string_view installSection,
                                          std::string_view hardwareId, const String& architecture) {
  const std::string_view desc = inf::TrimQuotesAndBlanksView(description);
  const std::string_view install = inf::TrimQuotesAndBlanksView(installSection);
  const std::string_view id = inf::TrimQuotesAndBlanksView(hardwareId);
  if (driver_->GetName().empty()) driver_->SetName(String(desc));

  // Thousands of models share a handful of install sections, mostly the same
  // as the model before: the choice is remembered per name.
  if (lastChoice_ == nullptr || lastArchitecture_ != architecture || !OFL::EqualsNoCase(lastInstall_, install))
    lastChoice_ = &ChooseInstallSection(install, architecture);
  if (lastChoice_->empty()) return;
  driver_->AddSupportedDevice(OVOHelper::kOSTypeAny, String(id), String(desc), String(), 0);
}

const String& CInfFileParser::ChooseInstallSection(std::string_view install, const String& architecture) {
  lastInstall_.assign(install);
  lastArchitecture_ = architecture;
  String key = OFL::ToLower(install) + '\n' + architecture;
  auto [choice, added] = installChoice_.try_emplace(std::move(key));
  if (added) {
    String& section = choice->second;
    const String name(install);
    for (const String& candidate : {name + ".NT" + architecture, name + ".NT", name})
      if (reader_.SectionExists(candidate)) {
        section = candidate;
        break;
      }
    // Its CopyFiles lists are read once, with the first device that uses it.
    String value;
    if (!section.empty() && reader_.GetValue(section, "CopyFiles", value)) ProcessCopyFilesEntry(value);
    if (!section.empty() && reader_.GetValue(section + ".CoInstallers", "CopyFiles", value))
      ProcessCopyFilesEntry(value);
  }
  return choice->second;
}

void CInfFileParser::ProcessCopyFilesEntry(const String& value) {
  // Many devices share one install section; its lists need reading once.
  if (!copyFilesDone_.insert(OFL::ToLower(value)).second) return;
  OFLTokenizer lines;
  for (const String& section : inf::Split(value, ',')) {
    if (section.empty() || !reader_.ReadCompleteSection(section, lines)) continue;
    for (const String& line : lines) {
      String file = OFL::ToLower(inf::TrimView(std::string_view(line).substr(0, line.find(','))));
      if (!file.empty() && copyFilesSeen_.insert(file).second) copyFiles_.push_back(std::move(file));
    }
  }
}

bool CInfFileParser::GetCatalogFiles(std::set<String>& files) const {
  String value;
  for (const char* decoration : kCatalogDecorations)
    if (reader_.GetValue("Version", String("CatalogFile.") + decoration, value)) files.insert(value);
  if (reader_.GetValue("Version", "CatalogFile", value)) files.insert(value);
  return !files.empty();
}

uint64_t CInfFileParser::GetSupportedOSs(const String& catalog, uint64_t& mask) const {
  mask = 0;
  OFLSecurityCatalog reader;
  if (reader.Open(catalog)) mask = GetSupportedOSsFromCatalog(reader.GetAttributes(), reader.GetMembers());
  return mask;
}

uint64_t CInfFileParser::GetSupportedOSsFromCatalog(const std::vector<std::pair<String, String>>& attributes,
                                                    const std::vector<OFLSecurityCatalog::Member>& members) const {
  uint64_t mask = 0;
  String value;
  if (OFLSecurityCatalog::FindAttribute(attributes, "OSAttr", value)) mask = GetSupportedOSsByOSAttr(value);
  for (const OFLSecurityCatalog::Member& member : members) {
    String file, osAttr;
    OFLSecurityCatalog::FindAttribute(member.attributes, "File", file);
    OFLSecurityCatalog::FindAttribute(member.attributes, "OSAttr", osAttr);
    if (file.size() >= 4 && OFL::EqualsNoCase(std::string_view(file).substr(file.size() - 4), ".inf"))
      mask |= GetSupportedOSsByOSAttr(osAttr);
  }
  if (mask == 0 && OFLSecurityCatalog::FindAttribute(attributes, "OS", value)) {
    String converted;
    ConvertOSValueToOSAttrValue(value, converted);
    if (!converted.empty()) mask = GetSupportedOSsByOSAttr(converted);
  }
  return mask;
}

uint64_t CInfFileParser::GetSupportedOSsByOSAttr(const String& value) const {
  uint64_t mask = 0;
  for (const String& item : inf::Split(value, ',')) {
    const size_t colon = item.find(':');
    if (colon == String::npos) continue;
    const std::vector<String> version = inf::Split(std::string_view(item).substr(colon + 1), '.');
    const uint32_t major = OFL::CRT::strtoul(version[0]);
    const uint32_t minor = version.size() > 1 ? OFL::CRT::strtoul(version[1]) : 0;
    for (const OS_MAPPING& m : osMappings_)
      if (m.major == major && m.minor == minor) mask |= static_cast<uint64_t>(m.mask);
  }
  return mask;
}

void CInfFileParser::ConvertOSValueToOSAttrValue(const String& value, String& attr) {
  OFLTokenizer values;
  for (const String& name : inf::Split(value, ','))
    for (const OSNameAttr& row : kOSNameAttrs)
      if (OFL::EqualsNoCase(name, row.name)) {
        if (values.FindString(row.attr, true) < 0) values.AddString(row.attr);
        break;
      }
  attr = values.AsString(",");
}

uint32_t CInfFileParser::FindDriver(uint64_t osType, const OFLDeviceInfo* device, const String& folder, int recurse,
                                    String& foundInf, const int* cancel) {
  foundInf.clear();
  std::set<std::pair<uint64_t, uint64_t>> visited;
  // Each folder is listed once for the catalogs of all its packages.
  OFL::Files::DirectoryListings listings;
  listings_ = &listings;
  SearchFolder(osType, device, folder, recurse, foundInf, cancel, visited);
  listings_ = nullptr;
  return 0;
}

bool CInfFileParser::SearchFolder(uint64_t osType, const OFLDeviceInfo* device, const String& folder, int recurse,
                                  String& foundInf, const int* cancel,
                                  std::set<std::pair<uint64_t, uint64_t>>& visited) {
  // Links may make the tree a graph; each directory is searched once.
  struct stat st;
  if (::stat(folder.c_str(), &st) == 0 && !visited.emplace(st.st_dev, st.st_ino).second) return false;
  if (callback_) callback_(0, folder);
  OVOSoftwareDriver scratch;
  String error;
  for (const String& name : OFL::Files::FindFiles(folder, "*.inf")) {
    if (cancel != nullptr && *cancel != 0) return false;
    const String file = OFL::Files::JoinPath(folder, name);
    scratch.Clear();
    if (ParseInfFile(file, &scratch, error) != 0) {
      if (callback_) callback_(1, file);
      continue;
    }
    if (callback_) callback_(0, file);
    if (device != nullptr && scratch.FindSupportedDevice(osType, device, 0) != nullptr) {
      foundInf = file;
      return true;
    }
  }
  if (!recurse) return false;
  for (const String& name : OFL::Files::FindDirectories(folder)) {
    if (cancel != nullptr && *cancel != 0) return false;
    if (SearchFolder(osType, device, OFL::Files::JoinPath(folder, name), recurse, foundInf, cancel, visited))
      return true;
  }
  return false;
}

}  // namespace orvacmn
