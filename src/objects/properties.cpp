#include "orvacmn/objects/properties.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <memory>
#include <tuple>
#include <utility>

namespace orvacmn {

namespace property_text {
namespace {

template <class T>
String Number(T value) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  return String(buf, r.ptr);
}

}  // namespace

String Format(long long value) { return Number(value); }
String Format(unsigned long long value) { return Number(value); }

String Format(double value) {
  // "%g": six significant digits, the shorter of fixed and exponent form,
  // trailing zeros dropped; to_chars does this without the process locale.
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
  return String(buf, r.ptr);
}

bool ReadBool(const String& value) {
  const String t = OFL::Trim(value);
  return t == "1" || OFL::EqualsNoCase(t, "TRUE");
}

}  // namespace property_text

namespace {

constexpr std::string_view kEntryTag = "PropertyEntry";
constexpr std::string_view kNameTag = "Param";
constexpr std::string_view kValueTag = "Value";

void AppendEntry(String& out, std::string_view name, std::string_view value) {
  out.append("<PropertyEntry><Param>");
  OFLTools::AppendXMLData(out, name);
  out.append("</Param><Value>");
  OFLTools::AppendXMLData(out, value);
  out.append("</Value></PropertyEntry>");
}

// Room for the tags of one entry; values that need escaping grow beyond it.
constexpr size_t kEntryOverhead = 2 * kEntryTag.size() + 2 * kNameTag.size() + 2 * kValueTag.size() + 15;

// The entries of the element the parser's main cursor stands on, in document
// order: `set(name, value)` with the data of the last "Param" and "Value"
// child of each "PropertyEntry" child (tags in any case); the views last as
// long as the document.
template <class Set>
void ReadEntries(OFLXMLParser& parser, Set&& set) {
  static constexpr std::string_view kFields[] = {kNameTag, kValueTag};
  parser.ResetChildPos();
  parser.ForEachChildElem([&](std::string_view tag) {
    if (tag != kEntryTag && !OFL::EqualsNoCase(tag, kEntryTag)) return;
    std::string_view data[2];
    parser.GetChildFieldViews(kFields, data);
    set(data[0], data[1]);
  });
}

// The order of OFL::LessNoCase, inline and skipping equal words first: names
// in a bag often share a prefix.
bool LessNoCase(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x != y) break;
  }
  for (; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(OFL::ToLowerAscii(a[i]));
    const auto cb = static_cast<unsigned char>(OFL::ToLowerAscii(b[i]));
    if (ca != cb) return ca < cb;
  }
  return a.size() < b.size();
}

// Child elements of the parser's main element: a size to reserve for.
size_t CountChildren(OFLXMLParser& parser) {
  size_t n = 0;
  parser.ResetChildPos();
  parser.ForEachChildElem([&](std::string_view) { ++n; });
  return n;
}

}  // namespace

// OVOProperties

struct OVOProperties::Entry : _PropertyEntry {
  POSITION pos = nullptr;
  Entry* nextFree = nullptr;
};

OVOProperties::OVOProperties() : OVOXMLSupport(CatalogueEntryFor("OVOProperties")) {}

OVOProperties::OVOProperties(const String& text) : OVOProperties() {
  if (!text.empty()) Unpack(text);
}

OVOProperties::OVOProperties(const OVOProperties& other) : OVOXMLSupport(other) { CopyFrom(other); }

OVOProperties& OVOProperties::operator=(const OVOProperties& other) {
  if (this != &other) {
    OVOXMLSupport::operator=(other);
    DeletePropertyList();
    CopyFrom(other);
  }
  return *this;
}

OVOProperties::OVOProperties(OVOProperties&& other) noexcept : OVOXMLSupport(other) {
  *this = std::move(other);
}

OVOProperties& OVOProperties::operator=(OVOProperties&& other) noexcept {
  if (this != &other) {
    OVOXMLSupport::operator=(other);
    DeletePropertyList();
    entries_ = std::move(other.entries_);
    index_ = std::move(other.index_);
    blocks_ = std::move(other.blocks_);
    lastBlockUsed_ = std::exchange(other.lastBlockUsed_, 0);
    free_ = std::exchange(other.free_, nullptr);
    other.DeletePropertyList();  // leaves the moved-from bag empty and valid
  }
  return *this;
}

OVOProperties::Entry* OVOProperties::NewEntry(String&& name, String&& value) {
  Entry* e = free_;
  if (e != nullptr) {
    free_ = e->nextFree;
  } else {
    const size_t size = blocks_.empty() ? 0 : std::min<size_t>(size_t{16} << (blocks_.size() - 1), 4096);
    if (lastBlockUsed_ == size) {
      blocks_.push_back(std::make_unique<Entry[]>(std::min<size_t>(size_t{16} << blocks_.size(), 4096)));
      lastBlockUsed_ = 0;
    }
    e = &blocks_.back()[lastBlockUsed_++];
  }
  e->name = std::move(name);
  e->value = std::move(value);
  e->nextFree = nullptr;
  return e;
}

void OVOProperties::FreeEntry(Entry* e) {
  e->name = String();
  e->value = String();
  e->pos = nullptr;
  e->nextFree = free_;
  free_ = e;
}

OVOProperties::~OVOProperties() { DeletePropertyList(); }

void OVOProperties::CopyFrom(const OVOProperties& other) {
  for (const _PropertyEntry& e : other) PutValue(e.name, e.value);
}

String OVOProperties::Pack() const {
  if (!IsExactly<OVOProperties>()) return OVOXMLSupport::Pack();
  String out;
  AppendPack(out);
  return out;
}

void OVOProperties::AppendPack(String& out) const {
  if (!IsExactly<OVOProperties>()) {
    out += Pack();
    return;
  }
  size_t size = 2 * GetObjectName().size() + 5;
  for (const _PropertyEntry& e : *this) size += kEntryOverhead + e.name.size() + e.value.size();
  // Some room for escaped characters: growing a large text doubles it.
  out.reserve(out.size() + size + size / 16);
  OFLTools::AppendXMLTag(out, GetObjectName());
  for (const _PropertyEntry& e : *this) AppendEntry(out, e.name, e.value);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

int OVOProperties::Unpack(const String& text) {
  if (text.empty()) return 1;
  OFLXMLParser parser;
  parser.SetDoc(text);
  Clear();
  if (parser.FindElem(GetObjectName().c_str())) {
    InternalUnpack(parser);
    return 1;
  }
  OFLTokenizer outer;
  if (outer.FromLengthPackedString(text)) {
    OFLTokenizer pair;
    for (const String& packed : outer) {
      pair.FromLengthPackedString(packed);
      PutValue(pair.GetAt(0), pair.GetAt(1));
    }
  }
  return 1;
}

bool OVOProperties::DeleteProperty(std::string_view name) {
  Entry* e = index_.Erase(name);
  if (e == nullptr) return false;
  entries_.RemoveAt(e->pos);
  FreeEntry(e);
  return true;
}

void OVOProperties::DeleteEmptyProperties() {
  POSITION pos = entries_.GetHeadPosition();
  while (pos) {
    auto* e = static_cast<Entry*>(entries_.GetNext(pos));
    if (e->value.empty()) DeleteProperty(e->name);  // `pos` already points past it
  }
}

void OVOProperties::DeletePropertyList() {
  entries_.RemoveAll();
  index_.Clear();
  blocks_.clear();
  lastBlockUsed_ = 0;
  free_ = nullptr;
}

const String* OVOProperties::FindValue(std::string_view name) const {
  const Entry* e = index_.Find(name);
  return e ? &e->value : nullptr;
}

void OVOProperties::PutValue(std::string_view name, String value) {
  if (Entry* e = index_.Find(name)) {
    e->value = std::move(value);
    return;
  }
  Entry* entry = NewEntry(String(name), std::move(value));
  try {
    entry->pos = entries_.AddTail(entry);
    index_.Insert(entry->name, entry);
  } catch (...) {
    if (entry->pos != nullptr) entries_.RemoveAt(entry->pos);
    FreeEntry(entry);
    throw;
  }
}

String OVOProperties::InternalPack() const {
  size_t size = 0;
  for (const _PropertyEntry& e : *this) size += kEntryOverhead + e.name.size() + e.value.size();
  String out;
  out.reserve(size);
  for (const _PropertyEntry& e : *this) AppendEntry(out, e.name, e.value);
  return out;
}

void OVOProperties::InternalUnpack(OFLXMLParser& parser) {
  index_.Reserve(index_.Size() + CountChildren(parser));
  ReadEntries(parser, [this](std::string_view name, std::string_view value) {
    if (Entry* e = index_.Find(name)) e->value.assign(value);
    else PutValue(name, String(value));
  });
}

void OVOProperties::InternalClear() { DeletePropertyList(); }

// OVO::Properties

namespace OVO {

Properties::Properties() : OVOXMLSupport(CatalogueEntryFor("OVO::Properties")) {}

Properties::Properties(const String& text) : Properties() {
  if (!text.empty()) Unpack(text);
}

void Properties::Clear() { map_.clear(); }

String Properties::Pack() const {
  if (!IsExactly<Properties>()) return OVOXMLSupport::Pack();
  String out;
  AppendPack(out);
  return out;
}

namespace {

// Keys that split the range from `first` to `last` (in the map's order) into
// `parts` parts of about equal width, judged by the bytes after their common
// prefix. Only a guess where to start walking: any keys will do.
std::vector<String> SplitKeys(std::string_view first, std::string_view last, size_t parts) {
  const String lo = OFL::ToLower(first), hi = OFL::ToLower(last);
  size_t common = 0;
  while (common < lo.size() && common < hi.size() && lo[common] == hi[common]) ++common;
  const auto number = [common](const String& s) {
    uint64_t v = 0;
    for (size_t i = 0; i < 8; ++i) v = v << 8 | (common + i < s.size() ? static_cast<unsigned char>(s[common + i]) : 0u);
    return v;
  };
  const uint64_t a = number(lo), b = number(hi);
  std::vector<String> keys;
  for (size_t k = 1; k < parts && b > a; ++k) {
    const uint64_t v = a + (b - a) / parts * k;
    String key = lo.substr(0, common);
    for (int i = 7; i >= 0; --i) key += static_cast<char>((v >> (8 * i)) & 0xFF);
    keys.push_back(std::move(key));
  }
  std::sort(keys.begin(), keys.end(), OFL::LessNoCase());
  return keys;
}

}  // namespace

void Properties::AppendPack(String& out) const {
  if (!IsExactly<Properties>()) {
    out += Pack();
    return;
  }
  // A guess instead of a sizing pass: in a large map every node visit is a
  // cache miss. Longer entries let the text grow as usual.
  out.reserve(out.size() + 2 * GetObjectName().size() + 5 + map_.size() * (kEntryOverhead + 64));
  OFLTools::AppendXMLTag(out, GetObjectName());
  if (map_.size() < 4096) {
    // A second iterator runs a few entries ahead and touches their nodes and
    // values, so their cache misses overlap with writing the current entry.
    auto ahead = map_.begin();
    for (int i = 0; i < 4 && ahead != map_.end(); ++i) ++ahead;
    for (const auto& [name, value] : map_) {
      if (ahead != map_.end()) {
        __builtin_prefetch(ahead->first.data());
        __builtin_prefetch(ahead->second.data());
        ++ahead;
      }
      AppendEntry(out, name, value);
    }
  } else {
    // A large map's nodes lie scattered, and each step of an iterator waits
    // for the node before. So the map is walked as several parts side by
    // side, whose waits overlap, collecting the entries in order; the text is
    // then written with every entry fetched well ahead.
    constexpr size_t kParts = 16;
    const std::vector<String> keys = SplitKeys(map_.begin()->first, std::prev(map_.end())->first, kParts);
    std::vector<Map::const_iterator> bounds = {map_.begin()};
    for (const String& key : keys) bounds.push_back(map_.lower_bound(key));
    bounds.push_back(map_.end());
    const size_t parts = bounds.size() - 1;
    std::vector<std::vector<const Map::value_type*>> entries(parts);
    for (auto& e : entries) e.reserve(map_.size() / parts + 16);
    std::vector<Map::const_iterator> at(bounds.begin(), bounds.end() - 1);
    for (bool more = true; more;) {
      more = false;
      for (size_t k = 0; k < parts; ++k) {
        if (at[k] == bounds[k + 1]) continue;
        entries[k].push_back(&*at[k]);
        ++at[k];
        more = true;
      }
    }
    // Fetched in two steps: the entry itself, then the texts it points to.
    constexpr size_t kAhead = 8;
    for (const auto& part : entries) {
      for (size_t i = 0; i < part.size(); ++i) {
        if (i + 2 * kAhead < part.size()) {
          const char* entry = reinterpret_cast<const char*>(part[i + 2 * kAhead]);
          __builtin_prefetch(entry);
          __builtin_prefetch(entry + sizeof(Map::value_type) - 1);
        }
        if (i + kAhead < part.size()) {
          __builtin_prefetch(part[i + kAhead]->first.data());
          __builtin_prefetch(part[i + kAhead]->second.data());
        }
        AppendEntry(out, part[i]->first, part[i]->second);
      }
    }
  }
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

bool Properties::DeleteProperty(std::string_view name) {
  const auto it = map_.find(name);
  if (it == map_.end()) return false;
  map_.erase(it);
  return true;
}

void Properties::DeleteEmptyProperties() { std::erase_if(map_, [](const auto& kv) { return kv.second.empty(); }); }

const String* Properties::FindValue(std::string_view name) const {
  const auto it = map_.find(name);
  return it == map_.end() ? nullptr : &it->second;
}

void Properties::PutValue(std::string_view name, String value) {
  const auto it = map_.lower_bound(name);
  if (it != map_.end() && !map_.key_comp()(name, it->first)) {
    it->second = std::move(value);
    return;
  }
  map_.emplace_hint(it, String(name), std::move(value));
}

String Properties::InternalPack() const {
  size_t size = 0;
  for (const auto& [name, value] : map_) size += kEntryOverhead + name.size() + value.size();
  String out;
  out.reserve(size);
  for (const auto& [name, value] : map_) AppendEntry(out, name, value);
  return out;
}

void Properties::InternalUnpack(OFLXMLParser& parser) {
  ReadEntries(parser, [this](std::string_view name, std::string_view value) {
    // Packed texts come sorted: one comparison puts such an entry at the end.
    if (map_.empty() || LessNoCase(std::prev(map_.end())->first, name))
      map_.emplace_hint(map_.end(), std::piecewise_construct, std::forward_as_tuple(name),
                        std::forward_as_tuple(value));
    else
      PutValue(name, String(value));
  });
}

}  // namespace OVO

}  // namespace orvacmn
