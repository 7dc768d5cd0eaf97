#include "orvacmn/system/client_identification.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "ofl/machine_network.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

using CI = OVOClientIdentification;

enum ETag { eGuid, eSid, eDisplayName, eHostName, eLMDomain, eFqdn, eIpWithPrefix, eMac, eLaa, eIp, eAdapters };
// In packing order.
constexpr std::string_view kTags[] = {"GUID",     "SID", "DisplayName", "HostName", "LMDomain",       "FQDN",
                                      "TokenizedIpWithPrefix", "MAC", "LAA", "IP", "NetworkAdapters"};
constexpr char kAdapterSeparator[] = " | ";
constexpr char kNoIdentifier[] = "<No Identifier>";

// Every element of the identification carries any character through any
// transport code page.
void AppendNode(String& out, ETag tag, std::string_view value) {
  OFLTools::AppendXMLTag(out, kTags[tag]);
  OFLTools::AppendXMLData(out, value, true);
  OFLTools::AppendXMLTag(out, kTags[tag], true);
}

int FindTag(std::string_view tag) {
  for (size_t i = 0; i < std::size(kTags); ++i)
    if (OFL::EqualsNoCase(tag, kTags[i])) return static_cast<int>(i);
  return -1;
}

// Calls fn(index, entry) for the ";"-separated entries of `text`, empty ones
// included, up to the slot count.
template <class Fn>
void ForEachSlotEntry(std::string_view text, Fn&& fn) {
  for (int32_t i = 0; i < CI::kSlotCount; ++i) {
    const size_t end = text.find(';');
    fn(i, OFL::Trim(text.substr(0, end)));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

template <class Slots>
void FillSlots(Slots& slots, std::string_view text, bool reset) {
  if (reset) slots.fill({});
  ForEachSlotEntry(text, [&](int32_t i, const String& entry) { slots[i] = typename Slots::value_type(entry); });
}

template <class Slots>
int32_t CountSet(const Slots& slots) {
  return static_cast<int32_t>(std::count_if(slots.begin(), slots.end(), [](const auto& s) { return !s.IsEmpty(); }));
}

template <class Slots, class Value>
bool Holds(const Slots& slots, const Value& value) {
  return !value.IsEmpty() && std::find(slots.begin(), slots.end(), value) != slots.end();
}

template <class Slots>
int32_t FirstHeldBy(const Slots& mine, const Slots& theirs) {
  for (int32_t i = 0; i < CI::kSlotCount; ++i)
    if (Holds(theirs, mine[i])) return i;
  return -1;
}

// The non-empty values that survive `keep`, moved up in order; the rest emptied.
template <class Slots, class Keep>
void Compact(Slots& slots, Keep keep) {
  Slots kept{};
  size_t n = 0;
  for (const auto& s : slots)
    if (!s.IsEmpty() && keep(s)) kept[n++] = s;
  slots = kept;
}

bool MatchesAny(std::string_view text, const std::vector<String>& patterns) {
  return std::any_of(patterns.begin(), patterns.end(),
                     [&](const String& p) { return OFL::Tools::MatchPattern(text, p); });
}

template <class Values>
void CopyToSlots(const Values& values, std::array<typename Values::value_type, CI::kSlotCount>& slots) {
  slots.fill({});
  for (size_t i = 0; i < values.size() && i < slots.size(); ++i) slots[i] = values[i];
}

}  // namespace

OVOClientIdentification::OVOClientIdentification(const String& text)
    : OVOXMLSupport(CatalogueEntryFor("OVOClientIdentification")) {
  if (!text.empty()) Unpack(text);
}

void OVOClientIdentification::Clear() {
  sid_.clear();
  ipWithPrefix_.clear();
  guid_.clear();
  displayName_.clear();
  hostName_.clear();
  lmDomain_.clear();
  fqdn_.clear();
  macs_.fill({});
  laas_.fill({});
  ips_.fill({});
  adapters_.clear();
}

bool OVOClientIdentification::operator==(const OVOClientIdentification& o) const {
  return sid_ == o.sid_ && ipWithPrefix_ == o.ipWithPrefix_ && guid_ == o.guid_ && displayName_ == o.displayName_ &&
         hostName_ == o.hostName_ && lmDomain_ == o.lmDomain_ && fqdn_ == o.fqdn_ && macs_ == o.macs_ &&
         laas_ == o.laas_ && ips_ == o.ips_ && adapters_ == o.adapters_;
}

// ---- text form ----

String OVOClientIdentification::Pack() const {
  String out;
  AppendFields(out);
  return out;
}

void OVOClientIdentification::AppendPack(String& out) const {
  if (IsExactly<OVOClientIdentification>()) AppendFields(out);
  else out += Pack();
}

void OVOClientIdentification::AppendFields(String& out) const {
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendNode(out, eGuid, guid_);
  AppendNode(out, eSid, sid_);
  AppendNode(out, eDisplayName, displayName_);
  AppendNode(out, eHostName, hostName_);
  AppendNode(out, eLMDomain, lmDomain_);
  AppendNode(out, eFqdn, fqdn_);
  String list = ipWithPrefix_;
  std::replace(list.begin(), list.end(), '#', ';');
  AppendNode(out, eIpWithPrefix, list);
  AppendNode(out, eMac, GetMACList(':', false));
  AppendNode(out, eLaa, GetLAAList());
  AppendNode(out, eIp, GetIPList());
  list.clear();
  for (const OFLNetworkAdapter& a : adapters_) {
    if (a.IsEmpty()) continue;
    list += a.GetAsString();
    list += kAdapterSeparator;
  }
  while (!list.empty() && (list.back() == ' ' || list.back() == '|')) list.pop_back();
  AppendNode(out, eAdapters, list);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

int OVOClientIdentification::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  return UnpackLoaded(parser);
}

int OVOClientIdentification::UnpackLoaded(OFLXMLParser& loaded) {
  Clear();
  // Tolerant: any root element will do, and nothing in it is an error.
  if (loaded.FindElem()) ReadFields(loaded);
  return 1;
}

void OVOClientIdentification::InternalUnpack(OFLXMLParser& parser) { ReadFields(parser); }

void OVOClientIdentification::ReadFields(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    const int which = FindTag(tag);
    if (which < 0) return;
    const std::string_view data = p.GetChildDataView();
    switch (static_cast<ETag>(which)) {
      case eGuid: guid_.assign(data); break;
      case eSid: sid_.assign(data); break;
      case eDisplayName: displayName_.assign(data); break;
      case eHostName: hostName_.assign(data); break;
      case eLMDomain: lmDomain_.assign(data); break;
      case eFqdn: fqdn_.assign(data); break;
      case eIpWithPrefix:
        ipWithPrefix_.assign(data);
        std::replace(ipWithPrefix_.begin(), ipWithPrefix_.end(), ';', '#');
        break;
      case eMac: FillSlots(macs_, data, true); break;
      case eLaa: FillSlots(laas_, data, true); break;
      case eIp: FillSlots(ips_, data, true); break;
      case eAdapters: SetAdaptersFromText(data); break;
    }
  });
}

void OVOClientIdentification::SetAdaptersFromText(std::string_view text) {
  adapters_.clear();
  while (!text.empty() && adapters_.size() < static_cast<size_t>(kSlotCount)) {
    const size_t bar = text.find('|');
    const OFLNetworkAdapter adapter(OFL::Trim(text.substr(0, bar)));
    if (!adapter.IsEmpty()) adapters_.push_back(adapter);
    if (bar == std::string_view::npos) break;
    text.remove_prefix(bar + 1);
  }
}

void OVOClientIdentification::SetNetworkAdapters(const std::vector<OFLNetworkAdapter>& adapters) {
  adapters_.clear();
  for (const OFLNetworkAdapter& a : adapters)
    if (!a.IsEmpty() && adapters_.size() < static_cast<size_t>(kSlotCount)) adapters_.push_back(a);
}

// ---- the local machine ----

int32_t OVOClientIdentification::Init(uint32_t mask, bool keep, bool includeDownInterfaces) {
  namespace Net = OFL::NetworkLookup;
  if (!keep) Clear();
  int32_t status = 0;
  const auto note = [&status](int32_t rc) {
    if (rc != 0 && status == 0) status = rc;
  };
  if (mask & kInitMacs) {
    std::vector<OFLMAC> macs, laas;
    note(OFL::NetworkAdapterInfo::GetMacList(macs));
    note(OFL::NetworkAdapterInfo::RetrieveLocallyAdministeredAddress(laas));
    CopyToSlots(macs, macs_);
    CopyToSlots(laas, laas_);
  }
  if (mask & kInitHostName) hostName_ = OFLDomain::GetComputerName();
  if (mask & kInitIps) {
    std::vector<OFLIP> ips;
    note(Net::RetrieveIp(ips));
    std::erase_if(ips, [](const OFLIP& ip) { return ip.IsLinkLocal(); });
    CopyToSlots(ips, ips_);
  }
  if (mask & (kInitMacs | kInitIps)) {
    std::vector<OFLNetworkAdapter> adapters;
    note(Net::RetrieveIpAndMac(adapters));
    for (OFLNetworkAdapter& a : adapters) a.RemoveLinkLocalIPs();
    SetNetworkAdapters(adapters);
  }
  if (mask & kInitDomain) {
    lmDomain_ = OFLDomain::GetCurrentDomain();
    if (lmDomain_.starts_with("\\\\")) lmDomain_ = String("@").append(OFLDomain::GetCurrentWorkgroup());
    if (mask & kInitSid) note(OFLDomain::RetrieveSID(sid_));
    if (mask & kInitFqdn) {
      fqdn_ = OFLDomain::GetFullyQualifiedDomainName();
      note(Net::ResolveAllIPWithPrefix(ipWithPrefix_, includeDownInterfaces));
    }
  }
  return status;
}

// ---- queries ----

bool OVOClientIdentification::IsValid() const {
  return !guid_.empty() || GetMACCount() > 0 || GetIPCount() > 0 || !hostName_.empty() || !fqdn_.empty();
}

bool OVOClientIdentification::IsMatching(const String& text) const {
  if (text.empty()) return true;
  if (OFLIP::IsIPAddress(text)) return GetIPList().find(text) != String::npos;
  return OFL::EqualsNoCase(text, fqdn_) || OFL::EqualsNoCase(text, hostName_);
}

String OVOClientIdentification::GetIdentifier() const {
  String out;
  const auto add = [&out](std::string_view label, std::string_view value) {
    if (!out.empty()) out += ", ";
    out += label;
    out += value;
  };
  if (!guid_.empty()) add("GUID: ", guid_);
  if (GetMACCount() > 0) add("MACs: ", GetMACList(':', false));
  if (GetIPCount() > 0) add("IP: ", GetIPList());
  if (!hostName_.empty()) add("HostName: ", hostName_);
  if (!lmDomain_.empty()) add("(LMDomain: " + lmDomain_, ")");
  if (!displayName_.empty()) add("DisplayName: ", displayName_);
  return out.empty() ? String(kNoIdentifier) : out;
}

std::vector<String> OVOClientIdentification::GetCandidates(uint32_t method) const {
  std::vector<String> out;
  const auto each = [&out](const String& list) {
    for (const String& entry : OFLTokenizer(list, ";")) out.push_back(entry);
  };
  switch (method) {
    case eByGuid:
      if (OFL::Tools::IsGuid(guid_)) out.push_back(guid_);
      break;
    case eByMacList:
      if (!GetPrimaryMAC().IsEmpty()) out.push_back(GetMACList(':', true));
      break;
    case eByLaa:
      if (!GetPrimaryLAA().IsEmpty()) each(GetLAAList());
      break;
    case eByHostName:
      if (hostName_.empty()) break;
      if (!lmDomain_.empty()) out.push_back(lmDomain_ + "\\" + hostName_);
      out.push_back(hostName_);
      break;
    case eByIp:
      if (!GetPrimaryIP().IsEmpty()) each(GetIPList());
      break;
    case eByDisplayName:
      if (!displayName_.empty()) out.push_back(displayName_);
      break;
    case eByFqdn:
      if (!fqdn_.empty()) out.push_back(fqdn_);
      break;
    default:
      break;
  }
  return out;
}

String OVOClientIdentification::GetMACList(char separator, bool skipLeadingEmpty) const {
  String out;
  bool seenMac = false;
  for (const OFLMAC& mac : macs_) {
    if (!mac.IsEmpty()) {
      out += mac.GetString(separator);
      out += ';';
      seenMac = true;
    } else if (!seenMac && !skipLeadingEmpty) {
      out += ';';
    }
  }
  if (!seenMac) return String();
  while (!out.empty() && out.back() == ';') out.pop_back();
  return out;
}

String OVOClientIdentification::GetLAAList() const {
  String out;
  for (const OFLMAC& mac : laas_) {
    if (mac.IsEmpty()) continue;
    if (!out.empty()) out += ';';
    out += mac.GetString(':');
  }
  return out;
}

String OVOClientIdentification::GetIPList() const {
  String out;
  for (const OFLIP& ip : ips_) {
    if (ip.IsEmpty()) continue;
    if (!out.empty()) out += ';';
    out += ip.GetString();
  }
  return out;
}

int32_t OVOClientIdentification::GetMACCount() const { return CountSet(macs_); }
int32_t OVOClientIdentification::GetLAACount() const { return CountSet(laas_); }
int32_t OVOClientIdentification::GetIPCount() const { return CountSet(ips_); }

String OVOClientIdentification::GetValidRoutedIPAddress() const {
  for (const OFLIP& ip : ips_)
    if (!ip.IsEmpty() && ip.IsValidRoutedAddress()) return ip.GetString();
  return String();
}

OFLIP OVOClientIdentification::GetPrimarySubnetMask() const {
  const uint32_t primary = GetPrimaryIP().GetValue();
  if (primary == 0) return OFLIP();
  const OFLTokenizer pairs(ipWithPrefix_, "#");
  for (int32_t i = 0; i + 1 < pairs.GetCount(); i += 2)
    if (OFL::CRT::strtoul(pairs[i]) == primary) return OFLIP(OFL::CRT::strtoul(pairs[i + 1]));
  return OFLIP();
}

bool OVOClientIdentification::FindMAC(const OFLMAC& mac) const { return Holds(macs_, mac); }
bool OVOClientIdentification::FindLAA(const OFLMAC& mac) const { return Holds(laas_, mac); }
bool OVOClientIdentification::FindIP(uint32_t ip) const { return Holds(ips_, OFLIP(ip)); }

int32_t OVOClientIdentification::FindMatchingMAC(const OVOClientIdentification& other) const {
  return FirstHeldBy(macs_, other.macs_);
}
int32_t OVOClientIdentification::FindMatchingLAA(const OVOClientIdentification& other) const {
  return FirstHeldBy(laas_, other.laas_);
}
int32_t OVOClientIdentification::FindMatchingIP(const OVOClientIdentification& other) const {
  return FirstHeldBy(ips_, other.ips_);
}

// ---- changes ----

void OVOClientIdentification::SetMACList(const String& text) { FillSlots(macs_, text, true); }
void OVOClientIdentification::SetMACListNoReset(const String& text) { FillSlots(macs_, text, false); }
void OVOClientIdentification::SetLAAList(const String& text) { FillSlots(laas_, text, false); }
void OVOClientIdentification::SetIPList(const String& text) { FillSlots(ips_, text, true); }
void OVOClientIdentification::SetIPListNoReset(const String& text) { FillSlots(ips_, text, false); }

void OVOClientIdentification::SetPrimaryMAC(const OFLMAC& mac) {
  if (mac.IsEmpty() || macs_[0] == mac) return;
  const String text = mac.GetString(':');
  OFLTokenizer list(GetMACList(':', true), ";");
  if (const int32_t at = list.FindString(text); at >= 0) list.RemoveAt(at);
  list.InsertAt(0, text);
  SetMACList(list.AsString(";"));
}

void OVOClientIdentification::SetPrimaryIP(const OFLIP& ip) {
  if (ip.IsEmpty() || ips_[0] == ip) return;
  const String text = ip.GetString();
  OFLTokenizer list(GetIPList(), ";");
  if (const int32_t at = list.FindString(text); at >= 0) list.RemoveAt(at);
  list.InsertAt(0, text);
  SetIPList(list.AsString(";"));
}

void OVOClientIdentification::Update(const OVOClientIdentification& other) {
  if (this == &other) return;
  String guid = std::move(guid_), sid = std::move(sid_);
  *this = other;
  if (!guid.empty()) guid_ = std::move(guid);
  if (other.sid_.empty()) sid_ = std::move(sid);
}

void OVOClientIdentification::RemoveBlacklistedIds(const OFLTokenizer& macPatterns, const OFLTokenizer& ipPatterns) {
  std::vector<String> macs;
  for (const String& p : macPatterns) macs.push_back(OFLMAC::NormalizeWildcardString(p));
  Compact(macs_, [&](const OFLMAC& mac) { return !MatchesAny(mac.GetString('\0'), macs); });
  Compact(ips_, [&](const OFLIP& ip) { return !MatchesAny(ip.GetString(), ipPatterns.Items()); });
}

void OVOClientIdentification::RemoveBlacklistedIPs(String& ipList, const OFLTokenizer& ipPatterns) {
  OFLTokenizer kept;
  for (const String& ip : OFLTokenizer(ipList, ";"))
    if (!MatchesAny(ip, ipPatterns.Items())) kept.AddString(ip);
  ipList = kept.AsString(";");
}

}  // namespace orvacmn
