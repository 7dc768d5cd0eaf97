// OVO::EnergyManagement::PowerSettings: a computer's current power scheme as
// reported, carried as a value record.
//
// Packed form "<OVOPowerSettings>" (schema 0): "DiskAC", "DiskDC",
// "MonitorAC", "MonitorDC", "StandbyAC", "StandbyDC" (decimal), "Name",
// "Description", "Notebook" (1/0). Defaults: zeros, empty texts, false.
//
// No locks: one thread at a time per object.
#ifndef ORVACMN_ENERGY_POWER_SETTINGS_H_
#define ORVACMN_ENERGY_POWER_SETTINGS_H_

#include <cstdint>

#include "orvacmn/objects/xml_support.h"

namespace orvacmn {
namespace OVO {
namespace EnergyManagement {

class PowerSettings : public OVOXMLSupport {
 public:
  PowerSettings();
  // Unpacks `text` when it is not empty.
  explicit PowerSettings(const String& text);
  PowerSettings(const String& name, const String& description, uint32_t monitorAC, uint32_t monitorDC,
                uint32_t standbyAC, uint32_t standbyDC, uint32_t diskAC, uint32_t diskDC, bool notebook);

  bool operator==(const PowerSettings& other) const;
  bool operator!=(const PowerSettings& other) const { return !(*this == other); }

  const String& GetSchemName() const { return name_; }
  void SetSchemName(const String& name) { name_ = name; }
  const String& GetSchemDescription() const { return description_; }
  void SetSchemDescription(const String& description) { description_ = description; }
  uint32_t GetMonitorTimeoutAC() const { return monitorAC_; }
  void SetMonitorTimeoutAC(uint32_t v) { monitorAC_ = v; }
  uint32_t GetMonitorTimeoutDC() const { return monitorDC_; }
  void SetMonitorTimeoutDC(uint32_t v) { monitorDC_ = v; }
  uint32_t GetStandbyTimeoutAC() const { return standbyAC_; }
  void SetStandbyTimeoutAC(uint32_t v) { standbyAC_ = v; }
  uint32_t GetStandbyTimeoutDC() const { return standbyDC_; }
  void SetStandbyTimeoutDC(uint32_t v) { standbyDC_ = v; }
  uint32_t GetDiskTimeoutAC() const { return diskAC_; }
  void SetDiskTimeoutAC(uint32_t v) { diskAC_ = v; }
  uint32_t GetDiskTimeoutDC() const { return diskDC_; }
  void SetDiskTimeoutDC(uint32_t v) { diskDC_ = v; }
  bool IsNotebook() const { return notebook_; }
  void SetNotebook(bool notebook) { notebook_ = notebook; }

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  uint32_t diskAC_ = 0;
  uint32_t diskDC_ = 0;
  uint32_t monitorAC_ = 0;
  uint32_t monitorDC_ = 0;
  uint32_t standbyAC_ = 0;
  uint32_t standbyDC_ = 0;
  String name_;
  String description_;
  bool notebook_ = false;
};

}  // namespace EnergyManagement
}  // namespace OVO
}  // namespace orvacmn

#endif  // ORVACMN_ENERGY_POWER_SETTINGS_H_
