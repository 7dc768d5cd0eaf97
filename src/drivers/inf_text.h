// Text helpers shared by the INF reader and parser (not exported).
#ifndef ORVACMN_SRC_DRIVERS_INF_TEXT_H_
#define ORVACMN_SRC_DRIVERS_INF_TEXT_H_

#include <string_view>
#include <vector>

#include "orvacmn/common/types.h"

namespace orvacmn {
namespace inf {

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
