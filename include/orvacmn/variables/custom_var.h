// OVOCustomVar: one scoped variable value as exchanged with the object
// store, packed as "CustomVar" with "Scope", "Category", "Name", "Value".
#ifndef ORVACMN_VARIABLES_CUSTOM_VAR_H_
#define ORVACMN_VARIABLES_CUSTOM_VAR_H_

#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOCustomVar : public OVOXMLSupport {
 public:
  OVOCustomVar();
  // Unpacks `xml` when it is not empty.
  explicit OVOCustomVar(const String& xml);
  OVOCustomVar(const OVOCustomVar&) = default;
  OVOCustomVar& operator=(const OVOCustomVar&) = default;
  OVOCustomVar(OVOCustomVar&& other) noexcept;
  OVOCustomVar& operator=(OVOCustomVar&& other) noexcept;
  ~OVOCustomVar() override = default;

  using OVOXMLSupport::Unpack;

  const String& GetScope() const { return scope_; }
  void SetScope(const String& scope) { scope_ = scope; }
  const String& GetCategory() const { return category_; }
  void SetCategory(const String& category) { category_ = category; }
  const String& GetName() const { return name_; }
  void SetName(const String& name) { name_ = name; }
  const String& GetValue() const { return value_; }
  void SetValue(const String& value) { value_ = value; }

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  String scope_;
  String category_;
  String name_;
  String value_;
};

}  // namespace orvacmn

#endif  // ORVACMN_VARIABLES_CUSTOM_VAR_H_
