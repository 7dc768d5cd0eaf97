#include "ofl/device_info.h"

#include <cstdio>
#include <utility>

namespace {

using OFL::String;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = OFL::ToUpperAscii(c);
  return (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
}

// Exactly `width` hex digits (at most 8, so the value fits).
bool ReadHex(std::string_view text, size_t width, uint32_t& value) {
  if (text.size() != width) return false;
  uint32_t v = 0;
  for (char c : text) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    v = (v << 4) | static_cast<uint32_t>(d);
  }
  value = v;
  return true;
}

bool IsAlnum(char c) { return HexDigit(c) >= 0 || (OFL::ToUpperAscii(c) >= 'A' && OFL::ToUpperAscii(c) <= 'Z'); }

bool IsAcpiVendor(std::string_view v) {
  if (v.size() != 3 && v.size() != 4) return false;
  for (char c : v)
    if (!IsAlnum(c)) return false;
  return true;
}

struct BusPrefix {
  const char* name;
  OFLDeviceInfo::EBus bus;
};
constexpr BusPrefix kBuses[] = {
    {"PCI", OFLDeviceInfo::eBusPCI},
    {"USB", OFLDeviceInfo::eBusUSB},
    {"HDAUDIO", OFLDeviceInfo::eBusHDAudio},
    {"ACPI", OFLDeviceInfo::eBusACPI},
};

String Hex4(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04X", v & 0xFFFFu);
  return buf;
}

}  // namespace

void OFLDeviceInfo::SetDeviceString(std::string_view deviceString) {
  // Built aside: `deviceString` may view this object's own text.
  OFLDeviceInfo parsed;
  parsed.valid_ = parsed.Parse(OFL::Trim(deviceString));
  if (!parsed.valid_) parsed = OFLDeviceInfo();  // parts of a rejected id would only mislead
  parsed.text_.assign(deviceString);
  *this = std::move(parsed);
}

bool OFLDeviceInfo::Parse(std::string_view id) {
  const size_t slash = id.find('\\');
  if (slash == std::string_view::npos) return false;
  const std::string_view prefix = id.substr(0, slash);
  for (const BusPrefix& b : kBuses)
    if (OFL::EqualsNoCase(prefix, b.name)) bus_ = b.bus;
  if (bus_ == eBusUnknown) return false;
  std::string_view rest = id.substr(slash + 1);
  rest = rest.substr(0, rest.find('\\'));  // the instance part is not read

  // The compact ACPI form: vendor characters followed by four hex digits.
  if (bus_ == eBusACPI && rest.find_first_of("&_") == std::string_view::npos) {
    if (rest.size() < 4) return false;
    const std::string_view vendor = rest.substr(0, rest.size() - 4);
    if (!IsAcpiVendor(vendor) || !ReadHex(rest.substr(vendor.size()), 4, device_)) return false;
    vendor_ = OFL::ToUpper(vendor);
    has_ = kVen | kDev;
    return true;
  }

  const size_t revWidth = bus_ == eBusPCI ? 2 : 4;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find('&', start);
    if (end == std::string_view::npos) end = rest.size();
    const std::string_view token = rest.substr(start, end - start);
    start = end + 1;
    const size_t underscore = token.find('_');
    if (underscore == std::string_view::npos) return false;
    const std::string_view key = token.substr(0, underscore);
    const std::string_view value = token.substr(underscore + 1);
    auto is = [key](const char* k) { return OFL::EqualsNoCase(key, k); };
    uint32_t bit = 0;
    bool ok = false;
    uint32_t v = 0;
    if ((bus_ == eBusUSB) ? is("VID") : is("VEN")) {
      bit = kVen;
      ok = bus_ == eBusACPI ? IsAcpiVendor(value) : ReadHex(value, 4, v);
      if (ok) vendor_ = OFL::ToUpper(value);
    } else if ((bus_ == eBusUSB) ? is("PID") : is("DEV")) {
      bit = kDev;
      ok = ReadHex(value, 4, device_);
    } else if (is("SUBSYS") && (bus_ == eBusPCI || bus_ == eBusHDAudio)) {
      bit = kSubsys;
      ok = ReadHex(value, 8, subsys_);
    } else if (is("REV") && bus_ != eBusACPI) {
      bit = kRev;
      ok = ReadHex(value, revWidth, rev_);
    } else if (is("CC") && bus_ == eBusPCI) {
      bit = kClass;
      if (ReadHex(value, 6, v)) {
        classCode_ = v >> 8;
        progIf_ = v & 0xFF;
        has_ |= kProgIf;
        ok = true;
      } else {
        ok = ReadHex(value, 4, classCode_);
      }
    } else if (is("FUNC") && bus_ == eBusHDAudio) {
      bit = kFunc;
      ok = ReadHex(value, 2, func_);
    } else if (is("MI") && bus_ == eBusUSB) {
      bit = kMi;
      ok = ReadHex(value, 2, mi_);
    }
    if (!ok || (has_ & bit)) return false;
    has_ |= bit;
  }
  const bool device = (has_ & kVen) && (has_ & kDev);
  if (device) return true;
  // A class-only compatible id, nothing else beside it.
  return bus_ == eBusPCI && (has_ & ~kProgIf) == kClass;
}

const char* OFLDeviceInfo::GetBusName(EBus bus) {
  for (const BusPrefix& b : kBuses)
    if (b.bus == bus) return b.name;
  return "";
}

uint32_t OFLDeviceInfo::GetVendorId() const {
  uint32_t v = 0;
  return ReadHex(vendor_, 4, v) && bus_ != eBusACPI ? v : 0;
}

uint32_t OFLDeviceInfo::GetDevInfoPCIClass() const {
  if (!(has_ & kClass)) return 0;
  return (classCode_ >> 8) | ((classCode_ & 0xFF) << 8);
}

bool OFLDeviceInfo::Matches(const OFLDeviceInfo& other) const {
  if (!valid_ || !other.valid_ || bus_ != other.bus_) return false;
  if ((has_ & other.has_) != has_) return false;
  return (!(has_ & kVen) || vendor_ == other.vendor_) && (!(has_ & kDev) || device_ == other.device_) &&
         (!(has_ & kSubsys) || subsys_ == other.subsys_) && (!(has_ & kRev) || rev_ == other.rev_) &&
         (!(has_ & kClass) || classCode_ == other.classCode_) && (!(has_ & kProgIf) || progIf_ == other.progIf_) &&
         (!(has_ & kFunc) || func_ == other.func_) && (!(has_ & kMi) || mi_ == other.mi_);
}

bool OFLDeviceInfo::SameParts(const OFLDeviceInfo& other) const {
  return valid_ == other.valid_ && has_ == other.has_ && (!valid_ || Matches(other));
}

String OFLDeviceInfo::GetGenericDeviceString() const {
  if (!valid_ || !(has_ & kVen)) return String();
  switch (bus_) {
    case eBusPCI: return CreatePCIDevice(static_cast<uint16_t>(GetVendorId()), static_cast<uint16_t>(device_)).text_;
    case eBusUSB: return CreateUSBDevice(static_cast<uint16_t>(GetVendorId()), static_cast<uint16_t>(device_)).text_;
    case eBusHDAudio:
      return CreateHDAudioDevice(static_cast<uint16_t>(GetVendorId()), static_cast<uint16_t>(device_)).text_;
    case eBusACPI: return CreateACPIDevice(vendor_, static_cast<uint16_t>(device_)).text_;
    default: return String();
  }
}

void OFLDeviceInfo::GetDeviceStringParts(String& generic, String& exact) const {
  generic = GetGenericDeviceString();
  exact = valid_ ? text_ : String();
}

OFLDeviceInfo OFLDeviceInfo::CreatePCIDevice(uint16_t vendor, uint16_t device) {
  return OFLDeviceInfo("PCI\\VEN_" + Hex4(vendor) + "&DEV_" + Hex4(device));
}

OFLDeviceInfo OFLDeviceInfo::CreateUSBDevice(uint16_t vendor, uint16_t product) {
  return OFLDeviceInfo("USB\\VID_" + Hex4(vendor) + "&PID_" + Hex4(product));
}

OFLDeviceInfo OFLDeviceInfo::CreateHDAudioDevice(uint16_t vendor, uint16_t device) {
  return OFLDeviceInfo("HDAUDIO\\VEN_" + Hex4(vendor) + "&DEV_" + Hex4(device));
}

OFLDeviceInfo OFLDeviceInfo::CreateACPIDevice(std::string_view vendor, uint16_t device) {
  if (!IsAcpiVendor(vendor)) return OFLDeviceInfo();
  return OFLDeviceInfo("ACPI\\" + OFL::ToUpper(vendor) + Hex4(device));
}
