// BasicMessage: the base of the XML messages that record their own validity
// (encoding 2).
//
// Serialize writes one XML element; Deserialize reads one and never throws:
// what is wrong with the text makes the message invalid with a reason, and
// nothing makes it valid again. Concrete classes are built from a received
// text with their static From(text), which default-constructs the message and
// deserializes it; the caller then reads IsValid() and InvalidationReason().
//
// Messages are plain values, used by one thread at a time.
#ifndef ORVACMN_MESSAGES_BASIC_MESSAGE_H_
#define ORVACMN_MESSAGES_BASIC_MESSAGE_H_

#include <string_view>

#include "ofl/byte_buffer.h"
#include "ofl/string.h"
#include "ofl/xml_parser.h"
#include "orvacmn/messages/field_list.h"
#include "orvacmn/messages/message_names.h"

namespace orvacmn {

using String = OFL::String;

class BasicMessage {
 public:
  explicit BasicMessage(std::string_view objectName) : objectName_(objectName) {}
  BasicMessage(const BasicMessage&) = default;
  BasicMessage& operator=(const BasicMessage&) = default;
  virtual ~BasicMessage() = default;

  virtual String Serialize() const = 0;
  // Returns IsValid() afterwards.
  virtual bool Deserialize(const String& text) = 0;

  const String& GetObjectName() const { return objectName_; }
  bool IsValid() const { return valid_; }
  // Marks the message invalid; a later call replaces the reason.
  void Invalidate(const String& reason) {
    valid_ = false;
    reason_ = reason;
  }
  const String& InvalidationReason() const { return reason_; }

  // The wire text, Serialize(); as bytes, its bytes without terminator.
  operator String() const { return Serialize(); }
  operator OFL::ByteBuffer() const;

 protected:
  // For the plain encoding-2 classes: loads `text` and moves to the root of
  // the object name; when there is none, invalidates with the empty reason
  // and returns false.
  bool LoadRoot(OFLXMLParser& parser, const String& text);

 private:
  String objectName_;
  bool valid_ = true;
  String reason_;
};

}  // namespace orvacmn

#endif  // ORVACMN_MESSAGES_BASIC_MESSAGE_H_
