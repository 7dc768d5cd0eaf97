// Client states (type 80) and the merges the store makes inside its write
// transaction: a mini inventory into its client, a partial state into the
// stored state; also from several processes at once.
#include <gmock/gmock.h>

#include "orvacmn/objects/properties.h"
#include "orvacmn/persistence/db_access.h"
#include "orvacmn/server/record_actions.h"
#include "orvacmn/system/client_state.h"
#include "orvacmn/system/system.h"
#include "store_helpers.h"

namespace store_test {
namespace {

using namespace orvacmn;  // NOLINT
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kGuid = "0A1B2C3D-0000-4000-8000-0000000000D1";

OVOProperties Bag(std::initializer_list<std::pair<const char*, std::string>> entries) {
  OVOProperties bag;
  for (const auto& [name, value] : entries) bag.SetProperty(name, value);
  return bag;
}

String Get(const String& bag, const char* name) {
  String value;
  OVOProperties(bag).GetProperty(name, value);
  return value;
}

std::vector<String> Names(const OVOProperties& bag) {
  std::vector<String> names;
  for (const auto& e : bag) names.push_back(e.name);
  return names;
}

void Install(RecordStore& store) {
  store.SetRecordAction(kRecordTypeClient, kActionProcessMiniInventory,
                        MiniInventoryMerge(nullptr, eConnectByName, CConfiguration::eIPUpdateOff,
                                           [] { return CTime(1717257600); }));
  store.SetRecordAction(kRecordTypeClientState, kActionUpdateClientState, MergeClientState);
}

OVOClientState Partial(uint32_t changes, int32_t agentState, const String& activity, const String& lastError) {
  OVOClientState s;
  s.SetClientAgentState(agentState);
  s.SetActivity(activity);
  s.SetLastError(lastError);
  s.SetChanges(changes);
  return s;
}

// A state that packs to nothing.
class EmptyState : public OVOClientState {
 public:
  String Pack() const override { return String(); }
};

class RecordActions : public StoreFixture {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(StoreFixture::SetUp());
    if (IsSkipped()) return;
    Install(*store_);
    db_ = std::make_unique<CDBAccess>(store_);
    OVOSystem client;
    client.SetGuid(kGuid);
    client.SetHostName("PC7");
    client.SetNumber(OVOSystem::eTotalMemory, 8192);
    ASSERT_EQ(db_->CreateSystem(client, out_), S_OK) << out_;
  }
  OVOSystem Stored() {
    OVOSystem s;
    EXPECT_EQ(db_->LoadSystem(1, kGuid, 0, s, out_), S_OK);
    return s;
  }
  OVOClientState StoredState(bool* found = nullptr) {
    OVOClientState s;
    EXPECT_EQ(db_->LoadClientState(kGuid, s, out_, found), S_OK) << out_;
    return s;
  }

  std::unique_ptr<CDBAccess> db_;
  String out_;
};

TEST_P(RecordActions, ClientStateIsSavedLoadedAndDeletedByAnEmptyText) {
  bool found = true;
  EXPECT_EQ(StoredState(&found), OVOClientState());
  EXPECT_FALSE(found);
  OVOClientState state = Partial(0x61, 3, "Idle", "Disk full");
  state.SetGuid(kGuid);
  state.SetCustomStateType(7);  // written as "CustomStateTye": the load reads it back
  ASSERT_EQ(db_->SaveClientState(kGuid, state, out_), S_OK) << out_;
  EXPECT_EQ(StoredState(&found), state);
  EXPECT_TRUE(found);
  EXPECT_EQ(First(*store_, kRecordTypeClientState, Packed({kGuid})), state.Pack());  // keyed by the GUID alone

  ASSERT_EQ(db_->SaveClientState(kGuid, EmptyState(), out_), S_OK) << out_;
  StoredState(&found);
  EXPECT_FALSE(found);
}

TEST_P(RecordActions, StateUpdatesOfSeveralGroupsAccumulate) {
  ASSERT_EQ(db_->UpdateClientState(kGuid, Partial(0x01, 5, "ignored", "ignored"), out_), S_OK) << out_;
  ASSERT_EQ(db_->UpdateClientState(kGuid, Partial(0x42, 9, "Installing", "Reboot pending"), out_), S_OK) << out_;
  const OVOClientState s = StoredState();
  EXPECT_EQ(s.GetGuid(), kGuid);  // a new state takes the client's GUID
  EXPECT_EQ(s.GetClientAgentState(), 5);
  EXPECT_EQ(s.GetActivity(), "Installing");
  EXPECT_EQ(s.GetLastError(), "Reboot pending");
  EXPECT_EQ(s.GetChanges(), 0x43u);

  EXPECT_EQ(db_->UpdateClientState(kGuid, EmptyState(), out_), E_INVALIDARG);
  EXPECT_EQ(db_->UpdateClientState("", Partial(1, 1, "", ""), out_), E_INVALIDARG);
  EXPECT_EQ(StoredState(), s);
}

TEST_P(RecordActions, MiniInventoryWritesOnlyWhatChanged) {
  OVOProperties changes;
  CFileTime stamp = 0;
  const CFileTime before = Stored().GetTimeStamp();
  const OVOProperties report = Bag({{"TotalMemory", "16384"},
                                    {"OSVersionMajor", "4294967295"},  // unknown: neutral
                                    {"FirewallStatus", "1"},
                                    {"SecurityCenterUser", "Admin"},
                                    {"CPUDesc", "i5"},
                                    {"FavouriteColour", "blue"}});
  ASSERT_EQ(db_->ProcessMiniInventory(kGuid, report, changes, stamp, out_), S_OK) << out_;
  EXPECT_THAT(Names(changes), ElementsAre("TotalMemory", "CPUDesc", "FirewallStatus", "SecurityCenterUser"));
  const OVOSystem stored = Stored();
  EXPECT_EQ(stored.GetNumber(OVOSystem::eTotalMemory), 16384u);
  EXPECT_EQ(stored.GetHostName(), "PC7");
  EXPECT_EQ(stored.GetTimeStamp(), stamp);
  EXPECT_GT(stamp, before);

  // The same report again, the security state included, changes nothing and
  // writes nothing.
  CFileTime again = 0;
  ASSERT_EQ(db_->ProcessMiniInventory(kGuid, report, changes, again, out_), S_OK) << out_;
  EXPECT_TRUE(changes.GetPropertyList().IsEmpty());
  EXPECT_EQ(again, stamp);
  ASSERT_EQ(db_->ProcessMiniInventory(kGuid, Bag({{"FirewallStatus", "3"}}), changes, again, out_), S_OK);
  EXPECT_THAT(Names(changes), ElementsAre("FirewallStatus"));
}

TEST_P(RecordActions, MiniInventoryRefusesWhatItCannotRead) {
  OVOProperties changes;
  CFileTime stamp = 0;
  EXPECT_EQ(db_->ProcessMiniInventory("0A1B2C3D-0000-4000-8000-00000000FFFF", Bag({{"CPUDesc", "x"}}), changes,
                                      stamp, out_),
            kStatusNotFound);
  EXPECT_THAT(out_, HasSubstr("not found"));
  EXPECT_EQ(db_->ProcessMiniInventory("", Bag({{"CPUDesc", "x"}}), changes, stamp, out_), E_INVALIDARG);
  String answer;
  EXPECT_EQ(db_->DoAction(kRecordTypeClient, kActionProcessMiniInventory, "not a bag", answer), E_INVALIDARG);
  // A stored record that is not a client is not overwritten.
  String merged;
  const RecordMerge merge = MiniInventoryMerge(nullptr, eConnectByName, CConfiguration::eIPUpdateOff);
  EXPECT_EQ(merge(answer = "<Properties><PropertyEntry><Param>GUID</Param><Value>x</Value></PropertyEntry>"
                           "</Properties>",
                  "<Job/>", merged, answer),
            E_INVALIDARG);
  EXPECT_TRUE(merged.empty());
}

// What the store does with an action's result, whatever the action.
TEST_P(RecordActions, TheStoreWritesOnlyAChangedRecordOfTheNamedClient) {
  String result, answer;
  HRESULT status = S_OK;
  store_->SetRecordAction(kRecordTypeClient, "Test", [&](const String&, const String& stored, String& merged,
                                                          String& text) {
    merged = result.empty() ? stored : result;
    text = "said";
    return status;
  });
  const String parameter = Bag({{"GUID", kGuid}}).Pack();
  const auto run = [&] { return db_->DoAction(kRecordTypeClient, "test", parameter, answer); };
  const CFileTime before = Stored().GetTimeStamp();
  ASSERT_EQ(run(), S_OK) << answer;  // the stored text unchanged: nothing written
  EXPECT_EQ(Get(answer, "Written"), "0");
  EXPECT_EQ(Get(answer, "Answer"), "said");
  EXPECT_EQ(Stored().GetTimeStamp(), before);

  result = "<Client><GUID>0A1B2C3D-0000-4000-8000-0000000000D2</GUID><HostName>PC8</HostName></Client>";
  EXPECT_EQ(run(), E_INVALIDARG);
  EXPECT_THAT(answer, HasSubstr("not the client's"));
  result = "<Job/>";
  EXPECT_EQ(run(), E_INVALIDARG);
  result = "<Client><GUID>" + String(kGuid) + "</GUID><HostName>PC9</HostName></Client>";
  status = E_FAIL;
  EXPECT_EQ(run(), E_FAIL);
  EXPECT_EQ(answer, "said");
  EXPECT_EQ(Stored().GetHostName(), "PC7");
  status = S_OK;
  ASSERT_EQ(run(), S_OK) << answer;
  EXPECT_EQ(Get(answer, "Written"), "1");
  EXPECT_EQ(Stored().GetHostName(), "PC9");
  EXPECT_GT(Stored().GetTimeStamp(), before);
}

// Processes merge inventories and states of one client at once: every
// acknowledged change is kept and nobody is told of a conflict.
TEST_P(RecordActions, ConcurrentProcessesLoseNothing) {
  static constexpr const char* kProperties[] = {"CPUDesc", "OSReleaseId", "BootMode", "Architecture"};
  static constexpr uint32_t kGroups[] = {0x01, 0x02, 0x10, 0x40};
  constexpr int kRounds = 10;
  ASSERT_TRUE(AllAtOnce(4, [&](int child) {
    String out;
    auto store = Reopen(location_);
    if (!store) return 2;
    Install(*store);
    CDBAccess db(store);
    for (int round = 0; round < kRounds; ++round) {
      const String value = "v" + std::to_string(child) + "-" + std::to_string(round);
      OVOProperties changes;
      CFileTime stamp = 0;
      if (db.ProcessMiniInventory(kGuid, Bag({{kProperties[child], value}}), changes, stamp, out) != S_OK) return 3;
      if (changes.GetPropertyList().GetCount() != 1) return 4;
      OVOClientState state = Partial(kGroups[child], child * 100 + round, value, value);
      state.SetCurrentStep(value);
      if (db.UpdateClientState(kGuid, state, out) != S_OK) return 5;
    }
    return 0;
  }));
  const String text = First(*store_, kRecordTypeClient, Packed({kGuid, "1", "*"}));
  for (int child = 0; child < 4; ++child)
    EXPECT_THAT(text, HasSubstr(">v" + std::to_string(child) + "-9<")) << kProperties[child];
  const OVOClientState s = StoredState();
  EXPECT_EQ(s.GetClientAgentState(), 9);
  EXPECT_EQ(s.GetActivity(), "v1-9");
  EXPECT_EQ(s.GetCurrentStep(), "v2-9");
  EXPECT_EQ(s.GetLastError(), "v3-9");
  EXPECT_EQ(s.GetChanges(), 0x53u);
}

STORE_TEST_ON_EVERY_KIND(RecordActions);

}  // namespace
}  // namespace store_test
