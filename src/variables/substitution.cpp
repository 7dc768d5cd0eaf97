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
//
// Most placeholders are a plain name closed right away whose value holds no
// brace. Those are decided at their "{": the name is found and hashed a word
// at a time where it lies, looked up in the set's index, and the value is
// appended; neither the "{" nor the name enters the output, and the general
// machinery (segments, open "{" positions, Resolve) is not involved.
#include <algorithm>
#include <bit>
#include <cstdint>
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

  // Position of the next "{" or "}" at or after the current position, or
  // size.
  size_t NextBrace() {
    if (nextOpen == kUnknown || nextOpen < pos) nextOpen = Search('{');
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
      : vars_(vars),
        policies_(policies),
        vbPolicy_(vbPolicy),
        quick_((policies & SubstitutionEscapeXml) == 0),
        unknownToEmpty_((policies & SubstitutionUnknownToEmpty) != 0) {}

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
      if (opens.empty()) {
        if (!ScanClosed(seg, out, opens, length, replacements)) return Stop(text, out, pending);
        if (seg.AtEnd()) pending.pop_back();
        continue;
      }
      // Inside a placeholder the next brace is usually near.
      const size_t room = std::min(seg.size - seg.pos, kQuickNameMax);
      const size_t near = NameLength(seg.data + seg.pos, room);
      const size_t brace = near < room ? seg.pos + near : seg.NextBrace();
      out.append(seg.data + seg.pos, brace - seg.pos);
      seg.pos = brace;
      if (seg.AtEnd()) {
        pending.pop_back();
        continue;
      }
      ++seg.pos;
      if (seg.data[brace] == '{') {
        if (!OpenOrDecide(seg, out, opens, length, replacements)) return Stop(text, out, pending);
        continue;
      }
      const Quick quick = CloseQuick(out, opens, length);
      if (quick == kStays) continue;
      if (quick == kReplaced) {
        if (++replacements > kMaxReplacements) return Stop(text, out, pending);
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

  enum Quick { kNotQuick, kStays, kReplaced };

  // Scans `seg` while no "{" is open: a "}" is plain text then, so only "{"
  // is searched for. Placeholders closed right away are decided here when
  // DecideQuick can, so that neither their "{" nor their name enters `out`.
  // Stops when a "{" stays open, or at the end of the segment. False when a
  // replacement was one too many.
  bool ScanClosed(Segment& seg, String& out, std::vector<size_t>& opens, size_t& length, int& replacements) const {
    const char* const end = seg.data + seg.size;
    const char* p = seg.data + seg.pos;
    for (;;) {
      const char* const brace = static_cast<const char*>(std::memchr(p, '{', static_cast<size_t>(end - p)));
      if (brace == nullptr) {
        out.append(p, static_cast<size_t>(end - p));
        seg.pos = seg.size;
        return true;
      }
      out.append(p, static_cast<size_t>(brace - p));
      const char* const name = brace + 1;
      size_t size;
      char next;
      std::string_view value;
      const Quick quick =
          TryQuick(name, std::min(static_cast<size_t>(end - name), kQuickNameMax), size, next, length, value);
      if (quick == kReplaced) {
        out.append(value);
        p = name + size + 1;
        if (++replacements <= kMaxReplacements) continue;
        seg.pos = static_cast<size_t>(p - seg.data);
        return false;
      }
      if (quick == kStays) {
        out.append(brace, size + 2);
        p = name + size + 1;
        continue;
      }
      seg.pos = static_cast<size_t>(name - seg.data);
      if (!Open(seg, out, opens, length, replacements, size, next)) return false;
      if (!opens.empty()) return true;
      p = seg.data + seg.pos;
    }
  }

  // After a "{" was read with one open before it: as ScanClosed does.
  bool OpenOrDecide(Segment& seg, String& out, std::vector<size_t>& opens, size_t& length, int& replacements) const {
    const char* const name = seg.data + seg.pos;
    size_t size;
    char next;
    std::string_view value;
    const Quick quick = TryQuick(name, std::min(seg.size - seg.pos, kQuickNameMax), size, next, length, value);
    if (quick == kNotQuick) return Open(seg, out, opens, length, replacements, size, next);
    seg.pos += size + 1;
    if (quick == kStays) {
      out.append(name - 1, size + 2);
      opens.clear();
      return true;
    }
    out.append(value);
    return ++replacements <= kMaxReplacements;
  }

  // The name after a "{" at `name` (`room` bytes of it may be looked at):
  // its `size` up to the `next` brace (0: none there), and when that is a
  // "}", DecideQuick on it. Inlined: it is the hot path of an expansion.
  [[gnu::always_inline]] Quick TryQuick(const char* name, size_t room, size_t& size, char& next, size_t& length,
                 std::string_view& value) const {
    size = NameLength(name, room);
    next = size < room ? name[size] : '\0';
    if (next != '}' || size == 0) return kNotQuick;
    return DecideQuick(std::string_view(name, size), length, value);
  }

  // Opens the "{" before seg.pos, whose name runs `size` bytes up to `next`
  // (see TryQuick), as the general path would. A computed name such as
  // "{Drive{Index}}" is read on here while its parts are quick. Stops where
  // the general path is needed, or when no "{" it opened remains open.
  // False when a replacement was one too many.
  bool Open(Segment& seg, String& out, std::vector<size_t>& opens, size_t& length, int& replacements, size_t size,
            char next) const {
    const size_t depth = opens.size();
    bool atOpen = true;  // else within a name opened here, after an inner placeholder
    bool tried = true;   // whether TryQuick gave `size` and `next` for this "{"
    for (;;) {
      const char* const p = seg.data + seg.pos;
      const size_t room = std::min(seg.size - seg.pos, kQuickNameMax);
      if (atOpen) {
        if (!tried) {
          std::string_view value;
          const Quick quick = TryQuick(p, room, size, next, length, value);
          if (quick == kStays) {
            out.append(p - 1, size + 2);
            opens.clear();
            seg.pos += size + 1;
            return true;
          }
          if (quick == kReplaced) {
            out.append(value);
            seg.pos += size + 1;
            if (++replacements > kMaxReplacements) return false;
            if (opens.size() == depth) return true;
            atOpen = false;
            continue;
          }
        }
        opens.push_back(out.size());
        out.push_back('{');
        if (next != '{') return true;
        out.append(p, size);
        seg.pos += size + 1;  // at the inner name
        tried = false;
        continue;
      }
      const size_t part = NameLength(p, room);
      if (part == room) return true;
      out.append(p, part);
      seg.pos += part;
      if (p[part] == '{') {
        ++seg.pos;
        atOpen = true;
        tried = false;
        continue;
      }
      const Quick quick = CloseQuick(out, opens, length);
      if (quick == kNotQuick) return true;
      ++seg.pos;
      if (quick == kStays) return true;
      if (++replacements > kMaxReplacements) return false;
      if (opens.size() == depth) return true;
    }
  }

  // The "}" just read closes the innermost open "{", whose name is the rest
  // of `out`: decides it when DecideQuick can. kNotQuick changes nothing.
  Quick CloseQuick(String& out, std::vector<size_t>& opens, size_t& length) const {
    const size_t start = opens.back();
    std::string_view value;
    const Quick quick = DecideQuick(std::string_view(out).substr(start + 1), length, value);
    if (quick == kStays) {
      out.push_back('}');
      opens.clear();
    } else if (quick == kReplaced) {
      out.resize(start);
      opens.pop_back();
      out.append(value);
    }
    return quick;
  }

  // The common case decided without Resolve: a plain name (no environment,
  // dump or expression name) whose value holds no brace and needs no
  // escaping, or that is unknown. kReplaced (with `value` set and `length`
  // updated) or kStays as the general path would decide; kNotQuick when the
  // general path is needed (it also makes the growth check fail).
  Quick DecideQuick(std::string_view name, size_t& length, std::string_view& value) const {
    if (!quick_ || name.empty() || name[0] == '%' || name[0] == '$' || name[0] == '=') return kNotQuick;
    const NameSlot* slot = vars_.index_.Find(name);
    if (slot == nullptr || slot->value == nullptr) {
      if (!unknownToEmpty_) return kStays;
      value = std::string_view();
    } else {
      if (slot->valueHasBrace) return kNotQuick;
      value = *slot->value;
    }
    const size_t newLength = length - (name.size() + 2) + value.size();
    if (TooLong(length, newLength)) return kNotQuick;
    length = newLength;
    return kReplaced;
  }

  // Bytes before the first "{" or "}" of the `room` bytes at `p` (`room`
  // when there is none), eight at a time while eight remain.
  static size_t NameLength(const char* p, size_t room) {
    size_t n = 0;
    if constexpr (std::endian::native == std::endian::little) {
      for (; n + 8 <= room; n += 8) {
        uint64_t word;
        std::memcpy(&word, p + n, sizeof word);
        const uint64_t hits = ZeroBytes(word ^ 0x7b7b7b7b7b7b7b7bull) | ZeroBytes(word ^ 0x7d7d7d7d7d7d7d7dull);
        if (hits != 0) return n + static_cast<size_t>(std::countr_zero(hits)) / 8;
      }
    }
    for (; n < room; ++n)
      if (p[n] == '{' || p[n] == '}') return n;
    return room;
  }
  // The high bit of each zero byte of `word`; bytes above the first zero
  // byte may be flagged wrongly, so only the lowest flag counts.
  static uint64_t ZeroBytes(uint64_t word) {
    return (word - 0x0101010101010101ull) & ~word & 0x8080808080808080ull;
  }

  // Longer names are rare; capping the look-ahead keeps a lone "{" before a
  // long brace-free run from being scanned twice in full.
  static constexpr size_t kQuickNameMax = 128;

  const COVKVars& vars_;
  const ESubstitutionPolicies policies_;
  const VBScriptExecutionPolicy vbPolicy_;
  const bool quick_;
  const bool unknownToEmpty_;
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
