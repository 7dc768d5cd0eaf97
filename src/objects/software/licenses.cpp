#include "orvacmn/software/licenses.h"

#include <string_view>

#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr char kTagActionEntry[] = "ActionEntry";
constexpr char kTagLimit[] = "Limit";
constexpr char kTagType[] = "Type";
constexpr char kTagContinueInstallation[] = "ContinueInstallation";

constexpr char kTagLicenseEntry[] = "LicenseEntry";
constexpr char kTagLicense[] = "License";
constexpr char kTagFilter[] = "Filter";
constexpr char kTagCount[] = "Count";
constexpr char kTagOffline[] = "Offline";
constexpr char kTagUsed[] = "Used";

constexpr char kTagGUIDMachine[] = "GUIDMachine";
constexpr char kTagGUIDSoftware[] = "GUIDSoftware";
constexpr char kTagMachineDisplayName[] = "MachineDisplayName";
constexpr char kTagSWVendor[] = "SWVendor";
constexpr char kTagSWName[] = "SWName";
constexpr char kTagSWVersion[] = "SWVersion";
constexpr char kTagReservation[] = "Reservation";
constexpr char kTagLicenseKey[] = "LicenseKey";
constexpr char kTagRemainingLicenses[] = "RemainingLicenses";
constexpr char kTagAction[] = "Action";
constexpr char kTagContinueInstall[] = "ContinueInstall";
constexpr char kTagLicenseFilter[] = "LicenseFilter";

// 32-bit arithmetic wraps as it did on the original platform; hostile counts
// must not make it undefined.
int32_t Add(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
int32_t Sub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }

// Runs `fn(tag, parser)` for each child of the child element the parser's
// child cursor stands on; the cursor stands there again afterwards.
template <class Fn>
void ForEachGrandChild(OFLXMLParser& parser, Fn&& fn) {
  parser.IntoElem();
  ForEachChild(parser, fn);
  parser.OutOfElem();
}

}  // namespace

// ---- _OVOLicenseActions ----

_OVOLicenseActions::_OVOLicenseActions() : OVOXMLSupport(CatalogueEntryFor("_OVOLicenseActions")) {}

_OVOLicenseActions::_OVOLicenseActions(const String& text) : _OVOLicenseActions() {
  if (!text.empty()) Unpack(text);
}

void _OVOLicenseActions::Insert(int32_t limit, OVO::LicenseAction action, bool continueInstallation) {
  entries_.push_back(_ActionEntry{limit, action, continueInstallation});
}

String _OVOLicenseActions::InternalPack() const {
  String out;
  for (const _ActionEntry& e : entries_) {
    OFLTools::AppendXMLTag(out, kTagActionEntry);
    OFLTools::AppendXMLNode(out, kTagLimit, e.limit);
    OFLTools::AppendXMLNode(out, kTagType, static_cast<int32_t>(e.type));
    OFLTools::AppendXMLNode(out, kTagContinueInstallation, int32_t{e.continueInstallation ? 1 : 0});
    OFLTools::AppendXMLTag(out, kTagActionEntry, true);
  }
  return out;
}

void _OVOLicenseActions::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (!OFL::EqualsNoCase(tag, kTagActionEntry)) return;
    _ActionEntry e;
    ForEachGrandChild(p, [&e](const String& t, OFLXMLParser& q) {
      if (OFL::EqualsNoCase(t, kTagLimit))
        e.limit = OFL::CRT::atol(q.GetChildData());
      else if (OFL::EqualsNoCase(t, kTagType))
        e.type = static_cast<OVO::LicenseAction>(OFL::CRT::atol(q.GetChildData()));
      else if (OFL::EqualsNoCase(t, kTagContinueInstallation))
        e.continueInstallation = OFL::CRT::atol(q.GetChildData()) != 0;
    });
    entries_.push_back(e);
  });
}

// ---- OVOReservedLicense ----

OVOReservedLicense::OVOReservedLicense() : OVOXMLSupport(CatalogueEntryFor("OVOReservedLicense")) {}

OVOReservedLicense::OVOReservedLicense(const String& text) : OVOReservedLicense() {
  if (!text.empty()) Unpack(text);
}

bool OVOReservedLicense::operator==(const OVOReservedLicense& o) const {
  return guidMachine_ == o.guidMachine_ && guidSoftware_ == o.guidSoftware_ &&
         machineDisplayName_ == o.machineDisplayName_ && swVendor_ == o.swVendor_ && swName_ == o.swName_ &&
         swVersion_ == o.swVersion_ && reservation_ == o.reservation_ && licenseKey_ == o.licenseKey_ &&
         remaining_ == o.remaining_ && action_ == o.action_ && continueInstall_ == o.continueInstall_ &&
         licenseFilter_ == o.licenseFilter_;
}

void OVOReservedLicense::SetSWVersion(const String& version, const String& suffix) {
  swVersion_ = suffix.empty() ? version : version + "/" + suffix;
}

String OVOReservedLicense::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kTagGUIDMachine, guidMachine_);
  OFLTools::AppendXMLNode(out, kTagGUIDSoftware, guidSoftware_);
  OFLTools::AppendXMLNode(out, kTagMachineDisplayName, machineDisplayName_);
  OFLTools::AppendXMLNode(out, kTagSWVendor, swVendor_);
  OFLTools::AppendXMLNode(out, kTagSWName, swName_);
  OFLTools::AppendXMLNode(out, kTagSWVersion, swVersion_);
  OFLTools::AppendXMLNode(out, kTagReservation, reservation_);
  OFLTools::AppendXMLNode(out, kTagLicenseKey, licenseKey_);
  OFLTools::AppendXMLNode(out, kTagRemainingLicenses, static_cast<uint32_t>(remaining_));
  OFLTools::AppendXMLNode(out, kTagAction, static_cast<uint32_t>(action_));
  OFLTools::AppendXMLNode(out, kTagContinueInstall, uint32_t{continueInstall_ ? 1u : 0u});
  if (!licenseFilter_.empty()) OFLTools::AppendXMLNode(out, kTagLicenseFilter, licenseFilter_);
  return out;
}

void OVOReservedLicense::InternalUnpack(OFLXMLParser& parser) {
  struct StringTag {
    const char* tag;
    String OVOReservedLicense::*field;
  };
  static constexpr StringTag kStrings[] = {
      {kTagGUIDMachine, &OVOReservedLicense::guidMachine_},
      {kTagGUIDSoftware, &OVOReservedLicense::guidSoftware_},
      {kTagMachineDisplayName, &OVOReservedLicense::machineDisplayName_},
      {kTagSWVendor, &OVOReservedLicense::swVendor_},
      {kTagSWName, &OVOReservedLicense::swName_},
      {kTagSWVersion, &OVOReservedLicense::swVersion_},
      {kTagLicenseKey, &OVOReservedLicense::licenseKey_},
      {kTagLicenseFilter, &OVOReservedLicense::licenseFilter_},
  };
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    for (const StringTag& s : kStrings) {
      if (OFL::EqualsNoCase(tag, s.tag)) {
        this->*s.field = p.GetChildData();
        return;
      }
    }
    if (OFL::EqualsNoCase(tag, kTagReservation)) reservation_ = OFLTools::AToLL(p.GetChildData());
    else if (OFL::EqualsNoCase(tag, kTagRemainingLicenses))
      remaining_ = static_cast<int32_t>(OFLTools::AToUL(p.GetChildData()));
    else if (OFL::EqualsNoCase(tag, kTagAction))
      action_ = static_cast<OVO::LicenseAction>(static_cast<int32_t>(OFLTools::AToUL(p.GetChildData())));
    else if (OFL::EqualsNoCase(tag, kTagContinueInstall)) continueInstall_ = OFLTools::AToUL(p.GetChildData()) != 0;
  });
}

void OVOReservedLicense::InternalClear() {
  guidMachine_.clear();
  guidSoftware_.clear();
  machineDisplayName_.clear();
  swVendor_.clear();
  swName_.clear();
  swVersion_.clear();
  licenseKey_.clear();
  licenseFilter_.clear();
}

// ---- OVOSoftwareLicenses ----

OVOSoftwareLicenses::OVOSoftwareLicenses() : OVOXMLSupport(CatalogueEntryFor("OVOSoftwareLicenses")) {}

OVOSoftwareLicenses::OVOSoftwareLicenses(const String& text) : OVOSoftwareLicenses() {
  if (!text.empty()) Unpack(text);
}

bool OVOSoftwareLicenses::operator==(const OVOSoftwareLicenses& other) const {
  if (entries_.size() != other.entries_.size()) return false;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (!(*entries_[i] == *other.entries_[i])) return false;
  return true;
}

void OVOSoftwareLicenses::Insert(const String& license, const String& filter, int32_t count, int32_t offline,
                                 int32_t used) {
  entries_.push_back(std::make_shared<_LicenseEntry>(_LicenseEntry{license, filter, count, offline, used}));
}

int32_t OVOSoftwareLicenses::GetTotalCount() const {
  int32_t sum = 0;
  for (const auto& e : entries_) sum = Add(sum, e->count);
  return sum;
}

int32_t OVOSoftwareLicenses::GetTotalOffline() const {
  int32_t sum = 0;
  for (const auto& e : entries_) sum = Add(sum, e->offline);
  return sum;
}

int32_t OVOSoftwareLicenses::GetTotalUsed() const {
  int32_t sum = 0;
  for (const auto& e : entries_) sum = Add(sum, e->used);
  return sum;
}

int32_t OVOSoftwareLicenses::GetTotalAvailable(const String& version) const {
  int32_t sum = 0;
  for (const auto& e : entries_) sum = Add(sum, Availability(*e, version));
  return sum;
}

bool OVOSoftwareLicenses::Matches(const _LicenseEntry& entry, const String& version) {
  const String& filter = entry.filter;
  if (filter.empty() || filter == "*") return true;
  if (OFL::Tools::MatchPattern(version, filter)) return true;
  return filter.find('/') == String::npos && OFL::Tools::MatchPattern(version, filter + "/*");
}

int32_t OVOSoftwareLicenses::Availability(const _LicenseEntry& entry, const String& version) {
  if (!version.empty() && !Matches(entry, version)) return 0;
  return Sub(Sub(entry.count, entry.used), entry.offline);
}

bool OVOSoftwareLicenses::ReserveLicense(OVOReservedLicense& reserved, const _OVOLicenseActions& actions) {
  if (entries_.empty()) return false;
  const String& version = reserved.GetSWVersion();
  const int32_t total = GetTotalAvailable(version);
  reserved.SetAction(OVO::eLicenseActionNone);
  reserved.SetContinueInstall(true);
  for (const _OVOLicenseActions::_ActionEntry& a : actions.Entries()) {
    if (a.limit >= Sub(total, 1)) reserved.SetAction(a.type);  // a later entry overrides
    if (total <= a.limit) {
      reserved.SetContinueInstall(a.continueInstallation);
      if (!a.continueInstallation) {
        reserved.SetRemainingLicenses(total);
        return false;
      }
    }
  }

  // The last entry with something left; failing that the last that covers the
  // version, or for no version the first entry, which then runs into over-use.
  _LicenseEntry* chosen = nullptr;
  for (auto it = entries_.rbegin(); it != entries_.rend() && !chosen; ++it)
    if (Availability(**it, version) > 0) chosen = it->get();
  if (!chosen && version.empty()) chosen = entries_.front().get();
  for (auto it = entries_.rbegin(); it != entries_.rend() && !chosen; ++it)
    if (Matches(**it, version)) chosen = it->get();
  if (!chosen) return false;

  chosen->used = Add(chosen->used, 1);
  reserved.SetLicenseKey(chosen->license);
  reserved.SetLicenseFilter(chosen->filter);
  reserved.SetRemainingLicenses(Availability(*chosen, version));
  return true;
}

bool OVOSoftwareLicenses::FindLicense(OVOReservedLicense& reserved, const String& license) const {
  const String& version = reserved.GetSWVersion();
  for (const auto& e : entries_) {
    if (e->license != license || !Matches(*e, version)) continue;
    reserved.SetAction(OVO::eLicenseActionNone);
    reserved.SetContinueInstall(true);
    reserved.SetLicenseKey(e->license);
    reserved.SetLicenseFilter(e->filter);
    reserved.SetRemainingLicenses(Availability(*e, version));
    return true;
  }
  return false;
}

void OVOSoftwareLicenses::FreeLicense(const String& license, const String& version) {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    _LicenseEntry& e = **it;
    if (OFL::EqualsNoCase(e.license, license) && Matches(e, version)) {
      e.used = Sub(e.used, 1);
      return;
    }
  }
  Insert(license, version, 1, 0, 0);
}

String OVOSoftwareLicenses::GetMatchingFilter(const String& version) const {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (Matches(**it, version)) return (*it)->filter;
  return String();
}

String OVOSoftwareLicenses::InternalPack() const {
  String out;
  for (const auto& e : entries_) {
    OFLTools::AppendXMLTag(out, kTagLicenseEntry);
    OFLTools::AppendXMLNode(out, kTagLicense, e->license);
    OFLTools::AppendXMLNode(out, kTagFilter, e->filter);
    OFLTools::AppendXMLNode(out, kTagCount, e->count);
    OFLTools::AppendXMLNode(out, kTagOffline, e->offline);
    OFLTools::AppendXMLNode(out, kTagUsed, e->used);
    OFLTools::AppendXMLTag(out, kTagLicenseEntry, true);
  }
  return out;
}

void OVOSoftwareLicenses::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (!OFL::EqualsNoCase(tag, kTagLicenseEntry)) return;
    auto e = std::make_shared<_LicenseEntry>();
    ForEachGrandChild(p, [&e](const String& t, OFLXMLParser& q) {
      if (OFL::EqualsNoCase(t, kTagLicense)) e->license = q.GetChildData();
      else if (OFL::EqualsNoCase(t, kTagFilter)) e->filter = q.GetChildData();
      else if (OFL::EqualsNoCase(t, kTagCount)) e->count = OFL::CRT::atol(q.GetChildData());
      else if (OFL::EqualsNoCase(t, kTagOffline)) e->offline = OFL::CRT::atol(q.GetChildData());
      else if (OFL::EqualsNoCase(t, kTagUsed)) e->used = OFL::CRT::atol(q.GetChildData());
    });
    entries_.push_back(std::move(e));
  });
}

}  // namespace orvacmn
