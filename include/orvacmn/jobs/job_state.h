// OVO::JobState: the state record that jobs, job steps and job targets share.
//
// Four unsigned 32-bit parts: the state (only its low 8 bits are meaningful),
// the flags (only the bits above the low 8 are meaningful), the user-consent
// state and the priority state. As one 32-bit value (ToDword, the stored and
// packed form) a record is state OR flags; consent and priority state travel
// separately.
//
// A plain value: no locks; use from one thread at a time.
#ifndef ORVACMN_JOBS_JOB_STATE_H_
#define ORVACMN_JOBS_JOB_STATE_H_

#include <cstdint>

namespace orvacmn {
namespace OVO {

class JobState {
 public:
  static constexpr uint32_t kStateMask = 0xFF;
  static constexpr uint32_t kFlagsMask = ~kStateMask;

  enum EState : uint32_t {
    eStateNone = 0,
    eStateWaiting = 1,    // outside the validity window, or a cleared job
    eStateScheduled = 2,  // inside the validity window
    eStateRunning = 5,
    eStateStopped = 6,
    eStateFinished = 7,
  };

  struct Flags {
    enum EFlag : uint32_t {
      eFlagNone = 0,
      eFlagResumable = 0x100,
      eFlagFailed = 0x200,
      eFlagInterrupted = 0x400,
      eFlagBackground = 0x8000,  // the job's option 0x4 was set at assignment
    };
  };

  enum UserConsentState : uint32_t {
    eConsentNone = 0,
    eConsentPending = 1,
    eConsentGranted = 2,
    eConsentDenied = 3,
    eConsentPostponed = 4,
  };

  enum PriorityState : uint32_t {
    ePriorityNone = 0,
    ePriorityContinuation = 1,  // a job that continues another one
    ePriorityImmediate = 2,
  };

  // All parts 0.
  JobState() = default;
  // The low 8 bits as state, the rest as flags; consent and priority 0.
  explicit JobState(uint32_t value) { SetCleanStates(value); }
  JobState(uint32_t value, UserConsentState consent) : JobState(value) { consent_ = consent; }
  JobState(uint32_t value, UserConsentState consent, PriorityState priority) : JobState(value, consent) {
    priority_ = priority;
  }
  // The state as given; the flags without their low 8 bits.
  JobState(EState state, uint32_t flags) : state_(state), flags_(flags & kFlagsMask) {}
  JobState(EState state, UserConsentState consent, uint32_t flags)
      : state_(state), flags_(flags & kFlagsMask), consent_(consent) {}

  // State OR flags.
  uint32_t ToDword() const { return state_ | flags_; }
  // Splits `value` into state (low 8 bits) and flags (the rest); consent and
  // priority state are kept.
  void SetCleanStates(uint32_t value) {
    state_ = value & kStateMask;
    flags_ = value & kFlagsMask;
  }
  // Stores both exactly as given.
  void SetCleanStates(uint32_t state, uint32_t flags) {
    state_ = state;
    flags_ = flags;
  }

  EState GetState() const { return static_cast<EState>(state_); }
  void SetState(EState state) { state_ = state; }
  bool IsState(EState state) const { return state_ == static_cast<uint32_t>(state); }

  uint32_t GetFlags() const { return flags_; }
  // Sets (`on`) or clears the bits of `mask` above the low 8.
  void SetFlags(uint32_t mask, bool on) {
    mask &= kFlagsMask;
    flags_ = on ? (flags_ | mask) : (flags_ & ~mask);
  }
  // True when every bit of `flag` is set.
  bool HasFlag(uint32_t flag) const { return (flags_ & flag) == flag; }

  UserConsentState GetUserConsentState() const { return static_cast<UserConsentState>(consent_); }
  void SetState(UserConsentState consent) { consent_ = consent; }

  PriorityState GetPriorityState() const { return static_cast<PriorityState>(priority_); }
  void SetPriorityState(PriorityState priority) { priority_ = priority; }
  bool IsPriorityState(PriorityState priority) const { return priority_ == static_cast<uint32_t>(priority); }

  bool operator==(const JobState&) const = default;

 private:
  uint32_t state_ = 0;
  uint32_t flags_ = 0;
  uint32_t consent_ = 0;
  uint32_t priority_ = 0;
};

}  // namespace OVO
}  // namespace orvacmn

#endif  // ORVACMN_JOBS_JOB_STATE_H_
