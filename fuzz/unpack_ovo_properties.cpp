// Unpacks arbitrary text as OVO::Properties; packing, unpacking and packing
// again must give the same text, with the entries in name order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ofl/string.h"
#include "orvacmn/objects/properties.h"

using orvacmn::OVO::Properties;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  Properties first;
  first.SetProperty("Stale", "1");
  const int found = first.Unpack(text);
  if (found == 0 && !first.IsEmpty()) std::abort();  // a failed unpack leaves it cleared

  const std::string packed = first.Pack();
  const Properties second(packed);
  if (second.Pack() != packed) std::abort();
  if (second.GetCount() != first.GetCount()) std::abort();
  const std::string* previous = nullptr;
  for (const auto& [name, value] : second) {
    if (previous && OFL::CompareNoCase(*previous, name) >= 0) std::abort();
    previous = &name;
    std::string got;
    if (!first.GetProperty(name, got) || got != value) std::abort();
  }
  return 0;
}
