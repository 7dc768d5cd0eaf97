#include "orvacmn/variables/custom_var.h"

#include <utility>

#include "ofl/tools.h"

namespace orvacmn {

namespace {

const char kObjectName[] = "CustomVar";
const char kScope[] = "Scope";
const char kCategory[] = "Category";
const char kName[] = "Name";
const char kValue[] = "Value";

}  // namespace

OVOCustomVar::OVOCustomVar() : OVOXMLSupport(kObjectName, kSchema50001) {}

OVOCustomVar::OVOCustomVar(const String& xml) : OVOCustomVar() {
  if (!xml.empty()) Unpack(xml);
}

OVOCustomVar::OVOCustomVar(OVOCustomVar&& other) noexcept
    : OVOXMLSupport(kObjectName, kSchema50001),
      scope_(std::move(other.scope_)),
      category_(std::move(other.category_)),
      name_(std::move(other.name_)),
      value_(std::move(other.value_)) {}

OVOCustomVar& OVOCustomVar::operator=(OVOCustomVar&& other) noexcept {
  if (this != &other) {
    scope_ = std::move(other.scope_);
    category_ = std::move(other.category_);
    name_ = std::move(other.name_);
    value_ = std::move(other.value_);
  }
  return *this;
}

String OVOCustomVar::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kScope, scope_);
  OFLTools::AppendXMLNode(out, kCategory, category_);
  OFLTools::AppendXMLNode(out, kName, name_);
  OFLTools::AppendXMLNode(out, kValue, value_);
  return out;
}

void OVOCustomVar::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kScope)) {
      scope_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kCategory)) {
      category_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kName)) {
      name_ = p.GetChildData();
    } else if (OFL::EqualsNoCase(tag, kValue)) {
      value_ = p.GetChildData();
    }
  });
}

void OVOCustomVar::InternalClear() {
  scope_.clear();
  category_.clear();
  name_.clear();
  value_.clear();
}

}  // namespace orvacmn
