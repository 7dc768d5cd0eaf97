// Message classes known to `ovo message CLASS`, by class name as written in
// the code. A file that adds message classes registers each with a static
// MessageClass, as packable objects register with ObjectClass: an XML message
// (encoding 1) with a factory of a default message, a validating message
// (encoding 2) with a factory that builds one from a text (its From).
#ifndef OVO_TOOL_MESSAGE_CLASSES_H_
#define OVO_TOOL_MESSAGE_CLASSES_H_

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "orvacmn/messages/basic_message.h"
#include "orvacmn/messages/msg_xml_support.h"

namespace ovo {

using XmlMessageFactory = std::function<std::unique_ptr<orvacmn::MsgXmlSupport>()>;
using BasicMessageFactory = std::function<std::unique_ptr<orvacmn::BasicMessage>(const std::string& text)>;

struct MessageFactories {
  XmlMessageFactory xml;      // set for encoding 1
  BasicMessageFactory basic;  // set for encoding 2
};

struct MessageClass {
  MessageClass(const char* className, XmlMessageFactory factory);
  MessageClass(const char* className, BasicMessageFactory factory);
};
const std::map<std::string, MessageFactories>& MessageClasses();

// The usual factories: a default message, or one built by its From(text).
template <class M>
XmlMessageFactory Xml() {
  return [] { return std::make_unique<M>(); };
}
template <class M>
BasicMessageFactory Basic() {
  return [](const std::string& text) { return std::make_unique<M>(M::From(text)); };
}

}  // namespace ovo

#endif  // OVO_TOOL_MESSAGE_CLASSES_H_
