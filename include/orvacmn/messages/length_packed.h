// Encoding 3: a message as a length-packed list of Strings (OFLTokenizer),
// its fields in member order, without XML and without its root name.
// Stateless helpers for the classes that travel so; any thread.
#ifndef ORVACMN_MESSAGES_LENGTH_PACKED_H_
#define ORVACMN_MESSAGES_LENGTH_PACKED_H_

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "ofl/string.h"

namespace orvacmn::length_packed {

// The fields, in order, as one length-packed String.
OFL::String Pack(std::initializer_list<std::string_view> fields);
// Assigns entry i of the length-packed `text` to *fields[i]; a missing entry
// (a shorter list, or a text that is not length-packed) gives the empty
// String. Null pointers skip their entry. Returns the number of entries the
// text holds (0 for a malformed text).
int32_t Unpack(std::string_view text, std::initializer_list<OFL::String*> fields);

}  // namespace orvacmn::length_packed

#endif  // ORVACMN_MESSAGES_LENGTH_PACKED_H_
