#include "orvacmn/distribution/dip.h"

#include <array>
#include <initializer_list>
#include <string_view>

#include "ofl/format.h"
#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace OVO {

namespace {

enum TextField {
  eGuid, eHostname, eComment, eParentGuid, eStateTime, eDetailText, eIncludes, eExcludes, eConfigTimeStamp,
  eCurrentJobGuid, kTextCount
};
enum NumberField { ePort, eState, eSaveOption, eRescanInterval, eAutoIndexing, kNumberCount };

// The packed fields in their order: a text or a number field each.
struct Field {
  const char* tag;
  bool isText;
  int index;
};
constexpr Field kFields[] = {
    {"GUID", true, eGuid},
    {"Hostname", true, eHostname},
    {"Port", false, ePort},
    {"Comment", true, eComment},
    {"SourceDip", true, eParentGuid},
    {"State", false, eState},
    {"SaveOption", false, eSaveOption},
    {"StateTime", true, eStateTime},
    {"Details", true, eDetailText},
    {"Includes", true, eIncludes},
    {"Excludes", true, eExcludes},
    {"RescanInterval", false, eRescanInterval},
    {"AutoIndexing", false, eAutoIndexing},
    {"ConfigTimeStamp", true, eConfigTimeStamp},
    {"GUIDCurrentJob", true, eCurrentJobGuid},
};

constexpr std::string_view kSettingProperties[] = {Dip::kPropDomain, Dip::kPropSyncMode, Dip::kPropCommRule,
                                                   Dip::kPropCommProtocol, Dip::kPropIgnBandwidthIndexFile};
constexpr std::string_view kSyncStateProperties[] = {Dip::kPropIsUpToDate, Dip::kPropResultTimeUtc,
                                                     Dip::kPropCopyCount,  Dip::kPropCopySize,
                                                     Dip::kPropDeleteCount, Dip::kPropDeleteSize};
constexpr std::string_view kExtStateProperties[] = {Dip::kPropAvailableFreeDriveSpace, Dip::kPropDipSizeIndexed,
                                                    Dip::kPropDipIndexHash, Dip::kPropDipIndexCreationDateTime};

// The texts of the states 0..9.
constexpr uint32_t kStateTexts[] = {7181, 7182, 7183, 7184, 7185, 7186, 7187, 7188, 7194, 7193};

template <class Names>
void CopyGroup(const OVO::Properties& from, OVO::Properties& to, const Names& names) {
  String value;
  for (std::string_view name : names)
    if (from.GetProperty(name, value)) to.SetProperty(name, value);
}

}  // namespace

struct Dip::Impl {
  std::array<String, kTextCount> text;
  std::array<int64_t, kNumberCount> number{};
  OVO::Properties properties;
};

Dip::Dip() : OVOXMLSupport(CatalogueEntryFor("OVO::Dip")), impl_(std::make_shared<Impl>()) {}

Dip::Dip(const String& text) : Dip() {
  if (!text.empty()) Unpack(text);
}

Dip::~Dip() = default;

Dip::Impl& Dip::Mutable() {
  if (impl_.use_count() > 1) impl_ = std::make_shared<Impl>(*impl_);
  return *impl_;
}

bool Dip::operator==(const Dip& other) const {
  if (impl_ == other.impl_) return true;
  return impl_->text == other.impl_->text && impl_->number == other.impl_->number &&
         impl_->properties.GetMap() == other.impl_->properties.GetMap();
}

const String& Dip::GetGuid() const { return impl_->text[eGuid]; }
void Dip::SetGuid(const String& v) { Mutable().text[eGuid] = v; }
const String& Dip::GetHostname() const { return impl_->text[eHostname]; }
void Dip::SetHostname(const String& v) { Mutable().text[eHostname] = v; }
const String& Dip::GetComment() const { return impl_->text[eComment]; }
void Dip::SetComment(const String& v) { Mutable().text[eComment] = v; }
const String& Dip::GetParentGuid() const { return impl_->text[eParentGuid]; }
void Dip::SetParentGuid(const String& v) { Mutable().text[eParentGuid] = v; }
const String& Dip::GetStateTime() const { return impl_->text[eStateTime]; }
void Dip::SetStateTime(const String& v) { Mutable().text[eStateTime] = v; }
const String& Dip::GetDetailText() const { return impl_->text[eDetailText]; }
void Dip::SetDetailText(const String& v) { Mutable().text[eDetailText] = v; }
const String& Dip::GetIncludes() const { return impl_->text[eIncludes]; }
void Dip::SetIncludes(const String& v) { Mutable().text[eIncludes] = v; }
const String& Dip::GetExcludes() const { return impl_->text[eExcludes]; }
void Dip::SetExcludes(const String& v) { Mutable().text[eExcludes] = v; }
const String& Dip::GetConfigTimeStamp() const { return impl_->text[eConfigTimeStamp]; }
void Dip::SetConfigTimeStamp(const String& v) { Mutable().text[eConfigTimeStamp] = v; }
const String& Dip::GetCurrentJobGuid() const { return impl_->text[eCurrentJobGuid]; }
void Dip::SetCurrentJobGuid(const String& v) { Mutable().text[eCurrentJobGuid] = v; }
int32_t Dip::GetPort() const { return static_cast<int32_t>(impl_->number[ePort]); }
void Dip::SetPort(int32_t v) { Mutable().number[ePort] = v; }
int32_t Dip::GetState() const { return static_cast<int32_t>(impl_->number[eState]); }
void Dip::SetState(int32_t v) { Mutable().number[eState] = v; }
int32_t Dip::GetSaveOption() const { return static_cast<int32_t>(impl_->number[eSaveOption]); }
void Dip::SetSaveOption(int32_t v) { Mutable().number[eSaveOption] = v; }
uint32_t Dip::GetRescanInterval() const { return static_cast<uint32_t>(impl_->number[eRescanInterval]); }
void Dip::SetRescanInterval(uint32_t v) { Mutable().number[eRescanInterval] = v; }
int32_t Dip::GetAutoIndexing() const { return static_cast<int32_t>(impl_->number[eAutoIndexing]); }
void Dip::SetAutoIndexing(int32_t v) { Mutable().number[eAutoIndexing] = v; }

const OVO::Properties& Dip::GetProperties() const { return impl_->properties; }

String Dip::GetPackedProperties() const { return impl_->properties.Pack(); }

String Dip::GetPackedSettingProperties() const {
  OVO::Properties group;
  CopyGroup(impl_->properties, group, kSettingProperties);
  return group.Pack();
}

String Dip::GetPackedStateProperties() const {
  OVO::Properties group;
  CopyGroup(impl_->properties, group, kSyncStateProperties);
  CopyGroup(impl_->properties, group, kExtStateProperties);
  return group.Pack();
}

void Dip::SetPackedProperties(const String& text) { Mutable().properties.Unpack(text); }

void Dip::ClearProperties() { Mutable().properties.Clear(); }

String Dip::GetDomain() const {
  String v;
  impl_->properties.GetProperty(kPropDomain, v);
  return v;
}
void Dip::SetDomain(const String& v) { Mutable().properties.SetProperty(kPropDomain, v); }

int32_t Dip::GetSyncMode() const {
  int32_t v;
  impl_->properties.GetProperty(kPropSyncMode, v, 0);
  return v;
}
void Dip::SetSyncMode(int32_t mode) { Mutable().properties.SetProperty(kPropSyncMode, mode); }

String Dip::GetCommRule() const {
  String v;
  impl_->properties.GetProperty(kPropCommRule, v);
  return v;
}
void Dip::SetProperties_CommRule(const String& packedRule) {
  Mutable().properties.SetProperty(kPropCommRule, packedRule);
}

bool Dip::IsCommProtocolTls() const {
  int32_t v;
  impl_->properties.GetProperty(kPropCommProtocol, v, 0);
  return v != 0;
}
void Dip::SetCommProtocol(int32_t protocol) { Mutable().properties.SetProperty(kPropCommProtocol, protocol); }

bool Dip::GetIgnoreBandwidthForIndexFile() const {
  bool v;
  impl_->properties.GetProperty(kPropIgnBandwidthIndexFile, v, false);
  return v;
}
void Dip::SetProperties_IgnoreBandwidthForIndexFile(bool ignore) {
  Mutable().properties.SetProperty(kPropIgnBandwidthIndexFile, ignore);
}

void Dip::SetProperties_SyncStateData(bool isUpToDate, CTime resultTimeUtc, uint32_t copyCount, uint32_t copySize,
                                      uint32_t deleteCount, uint32_t deleteSize) {
  OVO::Properties& p = Mutable().properties;
  p.SetProperty(kPropIsUpToDate, isUpToDate);
  p.SetProperty(kPropResultTimeUtc, static_cast<long long>(resultTimeUtc));
  p.SetProperty(kPropCopyCount, copyCount);
  p.SetProperty(kPropCopySize, copySize);
  p.SetProperty(kPropDeleteCount, deleteCount);
  p.SetProperty(kPropDeleteSize, deleteSize);
}

void Dip::ResetProperties_SyncStateData() {
  OVO::Properties& p = Mutable().properties;
  for (std::string_view name : kSyncStateProperties) p.DeleteProperty(name);
}

void Dip::SetProperties_ExtDipStateData(uint64_t availableFreeDriveSpace, uint64_t dipSizeIndexed,
                                        const String& dipIndexHash, const String& dipIndexCreationDateTime) {
  OVO::Properties& p = Mutable().properties;
  p.SetProperty(kPropAvailableFreeDriveSpace, static_cast<unsigned long long>(availableFreeDriveSpace));
  p.SetProperty(kPropDipSizeIndexed, static_cast<unsigned long long>(dipSizeIndexed));
  p.SetProperty(kPropDipIndexHash, dipIndexHash);
  p.SetProperty(kPropDipIndexCreationDateTime, dipIndexCreationDateTime);
}

void Dip::ResetProperties_ExtDipStateData() {
  OVO::Properties& p = Mutable().properties;
  for (std::string_view name : kExtStateProperties) p.DeleteProperty(name);
}

bool Dip::IsStateOK() const {
  const int32_t s = GetState();
  return s == eStateIdle || (s >= eStateUpdatingIndex && s <= eStateCheckingSyncState);
}

bool Dip::IsWorking() const {
  const int32_t s = GetState();
  return s >= eStateSynchronizing && s <= eStateCheckingSyncState;
}

bool Dip::IsStateError() const { return GetState() == eStateWarning || GetState() == eStateError; }

bool Dip::IsUpToDate() const {
  if (IsMasterDip()) return true;
  bool upToDate;
  impl_->properties.GetProperty(kPropIsUpToDate, upToDate, false);
  if (!upToDate || GetSyncMode() != eSyncModeWithDeletes) return upToDate;
  uint32_t deletes;
  impl_->properties.GetProperty(kPropDeleteCount, deletes, 0u);
  return deletes == 0;
}

String Dip::GetUniqueHostname() const { return OFLFormat("%s:%d", GetHostname(), GetPort()); }

bool Dip::IsLess(const Dip& a, const Dip& b) { return a.GetHostname() < b.GetHostname(); }

String Dip::GetStateText(int32_t state) {
  const bool known = state >= eStateIdle && state <= eStateCheckingSyncState;
  return OFLTools::LoadResString(kStateTexts[known ? state : eStateUnknown]);
}

String Dip::GetCurrentBandwidthForDisplay() const {
  const String rule = GetCommRule();
  OFLXMLParser parser;
  if (rule.empty() || !parser.SetDoc(rule) || !parser.FindElem()) return "max MBit";
  String bandwidth;
  while (parser.FindChildElem())
    if (OFL::EqualsNoCase(parser.GetChildTagNameView(), "Bandwidth")) bandwidth = parser.GetChildData();
  int64_t bytesPerSecond = 0;
  if (!OVOHelper::BandwidthToBytePerSec(bandwidth, bytesPerSecond)) return "max MBit";
  return OFLFormat("%I64d KBit", bytesPerSecond * 8 / 1024);
}

String Dip::InternalPack() const {
  String out;
  for (const Field& f : kFields) {
    if (f.isText) OFLTools::AppendXMLNode(out, f.tag, impl_->text[f.index]);
    else if (f.index == eRescanInterval) OFLTools::AppendXMLNode(out, f.tag, GetRescanInterval());
    else OFLTools::AppendXMLNode(out, f.tag, static_cast<int32_t>(impl_->number[f.index]));
  }
  OFLTools::AppendXMLNode(out, "CurrentBandwidth", GetCurrentBandwidthForDisplay());
  return out;
}

void Dip::InternalUnpack(OFLXMLParser& parser) {
  Impl& impl = Mutable();
  ForEachChild(parser, [&impl](std::string_view tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, "Properties")) {
      impl.properties.Unpack(p.GetChildSubDoc());
      return;
    }
    if (OFL::EqualsNoCase(tag, kPropIsUpToDate)) {
      impl.properties.SetProperty(kPropIsUpToDate, property_text::ReadBool(p.GetChildData()));
      return;
    }
    for (const Field& f : kFields) {
      if (!OFL::EqualsNoCase(tag, f.tag)) continue;
      if (f.isText) impl.text[f.index] = p.GetChildData();
      else if (f.index == eRescanInterval) impl.number[f.index] = OFLTools::AToUL(p.GetChildDataView());
      else impl.number[f.index] = OFL::CRT::atol(String(p.GetChildDataView()));
      return;
    }
  });
}

void Dip::InternalClear() { impl_ = std::make_shared<Impl>(); }

}  // namespace OVO
}  // namespace orvacmn
