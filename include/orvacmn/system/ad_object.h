// OVOADObject: a directory object (a user or computer account of the
// directory) with the variables the administrator set for it. Packed as
// "ADObject": "GUID", "Name", "DisplayName" and the "Vars" (scope
// "__ADOBJECT__"), always all four.
//
// One thread at a time per object.
#ifndef ORVACMN_SYSTEM_AD_OBJECT_H_
#define ORVACMN_SYSTEM_AD_OBJECT_H_

#include "orvacmn/objects/xml_support.h"
#include "orvacmn/system/connection_mode.h"
#include "orvacmn/variables/vars.h"

namespace orvacmn {

class COVKVars;

class OVOADObject : public OVOXMLSupport {
 public:
  static constexpr char kVarsScope[] = "__ADOBJECT__";

  // Unpacks `text` when it is not empty.
  explicit OVOADObject(const String& text = String());

  const String& GetGUID() const { return guid_; }
  void SetGUID(const String& v) { guid_ = v; }
  const String& GetName() const { return name_; }
  void SetName(const String& v) { name_ = v; }
  const String& GetDisplayName() const { return displayName_; }
  void SetDisplayName(const String& v) { displayName_ = v; }
  OVOVars& GetVars() { return vars_; }
  const OVOVars& GetVars() const { return vars_; }

  // "Username" = the display name; with `withObjectVars` non-zero also the
  // object's variables under their full names.
  void PopulateVars(COVKVars& vars, EConnectionMode mode, int withObjectVars) const;

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  String guid_;
  String name_;
  String displayName_;
  OVOVars vars_;
};

}  // namespace orvacmn

#endif  // ORVACMN_SYSTEM_AD_OBJECT_H_
