// Software licences: the licences a customer owns for an application
// (OVOSoftwareLicenses), the actions to take as they run out
// (_OVOLicenseActions), and one licence reserved for an installation
// (OVOReservedLicense). All three are internal-style objects ("SoftwareLicenses",
// "LicenseActions", "ReservedLicense").
//
// A licence entry's version filter is empty or "*" for every version, else a
// pattern of OFL::Tools::MatchPattern; a filter without "/" also covers every
// suffix ("1.*" matches "1.5/x64"). Counts are signed 32-bit and wrap as on
// the original platform; availability (Count - Used - Offline) may be
// negative.
//
// Objects carry no locks: callers serialise access. Copies of an
// OVOSoftwareLicenses share their entries, so a reservation through one copy
// is seen by the others.
#ifndef ORVACMN_SOFTWARE_LICENSES_H_
#define ORVACMN_SOFTWARE_LICENSES_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "orvacmn/common/types.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

namespace OVO {
// What to do as licences run out; the values are assigned by the programs
// that act on them. -1 means none.
enum LicenseAction : int32_t {
  eLicenseActionNone = -1,
};
}  // namespace OVO

class _OVOLicenseActions : public OVOXMLSupport {
 public:
  struct _ActionEntry {
    int32_t limit = 0;
    OVO::LicenseAction type = OVO::eLicenseActionNone;
    bool continueInstallation = true;
    bool operator==(const _ActionEntry&) const = default;
  };

  _OVOLicenseActions();
  explicit _OVOLicenseActions(const String& text);

  bool operator==(const _OVOLicenseActions& other) const { return entries_ == other.entries_; }
  bool operator!=(const _OVOLicenseActions& other) const { return !(*this == other); }

  // Appends in call order.
  void Insert(int32_t limit, OVO::LicenseAction action, bool continueInstallation);
  const std::vector<_ActionEntry>& Entries() const { return entries_; }
  bool IsEmpty() const { return entries_.empty(); }

 protected:
  // One "ActionEntry" element per entry: "Limit", "Type", "ContinueInstallation".
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override { entries_.clear(); }

 private:
  std::vector<_ActionEntry> entries_;
};

class OVOReservedLicense : public OVOXMLSupport {
 public:
  OVOReservedLicense();
  explicit OVOReservedLicense(const String& text);

  bool operator==(const OVOReservedLicense&) const;
  bool operator!=(const OVOReservedLicense& other) const { return !(*this == other); }

  const String& GetGUIDMachine() const { return guidMachine_; }
  void SetGUIDMachine(const String& v) { guidMachine_ = v; }
  const String& GetGUIDSoftware() const { return guidSoftware_; }
  void SetGUIDSoftware(const String& v) { guidSoftware_ = v; }
  const String& GetMachineDisplayName() const { return machineDisplayName_; }
  void SetMachineDisplayName(const String& v) { machineDisplayName_ = v; }
  const String& GetSWVendor() const { return swVendor_; }
  void SetSWVendor(const String& v) { swVendor_ = v; }
  const String& GetSWName() const { return swName_; }
  void SetSWName(const String& v) { swName_ = v; }
  const String& GetSWVersion() const { return swVersion_; }
  // `version` alone when `suffix` is empty, else version "/" suffix.
  void SetSWVersion(const String& version, const String& suffix = String());
  CTime GetReservation() const { return reservation_; }
  void SetReservation(CTime t) { reservation_ = t; }
  const String& GetLicenseKey() const { return licenseKey_; }
  void SetLicenseKey(const String& v) { licenseKey_ = v; }
  const String& GetLicenseFilter() const { return licenseFilter_; }
  void SetLicenseFilter(const String& v) { licenseFilter_ = v; }
  // Licences left after the reservation; negative when over-used.
  int32_t GetRemainingLicenses() const { return remaining_; }
  void SetRemainingLicenses(int32_t v) { remaining_ = v; }
  OVO::LicenseAction GetAction() const { return action_; }
  void SetAction(OVO::LicenseAction v) { action_ = v; }
  bool GetContinueInstall() const { return continueInstall_; }
  void SetContinueInstall(bool v) { continueInstall_ = v; }

 protected:
  // "RemainingLicenses", "Action" and "ContinueInstall" are written as
  // unsigned 32-bit numbers; "LicenseFilter" only when not empty.
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  // Empties the Strings; the numbers keep their values.
  void InternalClear() override;

 private:
  String guidMachine_, guidSoftware_, machineDisplayName_, swVendor_, swName_, swVersion_;
  CTime reservation_ = 0;
  String licenseKey_;
  int32_t remaining_ = 0;
  OVO::LicenseAction action_ = OVO::eLicenseActionNone;
  bool continueInstall_ = true;
  String licenseFilter_;
};

class OVOSoftwareLicenses : public OVOXMLSupport {
 public:
  struct _LicenseEntry {
    String license;
    String filter;
    int32_t count = 0;
    int32_t offline = 0;
    int32_t used = 0;
    bool operator==(const _LicenseEntry&) const = default;
  };
  using EntryList = std::vector<std::shared_ptr<_LicenseEntry>>;

  OVOSoftwareLicenses();
  explicit OVOSoftwareLicenses(const String& text);
  // Copies share the entries (see above).
  OVOSoftwareLicenses(const OVOSoftwareLicenses&) = default;
  OVOSoftwareLicenses& operator=(const OVOSoftwareLicenses&) = default;

  // Pairwise equal entries in list order.
  bool operator==(const OVOSoftwareLicenses& other) const;
  bool operator!=(const OVOSoftwareLicenses& other) const { return !(*this == other); }

  void Insert(const String& license, const String& filter, int32_t count, int32_t offline, int32_t used);
  const EntryList& Entries() const { return entries_; }
  bool IsEmpty() const { return entries_.empty(); }

  int32_t GetTotalCount() const;
  int32_t GetTotalOffline() const;
  int32_t GetTotalUsed() const;
  // Sum of Availability(entry, version) over all entries.
  int32_t GetTotalAvailable(const String& version) const;

  // Reserves a licence for reserved.GetSWVersion(), consulting `actions` as
  // the available total falls. False when there are no entries, when an
  // action entry stops the installation (RemainingLicenses then holds the
  // total) or when no entry fits. Otherwise the chosen entry's Used grows by
  // one (also when it had nothing left: over-use is allowed) and `reserved`
  // receives its key, filter and availability afterwards.
  bool ReserveLicense(OVOReservedLicense& reserved, const _OVOLicenseActions& actions);
  // Fills `reserved` from the first entry with exactly this key that matches
  // reserved.GetSWVersion(); Used is not changed. False (and `reserved`
  // unchanged) when there is none.
  bool FindLicense(OVOReservedLicense& reserved, const String& license) const;
  // Gives back one licence: the last entry with this key (case ignored) that
  // matches `version` loses one Used; without one, a new entry (license,
  // version as filter, Count 1) is appended.
  void FreeLicense(const String& license, const String& version);
  // Filter of the last entry that matches `version`; empty if none.
  String GetMatchingFilter(const String& version) const;

  // The filter rule above.
  static bool Matches(const _LicenseEntry& entry, const String& version);
  // Count - Used - Offline when `version` is empty or the entry matches it,
  // else 0.
  static int32_t Availability(const _LicenseEntry& entry, const String& version);

 protected:
  // One "LicenseEntry" element per entry: "License", "Filter", "Count",
  // "Offline", "Used".
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override { entries_.clear(); }

 private:
  EntryList entries_;
};

}  // namespace orvacmn

#endif  // ORVACMN_SOFTWARE_LICENSES_H_
