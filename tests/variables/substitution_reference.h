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
  size_t open = String::npos;  // the innermost "{" since the last "}" that stayed
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{') open = i;
    if (text[i] != '}' || open == String::npos) continue;
    const size_t start = open, length = i - start + 1;
    const String name = text.substr(start + 1, length - 2);
    open = String::npos;
    String value;
    bool replaced = false;
    if (vbPolicy == COVKVars::VBScriptNotSupported && !name.empty() && name[0] == '=') {
      value = "<Expression not supported>";
      expressionFound = replaced = true;
    } else if (vbPolicy == COVKVars::VBScriptLookUp || vbPolicy == COVKVars::VBScriptNotSupported) {
      replaced = vars.ReplaceVariable(name, value, policies) != 0;
    }
    if (!replaced) continue;
    if ((policies & COVKVars::SubstitutionEscapeXml) && !value.empty()) value = OFLXMLParser::EscapeText(value, 0);
    // The engine's guard against runaway growth ends the expansion.
    const size_t newLength = text.size() - length + value.size();
    if (newLength > COVKVars::kMaxExpandedLength && newLength > text.size()) return OFLTools::LoadResString(7134);
    if (newLength > giveUpAbove) return std::nullopt;
    text.replace(start, length, value);
    if (++replacements > 1000) return OFLTools::LoadResString(7134);
    i = String::npos;  // the loop's increment makes it 0
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
