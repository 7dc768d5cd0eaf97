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

// std::list keeps its element iterators valid across a move, so the index
// moves along with the list.
COVKVars::COVKVars(COVKVars&& other) noexcept
    : OVOXMLSupport(other), entries_(std::move(other.entries_)), index_(std::move(other.index_)) {
  other.entries_.clear();
}

COVKVars& COVKVars::operator=(COVKVars&& other) noexcept {
  if (this == &other) return *this;
  OVOXMLSupport::operator=(other);
  entries_ = std::move(other.entries_);
  index_ = std::move(other.index_);
  other.entries_.clear();
  return *this;
}

COVKVars::~COVKVars() = default;

COVKVars::Index::Index(Index&& other) noexcept
    : cells_(std::move(other.cells_)), mask_(std::exchange(other.mask_, 0)), count_(std::exchange(other.count_, 0)) {
  other.cells_.clear();
}

COVKVars::Index& COVKVars::Index::operator=(Index&& other) noexcept {
  cells_ = std::move(other.cells_);
  mask_ = std::exchange(other.mask_, 0);
  count_ = std::exchange(other.count_, 0);
  other.cells_.clear();
  return *this;
}

// Other types than runtime and system never give a value.
void COVKVars::Index::Refresh(Cell& cell) {
  const _VarEntry* winner = nullptr;
  for (const List::iterator& pos : cell.slot->positions) {
    const _VarEntry* e = pos->get();
    if (e->Type == CVariableType::Runtime) {
      winner = e;
      break;
    }
    if (e->Type == CVariableType::System) winner = e;
  }
  const String* value = winner != nullptr ? &winner->Value : nullptr;
  cell.slot->value = value;
  cell.value = value != nullptr ? value->data() : nullptr;
  cell.valueSize = value != nullptr ? value->size() : 0;
  cell.valueHasBrace = value != nullptr && value->find_first_of("{}") != String::npos;
}

void COVKVars::Index::RefreshAll() {
  for (Cell& cell : cells_)
    if (cell.slot != nullptr) Refresh(cell);
}

void COVKVars::Index::Place(Cell cell) {
  size_t i = cell.hash & mask_;
  while (cells_[i].slot != nullptr) i = (i + 1) & mask_;
  cells_[i] = std::move(cell);
}

COVKVars::Index::Cell& COVKVars::Index::Insert(const Key& key) {
  if ((count_ + 1) * 2 > cells_.size()) {
    std::vector<Cell> old = std::exchange(cells_, std::vector<Cell>(std::max<size_t>(16, cells_.size() * 2)));
    mask_ = cells_.size() - 1;
    for (Cell& cell : old)
      if (cell.slot != nullptr) Place(std::move(cell));
  }
  Cell cell;
  cell.head = key.head;
  cell.size = key.name.size();
  cell.hash = key.hash;
  cell.slot = std::make_unique<Slot>();
  cell.slot->name = String(key.name);
  Place(std::move(cell));
  ++count_;
  return *Find(key);
}

// Closes the gap by moving back each later cell of the run that may live
// there, so that no probe sequence is cut short.
void COVKVars::Index::Erase(Cell& cell) {
  const size_t mask = mask_;
  size_t gap = static_cast<size_t>(&cell - cells_.data());
  cells_[gap] = Cell();
  --count_;
  for (size_t i = (gap + 1) & mask; cells_[i].slot != nullptr; i = (i + 1) & mask) {
    const size_t home = cells_[i].hash & mask;
    // Stays when its home lies cyclically in (gap, i].
    const bool stays = gap < i ? (home > gap && home <= i) : (home > gap || home <= i);
    if (stays) continue;
    cells_[gap] = std::move(cells_[i]);
    cells_[i] = Cell();
    gap = i;
  }
}

void COVKVars::Index::Clear() {
  cells_.clear();
  mask_ = 0;
  count_ = 0;
}

void COVKVars::CopyFrom(const COVKVars& other) {
  for (const auto& entry : other.entries_) {
    entries_.push_back(std::make_shared<_VarEntry>(*entry));
    const Index::Key key(entry->Name);
    Index::Cell* cell = index_.Find(key);
    if (cell == nullptr) cell = &index_.Insert(key);
    cell->slot->positions.push_back(std::prev(entries_.end()));
  }
  index_.RefreshAll();
}

void COVKVars::AddOne(const String& name, const String& value, bool custom, CVariableType type, bool isPassword) {
  const Index::Key key(name);
  Index::Cell* cell = index_.Find(key);
  if (cell != nullptr) {
    for (const List::iterator& pos : cell->slot->positions) {
      if ((*pos)->Type == type) {
        (*pos)->Value = value;
        Index::Refresh(*cell);
        return;
      }
    }
  } else {
    cell = &index_.Insert(key);
  }
  entries_.push_back(std::make_shared<_VarEntry>(_VarEntry{name, value, custom, type, isPassword}));
  cell->slot->positions.push_back(std::prev(entries_.end()));
  Index::Refresh(*cell);
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
  const Index::Cell* cell = index_.Find(Index::Key(name));
  return cell != nullptr ? cell->slot->value : nullptr;
}

bool COVKVars::GetVar(const String& name, String& value) const {
  const String* found = Lookup(name);
  if (found == nullptr) return false;
  value = *found;
  return true;
}

bool COVKVars::Find(const String& name) const { return index_.Find(Index::Key(name)) != nullptr; }

void COVKVars::Erase(List::iterator it) {
  Index::Cell* cell = index_.Find(Index::Key((*it)->Name));
  if (cell != nullptr) {
    std::vector<List::iterator>& positions = cell->slot->positions;
    for (auto p = positions.begin(); p != positions.end(); ++p) {
      if (*p == it) {
        positions.erase(p);
        break;
      }
    }
    if (positions.empty())
      index_.Erase(*cell);
    else if (cell->slot->value == &(*it)->Value)
      Index::Refresh(*cell);
  }
  entries_.erase(it);
}

void COVKVars::RemoveVar(const String& names) {
  ForEachAlias(names, [&](const String& alias) {
    Index::Cell* cell = index_.Find(Index::Key(alias));
    if (cell == nullptr) return;
    for (const List::iterator& pos : cell->slot->positions) entries_.erase(pos);
    index_.Erase(*cell);
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
