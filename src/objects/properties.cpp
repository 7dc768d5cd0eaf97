#include "orvacmn/objects/properties.h"

#include <charconv>
#include <iterator>
#include <memory>
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

String Format(int32_t value) { return Number(value); }
String Format(uint32_t value) { return Number(value); }
String Format(int64_t value) { return Number(value); }
String Format(uint64_t value) { return Number(value); }

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
  OFLTools::AppendXMLTag(out, kEntryTag);
  OFLTools::AppendXMLNode(out, kNameTag, name);
  OFLTools::AppendXMLNode(out, kValueTag, value);
  OFLTools::AppendXMLTag(out, kEntryTag, true);
}

// Room for the tags of one entry; values that need escaping grow beyond it.
constexpr size_t kEntryOverhead = 2 * kEntryTag.size() + 2 * kNameTag.size() + 2 * kValueTag.size() + 15;

// The entries of the element the parser's main cursor stands on, in document
// order, as (name, value) of each "PropertyEntry" child.
template <class Set>
void ReadEntries(OFLXMLParser& parser, Set&& set) {
  ForEachChild(parser, [&](const String& tag, OFLXMLParser& p) {
    if (!OFL::EqualsNoCase(tag, kEntryTag)) return;
    String name, value;
    p.IntoElem();
    while (p.FindChildElem()) {
      const String t = p.GetChildTagName();
      if (OFL::EqualsNoCase(t, kNameTag)) name = p.GetChildData();
      else if (OFL::EqualsNoCase(t, kValueTag)) value = p.GetChildData();
    }
    p.OutOfElem();
    set(std::move(name), std::move(value));
  });
}

}  // namespace

// OVOProperties

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

OVOProperties::OVOProperties(OVOProperties&& other) noexcept
    : OVOXMLSupport(other), entries_(std::move(other.entries_)), index_(std::move(other.index_)) {
  other.index_.clear();
}

OVOProperties& OVOProperties::operator=(OVOProperties&& other) noexcept {
  if (this != &other) {
    OVOXMLSupport::operator=(other);
    DeletePropertyList();
    entries_ = std::move(other.entries_);
    index_ = std::move(other.index_);
    other.index_.clear();
  }
  return *this;
}

OVOProperties::~OVOProperties() { DeletePropertyList(); }

void OVOProperties::CopyFrom(const OVOProperties& other) {
  index_.reserve(other.index_.size());
  for (const _PropertyEntry& e : other) PutValue(e.name, e.value);
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
  const auto it = index_.find(name);
  if (it == index_.end()) return false;
  const POSITION pos = it->second;
  index_.erase(it);  // before the entry, whose name the key views
  delete entries_.GetAt(pos);
  entries_.RemoveAt(pos);
  return true;
}

void OVOProperties::DeleteEmptyProperties() {
  POSITION pos = entries_.GetHeadPosition();
  while (pos) {
    const POSITION at = pos;
    _PropertyEntry* e = entries_.GetNext(pos);
    if (!e->value.empty()) continue;
    index_.erase(e->name);
    entries_.RemoveAt(at);
    delete e;
  }
}

void OVOProperties::DeletePropertyList() {
  index_.clear();
  POSITION pos = entries_.GetHeadPosition();
  while (pos) delete entries_.GetNext(pos);
  entries_.RemoveAll();
}

const String* OVOProperties::FindValue(std::string_view name) const {
  const auto it = index_.find(name);
  return it == index_.end() ? nullptr : &entries_.GetAt(it->second)->value;
}

void OVOProperties::PutValue(std::string_view name, String value) {
  const auto it = index_.find(name);
  if (it != index_.end()) {
    entries_.GetAt(it->second)->value = std::move(value);
    return;
  }
  auto entry = std::make_unique<_PropertyEntry>(_PropertyEntry{String(name), std::move(value)});
  const POSITION pos = entries_.AddTail(entry.get());
  try {
    index_.emplace(entry->name, pos);
  } catch (...) {
    entries_.RemoveAt(pos);
    throw;
  }
  entry.release();
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
  ReadEntries(parser, [this](String name, String value) { PutValue(name, std::move(value)); });
}

void OVOProperties::InternalClear() { DeletePropertyList(); }

// OVO::Properties

namespace OVO {

Properties::Properties() : OVOXMLSupport(CatalogueEntryFor("OVO::Properties")) {}

Properties::Properties(const String& text) : Properties() {
  if (!text.empty()) Unpack(text);
}

void Properties::Clear() { map_.clear(); }

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
  ReadEntries(parser, [this](String name, String value) {
    // Packed texts come sorted: one comparison puts such an entry at the end.
    if (map_.empty() || map_.key_comp()(std::prev(map_.end())->first, name))
      map_.emplace_hint(map_.end(), std::move(name), std::move(value));
    else
      PutValue(name, std::move(value));
  });
}

}  // namespace OVO

}  // namespace orvacmn
