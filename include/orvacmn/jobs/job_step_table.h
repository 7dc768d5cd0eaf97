// The step-kind table: one row per step type that has a kind, sorted by
// type. The factory, the run location, the boot-client searches and the
// reinstall test all read their per-type facts from it, so each fact is
// written once. The table is constant; read it from any thread.
#ifndef ORVACMN_JOBS_JOB_STEP_TABLE_H_
#define ORVACMN_JOBS_JOB_STEP_TABLE_H_

#include <cstdint>
#include <memory>
#include <span>

#include "orvacmn/jobs/job_step.h"

namespace orvacmn {

struct JobStepKindRow {
  enum EReinstall : uint8_t {
    eKeepsSystem = 0,
    eReinstalls = 1,        // replaces the installed operating system
    eReinstallsByWipe = 2,  // only when the caller counts wiping the disk
  };

  uint32_t type;
  // Where the step runs as planned.
  OVOJobStep::EStepRunLocation location;
  // Expanded into other steps before the job runs; runs nowhere afterwards.
  bool expands;
  // The option bit that moves the step to the boot client, or 0.
  uint32_t bootClientOption;
  // Belongs to the boot-client phase whatever its options.
  bool bootClient;
  // Its place, from 1, in OVOJobStepList::GetBootClientStepList; 0 if absent.
  uint8_t bootClientListPlace;
  EReinstall reinstall;
  // A fresh step of the kind (defaults, no GUID), carrying `type`.
  std::unique_ptr<OVOJobStep> (*make)(OVOJobStep::EStepType type);
};

// Every row, sorted by type without duplicates.
std::span<const JobStepKindRow> JobStepKindRows();
// The row of `type`, or null when no kind serves it.
const JobStepKindRow* FindJobStepKind(uint32_t type);

}  // namespace orvacmn

#endif  // ORVACMN_JOBS_JOB_STEP_TABLE_H_
