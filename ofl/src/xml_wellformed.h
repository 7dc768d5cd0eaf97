// The well-formedness check that OFLXMLParser runs before it parses a text.
//
// The parser underneath is lenient: it takes text before or after the root,
// several roots, undefined entities, a bare "&", duplicate attributes and "<"
// in attribute values. A text that is not one XML document could then pass
// for one, and a reader that falls back to another form (the older
// length-packed bag) would never see it.
#ifndef OFL_SRC_XML_WELLFORMED_H_
#define OFL_SRC_XML_WELLFORMED_H_

#include <string_view>

#include "ofl/string.h"

namespace OFL::internal {

// True when `text` is one well-formed XML document: an optional UTF-8 byte
// order mark and XML declaration, then comments, processing instructions and
// white space around exactly one root element; matching tags, unique
// attributes, quoted attribute values without "<", only the five predefined
// entities and character references of valid code points, no "]]>" in text
// and no "--" in comments. Two deliberate differences from the letter of XML
// 1.0: document type declarations are refused (the system never writes one,
// and entity declarations are a way to blow up a parser), and control
// characters are accepted raw or as references, NUL as a reference only
// ("&#0;"), since String values may hold them and the writers pass them
// through. Bytes from 0x80 on are not checked as UTF-8: values are the
// caller's bytes. Otherwise false, with what is wrong and its offset in
// `error`.
bool CheckWellFormed(std::string_view text, String& error);

enum class WellFormed { kNo, kYes, kIfOneRootElement };

// The same answer, quicker for the usual text: one that holds nothing but
// elements without attributes, text and valid references (after an optional
// byte order mark and declaration) is kIfOneRootElement without a look at its
// structure. The caller then parses it with parse_fragment, which keeps text
// outside the root, and requires that the document holds exactly one node,
// an element; the parser checks the rest. Any other text gets CheckWellFormed.
WellFormed CheckWellFormedQuickly(std::string_view text, String& error);

}  // namespace OFL::internal

#endif  // OFL_SRC_XML_WELLFORMED_H_
