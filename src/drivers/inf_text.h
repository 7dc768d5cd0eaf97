// Text helpers shared by the INF reader and parser (not exported).
#ifndef ORVACMN_SRC_DRIVERS_INF_TEXT_H_
#define ORVACMN_SRC_DRIVERS_INF_TEXT_H_

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "orvacmn/common/types.h"

namespace orvacmn {
namespace inf {

// Calls `f(position, character)` for each occurrence of any of `Cs` in
// `s`, in order, until `f` returns false; false when it did. One pass that
// looks at sixteen bytes a step: a line is short and holds few of the
// characters the reader looks for, so separate searches would cost a call
// each for little work.
template <char... Cs, class F>
bool ForEachOf(std::string_view s, F&& f) {
  const char* const p = s.data();
  const size_t n = s.size();
  size_t i = 0;
#if defined(__SSE2__)
  const auto hits = [](const char* at) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    __m128i any = _mm_setzero_si128();
    ((any = _mm_or_si128(any, _mm_cmpeq_epi8(block, _mm_set1_epi8(Cs)))), ...);
    return static_cast<unsigned>(_mm_movemask_epi8(any));
  };
  const auto visit = [&](size_t base, unsigned mask) {
    for (; mask != 0; mask &= mask - 1) {
      const size_t at = base + static_cast<size_t>(__builtin_ctz(mask));
      if (!f(at, p[at])) return false;
    }
    return true;
  };
  for (; i + 16 <= n; i += 16)
    if (!visit(i, hits(p + i))) return false;
  // The rest through the last sixteen bytes, less those already seen.
  if (n >= 16 && i < n) return visit(i, hits(p + n - 16) >> (16 - (n - i)));
#endif
  for (; i < n; ++i)
    if (((p[i] == Cs) || ...) && !f(i, p[i])) return false;
  return true;
}

// The first position of each of `Cs` in `s`, npos for one it lacks.
template <char... Cs>
std::array<size_t, sizeof...(Cs)> FirstOf(std::string_view s) {
  constexpr char kChars[] = {Cs...};
  std::array<size_t, sizeof...(Cs)> first;
  first.fill(std::string_view::npos);
  size_t missing = first.size();
  ForEachOf<Cs...>(s, [&](size_t at, char c) {
    for (size_t k = 0; k < first.size(); ++k)
      if (c == kChars[k]) {
        if (first[k] == std::string_view::npos) first[k] = at, --missing;
        break;
      }
    return missing != 0;
  });
  return first;
}

// The first `C` in `s` at or after `from`, or npos.
template <char C>
size_t Find(std::string_view s, size_t from = 0) {
  if (from >= s.size()) return std::string_view::npos;
  const size_t at = FirstOf<C>(s.substr(from))[0];
  return at == std::string_view::npos ? at : from + at;
}

// The first `C` in `line` outside double quotes (after an even number of
// them), or npos.
template <char C>
size_t FindUnquoted(std::string_view line) {
  size_t found = std::string_view::npos;
  bool quoted = false;
  ForEachOf<C, '"'>(line, [&](size_t at, char c) {
    if (c == '"') {
      quoted = !quoted;
      return true;
    }
    if (quoted) return true;
    found = at;
    return false;
  });
  return found;
}

// Splits "key = value" at the first "=" outside double quotes, both sides
// trimmed; false for a line without one.
bool SplitKeyValue(std::string_view line, std::string_view& key, std::string_view& value);

// Inline: every line of a file goes through them several times.
inline bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }  // " \t\n\v\f\r"

inline std::string_view TrimView(std::string_view s) {
  size_t first = 0, last = s.size();
  while (first < last && IsWhite(s[first])) ++first;
  while (last > first && IsWhite(s[last - 1])) --last;
  return std::string_view(s.data() + first, last - first);
}

inline std::string_view TrimRightView(std::string_view s) {
  size_t last = s.size();
  while (last > 0 && IsWhite(s[last - 1])) --last;
  return std::string_view(s.data(), last);
}

// The length of the line without a comment: up to the first ";" outside
// double quotes, less the white space before it.
size_t CommentEnd(std::string_view line);
// Cuts the line at its CommentEnd.
void CutComment(String& line);
// Without double quotes and blanks at both ends.
inline std::string_view TrimQuotesAndBlanksView(std::string_view s) {
  const auto trimmed = [](char c) { return c == '"' || c == ' ' || c == '\t'; };
  size_t first = 0, last = s.size();
  while (first < last && trimmed(s[first])) ++first;
  while (last > first && trimmed(s[last - 1])) --last;
  return std::string_view(s.data() + first, last - first);
}
String TrimQuotesAndBlanks(std::string_view s);
// The pieces between the separators, each trimmed; empty pieces kept.
std::vector<String> Split(std::string_view text, char separator);
// A value as GetValue gives it: comment cut, double quotes at both ends
// removed.
String ValueText(std::string_view rest);

}  // namespace inf
}  // namespace orvacmn

#endif  // ORVACMN_SRC_DRIVERS_INF_TEXT_H_
