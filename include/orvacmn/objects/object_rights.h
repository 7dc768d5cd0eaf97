// OVOObjectRights: the access list of a securable object.
//
// For each security profile (the GUID text of a security profile, compared
// without regard to case) the list holds one mask of rights. The class also
// knows which special rights each object type supports, the display name of
// every right and the short-name text of a mask exchanged with the console.
//
// Packed form: "<ObjectRights>" with an empty body when the list is empty;
// otherwise "Inherited" (1/0), "Effective" (decimal) and one "AccessEntry"
// element per entry in list order, each holding "SecurityProfile" and
// "Rights". Unpack clears first and enters every entry through SetRights.
#ifndef ORVACMN_OBJECTS_OBJECT_RIGHTS_H_
#define ORVACMN_OBJECTS_OBJECT_RIGHTS_H_

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

// What the supported-rights rule needs to know of a concrete securable
// object (organisational unit or software application): its GUID and, for an
// organisational unit, its SupportedObjects mask. Those classes fill one of
// these for OVOObjectRights::GetSupportedSpecialRights.
struct SecurableObjectInfo {
  String guid;
  uint32_t supportedObjects = 0;
};

class OVOObjectRights : public OVOXMLSupport {
 public:
  // Rights bits of a mask.
  static constexpr uint32_t kRightFullControl = 0x1;
  static constexpr uint32_t kRightRead = 0x2;
  static constexpr uint32_t kRightChange = 0x4;
  static constexpr uint32_t kRightDelete = 0x8;
  static constexpr uint32_t kRightCreateOrgUnit = 0x40;   // units; subgroup for groups
  static constexpr uint32_t kRightCreateObject = 0x80;    // units and groups
  static constexpr uint32_t kRightAssignTarget = 0x100;   // jobs
  static constexpr uint32_t kRightControlJob = 0x200;     // jobs
  static constexpr uint32_t kRightEditAutoAssign = 0x400; // jobs
  static constexpr uint32_t kRightAssignJobs = 0x1000;
  static constexpr uint32_t kRightRemoteControl = 0x2000;
  static constexpr uint32_t kRightBitLocker = 0x4000;
  static constexpr uint32_t kRightScheduleJobsImmediately = 0x8000;
  static constexpr uint32_t kRightAnalyzeAut = 0x10000;
  static constexpr uint32_t kRightConfigureAut = 0x20000;
  static constexpr uint32_t kRightManageLicenses = 0x40000;
  static constexpr uint32_t kRightSyncToSentra = 0x100000;
  // A mask with Full control is stored ORed with this: all 31 low bits.
  static constexpr uint32_t kAllRights = 0x7FFFFFFF;

  // Object types (record types of the object store) with special rights.
  static constexpr uint32_t kTypeOrgUnit = 5;
  static constexpr uint32_t kTypeOperatingSystem = 32;
  static constexpr uint32_t kTypeSoftwareApplication = 33;
  static constexpr uint32_t kTypeJob = 40;
  static constexpr uint32_t kTypeGroup = 50;
  static constexpr uint32_t kTypeSystem = 51;
  static constexpr uint32_t kTypeDirectoryObject = 55;

  // Bits of an organisational unit's SupportedObjects mask that widen its
  // special rights.
  static constexpr uint32_t kUnitHoldsApplications = 0x2;
  static constexpr uint32_t kUnitHoldsOperatingSystems = 0x10;
  static constexpr uint32_t kUnitHoldsJobs = 0x10000;
  static constexpr uint32_t kUnitSyncsToSentra = 0x200000;
  static constexpr uint32_t kUnitHoldsGroups = 0x400000;
  static constexpr uint32_t kUnitHoldsSystemsMask = 0x3000000;

  // One security profile and its rights. The profile is fixed at creation so
  // that the list's index stays valid; the rights may be changed in place.
  class _AccessEntry {
   public:
    _AccessEntry(const String& profile, uint32_t rights) : profile_(profile), rights_(rights) {}
    const String& GetSecurityProfile() const { return profile_; }
    uint32_t GetRights() const { return rights_; }
    // Stores `rights` as given (no Full-control widening).
    void SetRights(uint32_t rights) { rights_ = rights; }
    // Profiles compare without regard to case.
    bool operator==(const _AccessEntry& other) const;

   private:
    String profile_;
    uint32_t rights_;
  };
  using AccessEntryList = std::vector<std::unique_ptr<_AccessEntry>>;

  OVOObjectRights();
  // Unpacks `text`; a text without an "ObjectRights" element leaves the
  // defaults.
  explicit OVOObjectRights(const String& text);
  OVOObjectRights(const OVOObjectRights& other);
  OVOObjectRights& operator=(const OVOObjectRights& other);
  ~OVOObjectRights() override;

  // Equal Inherited, Effective and pairwise equal entries in list order.
  bool operator==(const OVOObjectRights& other) const;
  bool operator!=(const OVOObjectRights& other) const { return !(*this == other); }

  // The entry of `profile` (case ignored), or null.
  _AccessEntry* FindAccessEntry(const String& profile);
  const _AccessEntry* FindAccessEntry(const String& profile) const;
  // Stores `rights` (widened to kAllRights when it has Full control) in the
  // entry of `profile`, appending one when there is none. Never null; the
  // entry lives until it is deleted or the object is cleared or destroyed.
  _AccessEntry* SetRights(const String& profile, uint32_t rights);
  // As SetRights; on an empty list first sets Effective to 0, and with
  // `addToEffective` ORs the entry's stored rights into Effective.
  _AccessEntry* SetRightsEx(const String& profile, uint32_t rights, bool addToEffective);
  // Removes the entry of `profile`; true if there was one.
  bool DeleteAccessEntry(const String& profile);
  // `profiles` is a ";"-separated list. Without entries: Full control (0x1)
  // whatever is asked. Otherwise the OR of the rights of the listed profiles'
  // entries (0 if none is listed or found).
  uint32_t GetRights(const String& profiles) const;

  void SetInheritedFlag(bool inherited) { inherited_ = inherited; }
  bool GetInheritedFlag() const { return inherited_; }
  uint32_t EffectiveRights() const { return effective_; }
  bool IsEmpty() const { return entries_.empty(); }
  // The entries in list order.
  const AccessEntryList& GetAccessEntries() const { return entries_; }

  // Special rights an object of `objectType` supports. `object` is the
  // concrete organisational unit (type 5) or software application (type 33)
  // when one is at hand; null gives the type's general answer.
  static uint32_t GetSupportedSpecialRights(uint32_t objectType, const SecurableObjectInfo* object = nullptr);
  // Display name of the single right `right` for `objectType`, in the current
  // resource language; `supportedObjects` is the unit's mask (type 5). False
  // for a combination without a name. For type 5 and Sync to Sentra without
  // unit bit 0x200000 the result is true and `name` is left as it was.
  static bool GetRightName(uint32_t objectType, uint32_t supportedObjects, uint32_t right, String& name);
  // The short names of the rights in `rights` that `objectType` knows, joined
  // by ","; `specialOnly` leaves out F, R, W and X.
  static String GetShortRightNames(uint32_t objectType, uint32_t rights, bool specialOnly);
  // The mask of a short-name text: tokens separated by ",", anything up to the
  // first ":" of a token dropped, names matched ignoring case. Sync to Sentra
  // is read as "SentraCockpit". `objectType` is not used.
  static uint32_t GetRightsFromNames(uint32_t objectType, const String& names);

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  using Index = std::unordered_map<String, _AccessEntry*, OFL::HashNoCase, OFL::EqualNoCase>;

  void CopyFrom(const OVOObjectRights& other);
  void UnpackAccessEntry(OFLXMLParser& parser);

  bool inherited_ = true;
  uint32_t effective_ = 15;
  AccessEntryList entries_;
  Index index_;  // profile (case ignored) -> its entry in entries_
};

}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_OBJECT_RIGHTS_H_
