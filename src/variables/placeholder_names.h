// Recognising the special placeholder names, on views so that the expansion
// engine can test names without copying them.
#ifndef ORVACMN_SRC_VARIABLES_PLACEHOLDER_NAMES_H_
#define ORVACMN_SRC_VARIABLES_PLACEHOLDER_NAMES_H_

#include <string_view>

#include "ofl/string.h"

namespace orvacmn {
namespace placeholder {

// "%NAME%": an environment variable of the platform.
inline bool IsEnvironmentName(std::string_view name) {
  return name.size() > 2 && name.front() == '%' && name.back() == '%';
}

constexpr std::string_view kDumpPrefix = "$$Dump$$";

// "$$Dump$$..." (case ignored): the dump of the whole set.
inline bool IsDumpName(std::string_view name) {
  return name.size() >= kDumpPrefix.size() && name[0] == '$' && OFL::StartsWithNoCase(name, kDumpPrefix);
}

// "=...": a VBScript expression.
inline bool IsExpressionName(std::string_view name) { return !name.empty() && name.front() == '='; }

}  // namespace placeholder
}  // namespace orvacmn

#endif  // ORVACMN_SRC_VARIABLES_PLACEHOLDER_NAMES_H_
