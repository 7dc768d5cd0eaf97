#include <algorithm>
#include <iterator>

#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/messages/basic_message.h"
#include "orvacmn/messages/length_packed.h"
#include "orvacmn/messages/message_names.h"
#include "orvacmn/messages/msg_xml_support.h"
#include "message_fields.h"

namespace orvacmn {

const MessageCatalogueEntry* FindMessageCatalogueEntry(std::string_view className) {
  const auto it = std::find_if(std::begin(kMessageCatalogue), std::end(kMessageCatalogue),
                               [className](const MessageCatalogueEntry& e) { return e.className == className; });
  return it == std::end(kMessageCatalogue) ? nullptr : &*it;
}

BasicMessage::operator OFL::ByteBuffer() const { return OFLTools::ConvertCStringToByteBuffer(Serialize()); }

bool BasicMessage::LoadRoot(OFLXMLParser& parser, const String& text) {
  parser.SetDoc(text);
  if (parser.FindElem(objectName_.c_str())) return true;
  Invalidate(String());
  return false;
}

// The markup between the child's own tags, as the parser prints it: the
// exact inverse of inserting a text unchanged between those tags.
void msg_fields::InnerMarkup::Get(OFLXMLParser& p, String& m) {
  const String doc = p.GetChildSubDoc();
  m.clear();
  char quote = 0;
  size_t end = String::npos;
  for (size_t i = 0; i < doc.size(); ++i) {
    const char c = doc[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      end = i;
      break;
    }
  }
  if (end == String::npos || doc[end - 1] == '/') return;
  const size_t close = doc.rfind('<');
  if (close == String::npos || close <= end) return;
  m = doc.substr(end + 1, close - end - 1);
}

namespace length_packed {

OFL::String Pack(std::initializer_list<std::string_view> fields) {
  OFLTokenizer list;
  for (std::string_view f : fields) list.AddString(f);
  return list.AsLengthPackedString();
}

int32_t Unpack(std::string_view text, std::initializer_list<OFL::String*> fields) {
  OFLTokenizer list;
  list.FromLengthPackedString(text);  // a malformed text leaves the list empty
  int32_t i = 0;
  for (OFL::String* f : fields) {
    if (f != nullptr) *f = list.GetAt(i);
    ++i;
  }
  return list.GetCount();
}

}  // namespace length_packed

}  // namespace orvacmn
