// Arbitrary text as a hive file of the registry stand-in: what parses
// serialises to a text that parses to the same hive.
#include "ofl/registry.h"

#include "check.h"

FUZZ_TEXT(text) {
  OFLRegistry::Hive hive;
  if (!hive.Parse(text)) return;
  const std::string once = hive.Serialize();
  OFLRegistry::Hive again;
  Check(again.Parse(once) && again.Serialize() == once, "the hive does not read back");
}
