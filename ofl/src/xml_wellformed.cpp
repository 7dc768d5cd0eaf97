#include "xml_wellformed.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace OFL::internal {

namespace {

// Byte classes, one bit each.
constexpr uint8_t kSpace = 1, kNameStart = 2, kName = 4, kTextStop = 8, kValueStop = 16;

constexpr auto kClass = [] {
  std::array<uint8_t, 256> t{};
  for (const char c : {' ', '\t', '\r', '\n'}) t[static_cast<unsigned char>(c)] |= kSpace;
  for (int c = 0; c < 256; ++c) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (letter || c == '_' || c == ':' || c >= 0x80) t[c] |= kNameStart | kName;
    if ((c >= '0' && c <= '9') || c == '-' || c == '.') t[c] |= kName;
  }
  // Where character data needs a look: markup, references and "]]>".
  for (const char c : {'<', '&', ']'}) t[static_cast<unsigned char>(c)] |= kTextStop;
  // Where an attribute value needs a look: its end, references and "<".
  for (const char c : {'<', '&', '"', '\''}) t[static_cast<unsigned char>(c)] |= kValueStop;
  return t;
}();

inline bool Is(char c, uint8_t cls) { return (kClass[static_cast<unsigned char>(c)] & cls) != 0; }

class Checker {
 public:
  explicit Checker(std::string_view text) : begin_(text.data()), p_(text.data()), end_(text.data() + text.size()) {}

  bool Run() {
    if (p_ == end_) return Fail("no root element");
    if (std::memchr(p_, '\0', static_cast<size_t>(end_ - p_)) != nullptr)
      return Fail("NUL character", static_cast<const char*>(std::memchr(p_, '\0', static_cast<size_t>(end_ - p_))));
    if (Ahead("\xEF\xBB\xBF")) p_ += 3;
    if (Ahead("<?xml") && p_ + 5 < end_ && (Is(p_[5], kSpace) || p_[5] == '?')) {
      const char* close = Find("?>", p_ + 5);
      if (close == nullptr) return Fail("unterminated XML declaration");
      p_ = close + 2;
    }
    if (!Misc()) return false;
    if (p_ == end_) return Fail("no root element");
    if (!Element()) return false;
    if (!Misc()) return false;
    return p_ == end_ || Fail("a second root element");
  }

  String Error() const { return String(what_) + " at offset " + std::to_string(at_ - begin_); }

 private:
  bool Fail(const char* what, const char* at = nullptr) {
    what_ = what;
    at_ = at != nullptr ? at : p_;
    return false;
  }
  bool Ahead(std::string_view s) const {
    return static_cast<size_t>(end_ - p_) >= s.size() && std::memcmp(p_, s.data(), s.size()) == 0;
  }
  const char* Find(std::string_view s, const char* from) const {
    const void* hit = memmem(from, static_cast<size_t>(end_ - from), s.data(), s.size());
    return static_cast<const char*>(hit);
  }
  bool SkipSpace() {
    const char* const start = p_;
    while (p_ != end_ && Is(*p_, kSpace)) ++p_;
    return p_ != start;
  }
  // A name at p_, or an empty view (p_ unmoved) when there is none.
  std::string_view Name() {
    if (p_ == end_ || !Is(*p_, kNameStart)) return {};
    const char* const start = p_;
    for (++p_; p_ != end_ && Is(*p_, kName);) ++p_;
    return std::string_view(start, static_cast<size_t>(p_ - start));
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
    p_ += 2;
    const std::string_view target = Name();
    if (target.empty()) return Fail("invalid processing instruction");
    if (target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' && (target[2] | 0x20) == 'l')
      return Fail("XML declaration not at the start", target.data() - 2);
    if (!Ahead("?>") && !SkipSpace()) return Fail("invalid processing instruction");
    const char* const close = Find("?>", p_);
    if (close == nullptr) return Fail("unterminated processing instruction");
    p_ = close + 2;
    return true;
  }

  // A reference at p_ (on its "&").
  bool Reference() {
    const char* const amp = p_++;
    if (p_ != end_ && *p_ == '#') {
      ++p_;
      const bool hex = p_ != end_ && *p_ == 'x';
      if (hex) ++p_;
      uint32_t value = 0;
      const char* const digits = p_;
      for (; p_ != end_ && *p_ != ';'; ++p_) {
        const char c = *p_;
        uint32_t d;
        if (c >= '0' && c <= '9') d = static_cast<uint32_t>(c - '0');
        else if (hex && c >= 'a' && c <= 'f') d = static_cast<uint32_t>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F') d = static_cast<uint32_t>(c - 'A' + 10);
        else return Fail("invalid character reference", amp);
        value = std::min<uint32_t>(value * (hex ? 16 : 10) + d, 0x110000);
      }
      if (p_ == end_ || p_ == digits) return Fail("invalid character reference", amp);
      if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF) || value == 0xFFFE || value == 0xFFFF)
        return Fail("character reference to an invalid character", amp);
      ++p_;
      return true;
    }
    const std::string_view name = Name();
    if (name.empty() || p_ == end_ || *p_ != ';') return Fail("\"&\" that starts no reference", amp);
    ++p_;
    if (name == "lt" || name == "gt" || name == "amp" || name == "quot" || name == "apos") return true;
    return Fail("undefined entity", amp);
  }

  // A start tag at p_ (on its "<"); `empty` tells whether it closes itself.
  bool StartTag(std::string_view& name, bool& empty) {
    ++p_;
    name = Name();
    if (name.empty()) return Fail("invalid element name");
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
        while (p_ != end_ && !Is(*p_, kValueStop)) ++p_;
        if (p_ == end_) return Fail("unterminated attribute value");
        if (*p_ == quote) break;
        if (*p_ == '<') return Fail("\"<\" in an attribute value");
        if (*p_ == '&') {
          if (!Reference()) return false;
        } else {
          ++p_;  // the other quote
        }
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
    std::string_view name;
    bool empty = false;
    if (!StartTag(name, empty)) return false;
    if (empty) return true;
    open_.push_back(name);
    while (!open_.empty()) {
      // Character data up to the next markup or reference.
      for (;;) {
        while (p_ != end_ && !Is(*p_, kTextStop)) ++p_;
        if (p_ == end_) return Fail("unclosed element", open_.back().data() - 1);
        if (*p_ == '<') break;
        if (*p_ == '&') {
          if (!Reference()) return false;
        } else if (Ahead("]]>")) {
          return Fail("\"]]>\" in text");
        } else {
          ++p_;
        }
      }
      if (Ahead("</")) {
        const char* const tag = p_;
        p_ += 2;
        const std::string_view closing = Name();
        SkipSpace();
        if (closing != open_.back() || p_ == end_ || *p_ != '>') return Fail("end tag does not match its start tag", tag);
        ++p_;
        open_.pop_back();
      } else if (Ahead("<!--")) {
        if (!Comment()) return false;
      } else if (Ahead("<![CDATA[")) {
        const char* const close = Find("]]>", p_ + 9);
        if (close == nullptr) return Fail("unterminated CDATA section");
        p_ = close + 3;
      } else if (Ahead("<?")) {
        if (!Instruction()) return false;
      } else if (Ahead("<!")) {
        return Fail("markup declaration inside an element");
      } else {
        if (!StartTag(name, empty)) return false;
        if (!empty) open_.push_back(name);
      }
    }
    return true;
  }

  const char* const begin_;
  const char* p_;
  const char* const end_;
  const char* what_ = "";
  const char* at_ = nullptr;
  std::vector<std::string_view> open_;        // names of the open elements
  std::vector<std::string_view> attributes_;  // of the start tag being read
};

}  // namespace

bool CheckWellFormed(std::string_view text, String& error) {
  Checker checker(text);
  if (checker.Run()) return true;
  error = checker.Error();
  return false;
}

}  // namespace OFL::internal
