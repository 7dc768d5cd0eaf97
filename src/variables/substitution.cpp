// Placeholder expansion.
//
// The expansion is defined as a scan that, after every replacement, starts
// again at the first character of the text. Restarting is not needed to get
// the same result: the scan state is only the position of the innermost
// unclosed "{" (a "}" that is not replaced forgets every open "{"), and the
// text before a replaced placeholder is unchanged, so scanning it again makes
// the same decisions and arrives at the placeholder's position in the state
// the scan had just before its "{". The engine therefore keeps the open "{"
// positions since the last "}" that stayed, and after a replacement resumes
// at the placeholder's position with the previous open "{" as the state.
//
// The text is not edited in place either: the scanned prefix is appended to
// an output buffer, and what remains to be scanned is a stack of segments
// (an inserted value on top of the rest of its enclosing text). A
// replacement truncates the output to the placeholder's "{" and pushes the
// value. Each character is thus examined once per time it enters the text,
// and runs without braces are found with memchr and copied in one piece.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "orvacmn/variables/ovk_vars.h"
#include "placeholder_names.h"

namespace orvacmn {

namespace {

constexpr int kMaxReplacements = 1000;
constexpr uint32_t kRecursionTextId = 7134;
constexpr std::string_view kExpressionNotSupported = "<Expression not supported>";

// The value a placeholder is replaced by: a view of a value that outlives
// the expansion (an entry's value, a literal) or of `owned`.
struct Resolution {
  std::string_view value;
  String owned;
  bool isOwned = false;

  void Own(String text) {
    owned = std::move(text);
    isOwned = true;
    value = owned;
  }
};

bool HasBrace(std::string_view text) {
  if (text.empty()) return false;
  return std::memchr(text.data(), '{', text.size()) != nullptr ||
         std::memchr(text.data(), '}', text.size()) != nullptr;
}

// A piece of text still to be scanned: a view of text that outlives it, or
// a value it holds itself (freed once scanned). The next "{" and "}"
// positions are cached so that each part of a segment is searched only once.
struct Segment {
  static constexpr size_t kUnknown = static_cast<size_t>(-1);

  explicit Segment(std::string_view text, std::unique_ptr<String> holder = nullptr)
      : owned(std::move(holder)), data(text.data()), size(text.size()) {}

  bool AtEnd() const { return pos >= size; }
  std::string_view Rest() const { return std::string_view(data + pos, size - pos); }

  // Position of the next "{" at or after the current position, or size;
  // with `closeToo`, of the next "{" or "}". (A "}" with no "{" open is
  // plain text, so most of a text is searched for "{" alone.)
  size_t NextBrace(bool closeToo) {
    if (nextOpen == kUnknown || nextOpen < pos) nextOpen = Search('{');
    if (!closeToo) return nextOpen;
    if (nextClose == kUnknown || nextClose < pos) nextClose = Search('}', nextOpen);
    return std::min(nextOpen, nextClose);
  }

  // The first `c` in [pos, limit), or `limit` itself when there is none
  // there (a "}" beyond the next "{" is not needed yet).
  size_t Search(char c, size_t limit = kUnknown) const {
    const size_t end = std::min(limit, size);
    const void* hit = end > pos ? std::memchr(data + pos, c, end - pos) : nullptr;
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - data) : (limit < size ? kUnknown : size);
  }

  std::unique_ptr<String> owned;  // `data` views it when set
  const char* data;
  size_t size;
  size_t pos = 0;
  size_t nextOpen = kUnknown;
  size_t nextClose = kUnknown;
};

// "\n", or the rest of the name from a ":" right after "$$Dump$$".
std::string_view DumpSeparator(std::string_view name) {
  const size_t prefix = placeholder::kDumpPrefix.size();
  return name.size() > prefix && name[prefix] == ':' ? name.substr(prefix) : std::string_view("\n");
}

}  // namespace

class COVKVars::Expander {
 public:
  Expander(const COVKVars& vars, ESubstitutionPolicies policies, VBScriptExecutionPolicy vbPolicy)
      : vars_(vars), policies_(policies), vbPolicy_(vbPolicy) {}

  // ReplaceVariable without copying the name or an entry's value. The result
  // never refers to `name`.
  static bool Resolve(const COVKVars& vars, std::string_view name, ESubstitutionPolicies policies, Resolution& r) {
    const bool environment = placeholder::IsEnvironmentName(name);
    if (environment) {
      String expanded(name);
      OFLTools::ExpandEnvironmentStringsA(expanded, (policies & SubstitutionRemoveUndefinedEnvironment) != 0);
      if (expanded != name) {
        r.Own(std::move(expanded));
        return true;
      }
    }
    if (placeholder::IsDumpName(name)) {
      String dump;
      vars.ResolveDumpVariable(String(name), dump);
      r.Own(std::move(dump));
      return true;
    }
    if (const String* value = vars.Lookup(name)) {
      r.value = *value;
      return true;
    }
    if (policies & SubstitutionUnknownToEmpty) {
      r.value = std::string_view();
      return true;
    }
    if (environment) {
      // An environment placeholder that did not expand loses its braces.
      r.Own(String(name));
      return true;
    }
    return false;
  }

  String Run(String& text, bool& expressionFound) {
    expressionFound = false;
    const String input = std::move(text);
    text.clear();
    String out;
    // Values are usually longer than their placeholders: leave room so the
    // output is not moved while it grows.
    out.reserve(input.size() + input.size() / 4 + 64);
    std::vector<Segment> pending;
    pending.emplace_back(input);
    std::vector<size_t> opens;  // positions in `out` of the "{" since the last "}" that stayed
    int replacements = 0;
    size_t length = input.size();  // of the text as the edits so far left it

    while (!pending.empty()) {
      Segment& seg = pending.back();
      const size_t brace = seg.NextBrace(!opens.empty());
      out.append(seg.data + seg.pos, brace - seg.pos);
      seg.pos = brace;
      if (seg.AtEnd()) {
        pending.pop_back();
        continue;
      }
      const char c = seg.data[brace];
      ++seg.pos;
      if (c == '{') {
        opens.push_back(out.size());
        out.push_back('{');
        continue;
      }
      if (opens.empty()) {
        out.push_back('}');
        continue;
      }
      const size_t start = opens.back();
      const std::string_view name = std::string_view(out).substr(start + 1);
      const size_t shorter = name.size() + 2;  // the placeholder goes
      // A dump may be made of placeholders that dump again: check its size
      // before making it.
      if (placeholder::IsDumpName(name) && TooLong(length, length - shorter + DumpSize(name)))
        return Abandon(text, out, pending);
      Resolution r;
      if (!Decide(name, r, expressionFound)) {
        out.push_back('}');
        opens.clear();
        continue;
      }
      std::string_view value = r.value;
      std::unique_ptr<String> holder;
      if (!value.empty() && (policies_ & SubstitutionEscapeXml)) {
        holder = std::make_unique<String>(OFLXMLParser::EscapeText(String(value), 0));
        value = *holder;
      } else if (r.isOwned) {
        holder = std::make_unique<String>(std::move(r.owned));
        value = *holder;
      }
      if (TooLong(length, length - shorter + value.size())) return Abandon(text, out, pending);
      length = length - shorter + value.size();
      ++replacements;
      out.resize(start);
      opens.pop_back();
      if (seg.AtEnd()) pending.pop_back();  // `seg` is not used below
      // Scanning a value without braces changes no state: copy it at once.
      if (HasBrace(value))
        pending.emplace_back(value, std::move(holder));
      else
        out.append(value);
      if (replacements > kMaxReplacements) return Stop(text, out, pending);
    }
    text = std::move(out);
    return text;
  }

 private:
  // A text may only grow up to the limit (a longer text given may shrink).
  static bool TooLong(size_t length, size_t newLength) {
    return newLength > kMaxExpandedLength && newLength > length;
  }
  // Ends the expansion with the recursion text; `text` gets the text as the
  // edits so far left it: the output and what was still to be scanned.
  static String Stop(String& text, String& out, const std::vector<Segment>& pending) {
    for (auto it = pending.rbegin(); it != pending.rend(); ++it) out.append(it->Rest());
    text = std::move(out);
    return OFLTools::LoadResString(kRecursionTextId);
  }
  // Stop without making the replacement whose "}" was just read.
  static String Abandon(String& text, String& out, const std::vector<Segment>& pending) {
    out.push_back('}');
    return Stop(text, out, pending);
  }

  size_t DumpSize(std::string_view name) const {
    const size_t separator = DumpSeparator(name).size();
    size_t size = 0;
    for (const auto& e : vars_.entries_) size += e->Name.size() + 1 + (e->IsPassword ? 4 : e->Value.size()) + separator;
    return size;
  }

  bool Decide(std::string_view name, Resolution& r, bool& expressionFound) const {
    if (vbPolicy_ == VBScriptNotSupported && placeholder::IsExpressionName(name)) {
      expressionFound = true;
      r.value = kExpressionNotSupported;
      return true;
    }
    return Resolve(vars_, name, policies_, r);
  }

  const COVKVars& vars_;
  const ESubstitutionPolicies policies_;
  const VBScriptExecutionPolicy vbPolicy_;
};

int COVKVars::ReplaceVariable(const String& name, String& value, const ESubstitutionPolicies& policies) const {
  Resolution r;
  if (!Expander::Resolve(*this, name, policies, r)) return 0;
  value.assign(r.value.data(), r.value.size());
  return 1;
}

bool COVKVars::ResolveDumpVariable(const String& name, String& out) const {
  if (!placeholder::IsDumpName(name)) return false;
  const std::string_view separator = DumpSeparator(name);
  String dump;
  for (const auto& e : entries_) {
    dump += e->Name;
    dump += '=';
    dump += e->IsPassword ? std::string_view("****") : std::string_view(e->Value);
    dump += separator;
  }
  out = std::move(dump);
  return true;
}

String COVKVars::PerformSubstitutions(String& text, bool& expressionFound, ESubstitutionPolicies policies,
                                      VBScriptExecutionPolicy vbPolicy) const {
  expressionFound = false;
  // Under any other policy every placeholder counts as not replaced.
  if (vbPolicy != VBScriptLookUp && vbPolicy != VBScriptNotSupported) return text;
  Expander expander(*this, policies, vbPolicy);
  return expander.Run(text, expressionFound);
}

String COVKVars::PerformSubstitutions(String& text, ESubstitutionPolicies policies) const {
  bool expressionFound = false;
  return PerformSubstitutions(text, expressionFound, policies, VBScriptNotSupported);
}

}  // namespace orvacmn
