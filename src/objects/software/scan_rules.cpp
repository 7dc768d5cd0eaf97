#include "orvacmn/software/scan_rules.h"

#include <string_view>

#include "ofl/cryptor.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/objects/properties.h"

namespace orvacmn {
namespace OVO {
namespace {

// The eight version texts with their tags and their property names.
struct VersionText {
  const char* tag;
  const char* property;
  String OFLVersionInfo::*member;
};
constexpr VersionText kVersionTexts[] = {
    {"VIVersion", "VI.Version", &OFLVersionInfo::Version},
    {"VICompany", "VI.Company", &OFLVersionInfo::Company},
    {"VIProductName", "VI.ProductName", &OFLVersionInfo::ProductName},
    {"VIInternalName", "VI.InternalName", &OFLVersionInfo::InternalName},
    {"VILanguage", "VI.Language", &OFLVersionInfo::Language},
    {"VIProductVersion", "VI.ProductVersion", &OFLVersionInfo::ProductVersion},
    {"VIFileDescription", "VI.FileDescription", &OFLVersionInfo::FileDescription},
    {"VIFileVersionNumeric", "VI.FileVersionNumeric", &OFLVersionInfo::FileVersionNumeric},
};

}  // namespace

// ---- FileRule ----

FileRule::FileRule(const String& text, bool unpack) : OVOXMLSupport(CatalogueEntryFor("OVO::FileRule")) {
  if (unpack) Unpack(text);
}

FileRule::FileRule(const CatalogueEntry& entry) : OVOXMLSupport(entry) {}

bool FileRule::operator==(const FileRule& o) const {
  return info_ == o.info_ && size_ == o.size_ && date_ == o.date_ && crc_ == o.crc_;
}

String FileRule::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  out += InnerPack();
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

String FileRule::InnerPack() const {
  String out;
  OFLTools::AppendXMLNode(out, "FileName", info_.FileName);
  OFLTools::AppendXMLNode(out, "Size", static_cast<int64_t>(size_));
  OFLTools::AppendXMLNode(out, "FileDate", date_);
  OFLTools::AppendXMLNode(out, "CRC", crc_);
  for (const VersionText& v : kVersionTexts) OFLTools::AppendXMLNode(out, v.tag, info_.*v.member);
  return out;
}

int FileRule::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  if (!parser.FindElem(GetObjectName().c_str())) return 0;
  Clear();
  String tag;
  while (parser.FindChildElem()) {
    tag = parser.GetChildTagName();
    const std::string_view data = parser.GetChildDataView();
    if (OFL::EqualsNoCase(tag, "FileName")) {
      info_.FileName.assign(data);
    } else if (OFL::EqualsNoCase(tag, "Size")) {
      size_ = OFLTools::AToULL(data);
    } else if (OFL::EqualsNoCase(tag, "FileDate")) {
      date_ = OFLTools::AToLL(data);
    } else if (OFL::EqualsNoCase(tag, "CRC")) {
      crc_ = OFLTools::AToUL(data);
    } else {
      bool known = false;
      for (const VersionText& v : kVersionTexts) {
        if (!OFL::EqualsNoCase(tag, v.tag)) continue;
        (info_.*v.member).assign(data);
        known = true;
        break;
      }
      if (!known) UnpackUnknownElem(tag, parser);
    }
  }
  return 1;
}

void FileRule::UnpackUnknownElem(const String&, OFLXMLParser&) {}

void FileRule::InnerClear() {
  info_ = OFLVersionInfo();
  size_ = 0;
  date_ = 0;
  crc_ = 0;
}

// ---- SWRule ----

SWRule::SWRule(const String& text, bool unpack) : FileRule(CatalogueEntryFor("OVO::SWRule")) {
  if (!unpack) return;
  set_defaults();
  Unpack(text);
}

bool SWRule::operator==(const SWRule& o) const {
  return IsFileRuleEqual(o) && options_ == o.options_ && dirGroup_ == o.dirGroup_ && relPath_ == o.relPath_ &&
         baseFilename_ == o.baseFilename_;
}

String SWRule::InnerPack() const {
  String out = FileRule::InnerPack();
  OFLTools::AppendXMLNode(out, "DirGroup", dirGroup_);
  OFLTools::AppendXMLNode(out, "Options", options_);
  return out;
}

void SWRule::UnpackUnknownElem(const String& tag, OFLXMLParser& parser) {
  if (OFL::EqualsNoCase(tag, "DirGroup") || OFL::EqualsNoCase(tag, "SubDirLevel"))
    dirGroup_ = OFLTools::AToUL(parser.GetChildDataView());
  else if (OFL::EqualsNoCase(tag, "Options"))
    options_ = OFLTools::AToUL(parser.GetChildDataView());
}

void SWRule::InnerClear() { set_defaults(); }

void SWRule::set_defaults() {
  FileRule::InnerClear();
  for (const VersionText& v : kVersionTexts) (info_.*v.member).assign(1, '*');
  info_.ProductName.clear();
  dirGroup_ = 0;
  options_ = 0;
}

String SWRule::GetDirGroupAsString() const { return dirGroup_ == 0 ? String("*") : OFLTools::ULToA(dirGroup_); }

bool SWRule::IsRegistry() const { return OFL::StartsWithNoCase(baseFilename_, "$REG$"); }

String SWRule::PackAsProperties() const {
  OVO::Properties bag;
  bag.SetProperty("Name", info_.FileName);
  bag.SetProperty("Size", static_cast<unsigned long long>(size_));
  bag.SetProperty("FileTime", static_cast<long long>(date_));
  bag.SetProperty("CRC", crc_);
  for (const VersionText& v : kVersionTexts) bag.SetProperty(v.property, info_.*v.member);
  bag.SetProperty("DirGroup", dirGroup_);
  bag.SetProperty("Options", options_);
  return bag.Pack();
}

void SWRule::UnpackFromProperties(const String& text) {
  set_defaults();
  const OVO::Properties bag(text);
  unsigned long long size = 0;
  long long date = 0;
  bag.GetProperty("Name", info_.FileName);
  bag.GetProperty("Size", size, 0ull);
  bag.GetProperty("FileTime", date, 0ll);
  bag.GetProperty("CRC", crc_, 0u);
  size_ = size;
  date_ = date;
  String value;
  for (const VersionText& v : kVersionTexts)
    if (bag.GetProperty(v.property, value) && !value.empty()) info_.*v.member = value;
  bag.GetProperty("SubDirLevel", dirGroup_, 0u);
  bag.GetProperty("DirGroup", dirGroup_, dirGroup_);
  bag.GetProperty("Options", options_, 0u);
}

}  // namespace OVO

// ---- OVOSWScanAppRule ----

namespace {

constexpr uint32_t kCryptorMode = 0;

struct TextField {
  const char* tag;
  String OVOSWScanAppRule::*member;
};

}  // namespace

OVOSWScanAppRule::OVOSWScanAppRule(const String& text) : OVOXMLSupport(CatalogueEntryFor("OVOSWScanAppRule")) {
  if (!text.empty()) Unpack(text);
}

bool OVOSWScanAppRule::operator==(const OVOSWScanAppRule& o) const {
  return guid_ == o.guid_ && vendor_ == o.vendor_ && name_ == o.name_ && version_ == o.version_ &&
         category_ == o.category_ && comment_ == o.comment_ && linkedSoftware_ == o.linkedSoftware_ &&
         appliedCount_ == o.appliedCount_ && protected_ == o.protected_ && managed_ == o.managed_ &&
         osRule_ == o.osRule_ && rules_ == o.rules_;
}

String OVOSWScanAppRule::GetFiles() const {
  OFLTokenizer tokens;
  for (const OVO::SWRule& rule : rules_) tokens.AddString(rule.PackAsProperties());
  return tokens.AsLengthPackedString();
}

bool OVOSWScanAppRule::SetFiles(const String& text) {
  rules_.clear();
  OFLTokenizer tokens;
  if (!tokens.FromLengthPackedString(text)) return false;
  rules_.resize(static_cast<size_t>(tokens.GetCount()));
  for (int32_t i = 0; i < tokens.GetCount(); ++i) rules_[static_cast<size_t>(i)].UnpackFromProperties(tokens[i]);
  return true;
}

String OVOSWScanAppRule::Pack(int plaintext) const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  OFLTools::AppendXMLNode(out, "GUID", guid_);
  OFLTools::AppendXMLNode(out, "Vendor", vendor_);
  OFLTools::AppendXMLNode(out, "Name", name_);
  OFLTools::AppendXMLNode(out, "Version", version_);
  OFLTools::AppendXMLNode(out, "AppliedCount", appliedCount_);
  OFLTools::AppendXMLNode(out, "Protected", protected_ ? 1 : 0);
  OFLTools::AppendXMLNode(out, "Category", category_);
  OFLTools::AppendXMLNode(out, "Comment", comment_);
  if (plaintext == 0) {
    OFLTools::AppendXMLNode(out, "Rules", OFLCryptor(kCryptorMode).EncryptString(GetFiles()));
  } else {
    out += "<Rules plaintext=\"yes\">";
    out += GetFiles();
    OFLTools::AppendXMLTag(out, "Rules", true);
  }
  OFLTools::AppendXMLNode(out, "LinkedSoftware", linkedSoftware_);
  OFLTools::AppendXMLNode(out, "IsManagedSoftwareRule", managed_ ? 1 : 0);
  OFLTools::AppendXMLNode(out, "IsOsRule", osRule_ ? 1 : 0);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int OVOSWScanAppRule::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  Clear();
  if (!parser.FindElem(GetObjectName().c_str())) return 0;
  const TextField kTexts[] = {{"GUID", &OVOSWScanAppRule::guid_},
                              {"Vendor", &OVOSWScanAppRule::vendor_},
                              {"Name", &OVOSWScanAppRule::name_},
                              {"Version", &OVOSWScanAppRule::version_},
                              {"Category", &OVOSWScanAppRule::category_},
                              {"Comment", &OVOSWScanAppRule::comment_},
                              {"LinkedSoftware", &OVOSWScanAppRule::linkedSoftware_}};
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    const auto is = [tag](const char* name) { return OFL::EqualsNoCase(tag, name); };
    for (const TextField& f : kTexts) {
      if (!is(f.tag)) continue;
      this->*f.member = p.GetChildData();
      return;
    }
    if (is("AppliedCount")) {
      appliedCount_ = OFLTools::AToUL(p.GetChildDataView());
    } else if (is("Protected")) {
      protected_ = OFL::CRT::atol(p.GetChildData()) != 0;
    } else if (is("IsManagedSoftwareRule")) {
      managed_ = OFL::CRT::atol(p.GetChildData()) != 0;
    } else if (is("IsOsRule")) {
      osRule_ = OFL::CRT::atol(p.GetChildData()) != 0;
    } else if (is("Rules")) {
      rules_.clear();
      if (p.GetChildAttrib("plaintext") == "yes") {
        // Each rule is a packed bag among the length prefixes; read from the
        // elements, so that printing them again cannot change a length.
        p.IntoElem();
        while (p.FindChildElem()) {
          rules_.emplace_back();
          rules_.back().UnpackFromProperties(p.GetChildSubDoc());
        }
        p.OutOfElem();
      } else {
        String files;
        const String encrypted = p.GetChildData();
        unreadableRules_ = !encrypted.empty() && !(OFLCryptor(kCryptorMode).DecryptString(encrypted, files) &&
                                                   SetFiles(files));
      }
    }
  });
  return 1;
}

void OVOSWScanAppRule::Clear() {
  guid_.clear();
  vendor_.clear();
  name_.clear();
  version_.clear();
  category_.clear();
  comment_.clear();
  linkedSoftware_.clear();
  appliedCount_ = 0;
  protected_ = managed_ = osRule_ = false;
  rules_.clear();
  unreadableRules_ = false;
}

void OVOSWScanAppRule::InsertFileEntry(const OFLVersionInfo& info, uint64_t size, CTime date, uint32_t crc,
                                       uint32_t dirGroup, uint32_t options) {
  OVO::SWRule rule;
  rule.SetVersionInfo(info);
  rule.SetSize(size);
  rule.SetFileDate(date);
  rule.SetCRC(crc);
  rule.SetDirGroup(dirGroup);
  rule.OverrideOptions(options);
  rules_.push_back(std::move(rule));
}

bool OVOSWScanAppRule::FixWildcardsForDateTime() {
  constexpr uint32_t kAnyDateTime = OVO::SWRule::kOptionAnyDate | OVO::SWRule::kOptionAnyTime;
  bool changed = false;
  for (OVO::SWRule& rule : rules_) {
    if (rule.GetOptions() & kAnyDateTime) continue;
    const String date = OVOHelper::CTimeToDBTime(rule.GetFileDate());
    if (!date.empty() && date >= "19710101000000") continue;
    rule.SetOption(kAnyDateTime, true);
    changed = true;
  }
  return changed;
}

String OVOSWScanAppRule::GetDisplayName() const {
  String name = vendor_;
  if (!vendor_.empty()) name += ' ';
  name += name_;
  if (!name_.empty()) name += ' ';
  return name + version_;
}

bool OVOSWScanAppRule::IsOSRule() const {
  if (rules_.empty()) return osRule_;
  for (const OVO::SWRule& rule : rules_)
    if (rule.GetBaseFilename().starts_with("$OS$")) return true;
  return false;
}

String OVOSWScanAppRule::GetVIInternalNameOfFirstRule() const {
  return rules_.empty() ? String() : rules_.front().GetVersionInfo().InternalName;
}

// ---- OVOSystemAppliedSWScanRule ----

OVOSystemAppliedSWScanRule::OVOSystemAppliedSWScanRule(const String& text)
    : OVOXMLSupport(CatalogueEntryFor("OVOSystemAppliedSWScanRule")) {
  if (!text.empty()) Unpack(text);
}

bool OVOSystemAppliedSWScanRule::operator==(const OVOSystemAppliedSWScanRule& o) const {
  return machine_ == o.machine_ && rule_ == o.rule_ && lastSeen_ == o.lastSeen_ &&
         inventoryPath_ == o.inventoryPath_ && inventoryVersion_ == o.inventoryVersion_ &&
         conflictedRules_ == o.conflictedRules_;
}

String OVOSystemAppliedSWScanRule::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, "GUIDMachine", machine_);
  out += rule_.Pack(0);
  OFLTools::AppendXMLNode(out, "LastSeen", OVOHelper::CTimeToDBTime(lastSeen_));
  OFLTools::AppendXMLNode(out, "InventoryPath", inventoryPath_);
  OFLTools::AppendXMLNode(out, "InventoryVersion", inventoryVersion_);
  OFLTools::AppendXMLNode(out, "ConflictedRules", conflictedRules_);
  return out;
}

void OVOSystemAppliedSWScanRule::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](std::string_view tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, "GUIDMachine")) machine_ = p.GetChildData();
    else if (OFL::EqualsNoCase(tag, rule_.GetObjectName())) rule_.Unpack(p.GetChildSubDoc());
    else if (OFL::EqualsNoCase(tag, "LastSeen")) lastSeen_ = OVOHelper::DBTimeToCTime(p.GetChildData());
    else if (OFL::EqualsNoCase(tag, "InventoryPath")) inventoryPath_ = p.GetChildData();
    else if (OFL::EqualsNoCase(tag, "InventoryVersion")) inventoryVersion_ = p.GetChildData();
    else if (OFL::EqualsNoCase(tag, "ConflictedRules")) conflictedRules_ = p.GetChildData();
  });
}

void OVOSystemAppliedSWScanRule::InternalClear() {
  machine_.clear();
  rule_.Clear();
  lastSeen_ = 0;
  inventoryPath_.clear();
  inventoryVersion_.clear();
  conflictedRules_.clear();
}

}  // namespace orvacmn
