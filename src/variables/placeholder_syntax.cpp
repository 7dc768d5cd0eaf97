// The static placeholder helpers of COVKVars: recognising names and finding
// or replacing the "{name}" and "$(name)" forms of a ";"-list of aliases.
#include <string_view>

#include "ofl/tokenizer.h"
#include "orvacmn/variables/ovk_vars.h"
#include "placeholder_names.h"

namespace orvacmn {

namespace {

String Enclose(std::string_view open, std::string_view name, char close) {
  String s;
  s.reserve(open.size() + name.size() + 1);
  s.append(open).append(name).push_back(close);
  return s;
}

String BraceForm(const String& alias) { return Enclose("{", alias, '}'); }
String DollarForm(const String& alias) { return Enclose("$(", alias, ')'); }

// Replaces every case-insensitive occurrence of `pattern`, left to right,
// without scanning the inserted values again.
int ReplaceAllNoCase(String& text, std::string_view pattern, std::string_view value) {
  size_t hit = OFL::FindNoCase(text, pattern);
  if (hit == String::npos) return 0;
  String out;
  out.reserve(text.size());
  size_t from = 0;
  int count = 0;
  while (hit != String::npos) {
    out.append(text, from, hit - from);
    out.append(value);
    from = hit + pattern.size();
    ++count;
    hit = OFL::FindNoCase(text, pattern, from);
  }
  out.append(text, from, String::npos);
  text.swap(out);
  return count;
}

}  // namespace

bool COVKVars::IsVar(const String& text) { return !text.empty() && text.front() == '{' && text.back() == '}'; }

bool COVKVars::ContainsVar(const String& text, String& name) {
  const size_t close = text.find('}');
  if (close == String::npos || close < 2) return false;
  const size_t open = text.rfind('{', close - 2);
  if (open == String::npos) return false;
  name = text.substr(open + 1, close - open - 1);
  return true;
}

String COVKVars::FormatVar(const String& names) {
  const OFLTokenizer aliases(names, ";");
  return BraceForm(aliases.GetAt(0));
}

bool COVKVars::IsEnvironmentVariable(const String& name) { return placeholder::IsEnvironmentName(name); }

bool COVKVars::IsDumpVariable(const String& name) { return placeholder::IsDumpName(name); }

bool COVKVars::IsVBScriptExpressionVariable_deprecated(const String& name) {
  return placeholder::IsExpressionName(name);
}

int COVKVars::Replace(String& text, const String& names, const String& value) {
  const OFLTokenizer aliases(names, ";");
  int count = 0;
  for (const String& alias : aliases) {
    count += ReplaceAllNoCase(text, DollarForm(alias), value);
    count += ReplaceAllNoCase(text, BraceForm(alias), value);
  }
  return count;
}

bool COVKVars::Find(const String& text, const String& names) {
  return FindAndGivePos(text, names) != -1;
}

int COVKVars::FindAndGivePos(const String& text, const String& names) {
  const OFLTokenizer aliases(names, ";");
  for (const String& alias : aliases) {
    for (const String& form : {DollarForm(alias), BraceForm(alias)}) {
      const size_t pos = OFL::FindNoCase(text, form);
      if (pos != String::npos) return static_cast<int>(pos);
    }
  }
  return -1;
}

}  // namespace orvacmn
