// User job states and text entries: packed texts, the kept timestamp, and their lists.
#include "orvacmn/jobs/user_job_state.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "orvacmn/jobs/text_entry.h"

namespace {

using orvacmn::OVOTextEntry;
using orvacmn::OVOTextEntryList;
using orvacmn::OVOUserJobState;
using orvacmn::OVOUserJobStateList;
using orvacmn::String;

constexpr char kDefault[] = "<UserJobState><GUID></GUID><GUIDJob></GUIDJob><GUIDSystem></GUIDSystem>"
                            "<TimeStamp>0</TimeStamp><State>0</State><StateText></StateText></UserJobState>";
constexpr char kFull[] =
    "<UserJobState><GUID>G</GUID><GUIDADObject>A</GUIDADObject><GUIDJob>J</GUIDJob><GUIDSystem>S</GUIDSystem>"
    "<GUIDSoftware>W</GUIDSoftware><ADObjectName>user</ADObjectName><JobName>job</JobName>"
    "<SystemName>pc</SystemName><SoftwareProducer>p &amp; q</SoftwareProducer><SoftwareName>n</SoftwareName>"
    "<SoftwareVersion>1.0</SoftwareVersion><TimeStamp>-5</TimeStamp><State>4294967295</State>"
    "<StateText>done</StateText></UserJobState>";

OVOUserJobState Full() {
  OVOUserJobState s;
  s.SetGUID("G"), s.SetGUIDADObject("A"), s.SetGUIDJob("J"), s.SetGUIDSystem("S"), s.SetGUIDSoftware("W");
  s.SetADObjectName("user"), s.SetJobName("job"), s.SetSystemName("pc"), s.SetSoftwareProducer("p & q");
  s.SetSoftwareName("n"), s.SetSoftwareVersion("1.0"), s.SetTimeStamp(-5), s.SetState(0xFFFFFFFFu);
  s.SetStateText("done");
  return s;
}

TEST(UserJobState, TextsRoundTripAndTheTimestampSurvivesClear) {
  EXPECT_EQ(OVOUserJobState().Pack(), kDefault);
  EXPECT_EQ(Full().Pack(), kFull);
  OVOUserJobState back(kFull);
  EXPECT_TRUE(back == Full() && back.GetObjectName() == "UserJobState" && back.GetSchema() == 0x50001u);

  back.Unpack("<UserJobState><guid>x</guid><STATE>-1</STATE><State>12abc</State></UserJobState>");
  EXPECT_TRUE(back.GetGUID() == "x" && back.GetState() == 12u && back.GetGUIDJob().empty());
  EXPECT_EQ(back.GetTimeStamp(), -5) << "a text without TimeStamp keeps it";
  EXPECT_EQ(back.Unpack("not xml"), 0);
  EXPECT_TRUE(back.GetGUID().empty() && back.GetTimeStamp() == -5);
  back.Unpack("<UserJobState><State>-1</State><TimeStamp>99999999999999999999</TimeStamp></UserJobState>");
  EXPECT_TRUE(back.GetState() == 0xFFFFFFFFu && back.GetTimeStamp() == INT64_MAX);
}

TEST(UserJobState, ListKeepsForeignChildrenClearedAndComparesInOrder) {
  OVOUserJobStateList list("<UserJobStateList>" + String(kFull) + "<Other><GUID>y</GUID></Other>" + kDefault +
                           "</UserJobStateList>");
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_TRUE(*list.GetHead() == Full() && list.GetTail()->Pack() == kDefault);
  EXPECT_EQ(list.GetAt(list.FindIndex(1))->Pack(), kDefault) << "a foreign child adds a cleared state";
  OVOUserJobStateList again(list.Pack());
  EXPECT_TRUE(again == list && again.Pack() == list.Pack());
  OVOUserJobStateList reordered("<UserJobStateList>" + String(kDefault) + kDefault + kFull + "</UserJobStateList>");
  EXPECT_TRUE(reordered != list);
  EXPECT_EQ(OVOUserJobStateList().Pack(), "<UserJobStateList></UserJobStateList>");
}

TEST(TextEntry, TextsListsAndLanguageChoice) {
  EXPECT_EQ(OVOTextEntry().Pack(), "<TextEntry><Language>0</Language><Text></Text></TextEntry>");
  const OVOTextEntry de(1031, "Hallo <Welt>");
  EXPECT_EQ(de.Pack(), "<TextEntry><Language>1031</Language><Text>Hallo &lt;Welt&gt;</Text></TextEntry>");
  EXPECT_TRUE(OVOTextEntry(de.Pack()) == de);
  OVOTextEntry reread = de;
  EXPECT_TRUE(reread.Unpack("<TextEntry><Text>t</Text></TextEntry>") == 1 && reread == OVOTextEntry(0, "t"));
  EXPECT_TRUE(OVOTextEntry("<TextEntry><text>a</text><LANGUAGE>-1</LANGUAGE></TextEntry>") ==
              OVOTextEntry(0xFFFFFFFFu, "a"));

  OVOTextEntryList list("<TextEntryList>" + OVOTextEntry(1033, "en").Pack() + "<x/>" + de.Pack() +
                        "</TextEntryList>");
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetText(1031), "Hallo <Welt>");
  EXPECT_EQ(list.GetText(1036, "none"), "") << "the cleared entry has no language";
  const orvacmn::POSITION pos = list.FindIndex(1);
  delete list.GetAt(pos);  // the cleared entry
  list.RemoveAt(pos);
  EXPECT_EQ(list.GetText(1036, "none"), "none");
  EXPECT_EQ(OVOTextEntryList(list.Pack()).Pack(), list.Pack());
}

}  // namespace
