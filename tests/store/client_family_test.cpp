// The client family of the facade on either store: which saves the
// stamps let through, and find-or-create under races of processes and threads.
#include <gmock/gmock.h>

#include <atomic>
#include <thread>

#include "orvacmn/persistence/db_access.h"
#include "orvacmn/system/client_identification.h"
#include "orvacmn/system/system.h"
#include "store_helpers.h"

namespace store_test {
namespace {

using namespace orvacmn;  // NOLINT
using ::testing::HasSubstr;

constexpr const char* kGuid = "0A1B2C3D-0000-4000-8000-0000000000C1";

OVOSystem Fresh(const String& host) {
  OVOSystem s;
  s.SetGuid(kGuid);
  s.SetHostName(host);
  return s;
}

class ClientFamily : public StoreFixture {
 protected:
  // The host name of the client stored under kGuid, or "" when there is none.
  String Stored() {
    OVOSystem s;
    bool found = false;
    EXPECT_EQ(CDBAccess(store_).LoadSystem(1, kGuid, 0, s, out_, 0, &found), S_OK);
    return found ? s.GetHostName() : "";
  }
  String out_;
};

// A save replaces the stored version its copy was made from, and nothing
// else: nobody's change is overwritten unseen, and no deleted client returns.
TEST_P(ClientFamily, SavesReplaceOnlyTheVersionTheirCopyCameFrom) {
  CDBAccess db(store_);
  OVOSystem made = Fresh("PC-1");
  ASSERT_EQ(db.CreateSystem(made, out_), S_OK) << out_;
  EXPECT_EQ(db.SaveSystem(made, out_), S_OK) << out_;  // the create handed back its stamp
  OVOSystem loaded;
  ASSERT_EQ(db.LoadSystem(1, kGuid, 0, loaded, out_), S_OK);
  EXPECT_EQ(loaded.GetTimeStamp(), made.GetTimeStamp());  // a load carries the stored stamp

  const OVOSystem never = Fresh("PC-NEVER");  // never loaded: its stamp is the time it was made
  OVOSystem copy = never;
  EXPECT_EQ(db.SaveSystem(copy, out_), store::kStatusStale);
  EXPECT_THAT(out_, HasSubstr("was changed by someone else since it was loaded, or was never loaded"));
  loaded.SetHostName("PC-2");
  EXPECT_EQ(db.SaveSystem(loaded, out_), S_OK);
  EXPECT_EQ(db.SaveSystem(made, out_), store::kStatusStale);  // behind the save of `loaded`
  EXPECT_EQ(db.UpdateSystem(kGuid, never.Pack(), out_), S_OK);  // an update names no version
  EXPECT_EQ(db.UpdateSystem(kGuid, never.Pack(), out_), S_OK);

  ASSERT_EQ(db.LoadSystem(1, kGuid, 0, loaded, out_), S_OK);
  ASSERT_EQ(db.DeleteSystem(kGuid, out_), S_OK);
  EXPECT_EQ(db.SaveSystem(loaded, out_), kStatusNotFound);
  EXPECT_EQ(db.UpdateSystem(kGuid, never.Pack(), out_), kStatusNotFound);
  EXPECT_EQ(Stored(), "");
  OVOSystem again = Fresh("PC-3");  // made after the delete: a new client
  EXPECT_EQ(db.SaveSystem(again, out_), S_OK) << out_;
  EXPECT_EQ(Stored(), "PC-3");
}

TEST_P(ClientFamily, DeletesNameOneClientAndListsPassTheirSecondValue) {
  CDBAccess db(store_);
  OVOSystem a = Fresh("PCX");
  ASSERT_EQ(db.CreateSystem(a, out_), S_OK);
  EXPECT_EQ(db.DeleteSystem("*", out_), E_INVALIDARG);
  EXPECT_THAT(out_, HasSubstr("A wildcard never deletes"));
  OVOSystemList list;
  EXPECT_EQ(db.LoadSystems(-1, "PCX", "", 0, list, out_), S_OK) << out_;
  EXPECT_EQ(list.GetCount(), 1);
  list.DeleteObjects();
}

// Announces of one new machine that race end with one client, from processes
// on one store as from threads on one or on several store instances.
TEST_P(ClientFamily, FindOrCreateMakesOneClientUnderRaces) {
  OVOClientIdentification id;
  id.SetHostname("NEW-PC");
  const auto announce = [&](const std::shared_ptr<RecordStore>& store, bool& created) {
    CDBAccess db(store);
    OVOSystem system;
    system.SetHostName("NEW-PC");
    String out;
    uint32_t method = 9;
    return SUCCEEDED(db.FindOrCreateSystem(id, 0, system, out, &created, &method)) &&
           system.GetHostName() == "NEW-PC" && (created ? method == 0 : method == 4);
  };
  const auto clients = [](RecordStore& store) {
    OFLTokenizer all;
    all.FromLengthPackedString(Load(store, 51, Packed({"*"})).text);
    return all.GetCount();
  };
  for (int round = 0; round < 4; ++round) {
    const std::string location = NewLocation();
    ASSERT_TRUE(Reopen(location, true));
    ASSERT_TRUE(AllAtOnce(4, [&] {
      auto store = Reopen(location);
      bool created = false;
      return store && announce(store, created) ? 0 : 1;
    }));
    EXPECT_EQ(clients(*Reopen(location)), 1) << round;
  }
  for (const bool shared : {true, false}) {
    const std::string location = NewLocation();
    auto one = Reopen(location, true);
    ASSERT_TRUE(one);
    std::atomic<int> made = 0, failed = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
      threads.emplace_back([&] {
        bool created = false;
        if (!announce(shared ? one : Reopen(location), created)) ++failed;
        made += created;
      });
    for (auto& t : threads) t.join();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(clients(*one), 1);
  }
}

TEST_P(ClientFamily, FindOrCreateRefusesWhatNamesNoClient) {
  const auto act = [&](const String& parameter) {
    OFL::ScopedBstr action(kActionFindOrCreateClient), param(parameter), out;
    return Reply{store_->DoAction(51, action.Get(), param.Get(), out.Out()), out.ToUtf8()};
  };
  OVO::Properties bag;
  bag.SetProperty(kParamKeys, Packed({Packed({"*", "4"})}));
  bag.SetProperty(kParamRecord, Fresh("PC").Pack());
  EXPECT_THAT(act(bag.Pack()).text, HasSubstr("A wildcard finds any client"));
  bag.SetProperty(kParamKeys, "x");
  EXPECT_EQ(act(bag.Pack()).hr, E_INVALIDARG);
  bag.SetProperty(kParamKeys, "");
  bag.SetProperty(kParamRecord, "");
  EXPECT_EQ(act(bag.Pack()), (Reply{E_INVALIDARG, "\"Record\" holds no client record"}));
  EXPECT_EQ(act("no bag").hr, E_INVALIDARG);
  // The record's own GUID finds it even when no key does.
  bag.SetProperty(kParamRecord, Fresh("PC").Pack());
  ASSERT_EQ(OVO::Properties(act(bag.Pack()).text).GetMap().at(kParamCreated), "1");
  EXPECT_EQ(OVO::Properties(act(bag.Pack()).text).GetMap().at(kParamCreated), "0");
}

STORE_TEST_ON_EVERY_KIND(ClientFamily);

}  // namespace
}  // namespace store_test
