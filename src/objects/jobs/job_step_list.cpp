#include "orvacmn/jobs/job_step_list.h"

#include <algorithm>
#include <memory>

#include "job_step_fields.h"
#include "ofl/format.h"
#include "ofl/tools.h"
#include "orvacmn/jobs/job_step_kinds.h"
#include "orvacmn/jobs/job_step_table.h"

namespace orvacmn {
namespace {

using Step = OVOJobStep;

constexpr char kTagJobStep[] = "JobStep";
constexpr char kAttribType[] = "type";
constexpr uint32_t kResStepsFailed = 7118;
constexpr uint32_t kResultSuccess = 7;
constexpr uint32_t kResultWarning = 519;
constexpr uint32_t kResultFailed = 1031;
constexpr uint32_t kOptionFailOnAnyError = 0x2;

// A fresh step of the kind for `type`, or null for a type without one.
std::unique_ptr<Step> NewKind(uint32_t type) {
  const JobStepKindRow* row = FindJobStepKind(type);
  return row ? row->make(static_cast<Step::EStepType>(type)) : nullptr;
}

// Whether the step belongs to the boot-client phase.
bool IsBootClientStep(const Step& s) {
  const JobStepKindRow* row = FindJobStepKind(s.GetType());
  return row && (row->bootClient || (row->bootClientOption != 0 && s.GetOption(row->bootClientOption)));
}

}  // namespace

OVOJobStepList::OVOJobStepList(const String& text) : OVOOwningList(CatalogueEntryFor("OVOJobStepList"), text) {}

// Each child as CreateJobStep(its markup) would read it, but in place: the
// step's root must be exactly "JobStep" and its type must name a kind.
std::unique_ptr<OVOJobStep> OVOJobStepList::ReadElement(OFLXMLParser& parser, OFLXMLParser& /*child*/) {
  if (!parser.ChildTagIs(kTagJobStep, false)) return nullptr;
  const int32_t type = OFL::CRT::atol(parser.GetChildAttrib(kAttribType));
  std::unique_ptr<OVOJobStep> step = NewKind(static_cast<uint32_t>(type));
  if (step) JobStepAccess::ReadChild(*step, parser);
  return step;
}

OVOJobStep* OVOJobStepList::CreateJobStep(EStepType type, const OVOJobStep* from) {
  std::unique_ptr<OVOJobStep> step = NewKind(type);
  if (!step) return nullptr;
  step->SetGUID(OFL::Tools::GenerateGuid());
  if (from) {
    step->SetJobGUID(from->GetJobGUID());
    step->SetClientGUID(from->GetClientGUID());
    step->SetVirtualStep(from->GetGUID());
  }
  return step.release();
}

OVOJobStep* OVOJobStepList::CreateJobStep(const String& text) {
  OFLXMLParser parser;
  parser.SetDoc(text);
  if (!parser.FindElem()) return nullptr;
  std::unique_ptr<OVOJobStep> step = NewKind(static_cast<uint32_t>(OFL::CRT::atol(parser.GetAttrib(kAttribType))));
  // As the kind's Unpack(text), on the document already loaded: the new
  // GUID the factory would give is cleared by it anyway.
  if (!step || parser.GetTagNameView() != kTagJobStep) return nullptr;
  step->Clear();
  step->ReadElement(parser);
  return step.release();
}

OVOJobStep* OVOJobStepList::FindStep(EStepType type, int visitLimit, bool skipFinished) const {
  int64_t remaining = static_cast<int64_t>(visitLimit) + 1;
  for (OVOJobStep* s : *this) {
    if (remaining-- <= 0) break;
    if (s && s->GetType() == type && !(skipFinished && s->IsFinished())) return s;
  }
  return nullptr;
}

POSITION OVOJobStepList::FindStep(const String& guid) const {
  for (auto it = begin(); it != end(); ++it)
    if (*it && OFL::EqualsNoCase((*it)->GetGUID(), guid)) return it.position();
  return nullptr;
}

OVOJobStep* OVOJobStepList::GetNextPendingStep() const {
  for (OVOJobStep* s : *this)
    if (s && !s->ShouldSkipJobStep()) return s;
  return nullptr;
}

int OVOJobStepList::GetPendingJobStepCount() const {
  int n = 0;
  for (const OVOJobStep* s : *this)
    if (s && !s->ShouldSkipJobStep()) ++n;
  return n;
}

int OVOJobStepList::GetFinishedJobStepCount() const {
  int n = 0;
  for (const OVOJobStep* s : *this)
    if (s && s->IsFinished()) ++n;
  return n;
}

int OVOJobStepList::GetNonVirtualNonSkippedStepCount() const {
  int n = 0;
  for (const OVOJobStep* s : *this)
    if (s && !s->IsVirtualStep() && (s->GetStateValue() & OVOJobStep::kFlagNotCounted) == 0) ++n;
  return n;
}

OVOJobStep* OVOJobStepList::GetNextPendingBootClientStep() const {
  OVOJobStep* following = nullptr;  // the candidate after the one looked at
  POSITION pos = GetTailPosition();
  while (pos) {
    OVOJobStep* s = GetPrev(pos);
    if (!s || s->IsVirtualStep() || s->GetOption(OVOJobStep::kOptionSkip) || s->GetType() == OVOJobStep::eBootImage)
      continue;
    if (s->IsFinished()) return s->HasStateFlag(OVOJobStep::kFlagFailed) ? s : following;
    following = s;
  }
  return following;  // the first candidate, or null
}

POSITION OVOJobStepList::FindBootClientStep() const {
  for (auto it = begin(); it != end(); ++it)
    if (*it && IsBootClientStep(**it)) return it.position();
  return nullptr;
}

OFLTokenizer OVOJobStepList::GetBootClientStepList() {
  const auto rows = JobStepKindRows();
  OFLTokenizer t;
  for (uint8_t place = 1;; ++place) {
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.bootClientListPlace == place; });
    if (row == rows.end()) return t;
    t.AddDWord(row->type);
  }
}

bool OVOJobStepList::IsLastStep(const OVOJobStep* step) const { return !IsEmpty() && GetTail() == step; }

bool OVOJobStepList::IsJobFinished() const {
  for (const OVOJobStep* s : *this)
    if (s && s->GetRunLocation(true) != OVOJobStep::eRunNowhere && !s->IsFinished()) return false;
  return true;
}

void OVOJobStepList::RemoveFinishedSteps(bool keepFlagged, uint32_t newState) {
  POSITION pos = GetHeadPosition();
  while (pos) {
    const POSITION here = pos;
    OVOJobStep* s = GetNext(pos);
    if (!s || !s->IsFinished()) continue;
    if (keepFlagged && s->HasStateFlag(OVOJobStep::kFlagWarning | OVOJobStep::kFlagFailed)) {
      if (newState != 0) s->SetStateValue(newState);
      continue;
    }
    RemoveAt(here);
    delete s;
  }
}

uint32_t OVOJobStepList::DetermineResult(String& text, uint32_t options) const {
  text.clear();
  if (IsEmpty()) return kResultSuccess;
  int finished = 0, failed = 0, warnings = 0;
  for (const OVOJobStep* s : *this) {
    if (!s || !s->IsFinished()) continue;
    ++finished;
    if (s->HasStateFlag(OVOJobStep::kFlagFailed)) {
      if (failed++ == 0) text = s->GetStateString();
    }
    if (s->HasStateFlag(OVOJobStep::kFlagWarning) || s->HasStateFlag(OVOJobStep::kFlagWarningAlt)) ++warnings;
  }
  if (failed >= 2) text = OFLFormat(kResStepsFailed, failed).str();
  if (failed > 0) return (options & kOptionFailOnAnyError) || failed == finished ? kResultFailed : kResultWarning;
  return warnings > 0 ? kResultWarning : kResultSuccess;
}

void OVOJobStepList::ResetGUIDs() {
  for (OVOJobStep* s : *this)
    if (s) s->SetGUID(OFL::Tools::GenerateGuid());
}

void OVOJobStepList::CleanForOVATransmit() {
  POSITION pos = GetHeadPosition();
  while (pos) {
    const POSITION here = pos;
    OVOJobStep* s = GetNext(pos);
    if (!s) continue;
    const auto location = s->GetRunLocation(true);
    if (location == OVOJobStep::eRunOnAgent || location == OVOJobStep::eRunOnServer) {
      s->CleanForOVATransmit();
      continue;
    }
    RemoveAt(here);
    delete s;
  }
}

bool OVOJobStepList::HasStepWithRunLocation(EStepRunLocation location) const {
  for (const OVOJobStep* s : *this)
    if (s && s->GetRunLocation(true) == location) return true;
  return false;
}

bool OVOJobStepList::HasStepWithRunLocationBeforeStep(EStepRunLocation location, const OVOJobStep* step,
                                                      bool nonVirtualOnly) const {
  if (!step) return false;
  bool seen = false;
  for (const OVOJobStep* s : *this) {
    if (!s) continue;
    if (OFL::EqualsNoCase(s->GetGUID(), step->GetGUID())) return seen;
    if (s->GetRunLocation(true) == location && !(nonVirtualOnly && s->IsVirtualStep())) seen = true;
  }
  return false;
}

bool OVOJobStepList::ContainLegacyDesasterRestore() const {
  for (const OVOJobStep* s : *this) {
    if (!s || s->GetType() != OVOJobStep::eDesasterRestore) continue;
    const auto* restore = dynamic_cast<const OVOJobStepDesasterRestore*>(s);
    if (restore && restore->GetDesasterRestore().IsLegacyRestore()) return true;
  }
  return false;
}

bool OVOJobStepList::WillReinstall(bool pendingOnly, bool includeWipe) const {
  for (const OVOJobStep* s : *this) {
    if (!s) continue;
    const JobStepKindRow* row = FindJobStepKind(s->GetType());
    const auto reinstall = row ? row->reinstall : JobStepKindRow::eKeepsSystem;
    if (!(reinstall == JobStepKindRow::eReinstalls || (includeWipe && reinstall == JobStepKindRow::eReinstallsByWipe)))
      continue;
    if (pendingOnly && (s->GetOption(OVOJobStep::kOptionSkip) || s->IsFinished())) continue;
    return true;
  }
  return false;
}

}  // namespace orvacmn
