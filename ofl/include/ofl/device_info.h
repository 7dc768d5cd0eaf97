// OFLDeviceInfo: one Windows hardware id, kept as text and read into parts.
//
// Understood forms (bus prefix and keys in any case; values in hexadecimal):
//   PCI\VEN_vvvv&DEV_dddd[&SUBSYS_ssssssss][&REV_rr][&CC_cccc[pp]]
//   PCI\CC_cccc[pp]                              (class-only compatible id)
//   HDAUDIO\[FUNC_ff&]VEN_vvvv&DEV_dddd[&SUBSYS_ssssssss][&REV_rrrr]
//   USB\VID_vvvv&PID_dddd[&REV_rrrr][&MI_ii]
//   ACPI\PNP0A03 (three or four vendor characters, four hex digits), or
//   ACPI\VEN_PNP&DEV_0A03
// Parts may come in any order. A further "\" starts the instance part of a
// device instance path; it is kept in the text and not read. Any other key,
// a duplicated key or a value of the wrong width makes the id invalid.
//
// The device string is kept exactly as given, so a stored id reads back
// unchanged even when it is not understood. An invalid id matches nothing.
//
// Plain value type; no shared state.
#ifndef OFL_DEVICE_INFO_H_
#define OFL_DEVICE_INFO_H_

#include <cstdint>
#include <string_view>

#include "ofl/string.h"

class OFLDeviceInfo {
 public:
  using String = OFL::String;

  enum EBus { eBusUnknown = 0, eBusPCI, eBusUSB, eBusHDAudio, eBusACPI };

  OFLDeviceInfo() = default;
  explicit OFLDeviceInfo(std::string_view deviceString) { SetDeviceString(deviceString); }

  // Keeps the text and reads its parts.
  void SetDeviceString(std::string_view deviceString);
  const String& GetDeviceString() const { return text_; }
  // Back to the empty, invalid id.
  void Reset() { *this = OFLDeviceInfo(); }

  // A known bus with vendor and device, or (PCI) a class code alone.
  bool IsValid() const { return valid_; }
  EBus GetBus() const { return bus_; }
  // "PCI", "USB", "HDAUDIO", "ACPI"; empty for an unknown bus.
  static const char* GetBusName(EBus bus);

  // The vendor as written, upper-cased: four hex digits, or for ACPI three or
  // four characters ("PNP", "MSFT"). Empty when absent.
  const String& GetVendor() const { return vendor_; }
  // The vendor's hex digits as a number; 0 for an ACPI vendor or none.
  uint32_t GetVendorId() const;
  uint32_t GetDevice() const { return device_; }
  bool HasSubsystem() const { return has_ & kSubsys; }
  uint32_t GetSubsystem() const { return subsys_; }
  bool HasRevision() const { return has_ & kRev; }
  uint32_t GetRevision() const { return rev_; }
  // CC_: base class and sub-class (0xBBSS), and with six digits the
  // programming interface.
  bool HasClassCode() const { return has_ & kClass; }
  uint32_t GetClassCode() const { return classCode_; }
  bool HasProgIf() const { return has_ & kProgIf; }
  uint32_t GetProgIf() const { return progIf_; }
  bool HasFunction() const { return has_ & kFunc; }    // HDAUDIO FUNC_
  uint32_t GetFunction() const { return func_; }
  bool HasInterface() const { return has_ & kMi; }     // USB MI_
  uint32_t GetInterface() const { return mi_; }

  // The PCI class: base class in bits 0-7, sub-class in bits 8-15; 0 when
  // the id carries no class code.
  uint32_t GetDevInfoPCIClass() const;

  // True when this id, as the more generic one, covers `other`: both valid,
  // the same bus, and every part this id has is present in `other` with the
  // same value (a four-digit class code covers any programming interface).
  // Equal ids match; an id with SUBSYS or REV does not match one without.
  bool Matches(const OFLDeviceInfo& other) const;
  // Equal validity, bus and parts (the texts may differ).
  bool SameParts(const OFLDeviceInfo& other) const;

  // The generic id of this device (vendor and device only, in the canonical
  // form of its bus) and the exact device string. Both empty when invalid;
  // the generic one is empty for a class-only id.
  void GetDeviceStringParts(String& generic, String& exact) const;
  String GetGenericDeviceString() const;

  // Builders of the generic ids of each bus.
  static OFLDeviceInfo CreatePCIDevice(uint16_t vendor, uint16_t device);
  static OFLDeviceInfo CreateUSBDevice(uint16_t vendor, uint16_t product);
  static OFLDeviceInfo CreateHDAudioDevice(uint16_t vendor, uint16_t device);
  // `vendor`: three or four letters or digits; anything else gives an
  // invalid id.
  static OFLDeviceInfo CreateACPIDevice(std::string_view vendor, uint16_t device);

 private:
  enum : uint32_t { kVen = 1, kDev = 2, kSubsys = 4, kRev = 8, kClass = 16, kProgIf = 32, kFunc = 64, kMi = 128 };

  bool Parse(std::string_view id);

  String text_;
  EBus bus_ = eBusUnknown;
  bool valid_ = false;
  uint32_t has_ = 0;
  String vendor_;
  uint32_t device_ = 0;
  uint32_t subsys_ = 0;
  uint32_t rev_ = 0;
  uint32_t classCode_ = 0;
  uint32_t progIf_ = 0;
  uint32_t func_ = 0;
  uint32_t mi_ = 0;
};

#endif  // OFL_DEVICE_INFO_H_
