// OVOKeptChildrenObject: the base of records whose content the library does
// not interpret, or interprets only in part.
//
// A class names its object (catalogue pair) and declares the fields it reads:
// Strings by tag (case ignored), or nested elements kept as their markup for
// a typed accessor to read. Every other child element is kept as it came, in
// document order, and written back unchanged, so a record written by another
// program survives a load and a save.
//
// Read from a text (Unpack(const String&)), the record keeps the bytes of the
// source: the root's start and end tag with any attributes, and each kept
// element together with the text, comments and instructions before it. A
// declared field stays at its place and is written from its own markup as
// long as its value is the one read; a changed field is written at the same
// place from its new value. Declared fields the text did not hold are written
// after the start tag, in declaration order, when not empty. So a text reads
// and packs back to itself byte for byte. Read where it stands inside another
// object (Unpack(OFLXMLParser&), containers), the markup is the parser's
// print of each element, without the text between elements.
//
// A subclass may read further children itself (ReadKnown) and write them
// first (PackKnown); those are written in its own form and order.
//
// Objects carry no locks; one thread at a time per object.
#ifndef ORVACMN_RECORDS_KEPT_CHILDREN_OBJECT_H_
#define ORVACMN_RECORDS_KEPT_CHILDREN_OBJECT_H_

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "orvacmn/objects/xml_support.h"

namespace OFL::Xml {
struct RootSpans;
}  // namespace OFL::Xml

namespace orvacmn {

// A field a class reads itself.
struct KeptField {
  enum Kind : uint8_t {
    kText,     // the element's text: a String
    kElement,  // the whole element, a nested object or list, kept as markup
  };
  std::string_view tag;
  Kind kind = kText;
  // Part of the record's key: the store's operations build keys from it.
  bool key = false;
};

class OVOKeptChildrenObject : public OVOXMLSupport {
 public:
  using OVOXMLSupport::Unpack;
  // The source's tags around what InternalPack() gives.
  String Pack() const override;
  // Clears, then reads the root of the object name and keeps the source's
  // bytes as above. 1 when the root is found, else 0 (object cleared).
  int Unpack(const String& text) override;

  // The kept child elements, each one element's markup, in document order.
  const std::vector<String>& GetChildren() const { return children_; }
  // Keeps `markup`, which must be one well-formed element; packed last.
  void AddChild(const String& markup);

  // The declared fields, in declaration order.
  std::span<const KeptField> GetFields() const { return fields_; }
  // The value of the declared field `tag` (case ignored): a text field's
  // String, an element field's markup; empty for a tag not declared.
  const String& GetFieldText(std::string_view tag) const;
  // Sets it; false (and nothing changes) for a tag not declared.
  bool SetFieldText(std::string_view tag, const String& value);

  // Equal when both pack to the same text.
  bool operator==(const OVOKeptChildrenObject& other) const { return Pack() == other.Pack(); }
  bool operator!=(const OVOKeptChildrenObject& other) const { return !(*this == other); }

 protected:
  explicit OVOKeptChildrenObject(const CatalogueEntry& entry, std::span<const KeptField> fields = {});

  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

  // The declared field `index` (an index into GetFields()).
  const String& FieldText(size_t index) const { return values_[index]; }
  void SetFieldText(size_t index, String value) { values_[index] = std::move(value); }

  // A subclass's own fields: written first; a child it reads (true) is not
  // kept. ReadKnown leaves the parser's child cursor where it stands.
  virtual void PackKnown(String& /*out*/) const {}
  virtual bool ReadKnown(std::string_view /*tag*/, OFLXMLParser& /*parser*/) { return false; }
  virtual void ClearKnown() {}

  bool ChildrenEqual(const OVOKeptChildrenObject& other) const { return children_ == other.children_; }

 private:
  // One child as it stood, in document order.
  struct Slot {
    static constexpr int32_t kKept = -1;   // a kept element: children_[child]
    static constexpr int32_t kStale = -2;  // an earlier occurrence of a field: markup
    String leading;  // the source's text before the element
    int32_t field;   // the declared field it holds (the last occurrence), or the above
    uint32_t child;
    String markup;  // the field's element as it came
    String read;    // the field's value as it was read
  };

  void ReadChildren(OFLXMLParser& parser, const OFL::Xml::RootSpans* raw);
  void AppendField(String& out, size_t index) const;
  int FindField(std::string_view tag) const;

  std::span<const KeptField> fields_;
  std::vector<String> values_;
  std::vector<int32_t> slotOf_;  // per field: its slot, or -1 when not read
  std::vector<String> children_;
  std::vector<Slot> slots_;
  String trailing_;  // the source's text before the end tag
  String startTag_;  // the source's start and end tags, when not the plain ones
  String endTag_;
};

}  // namespace orvacmn

#endif  // ORVACMN_RECORDS_KEPT_CHILDREN_OBJECT_H_
