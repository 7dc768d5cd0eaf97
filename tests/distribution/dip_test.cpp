// Distribution points and synchronisation jobs: text forms, shared copies,
// states, property groups and display texts.
#include <gtest/gtest.h>

#include "common/tz.h"
#include "orvacmn/distribution/dip.h"
#include "orvacmn/distribution/dip_sync_job.h"

namespace {

using orvacmn::CFileTime;
using orvacmn::OVO::Dip;
using orvacmn::OVO::DipSyncJob;

Dip SampleDip() {
  Dip dip;
  dip.SetGuid("6F9619FF-8B86-D011-B42D-00C04FC964FF");
  dip.SetHostname("dip01.corp.example");
  dip.SetPort(3389);
  dip.SetComment("Branch <A> & \"B\"");
  dip.SetParentGuid("master-guid");
  dip.SetState(5);
  dip.SetSaveOption(2);
  dip.SetStateTime("20240601120000");
  dip.SetDetailText("indexing");
  dip.SetIncludes("Apps;Patches");
  dip.SetExcludes("Temp");
  dip.SetRescanInterval(4000000000u);
  dip.SetAutoIndexing(-1);
  dip.SetConfigTimeStamp("7");
  dip.SetCurrentJobGuid("job-guid");
  dip.SetDomain("CORP");
  dip.SetSyncMode(3);
  return dip;
}

TEST(Dip, PacksItsFieldsAndReadsThemBack) {
  const Dip dip = SampleDip();
  const std::string text = dip.Pack();
  EXPECT_EQ(text.substr(0, 5), "<DIP>");
  EXPECT_LT(text.find("<GUID>"), text.find("<Hostname>"));
  EXPECT_LT(text.find("<SourceDip>master-guid"), text.find("<GUIDCurrentJob>"));
  EXPECT_NE(text.find("<RescanInterval>4000000000</RescanInterval>"), std::string::npos);
  EXPECT_NE(text.find("<CurrentBandwidth>max MBit</CurrentBandwidth>"), std::string::npos);
  EXPECT_EQ(text.find("<Properties>"), std::string::npos);  // packed separately
  Dip back(text);
  EXPECT_TRUE(back.GetProperties().IsEmpty());
  back.SetPackedProperties(dip.GetPackedProperties());
  EXPECT_EQ(back, dip);
  EXPECT_EQ(back.GetAutoIndexing(), -1);
  // Properties and IsUpToDate are read as children too; tags in any case.
  Dip other("<DIP><guid>g</guid><Properties><PropertyEntry><Param>Domain</Param><Value>D</Value></PropertyEntry>"
            "</Properties><IsUpToDate>1</IsUpToDate><CurrentBandwidth>x</CurrentBandwidth></DIP>");
  EXPECT_EQ(other.GetGuid(), "g");
  EXPECT_EQ(other.GetDomain(), "D");
  other.SetParentGuid("p");
  EXPECT_TRUE(other.IsUpToDate());
  EXPECT_EQ(Dip("<Dip><GUID>g</GUID></Dip>").GetGuid(), "");
}

TEST(Dip, CopiesShareUntilOneChanges) {
  Dip a = SampleDip();
  Dip b = a;
  EXPECT_EQ(a, b);
  b.SetHostname("other");
  b.SetCommProtocol(1);
  EXPECT_EQ(a.GetHostname(), "dip01.corp.example");
  EXPECT_FALSE(a.IsCommProtocolTls());
  EXPECT_TRUE(b.IsCommProtocolTls());
  EXPECT_NE(a, b);
  // A DIP no other shares changes in place.
  const std::string* hostname = &b.GetHostname();
  b.SetComment("changed");
  EXPECT_EQ(&b.GetHostname(), hostname);
  Dip c;
  c = a;
  a.Clear();
  EXPECT_EQ(c.GetPort(), 3389);
  EXPECT_EQ(a, Dip());
}

TEST(Dip, StatePredicates) {
  Dip dip;
  const struct {
    int state;
    bool ok, working, error;
  } table[] = {{0, false, false, false}, {1, true, false, false}, {2, false, false, true},   {3, false, false, true},
               {4, false, true, false},  {5, true, true, false},  {6, true, true, false},    {7, true, true, false},
               {8, true, true, false},   {9, true, true, false},  {10, false, false, false}, {-1, false, false, false}};
  for (const auto& row : table) {
    dip.SetState(row.state);
    EXPECT_EQ(dip.IsStateOK(), row.ok) << row.state;
    EXPECT_EQ(dip.IsWorking(), row.working) << row.state;
    EXPECT_EQ(dip.IsStateError(), row.error) << row.state;
    EXPECT_EQ(dip.IsOperable(), row.state != 0 && !row.error) << row.state;
    EXPECT_EQ(dip.IsStateUnknown(), row.state == 0);
  }
  // Texts at the ends of the table and beyond it.
  EXPECT_EQ(Dip::GetStateText(9), "Checking sync state...");
  EXPECT_EQ(Dip::GetStateText(10), "Unknown");
  EXPECT_EQ(Dip::GetStateText(-3), "Unknown");
  dip.SetState(4);
  EXPECT_EQ(dip.GetStateForDisplay(), "Synchronizing...");
}

TEST(Dip, UpToDate) {
  Dip dip;
  EXPECT_TRUE(dip.IsMasterDip());
  EXPECT_TRUE(dip.IsUpToDate());
  dip.SetParentGuid("master");
  EXPECT_FALSE(dip.IsUpToDate());
  dip.SetProperties_SyncStateData(true, 1717236000, 3, 4096, 2, 100);
  EXPECT_TRUE(dip.IsUpToDate());
  dip.SetSyncMode(3);
  EXPECT_FALSE(dip.IsUpToDate());  // deletions pending
  dip.SetProperties_SyncStateData(true, 1717236000, 3, 4096, 0, 0);
  EXPECT_TRUE(dip.IsUpToDate());
  dip.ResetProperties_SyncStateData();
  EXPECT_FALSE(dip.IsUpToDate());
}

TEST(Dip, PropertyGroups) {
  Dip dip;
  dip.SetDomain("CORP");
  dip.SetProperties_IgnoreBandwidthForIndexFile(true);
  dip.SetProperties_CommRule("<CommRule><Bandwidth>512 kbit</Bandwidth></CommRule>");
  dip.SetProperties_SyncStateData(false, 5, 1, 2, 3, 4);
  dip.SetProperties_ExtDipStateData(1ull << 40, 7, "hash", "20240601");
  const orvacmn::OVO::Properties settings(dip.GetPackedSettingProperties()), state(dip.GetPackedStateProperties());
  EXPECT_EQ(settings.GetCount(), 3);
  EXPECT_TRUE(settings.HasProperty("IgnBandwidthIndexFile"));
  EXPECT_EQ(state.GetCount(), 10);
  std::string free;
  EXPECT_TRUE(state.GetProperty("AvailableFreeDriveSpace", free));
  EXPECT_EQ(free, "1099511627776");
  EXPECT_TRUE(dip.GetIgnoreBandwidthForIndexFile());
  EXPECT_EQ(dip.GetCurrentBandwidthForDisplay(), "512 KBit");
  dip.ResetProperties_ExtDipStateData();
  EXPECT_EQ(orvacmn::OVO::Properties(dip.GetPackedStateProperties()).GetCount(), 6);
  dip.SetProperties_CommRule("<CommRule><Bandwidth>0 kbit</Bandwidth></CommRule>");
  EXPECT_EQ(dip.GetCurrentBandwidthForDisplay(), "0 KBit");
  dip.SetProperties_CommRule("<CommRule/>");
  EXPECT_EQ(dip.GetCurrentBandwidthForDisplay(), "max MBit");
  dip.ClearProperties();
  EXPECT_EQ(dip.GetSyncMode(), 0);
  EXPECT_EQ(dip.GetPackedProperties(), "<Properties></Properties>");
}

TEST(Dip, HostNames) {
  Dip a, b;
  a.SetHostname("alpha");
  a.SetPort(80);
  b.SetHostname("Beta");
  EXPECT_EQ(a.GetUniqueHostname(), "alpha:80");
  EXPECT_TRUE(Dip::IsLess(b, a));  // case-sensitive: "B" before "a"
  EXPECT_FALSE(Dip::IsLess(a, b));
  EXPECT_FALSE(Dip::IsLess(a, a));
}

TEST(DipSyncJob, States) {
  DipSyncJob job;
  for (int s = 0; s <= 13; ++s) {
    job.SetState(s);
    EXPECT_EQ(job.IsQueued(), s == 1 || s == 2) << s;
    EXPECT_EQ(job.IsActive(), s == 3 || s == 4 || s == 5 || s == 11) << s;
    EXPECT_EQ(job.IsFinished(DipSyncJob::eFinishedAny), s == 6 || s == 7 || s == 10 || s == 12) << s;
    EXPECT_EQ(job.IsFinished(DipSyncJob::eFinishedSuccess), s == 7 || s == 12) << s;
  }
  EXPECT_EQ(DipSyncJob::GetJobStateText(0, 0), "-");
  EXPECT_EQ(DipSyncJob::GetJobStateText(9, 0), "Job will be aborted...");
  EXPECT_EQ(DipSyncJob::GetJobStateText(13, 0), "-");
  job.SetState(12);
  job.GetProperties().SetProperty("SkippedErrors", 5u);
  EXPECT_EQ(job.GetJobStateText(), "Finished. 5 errors were ignored");
}

TEST(DipSyncJob, IntervalAndDue) {
  orvacmn::testing::ScopedTZ tz("UTC");
  DipSyncJob job;
  EXPECT_FALSE(job.IsDue(1000));  // never ran, but no interval either
  job.SetIntervalStr("1h");
  EXPECT_TRUE(job.IsValidInterval());
  EXPECT_TRUE(job.IsDue(1000));  // never ran
  EXPECT_EQ(job.GetNextRunTime(1000), 1000);
  EXPECT_EQ(job.GetNextRuntimeAsString(), "-");
  const int64_t last = 1717236000;  // 2024-06-01 10:00 UTC
  job.SetLastRun(CFileTime(CFileTime::kUnixEpoch + uint64_t(last) * 10000000));
  EXPECT_FALSE(job.IsDue(last + 3599));
  EXPECT_TRUE(job.IsDue(last + 3600));
  EXPECT_EQ(job.GetNextRunTime(0), last + 3600);
  EXPECT_FALSE(job.GetNextRuntimeAsString().empty());
  EXPECT_TRUE(job.SetIntervalDisplayStr("every day at 02:00"));
  EXPECT_EQ(job.GetIntervalStr(), "1d@02:00");
  EXPECT_FALSE(job.SetIntervalDisplayStr("sometimes"));
  EXPECT_EQ(job.GetIntervalStr(), "1d@02:00");
  job.SetIntervalStr("bogus");
  EXPECT_FALSE(job.IsDue(last + 999999));
  EXPECT_EQ(job.GetNextRunTime(0), -1);
}

TEST(DipSyncJob, ProgressTexts) {
  DipSyncJob job;
  EXPECT_EQ(job.GetProgressAsString(), "");
  EXPECT_EQ(job.GetTimeToFinishAsString(), "");
  auto& p = job.GetProperties();
  p.SetProperty("TotalItems", 4u);
  p.SetProperty("ProcessedItems", 1u);
  EXPECT_EQ(job.GetProgressAsString(true), "25%");
  EXPECT_EQ(job.GetProgressAsString(), "25% (1 of 4 items)");
  p.SetProperty("TotalSize", 4194304u);
  p.SetProperty("ProcessedSize", 3145728u);
  p.SetProperty("Duration", 3723u);
  EXPECT_EQ(job.GetProgressAsString(), "75% (1 of 4 items, 3.0 MB of 4.0 MB)");
  EXPECT_EQ(job.GetDurationAsString(), "01:02:03");
  EXPECT_EQ(job.GetTimeToFinishAsString(), "00:20:41");
  p.SetProperty("ProcessedSize", 5000000u);
  EXPECT_EQ(job.GetProgressAsString(true), "100%");
  EXPECT_EQ(job.GetTimeToFinishAsString(), "00:00:00");
  EXPECT_EQ(DipSyncJob::GetEntryTextByItemCount(1), "1 item");
}

TEST(DipSyncJob, PacksAndReadsBack) {
  orvacmn::testing::ScopedTZ tz("UTC");
  DipSyncJob job;
  job.SetGuid("g");
  job.SetName("Nightly <sync>");
  job.SetDipGuid("dip");
  job.SetBaseFolder("\\\\dip\\kits");
  job.SetLastResult("ok");
  job.SetState(5);
  job.SetIntervalStr("1d@02:00");
  job.SetLastRun(CFileTime(133000000000000000ull));
  job.SetOptionsFromULong(0x80000000);
  job.GetProperties().SetProperty("CurrentFile", "a.msi");
  const std::string text = job.Pack();
  EXPECT_EQ(text.substr(0, 9), "<SyncJob>");
  for (const char* tag : {"<Guid>", "<Name>", "<DIP>", "<BaseFolder>", "<LastResult>", "<State>", "<Interval>",
                          "<LastRun>", "<Options>", "<Properties>", "<TimeToFinish>", "<Progress>", "<ProgressSmall>",
                          "<StartTime>", "<DurationAsString>", "<NextRuntime>"})
    EXPECT_NE(text.find(tag), std::string::npos) << tag;
  EXPECT_LT(text.find("<Options>"), text.find("<TimeToFinish>"));
  EXPECT_NE(text.find("<LastRun>133000000000000000</LastRun>"), std::string::npos);
  EXPECT_EQ(DipSyncJob(text), job);
  EXPECT_NE(DipSyncJob("<SyncJob><state>4</state><options>4294967295</options></SyncJob>").GetOptionsAsULong(), 0u);
  EXPECT_EQ(DipSyncJob("<Job><State>4</State></Job>").GetState(), 0);
  EXPECT_EQ(DipSyncJob().Pack().find("<Properties>"), std::string::npos);
}

}  // namespace
