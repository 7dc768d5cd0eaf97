// Arbitrary text as OVOProperties (either text form): the pack is a fixed point that keeps every entry.
#include "orvacmn/objects/properties.h"

#include "check.h"

using orvacmn::OVOProperties;

FUZZ_TEXT(text) {
  OVOProperties first, second;
  first.SetProperty("Kept", "only an empty text keeps it");
  Check(first.Unpack(text) == 1);
  Check(!text.empty() || first.GetReadableForm() == "Kept=only an empty text keeps it");
  // XML cannot carry a NUL, which the older length-packed form can: it is written as a reference that reads back cut.
  for (const auto& [name, value] : first)
    if (name.find('\0') != std::string::npos || value.find('\0') != std::string::npos) return;

  CheckRepack(first, second);
  Check(second.GetReadableForm() == first.GetReadableForm() && second.GetCount() == first.GetCount());
  for (const auto& [name, value] : first) {
    std::string got;
    Check(second.GetProperty(name, got) && got == value);
  }
  OVOProperties copy(second);
  copy.DeleteEmptyProperties();
  for (const auto& [name, value] : copy) Check(!value.empty());
}
