// OVO::EnergyManagement::Policy: energy profiles chosen by condition.
//
// A policy holds an ordered sequence of condition profiles (PolicyProfile):
// each names a condition type, parameters that only the agent interprets,
// and the energy profile that applies while the condition holds. The policy
// owns its condition profiles and each of them owns its energy profile.
//
// Packed forms:
//   "<EnergyPolicy>": "GUID", "Name", "Comment", "Force" (1/0), "Conditions"
//   (holding one "EnergyPolicyProfile" per condition, in order; always
//   written), "Timestamp" (local DB time text).
//   "<EnergyPolicyProfile>": "ConditionType" (decimal), "ConditionParameters",
//   then the packed "EnergyProfile".
// Children of "Conditions" with another tag are skipped; a condition or a
// nested profile is read as from its own markup, so its root must carry the
// exact object name to be filled.
//
// PolicyList owns its policies. No locks: one thread at a time per object.
#ifndef ORVACMN_ENERGY_POLICY_H_
#define ORVACMN_ENERGY_POLICY_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "orvacmn/common/types.h"
#include "orvacmn/energy/profile.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {
namespace OVO {
namespace EnergyManagement {

// When a condition profile applies; what each type means is the agent's.
// Stored as read: any 32-bit value is kept (and fails validation).
enum EnergyPolicyProfileConditionType : uint32_t {
  eUserLoggedOn = 0,
  eUserLoggedOff = 1,
  eDesktopLocked = 2,
};

class Policy : public OVOXMLSupport {
 public:
  class PolicyProfile : public OVOXMLSupport {
   public:
    PolicyProfile();
    // Unpacks `text` when it is not empty.
    explicit PolicyProfile(const String& text);

    bool operator==(const PolicyProfile& other) const;
    bool operator!=(const PolicyProfile& other) const { return !(*this == other); }

    EnergyPolicyProfileConditionType GetEnergyPolicyConditionType() const { return type_; }
    void SetEnergyPolicyConditionType(EnergyPolicyProfileConditionType type) { type_ = type; }
    const String& GetConditionParameters() const { return parameters_; }
    void SetConditionParameters(const String& parameters) { parameters_ = parameters; }
    const Profile& GetEnergyProfile() const { return profile_; }
    Profile& GetEnergyProfile() { return profile_; }
    // Stores a copy of `profile`.
    void SetEnergyProfile(const Profile& profile) { profile_ = profile; }

   protected:
    String InternalPack() const override;
    void InternalUnpack(OFLXMLParser& parser) override;
    void InternalClear() override;

   private:
    EnergyPolicyProfileConditionType type_ = eUserLoggedOn;
    String parameters_;
    Profile profile_;
  };
  using PolicyProfiles = std::vector<std::unique_ptr<PolicyProfile>>;

  Policy();
  // Unpacks `text` when it is not empty.
  explicit Policy(const String& text);
  // Deep copies: the copy owns copies of the condition profiles.
  Policy(const Policy& other);
  Policy& operator=(const Policy& other);
  ~Policy() override;

  // All fields equal (GUIDs without regard to case) and pairwise equal
  // condition profiles in order.
  bool operator==(const Policy& other) const;
  bool operator!=(const Policy& other) const { return !(*this == other); }

  const String& GetGuid() const { return guid_; }
  void SetGUID(const String& guid) { guid_ = guid; }
  const String& GetName() const { return name_; }
  void SetName(const String& name) { name_ = name; }
  const String& GetComment() const { return comment_; }
  void SetComment(const String& comment) { comment_ = comment; }
  bool IsForce() const { return force_; }
  void SetForce(bool force) { force_ = force; }

  // The condition profiles in order; the policy owns them.
  const PolicyProfiles& GetEnergyPolicyProfiles() const { return conditions_; }
  PolicyProfiles& GetEnergyPolicyProfiles() { return conditions_; }
  // Appends `condition` (ignored when null) and returns it.
  PolicyProfile* AddEnergyPolicyProfile(std::unique_ptr<PolicyProfile> condition);

  // The policy's own time of last change.
  CTime GetTimestampOfPolicy() const { return timestamp_; }
  void SetTimestamp(CTime t) { timestamp_ = t; }
  // The latest of the policy's own time and the times of the energy
  // profiles of all its condition profiles.
  CTime GetTimestamp() const;

  // True when the policy has at least one condition, each of the types 0, 1
  // and 2 at most once, and no other type. Otherwise false with `error` set
  // to the reason (duplicates are reported before unknown types); `error` is
  // left alone when the policy is valid.
  bool ValidateEnergyPolicy(String& error) const;

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  void UnpackConditions(OFLXMLParser& parser);

  String guid_;
  String name_;
  String comment_;
  bool force_ = false;
  PolicyProfiles conditions_;
  CTime timestamp_ = 0;
};

// An owning list of policies: DeleteObjects and the destructor destroy them.
class PolicyList : public OVOTypedPtrList<Policy> {
 public:
  PolicyList() = default;
  PolicyList(const PolicyList&) = delete;
  PolicyList& operator=(const PolicyList&) = delete;
  ~PolicyList() override { DeleteObjects(); }
  // Destroys every policy and empties the list.
  void DeleteObjects();
};

}  // namespace EnergyManagement
}  // namespace OVO
}  // namespace orvacmn

#endif  // ORVACMN_ENERGY_POLICY_H_
