// OVOJobStepList: the ordered steps of a job, and the factory that makes the
// right kind for a step type or a packed step.
//
// The list owns its steps: the destructor, Clear and DeleteObjects destroy
// them. It packs as "JobStepList" holding each step's text in order. Unpack
// forgets the current pointers without destroying them (owners that keep
// them call DeleteObjects first) and appends one step per child element that
// the factory recognises: a "JobStep" element whose "type" names a kind;
// other children are skipped.
//
// Objects carry no locks; use each from one thread at a time.
#ifndef ORVACMN_JOBS_JOB_STEP_LIST_H_
#define ORVACMN_JOBS_JOB_STEP_LIST_H_

#include <cstdint>
#include <memory>

#include "ofl/tokenizer.h"
#include "orvacmn/jobs/job_step.h"
#include "orvacmn/objects/owning_list.h"
#include "orvacmn/objects/ptr_list.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {

class OVOJobStepList : public OVOOwningList<OVOJobStepList, OVOJobStep> {
 public:
  using EStepType = OVOJobStep::EStepType;
  using EStepRunLocation = OVOJobStep::EStepRunLocation;
  static constexpr int kVisitAll = 0x7FFFFFFF;

  explicit OVOJobStepList(const String& text = String());


  // A new step of the kind for `type` with a new GUID, or null for a type
  // without a kind. With `from`: its job and client GUIDs are copied and its
  // GUID becomes the new step's "VirtualStep". The caller owns the step.
  static OVOJobStep* CreateJobStep(EStepType type, const OVOJobStep* from = nullptr);
  // The step packed in `text` (its first element, the kind chosen by its
  // "type" attribute), or null when there is none of a known kind.
  static OVOJobStep* CreateJobStep(const String& text);

  // The first step of `type` among the first visitLimit + 1 steps; with
  // `skipFinished`, finished steps (state 7) do not count. Null if none.
  OVOJobStep* FindStep(EStepType type, int visitLimit = kVisitAll, bool skipFinished = false) const;
  // The position of the step with that GUID (case ignored), or null.
  POSITION FindStep(const String& guid) const;

  // The first step not to be skipped (ShouldSkipJobStep), or null.
  OVOJobStep* GetNextPendingStep() const;
  int GetPendingJobStepCount() const;
  // Steps in state 7.
  int GetFinishedJobStepCount() const;
  // Non-virtual steps whose "State" lacks bit 0x80000000.
  int GetNonVirtualNonSkippedStepCount() const;
  // Among the non-virtual, not skipped steps of a type other than 140, seen
  // from the tail: the first finished one if it failed (flag 0x400), else
  // the one after it; with none finished, the first; null if none.
  OVOJobStep* GetNextPendingBootClientStep() const;
  // The position of the first step of the boot-client phase (its kind row
  // says so, or the row's boot-client option is set), or null.
  POSITION FindBootClientStep() const;
  // The types with a list place in the kind table, in the order of places.
  static OFLTokenizer GetBootClientStepList();
  // True when `step` is the last element.
  bool IsLastStep(const OVOJobStep* step) const;
  // False when a step that runs somewhere (location not 0) is unfinished.
  bool IsJobFinished() const;
  // Removes and destroys the finished steps. With `keepFlagged`, those with
  // flag 0x200 or 0x400 stay and, when `newState` is not 0, take it as their
  // whole "State".
  void RemoveFinishedSteps(bool keepFlagged, uint32_t newState);
  // The job's result from its finished steps: 7 success, 519 warning or a
  // failure among successes, 1031 failed (or any failure when `options` has
  // bit 0x2). `text` gets the failed step's text, or "%d step(s) failed".
  uint32_t DetermineResult(String& text, uint32_t options) const;
  // A new GUID for every step.
  void ResetGUIDs();
  // Drops the steps that do not run on the agent or the server (location
  // neither 1 nor 3) and cleans the others.
  void CleanForOVATransmit();
  bool HasStepWithRunLocation(EStepRunLocation location) const;
  // True when a step before `step` (found by GUID, case ignored) has that
  // location and, with `nonVirtualOnly`, is not virtual. False when `step`
  // is not in the list.
  bool HasStepWithRunLocationBeforeStep(EStepRunLocation location, const OVOJobStep* step,
                                        bool nonVirtualOnly) const;
  // True when a step of type 153 restores the legacy way.
  bool ContainLegacyDesasterRestore() const;
  // True when a step replaces the installed operating system, as its kind
  // row says (wiping the disk only with `includeWipe`); with `pendingOnly`,
  // steps with option 0x4000 or in state 7 do not count.
  bool WillReinstall(bool pendingOnly, bool includeWipe) const;

 private:
  friend class OVOOwningList<OVOJobStepList, OVOJobStep>;
  static std::unique_ptr<OVOJobStep> ReadElement(OFLXMLParser& parser, OFLXMLParser& child);
};

}  // namespace orvacmn

#endif  // ORVACMN_JOBS_JOB_STEP_LIST_H_
