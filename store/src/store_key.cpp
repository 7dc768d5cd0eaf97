#include "orvacmn_store/store_key.h"

#include <algorithm>

#include "ofl/tokenizer.h"
#include "orvacmn/persistence/record_families.h"
#include "orvacmn/persistence/store_vocabulary.h"

namespace orvacmn::store {

namespace {

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// 12 upper-case hex digits, or empty.
String NormalMac(std::string_view text) {
  String out;
  for (char c : text) {
    if (c == ':' || c == '-' || c == '.' || c == ' ' || c == '\t') continue;
    if (!IsHex(c) || out.size() == 12) return String();
    out += OFL::ToUpperAscii(c);
  }
  return out.size() == 12 ? out : String();
}

// Canonical dotted IPv4, or empty.
String NormalIp(std::string_view text) {
  const String t = OFL::Trim(text);
  String out;
  unsigned octet = 0, digits = 0, parts = 0;
  for (size_t i = 0; i <= t.size(); ++i) {
    if (i == t.size() || t[i] == '.') {
      if (digits == 0 || octet > 255 || ++parts > 4) return String();
      out += std::to_string(octet);
      if (i < t.size()) out += '.';
      octet = digits = 0;
    } else if (t[i] >= '0' && t[i] <= '9' && digits < 3) {
      octet = octet * 10 + unsigned(t[i] - '0');
      ++digits;
    } else {
      return String();
    }
  }
  return parts == 4 ? out : String();
}

// Without any of `front` and white space at the start, `back` and white space
// at the end, so that normalising twice gives the same.
String StripEnds(std::string_view text, std::string_view front, std::string_view back) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
  size_t b = 0, e = text.size();
  while (b < e && (blank(text[b]) || front.find(text[b]) != std::string_view::npos)) ++b;
  while (e > b && (blank(text[e - 1]) || back.find(text[e - 1]) != std::string_view::npos)) --e;
  return String(text.substr(b, e - b));
}

String NormalHost(std::string_view text) {
  const String t = OFL::ToLower(OFL::Trim(text));
  const size_t slash = t.find('\\');
  if (slash == String::npos) return t;
  const String domain = StripEnds(t.substr(0, slash), "@", ""), host = OFL::Trim(t.substr(slash + 1));
  if (host.empty() || host.find('\\') != String::npos) return String();
  return domain.empty() ? host : domain + "\\" + host;
}

void AddUnique(std::vector<String>& out, String value) {
  if (!value.empty() && std::find(out.begin(), out.end(), value) == out.end()) out.push_back(std::move(value));
}

void AddList(std::vector<String>& out, std::string_view list, String (*normal)(std::string_view)) {
  for (const String& item : OFLTokenizer(list, ";,")) AddUnique(out, normal(item));
}

bool ParseKind(std::string_view text, int& kind) {
  if (text.empty()) kind = eKindGuid;
  else if (text == kKeyWildcard) kind = eKindAny;
  else if (text.size() == 1 && text[0] >= '1' && text[0] <= '7') kind = text[0] - '0';
  else return false;
  return true;
}

}  // namespace

bool ParseClientKey(std::string_view packed, ClientKey& key, String& error) {
  OFLTokenizer entries;
  if (!entries.FromLengthPackedString(packed) || entries.IsEmpty()) {
    error = "The client key is not a length-packed list (value, kind, \"*\")";
    return false;
  }
  // Entries after the kind restrict nothing: "*", or empty as a list of
  // clients may pass its second value.
  for (int32_t i = 2; i < entries.GetCount(); ++i) {
    if (entries[i] != kKeyWildcard && !entries[i].empty()) {
      error = "The client key has more than a value, a kind and \"*\"";
      return false;
    }
  }
  key.value = entries[0];
  key.all = key.value == kKeyWildcard;
  if (!ParseKind(entries.GetAt(1), key.kind)) {
    error = "Unknown client key kind \"" + entries[1] + "\" (1 to 7 or \"*\")";
    return false;
  }
  if (key.value.empty()) {
    error = "The client key value is empty";
    return false;
  }
  return true;
}

bool ParseGenericKey(std::string_view packed, GenericKey& key, String& error) {
  OFLTokenizer entries, values;
  if (!entries.FromLengthPackedString(packed)) {
    error = "The key is not a length-packed list";
    return false;
  }
  key.wildcard = entries.IsEmpty();
  for (const String& e : entries) {
    if (e == kKeyWildcard) {
      key.wildcard = true;
      break;
    }
    values.AddString(OFL::ToLower(e));
  }
  key.prefix = values.AsLengthPackedString();
  return true;
}

bool ParseTypeKey(uint32_t type, std::string_view packed, GenericKey& key, String& error) {
  OFLTokenizer entries;
  if (StoreFamilyOf(type).policy != RecordKeyPolicy::kDeviceIds || !entries.FromLengthPackedString(packed) ||
      entries.GetCount() < 3 || !OFL::EqualsNoCase(entries[2], kKeyGenericDevice))
    return ParseGenericKey(packed, key, error);
  entries[2] = entries[1];
  return ParseGenericKey(entries.AsLengthPackedString(), key, error);
}

bool KeyFromCommandLine(uint32_t type, std::string_view text, String& packed, String& error) {
  OFLTokenizer entries;
  if (text == kKeyWildcard) {
    entries.AddString(kKeyWildcard);
    packed = entries.AsLengthPackedString();
    return true;
  }
  if (StoreFamilyOf(type).policy != RecordKeyPolicy::kClientIdentities) {
    if (text.empty() || !entries.FromLengthPackedString(text)) entries.AddString(text);
    packed = entries.AsLengthPackedString();
    return true;
  }
  ClientKey ignored;
  String ignoredError;
  if (entries.FromLengthPackedString(text) && entries.GetCount() >= 2 && ParseClientKey(text, ignored, ignoredError)) {
    packed = String(text);
    return true;
  }
  int kind = 0;
  if (text.size() < 3 || text[1] != ':' || !ParseKind(text.substr(0, 1), kind)) {
    error = "A client key is KIND:VALUE with KIND 1 (GUID), 2 (MACs), 3 (LAA), 4 (host), 5 (IP), 6 (display name), "
            "7 (FQDN) or *";
    return false;
  }
  entries.Clear();
  entries.AddString(text.substr(2));
  entries.AddString(text.substr(0, 1));
  entries.AddString(kKeyWildcard);
  packed = entries.AsLengthPackedString();
  return true;
}

std::vector<String> LookupValues(int kind, std::string_view value) {
  std::vector<String> out;
  switch (kind) {
    case eKindGuid:
      AddUnique(out, OFL::ToLower(StripEnds(value, "{", "}")));
      break;
    case eKindMac:
    case eKindLaa:
      AddList(out, value, NormalMac);
      break;
    case eKindHost:
      AddUnique(out, NormalHost(value));
      break;
    case eKindIp:
      AddList(out, value, NormalIp);
      break;
    case eKindDisplayName:
      AddUnique(out, OFL::ToLower(value));
      break;
    case eKindFqdn:
      AddUnique(out, OFL::ToLower(StripEnds(value, "", ".")));
      break;
    default:
      break;
  }
  return out;
}

std::vector<std::pair<int, String>> IndexEntries(const ClientFields& f) {
  std::vector<std::pair<int, String>> out;
  const auto add = [&out](int kind, const std::vector<String>& values) {
    for (const String& v : values) out.emplace_back(kind, v);
  };
  add(eKindGuid, LookupValues(eKindGuid, f.guid));
  add(eKindMac, LookupValues(eKindMac, f.primaryMac + ";" + f.macList));
  add(eKindLaa, LookupValues(eKindLaa, f.logicalMac + ";" + f.laaList));
  const String host = OFL::ToLower(OFL::Trim(f.hostName));
  String domain = OFL::ToLower(OFL::Trim(f.domain));
  if (!domain.empty() && domain[0] == '@') domain.erase(0, 1);
  if (!host.empty() && host.find('\\') == String::npos) {
    std::vector<String> hosts{host};
    if (!domain.empty()) {
      // A DNS domain also answers for its first label, the usual NetBIOS name.
      AddUnique(hosts, domain + "\\" + host);
      const size_t dot = domain.find('.');
      if (dot != String::npos && dot > 0) AddUnique(hosts, domain.substr(0, dot) + "\\" + host);
    }
    add(eKindHost, hosts);
  }
  add(eKindIp, LookupValues(eKindIp, f.primaryIp + ";" + f.ipList));
  add(eKindDisplayName, LookupValues(eKindDisplayName, f.displayName));
  if (!f.fqdn.empty()) add(eKindFqdn, LookupValues(eKindFqdn, f.fqdn));
  else if (!host.empty() && !domain.empty() && OFL::Trim(f.domain)[0] != '@')
    add(eKindFqdn, LookupValues(eKindFqdn, host + "." + domain));
  return out;
}

}  // namespace orvacmn::store
