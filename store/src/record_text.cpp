#include "record_text.h"

#include <algorithm>
#include <array>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"

namespace orvacmn::store {

namespace {

bool IsNameEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>'; }

// End (the '>') of the tag that opens at `at`, quotes respected; npos if none.
size_t TagEnd(std::string_view text, size_t at) {
  char quote = 0;
  for (size_t i = at; i < text.size(); ++i) {
    const char c = text[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return i;
    }
  }
  return std::string_view::npos;
}

size_t SkipPast(std::string_view text, size_t from, std::string_view end) {
  const size_t at = text.find(end, from);
  return at == std::string_view::npos ? at : at + end.size();
}

}  // namespace

bool FindRootChild(std::string_view text, std::string_view tag, ChildSpan& span) {
  span = ChildSpan();
  constexpr size_t npos = std::string_view::npos;
  int depth = 0;
  bool inTarget = false, rootSeen = false;
  for (size_t i = text.find('<'); i != npos; i = text.find('<', i)) {
    const std::string_view rest = text.substr(i);
    if (rest.starts_with("<!--")) i = SkipPast(text, i + 4, "-->");
    else if (rest.starts_with("<![CDATA[")) i = SkipPast(text, i + 9, "]]>");
    else if (rest.starts_with("<?")) i = SkipPast(text, i + 2, "?>");
    else if (rest.starts_with("<!")) i = SkipPast(text, i + 2, ">");
    else if (rest.starts_with("</")) {
      const size_t end = TagEnd(text, i);
      if (end == npos) return rootSeen;
      if (--depth == 1 && inTarget) {
        span.found = true;
        span.contentEnd = i;
        span.tagEnd = end + 1;
        return true;
      }
      if (depth <= 0) return rootSeen;
      i = end + 1;
    } else {
      const size_t end = TagEnd(text, i);
      if (end == npos) return rootSeen;
      size_t nameEnd = i + 1;
      while (nameEnd < end && !IsNameEnd(text[nameEnd])) ++nameEnd;
      const std::string_view name = text.substr(i + 1, nameEnd - i - 1);
      const bool selfClosing = text[end - 1] == '/';
      if (depth == 0) {
        rootSeen = true;
        span.rootName = String(name);
        span.rootContentBegin = selfClosing ? npos : end + 1;
        if (selfClosing) return true;
      } else if (depth == 1 && OFL::EqualsNoCase(name, tag)) {
        span.tagBegin = i;
        if (selfClosing) {
          span.found = span.selfClosing = true;
          span.tagEnd = end + 1;
          return true;
        }
        inTarget = true;
        span.contentBegin = end + 1;
      }
      if (!selfClosing) ++depth;
      i = end + 1;
    }
    if (i == npos) break;
  }
  return rootSeen;
}

uint64_t ReadStamp(std::string_view text) {
  const size_t dot = text.find('.');
  if (dot == std::string_view::npos) return 0;
  return uint64_t(OFLTools::AToUL(text.substr(0, dot))) << 32 | OFLTools::AToUL(text.substr(dot + 1));
}

String FormatStamp(uint64_t stamp) {
  return std::to_string(uint32_t(stamp >> 32)) + "." + std::to_string(uint32_t(stamp));
}

uint64_t RecordStamp(std::string_view text) {
  ChildSpan span;
  if (!FindRootChild(text, "TimeStamp", span) || !span.found || span.selfClosing) return 0;
  return ReadStamp(text.substr(span.contentBegin, span.contentEnd - span.contentBegin));
}

String WithStamp(std::string_view text, uint64_t stamp) {
  ChildSpan span;
  String out(text);
  if (!FindRootChild(text, "TimeStamp", span)) return out;
  const String element = "<TimeStamp>" + FormatStamp(stamp) + "</TimeStamp>";
  if (span.found && span.selfClosing) out.replace(span.tagBegin, span.tagEnd - span.tagBegin, element);
  else if (span.found) out.replace(span.contentBegin, span.contentEnd - span.contentBegin, FormatStamp(stamp));
  else if (span.rootContentBegin != std::string_view::npos) out.insert(span.rootContentBegin, element);
  else {
    // "<Root .../>" is reopened to take the child.
    const size_t close = out.rfind("/>");
    out.replace(close, 2, ">" + element + "</" + span.rootName + ">");
  }
  return out;
}

bool ReadClientFields(const String& text, ClientFields& f, String& error) {
  OFLXMLParser parser;
  if (!parser.SetDoc(text)) {
    error = "The client record is not well-formed XML: " + parser.GetError();
    return false;
  }
  // A client is a "Client" element: any other text (a property bag, say)
  // would replace the client and lose every field it holds.
  if (!parser.FindElem() || !OFL::EqualsNoCase(parser.GetTagNameView(), "Client")) {
    error = "A client record is a <Client> element, not <" + String(parser.GetTagNameView()) + ">";
    return false;
  }
  static constexpr std::array<std::string_view, 11> kTags = {"GUID",       "DisplayName", "HostName", "Domain",
                                                             "FQDN",       "PrimaryMAC",  "LogicalMAC", "MACList",
                                                             "LAAList",    "IPList",      "PrimaryIP"};
  String* const fields[] = {&f.guid,       &f.displayName, &f.hostName, &f.domain,  &f.fqdn,     &f.primaryMac,
                            &f.logicalMac, &f.macList,     &f.laaList,  &f.ipList,  &f.primaryIp};
  parser.ForEachChildElem([&](std::string_view tag) {
    for (size_t k = 0; k < kTags.size(); ++k) {
      if (OFL::EqualsNoCase(tag, kTags[k])) {
        *fields[k] = parser.GetChildData();
        break;
      }
    }
  });
  return true;
}

bool ReadBag(const String& text, std::vector<std::pair<String, String>>& entries) {
  entries.clear();
  OFLXMLParser parser;
  if (!parser.SetDoc(text) || !parser.FindElem() || !OFL::EqualsNoCase(parser.GetTagNameView(), "Properties"))
    return false;
  parser.ForEachChildElem([&](std::string_view tag) {
    if (!OFL::EqualsNoCase(tag, "PropertyEntry")) return;
    String name, value;
    parser.IntoElem();
    parser.ForEachChildElem([&](std::string_view inner) {
      if (OFL::EqualsNoCase(inner, "Param")) name = parser.GetChildData();
      else if (OFL::EqualsNoCase(inner, "Value")) value = parser.GetChildData();
    });
    parser.OutOfElem();
    // A later entry of a name replaces an earlier one, as the bags read it.
    for (auto& e : entries) {
      if (OFL::EqualsNoCase(e.first, name)) {
        e.second = std::move(value);
        return;
      }
    }
    entries.emplace_back(std::move(name), std::move(value));
  });
  return true;
}

String PackBag(std::initializer_list<std::pair<std::string_view, std::string_view>> entries) {
  String out = "<Properties>";
  for (const auto& [name, value] : entries) {
    out += "<PropertyEntry><Param>";
    OFLTools::AppendXMLData(out, name);
    out += "</Param><Value>";
    OFLTools::AppendXMLData(out, value);
    out += "</Value></PropertyEntry>";
  }
  out += "</Properties>";
  return out;
}

bool MatchesConditions(const String& text, const std::vector<std::pair<String, String>>& conditions) {
  if (conditions.empty()) return true;
  OFLXMLParser parser;
  if (!parser.SetDoc(text) || !parser.FindElem()) return false;
  std::vector<bool> met(conditions.size(), false);
  parser.ForEachChildElem([&](std::string_view tag) {
    for (size_t k = 0; k < conditions.size(); ++k)
      if (OFL::EqualsNoCase(tag, conditions[k].first)) met[k] = OFL::EqualsNoCase(parser.GetChildDataView(), conditions[k].second);
  });
  return std::find(met.begin(), met.end(), false) == met.end();
}

std::vector<std::pair<String, String>> ConditionEntries(const String& text, const std::vector<String>& names) {
  std::vector<std::pair<String, String>> entries;
  OFLXMLParser parser;
  if (names.empty() || !parser.SetDoc(text) || !parser.FindElem()) return entries;
  std::vector<std::string_view> last(names.size());
  std::vector<bool> seen(names.size(), false);
  parser.ForEachChildElem([&](std::string_view tag) {
    for (size_t k = 0; k < names.size(); ++k)
      if (OFL::EqualsNoCase(tag, names[k])) {
        last[k] = parser.GetChildDataView();
        seen[k] = true;
      }
  });
  for (size_t k = 0; k < names.size(); ++k)
    if (seen[k]) entries.emplace_back(names[k], OFL::ToLower(last[k]));
  return entries;
}

}  // namespace orvacmn::store
