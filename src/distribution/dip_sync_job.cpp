#include "orvacmn/distribution/dip_sync_job.h"

#include <string_view>

#include "ofl/format.h"
#include "ofl/interval_str.h"
#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace OVO {

namespace {

constexpr char kTagGuid[] = "Guid";
constexpr char kTagName[] = "Name";
constexpr char kTagDip[] = "DIP";
constexpr char kTagBaseFolder[] = "BaseFolder";
constexpr char kTagLastResult[] = "LastResult";
constexpr char kTagState[] = "State";
constexpr char kTagInterval[] = "Interval";
constexpr char kTagLastRun[] = "LastRun";
constexpr char kTagOptions[] = "Options";

// The texts of the job states 0..12.
constexpr uint32_t kStateTexts[] = {7170, 7171, 7180, 7172, 7173, 7174, 7175, 7176, 7177, 7177, 7178, 7198, 7179};

String Clock(uint64_t seconds) {
  return OFLFormat("%02I64u:%02I64u:%02I64u", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

String Megabytes(uint64_t bytes) { return OFLFormat("%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0)); }

}  // namespace

DipSyncJob::DipSyncJob() : OVOXMLSupport(CatalogueEntryFor("OVO::DipSyncJob")) {}

DipSyncJob::DipSyncJob(const String& text) : DipSyncJob() {
  if (!text.empty()) Unpack(text);
}

bool DipSyncJob::operator==(const DipSyncJob& o) const {
  return guid_ == o.guid_ && name_ == o.name_ && dipGuid_ == o.dipGuid_ && baseFolder_ == o.baseFolder_ &&
         lastResult_ == o.lastResult_ && state_ == o.state_ && interval_ == o.interval_ && lastRun_ == o.lastRun_ &&
         options_ == o.options_ && properties_.GetMap() == o.properties_.GetMap();
}

String DipSyncJob::GetIntervalDisplayStr() const { return OFLIntervalStr(interval_).GetIntervalDisplayStr(); }

bool DipSyncJob::SetIntervalDisplayStr(const String& text) {
  OFLIntervalStr interval;
  if (!interval.SetIntervalDisplayStr(text)) return false;
  interval_ = interval.GetIntervalStr();
  return true;
}

bool DipSyncJob::IsValidInterval() const { return OFLIntervalStr::IsValidInterval(interval_); }

CTime DipSyncJob::LastRunSeconds() const {
  const uint64_t ft = lastRun_.GetTime();
  if (ft < CFileTime::kUnixEpoch) return -static_cast<CTime>((CFileTime::kUnixEpoch - ft) / 10000000);
  return static_cast<CTime>((ft - CFileTime::kUnixEpoch) / 10000000);
}

CTime DipSyncJob::GetNextRunTime(CTime now) const {
  const OFLIntervalStr interval(interval_);
  if (!interval.IsValid()) return -1;
  return lastRun_.GetTime() == 0 ? now : interval.GetNextRunTime(LastRunSeconds());
}

bool DipSyncJob::IsDue(CTime now) const {
  return OFLIntervalStr(interval_).IsDue(LastRunSeconds(), lastRun_.GetTime() == 0, now);
}

bool DipSyncJob::IsActive() const {
  return state_ == eStateAcquiringInformation || state_ == eStatePreparing || state_ == eStateSynchronizing ||
         state_ == eStateStarting;
}

bool DipSyncJob::IsFinished(EFinished kind) const {
  if (state_ == eStateFinishedSuccessfully || state_ == eStateFinishedErrorsIgnored) return true;
  return kind == eFinishedAny && (state_ == eStateFinishedWithError || state_ == eStateAborted);
}

String DipSyncJob::GetJobStateText(int32_t state, uint32_t skippedErrors) {
  if (state < 0 || state > eStateFinishedErrorsIgnored) return OFLTools::LoadResString(kStateTexts[0]);
  return OFLFormat(kStateTexts[state], skippedErrors);
}

uint64_t DipSyncJob::Number(const char* name) const {
  uint64_t v;
  properties_.GetProperty(name, v, 0ull);
  return v;
}

uint32_t DipSyncJob::SkippedErrors() const { return static_cast<uint32_t>(Number(kPropSkippedErrors)); }

String DipSyncJob::GetProgressAsString(bool small) const {
  const uint64_t totalSize = Number(kPropTotalSize), doneSize = Number(kPropProcessedSize);
  const uint64_t totalItems = Number(kPropTotalItems), doneItems = Number(kPropProcessedItems);
  const uint64_t total = totalSize ? totalSize : totalItems, done = totalSize ? doneSize : doneItems;
  if (total == 0) return String();
  const uint64_t percent = done >= total ? 100 : static_cast<uint64_t>(static_cast<double>(done) * 100 / total);
  String text = OFLFormat("%I64u%%", percent);
  if (small) return text;
  text += OFLFormat(" (%I64u of %s", doneItems, GetEntryTextByItemCount(totalItems));
  if (totalSize) text += ", " + Megabytes(doneSize) + " of " + Megabytes(totalSize);
  return text + ")";
}

String DipSyncJob::GetStartingTimeAsString() const {
  if (!IsActive() || lastRun_.GetTime() == 0) return String();
  return OVOHelper::CTimeToSystemDefaultShortDateString(LastRunSeconds(), true);
}

String DipSyncJob::GetTimeToFinishAsString() const {
  const uint64_t total = Number(kPropTotalSize), done = Number(kPropProcessedSize), duration = Number(kPropDuration);
  if (total == 0 || done == 0 || duration == 0) return String();
  if (done >= total) return Clock(0);
  const double left = static_cast<double>(duration) * static_cast<double>(total - done) / static_cast<double>(done);
  return Clock(left > 1e12 ? static_cast<uint64_t>(1e12) : static_cast<uint64_t>(left));
}

String DipSyncJob::GetDurationAsString() const { return Clock(Number(kPropDuration)); }

String DipSyncJob::GetNextRuntimeAsString() const {
  const CTime next = lastRun_.GetTime() == 0 ? -1 : GetNextRunTime(0);
  return next < 0 ? String("-") : OVOHelper::CTimeToSystemDefaultShortDateString(next, true);
}

String DipSyncJob::GetEntryTextByItemCount(uint64_t count) {
  return count == 1 ? String("1 item") : OFLFormat("%I64u items", count);
}

String DipSyncJob::InternalPack() const {
  String out;
  OFLTools::AppendXMLNode(out, kTagGuid, guid_);
  OFLTools::AppendXMLNode(out, kTagName, name_);
  OFLTools::AppendXMLNode(out, kTagDip, dipGuid_);
  OFLTools::AppendXMLNode(out, kTagBaseFolder, baseFolder_);
  OFLTools::AppendXMLNode(out, kTagLastResult, lastResult_);
  OFLTools::AppendXMLNode(out, kTagState, state_);
  OFLTools::AppendXMLNode(out, kTagInterval, interval_);
  OFLTools::AppendXMLNode(out, kTagLastRun, static_cast<int64_t>(lastRun_.GetTime()));
  OFLTools::AppendXMLNode(out, kTagOptions, options_);
  if (!properties_.IsEmpty()) properties_.AppendPack(out);
  OFLTools::AppendXMLNode(out, "TimeToFinish", GetTimeToFinishAsString());
  OFLTools::AppendXMLNode(out, "Progress", GetProgressAsString(false));
  OFLTools::AppendXMLNode(out, "ProgressSmall", GetProgressAsString(true));
  OFLTools::AppendXMLNode(out, "StartTime", GetStartingTimeAsString());
  OFLTools::AppendXMLNode(out, "DurationAsString", GetDurationAsString());
  OFLTools::AppendXMLNode(out, "NextRuntime", GetNextRuntimeAsString());
  return out;
}

void DipSyncJob::InternalUnpack(OFLXMLParser& parser) {
  ForEachChild(parser, [this](std::string_view tag, OFLXMLParser& p) {
    const auto is = [tag](const char* name) { return OFL::EqualsNoCase(tag, name); };
    if (is(kTagGuid)) guid_ = p.GetChildData();
    else if (is(kTagName)) name_ = p.GetChildData();
    else if (is(kTagDip)) dipGuid_ = p.GetChildData();
    else if (is(kTagBaseFolder)) baseFolder_ = p.GetChildData();
    else if (is(kTagLastResult)) lastResult_ = p.GetChildData();
    else if (is(kTagState)) state_ = static_cast<int32_t>(OFLTools::AToLL(p.GetChildDataView()));
    else if (is(kTagInterval)) interval_ = p.GetChildData();
    else if (is(kTagLastRun)) lastRun_ = CFileTime(static_cast<uint64_t>(OFLTools::AToLL(p.GetChildDataView())));
    else if (is(kTagOptions)) options_ = OFLTools::AToUL(p.GetChildDataView());
    else if (is("Properties")) properties_.Unpack(p.GetChildSubDoc());
  });
}

void DipSyncJob::InternalClear() {
  guid_.clear();
  name_.clear();
  dipGuid_.clear();
  baseFolder_.clear();
  lastResult_.clear();
  state_ = 0;
  interval_.clear();
  lastRun_ = CFileTime();
  options_ = 0;
  properties_.Clear();
}

}  // namespace OVO
}  // namespace orvacmn
