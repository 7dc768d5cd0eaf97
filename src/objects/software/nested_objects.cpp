#include "orvacmn/software/nested_objects.h"

#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr char kTagEULAURL[] = "EULAURL";
constexpr char kTagEULAReleaseDate[] = "EULAReleaseDate";
constexpr char kTagEULAAcceptedDate[] = "EULAAcceptedDate";

}  // namespace

bool OVOPassThroughObject::ReadKnown(std::string_view tag, OFLXMLParser& parser) {
  const String name(tag);
  return UnpackKnownChild(name, parser);
}

OVOInstallEngine::OVOInstallEngine() : OVOPassThroughObject(CatalogueEntryFor("OVOInstallEngine")) {}
OVOInstallEngine::OVOInstallEngine(const String& text) : OVOInstallEngine() {
  if (!text.empty()) Unpack(text);
}

OVOAUTApplicationDetectRules::OVOAUTApplicationDetectRules()
    : OVOPassThroughObject(CatalogueEntryFor("OVOAUTApplicationDetectRules")) {}
OVOAUTApplicationDetectRules::OVOAUTApplicationDetectRules(const String& text) : OVOAUTApplicationDetectRules() {
  if (!text.empty()) Unpack(text);
}

OVOManagedSoftwareProperties::OVOManagedSoftwareProperties()
    : OVOPassThroughObject(CatalogueEntryFor("OVOManagedSoftwareProperties")) {}
OVOManagedSoftwareProperties::OVOManagedSoftwareProperties(const String& text) : OVOManagedSoftwareProperties() {
  if (!text.empty()) Unpack(text);
}

bool OVOManagedSoftwareProperties::operator==(const OVOManagedSoftwareProperties& o) const {
  return eulaUrl_ == o.eulaUrl_ && eulaReleaseDate_ == o.eulaReleaseDate_ &&
         eulaAcceptedDate_ == o.eulaAcceptedDate_ && ChildrenEqual(o);
}

void OVOManagedSoftwareProperties::PackKnownChildren(String& out) const {
  OFLTools::AppendXMLNode(out, kTagEULAURL, eulaUrl_);
  OFLTools::AppendXMLNode(out, kTagEULAReleaseDate, eulaReleaseDate_);
  OFLTools::AppendXMLNode(out, kTagEULAAcceptedDate, eulaAcceptedDate_);
}

bool OVOManagedSoftwareProperties::UnpackKnownChild(const String& tag, OFLXMLParser& parser) {
  String* field = OFL::EqualsNoCase(tag, kTagEULAURL)           ? &eulaUrl_
                  : OFL::EqualsNoCase(tag, kTagEULAReleaseDate)  ? &eulaReleaseDate_
                  : OFL::EqualsNoCase(tag, kTagEULAAcceptedDate) ? &eulaAcceptedDate_
                                                                 : nullptr;
  if (field == nullptr) return false;
  *field = parser.GetChildData();
  return true;
}

void OVOManagedSoftwareProperties::InternalClear() {
  OVOPassThroughObject::InternalClear();
  eulaUrl_.clear();
  eulaReleaseDate_.clear();
  eulaAcceptedDate_.clear();
}

}  // namespace orvacmn
