// MsgXmlSupport: the base of the XML messages (encoding 1).
//
// A message has a root element name and a schema number (kept, never written
// and never compared). Pack writes one XML element named after the message;
// Unpack fills the message from such a text and returns 1, or 0 when the
// text holds no root of that name. Child tags match without regard to case,
// unknown ones are skipped and a later duplicate wins. Each class resets, at
// the start of Unpack, what its own contract names (its Clear, or less).
//
// Messages are plain values, used by one thread at a time.
#ifndef ORVACMN_MESSAGES_MSG_XML_SUPPORT_H_
#define ORVACMN_MESSAGES_MSG_XML_SUPPORT_H_

#include <cstdint>
#include <string_view>

#include "ofl/string.h"
#include "ofl/xml_parser.h"
#include "orvacmn/messages/field_list.h"
#include "orvacmn/messages/message_names.h"

namespace orvacmn {

using String = OFL::String;

class MsgXmlSupport {
 public:
  MsgXmlSupport(std::string_view objectName, uint32_t schema) : objectName_(objectName), schema_(schema) {}
  MsgXmlSupport(const MsgXmlSupport&) = default;
  MsgXmlSupport& operator=(const MsgXmlSupport&) = default;
  virtual ~MsgXmlSupport() = default;

  virtual String Pack() const = 0;
  virtual int Unpack(String text) = 0;

  const String& GetObjectName() const { return objectName_; }
  uint32_t GetSchema() const { return schema_; }

 private:
  String objectName_;
  uint32_t schema_;
};

}  // namespace orvacmn

#endif  // ORVACMN_MESSAGES_MSG_XML_SUPPORT_H_
