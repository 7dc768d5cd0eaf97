// Arbitrary text as a job step list and as one packed step: what either packs reads back to itself, and the
// list's evaluations and the step's operations accept whatever was read.
#include <memory>
#include <string>

#include "orvacmn/jobs.h"

#include "check.h"

using orvacmn::OVOJobStep;
using orvacmn::OVOJobStepList;

FUZZ_TEXT(text) {
  OVOJobStepList list(text), again;
  CheckRepack(list, again);
  Check(list.GetCount() == again.GetCount(), "step count differs");
  std::string result, againResult;
  Check(list.DetermineResult(result, 0) == again.DetermineResult(againResult, 0) && result == againResult,
        "result differs");
  const OVOJobStep* next = list.GetNextPendingBootClientStep();
  const OVOJobStep* againNext = again.GetNextPendingBootClientStep();
  Check((next == nullptr) == (againNext == nullptr) && (!next || next->GetGUID() == againNext->GetGUID()),
        "next boot-client step differs");
  list.IsJobFinished();
  list.GetPendingJobStepCount();
  list.ContainLegacyDesasterRestore();
  list.CleanForOVATransmit();
  list.RemoveFinishedSteps(true, 3);

  std::unique_ptr<OVOJobStep> step(OVOJobStepList::CreateJobStep(text));
  if (!step) return;
  const std::string packed = step->Pack();
  std::unique_ptr<OVOJobStep> copy(OVOJobStepList::CreateJobStep(packed));
  Check(copy != nullptr && copy->Pack() == packed && copy->GetType() == step->GetType(), "step does not read back");
  Check(OVOJobStep::GetGUIDFromObject(packed) == step->GetGUID(), "GUID differs");
  step->GetStepDescription();
  step->GetAppDisplayName();
  step->MayRunOnBootclient(true, true);
  step->AddDependency(text);
  step->CleanForOVATransmit();
  // The kind's own nodes read back alone, inside their "StepData" element.
  const std::string data = step->PackStepData();
  Check(copy->UnpackStepData("<StepData>" + data + "</StepData>") == 1 && copy->PackStepData() == data,
        "step data does not read back");
}
