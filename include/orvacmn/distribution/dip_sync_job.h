// OVO::DipSyncJob: a job that brings a distribution point in step with its
// source, run again and again at its interval.
//
// Packed as "SyncJob" in the internal style: nine fields, then the progress
// properties (when there are any), then display texts that are not read
// back ("TimeToFinish", "Progress", "ProgressSmall", "StartTime",
// "DurationAsString", "NextRuntime"). The interval is a text in the
// foundation's interval notation (OFLIntervalStr: "30m", "1d@02:00" ...).
// Display texts of times are local times.
//
// A job moves from queued (1, 2) through active (11, 3, 4, 5) to finished
// (6, 7, 10, 12); aborting passes through 8 or 9 to 10.
//
// Objects carry no locks: callers serialise access.
#ifndef ORVACMN_DISTRIBUTION_DIP_SYNC_JOB_H_
#define ORVACMN_DISTRIBUTION_DIP_SYNC_JOB_H_

#include <cstdint>

#include "orvacmn/common/file_time.h"
#include "orvacmn/common/types.h"
#include "orvacmn/objects/properties.h"
#include "orvacmn/objects/xml_support.h"

namespace orvacmn {
namespace OVO {

class DipSyncJob : public OVOXMLSupport {
 public:
  enum EState : int32_t {
    eStateNone = 0,
    eStateStartPending = 1,
    eStateWaitingForDip = 2,
    eStateAcquiringInformation = 3,
    eStatePreparing = 4,
    eStateSynchronizing = 5,
    eStateFinishedWithError = 6,
    eStateFinishedSuccessfully = 7,
    eStateAborting = 8,
    eStateAbortingForced = 9,
    eStateAborted = 10,
    eStateStarting = 11,
    eStateFinishedErrorsIgnored = 12,
  };
  // Kind 1 counts errors and aborts as finished; the others only success.
  enum EFinished : int32_t { eFinishedSuccess = 0, eFinishedAny = 1 };

  // Columns of the object store's partial updates.
  static constexpr char Str_OvsUpdateLastResult[] = "LastResult";
  static constexpr char Str_OvsUpdateLastRunTime[] = "LastRunTime";

  // Progress property names; all are unsigned numbers but the last three.
  static constexpr char kPropDuration[] = "Duration";  // seconds
  static constexpr char kPropTotalSize[] = "TotalSize";
  static constexpr char kPropProcessedSize[] = "ProcessedSize";
  static constexpr char kPropTotalItems[] = "TotalItems";
  static constexpr char kPropProcessedItems[] = "ProcessedItems";
  static constexpr char kPropDeleteTotalSize[] = "DeleteTotalSize";
  static constexpr char kPropDeleteProcessedSize[] = "DeleteProcessedSize";
  static constexpr char kPropDeleteTotalItems[] = "DeleteTotalItems";
  static constexpr char kPropDeleteProcessedItems[] = "DeleteProcessedItems";
  static constexpr char kPropSkippedErrors[] = "SkippedErrors";
  static constexpr char kPropCurrentFile[] = "CurrentFile";
  static constexpr char kPropCommProfile[] = "CommProfile";
  static constexpr char kPropLastAutoResult[] = "LastAutoResult";

  // Object name "SyncJob", schema 0x50001.
  DipSyncJob();
  // Unpacks `text` when it is not empty.
  explicit DipSyncJob(const String& text);

  bool operator==(const DipSyncJob& other) const;
  bool operator!=(const DipSyncJob& other) const { return !(*this == other); }

  const String& GetGuid() const { return guid_; }
  void SetGuid(const String& v) { guid_ = v; }
  const String& GetName() const { return name_; }
  void SetName(const String& v) { name_ = v; }
  // The distribution point being synchronised.
  const String& GetDipGuid() const { return dipGuid_; }
  void SetDipGuid(const String& v) { dipGuid_ = v; }
  const String& GetBaseFolder() const { return baseFolder_; }
  void SetBaseFolder(const String& v) { baseFolder_ = v; }
  const String& GetLastResult() const { return lastResult_; }
  void SetLastResult(const String& v) { lastResult_ = v; }
  int32_t GetState() const { return state_; }
  void SetState(int32_t v) { state_ = v; }
  CFileTime GetLastRun() const { return lastRun_; }
  void SetLastRun(CFileTime v) { lastRun_ = v; }
  OVO::Properties& GetProperties() { return properties_; }
  const OVO::Properties& GetProperties() const { return properties_; }

  // ---- options ----
  uint32_t GetOptionsAsULong() const { return options_; }
  void SetOptionsFromULong(uint32_t v) { options_ = v; }
  // All bits of `mask` are set.
  bool IsOptionSet(uint32_t mask) const { return (options_ & mask) == mask; }
  void SetOption(uint32_t mask, bool on) { options_ = on ? options_ | mask : options_ & ~mask; }

  // ---- interval ----
  const String& GetIntervalStr() const { return interval_; }
  void SetIntervalStr(const String& v) { interval_ = v; }
  // The interval in the English display form ("every day at 02:00"), and
  // back; false (interval unchanged) for a text that is not one.
  String GetIntervalDisplayStr() const;
  bool SetIntervalDisplayStr(const String& text);
  bool IsValidInterval() const;
  // Seconds since 1970 of the next run after the last one; -1 without a
  // valid interval. A job that never ran is next run now.
  CTime GetNextRunTime(CTime now) const;
  // Due at once when it never ran (LastRun 0), else when the interval has
  // passed since the last run.
  bool IsDue(CTime now) const;

  // ---- state ----
  bool IsQueued() const { return state_ == eStateStartPending || state_ == eStateWaitingForDip; }
  bool IsActive() const;
  bool IsFinished(EFinished kind) const;
  // The text of the job state; 12 is filled with SkippedErrors.
  String GetJobStateText() const { return GetJobStateText(state_, SkippedErrors()); }
  static String GetJobStateText(int32_t state, uint32_t skippedErrors);

  // ---- display texts ----
  // "42%" of the bytes (or, without sizes, the items) processed; empty
  // without totals. The long form adds "(3 of 7 items, 1.5 MB of 4.0 MB)".
  String GetProgressAsString(bool small = false) const;
  // The local time of the last run, when the job is active; else empty.
  String GetStartingTimeAsString() const;
  // The time left, estimated from the duration and the progress, as
  // "hh:mm:ss"; empty while nothing is known.
  String GetTimeToFinishAsString() const;
  // "hh:mm:ss" of the duration.
  String GetDurationAsString() const;
  // The local time of the next run after the last one; "-" when the job
  // never ran or has no valid interval.
  String GetNextRuntimeAsString() const;
  // "1 item", "N items".
  static String GetEntryTextByItemCount(uint64_t count);

 protected:
  String InternalPack() const override;
  void InternalUnpack(OFLXMLParser& parser) override;
  void InternalClear() override;

 private:
  uint32_t SkippedErrors() const;
  uint64_t Number(const char* name) const;
  CTime LastRunSeconds() const;

  String guid_, name_, dipGuid_, baseFolder_, lastResult_;
  int32_t state_ = 0;
  String interval_;
  CFileTime lastRun_;
  uint32_t options_ = 0;
  OVO::Properties properties_;
};

}  // namespace OVO
}  // namespace orvacmn

#endif  // ORVACMN_DISTRIBUTION_DIP_SYNC_JOB_H_
