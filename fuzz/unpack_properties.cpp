// Unpacks arbitrary text as OVOProperties (either text form); packing,
// unpacking and packing again must give the same text, and the entries must
// come back as they were.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "orvacmn/objects/properties.h"

using orvacmn::OVOProperties;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  OVOProperties first;
  first.SetProperty("Kept", "only an empty text keeps it");
  if (first.Unpack(text) != 1) std::abort();
  if (text.empty() && first.GetReadableForm() != "Kept=only an empty text keeps it") std::abort();
  // XML cannot carry a NUL character, which the older length-packed form can:
  // such an entry is written as a reference that reads back shortened.
  for (const auto& [name, value] : first)
    if (name.find('\0') != std::string::npos || value.find('\0') != std::string::npos) return 0;

  const std::string packed = first.Pack();
  OVOProperties second(packed);
  if (second.Pack() != packed) std::abort();
  if (second.GetReadableForm() != first.GetReadableForm() || second.GetCount() != first.GetCount()) std::abort();
  for (const auto& [name, value] : first) {
    std::string got;
    if (!second.GetProperty(name, got) || got != value) std::abort();
  }
  OVOProperties copy(second);
  copy.DeleteEmptyProperties();
  for (const auto& [name, value] : copy)
    if (value.empty()) std::abort();
  return 0;
}
