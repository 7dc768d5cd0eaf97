// OVOGroup: a logical group of managed systems ("LogicalGroup"), a node of
// the group tree. Besides its identity and place in the tree it carries the
// network settings it hands to the network cards of its clients, the domain
// its clients join, the hardware profiles its clients may take, and its
// access list.
//
// Fields (all Strings unless said otherwise): "GUID", "GUIDParent" (empty at
// the root of the tree) and "Name" form its key; "Domain"; the network
// settings "IP" ("DHCP" or an address), "Netmask", "DefGateway", "DNS1",
// "DNS2", "DNSDomain", "WINS1", "WINS2"; "AllowedHWProfiles", one
// "AllowedEntry" per profile with "GUIDHWProfile" and "Allowed" (1 or 0); and
// the nested "ObjectRights". Every other child is kept as it came.
//
// One thread at a time per object, for reading too: the allowed entries are
// parsed from their markup on first use after it changed.
#ifndef ORVACMN_DIRECTORY_GROUP_H_
#define ORVACMN_DIRECTORY_GROUP_H_

#include <vector>

#include "orvacmn/hardware/group_net_settings.h"
#include "orvacmn/hardware/group_profile_rules.h"
#include "orvacmn/records/record_fields.h"

#define ORVACMN_GROUP_FIELDS(F)                                                        \
  F(GUID, Text, kKeyField) F(GUIDParent, Text, kKeyField) F(Name, Text, kKeyField)     \
  F(Domain, Text, kDataField) F(IP, Text, kDataField) F(Netmask, Text, kDataField)     \
  F(DefGateway, Text, kDataField) F(DNS1, Text, kDataField) F(DNS2, Text, kDataField)  \
  F(DNSDomain, Text, kDataField) F(WINS1, Text, kDataField) F(WINS2, Text, kDataField) \
  F(AllowedHWProfiles, Markup, kDataField) F(ObjectRights, Rights, kDataField)

namespace orvacmn {

class OVOGroup : public OVOKeptChildrenObject, public OVOGroupProfileRules {
  ORVACMN_RECORD_BODY(OVOGroup, OVOKeptChildrenObject, "OVOGroup", ORVACMN_GROUP_FIELDS)

  struct _AllowedEntry {
    String profileGUID;
    bool allowed = false;
    bool operator==(const _AllowedEntry&) const = default;
  };

  // The entries of "AllowedHWProfiles", in document order.
  const std::vector<_AllowedEntry>& GetAllowedEntries() const;
  // Sets the entry of `profileGUID` (case ignored), appending one when there
  // is none.
  void SetAllowedEntry(const String& profileGUID, bool allowed);
  // Removes the entry of `profileGUID`; false when there was none.
  bool RemoveAllowedEntry(const String& profileGUID);
  // From the first entry of the profile (case ignored).
  EProfileAccess GetProfileAccess(const String& profileGUID) const override;

  // The eight network settings as the hardware components take them.
  OVOGroupNetSettings GetNetSettings() const;
  void SetNetSettings(const OVOGroupNetSettings& settings);

 private:
  void SetAllowedEntries(const std::vector<_AllowedEntry>& entries);

  // The entries read from the markup they were parsed from.
  mutable std::vector<_AllowedEntry> allowed_;
  mutable String allowedParsedFrom_;
};

}  // namespace orvacmn

#endif  // ORVACMN_DIRECTORY_GROUP_H_
