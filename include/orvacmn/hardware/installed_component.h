// OVOHardwareInstalledComponent: one device (network card, graphics card,
// disk, monitor or other) as installed in one client or one hardware
// profile, an instance of a hardware component of the object store.
// OVOHardwareInstalledComponentList: an owning list of them.
//
// Packed form, every element always written: "GUID", "GUIDSystem",
// "GUIDComponent", "Number", "Type", "Vendor", "Model", "Data", "DeviceInfo"
// (the device string), the packed "Properties" and the packed "SPV". The
// matching state is never packed.
//
// One thread at a time per object.
#ifndef ORVACMN_HARDWARE_INSTALLED_COMPONENT_H_
#define ORVACMN_HARDWARE_INSTALLED_COMPONENT_H_

#include <cstdint>

#include "ofl/device_info.h"
#include "orvacmn/hardware/group_net_settings.h"
#include "orvacmn/hardware/spv.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOHardwareComponent;

class OVOHardwareInstalledComponent : public OVOXMLSupport {
 public:
  // Type texts.
  static constexpr char kTypeNetcard[] = "NETCARD";
  static constexpr char kTypeGfxcard[] = "GFXCARD";
  static constexpr char kTypeHDD[] = "HDD";
  static constexpr char kTypeMonitor[] = "MONITOR";
  static constexpr char kTypeOther[] = "OTHER";

  // Property names the system uses.
  static constexpr char kPropAutoDetected[] = "AutoDetected";
  static constexpr char kPropIP[] = "IP";
  static constexpr char kPropMaxResolution[] = "MAXRES";
  static constexpr char kPropColor[] = "COLOR";
  static constexpr char kPropMaxFrequency[] = "MAXFREQ";
  static constexpr char kDHCP[] = "DHCP";

  // State during hardware matching.
  enum EState : uint32_t { eStateNotSeen = 0, eStatePresent = 1, eStateAdded = 2, eStateRemoved = 3 };

  OVOHardwareInstalledComponent();
  // Unpacks `text` when it is not empty.
  explicit OVOHardwareInstalledComponent(const String& text);
  OVOHardwareInstalledComponent(const OVOHardwareInstalledComponent&) = default;
  OVOHardwareInstalledComponent& operator=(const OVOHardwareInstalledComponent&) = default;
  ~OVOHardwareInstalledComponent() override;

  // The packed texts are equal (the state does not count).
  bool operator==(const OVOHardwareInstalledComponent& other) const;

  String Pack() const override;
  void AppendPack(String& out) const override;
  using OVOXMLSupport::Unpack;
  // Empties the seven texts and the device string, sets the number to 0,
  // clears the properties and deletes the SPV entries. The state is kept.
  void Clear() override;

  const String& GetGUID() const { return guid_; }
  const String& GetGUIDSystem() const { return guidSystem_; }
  const String& GetGUIDComponent() const { return guidComponent_; }
  uint32_t GetNumber() const { return number_; }
  const String& GetType() const { return type_; }
  const String& GetVendor() const { return vendor_; }
  const String& GetModel() const { return model_; }
  const String& GetData() const { return data_; }
  const OFLDeviceInfo& GetDeviceInfo() const { return device_; }
  OVO::Properties& GetProperties() { return properties_; }
  const OVO::Properties& GetProperties() const { return properties_; }
  OvoSpv& GetSpv() { return spv_; }
  const OvoSpv& GetSpv() const { return spv_; }
  uint32_t GetState() const { return state_; }

  void SetGUID(const String& v) { guid_ = v; }
  void SetGUIDSystem(const String& v) { guidSystem_ = v; }
  void SetGUIDComponent(const String& v) { guidComponent_ = v; }
  void SetNumber(uint32_t v) { number_ = v; }
  void SetType(const String& v) { type_ = v; }
  void SetVendor(const String& v) { vendor_ = v; }
  void SetModel(const String& v) { model_ = v; }
  void SetData(const String& v) { data_ = v; }
  void SetDeviceInfo(const OFLDeviceInfo& v) { device_ = v; }
  void SetDeviceString(const String& v) { device_.SetDeviceString(v); }
  void SetState(uint32_t v) { state_ = v; }

  // The property "AutoDetected" exists (its value does not matter).
  bool IsAutodetected() const;
  // Takes over the properties and SPV entries of the component packed in
  // `packed` (a removed predecessor); a text without a component gives empty
  // ones.
  void SetConfigurationFromOldComponent(const String& packed);
  // Nothing without a group. Otherwise the properties become the group's
  // network settings: "IP" alone when it is exactly "DHCP", else "IP",
  // "IP.Netmask", "IP.DefGateway", "IP.DNS1", "IP.DNS2", "IP.DNSDomain",
  // "IP.WINS1" and "IP.WINS2".
  void SetNetSettingsFromGroup(const OVOGroupNetSettings* group);
  // For the types "GFXCARD" and "MONITOR" (case counts) the display settings
  // of the properties (OVOHardwareDisplaySettings::FromProperties); other
  // types give 0 and leave the outputs alone.
  int GetDisplaySettings(int32_t& width, int32_t& height, int32_t& depth, int32_t& frequency) const;
  // Makes this an instance of `component`: its GUID as "GUIDComponent", its
  // type, vendor, model and device string; a "GFXCARD" (exactly) also takes
  // its "MAXRES", "COLOR" and "MAXFREQ", each defaulting to "1024 x 768",
  // "High Color (16 bit)" and "75".
  void SetFromComponent(const OVOHardwareComponent& component);

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;

 private:
  void AppendFields(String& out) const;

  String guid_;
  String guidSystem_;
  String guidComponent_;
  uint32_t number_ = 0;
  String type_;
  String vendor_;
  String model_;
  String data_;
  OFLDeviceInfo device_;
  OVO::Properties properties_;
  OvoSpv spv_;
  uint32_t state_ = eStateNotSeen;
};

// Owns its components: DeleteObjects and the destructor delete them.
class OVOHardwareInstalledComponentList : public OVOTypedPtrList<OVOHardwareInstalledComponent> {
 public:
  OVOHardwareInstalledComponentList() = default;
  OVOHardwareInstalledComponentList(const OVOHardwareInstalledComponentList&) = delete;
  OVOHardwareInstalledComponentList& operator=(const OVOHardwareInstalledComponentList&) = delete;
  ~OVOHardwareInstalledComponentList() override;

  // Appends a copy (made from its packed text) of every component of `other`
  // whose type equals `type` (case counts), or of every component when
  // `type` is empty.
  void AddFromList(const OVOHardwareInstalledComponentList& other, const String& type);
  // The first component whose "GUIDComponent" equals `guid` (case counts),
  // or null.
  POSITION FindEntry(const String& guid) const;
  // Deletes every component and empties the list.
  void DeleteObjects();
};

}  // namespace orvacmn

#endif  // ORVACMN_HARDWARE_INSTALLED_COMPONENT_H_
