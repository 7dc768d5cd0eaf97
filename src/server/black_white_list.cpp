#include "orvacmn/server/black_white_list.h"

#include "ofl/format.h"
#include "ofl/net_address.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

bool HasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// A normalised MAC pattern with wildcards that some address can match.
bool IsMACPattern(std::string_view pattern) {
  size_t places = 0;
  for (char c : pattern) {
    if (c == '*') continue;
    if (c != '?' && !IsHexDigit(c)) return false;
    ++places;
  }
  return places <= 12;
}

// Decimal digits only, at most 32.
bool ReadPrefix(std::string_view text, uint32_t& mask) {
  if (text.empty()) return false;
  uint32_t length = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    length = length * 10 + uint32_t(c - '0');
    if (length > 32) return false;
  }
  mask = length == 0 ? 0 : ~uint32_t(0) << (32 - length);
  return true;
}

// ADDRESS/PREFIX or ADDRESS/DOTTED-MASK.
bool ReadNetwork(std::string_view pattern, size_t slash, uint32_t& address, uint32_t& mask) {
  OFLIP ip;
  if (!ip.Set(pattern.substr(0, slash))) return false;
  address = ip.GetValue();
  const std::string_view maskText = pattern.substr(slash + 1);
  if (maskText.find('.') == std::string_view::npos) return ReadPrefix(maskText, mask);
  OFLIP dotted;
  if (!dotted.Set(maskText)) return false;
  mask = dotted.GetValue();
  return true;
}

String Dotted(uint32_t v) {
  return std::to_string(v >> 24) + '.' + std::to_string(v >> 16 & 255) + '.' + std::to_string(v >> 8 & 255) + '.' +
         std::to_string(v & 255);
}

}  // namespace

// The checked value, read once per Check.
struct CBlackWhiteList::Value {
  std::string_view text;
  OFLMAC mac;
  bool isMAC = false;
  bool isIP = false;
  uint32_t ip = 0;
  String ipText;  // canonical dotted form, for patterns
};

CBlackWhiteList::CBlackWhiteList(const String& text, EBlackWhiteListType type, int mode) { Set(text, type, mode); }

int CBlackWhiteList::Set(const String& text, EBlackWhiteListType type, int mode) {
  Clear();
  type_ = type;
  mode_ = mode;
  int added = 0;
  for (const String& part : OFLTokenizer(text, ";")) added += Add(part);
  return added;
}

void CBlackWhiteList::Clear() {
  rules_.clear();
  texts_.clear();
  kept_.clear();
}

int CBlackWhiteList::Add(std::string_view raw) {
  String entry = OFL::Trim(raw);
  const bool negated = !entry.empty() && entry[0] == '!';
  String pattern = negated ? OFL::Trim(std::string_view(entry).substr(1)) : entry;
  const bool wildcard = HasWildcard(pattern);
  Rule e{0, 0, Kind::kText, negated, true};
  if (type_ == eBlackWhiteListMAC) {
    pattern = OFLMAC::NormalizeWildcardString(pattern);
    e.kind = Kind::kMAC;
    if (wildcard ? !IsMACPattern(pattern) : !OFLMAC().Set(pattern)) return 0;
  } else if (type_ == eBlackWhiteListIP) {
    const size_t slash = pattern.find('/');
    if (slash != String::npos) {
      e.kind = Kind::kNetwork;
      e.usable = ReadNetwork(pattern, slash, e.address, e.mask);
    } else if (wildcard) {
      e.kind = Kind::kAddressPattern;
    } else {
      OFLIP ip;
      if (!ip.Set(pattern)) return 0;
      e.kind = Kind::kAddress;
      e.address = ip.GetValue();
    }
  }
  if (pattern.empty()) return 0;
  String text = negated ? "!" + pattern : pattern;
  if (!kept_.insert(text).second) return 0;
  rules_.push_back(e);
  texts_.push_back(std::move(text));
  return 1;
}

std::string_view CBlackWhiteList::Pattern(size_t index) const {
  return std::string_view(texts_[index]).substr(rules_[index].negated ? 1 : 0);
}

bool CBlackWhiteList::Matches(const Rule& r, size_t index, const Value& v) const {
  switch (r.kind) {
    case Kind::kMAC: return v.isMAC && v.mac.MatchesWildcard(Pattern(index));
    case Kind::kNetwork: return r.usable && v.isIP && ((r.address ^ v.ip) & r.mask) == 0;
    case Kind::kAddress: return v.isIP && v.ip == r.address;
    case Kind::kAddressPattern: return v.isIP && OFL::Tools::MatchPattern(v.ipText, Pattern(index));
    case Kind::kText: return OFL::Tools::MatchPattern(v.text, Pattern(index));
  }
  return false;
}

int CBlackWhiteList::Check(std::string_view text, String* matched) const {
  Value v;
  v.text = text;
  if (type_ == eBlackWhiteListMAC) {
    v.isMAC = v.mac.Set(text);
  } else if (type_ == eBlackWhiteListIP) {
    OFLIP ip;
    v.isIP = ip.Set(text);
    v.ip = ip.GetValue();
    if (v.isIP) v.ipText = Dotted(v.ip);
  }
  for (size_t i = 0; i < rules_.size(); ++i) {
    if (Matches(rules_[i], i, v) != rules_[i].negated) {
      if (matched) *matched = texts_[i];
      return mode_;
    }
  }
  if (matched) matched->clear();
  return mode_ == kWhiteList ? 1 : 0;
}

String CBlackWhiteList::Describe() const {
  String joined;
  for (const String& t : texts_) {
    if (!joined.empty()) joined += ';';
    joined += t;
  }
  return OFLFormat("%s (%s mode)", joined, mode_ == kWhiteList ? "Whitelist" : "BlackList");
}

}  // namespace orvacmn
