// The expansion as it is defined, step by step: after every replacement the
// scan starts again at the first character. Quadratic, and kept only to check
// COVKVars::PerformSubstitutions against it (tests, benchmark, fuzz target).
#ifndef ORVACMN_TESTS_VARIABLES_SUBSTITUTION_REFERENCE_H_
#define ORVACMN_TESTS_VARIABLES_SUBSTITUTION_REFERENCE_H_

#include <cstdint>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "orvacmn/variables/ovk_vars.h"

namespace substitution_reference {

using orvacmn::COVKVars;
using orvacmn::String;

inline String PerformSubstitutions(const COVKVars& vars, String& text, bool& expressionFound,
                                   COVKVars::ESubstitutionPolicies policies,
                                   COVKVars::VBScriptExecutionPolicy vbPolicy) {
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
        text.erase(static_cast<size_t>(start), static_cast<size_t>(i - start + 1));
        if (!value.empty())
          text.insert(static_cast<size_t>(start), (policies & 1) ? OFLXMLParser::EscapeText(value, 0) : value);
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

}  // namespace substitution_reference

#endif  // ORVACMN_TESTS_VARIABLES_SUBSTITUTION_REFERENCE_H_
