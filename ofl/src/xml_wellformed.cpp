#include "xml_wellformed.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace OFL::internal {

namespace {

// Byte classes, one bit each.
constexpr uint8_t kSpace = 1, kNameStart = 2, kName = 4;

constexpr auto kClass = [] {
  std::array<uint8_t, 256> t{};
  for (const char c : {' ', '\t', '\r', '\n'}) t[static_cast<unsigned char>(c)] |= kSpace;
  for (int c = 0; c < 256; ++c) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (letter || c == '_' || c == ':' || c >= 0x80) t[c] |= kNameStart | kName;
    if ((c >= '0' && c <= '9') || c == '-' || c == '.') t[c] |= kName;
  }
  return t;
}();

inline bool Is(char c, uint8_t cls) { return (kClass[static_cast<unsigned char>(c)] & cls) != 0; }

inline bool StartsWith(const char* p, const char* end, std::string_view s) {
  return static_cast<size_t>(end - p) >= s.size() && std::memcmp(p, s.data(), s.size()) == 0;
}

// The end of a name at `p`, or `p` when none starts there.
inline const char* NameEnd(const char* p, const char* end) {
  if (p == end || !Is(*p, kNameStart)) return p;
  for (++p; p != end && Is(*p, kName);) ++p;
  return p;
}

// The high bit of each byte of `word` that equals `c`; above the lowest such
// byte others may be flagged wrongly, so only the lowest flag counts.
inline uint64_t BytesEqual(uint64_t word, char c) {
  const uint64_t x = word ^ (0x0101010101010101ull * static_cast<unsigned char>(c));
  return (x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull;
}

// The first byte from `p` on that is `a`, `b`, `c` or `d`, or `end`, sixteen
// or eight bytes at a time.
inline const char* FindAny(const char* p, const char* end, char a, char b, char c, char d) {
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b), vc = _mm_set1_epi8(c), vd = _mm_set1_epi8(d);
  for (; end - p >= 16; p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)),
                                     _mm_or_si128(_mm_cmpeq_epi8(v, vc), _mm_cmpeq_epi8(v, vd)));
    if (const int mask = _mm_movemask_epi8(hit)) return p + std::countr_zero(static_cast<unsigned>(mask));
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    for (; end - p >= 8; p += 8) {
      uint64_t word;
      std::memcpy(&word, p, sizeof word);
      const uint64_t hits = BytesEqual(word, a) | BytesEqual(word, b) | BytesEqual(word, c) | BytesEqual(word, d);
      if (hits != 0) return p + std::countr_zero(hits) / 8;
    }
  }
  for (; p != end; ++p)
    if (*p == a || *p == b || *p == c || *p == d) return p;
  return end;
}

// The length of the reference at `amp` (on its "&"), or 0 with what is wrong
// in `why`: only the five predefined entities and references to characters
// up to 0x10FFFF (no surrogates, no 0xFFFE or 0xFFFF) are references; a
// reference to NUL is how a String value holding NUL is written.
size_t ReferenceLength(const char* amp, const char* end, const char*& why) {
  const char* p = amp + 1;
  if (p != end && *p == '#') {
    const bool hex = ++p != end && *p == 'x';
    if (hex) ++p;
    const char* const digits = p;
    uint32_t value = 0;
    for (; p != end && *p != ';'; ++p) {
      const char c = *p;
      uint32_t d;
      if (c >= '0' && c <= '9') d = static_cast<uint32_t>(c - '0');
      else if (hex && c >= 'a' && c <= 'f') d = static_cast<uint32_t>(c - 'a' + 10);
      else if (hex && c >= 'A' && c <= 'F') d = static_cast<uint32_t>(c - 'A' + 10);
      else break;
      value = std::min<uint32_t>(value * (hex ? 16 : 10) + d, 0x110000);
    }
    if (p == end || *p != ';' || p == digits) {
      why = "invalid character reference";
      return 0;
    }
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF) || value == 0xFFFE ||
        value == 0xFFFF) {
      why = "character reference to an invalid character";
      return 0;
    }
    return static_cast<size_t>(p + 1 - amp);
  }
  const char* const nameEnd = NameEnd(p, end);
  if (nameEnd == p || nameEnd == end || *nameEnd != ';') {
    why = "\"&\" that starts no reference";
    return 0;
  }
  const std::string_view name(p, static_cast<size_t>(nameEnd - p));
  if (name == "lt" || name == "gt" || name == "amp" || name == "quot" || name == "apos")
    return static_cast<size_t>(nameEnd + 1 - amp);
  why = "undefined entity";
  return 0;
}

// Where the text after an optional byte order mark and XML declaration
// begins, or null when the declaration is not closed.
const char* AfterDeclaration(const char* p, const char* end) {
  if (StartsWith(p, end, "\xEF\xBB\xBF")) p += 3;
  if (!StartsWith(p, end, "<?xml") || end - p < 6 || !(Is(p[5], kSpace) || p[5] == '?')) return p;
  const void* close = memmem(p + 5, static_cast<size_t>(end - p - 5), "?>", 2);
  return close != nullptr ? static_cast<const char*>(close) + 2 : nullptr;
}

// The whole check, character by character where markup is.
class Checker {
 public:
  explicit Checker(std::string_view text) : begin_(text.data()), p_(text.data()), end_(text.data() + text.size()) {}

  bool Run() {
    if (p_ == end_) return Fail("no root element");
    if (const void* nul = std::memchr(p_, '\0', static_cast<size_t>(end_ - p_)))
      return Fail("NUL character", static_cast<const char*>(nul));
    p_ = AfterDeclaration(p_, end_);
    if (p_ == nullptr) return Fail("unterminated XML declaration", begin_);
    if (!Misc()) return false;
    if (p_ == end_) return Fail("no root element");
    if (!Element()) return false;
    if (!Misc()) return false;
    return p_ == end_ || Fail("a second root element");
  }

  String Error() const { return String(what_) + " at offset " + std::to_string(at_ - begin_); }

  // The start tag at the beginning of the text, alone; `after` is set past it.
  bool OneStartTag(const char*& after) {
    bool empty = false;
    if (!StartTag(empty)) return false;
    after = p_;
    return true;
  }

 private:
  bool Fail(const char* what, const char* at = nullptr) {
    what_ = what;
    at_ = at != nullptr ? at : p_;
    return false;
  }
  bool Ahead(std::string_view s) const { return StartsWith(p_, end_, s); }
  const char* Find(std::string_view s, const char* from) const {
    return static_cast<const char*>(memmem(from, static_cast<size_t>(end_ - from), s.data(), s.size()));
  }
  bool SkipSpace() {
    const char* const start = p_;
    while (p_ != end_ && Is(*p_, kSpace)) ++p_;
    return p_ != start;
  }
  // A name at p_, or an empty view (p_ unmoved) when there is none.
  std::string_view Name() {
    const char* const start = p_;
    p_ = NameEnd(p_, end_);
    return std::string_view(start, static_cast<size_t>(p_ - start));
  }
  bool Reference() {
    const char* why = "";
    const size_t length = ReferenceLength(p_, end_, why);
    if (length == 0) return Fail(why);
    p_ += length;
    return true;
  }

  // Comments, processing instructions and white space outside the root.
  bool Misc() {
    for (;;) {
      SkipSpace();
      if (Ahead("<!--")) {
        if (!Comment()) return false;
      } else if (Ahead("<?")) {
        if (!Instruction()) return false;
      } else if (Ahead("<!")) {
        return Fail(Ahead("<!DOCTYPE") ? "document type declarations are not accepted" : "markup outside the root");
      } else if (p_ != end_ && *p_ != '<') {
        return Fail("text outside the root element");
      } else {
        return true;
      }
    }
  }

  bool Comment() {
    const char* const dashes = Find("--", p_ + 4);
    if (dashes == nullptr) return Fail("unterminated comment");
    if (dashes + 2 == end_ || dashes[2] != '>') return Fail("\"--\" inside a comment", dashes);
    p_ = dashes + 3;
    return true;
  }

  bool Instruction() {
    const char* const start = p_;
    p_ += 2;
    const std::string_view target = Name();
    if (target.empty()) return Fail("invalid processing instruction");
    if (target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l')
      return Fail("XML declaration not at the start", start);
    if (!Ahead("?>") && !SkipSpace()) return Fail("invalid processing instruction");
    const char* const close = Find("?>", p_);
    if (close == nullptr) return Fail("unterminated processing instruction");
    p_ = close + 2;
    return true;
  }

  // A start tag at p_ (on its "<"); `empty` tells whether it closes itself.
  // The parser underneath checks names and matches end tags to start tags.
  bool StartTag(bool& empty) {
    ++p_;
    if (p_ == end_ || !Is(*p_, kNameStart)) return Fail("invalid element name");
    // Without "=" or quotes before its ">" a tag has no attributes.
    const char* const stop = FindAny(p_, end_, '>', '=', '"', '\'');
    if (stop != end_ && *stop == '>') {
      empty = stop[-1] == '/';
      p_ = stop + 1;
      return true;
    }
    Name();
    attributes_.clear();
    for (;;) {
      const bool spaced = SkipSpace();
      if (p_ == end_) return Fail("unterminated start tag");
      if (*p_ == '>' || *p_ == '/') {
        empty = *p_ == '/';
        if (empty && (p_ + 1 == end_ || p_[1] != '>')) return Fail("invalid start tag");
        p_ += empty ? 2 : 1;
        return UniqueAttributes();
      }
      if (!spaced) return Fail("attributes not separated by white space");
      const std::string_view attribute = Name();
      if (attribute.empty()) return Fail("invalid attribute name");
      SkipSpace();
      if (p_ == end_ || *p_ != '=') return Fail("attribute without \"=\"");
      ++p_;
      SkipSpace();
      if (p_ == end_ || (*p_ != '"' && *p_ != '\'')) return Fail("attribute value not quoted");
      const char quote = *p_++;
      for (;;) {
        p_ = FindAny(p_, end_, quote, '<', '&', quote);
        if (p_ == end_) return Fail("unterminated attribute value");
        if (*p_ == quote) break;
        if (*p_ == '<') return Fail("\"<\" in an attribute value");
        if (!Reference()) return false;
      }
      ++p_;
      attributes_.push_back(attribute);
    }
  }

  bool UniqueAttributes() {
    const size_t n = attributes_.size();
    if (n < 2) return true;
    if (n <= 8) {
      for (size_t i = 1; i < n; ++i)
        for (size_t j = 0; j < i; ++j)
          if (attributes_[i] == attributes_[j]) return Fail("duplicate attribute", attributes_[i].data());
      return true;
    }
    // Sorted rather than hashed: no set of names makes this slow.
    std::sort(attributes_.begin(), attributes_.end());
    const auto twin = std::adjacent_find(attributes_.begin(), attributes_.end());
    return twin == attributes_.end() || Fail("duplicate attribute", std::max(twin[0].data(), twin[1].data()));
  }

  // The root element with everything inside it, at p_ (on its "<").
  bool Element() {
    const char* const root = p_;
    bool empty = false;
    if (!StartTag(empty)) return false;
    size_t depth = empty ? 0 : 1;
    while (depth > 0) {
      p_ = FindAny(p_, end_, '<', '&', ']', '<');
      if (p_ == end_) return Fail("unclosed element", root);
      if (*p_ == '&') {
        if (!Reference()) return false;
        continue;
      }
      if (*p_ == ']') {
        if (Ahead("]]>")) return Fail("\"]]>\" in text");
        ++p_;
        continue;
      }
      const char next = p_ + 1 != end_ ? p_[1] : '\0';
      if (next == '/') {
        const void* close = std::memchr(p_, '>', static_cast<size_t>(end_ - p_));
        if (close == nullptr) return Fail("unterminated end tag");
        p_ = static_cast<const char*>(close) + 1;
        --depth;
      } else if (next == '?') {
        if (!Instruction()) return false;
      } else if (next == '!') {
        if (Ahead("<!--")) {
          if (!Comment()) return false;
        } else if (Ahead("<![CDATA[")) {
          const char* const close = Find("]]>", p_ + 9);
          if (close == nullptr) return Fail("unterminated CDATA section");
          p_ = close + 3;
        } else {
          return Fail("markup declaration inside an element");
        }
      } else {
        if (!StartTag(empty)) return false;
        if (!empty) ++depth;
      }
    }
    return true;
  }

  const char* const begin_;
  const char* p_;
  const char* const end_;
  const char* what_ = "";
  const char* at_ = nullptr;
  std::vector<std::string_view> attributes_;  // of the start tag being read
};

// Whether the bytes from `p` to `end` hold only elements, text and valid
// references: nothing that starts "<!" or "<?", no "]]", no NUL, and every
// start tag with attributes well-formed itself. True means that only the
// structure is left to check. A quote in text is fine; at the first quote of
// a start tag the whole tag is checked and the scan goes on after it, so each
// byte is looked at a bounded number of times.
bool OnlyPlainMarkup(const char* p, const char* end) {
  const char* known = p;  // where the scan last knew it was in text
  // A quote at `q`: in text, or in the start tag that the last "<" before it
  // opened, which is then checked; `resume` is set after such a tag.
  const auto quote = [&](const char* q, const char*& resume) {
    const size_t span = static_cast<size_t>(q - known);
    const char* lt = static_cast<const char*>(memrchr(known, '<', span));
    const char* gt = static_cast<const char*>(memrchr(known, '>', span));
    if (lt == nullptr || (gt != nullptr && gt > lt)) {
      known = q + 1;
      return true;
    }
    Checker tag(std::string_view(lt, static_cast<size_t>(end - lt)));
    if (!tag.OneStartTag(resume)) return false;
    known = resume;
    return true;
  };
  const auto plain = [end](const char* at) {
    switch (*at) {
      case '&': {
        const char* why;
        return ReferenceLength(at, end, why) != 0;
      }
      case '<': return at + 1 == end || (at[1] != '!' && at[1] != '?');
      case ']': return at + 1 == end || at[1] != ']';
      default: return false;  // NUL
    }
  };
  const auto visit = [&](const char* at, const char*& resume) {
    return (*at == '"' || *at == '\'') ? quote(at, resume) : plain(at);
  };
#if defined(__SSE2__)
  const __m128i amp = _mm_set1_epi8('&'), lt = _mm_set1_epi8('<'), bracket = _mm_set1_epi8(']');
  const __m128i bang = _mm_set1_epi8('!'), question = _mm_set1_epi8('?');
  const __m128i quot = _mm_set1_epi8('"'), apostrophe = _mm_set1_epi8('\''), zero = _mm_setzero_si128();
  // Sixteen bytes and the byte after them each step: markup of two bytes is
  // seen at its first byte.
  while (end - p > 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
    const __m128i markup =
        _mm_and_si128(_mm_cmpeq_epi8(v, lt), _mm_or_si128(_mm_cmpeq_epi8(next, bang), _mm_cmpeq_epi8(next, question)));
    const __m128i close = _mm_and_si128(_mm_cmpeq_epi8(v, bracket), _mm_cmpeq_epi8(next, bracket));
    const __m128i odd = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, quot), _mm_cmpeq_epi8(v, apostrophe)),
                                     _mm_cmpeq_epi8(v, zero));
    const __m128i hit =
        _mm_or_si128(_mm_or_si128(markup, close), _mm_or_si128(odd, _mm_cmpeq_epi8(v, amp)));
    const char* resume = nullptr;
    for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit)); mask != 0 && resume == nullptr;
         mask &= mask - 1)
      if (!visit(p + std::countr_zero(mask), resume)) return false;
    p = resume != nullptr ? resume : p + 16;
  }
#endif
  while (p != end) {
    const char c = *p;
    const char* resume = nullptr;
    if ((c == '&' || c == '<' || c == ']' || c == '"' || c == '\'' || c == '\0') && !visit(p, resume)) return false;
    p = resume != nullptr ? resume : p + 1;
  }
  return true;
}

}  // namespace

bool CheckWellFormed(std::string_view text, String& error) {
  Checker checker(text);
  if (checker.Run()) return true;
  error = checker.Error();
  return false;
}

WellFormed CheckWellFormedQuickly(std::string_view text, String& error) {
  const char* const end = text.data() + text.size();
  const char* const start = AfterDeclaration(text.data(), end);
  if (start != nullptr && start != end && OnlyPlainMarkup(start, end)) return WellFormed::kIfOneRootElement;
  return CheckWellFormed(text, error) ? WellFormed::kYes : WellFormed::kNo;
}

}  // namespace OFL::internal
