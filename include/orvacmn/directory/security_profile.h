// Console security: security profiles and the console accounts given them.
//
// A security profile is a named set of console rights, each allowed or not;
// the access lists of objects (OVOObjectRights) grant rights mask by mask to
// security profiles by name. A console account (a Windows user or group, or a
// directory path) is given one or more profiles.
//
// "SecurityProfile": "Name", "Comment", "CanAccessOvcUserInformation",
// "CanAccessDeviceUserInformation" (1 or 0), then one "RightEntry" per right
// with "Name" and "Allowed" (decimal), in list order.
// "SecurityUserOrGroup": "Account", then one "ProfileEntry" per profile with
// "Name" and "Allowed". Reading "Account" sets it as SetUserOrGroup does.
// Both are read ignoring the case of tags; entries are appended as read,
// duplicates included.
//
// Objects carry no locks; one thread at a time per object.
#ifndef ORVACMN_DIRECTORY_SECURITY_PROFILE_H_
#define ORVACMN_DIRECTORY_SECURITY_PROFILE_H_

#include <cstdint>
#include <deque>

#include "ofl/user_account.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

// A name with an allowed value: a right of a profile, or a profile of an
// account.
struct OVOSecurityEntry {
  String name;
  int32_t allowed = 0;
  bool operator==(const OVOSecurityEntry&) const = default;
};

class OVOSecurityProfile : public OVOXMLSupport {
 public:
  using _RightEntry = OVOSecurityEntry;
  // A row of a caller's table of console rights; a row with a null short
  // name ends the table.
  struct RightName {
    const char* shortName;
    uint32_t resourceId;  // the display name's string resource
    uint32_t data;        // the caller's own word
  };

  OVOSecurityProfile();
  // Unpacks `text` when it is not empty.
  explicit OVOSecurityProfile(const String& text);
  bool operator==(const OVOSecurityProfile& other) const;

  const String& GetName() const { return name_; }
  void SetName(const String& v) { name_ = v; }
  const String& GetComment() const { return comment_; }
  void SetComment(const String& v) { comment_ = v; }
  bool GetCanAccessOvcUserInformation() const { return canAccessOvcUserInformation_; }
  void SetCanAccessOvcUserInformation(bool v) { canAccessOvcUserInformation_ = v; }
  bool GetCanAccessDeviceUserInformation() const { return canAccessDeviceUserInformation_; }
  void SetCanAccessDeviceUserInformation(bool v) { canAccessDeviceUserInformation_ = v; }

  // The rights in list order. Entries stay where they are while others are
  // appended.
  const std::deque<_RightEntry>& GetRights() const { return rights_; }
  // Appends an entry, even for a name already present.
  _RightEntry* InsertRight(const String& name, int32_t allowed);
  // The first entry of `name`, case ignored; null when none.
  _RightEntry* FindRight(const String& name);
  const _RightEntry* FindRight(const String& name) const;
  // The first entry of exactly `name` (case respected): 1 and its allowed
  // value, else 0 and `allowed` unchanged.
  int FindRight(const String& name, int32_t& allowed) const;
  // The allowed value of FindRight(name) (case ignored), or 0.
  int32_t IsAllowed(const String& name) const;
  void DeleteListRights() { rights_.clear(); }

  // The display name (string resource) of the first row whose short name is
  // exactly `shortName`; "Unknown" when none, or for a null table.
  static String ShortToLong(const RightName* table, const String& shortName);
  // The short name of the first row whose display name equals `longName`,
  // case ignored; "Unknown" when none, or for a null table.
  static String LongToShort(const RightName* table, const String& longName);

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  String name_;
  String comment_;
  bool canAccessOvcUserInformation_ = false;
  bool canAccessDeviceUserInformation_ = false;
  std::deque<_RightEntry> rights_;
};

class OVOSecurityUserOrGroup : public OVOXMLSupport {
 public:
  using _ProfileEntry = OVOSecurityEntry;
  enum EType : uint32_t {
    eAccount = 0,             // a Windows user or group
    eEnvironmentAccount = 1,  // an account naming no fixed one: a wildcard or a placeholder
    ePath = 3,                // a directory path, parts separated by "/"
  };

  OVOSecurityUserOrGroup();
  // Unpacks `text` when it is not empty.
  explicit OVOSecurityUserOrGroup(const String& text);
  bool operator==(const OVOSecurityUserOrGroup& other) const {
    return account_ == other.account_ && type_ == other.type_ && parsed_ == other.parsed_ &&
           profiles_ == other.profiles_;
  }

  // Stores `text`, the text "*" (every account) as "*\*". A text with "/" is
  // a path; any other is parsed as a Windows account, whose environment
  // value decides between eAccount and eEnvironmentAccount.
  void SetUserOrGroup(const String& text);
  const String& GetUserOrGroup() const { return account_; }
  const OFLUserAccount& GetAccount() const { return parsed_; }
  EType GetType() const { return type_; }
  // For a path, the part before the first "/"; else the account's domain.
  String GetDomain() const;
  // For a path, the part after the last "/"; else the account's user name.
  String GetName() const;

  const std::deque<_ProfileEntry>& GetSecurityProfiles() const { return profiles_; }
  _ProfileEntry* InsertSecurityProfile(const String& name, int32_t allowed);
  // Removes the first entry of `name` (case ignored); false when none.
  bool RemoveSecurityProfile(const String& name);
  // The first entry of `name` (case ignored) and its index, or null and -1.
  _ProfileEntry* FindSecurityProfile(const String& name, int& index);
  void DeleteListSecurityProfiles() { profiles_.clear(); }

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  String account_;
  EType type_ = eAccount;
  OFLUserAccount parsed_;
  std::deque<_ProfileEntry> profiles_;
};

}  // namespace orvacmn

#endif  // ORVACMN_DIRECTORY_SECURITY_PROFILE_H_
