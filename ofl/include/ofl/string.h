// The one String type of the library and its small helpers.
//
// String is std::string holding UTF-8. Case-insensitive operations fold ASCII
// letters only: tags, names and keys of this system are ASCII, and folding
// multi-byte characters would change byte lengths and positions.
#ifndef OFL_STRING_H_
#define OFL_STRING_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace OFL {

using String = std::string;

inline char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }
inline char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

// <0, 0, >0 like strcmp, ignoring ASCII case.
int CompareNoCase(std::string_view a, std::string_view b);
// Inline: records compare every child's tag with their field tags.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  return true;
}
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// Position of the first case-insensitive occurrence of `needle` at or after
// `start`, or String::npos.
size_t FindNoCase(std::string_view hay, std::string_view needle, size_t start = 0);

String ToUpper(std::string_view s);
String ToLower(std::string_view s);
void MakeUpper(String& s);
void MakeLower(String& s);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
// When false and `bad` is given, it receives the offset of the first byte
// that does not fit.
bool IsValidUtf8(std::string_view s, size_t* bad = nullptr);

// White space is blank, tab, CR, LF, vertical tab and form feed.
String Trim(std::string_view s);
String TrimLeft(std::string_view s);
String TrimRight(std::string_view s);

// Replaces every occurrence of `from` (case-sensitive, non-overlapping, left
// to right); returns the count. An empty `from` replaces nothing.
int ReplaceAll(String& s, std::string_view from, std::string_view to);

// Ordering, hashing and equality that ignore ASCII case, for maps and sets.
// The hash is HashNameNoCase (ofl/name_index.h): seeded per process, so sets
// of names from outside cannot be made to collide.
struct LessNoCase {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return CompareNoCase(a, b) < 0; }
};
struct HashNoCase {
  using is_transparent = void;
  size_t operator()(std::string_view s) const;
};
struct EqualNoCase {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

}  // namespace OFL

#endif  // OFL_STRING_H_
