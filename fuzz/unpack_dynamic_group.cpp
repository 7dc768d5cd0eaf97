// Arbitrary text as a dynamic group and an SQL condition, whose packs are fixed points, and as a statement whose
// WHERE position, when there is one, stands on a "where" outside quotes and parentheses.
#include <algorithm>
#include <string>

#include "ofl/string.h"
#include "orvacmn/directory/dynamic_group.h"

#include "check.h"

using orvacmn::OVODynamicGroup;
using orvacmn::OvoSqlCondition;

namespace {

// Whether `pos` lies outside every quoted text and every parenthesis: the
// statement is cut into quoted runs and the rest, and only the rest counts
// parentheses.
bool OutsideQuotesAndParentheses(const std::string& s, size_t pos) {
  long long open = 0;
  size_t i = 0;
  while (i < pos) {
    const size_t quote = s.find_first_of("'\"", i);
    const size_t plainEnd = std::min(quote, pos);
    for (size_t k = i; k < plainEnd; ++k) open += s[k] == '(' ? 1 : s[k] == ')' ? -1 : 0;
    if (quote >= pos) return open < 1;
    const size_t close = s.find(s[quote], quote + 1);
    if (close == std::string::npos || close >= pos) return false;
    i = close + 1;
  }
  return open < 1;
}

}  // namespace

FUZZ_TEXT(text) {
  OVODynamicGroup group(text), groupAgain;
  CheckRepack(group, groupAgain);
  Check(groupAgain == group, "dynamic group differs after a round trip");
  OVODynamicGroup copy(groupAgain);
  Check(copy.Pack() == groupAgain.Pack(), "copy differs");
  copy.SetIconMode(copy.GetIconMode());
  Check(copy.GetOptions() == group.GetOptions(), "icon mode changes other bits");

  OvoSqlCondition condition(text), conditionAgain;
  CheckRepack(condition, conditionAgain);
  Check(conditionAgain == condition, "condition differs after a round trip");

  for (const std::string* statement : {&text, &group.GetStatement(), &condition.GetStatement()}) {
    const int pos = orvacmn::FindWhereKeyword(*statement);
    Check(pos >= -1, "position below -1");
    if (pos < 0) continue;
    Check(OFL::EqualsNoCase(statement->substr(static_cast<size_t>(pos), 5), "where"), "not a where");
    Check(pos + 5 < static_cast<int>(statement->size()) &&
              std::string(" \r\n\t(").find((*statement)[static_cast<size_t>(pos) + 5]) != std::string::npos,
          "where not followed by a separator");
    Check(OutsideQuotesAndParentheses(*statement, static_cast<size_t>(pos)), "where inside quotes or parentheses");
  }
  OVODynamicGroup::GenerateViewName(text);
}
