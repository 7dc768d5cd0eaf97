// The expansion as it is defined, step by step: after every replacement the
// scan starts again at the first character. Quadratic, and kept only to check
// COVKVars::PerformSubstitutions against it (tests, benchmark, fuzz target).
#ifndef ORVACMN_TESTS_VARIABLES_SUBSTITUTION_REFERENCE_H_
#define ORVACMN_TESTS_VARIABLES_SUBSTITUTION_REFERENCE_H_

#include <cstdint>
#include <optional>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "orvacmn/variables/ovk_vars.h"

namespace substitution_reference {

using orvacmn::COVKVars;
using orvacmn::String;

// As PerformSubstitutions; gives up (no result) as soon as the text gets
// longer than `giveUpAbove`, for callers that cannot wait for long texts.
inline std::optional<String> PerformSubstitutionsUpTo(const COVKVars& vars, String& text, bool& expressionFound,
                                                      COVKVars::ESubstitutionPolicies policies,
                                                      COVKVars::VBScriptExecutionPolicy vbPolicy,
                                                      size_t giveUpAbove) {
  expressionFound = false;
  int replacements = 0;
  int64_t start = -1;
  String name;
  for (int64_t i = 0; i < static_cast<int64_t>(text.size()); ++i) {
    const char c = text[static_cast<size_t>(i)];
    if (c == '{') {
      name.clear();
      start = i;
    } else if (start == -1 || c != '}') {
      name += c;
    } else {
      String value;
      int replaced = 0;
      if (vbPolicy == 0) {
        replaced = vars.ReplaceVariable(name, value, policies);
      } else if (vbPolicy == 1) {
        if (!name.empty() && name[0] == '=') {
          value = "<Expression not supported>";
          expressionFound = true;
          replaced = 1;
        } else {
          replaced = vars.ReplaceVariable(name, value, policies);
        }
      }
      name.clear();
      if (replaced) {
        const String inserted = (policies & 1) && !value.empty() ? OFLXMLParser::EscapeText(value, 0) : value;
        // The engine's guard against runaway growth: a replacement that
        // would make the text grow beyond the limit ends the expansion.
        const size_t newLength = text.size() - static_cast<size_t>(i - start + 1) + inserted.size();
        if (newLength > COVKVars::kMaxExpandedLength && newLength > text.size())
          return OFLTools::LoadResString(7134);
        if (newLength > giveUpAbove) return std::nullopt;
        text.erase(static_cast<size_t>(start), static_cast<size_t>(i - start + 1));
        if (!inserted.empty()) text.insert(static_cast<size_t>(start), inserted);
        if (++replacements > 1000) return OFLTools::LoadResString(7134);
        start = -1;
        i = -1;  // the loop's increment makes it 0
      } else {
        start = -1;
      }
    }
  }
  return text;
}

inline String PerformSubstitutions(const COVKVars& vars, String& text, bool& expressionFound,
                                   COVKVars::ESubstitutionPolicies policies,
                                   COVKVars::VBScriptExecutionPolicy vbPolicy) {
  return *PerformSubstitutionsUpTo(vars, text, expressionFound, policies, vbPolicy, SIZE_MAX);
}

}  // namespace substitution_reference

#endif  // ORVACMN_TESTS_VARIABLES_SUBSTITUTION_REFERENCE_H_
