// Job step lists: unpacking through the factory, the job's result, the boot-client steps and the list operations.
#include "orvacmn/jobs/job_step_list.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "ofl/tools.h"
#include "orvacmn/jobs/job_step_kinds.h"

namespace {

using namespace orvacmn;  // NOLINT
using Step = OVOJobStep;

// A step of `type` with GUID `guid`, whole state `state` and options `options`.
String S(uint32_t type, const char* guid, uint32_t state = 0, uint32_t options = 0, const char* text = "") {
  return "<JobStep type=\"" + std::to_string(type) + "\"><GUID>" + guid + "</GUID><State>" + std::to_string(state) +
         "</State><Options>" + std::to_string(options) + "</Options><StateString>" + text + "</StateString></JobStep>";
}
String L(std::initializer_list<String> steps) {
  String out = "<JobStepList>";
  for (const String& s : steps) out += s;
  return out + "</JobStepList>";
}
String Guids(const OVOJobStepList& list) {
  String out;
  for (const Step* s : list) out += s->GetGUID();
  return out;
}

TEST(JobStepList, UnpackSkipsWhatTheFactoryRefusesAndPacksBack) {
  OVOJobStepList list(L({S(145, "a"), S(99, "b"), S(300, "c"), "<JobStep><GUID>d</GUID></JobStep>",
                         "<jobstep type=\"145\"/>", "<Other type=\"145\"/>", S(121, "e"), S(210, "f")}));
  EXPECT_EQ(Guids(list), "aef");
  EXPECT_TRUE(list.GetHead()->GetType() == 145 && list.GetTail()->GetType() == 210);
  EXPECT_NE(dynamic_cast<OVOJobStepPerformInventory*>(list.FindStep(Step::ePerformInventoryAlt)), nullptr);
  OVOJobStepList again(list.Pack());
  EXPECT_EQ(again.Pack(), list.Pack());
  EXPECT_EQ(OVOJobStepList().Pack(), "<JobStepList></JobStepList>");

  OVOJobStepList other;
  EXPECT_EQ(other.Unpack("<JobSteps/>"), 0);
  EXPECT_EQ(other.Unpack("<JobStepList>"), 0);
  EXPECT_EQ(other.Unpack("<JobStepList/>"), 1);
  EXPECT_TRUE(other.IsEmpty());
}

TEST(JobStepList, DetermineResult) {
  String text = "stale";
  EXPECT_EQ(OVOJobStepList().DetermineResult(text, 0), 7u);
  EXPECT_EQ(text, "");
  struct Case {
    String list;
    uint32_t options, code;
    const char* text;
  };
  const Case cases[] = {
      {L({S(145, "a", 7), S(146, "b", 0x407, 0, "x")}), 0, 519, "x"},
      {L({S(145, "a", 7), S(146, "b", 0x407, 0, "x")}), 2, 1031, "x"},
      {L({S(145, "a", 0x407, 0, "x"), S(146, "b", 0)}), 0, 1031, "x"},  // every finished step failed
      {L({S(145, "a", 0x407, 0, "x"), S(146, "b", 0x407, 0, "y"), S(143, "c", 0x407), S(142, "d", 7)}), 0, 519,
       "3 step(s) failed"},
      {L({S(145, "a", 0x207), S(146, "b", 7)}), 0, 519, ""},
      {L({S(145, "a", 0x20000007), S(146, "b", 7)}), 0, 519, ""},
      {L({S(145, "a", 0x200), S(146, "b", 0x400, 0, "x")}), 2, 7, ""},  // flags of unfinished steps do not count
      {L({S(145, "a", 7), S(146, "b", 0)}), 2, 7, ""},
  };
  for (const Case& c : cases) {
    const OVOJobStepList list(c.list);
    EXPECT_EQ(list.DetermineResult(text, c.options), c.code) << c.list;
    EXPECT_EQ(text, c.text) << c.list;
  }
  OFL::SetResourceLanguage(1031);
  OVOJobStepList(cases[3].list).DetermineResult(text, 0);
  OFL::SetResourceLanguage(1033);
  EXPECT_EQ(text, "3 Schritt(e) fehlgeschlagen");
}

TEST(JobStepList, NextPendingBootClientStep) {
  struct Case {
    String list;
    const char* guid;  // "" for none
  };
  const Case cases[] = {
      {L({}), ""},
      {L({S(140, "boot"), S(10, "virtual"), S(145, "skip", 0, 0x4000)}), ""},
      {L({S(140, "boot"), S(145, "a"), S(146, "b")}), "a"},
      {L({S(145, "a", 7), S(146, "b"), S(142, "c")}), "b"},
      {L({S(145, "a", 7), S(146, "b", 0x407), S(142, "c")}), "b"},
      {L({S(145, "a"), S(146, "b", 7), S(140, "boot")}), ""},
      {L({S(145, "a", 7), S(140, "boot", 0), S(146, "b", 0, 0x4000), S(142, "c")}), "c"},
  };
  for (const Case& c : cases) {
    const OVOJobStepList list(c.list);
    const Step* s = list.GetNextPendingBootClientStep();
    EXPECT_EQ(s ? s->GetGUID() : String(), c.guid) << c.list;
  }
}

TEST(JobStepList, Counting) {
  const OVOJobStepList list(L({S(10, "v"), S(145, "a", 7), S(146, "b", 0x80000000), S(142, "c", 0, 0x4000),
                               S(145, "d", 0x407), S(143, "e", 1)}));
  EXPECT_EQ(list.GetNextPendingStep()->GetGUID(), "b");
  EXPECT_EQ(list.GetPendingJobStepCount(), 3);
  EXPECT_EQ(list.GetFinishedJobStepCount(), 2);
  EXPECT_EQ(list.GetNonVirtualNonSkippedStepCount(), 4);
  EXPECT_EQ(list.FindStep(Step::eWipeDisk)->GetGUID(), "a");
  EXPECT_EQ(list.FindStep(Step::eWipeDisk, 0x7FFFFFFF, true), nullptr) << "0x407 is finished as well";
  EXPECT_EQ(list.FindStep(Step::eOSCloningBackupImaging, 0x7FFFFFFF, true)->GetGUID(), "e");
  EXPECT_EQ(list.FindStep(Step::eWipeDisk, 0, false), nullptr) << "looks at one step only";
  EXPECT_EQ(list.FindStep(Step::eWipeDisk, 1, false)->GetGUID(), "a");
  EXPECT_EQ(list.FindStep(Step::eWipeDisk, 3, true), nullptr);
  EXPECT_EQ(list.FindStep(Step::eWipeDisk, -5, false), nullptr);
  EXPECT_EQ(list.GetAt(list.FindStep(String("B")))->GetGUID(), "b");
  EXPECT_EQ(list.FindStep(String("z")), nullptr);
  EXPECT_TRUE(list.IsLastStep(list.GetTail()) && !list.IsLastStep(list.GetHead()) && !list.IsLastStep(nullptr));
  EXPECT_EQ(OVOJobStepList::GetBootClientStepList().AsString(","), "10,145,153,146,143,14");
}

TEST(JobStepList, BootClientStepsAndRunLocations) {
  const OVOJobStepList agent(L({S(233, "x"), S(12, "s"), S(110, "i"), S(180, "srv")}));
  EXPECT_EQ(agent.FindBootClientStep(), nullptr);
  EXPECT_TRUE(agent.HasStepWithRunLocation(Step::eRunOnServer));
  EXPECT_FALSE(agent.HasStepWithRunLocation(Step::eRunOnBootClient));
  for (const auto& [text, guid] : {std::pair{S(12, "s", 0, 0x20000), "s"}, {S(110, "i", 0, 0x40000), "i"},
                                   {S(10, "d"), "d"}, {S(140, "b"), "b"}, {S(153, "r"), "r"}}) {
    const OVOJobStepList list(L({S(233, "x"), text, S(145, "w")}));
    EXPECT_EQ(list.GetAt(list.FindBootClientStep())->GetGUID(), guid);
  }

  const OVOJobStepList list(L({S(10, "v"), S(233, "a"), S(145, "w"), S(140, "b", 0), S(180, "s", 7)}));
  const auto at = [&](const char* g) { return list.GetAt(list.FindStep(String(g))); };
  EXPECT_TRUE(list.HasStepWithRunLocationBeforeStep(Step::eRunNowhere, at("a"), false));
  EXPECT_FALSE(list.HasStepWithRunLocationBeforeStep(Step::eRunNowhere, at("a"), true)) << "only the virtual one";
  EXPECT_TRUE(list.HasStepWithRunLocationBeforeStep(Step::eRunNowhere, at("s"), true)) << "the boot image";
  EXPECT_FALSE(list.HasStepWithRunLocationBeforeStep(Step::eRunOnBootClient, at("w"), false));
  OVOJobStepWipeDisk foreign;
  foreign.SetGUID("W");
  EXPECT_TRUE(list.HasStepWithRunLocationBeforeStep(Step::eRunNowhere, &foreign, false)) << "found by GUID";
  foreign.SetGUID("nowhere");
  EXPECT_FALSE(list.HasStepWithRunLocationBeforeStep(Step::eRunNowhere, &foreign, false));

  EXPECT_FALSE(list.IsJobFinished());
  EXPECT_TRUE(OVOJobStepList(L({S(10, "v"), S(140, "b"), S(145, "w", 0x407)})).IsJobFinished());
}

TEST(JobStepList, RemovingAndCleaning) {
  const String text = L({S(145, "a", 7), S(146, "b", 0x407), S(142, "c", 0x207), S(143, "d", 1), S(233, "e", 7)});
  OVOJobStepList all(text);
  all.RemoveFinishedSteps(false, 0);
  EXPECT_EQ(Guids(all), "d");
  OVOJobStepList kept(text);
  kept.RemoveFinishedSteps(true, 2);
  EXPECT_EQ(Guids(kept), "bcd");
  EXPECT_EQ(kept.GetHead()->GetStateValue(), 2u);
  OVOJobStepList unchanged(text);
  unchanged.RemoveFinishedSteps(true, 0);
  EXPECT_EQ(unchanged.GetHead()->GetStateValue(), 0x407u);

  const String patch = "<JobStep type=\"130\"><GUID>p</GUID><StepData><PatchBase>x</PatchBase></StepData></JobStep>";
  OVOJobStepList mixed(L({S(10, "v"), S(233, "a"), S(145, "w"), S(140, "b"), S(180, "s"), patch}));
  mixed.CleanForOVATransmit();
  EXPECT_EQ(Guids(mixed), "asp");
  EXPECT_TRUE(static_cast<OVOJobStepDeterminePatchState*>(mixed.GetTail())->GetPatchBase().empty());
  mixed.ResetGUIDs();
  EXPECT_TRUE(mixed.GetHead()->GetGUID().size() == 36 && mixed.GetHead()->GetGUID() != mixed.GetTail()->GetGUID());
}

TEST(JobStepList, RestoreAndReinstall) {
  const String legacy = "<JobStep type=\"153\"><StepData><DesasterRestore><RestoreOptions>3</RestoreOptions>"
                        "</DesasterRestore></StepData></JobStep>";
  EXPECT_TRUE(OVOJobStepList(L({S(233, "a"), legacy})).ContainLegacyDesasterRestore());
  EXPECT_FALSE(OVOJobStepList(L({S(153, "r")})).ContainLegacyDesasterRestore());
  EXPECT_TRUE(OVOJobStepList(L({S(10, "v")})).WillReinstall(true, false));
  EXPECT_FALSE(OVOJobStepList(L({S(145, "w")})).WillReinstall(false, false));
  EXPECT_TRUE(OVOJobStepList(L({S(145, "w")})).WillReinstall(false, true));
  EXPECT_FALSE(OVOJobStepList(L({S(142, "i", 7), S(153, "r", 0, 0x4000)})).WillReinstall(true, true));
  EXPECT_TRUE(OVOJobStepList(L({S(142, "i", 7)})).WillReinstall(false, false));
}

}  // namespace
