#include "orvacmn/hardware/spv.h"

#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace {

constexpr char kTagEntry[] = "SPVEntry";
constexpr char kTagOS[] = "OS";
constexpr char kTagSection[] = "Section";
constexpr char kTagParam[] = "Param";
constexpr char kTagValue[] = "Value";

}  // namespace

OvoSpv::OvoSpv() : OVOXMLSupport(CatalogueEntryFor("OvoSpv")) {}

OvoSpv::OvoSpv(const String& text) : OvoSpv() {
  if (!text.empty()) Unpack(text);
}

OvoSpv::OvoSpv(const OvoSpv& other) : OVOXMLSupport(other) { *this = other; }

OvoSpv& OvoSpv::operator=(const OvoSpv& other) {
  if (this == &other) return *this;
  OVOXMLSupport::operator=(other);
  DeleteList();
  for (const _SPVEntry* e : other.entries_) Insert(e->os, e->section, e->param, e->value);
  return *this;
}

OvoSpv::~OvoSpv() { DeleteList(); }

bool OvoSpv::operator==(const OvoSpv& other) const {
  if (GetCount() != other.GetCount()) return false;
  POSITION a = entries_.GetHeadPosition();
  POSITION b = other.entries_.GetHeadPosition();
  while (a)
    if (!(*entries_.GetNext(a) == *other.entries_.GetNext(b))) return false;
  return true;
}

String OvoSpv::Pack() const {
  if (!IsExactly<OvoSpv>()) return OVOXMLSupport::Pack();
  String out;
  AppendPack(out);
  return out;
}

void OvoSpv::AppendPack(String& out) const {
  if (!IsExactly<OvoSpv>()) {
    out += Pack();
    return;
  }
  OFLTools::AppendXMLTag(out, GetObjectName());
  AppendEntries(out);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

String OvoSpv::InternalPack() const {
  String out;
  AppendEntries(out);
  return out;
}

void OvoSpv::AppendEntries(String& out) const {
  for (const _SPVEntry* e : entries_) {
    OFLTools::AppendXMLTag(out, kTagEntry);
    OFLTools::AppendXMLNode(out, kTagOS, e->os);
    OFLTools::AppendXMLNode(out, kTagSection, e->section);
    OFLTools::AppendXMLNode(out, kTagParam, e->param);
    OFLTools::AppendXMLNode(out, kTagValue, e->value);
    OFLTools::AppendXMLTag(out, kTagEntry, true);
  }
}

void OvoSpv::InternalUnpack(OFLXMLParser& parser) {
  static constexpr std::string_view kTags[] = {kTagOS, kTagSection, kTagParam, kTagValue};
  ForEachChild(parser, [this](const String& tag, OFLXMLParser& p) {
    if (!OFL::EqualsNoCase(tag, kTagEntry)) return;
    std::string_view data[std::size(kTags)];
    p.GetChildFieldViews(kTags, data);
    Insert(OFLTools::AToLL(data[0]), String(data[1]), String(data[2]), String(data[3]));
  });
}

void OvoSpv::Clear() { DeleteList(); }

OvoSpv::_SPVEntry* OvoSpv::Insert(int64_t os, const String& section, const String& param, const String& value) {
  auto* entry = new _SPVEntry{os, section, param, value};
  entries_.TransferAddTail(entry);
  return entry;
}

void OvoSpv::DeleteList() {
  while (!entries_.IsEmpty()) delete entries_.RemoveHead();
}

const OvoSpv::_SPVEntry* OvoSpv::Find(int64_t os, const String& section, const String& param) const {
  for (const _SPVEntry* e : entries_)
    if (OVOHelper::IsOSSupported(static_cast<uint64_t>(e->os), static_cast<uint64_t>(os)) &&
        OFL::EqualsNoCase(e->section, section) && OFL::EqualsNoCase(e->param, param))
      return e;
  return nullptr;
}

}  // namespace orvacmn
