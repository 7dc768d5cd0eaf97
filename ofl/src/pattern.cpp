// Wildcard matching of version texts against licence filters.
#include <cstddef>
#include <string_view>

#include "ofl/string.h"
#include "ofl/tools.h"

namespace OFL {
namespace Tools {
namespace {

// Length of the character at `i`: a complete UTF-8 sequence, else one byte,
// so that "?" never splits a character and malformed text still advances.
size_t CharLength(std::string_view s, size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  size_t n = 1;
  if (lead >= 0xC2 && lead <= 0xDF) n = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) n = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) n = 4;
  if (n > s.size() - i) return 1;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  return n;
}

}  // namespace

// Greedy: a star first matches nothing; on a mismatch only the most recent
// star takes one more character. Earlier stars never need to, since the last
// star can absorb whatever they would have, so there is no recursion and no
// exponential blow-up.
bool MatchPattern(std::string_view text, std::string_view pattern) {
  size_t t = 0, p = 0;
  size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = ++p;
      starT = t;
      continue;
    }
    if (p < pattern.size()) {
      const size_t tl = CharLength(text, t);
      if (pattern[p] == '?') {
        ++p;
        t += tl;
        continue;
      }
      const size_t pl = CharLength(pattern, p);
      if (pl == tl && EqualsNoCase(text.substr(t, tl), pattern.substr(p, pl))) {
        p += pl;
        t += tl;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    p = starP;
    starT += CharLength(text, starT);
    t = starT;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace Tools
}  // namespace OFL
