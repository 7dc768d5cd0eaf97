#include "orvacmn/directory/dynamic_group.h"

#include <array>
#include <string_view>

#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr std::string_view kTagStatement = "Statement", kTagQueryData = "QueryData", kTagOptions = "Options",
                           kTagManaged = "Managed";

}  // namespace

int FindWhereKeyword(const String& statement) {
  // Quoted texts and everything inside parentheses are masked, so a WHERE in
  // a string literal or a sub-select is never taken.
  String copy = statement;
  char quote = 0;
  int64_t depth = 0;
  for (char& c : copy) {
    if (quote != 0) {
      if (c == quote) quote = 0;
      else c = 'x';
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (depth >= 1) {
      c = 'x';
    }
  }
  OFL::MakeLower(copy);
  // Tried in this order: the first pattern found anywhere gives the result.
  static constexpr std::array<std::string_view, 5> kPatterns = {"where ", "where\r", "where\n", "where\t",
                                                                "where("};
  for (std::string_view pattern : kPatterns) {
    const size_t pos = copy.find(pattern);
    if (pos != String::npos) return static_cast<int>(pos);
  }
  return -1;
}

// The String fields in packing order.
struct OVODynamicGroup::TextField {
  std::string_view tag;
  String OVODynamicGroup::*member;
};
const OVODynamicGroup::TextField OVODynamicGroup::kTextFields[] = {
    {"GUID", &OVODynamicGroup::guid_},           {"OrgUnit", &OVODynamicGroup::orgUnit_},
    {"Name", &OVODynamicGroup::name_},           {kTagStatement, &OVODynamicGroup::statement_},
    {kTagQueryData, &OVODynamicGroup::queryData_}, {"SqlViewName", &OVODynamicGroup::sqlViewName_},
    {"Comment", &OVODynamicGroup::comment_},
};

OVODynamicGroup::OVODynamicGroup() : OVOXMLSupport(CatalogueEntryFor("OVODynamicGroup")) {}

OVODynamicGroup::OVODynamicGroup(const String& text) : OVODynamicGroup() {
  if (!text.empty()) Unpack(text);
}

bool OVODynamicGroup::operator==(const OVODynamicGroup& o) const {
  for (const TextField& f : kTextFields)
    if (this->*f.member != o.*f.member) return false;
  return options_ == o.options_ && rights_ == o.rights_;
}

String OVODynamicGroup::GenerateViewName(const String& guid) {
  return "vw_" + OFL::Tools::GuidToCompressedString(guid);
}

String OVODynamicGroup::InternalPack() const {
  String out;
  for (const TextField& f : kTextFields) OFLTools::AppendXMLNode(out, f.tag, this->*f.member);
  OFLTools::AppendXMLNode(out, kTagOptions, options_);
  rights_.AppendPack(out);
  return out;
}

void OVODynamicGroup::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](std::string_view tag, OFLXMLParser& p) {
    for (const TextField& f : kTextFields) {
      if (!OFL::EqualsNoCase(tag, f.tag)) continue;
      this->*f.member = p.GetChildData();
      return;
    }
    if (OFL::EqualsNoCase(tag, kTagOptions)) options_ = OFLTools::AToUL(p.GetChildDataView());
    else rights_.Unpack(p);  // 0 and nothing read for any other tag
  });
}

void OVODynamicGroup::InternalClear() {
  for (const TextField& f : kTextFields) (this->*f.member).clear();
  options_ = 0;
  rights_.Clear();
}

OvoSqlCondition::OvoSqlCondition() : OVOXMLSupport(CatalogueEntryFor("OvoSqlCondition")) {}

OvoSqlCondition::OvoSqlCondition(const String& text) : OvoSqlCondition() {
  if (!text.empty()) Unpack(text);
}

String OvoSqlCondition::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kTagManaged, managed_);
  OFLTools::AppendXMLNode(out, kTagQueryData, queryData_);
  OFLTools::AppendXMLNode(out, kTagStatement, statement_);
  return out;
}

void OvoSqlCondition::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](std::string_view tag, OFLXMLParser& p) {
    if (OFL::EqualsNoCase(tag, kTagManaged)) managed_ = OFL::CRT::atol(p.GetChildData());
    else if (OFL::EqualsNoCase(tag, kTagQueryData)) queryData_ = p.GetChildData();
    else if (OFL::EqualsNoCase(tag, kTagStatement)) statement_ = p.GetChildData();
  });
}

void OvoSqlCondition::InternalClear() {
  managed_ = 1;
  queryData_.clear();
  statement_.clear();
}

OVODynamicGroup* OVODynamicGroupList::Find(const String& name, POSITION& position) const {
  for (auto it = begin(); it != end(); ++it) {
    if (*it == nullptr || (*it)->GetName() != name) continue;
    position = it.position();
    return *it;
  }
  position = nullptr;
  return nullptr;
}

}  // namespace orvacmn
