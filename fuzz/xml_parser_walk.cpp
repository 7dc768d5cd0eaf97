// Loads arbitrary bytes as a document, then lets the rest of the input drive
// the cursors over every operation. A document loads exactly when the full
// well-formedness check and the parser underneath both accept it (so the
// quick check agrees with the full one). Whatever the document, markup handed
// out (GetSubDoc, GetChildSubDoc, GetDoc) must parse again to the same text,
// and what is written must read back.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "ofl/xml_parser.h"
#include "xml_wellformed.h"

#include "check.h"

namespace {

using OFL::String;

void CheckReparses(const String& sub, const String& tag, const String& data) {
  if (sub.empty()) {
    Check(tag.empty());
    return;
  }
  OFLXMLParser again;
  Check(again.SetDoc(sub));
  Check(again.FindElem());
  Check(again.GetTagName() == tag);
  Check(again.GetData() == data);
  // White space beside child elements is not text of the element and is
  // dropped on the first reparse; from then on the print is stable.
  const String stable = again.GetSubDoc();
  OFLXMLParser third;
  Check(third.SetDoc(stable) && third.FindElem() && third.GetSubDoc() == stable);
}

String NoNul(String s) {
  s.erase(std::remove(s.begin(), s.end(), '\0'), s.end());
  return s;
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
  if (!wellFormed) {
    Check(p.GetDoc().empty());
    Check(!p.GetError().empty());
    Check(!p.FindElem() && !p.IntoElem() && p.GetSubDoc().empty());
  } else {
    Check(p.GetError().empty());
  }

  // Names to look for and to write: fixed ones and those met on the walk.
  std::vector<String> names = {"a", "b", "Item", "x:y", "_n-1.2", "\xC3\xA4"};
  const auto name = [&]() -> const String& { return names[in.ConsumeIntegralInRange<size_t>(0, names.size() - 1)]; };
  const auto remember = [&](const String& n) {
    if (!n.empty() && names.size() < 32) names.push_back(n);
  };

  for (int step = 0; step < 96 && in.remaining_bytes() > 0; ++step) {
    switch (in.ConsumeIntegralInRange(0, 22)) {
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
      case 10: {
        const String n = name(), v = NoNul(in.ConsumeRandomLengthString(64));
        if (p.AddElem(n.c_str(), v)) {
          Check(p.GetTagName() == n && p.GetData() == v && p.GetChildTagName().empty());
        }
        break;
      }
      case 11: {
        const String n = name(), v = NoNul(in.ConsumeRandomLengthString(64));
        const bool hadMain = !p.GetTagName().empty();
        Check(p.AddChildElem(n.c_str(), v) == hadMain);
        if (hadMain) Check(p.GetChildTagName() == n && p.GetChildData() == v);
        break;
      }
      case 12: {
        const String n = name(), v = NoNul(in.ConsumeRandomLengthString(64));
        if (p.SetAttrib(n.c_str(), v)) Check(p.GetAttrib(n.c_str()) == v);
        break;
      }
      case 13: {
        const String n = name(), v = NoNul(in.ConsumeRandomLengthString(64));
        if (p.SetChildAttrib(n.c_str(), v)) Check(p.GetChildAttrib(n.c_str()) == v);
        break;
      }
      case 14: {
        const String v = NoNul(in.ConsumeRandomLengthString(64));
        if (p.SetData(v) && !p.HasChildElem()) Check(p.GetData() == v);
        break;
      }
      case 15: {
        const String v = NoNul(in.ConsumeRandomLengthString(64));
        if (p.SetChildData(v)) {
          OFLXMLParser probe(p.GetChildSubDoc());
          Check(probe.FindElem());
          if (!probe.HasChildElem()) Check(p.GetChildData() == v);
        }
        break;
      }
      case 16: {
        // Copy main (or given markup) in again after main.
        const String sub = in.ConsumeBool() ? p.GetSubDoc() : in.ConsumeRandomLengthString(256);
        const String before = p.GetSubDoc();
        if (p.AddSubDoc(sub)) {
          OFLXMLParser check(sub);
          Check(check.FindElem() && p.GetTagName() == check.GetTagName() && p.GetData() == check.GetData());
        } else {
          Check(p.GetSubDoc() == before);
        }
        break;
      }
      case 17: {
        const String sub = in.ConsumeBool() ? p.GetChildSubDoc() : in.ConsumeRandomLengthString(256);
        if (p.AddChildSubDoc(sub)) {
          OFLXMLParser check(sub);
          Check(check.FindElem() && p.GetChildTagName() == check.GetTagName() &&
                p.GetChildData() == check.GetData());
        }
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

  // The whole document prints to a text that loads again, and whose print
  // is stable from then on. Elements added beside the root make several
  // roots, so the print is read inside one more element.
  const String whole = p.GetDoc();
  if (!whole.empty()) {
    OFLXMLParser again, third;
    Check(again.SetDoc("<r>" + whole + "</r>"));
    const String stable = again.GetDoc();
    Check(third.SetDoc(stable) && third.GetDoc() == stable);
  }
  (void)OFLXMLParser::UnescapeText(doc);
  Check(OFLXMLParser::UnescapeText(OFLXMLParser::EscapeText(NoNul(doc))) == NoNul(doc));
  return 0;
}
