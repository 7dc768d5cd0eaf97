// Software scan rules: how the inventory recognises an installed
// application by the files (or registry entries) it leaves.
//
// OVO::FileRule describes one file by name, size, date, checksum and the
// texts of its version resource ("FileRule"). OVO::SWRule is a file rule
// with a directory group and option bits, the entry of a scan rule
// ("SWScanRuleFileEntry"); "*" in a version text matches anything.
// OVOSWScanAppRule is the rule of one application ("SWScanRule"); its file
// rules travel encrypted with the foundation's string cryptor unless packed
// as plain text. OVOSystemAppliedSWScanRule records a rule as applied to one
// computer.
//
// Objects carry no locks: callers serialise access.
#ifndef ORVACMN_SOFTWARE_SCAN_RULES_H_
#define ORVACMN_SOFTWARE_SCAN_RULES_H_

#include <cstdint>
#include <vector>

#include "ofl/version_info.h"
#include "orvacmn/common/types.h"
#include "orvacmn/objects/ovo_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {
namespace OVO {

// Packs all its fields always: "FileName", "Size", "FileDate", "CRC" and the
// eight version texts. Unpack locates the root; without it, 0 and the rule
// unchanged; else it clears (InnerClear) and reads every child, handing
// unknown tags to UnpackUnknownElem.
class FileRule : public OVOXMLSupport {
 public:
  // Unpacks `text` only when `unpack` is set.
  explicit FileRule(const String& text = String(), bool unpack = true);
  FileRule(const FileRule&) = default;
  FileRule& operator=(const FileRule&) = default;

  virtual bool operator==(const FileRule& other) const;
  virtual bool operator!=(const FileRule& other) const { return !(*this == other); }

  String Pack() const override;
  using OVOXMLSupport::Unpack;
  int Unpack(const String& text) override;
  void Clear() override { InnerClear(); }

  // The field nodes between the object's tags.
  virtual String InnerPack() const;
  // A child whose tag is none of the fields; the file rule ignores it.
  virtual void UnpackUnknownElem(const String& tag, OFLXMLParser& parser);
  virtual void InnerClear();

  const OFLVersionInfo& GetVersionInfo() const { return info_; }
  void SetVersionInfo(const OFLVersionInfo& info) { info_ = info; }
  const String& GetFileName() const { return info_.FileName; }
  void SetFileName(const String& v) { info_.FileName = v; }
  uint32_t GetCRC() const { return crc_; }
  void SetCRC(uint32_t v) { crc_ = v; }
  uint64_t GetSize() const { return size_; }
  void SetSize(uint64_t v) { size_ = v; }
  CTime GetFileDate() const { return date_; }
  void SetFileDate(CTime v) { date_ = v; }
  const String& GetVILanguage() const { return info_.Language; }
  void SetVILanguage(const String& v) { info_.Language = v; }
  const String& GetVIProductVersion() const { return info_.ProductVersion; }
  void SetVIProductVersion(const String& v) { info_.ProductVersion = v; }
  void SetVIVersion(const String& v) { info_.Version = v; }
  void SetVIFileDescription(const String& v) { info_.FileDescription = v; }
  void SetVIFileVersionNumeric(const String& v) { info_.FileVersionNumeric = v; }

 protected:
  // For subclasses that set their own object name.
  FileRule(const CatalogueEntry& entry);

  OFLVersionInfo info_;
  uint64_t size_ = 0;
  CTime date_ = 0;
  uint32_t crc_ = 0;
};

class SWRule : public FileRule {
 public:
  // Options that make the date match any date.
  static constexpr uint32_t kOptionAnyDate = 0x8;
  static constexpr uint32_t kOptionAnyTime = 0x10;

  // With `unpack`: the defaults (set_defaults), then Unpack(text).
  explicit SWRule(const String& text = String(), bool unpack = true);

  virtual bool operator==(const SWRule& other) const;
  virtual bool operator!=(const SWRule& other) const { return !(*this == other); }
  // The file-rule fields only.
  bool IsFileRuleEqual(const FileRule& other) const { return FileRule::operator==(other); }

  // The file rule's nodes, then "DirGroup" and "Options".
  String InnerPack() const override;
  // "DirGroup", "SubDirLevel" (the directory group) and "Options".
  void UnpackUnknownElem(const String& tag, OFLXMLParser& parser) override;
  // The defaults of set_defaults.
  void InnerClear() override;
  // Empty name, size, date and checksum, "VIProductName" empty, every other
  // version text "*", directory group and options 0.
  void set_defaults();

  // All bits of `mask` are set.
  bool GetOption(uint32_t mask) const { return (options_ & mask) == mask; }
  uint32_t GetOptions() const { return options_; }
  void SetOption(uint32_t mask, bool on) { options_ = on ? options_ | mask : options_ & ~mask; }
  void OverrideOptions(uint32_t value) { options_ = value; }
  uint32_t GetDirGroup() const { return dirGroup_; }
  void SetDirGroup(uint32_t v) { dirGroup_ = v; }
  // "*" for 0, else the number.
  String GetDirGroupAsString() const;
  // The two parts of the file's path as the inventory found it; not packed.
  const String& GetRelPath() const { return relPath_; }
  void SetRelPath(const String& v) { relPath_ = v; }
  const String& GetBaseFilename() const { return baseFilename_; }
  void SetBaseFilename(const String& v) { baseFilename_ = v; }
  // The base file name starts with "$REG$" (case ignored).
  bool IsRegistry() const;

  // The rule as a packed OVO::Properties bag: "Name", "Size", "FileTime",
  // "CRC", "VI.Version" ... "VI.FileVersionNumeric", "DirGroup", "Options".
  String PackAsProperties() const;
  // The reverse, from the defaults: a "VI." text replaces its default only
  // when present and not empty; "SubDirLevel" counts as "DirGroup".
  void UnpackFromProperties(const String& text);

 private:
  uint32_t options_ = 0;
  uint32_t dirGroup_ = 0;
  String relPath_;
  String baseFilename_;
};

}  // namespace OVO

class OVOSWScanAppRule : public OVOXMLSupport {
 public:
  // Unpacks `text` when it is not empty.
  explicit OVOSWScanAppRule(const String& text = String());

  bool operator==(const OVOSWScanAppRule& other) const;
  bool operator!=(const OVOSWScanAppRule& other) const { return !(*this == other); }

  // The rules encrypted (the form that travels and is stored).
  String Pack() const override { return Pack(0); }
  // With `plaintext` non-zero the rules stand as they are inside a "Rules"
  // element marked plaintext="yes".
  String Pack(int plaintext) const;
  using OVOXMLSupport::Unpack;
  // Either form. Rules that cannot be decrypted leave the list empty and
  // HasUnreadableRules true.
  int Unpack(const String& text) override;
  void Clear() override;

  // The file rules as one length-packed String of packed bags, and back
  // (false, and no rules, for a malformed String).
  String GetFiles() const;
  bool SetFiles(const String& text);
  const std::vector<OVO::SWRule>& GetRules() const { return rules_; }
  std::vector<OVO::SWRule>& GetRules() { return rules_; }
  // Appends a rule: name and version texts from `info`, then size, date,
  // checksum, directory group and options.
  void InsertFileEntry(const OFLVersionInfo& info, uint64_t size, CTime date, uint32_t crc, uint32_t dirGroup,
                       uint32_t options);
  void DeleteListFiles() { rules_.clear(); }
  // Rules whose date is before 1971 (local time), unless they already match
  // any date, get the options 0x8 and 0x10. True if any rule changed.
  bool FixWildcardsForDateTime();
  // The last Unpack met a "Rules" element it could not read.
  bool HasUnreadableRules() const { return unreadableRules_; }

  const String& GetGUID() const { return guid_; }
  void SetGUID(const String& v) { guid_ = v; }
  const String& GetVendor() const { return vendor_; }
  void SetVendor(const String& v) { vendor_ = v; }
  const String& GetName() const { return name_; }
  void SetName(const String& v) { name_ = v; }
  const String& GetVersion() const { return version_; }
  void SetVersion(const String& v) { version_ = v; }
  uint32_t GetAppliedCount() const { return appliedCount_; }
  void SetAppliedCount(uint32_t v) { appliedCount_ = v; }
  bool GetProtected() const { return protected_; }
  void SetProtected(bool v) { protected_ = v; }
  const String& GetCategory() const { return category_; }
  void SetCategory(const String& v) { category_ = v; }
  const String& GetComment() const { return comment_; }
  void SetComment(const String& v) { comment_ = v; }
  const String& GetLinkedSoftware() const { return linkedSoftware_; }
  void SetLinkedSoftware(const String& v) { linkedSoftware_ = v; }
  bool IsManagedSWRule() const { return managed_; }
  void SetIsManagedSoftwareRule(bool v) { managed_ = v; }
  void SetIsOSRule(bool v) { osRule_ = v; }

  // Vendor, name and version; a blank follows the vendor and the name when
  // they are not empty.
  String GetDisplayName() const;
  // Without rules the stored flag; else whether a rule's base file name
  // starts with "$OS$".
  bool IsOSRule() const;
  // "VIInternalName" of the first rule; empty without rules.
  String GetVIInternalNameOfFirstRule() const;

 private:
  String guid_, vendor_, name_, version_, category_, comment_, linkedSoftware_;
  uint32_t appliedCount_ = 0;
  bool protected_ = false, managed_ = false, osRule_ = false;
  std::vector<OVO::SWRule> rules_;
  bool unreadableRules_ = false;
};

// A scan rule as applied to one computer: "GUIDMachine", the rule (packed
// with encrypted rules), "LastSeen" (local DB time), "InventoryPath",
// "InventoryVersion", "ConflictedRules".
class OVOSystemAppliedSWScanRule : public OVOXMLSupport {
 public:
  explicit OVOSystemAppliedSWScanRule(const String& text = String());

  bool operator==(const OVOSystemAppliedSWScanRule& other) const;
  bool operator!=(const OVOSystemAppliedSWScanRule& other) const { return !(*this == other); }
  void Copy(const OVOSystemAppliedSWScanRule& other) { *this = other; }

  const String& GetGUIDMachine() const { return machine_; }
  void SetGUIDMachine(const String& v) { machine_ = v; }
  const OVOSWScanAppRule& GetOVOSWScanAppRule() const { return rule_; }
  void SetOVOSWScanAppRules(const OVOSWScanAppRule& rule) { rule_ = rule; }
  CTime GetLastSeen() const { return lastSeen_; }
  void SetLastSeen(CTime v) { lastSeen_ = v; }
  const String& GetInventoryPath() const { return inventoryPath_; }
  void SetInventoryPath(const String& v) { inventoryPath_ = v; }
  const String& GetInventoryVersion() const { return inventoryVersion_; }
  void SetInventoryVersion(const String& v) { inventoryVersion_ = v; }
  const String& GetConflictedRules() const { return conflictedRules_; }
  void SetConflictedRules(const String& v) { conflictedRules_ = v; }

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  String machine_, inventoryPath_, inventoryVersion_, conflictedRules_;
  OVOSWScanAppRule rule_;
  CTime lastSeen_ = 0;
};

class OVOSystemAppliedSWScanRuleList : public OVOList<OVOSystemAppliedSWScanRule> {
 public:
  explicit OVOSystemAppliedSWScanRuleList(const String& text = String(), bool ownsElements = true)
      : OVOList<OVOSystemAppliedSWScanRule>("SystemAppliedSWScanRuleList", text, ownsElements) {}
};

}  // namespace orvacmn

#endif  // ORVACMN_SOFTWARE_SCAN_RULES_H_
