// An arbitrary list text and value. The first byte picks the type (MAC, IP,
// text), the second the mode; the rest is the list text, then a newline and
// the value. Each check answers the mode, 1 or 0 and names a kept entry, and
// a list set again from its kept entries keeps the same.
#include "orvacmn/server/black_white_list.h"

#include "check.h"

using orvacmn::CBlackWhiteList;

FUZZ_TEXT(text) {
  if (text.size() < 2) return;
  const auto type = static_cast<orvacmn::EBlackWhiteListType>(static_cast<unsigned char>(text[0]) % 3);
  const int mode = static_cast<unsigned char>(text[1]) % 3;
  const std::string rest = text.substr(2);
  const size_t newline = rest.find('\n');
  const std::string listText = rest.substr(0, newline);
  const std::string value = newline == std::string::npos ? std::string() : rest.substr(newline + 1);

  const CBlackWhiteList list(listText, type, mode);
  std::string matched;
  const int result = list.Check(value, &matched);
  Check(matched.empty() ? result == (mode == 0 ? 1 : 0) : result == mode, "result and deciding entry disagree");
  bool kept = matched.empty();
  std::string joined;
  for (int i = 0; i < list.GetCount(); ++i) {
    kept = kept || list.GetEntry(i) == matched;
    joined += list.GetEntry(i) + ";";
  }
  Check(kept, "deciding entry not kept");
  const CBlackWhiteList again(joined, type, mode);
  Check(again.Describe() == list.Describe(), "kept entries read differently");
  Check(again.Check(value) == result, "kept entries decide differently");
}
