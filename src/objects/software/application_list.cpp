#include "orvacmn/software/application_list.h"

#include <memory>
#include <string_view>

#include "ofl/tools.h"

namespace orvacmn {
namespace {
constexpr std::string_view kElementName = CatalogueEntryFor("OVOSoftwareApplication").objectName;
}  // namespace

OVOSoftwareApplicationList::OVOSoftwareApplicationList()
    : OVOXMLSupport(CatalogueEntryFor("OVOSoftwareApplicationList")) {}

OVOSoftwareApplicationList::OVOSoftwareApplicationList(const String& text) : OVOSoftwareApplicationList() {
  if (!text.empty()) Unpack(text);
}

OVOSoftwareApplicationList::~OVOSoftwareApplicationList() { DeleteObjects(); }

void OVOSoftwareApplicationList::DeleteObjects() {
  for (OVOSoftwareApplication* app : *this) delete app;
  RemoveAll();
}

String OVOSoftwareApplicationList::Pack() const {
  String out;
  AppendPack(out);
  return out;
}

void OVOSoftwareApplicationList::AppendPack(String& out) const {
  if (!IsExactly<OVOSoftwareApplicationList>()) {
    out += Pack();
    return;
  }
  OFLTools::AppendXMLTag(out, GetObjectName());
  size_t left = static_cast<size_t>(GetCount());
  bool sized = false;
  for (const OVOSoftwareApplication* app : *this) {
    --left;
    if (app == nullptr) continue;
    const size_t before = out.size();
    app->AppendPack(out);
    if (sized) continue;
    sized = true;
    // Room for the others, sized like the first, rather than growing step by
    // step through a long list.
    const size_t want = out.size() + (out.size() - before) * 9 / 8 * left + 64;
    if (left > 0 && want > out.capacity()) out.reserve(want);
  }
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

int OVOSoftwareApplicationList::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  Clear();
  if (!parser.FindElem(GetObjectName().c_str())) return 0;
  OFLXMLParser child, scratch;  // one each for all elements
  ForEachChild(parser, [this, &child, &scratch](std::string_view tag, OFLXMLParser& p) {
    if (!OFL::EqualsNoCase(tag, kElementName)) return;
    auto app = std::make_unique<OVOSoftwareApplication>();
    // What constructing it from the child's markup gives, read in place.
    child.SetDocFromChild(p);
    if (child.FindElem(kElementName.data())) app->ReadFields(child, scratch);
    AddTail(app.get());
    app.release();
  });
  return 1;
}

}  // namespace orvacmn
