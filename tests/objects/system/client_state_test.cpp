// Client state: the fixed text, the two names of the custom-state type, and
// partial updates by change groups.
#include "orvacmn/system/client_state.h"

#include <gtest/gtest.h>

namespace orvacmn {
namespace {

constexpr char kCleared[] =
    "<ClientState><GUID></GUID><MachineDisplayName></MachineDisplayName><ClientAgentState>-1</ClientAgentState>"
    "<Activity></Activity><LastChange>0</LastChange><JobState>0</JobState><CurrentJob></CurrentJob>"
    "<TimeJobStart>0</TimeJobStart><CurrentStep></CurrentStep><TimeStepStart>0</TimeStepStart>"
    "<CustomStateTye>0</CustomStateTye><CustomState></CustomState><CustomStateChange>0</CustomStateChange>"
    "<FirstError></FirstError><LastError></LastError><Changes>0</Changes></ClientState>";

OVOClientState Filled() {
  OVOClientState s;
  s.SetGuid("G-1");
  s.SetMachineDisplayName("PC <1>");
  s.SetClientAgentState(3);
  s.SetActivity("Installing");
  s.SetLastChange(1700000000);
  s.SetJobState(OVO::JobState(0x80000205u));
  s.SetCurrentJob("J-1");
  s.SetTimeJobStart(-5);
  s.SetCurrentStep("S-1");
  s.SetTimeStepStart(INT64_MAX);
  s.SetCustomStateType(4294967295u);
  s.SetCustomState("custom");
  s.SetCustomStateChange(INT64_MIN);
  s.SetFirstError("first");
  s.SetLastError("last");
  s.SetChanges(0x7F);
  return s;
}

// A partial state as a peer sends it: every field with other values than Filled() and `changes`.
String Incoming(uint32_t changes) {
  return "<ClientState><GUID>OTHER</GUID><MachineDisplayName>other</MachineDisplayName><ClientAgentState>9"
         "</ClientAgentState><Activity>Idle</Activity><LastChange>1</LastChange><JobState>7</JobState><CurrentJob>J-2"
         "</CurrentJob><TimeJobStart>2</TimeJobStart><CurrentStep>S-2</CurrentStep><TimeStepStart>3</TimeStepStart>"
         "<CustomStateTye>6</CustomStateTye><CustomState>new</CustomState><CustomStateChange>4</CustomStateChange>"
         "<FirstError>other first</FirstError><LastError>other last</LastError><Changes>" +
         std::to_string(changes) + "</Changes></ClientState>";
}

TEST(ClientState, ClearedStatePacksEveryFieldInOrder) {
  OVOClientState s;
  EXPECT_EQ(s.Pack(), kCleared);
  OVOClientState t = Filled();
  t.Clear();
  EXPECT_EQ(t, OVOClientState());
}

TEST(ClientState, UnpackReadsThePeersTypeNameOnly) {
  const OVOClientState filled = Filled();
  const String text = filled.Pack();
  EXPECT_NE(text.find("<CustomStateTye>4294967295</CustomStateTye>"), String::npos);
  EXPECT_NE(text.find("<JobState>2147484165</JobState>"), String::npos);

  OVOClientState plain;
  ASSERT_EQ(plain.Unpack(text), 1);
  EXPECT_EQ(plain.GetCustomStateType(), 0u);  // written as "CustomStateTye", not read back
  plain.SetCustomStateType(4294967295u);
  EXPECT_EQ(plain, filled);

  OVOClientState stored;
  ASSERT_EQ(stored.UnpackStored(text), 1);
  EXPECT_EQ(stored, filled);
  EXPECT_EQ(stored.GetJobState().GetFlags(), 0x80000200u);
  EXPECT_EQ(stored.GetJobState().GetState(), 5u);
}

TEST(ClientState, UnpackIsTolerantAndFailsOnAForeignRoot) {
  OVOClientState s(
      "<ClientState><x/><changes>5</changes><customstatetype>7</customstatetype><jobstate>-2147483131</jobstate>"
      "<CLIENTAGENTSTATE>99999999999</CLIENTAGENTSTATE><guid>g</guid><GUID>h</GUID></ClientState>");
  EXPECT_EQ(s.GetChanges(), 5u);
  EXPECT_EQ(s.GetCustomStateType(), 7u);
  EXPECT_EQ(s.GetJobState().ToDword(), 0x80000205u);  // signed text, same bits
  EXPECT_EQ(s.GetClientAgentState(), INT32_MAX);      // 32-bit, saturated
  EXPECT_EQ(s.GetGuid(), "h");                        // the later node wins

  OVOClientState other = Filled();
  EXPECT_EQ(other.Unpack("<Client><GUID>g</GUID></Client>"), 0);
  EXPECT_EQ(other, OVOClientState());
  other = Filled();
  EXPECT_EQ(other.UnpackStored(""), 0);
  EXPECT_EQ(other, OVOClientState());
}

TEST(ClientState, UpdateTakesTheGroupsNamedByChanges) {
  struct Case {
    uint32_t bits;
    void (*take)(OVOClientState&);  // what the group changes in the state
  };
  const Case cases[] = {
      {0x01, [](OVOClientState& s) { s.SetClientAgentState(9); }},
      {0x02, [](OVOClientState& s) { s.SetActivity("Idle"); }},
      {0x04, [](OVOClientState& s) { s.SetJobState(OVO::JobState(7)); }},
      {0x08, [](OVOClientState& s) { s.SetCurrentJob("J-2"); s.SetTimeJobStart(2); }},
      {0x10, [](OVOClientState& s) { s.SetCurrentStep("S-2"); s.SetTimeStepStart(3); }},
      // The type too, as this library writes it ("CustomStateTye").
      {0x20, [](OVOClientState& s) { s.SetCustomStateType(6); s.SetCustomState("new"); s.SetCustomStateChange(4); }},
      {0x40, [](OVOClientState& s) { s.SetLastError("other last"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    OVOClientState s = Filled();
    s.SetChanges(0x100);
    EXPECT_EQ(s.Update(Incoming(c.bits)), 1);
    OVOClientState want = Filled();
    c.take(want);
    want.SetChanges(0x100 | c.bits);
    EXPECT_EQ(s, want);
  }
}

TEST(ClientState, UpdateNeverTakesIdentityOrFirstErrorAndAccumulatesChanges) {
  OVOClientState s = Filled();
  s.SetChanges(0);
  const OVOClientState before = s;
  s.Update(Incoming(0));
  EXPECT_EQ(s, before);  // Changes 0 changes nothing

  s.Update(Incoming(0xFFFFFFFF));
  EXPECT_EQ(s.GetGuid(), "G-1");
  EXPECT_EQ(s.GetMachineDisplayName(), "PC <1>");
  EXPECT_EQ(s.GetLastChange(), 1700000000);
  EXPECT_EQ(s.GetFirstError(), "first");
  EXPECT_EQ(s.GetLastError(), "other last");

  OVOClientState t;
  t.Update(Incoming(0x01));
  t.Update(Incoming(0x08));
  EXPECT_EQ(t.GetChanges(), 0x09u);
  EXPECT_EQ(t.Update("<Client/>"), 0);
  EXPECT_EQ(t.GetChanges(), 0x09u);
}

TEST(ClientState, CustomStateTypeReadsUnderEitherName) {
  EXPECT_EQ(ReadCustomStateType(Filled().Pack()), 4294967295u);
  EXPECT_EQ(ReadCustomStateType("<ClientState><CustomStateType>3</CustomStateType></ClientState>"), 3u);
  EXPECT_EQ(ReadCustomStateType("<ClientState><customstatetye>4</customstatetye>"
                                "<CUSTOMSTATETYPE>5</CUSTOMSTATETYPE></ClientState>"),
            5u);  // the later one
  EXPECT_EQ(ReadCustomStateType("<ClientState><CustomState>x</CustomState></ClientState>"), std::nullopt);
  EXPECT_EQ(ReadCustomStateType("<Client><CustomStateType>3</CustomStateType></Client>"), std::nullopt);
  EXPECT_EQ(ReadCustomStateType("not xml"), std::nullopt);
}

}  // namespace
}  // namespace orvacmn
