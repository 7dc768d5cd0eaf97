#include "orvacmn/system/ad_object.h"

#include "ofl/tools.h"
#include "orvacmn/variables/ovk_vars.h"

namespace orvacmn {

OVOADObject::OVOADObject(const String& text) : OVOXMLSupport(CatalogueEntryFor("OVOADObject")) {
  vars_.SetScope(kVarsScope);
  if (!text.empty()) Unpack(text);
}

String OVOADObject::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, "GUID", guid_);
  OFLTools::AppendXMLNode(out, "Name", name_);
  OFLTools::AppendXMLNode(out, "DisplayName", displayName_);
  vars_.AppendPack(out);
  return out;
}

void OVOADObject::InternalUnpack(OFLXMLParser& parser) {
  OFLXMLParser scratch;
  ForEachChild(parser, [&](const String& tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, "GUID")) guid_.assign(p.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, "Name")) name_.assign(p.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, "DisplayName")) displayName_.assign(p.GetChildDataView());
    else if (OFL::EqualsNoCase(tag, vars_.GetObjectName())) {
      scratch.SetDocFromChild(p);
      vars_.UnpackLoaded(scratch);
    }
  });
}

void OVOADObject::InternalClear() {
  guid_.clear();
  name_.clear();
  displayName_.clear();
  vars_.Clear();
  vars_.SetScope(kVarsScope);
}

void OVOADObject::PopulateVars(COVKVars& vars, EConnectionMode, int withObjectVars) const {
  vars.AddVar("Username", displayName_, false, true, CVariableType::Runtime, false);
  if (withObjectVars != 0) vars.AddVars(&vars_, true);
}

}  // namespace orvacmn
