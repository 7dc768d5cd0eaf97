#include <algorithm>
#include <memory>
#include <vector>

#include "ofl/tools.h"
#include "orvacmn/jobs/job.h"

namespace orvacmn {
namespace {

constexpr char kTagJob[] = "Job";

}  // namespace

OVOJobList::OVOJobList(const String& text) : OVOOwningList(CatalogueEntryFor("OVOJobList"), text) {}

// Each "Job" child as its markup would read, but where it stands.
std::unique_ptr<OVOJob> OVOJobList::ReadElement(OFLXMLParser& parser, OFLXMLParser& child) {
  if (!parser.ChildTagIs(kTagJob)) return nullptr;
  auto job = std::make_unique<OVOJob>();
  child.SetDocFromChild(parser);
  job->UnpackLoaded(child);
  return job;
}

OVOJob* OVOJobList::FindJob(const String& text, bool alsoByName, POSITION* pos) const {
  for (auto it = begin(); it != end(); ++it) {
    const OVOJob* job = *it;
    if (job == nullptr) continue;
    if (OFL::EqualsNoCase(job->GetGUID(), text) || (alsoByName && OFL::EqualsNoCase(job->GetName(), text))) {
      if (pos) *pos = it.position();
      return *it;
    }
  }
  return nullptr;
}

int OVOJobList::Compare(const OVOJob* a, const OVOJob* b, ECompareType type) {
  if (a == nullptr || b == nullptr) return 0;
  switch (type) {
    case eCompareName:
      return OFL::CompareNoCase(b->GetName(), a->GetName());
    case eComparePriority:
      if (a->GetPriority() != b->GetPriority()) return a->GetPriority() > b->GetPriority() ? -1 : 1;
      if ((a->GetBootClientSteps() != 0) == (b->GetBootClientSteps() != 0)) return 0;
      return a->GetBootClientSteps() != 0 ? -1 : 1;
  }
  return 0;
}

void OVOJobList::Sort(ECompareType type, bool ascending) {
  if (GetCount() < 2 || (type != eCompareName && type != eComparePriority)) return;
  std::vector<OVOJob*> jobs(begin(), end());
  // Null elements compare equal to everything, which no ordering allows.
  const auto firstNull = std::stable_partition(jobs.begin(), jobs.end(), [](const OVOJob* j) { return j; });
  std::stable_sort(jobs.begin(), firstNull, [type, ascending](const OVOJob* a, const OVOJob* b) {
    const int c = Compare(a, b, type);
    return ascending ? c > 0 : c < 0;
  });
  POSITION pos = GetHeadPosition();
  for (OVOJob* job : jobs) {
    SetAt(pos, job);
    GetNext(pos);
  }
}

}  // namespace orvacmn
