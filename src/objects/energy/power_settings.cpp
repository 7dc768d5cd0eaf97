#include "orvacmn/energy/power_settings.h"

#include "ofl/tools.h"

namespace orvacmn {
namespace OVO {
namespace EnergyManagement {

namespace {

constexpr char kTagDiskAC[] = "DiskAC";
constexpr char kTagDiskDC[] = "DiskDC";
constexpr char kTagMonitorAC[] = "MonitorAC";
constexpr char kTagMonitorDC[] = "MonitorDC";
constexpr char kTagStandbyAC[] = "StandbyAC";
constexpr char kTagStandbyDC[] = "StandbyDC";
constexpr char kTagName[] = "Name";
constexpr char kTagDescription[] = "Description";
constexpr char kTagNotebook[] = "Notebook";

}  // namespace

PowerSettings::PowerSettings() : OVOXMLSupport(CatalogueEntryFor("OVO::EnergyManagement::PowerSettings")) {}

PowerSettings::PowerSettings(const String& text) : PowerSettings() {
  if (!text.empty()) Unpack(text);
}

PowerSettings::PowerSettings(const String& name, const String& description, uint32_t monitorAC,
                             uint32_t monitorDC, uint32_t standbyAC, uint32_t standbyDC, uint32_t diskAC,
                             uint32_t diskDC, bool notebook)
    : PowerSettings() {
  diskAC_ = diskAC;
  diskDC_ = diskDC;
  monitorAC_ = monitorAC;
  monitorDC_ = monitorDC;
  standbyAC_ = standbyAC;
  standbyDC_ = standbyDC;
  name_ = name;
  description_ = description;
  notebook_ = notebook;
}

bool PowerSettings::operator==(const PowerSettings& other) const {
  return diskAC_ == other.diskAC_ && diskDC_ == other.diskDC_ && monitorAC_ == other.monitorAC_ &&
         monitorDC_ == other.monitorDC_ && standbyAC_ == other.standbyAC_ && standbyDC_ == other.standbyDC_ &&
         name_ == other.name_ && description_ == other.description_ && notebook_ == other.notebook_;
}

String PowerSettings::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kTagDiskAC, diskAC_);
  OFLTools::AppendXMLNode(out, kTagDiskDC, diskDC_);
  OFLTools::AppendXMLNode(out, kTagMonitorAC, monitorAC_);
  OFLTools::AppendXMLNode(out, kTagMonitorDC, monitorDC_);
  OFLTools::AppendXMLNode(out, kTagStandbyAC, standbyAC_);
  OFLTools::AppendXMLNode(out, kTagStandbyDC, standbyDC_);
  OFLTools::AppendXMLNode(out, kTagName, name_);
  OFLTools::AppendXMLNode(out, kTagDescription, description_);
  OFLTools::AppendXMLNode(out, kTagNotebook, int32_t{notebook_ ? 1 : 0});
  return out;
}

void PowerSettings::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kTagDiskAC)) diskAC_ = OFLTools::AToUL(p.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, kTagDiskDC)) diskDC_ = OFLTools::AToUL(p.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, kTagMonitorAC)) monitorAC_ = OFLTools::AToUL(p.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, kTagMonitorDC)) monitorDC_ = OFLTools::AToUL(p.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, kTagStandbyAC)) standbyAC_ = OFLTools::AToUL(p.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, kTagStandbyDC)) standbyDC_ = OFLTools::AToUL(p.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, kTagName)) name_ = p.GetChildData();
    else if (OFL::EqualsNoCase(tag, kTagDescription)) description_ = p.GetChildData();
    else if (OFL::EqualsNoCase(tag, kTagNotebook)) notebook_ = OFL::CRT::atol(p.GetChildData()) != 0;
  });
}

void PowerSettings::InternalClear() {
  diskAC_ = diskDC_ = monitorAC_ = monitorDC_ = standbyAC_ = standbyDC_ = 0;
  name_.clear();
  description_.clear();
  notebook_ = false;
}

}  // namespace EnergyManagement
}  // namespace OVO
}  // namespace orvacmn
