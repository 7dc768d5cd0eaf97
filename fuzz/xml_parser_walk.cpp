// Loads arbitrary bytes as a document, then lets the rest of the input drive the cursors over every operation. A
// document loads exactly when the full well-formedness check and the parser underneath both accept it (so the quick
// check agrees with the full one). Markup handed out (GetSubDoc, GetChildSubDoc, GetDoc) parses again to the same
// text, and what is written reads back, NUL included.
#include <fuzzer/FuzzedDataProvider.h>

#include <pugixml.hpp>
#include <vector>

#include "ofl/tools.h"
#include "ofl/xml_parser.h"
#include "xml_wellformed.h"

#include "check.h"

namespace {

using OFL::String;

// `q` loads the markup, whose first element has this tag and text.
bool LoadsAs(OFLXMLParser& q, const String& markup, const String& tag, const String& data) {
  return q.SetDoc(markup) && q.FindElem() && q.GetTagName() == tag && q.GetData() == data;
}

void CheckReparses(const String& sub, const String& tag, const String& data) {
  OFLXMLParser again, third;
  Check(sub.empty() ? tag.empty() : LoadsAs(again, sub, tag, data));
  if (sub.empty()) return;
  // White space beside child elements is not text and goes on the first reparse; from then on the print is stable.
  Check(third.SetDoc(again.GetSubDoc()) && third.FindElem() && third.GetSubDoc() == again.GetSubDoc());
}

// Every element's tag, attributes and text, depth first.
String Dump(OFLXMLParser& p) {
  String out;
  while (p.FindElem()) {
    out += "<" + p.GetTagName();
    String n, v;
    for (size_t i = 0; p.GetNthAttrib(i, n, v); ++i) out += " " + n + "=" + std::to_string(v.size()) + ":" + v;
    out += ">" + std::to_string(p.GetData().size()) + ":" + p.GetData();
    if (p.IntoElem()) {
      out += Dump(p) + "</>";
      p.OutOfElem();
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const String doc = in.ConsumeRandomLengthString(8192);
  OFLXMLParser p;
  String error;
  pugi::xml_document reference;
  const bool wellFormed = OFL::internal::CheckWellFormed(doc, error) &&
                          reference.load_buffer(doc.data(), doc.size(), pugi::parse_default, pugi::encoding_utf8);
  Check(p.SetDoc(doc) == wellFormed, "quick and full well-formedness checks disagree");
  Check(wellFormed ? p.GetError().empty() : p.GetDoc().empty() && !p.GetError().empty() && !p.FindElem() &&
                                                !p.IntoElem() && p.GetSubDoc().empty());

  // Names to look for and to write: fixed ones and those met on the walk.
  std::vector<String> names = {"a", "b", "Item", "x:y", "_n-1.2", "\xC3\xA4"};
  const auto name = [&] { return names[in.ConsumeIntegralInRange<size_t>(0, names.size() - 1)]; };
  const auto remember = [&](const String& n) {
    if (!n.empty() && names.size() < 32) names.push_back(n);
  };

  for (int step = 0; step < 96 && in.remaining_bytes() > 0; ++step) {
    const int op = in.ConsumeIntegralInRange(0, 22);
    // What operations 10 to 15 write: a name (10 to 13) and a value.
    const String n = op >= 10 && op <= 13 ? name() : String();
    const String v = op >= 10 && op <= 15 ? in.ConsumeRandomLengthString(64) : String();
    const bool hadMain = !p.GetTagName().empty();
    OFLXMLParser probe;
    switch (op) {
      case 0: p.FindElem(); break;
      case 1: p.FindElem(name().c_str()); break;
      case 2: p.FindChildElem(); break;
      case 3: p.FindChildElem(name().c_str()); break;
      case 4: p.FindElem(in.ConsumeRandomLengthString(16).c_str()); break;
      case 5: p.IntoElem(); break;
      case 6: p.OutOfElem(); break;
      case 7: p.ResetPos(); break;
      case 8: p.ResetMainPos(); break;
      case 9: p.ResetChildPos(); break;
      case 10:
        if (p.AddElem(n.c_str(), v)) Check(p.GetTagName() == n && p.GetData() == v && p.GetChildTagName().empty());
        break;
      case 11:
        Check(p.AddChildElem(n.c_str(), v) == hadMain);
        if (hadMain) Check(p.GetChildTagName() == n && p.GetChildData() == v);
        break;
      case 12: if (p.SetAttrib(n.c_str(), v)) Check(p.GetAttrib(n.c_str()) == v); break;
      case 13: if (p.SetChildAttrib(n.c_str(), v)) Check(p.GetChildAttrib(n.c_str()) == v); break;
      case 14: if (p.SetData(v) && !p.HasChildElem()) Check(p.GetData() == v); break;
      case 15:
        if (p.SetChildData(v))
          Check(probe.SetDoc(p.GetChildSubDoc()) && probe.FindElem() &&
                (probe.HasChildElem() || p.GetChildData() == v));
        break;
      case 16: {  // copies main (or given markup) in again after main
        const String sub = in.ConsumeBool() ? p.GetSubDoc() : in.ConsumeRandomLengthString(256);
        const String before = p.GetSubDoc();
        Check(p.AddSubDoc(sub) ? LoadsAs(probe, sub, p.GetTagName(), p.GetData()) : p.GetSubDoc() == before);
        break;
      }
      case 17: {
        const String sub = in.ConsumeBool() ? p.GetChildSubDoc() : in.ConsumeRandomLengthString(256);
        if (p.AddChildSubDoc(sub)) Check(LoadsAs(probe, sub, p.GetChildTagName(), p.GetChildData()));
        break;
      }
      case 18: (void)p.GetAttrib(in.ConsumeRandomLengthString(16).c_str()); break;
      case 19: (void)p.GetChildAttrib(name().c_str()); break;
      case 20: remember(p.GetTagName()); remember(p.GetChildTagName()); break;
      case 21: (void)p.GetDoc(); break;
      default: (void)p.HasChildElem(); break;
    }
    CheckReparses(p.GetSubDoc(), p.GetTagName(), p.GetData());
    CheckReparses(p.GetChildSubDoc(), p.GetChildTagName(), p.GetChildData());
  }

  // The whole document prints to a text that loads again and prints alike from then on; elements added beside the
  // root make several roots, so the print is read inside one more element.
  OFLXMLParser again, third;
  Check(p.GetDoc().empty() || (again.SetDoc("<r>" + p.GetDoc() + "</r>") && third.SetDoc(again.GetDoc()) &&
                               third.GetDoc() == again.GetDoc()));
  (void)OFLXMLParser::UnescapeText(doc);
  Check(OFLXMLParser::UnescapeText(OFLXMLParser::EscapeText(doc)) == doc);
  // Any text, NUL and white space included, reads back from an attribute value it was escaped for.
  OFLXMLParser attribute;
  Check(attribute.SetDoc("<a v=\"" + OFLTools::MakeXMLAttributeData(doc) + "\"/>") && attribute.FindElem() &&
            attribute.GetAttrib("v") == doc,
        "attribute value does not read back");
  // A document that holds a reference to NUL is read raw: it reads as the same document read plainly.
  if (wellFormed) {
    OFLXMLParser plainDoc(doc), rawDoc(doc + "<!--&#0;-->");
    Check(Dump(plainDoc) == Dump(rawDoc), "raw and plain reading differ");
  }
  return 0;
}
