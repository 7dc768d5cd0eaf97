// The client family: which keys the identification walk asks the store for,
// and what a load, a list and a save leave in the objects.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "orvacmn/persistence.h"
#include "orvacmn/system.h"

namespace orvacmn {
namespace {

// Answers loads of type 51 from a table keyed "value|kind" and records every
// key asked for; a save answers with a fixed stamp or fails.
struct FakeStore : IMocInstance {
  std::map<String, String> records;
  std::vector<String> asked;
  HRESULT saveStatus = S_OK;
  String saveReply = "<Properties><PropertyEntry><Param>ObjectTimestamp</Param><Value>1234</Value>"
                     "</PropertyEntry></Properties>";

  static String Text(BSTR b) { return OFL::FromUtf16({b ? b : u"", SysStringLen(b)}); }

  HRESULT LoadRecord(uint32_t type, uint32_t, BSTR key, BSTR keys, uint32_t, BSTR* result) override {
    OFLTokenizer k, list;
    k.FromLengthPackedString(Text(key != nullptr && SysStringLen(key) > 0 ? key : keys));
    const String wanted = k.GetAt(0) + "|" + k.GetAt(1);
    asked.push_back(std::to_string(type) + ":" + wanted + (k.GetCount() > 2 ? "|" + k.GetAt(2) : ""));
    if (wanted == "fail|2") {
      *result = OFL::AllocBstr("store is down");
      return E_FAIL;
    }
    if (auto it = records.find(wanted); it != records.end()) list.AddString(it->second);
    *result = OFL::AllocBstr(list.AsLengthPackedString());
    return S_OK;
  }
  HRESULT SaveRecord(uint32_t, BSTR key, BSTR, BSTR, uint32_t*, BSTR* result) override {
    asked.push_back("save:" + Text(key));
    *result = OFL::AllocBstr(saveReply);
    return saveStatus;
  }
  HRESULT InitRecord(uint32_t, BSTR, BSTR*) override { return E_FAIL; }
  HRESULT CreateRecord(uint32_t, BSTR, BSTR*) override { return E_FAIL; }
  HRESULT DeleteRecord(uint32_t, BSTR, uint32_t*, BSTR*) override { return E_FAIL; }
  HRESULT UpdateRecord(uint32_t, BSTR, BSTR, BSTR, uint32_t*, BSTR*) override { return E_FAIL; }
  HRESULT DoAction(uint32_t, BSTR, BSTR, BSTR*) override { return E_FAIL; }
  HRESULT SpecialTask(uint32_t, BSTR, BSTR*) override { return E_FAIL; }
};

String ClientText(const String& guid, const String& name) {
  OVOSystem s;
  s.SetGuid(guid);
  s.SetDisplayName(name);
  s.SetHostName(name);
  return s.Pack();
}

class ClientRecords : public ::testing::Test {
 protected:
  std::shared_ptr<FakeStore> store = std::make_shared<FakeStore>();
  CDBAccess db{store};
  OVOSystem system{ClientText("OLD", "OLD")};
  String out = "x";
  bool found = true;
  uint32_t method = 9;
};

TEST_F(ClientRecords, TheSchemeAsksEachMethodsCandidatesUntilOneHits) {
  OVOClientIdentification id;
  id.SetHostname("PC1");
  id.SetLMDomain("CORP");
  EXPECT_EQ(db.LoadSystem(id, 0, system, out, 0, &found, &method), S_OK);
  EXPECT_EQ(store->asked, (std::vector<String>{"51:CORP\\PC1|4|*", "51:PC1|4|*"}));
  EXPECT_FALSE(found);
  EXPECT_EQ(method, 0u);
  EXPECT_EQ(out, "");
  EXPECT_EQ(system.GetGuid() + system.GetDisplayName() + system.GetHostName(), "");

  // A GUID that is no GUID is never sent; the MAC list is one candidate.
  store->asked.clear();
  store->records["00:11:22:33:44:55;00:11:22:33:44:66|2"] = ClientText("G2", "PC2");
  id.SetGuid("not-a-guid");
  id.SetMACList("00:11:22:33:44:55;00:11:22:33:44:66");
  const uint32_t scheme[] = {0, 4, 2, 0, 0, 0, 0};
  db.SetIdentificationScheme(scheme);
  EXPECT_EQ(db.LoadSystem(id, 0, system, out, 0, &found, &method), S_OK);
  EXPECT_EQ(store->asked,
            (std::vector<String>{"51:CORP\\PC1|4|*", "51:PC1|4|*", "51:00:11:22:33:44:55;00:11:22:33:44:66|2|*"}));
  EXPECT_TRUE(found);
  EXPECT_EQ(method, 2u);
  EXPECT_EQ(system.GetGuid(), "G2");

  // A failing store ends the load with its text.
  EXPECT_EQ(db.LoadSystem(2, "fail", 0, system, out, 0, &found), E_FAIL);
  EXPECT_EQ(out, "store is down");
  EXPECT_FALSE(found);
}

TEST_F(ClientRecords, LoadsByKeyAndListsAnyKind) {
  store->records["G1|1"] = ClientText("G1", "PC1");
  EXPECT_EQ(db.LoadSystem(1, "G1", 0, system, out, 0, &found), S_OK);
  EXPECT_TRUE(found);
  EXPECT_EQ(system.GetDisplayName() + out, "PC1");
  EXPECT_EQ(db.LoadSystem(1, "G9", 0, system, out, 0, &found), S_OK);
  EXPECT_FALSE(found);
  EXPECT_EQ(system.GetGuid() + system.GetHostName() + out, "");

  store->records["a|*"] = ClientText("G1", "PC1");
  OVOSystemList list;
  EXPECT_EQ(db.LoadSystems(-1, "a", "b", 0, list, out), S_OK);
  EXPECT_EQ(store->asked.back(), "51:a|*|b");
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetHead()->GetGuid(), "G1");
  list.DeleteObjects();
}

TEST_F(ClientRecords, ASaveTakesTheStoresStampOrLeavesTheSystemAsItWas) {
  system.SetTimeStamp(CFileTime(5));
  system.SetModified(true);
  EXPECT_EQ(db.SaveSystem(system, out), S_OK);
  EXPECT_EQ(store->asked.back(), "save:" + MakeRecordKey({"OLD", "1"}));
  EXPECT_EQ(system.GetTimeStamp().GetTime(), 1234u);
  EXPECT_FALSE(system.IsModified());
  EXPECT_EQ(out, "");

  system.SetModified(true);
  store->saveStatus = E_FAIL;
  store->saveReply = "";
  EXPECT_EQ(db.SaveSystem(system, out), E_FAIL);
  EXPECT_EQ(system.GetTimeStamp().GetTime(), 1234u);
  EXPECT_TRUE(system.IsModified());
  EXPECT_FALSE(out.empty());
}

}  // namespace
}  // namespace orvacmn
