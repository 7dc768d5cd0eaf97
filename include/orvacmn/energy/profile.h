// OVO::EnergyManagement::Profile: a power profile that a job step deploys.
//
// Timeouts in minutes (0 means never) for monitor, disk, standby and
// hibernation, on mains (AC) and on battery (DC), and what the power button,
// the sleep button and the lid do. The profile also translates itself into
// the values that the operating system's power interface takes
// (PowerSettingValues, seconds and platform action codes); it makes no
// platform call itself.
//
// Packed form "<EnergyProfile>": "GUID", "Name", "Timestamp" (local DB time
// text), "MonitorAC", "MonitorDC", "StandbyAC", "StandbyDC", "HibernateAC",
// "HibernateDC", "DiskAC", "DiskDC", then the six button actions
// "PowerbuttonActionAC" ... "LidcloseActionDC", all numbers in decimal.
//
// ProfileList owns its profiles. No locks: one thread at a time per object.
#ifndef ORVACMN_ENERGY_PROFILE_H_
#define ORVACMN_ENERGY_PROFILE_H_

#include <array>
#include <cstdint>

#include "orvacmn/common/types.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {
namespace OVO {
namespace EnergyManagement {

// What a button or the lid does. Stored as read: any 32-bit value is kept.
enum EButtonAction : uint32_t {
  eUserDefined = 0,  // leave the computer's own setting
  eNothing = 1,
  eStandby = 2,
  eHibernate = 3,
  eShutdown = 4,
};

// The values a profile gives the operating system's power interface.
struct PowerSettingValues {
  // Indices of `timeouts`: seconds, 0 for never. The last two words are
  // always 0.
  enum ETimeout {
    kDiskAC, kDiskDC, kMonitorAC, kMonitorDC, kHibernateAC, kHibernateDC, kStandbyAC, kStandbyDC,
    kReserved1, kReserved2, kTimeoutCount
  };
  // Indices of `set` and `actions`.
  enum EButton { kPowerButtonAC, kPowerButtonDC, kSleepButtonAC, kSleepButtonDC, kLidAC, kLidDC, kButtonCount };

  std::array<uint32_t, kTimeoutCount> timeouts{};
  // False: leave the computer's setting of that button alone.
  std::array<bool, kButtonCount> set{};
  // The platform's action code, meaningful where `set` is true.
  std::array<uint32_t, kButtonCount> actions{};

  bool operator==(const PowerSettingValues&) const = default;
};

class Profile : public OVOXMLSupport {
 public:
  Profile();
  // Unpacks `text` when it is not empty.
  explicit Profile(const String& text);

  // All fields equal; GUIDs compare without regard to case.
  bool operator==(const Profile& other) const;
  bool operator!=(const Profile& other) const { return !(*this == other); }

  const String& GetGuid() const { return guid_; }
  void SetGUID(const String& guid) { guid_ = guid; }
  const String& GetName() const { return name_; }
  void SetName(const String& name) { name_ = name; }
  CTime GetTimestamp() const { return timestamp_; }
  void SetTimestamp(CTime t) { timestamp_ = t; }

  uint32_t GetMonitorTimeoutAC() const { return monitorAC_; }
  void SetMonitorTimeoutAC(uint32_t minutes) { monitorAC_ = minutes; }
  uint32_t GetMonitorTimeoutDC() const { return monitorDC_; }
  void SetMonitorTimeoutDC(uint32_t minutes) { monitorDC_ = minutes; }
  uint32_t GetStandbyTimeoutAC() const { return standbyAC_; }
  void SetStandbyTimeoutAC(uint32_t minutes) { standbyAC_ = minutes; }
  uint32_t GetStandbyTimeoutDC() const { return standbyDC_; }
  void SetStandbyTimeoutDC(uint32_t minutes) { standbyDC_ = minutes; }
  uint32_t GetHibernateTimeoutAC() const { return hibernateAC_; }
  void SetHibernateTimeoutAC(uint32_t minutes) { hibernateAC_ = minutes; }
  uint32_t GetHibernateTimeoutDC() const { return hibernateDC_; }
  void SetHibernateTimeoutDC(uint32_t minutes) { hibernateDC_ = minutes; }
  uint32_t GetDiskTimeoutAC() const { return diskAC_; }
  void SetDiskTimeoutAC(uint32_t minutes) { diskAC_ = minutes; }
  uint32_t GetDiskTimeoutDC() const { return diskDC_; }
  void SetDiskTimeoutDC(uint32_t minutes) { diskDC_ = minutes; }

  EButtonAction GetPowerButtonActionAC() const { return EButtonAction(powerButtonAC_); }
  void SetPowerButtonActionAC(EButtonAction a) { powerButtonAC_ = a; }
  EButtonAction GetPowerButtonActionDC() const { return EButtonAction(powerButtonDC_); }
  void SetPowerButtonActionDC(EButtonAction a) { powerButtonDC_ = a; }
  EButtonAction GetSleepButtonActionAC() const { return EButtonAction(sleepButtonAC_); }
  void SetSleepButtonActionAC(EButtonAction a) { sleepButtonAC_ = a; }
  EButtonAction GetSleepButtonActionDC() const { return EButtonAction(sleepButtonDC_); }
  void SetSleepButtonActionDC(EButtonAction a) { sleepButtonDC_ = a; }
  EButtonAction GetLidCloseActionAC() const { return EButtonAction(lidCloseAC_); }
  void SetLidCloseActionAC(EButtonAction a) { lidCloseAC_ = a; }
  EButtonAction GetLidCloseActionDC() const { return EButtonAction(lidCloseDC_); }
  void SetLidCloseActionDC(EButtonAction a) { lidCloseDC_ = a; }

  // Display text of a timeout in the current resource language: "Never" for
  // 0; from 60 minutes on the whole hours only ("1 Hour", "2 Hours");
  // otherwise "1 Minute", "5 Minutes".
  static String GetTimeString(uint32_t minutes);
  // Display text of a button action; empty for a value outside 0..4.
  static String GetButtonAction(uint32_t action);

  // The profile as power-interface values. `newStyle` selects the action
  // codes of the newer interface (sleep 1, hibernate 2, shut down 3) instead
  // of the older one (2, 3, 4). Seconds saturate at 0xFFFFFFFF.
  PowerSettingValues GetOFLPowerSettingsValues(bool newStyle) const;

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  // The numeric fields in packing order, with their tags.
  struct NumberField;
  static const NumberField kNumberFields[];

  String guid_;
  String name_;
  CTime timestamp_ = 0;
  uint32_t monitorAC_ = 5;
  uint32_t monitorDC_ = 2;
  uint32_t standbyAC_ = 15;
  uint32_t standbyDC_ = 10;
  uint32_t hibernateAC_ = 60;
  uint32_t hibernateDC_ = 60;
  uint32_t diskAC_ = 20;
  uint32_t diskDC_ = 5;
  uint32_t powerButtonAC_ = eUserDefined;  // an EButtonAction
  uint32_t powerButtonDC_ = eUserDefined;  // an EButtonAction
  uint32_t sleepButtonAC_ = eUserDefined;  // an EButtonAction
  uint32_t sleepButtonDC_ = eUserDefined;  // an EButtonAction
  uint32_t lidCloseAC_ = eUserDefined;  // an EButtonAction
  uint32_t lidCloseDC_ = eUserDefined;  // an EButtonAction
};

// An owning list of profiles: DeleteObjects and the destructor destroy them.
class ProfileList : public OVOTypedPtrList<Profile> {
 public:
  ProfileList() = default;
  ProfileList(const ProfileList&) = delete;
  ProfileList& operator=(const ProfileList&) = delete;
  ~ProfileList() override { DeleteObjects(); }
  // Destroys every profile and empties the list.
  void DeleteObjects();
};

}  // namespace EnergyManagement
}  // namespace OVO
}  // namespace orvacmn

#endif  // ORVACMN_ENERGY_PROFILE_H_
