// Arbitrary text as OVO::Properties: the pack is a fixed point that keeps every entry, in name order.
#include "ofl/string.h"
#include "orvacmn/objects/properties.h"

#include "check.h"

FUZZ_TEXT(text) {
  orvacmn::OVO::Properties first, second;
  first.SetProperty("Stale", "1");
  Check(first.Unpack(text) != 0 || first.IsEmpty(), "a failed unpack leaves entries");
  CheckRepack(first, second);
  Check(second.GetCount() == first.GetCount());
  const std::string* previous = nullptr;
  for (const auto& [name, value] : second) {
    Check(!previous || OFL::CompareNoCase(*previous, name) < 0, "entries out of name order");
    previous = &name;
    std::string got;
    Check(first.GetProperty(name, got) && got == value);
  }
}
