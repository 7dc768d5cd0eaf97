#include "orvacmn/objects/xml_support.h"

#include "ofl/tools.h"

namespace orvacmn {

String OVOXMLSupport::Pack() const {
  const String inner = InternalPack();
  String out;
  out.reserve(inner.size() + 2 * objectName_.size() + 5);
  OFLTools::AppendXMLTag(out, objectName_);
  out += inner;
  OFLTools::AppendXMLTag(out, objectName_, true);
  return out;
}

void OVOXMLSupport::AppendPack(String& out) const { out += Pack(); }

int OVOXMLSupport::Unpack(OFLXMLParser& parser) {
  const String tag = parser.GetChildTagName();
  if (tag.empty() || !OFL::EqualsNoCase(tag, objectName_)) return 0;
  parser.IntoElem();
  InternalUnpack(parser);
  parser.OutOfElem();
  return 1;
}

int OVOXMLSupport::Unpack(const String& text) {
  // Parsing first lets the new fields reuse the memory the old ones free.
  OFLXMLParser parser;
  parser.SetDoc(text);
  Clear();
  return UnpackLoadedRoot(*this, parser);
}

int OVOXMLSupport::UnpackLoaded(OFLXMLParser& loaded) {
  Clear();
  return UnpackLoadedRoot(*this, loaded);
}

int OVOXMLSupport::UnpackLoadedRoot(OVOXMLSupport& object, OFLXMLParser& loaded) {
  if (!loaded.FindElem(object.objectName_.c_str())) return 0;
  object.InternalUnpack(loaded);
  return 1;
}

void OVOXMLSupport::AppendBasePack(String& out, const OVOXMLSupport& object) {
  OFLTools::AppendXMLTag(out, object.objectName_);
  out += object.InternalPack();
  OFLTools::AppendXMLTag(out, object.objectName_, true);
}

void OVOXMLSupport::Clear() { InternalClear(); }

String OVOXMLSupport::GetObjectOpeningTag() const { return OFLTools::MakeXMLTag(objectName_, false); }

String OVOXMLSupport::InternalPack() const { return String(); }
void OVOXMLSupport::InternalUnpack(OFLXMLParser&) {}
void OVOXMLSupport::InternalClear() {}

}  // namespace orvacmn
