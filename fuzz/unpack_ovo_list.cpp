// Unpacks arbitrary text as an OVOList of a small element class with a
// nested property bag; packing, unpacking and packing again must give the
// same text. The list is unpacked twice, once from each child's markup and
// once in place, and both must give the same elements.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ofl/tools.h"
#include "orvacmn/objects/ovo_list.h"
#include "orvacmn/objects/properties.h"

namespace {

using orvacmn::String;

// Attribute values fold raw tab and LF into blanks, so they go as references.
String AttributeText(const String& value) {
  String out = OFLTools::MakeXMLData(value);
  OFL::ReplaceAll(out, "\t", "&#9;");
  OFL::ReplaceAll(out, "\n", "&#10;");
  return out;
}

class Element : public orvacmn::OVOXMLSupport {
 public:
  explicit Element(const String& text = String()) : OVOXMLSupport("Element", orvacmn::kSchema50001) {
    if (!text.empty()) Unpack(text);
  }
  // Declared so the list takes the child-markup path for this type: it is the
  // reference that the in-place reading below is compared with.
  using OVOXMLSupport::Unpack;
  int Unpack(const String& text) override { return OVOXMLSupport::Unpack(text); }
  String name;
  uint32_t count = 0;
  String kind;  // attribute of "Name"
  orvacmn::OVOProperties bag;

  bool operator==(const Element& o) const {
    return name == o.name && count == o.count && kind == o.kind && bag.Pack() == o.bag.Pack();
  }

 protected:
  String InternalPack() const override {
    String out = OFLTools::MakeXMLNode("Name", name, "kind=\"" + AttributeText(kind) + "\"", true, false);
    out += OFLTools::MakeXMLNode("Count", count);
    bag.AppendPack(out);
    return out;
  }
  void InternalUnpack(OFLXMLParser& parser) override {
    orvacmn::ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
      if (OFL::EqualsNoCase(tag, "Name")) {
        name = p.GetChildData();
        kind = p.GetChildAttrib("kind");
      } else if (OFL::EqualsNoCase(tag, "Count")) {
        count = OFLTools::AToUL(p.GetChildData());
      } else if (OFL::EqualsNoCase(tag, "Properties")) {
        bag.Unpack(p.GetChildSubDoc());
      }
    });
  }
  void InternalClear() override {
    name.clear();
    count = 0;
    kind.clear();
    bag.Clear();
  }
};

class InPlaceElement : public Element {
 public:
  using Element::Element;
};

}  // namespace

template <>
struct orvacmn::OVOListUnpacksInPlace<InPlaceElement> : std::true_type {};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  orvacmn::OVOList<Element> first("List");
  orvacmn::OVOList<InPlaceElement> inPlace("List");
  if (first.Unpack(text) != inPlace.Unpack(text)) std::abort();
  if (first.GetCount() != inPlace.GetCount()) std::abort();
  orvacmn::POSITION a = first.GetHeadPosition();
  orvacmn::POSITION b = inPlace.GetHeadPosition();
  while (a)
    if (!(*first.GetNext(a) == *inPlace.GetNext(b))) std::abort();

  const std::string packed = first.Pack();
  if (inPlace.Pack() != packed) std::abort();
  const orvacmn::OVOList<Element> second("List", packed);
  if (second.Pack() != packed) std::abort();
  if (!(second == first)) std::abort();
  return 0;
}
