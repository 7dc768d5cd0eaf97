#include <algorithm>
#include <memory>
#include <vector>

#include "ofl/tools.h"
#include "orvacmn/jobs/job.h"

namespace orvacmn {
namespace {

constexpr char kTagJob[] = "Job";

}  // namespace

OVOJobList::OVOJobList(const String& text) : OVOXMLSupport(CatalogueEntryFor("OVOJobList")) {
  if (!text.empty()) {
    try {
      Unpack(text);
    } catch (...) {  // no destructor runs for a half-built list
      DeleteObjects();
      throw;
    }
  }
}

OVOJobList::~OVOJobList() { DeleteObjects(); }

void OVOJobList::DeleteObjects() {
  for (OVOJob* job : *this) delete job;
  RemoveAll();
}

String OVOJobList::Pack() const {
  String out;
  AppendJobs(out);
  return out;
}

void OVOJobList::AppendPack(String& out) const {
  if (!IsExactly<OVOJobList>()) out += Pack();
  else AppendJobs(out);
}

void OVOJobList::AppendJobs(String& out) const {
  OFLTools::AppendXMLTag(out, GetObjectName());
  for (const OVOJob* job : *this)
    if (job) job->AppendPack(out);
  OFLTools::AppendXMLTag(out, GetObjectName(), true);
}

int OVOJobList::Unpack(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  RemoveAll();  // forgets, as the owner may hold the jobs elsewhere
  if (!parser.FindElem(GetObjectName().c_str())) return 0;
  OFLXMLParser child;  // one for all jobs, reading each where it stands
  while (parser.FindChildElem()) {
    if (!parser.ChildTagIs(kTagJob)) continue;
    auto job = std::make_unique<OVOJob>();
    child.SetDocFromChild(parser);
    job->UnpackLoaded(child);
    AddTail(job.get());
    job.release();
  }
  return 1;
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
