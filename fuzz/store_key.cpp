// Arbitrary text as a store key: typed on a command line it always becomes a length-packed key that the store's
// own readers take; read as a packed key it is either refused or understood; lookup values are fixed points.
#include "ofl/tokenizer.h"
#include "orvacmn_store/store_key.h"

#include "check.h"

using namespace orvacmn::store;

FUZZ_TEXT(text) {
  for (uint32_t type : {kClientType, 40u}) {
    String packed, error;
    if (!KeyFromCommandLine(type, text, packed, error)) {
      Check(type == kClientType && !error.empty(), "only a client text may be refused, with a reason");
      continue;
    }
    OFLTokenizer entries;
    Check(entries.FromLengthPackedString(packed) && !entries.IsEmpty(), "command-line key is not length-packed");
    ClientKey client;
    GenericKey generic;
    if (type == kClientType) Check(ParseClientKey(packed, client, error) || entries[0].empty(), "client key refused");
    else Check(ParseGenericKey(packed, generic, error), "generic key refused");
  }

  ClientKey client;
  GenericKey generic;
  String error;
  // "*" as the value, and only that, names every client: no delete takes it.
  if (ParseClientKey(text, client, error))
    Check(!client.value.empty() && client.kind >= 0 && client.kind <= 7 && client.all == (client.value == "*"));
  else Check(!error.empty());
  if (ParseGenericKey(text, generic, error)) {
    OFLTokenizer prefix;
    Check(prefix.FromLengthPackedString(generic.prefix) || generic.prefix.empty(), "prefix is not length-packed");
    Check(generic.wildcard || !generic.prefix.empty() || text.empty() || generic.prefix.empty());
  }

  // Normalising a normalised value changes nothing.
  for (int kind = eKindGuid; kind <= eKindFqdn; ++kind) {
    for (const String& value : LookupValues(kind, text)) {
      const std::vector<String> again = LookupValues(kind, value);
      Check(again.size() == 1 && again[0] == value, "lookup value is no fixed point");
    }
  }
}
