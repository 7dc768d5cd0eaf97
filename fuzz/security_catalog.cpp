// Arbitrary bytes as a security catalog: a refusal leaves nothing behind, and every attribute read is found again
// by its own name with the value of its first occurrence.
#include <cstdint>
#include <string_view>

#include "ofl/security_catalog.h"
#include "ofl/string.h"

#include "check.h"

namespace {

void CheckLookups(const OFLSecurityCatalog::AttributeList& list) {
  for (size_t i = 0; i < list.size() && i < 16; ++i) {
    OFL::String value;
    Check(OFLSecurityCatalog::FindAttribute(list, OFL::ToLower(list[i].first), value), "attribute not found");
    size_t first = 0;
    while (!OFL::EqualsNoCase(list[first].first, list[i].first)) ++first;
    Check(value == list[first].second, "not the first value");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  OFLSecurityCatalog catalog;
  OFL::String error;
  if (!catalog.OpenBytes(bytes, &error)) {
    Check(!error.empty() && catalog.GetAttributes().empty() && catalog.GetMembers().empty(), "refusal left data");
    return 0;
  }
  CheckLookups(catalog.GetAttributes());
  for (const OFLSecurityCatalog::Member& member : catalog.GetMembers()) CheckLookups(member.attributes);
  // A second read of the same bytes gives the same catalog.
  OFLSecurityCatalog again;
  Check(again.OpenBytes(bytes) && again.GetAttributes() == catalog.GetAttributes() &&
            again.GetMembers().size() == catalog.GetMembers().size(),
        "second read differs");
  return 0;
}
