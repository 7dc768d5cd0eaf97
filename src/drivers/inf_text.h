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
std::string_view TrimView(std::string_view s);
std::string_view TrimRightView(std::string_view s);
// The length of the line without a comment: up to the first ";" outside
// double quotes, less the white space before it.
size_t CommentEnd(std::string_view line);
// Cuts the line at its CommentEnd.
void CutComment(String& line);
// Without double quotes and blanks at both ends.
std::string_view TrimQuotesAndBlanksView(std::string_view s);
String TrimQuotesAndBlanks(std::string_view s);
// The pieces between the separators, each trimmed; empty pieces kept.
std::vector<String> Split(std::string_view text, char separator);
// A value as GetValue gives it: comment cut, double quotes at both ends
// removed.
String ValueText(std::string_view rest);

}  // namespace inf
}  // namespace orvacmn

#endif  // ORVACMN_SRC_DRIVERS_INF_TEXT_H_
