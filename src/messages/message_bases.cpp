#include <algorithm>
#include <iterator>

#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/messages/basic_message.h"
#include "orvacmn/messages/length_packed.h"
#include "orvacmn/messages/message_names.h"
#include "orvacmn/messages/msg_xml_support.h"

namespace orvacmn {

const MessageCatalogueEntry* FindMessageCatalogueEntry(std::string_view className) {
  const auto it = std::find_if(std::begin(kMessageCatalogue), std::end(kMessageCatalogue),
                               [className](const MessageCatalogueEntry& e) { return e.className == className; });
  return it == std::end(kMessageCatalogue) ? nullptr : &*it;
}

bool MsgXmlSupport::LoadRoot(OFLXMLParser& parser, const String& text) const {
  parser.SetDoc(text);
  return parser.FindElem(objectName_.c_str());
}

void MsgXmlSupport::LoadAnyRoot(OFLXMLParser& parser, const String& text) {
  parser.SetDoc(text);
  parser.FindElem();
}

BasicMessage::operator OFL::ByteBuffer() const { return OFLTools::ConvertCStringToByteBuffer(Serialize()); }

bool BasicMessage::LoadRoot(OFLXMLParser& parser, const String& text) {
  parser.SetDoc(text);
  if (parser.FindElem(objectName_.c_str())) return true;
  Invalidate(String());
  return false;
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
