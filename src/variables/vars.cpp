#include "orvacmn/variables/vars.h"

#include <ctime>

#include "ofl/local_time.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {

namespace {

const char kObjectName[] = "Vars";
const char kScope[] = "Scope";
const char kVarEntry[] = "VarEntry";
const char kCategory[] = "Category";
const char kName[] = "Name";
const char kValue[] = "Value";
const char kTypeForDisplay[] = "TypeForDisplay";

}  // namespace

int OVOVars::IndexLess::Compare(const Key& a, const Key& b) {
  const int c = OFL::CompareNoCase(a.category, b.category);
  return c != 0 ? c : OFL::CompareNoCase(a.name, b.name);
}

OVOVars::OVOVars(const String& xml) : OVOXMLSupport(kObjectName, kSchema50001) {
  if (!xml.empty()) Unpack(xml);
}

OVOVars::OVOVars(const OVOVars& other) : OVOXMLSupport(other) { CopyFrom(other); }

OVOVars& OVOVars::operator=(const OVOVars& other) {
  if (this != &other) {
    OVOXMLSupport::operator=(other);
    CopyFrom(other);
  }
  return *this;
}

// std::list and std::set keep their nodes on a move, so the index stays valid.
OVOVars::OVOVars(OVOVars&& other) noexcept
    : OVOXMLSupport(kObjectName, kSchema50001),
      scope_(std::move(other.scope_)),
      vars_(std::move(other.vars_)),
      index_(std::move(other.index_)) {
  other.vars_.clear();
  other.index_.clear();
}

OVOVars& OVOVars::operator=(OVOVars&& other) noexcept {
  if (this != &other) {
    index_.clear();
    vars_.clear();
    scope_ = std::move(other.scope_);
    vars_ = std::move(other.vars_);
    index_ = std::move(other.index_);
    other.vars_.clear();
    other.index_.clear();
  }
  return *this;
}

OVOVars::~OVOVars() = default;

void OVOVars::CopyFrom(const OVOVars& other) {
  DeleteListVars();
  scope_ = other.scope_;
  for (const auto& v : other.vars_) {
    vars_.push_back(std::make_unique<Variable>(*v));
    index_.insert(std::prev(vars_.cend()));
  }
}

bool OVOVars::operator==(const OVOVars& other) const { return Pack() == other.Pack(); }

OVOVars::List::const_iterator OVOVars::FindPos(const String& category, const String& name) const {
  const auto it = index_.find(Key{category, name});
  return it == index_.end() ? vars_.end() : *it;
}

void OVOVars::SetVar(const String& category, const String& name, const String& value,
                     OVOCustomVarDef::ECustomVarType type) {
  const auto pos = FindPos(category, name);
  if (pos != vars_.end()) {
    // Same key without regard to case, so the index order is unaffected.
    Variable* v = pos->get();
    v->category_ = category;
    v->name_ = name;
    v->value_ = value;
    v->typeForDisplay_ = type;
    return;
  }
  vars_.push_back(std::make_unique<Variable>(category, name, value, type));
  index_.insert(std::prev(vars_.cend()));
}

OVOVars::Variable* OVOVars::GetVar(const String& category, const String& name) {
  const auto pos = FindPos(category, name);
  return pos == vars_.end() ? nullptr : pos->get();
}

const OVOVars::Variable* OVOVars::GetVar(const String& category, const String& name) const {
  const auto pos = FindPos(category, name);
  return pos == vars_.end() ? nullptr : pos->get();
}

int OVOVars::GetVar(const String& category, const String& name, String& value) const {
  const Variable* v = GetVar(category, name);
  if (v == nullptr) return 0;
  value = v->value_;
  return 1;
}

int OVOVars::GetVarForDisplay(const String& category, const String& name, String& text) const {
  const Variable* v = GetVar(category, name);
  if (v == nullptr) return 0;
  text = OVOCustomVarDef::FormatValueForDisplay(v->typeForDisplay_, v->value_);
  return 1;
}

int OVOVars::RemoveVar(const String& category, const String& name) {
  const auto it = index_.find(Key{category, name});
  if (it == index_.end()) return 0;
  const auto pos = *it;
  index_.erase(it);
  vars_.erase(pos);
  return 1;
}

void OVOVars::SetVarToDefaultValue(const OVOCustomVarDef& def) {
  String value;
  switch (def.GetType()) {
    case OVOCustomVarDef::eString:
    case OVOCustomVarDef::eFileName:
    case OVOCustomVarDef::eNumber:
    case OVOCustomVarDef::eFolderName:
    case OVOCustomVarDef::ePassword:
      value = def.GetData();
      break;
    case OVOCustomVarDef::eYesNo:
      value.assign(1, def.GetData() == "T" ? 'T' : 'F');
      break;
    case OVOCustomVarDef::eList:
    case OVOCustomVarDef::eEditableList: {
      const OFLTokenizer items(def.GetData(), "|");
      value = items.GetAt(0);
      break;
    }
    default:
      break;
  }
  SetVar(def.GetCategory(), def.GetName(), value, def.GetType());
}

void OVOVars::SetVarToDefaultValue(const String& category, const String& name, const OVOCustomVarDefList& defs) {
  const auto def = defs.Find(category, name);
  if (def) {
    SetVarToDefaultValue(*def);
  } else {
    SetVar(category, name, String(), OVOCustomVarDef::eString);
  }
}

String OVOVars::GenerateFullName(const Variable* var) const {
  if (var == nullptr) return String();
  String full;
  if (!scope_.empty()) {
    full = OVOCustomVarDef::GetScopeDisplayName(scope_);
    full += '.';
  }
  if (!var->category_.empty()) {
    full += var->category_;
    full += '.';
  }
  full += var->name_;
  return full;
}

String OVOVars::GetCategories() const {
  // Deduplicated here already, so the tokenizer's own check never sees a
  // repeat and the result does not depend on how it finds one.
  std::set<std::string_view, OFL::LessNoCase> seen;
  OFLTokenizer categories;
  for (const auto& v : vars_) {
    if (seen.insert(v->category_).second) categories.AddString(v->category_);
  }
  OFLTokenizer result;
  result.AppendTokenizer(categories, true);
  return result.AsLengthPackedString();
}

void OVOVars::DeleteListVars() {
  index_.clear();
  vars_.clear();
}

void OVOVars::RemoveEmptyVars() {
  for (auto pos = vars_.cbegin(); pos != vars_.cend();) {
    if ((*pos)->value_.empty()) {
      index_.erase(pos);
      pos = vars_.erase(pos);
    } else {
      ++pos;
    }
  }
}

bool OVOVars::IsValidVarName(const String& name) {
  if (name.empty() || name.size() > 254) return false;
  if (name.find_first_of("\t\r\n={}") != String::npos) return false;
  return name.find_first_not_of(' ') != String::npos;
}

namespace {

// Parses a date part: decimal digits, blanks around them allowed. Parts are
// capped well above any valid field so a long digit run cannot overflow.
bool ParseDatePart(std::string_view part, int& out) {
  const size_t first = part.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  const size_t last = part.find_last_not_of(' ');
  part = part.substr(first, last - first + 1);
  int value = 0;
  for (const char c : part) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > 100000) return false;
  }
  out = value;
  return true;
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Years the platform's time type represents from local midnight on.
constexpr int kMinYear = 1970;
constexpr int kMaxYear = 3000;

bool IsValidDate(int y, int m, int d) {
  return y >= kMinYear && y <= kMaxYear && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

bool LocalMidnight(int y, int m, int d, CTime& time) {
  if (!IsValidDate(y, m, d)) return false;
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = m - 1;
  tm.tm_mday = d;
  const CTime t = OFL::MakeLocalTime(tm);
  if (t < 0) return false;  // before the epoch is unrepresentable
  time = t;
  return true;
}

// Splits at `sep`, keeping empty parts, into exactly three parts.
bool SplitThree(std::string_view text, char sep, std::string_view parts[3]) {
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t end = text.find(sep, start);
    if (i < 2) {
      if (end == std::string_view::npos) return false;
      parts[i] = text.substr(start, end - start);
      start = end + 1;
    } else {
      if (end != std::string_view::npos) return false;
      parts[i] = text.substr(start);
    }
  }
  return true;
}

bool ParseSeparated(std::string_view text, char sep, int dayIndex, int monthIndex, CTime& time) {
  std::string_view parts[3];
  if (!SplitThree(text, sep, parts)) return false;
  int values[3];
  for (int i = 0; i < 3; ++i) {
    if (!ParseDatePart(parts[i], values[i])) return false;
  }
  return LocalMidnight(values[2], values[monthIndex], values[dayIndex], time);
}

int Digits(std::string_view s, size_t pos, size_t count) {
  int v = 0;
  for (size_t i = 0; i < count; ++i) v = v * 10 + (s[pos + i] - '0');
  return v;
}

bool ParseDBTime(const String& text, CTime& time) {
  if (text.find_first_not_of("0123456789") != String::npos) return false;
  if (!IsValidDate(Digits(text, 0, 4), Digits(text, 4, 2), Digits(text, 6, 2))) return false;
  if (text.size() == 14 && (Digits(text, 8, 2) > 23 || Digits(text, 10, 2) > 59 || Digits(text, 12, 2) > 59)) {
    return false;
  }
  const CTime t = OVOHelper::DBTimeToCTime(text);
  if (t < 0) return false;
  time = t;
  return true;
}

}  // namespace

bool OVOVars::CTimeFromStringValue(const String& text, CTime& time) {
  if (text.find('.') != String::npos) return ParseSeparated(text, '.', 0, 1, time);
  if (text.find('/') != String::npos) return ParseSeparated(text, '/', 1, 0, time);
  if (text.find('-') != String::npos) return ParseSeparated(text, '-', 0, 1, time);
  if (text.size() == 8 || text.size() == 14) return ParseDBTime(text, time);
  return false;
}

bool OVOVars::ShortDateStringFromValue(const String& text, String& out) {
  CTime t = 0;
  if (!CTimeFromStringValue(text, t)) return false;
  out = OVOHelper::CTimeToSystemDefaultShortDateString(t);
  return true;
}

String OVOVars::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kScope, scope_);
  for (const auto& v : vars_) {
    OFLTools::AppendXMLTag(out, kVarEntry, false);
    OFLTools::AppendXMLNode(out, kCategory, v->category_);
    OFLTools::AppendXMLNode(out, kName, v->name_);
    OFLTools::AppendXMLNode(out, kValue, v->value_);
    out += OFLTools::MakeXMLNode(kTypeForDisplay, static_cast<int32_t>(v->typeForDisplay_));
    OFLTools::AppendXMLTag(out, kVarEntry, true);
  }
  return out;
}

void OVOVars::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kScope)) {
      scope_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kVarEntry)) {
      String category, name, value;
      uint32_t type = 0;
      p.IntoElem();
      ForEachChild(p, [&](const String& t, OFLXMLParser& q) {
        if (OFL::EqualsNoCase(t, kCategory)) {
          category = q.GetChildData();
        } else if (OFL::EqualsNoCase(t, kName)) {
          name = q.GetChildData();
        } else if (OFL::EqualsNoCase(t, kValue)) {
          value = q.GetChildData();
        } else if (OFL::EqualsNoCase(t, kTypeForDisplay)) {
          type = OFLTools::AToUL(q.GetChildData());
        }
      });
      p.OutOfElem();
      SetVar(category, name, value, static_cast<OVOCustomVarDef::ECustomVarType>(type));
    }
  });
}

void OVOVars::InternalClear() {
  scope_.clear();
  DeleteListVars();
}

}  // namespace orvacmn
