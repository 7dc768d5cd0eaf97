#include "orvacmn/records/kept_children_object.h"

#include <string_view>
#include <utility>

#include "ofl/tools.h"
#include "ofl/xml_spans.h"

namespace orvacmn {
namespace {

// A print writes no indentation and escapes "<" in texts and attribute
// values, so blanks between a ">" and a "<" are a text node of blanks only.
bool HasBlankTextBetweenTags(std::string_view markup) {
  for (size_t i = markup.find('>'); i != std::string_view::npos; i = markup.find('>', i + 1)) {
    size_t j = i + 1;
    while (j < markup.size() && (markup[j] == ' ' || markup[j] == '\t' || markup[j] == '\n' || markup[j] == '\r')) ++j;
    if (j > i + 1 && j < markup.size() && markup[j] == '<') return true;
  }
  return false;
}

}  // namespace

OVOKeptChildrenObject::OVOKeptChildrenObject(const CatalogueEntry& entry, std::span<const KeptField> fields)
    : OVOXMLSupport(entry), fields_(fields), values_(fields.size()), slotOf_(fields.size(), -1) {}

void OVOKeptChildrenObject::AddChild(const String& markup) {
  slots_.push_back({String(), Slot::kKept, static_cast<uint32_t>(children_.size()), String(), String()});
  children_.push_back(markup);
}

int OVOKeptChildrenObject::FindField(std::string_view tag) const {
  for (size_t i = 0; i < fields_.size(); ++i)
    if (OFL::EqualsNoCase(tag, fields_[i].tag)) return static_cast<int>(i);
  return -1;
}

const String& OVOKeptChildrenObject::GetFieldText(std::string_view tag) const {
  static const String kEmpty;
  const int f = FindField(tag);
  return f < 0 ? kEmpty : values_[f];
}

bool OVOKeptChildrenObject::SetFieldText(std::string_view tag, const String& value) {
  const int f = FindField(tag);
  if (f < 0) return false;
  values_[f] = value;
  return true;
}

String OVOKeptChildrenObject::Pack() const {
  if (startTag_.empty()) return OVOXMLSupport::Pack();
  String body = InternalPack();
  if (!endTag_.empty()) return startTag_ + body + endTag_;
  // An empty-element tag stays one while there is nothing to put inside.
  if (body.empty()) return startTag_;
  String out = startTag_.substr(0, startTag_.size() - 2) + ">" + body;
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
  return out;
}

int OVOKeptChildrenObject::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  Clear();
  if (!parser.FindElem(GetObjectName().c_str())) return 0;
  OFL::Xml::RootSpans raw;
  if (!OFL::Xml::SplitRootElement(text, raw)) {
    ReadChildren(parser, nullptr);
    return 1;
  }
  ReadChildren(parser, &raw);
  const String plainStart = OFLTools::MakeXMLTag(GetObjectName());
  const String plainEnd = OFLTools::MakeXMLTag(GetObjectName(), true);
  if (raw.startTag != plainStart || raw.endTag != plainEnd) {
    startTag_.assign(raw.startTag);
    endTag_.assign(raw.endTag);
  }
  return 1;
}

void OVOKeptChildrenObject::InternalUnpack(OFLXMLParser& parser) { ReadChildren(parser, nullptr); }

void OVOKeptChildrenObject::ReadChildren(OFLXMLParser& parser, const OFL::Xml::RootSpans* raw) {
  OFLXMLParser print;  // one for all children read without their source
  size_t n = 0;
  String leading;  // what stood before the next child, including children a subclass read
  ForEachChild(parser, [&](std::string_view tag, OFLXMLParser& p) {
    const OFL::Xml::RootSpans::Child* source =
        raw != nullptr && n < raw->children.size() ? &raw->children[n] : nullptr;
    ++n;
    if (source != nullptr) leading += source->leading;
    if (ReadKnown(tag, p)) return;
    String markup;
    if (source != nullptr) {
      markup.assign(source->element);
    } else {
      // The print parsed once, so what is kept is what a second reading keeps.
      print.SetDocFromChild(p);
      markup = print.GetDoc();
      // A reference to a blank that this reading decoded prints as a blank
      // text beside other nodes, which the next reading drops: read once more.
      if (HasBlankTextBetweenTags(markup)) {
        print.SetDoc(markup);
        markup = print.GetDoc();
      }
    }
    const int f = FindField(tag);
    if (f < 0) {
      if (markup.empty()) return;
      slots_.push_back({std::move(leading), Slot::kKept, static_cast<uint32_t>(children_.size()), String(), String()});
      children_.push_back(std::move(markup));
    } else {
      // A later occurrence wins; the earlier one is written back as it came.
      if (slotOf_[f] >= 0) slots_[slotOf_[f]].field = Slot::kStale;
      String value = fields_[f].kind == KeptField::kText ? p.GetChildData() : markup;
      values_[f] = value;
      slotOf_[f] = static_cast<int32_t>(slots_.size());
      slots_.push_back({std::move(leading), f, 0, std::move(markup), std::move(value)});
    }
    leading.clear();
  });
  if (raw != nullptr) leading += raw->trailing;
  trailing_ = std::move(leading);
}

void OVOKeptChildrenObject::AppendField(String& out, size_t index) const {
  if (fields_[index].kind == KeptField::kText) OFLTools::AppendXMLNode(out, fields_[index].tag, values_[index]);
  else out += values_[index];
}

String OVOKeptChildrenObject::InternalPack() const {
  String out;
  PackKnown(out);
  for (size_t f = 0; f < fields_.size(); ++f)
    if (slotOf_[f] < 0 && !values_[f].empty()) AppendField(out, f);
  for (const Slot& s : slots_) {
    out += s.leading;
    if (s.field == Slot::kKept) out += children_[s.child];
    else if (s.field == Slot::kStale || (values_[s.field] == s.read && !s.markup.empty())) out += s.markup;
    else AppendField(out, static_cast<size_t>(s.field));
  }
  out += trailing_;
  return out;
}

void OVOKeptChildrenObject::InternalClear() {
  ClearKnown();
  for (String& v : values_) v.clear();
  slotOf_.assign(fields_.size(), -1);
  children_.clear();
  slots_.clear();
  trailing_.clear();
  startTag_.clear();
  endTag_.clear();
}

}  // namespace orvacmn
