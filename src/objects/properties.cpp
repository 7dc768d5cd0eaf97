#include "orvacmn/objects/properties.h"

#include <algorithm>
#include <charconv>
#include <cstring>
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
bool TagIs(const String& tag, std::string_view want) { return tag == want || OFL::EqualsNoCase(tag, want); }

template <class Set>
void ReadEntries(OFLXMLParser& parser, Set&& set) {
  ForEachChild(parser, [&](const String& tag, OFLXMLParser& p) {
    if (!TagIs(tag, kEntryTag)) return;
    String name, value;
    p.IntoElem();
    while (p.FindChildElem()) {
      const String t = p.GetChildTagName();
      if (TagIs(t, kNameTag)) name = p.GetChildData();
      else if (TagIs(t, kValueTag)) value = p.GetChildData();
    }
    p.OutOfElem();
    set(std::move(name), std::move(value));
  });
}

}  // namespace

// OVOProperties

struct OVOProperties::Entry : _PropertyEntry {
  POSITION pos = nullptr;
  Entry* nextFree = nullptr;
};

namespace {

uint64_t Mix(uint64_t x) {
  x ^= x >> 32;
  x *= 0xD6E8FEB86659FD93ull;
  x ^= x >> 32;
  return x;
}

// A hash that ignores ASCII case: every byte is or-ed with 0x20, which makes
// the two cases of a letter equal (other bytes may collide; that is harmless).
uint64_t HashName(std::string_view s) {
  constexpr uint64_t kFold = 0x2020202020202020ull;
  uint64_t h = 0x9E3779B97F4A7C15ull ^ s.size();
  const char* p = s.data();
  size_t n = s.size();
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    h = Mix(h ^ (w | kFold)) * 0x9FB21C651E98DF25ull;
  }
  if (n > 0) {
    uint64_t w = 0;
    std::memcpy(&w, p, n);
    h = Mix(h ^ (w | (kFold >> (8 * (8 - n)))));
  }
  return Mix(h);
}

}  // namespace

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
    slots_ = std::move(other.slots_);
    blocks_ = std::move(other.blocks_);
    used_ = std::exchange(other.used_, 0);
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
  String out;
  AppendPack(out);
  return out;
}

void OVOProperties::AppendPack(String& out) const {
  size_t size = 2 * GetObjectName().size() + 5;
  for (const _PropertyEntry& e : *this) size += kEntryOverhead + e.name.size() + e.value.size();
  out.reserve(out.size() + size);
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

size_t OVOProperties::FindSlot(std::string_view name, uint64_t hash) const {
  const size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  while (slots_[i].entry != nullptr) {
    if (slots_[i].hash == hash && OFL::EqualsNoCase(slots_[i].entry->name, name)) return i;
    i = (i + 1) & mask;
  }
  return i;
}

void OVOProperties::Grow() {
  std::vector<Slot> old(slots_.empty() ? 16 : 2 * slots_.size(), Slot{0, nullptr});
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (s.entry == nullptr) continue;
    size_t i = s.hash & mask;
    while (slots_[i].entry != nullptr) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

OVOProperties::Entry* OVOProperties::Add(uint64_t hash, size_t slot, String&& name, String&& value) {
  Entry* entry = NewEntry(std::move(name), std::move(value));
  try {
    entry->pos = entries_.AddTail(entry);
  } catch (...) {
    FreeEntry(entry);
    throw;
  }
  slots_[slot] = Slot{hash, entry};
  ++used_;
  return entry;
}

void OVOProperties::EraseSlot(size_t slot) {
  // Backward-shift deletion keeps every run of the linear probing unbroken.
  const size_t mask = slots_.size() - 1;
  size_t hole = slot;
  for (size_t j = (hole + 1) & mask; slots_[j].entry != nullptr; j = (j + 1) & mask) {
    const size_t home = slots_[j].hash & mask;
    const bool stays = hole <= j ? (hole < home && home <= j) : (hole < home || home <= j);
    if (stays) continue;
    slots_[hole] = slots_[j];
    hole = j;
  }
  slots_[hole] = Slot{0, nullptr};
  --used_;
}

bool OVOProperties::DeleteProperty(std::string_view name) {
  if (used_ == 0) return false;
  const size_t slot = FindSlot(name, HashName(name));
  Entry* e = slots_[slot].entry;
  if (e == nullptr) return false;
  EraseSlot(slot);
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
  std::vector<Slot>().swap(slots_);
  used_ = 0;
  blocks_.clear();
  lastBlockUsed_ = 0;
  free_ = nullptr;
}

const String* OVOProperties::FindValue(std::string_view name) const {
  if (used_ == 0) return nullptr;
  const Entry* e = slots_[FindSlot(name, HashName(name))].entry;
  return e ? &e->value : nullptr;
}

void OVOProperties::PutValue(std::string_view name, String value) {
  const uint64_t hash = HashName(name);
  if (used_ > 0) {
    const size_t slot = FindSlot(name, hash);
    if (Entry* e = slots_[slot].entry) {
      e->value = std::move(value);
      return;
    }
  }
  if (4 * (used_ + 1) > 3 * slots_.size()) Grow();
  Add(hash, FindSlot(name, hash), String(name), std::move(value));
}

void OVOProperties::PutValue(String&& name, String&& value) {
  const uint64_t hash = HashName(name);
  if (4 * (used_ + 1) > 3 * slots_.size()) Grow();
  const size_t slot = FindSlot(name, hash);
  if (Entry* e = slots_[slot].entry) {
    e->value = std::move(value);
    return;
  }
  Add(hash, slot, std::move(name), std::move(value));
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
  ReadEntries(parser, [this](String&& name, String&& value) { PutValue(std::move(name), std::move(value)); });
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
  String out;
  AppendPack(out);
  return out;
}

void Properties::AppendPack(String& out) const {
  // A guess instead of a sizing pass: in a large map every node visit is a
  // cache miss. Longer entries let the text grow as usual.
  out.reserve(out.size() + 2 * GetObjectName().size() + 5 + map_.size() * (kEntryOverhead + 64));
  OFLTools::AppendXMLTag(out, GetObjectName());
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
  ReadEntries(parser, [this](String&& name, String&& value) {
    // Packed texts come sorted: one comparison puts such an entry at the end.
    if (map_.empty() || map_.key_comp()(std::prev(map_.end())->first, name))
      map_.emplace_hint(map_.end(), std::move(name), std::move(value));
    else
      PutValue(name, std::move(value));
  });
}

}  // namespace OVO

}  // namespace orvacmn
