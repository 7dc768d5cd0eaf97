// OVOXMLSupport: the base of every business object.
//
// An object has an object name (the tag of the root element of its packed
// text) and a schema number (carried, never written). Pack turns the object
// into one XML element without declaration or whitespace; Unpack fills it
// from such a text, ignoring unknown child tags, matching child tags without
// regard to case, and keeping defaults for missing nodes; Clear restores the
// defaults.
//
// Two ways of deriving exist. Internal style: override only InternalPack,
// InternalUnpack and InternalClear. Whole-object style: override Pack,
// Unpack(const String&) and Clear; such a class is unpacked only from a text,
// so containers hand it the child's markup (GetChildSubDoc). A class that
// overrides one Unpack should add `using OVOXMLSupport::Unpack;`.
#ifndef ORVACMN_OBJECTS_XML_SUPPORT_H_
#define ORVACMN_OBJECTS_XML_SUPPORT_H_

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <typeinfo>

#include "ofl/string.h"
#include "ofl/xml_parser.h"
#include "orvacmn/objects/catalogue.h"

namespace orvacmn {

using String = OFL::String;

class OVOXMLSupport {
 public:
  // The empty object name and schema 0.
  OVOXMLSupport() = default;
  OVOXMLSupport(const String& objectName, uint32_t schema) : objectName_(objectName), schema_(schema) {}
  // The pair of a catalogued class: OVOXMLSupport(CatalogueEntryFor("OVOJob")).
  explicit OVOXMLSupport(const CatalogueEntry& entry) : objectName_(entry.objectName), schema_(entry.schema) {}
  OVOXMLSupport(const OVOXMLSupport&) = default;
  OVOXMLSupport& operator=(const OVOXMLSupport&) = default;
  virtual ~OVOXMLSupport() = default;

  // Opening tag of the object name, InternalPack(), closing tag.
  virtual String Pack() const;
  // Appends exactly what Pack() returns. The default appends Pack(); a class
  // may override both to write in place, and then does so only for objects of
  // exactly its class (IsExactly), so that a subclass overriding InternalPack
  // or Pack is still honoured. Containers pack their elements through it.
  virtual void AppendPack(String& out) const;
  // 1 if the parser's current child element carries the object name (case
  // ignored): steps into it, runs InternalUnpack and steps out. Otherwise 0,
  // and neither the parser nor the object changes. Does not clear first.
  virtual int Unpack(OFLXMLParser& parser);
  // Clears, then 1 if the text holds a root element with exactly the object
  // name (and fills the object from it), else 0 with the object cleared.
  virtual int Unpack(const String& text);
  // What Unpack(const String&) gives for the markup of the element that
  // `loaded` holds as its document (a parser reading another's child where it
  // stands, OFLXMLParser::SetDocFromChild), without printing and parsing that
  // markup again. The base clears and reads the root of the object name
  // through InternalUnpack. A class that overrides Unpack(const String&)
  // overrides this too, so that containers can read it in place (OVOList
  // does so only when both are declared by the same class).
  virtual int UnpackLoaded(OFLXMLParser& loaded);
  // Restores the defaults (calls InternalClear).
  virtual void Clear();

  const String& GetObjectName() const { return objectName_; }
  uint32_t GetSchema() const { return schema_; }
  String GetObjectOpeningTag() const;

 protected:
  // The field nodes between the object's tags; the base writes nothing.
  virtual String InternalPack() const;
  // Reads the children of the element the parser's main cursor stands on.
  virtual void InternalUnpack(OFLXMLParser& parser);
  virtual void InternalClear();

  void SetObjectNameAndSchema(const String& objectName, uint32_t schema) {
    objectName_ = objectName;
    schema_ = schema;
  }
  void SetObjectNameAndSchema(const CatalogueEntry& entry) {
    objectName_.assign(entry.objectName);
    schema_ = entry.schema;
  }

  // For containers, which know the exact class of an element. The second
  // half of the base Unpack(const String&), on a document already loaded
  // (and `object` already cleared): 1 and InternalUnpack when the document's
  // root has exactly the object name, else 0.
  static int UnpackLoadedRoot(OVOXMLSupport& object, OFLXMLParser& loaded);
  // Appends what the base Pack gives: the tags around InternalPack().
  static void AppendBasePack(String& out, const OVOXMLSupport& object);
  // For a class whose Pack and AppendPack write its text directly instead of
  // through InternalPack: true when this object is exactly of class C. A
  // subclass may override InternalPack, so it packs as the base does.
  template <class C>
  bool IsExactly() const {
    return typeid(*this) == typeid(C);
  }

 private:
  String objectName_;
  uint32_t schema_ = 0;
};

// Reads every child of the parser's main element: `fn(tag, parser)` is called
// with the parser's child cursor on each child in document order (`tag` lasts
// for the call). The helper of InternalUnpack and whole-object Unpack loops.
// A `fn` that takes the tag as a std::string_view gets a view of the
// document's own name, without a copy.
template <class Fn>
void ForEachChild(OFLXMLParser& parser, Fn&& fn) {
  parser.ResetChildPos();
  if constexpr (std::is_invocable_v<Fn&, std::string_view, OFLXMLParser&>) {
    parser.ForEachChildElem([&](std::string_view t) { fn(t, parser); });
  } else {
    String tag;  // one buffer for all tags
    parser.ForEachChildElem([&](std::string_view t) {
      tag.assign(t);
      fn(static_cast<const String&>(tag), parser);
    });
  }
}

}  // namespace orvacmn

#endif  // ORVACMN_OBJECTS_XML_SUPPORT_H_
