#include "ofl/bstr.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
// The length in bytes sits in front of the characters, as the platform's do.
using Prefix = uint32_t;
}  // namespace

BSTR SysAllocStringLen(const char16_t* text, size_t length) {
  if (length > (UINT32_MAX - sizeof(char16_t)) / sizeof(char16_t)) return nullptr;
  auto* block = static_cast<char*>(std::malloc(sizeof(Prefix) + (length + 1) * sizeof(char16_t)));
  if (block == nullptr) return nullptr;
  const Prefix bytes = static_cast<Prefix>(length * sizeof(char16_t));
  std::memcpy(block, &bytes, sizeof bytes);
  auto* chars = reinterpret_cast<char16_t*>(block + sizeof(Prefix));
  if (text != nullptr && length > 0) std::memcpy(chars, text, length * sizeof(char16_t));
  chars[length] = u'\0';
  return chars;
}

void SysFreeString(BSTR text) {
  if (text != nullptr) std::free(reinterpret_cast<char*>(text) - sizeof(Prefix));
}

size_t SysStringLen(const char16_t* text) {
  if (text == nullptr) return 0;
  Prefix bytes;
  std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof(Prefix), sizeof bytes);
  return bytes / sizeof(char16_t);
}

namespace OFL {

// Both conversions write through a pointer into a string sized for the
// worst case (a UTF-8 byte never yields more than one UTF-16 unit, a unit
// never more than three bytes) and copy ASCII runs without decoding: record
// texts are mostly ASCII and cross the store interface twice per call.
std::u16string ToUtf16(std::string_view s) {
  std::u16string out(s.size(), u'\0');
  char16_t* w = out.data();
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      *w++ = c;
      ++i;
      continue;
    }
    uint32_t cp = 0xFFFD;
    size_t n = 1;
    const size_t len = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (len != 0 && i + len <= s.size()) {
      uint32_t v = c & (0x7F >> len);
      bool ok = true;
      for (size_t k = 1; k < len; ++k) {
        const auto d = static_cast<unsigned char>(s[i + k]);
        ok = ok && (d & 0xC0) == 0x80;
        v = v << 6 | (d & 0x3F);
      }
      // Overlong forms, surrogates and values past U+10FFFF are invalid.
      static constexpr uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
      if (ok && v >= kMin[len] && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF)) cp = v, n = len;
    }
    i += n;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      *w++ = char16_t(0xD800 + (cp >> 10));
      *w++ = char16_t(0xDC00 + (cp & 0x3FF));
    } else {
      *w++ = char16_t(cp);
    }
  }
  out.resize(static_cast<size_t>(w - out.data()));
  return out;
}

namespace {

template <class Unit>
bool AllAscii(std::basic_string_view<Unit> s) {
  unsigned bits = 0;  // no early exit: the loop vectorizes
  for (const Unit c : s) bits |= static_cast<unsigned>(c);
  return bits < 0x80;
}

}  // namespace

String FromUtf16(std::u16string_view s) {
  if (AllAscii(s)) {
    String out(s.size(), '\0');
    for (size_t i = 0; i < s.size(); ++i) out[i] = char(s[i]);
    return out;
  }
  String out(s.size() * 3, '\0');
  char* w = out.data();
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t cp = s[i];
    if (cp < 0x80) {
      *w++ = char(cp);
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[++i] - 0xDC00);
    else if (cp >= 0xD800 && cp <= 0xDFFF)
      cp = 0xFFFD;
    if (cp < 0x800) {
      *w++ = char(0xC0 | cp >> 6);
      *w++ = char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      *w++ = char(0xE0 | cp >> 12);
      *w++ = char(0x80 | (cp >> 6 & 0x3F));
      *w++ = char(0x80 | (cp & 0x3F));
    } else {
      // A surrogate pair: two units, four bytes.
      *w++ = char(0xF0 | cp >> 18);
      *w++ = char(0x80 | (cp >> 12 & 0x3F));
      *w++ = char(0x80 | (cp >> 6 & 0x3F));
      *w++ = char(0x80 | (cp & 0x3F));
    }
  }
  out.resize(static_cast<size_t>(w - out.data()));
  return out;
}

ScopedBstr::ScopedBstr(std::string_view utf8) : text_(AllocBstr(utf8)) {}

ScopedBstr& ScopedBstr::operator=(ScopedBstr&& other) noexcept {
  if (this != &other) {
    SysFreeString(text_);
    text_ = std::exchange(other.text_, nullptr);
  }
  return *this;
}

BSTR* ScopedBstr::Out() {
  SysFreeString(std::exchange(text_, nullptr));
  return &text_;
}

BSTR AllocBstr(std::string_view utf8) {
  // Mostly ASCII: widened straight into the string, without a second copy.
  if (AllAscii(utf8)) {
    BSTR out = SysAllocStringLen(nullptr, utf8.size());
    if (out != nullptr)
      for (size_t i = 0; i < utf8.size(); ++i) out[i] = static_cast<unsigned char>(utf8[i]);
    return out;
  }
  const std::u16string wide = ToUtf16(utf8);
  return SysAllocStringLen(wide.data(), wide.size());
}

}  // namespace OFL
