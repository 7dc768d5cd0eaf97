// Arbitrary text as an OVOList of a small element class with a nested property bag: the pack is a fixed point, and
// unpacking from each child's markup and in place gives the same elements.
#include "ofl/tools.h"
#include "orvacmn/objects/ovo_list.h"
#include "orvacmn/objects/properties.h"

#include "check.h"

namespace {

using orvacmn::String;

class Element : public orvacmn::OVOXMLSupport {
 public:
  explicit Element(const String& text = String()) : OVOXMLSupport("Element", orvacmn::kSchema50001) {
    if (!text.empty()) Unpack(text);
  }
  // Declared so the list takes the child-markup path for this type: it is the
  // reference that the in-place reading below is compared with.
  using OVOXMLSupport::Unpack;
  int Unpack(const String& text) override { return OVOXMLSupport::Unpack(text); }
  bool operator==(const Element& o) const {
    return name == o.name && count == o.count && kind == o.kind && bag.Pack() == o.bag.Pack();
  }
  String name, kind;  // kind: attribute of "Name"
  uint32_t count = 0;
  orvacmn::OVOProperties bag;

 protected:
  String InternalPack() const override {
    // Attribute values fold raw tab and LF into blanks, so they go as references.
    String kindText = OFLTools::MakeXMLData(kind);
    OFL::ReplaceAll(kindText, "\t", "&#9;");
    OFL::ReplaceAll(kindText, "\n", "&#10;");
    String out = OFLTools::MakeXMLNode("Name", name, "kind=\"" + kindText + "\"", true, false);
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
    name = kind = String();
    count = 0;
    bag.Clear();
  }
};

struct InPlaceElement : Element { using Element::Element; };

}  // namespace

template <>
struct orvacmn::OVOListUnpacksInPlace<InPlaceElement> : std::true_type {};

FUZZ_TEXT(text) {
  orvacmn::OVOList<Element> first("List"), second("List");
  orvacmn::OVOList<InPlaceElement> inPlace("List");
  Check(first.Unpack(text) == inPlace.Unpack(text) && first.GetCount() == inPlace.GetCount());
  orvacmn::POSITION a = first.GetHeadPosition(), b = inPlace.GetHeadPosition();
  while (a) Check(*first.GetNext(a) == *inPlace.GetNext(b), "in-place element differs");
  const std::string packed = CheckRepack(first, second);
  Check(inPlace.Pack() == packed && second == first);
}
