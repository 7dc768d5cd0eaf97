// Jobs and job lists: packed texts, unpack rules, targets, priorities, variables, the schedule across both
// daylight-saving changes, and the list's sort order.
#include "orvacmn/jobs/job.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/tz.h"
#include "ofl/tokenizer.h"
#include "ofl/tools.h"
#include "orvacmn/common/ovo_helper.h"
#include "orvacmn/variables/ovk_vars.h"

namespace {

using orvacmn::CTime;
using orvacmn::OVOHelper;
using orvacmn::OVOJob;
using orvacmn::OVOJobList;
using orvacmn::OVOJobTarget;
using orvacmn::POSITION;
using orvacmn::String;
using JS = orvacmn::OVO::JobState;

constexpr char kFresh[] =
    "<Job><GUID></GUID><OrgUnit></OrgUnit><Name></Name><Creator></Creator><Comment></Comment>"
    "<UnlockSequence></UnlockSequence><Validity></Validity><Priority>500</Priority><Count>1</Count>"
    "<MaxConcurrentTargets>0</MaxConcurrentTargets><JobExecutionTimeout>0</JobExecutionTimeout>"
    "<MinBandwidth>0</MinBandwidth><Interval>0</Interval><Options>0</Options><State>1</State><DBState>0</DBState>"
    "<JobStepList></JobStepList><Properties></Properties><Vars><Scope>__JOB__</Scope></Vars>"
    "<ObjectRights></ObjectRights><CachedTargetsCRC>4294967295</CachedTargetsCRC>"
    "<BootClientSteps>0</BootClientSteps><SaveOptions>0</SaveOptions></Job>";

// A local time of the zone in effect (one that exists once).
CTime Local(int y, int mo, int d, int h, int mi) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d00", y, mo, d, h, mi);
  return OVOHelper::DBTimeToCTime(text);
}

uint32_t Interval(uint32_t kind, uint32_t count, uint32_t minutes, uint32_t days = 0x7F) {
  return OVOHelper::CompressInterval(kind, count, minutes, days & 1, days & 2, days & 4, days & 8, days & 16,
                                     days & 32, days & 64);
}

// A step list text of the given step types.
String Steps(uint32_t a, uint32_t b = 0) {
  const auto step = [](uint32_t t) { return t ? "<JobStep type=\"" + std::to_string(t) + "\"/>" : String(); };
  return "<JobStepList>" + step(a) + step(b) + "</JobStepList>";
}

TEST(Job, FreshAndPopulatedTextsAndTheirRoundTrip) {
  const OVOJob fresh;
  EXPECT_TRUE(fresh.Pack() == kFresh && fresh.GetObjectName() == "Job" && fresh.GetSchema() == 0x50001u);

  OVOJob j;
  j.SetGUID("G"), j.SetOrgUnit("O"), j.SetName("N&"), j.SetCreator("C"), j.SetComment("c"), j.SetUnlockSequence("u");
  j.GetValidity().SetString("2024-01-01T00:00:00Z/"), j.SetPriority(4294967295u), j.SetCount(2);
  j.SetMaxConcurrentTargets(3), j.SetJobExecutionTimeout(4), j.SetMinBandwidth(-5), j.SetInterval(0x7F014000);
  j.SetOptions(6), j.SetState(static_cast<JS::EState>(0xFFFFFFFFu)), j.SetDBState(JS(0x80008102u));
  j.GetJobSteps().Unpack(Steps(145)), j.GetProperties().SetProperty("P", "v", false);
  j.GetVars().SetVar("C", "V", "x", {}), j.GetObjectRights().SetRights("S", 2);
  j.AssignClient("M1", "h1", "d1", "i", nullptr, 7), j.AssignClient("M2", "h2", "d2", "i", nullptr, 8);
  j.SetCachedTargetsCRC(9), j.SetBootClientSteps(10), j.SetSaveOptions(11), j.SetUserConsentRequired(true);
  const String full =
      "<Job><GUID>G</GUID><OrgUnit>O</OrgUnit><Name>N&amp;</Name><Creator>C</Creator><Comment>c</Comment>"
      "<UnlockSequence>u</UnlockSequence><Validity>2024-01-01T00:00:00Z/</Validity><Priority>4294967295</Priority>"
      "<Count>2</Count><MaxConcurrentTargets>3</MaxConcurrentTargets><JobExecutionTimeout>4</JobExecutionTimeout>"
      "<MinBandwidth>-5</MinBandwidth><Interval>2130788352</Interval><Options>6</Options><State>-1</State>"
      "<DBState>-2147450622</DBState>" + j.GetJobSteps().Pack() + j.GetProperties().Pack() + j.GetVars().Pack() +
      j.GetObjectRights().Pack() + j.GetJobTargets().GetHead()->Pack() + j.GetJobTargets().GetTail()->Pack() +
      "<CachedTargetsCRC>9</CachedTargetsCRC><BootClientSteps>10</BootClientSteps><SaveOptions>11</SaveOptions>"
      "<UserConsentRequired>1</UserConsentRequired></Job>";
  const OVOJob back(full);
  EXPECT_TRUE(j.Pack() == full && back.Pack() == full && back.GetDBState() == JS(0x80008102u));
}

TEST(Job, UnpackRulesAndGarbage) {
  OVOJob j("<Job><userconsentrequired>0</userconsentrequired><DBSTATE>33026</DBSTATE><x/><Count>-1</Count>"
           "<Validity>nonsense</Validity>" + Steps(10) + Steps(153) + "</Job>");
  EXPECT_TRUE(j.GetUserConsentRequired() && j.GetCount() == 4294967295u && j.GetValidity().GetString().empty());
  EXPECT_TRUE(j.IsDBState(JS::eStateScheduled) && j.GetDBState() == JS(0x8102u) && j.GetState() == 1);
  ASSERT_EQ(j.GetJobSteps().GetCount(), 1) << "the later step list replaces the earlier one";
  EXPECT_EQ(j.GetJobSteps().GetHead()->GetType(), 153u);
  for (const char* bad : {"", "garbage", "<Job>", "<job><GUID>a</GUID></job>", "<JobList/>"}) {
    OVOJob g("<Job><GUID>old</GUID><State>7</State><JobTarget/></Job>");
    EXPECT_TRUE(g.IsFinished() && g.GetJobTargets().GetCount() == 1);
    EXPECT_EQ(g.Unpack(bad), 0) << bad;
    EXPECT_EQ(g.Pack(), kFresh) << bad;
  }
}

TEST(Job, TargetsCrcFindersAssignmentPriorityKeyAndVariables) {
  OVOJob j;
  j.SetGUID("J"), j.SetName("Name"), j.SetCreator("Me");
  EXPECT_EQ(j.GetTargetsCRC(), 0u);
  OFLTokenizer packed;
  packed += OVOJobTarget("<JobTarget><GUIDMachine>m-1</GUIDMachine><DisplayName>PC</DisplayName></JobTarget>").Pack();
  packed += "junk";
  j.AddTargets(packed.AsLengthPackedString());
  j.AddTargets("3:abc99:x");
  ASSERT_EQ(j.GetJobTargets().GetCount(), 2);
  const uint32_t crc = j.GetTargetsCRC();
  EXPECT_EQ(crc, OFLTools::CalculateCRC32(packed[0] + j.GetJobTargets().GetTail()->Pack()));
  POSITION pos = nullptr;
  OVOJobTarget* const head = j.GetJobTargets().GetHead();
  EXPECT_TRUE(j.FindJobTargetByGUID("M-1", &pos) == head && j.GetJobTargets().GetAt(pos) == head);
  EXPECT_TRUE(j.FindJobTargetByDisplayName("pc") == head && j.FindJobTargetByDisplayName("") == nullptr);
  EXPECT_EQ(j.FindJobTargetByGUID("m-2"), nullptr);

  j.GetValidity().SetStart(1000), j.SetOption(OVOJob::kOptionBackground, true), j.SetInterval(Interval(5, 1, 0));
  OVOJobTarget* late = j.AssignClient("M", "h", "d", "admin", &pos, 999);
  EXPECT_TRUE(j.GetJobTargets().GetAt(pos) == late && late->GetStateObj() == JS(0x8001u) &&
              late->GetCreated() == 999 && late->GetNextExecutionTime() == 1000 && late->GetInitiator() == "admin");
  j.SetOption(0x5, false);
  EXPECT_EQ(j.AssignClient("M", "h", "d", "admin", nullptr, 1000)->GetStateObj(), JS(0x2u));
  EXPECT_NE(j.GetTargetsCRC(), crc);
  j.DeleteListJobTargets();
  EXPECT_EQ(j.GetTargetsCRC(), 0u);

  struct Case { uint32_t options, step1, step2, priority; };
  const Case cases[] = {{0, 11, 12, 500}, {4, 11, 12, 400}, {4, 11, 10, 900}, {0, 153, 12, 900},
                        {4, 12, 145, 900}, {0x1800000, 146, 140, 500}};
  for (const Case& c : cases) {
    j.GetJobSteps().DeleteObjects(), j.GetJobSteps().Unpack(Steps(c.step1, c.step2)), j.SetOptions(c.options);
    j.SetPriorityFromSteps();
    EXPECT_EQ(j.GetPriority(), c.priority) << c.options << "/" << c.step1 << "/" << c.step2;
  }
  EXPECT_TRUE(j.GetOptionInput() == 0x1800000u && j.GetOption(0x800000) && !j.GetOption(0x4));

  EXPECT_EQ(j.GetKey(), "1:J");
  j.GetVars().SetVar("Cat", "Var", "v", orvacmn::OVOCustomVarDef::ECustomVarType(0));
  orvacmn::COVKVars vars, all;
  j.PopulateVars(vars, false), j.PopulateVars(all, true);
  String name, creator, custom;
  EXPECT_TRUE(vars.GetVar("Job.Name", name) && vars.GetVar("job.creator", creator) && vars.Size() == 2);
  EXPECT_TRUE(name == "Name" && creator == "Me" && all.Size() == 3 && all.GetVar("Job.Cat.Var", custom));
  EXPECT_EQ(custom, "v");
}

TEST(Job, NextExecutionTimeAcrossBothDaylightSavingChanges) {
  orvacmn::testing::ScopedTZ tz(orvacmn::testing::kCentralEurope);
  struct Case { uint32_t interval; CTime from, now, start, end, expected; };
  const CTime june5 = Local(2024, 6, 5, 9, 0);  // a Wednesday
  const Case cases[] = {
      {Interval(4, 2, 510), 0, june5, 0, 0, Local(2024, 6, 7, 8, 30)},
      {Interval(4, 0, 510), 0, Local(2024, 3, 30, 9, 0), 0, 0, Local(2024, 3, 31, 9, 30)},    // steps are seconds
      {Interval(4, 1, 510), 0, Local(2024, 10, 26, 9, 0), 0, 0, Local(2024, 10, 27, 7, 30)},
      {Interval(1, 0, 360), 0, Local(2024, 2, 10, 12, 0), 0, 0, Local(2024, 3, 1, 6, 0)},
      {Interval(2, 9, 0), 0, Local(2024, 3, 20, 12, 0), 0, 0, Local(2024, 4, 15, 1, 0)},
      {Interval(1, 0, 360), Local(2024, 1, 1, 6, 0), Local(2024, 1, 1, 5, 0), 0, 0, Local(2024, 2, 1, 6, 0)},
      {Interval(0, 0, 600, 0x40), 0, Local(2024, 6, 3, 12, 0), 0, 0, Local(2024, 6, 9, 10, 0)},
      {Interval(5, 7, 0, 0x04), Local(2024, 6, 5, 0, 0), Local(2024, 6, 5, 1, 3), 0, 0, Local(2024, 6, 5, 1, 3)},
      {Interval(3, 5, 0, 0x04), june5 - 3600, june5, 0, 0, june5 + 4 * 3600},
      {Interval(5, 1, 0), 0, june5, 0, 0, june5},
      {Interval(5, 15, 0), 0, june5, june5 + 7, june5 + 7, june5 + 7},  // the window's start, off the grid
      {Interval(1, 1, 0), 0, june5, 0, Local(2024, 7, 1, 0, 0), Local(2024, 7, 1, 0, 0)},
      {Interval(1, 1, 0), 0, june5, 0, Local(2024, 7, 1, 0, 0) - 1, -1},
      {Interval(4, 1, 510), 0, june5, 0, june5 - 1, -1},  // the window has ended
      {Interval(4, 1, 510), 0, june5, june5 + 63072001, 0, -1},  // beyond the horizon
      {Interval(5, 1, 540), 0, june5, june5 + 63072000, 0, june5 + 63072000},
      {Interval(4, 7, 510, 0x01), 0, june5, 0, 0, -1},  // every seventh day is never a Monday
      {Interval(5, 1, 0, 0), 0, june5, 0, 0, -1},  // no weekday at all
      {Interval(5, 1, 0), INT64_MAX, june5, 0, 0, -1},
      // 02:30 on 27 October 2024 happens twice: the first (00:30 UTC) anchors the days that follow.
      {2130706582, 1730026800, 1730109600, 0, 0, 1730161800},
      // 02:30 on 31 March 2024 does not exist: 03:30, one hour after, is a day's step before 1 April 03:30.
      {Interval(0, 0, 150), 1711886400, 1711886400, 0, 0, 1711935000},
  };
  // Every result stays the same whatever was converted before it.
  for (const Case& c : cases)
    for (const char* before : {"20241027033000", "20240331033000", "20241027023000", "20240331023000"}) {
      OVOHelper::DBTimeToCTime(before);
      OVOJob j;
      j.SetInterval(c.interval), j.GetValidity().SetStart(c.start), j.GetValidity().SetEnd(c.end);
      EXPECT_EQ(j.CalcNextExecutionTime(c.from, c.now), c.expected) << "case " << &c - cases << " after " << before;
    }
}

OVOJob* NewJob(const char* guid, const char* name, uint32_t priority, uint32_t bootClientSteps) {
  auto* j = new OVOJob;
  j->SetGUID(guid), j->SetName(name), j->SetPriority(priority), j->SetBootClientSteps(bootClientSteps);
  return j;
}

String Guids(const OVOJobList& list) {
  String out;
  for (const OVOJob* j : list) out += j->GetGUID();
  return out;
}

TEST(JobList, PackFindCompareAndSort) {
  OVOJobList list;
  EXPECT_EQ(list.Pack(), "<JobList></JobList>");
  list.AddTail(NewJob("a", "beta", 500, 0)), list.AddTail(NewJob("b", "Alpha", 900, 0));
  list.AddTail(NewJob("c", "gamma", 500, 2));
  OVOJobList back("<JobList><Other/>" + list.Pack().substr(9, list.Pack().size() - 19) + "<job/></JobList>");
  ASSERT_EQ(back.GetCount(), 4);
  delete back.RemoveTail();  // the cleared job of the "job" child, which its own Unpack refuses
  EXPECT_EQ(back.Pack(), list.Pack());
  POSITION pos = nullptr;
  EXPECT_TRUE(list.FindJob("B", false, &pos) == list.GetAt(list.FindIndex(1)) && list.GetAt(pos)->GetGUID() == "b");
  EXPECT_TRUE(list.FindJob("ALPHA", false) == nullptr && list.FindJob("ALPHA", true) == list.GetAt(pos));

  // Priorities 500, 900, 500 with boot-client steps; names beta, Alpha, gamma. Type 2 leaves the order.
  const struct { uint32_t type; bool ascending; const char* order; } sorts[] = {
      {1, false, "bca"}, {1, true, "acb"}, {0, true, "bac"}, {0, false, "cab"}, {2, true, "cab"}};
  for (const auto& s : sorts) {
    list.Sort(OVOJobList::ECompareType(s.type), s.ascending);
    EXPECT_EQ(Guids(list), s.order) << s.type << s.ascending;
  }
  const orvacmn::OVOTypedPtrList<OVOJob> owned = list;
  EXPECT_EQ(list.Unpack("<JobList/>"), 1);
  EXPECT_TRUE(list.IsEmpty() && owned.GetHead()->GetGUID() == "c") << "forgotten, not destroyed";
  for (const OVOJob* j : owned) delete j;
}

}  // namespace
