#include "orvacmn/energy/profile.h"

#include <algorithm>
#include <string_view>

#include "ofl/format.h"
#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace OVO {
namespace EnergyManagement {

namespace {

constexpr char kTagGuid[] = "GUID";
constexpr char kTagName[] = "Name";
constexpr char kTagTimestamp[] = "Timestamp";

// Resource ids of the display texts.
constexpr uint32_t kResMinute = 7201;
constexpr uint32_t kResMinutes = 7202;
constexpr uint32_t kResHour = 7203;
constexpr uint32_t kResHours = 7204;
constexpr uint32_t kResNever = 7205;
constexpr uint32_t kResUserDefined = 7210;  // 7210..7214 follow EButtonAction

uint32_t MinutesToSeconds(uint32_t minutes) {
  return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{minutes} * 60, 0xFFFFFFFFu));
}

}  // namespace

struct Profile::NumberField {
  const char* tag;
  uint32_t Profile::*member;
  uint32_t defaultValue;
};

const Profile::NumberField Profile::kNumberFields[] = {
    {"MonitorAC", &Profile::monitorAC_, 5},
    {"MonitorDC", &Profile::monitorDC_, 2},
    {"StandbyAC", &Profile::standbyAC_, 15},
    {"StandbyDC", &Profile::standbyDC_, 10},
    {"HibernateAC", &Profile::hibernateAC_, 60},
    {"HibernateDC", &Profile::hibernateDC_, 60},
    {"DiskAC", &Profile::diskAC_, 20},
    {"DiskDC", &Profile::diskDC_, 5},
    {"PowerbuttonActionAC", &Profile::powerButtonAC_, eUserDefined},
    {"PowerbuttonActionDC", &Profile::powerButtonDC_, eUserDefined},
    {"SleepbuttonActionAC", &Profile::sleepButtonAC_, eUserDefined},
    {"SleepbuttonActionDC", &Profile::sleepButtonDC_, eUserDefined},
    {"LidcloseActionAC", &Profile::lidCloseAC_, eUserDefined},
    {"LidcloseActionDC", &Profile::lidCloseDC_, eUserDefined},
};

Profile::Profile() : OVOXMLSupport(CatalogueEntryFor("OVO::EnergyManagement::Profile")) {}

Profile::Profile(const String& text) : Profile() {
  if (!text.empty()) Unpack(text);
}

bool Profile::operator==(const Profile& other) const {
  for (const NumberField& f : kNumberFields)
    if (this->*f.member != other.*f.member) return false;
  return timestamp_ == other.timestamp_ && name_ == other.name_ && OFL::EqualsNoCase(guid_, other.guid_);
}

String Profile::GetTimeString(uint32_t minutes) {
  if (minutes == 0) return OFLTools::LoadResString(kResNever);
  if (minutes >= 60) {
    const uint32_t hours = minutes / 60;
    return OFLFormat("%d %s", hours, OFLTools::LoadResString(hours == 1 ? kResHour : kResHours));
  }
  return OFLFormat("%d %s", minutes, OFLTools::LoadResString(minutes == 1 ? kResMinute : kResMinutes));
}

String Profile::GetButtonAction(uint32_t action) {
  if (action > eShutdown) return String();
  return OFLTools::LoadResString(kResUserDefined + action);
}

PowerSettingValues Profile::GetOFLPowerSettingsValues(bool newStyle) const {
  using V = PowerSettingValues;
  V v;
  v.timeouts[V::kDiskAC] = MinutesToSeconds(diskAC_);
  v.timeouts[V::kDiskDC] = MinutesToSeconds(diskDC_);
  v.timeouts[V::kMonitorAC] = MinutesToSeconds(monitorAC_);
  v.timeouts[V::kMonitorDC] = MinutesToSeconds(monitorDC_);
  v.timeouts[V::kHibernateAC] = MinutesToSeconds(hibernateAC_);
  v.timeouts[V::kHibernateDC] = MinutesToSeconds(hibernateDC_);
  v.timeouts[V::kStandbyAC] = MinutesToSeconds(standbyAC_);
  v.timeouts[V::kStandbyDC] = MinutesToSeconds(standbyDC_);

  const uint32_t buttons[V::kButtonCount] = {powerButtonAC_, powerButtonDC_, sleepButtonAC_,
                                             sleepButtonDC_, lidCloseAC_,    lidCloseDC_};
  for (size_t i = 0; i < V::kButtonCount; ++i) {
    const uint32_t a = buttons[i];
    if (a == eNothing) {
      v.set[i] = true;
    } else if (a >= eStandby && a <= eShutdown) {
      // The newer interface numbers sleep, hibernate and shut down from 1,
      // the older one from 2.
      v.set[i] = true;
      v.actions[i] = newStyle ? a - 1 : a;
    }
  }
  return v;
}

String Profile::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kTagGuid, guid_);
  OFLTools::AppendXMLNode(out, kTagName, name_);
  OFLTools::AppendXMLNode(out, kTagTimestamp, OVOHelper::CTimeToDBTime(timestamp_));
  for (const NumberField& f : kNumberFields) OFLTools::AppendXMLNode(out, f.tag, this->*f.member);
  return out;
}

void Profile::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kTagGuid)) {
      guid_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kTagName)) {
      name_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kTagTimestamp)) {
      timestamp_ = OVOHelper::DBTimeToCTime(p.GetChildData());
    } else {
      for (const NumberField& f : kNumberFields) {
        if (OFL::EqualsNoCase(tag, f.tag)) {
          this->*f.member = OFLTools::AToUL(p.GetChildDataView());
          break;
        }
      }
    }
  });
}

void Profile::InternalClear() {
  guid_.clear();
  name_.clear();
  timestamp_ = 0;
  for (const NumberField& f : kNumberFields) this->*f.member = f.defaultValue;
}

void ProfileList::DeleteObjects() {
  for (Profile* p : *this) delete p;
  RemoveAll();
}

}  // namespace EnergyManagement
}  // namespace OVO
}  // namespace orvacmn
