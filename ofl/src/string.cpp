#include "ofl/string.h"

#include <algorithm>

#include "ofl/name_index.h"

namespace OFL {

bool IsValidUtf8(std::string_view s, size_t* bad) {
  const auto fail = [&](size_t at) {
    if (bad) *bad = at;
    return false;
  };
  const auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t n;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) n = 2;
    else if (c == 0xE0) n = 3, lo = 0xA0;
    else if (c == 0xED) n = 3, hi = 0x9F;
    else if (c >= 0xE1 && c <= 0xEF) n = 3;
    else if (c == 0xF0) n = 4, lo = 0x90;
    else if (c == 0xF4) n = 4, hi = 0x8F;
    else if (c >= 0xF1 && c <= 0xF3) n = 4;
    else return fail(i);
    if (n > s.size() - i) return fail(i);
    const auto second = static_cast<unsigned char>(s[i + 1]);
    if (second < lo || second > hi) return fail(i);
    for (size_t k = 2; k < n; ++k)
      if (!continuation(s[i + k])) return fail(i);
    i += n;
  }
  return true;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char ca = static_cast<unsigned char>(ToLowerAscii(a[i]));
    const unsigned char cb = static_cast<unsigned char>(ToLowerAscii(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

size_t FindNoCase(std::string_view hay, std::string_view needle, size_t start) {
  if (needle.empty()) return start <= hay.size() ? start : String::npos;
  if (hay.size() < needle.size()) return String::npos;
  const char first = ToLowerAscii(needle[0]);
  for (size_t i = start; i + needle.size() <= hay.size(); ++i) {
    if (ToLowerAscii(hay[i]) != first) continue;
    if (EqualsNoCase(hay.substr(i, needle.size()), needle)) return i;
  }
  return String::npos;
}

String ToUpper(std::string_view s) {
  String r(s);
  MakeUpper(r);
  return r;
}

String ToLower(std::string_view s) {
  String r(s);
  MakeLower(r);
  return r;
}

void MakeUpper(String& s) {
  for (char& c : s) c = ToUpperAscii(c);
}

void MakeLower(String& s) {
  for (char& c : s) c = ToLowerAscii(c);
}

namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
}  // namespace

String TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsSpace(s[b])) ++b;
  return String(s.substr(b));
}

String TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsSpace(s[e - 1])) --e;
  return String(s.substr(0, e));
}

String Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsSpace(s[b])) ++b;
  while (e > b && IsSpace(s[e - 1])) --e;
  return String(s.substr(b, e - b));
}

int ReplaceAll(String& s, std::string_view from, std::string_view to) {
  if (from.empty()) return 0;
  int count = 0;
  String out;
  size_t pos = 0;
  for (size_t hit; (hit = s.find(from, pos)) != String::npos; pos = hit + from.size()) {
    out.append(s, pos, hit - pos).append(to);
    ++count;
  }
  if (count == 0) return 0;
  out.append(s, pos, String::npos);
  s.swap(out);
  return count;
}

size_t HashNoCase::operator()(std::string_view s) const { return HashNameNoCase(s); }

}  // namespace OFL
