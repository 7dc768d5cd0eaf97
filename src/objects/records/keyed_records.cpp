#include "orvacmn/records/keyed_records.h"

#include "ofl/xml_parser.h"

namespace orvacmn {
namespace {

constexpr bool EveryClassHasAKeyField() {
  for (const KeyedRecordClass& c : kKeyedRecordClasses) {
    bool key = false;
    for (const KeptField& f : c.fields) key = key || f.key;
    if (!key) return false;
  }
  return true;
}
static_assert(EveryClassHasAKeyField(), "a record class without a key field");

}  // namespace

int UnpackNestedMarkup(OVOXMLSupport& object, const String& markup) {
  object.Clear();
  // Read as a container reads a child: the tag compared without regard to case.
  OFLXMLParser parser;
  if (!parser.SetDoc("<r>" + markup + "</r>") || !parser.FindElem() || !parser.FindChildElem()) return 0;
  return object.Unpack(parser);
}

const KeyedRecordClass* FindKeyedRecordClass(std::string_view className) {
  for (const KeyedRecordClass& c : kKeyedRecordClasses)
    if (c.className == className) return &c;
  return nullptr;
}

}  // namespace orvacmn
