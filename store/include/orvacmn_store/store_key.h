// Record keys of the embedded store: how a key text is read, and how the
// identifying values of a client are normalised so that a lookup value and a
// stored value meet in one index entry. Pure functions; any thread.
#ifndef ORVACMN_STORE_STORE_KEY_H_
#define ORVACMN_STORE_STORE_KEY_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "ofl/string.h"
#include "orvacmn/persistence/record_types.h"

namespace orvacmn::store {

using String = OFL::String;

inline constexpr uint32_t kClientType = kRecordTypeClient;

// Key kinds of client records (1 = GUID, 2 to 7 = identification methods).
enum EClientKeyKind : int {
  eKindAny = 0,  // "*" as the kind: the value under every kind
  eKindGuid = 1,
  eKindMac = 2,
  eKindLaa = 3,
  eKindHost = 4,
  eKindIp = 5,
  eKindDisplayName = 6,
  eKindFqdn = 7,
};

// A client key: the length-packed (value, kind, "*") or (value, kind); a
// missing or empty kind reads as the GUID, and a third entry may be empty
// as well as "*". `all` when the value is "*".
struct ClientKey {
  String value;
  int kind = eKindGuid;
  bool all = false;
};
// False with a readable `error` for a text that is no such key.
bool ParseClientKey(std::string_view packed, ClientKey& key, String& error);

// The key of any other type: the identifying values, optionally ended by
// "*" entries. `prefix` is the length-packed list of the values before the
// first "*", ASCII lower-cased (identities compare without regard to case);
// `wildcard` when a "*" ended it, so that every record whose key begins with
// these values matches. An empty key list is the wildcard with no values.
struct GenericKey {
  String prefix;
  bool wildcard = false;
};
bool ParseGenericKey(std::string_view packed, GenericKey& key, String& error);
// As ParseGenericKey, for a record of `type`: a hardware-component key
// whose exact device id is kKeyGenericDevice names the component of the
// generic id alone, keyed (type, generic, generic).
bool ParseTypeKey(uint32_t type, std::string_view packed, GenericKey& key, String& error);

// A key as typed on a command line, made length-packed: for clients
// "KIND:VALUE" with KIND 1 to 7 or "*", unless the text already reads as a
// length-packed client key; for other types a length-packed text as it is,
// any other text as the one-entry key. False with `error` for a client text
// of neither form.
bool KeyFromCommandLine(uint32_t type, std::string_view text, String& packed, String& error);

// The index values that `value` stands for under `kind`, normalised: GUIDs
// lower case without braces; MACs and LAAs 12 upper-case hex digits (":",
// "-", "." separators dropped), a ";" or "," list giving one each; IPv4
// addresses in canonical dotted form, likewise as a list; host names lower
// case as "host" or "domain\host" (a leading "@" of a workgroup dropped);
// display names and FQDNs lower case (an FQDN without a trailing dot).
// Values that are not valid for the kind give nothing.
std::vector<String> LookupValues(int kind, std::string_view value);

// The stored fields of a client record that the index is built from.
struct ClientFields {
  String guid, displayName, hostName, domain, fqdn;
  String primaryMac, logicalMac, macList, laaList, ipList, primaryIp;
};
// Every (kind, value) index entry of a client, deduplicated, in kind order.
std::vector<std::pair<int, String>> IndexEntries(const ClientFields& fields);

}  // namespace orvacmn::store

#endif  // ORVACMN_STORE_STORE_KEY_H_
