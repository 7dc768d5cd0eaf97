// Job-step messages: the packet's job without targets, CalcTimeout at its
// boundaries, SkipDependentSteps, the step bookkeeping, and the reports.
#include "orvacmn/messages/job_step_messages.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "orvacmn/jobs/job_step_list.h"

namespace {

using namespace orvacmn;

constexpr CTime kFirst = 1700000000;

OVOJobStep* Step(const char* guid, const char* deps) {
  OVOJobStep* s = OVOJobStepList::CreateJobStep(OVOJobStep::EStepType(145));
  s->SetGUID(guid);
  if (*deps) s->SetDependencies(deps);
  return s;
}

TEST(MsgDJobStepPacket, PacksTheJobWithoutItsTargetsAndKeepsThem) {
  MsgDJobStepPacket p;
  for (const char* g : {"m1", "m2", "m3"}) p.GetJob().AssignClient(g, "h", "d", "i", nullptr, kFirst);
  p.SetNetworkUserAccount("CORP\\svc", "pw");
  p.InsertInstallIniData(4096, "Machine", "Role", "Kiosk");
  p.SetUseLanResources(true);
  const String nul("a\0b", 3);  // what is written reads back, NUL included
  p.GetJob().SetName(nul);
  p.SetDIP(nul);
  const String packed = p.Pack();
  EXPECT_EQ(p.GetJob().GetJobTargets().GetCount(), 3);
  OVOJob job;
  EXPECT_EQ(job.Unpack(p.GetJob().Pack()), 1);
  EXPECT_EQ(job.GetName(), nul);
  MsgDJobStepPacket q(packed);
  EXPECT_EQ(q.GetJob().GetName(), nul);
  EXPECT_EQ(q.GetDIP(), nul);
  EXPECT_EQ(q.GetJob().GetJobTargets().GetCount(), 0);
  EXPECT_EQ(q.GetNetworkUserAccount(), p.GetNetworkUserAccount());
  EXPECT_EQ(q.GetInstallIniData(), p.GetInstallIniData());
  EXPECT_EQ(q.Pack(), packed);
  EXPECT_NE(packed.find("<UseLanResources>1</UseLanResources><IgnoreovBTCrl>0</IgnoreovBTCrl>"), String::npos);
  EXPECT_EQ(q.Unpack("<MSGDJobState/>"), 0);
  EXPECT_EQ(q.Unpack("garbage <"), 0);
}

TEST(MsgDJobStepPacket, ClearKeepsDisplayNameAndBooleans) {
  MsgDJobStepPacket p;
  p.SetBase64EncodedJobDisplayName("eA==");
  p.SetIgnoreCrlForovBT(true);
  p.SetErrors(3);
  p.Clear();
  EXPECT_EQ(p.GetBase64EncodedJobDisplayName(), "eA==");
  EXPECT_TRUE(p.GetIgnoreCrlForovBT());
  EXPECT_EQ(p.GetErrors(), 0u);
}

struct TimeoutCase {
  uint32_t options;
  const char* validity;  // ends 600 or 7200 seconds after kFirst
  const char* mandatory;
  const char* maxDelay;
  CTime want;
};

TEST(MsgDJobStepPacket, CalcTimeout) {
  constexpr const char* k600 = "2023-01-01T00:00:00Z/2023-11-14T22:23:20Z";
  constexpr const char* k7200 = "2023-01-01T00:00:00Z/2023-11-15T00:13:20Z";
  const TimeoutCase cases[] = {
      {0x4000, nullptr, nullptr, "30", 0},
      {0x200000, nullptr, nullptr, "30", kFirst + 1800},
      {0x400000, k600, nullptr, "30", kFirst + 600},
      {0x200000, k600, "1700000900", nullptr, kFirst + 600},
      {0x200000, k600, "1700000300", nullptr, kFirst + 300},
      {0x200000, k600, "0", "0", kFirst + 600},
      {0x200000, k7200, nullptr, "30", kFirst + 1800},
      {0x200000, k7200, nullptr, "120", kFirst + 7200},
      {0x200000, nullptr, nullptr, nullptr, 0},
  };
  for (const TimeoutCase& c : cases) {
    MsgDJobStepPacket p;
    p.GetJob().SetOptions(c.options);
    if (c.validity) {
      ASSERT_TRUE(p.GetJob().GetValidity().SetString(c.validity));
    }
    if (c.mandatory) p.GetJob().GetProperties().SetProperty("MandatoryTime", String(c.mandatory));
    if (c.maxDelay) p.GetJob().GetProperties().SetProperty("MaxDelayMinutes", String(c.maxDelay));
    p.SetFirstOffering(kFirst);
    EXPECT_EQ(p.CalcTimeout(kFirst + 5), c.want) << c.options << " " << (c.validity ? c.validity : "");
  }
  MsgDJobStepPacket p;
  EXPECT_EQ(p.CalcTimeout(kFirst), 0);
  EXPECT_EQ(p.GetFirstOffering(), kFirst);
  p.GetJob().SetOptions(0x204000);
  p.GetJobTarget().SetStateFlag(0x8000000, true);
  EXPECT_EQ(p.CalcTimeout(kFirst + 10), kFirst + 9);
}

TEST(MsgDJobStepPacket, SkipDependentStepsMarksStepsOnlyTiedToTheSkippedOne) {
  for (const char* cCondition : {"0", "1"}) {
    MsgDJobStepPacket p;
    p.AddJobStep(Step("A", ""));
    p.AddJobStep(Step("B", (String("a,1;C,") + cCondition).c_str()));
    p.AddJobStep(Step("C", ""));
    p.SkipDependentSteps(p.GetStepAt(0));
    const OVOJobStep* b = p.GetStepAt(1);
    EXPECT_EQ(b->GetDependencies(), String("a,0;C,") + cCondition);
    EXPECT_EQ(b->GetOption(OVOJobStep::kOptionSkip), *cCondition == '0');
    EXPECT_FALSE(p.GetStepAt(0)->GetOption(OVOJobStep::kOptionSkip));
    EXPECT_FALSE(p.GetStepAt(2)->GetOption(OVOJobStep::kOptionSkip));
  }
  // The closure: skipping C ties its dependency B and B's dependency A.
  MsgDJobStepPacket p;
  p.AddJobStep(Step("A", ""));
  p.AddJobStep(Step("B", "A,1"));
  p.AddJobStep(Step("C", "b,1"));
  p.SkipDependentSteps(p.GetStepAt(2));
  EXPECT_TRUE(p.GetStepAt(0)->GetOption(OVOJobStep::kOptionSkip));
  EXPECT_TRUE(p.GetStepAt(1)->GetOption(OVOJobStep::kOptionSkip));
  EXPECT_FALSE(p.GetStepAt(2)->GetOption(OVOJobStep::kOptionSkip));
  EXPECT_EQ(p.GetStepAt(2)->GetDependencies(), "b,0");
}

TEST(MsgDJobStepPacket, StepBookkeeping) {
  MsgDJobStepPacket p;
  EXPECT_EQ(p.DeleteFirstStep(), 0);
  EXPECT_THROW(p.GetStepAt(0), std::invalid_argument);
  p.AddJobStep(Step("abc-D", ""));
  p.AddJobStep(Step("E", ""));
  POSITION pos = nullptr;
  EXPECT_EQ(p.FindStep("ABC-d", &pos), p.GetStepAt(0));
  EXPECT_EQ(p.FindStep("x"), nullptr);
  OVOJobStep* removed = p.RemoveStepAt(pos);
  EXPECT_EQ(p.GetStepCount(), 1);
  delete removed;
  EXPECT_THROW(p.GetStepAt(-1), std::invalid_argument);
  EXPECT_EQ(p.DeleteFirstStep(), 0);
  EXPECT_FALSE(p.HasJobSteps());
}

TEST(JobStepReports, ExactTextsAndRoundTrips) {
  MsgDJobState s;
  s.Time = 0x100000005;
  // The name travels in an attribute, where white space would read as blanks.
  for (const String& name : {String("say \"hi\" & <go>"), String("two\nlines\r\n\tand a tab "), String("n\0l", 3)}) {
    s.JobName = name;
    s.StateText = name;
    const MsgDJobState back(s.Pack());
    EXPECT_EQ(back.JobName, name);
    EXPECT_EQ(back.StateText, name);
    EXPECT_EQ(back.Time, 5);
  }
  MsgDConfirmJobStep c;
  c.Time = 0x1FFFFFFFF;
  c.JobStep = "<JobStep type=\"145\"><GUID>g</GUID></JobStep>";
  c.Result = -5;
  EXPECT_EQ(c.Pack(),
            "<MSGDConfirmJobStep><JobName></JobName><JobStep type=\"145\"><GUID>g</GUID></JobStep><Time>4294967295"
            "</Time><State>0</State><Result>-5</Result><ResultString></ResultString><SlotId>0</SlotId>"
            "</MSGDConfirmJobStep>");
  EXPECT_EQ(MsgDConfirmJobStep(c.Pack()).Pack(), c.Pack());
}

TEST(SelfServiceMessages, LenientAndMarkupRoundTrips) {
  MsgSSAUserInformationData data;
  data.SetUserName("u");
  data.SetEncPwdBase64("cHc=");
  MsgSSAJobStepPacket p;
  p.SetUserInformation(data.Pack());
  p.SetJobStepData("<Cmd a=\"1\">x &amp; y</Cmd>");
  p.SetJobGuid("j");
  const MsgSSAJobStepPacket back(p.Pack());
  EXPECT_EQ(back.GetUserInformation(), data.Pack());
  EXPECT_EQ(back.GetJobStepData(), p.GetJobStepData());
  EXPECT_EQ(back.GetJoGuid(), "j");
  EXPECT_EQ(back.Pack(), p.Pack());
  MsgSSAJobStepConfirmation c("<Unrelated><ResultCode>-1</ResultCode><statetext>t</statetext></Unrelated>");
  EXPECT_EQ(c.Pack(),
            "<MSGSSAJobStepConfirmation><Versionnumber>1</Versionnumber><JobStepGuid></JobStepGuid>"
            "<StateText>t</StateText><ResultCode>4294967295</ResultCode></MSGSSAJobStepConfirmation>");
  EXPECT_EQ(MsgSSAUserInformation().Unpack("\x01 not xml"), 1);
  EXPECT_EQ(MsgDModuleState().Unpack(""), 1);
}

}  // namespace
