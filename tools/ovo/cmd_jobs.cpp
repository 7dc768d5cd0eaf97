// The job classes of `ovo object`: job targets, user job states and text
// entries, each with its list.
#include <memory>

#include "orvacmn/jobs.h"
#include "ovo.h"

namespace {

using orvacmn::OVOJobTarget;
using orvacmn::OVOJobTargetList;
using orvacmn::OVOTextEntry;
using orvacmn::OVOTextEntryList;
using orvacmn::OVOUserJobState;
using orvacmn::OVOUserJobStateList;

const ovo::ObjectClass kJobTarget("OVOJobTarget", [] { return std::make_unique<OVOJobTarget>(); });
const ovo::ObjectClass kJobTargetList("OVOJobTargetList", [] { return std::make_unique<OVOJobTargetList>(); });
const ovo::ObjectClass kUserJobState("OVOUserJobState", [] { return std::make_unique<OVOUserJobState>(); });
const ovo::ObjectClass kUserJobStateList("OVOUserJobStateList",
                                         [] { return std::make_unique<OVOUserJobStateList>(); });
const ovo::ObjectClass kTextEntry("OVOTextEntry", [] { return std::make_unique<OVOTextEntry>(); });
const ovo::ObjectClass kTextEntryList("OVOTextEntryList", [] { return std::make_unique<OVOTextEntryList>(); });

}  // namespace
