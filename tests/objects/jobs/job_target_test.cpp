// Job state records and job targets: packed texts, the State node's split, the control rules, and the target list.
#include "orvacmn/jobs/job_target.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <string>

#include "common/tz.h"

namespace {

using orvacmn::OVOJobTarget;
using orvacmn::OVOJobTargetList;
using orvacmn::POSITION;
using orvacmn::String;
using JS = orvacmn::OVO::JobState;

constexpr char kIds[] = "<GUIDJob></GUIDJob><GUIDMachine></GUIDMachine><JobName></JobName>"
                        "<DisplayName></DisplayName><HostName></HostName>";
String Target(const String& body) { return "<JobTarget>" + body + "</JobTarget>"; }

TEST(JobState, ConstructorsSplitValueAndMaskFlags) {
  EXPECT_TRUE(JS() == JS(0u) && JS().ToDword() == 0u);
  const JS v(0x8102u, JS::eConsentGranted, JS::ePriorityContinuation);
  EXPECT_TRUE(v.GetState() == 2 && v.GetFlags() == 0x8100u && v.ToDword() == 0x8102u);
  EXPECT_TRUE(v.GetUserConsentState() == JS::eConsentGranted && v.IsPriorityState(JS::ePriorityContinuation));
  const JS f(JS::eStateFinished, 0x4FFu);  // low bits of the flags dropped
  EXPECT_TRUE(f.GetState() == 7 && f.GetFlags() == 0x400u);
  const JS c(JS::eStateRunning, JS::eConsentDenied, 0x1FFu);
  EXPECT_TRUE(c.ToDword() == 0x105u && c.GetUserConsentState() == JS::eConsentDenied);

  JS s(0u, JS::eConsentPending, JS::ePriorityImmediate);
  s.SetCleanStates(0xABCDu);  // consent and priority kept
  EXPECT_TRUE(s.GetState() == 0xCD && s.GetFlags() == 0xAB00u && s.IsPriorityState(JS::ePriorityImmediate));
  s.SetCleanStates(0x1FF, 0xFF);  // stored unchanged
  EXPECT_EQ(s.ToDword(), 0x1FFu);
  s.SetFlags(0x3FF, true);
  EXPECT_EQ(s.GetFlags(), 0x3FFu);
  s.SetFlags(0x1FF, false);
  EXPECT_EQ(s.GetFlags(), 0x2FFu) << "only bits above the low 8 change";
  EXPECT_TRUE(s.HasFlag(0x200) && !s.HasFlag(0x300) && s.HasFlag(0));
}

TEST(JobTarget, FreshAndPopulatedTextsAndTheirRoundTrip) {
  const int64_t before = std::time(nullptr);
  OVOJobTarget fresh;
  const int64_t created = fresh.GetCreated();
  EXPECT_TRUE(created >= before && created <= std::time(nullptr));
  EXPECT_EQ(fresh.Pack(), Target(kIds + String("<State>1</State><Created>") + std::to_string(created) +
                                 "</Created><Priority>0</Priority><Properties></Properties>"));
  EXPECT_TRUE(fresh.GetObjectName() == "JobTarget" && fresh.GetSchema() == 0x50001u);

  OVOJobTarget t;
  t.SetGUIDJob("J-1"), t.SetGUIDMachine("M-1"), t.SetJobName("Job <1>"), t.SetDisplayName("PC 1");
  t.SetHostName("pc1"), t.SetExecutions(4294967295u), t.SetStartTime(-2), t.SetNextExecutionTime(1700000000);
  t.SetLastAction(5), t.SetStateObj(JS(0x80000407u, JS::eConsentDenied, JS::ePriorityContinuation));
  t.SetStateString("s&"), t.SetRetried(1), t.SetDenied(2), t.SetCustomStateType(3), t.SetCustomStateChange(6);
  t.SetCustomStateText("c"), t.SetConditionApplies(0), t.SetExecutionCountSuccess(7), t.SetExecutionCountError(8);
  t.SetCreated(9), t.SetPriority(0xFFFFFFFFu), t.SetInitiator("admin");
  const String full = Target(
      "<GUIDJob>J-1</GUIDJob><GUIDMachine>M-1</GUIDMachine><JobName>Job &lt;1&gt;</JobName>"
      "<DisplayName>PC 1</DisplayName><HostName>pc1</HostName><Executions>4294967295</Executions><Start>-2</Start>"
      "<Next>1700000000</Next><LastAction>5</LastAction><State>-2147482617</State><StateString>s&amp;</StateString>"
      "<Retried>1</Retried><Denied>2</Denied><CustomStateType>3</CustomStateType>"
      "<CustomStateChange>6</CustomStateChange><CustomStateText>c</CustomStateText>"
      "<ConditionApplies>0</ConditionApplies><ExecutionCountSuccess>7</ExecutionCountSuccess>"
      "<ExecutionCountError>8</ExecutionCountError><Created>9</Created><Priority>-1</Priority>"
      "<UserConsentState>3</UserConsentState><PriorityState>1</PriorityState>"
      "<Properties><PropertyEntry><Param>Initiator</Param><Value>admin</Value></PropertyEntry></Properties>");
  EXPECT_EQ(t.Pack(), full);
  const OVOJobTarget back(full);
  EXPECT_TRUE(back == t && back.Pack() == full);
  const OVOJobTarget copy(t);
  EXPECT_EQ(copy.Pack(), full);
}

TEST(JobTarget, UnpackRulesForStateConditionCaseAndGarbage) {
  OVOJobTarget t(Target("<state>33026</state><PRIORITY>-1</PRIORITY><x/><Created>1</Created><Created>2</Created>"));
  EXPECT_TRUE(t.GetState() == 2 && t.GetStateObj().GetFlags() == 0x8100u && t.GetPriority() == 0xFFFFFFFFu);
  EXPECT_TRUE(t.GetConditionApplies() == 1u && t.GetCreated() == 2);
  // "State" resets the priority state read before it; the consent state stays.
  t.Unpack(Target("<PriorityState>2</PriorityState><UserConsentState>4</UserConsentState><State>7</State>"));
  EXPECT_TRUE(t.GetStateObj() == JS(7u, JS::eConsentPostponed, JS::ePriorityNone));
  t.Unpack(Target("<State>7</State><PriorityState>2</PriorityState><ConditionApplies>x</ConditionApplies>"));
  EXPECT_TRUE(t.GetStateObj().IsPriorityState(JS::ePriorityImmediate) && t.GetConditionApplies() == 0u);
  // Numbers read the C runtime's way, saturating at 32 bits.
  t.Unpack(Target("<Executions>-1</Executions><Retried>99999999999</Retried><State>99999999999</State>"));
  EXPECT_TRUE(t.GetExecutions() == 0xFFFFFFFFu && t.GetRetried() == 0xFFFFFFFFu &&
              t.GetStateObj().ToDword() == 0x7FFFFFFFu);
  for (const char* bad : {"", "garbage", "<JobTarget>", "<jobtarget><GUIDJob>a</GUIDJob></jobtarget>"}) {
    OVOJobTarget g(Target("<GUIDJob>old</GUIDJob><State>7</State>"));
    EXPECT_EQ(g.Unpack(bad), 0) << bad;
    EXPECT_TRUE(g.GetGUIDJob().empty() && g.GetState() == 1) << bad;
  }
}

TEST(JobTarget, ControlRulesByStateAndFlags) {
  struct Case {
    uint32_t state, flags;
    bool start, stop, resume, retry;
  };
  const Case cases[] = {
      {0, 0, false, true, false, false},     {1, 0, true, true, false, false},
      {2, 0x200, true, true, false, true},   {5, 0x100, false, true, false, false},
      {6, 0x100, true, true, true, false},   {7, 0, true, false, false, false},
      {7, 0x400, true, true, true, true},    {7, 0x200, true, true, true, true},
      {5, 0x400, false, true, false, true},  {3, 0x200, false, true, false, false},
  };
  for (const Case& c : cases) {
    OVOJobTarget t;
    t.SetStateObj(JS(c.state | c.flags));
    EXPECT_EQ(t.CanStart(), c.start) << c.state << "/" << c.flags;
    EXPECT_EQ(t.CanStop(), c.stop) << c.state << "/" << c.flags;
    EXPECT_EQ(t.CanResume(), c.resume) << c.state << "/" << c.flags;
    EXPECT_EQ(t.CanRetry(), c.retry) << c.state << "/" << c.flags;
  }
  OVOJobTarget t;
  t.SetStateObj(JS(0x00000601u));
  t.SetState(JS::eStateFinished, 0x2FF, 0x6FF);  // clears first, then sets; low bits ignored
  EXPECT_EQ(t.GetStateObj().ToDword(), 0x207u);
  EXPECT_TRUE(t.IsFinished() && t.IsState(JS::eStateFinished));
}

TEST(JobTarget, InitiatorProgressAndActiveSinceText) {
  OVOJobTarget t;
  EXPECT_EQ(t.GetInitiator(), "UNKNOWN");
  t.SetInitiator("");
  t.SetProgressProperty("50%");
  EXPECT_EQ(t.GetInitiator(), "");
  EXPECT_EQ(t.GetProperties().GetReadableForm(), "Initiator=; Progress=50%");
  EXPECT_STREQ(OVOJobTarget::Str_Property_WokenByWOL(), "WokenByWOL");

  orvacmn::testing::ScopedTZ tz(orvacmn::testing::kCentralEurope);
  t.SetStartTime(1719835200);  // 2024-07-01 12:00:00 UTC, summer time
  EXPECT_EQ(t.GetActiveSinceText(), "Active since 01.07.2024 14:00:00");
  t.SetStartTime(0);
  EXPECT_EQ(t.GetActiveSinceText(), "Active since 01.01.1970 01:00:00");
  for (int64_t bad : {int64_t{-1}, int64_t{32535216000}}) {
    t.SetStartTime(bad);
    EXPECT_THROW(t.GetActiveSinceText(), std::invalid_argument) << bad;
  }
}

OVOJobTarget* NewTarget(const char* job, const char* name, const char* machine, const char* host) {
  auto* t = new OVOJobTarget;
  t->SetGUIDJob(job), t->SetJobName(name), t->SetGUIDMachine(machine), t->SetHostName(host), t->SetCreated(1);
  return t;
}

TEST(JobTargetList, FindCountContinuationAndText) {
  OVOJobTargetList list;
  OVOJobTarget* a = NewTarget("J1", "Job", "M1", "pc1");
  OVOJobTarget* b = NewTarget("J2", "Other", "M2", "pc2");
  OVOJobTarget* c = NewTarget("J3", "Job", "M2", "");
  list.AddTail(a), list.AddTail(b), list.AddTail(c);
  c->SetStateObj(JS(0x407u));
  struct Case {
    const char *job, *client;
    OVOJobTarget* found;
  };
  const Case cases[] = {{"", "", a},       {"Job", "", a},      {"Job", "M2", c}, {"", "pc2", b},
                        {"J2", "M2", b},   {"job", "", nullptr}, {"J1", "m1", nullptr}, {"J9", "", nullptr}};
  for (const Case& k : cases) {
    POSITION pos = nullptr;
    EXPECT_EQ(list.Find(k.job, k.client, &pos), k.found) << k.job << "/" << k.client;
    if (k.found) {
      EXPECT_EQ(list.GetAt(pos), k.found);
    }
  }
  EXPECT_EQ(list.CountJobTargetsForJob("Job"), 2);
  EXPECT_EQ(list.CountJobTargetsForJob("J2"), 1);
  EXPECT_EQ(list.CountJobTargetsForJob("JOB"), 0);
  EXPECT_FALSE(list.ContainsContinuationJob());
  b->SetStateObj(JS(1u, JS::eConsentNone, JS::ePriorityContinuation));
  EXPECT_TRUE(list.ContainsContinuationJob());
  EXPECT_EQ(list.ToString(), "3 target(s) [Job -> pc1 state 1 flags 0x0] [Other -> pc2 state 1 flags 0x0]"
                             " [Job -> M2 state 7 flags 0x400]");
}

TEST(JobTargetList, PackUnpackSkipsForeignTagsAndForgetsOldPointers) {
  OVOJobTargetList list;
  EXPECT_EQ(list.Pack(), "<JobTargetList></JobTargetList>");
  OVOJobTarget* kept = NewTarget("J1", "Job", "M1", "pc1");
  OVOJobTarget* second = NewTarget("J2", "", "M2", "");
  list.AddTail(kept);
  list.AddTail(second);
  const String packed = list.Pack();
  OVOJobTargetList back("<JobTargetList><Other/>" + packed.substr(15, packed.size() - 31) +
                        "<jobtarget><GUIDJob>J3</GUIDJob><Created>1</Created></jobtarget></JobTargetList>");
  ASSERT_EQ(back.GetCount(), 3);
  EXPECT_TRUE(*back.GetHead() == *kept && *back.GetAt(back.FindIndex(1)) == *second);
  EXPECT_TRUE(back.GetTail()->GetGUIDJob().empty() && back.GetTail()->GetCreated() != 1)
      << "a child tag in another case adds a target, which its own Unpack leaves cleared";

  EXPECT_EQ(list.Unpack("<JobTargetList/>"), 1);
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(kept->GetGUIDJob(), "J1") << "Unpack forgets the targets without destroying them";
  delete kept;
  delete second;
  EXPECT_EQ(list.Unpack("<JobTargets/>"), 0);
}

}  // namespace
