// Arbitrary text as a record the library does not interpret (the first byte picks the class): a text it reads packs
// back to its root element's source bytes exactly, read in place it packs to a fixed point, a changed key field reads
// back, and the source split finds the children the parser finds.
#include <string>

#include "ofl/xml_parser.h"
#include "ofl/xml_spans.h"
#include "orvacmn/records/keyed_records.h"

#include "check.h"

using orvacmn::kKeyedRecordClasses;

FUZZ_TEXT(input) {
  if (input.empty()) return;
  const auto& c = kKeyedRecordClasses[static_cast<unsigned char>(input[0]) % std::size(kKeyedRecordClasses)];
  const std::string text = input.substr(1);

  OFLXMLParser parser;
  const bool wellFormed = parser.SetDoc(text);
  OFL::Xml::RootSpans spans;
  const bool split = OFL::Xml::SplitRootElement(text, spans);
  if (wellFormed) {
    Check(split, "a text the parser reads is not split");
    parser.FindElem();
    size_t children = 0;
    while (parser.FindChildElem()) ++children;
    Check(children == spans.children.size(), "the split and the parser count other children");
  }

  const auto record = c.create();
  if (record->Unpack(text) == 1) {
    const std::string source(spans.startTag.data(),
                             spans.endTag.empty() ? spans.startTag.size()
                                                  : spans.endTag.data() + spans.endTag.size() - spans.startTag.data());
    Check(record->Pack() == source, "a record read from a text does not pack back to its bytes");
    // Every key field changed reads back, and the rest stays as it came.
    const auto changed = c.create();
    for (const orvacmn::KeptField& f : c.fields)
      if (f.key && f.kind == orvacmn::KeptField::kText) record->SetFieldText(f.tag, "k<&>" + std::string(f.tag));
    Check(changed->Unpack(record->Pack()) == 1 && changed->Pack() == record->Pack(), "changed record not stable");
    for (const orvacmn::KeptField& f : c.fields)
      if (f.key && f.kind == orvacmn::KeptField::kText)
        Check(changed->GetFieldText(f.tag) == "k<&>" + std::string(f.tag), "a changed key field is lost");
    Check(changed->GetChildren() == record->GetChildren(), "kept children differ");
  } else {
    Check(record->Pack() == "<" + std::string(c.objectName) + "></" + std::string(c.objectName) + ">",
          "a failed unpack leaves something");
  }

  // Read where it stands, as a container reads it: the parser's print, a fixed point.
  OFLXMLParser outer;
  if (outer.SetDoc("<r>" + text + "</r>") && outer.FindElem() && outer.FindChildElem()) {
    const auto inPlace = c.create();
    if (inPlace->Unpack(outer) == 1) {
      const auto again = c.create();
      const std::string packed = inPlace->Pack();
      Check(again->Unpack(packed) == 1 && again->Pack() == packed, "read in place, not a fixed point");
    }
  }
}
