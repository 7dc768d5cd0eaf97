#include "orvacmn/jobs/job_step_objects.h"

#include <utility>

#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr char kTagRestoreOptions[] = "RestoreOptions";

}  // namespace

String OVOOpaqueObject::InternalPack() const {
  String out;
  PackKnown(out);
  for (const String& child : children_) out += child;
  return out;
}

void OVOOpaqueObject::InternalUnpack(OFLXMLParser& parser) {
  OFLXMLParser child;  // one for all kept children
  ForEachChild(parser, [&](const String& tag, OFLXMLParser& p) {
    if (ReadKnown(tag, p)) return;
    // Read in place where the child's print parses back the same; otherwise
    // the print is parsed once, so what is kept is what a second reading
    // keeps too.
    child.SetDocFromChild(p);
    String markup = child.GetDoc();
    if (!markup.empty()) children_.push_back(std::move(markup));
  });
}

void OVOOpaqueObject::InternalClear() {
  ClearKnown();
  children_.clear();
}

void OVODesasterRestore::PackKnown(String& out) const {
  OFLTools::AppendXMLNode(out, kTagRestoreOptions, restoreOptions_);
}

bool OVODesasterRestore::ReadKnown(std::string_view tag, OFLXMLParser& parser) {
  if (!OFL::EqualsNoCase(tag, kTagRestoreOptions)) return false;
  restoreOptions_ = OFLTools::AToUL(parser.GetChildDataView());
  return true;
}

}  // namespace orvacmn
