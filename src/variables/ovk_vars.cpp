// COVKVars: the entry list with its name index, adding, removing, lookup and
// the packed text form.
#include "orvacmn/variables/ovk_vars.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "ofl/xml_parser.h"

namespace orvacmn {

namespace {

constexpr uint32_t kSchema = 0x00050001;
constexpr char kObjectName[] = "OVSVars";
constexpr char kEntryTag[] = "VarEntry";

// Calls fn(alias) for each alias of a ";"-list, as the tokenizer splits it
// (empty aliases are dropped); a list without ";" needs no tokenizer.
template <class Fn>
void ForEachAlias(const String& names, Fn&& fn) {
  if (names.find(';') == String::npos) {
    if (!names.empty()) fn(names);
    return;
  }
  const OFLTokenizer aliases(names, ";");
  for (const String& alias : aliases) fn(alias);
}

}  // namespace

String CVariableType::ToString() const {
  switch (type_) {
    case Runtime: return "runtime";
    case System: return "system";
  }
  return String();
}

String CVariableType::GetHumanReadableVariableType() const {
  switch (type_) {
    case Runtime: return OFLTools::LoadResString(7131);
    case System: return OFLTools::LoadResString(7133);
  }
  return String();
}

COVKVars::COVKVars(const String& xml) : OVOXMLSupport(kObjectName, kSchema) { Unpack(xml); }

COVKVars::COVKVars(const COVKVars& other) : OVOXMLSupport(other) { CopyFrom(other); }

COVKVars& COVKVars::operator=(const COVKVars& other) {
  if (this == &other) return *this;
  OVOXMLSupport::operator=(other);
  DeleteListVars();
  CopyFrom(other);
  return *this;
}

// std::list keeps its element iterators valid across a move, so the slots
// and the index move along with the list.
COVKVars::COVKVars(COVKVars&& other) noexcept
    : OVOXMLSupport(other),
      entries_(std::move(other.entries_)),
      slots_(std::move(other.slots_)),
      index_(std::move(other.index_)) {
  other.DeleteListVars();
}

COVKVars& COVKVars::operator=(COVKVars&& other) noexcept {
  if (this == &other) return *this;
  OVOXMLSupport::operator=(other);
  entries_ = std::move(other.entries_);
  slots_ = std::move(other.slots_);
  index_ = std::move(other.index_);
  other.DeleteListVars();
  return *this;
}

COVKVars::~COVKVars() = default;

// Other types than runtime and system never give a value.
void COVKVars::Refresh(NameSlot& slot) {
  const _VarEntry* winner = nullptr;
  for (const List::iterator& pos : slot.positions) {
    const _VarEntry* e = pos->get();
    if (e->Type == CVariableType::Runtime) {
      winner = e;
      break;
    }
    if (e->Type == CVariableType::System) winner = e;
  }
  slot.value = winner != nullptr ? &winner->Value : nullptr;
  slot.valueHasBrace = slot.value != nullptr && slot.value->find_first_of("{}") != String::npos;
}

COVKVars::NameSlot& COVKVars::SlotFor(std::string_view name) {
  if (NameSlot* slot = index_.Find(name)) return *slot;
  NameSlot& slot = slots_.emplace_back();
  slot.self = std::prev(slots_.end());
  slot.name.assign(name);
  index_.Insert(slot.name, &slot);
  return slot;
}

void COVKVars::EraseSlot(NameSlot& slot) {
  index_.Erase(slot.name);
  slots_.erase(slot.self);
}

void COVKVars::CopyFrom(const COVKVars& other) {
  for (const auto& entry : other.entries_) {
    entries_.push_back(std::make_shared<_VarEntry>(*entry));
    SlotFor(entry->Name).positions.push_back(std::prev(entries_.end()));
  }
  for (NameSlot& slot : slots_) Refresh(slot);
}

void COVKVars::AddOne(const String& name, const String& value, bool custom, CVariableType type, bool isPassword) {
  NameSlot& slot = SlotFor(name);
  for (const List::iterator& pos : slot.positions) {
    if ((*pos)->Type == type) {
      (*pos)->Value = value;
      Refresh(slot);
      return;
    }
  }
  entries_.push_back(std::make_shared<_VarEntry>(_VarEntry{name, value, custom, type, isPassword}));
  slot.positions.push_back(std::prev(entries_.end()));
  Refresh(slot);
}

void COVKVars::AddVar(const String& name, const String& value, bool custom, bool splitAliases, CVariableType type,
                      bool isPassword) {
  if (!splitAliases) {
    AddOne(name, value, custom, type, isPassword);
    return;
  }
  ForEachAlias(name, [&](const String& alias) { AddOne(alias, value, custom, type, isPassword); });
}

void COVKVars::AddVars(const COVKVars* vars) {
  if (vars == nullptr) return;
  if (vars == this) {
    // Splitting a name holding ";" appends while we walk: walk a snapshot.
    const std::vector<std::shared_ptr<_VarEntry>> snapshot(entries_.begin(), entries_.end());
    for (const auto& e : snapshot) AddVar(e->Name, e->Value, false, true, e->Type, e->IsPassword);
    return;
  }
  for (const auto& e : vars->entries_) AddVar(e->Name, e->Value, false, true, e->Type, e->IsPassword);
}

const String* COVKVars::Lookup(std::string_view name) const {
  const NameSlot* slot = index_.Find(name);
  return slot != nullptr ? slot->value : nullptr;
}

bool COVKVars::GetVar(const String& name, String& value) const {
  const String* found = Lookup(name);
  if (found == nullptr) return false;
  value = *found;
  return true;
}

bool COVKVars::Find(const String& name) const { return index_.Find(name) != nullptr; }

void COVKVars::Erase(List::iterator it) {
  if (NameSlot* slot = index_.Find((*it)->Name)) {
    std::vector<List::iterator>& positions = slot->positions;
    for (auto p = positions.begin(); p != positions.end(); ++p) {
      if (*p == it) {
        positions.erase(p);
        break;
      }
    }
    if (positions.empty())
      EraseSlot(*slot);
    else if (slot->value == &(*it)->Value)
      Refresh(*slot);
  }
  entries_.erase(it);
}

void COVKVars::RemoveVar(const String& names) {
  ForEachAlias(names, [&](const String& alias) {
    NameSlot* slot = index_.Find(alias);
    if (slot == nullptr) return;
    for (const List::iterator& pos : slot->positions) entries_.erase(pos);
    EraseSlot(*slot);
  });
}

void COVKVars::RemoveSubVars(const String& prefixes) {
  ForEachAlias(prefixes, [&](const String& prefix) {
    const String head = prefix + ".";
    for (auto it = entries_.begin(); it != entries_.end();) {
      const auto next = std::next(it);
      if (OFL::StartsWithNoCase((*it)->Name, head)) Erase(it);
      it = next;
    }
  });
}

void COVKVars::DeleteListVars() {
  index_.Clear();
  slots_.clear();
  entries_.clear();
}

String COVKVars::Pack() const {
  String out;
  OFLTools::AppendXMLTag(out, GetObjectName());
  for (const auto& e : entries_) {
    OFLTools::AppendXMLTag(out, kEntryTag);
    OFLTools::AppendXMLNode(out, "Name", e->Name);
    OFLTools::AppendXMLNode(out, "Value", e->Value);
    OFLTools::AppendXMLNode(out, "Custom", int64_t{e->Custom ? 1 : 0});
    OFLTools::AppendXMLNode(out, "Type", int64_t{e->Type.GetVariableType()});
    OFLTools::AppendXMLNode(out, "IsPassword", int64_t{e->IsPassword ? 1 : 0});
    OFLTools::AppendXMLTag(out, kEntryTag, true);
  }
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int COVKVars::Unpack(const String& xml) {
  DeleteListVars();
  OFLXMLParser parser;
  parser.SetDoc(xml);
  if (!parser.FindElem(GetObjectName().c_str())) return 0;
  InternalUnpack(parser);
  return 1;
}

void COVKVars::InternalUnpack(OFLXMLParser& parser) {
  while (parser.FindChildElem()) {
    if (!OFL::EqualsNoCase(parser.GetChildTagName(), kEntryTag)) continue;
    String name, value;
    bool custom = false, isPassword = false;
    int32_t type = 0;
    parser.IntoElem();
    while (parser.FindChildElem()) {
      const String tag = parser.GetChildTagName();
      if (OFL::EqualsNoCase(tag, "Name"))
        name = parser.GetChildData();
      else if (OFL::EqualsNoCase(tag, "Value"))
        value = parser.GetChildData();
      else if (OFL::EqualsNoCase(tag, "Custom"))
        custom = OFL::CRT::atol(parser.GetChildData()) != 0;
      else if (OFL::EqualsNoCase(tag, "Type"))
        type = OFL::CRT::atol(parser.GetChildData());
      else if (OFL::EqualsNoCase(tag, "IsPassword"))
        isPassword = OFL::CRT::atol(parser.GetChildData()) != 0;
    }
    parser.OutOfElem();
    AddVar(name, value, custom, true, static_cast<CVariableType::EVariableType>(type), isPassword);
  }
}

void COVKVars::InternalClear() { DeleteListVars(); }

}  // namespace orvacmn
