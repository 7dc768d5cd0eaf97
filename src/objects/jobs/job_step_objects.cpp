#include "orvacmn/jobs/job_step_objects.h"

#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr char kTagRestoreOptions[] = "RestoreOptions";

}  // namespace

void OVODesasterRestore::PackKnown(String& out) const {
  OFLTools::AppendXMLNode(out, kTagRestoreOptions, restoreOptions_);
}

bool OVODesasterRestore::ReadKnown(std::string_view tag, OFLXMLParser& parser) {
  if (!OFL::EqualsNoCase(tag, kTagRestoreOptions)) return false;
  restoreOptions_ = OFLTools::AToUL(parser.GetChildDataView());
  return true;
}

}  // namespace orvacmn
